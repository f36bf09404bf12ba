// Tests of the memo tree's export order (MemoExportOrder): which records a selection of
// outline nodes exports, and in which order, and what ExportMemos then writes of them, on a
// tree without a view and without a screen.
#include "Boxes.h"
#include "Dm_Io.h"
#include "InterchangeFixture.h"
#include "MemoExport.h"
#include "MemoExportOrder.h"
#include "OleDateTime.h"
#include "OutlineTree.h"
#include "SqlConnection.h"
#include "SqlQuery.h"
#include "TMemoInfo.h"
#include "pU_XmlTry.h"

#include <QTemporaryDir>
#include <QtTest>

#include <ctime>
#include <memory>

namespace {

} // namespace

class TestMemoExportOrder : public QObject, private InterchangeFixture
{
    Q_OBJECT

private slots:
    void initTestCase() { useZone("UTC"); } // the expected time texts are written at UTC
    void init() { openFixture(); }
    void cleanup() { closeFixture(); }

    void recordsOfASelection()
    {
        OutlineTree tree;
        tree.OnCreateNodeData = [] { return std::make_unique<TMemoInfo>(); };
        OutlineNode *m1 = tree.addChild(nullptr);
        TMemoInfo *memo = memoOf(m1);
        memo->mid = "{M1}";
        memo->pid = "root";
        memo->content = "memo";
        memo->expandFlag = true;
        memo->assignTime = 1.5;
        memo->createTime = 2.5;
        memo->editTime = 3.5;
        OutlineNode *s1 = tree.addChild(m1);
        memoOf(s1)->mid = "{S1}";
        memoOf(s1)->pid = "{M1}";
        tree.OnCreateNodeData = nullptr;
        OutlineNode *noRecord = tree.addChild(nullptr);
        QVERIFY(!memoOf(noRecord));

        // A node without a record is left out; the record's fields are copied as they are.
        const std::vector<MemoRecord> records = MemoExportOrder({m1, noRecord});
        QCOMPARE(records.size(), size_t(2));
        QCOMPARE(records[0].mid, QByteArray("{M1}"));
        QCOMPARE(records[0].pid, QByteArray("root"));
        QCOMPARE(records[0].content, QByteArray("memo"));
        QCOMPARE(records[0].expandFlag, true);
        QCOMPARE(records[0].assignTime, 1.5);
        QCOMPARE(records[0].createTime, 2.5);
        QCOMPARE(records[0].editTime, 3.5);
        QCOMPARE(records[1].mid, QByteArray("{S1}"));
        QCOMPARE(records[1].pid, QByteArray("{M1}"));
        // A selected sub-memo comes as a top-level memo; the tree keeps its own pid.
        const std::vector<MemoRecord> sub = MemoExportOrder({s1});
        QCOMPARE(sub.size(), size_t(1));
        QCOMPARE(sub[0].pid, QByteArray("root"));
        QCOMPARE(memoOf(s1)->pid, QByteArray("{M1}"));
        QVERIFY(MemoExportOrder({}).empty());
    }

