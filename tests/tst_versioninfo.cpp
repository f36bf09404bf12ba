// Tests of TQzVersionInfo: the block the build embeds into this test executable, files
// without a block, hand-made blocks and the FilePath property.
#include "JotterlyError.h"
#include "TQzVersionInfo.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString kNotAvailable = QStringLiteral("Value Not Available");

QStringList entriesOf(const TQzVersionInfo &info)
{
    QStringList entries;
    for (int i = 0; i < TQzVersionInfo::kEntryCount; ++i) {
        QString entry;
        info.GetEntry(i, entry);
        entries << entry;
    }
    return entries;
}

// A block as the build writes it, from name/value pairs.
QByteArray block(const QList<QPair<QByteArray, QByteArray>> &pairs)
{
    QByteArray bytes = TQzVersionInfo::BlockMarker();
    for (const auto &pair : pairs)
        bytes += pair.first + '\0' + pair.second + '\0';
    return bytes + '\0';
}

QList<QPair<QByteArray, QByteArray>> fullPairs(const QByteArray &fileVersion)
{
    return {{"CompanyName", "Brivel Software"},
            {"FileDescription", "Brivel Jotterly"},
            {"FileVersion", fileVersion},
            {"InternalName", "jotterly"},
            {"LegalCopyright", "Copyright (C) 2026 Brivel Software"},
            {"LegalTrademarks", ""},
            {"OriginalFilename", "jotterly"},
            {"ProductName", "Brivel Jotterly"},
            {"ProductVersion", fileVersion},
            {"Comments", ""}};
}

QStringList valuesOf(const QList<QPair<QByteArray, QByteArray>> &pairs)
{
    QStringList values;
    for (const auto &pair : pairs)
        values << QString::fromUtf8(pair.second);
    return values;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

class TestVersionInfo : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir;

private slots:
    void initTestCase() { QVERIFY(dir.isValid()); }

    // This executable carries the block of the project version, like the program does.
    void ownExecutable()
    {
        TQzVersionInfo info;
        QCOMPARE(info.FilePath(), QCoreApplication::applicationFilePath());
        QVERIFY(info.Available());
        const QString version = QStringLiteral(JOTTERLY_PROJECT_VERSION);
        QCOMPARE(version.count(u'.'), 3);
        QCOMPARE(entriesOf(info), valuesOf(fullPairs(version.toUtf8())));
    }

    void indexOutOfRangeThrows_data()
    {
        QTest::addColumn<int>("index");
        QTest::newRow("-1") << -1;
        QTest::newRow("10") << 10;
    }
    void indexOutOfRangeThrows()
    {
        QFETCH(int, index);
        TQzVersionInfo info;
        QString out = QStringLiteral("unchanged");
        QVERIFY_THROWS_EXCEPTION(JotterlyError, info.GetEntry(index, out));
        QCOMPARE(out, QStringLiteral("unchanged"));
    }

    void files_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QStringList>("expected");
        const QStringList none(TQzVersionInfo::kEntryCount, kNotAvailable);
        const QByteArray filler(100000, 'x');
        QTest::newRow("empty file") << QByteArray() << none;
        QTest::newRow("no block") << filler << none;
        QTest::newRow("block in the middle")
            << filler + block(fullPairs("2.3.4.5")) + filler << valuesOf(fullPairs("2.3.4.5"));

        auto withoutComments = fullPairs("1.0.0.7");
        withoutComments.removeLast();
        QTest::newRow("block lacks Comments") << block(withoutComments) << valuesOf(fullPairs("1.0.0.7"));

        auto reordered = fullPairs("9.8.7.6");
        std::reverse(reordered.begin(), reordered.end());
        QTest::newRow("entries in any order") << block(reordered) << valuesOf(fullPairs("9.8.7.6"));

        const QByteArray marker = TQzVersionInfo::BlockMarker();
        QTest::newRow("stray marker before the block")
            << marker + "not a block \x01\x02" + filler + block(fullPairs("3.0.0.0")) << valuesOf(fullPairs("3.0.0.0"));
        QTest::newRow("block cut off at the end") << filler + block(fullPairs("4.0.0.0")).chopped(5) << none;
        QTest::newRow("marker alone at the end") << filler + marker << none;
        QTest::newRow("marker without closing zero") << marker
                                                            + QByteArray("FileVersion\0"
                                                                         "1\0",
                                                                         14)
                                                            + filler
                                                     << none;
    }
    void files()
    {
        QFETCH(QByteArray, content);
        QFETCH(QStringList, expected);
        const QString path = dir.filePath(QStringLiteral("sample.bin"));
        QVERIFY(writeFile(path, content));
        TQzVersionInfo info;
        info.SetFilePath(path);
        QCOMPARE(entriesOf(info), expected);
        QCOMPARE(info.Available(), expected.first() != kNotAvailable);
    }

    // The reader's own code holds no marker, so its library reads as a file without a block.
    void readerCodeHoldsNoMarker()
    {
        TQzVersionInfo info;
        info.SetFilePath(QStringLiteral(JOTTERLY_READER_LIBRARY));
        QVERIFY(QFile::exists(info.FilePath()));
        QVERIFY(!info.Available());
        QCOMPARE(entriesOf(info), QStringList(TQzVersionInfo::kEntryCount, kNotAvailable));
    }

    void unreadablePaths_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("missing file") << dir.filePath(QStringLiteral("missing.exe"));
        QTest::newRow("folder") << dir.path();
    }
    void unreadablePaths()
    {
        QFETCH(QString, path);
        TQzVersionInfo info;
        info.SetFilePath(path);
        QVERIFY(!info.Available());
        QCOMPARE(entriesOf(info), QStringList(TQzVersionInfo::kEntryCount, kNotAvailable));
    }

    void filePathReadsOnlyOnChange()
    {
        const QString path = dir.filePath(QStringLiteral("changing.bin"));
        QVERIFY(writeFile(path, block(fullPairs("1.1.1.1"))));
        TQzVersionInfo info;
        info.SetFilePath(path);
        QString version;
        info.GetEntry(TQzVersionInfo::FileVersion, version);
        QCOMPARE(version, QStringLiteral("1.1.1.1"));

        QVERIFY(writeFile(path, block(fullPairs("2.2.2.2"))));
        info.SetFilePath(path); // same text: no new reading
        info.GetEntry(TQzVersionInfo::FileVersion, version);
        QCOMPARE(version, QStringLiteral("1.1.1.1"));

        info.SetFilePath(QString()); // back to the own executable
        QCOMPARE(info.FilePath(), QCoreApplication::applicationFilePath());
        info.GetEntry(TQzVersionInfo::FileVersion, version);
        QCOMPARE(version, QStringLiteral(JOTTERLY_PROJECT_VERSION));

        info.SetFilePath(path);
        info.GetEntry(TQzVersionInfo::FileVersion, version);
        QCOMPARE(version, QStringLiteral("2.2.2.2"));
    }
};

QTEST_GUILESS_MAIN(TestVersionInfo)
#include "tst_versioninfo.moc"
