#include "bench_interchange.h"

#include "BenchSession.h"
#include "Dm_Io.h"
#include "InterchangeFormat.h"
#include "InterchangeQuestions.h"
#include "JotterlyError.h"
#include "SqlConnection.h"
#include "SqlQuery.h"
#include "pU_XmlTry.h"

#include <QFile>

#include <pugixml.hpp>
#include <sqlite3.h>
#include <zlib.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr double kImportLimitMs = 2000;
constexpr double kRestoreLimitMs = 3000;
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

// The interchange time text of a day count at UTC, the bare way (civil-from-days).
void formatTime(double value, char *out, size_t size)
{
    double whole = std::floor(value);
    long long seconds = std::llround((value - whole) * 86400.0);
    if (seconds >= 86400) {
        seconds -= 86400;
        whole += 1;
    }
    long long z = static_cast<long long>(whole) - 25569 + 719468; // days since 0000-03-01
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const long long doe = z - era * 146097;
    const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long long mp = (5 * doy + 2) / 153;
    const long long day = doy - (153 * mp + 2) / 5 + 1;
    const long long month = mp < 10 ? mp + 3 : mp - 9;
    const long long year = yoe + era * 400 + (month <= 2);
    std::snprintf(out, size, "%04lld-%02lld-%02lldT%02lld:%02lld:%02lld.000Z", year, month, day, seconds / 3600,
                  seconds / 60 % 60, seconds % 60);
}

struct StringWriter : pugi::xml_writer
{
    std::string text;
    void write(const void *data, size_t size) override { text.append(static_cast<const char *>(data), size); }
};

// What a backup cannot do without: read every row with the SQLite C API, build the same
// document with pugixml, serialize it, compress it at level 9 and write the file.
void bareBackup(const QString &dataFile, const QString &target)
{
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(dataFile).constData(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
        throw JotterlyError(QStringLiteral("Cannot open %1").arg(dataFile));
    pugi::xml_document doc;
    doc.load_string(Interchange::kTemplate, Txmltry::kParseOptions);
    pugi::xml_node root = doc.document_element();
    root.attribute("app").set_value("Clockvane");
    root.attribute("appversion").set_value("0.0.0.0");
    root.attribute("time").set_value("2024-01-01T00:00:00.000Z");
    struct Table
    {
        const char *select;
        const char *list;
        const char *element;
        std::vector<std::pair<const char *, bool>> attributes; // name, is a time
    };
    const Table tables[] = {
        {"select mid, pid, content, assignTime, createTime, editTime from memos",
         "memos",
         "memo",
         {{"mid", false},
          {"pid", false},
          {"content", false},
          {"assign-time", true},
          {"create-time", true},
          {"edit-time", true}}},
        {"select tid, pid, content, checkFlag, alarmFlag, dueFlag, textColor, backgroundColor, createTime, "
         "editTime, checkTime, alarmTime, dueTime from tasks",
         "tasks",
         "task",
         {{"tid", false},
          {"pid", false},
          {"content", false},
          {"check-flag", false},
          {"alarm-flag", false},
          {"due-flag", false},
          {"text-color", false},
          {"background-color", false},
          {"create-time", true},
          {"edit-time", true},
          {"check-time", true},
          {"alarm-time", true},
          {"due-time", true}}},
    };
    char timeText[128]; // room for any year the format could be asked to write
    for (const Table &table : tables) {
        pugi::xml_node list = root.child(table.list);
        sqlite3_stmt *stmt = nullptr;
        sqlite3_prepare_v2(db, table.select, -1, &stmt, nullptr);
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            pugi::xml_node element = list.append_child(table.element);
            for (int i = 0; i < int(table.attributes.size()); ++i) {
                if (table.attributes[i].second) {
                    formatTime(sqlite3_column_double(stmt, i), timeText, sizeof timeText);
                    element.append_attribute(table.attributes[i].first).set_value(timeText);
                } else {
                    const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(stmt, i));
                    element.append_attribute(table.attributes[i].first)
                        .set_value(text ? text : "", size_t(sqlite3_column_bytes(stmt, i)));
                }
            }
        }
        sqlite3_finalize(stmt);
    }
    sqlite3_close(db);

    StringWriter writer;
    doc.save(writer, "", pugi::format_raw, pugi::encoding_utf8);
    uLongf packedSize = compressBound(uLong(writer.text.size()));
    std::vector<Bytef> packed(packedSize);
    compress2(packed.data(), &packedSize, reinterpret_cast<const Bytef *>(writer.text.data()),
              uLong(writer.text.size()), 9);
    QFile out(target);
    if (!out.open(QIODevice::WriteOnly))
        throw JotterlyError(QStringLiteral("Cannot write %1").arg(target));
    const qint64 length = qint64(writer.text.size());
    char header[8];
    for (int i = 0; i < 8; ++i)
        header[i] = char((quint64(length) >> (8 * i)) & 0xff);
    out.write(header, 8);
    out.write(reinterpret_cast<const char *>(packed.data()), qint64(packedSize));
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
    result.limitMs = Measurement{{}, [&] { bareBackup(source, bareTarget); }, {}}.medianMs();
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

    MeasurementResult result;
    result.name = QStringLiteral("import");
    result.memoCount = session.memoCount;
    result.ms = import.medianMs();
    result.limitMs = kImportLimitMs;
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

    MeasurementResult result;
    result.name = QStringLiteral("restore_all");
    result.memoCount = session.memoCount;
    result.ms = restore.medianMs();
    result.limitMs = kRestoreLimitMs;
    return result;
}
