#include "StatementCache.h"

#include "JotterlyError.h"

#include <sqlite3.h>

#include <algorithm>

namespace {
constexpr size_t kMaxEntries = 16;
}

StatementCache::~StatementCache()
{
    clear();
}

void StatementCache::clear()
{
    for (const Entry &entry : entries)
        sqlite3_finalize(entry.stmt);
    entries.clear();
}

QString StatementCache::parameterized(const QString &sql, std::vector<QByteArray> &literals)
{
    literals.clear();
    QString text;
    text.reserve(sql.size());
    for (qsizetype i = 0; i < sql.size(); ++i) {
        if (sql.at(i) != QLatin1Char('\'')) {
            text += sql.at(i);
            continue;
        }
        QString literal;
        qsizetype j = i + 1;
        for (; j < sql.size(); ++j) {
            if (sql.at(j) == QLatin1Char('\'')) {
                if (j + 1 < sql.size() && sql.at(j + 1) == QLatin1Char('\'')) {
                    literal += QLatin1Char('\'');
                    ++j;
                    continue;
                }
                break;
            }
            literal += sql.at(j);
        }
        if (j >= sql.size()) { // unterminated: the engine reports it on the original text
            literals.clear();
            return sql;
        }
        literals.push_back(literal.toUtf8());
        text += QLatin1Char('?');
        i = j;
    }
    return text;
}

sqlite3_stmt *StatementCache::acquire(sqlite3 *db, const QString &sql)
{
    std::vector<QByteArray> literals;
    QString text = parameterized(sql, literals);
    size_t found = entries.size();
    for (size_t i = 0; i < entries.size(); ++i) {
        if (!entries[i].inUse && entries[i].text == text && sqlite3_db_handle(entries[i].stmt) == db) {
            found = i;
            break;
        }
    }
    if (found == entries.size()) {
        sqlite3_stmt *stmt = nullptr;
        if (sqlite3_prepare_v2(db, text.toUtf8().constData(), -1, &stmt, nullptr) != SQLITE_OK) {
            // Where a literal cannot become a parameter, the original text is compiled.
            sqlite3_finalize(stmt);
            stmt = nullptr;
            literals.clear();
            text = sql;
            if (sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &stmt, nullptr) != SQLITE_OK) {
                const QString message = QString::fromUtf8(sqlite3_errmsg(db));
                sqlite3_finalize(stmt);
                throw JotterlyError(message);
            }
        }
        if (entries.size() >= kMaxEntries) {
            // Drop the least recently used statement that nobody holds.
            for (auto it = entries.end(); it != entries.begin();) {
                --it;
                if (!it->inUse) {
                    sqlite3_finalize(it->stmt);
                    entries.erase(it);
                    break;
                }
            }
        }
        entries.insert(entries.begin(), Entry{text, stmt, false});
        found = 0;
    } else if (found > 0) {
        std::rotate(entries.begin(), entries.begin() + static_cast<std::ptrdiff_t>(found),
                    entries.begin() + static_cast<std::ptrdiff_t>(found) + 1);
        found = 0;
    }
    Entry &entry = entries.front();
    entry.inUse = true;
    sqlite3_reset(entry.stmt);
    sqlite3_clear_bindings(entry.stmt);
    for (size_t i = 0; i < literals.size(); ++i)
        sqlite3_bind_text(entry.stmt, static_cast<int>(i + 1), literals[i].constData(),
                          static_cast<int>(literals[i].size()), SQLITE_TRANSIENT);
    return entry.stmt;
}

void StatementCache::release(sqlite3_stmt *stmt)
{
    for (Entry &entry : entries) {
        if (entry.stmt == stmt) {
            sqlite3_reset(stmt);
            sqlite3_clear_bindings(stmt);
            entry.inUse = false;
            return;
        }
    }
}
