// The search copy of the memo texts: matches inside one text only, never across two.
#include "MemoSearchIndex.h"
#include "OutlineTree.h"
#include "TMemoInfo.h"

#include <QTest>

class TstSearchIndex : public QObject
{
    Q_OBJECT
private slots:
    void findAll_data();
    void findAll();
    void rebuiltAfterStructureChanges();
};

void TstSearchIndex::findAll_data()
{
    QTest::addColumn<QByteArrayList>("texts");
    QTest::addColumn<QByteArray>("needle");
    QTest::addColumn<QList<bool>>("matches");
    QTest::newRow("a hit across two texts is no match")
        << QByteArrayList{"ab", "cd"} << QByteArray("bc") << QList<bool>{false, false};
    QTest::newRow("a boundary hit does not hide a real one behind it")
        << QByteArrayList{"xa", "bab"} << QByteArray("ab") << QList<bool>{false, true};
    QTest::newRow("empty texts in between")
        << QByteArrayList{"", "needle", "", "no"} << QByteArray("needle") << QList<bool>{false, true, false, false};
    QTest::newRow("several hits in one text, then the next text")
        << QByteArrayList{"aaaa", "a"} << QByteArray("a") << QList<bool>{true, true};
    QTest::newRow("line breaks are bytes like others")
        << QByteArrayList{"one\r\ntwo", "one two"} << QByteArray("e\r\nt") << QList<bool>{true, false};
    QTest::newRow("case counts") << QByteArrayList{"Memo", "memo"} << QByteArray("memo") << QList<bool>{false, true};
}

void TstSearchIndex::findAll()
{
    QFETCH(QByteArrayList, texts);
    QFETCH(QByteArray, needle);
    QFETCH(QList<bool>, matches);
    OutlineTree tree;
    tree.OnCreateNodeData = [] { return std::make_unique<TMemoInfo>(); };
    for (const QByteArray &text : texts)
        memoOf(tree.addChild(nullptr))->content = text;
    MemoSearchIndex index;
    index.ensureBuilt(tree);
    index.findAll(needle);
    QList<bool> found;
    for (const MemoSearchIndex::Entry &entry : index.entries())
        found << entry.matches;
    QCOMPARE(found, matches);
}

void TstSearchIndex::rebuiltAfterStructureChanges()
{
    OutlineTree tree;
    tree.OnCreateNodeData = [] { return std::make_unique<TMemoInfo>(); };
    OutlineNode *parent = tree.addChild(nullptr);
    memoOf(parent)->content = "parent";
    MemoSearchIndex index;
    index.ensureBuilt(tree);
    QCOMPARE(index.entries().size(), size_t(1));
    OutlineNode *child = tree.addChild(parent);
    memoOf(child)->content = "child";
    index.ensureBuilt(tree); // noticed without being told
    QCOMPARE(index.entries().size(), size_t(2));
    QCOMPARE(index.entries()[1].parent, parent);
    memoOf(child)->content = "changed";
    index.invalidate(); // a text change must be told
    index.ensureBuilt(tree);
    index.findAll("changed");
    QVERIFY(index.entries()[1].matches);
}

QTEST_GUILESS_MAIN(TstSearchIndex)
#include "tst_searchindex.moc"
