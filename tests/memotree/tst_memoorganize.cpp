// Deleting, moving, dropping, sorting, list view, expansion and the search filter.
#include "IniFile.h"
#include "MemoFrameFixture.h"

#include <QAction>
#include <QDragEnterEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QToolButton>

class TstMemoOrganize : public QObject
{
    Q_OBJECT
private slots:
    void deleteAsks_data();
    void deleteAsks();
    void deleteCascades_data();
    void deleteCascades();
    void moveMenus_data();
    void moveMenus();
    void moveAndDropOrders_data();
    void moveAndDropOrders();
    void movedMemoTakesItsSubMemosAlong_data();
    void movedMemoTakesItsSubMemosAlong();
    void dragOverExpandsAndRefusesFirstSelected();
    void dropsFromOutsideAreRefused();
    void sortIsStableBothWays_data();
    void sortIsStableBothWays();
    void sortDirectionCommand();
    void expansionWritesOnlyOnChange();
    void listViewToggle();
    void search_data();
    void search();
    void searchBoxStates();
    void wideSearchIsRemembered();

private:
    static void seedFamilies(MemoFrameFixture &f);
};

void TstMemoOrganize::seedFamilies(MemoFrameFixture &f)
{
    f.addRow("{A}", "root", "alpha");
    f.addRow("{A1}", "{A}", "alpha one");
    f.addRow("{A2}", "{A}", "alpha two");
    f.addRow("{B}", "root", "beta");
    f.addRow("{B1}", "{B}", "beta one");
    f.addRow("{C}", "root", "gamma");
}

void TstMemoOrganize::deleteAsks_data()
{
    QTest::addColumn<int>("selected");
    QTest::addColumn<QString>("question");
    QTest::newRow("one") << 1 << "Are you sure you want to delete this memo?";
    QTest::newRow("several") << 2 << "Are you sure you want to delete these memos?";
}

void TstMemoOrganize::deleteAsks()
{
    QFETCH(int, selected);
    QFETCH(QString, question);
    MemoFrameFixture f;
    seedFamilies(f);
    f.start();
    for (int i = 0; i < selected; ++i)
        f.tree().setSelected(f.tree().topLevelNode(i), true);
    f.answer = Boxes::IdCancel;
    QTest::keyClick(f.view(), Qt::Key_Delete);
    QCOMPARE(f.boxes.size(), size_t(1));
    QCOMPARE(f.boxes[0].caption, QStringLiteral("Ask"));
    QCOMPARE(f.boxes[0].text, question);
    QCOMPARE(f.count(), 6); // Cancel changes nothing
    QCOMPARE(f.tree().totalCount(), 6);
}

void TstMemoOrganize::deleteCascades_data()
{
    QTest::addColumn<QByteArray>("selected"); // "*": Select All with alpha expanded
    QTest::addColumn<QString>("refused");     // a memo whose row the database refuses to delete
    QTest::addColumn<QStringList>("gone");
    QTest::newRow("top-level memo takes its sub-memos")
        << QByteArray("alpha") << QString() << QStringList{"{A}", "{A1}", "{A2}"};
    QTest::newRow("sub-memo goes alone") << QByteArray("alpha two") << QString() << QStringList{"{A2}"};
    // A memo and its own sub-memos selected together, and a later delete failing: the
    // memos deleted so far leave the tree, each node once.
    QTest::newRow("failure part way with parent and sub-memos selected")
        << QByteArray("*") << QStringLiteral("{C}") << QStringList{"{A}", "{A1}", "{A2}", "{B}", "{B1}"};
}

void TstMemoOrganize::deleteCascades()
{
    QFETCH(QByteArray, selected);
    QFETCH(QString, refused);
    QFETCH(QStringList, gone);
    MemoFrameFixture f;
    seedFamilies(f);
    if (!refused.isEmpty())
        f.exec(QStringLiteral("create trigger refuse before delete on memos when old.mid='%1' "
                              "begin select raise(abort, 'refused'); end;")
                   .arg(refused));
    f.start();
    if (selected == "*") {
        f.tree().setExpanded(f.findNode("alpha"), true);
        f.frame->Action_SelectAll->trigger();
    } else {
        f.tree().setSelected(f.findNode(selected), true);
    }
    QTest::keyClick(f.view(), Qt::Key_Delete);
    QCOMPARE(f.count(), 6 - gone.size());
    QCOMPARE(f.tree().totalCount(), 6 - gone.size());
    for (const QString &mid : gone)
        QVERIFY2(f.column(mid, "mid").isNull(), qPrintable(mid));
    if (!refused.isEmpty())
        QCOMPARE(f.boxes.back().text, QStringLiteral("refused."));
    // Only a memo that could not be deleted stays selected.
    QCOMPARE(f.tree().selectedCount(), refused.isEmpty() ? 0 : 1);
    QCOMPARE(f.frame->Action_MemoDelete->isEnabled(), !refused.isEmpty());
}

