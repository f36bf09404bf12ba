// Every statement the program sends to the memo database. Ids are appended to the fixed
// texts in single quotes with inner quotes doubled (Quoted); memo text never goes into
// statement text, only into bound values of the row buffer.
#pragma once

#include <QString>

namespace Sql {

inline const QString kCountMemos = QStringLiteral("select count(*) as cnt from memos");
inline const QString kSelectMemosByPid = QStringLiteral("select * from memos where pid=");
inline const QString kSelectMemoByMid = QStringLiteral("select * from memos where mid=");
inline const QString kSelectNoMemoForEdit = QStringLiteral("select * from memos where 1=0");
inline const QString kSelectNoMemoForRestore = QStringLiteral("select * from memos where 0=1");
inline const QString kDeleteMemoByMid = QStringLiteral("delete from memos where mid=");
inline const QString kDeleteMemosByPid = QStringLiteral("delete from memos where pid=");
inline const QString kUpdatePid = QStringLiteral("update memos set pid=");
inline const QString kUpdateExpandFlag = QStringLiteral("update memos set expandFlag=");
inline const QString kWhereMid = QStringLiteral(" where mid=");
inline const QString kSelectAllMemos = QStringLiteral("select * from memos");
inline const QString kSelectAllTasks = QStringLiteral("select * from tasks");
inline const QString kSelectTaskByTid = QStringLiteral("select * from tasks where tid=");
inline const QString kSelectNoTask = QStringLiteral("select * from tasks where 0=1");

inline const QString kRootId = QStringLiteral("root");

// x enclosed in single quotes, every inner single quote doubled.
inline QString Quoted(const QString &x)
{
    QString escaped = x;
    escaped.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + escaped + QLatin1Char('\'');
}

inline QString SelectMemosByPid(const QString &pid)
{
    return kSelectMemosByPid + Quoted(pid);
}
inline QString SelectMemoByMid(const QString &mid)
{
    return kSelectMemoByMid + Quoted(mid);
}
inline QString DeleteMemoByMid(const QString &mid)
{
    return kDeleteMemoByMid + Quoted(mid);
}
inline QString DeleteMemosByPid(const QString &mid)
{
    return kDeleteMemosByPid + Quoted(mid);
}
inline QString UpdatePid(const QString &pid, const QString &mid)
{
    return kUpdatePid + Quoted(pid) + kWhereMid + Quoted(mid);
}
inline QString UpdateExpandFlag(bool expanded, const QString &mid)
{
    return kUpdateExpandFlag + (expanded ? QStringLiteral("True") : QStringLiteral("False")) + kWhereMid + Quoted(mid);
}
inline QString SelectTaskByTid(const QString &tid)
{
    return kSelectTaskByTid + Quoted(tid);
}

} // namespace Sql
