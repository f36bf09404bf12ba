#include "TQzVersionInfo.h"

#include "JotterlyError.h"

#include <QByteArrayMatcher>
#include <QCoreApplication>
#include <QFile>
#include <QHash>

namespace {

const char *const kEntryNames[TQzVersionInfo::kEntryCount] = {
    "CompanyName",     "FileDescription",  "FileVersion", "InternalName",   "LegalCopyright",
    "LegalTrademarks", "OriginalFilename", "ProductName", "ProductVersion", "Comments"};

// A block is the marker, then "Name\0Value\0" pairs, then one more "\0". Anything longer
// than this is not a block but a chance occurrence of the marker.
constexpr qsizetype kMaxBlockSize = 4096;

bool isNameByte(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

// Reads the pairs that follow a marker; false when the bytes do not form a complete block.
bool parsePairs(const char *data, qsizetype size, QHash<QByteArray, QByteArray> &pairs)
{
    const qsizetype end = std::min(size, kMaxBlockSize);
    qsizetype pos = 0;
    for (;;) {
        const qsizetype nameStart = pos;
        while (pos < end && data[pos] != '\0') {
            if (!isNameByte(data[pos]))
                return false;
            ++pos;
        }
        if (pos >= end)
            return false;
        if (pos == nameStart)
            return true; // the empty name closes the block
        const QByteArray name(data + nameStart, pos - nameStart);
        const qsizetype valueStart = ++pos;
        while (pos < end && data[pos] != '\0')
            ++pos;
        if (pos >= end)
            return false;
        pairs.insert(name, QByteArray(data + valueStart, pos - valueStart));
        ++pos;
    }
}

// The first well-formed block in the bytes, if any.
bool findBlock(const char *data, qsizetype size, QHash<QByteArray, QByteArray> &pairs)
{
    const QByteArray marker = TQzVersionInfo::BlockMarker();
    const QByteArrayMatcher matcher(marker);
    for (qsizetype at = matcher.indexIn(data, size); at >= 0; at = matcher.indexIn(data, size, at + 1)) {
        const qsizetype start = at + marker.size();
        pairs.clear();
        if (parsePairs(data + start, size - start, pairs))
            return true;
    }
    return false;
}

bool readBlockFromFile(const QString &path, QHash<QByteArray, QByteArray> &pairs)
{
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly) || file.size() <= 0)
        return false;
    // Mapping lets the matcher scan an executable of any size without copying it.
    const uchar *mapped = file.map(0, file.size());
    if (!mapped)
        return false;
    const bool found = findBlock(reinterpret_cast<const char *>(mapped), file.size(), pairs);
    file.unmap(const_cast<uchar *>(mapped));
    return found;
}

} // namespace

TQzVersionInfo::TQzVersionInfo(QObject *parent)
    : QObject(parent)
{
    ReadVersionData();
}

QByteArray TQzVersionInfo::BlockMarker()
{
    QByteArray marker("<<Jotterly");
    marker.append("VersionBlock>>");
    return marker;
}

QString TQzVersionInfo::EntryName(int index)
{
    if (index < 0 || index >= kEntryCount)
        return QString();
    return QLatin1String(kEntryNames[index]);
}

void TQzVersionInfo::SetFilePath(const QString &path)
{
    if (path == filePath)
        return;
    filePath = path;
    ReadVersionData();
}

void TQzVersionInfo::GetEntry(int index, QString &out) const
{
    if (index < 0 || index >= entries.size())
        throw JotterlyError(QStringLiteral("List index out of bounds (%1)").arg(index));
    out = entries.at(index);
}

void TQzVersionInfo::ReadVersionData()
{
    if (filePath.isEmpty())
        filePath = QCoreApplication::applicationFilePath();
    QHash<QByteArray, QByteArray> pairs;
    available = readBlockFromFile(filePath, pairs);
    entries.clear();
    for (const char *name : kEntryNames) {
        entries << (available ? QString::fromUtf8(pairs.value(QByteArray(name)))
                              : QStringLiteral("Value Not Available"));
    }
}
