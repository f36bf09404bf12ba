// BulkTransaction: one database transaction around the many rows of one bulk step (a
// restore, an import, the expanded states of a search), so that they are not stored one
// commit per row. It is always committed, after a failure or an Abort too, so the rows
// stored so far stay exactly as they would without it.
#pragma once

#include <optional>

class SqlConnection;

class BulkTransaction
{
public:
    // Begins a transaction and gives the connection a page cache large enough for it. A
    // transaction that is already open (a caller's) is joined and left to its owner.
    // Throws JotterlyError when the transaction cannot begin; nothing is changed then.
    explicit BulkTransaction(SqlConnection &connection);
    // Commits when commit() was not called (errors are swallowed here) and puts the page
    // cache back as it was.
    ~BulkTransaction();
    BulkTransaction(const BulkTransaction &) = delete;
    BulkTransaction &operator=(const BulkTransaction &) = delete;

    // Stores everything done since the start. Throws JotterlyError when the commit fails;
    // the transaction is rolled back then, so none is ever left open.
    void commit();
    // Stores everything done so far and goes on in a new transaction, so that the work
    // done up to a question or a message is in the file while the user looks at it.
    // Throws JotterlyError when the commit fails (rolled back then, as commit() does).
    void checkpoint();

private:
    void setCacheSize(long long size);
    long long cacheSize();
    void restoreCacheSize();

    SqlConnection &connection;
    bool owned = false;
    std::optional<long long> previousCacheSize;
};
