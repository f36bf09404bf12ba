// The memo tree's commands: captions, hints and pictures, the enabled state, keys, the
// double click, context menus and the menu bar, select all, and the clipboard.
#include "ImageLists.h"
#include "MemoFrameFixture.h"
#include "PictureToolBar.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QRegularExpression>
#include <QSet>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

namespace {

// A caption with a key text after a run of blanks, e.g. "&Add Memo" 10 "Enter".
QString spaced(const char *caption, int blanks, const char *key)
{
    return QString::fromLatin1(caption) + QString(blanks, QLatin1Char(' ')) + QString::fromLatin1(key);
}

// Item captions of a menu, separators as empty strings.
QStringList captions(const QMenu *menu)
{
    QStringList list;
    for (const QAction *item : menu->actions())
        list << (item->isSeparator() ? QString() : item->text());
    return list;
}

QClipboard *clipboard()
{
    return QGuiApplication::clipboard();
}

// alpha (expanded: alpha one, alpha two), beta (collapsed: beta one), gamma.
void seedFamilies(MemoFrameFixture &f)
{
    f.addRow("{A}", "root", "alpha", true);
    f.addRow("{A1}", "{A}", "alpha one");
    f.addRow("{A2}", "{A}", "alpha two");
    f.addRow("{B}", "root", "beta");
    f.addRow("{B1}", "{B}", "beta one");
    f.addRow("{C}", "root", "gamma");
}

// The "&Move to" submenu that ends a memo menu.
QMenu *moveMenuOf(const QMenu *menu)
{
    const QList<QAction *> items = menu->actions();
    return items.isEmpty() ? nullptr : items.last()->menu();
}

QList<QByteArray> selectedTexts(MemoFrameFixture &f)
{
    QList<QByteArray> list;
    for (const OutlineNode *node : f.tree().selectedNodes())
        list << memoOf(node)->content;
    return list;
}

} // namespace

class TstMemoCommands : public QObject
{
    Q_OBJECT
private slots:
    void actionLooks_data();
    void actionLooks();
    void topToolBarOrder();
    void commandState_data();
    void commandState();
    void addKeys_data();
    void addKeys();
    void otherKeys_data();
    void otherKeys();
    void doubleClick_data();
    void doubleClick();
    void popupMenus();
    void rightClickShowsMenu_data();
    void rightClickShowsMenu();
    void mainMenu();
    void selectAll_data();
    void selectAll();
    void copy_data();
    void copy();
    void copyAfterSelectAll();
    void paste_data();
    void paste();
    void pasteWhileEditing_data();
    void pasteWhileEditing();
    void pastedMemoIsNeitherSelectedNorSorted();
};

// ---------------------------------------------------------------------------------------
// Captions, hints, pictures

void TstMemoCommands::actionLooks_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("hint"); // empty: none
    QTest::addColumn<int>("image");    // -1: none
    QTest::addColumn<bool>("checkable");

    QTest::newRow("add") << "Action_MemoAdd" << spaced("&Add Memo", 10, "Enter") << "Add Memo" << 13 << false;
    QTest::newRow("add sub") << "Action_MemoAddChild" << spaced("Add &Sub-Memo", 4, "Ctrl+Enter") << "Add Sub-Memo" << 2
                             << false;
    QTest::newRow("edit") << "Action_MemoEdit" << spaced("&Edit", 14, "F2") << "Edit Memo or Sub-Memo" << 3 << false;
    QTest::newRow("delete") << "Action_MemoDelete"
                            << "&Delete"
                            << "Delete Memo or Sub-Memo" << 4 << false;
    QTest::newRow("sort direction, ascending now") << "Action_ViewAsc"
                                                   << "Sort Direction"
                                                   << "Descending Sort" << 8 << false;
    QTest::newRow("list view") << "Action_ViewList"
                               << "View &List"
                               << "List view memos" << 10 << true;
    QTest::newRow("move") << "Action_Moveto"
                          << "&Move"
                          << "" << -1 << false;
    QTest::newRow("expand all") << "Action_ExpandAll"
                                << "&Expand All"
                                << "Expand all" << 11 << false;
    QTest::newRow("collapse all") << "Action_CollapseAll"
                                  << "&Collapse All"
                                  << "Collapse all" << 12 << false;
    QTest::newRow("select all") << "Action_SelectAll" << spaced("Select &All", 8, "Ctrl+A") << "" << -1 << false;
    QTest::newRow("deselect") << "Action_Deselect"
                              << "&Deselect"
                              << "" << -1 << false;
    QTest::newRow("copy") << "Action_CopyMemo" << spaced("&Copy", 14, "Ctrl+C") << "" << -1 << false;
    QTest::newRow("paste") << "Action_PasteMemo" << spaced("&Paste", 13, "Ctrl+V") << "" << -1 << false;
    QTest::newRow("export") << "Action_Export"
                            << "&Export..."
                            << "" << -1 << false;
    QTest::newRow("e-mail") << "Action_Email"
                            << "E-mai&l Memo..."
                            << "" << -1 << false;
    QTest::newRow("save") << "Action_Save"
                          << "Sa&ve Memo..."
                          << "" << -1 << false;
    QTest::newRow("save all") << "Action_SaveAll"
                              << "&Save All..."
                              << "" << 15 << false;
    QTest::newRow("print") << "Action_Print"
                           << "&Print..."
                           << "" << 16 << false;
    QTest::newRow("wide search") << "Action_searchWide"
                                 << ""
                                 << "View all sub-Memos in search result" << 22 << true;
}

