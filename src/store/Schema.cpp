#include "Schema.h"

namespace Schema {

const char *createStatements()
{
    return "CREATE TABLE memos ("
           " mid TEXT NOT NULL UNIQUE,"
           " pid TEXT,"
           " content TEXT,"
           " expandFlag INTEGER DEFAULT 0,"
           " assignTime REAL,"
           " createTime REAL,"
           " editTime REAL);"
           "CREATE INDEX memos_pid ON memos(pid);"
           "CREATE TABLE tasks ("
           " tid TEXT NOT NULL UNIQUE,"
           " pid TEXT,"
           " content TEXT,"
           " checkFlag INTEGER,"
           " alarmFlag INTEGER,"
           " dueFlag INTEGER,"
           " textColor INTEGER,"
           " backgroundColor INTEGER,"
           " createTime REAL,"
           " editTime REAL,"
           " checkTime REAL,"
           " alarmTime REAL,"
           " dueTime REAL);"
           "CREATE INDEX tasks_pid ON tasks(pid);";
}

QString keyColumnOf(const QString &table)
{
    if (table.compare(QLatin1String("memos"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("mid");
    if (table.compare(QLatin1String("tasks"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("tid");
    return {};
}

} // namespace Schema
