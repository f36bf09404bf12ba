#include "StoreMeasurements.h"

#include "BenchSession.h"
#include "JotterlyError.h"
#include "OleDateTime.h"
#include "SqlConnection.h"
#include "SqlQuery.h"
#include "Statements.h"

#include <QFile>

#include <sqlite3.h>

#include <vector>

namespace {

struct MemoEdit
{
    QByteArray mid;
    QByteArray content; // the new text
};

// Memos spread over the whole table, each with its text and a few words typed at the
// end, so that every run changes another row by a realistic amount.
std::vector<MemoEdit> plannedEdits(SqlConnection &connection, int count)
{
    SqlQuery query(connection);
    OpenSql(query, Sql::kSelectAllMemos);
    std::vector<MemoEdit> all;
    for (; !query.eof(); query.next())
        all.push_back({query.text(QStringLiteral("mid")), query.text(QStringLiteral("content"))});
    if (all.size() < static_cast<size_t>(count))
        throw JotterlyError(QStringLiteral("commit: the data file holds fewer than %1 memos").arg(count));
    std::vector<MemoEdit> edits;
    const size_t stride = all.size() / static_cast<size_t>(count);
    for (int i = 0; i < count; ++i) {
        MemoEdit edit = all[static_cast<size_t>(i) * stride];
        edit.content += " and call back " + QByteArray::number(i);
        edits.push_back(edit);
    }
    return edits;
}

// The bare update on its own connection, with the program's journal and sync settings
// so that both pay for the same trips to the disk.
class BareUpdate
{
public:
    explicit BareUpdate(const QString &path)
    {
        if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK
            || sqlite3_exec(db, "PRAGMA journal_mode=DELETE; PRAGMA synchronous=FULL;", nullptr, nullptr, nullptr)
                   != SQLITE_OK
            || sqlite3_prepare_v2(db, "update memos set content=?, editTime=? where mid=?", -1, &stmt, nullptr)
                   != SQLITE_OK)
            fail();
    }
    ~BareUpdate()
    {
        sqlite3_finalize(stmt);
        sqlite3_close_v2(db);
    }
    BareUpdate(const BareUpdate &) = delete;
    BareUpdate &operator=(const BareUpdate &) = delete;

    void store(const MemoEdit &edit, double editTime)
    {
        sqlite3_reset(stmt);
        if (sqlite3_bind_text(stmt, 1, edit.content.constData(), static_cast<int>(edit.content.size()), SQLITE_STATIC)
                != SQLITE_OK
            || sqlite3_bind_double(stmt, 2, editTime) != SQLITE_OK
            || sqlite3_bind_text(stmt, 3, edit.mid.constData(), static_cast<int>(edit.mid.size()), SQLITE_STATIC)
                   != SQLITE_OK
            || sqlite3_step(stmt) != SQLITE_DONE || sqlite3_changes(db) != 1)
            fail();
    }

private:
    [[noreturn]] void fail()
    {
        const char *message = db ? sqlite3_errmsg(db) : "out of memory";
        throw JotterlyError(QStringLiteral("commit limit: %1").arg(QString::fromUtf8(message)));
    }

    sqlite3 *db = nullptr;
    sqlite3_stmt *stmt = nullptr;
};

void requireStored(SqlConnection &connection, const std::vector<MemoEdit> &edits)
{
    SqlQuery query(connection);
    for (const MemoEdit &edit : edits) {
        OpenSql(query, Sql::SelectMemoByMid(QString::fromUtf8(edit.mid)));
        if (query.eof() || query.text(QStringLiteral("content")) != edit.content)
            throw JotterlyError(
                QStringLiteral("commit: memo %1 does not hold its edit").arg(QString::fromUtf8(edit.mid)));
    }
}

} // namespace

MeasurementResult MeasureCommit(BenchSession &session)
{
    // A copy, so the other measurements keep seeing the data file as it was generated.
    const QString path = session.dataDir + QStringLiteral("commit.qzb");
    QFile::remove(path);
    if (!QFile::copy(session.dataFile, path))
        throw JotterlyError(QStringLiteral("commit: cannot copy %1 to %2").arg(session.dataFile, path));

    MeasurementResult result;
    result.name = QStringLiteral("commit");
    result.memoCount = session.memoCount;
    {
        SqlConnection connection;
        connection.open(path);
        // The program's runs and the limit's runs edit different memos.
        const std::vector<MemoEdit> edits = plannedEdits(connection, 2 * kRunsPerMeasurement);
        const std::vector<MemoEdit> programEdits(edits.begin(), edits.begin() + kRunsPerMeasurement);
        const std::vector<MemoEdit> limitEdits(edits.begin() + kRunsPerMeasurement, edits.end());

        // One query object for every edit, as the frame keeps its own across commits.
        SqlQuery query(connection);
        size_t next = 0;
        Measurement program;
        program.run = [&] {
            const MemoEdit &edit = programEdits[next++];
            OpenSql(query, Sql::SelectMemoByMid(QString::fromUtf8(edit.mid)));
            query.edit();
            query.setText(QStringLiteral("content"), edit.content);
            query.setDateTime(QStringLiteral("editTime"), OleDateTime::now());
            query.post();
        };
        result.ms = program.medianMs();

        {
            BareUpdate bare(path);
            const double editTime = OleDateTime::now();
            size_t nextBare = 0;
            Measurement limit;
            limit.run = [&] { bare.store(limitEdits[nextBare++], editTime); };
            result.limitMs = limit.medianMs();
        }
        requireStored(connection, edits);
    }
    QFile::remove(path);
    return result;
}
