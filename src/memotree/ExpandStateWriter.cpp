#include "ExpandStateWriter.h"

#include "BulkTransaction.h"

#include "GeneralErrorHandler.h"
#include "SqlConnection.h"
#include "SqlQuery.h"
#include "Statements.h"

ExpandStateWriter::ExpandStateWriter(SqlConnection &connection, SqlQuery &query, QObject *parent)
    : QObject(parent)
    , connection(connection)
    , query(query)
{
    idle.setSingleShot(true);
    idle.setInterval(kIdleMs);
    connect(&idle, &QTimer::timeout, this, [this] { GeneralErrorHandler::guarded([this] { flush(); }); });
}

ExpandStateWriter::~ExpandStateWriter()
{
    GeneralErrorHandler::guarded([this] { flush(); });
}

void ExpandStateWriter::store(const QByteArray &mid, bool expanded, bool deferred)
{
    pending.emplace_back(mid, expanded);
    if (!deferred)
        flush();
    else if (!idle.isActive())
        idle.start();
}

void ExpandStateWriter::postpone()
{
    if (idle.isActive())
        idle.start(); // starts the wait again: written once the user pauses
}

void ExpandStateWriter::flush()
{
    idle.stop();
    if (pending.empty())
        return;
    // Later changes of the same memo win because they are written later.
    size_t written = 0;
    try {
        BulkTransaction batch(connection);
        for (; written < pending.size(); ++written) {
            const auto &[mid, expanded] = pending[written];
            ExecSql(query, Sql::UpdateExpandFlag(expanded, QString::fromUtf8(mid)));
        }
        batch.commit();
    } catch (...) {
        pending.erase(pending.begin(), pending.begin() + static_cast<std::ptrdiff_t>(written));
        throw;
    }
    pending.clear();
}
