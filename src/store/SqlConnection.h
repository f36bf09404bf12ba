// The one connection of the program to its SQLite data file.
//
// A missing data file is created (owner-only permissions) with both tables. A file that
// exists but is not a readable database of ours is reported and left exactly as it is:
// it is never written, truncated or recreated. Commits go into the file itself (rollback
// journal, synced in full), so the file alone always holds every stored change.
#pragma once

#include <QString>

struct sqlite3;

class SqlConnection
{
public:
    SqlConnection() = default;
    ~SqlConnection();
    SqlConnection(const SqlConnection &) = delete;
    SqlConnection &operator=(const SqlConnection &) = delete;

    // Opens the data file at path, creating it when missing. Throws JotterlyError with the
    // engine's message when the file cannot be created, opened or read; the connection
    // then stays closed.
    void open(const QString &path);
    void close();
    bool isOpen() const { return db != nullptr; }
    const QString &path() const { return filePath; }
    // Why the last open failed, naming the file; empty after a successful open.
    const QString &openFailure() const { return failure; }

    // The engine handle; throws JotterlyError when the connection is not open.
    sqlite3 *handle() const;

    // A transaction for bulk work (restore, import); interactive edits never use one.
    void beginTransaction();
    void commitTransaction();
    bool inTransaction() const;

    // Runs statements that return no rows; throws JotterlyError on failure.
    void exec(const char *sql);

private:
    void create(const QString &path);
    void verifyTables();
    void useRollbackJournal();

    sqlite3 *db = nullptr;
    QString filePath;
    QString failure;
};
