// Stores memos' expanded states. A single expansion is written at once; the thousands of
// expansions that one search or "expand all" can cause are collected and written
// together in one transaction once the user pauses, so typing in the search box never
// waits for the disk. Pending states are written before the tree is loaded again and
// when the tree goes away.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QTimer>
#include <vector>

class SqlConnection;
class SqlQuery;

class ExpandStateWriter : public QObject
{
    Q_OBJECT
public:
    ExpandStateWriter(SqlConnection &connection, SqlQuery &query, QObject *parent = nullptr);
    ~ExpandStateWriter() override;

    // Records the memo's new state; written now unless deferred is true.
    void store(const QByteArray &mid, bool expanded, bool deferred);
    // Waits again before writing deferred states (the user is still busy, e.g. typing).
    void postpone();
    // Writes every pending state; throws JotterlyError when a write fails (the states
    // not yet written stay pending for the next attempt).
    void flush();

    static constexpr int kIdleMs = 300;

private:
    SqlConnection &connection;
    SqlQuery &query;
    std::vector<std::pair<QByteArray, bool>> pending; // in the order of the changes
    QTimer idle;
};
