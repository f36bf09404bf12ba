// Loading the memo table into the outline and the frame's start-up messages.
#include "IniFile.h"
#include "MemoFrameFixture.h"

class TstMemoLoad : public QObject
{
    Q_OBJECT
private slots:
    void loadsTwoLevelsAndCountsEveryRow();
    void expandFlagsApplyWithoutWriting();
    void reloadBeforeSetupThenSorted();
    void reloadAloneKeepsDatabaseOrder();
    void emptyTableOffersToAdd();
    void destructionCommitsAnOpenEdit();
    void missingDatabaseIsReportedAndNothingSticks();
    void logKeysFollowEveryReload();
    void bulkExpansionsAreStoredBeforeReloadAndAtExit();
};

void TstMemoLoad::loadsTwoLevelsAndCountsEveryRow()
{
    MemoFrameFixture f;
    f.addRow("{A}", "root", "alpha");
    f.addRow("{B}", "root", "beta");
    f.addRow("{A1}", "{A}", "alpha one");
    f.addRow("{A2}", "{A}", "alpha two");
    f.addRow("{X}", "{GONE}", "orphan");      // parent does not exist
    f.addRow("{A1a}", "{A1}", "third level"); // parent is a sub-memo
    f.start(false);

    QCOMPARE(f.texts(), (QList<QByteArray>{"alpha", "beta"}));
    OutlineNode *alpha = f.tree().topLevelNode(0);
    QCOMPARE(f.texts(alpha), (QList<QByteArray>{"alpha one", "alpha two"}));
    QCOMPARE(f.tree().totalCount(), 4);
    // Hidden rows are counted and stay in the table.
    QCOMPARE(IniFile::ReadInteger(f.iniPath(), "log", "privateMemos", -1), 6);
    QCOMPARE(f.count(), 6);

    const TMemoInfo *sub = memoOf(alpha->child(0));
    QCOMPARE(sub->mid, QByteArray("{A1}"));
    QCOMPARE(sub->pid, QByteArray("{A}"));
    QCOMPARE(sub->createTime, 46000.5);
}

void TstMemoLoad::expandFlagsApplyWithoutWriting()
{
    MemoFrameFixture f;
    f.addRow("{A}", "root", "open", true);
    f.addRow("{A1}", "{A}", "inside");
    f.addRow("{B}", "root", "closed", false);
    f.addRow("{B1}", "{B}", "inside too");
    const int changesBefore = f.totalChanges();
    f.start();

    QVERIFY(f.findNode("open") && f.findNode("closed"));
    QVERIFY(f.findNode("open")->isExpanded());
    QVERIFY(!f.findNode("closed")->isExpanded());
    QCOMPARE(f.totalChanges(), changesBefore); // applying stored states writes nothing
    QCOMPARE(f.view()->shownRowCount(), 3);
}

void TstMemoLoad::reloadBeforeSetupThenSorted()
{
    MemoFrameFixture f;
    f.addRow("{1}", "root", "pear");
    f.addRow("{2}", "root", "Apple");
    f.addRow("{3}", "root", "fig");
    f.start(); // 2024 then 2025: loaded first, then sorted and focused
    QCOMPARE(f.texts(), (QList<QByteArray>{"Apple", "fig", "pear"}));
    QVERIFY(f.view()->hasFocus());
    QCOMPARE(f.host->menuBar()->actions().size(), 5); // the frame's menu bar: File to Help
    QCOMPARE(f.host->menuBar()->actions().constLast()->text(), QStringLiteral("&Help"));
}

void TstMemoLoad::reloadAloneKeepsDatabaseOrder()
{
    MemoFrameFixture f;
    f.addRow("{1}", "root", "pear");
    f.addRow("{2}", "root", "Apple");
    f.start();
    f.addRow("{3}", "root", "banana");
    f.part<QWidget>("Btn_Search")->setFocus();
    // A later reload (after a restore or import) neither sorts nor moves the focus...
    f.reload();
    QCOMPARE(f.texts(), (QList<QByteArray>{"pear", "Apple", "banana"}));
    QVERIFY(!f.view()->hasFocus());
    QVERIFY(f.viewCommandsRespond());
    // ...but the next set-up message sorts and focuses the tree again.
    QCoreApplication::postEvent(f.frame, new QEvent(Msg::SetupTree));
    f.settle();
    QCOMPARE(f.texts(), (QList<QByteArray>{"Apple", "banana", "pear"}));
    QVERIFY(f.view()->hasFocus());
}

void TstMemoLoad::emptyTableOffersToAdd()
{
    MemoFrameFixture f;
    f.start();
    QCOMPARE(f.tree().totalCount(), 0);
    QCOMPARE(IniFile::ReadInteger(f.iniPath(), "log", "privateMemos", -1), 0);
    QCOMPARE(f.tip()->tipMode(), 2);
    QVERIFY(f.tip()->isVisible());
    QCOMPARE(f.view()->hint(), QStringLiteral("Double click to add a Memo!"));
}

void TstMemoLoad::destructionCommitsAnOpenEdit()
{
    MemoFrameFixture f;
    f.addRow("{A}", "root", "draft");
    f.start();
    f.tree().setSelected(f.findNode("draft"), true);
    f.frame->Action_MemoEditExecute();
    f.settle();
    QVERIFY(f.editor());
    QTest::keyClicks(f.editor(), " final");
    delete f.frame; // as at exit: the open edit is committed, not lost
    f.frame = nullptr;
    QCOMPARE(f.column("{A}", "content"), QByteArray("draft final"));
}

void TstMemoLoad::missingDatabaseIsReportedAndNothingSticks()
{
    MemoFrameFixture f;
    f.db.close(); // as after a data file that could not be opened
    f.start();
    QVERIFY(!f.boxes.empty());
    QCOMPARE(f.boxes.front().caption, QStringLiteral("Brivel Jotterly Lite"));
    QCOMPARE(f.boxes.front().text, QStringLiteral("The memo database is not open."));
    // The view commands must not stay blocked by a reload that failed part way.
    QVERIFY(f.viewCommandsRespond());
    QCOMPARE(f.tree().totalCount(), 0);
}

void TstMemoLoad::logKeysFollowEveryReload()
{
    MemoFrameFixture f;
    f.addRow("{A}", "root", "one");
    f.start();
    QCOMPARE(IniFile::ReadInteger(f.iniPath(), "log", "privateMemos", -1), 1);
    QCOMPARE(IniFile::ReadInteger(f.iniPath(), "log", "publicMemos", -1), 0);
    f.addRow("{B}", "{nowhere}", "hidden but counted");
    f.reload();
    QCOMPARE(IniFile::ReadInteger(f.iniPath(), "log", "privateMemos", -1), 2);
}

void TstMemoLoad::bulkExpansionsAreStoredBeforeReloadAndAtExit()
{
    MemoFrameFixture f;
    f.addRow("{A}", "root", "a");
    f.addRow("{A1}", "{A}", "a1");
    f.addRow("{B}", "root", "b");
    f.addRow("{B1}", "{B}", "b1");
    f.start();
    f.frame->Action_ExpandAll->trigger();
    QCOMPARE(f.count("where expandFlag=1"), 0); // not yet: the user may go on
    f.reload();
    QCOMPARE(f.count("where expandFlag=1"), 2); // written before the load read them
    QVERIFY(f.findNode("a")->isExpanded());

    f.frame->Action_CollapseAll->trigger();
    delete f.frame; // at exit nothing pending is lost
    f.frame = nullptr;
    QCOMPARE(f.count("where expandFlag=1"), 0);
}

QTEST_MAIN(TstMemoLoad)
#include "tst_memoload.moc"
