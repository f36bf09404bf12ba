// The memo tree frame: copying memo texts to the clipboard and pasting text as a memo.
#include "Fr_qzMemos.h"

#include "RecordIds.h"
#include "Statements.h"
#include "TextHelpers.h"

#include <QClipboard>
#include <QGuiApplication>

void TqzMemosFrame::Action_CopyMemoExecute()
{
    // The texts of the selected memos in tree order, joined by a single CR.
    QByteArray text;
    for (const OutlineNode *node : VtMemos->tree().selectedNodes()) {
        if (!text.isEmpty())
            text += '\r';
        text += memoOf(node)->content;
    }
    if (!text.isEmpty())
        QGuiApplication::clipboard()->setText(QString::fromUtf8(text));
}

void TqzMemosFrame::Action_PasteMemoExecute()
{
    AddMemoFromText(QGuiApplication::clipboard()->text());
}

void TqzMemosFrame::AddMemoFromText(const QString &text)
{
    if (!canStore())
        return;
    if (editingNode.get())
        VtMemos->cancelEditNode();
    OutlineNode *node = addMemoNode(nullptr);
    TMemoInfo *memo = memoOf(node);
    memo->content = TrimRightWhiteAndControl(WithCrLfLineBreaks(text.toUtf8()));
    searchIndex.invalidate();
    memo->mid = NewRecordId();
    memo->pid = Sql::kRootId.toLatin1();
    memo->createTime = OleDateTime::now();
    memo->editTime = OleDateTime::now();
    VtMemos->invalidateNode(node);

    ADOQuery1.close();
    ADOQuery1.setSql(QString());
    OpenSql(ADOQuery1, Sql::kSelectNoMemoForEdit);
    ADOQuery1.insert();
    ADOQuery1.setText(QStringLiteral("mid"), memo->mid);
    ADOQuery1.setText(QStringLiteral("pid"), memo->pid);
    ADOQuery1.setText(QStringLiteral("content"), memo->content);
    ADOQuery1.setDateTime(QStringLiteral("createTime"), memo->createTime);
    ADOQuery1.setDateTime(QStringLiteral("editTime"), memo->editTime);
    ADOQuery1.post();
    UpdateCommandState();
}
