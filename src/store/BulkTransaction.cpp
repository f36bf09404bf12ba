#include "BulkTransaction.h"

#include "SqlConnection.h"
#include "SqlQuery.h"

#include <QByteArray>

namespace {
// In KiB (negative, as the engine counts it): an upper bound, not an allocation. Enough for
// the rows of 100,000 memos, so that changed pages are written once at the commit instead
// of being spilled early and read back.
constexpr long long kBulkCacheSize = -256 * 1024;
} // namespace

BulkTransaction::BulkTransaction(SqlConnection &connection)
    : connection(connection)
{
    if (connection.inTransaction())
        return;
    previousCacheSize = cacheSize();
    setCacheSize(kBulkCacheSize);
    try {
        connection.beginTransaction();
    } catch (...) {
        restoreCacheSize();
        throw;
    }
    owned = true;
}

BulkTransaction::~BulkTransaction()
{
    try {
        commit();
    } catch (...) {
        // commit() has already rolled back; a destructor cannot report more
    }
    restoreCacheSize();
}

void BulkTransaction::commit()
{
    if (!owned)
        return;
    owned = false;
    // After some failures (a full disk) the engine has ended the transaction by itself.
    if (!connection.inTransaction())
        return;
    try {
        connection.commitTransaction();
    } catch (...) {
        if (connection.inTransaction()) {
            try {
                connection.exec("ROLLBACK");
            } catch (...) {
            }
        }
        throw;
    }
}

void BulkTransaction::checkpoint()
{
    if (!owned)
        return;
    commit();
    connection.beginTransaction();
    owned = true;
}

void BulkTransaction::setCacheSize(long long size)
{
    connection.exec(("PRAGMA cache_size=" + QByteArray::number(size)).constData());
}

long long BulkTransaction::cacheSize()
{
    SqlQuery query(connection);
    OpenSql(query, QStringLiteral("PRAGMA cache_size"));
    return query.eof() ? -2000 : query.textAt(0).toLongLong();
}

void BulkTransaction::restoreCacheSize()
{
    if (!previousCacheSize)
        return;
    try {
        setCacheSize(*previousCacheSize);
    } catch (...) {
        // only a cache size; the data is not affected
    }
    previousCacheSize.reset();
}
