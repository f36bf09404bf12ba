// Tests of the configuration file: how Booleans, integers and texts are read and written,
// case-insensitive names, the file format, what reading and writing do to the file, and
// the error raised when a write is refused.
#include "IniFile.h"
#include "JotterlyError.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The file's lines without blank ones, so the checks do not depend on spacing between sections.
QStringList contentLines(const QString &path)
{
    QStringList lines = QString::fromUtf8(readFile(path)).split(QLatin1Char('\n'));
    lines.removeAll(QString());
    return lines;
}

} // namespace

class TestIniFile : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> tmp;
    QString iniPath;

    QStringList folderEntries() const
    {
        return QDir(tmp->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    }

private slots:
    void init()
    {
        tmp = std::make_unique<QTemporaryDir>();
        QVERIFY(tmp->isValid());
        iniPath = tmp->filePath(QStringLiteral("qzConf.ini"));
    }
    void cleanup() { tmp.reset(); }

    // --- values as read ------------------------------------------------------------------

    void readBool_data()
    {
        QTest::addColumn<QByteArray>("line"); // empty: the key is missing
        QTest::addColumn<bool>("defaultValue");
        QTest::addColumn<bool>("expected");
        QTest::newRow("1 is true") << QByteArray("addOpenEn=1") << false << true;
        QTest::newRow("0 is false despite a true default") << QByteArray("addOpenEn=0") << true << false;
        QTest::newRow("2 is true, not only 1") << QByteArray("addOpenEn=2") << false << true;
        QTest::newRow("hexadecimal 0x1 is true") << QByteArray("addOpenEn=0x1") << false << true;
        QTest::newRow("hexadecimal 0x0 is false") << QByteArray("addOpenEn=0x0") << true << false;
        QTest::newRow("-1 is true") << QByteArray("addOpenEn=-1") << false << true;
        QTest::newRow("empty value gives a false default") << QByteArray("addOpenEn=") << false << false;
        QTest::newRow("empty value gives a true default") << QByteArray("addOpenEn=") << true << true;
        QTest::newRow("yes is not an integer: default false") << QByteArray("addOpenEn=yes") << false << false;
        QTest::newRow("yes is not an integer: default true") << QByteArray("addOpenEn=yes") << true << true;
        QTest::newRow("true is not an integer: default false") << QByteArray("addOpenEn=true") << false << false;
        QTest::newRow("1.5 is not an integer, not read as 1") << QByteArray("addOpenEn=1.5") << false << false;
        QTest::newRow("blanks around the value") << QByteArray("addOpenEn= 1 ") << false << true;
        QTest::newRow("blanks around the equals sign") << QByteArray("addOpenEn = 1") << false << true;
        QTest::newRow("missing key, default false") << QByteArray() << false << false;
        QTest::newRow("missing key, default true") << QByteArray() << true << true;
    }
    void readBool()
    {
        QFETCH(QByteArray, line);
        QFETCH(bool, defaultValue);
        QFETCH(bool, expected);
        writeFile(iniPath, "[option]\nrunMinimizedEn=1\n" + line + "\n");
        QCOMPARE(IniFile::ReadBool(iniPath, "option", "addOpenEn", defaultValue), expected);
    }

    void readInteger_data()
    {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<int>("expected"); // the default is 77
        QTest::newRow("decimal") << QByteArray("648") << 648;
        QTest::newRow("negative") << QByteArray("-1200") << -1200;
        QTest::newRow("zero is a value, not the default") << QByteArray("0") << 0;
        QTest::newRow("hexadecimal 0x1F") << QByteArray("0x1F") << 31;
        QTest::newRow("hexadecimal 0X1f, any case") << QByteArray("0X1f") << 31;
        QTest::newRow("largest int") << QByteArray("2147483647") << 2147483647;
        QTest::newRow("smallest int") << QByteArray("-2147483648") << int(-2147483647 - 1);
        QTest::newRow("overflow by one gives the default") << QByteArray("2147483648") << 77;
        QTest::newRow("far overflow gives the default") << QByteArray("99999999999999999999") << 77;
        QTest::newRow("hexadecimal overflow gives the default") << QByteArray("0x100000000") << 77;
        QTest::newRow("trailing junk gives the default") << QByteArray("12abc") << 77;
        QTest::newRow("a word gives the default") << QByteArray("left") << 77;
        QTest::newRow("0x without digits gives the default") << QByteArray("0x") << 77;
        QTest::newRow("not a hexadecimal digit") << QByteArray("0xG1") << 77;
        QTest::newRow("empty gives the default") << QByteArray("") << 77;
        QTest::newRow("blanks around the number") << QByteArray("  42  ") << 42;
    }
    void readInteger()
    {
        QFETCH(QByteArray, value);
        QFETCH(int, expected);
        writeFile(iniPath, "[form]\nLeft=" + value + "\nTop=5\n");
        QCOMPARE(IniFile::ReadInteger(iniPath, "form", "Left", 77), expected);
        QCOMPARE(IniFile::ReadInteger(iniPath, "form", "Right", 77), 77);
    }

    void readText_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("expected"); // the default is "default"
        QTest::newRow("plain") << QByteArray("[option]\nvisitWeb=2008-03-05T14:07:09.000Z\n")
                               << "2008-03-05T14:07:09.000Z";
        QTest::newRow("missing key gives the default") << QByteArray("[option]\nother=x\n") << "default";
        QTest::newRow("missing section gives the default") << QByteArray("[memo]\nvisitWeb=x\n") << "default";
        QTest::newRow("empty value is empty, not the default") << QByteArray("[option]\nvisitWeb=\n") << "";
        QTest::newRow("comma kept, no list") << QByteArray("[option]\nvisitWeb=a, b\n") << "a, b";
        QTest::newRow("backslashes kept") << QByteArray("[option]\nvisitWeb=C:\\Temp\\new\\\n") << "C:\\Temp\\new\\";
        QTest::newRow("quotes kept") << QByteArray("[option]\nvisitWeb=\"quoted\" 'text'\n") << "\"quoted\" 'text'";
        QTest::newRow("equals sign inside the value") << QByteArray("[option]\nvisitWeb=a=b\n") << "a=b";
        QTest::newRow("UTF-8") << QByteArray("[option]\nvisitWeb=Gr\xc3\xbc\xc3\x9f"
                                             "e \xe6\x97\xa5\n")
                               << QString::fromUtf8("Gr\xc3\xbc\xc3\x9f"
                                                    "e \xe6\x97\xa5");
        QTest::newRow("Windows line ends") << QByteArray("[option]\r\nvisitWeb=value\r\nother=1\r\n") << "value";
        QTest::newRow("byte order mark before the first section")
            << QByteArray("\xef\xbb\xbf[option]\nvisitWeb=value\n") << "value";
        QTest::newRow("comment lines between keys")
            << QByteArray("; settings\n[option]\n; when\nvisitWeb=value\n") << "value";
        QTest::newRow("3000 characters read as the first 2047")
            << "[option]\nvisitWeb=" + QByteArray(2047, 'a') + QByteArray(953, 'b') + "\n"
            << QString(2047, 'a');
    }
    void readText()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, expected);
        writeFile(iniPath, file);
        QCOMPARE(IniFile::ReadString(iniPath, "option", "visitWeb", "default"), expected);
    }

    void namesIgnoreCaseOnRead_data()
    {
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::newRow("as written") << "Memo"
                                    << "viewAscEn";
        QTest::newRow("lower case") << "memo"
                                    << "viewascen";
        QTest::newRow("upper case") << "MEMO"
                                    << "VIEWASCEN";
    }
    void namesIgnoreCaseOnRead()
    {
        QFETCH(QString, section);
        QFETCH(QString, key);
        writeFile(iniPath, "[Memo]\nviewAscEn=0\n");
        QCOMPARE(IniFile::ReadBool(iniPath, section, key, true), false);
        QCOMPARE(IniFile::ReadInteger(iniPath, section, key, 9), 0);
        QCOMPARE(IniFile::ReadString(iniPath, section, key, "x"), QStringLiteral("0"));
    }

    void namesIgnoreCaseOnWrite_data()
    {
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::newRow("key in other case replaces the value") << "Memo"
                                                              << "VIEWASCEN";
        QTest::newRow("section in other case is the same section") << "MEMO"
                                                                   << "viewAscEn";
        QTest::newRow("both in other case") << "memo"
                                            << "viewascen";
    }
    void namesIgnoreCaseOnWrite()
    {
        QFETCH(QString, section);
        QFETCH(QString, key);
        writeFile(iniPath, "[Memo]\nviewAscEn=1\nviewListEn=1\n");
        IniFile::WriteBool(iniPath, section, key, false);
        const QStringList lines = contentLines(iniPath);
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines.at(0).compare(QLatin1String("[memo]"), Qt::CaseInsensitive), 0);
        QCOMPARE(lines.at(1).compare(QLatin1String("viewascen=0"), Qt::CaseInsensitive), 0);
        QCOMPARE(lines.at(2), QStringLiteral("viewListEn=1"));
        QCOMPARE(IniFile::ReadBool(iniPath, "memo", "viewAscEn", true), false);
    }

    // --- writing -------------------------------------------------------------------------

    void writtenForm_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("line");
        QTest::newRow("true as 1") << 0 << "true"
                                   << "key=1";
        QTest::newRow("false as 0") << 0 << "false"
                                    << "key=0";
        QTest::newRow("positive integer in decimal") << 1 << "648"
                                                     << "key=648";
        QTest::newRow("negative integer with a minus") << 1 << "-32000"
                                                       << "key=-32000";
        QTest::newRow("text as is") << 2 << "a, b \\x\\"
                                    << "key=a, b \\x\\";
        QTest::newRow("UTF-8 text") << 2 << QString::fromUtf8("\xe6\x97\xa5\xe6\x9c\xac \xf0\x9f\x99\x82")
                                    << QString::fromUtf8("key=\xe6\x97\xa5\xe6\x9c\xac \xf0\x9f\x99\x82");
    }
    void writtenForm()
    {
        QFETCH(int, type);
        QFETCH(QString, value);
        QFETCH(QString, line);
        if (type == 0)
            IniFile::WriteBool(iniPath, "section", "key", value == QLatin1String("true"));
        else if (type == 1)
            IniFile::WriteInteger(iniPath, "section", "key", value.toInt());
        else
            IniFile::WriteString(iniPath, "section", "key", value);
        QCOMPARE(contentLines(iniPath), QStringList({"[section]", line}));

        // And each reads back as written.
        if (type == 0)
            QCOMPARE(IniFile::ReadBool(iniPath, "section", "key", value != QLatin1String("true")),
                     value == QLatin1String("true"));
        else if (type == 1)
            QCOMPARE(IniFile::ReadInteger(iniPath, "section", "key", 0), value.toInt());
        else
            QCOMPARE(IniFile::ReadString(iniPath, "section", "key", QString()), value);
    }

    void longTextIsWrittenWholeAndReadCut()
    {
        const QString text = QString(2047, QLatin1Char('x')) + QString(953, QLatin1Char('y'));
        IniFile::WriteString(iniPath, "option", "visitWeb", text);
        QVERIFY(readFile(iniPath).contains(text.toLatin1()));
        QCOMPARE(IniFile::ReadString(iniPath, "option", "visitWeb", QString()), text.left(2047));
    }

    void readingNeverCreatesTheFile()
    {
        QCOMPARE(IniFile::ReadBool(iniPath, "option", "addOpenEn", true), true);
        QCOMPARE(IniFile::ReadInteger(iniPath, "form", "Left", 648), 648);
        QCOMPARE(IniFile::ReadString(iniPath, "option", "visitWeb", "d"), QStringLiteral("d"));
        QVERIFY(folderEntries().isEmpty());
    }

    void firstWriteCreatesTheFile()
    {
        IniFile::WriteInteger(iniPath, "log", "privateMemos", 12);
        IniFile::WriteInteger(iniPath, "log", "publicMemos", 0);
        QCOMPARE(contentLines(iniPath), QStringList({"[log]", "privateMemos=12", "publicMemos=0"}));
    }

    void otherKeysSurviveAWrite()
    {
        writeFile(iniPath, "[option]\naddOpenEn=1\nvisitWeb=2008-03-05T14:07:09.000+01:00\n"
                           "[form]\nLeft=648\nTop=252\nSaved=1\n");
        IniFile::WriteBool(iniPath, "memo", "viewListEn", true);
        IniFile::WriteInteger(iniPath, "form", "Left", 10);
        QCOMPARE(IniFile::ReadBool(iniPath, "option", "addOpenEn", false), true);
        QCOMPARE(IniFile::ReadString(iniPath, "option", "visitWeb", QString()),
                 QStringLiteral("2008-03-05T14:07:09.000+01:00"));
        QCOMPARE(IniFile::ReadInteger(iniPath, "form", "Left", 0), 10);
        QCOMPARE(IniFile::ReadInteger(iniPath, "form", "Top", 0), 252);
        QCOMPARE(IniFile::ReadBool(iniPath, "form", "Saved", false), true);
        QCOMPARE(IniFile::ReadBool(iniPath, "memo", "viewListEn", false), true);
        // One section header each, no duplicates made by the writes.
        const QStringList headers = contentLines(iniPath).filter(QRegularExpression("^\\["));
        QCOMPARE(headers, QStringList({"[option]", "[form]", "[memo]"}));
    }

    void refusedWriteNamesTheFile_data()
    {
        QTest::addColumn<int>("type");
        QTest::newRow("Boolean") << 0;
        QTest::newRow("integer") << 1;
        QTest::newRow("text") << 2;
    }
    void refusedWriteNamesTheFile()
    {
        QFETCH(int, type);
        // A regular file where the folder should be: nothing can be made below it, even by root.
        const QString blocker = tmp->filePath(QStringLiteral("notAFolder"));
        writeFile(blocker, "plain file\n");
        const QString path = blocker + QStringLiteral("/qzConf.ini");
        QString message = QStringLiteral("<no error>");
        try {
            if (type == 0)
                IniFile::WriteBool(path, "option", "addOpenEn", true);
            else if (type == 1)
                IniFile::WriteInteger(path, "form", "Left", 1);
            else
                IniFile::WriteString(path, "option", "visitWeb", "x");
        } catch (const JotterlyError &error) {
            message = error.message();
        }
        QCOMPARE(message, QStringLiteral("Unable to write to ") + path);
        QCOMPARE(readFile(blocker), QByteArray("plain file\n"));
        QCOMPARE(folderEntries(), QStringList("notAFolder"));
    }

    void writesLeaveNoTemporaryFiles()
    {
        for (int i = 0; i < 5; ++i) {
            IniFile::WriteInteger(iniPath, "form", "Left", i);
            IniFile::WriteBool(iniPath, "form", "Maximized", i % 2);
            IniFile::WriteString(iniPath, "option", "visitWeb", QString::number(i));
        }
        QCOMPARE(folderEntries(), QStringList("qzConf.ini"));
        QCOMPARE(IniFile::ReadInteger(iniPath, "form", "Left", -1), 4);
    }

    void handEditBetweenReadsIsSeen()
    {
        writeFile(iniPath, "[memo]\nviewAscEn=1\n");
        QCOMPARE(IniFile::ReadBool(iniPath, "memo", "viewAscEn", false), true);
        writeFile(iniPath, "[memo]\nviewAscEn=0\n");
        QCOMPARE(IniFile::ReadBool(iniPath, "memo", "viewAscEn", true), false);
        // A write starts from the file as it is now, not from anything read before.
        writeFile(iniPath, "[memo]\nviewAscEn=0\n[option]\naddOpenEn=1\n");
        IniFile::WriteBool(iniPath, "memo", "viewListEn", true);
        QCOMPARE(IniFile::ReadBool(iniPath, "option", "addOpenEn", false), true);
        QFile::remove(iniPath);
        QCOMPARE(IniFile::ReadBool(iniPath, "memo", "viewAscEn", true), true);
    }
};

QTEST_GUILESS_MAIN(TestIniFile)
#include "tst_inifile.moc"
