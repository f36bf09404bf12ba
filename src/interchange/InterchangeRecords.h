// The records of an interchange document: which attribute of a memo or task element
// carries which database column, in the order writers set them, and the helpers that move
// one record between a document and the database (backup, restore, import, export).
#pragma once

#include "OleDateTime.h"

#include <QByteArray>
#include <QString>

#include <pugixml.hpp>

#include <utility>
#include <vector>

class SqlQuery;
class Txmltry;

namespace Interchange {

enum class ColumnKind {
    Text,    // the column's text form, as it is
    Content, // text whose line breaks are made CR LF on the way in
    Time     // a date-time, written as interchange time text
};

struct RecordColumn
{
    QString attribute; // in the document
    QString column;    // in the table
    ColumnKind kind;
};

// One table as the interchange document carries it.
struct RecordTable
{
    const char *elementName;  // "memo" or "task"
    QString listPath;         // "brivel,memos"
    QString recordPathPrefix; // "brivel,memos,memo#", the index follows
    QString selectAll;        // backup
    QString selectNone;       // the empty result set that restore and import insert through
    QString (*selectById)(const QString &id);
    QString word;                      // "memo" or "task", as the restore dialog names a record
    std::vector<RecordColumn> columns; // id, pid and content first, in the writers' order
};

const RecordTable &MemoTable();
const RecordTable &TaskTable();

// Writes interchange time texts with one document's UTC bias, exactly as
// FormatInterchangeTime does, without building a QString per value (a backup writes three
// to five of them per record).
class TimeTextWriter
{
public:
    explicit TimeTextWriter(int utcBias);
    // The text of the value; valid until the next call.
    const char *text(TDateTime value);

private:
    int utcBias;
    QByteArray suffix; // "Z" or the offset, the same for every value of the document
    char buffer[48];
};

// Appends a memo element with the six attributes in the writers' order, times through the
// document's writer.
void AppendMemoElement(pugi::xml_node memos, const QByteArray &mid, const QByteArray &pid, const QByteArray &content,
                       TDateTime assignTime, TDateTime createTime, TDateTime editTime, TimeTextWriter &times);

// Appends one element per row of the query's current result set, reading each column of the
// table by name, times through the document's writer. Database failures are thrown as JotterlyError.
void AppendRows(pugi::xml_node list, SqlQuery &query, const RecordTable &table, TimeTextWriter &times);

// Every line feed that does not already follow a carriage return becomes CR LF, so texts
// that carry bare line feeds and texts that carry CR LF both come in as CR LF.
QByteArray LineBreaksToCrLf(const QByteArray &text);

// The attributes of one record element at a path, each read at most once. A missing one is
// read through the accessor's GetAttr, so that it shows its " not Exist !" box and reads
// empty; present ones are taken from the node found once for the record.
class RecordReader
{
public:
    RecordReader(Txmltry &xml, const QString &path);
    QByteArray get(const QString &attribute);

private:
    Txmltry &xml;
    QString path;
    pugi::xml_node node;
    std::vector<std::pair<QString, QByteArray>> read;
};

// Stores the record's columns from position `first` of the table on into the query's row
// buffer (after insert or edit): texts as they are, content with CR LF line breaks, times
// through ParseInterchangeTime at the reader's bias. Throws JotterlyError on a malformed
// time text, leaving the row unposted.
void SetColumns(SqlQuery &query, RecordReader &record, const RecordTable &table, size_t first, int utcBias);

} // namespace Interchange