void TstMemoCommands::actionLooks()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QString, hint);
    QFETCH(int, image);
    QFETCH(bool, checkable);

    MemoFrameFixture f;
    f.start();
    auto *action = f.frame->findChild<QAction *>(name);
    QVERIFY(action);
    QCOMPARE(action->text(), caption);
    if (hint.isEmpty())
        QCOMPARE(action->statusTip(), QString());
    else
        QCOMPARE(action->toolTip(), hint);
    QCOMPARE(action->property("imageIndex").toInt(), image);
    QCOMPARE(action->icon().isNull(), image < 0);
    QCOMPARE(action->isCheckable(), checkable);
}

void TstMemoCommands::topToolBarOrder()
{
    MemoFrameFixture f;
    f.addRow("{A}", "root", "a");
    f.start();
    QToolBar *bar = f.part<QToolBar>("ToolBar_Top");
    QStringList names;
    for (const QAction *item : bar->actions())
        names << (item->isSeparator() ? QString() : item->objectName());
    QCOMPARE(names, (QStringList{"Action_MemoAdd", "Action_MemoAddChild", "Action_MemoEdit", "Action_MemoDelete", "",
                                 "Action_ViewAsc", "Action_ExpandAll", "Action_CollapseAll", "", "Action_ViewList"}));
    // The buttons keep their 22 pixel pictures through changes of the command state and
    // of the sort command's picture.
    f.selectOnly(f.findNode("a"));
    f.tree().clearSelection();
    f.frame->Action_ViewAsc->trigger();
    for (QAction *item : bar->actions()) {
        if (item->isSeparator())
            continue;
        auto *button = qobject_cast<QToolButton *>(bar->widgetForAction(item));
        QVERIFY(button);
        QCOMPARE(button->size(), QSize(29, 28));
        const int image = item->property("imageIndex").toInt();
        QCOMPARE(button->icon().pixmap(QSize(22, 22)).toImage(),
                 ImageLists::icon22(image).pixmap(QSize(22, 22)).toImage());
    }
}

// ---------------------------------------------------------------------------------------
// Enabled state

void TstMemoCommands::commandState_data()
{
    QTest::addColumn<QString>("situation");
    QTest::addColumn<bool>("commonOn"); // add, add sub, sort, list, expand, collapse, select all, deselect, copy, paste
    QTest::addColumn<bool>("selectionOn"); // edit, delete, move and the two "&Move to" submenus

    QTest::newRow("edit requested, memo selected") << "requested" << false << false;
    QTest::newRow("edit open, memo selected") << "open" << false << false;
    QTest::newRow("new memo being edited") << "new" << false << false;
    QTest::newRow("nothing selected") << "none" << true << false;
    QTest::newRow("one memo selected") << "one" << true << true;
    QTest::newRow("several selected") << "all" << true << true;
    QTest::newRow("edit cancelled, memo still selected") << "cancelled" << true << true;
}

