// The memo tree frame: the commands with their captions, hints and pictures, the command
// tool bar, the command state, the keys, the context menus and the double click.
#include "Fr_qzMemos.h"

#include "GeneralErrorHandler.h"
#include "ImageLists.h"
#include "MemoExport.h"
#include "MemoExportOrder.h"
#include "MemoMenus.h"
#include "Messages.h"
#include "PictureToolBar.h"

#include <QAction>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QToolButton>

namespace {

// Commands whose image index is known; the index is kept as a property for tests and
// tool bars alike.
QAction *makeAction(QObject *owner, const char *name, const QString &caption, const QString &hint, int image)
{
    auto *action = new QAction(caption, owner);
    action->setObjectName(QString::fromLatin1(name));
    action->setToolTip(hint);
    action->setStatusTip(hint);
    action->setProperty("imageIndex", image);
    if (image >= 0)
        action->setIcon(ImageLists::commandIcon(image));
    return action;
}

} // namespace

void TqzMemosFrame::createActions()
{
    Action_MemoAdd = makeAction(this, "Action_MemoAdd", QStringLiteral("&Add Memo          Enter"),
                                QStringLiteral("Add Memo"), 13);
    Action_MemoAddChild = makeAction(this, "Action_MemoAddChild", QStringLiteral("Add &Sub-Memo    Ctrl+Enter"),
                                     QStringLiteral("Add Sub-Memo"), 2);
    Action_MemoEdit = makeAction(this, "Action_MemoEdit", QStringLiteral("&Edit              F2"),
                                 QStringLiteral("Edit Memo or Sub-Memo"), 3);
    Action_MemoDelete = makeAction(this, "Action_MemoDelete", QStringLiteral("&Delete"),
                                   QStringLiteral("Delete Memo or Sub-Memo"), 4);
    Action_ViewAsc = makeAction(this, "Action_ViewAsc", QStringLiteral("Sort Direction"),
                                QStringLiteral("Descending Sort"), 8);
    Action_ViewList = makeAction(this, "Action_ViewList", QStringLiteral("View &List"),
                                 QStringLiteral("List view memos"), 10);
    Action_ViewList->setCheckable(true);
    Action_Moveto = makeAction(this, "Action_Moveto", QStringLiteral("&Move"), QString(), -1);
    Action_ExpandAll = makeAction(this, "Action_ExpandAll", QStringLiteral("&Expand All"), QStringLiteral("Expand all"),
                                  11);
    Action_CollapseAll = makeAction(this, "Action_CollapseAll", QStringLiteral("&Collapse All"),
                                    QStringLiteral("Collapse all"), 12);
    Action_SelectAll = makeAction(this, "Action_SelectAll", QStringLiteral("Select &All        Ctrl+A"), QString(), -1);
    Action_Deselect = makeAction(this, "Action_Deselect", QStringLiteral("&Deselect"), QString(), -1);
    Action_CopyMemo = makeAction(this, "Action_CopyMemo", QStringLiteral("&Copy              Ctrl+C"), QString(), -1);
    Action_PasteMemo = makeAction(this, "Action_PasteMemo", QStringLiteral("&Paste             Ctrl+V"), QString(), -1);
    Action_Export = makeAction(this, "Action_Export", QStringLiteral("&Export..."), QString(), -1);
    Action_Email = makeAction(this, "Action_Email", QStringLiteral("E-mai&l Memo..."), QString(), -1);
    Action_Save = makeAction(this, "Action_Save", QStringLiteral("Sa&ve Memo..."), QString(), -1);
    Action_SaveAll = makeAction(this, "Action_SaveAll", QStringLiteral("&Save All..."), QString(), 15);
    Action_Print = makeAction(this, "Action_Print", QStringLiteral("&Print..."), QString(), 16);
    Action_searchWide = makeAction(this, "Action_searchWide", QString(),
                                   QStringLiteral("View all sub-Memos in search result"), 22);
    Action_searchWide->setCheckable(true);

    const auto bind = [this](QAction *action, void (TqzMemosFrame::*handler)()) {
        GeneralErrorHandler::connectGuarded(action, &QAction::triggered, this, handler);
    };
    bind(Action_MemoAdd, &TqzMemosFrame::Action_MemoAddExecute);
    bind(Action_MemoAddChild, &TqzMemosFrame::Action_MemoAddChildExecute);
    bind(Action_MemoEdit, &TqzMemosFrame::Action_MemoEditExecute);
    bind(Action_MemoDelete, &TqzMemosFrame::Action_MemoDeleteExecute);
    bind(Action_ViewAsc, &TqzMemosFrame::Action_ViewAscExecute);
    bind(Action_ViewList, &TqzMemosFrame::Action_ViewListExecute);
    bind(Action_ExpandAll, &TqzMemosFrame::Action_ExpandAllExecute);
    bind(Action_CollapseAll, &TqzMemosFrame::Action_CollapseAllExecute);
    bind(Action_SelectAll, &TqzMemosFrame::Action_SelectAllExecute);
    bind(Action_Deselect, &TqzMemosFrame::Action_DeselectExecute);
    bind(Action_CopyMemo, &TqzMemosFrame::Action_CopyMemoExecute);
    bind(Action_PasteMemo, &TqzMemosFrame::Action_PasteMemoExecute);
    bind(Action_searchWide, &TqzMemosFrame::Action_searchWideExecute);
    bind(Action_Export, &TqzMemosFrame::Action_ExportExecute);
    bind(Action_Save, &TqzMemosFrame::Action_SaveExecute);
    bind(Action_SaveAll, &TqzMemosFrame::Action_SaveAllExecute);
    bind(Action_Print, &TqzMemosFrame::Action_PrintExecute);
    bind(Action_Email, &TqzMemosFrame::Action_EmailExecute);
}

