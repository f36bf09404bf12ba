#include "bench_interchange.h"

#include "BareInterchange.h"
#include "BenchSession.h"
#include "Dm_Io.h"
#include "InterchangeFormat.h"
#include "InterchangeQuestions.h"
#include "JotterlyError.h"
#include "SqlConnection.h"
#include "SqlQuery.h"
#include "pU_XmlTry.h"

#include <QFile>

#include <memory>

namespace {

const QString kVersion = QStringLiteral("0.0.0.0");

// The bench's answers to the interchange questions: every replace question of a restore is
// answered "All"; no file name is ever asked, as each operation is given its file.
class AnswerAll : public InterchangeQuestions
{
public:
    ReplaceAnswer confirmReplace(const ReplaceAskTexts &) override { return ReplaceAnswer::YesToAll; }
    QString saveFileName(const FileNameRequest &) override { return QString(); }
    QString openFileName(const FileNameRequest &) override { return QString(); }
};

AnswerAll &answerAll()
{
    static AnswerAll questions;
    return questions;
}

void removeDatabase(const QString &path)
{
    for (const char *suffix : {"", "-wal", "-shm"})
        QFile::remove(path + QLatin1String(suffix));
}

// Copies a data file that another connection may hold open: the main file and its log.
void copyDatabase(const QString &from, const QString &to)
{
    removeDatabase(to);
    if (!QFile::copy(from, to))
        throw JotterlyError(QStringLiteral("Cannot copy %1 to %2").arg(from, to));
    if (QFile::exists(from + QStringLiteral("-wal")))
        QFile::copy(from + QStringLiteral("-wal"), to + QStringLiteral("-wal"));
}

int countRows(SqlConnection &connection, const char *table)
{
    SqlQuery query(connection);
    OpenSql(query, QStringLiteral("select count(*) as cnt from %1").arg(QLatin1String(table)));
    return query.asInteger(QStringLiteral("cnt"));
}

void require(bool ok, const QString &what)
{
    if (!ok)
        throw JotterlyError(what);
}

// A work file in the session's temporary folder.
QString workFile(const BenchSession &session, const char *name)
{
    return session.dataDir + QLatin1String("interchange-") + QLatin1String(name);
}

// A copy of the session's data, and a backup of it made by the program, shared by the
// measurements of one session (each may also run alone).
QString sourceCopy(const BenchSession &session)
{
    const QString source = workFile(session, "source.qzb");
    if (!QFile::exists(source))
        copyDatabase(session.dataFile, source);
    return source;
}

QString backupFile(const BenchSession &session)
{
    const QString file = workFile(session, "backup.qzx");
    if (!QFile::exists(file)) {
        SqlConnection db;
        db.open(sourceCopy(session));
        TIoDm io(db, kVersion, answerAll());
        require(io.BackupTo(file), QStringLiteral("the backup for import and restore failed"));
    }
    return file;
}

struct RowCounts
{
    int memos = 0;
    int tasks = 0;
    bool operator==(const RowCounts &other) const { return memos == other.memos && tasks == other.tasks; }
};

RowCounts countsOf(SqlConnection &db)
{
    return RowCounts{countRows(db, "memos"), countRows(db, "tasks")};
}

RowCounts sourceCounts(const BenchSession &session)
{
    SqlConnection db;
    db.open(sourceCopy(session));
    return countsOf(db);
}

// The database and module of one timed run, made before the clock starts.
struct Target
{
    std::unique_ptr<SqlConnection> db;
    std::unique_ptr<TIoDm> io;

    void open(const QString &path)
    {
        db = std::make_unique<SqlConnection>();
        db->open(path);
        io = std::make_unique<TIoDm>(*db, kVersion, answerAll());
    }
    void close()
    {
        io.reset();
        db.reset();
    }
};

} // namespace

MeasurementResult MeasureBackup(BenchSession &session)
{
    const QString source = sourceCopy(session);
    const QString target = workFile(session, "timed.qzx");
    const QString bareTarget = workFile(session, "bare.qzx");
    SqlConnection db;
    db.open(source);
    TIoDm io(db, kVersion, answerAll());

    MeasurementResult result;
    result.name = QStringLiteral("backup");
    result.memoCount = session.memoCount;
    result.ms = Measurement{{}, [&] { require(io.BackupTo(target), QStringLiteral("backup failed")); }, {}}.medianMs();
    result.limitMs = Measurement{{}, [&] { BareInterchange::Backup(source, bareTarget); }, {}}.medianMs();
    QFile::remove(target);
    QFile::remove(bareTarget);
    return result;
}

MeasurementResult MeasureImport(BenchSession &session)
{
    const QString file = backupFile(session);
    const RowCounts expected = sourceCounts(session);
    const QString path = workFile(session, "import.qzb");
    Target target;
    const Measurement import{[&] {
                                 removeDatabase(path);
                                 target.open(path); // a new, empty data file
                             },
                             [&] { require(target.io->ImportFrom(file), QStringLiteral("import failed")); },
                             [&] {
                                 const bool complete = countsOf(*target.db) == expected;
                                 target.close();
                                 removeDatabase(path);
                                 require(complete, QStringLiteral("import left rows out"));
                             }};

    // The limit fills a new, empty data file made the same way.
    const Measurement bare{[&] {
                               removeDatabase(path);
                               target.open(path);
                               target.close();
                           },
                           [&] {
                               require(BareInterchange::Import(file, path) == expected.memos + expected.tasks,
                                       QStringLiteral("the bare import left rows out"));
                           },
                           [&] { removeDatabase(path); }};

    MeasurementResult result;
    result.name = QStringLiteral("import");
    result.memoCount = session.memoCount;
    result.ms = import.medianMs();
    result.limitMs = bare.medianMs();
    return result;
}

MeasurementResult MeasureRestoreAll(BenchSession &session)
{
    const QString file = backupFile(session);
    const QString source = sourceCopy(session);
    const RowCounts expected = sourceCounts(session);
    const QString path = workFile(session, "restore.qzb");
    Target target;
    const Measurement restore{[&] {
                                  copyDatabase(source, path); // every record of the file is stored
                                  target.open(path);
                              },
                              [&] { require(target.io->RestoreFrom(file), QStringLiteral("restore failed")); },
                              [&] {
                                  const bool unchanged = countsOf(*target.db) == expected;
                                  target.close();
                                  removeDatabase(path);
                                  require(unchanged, QStringLiteral("restore changed the number of rows"));
                              }};

    const Measurement bare{[&] { copyDatabase(source, path); }, [&] { BareInterchange::RestoreAll(file, path); },
                           [&] {
                               SqlConnection db;
                               db.open(path);
                               const bool unchanged = countsOf(db) == expected;
                               db.close();
                               removeDatabase(path);
                               require(unchanged, QStringLiteral("the bare restore changed the number of rows"));
                           }};

    MeasurementResult result;
    result.name = QStringLiteral("restore_all");
    result.memoCount = session.memoCount;
    result.ms = restore.medianMs();
    result.limitMs = bare.medianMs();
    return result;
}