void TstMemoOrganize::moveMenus_data()
{
    QTest::addColumn<QByteArray>("first");
    QTest::addColumn<QStringList>("items");
    QTest::newRow("top-level first: other memos, no Root") << QByteArray("beta") << QStringList{"alpha", "gamma"};
    QTest::newRow("sub-memo first: Root, separator, all but its parent")
        << QByteArray("alpha one") << QStringList{"Root", "", "beta", "gamma"};
}

void TstMemoOrganize::moveMenus()
{
    QFETCH(QByteArray, first);
    QFETCH(QStringList, items);
    MemoFrameFixture f;
    seedFamilies(f);
    f.start();
    f.tree().setSelected(f.findNode(first), true);
    const QString moveTo = QStringLiteral("&Move to");
    for (QMenu *menu : {f.submenu(f.contextMenu(f.findNode(first))->actions(), moveTo),
                        f.submenu(f.menuBarMenu(QStringLiteral("&Memos"))->actions(), moveTo)}) {
        QVERIFY(menu->isEnabled());
        emit menu->aboutToShow();
        QStringList captions;
        for (QAction *item : menu->actions())
            captions << (item->isSeparator() ? QString() : item->text());
        QCOMPARE(captions, items);
    }
}

void TstMemoOrganize::moveAndDropOrders_data()
{
    QTest::addColumn<bool>("drop");
    QTest::addColumn<QList<QByteArray>>("topOrder");
    // Moving puts each memo first, so several end up in reverse order; dropping appends.
    QTest::newRow("move to Root") << false << QList<QByteArray>{"beta one", "alpha two", "alpha", "beta", "gamma"};
    QTest::newRow("drop on blank area") << true << QList<QByteArray>{"alpha", "beta", "gamma", "alpha two", "beta one"};
}

void TstMemoOrganize::moveAndDropOrders()
{
    QFETCH(bool, drop);
    QFETCH(QList<QByteArray>, topOrder);
    MemoFrameFixture f;
    seedFamilies(f);
    f.start();
    f.tree().selectAllShown(); // nothing expanded: only top-level memos
    f.tree().clearSelection();
    f.tree().setExpanded(f.findNode("alpha"), true);
    f.tree().setExpanded(f.findNode("beta"), true);
    // select-all is the one way to select across parents
    f.tree().setSelected(f.findNode("alpha two"), true);
    f.tree().setSelected(f.findNode("beta one"), true);
    if (drop)
        f.view()->OnDragDrop(nullptr, QPoint());
    else
        f.frame->Action_MovetoExecute(true, nullptr);
    QCOMPARE(f.texts(), topOrder);
    QCOMPARE(f.column("{A2}", "pid"), QByteArray("root"));
    QCOMPARE(f.column("{B1}", "pid"), QByteArray("root"));
    QCOMPARE(f.tree().selectedCount(), 0);
}

void TstMemoOrganize::movedMemoTakesItsSubMemosAlong_data()
{
    QTest::addColumn<bool>("drop");
    QTest::newRow("move command") << false;
    QTest::newRow("drop onto a sub-memo of the target") << true;
}

