#include "MemoSearchIndex.h"

#include "OutlineTree.h"
#include "TMemoInfo.h"

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
            list.push_back({node, parent, buffer.size(), text.size(), node->isVisible(), false});
            buffer.append(text);
        };
        add(memo, nullptr);
        for (int j = 0; j < memo->childCount(); ++j)
            add(memo->child(j), memo);
    }
    valid = true;
    builtForStructure = tree.structureVersion();
}

void MemoSearchIndex::findAll(const QByteArray &needle)
{
    for (Entry &entry : list)
        entry.matches = false;
    if (needle.isEmpty() || list.empty())
        return;
    const QByteArrayView all(buffer);
    size_t current = 0;
    qsizetype from = 0;
    while (true) {
        const qsizetype hit = all.indexOf(needle, from);
        if (hit < 0)
            return;
        while (current < list.size() && list[current].offset + list[current].length <= hit)
            ++current;
        if (current == list.size())
            return;
        Entry &entry = list[current];
        if (hit + needle.size() <= entry.offset + entry.length) {
            entry.matches = true; // the rest of this text needs no further look
            from = entry.offset + entry.length;
            ++current;
        } else {
            from = hit + 1; // the hit runs into the next text: no match of either
        }
    }
}
