#include "SqlConnection.h"

#include "JotterlyError.h"
#include "Schema.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

namespace {

QString engineError(sqlite3 *db, int rc)
{
    return db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(rc));
}

sqlite3 *openHandle(const QString &path, int flags)
{
    sqlite3 *db = nullptr;
    const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &db, flags, nullptr);
    if (rc != SQLITE_OK) {
        const QString message = engineError(db, rc);
        sqlite3_close_v2(db);
        throw JotterlyError(message);
    }
    sqlite3_extended_result_codes(db, 1);
    sqlite3_busy_timeout(db, 2000);
    return db;
}

} // namespace

SqlConnection::~SqlConnection()
{
    close();
}

void SqlConnection::open(const QString &path)
{
    close();
    filePath = path;
    failure.clear();
    try {
        if (!QFileInfo::exists(path)) {
            create(path);
            return;
        }
        db = openHandle(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX);
        try {
            verifyTables(); // the journal mode below may rewrite the file: only once it is ours
            useRollbackJournal();
        } catch (...) {
            close();
            throw;
        }
    } catch (const JotterlyError &error) {
        // The user learns which file could not be used, and why.
        failure = error.message().contains(path) ? error.message()
                                                 : QStringLiteral("Cannot open the memo file %1: %2")
                                                       .arg(QDir::toNativeSeparators(path), error.message());
        throw JotterlyError(failure);
    }
}

void SqlConnection::create(const QString &path)
{
    // Make the file ourselves first so that it is readable by its owner only.
    QFile file(path);
    if (!file.open(QIODevice::NewOnly | QIODevice::WriteOnly))
        throw JotterlyError(QStringLiteral("Unable to create the data file %1: %2").arg(path, file.errorString()));
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    file.close();
    try {
        db = openHandle(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX);
        useRollbackJournal();
        exec("BEGIN");
        exec(Schema::createStatements());
        exec("COMMIT");
    } catch (...) {
        close();
        QFile::remove(path); // only ever a file we have just made
        throw;
    }
}

void SqlConnection::useRollbackJournal()
{
    // With the rollback journal every commit is in the data file itself, so a copy of the
    // file taken while the program runs is complete; FULL syncs it to the disk before the
    // commit returns, so a power cut loses nothing that was shown as stored. A file that
    // an earlier version left in write-ahead mode is checkpointed back into a plain file.
    sqlite3_stmt *stmt = nullptr;
    int rc = sqlite3_prepare_v2(db, "PRAGMA journal_mode=DELETE", -1, &stmt, nullptr);
    QByteArray mode;
    if (rc == SQLITE_OK && (rc = sqlite3_step(stmt)) == SQLITE_ROW)
        mode = reinterpret_cast<const char *>(sqlite3_column_text(stmt, 0));
    const QString message = rc == SQLITE_ROW ? QString() : engineError(db, rc);
    sqlite3_finalize(stmt);
    if (!message.isNull())
        throw JotterlyError(message);
    // The engine answers with the mode it kept when it cannot change it.
    if (mode.compare("delete", Qt::CaseInsensitive) != 0)
        throw JotterlyError(
            QStringLiteral("The data file %1 cannot leave journal mode %2").arg(filePath, QString::fromUtf8(mode)));
    exec("PRAGMA synchronous=FULL");
}

void SqlConnection::verifyTables()
{
    for (const char *probe : {"select * from memos where 0=1", "select * from tasks where 0=1"}) {
        sqlite3_stmt *stmt = nullptr;
        const int rc = sqlite3_prepare_v2(db, probe, -1, &stmt, nullptr);
        sqlite3_finalize(stmt);
        if (rc != SQLITE_OK)
            throw JotterlyError(engineError(db, rc));
    }
}

void SqlConnection::close()
{
    if (db) {
        sqlite3_close_v2(db);
        db = nullptr;
    }
}

sqlite3 *SqlConnection::handle() const
{
    if (!db)
        throw JotterlyError(QStringLiteral("The memo database is not open"));
    return db;
}

void SqlConnection::exec(const char *sql)
{
    char *message = nullptr;
    const int rc = sqlite3_exec(handle(), sql, nullptr, nullptr, &message);
    if (rc != SQLITE_OK) {
        const QString text = message ? QString::fromUtf8(message) : engineError(db, rc);
        sqlite3_free(message);
        throw JotterlyError(text);
    }
}

void SqlConnection::beginTransaction()
{
    exec("BEGIN");
}

void SqlConnection::commitTransaction()
{
    exec("COMMIT");
}

bool SqlConnection::inTransaction() const
{
    return db && sqlite3_get_autocommit(db) == 0;
}
