#include "bench_interchange.h"

#include "Boxes.h"
#include "Dlg_ReplaceAsk.h"
#include "Dm_Io.h"
#include "InterchangeFormat.h"
#include "JotterlyError.h"
#include "SqlConnection.h"
#include "SqlQuery.h"
#include "pU_XmlTry.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <pugixml.hpp>
#include <sqlite3.h>
#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kRuns = 5;
constexpr double kImportLimitMs = 2000;
constexpr double kRestoreLimitMs = 3000;
const QString kVersion = QStringLiteral("0.0.0.0");

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

QString line(const char *name, int n, double ms, double limitMs)
{
    return QStringLiteral("%1 n=%2 ms=%3 limit_ms=%4 ratio=%5")
        .arg(QLatin1String(name))
        .arg(n)
        .arg(ms, 0, 'f', 0)
        .arg(limitMs, 0, 'f', 0)
        .arg(ms / limitMs, 0, 'f', 2);
}

void copyDatabase(const QString &from, const QString &to)
{
    QFile::remove(to);
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
        {"select mid, pid, content, assignTime, createTime, editTime from memos", "memos", "memo",
         {{"mid", false}, {"pid", false}, {"content", false}, {"assign-time", true}, {"create-time", true},
          {"edit-time", true}}},
        {"select tid, pid, content, checkFlag, alarmFlag, dueFlag, textColor, backgroundColor, createTime, "
         "editTime, checkTime, alarmTime, dueTime from tasks",
         "tasks", "task",
         {{"tid", false}, {"pid", false}, {"content", false}, {"check-flag", false}, {"alarm-flag", false},
          {"due-flag", false}, {"text-color", false}, {"background-color", false}, {"create-time", true},
          {"edit-time", true}, {"check-time", true}, {"alarm-time", true}, {"due-time", true}}},
    };
    char timeText[40];
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

template<class Step>
double timed(Step &&step)
{
    QElapsedTimer timer;
    timer.start();
    step();
    return double(timer.nsecsElapsed()) / 1e6;
}

} // namespace

void measureInterchange(int n, const QString &dataFile, const std::function<void(const QString &line)> &print)
{
    QTemporaryDir work;
    if (!work.isValid())
        throw JotterlyError(QStringLiteral("Cannot make a temporary folder"));
    // Any box is a failure here: nothing must ask or complain during a measurement.
    QStringList boxes;
    const Boxes::Presenter previousBoxes =
        Boxes::setPresenter([&boxes](const QString &caption, const QString &text, Boxes::Buttons, Boxes::Icon) {
            boxes << caption + QStringLiteral(": ") + text;
            return int(Boxes::IdOk);
        });
    const ReplaceAsker::AskFunction previousAsk =
        ReplaceAsker::setAskFunction([](const ReplaceAskTexts &) { return ReplaceAnswer::YesToAll; });
    const auto restoreSeams = [&] {
        Boxes::setPresenter(previousBoxes);
        ReplaceAsker::setAskFunction(previousAsk);
    };
    const auto check = [&](bool ok, const char *what) {
        if (!ok || !boxes.isEmpty())
            throw JotterlyError(QStringLiteral("%1 failed: %2").arg(QLatin1String(what), boxes.join(u'\n')));
    };

    try {
        const QString source = work.filePath(QStringLiteral("source.qzb"));
        const QString backupFile = work.filePath(QStringLiteral("backup.qzx"));
        copyDatabase(dataFile, source);
        SqlConnection sourceDb;
        sourceDb.open(source);
        const int memoCount = countRows(sourceDb, "memos");
        const int taskCount = countRows(sourceDb, "tasks");

        std::vector<double> backup, bare, import, restore;
        TIoDm sourceIo(sourceDb, kVersion, nullptr);
        for (int run = 0; run < kRuns; ++run) {
            bare.push_back(timed([&] { bareBackup(source, work.filePath(QStringLiteral("bare.qzx"))); }));
            bool ok = false;
            backup.push_back(timed([&] { ok = sourceIo.BackupTo(backupFile); }));
            check(ok, "backup");
        }

        for (int run = 0; run < kRuns; ++run) {
            const QString target = work.filePath(QStringLiteral("import%1.qzb").arg(run));
            SqlConnection db;
            db.open(target); // a new, empty data file
            TIoDm io(db, kVersion, nullptr);
            bool ok = false;
            import.push_back(timed([&] { ok = io.ImportFrom(backupFile); }));
            check(ok && countRows(db, "memos") == memoCount && countRows(db, "tasks") == taskCount, "import");
            db.close();
            QFile::remove(target);
        }

        for (int run = 0; run < kRuns; ++run) {
            const QString target = work.filePath(QStringLiteral("restore%1.qzb").arg(run));
            copyDatabase(source, target);
            SqlConnection db;
            db.open(target); // every memo of the file is stored: the first one is asked, All
            TIoDm io(db, kVersion, nullptr);
            bool ok = false;
            restore.push_back(timed([&] { ok = io.RestoreFrom(backupFile); }));
            check(ok && countRows(db, "memos") == memoCount, "restore");
            db.close();
            QFile::remove(target);
        }

        const double backupMs = median(backup);
        const double bareMs = median(bare);
        print(line("backup", n, backupMs, bareMs));
        print(line("import", n, median(import), kImportLimitMs));
        print(line("restore_all", n, median(restore), kRestoreLimitMs));
    } catch (...) {
        restoreSeams();
        throw;
    }
    restoreSeams();
}
