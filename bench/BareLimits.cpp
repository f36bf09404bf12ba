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

} // namespace BareLimits