    void exportWritesSelectionWithSubMemos_data()
    {
        QTest::addColumn<QStringList>("select");
        QTest::addColumn<QStringList>("expected"); // "mid pid" per memo element, in order
        QTest::newRow("memos with all their sub-memos")
            << QStringList{"{M1}", "{M2}"}
            << QStringList{"{M1} root", "{S1} {M1}", "{S2} {M1}", "{S3} {M1}", "{M2} root", "{S4} {M2}"};
        // M2 is open, so select all takes S4 along: it is written once, under M2.
        QTest::newRow("select all") << QStringList{"*"} << QStringList{"{M1} root", "{S1} {M1}", "{S2} {M1}",
                                                                       "{S3} {M1}", "{M2} root", "{S4} {M2}"};
        QTest::newRow("sub-memos alone") << QStringList{"{S1}", "{S3}"} << QStringList{"{S1} root", "{S3} root"};
        QTest::newRow("nothing selected") << QStringList{} << QStringList{};
    }
    void exportWritesSelectionWithSubMemos()
    {
        QFETCH(QStringList, select);
        QFETCH(QStringList, expected);
        OutlineTree tree;
        tree.OnCreateNodeData = [] { return std::make_unique<TMemoInfo>(); };
        QHash<QString, OutlineNode *> nodes;
        const auto add = [&](OutlineNode *parent, const QByteArray &mid, const QByteArray &content) {
            OutlineNode *node = tree.addChild(parent);
            TMemoInfo *memo = memoOf(node);
            memo->mid = mid;
            memo->pid = parent ? memoOf(parent)->mid : QByteArray("root");
            memo->content = content;
            memo->assignTime = at(2008, 3, 5, 14, 7, 9);
            memo->createTime = at(2008, 3, 5, 14, 7, 9) + 0.25;
            memo->editTime = 0;
            nodes.insert(QString::fromLatin1(mid), node);
            return node;
        };
        OutlineNode *m1 = add(nullptr, "{M1}", "memo\r\ntwo lines");
        add(m1, "{S1}", "sub 1");
        add(m1, "{S2}", "hidden by the filter");
        add(m1, "{S3}", "sub 3");
        OutlineNode *m2 = add(nullptr, "{M2}", "memo 2");
        add(m2, "{S4}", "sub 4");
        tree.setVisible(nodes["{S2}"], false);
        tree.setExpanded(m2, true);
        if (select == QStringList{"*"})
            tree.selectAllShown();
        for (const QString &mid : select)
            if (mid != QLatin1String("*"))
                tree.setSelected(nodes[mid], true);

        const QString file = path("export.qzx");
        QVERIFY(ExportMemos(file, MemoExportOrder(tree.selectedNodes()), kVersion));
        QCOMPARE(boxes, QStringList());
        Txmltry xml;
        xml.LoadFromFile(file);
        QCOMPARE(QByteArray(xml.FindNode("brivel").attribute("app").value()), QByteArray("Clockvane"));
        QCOMPARE(xml.ChildCount("brivel,tasks"), 0);
        QCOMPARE(xml.ChildCount("brivel,notes"), 0);
        const QStringList elements = elementsOf(xml, "brivel,memos");
        QStringList midPid;
        for (pugi::xml_node memo : xml.FindNode("brivel,memos").children())
            midPid << QString::fromUtf8(memo.attribute("mid").value()) + ' ' + memo.attribute("pid").value();
        QCOMPARE(midPid, expected);
        if (!select.isEmpty() && select[0] == "{M1}") {
            QCOMPARE(elements[0], QStringLiteral("memo: mid={M1}, pid=root, content=memo\r\ntwo lines, "
                                                 "assign-time=2008-03-05T14:07:09.000Z, "
                                                 "create-time=2008-03-05T20:07:09.000Z, "
                                                 "edit-time=1899-12-30T00:00:00.000Z"));
        }
    }

    void exportedSubMemosImportAsTopLevel()
    {
        OutlineTree tree;
        tree.OnCreateNodeData = [] { return std::make_unique<TMemoInfo>(); };
        OutlineNode *parent = tree.addChild(nullptr);
        memoOf(parent)->mid = "{P}";
        memoOf(parent)->pid = "root";
        for (const char *mid : {"{S1}", "{S2}"}) {
            OutlineNode *sub = tree.addChild(parent);
            memoOf(sub)->mid = mid;
            memoOf(sub)->pid = "{P}";
            tree.setSelected(sub, true);
        }
        QVERIFY(ExportMemos(path("subs.qzx"), MemoExportOrder(tree.selectedNodes()), kVersion));
        TIoDm io(*db, kVersion, scripted);
        QVERIFY(io.ImportFrom(path("subs.qzx")));
        QCOMPARE(column("memos", "pid"), QStringList({"root", "root"}));
    }
};

QTEST_GUILESS_MAIN(TestMemoExportOrder)
#include "tst_memoexportorder.moc"