void TqzMemosFrame::createToolBar()
{
    ToolBar_Top = new PictureToolBar(this);
    ToolBar_Top->setObjectName(QStringLiteral("ToolBar_Top"));
    ToolBar_Top->setIconSize(QSize(22, 22));
    ToolBar_Top->setBottomLine(true);
    if (context.pictures)
        ToolBar_Top->setBackground(context.pictures->toolsbar);
    // The buttons show the commands' own icons, whose 22 pixel pictures the bar's icon
    // size picks, so a command that changes its picture (sort) needs no extra care.
    const auto addTopButton = [this](QAction *action) {
        ToolBar_Top->addAction(action);
        if (QWidget *button = ToolBar_Top->widgetForAction(action))
            button->setFixedSize(29, 28);
    };
    addTopButton(Action_MemoAdd);
    addTopButton(Action_MemoAddChild);
    addTopButton(Action_MemoEdit);
    addTopButton(Action_MemoDelete);
    ToolBar_Top->addSeparator();
    addTopButton(Action_ViewAsc);
    addTopButton(Action_ExpandAll);
    addTopButton(Action_CollapseAll);
    ToolBar_Top->addSeparator();
    addTopButton(Action_ViewList);
}

void TqzMemosFrame::UpdateCommandState()
{
    commandStatePending = false;
    // Each command's final state is worked out first and set once, so that only real
    // changes reach the tool bars and menus.
    const bool idle = !editingNode.get();
    const bool selected = idle && VtMemos->tree().selectedCount() > 0;
    const bool stores = canStore(); // without a data file nothing may look stored
    const auto enable = [](QAction *action, bool on) {
        action->setEnabled(on && !action->property("pending").toBool());
    };
    for (QAction *action :
         {Action_ViewAsc, Action_ViewList, Action_ExpandAll, Action_CollapseAll, Action_SaveAll, Action_Save,
          Action_Email, Action_Print, Action_SelectAll, Action_Deselect, Action_CopyMemo})
        enable(action, idle);
    for (QAction *action : {Action_MemoAdd, Action_MemoAddChild, Action_PasteMemo})
        enable(action, idle && stores);
    for (QAction *action : {Action_MemoEdit, Action_MemoDelete, Action_Moveto})
        enable(action, selected && stores);
    BuildMoveToMenus(selected && stores); // fills nothing yet; enables the submenus that have targets
}

void TqzMemosFrame::updateCommandStateSoon()
{
    // Inside an update bracket (loading, filtering, expanding all) the state is worked
    // out once when the bracket closes rather than after every single expansion.
    if (VtMemos->isUpdating())
        commandStatePending = true;
    else
        UpdateCommandState();
}

void TqzMemosFrame::flushCommandState()
{
    if (commandStatePending && !VtMemos->isUpdating())
        UpdateCommandState();
}

bool TqzMemosFrame::VtMemosKeyDown(QKeyEvent *event)
{
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (ctrl)
            Action_MemoAddChildExecute();
        else
            Action_MemoAddExecute();
        return true;
    case Qt::Key_Delete:
        Action_MemoDeleteExecute();
        return true;
    case Qt::Key_C:
        if (!ctrl)
            return false;
        Action_CopyMemoExecute();
        return true;
    case Qt::Key_V:
        if (!ctrl)
            return false;
        Action_PasteMemoExecute();
        return true;
    case Qt::Key_F12:
        if (!ctrl)
            return false;
        if (context.hideToTray)
            context.hideToTray();
        return true;
    default:
        return false;
    }
}

void TqzMemosFrame::VtMemosDblClick()
{
    if (!VtMemos->nodeAt(QPoint(mouseX, mouseY)) && !editingNode.get())
        QCoreApplication::postEvent(this, new QEvent(Msg::AddMemo));
}

QMenu *TqzMemosFrame::VtMemosGetPopupMenu(OutlineNode *node)
{
    return menus->popupMenu(node != nullptr);
}

void TqzMemosFrame::Action_SelectAllExecute()
{
    VtMemos->setFocus(Qt::OtherFocusReason);
    VtMemos->tree().selectAllShown();
}

void TqzMemosFrame::Action_DeselectExecute()
{
    VtMemos->tree().clearSelection();
}

void TqzMemosFrame::Action_ExportExecute()
{
    if (context.questions)
        RunExportCommand(editingNode.get() != nullptr, MemoExportOrder(VtMemos->tree().selectedNodes()),
                         context.fileVersion, *context.questions);
}
