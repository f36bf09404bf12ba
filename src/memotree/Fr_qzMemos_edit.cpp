// The memo tree frame: adding memos and sub-memos, editing in place and storing the text.
#include "Fr_qzMemos.h"

#include "Boxes.h"
#include "MemoMessages.h"
#include "RecordIds.h"
#include "Statements.h"
#include "TextHelpers.h"

#include <QCoreApplication>

void TqzMemosFrame::Action_MemoAddExecute()
{
    if (editingNode.get() || !canStore())
        return;
    OutlineNode *node = addMemoNode(nullptr);
    editingNode = OutlineNodeRef(node);
    memoOf(node)->pid = Sql::kRootId.toLatin1();
    QCoreApplication::postEvent(this, new QEvent(Msg::StartEdit));
    UpdateCommandState();
}

void TqzMemosFrame::Action_MemoAddChildExecute()
{
    if (editingNode.get() || !canStore())
        return;
    OutlineTree &tree = VtMemos->tree();
    OutlineNode *parent = tree.firstSelected();
    if (parent && parent->level() > 0)
        parent = parent->parent(); // never a third level
    if (!parent)
        parent = tree.lastTopLevel();
    if (!parent) {
        TipBox(QStringLiteral("Please select a memo!"));
        return;
    }
    // A sub-memo is filed under its parent's id, so a parent whose row could not be made
    // earlier is stored first; when that fails again, no sub-memo is added.
    if (memoOf(parent)->mid.isEmpty())
        storeMemo(*memoOf(parent));
    OutlineNode *node = addMemoNode(parent);
    editingNode = OutlineNodeRef(node);
    memoOf(node)->pid = memoOf(parent)->mid;
    // The user must see what is typed, even when the filter had hidden the parent.
    tree.setVisible(parent, true);
    tree.setExpanded(parent, true);
    QCoreApplication::postEvent(this, new QEvent(Msg::StartEdit));
    UpdateCommandState();
}

void TqzMemosFrame::Action_MemoEditExecute()
{
    OutlineNode *first = VtMemos->tree().firstSelected();
    if (editingNode.get() || !first || !canStore())
        return;
    editingNode = OutlineNodeRef(first);
    VtMemos->invalidateNode(first); // measured again at its editing height
    QCoreApplication::postEvent(this, new QEvent(Msg::StartEdit));
    UpdateCommandState();
}

bool TqzMemosFrame::VtMemosEditing(OutlineNode *node, int column)
{
    if (editingNode.get()) {
        UpdateCommandState();
        return true;
    }
    // Every other request (F2, a second click) goes through the frame after all.
    if (node && column == 0 && canStore()) {
        editingNode = OutlineNodeRef(node);
        VtMemos->invalidateNode(node);
        QCoreApplication::postEvent(this, new QEvent(Msg::StartEdit));
    }
    return false;
}

void TqzMemosFrame::VtMemosNewText(OutlineNode *node, int, const QString &newText)
{
    TMemoInfo *memo = memoOf(node);
    if (!memo)
        return;
    memo->content = TrimRightWhiteAndControl(EditorTextToMemo(newText));
    searchIndex.invalidate();
    storeMemo(*memo);
    UpdateCommandState();
}

void TqzMemosFrame::storeMemo(TMemoInfo &memo)
{
    ADOQuery1.close();
    ADOQuery1.setSql(QString());
    const bool isNew = memo.mid.isEmpty();
    try {
        if (isNew) {
            memo.mid = NewRecordId();
            memo.createTime = OleDateTime::now();
            memo.assignTime = memo.createTime;
            OpenSql(ADOQuery1, Sql::kSelectNoMemoForEdit);
            ADOQuery1.insert();
            ADOQuery1.setText(QStringLiteral("mid"), memo.mid);
            ADOQuery1.setText(QStringLiteral("pid"), memo.pid);
            ADOQuery1.setDateTime(QStringLiteral("createTime"), memo.createTime);
            ADOQuery1.setDateTime(QStringLiteral("assignTime"), memo.assignTime);
        } else {
            OpenSql(ADOQuery1, Sql::SelectMemoByMid(QString::fromUtf8(memo.mid)));
            ADOQuery1.edit();
        }
        memo.editTime = OleDateTime::now();
        ADOQuery1.setText(QStringLiteral("content"), memo.content);
        ADOQuery1.setDateTime(QStringLiteral("editTime"), memo.editTime);
        ADOQuery1.post();
    } catch (...) {
        // A memo whose row could not be made stays unstored (keeping its text), so the
        // next commit tries the insert again instead of editing a row that is not there.
        if (isNew) {
            memo.mid.clear();
            memo.createTime = memo.assignTime = memo.editTime = 0;
        }
        throw;
    }
}

void TqzMemosFrame::VtMemosEdited(OutlineNode *node, int)
{
    if (!node) {
        UpdateCommandState();
        return;
    }
    editingNode = OutlineNodeRef();
    const TMemoInfo *memo = memoOf(node);
    if (!memo->mid.isEmpty() || !memo->content.isEmpty()) {
        VtMemos->invalidateNode(node);
        VtMemos->repaintNode(node);
        Action_DeselectExecute();
        VtMemos->tree().setSelected(node, true);
        ShowTip(0);
    } else {
        // A new memo committed without any typing: nothing was stored, so it goes.
        QCoreApplication::postEvent(this, new DiscardNodeEvent(node));
    }
    UpdateCommandState();
}

void TqzMemosFrame::VtMemosEditCancelled(int)
{
    if (OutlineNode *node = editingNode.get()) {
        editingNode = OutlineNodeRef();
        if (!memoOf(node)->mid.isEmpty()) {
            VtMemos->invalidateNode(node);
            VtMemos->repaintNode(node);
            ShowTip(0);
        } else {
            QCoreApplication::postEvent(this, new DiscardNodeEvent(node));
        }
    }
    UpdateCommandState();
}