void TstMemoCommands::commandState()
{
    QFETCH(QString, situation);
    QFETCH(bool, commonOn);
    QFETCH(bool, selectionOn);

    MemoFrameFixture f;
    seedFamilies(f);
    f.start();
    TqzMemosFrame *fr = f.frame;
    if (situation != QLatin1String("none"))
        f.tree().setSelected(f.findNode("beta"), true);
    if (situation == QLatin1String("requested") || situation == QLatin1String("open")
        || situation == QLatin1String("cancelled")) {
        fr->Action_MemoEditExecute();
        QVERIFY(fr->memoBeingEdited());
        if (situation != QLatin1String("requested")) {
            f.settle();
            QVERIFY(f.editor());
        }
        if (situation == QLatin1String("cancelled")) {
            QTest::keyClick(f.editor(), Qt::Key_Escape);
            f.settle();
            QVERIFY(!f.editor());
        }
    } else if (situation == QLatin1String("new")) {
        fr->Action_MemoAddExecute();
        f.settle();
        QVERIFY(f.editor());
    } else if (situation == QLatin1String("all")) {
        fr->Action_SelectAll->trigger();
        QVERIFY(f.tree().selectedCount() > 1);
    }

    for (QAction *action :
         {fr->Action_MemoAdd, fr->Action_MemoAddChild, fr->Action_ViewAsc, fr->Action_ViewList, fr->Action_ExpandAll,
          fr->Action_CollapseAll, fr->Action_SelectAll, fr->Action_Deselect, fr->Action_CopyMemo, fr->Action_PasteMemo,
          fr->Action_Email, fr->Action_Save, fr->Action_SaveAll, fr->Action_Print})
        QVERIFY2(action->isEnabled() == commonOn, qPrintable(action->objectName()));
    for (QAction *action : {fr->Action_MemoEdit, fr->Action_MemoDelete, fr->Action_Moveto})
        QVERIFY2(action->isEnabled() == selectionOn, qPrintable(action->objectName()));
    // Export and wide search are never disabled.
    QVERIFY(fr->Action_Export->isEnabled());
    QVERIFY(fr->Action_searchWide->isEnabled());
    // The submenus of the context menu over a memo and of the "&Memos" menu.
    QMenu *memoMenu = f.view()->OnGetPopupMenu(f.findNode("beta"));
    QVERIFY(memoMenu);
    QMenu *mainMemos = f.menuBarMenu(QStringLiteral("&Memos"));
    QVERIFY(mainMemos);
    for (QMenu *menu : {moveMenuOf(memoMenu), moveMenuOf(mainMemos)}) {
        QVERIFY(menu);
        QCOMPARE(menu->title(), QStringLiteral("&Move to"));
        QCOMPARE(menu->isEnabled(), selectionOn);
        QCOMPARE(menu->menuAction()->isEnabled(), selectionOn);
        if (!selectionOn)
            QVERIFY(menu->actions().isEmpty());
        // The items are made as the submenu opens; while editing there are none.
        emit menu->aboutToShow();
        QCOMPARE(menu->actions().isEmpty(), !selectionOn);
    }
}

// ---------------------------------------------------------------------------------------
// Keys on the tree

void TstMemoCommands::addKeys_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<bool>("subMemo");

    QTest::newRow("Enter") << int(Qt::Key_Return) << int(Qt::NoModifier) << false;
    QTest::newRow("Shift+Enter") << int(Qt::Key_Return) << int(Qt::ShiftModifier) << false;
    QTest::newRow("Alt+Enter") << int(Qt::Key_Return) << int(Qt::AltModifier) << false;
    QTest::newRow("Shift+Alt+Enter") << int(Qt::Key_Return) << int(Qt::ShiftModifier | Qt::AltModifier) << false;
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << int(Qt::KeypadModifier) << false;
    QTest::newRow("Ctrl+Enter") << int(Qt::Key_Return) << int(Qt::ControlModifier) << true;
    QTest::newRow("Ctrl+Shift+Enter") << int(Qt::Key_Return) << int(Qt::ControlModifier | Qt::ShiftModifier) << true;
    QTest::newRow("Ctrl+Alt+Enter") << int(Qt::Key_Return) << int(Qt::ControlModifier | Qt::AltModifier) << true;
    QTest::newRow("Ctrl+keypad Enter") << int(Qt::Key_Enter) << int(Qt::ControlModifier | Qt::KeypadModifier) << true;
}

