#include "MemoExportOrder.h"

#include "TMemoInfo.h"

namespace {

// Select all takes memos and the shown sub-memos of open ones together: such a sub-memo
// comes with its memo, not a second time on its own.
bool comesWithItsMemo(const OutlineNode *node)
{
    return node->level() != 0 && node->parent() && node->parent()->isSelected();
}

// Walks what a selection brings, in order: each selected memo (onMemo), and after a
// top-level one all its sub-memos, shown or not (onSubMemo). Nodes without a record
// bring nothing.
template<class OnMemo, class OnSubMemo>
void forEachBrought(const std::vector<OutlineNode *> &selected, OnMemo onMemo, OnSubMemo onSubMemo)
{
    for (const OutlineNode *node : selected) {
        const TMemoInfo *memo = memoOf(node);
        if (!memo || comesWithItsMemo(node))
            continue;
        onMemo(*node, *memo);
        if (node->level() != 0)
            continue;
        for (int i = 0; i < node->childCount(); ++i) {
            if (const TMemoInfo *child = memoOf(node->child(i)))
                onSubMemo(*child);
        }
    }
}

} // namespace

std::vector<MemoRecord> MemoExportOrder(const std::vector<OutlineNode *> &selected)
{
    static const QByteArray root = QByteArrayLiteral("root");
    std::vector<MemoRecord> records;
    records.reserve(selected.size());
    // Every selected memo goes in as a top-level one, so that selected sub-memos come in
    // on their own; the sub-memos a top-level memo brings keep their pid.
    forEachBrought(
        selected,
        [&](const OutlineNode &, const TMemoInfo &memo) {
            records.push_back(static_cast<const MemoRecord &>(memo));
            records.back().pid = root;
        },
        [&](const TMemoInfo &subMemo) { records.push_back(static_cast<const MemoRecord &>(subMemo)); });
    return records;
}

std::vector<ListingEntry> MemoListingEntries(const std::vector<OutlineNode *> &selected)
{
    std::vector<ListingEntry> entries;
    forEachBrought(
        selected,
        [&](const OutlineNode &node, const TMemoInfo &memo) {
            entries.push_back(ListingEntry{memo.content, node.level() == 0, {}});
        },
        [&](const TMemoInfo &subMemo) { entries.back().subMemos.push_back(subMemo.content); });
    return entries;
}
