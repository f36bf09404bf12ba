// A query object on the connection: one statement at a time, a forward-only result set
// with field access by name, and a row buffer that stores new and changed rows through
// bound parameters (insert or edit, set fields, post).
//
// Values as read: NULL reads as the empty text, false, 0 or the zero date-time.
// Every failure throws JotterlyError carrying the engine's message.
#pragma once

#include "OleDateTime.h"
#include "StatementCache.h"

#include <QByteArray>
#include <QString>
#include <QVariant>
#include <vector>

class SqlConnection;
struct sqlite3_stmt;

class SqlQuery
{
public:
    explicit SqlQuery(SqlConnection &connection);
    ~SqlQuery();
    SqlQuery(const SqlQuery &) = delete;
    SqlQuery &operator=(const SqlQuery &) = delete;

    void close();
    void setSql(const QString &statement);
    const QString &sql() const { return statement; }
    // Runs the statement and stands on its first row (or at the end when there is none).
    void open();
    // Runs the statement for its effect; the result set, if any, is dropped.
    void execute();

    bool eof() const { return atEnd; }
    void next();

    // Field access on the current row; an unknown name throws.
    int fieldIndex(const QString &name) const;
    QByteArray textAt(int index) const;
    bool boolAt(int index) const;
    int intAt(int index) const;
    TDateTime dateTimeAt(int index) const;
    QByteArray text(const QString &name) const { return textAt(fieldIndex(name)); }
    bool asBool(const QString &name) const { return boolAt(fieldIndex(name)); }
    int asInteger(const QString &name) const { return intAt(fieldIndex(name)); }
    TDateTime asDateTime(const QString &name) const { return dateTimeAt(fieldIndex(name)); }

    // Row buffer: start a new row or start changing the current one, set fields, post.
    void insert();
    void edit();
    void setText(const QString &name, const QByteArray &value);
    void setDateTime(const QString &name, TDateTime value);
    void post();

private:
    enum class RowState { Browse, Inserting, Editing };
    void requireRow() const;
    void step();
    QString tableName() const;
    void setField(const QString &name, const QVariant &value);
    // Runs a statement for its effect, binding values to its last parameters.
    void run(const QString &sql, const std::vector<QVariant> &values);

    SqlConnection &connection;
    QString statement;
    sqlite3_stmt *stmt = nullptr;
    bool atEnd = true;
    std::vector<QByteArray> columnNames;

    RowState rowState = RowState::Browse;
    QVariant editKey;
    std::vector<std::pair<QString, QVariant>> pendingFields;
    StatementCache statements;
};

// Closes the query, makes the statement its whole text and opens it.
void OpenSql(SqlQuery &query, const QString &statement);
// Closes the query, makes the statement its whole text and executes it.
void ExecSql(SqlQuery &query, const QString &statement);
