// The memo tree frame: deleting memos, the "&Move to" submenus and drag and drop.
#include "Fr_qzMemos.h"

#include "Boxes.h"
#include "GeneralErrorHandler.h"
#include "MemoMenus.h"
#include "Statements.h"
#include "TextHelpers.h"

#include <QMenu>

namespace {
constexpr int kMoveCaptionLength = 80; // longer memo texts are cut in the submenus
}

void TqzMemosFrame::Action_MemoDeleteExecute()
{
    OutlineTree &tree = VtMemos->tree();
    if (editingNode.get() || tree.selectedCount() == 0 || !canStore())
        return;
    const QString question = QStringLiteral("Are you sure you want to delete ")
                             + (tree.selectedCount() == 1 ? QStringLiteral("this memo?")
                                                          : QStringLiteral("these memos?"));
    if (!AskBox(question))
        return;
    const std::vector<OutlineNode *> selected = tree.selectedNodes();
    std::vector<OutlineNode *> deletedRows;
    try {
        for (OutlineNode *node : selected) {
            const QString mid = QString::fromUtf8(memoOf(node)->mid);
            ExecSql(ADOQuery1, Sql::DeleteMemoByMid(mid));
            ExecSql(ADOQuery1, Sql::DeleteMemosByPid(mid));
            deletedRows.push_back(node);
        }
    } catch (...) {
        // Rows already deleted leave the tree too, so it never shows memos that are gone.
        // Deleted together, since a memo and its own sub-memos may both be selected.
        tree.deleteNodes(deletedRows);
        UpdateCommandState();
        throw;
    }
    tree.deleteSelectedNodes(); // sub-memos of deleted memos go with them
    ApplySearchFilter();
    UpdateCommandState();
}

std::vector<TqzMemosFrame::MoveTarget> TqzMemosFrame::MoveToTargets() const
{
    std::vector<MoveTarget> targets;
    const OutlineTree &tree = VtMemos->tree();
    const OutlineNode *first = tree.firstSelected();
    if (!first)
        return targets;
    if (first->level() > 0)
        targets.push_back({true, nullptr});
    for (int i = 0; i < tree.topLevelCount(); ++i) {
        OutlineNode *memo = tree.topLevelNode(i);
        if (memo != first && memo != first->parent())
            targets.push_back({false, memo});
    }
    return targets;
}

void TqzMemosFrame::BuildMoveToMenus(bool selected)
{
    // Whether there is any target is known without building the items; the items
    // themselves are made when a submenu opens, so that command updates stay cheap
    // with thousands of memos.
    const OutlineTree &tree = VtMemos->tree();
    const OutlineNode *first = selected ? tree.firstSelected() : nullptr;
    // A sub-memo can always go to the top level; a top-level memo needs another one.
    const bool hasTargets = first && (first->level() > 0 || tree.topLevelCount() > 1);
    menus->resetMoveMenus(hasTargets);
}

void TqzMemosFrame::fillMoveMenu(QMenu *menu)
{
    menu->clear();
    if (editingNode.get() || VtMemos->tree().selectedCount() == 0)
        return;
    for (const MoveTarget &target : MoveToTargets()) {
        QString caption;
        if (target.isRoot) {
            caption = QStringLiteral("Root");
        } else {
            caption = QString::fromUtf8(FlattenLineBreaks(memoOf(target.memo)->content));
            if (caption.size() > kMoveCaptionLength)
                caption = caption.left(kMoveCaptionLength) + QChar(0x2026);
            caption.replace(QLatin1Char('&'), QStringLiteral("&&"));
        }
        QAction *item = menu->addAction(caption);
        const OutlineNodeRef memo(target.memo);
        const bool toRoot = target.isRoot;
        connect(item, &QAction::triggered, this, [this, memo, toRoot] {
            if (toRoot || memo.get())
                GeneralErrorHandler::guarded([&] { Action_MovetoExecute(toRoot, memo.get()); });
        });
        if (target.isRoot)
            menu->addSeparator();
    }
}

void TqzMemosFrame::storeNewPid(OutlineNode *node, const QByteArray &pid)
{
    memoOf(node)->pid = pid;
    ExecSql(ADOQuery1, Sql::UpdatePid(QString::fromUtf8(pid), QString::fromUtf8(memoOf(node)->mid)));
}

void TqzMemosFrame::moveMemo(OutlineNode *node, OutlineNode *target, bool asFirst)
{
    // The outline keeps two levels: the sub-memos of a top-level memo that goes under
    // another memo are filed under that memo too, right after it, in tree and table.
    OutlineTree &tree = VtMemos->tree();
    const QByteArray newPid = target ? memoOf(target)->mid : Sql::kRootId.toLatin1();
    std::vector<OutlineNode *> carried;
    if (target)
        for (int i = 0; i < node->childCount(); ++i)
            carried.push_back(node->child(i));
    tree.moveNode(node, target, asFirst);
    if (target)
        tree.setExpanded(target, true);
    storeNewPid(node, newPid);
    int position = node->index() + 1;
    for (OutlineNode *child : carried) {
        tree.moveNodeTo(child, target, position++);
        storeNewPid(child, newPid);
    }
}

void TqzMemosFrame::Action_MovetoExecute(bool toRoot, OutlineNode *target)
{
    if ((!toRoot && !target) || !canStore())
        return;
    OutlineTree &tree = VtMemos->tree();
    const std::vector<OutlineNode *> selected = tree.selectedNodes(); // before anything moves
    for (OutlineNode *node : selected) {
        if (node == target)
            continue;
        moveMemo(node, toRoot ? nullptr : target, true);
        tree.setSelected(node, false);
    }
}

bool TqzMemosFrame::VtMemosDragAllowed(OutlineNode *node)
{
    return node != nullptr && canStore();
}

bool TqzMemosFrame::VtMemosDragOver(OutlineNode *node, const QPoint &)
{
    if (!node)
        return true;
    if (node == VtMemos->tree().firstSelected())
        return false;
    if (node->level() == 0)
        VtMemos->tree().setExpanded(node, true); // show its sub-memos during the drag
    return true;
}

void TqzMemosFrame::VtMemosDragDrop(OutlineNode *node, const QPoint &)
{
    OutlineNode *target = node && node->level() > 0 ? node->parent() : node;
    OutlineTree &tree = VtMemos->tree();
    const std::vector<OutlineNode *> selected = tree.selectedNodes();
    for (OutlineNode *moved : selected) {
        if (moved == target)
            continue;
        moveMemo(moved, target, false);
        tree.setSelected(moved, false);
    }
}