void TstMemoCommands::addKeys()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(bool, subMemo);

    MemoFrameFixture f;
    seedFamilies(f);
    f.start();
    OutlineNode *beta = f.findNode("beta");
    f.tree().setSelected(beta, true);
    QTest::keyClick(f.view(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    f.settle();

    QVERIFY(f.editor());
    OutlineNode *added = f.frame->memoBeingEdited();
    QVERIFY(added);
    QVERIFY(memoOf(added)->content.isEmpty());
    QCOMPARE(f.tree().totalCount(), 7);
    if (subMemo) {
        QCOMPARE(added->parent(), beta);
        QCOMPARE(memoOf(added)->pid, QByteArray("{B}"));
    } else {
        QVERIFY(!added->parent());
        QCOMPARE(added, f.tree().lastTopLevel());
        QCOMPARE(memoOf(added)->pid, QByteArray("root"));
    }
}

void TstMemoCommands::otherKeys_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("outcome"); // "asks", "copies", "pastes", "selectsAll", "nothing"

    QTest::newRow("Delete asks") << int(Qt::Key_Delete) << int(Qt::NoModifier) << "asks";
    QTest::newRow("Shift+Delete asks") << int(Qt::Key_Delete) << int(Qt::ShiftModifier) << "asks";
    QTest::newRow("Alt+Delete asks") << int(Qt::Key_Delete) << int(Qt::AltModifier) << "asks";
    QTest::newRow("Ctrl+C copies") << int(Qt::Key_C) << int(Qt::ControlModifier) << "copies";
    QTest::newRow("Ctrl+Shift+C copies") << int(Qt::Key_C) << int(Qt::ControlModifier | Qt::ShiftModifier) << "copies";
    QTest::newRow("C alone copies nothing") << int(Qt::Key_C) << int(Qt::NoModifier) << "nothing";
    QTest::newRow("Shift+C copies nothing") << int(Qt::Key_C) << int(Qt::ShiftModifier) << "nothing";
    QTest::newRow("Ctrl+V pastes") << int(Qt::Key_V) << int(Qt::ControlModifier) << "pastes";
    QTest::newRow("Ctrl+Shift+V pastes") << int(Qt::Key_V) << int(Qt::ControlModifier | Qt::ShiftModifier) << "pastes";
    QTest::newRow("V alone pastes nothing") << int(Qt::Key_V) << int(Qt::NoModifier) << "nothing";
    QTest::newRow("Ctrl+A selects both levels") << int(Qt::Key_A) << int(Qt::ControlModifier) << "selectsAll";
    QTest::newRow("A alone selects nothing more") << int(Qt::Key_A) << int(Qt::NoModifier) << "nothing";
}

