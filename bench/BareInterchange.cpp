#include "BareInterchange.h"

#include "InterchangeFormat.h"
#include "JotterlyError.h"
#include "pU_XmlTry.h"

#include <QFile>

#include <pugixml.hpp>
#include <sqlite3.h>
#include <zlib.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <unordered_map>
#include <vector>

namespace BareInterchange {
namespace {

struct Column
{
    const char *attribute;
    const char *name;
    bool isTime;
};

struct Table
{
    const char *name;            // in the data file
    const char *list;            // the element under the root holding the records
    const char *element;         // one record
    std::vector<Column> columns; // the id first, then the parent id
};

const std::vector<Table> &tables()
{
    static const std::vector<Table> all = {
        {"memos",
         "memos",
         "memo",
         {{"mid", "mid", false},
          {"pid", "pid", false},
          {"content", "content", false},
          {"assign-time", "assignTime", true},
          {"create-time", "createTime", true},
          {"edit-time", "editTime", true}}},
        {"tasks",
         "tasks",
         "task",
         {{"tid", "tid", false},
          {"pid", "pid", false},
          {"content", "content", false},
          {"check-flag", "checkFlag", false},
          {"alarm-flag", "alarmFlag", false},
          {"due-flag", "dueFlag", false},
          {"text-color", "textColor", false},
          {"background-color", "backgroundColor", false},
          {"create-time", "createTime", true},
          {"edit-time", "editTime", true},
          {"check-time", "checkTime", true},
          {"alarm-time", "alarmTime", true},
          {"due-time", "dueTime", true}}},
    };
    return all;
}

[[noreturn]] void fail(const QString &what)
{
    throw JotterlyError(QStringLiteral("bare interchange: ") + what);
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

// The day count of an interchange time text ("2024-01-01T12:00:00.000Z"), the bare way
// (days-from-civil); 0 for a text of another shape.
double parseTime(const char *text)
{
    int year = 0, month = 0, day = 0, hour = 0, minute = 0;
    double second = 0;
    if (std::sscanf(text, "%d-%d-%dT%d:%d:%lf", &year, &month, &day, &hour, &minute, &second) != 6)
        return 0;
    year -= month <= 2;
    const long long era = (year >= 0 ? year : year - 399) / 400;
    const long long yoe = year - era * 400;
    const long long doy = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    const long long days = era * 146097 + doe - 719468 + 25569; // from 1899-12-30
    return static_cast<double>(days) + (hour * 3600 + minute * 60 + second) / 86400.0;
}

// A connection journalled and synced like the program's, in one open transaction.
class Connection
{
public:
    explicit Connection(const QString &path)
    {
        if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
            failHere();
        exec("PRAGMA journal_mode=DELETE; PRAGMA synchronous=FULL; BEGIN");
    }
    ~Connection()
    {
        for (sqlite3_stmt *stmt : statements)
            sqlite3_finalize(stmt);
        sqlite3_close_v2(db);
    }
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    sqlite3_stmt *prepare(const std::string &sql)
    {
        sqlite3_stmt *stmt = nullptr;
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK)
            failHere();
        statements.push_back(stmt);
        return stmt;
    }
    // Binds the record's attributes from column `first` on to the parameters from
    // `position` on, times as numbers. The texts stay in the document while it is stepped.
    void bind(sqlite3_stmt *stmt, const Table &table, pugi::xml_node record, size_t first, int position)
    {
        for (size_t i = first; i < table.columns.size(); ++i, ++position) {
            const Column &column = table.columns[i];
            const char *value = record.attribute(column.attribute).value();
            const int rc = column.isTime ? sqlite3_bind_double(stmt, position, parseTime(value))
                                         : sqlite3_bind_text(stmt, position, value, -1, SQLITE_STATIC);
            if (rc != SQLITE_OK)
                failHere();
        }
    }
    // The text must live until the statement has been stepped.
    void bindText(sqlite3_stmt *stmt, int position, const char *text)
    {
        if (sqlite3_bind_text(stmt, position, text, -1, SQLITE_STATIC) != SQLITE_OK)
            failHere();
    }
    // Steps the statement once; returns the rows it changed.
    int step(sqlite3_stmt *stmt)
    {
        if (sqlite3_step(stmt) != SQLITE_DONE)
            failHere();
        sqlite3_reset(stmt);
        return sqlite3_changes(db);
    }
    void commit() { exec("COMMIT"); }

private:
    void exec(const char *sql)
    {
        if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
            failHere();
    }
    [[noreturn]] void failHere() const { fail(QString::fromUtf8(db ? sqlite3_errmsg(db) : "out of memory")); }

    sqlite3 *db = nullptr;
    std::vector<sqlite3_stmt *> statements;
};

std::string columnList(const Table &table, size_t first, const char *separator, bool assignments)
{
    std::string list;
    for (size_t i = first; i < table.columns.size(); ++i) {
        if (i > first)
            list += separator;
        list += table.columns[i].name;
        if (assignments)
            list += "=?";
    }
    return list;
}

std::string marks(size_t count)
{
    std::string list;
    for (size_t i = 0; i < count; ++i)
        list += i ? ",?" : "?";
    return list;
}

// Reads the file, inflates it by its length header and parses it.
void readDocument(const QString &file, pugi::xml_document &document)
{
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly))
        fail(QStringLiteral("cannot read %1").arg(file));
    const QByteArray packed = in.readAll();
    if (packed.size() < 8)
        fail(QStringLiteral("%1 is too short").arg(file));
    quint64 length = 0;
    for (int i = 7; i >= 0; --i)
        length = (length << 8) | static_cast<unsigned char>(packed[i]);
    std::vector<char> text(length);
    uLongf unpacked = static_cast<uLongf>(length);
    if (uncompress(reinterpret_cast<Bytef *>(text.data()), &unpacked,
                   reinterpret_cast<const Bytef *>(packed.constData() + 8), static_cast<uLong>(packed.size() - 8))
            != Z_OK
        || unpacked != length)
        fail(QStringLiteral("%1 does not inflate").arg(file));
    if (!document.load_buffer(text.data(), text.size(), Txmltry::kParseOptions))
        fail(QStringLiteral("%1 does not parse").arg(file));
}

