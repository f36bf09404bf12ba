#include "StoreMeasurements.h"

#include "BareLimits.h"
#include "BenchSession.h"
#include "JotterlyError.h"
#include "OleDateTime.h"
#include "SqlConnection.h"
#include "SqlQuery.h"
#include "Statements.h"

#include <QFile>

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
            BareLimits::MemoWriter bare(path);
            const double editTime = OleDateTime::now();
            size_t nextBare = 0;
            Measurement limit;
            limit.run = [&] {
                const MemoEdit &edit = limitEdits[nextBare++];
                bare.update(edit.mid, edit.content, editTime);
            };
            result.limitMs = limit.medianMs();
        }
        requireStored(connection, edits);
    }
    QFile::remove(path);
    return result;
}
