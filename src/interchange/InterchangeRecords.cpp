#include "InterchangeRecords.h"

#include "InterchangeFormat.h"
#include "InterchangeTime.h"
#include "SqlQuery.h"
#include "Statements.h"
#include "pU_XmlTry.h"

#include <cstring>

namespace Interchange {
namespace {

RecordColumn mapping(const char *attribute, const char *column, ColumnKind kind)
{
    return RecordColumn{QString::fromLatin1(attribute), QString::fromLatin1(column), kind};
}

void setTimeAttribute(pugi::xml_node element, const char *name, TDateTime value, TimeTextWriter &times)
{
    element.append_attribute(name).set_value(times.text(value));
}

char *putDigits(char *out, int value, int width)
{
    for (int i = width - 1; i >= 0; --i) {
        out[i] = char('0' + value % 10);
        value /= 10;
    }
    return out + width;
}

void setTextAttribute(pugi::xml_node element, const char *name, const QByteArray &value)
{
    element.append_attribute(name).set_value(value.constData(), static_cast<size_t>(value.size()));
}

} // namespace

const RecordTable &MemoTable()
{
    static const RecordTable table{kMemoElement,
                                   QLatin1String(kMemosPath),
                                   QLatin1String(kMemoPathPrefix),
                                   Sql::kSelectAllMemos,
                                   Sql::kSelectNoMemoForRestore,
                                   &Sql::SelectMemoByMid,
                                   QStringLiteral("memo"),
                                   {
                                       mapping(kMidAttr, "mid", ColumnKind::Text),
                                       mapping(kPidAttr, "pid", ColumnKind::Text),
                                       mapping(kContentAttr, "content", ColumnKind::Content),
                                       mapping(kAssignTimeAttr, "assignTime", ColumnKind::Time),
                                       mapping(kCreateTimeAttr, "createTime", ColumnKind::Time),
                                       mapping(kEditTimeAttr, "editTime", ColumnKind::Time),
                                   }};
    return table;
}

const RecordTable &TaskTable()
{
    static const RecordTable table{kTaskElement,
                                   QLatin1String(kTasksPath),
                                   QLatin1String(kTaskPathPrefix),
                                   Sql::kSelectAllTasks,
                                   Sql::kSelectNoTask,
                                   &Sql::SelectTaskByTid,
                                   QStringLiteral("task"),
                                   {
                                       mapping(kTidAttr, "tid", ColumnKind::Text),
                                       mapping(kPidAttr, "pid", ColumnKind::Text),
                                       mapping(kContentAttr, "content", ColumnKind::Content),
                                       mapping(kCheckFlagAttr, "checkFlag", ColumnKind::Text),
                                       mapping(kAlarmFlagAttr, "alarmFlag", ColumnKind::Text),
                                       mapping(kDueFlagAttr, "dueFlag", ColumnKind::Text),
                                       mapping(kTextColorAttr, "textColor", ColumnKind::Text),
                                       mapping(kBackgroundColorAttr, "backgroundColor", ColumnKind::Text),
                                       mapping(kCreateTimeAttr, "createTime", ColumnKind::Time),
                                       mapping(kEditTimeAttr, "editTime", ColumnKind::Time),
                                       mapping(kCheckTimeAttr, "checkTime", ColumnKind::Time),
                                       mapping(kAlarmTimeAttr, "alarmTime", ColumnKind::Time),
                                       mapping(kDueTimeAttr, "dueTime", ColumnKind::Time),
                                   }};
    return table;
}

TimeTextWriter::TimeTextWriter(int utcBias)
    : utcBias(utcBias)
    , suffix(FormatInterchangeTime(0, utcBias).mid(23).toLatin1())
{
}

const char *TimeTextWriter::text(TDateTime value)
{
    QDate date;
    QTime time;
    OleDateTime::decode(value, date, time);
    const int year = date.year();
    if (year < 1 || year > 9999) { // outside the four-digit years: rare, take the general way
        const QByteArray general = FormatInterchangeTime(value, utcBias).toLatin1();
        qstrncpy(buffer, general.constData(), sizeof buffer);
        return buffer;
    }
    char *out = putDigits(buffer, year, 4);
    *out++ = '-';
    out = putDigits(out, date.month(), 2);
    *out++ = '-';
    out = putDigits(out, date.day(), 2);
    *out++ = 'T';
    out = putDigits(out, time.hour(), 2);
    *out++ = ':';
    out = putDigits(out, time.minute(), 2);
    *out++ = ':';
    out = putDigits(out, time.second(), 2);
    std::memcpy(out, ".000", 4); // milliseconds are cut, never written
    out += 4;
    std::memcpy(out, suffix.constData(), size_t(suffix.size()) + 1);
    return buffer;
}

void AppendMemoElement(pugi::xml_node memos, const QByteArray &mid, const QByteArray &pid, const QByteArray &content,
                       TDateTime assignTime, TDateTime createTime, TDateTime editTime, TimeTextWriter &times)
{
    pugi::xml_node memo = memos.append_child(kMemoElement);
    setTextAttribute(memo, kMidAttr, mid);
    setTextAttribute(memo, kPidAttr, pid);
    setTextAttribute(memo, kContentAttr, content);
    setTimeAttribute(memo, kAssignTimeAttr, assignTime, times);
    setTimeAttribute(memo, kCreateTimeAttr, createTime, times);
    setTimeAttribute(memo, kEditTimeAttr, editTime, times);
}

void AppendRows(pugi::xml_node list, SqlQuery &query, const RecordTable &table, TimeTextWriter &times)
{
    struct Field
    {
        QByteArray attribute;
        int index;
        bool isTime;
    };
    // Column positions are looked up once per result set, not once per row.
    std::vector<Field> fields;
    fields.reserve(table.columns.size());
    for (const RecordColumn &column : table.columns) {
        fields.push_back(
            Field{column.attribute.toLatin1(), query.fieldIndex(column.column), column.kind == ColumnKind::Time});
    }
    for (; !query.eof(); query.next()) {
        pugi::xml_node element = list.append_child(table.elementName);
        for (const Field &field : fields) {
            if (field.isTime)
                setTimeAttribute(element, field.attribute.constData(), query.dateTimeAt(field.index), times);
            else
                setTextAttribute(element, field.attribute.constData(), query.textAt(field.index));
        }
    }
}

QByteArray LineBreaksToCrLf(const QByteArray &text)
{
    qsizetype bare = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r'))
            ++bare;
    }
    if (bare == 0)
        return text;
    QByteArray result;
    result.reserve(text.size() + bare);
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r'))
            result += '\r';
        result += text[i];
    }
    return result;
}

RecordReader::RecordReader(Txmltry &xml, const QString &path)
    : xml(xml)
    , path(path)
    , node(xml.FindNode(path))
{
}

QByteArray RecordReader::get(const QString &attribute)
{
    for (const auto &entry : read) {
        if (entry.first == attribute)
            return entry.second;
    }
    const pugi::xml_attribute found = node.attribute(attribute.toLatin1().constData());
    read.emplace_back(attribute, found ? QByteArray(found.value()) : xml.GetAttr(path, attribute));
    return read.back().second;
}

void SetColumns(SqlQuery &query, RecordReader &record, const RecordTable &table, size_t first, int utcBias)
{
    for (size_t i = first; i < table.columns.size(); ++i) {
        const RecordColumn &column = table.columns[i];
        const QByteArray value = record.get(column.attribute);
        switch (column.kind) {
        case ColumnKind::Text:
            query.setText(column.column, value);
            break;
        case ColumnKind::Content:
            query.setText(column.column, LineBreaksToCrLf(value));
            break;
        case ColumnKind::Time:
            query.setDateTime(column.column, ParseInterchangeTime(QString::fromUtf8(value), utcBias));
            break;
        }
    }
}

} // namespace Interchange