std::string freshId(int number)
{
    char id[40]; // as long as the program's ids
    std::snprintf(id, sizeof id, "{%08X-0000-4000-8000-%012d}", number, number);
    return id;
}

} // namespace

void Backup(const QString &dataFile, const QString &target)
{
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(dataFile).constData(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
        fail(QStringLiteral("cannot open %1").arg(dataFile));
    pugi::xml_document doc;
    doc.load_string(Interchange::kTemplate, Txmltry::kParseOptions);
    pugi::xml_node root = doc.document_element();
    root.attribute("app").set_value("Clockvane");
    root.attribute("appversion").set_value("0.0.0.0");
    root.attribute("time").set_value("2024-01-01T00:00:00.000Z");
    char timeText[128]; // room for any year the format could be asked to write
    for (const Table &table : tables()) {
        pugi::xml_node list = root.child(table.list);
        sqlite3_stmt *stmt = nullptr;
        const std::string select = "select " + columnList(table, 0, ", ", false) + " from " + table.name;
        if (sqlite3_prepare_v2(db, select.c_str(), -1, &stmt, nullptr) != SQLITE_OK)
            fail(QString::fromUtf8(sqlite3_errmsg(db)));
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            pugi::xml_node element = list.append_child(table.element);
            for (int i = 0; i < int(table.columns.size()); ++i) {
                const Column &column = table.columns[size_t(i)];
                if (column.isTime) {
                    formatTime(sqlite3_column_double(stmt, i), timeText, sizeof timeText);
                    element.append_attribute(column.attribute).set_value(timeText);
                } else {
                    const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(stmt, i));
                    element.append_attribute(column.attribute)
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
        fail(QStringLiteral("cannot write %1").arg(target));
    const qint64 length = qint64(writer.text.size());
    char header[8];
    for (int i = 0; i < 8; ++i)
        header[i] = char((quint64(length) >> (8 * i)) & 0xff);
    out.write(header, 8);
    out.write(reinterpret_cast<const char *>(packed.data()), qint64(packedSize));
}

int Import(const QString &file, const QString &dataFile)
{
    pugi::xml_document document;
    readDocument(file, document);
    Connection db(dataFile);
    int rows = 0;
    for (const Table &table : tables()) {
        sqlite3_stmt *insert = db.prepare(std::string("insert into ") + table.name + " ("
                                          + columnList(table, 0, ",", false) + ") values ("
                                          + marks(table.columns.size()) + ")");
        // The fresh id of each top-level record, made at its first appearance, whether as
        // itself or as the parent of a record before it.
        std::unordered_map<std::string, std::string> newIds;
        int made = 0;
        const auto translate = [&](const char *oldId) -> const std::string & {
            std::string &id = newIds[oldId];
            if (id.empty())
                id = freshId(++made);
            return id;
        };
        for (pugi::xml_node record : document.document_element().child(table.list).children(table.element)) {
            const char *pid = record.attribute(table.columns[1].attribute).value();
            const bool topLevel = std::strcmp(pid, "root") == 0;
            const std::string id = topLevel ? translate(record.attribute(table.columns[0].attribute).value())
                                            : freshId(++made);
            const std::string parent = topLevel ? std::string("root") : translate(pid);
            db.bindText(insert, 1, id.c_str());
            db.bindText(insert, 2, parent.c_str());
            db.bind(insert, table, record, 2, 3);
            db.step(insert);
            ++rows;
        }
    }
    db.commit();
    return rows;
}

int RestoreAll(const QString &file, const QString &dataFile)
{
    pugi::xml_document document;
    readDocument(file, document);
    Connection db(dataFile);
    int rows = 0;
    for (const Table &table : tables()) {
        // The id goes last in the update and first in the insert; both bind the same way.
        sqlite3_stmt *update = db.prepare(std::string("update ") + table.name + " set "
                                          + columnList(table, 1, ",", true) + " where " + table.columns[0].name + "=?");
        sqlite3_stmt *insert = db.prepare(std::string("insert into ") + table.name + " ("
                                          + columnList(table, 1, ",", false) + "," + table.columns[0].name
                                          + ") values (" + marks(table.columns.size()) + ")");
        for (pugi::xml_node record : document.document_element().child(table.list).children(table.element)) {
            const char *id = record.attribute(table.columns[0].attribute).value();
            const int idPosition = static_cast<int>(table.columns.size());
            db.bind(update, table, record, 1, 1);
            db.bindText(update, idPosition, id);
            if (db.step(update) == 0) {
                db.bind(insert, table, record, 1, 1);
                db.bindText(insert, idPosition, id);
                db.step(insert);
            }
            ++rows;
        }
    }
    db.commit();
    return rows;
}

} // namespace BareInterchange