void TstMemoOrganize::movedMemoTakesItsSubMemosAlong()
{
    QFETCH(bool, drop);
    MemoFrameFixture f;
    seedFamilies(f);
    f.start();
    OutlineNode *alpha = f.findNode("alpha");
    OutlineNode *beta = f.findNode("beta");
    f.tree().setSelected(alpha, true);
    if (drop)
        f.view()->OnDragDrop(f.findNode("beta one"), QPoint());
    else
        f.frame->Action_MovetoExecute(false, beta);

    // Two levels stay: alpha's sub-memos are filed under beta too, right after alpha.
    const QList<QByteArray> expected = drop ? QList<QByteArray>{"beta one", "alpha", "alpha one", "alpha two"}
                                            : QList<QByteArray>{"alpha", "alpha one", "alpha two", "beta one"};
    QCOMPARE(f.texts(beta), expected);
    QCOMPARE(alpha->childCount(), 0);
    for (const char *mid : {"{A}", "{A1}", "{A2}"})
        QCOMPARE(f.column(mid, "pid"), QByteArray("{B}"));
    QVERIFY(beta->isExpanded());
    QCOMPARE(f.column("{B}", "expandFlag"), QByteArray("1"));

    // After a reload nothing has vanished.
    f.reload();
    QCOMPARE(f.tree().totalCount(), 6);
}

void TstMemoOrganize::dragOverExpandsAndRefusesFirstSelected()
{
    MemoFrameFixture f;
    seedFamilies(f);
    f.start();
    OutlineNode *alpha = f.findNode("alpha");
    OutlineNode *beta = f.findNode("beta");
    f.tree().setSelected(alpha, true);
    QVERIFY(!f.view()->OnDragOver(alpha, QPoint()));
    QVERIFY(f.view()->OnDragOver(nullptr, QPoint()));
    QVERIFY(!beta->isExpanded());
    QVERIFY(f.view()->OnDragOver(beta, QPoint()));
    QVERIFY(beta->isExpanded()); // stored even if the drop goes elsewhere
    QCOMPARE(f.column("{B}", "expandFlag"), QByteArray("1"));
    QVERIFY(!f.view()->OnDragAllowed(nullptr));
    QVERIFY(f.view()->OnDragAllowed(alpha));
}