void TstMemoCommands::otherKeys()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, outcome);

    MemoFrameFixture f;
    seedFamilies(f);
    f.start();
    f.answer = Boxes::IdCancel;
    clipboard()->setText(QStringLiteral("from the clipboard"));
    f.tree().setSelected(f.findNode("beta"), true);
    QTest::keyClick(f.view(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    f.settle();

    QVERIFY(!f.frame->memoBeingEdited());
    QCOMPARE(f.boxes.size(), size_t(outcome == QLatin1String("asks") ? 1 : 0));
    QCOMPARE(f.count(), outcome == QLatin1String("pastes") ? 7 : 6);
    QCOMPARE(clipboard()->text(),
             outcome == QLatin1String("copies") ? QStringLiteral("beta") : QStringLiteral("from the clipboard"));
    QCOMPARE(selectedTexts(f), outcome == QLatin1String("selectsAll")
                                   ? (QList<QByteArray>{"alpha", "alpha one", "alpha two", "beta", "gamma"})
                                   : QList<QByteArray>{"beta"});
    if (outcome == QLatin1String("asks")) {
        QCOMPARE(f.boxes[0].caption, QStringLiteral("Ask"));
        QCOMPARE(f.boxes[0].text, QStringLiteral("Are you sure you want to delete this memo?"));
    }
    if (outcome == QLatin1String("pastes"))
        QCOMPARE(memoOf(f.tree().lastTopLevel())->content, QByteArray("from the clipboard"));
}

// ---------------------------------------------------------------------------------------
// Double click

void TstMemoCommands::doubleClick_data()
{
    QTest::addColumn<bool>("onMemo");
    QTest::addColumn<QString>("edit"); // "", "requested", "open"
    QTest::addColumn<bool>("adds");

    QTest::newRow("on a memo adds nothing") << true << "" << false;
    QTest::newRow("on blank area below the memos adds a memo") << false << "" << true;
    QTest::newRow("on blank area while an edit is requested adds nothing") << false << "requested" << false;
    QTest::newRow("on blank area while an edit is open adds nothing, the edit ends") << false << "open" << false;
}

void TstMemoCommands::doubleClick()
{
    QFETCH(bool, onMemo);
    QFETCH(QString, edit);
    QFETCH(bool, adds);

    MemoFrameFixture f;
    f.addRow("{A}", "root", "alpha");
    f.addRow("{B}", "root", "beta");
    f.start();
    OutlineNode *editing = nullptr;
    if (!edit.isEmpty()) {
        f.frame->Action_MemoAddExecute();
        editing = f.frame->memoBeingEdited();
        if (edit == QLatin1String("open")) {
            f.settle();
            QVERIFY(f.editor());
            QTest::keyClicks(f.editor(), "typed");
        }
    }
    const int before = f.tree().totalCount();
    const QPoint memoPos = rowCenter(f, f.findNode("beta"));
    const QPoint blankPos = blankBelowRows(f);
    const QPoint pos = onMemo ? memoPos : blankPos;
    // The pointer last moved over the other place: where the double click itself lands
    // decides whether it adds.
    QWidget *viewport = f.view()->viewport();
    const QPoint elsewhere = onMemo ? blankPos : memoPos;
    QMouseEvent move(QEvent::MouseMove, elsewhere, viewport->mapToGlobal(elsewhere), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(viewport, &move);
    QTest::mouseDClick(viewport, Qt::LeftButton, Qt::NoModifier, pos);
    f.settle(); // Msg::AddMemo, then Msg::StartEdit

    QCOMPARE(f.tree().totalCount(), before + (adds ? 1 : 0));
    if (adds) {
        QVERIFY(f.editor());
        OutlineNode *added = f.frame->memoBeingEdited();
        QCOMPARE(added, f.tree().lastTopLevel());
        QCOMPARE(memoOf(added)->pid, QByteArray("root"));
    } else if (edit == QLatin1String("requested")) {
        QCOMPARE(f.frame->memoBeingEdited(), editing);
    } else if (edit == QLatin1String("open")) {
        // The click took the focus from the editor, which ends the edit as a commit.
        QVERIFY(!f.editor());
        QVERIFY(!f.frame->memoBeingEdited());
        QCOMPARE(f.count(), 3);
        QCOMPARE(memoOf(editing)->content, QByteArray("typed"));
    } else {
        QVERIFY(!f.frame->memoBeingEdited());
        QVERIFY(!f.editor());
    }
}

// ---------------------------------------------------------------------------------------
// Menus

void TstMemoCommands::popupMenus()
{
    MemoFrameFixture f;
    f.addRow("{A}", "root", "alpha");
    f.start();
    OutlineView *view = f.view();
    QMenu *memoMenu = view->OnGetPopupMenu(view->nodeAt(rowCenter(f, f.findNode("alpha"))));
    QMenu *blankMenu = view->OnGetPopupMenu(view->nodeAt(blankBelowRows(f)));
    QVERIFY(memoMenu);
    QVERIFY(blankMenu);
    QVERIFY(memoMenu != blankMenu);

    QCOMPARE(captions(memoMenu),
             (QStringList{spaced("&Add Memo", 10, "Enter"), spaced("Add &Sub-Memo", 4, "Ctrl+Enter"), "",
                          "E-mai&l Memo...", "Sa&ve Memo...", "", spaced("&Edit", 14, "F2"), "&Delete", "",
                          spaced("&Copy", 14, "Ctrl+C"), spaced("&Paste", 13, "Ctrl+V"), "", "&Move to"}));
    QMenu *moveMenu = moveMenuOf(memoMenu);
    QVERIFY(moveMenu);
    QCOMPARE(moveMenu->title(), QStringLiteral("&Move to"));
    // Its own submenu, not the one of the "&Memos" menu.
    QMenu *mainMemos = f.menuBarMenu(QStringLiteral("&Memos"));
    QVERIFY(mainMemos);
    QVERIFY(moveMenuOf(mainMemos) != moveMenu);
    QCOMPARE(captions(blankMenu),
             (QStringList{spaced("&Add Memo", 10, "Enter"), spaced("Add &Sub-Memo", 4, "Ctrl+Enter"), "",
                          spaced("&Paste", 13, "Ctrl+V")}));
}

void TstMemoCommands::rightClickShowsMenu_data()
{
    QTest::addColumn<bool>("onMemo");
    QTest::newRow("on a memo: memo menu, memo selected first") << true;
    QTest::newRow("on blank area: the other menu") << false;
}

void TstMemoCommands::rightClickShowsMenu()
{
    QFETCH(bool, onMemo);
    MemoFrameFixture f;
    f.addRow("{A}", "root", "alpha");
    f.addRow("{B}", "root", "beta");
    f.start();
    OutlineNode *beta = f.findNode("beta");
    f.tree().setSelected(f.findNode("alpha"), true);
    const QPoint pos = onMemo ? rowCenter(f, beta) : blankBelowRows(f);
    QWidget *viewport = f.view()->viewport();

    // Closes whatever menu pops up, remembering the first one.
    QMenu *shown = nullptr;
    OutlineNode *selectedWhenShown = nullptr;
    QTimer closer;
    closer.setInterval(10);
    connect(&closer, &QTimer::timeout, [&] {
        if (auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget())) {
            if (!shown) {
                shown = menu;
                selectedWhenShown = f.tree().firstSelected();
            }
            menu->close();
        }
    });
    closer.start();
    QTest::mouseClick(viewport, Qt::RightButton, Qt::NoModifier, pos);
    QContextMenuEvent event(QContextMenuEvent::Mouse, pos, viewport->mapToGlobal(pos));
    QCoreApplication::sendEvent(viewport, &event);
    closer.stop();

    QVERIFY(shown);
    QCOMPARE(shown, f.view()->OnGetPopupMenu(onMemo ? beta : nullptr));
    QVERIFY(shown != f.view()->OnGetPopupMenu(onMemo ? nullptr : beta));
    if (onMemo) {
        QCOMPARE(selectedWhenShown, beta);
        QCOMPARE(f.tree().selectedCount(), 1);
    }
}

void TstMemoCommands::mainMenu()
{
    MemoFrameFixture f;
    f.addRow("{A}", "root", "a");
    f.start();
    // Installed in the host window by Msg::SetupTree; the window's own bar would be empty.
    QMenuBar *bar = f.host->menuBar();
    QVERIFY(bar);
    QVERIFY(bar->isVisible());

    QStringList titles;
    QList<QMenu *> menus;
    for (QAction *item : bar->actions()) {
        titles << item->text();
        menus << item->menu();
    }
    QCOMPARE(titles, (QStringList{"&File", "&Edit", "&View", "&Memos", "&Help"}));

    QCOMPARE(captions(menus[1]), (QStringList{spaced("&Copy", 14, "Ctrl+C"), spaced("&Paste", 13, "Ctrl+V"), "",
                                              spaced("Select &All", 8, "Ctrl+A"), "&Deselect"}));
    QCOMPARE(captions(menus[2]), (QStringList{"View &List", "", "&Expand All", "&Collapse All"}));
    QCOMPARE(
        captions(menus[3]),
        (QStringList{spaced("&Add Memo", 10, "Enter"), spaced("Add &Sub-Memo", 4, "Ctrl+Enter"), "", "E-mai&l Memo...",
                     "Sa&ve Memo...", "", spaced("&Edit", 14, "F2"), "&Delete", "", "&Move to"}));
    QVERIFY(moveMenuOf(menus[3]));
    QCOMPARE(moveMenuOf(menus[3])->title(), QStringLiteral("&Move to"));

    // The commands that other parts of the program bring (none in this fixture) show
    // disabled until they exist; the frame's own commands are its actions.
    for (QMenu *menu : {menus[0], menus[4]})
        for (QAction *item : menu->actions())
            if (!item->isSeparator() && item->parent() != f.frame)
                QVERIFY2(!item->isEnabled(), qPrintable(item->text()));

    QCOMPARE(captions(menus[0]),
             (QStringList{"&Options...", "", "Database &Backup...", "Database &Restore...", "", "&Export...", "&Import",
                          "", "&Save All...", "&Print...", "", "S&tay on top", "", spaced("&Close", 12, "Ctrl+F12")}));
    QCOMPARE(captions(menus[4]), (QStringList{"&Contents", "", "C&ontact Technical Support", "&Make a Suggestion", "",
                                              "&Visit Brivel Website", "Check for &Update", "", "&About"}));

    // Every separator shows, even one that ends a menu (a "&Move to" list with Root alone).
    QMenu *memoMenu = f.view()->OnGetPopupMenu(f.findNode("a"));
    menus << moveMenuOf(menus[3]) << memoMenu << moveMenuOf(memoMenu) << f.view()->OnGetPopupMenu(nullptr);
    for (QMenu *menu : menus)
        QVERIFY2(!menu->separatorsCollapsible(), qPrintable(menu->title()));
}

// ---------------------------------------------------------------------------------------
// Select all, deselect

void TstMemoCommands::selectAll_data()
{
    QTest::addColumn<QString>("search");
    QTest::addColumn<bool>("collapseAlpha");
    QTest::addColumn<QList<QByteArray>>("selected");

    QTest::newRow("expanded memo: both levels together")
        << "" << false << QList<QByteArray>{"alpha", "alpha one", "alpha two", "beta", "gamma"};
    QTest::newRow("collapsed memos keep their sub-memos out")
        << "" << true << QList<QByteArray>{"alpha", "beta", "gamma"};
    QTest::newRow("filtered-out memos stay unselected")
        << "alpha t" << false << QList<QByteArray>{"alpha", "alpha two"};
}

void TstMemoCommands::selectAll()
{
    QFETCH(QString, search);
    QFETCH(bool, collapseAlpha);
    QFETCH(QList<QByteArray>, selected);

    MemoFrameFixture f;
    seedFamilies(f);
    f.start();
    if (collapseAlpha)
        f.tree().setExpanded(f.findNode("alpha"), false);
    if (!search.isEmpty()) {
        f.typeSearch(search);
        QVERIFY(f.searchBar()->isSearching());
    }
    f.tree().setSelected(f.findNode("beta"), true);
    f.frame->Action_SelectAll->trigger();
    QCOMPARE(selectedTexts(f), selected);
    QVERIFY(f.view()->hasFocus());
    QVERIFY(f.frame->Action_MemoDelete->isEnabled());

    f.frame->Action_Deselect->trigger();
    QCOMPARE(f.tree().selectedCount(), 0);
    QVERIFY(!f.frame->Action_MemoDelete->isEnabled());
    QVERIFY(!f.statusImage()->isHidden());
}

// ---------------------------------------------------------------------------------------
// Clipboard

void TstMemoCommands::copy_data()
{
    QTest::addColumn<QList<QByteArray>>("memos"); // top-level memos in this order
    QTest::addColumn<QList<int>>("select");       // in the order they are selected
    QTest::addColumn<QString>("expected");        // null: clipboard left alone

    QTest::newRow("nothing selected leaves the clipboard alone")
        << QList<QByteArray>{"a", "b"} << QList<int>{} << QString();
    QTest::newRow("only empty memos leave the clipboard alone")
        << QList<QByteArray>{"", "b", ""} << QList<int>{0, 2} << QString();
    QTest::newRow("empty memo in the middle gives two CRs")
        << QList<QByteArray>{"first", "", " third"} << QList<int>{0, 1, 2} << "first\r\r third";
    QTest::newRow("empty memo at the start adds nothing")
        << QList<QByteArray>{"", "b", "c"} << QList<int>{0, 1, 2} << "b\rc";
    QTest::newRow("joined by one CR, own CR LF kept")
        << QList<QByteArray>{"one\r\ntwo", "three"} << QList<int>{0, 1} << "one\r\ntwo\rthree";
    QTest::newRow("tree order, not selection order") << QList<QByteArray>{"a", "b", "c"} << QList<int>{2, 0} << "a\rc";
    QTest::newRow("one memo as it is") << QList<QByteArray>{"  solo  text"} << QList<int>{0} << "  solo  text";
}

void TstMemoCommands::copy()
{
    QFETCH(QList<QByteArray>, memos);
    QFETCH(QList<int>, select);
    QFETCH(QString, expected);

    MemoFrameFixture f;
    for (int i = 0; i < memos.size(); ++i)
        f.addRow(QStringLiteral("{%1}").arg(i), "root", memos[i]);
    f.start(false); // no sort: the memos stay in the order given
    for (int i = 0; i < memos.size(); ++i)
        QCOMPARE(memoOf(f.tree().topLevelNode(i))->content, memos[i]);
    clipboard()->setText(QStringLiteral("before"));
    for (int i : select)
        f.tree().setSelected(f.tree().topLevelNode(i), true);
    f.frame->Action_CopyMemoExecute();
    QCOMPARE(clipboard()->text(), expected.isNull() ? QStringLiteral("before") : expected);
}

void TstMemoCommands::copyAfterSelectAll()
{
    MemoFrameFixture f;
    seedFamilies(f);
    f.start();
    f.tree().setSelected(f.findNode("alpha"), true);
    f.frame->Action_CopyMemoExecute();
    QCOMPARE(clipboard()->text(), QStringLiteral("alpha")); // its sub-memos only when selected themselves

    f.frame->Action_SelectAll->trigger();
    f.frame->Action_CopyMemo->trigger();
    QCOMPARE(clipboard()->text(), QStringLiteral("alpha\ralpha one\ralpha two\rbeta\rgamma"));
}

void TstMemoCommands::paste_data()
{
    QTest::addColumn<QString>("clip"); // "<image>": an image, no text
    QTest::addColumn<QByteArray>("stored");

    QTest::newRow("several lines make one memo with CR LF breaks")
        << "one\ntwo\nthree" << QByteArray("one\r\ntwo\r\nthree");
    QTest::newRow("CR LF breaks stay") << "one\r\ntwo" << QByteArray("one\r\ntwo");
    QTest::newRow("trailing blanks and blank lines go, leading blanks stay") << "  text  \r\n\r\n \t\r\n"
                                                                             << QByteArray("  text");
    QTest::newRow("empty clipboard: empty memo") << "" << QByteArray("");
    QTest::newRow("clipboard without text: empty memo") << "<image>" << QByteArray("");
    QTest::newRow("characters beyond ASCII kept") << QString::fromUtf8("Grüße €") << QByteArray("Grüße €");
}

void TstMemoCommands::paste()
{
    QFETCH(QString, clip);
    QFETCH(QByteArray, stored);

    MemoFrameFixture f;
    f.addRow("{A}", "root", "alpha");
    f.start();
    if (clip == QLatin1String("<image>")) {
        QImage picture(4, 4, QImage::Format_RGB32);
        picture.fill(Qt::red);
        clipboard()->setImage(picture);
        QVERIFY(clipboard()->text().isEmpty());
    } else if (clip.isEmpty()) {
        clipboard()->clear();
    } else {
        clipboard()->setText(clip);
    }
    f.frame->Action_PasteMemo->trigger();

    // Stored at once, without the editor.
    QCOMPARE(f.count(), 2);
    QVERIFY(!f.frame->memoBeingEdited());
    OutlineNode *node = f.tree().lastTopLevel();
    const TMemoInfo *memo = memoOf(node);
    QCOMPARE(memo->content, stored);
    QVERIFY(isMemoId(memo->mid));
    const QString mid = QString::fromLatin1(memo->mid);
    QCOMPARE(f.column(mid, "content"), stored);
    QCOMPARE(f.column(mid, "pid"), QByteArray("root"));
    const double created = f.column(mid, "createTime").toDouble();
    const double edited = f.column(mid, "editTime").toDouble();
    QVERIFY(created > 40000);
    QVERIFY(edited >= created);
    QCOMPARE(memo->assignTime, 0.0);
    QCOMPARE(f.count(QStringLiteral("where mid='%1' and (assignTime is null or assignTime=0)").arg(mid)), 1);
    if (stored.isEmpty())
        QCOMPARE(f.shownText(node), QStringLiteral("Input content here"));
}

void TstMemoCommands::pasteWhileEditing_data()
{
    QTest::addColumn<bool>("newMemo");
    QTest::newRow("new memo: the unfinished memo goes") << true;
    QTest::newRow("stored memo: keeps its text") << false;
}

void TstMemoCommands::pasteWhileEditing()
{
    QFETCH(bool, newMemo);
    MemoFrameFixture f;
    f.addRow("{B}", "root", "b");
    f.addRow("{C}", "root", "c");
    f.start();
    if (newMemo) {
        f.frame->Action_MemoAddExecute();
    } else {
        f.tree().setSelected(f.findNode("b"), true);
        f.frame->Action_MemoEditExecute();
    }
    f.settle();
    QVERIFY(f.editor());
    QTest::keyClicks(f.editor(), " unfinished");
    clipboard()->setText(QStringLiteral("pasted"));
    f.frame->Action_PasteMemoExecute(); // as the tray's paste command does while the editor is open
    f.settle();

    QVERIFY(!f.editor());
    QVERIFY(!f.frame->memoBeingEdited());
    QCOMPARE(f.texts(), (QList<QByteArray>{"b", "c", "pasted"}));
    QCOMPARE(f.count(), 3);
    QCOMPARE(f.column("{B}", "content"), QByteArray("b"));
    QCOMPARE(f.count("where content like '%unfinished%'"), 0);
    QVERIFY(f.frame->Action_MemoAdd->isEnabled());
}

void TstMemoCommands::pastedMemoIsNeitherSelectedNorSorted()
{
    MemoFrameFixture f;
    f.addRow("{C}", "root", "c");
    f.addRow("{B}", "root", "b");
    f.start();
    QCOMPARE(f.texts(), (QList<QByteArray>{"b", "c"}));
    OutlineNode *b = f.findNode("b");
    QTest::mouseClick(f.view()->viewport(), Qt::LeftButton, Qt::NoModifier, rowCenter(f, b)); // selects and focuses it
    QCOMPARE(f.tree().selectedNodes(), (std::vector<OutlineNode *>{b}));
    QCOMPARE(f.view()->focusedNode(), b);
    clipboard()->setText(QStringLiteral("a"));
    QTest::keyClick(f.view(), Qt::Key_V, Qt::ControlModifier);
    f.settle();
    QCOMPARE(f.texts(), (QList<QByteArray>{"b", "c", "a"}));
    OutlineNode *pasted = f.tree().lastTopLevel();
    QVERIFY(!pasted->isSelected());
    QCOMPARE(f.tree().selectedNodes(), (std::vector<OutlineNode *>{b}));
    QCOMPARE(f.view()->focusedNode(), b);
    QVERIFY(f.frame->Action_MemoDelete->isEnabled());
}

QTEST_MAIN(TstMemoCommands)
#include "tst_memocommands.moc"
