// A compact copy of every memo text for the search filter. Walking 100,000 memos and
// their separately allocated texts costs several times more than searching one
// contiguous buffer, and the filter runs on every keystroke; the copy is made once and
// kept until memos change.
#pragma once

#include <QByteArray>
#include <QtGlobal>
#include <vector>

class OutlineNode;
class OutlineTree;

class MemoSearchIndex
{
public:
    struct Entry
    {
        OutlineNode *node;
        OutlineNode *parent; // nullptr for a top-level memo
        qsizetype offset;    // the memo's text in the buffer
        qsizetype length;
        bool visible; // the node's visibility as the filter last set it
        bool matches; // the text holds the needle of the last findAll()
    };

    // Drops the copy; the next use builds it again. Call after a memo's text changes;
    // changes of the tree's structure are noticed by themselves.
    void invalidate() { valid = false; }
    // Builds the copy unless it is current: top-level memos in tree order, each followed
    // by its sub-memos, so a parent always comes before its sub-memos.
    void ensureBuilt(const OutlineTree &tree);
    std::vector<Entry> &entries() { return list; }
    // Marks the entries whose text holds the exact bytes of needle (line breaks
    // included). One scan over the whole buffer, so the search is set up once.
    void findAll(const QByteArray &needle);

private:
    std::vector<Entry> list;
    QByteArray buffer;
    bool valid = false;
    quint64 builtForStructure = 0;
};
