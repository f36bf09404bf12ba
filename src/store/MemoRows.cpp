#include "MemoRows.h"

#include "SqlQuery.h"

MemoColumns::MemoColumns(const SqlQuery &query)
    : mid(query.fieldIndex(QStringLiteral("mid")))
    , pid(query.fieldIndex(QStringLiteral("pid")))
    , content(query.fieldIndex(QStringLiteral("content")))
    , expandFlag(query.fieldIndex(QStringLiteral("expandFlag")))
    , assignTime(query.fieldIndex(QStringLiteral("assignTime")))
    , createTime(query.fieldIndex(QStringLiteral("createTime")))
    , editTime(query.fieldIndex(QStringLiteral("editTime")))
{
}

void readMemoRow(const SqlQuery &query, const MemoColumns &columns, MemoRecord &memo)
{
    memo.mid = query.textAt(columns.mid);
    memo.pid = query.textAt(columns.pid);
    memo.content = query.textAt(columns.content);
    memo.expandFlag = query.boolAt(columns.expandFlag);
    memo.assignTime = query.dateTimeAt(columns.assignTime);
    memo.createTime = query.dateTimeAt(columns.createTime);
    memo.editTime = query.dateTimeAt(columns.editTime);
}
