#include "MemoExportOrder.h"

#include "TMemoInfo.h"

namespace {

// Select all takes memos and the shown sub-memos of open ones together: such a sub-memo
// comes with its memo, not a second time on its own.
bool comesWithItsMemo(const OutlineNode *node)
{
    return node->level() != 0 && node->parent() && node->parent()->isSelected();
}

} // namespace

std::vector<MemoRecord> MemoExportOrder(const std::vector<OutlineNode *> &selected)
{
    static const QByteArray root = QByteArrayLiteral("root");
    std::vector<MemoRecord> records;
    records.reserve(selected.size());
    for (const OutlineNode *node : selected) {
        const TMemoInfo *memo = memoOf(node);
        if (!memo || comesWithItsMemo(node))
            continue;
        // Every selected memo goes in as a top-level one, so that selected sub-memos come
        // in on their own; a top-level memo brings all its sub-memos, shown or not.
        records.push_back(static_cast<const MemoRecord &>(*memo));
        records.back().pid = root;
        if (node->level() != 0)
            continue;
        for (int i = 0; i < node->childCount(); ++i) {
            if (const TMemoInfo *child = memoOf(node->child(i)))
                records.push_back(static_cast<const MemoRecord &>(*child));
        }
    }
    return records;
}

std::vector<ListingEntry> MemoListingEntries(const std::vector<OutlineNode *> &selected)
{
    std::vector<ListingEntry> entries;
    for (const OutlineNode *node : selected) {
        const TMemoInfo *memo = memoOf(node);
        if (!memo || comesWithItsMemo(node))
            continue;
        ListingEntry entry{memo->content, node->level() == 0, {}};
        for (int i = 0; entry.topLevel && i < node->childCount(); ++i) {
            if (const TMemoInfo *child = memoOf(node->child(i)))
                entry.subMemos.push_back(child->content);
        }
        entries.push_back(std::move(entry));
    }
    return entries;
}