void TstMemoOrganize::dropsFromOutsideAreRefused()
{
    MemoFrameFixture f;
    seedFamilies(f);
    f.start();
    QMimeData mime;
    mime.setText(QStringLiteral("dragged from another program"));
    QDragEnterEvent enter(QPoint(10, 10), Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(f.view()->viewport(), &enter);
    QVERIFY(!enter.isAccepted());
}

void TstMemoOrganize::sortIsStableBothWays_data()
{
    QTest::addColumn<bool>("ascending");
    QTest::addColumn<QList<QByteArray>>("groups");
    QTest::newRow("ascending") << true << QList<QByteArray>{"", "a", "b", "_x"};
    QTest::newRow("descending") << false << QList<QByteArray>{"_x", "b", "a", ""};
}

void TstMemoOrganize::sortIsStableBothWays()
{
    QFETCH(bool, ascending);
    QFETCH(QList<QByteArray>, groups);
    MemoFrameFixture f;
    // Far more memos than the size below which a plain std::sort happens to keep equal
    // texts in order, with many equal texts ("b" and "B" are equal too).
    const QList<QByteArray> cycle{"b", "_x", "B", "", "a"};
    for (int i = 0; i < 100; ++i)
        f.addRow(QStringLiteral("{%1}").arg(i, 3, 10, QLatin1Char('0')), "root", cycle[i % cycle.size()]);
    IniFile::WriteBool(f.iniPath(), "memo", "viewAscEn", ascending);
    f.start();
    QList<QByteArray> seenGroups;
    QByteArray previousMid;
    for (int i = 0; i < f.tree().topLevelCount(); ++i) {
        const TMemoInfo *memo = memoOf(f.tree().topLevelNode(i));
        const QByteArray group = memo->content.toLower();
        if (seenGroups.isEmpty() || seenGroups.last() != group) {
            seenGroups << group;
        } else {
            // Equal texts keep the order they were loaded in, in both directions.
            QVERIFY2(previousMid < memo->mid, qPrintable(previousMid + " before " + memo->mid));
        }
        previousMid = memo->mid;
    }
    QCOMPARE(seenGroups, groups);
}

void TstMemoOrganize::sortDirectionCommand()
{
    MemoFrameFixture f;
    f.addRow("{1}", "root", "a");
    f.addRow("{2}", "root", "b");
    f.start(); // no viewAscEn stored: ascending
    QAction *sort = f.frame->Action_ViewAsc;
    QCOMPARE(sort->property("imageIndex").toInt(), 8);
    QCOMPARE(sort->toolTip(), QStringLiteral("Descending Sort"));
    QCOMPARE(f.texts(), (QList<QByteArray>{"a", "b"}));
    sort->trigger();
    QCOMPARE(f.texts(), (QList<QByteArray>{"b", "a"}));
    QCOMPARE(sort->property("imageIndex").toInt(), 7);
    QCOMPARE(sort->toolTip(), QStringLiteral("Ascending Sort"));
    QCOMPARE(IniFile::ReadString(f.iniPath(), "memo", "viewAscEn", QString()), QStringLiteral("0"));
    // A memo added later stays at the end until the direction changes again.
    f.frame->AddMemoFromText(QStringLiteral("c"));
    QCOMPARE(f.texts(), (QList<QByteArray>{"b", "a", "c"}));
}

void TstMemoOrganize::expansionWritesOnlyOnChange()
{
    MemoFrameFixture f;
    seedFamilies(f);
    f.addRow("{D}", "root", "delta", true);
    f.addRow("{D1}", "{D}", "delta one");
    f.start();
    int changes = f.totalChanges();
    f.tree().setExpanded(f.findNode("delta"), true); // already expanded: nothing happens
    QCOMPARE(f.totalChanges(), changes);

    f.frame->Action_ExpandAll->trigger(); // alpha, beta, gamma change; delta not
    QCOMPARE(f.totalChanges(), changes);  // bulk changes are written when the user pauses
    QTRY_COMPARE_WITH_TIMEOUT(f.totalChanges(), changes + 3, 2000);
    QCOMPARE(f.totalChanges(), changes + 3);
    QCOMPARE(f.count("where expandFlag=1"), 4);
    changes = f.totalChanges();
    f.frame->Action_CollapseAll->trigger();
    f.frame->storePendingExpandStates();
    QCOMPARE(f.totalChanges(), changes + 4); // one statement per changed memo
    QCOMPARE(f.count("where expandFlag=1"), 0);
    QVERIFY(f.findNode("alpha one")->isVisible()); // sub-memos are not collapsed themselves
}

void TstMemoOrganize::listViewToggle()
{
    MemoFrameFixture f;
    seedFamilies(f);
    f.start();
    QAction *list = f.frame->Action_ViewList;
    OutlineNode *alphaTwo = f.findNode("alpha two");
    QCOMPARE(f.shownText(alphaTwo), QStringLiteral("alpha two"));
    list->trigger();
    QVERIFY(list->isChecked());
    QCOMPARE(IniFile::ReadString(f.iniPath(), "memo", "viewListEn", QString()), QStringLiteral("1"));
    QCOMPARE(f.shownText(f.findNode("beta")), QStringLiteral("2. beta"));
    QCOMPARE(f.shownText(alphaTwo), QStringLiteral("(2) alpha two"));

    // Reading the settings at a load writes nothing back, even where the stored text is
    // not in the form the command writes.
    IniFile::WriteString(f.iniPath(), "memo", "viewListEn", QStringLiteral("0x1"));
    f.reload();
    QVERIFY(list->isChecked());
    QCOMPARE(IniFile::ReadString(f.iniPath(), "memo", "viewListEn", QString()), QStringLiteral("0x1"));
}

void TstMemoOrganize::search_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("wide");
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<QStringList>("expanded");
    QTest::addColumn<int>("tip");

    QTest::newRow("case-sensitive: memo does not find Memo") << "memo" << false << QStringList{} << QStringList{} << 3;
    QTest::newRow("blanks around are ignored") << "  Memo  " << false << QStringList{"Memo top"} << QStringList{} << 0;
    QTest::newRow("blanks inside count") << "two  words" << false << QStringList{} << QStringList{} << 3;
    QTest::newRow("matching sub-memo shows and expands its parent")
        << "needle" << false << QStringList{"plain parent", "needle child"} << QStringList{"plain parent"} << 0;
    QTest::newRow("narrow: matching parent without its sub-memos")
        << "Memo" << false << QStringList{"Memo top"} << QStringList{} << 0;
    QTest::newRow("wide: matching parent with all its sub-memos, expanded")
        << "Memo" << true << QStringList{"Memo top", "first sub", "second sub"} << QStringList{"Memo top"} << 0;
    QTest::newRow("line breaks are part of the text")
        << "line\r\nnext" << false << QStringList{"a line\r\nnext"} << QStringList{} << 0;
}

