// Compiled statements kept for reuse. The program's statements carry ids as quoted
// literals ("delete from memos where mid='{...}'"); compiling each such text anew costs
// more than running it. The cache compiles the text with every quoted literal turned
// into a parameter and binds the literals' values, so statements that differ only in
// their ids share one compiled form. Results are those of the original text.
#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

class StatementCache
{
public:
    StatementCache() = default;
    ~StatementCache();
    StatementCache(const StatementCache &) = delete;
    StatementCache &operator=(const StatementCache &) = delete;

    // A statement ready to run for sql, its literals bound; throws JotterlyError with
    // the engine's message when the text does not compile. Hand it back with release().
    sqlite3_stmt *acquire(sqlite3 *db, const QString &sql);
    void release(sqlite3_stmt *stmt);
    void clear();

    // The text with each single-quoted literal replaced by "?", and the literals' values
    // (doubled quotes undone). An unterminated literal leaves the text as it is.
    static QString parameterized(const QString &sql, std::vector<QByteArray> &literals);

private:
    struct Entry
    {
        QString text;
        sqlite3_stmt *stmt;
        bool inUse;
    };
    std::vector<Entry> entries; // most recently used first
};
