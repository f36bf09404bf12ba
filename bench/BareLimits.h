// The bare building blocks that each measurement is compared with: the least work the
// job takes with the raw tools (SQLite's C API, memmem, std::stable_sort), no widgets
// and no program logic in between.
#pragma once

#include <QByteArray>
#include <QString>

#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace BareLimits {

// Opens a fresh read-only connection to the data file, steps through every row of
// "select * from memos" and touches every column (text columns as text, numbers as
// doubles). Returns the number of rows; throws JotterlyError when the file cannot be read.
qint64 ReadAllMemoRows(const QString &path);

// How many of the texts contain needle as exact bytes (memmem, case-sensitive).
int CountContaining(const std::vector<QByteArray> &texts, const QByteArray &needle);

// Sorts the texts stably by the program's memo order (CompareMemoTexts); descending
// compares the other way round, so equal texts keep their order in both directions.
void StableSortTexts(std::vector<QByteArray> &texts, bool ascending);

// The one-line form of every text as the list view shows it (line breaks as blanks,
// decoded from UTF-8). Returns the total length, so the work cannot be skipped.
qint64 OneLineFormOfAll(const std::vector<QByteArray> &texts);

// Memo rows written with one prepared statement each on a connection of its own,
// journalled and synced like the program's, so both pay for the same trips to the disk.
// Every call is one statement in its own transaction. Throws JotterlyError on a failure.
class MemoWriter
{
public:
    explicit MemoWriter(const QString &path);
    ~MemoWriter();
    MemoWriter(const MemoWriter &) = delete;
    MemoWriter &operator=(const MemoWriter &) = delete;

    // "update memos set content, editTime where mid"; fails unless one row changed.
    void update(const QByteArray &mid, const QByteArray &content, double editTime);
    // A new top-level memo with both times set to time.
    void insert(const QByteArray &mid, const QByteArray &content, double time);

private:
    [[noreturn]] void fail() const;
    void bindText(sqlite3_stmt *stmt, int column, const QByteArray &text) const;

    sqlite3 *db = nullptr;
    sqlite3_stmt *updateStmt = nullptr;
    sqlite3_stmt *insertStmt = nullptr;
};

} // namespace BareLimits