void TstMemoOrganize::search()
{
    QFETCH(QString, typed);
    QFETCH(bool, wide);
    QFETCH(QStringList, shown);
    QFETCH(QStringList, expanded);
    QFETCH(int, tip);
    MemoFrameFixture f;
    f.addRow("{M}", "root", "Memo top");
    f.addRow("{M1}", "{M}", "first sub");
    f.addRow("{M2}", "{M}", "second sub");
    f.addRow("{P}", "root", "plain parent");
    f.addRow("{P1}", "{P}", "needle child");
    f.addRow("{P2}", "{P}", "hay");
    f.addRow("{L}", "root", "a line\r\nnext");
    IniFile::WriteBool(f.iniPath(), "memo", "searchWideEn", wide);
    f.start();
    f.searchBox()->setFocus();
    QCoreApplication::processEvents();
    QVERIFY(f.searchBar()->isSearching());
    // Set as pasted, so that a line break reaches the box as well.
    f.searchBox()->setText(typed);
    QStringList visible;
    for (OutlineNode *node = f.tree().firstNode(); node; node = OutlineTree::nextNode(node))
        if (OutlineTree::isShown(node))
            visible << QString::fromUtf8(memoOf(node)->content);
    QCOMPARE(visible, shown);
    f.frame->storePendingExpandStates();
    for (const QString &parent : expanded) {
        QVERIFY(f.findNode(parent.toUtf8())->isExpanded());
        QCOMPARE(f.column(QString::fromLatin1(memoOf(f.findNode(parent.toUtf8()))->mid), "expandFlag"),
                 QByteArray("1")); // stored, and it outlives the search
    }
    QCOMPARE(f.tip()->tipMode(), tip);
    if (tip == 3) {
        QTest::mouseClick(f.part<QLabel>("label_tip"), Qt::LeftButton); // "Search no result" clears the search
        QVERIFY(!f.searchBar()->isSearching());
        QCOMPARE(f.searchBox()->text(), QStringLiteral("  Search..."));
        QCOMPARE(f.tree().visibleCount(), 7);
    }
}

void TstMemoOrganize::searchBoxStates()
{
    MemoFrameFixture f;
    seedFamilies(f);
    f.start();
    QLineEdit *box = f.searchBox();
    QCOMPARE(box->text(), QStringLiteral("  Search..."));
    QVERIFY(!f.searchBar()->isSearching());
    QCOMPARE(f.part<QWidget>("Btn_Search")->property("imageIndex").toInt(), 18);
    box->setFocus();
    QCoreApplication::processEvents();
    QVERIFY(f.searchBar()->isSearching());
    QCOMPARE(box->text(), QString());
    QCOMPARE(f.part<QWidget>("Btn_Search")->property("imageIndex").toInt(), 19);
    QCOMPARE(f.part<QWidget>("Btn_Search")->toolTip(), QStringLiteral("Clear search"));
    QTest::keyClicks(box, "   ");
    f.view()->setFocus(); // leaving with only blanks returns to the placeholder
    QCoreApplication::processEvents();
    QVERIFY(!f.searchBar()->isSearching());
    QCOMPARE(box->text(), QStringLiteral("  Search..."));
    QCOMPARE(f.tree().visibleCount(), 6);

    box->setFocus();
    QTest::keyClicks(box, "alpha");
    QCOMPARE(f.tree().visibleCount(), 3);
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(box->selectedText(), QStringLiteral("alpha"));
    QTest::keyClick(box, Qt::Key_Escape); // clears, shows everything, focuses the tree
    QCoreApplication::processEvents();
    QVERIFY(!f.searchBar()->isSearching());
    QCOMPARE(f.tree().visibleCount(), 6);
    QVERIFY(f.view()->hasFocus());
}

void TstMemoOrganize::wideSearchIsRemembered()
{
    MemoFrameFixture f;
    seedFamilies(f);
    f.start();
    f.searchBox()->setFocus();
    QTest::keyClicks(f.searchBox(), "alpha two");
    QCOMPARE(f.tree().visibleCount(), 2);
    f.frame->Action_searchWide->trigger(); // re-filters at once
    QCOMPARE(IniFile::ReadString(f.iniPath(), "memo", "searchWideEn", QString()), QStringLiteral("1"));
    f.searchBox()->clear();
    QTest::keyClicks(f.searchBox(), "alpha");
    QCOMPARE(f.tree().visibleCount(), 3); // alpha with both sub-memos
}

QTEST_MAIN(TstMemoOrganize)
#include "tst_memoorganize.moc"
