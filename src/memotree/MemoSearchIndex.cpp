#include "MemoSearchIndex.h"

#include "OutlineTree.h"
#include "TMemoInfo.h"

#include <cstring>

void MemoSearchIndex::ensureBuilt(const OutlineTree &tree)
{
    if (valid && builtForStructure == tree.structureVersion())
        return;
    list.clear();
    buffer.clear();
    list.reserve(static_cast<size_t>(tree.totalCount()));
    qsizetype bytes = 0;
    for (OutlineNode *node = tree.firstNode(); node; node = OutlineTree::nextNode(node))
        bytes += memoOf(node)->content.size();
    buffer.reserve(bytes);
    for (int i = 0; i < tree.topLevelCount(); ++i) {
        OutlineNode *memo = tree.topLevelNode(i);
        const auto add = [this](OutlineNode *node, OutlineNode *parent) {
            const QByteArray &text = memoOf(node)->content;
            list.push_back({node, parent, buffer.size(), text.size()});
            buffer.append(text);
        };
        add(memo, nullptr);
        for (int j = 0; j < memo->childCount(); ++j)
            add(memo->child(j), memo);
    }
    valid = true;
    builtForStructure = tree.structureVersion();
}

bool MemoSearchIndex::contains(const Entry &entry, const QByteArray &needle) const
{
    if (needle.size() > entry.length)
        return false;
    const char *text = buffer.constData() + entry.offset;
#if defined(__GLIBC__)
    return memmem(text, static_cast<size_t>(entry.length), needle.constData(), static_cast<size_t>(needle.size()))
        != nullptr;
#else
    return QByteArrayView(text, entry.length).contains(needle);
#endif
}
