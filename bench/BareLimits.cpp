#include "BareLimits.h"

#include "JotterlyError.h"
#include "MemoCompare.h"
#include "TextHelpers.h"

#include <QFile>

#include <sqlite3.h>

#include <algorithm>
#include <cstring>

namespace BareLimits {

qint64 ReadAllMemoRows(const QString &path)
{
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr)
        != SQLITE_OK) {
        const QString message = QString::fromUtf8(db ? sqlite3_errmsg(db) : "out of memory");
        sqlite3_close_v2(db);
        throw JotterlyError(message);
    }
    sqlite3_stmt *stmt = nullptr;
    qint64 rows = 0;
    int rc = sqlite3_prepare_v2(db, "select * from memos", -1, &stmt, nullptr);
    if (rc == SQLITE_OK) {
        const int columns = sqlite3_column_count(stmt);
        quint64 touched = 0;
        double sum = 0;
        while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
            ++rows;
            for (int c = 0; c < columns; ++c) {
                const int type = sqlite3_column_type(stmt, c);
                if (type == SQLITE_INTEGER || type == SQLITE_FLOAT) {
                    sum += sqlite3_column_double(stmt, c);
                } else if (const unsigned char *text = sqlite3_column_text(stmt, c)) {
                    touched += static_cast<quint64>(sqlite3_column_bytes(stmt, c)) + text[0];
                }
            }
        }
        // Keeps the reads from being optimised away.
        if (touched == 0 && sum < 0)
            rows = -rows;
        if (rc == SQLITE_DONE)
            rc = SQLITE_OK;
    }
    const QString message = rc == SQLITE_OK ? QString() : QString::fromUtf8(sqlite3_errmsg(db));
    sqlite3_finalize(stmt);
    sqlite3_close_v2(db);
    if (!message.isEmpty())
        throw JotterlyError(message);
    return rows;
}

int CountContaining(const std::vector<QByteArray> &texts, const QByteArray &needle)
{
    int found = 0;
    for (const QByteArray &text : texts) {
#if defined(__GLIBC__)
        if (memmem(text.constData(), static_cast<size_t>(text.size()), needle.constData(),
                   static_cast<size_t>(needle.size())))
            ++found;
#else
        if (std::search(text.begin(), text.end(), needle.begin(), needle.end()) != text.end())
            ++found;
#endif
    }
    return found;
}

void StableSortTexts(std::vector<QByteArray> &texts, bool ascending)
{
    if (ascending)
        std::stable_sort(texts.begin(), texts.end(),
                         [](const QByteArray &a, const QByteArray &b) { return CompareMemoTexts(a, b) < 0; });
    else
        std::stable_sort(texts.begin(), texts.end(),
                         [](const QByteArray &a, const QByteArray &b) { return CompareMemoTexts(b, a) < 0; });
}

qint64 OneLineFormOfAll(const std::vector<QByteArray> &texts)
{
    qint64 total = 0;
    for (const QByteArray &text : texts)
        total += QString::fromUtf8(FlattenLineBreaks(text)).size();
    return total;
}

MemoWriter::MemoWriter(const QString &path)
{
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK
        || sqlite3_exec(db, "PRAGMA journal_mode=DELETE; PRAGMA synchronous=FULL;", nullptr, nullptr, nullptr)
               != SQLITE_OK
        || sqlite3_prepare_v2(db, "update memos set content=?, editTime=? where mid=?", -1, &updateStmt, nullptr)
               != SQLITE_OK
        || sqlite3_prepare_v2(db,
                              "insert into memos (mid, pid, content, createTime, editTime) values (?, 'root', ?, ?, ?)",
                              -1, &insertStmt, nullptr)
               != SQLITE_OK)
        fail();
}

MemoWriter::~MemoWriter()
{
    sqlite3_finalize(updateStmt);
    sqlite3_finalize(insertStmt);
    sqlite3_close_v2(db);
}

void MemoWriter::fail() const
{
    const char *message = db ? sqlite3_errmsg(db) : "out of memory";
    throw JotterlyError(QStringLiteral("bare memo write: %1").arg(QString::fromUtf8(message)));
}

void MemoWriter::bindText(sqlite3_stmt *stmt, int column, const QByteArray &text) const
{
    if (sqlite3_bind_text(stmt, column, text.constData(), static_cast<int>(text.size()), SQLITE_STATIC) != SQLITE_OK)
        fail();
}

void MemoWriter::update(const QByteArray &mid, const QByteArray &content, double editTime)
{
    sqlite3_reset(updateStmt);
    bindText(updateStmt, 1, content);
    bindText(updateStmt, 3, mid);
    if (sqlite3_bind_double(updateStmt, 2, editTime) != SQLITE_OK || sqlite3_step(updateStmt) != SQLITE_DONE
        || sqlite3_changes(db) != 1)
        fail();
}

void MemoWriter::insert(const QByteArray &mid, const QByteArray &content, double time)
{
    sqlite3_reset(insertStmt);
    bindText(insertStmt, 1, mid);
    bindText(insertStmt, 2, content);
    if (sqlite3_bind_double(insertStmt, 3, time) != SQLITE_OK || sqlite3_bind_double(insertStmt, 4, time) != SQLITE_OK
        || sqlite3_step(insertStmt) != SQLITE_DONE)
        fail();
}

} // namespace BareLimits
