// TQzVersionInfo: reads the version block that the build embeds into an executable
// (cmake/VersionBlock.cmake) and offers its ten standard text entries by index. The block
// is found by scanning the file's bytes for a marker, so any file format carries it.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class TQzVersionInfo : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString FilePath READ FilePath WRITE SetFilePath)

public:
    static constexpr int kEntryCount = 10;
    enum Entry {
        CompanyName,
        FileDescription,
        FileVersion,
        InternalName,
        LegalCopyright,
        LegalTrademarks,
        OriginalFilename,
        ProductName,
        ProductVersion,
        Comments
    };

    // Reads the program's own executable at once (FilePath empty).
    explicit TQzVersionInfo(QObject *parent = nullptr);

    // The file read last; after reading with an empty path, the program's own executable.
    QString FilePath() const { return filePath; }
    // Sets the file and reads it again, but only when the text differs from FilePath;
    // empty means the program's own executable.
    void SetFilePath(const QString &path);

    // The entry at the index (see Entry); "Value Not Available" when the file carries no
    // version block or cannot be read, empty when the block lacks the entry. Throws
    // JotterlyError for an index outside 0 to 9.
    void GetEntry(int index, QString &out) const;

    // Whether the file read last carries a version block.
    bool Available() const { return available; }

    // The name of the entry at the index ("CompanyName" ... "Comments"); empty outside 0 to 9.
    static QString EntryName(int index);

    // The bytes that open a version block. Assembled at run time, so that this reader's own
    // code never holds them in one piece and a scan never mistakes it for a block.
    static QByteArray BlockMarker();

private:
    void ReadVersionData();

    QString filePath;
    QStringList entries;
    bool available = false;
};
