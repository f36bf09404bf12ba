// Loading the memo table into the outline and the frame's start-up messages.
#include "IniFile.h"
#include "JotterlyError.h"
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
    void startUpFailureReachesIdleState_data();
    void startUpFailureReachesIdleState();
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

void TstMemoLoad::startUpFailureReachesIdleState_data()
{
    QTest::addColumn<bool>("badDataFile");
    QTest::addColumn<bool>("badSettingsFile");
    QTest::newRow("data file that is not a database") << true << false;
    QTest::newRow("settings file that cannot be written") << false << true;
}

void TstMemoLoad::startUpFailureReachesIdleState()
{
    QFETCH(bool, badDataFile);
    QFETCH(bool, badSettingsFile);
    MemoFrameFixture f;
    f.addRow("{A}", "root", "stored");
    const QString badPath = f.dir.filePath(QStringLiteral("broken.qzb"));
    if (badDataFile) {
        QFile broken(badPath);
        QVERIFY(broken.open(QIODevice::WriteOnly));
        broken.write("this is no database, just some text");
        broken.close();
        QVERIFY_THROWS_EXCEPTION(JotterlyError, f.db.open(badPath));
    }
    if (badSettingsFile)
        QVERIFY(QDir().mkpath(f.iniPath())); // a folder where the file should be
    f.start();

    // The main window reports a data file that cannot be opened; the frame adds no
    // second, vaguer box of its own. A settings file it cannot write, it reports.
    QCOMPARE(f.boxes.size(), size_t(badSettingsFile ? 1 : 0));
    if (badSettingsFile)
        QVERIFY2(f.boxes.front().text.startsWith("Unable to write to"), qPrintable(f.boxes.front().text));
    // Whatever failed, the frame is idle as after any start.
    QCOMPARE(f.searchBox()->text(), QStringLiteral("  Search..."));
    QVERIFY(!f.statusBar()->panelText(1).isEmpty());
    QVERIFY(!f.frame->Action_MemoEdit->isEnabled());
    QVERIFY(!f.frame->Action_MemoDelete->isEnabled());
    QCOMPARE(f.viewCommandsRespond(), !badSettingsFile);
    QCOMPARE(f.tree().totalCount(), badDataFile ? 0 : 1);

    // Nothing is ever shown as stored that was not: with no data file, every command
    // that would store something is off, and the tip says which file could not be used.
    for (QAction *store : {f.frame->Action_MemoAdd, f.frame->Action_MemoAddChild, f.frame->Action_PasteMemo})
        QCOMPARE(store->isEnabled(), !badDataFile);
    if (badDataFile) {
        QVERIFY(f.tip()->isVisible());
        QVERIFY2(f.tip()->text().contains(badPath) && f.tip()->text().contains("file is not a database"),
                 qPrintable(f.tip()->text()));
        QTest::keyClick(f.view(), Qt::Key_Return); // Enter, double click and paste add nothing
        QTest::mouseDClick(f.view()->viewport(), Qt::LeftButton, Qt::NoModifier, blankBelowRows(f));
        f.frame->AddMemoFromText(QStringLiteral("pasted"));
        f.settle();
        QCOMPARE(f.tree().totalCount(), 0);
        QVERIFY(!f.editor());
    }
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
