#include "SqlQuery.h"

#include "JotterlyError.h"
#include "Schema.h"
#include "SqlConnection.h"

#include <QRegularExpression>

#include <sqlite3.h>

namespace {

[[noreturn]] void fail(sqlite3 *db)
{
    throw JotterlyError(QString::fromUtf8(sqlite3_errmsg(db)));
}

void bindValue(sqlite3 *db, sqlite3_stmt *stmt, int position, const QVariant &value)
{
    int rc = SQLITE_OK;
    if (value.typeId() == QMetaType::Double) {
        rc = sqlite3_bind_double(stmt, position, value.toDouble());
    } else if (value.isNull()) {
        rc = sqlite3_bind_null(stmt, position);
    } else {
        const QByteArray bytes = value.toByteArray();
        rc = sqlite3_bind_text(stmt, position, bytes.constData(), static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
    }
    if (rc != SQLITE_OK)
        fail(db);
}

} // namespace

SqlQuery::SqlQuery(SqlConnection &connection)
    : connection(connection)
{
}

SqlQuery::~SqlQuery()
{
    close();
}

void SqlQuery::close()
{
    if (stmt) {
        statements.release(stmt);
        stmt = nullptr;
    }
    atEnd = true;
    columnNames.clear();
    rowState = RowState::Browse;
    pendingFields.clear();
}

void SqlQuery::setSql(const QString &newStatement)
{
    close();
    statement = newStatement;
}

void SqlQuery::open()
{
    close();
    stmt = statements.acquire(connection.handle(), statement);
    const int count = sqlite3_column_count(stmt);
    columnNames.reserve(count);
    for (int i = 0; i < count; ++i)
        columnNames.emplace_back(sqlite3_column_name(stmt, i));
    atEnd = false;
    step();
}

void SqlQuery::execute()
{
    close();
    run(statement, {});
}

void SqlQuery::run(const QString &sql, const std::vector<QVariant> &values)
{
    sqlite3 *db = connection.handle();
    sqlite3_stmt *once = statements.acquire(db, sql);
    int rc = SQLITE_OK;
    try {
        const int first = sqlite3_bind_parameter_count(once) - static_cast<int>(values.size()) + 1;
        for (size_t i = 0; i < values.size(); ++i)
            bindValue(db, once, first + static_cast<int>(i), values[i]);
        rc = sqlite3_step(once);
    } catch (...) {
        statements.release(once);
        throw;
    }
    const QString message = rc == SQLITE_DONE || rc == SQLITE_ROW ? QString() : QString::fromUtf8(sqlite3_errmsg(db));
    statements.release(once);
    if (!message.isNull()) // a result set, if any, is simply dropped
        throw JotterlyError(message);
}

void SqlQuery::step()
{
    const int rc = sqlite3_step(stmt);
    if (rc == SQLITE_ROW)
        return;
    atEnd = true;
    if (rc != SQLITE_DONE)
        fail(connection.handle());
}

void SqlQuery::next()
{
    if (!stmt || atEnd)
        return;
    step();
}

int SqlQuery::fieldIndex(const QString &name) const
{
    const QByteArray wanted = name.toUtf8();
    for (size_t i = 0; i < columnNames.size(); ++i) {
        if (qstricmp(columnNames[i].constData(), wanted.constData()) == 0)
            return static_cast<int>(i);
    }
    throw JotterlyError(QStringLiteral("Field '%1' not found").arg(name));
}

void SqlQuery::requireRow() const
{
    if (!stmt || atEnd)
        throw JotterlyError(QStringLiteral("Either BOF or EOF is True, or the current record has been deleted."));
}

QByteArray SqlQuery::textAt(int index) const
{
    requireRow();
    const auto *bytes = reinterpret_cast<const char *>(sqlite3_column_text(stmt, index));
    return bytes ? QByteArray(bytes, sqlite3_column_bytes(stmt, index)) : QByteArray();
}

bool SqlQuery::boolAt(int index) const
{
    requireRow();
    if (sqlite3_column_type(stmt, index) == SQLITE_TEXT) {
        const QByteArray text = textAt(index).trimmed();
        if (text.compare("true", Qt::CaseInsensitive) == 0)
            return true;
        return text.toLongLong() != 0;
    }
    return sqlite3_column_int64(stmt, index) != 0;
}

int SqlQuery::intAt(int index) const
{
    requireRow();
    return sqlite3_column_int(stmt, index);
}

TDateTime SqlQuery::dateTimeAt(int index) const
{
    requireRow();
    return sqlite3_column_double(stmt, index);
}

QString SqlQuery::tableName() const
{
    static const QRegularExpression fromClause(QStringLiteral("\\bfrom\\s+(\\w+)"),
                                               QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = fromClause.match(statement);
    if (!match.hasMatch())
        throw JotterlyError(QStringLiteral("The statement names no table to store rows in"));
    return match.captured(1);
}

void SqlQuery::insert()
{
    if (columnNames.empty())
        throw JotterlyError(QStringLiteral("Operation is not allowed when the object is closed."));
    pendingFields.clear();
    rowState = RowState::Inserting;
}

void SqlQuery::edit()
{
    requireRow();
    const QString key = Schema::keyColumnOf(tableName());
    if (key.isEmpty())
        throw JotterlyError(QStringLiteral("Rows of this table cannot be changed"));
    editKey = QVariant(textAt(fieldIndex(key)));
    pendingFields.clear();
    rowState = RowState::Editing;
}

void SqlQuery::setField(const QString &name, const QVariant &value)
{
    if (rowState == RowState::Browse)
        throw JotterlyError(QStringLiteral("The row is not being inserted or edited"));
    fieldIndex(name); // an unknown column fails here, not at post
    for (auto &field : pendingFields) {
        if (field.first.compare(name, Qt::CaseInsensitive) == 0) {
            field.second = value;
            return;
        }
    }
    pendingFields.emplace_back(name, value);
}

void SqlQuery::setText(const QString &name, const QByteArray &value)
{
    // A null QByteArray would bind as NULL; stored text is never NULL.
    setField(name, QVariant(value.isNull() ? QByteArray("") : value));
}

void SqlQuery::setDateTime(const QString &name, TDateTime value)
{
    setField(name, QVariant(value));
}

void SqlQuery::post()
{
    if (rowState == RowState::Browse)
        throw JotterlyError(QStringLiteral("The row is not being inserted or edited"));
    const QString table = tableName();
    std::vector<QVariant> values;
    QStringList names;
    for (const auto &field : pendingFields) {
        names << field.first;
        values.push_back(field.second);
    }
    QString sql;
    if (rowState == RowState::Inserting) {
        QStringList marks;
        for (int i = 0; i < names.size(); ++i)
            marks << QStringLiteral("?");
        sql = names.isEmpty() ? QStringLiteral("insert into %1 default values").arg(table)
                              : QStringLiteral("insert into %1 (%2) values (%3)")
                                    .arg(table, names.join(QLatin1Char(',')), marks.join(QLatin1Char(',')));
    } else {
        if (names.isEmpty()) {
            rowState = RowState::Browse;
            return;
        }
        QStringList assignments;
        for (const QString &name : names)
            assignments << name + QStringLiteral("=?");
        sql = QStringLiteral("update %1 set %2 where %3=?")
                  .arg(table, assignments.join(QLatin1Char(',')), Schema::keyColumnOf(table));
        values.push_back(editKey);
    }
    // The open result set would see its own row change under it; it is of no further use.
    if (stmt) {
        statements.release(stmt);
        stmt = nullptr;
        atEnd = true;
    }
    run(sql, values);
    rowState = RowState::Browse;
    pendingFields.clear();
}

void OpenSql(SqlQuery &query, const QString &statement)
{
    query.close();
    query.setSql(statement);
    query.open();
}

void ExecSql(SqlQuery &query, const QString &statement)
{
    query.close();
    query.setSql(statement);
    query.execute();
}
