// Tests of the XML path accessor, its compressed container and the interchange document
// format built on it.
#include "Boxes.h"
#include "InterchangeFormat.h"
#include "JotterlyError.h"
#include "pU_XmlTry.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <zlib.h>

#include <sstream>

#ifdef Q_OS_UNIX
#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>
#endif

namespace {

// A root with another name than "brivel", whitespace between elements, and a comment and a
// processing instruction among the children of "memos".
const QByteArray kSample = "<?xml version=\"1.0\"?>\n"
                           "<anyroot id=\"r\">\n"
                           "  <tasks id=\"t\"/>\n"
                           "  <memos id=\"m\">\n"
                           "    <memo id=\"m0\" mid=\"{A}\" empty=\"\"/>\n"
                           "    <!-- a comment -->\n"
                           "    <?pi data?>\n"
                           "    <memo id=\"m3\" mid=\"{B}\"/>\n"
                           "  </memos>\n"
                           "  <memos id=\"second\"/>\n"
                           "</anyroot>\n";

// How a test names a node: an element by its id attribute, others by their kind.
QString describe(const pugi::xml_node &node)
{
    switch (node.type()) {
    case pugi::node_element:
        return QString::fromUtf8(node.attribute("id").value());
    case pugi::node_comment:
        return QStringLiteral("#comment");
    case pugi::node_pi:
        return QStringLiteral("?") + QString::fromUtf8(node.name());
    default:
        return QStringLiteral("other");
    }
}

QByteArray serialize(Txmltry &xml)
{
    std::ostringstream out;
    xml.Document().save(out, "", pugi::format_raw);
    return QByteArray::fromStdString(out.str());
}

QByteArray littleEndian64(qint64 value)
{
    QByteArray bytes(8, '\0');
    for (int i = 0; i < 8; ++i)
        bytes[i] = char((quint64(value) >> (8 * i)) & 0xff);
    return bytes;
}

QByteArray zlibCompress(const QByteArray &data)
{
    uLongf size = compressBound(uLong(data.size()));
    QByteArray out(int(size), '\0');
    compress2(reinterpret_cast<Bytef *>(out.data()), &size, reinterpret_cast<const Bytef *>(data.constData()),
              uLong(data.size()), 9);
    out.resize(int(size));
    return out;
}

QByteArray zlibUncompress(const QByteArray &data, qsizetype expected)
{
    QByteArray out(expected, '\0');
    uLongf size = uLongf(expected);
    if (uncompress(reinterpret_cast<Bytef *>(out.data()), &size, reinterpret_cast<const Bytef *>(data.constData()),
                   uLong(data.size()))
        != Z_OK)
        return QByteArray();
    out.resize(qsizetype(size));
    return out;
}

// The text as UTF-16, little-endian, after a byte-order mark.
QByteArray utf16LittleEndian(const char16_t *text)
{
    QByteArray bytes("\xFF\xFE");
    for (; *text; ++text)
        bytes += char(*text & 0xff) + QByteArray(1, char(*text >> 8));
    return bytes;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Appends memo elements the way writers do, with texts that deflate poorly.
void appendMemos(Txmltry &xml, int count, quint32 seed)
{
    QRandomGenerator random(seed);
    pugi::xml_node memos = xml.FindNode(QLatin1String(Interchange::kMemosPath));
    for (int i = 0; i < count; ++i) {
        QByteArray text;
        for (int c = 0; c < 80; ++c)
            text += char('!' + random.bounded(90));
        pugi::xml_node memo = memos.append_child("memo");
        memo.append_attribute("mid").set_value(QByteArray::number(i).constData());
        memo.append_attribute("content").set_value(text.constData());
    }
}

} // namespace

class TestXmlTry : public QObject
{
    Q_OBJECT

private:
    QStringList boxes; // "caption|text" of every box shown
    QTemporaryDir dir;

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        Boxes::setPresenter([this](const QString &caption, const QString &text, Boxes::Buttons, Boxes::Icon) {
            boxes << caption + QLatin1Char('|') + text;
            return int(Boxes::IdOk);
        });
    }
    void init() { boxes.clear(); }
    void cleanupTestCase() { Boxes::setPresenter(nullptr); }

    void findNode_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("expected");
        QTest::newRow("no comma is the root, any name") << "brivel"
                                                        << "r";
        QTest::newRow("first component not compared") << "whatever,memos"
                                                      << "m";
        QTest::newRow("index 0") << "brivel,memos,memo#0"
                                 << "m0";
        QTest::newRow("comment counts") << "brivel,memos,memo#1"
                                        << "#comment";
        QTest::newRow("processing instruction counts") << "brivel,memos,memo#2"
                                                       << "?pi";
        QTest::newRow("last") << "brivel,memos,memo#3"
                              << "m3";
        QTest::newRow("name before # ignored") << "brivel,memos,task#3"
                                               << "m3";
        QTest::newRow("one past the last") << "brivel,memos,memo#4"
                                           << "m";
        QTest::newRow("negative index") << "brivel,memos,memo#-1"
                                        << "m";
        QTest::newRow("plus sign") << "brivel,memos,memo#+3"
                                   << "m3";
        QTest::newRow("first of equal names") << "brivel,memos"
                                              << "m";
        QTest::newRow("name search") << "brivel,memos,memo"
                                     << "m0";
        QTest::newRow("names are case-sensitive") << "brivel,memos,Memo"
                                                  << "m";
        QTest::newRow("missing name, walk goes on") << "brivel,missing,memo#0"
                                                    << "t";
        QTest::newRow("empty component matches no text or comment") << "brivel,memos,"
                                                                    << "m";
        QTest::newRow("beyond a leaf") << "brivel,memos,memo#0,x,y#0"
                                       << "m0";
        QTest::newRow("index from root") << "brivel,#1"
                                         << "m";
    }
    void findNode()
    {
        QFETCH(QString, path);
        QFETCH(QString, expected);
        Txmltry xml;
        xml.LoadFromText(kSample);
        QCOMPARE(describe(xml.FindNode(path)), expected);
    }

    void nonNumericIndexThrows_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("empty") << "brivel,memos,memo#";
        QTest::newRow("letters") << "brivel,memos,memo#x";
        QTest::newRow("two hashes") << "brivel,memos,memo#1#2";
        QTest::newRow("fraction") << "brivel,memos,memo#1.5";
        QTest::newRow("blank") << "brivel,memos,memo# 1";
        QTest::newRow("under a missing element") << "brivel,nothing#abc";
        QTest::newRow("overflow") << "brivel,memos,memo#99999999999999999999";
    }
    void nonNumericIndexThrows()
    {
        QFETCH(QString, path);
        Txmltry xml;
        xml.LoadFromText(kSample);
        QVERIFY_THROWS_EXCEPTION(JotterlyError, xml.FindNode(path));
    }

    // Sequential reads are served from the remembered position; every order must still
    // land on the node a walk from the first child finds.
    void indexedAccessInAnyOrder()
    {
        Txmltry xml;
        xml.LoadFromText(kSample);
        appendMemos(xml, 50, 7);
        const pugi::xml_node memos = xml.FindNode(QStringLiteral("brivel,memos"));
        std::vector<pugi::xml_node> children;
        for (pugi::xml_node child = memos.first_child(); child; child = child.next_sibling())
            children.push_back(child);
        QCOMPARE(children.size(), size_t(54));

        QList<int> order;
        for (int i = 0; i < 54; ++i)
            order << i;
        for (int i = 53; i >= 0; i -= 3)
            order << i;
        order << 40 << 41 << 2 << 52 << 27 << 26 << 60 << 53 << 0;
        for (int index : order) {
            const pugi::xml_node found = xml.FindNode(QStringLiteral("brivel,memos,memo#%1").arg(index));
            const pugi::xml_node expected = index < 54 ? children[size_t(index)] : memos;
            QVERIFY2(found == expected, qPrintable(QString::number(index)));
        }
        // An index under another parent must not reuse the position of the first.
        QCOMPARE(describe(xml.FindNode(QStringLiteral("brivel,#1"))), QStringLiteral("m"));
        QCOMPARE(describe(xml.FindNode(QStringLiteral("brivel,#0"))), QStringLiteral("t"));
    }

    void childCount_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("expected");
        QTest::newRow("root, whitespace not counted") << "brivel" << 3;
        QTest::newRow("memos with comment and pi") << "x,memos" << 4;
        QTest::newRow("empty element") << "x,tasks" << 0;
        QTest::newRow("comment node") << "x,memos,memo#1" << 0;
        QTest::newRow("missing resolves to parent") << "x,memos,memo#9" << 4;
    }
    void childCount()
    {
        QFETCH(QString, path);
        QFETCH(int, expected);
        Txmltry xml;
        xml.LoadFromText(kSample);
        QCOMPARE(xml.ChildCount(path), expected);
    }

    void getAttr_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("expected");
        QTest::addColumn<QStringList>("expectedBoxes");
        QTest::newRow("present") << "brivel,memos,memo#3"
                                 << "mid" << QByteArray("{B}") << QStringList();
        QTest::newRow("present but empty") << "brivel,memos,memo#0"
                                           << "empty" << QByteArray() << QStringList();
        QTest::newRow("missing attribute")
            << "brivel,memos,memo#0"
            << "pid" << QByteArray() << QStringList{"Error|brivel,memos,memo#0: pid not Exist !"};
        QTest::newRow("one past the last memo")
            << "brivel,memos,memo#4"
            << "mid" << QByteArray() << QStringList{"Error|brivel,memos,memo#4: mid not Exist !"};
        QTest::newRow("comment has no attributes")
            << "brivel,memos,memo#1"
            << "mid" << QByteArray() << QStringList{"Error|brivel,memos,memo#1: mid not Exist !"};
    }
    void getAttr()
    {
        QFETCH(QString, path);
        QFETCH(QString, name);
        QFETCH(QByteArray, expected);
        QFETCH(QStringList, expectedBoxes);
        Txmltry xml;
        xml.LoadFromText(kSample);
        QCOMPARE(xml.GetAttr(path, name), expected);
        QCOMPARE(boxes, expectedBoxes);
    }

    void setAttrOverwritesOnly()
    {
        Txmltry xml;
        xml.LoadFromText(QByteArray(Interchange::kTemplate));
        QVERIFY(xml.SetAttr(QStringLiteral("brivel"), QStringLiteral("app"), "Clockvane"));
        QCOMPARE(xml.GetAttr(QStringLiteral("brivel"), QStringLiteral("app")), QByteArray("Clockvane"));
        QVERIFY(boxes.isEmpty());

        const QByteArray before = serialize(xml);
        QVERIFY(!xml.SetAttr(QStringLiteral("brivel"), QStringLiteral("author"), "me"));
        QCOMPARE(boxes, QStringList{"Error|brivel: author not Exist !"});
        QCOMPARE(serialize(xml), before);
    }

    void loadFromTextFailureKeepsDocument()
    {
        Txmltry xml;
        xml.LoadFromText(kSample);
        QVERIFY_THROWS_EXCEPTION(JotterlyError, xml.LoadFromText("<a><b></a>"));
        QVERIFY_THROWS_EXCEPTION(JotterlyError, xml.LoadFromText("no markup"));
        QCOMPARE(describe(xml.FindNode(QStringLiteral("brivel"))), QStringLiteral("r"));
    }

    // The template parses to the root with its four empty children and nothing else.
    void templateShape()
    {
        const QByteArray text(Interchange::kTemplate);
        QCOMPARE(text.count('\r'), 9);
        QVERIFY(!text.contains('\n'));
        QVERIFY(!text.endsWith('\r'));
        QVERIFY(text.startsWith("<brivel app=\"\" appversion=\"\" dataversion=\"1.1\" time=\"\">\r  <tasks>\r"));

        Txmltry xml;
        xml.LoadFromText(text);
        QCOMPARE(xml.ChildCount(QStringLiteral("brivel")), 4);
        const QStringList names{"tasks", "memos", "notes", "peers"};
        for (int i = 0; i < 4; ++i) {
            const QString path = QStringLiteral("brivel,#%1").arg(i);
            QCOMPARE(QString::fromUtf8(xml.FindNode(path).name()), names[i]);
            QCOMPARE(xml.ChildCount(path), 0);
        }
        QStringList attributes;
        for (const pugi::xml_attribute &a : xml.FindNode(QStringLiteral("brivel")).attributes())
            attributes << QString::fromUtf8(a.name()) + QLatin1Char('=') + QString::fromUtf8(a.value());
        QCOMPARE(attributes, (QStringList{"app=", "appversion=", "dataversion=1.1", "time="}));
    }

    void startDocumentAndAppCheck()
    {
        Txmltry xml;
        const int bias = Interchange::StartDocument(xml, QStringLiteral("1.2.3.4"),
                                                    OleDateTime::encode(QDate(2008, 3, 5), QTime(14, 7, 9)));
        QCOMPARE(bias, 0); // the suite runs with TZ=UTC
        QStringList attributes;
        for (const pugi::xml_attribute &a : xml.FindNode(QStringLiteral("brivel")).attributes())
            attributes << QString::fromUtf8(a.value());
        QCOMPARE(attributes, (QStringList{"Clockvane", "1.2.3.4", "1.1", "2008-03-05T14:07:09.000Z"}));
        QCOMPARE(Interchange::CheckApp(xml), std::nullopt);
        QVERIFY(boxes.isEmpty());
    }

    void appCheck_data()
    {
        QTest::addColumn<QByteArray>("document");
        QTest::addColumn<QString>("expectedMessage");
        QTest::addColumn<QStringList>("expectedBoxes");
        QTest::newRow("accepted") << QByteArray("<brivel app=\"Clockvane\"/>") << QString() << QStringList();
        QTest::newRow("other root name accepted")
            << QByteArray("<other app=\"Clockvane\"/>") << QString() << QStringList();
        QTest::newRow("case matters") << QByteArray("<brivel app=\"clockvane\"/>")
                                      << "Data mismatch: clockvaneClockvane" << QStringList();
        QTest::newRow("other app") << QByteArray("<brivel app=\"Tasker\"/>") << "Data mismatch: TaskerClockvane"
                                   << QStringList();
        QTest::newRow("missing app") << QByteArray("<brivel/>") << "Data mismatch: Clockvane"
                                     << QStringList{"Error|brivel: app not Exist !"};
    }
    void appCheck()
    {
        QFETCH(QByteArray, document);
        QFETCH(QString, expectedMessage);
        QFETCH(QStringList, expectedBoxes);
        Txmltry xml;
        xml.LoadFromText(document);
        QCOMPARE(Interchange::CheckApp(xml).value_or(QString()), expectedMessage);
        QCOMPARE(boxes, expectedBoxes);
    }

    void dialogFilters()
    {
        QCOMPARE(Interchange::ToQtFileDialogFilter(QLatin1String(Interchange::kExportDialogFilter)),
                 QStringLiteral("Brivel Database,  (*.qzx)"));
        QCOMPARE(Interchange::ToQtFileDialogFilter(QStringLiteral("Text|*.txt;*.log|All files (*.*)|*.*")),
                 QStringLiteral("Text (*.txt *.log);;All files (*.*)"));
        QCOMPARE(Interchange::ToQtFileDialogFilter(QStringLiteral("Lonely")), QStringLiteral("Lonely (*)"));
        QCOMPARE(Interchange::ToQtFileDialogFilter(QStringLiteral("HTML file (*.htm; *.html)|*.htm;*.html")),
                 QStringLiteral("HTML file (*.htm *.html)"));
        QCOMPARE(Interchange::ToQtDefaultSuffix(QLatin1String(Interchange::kDefaultExt)), QStringLiteral("qzx"));
    }

    // Attribute values are bytes; line breaks, tabs, markup characters and any UTF-8 text
    // come back exactly after a trip through a file.
    void attributeValueRoundTrip_data()
    {
        QTest::addColumn<QByteArray>("value");
        QTest::newRow("crlf lines") << QByteArray("first line\r\nsecond line\r\n\r\nlast");
        QTest::newRow("lone cr, lf, tab") << QByteArray("a\rb\nc\td");
        QTest::newRow("markup characters") << QByteArray("<b>\"quoted\" & 'single'</b> a>b");
        QTest::newRow("non-ASCII") << QByteArray("Grüße, € 5 – 日本語 😀");
        QTest::newRow("leading and trailing blanks") << QByteArray("  padded  ");
        QTest::newRow("empty") << QByteArray("");
    }
    void attributeValueRoundTrip()
    {
        QFETCH(QByteArray, value);
        const QString path = dir.filePath(QStringLiteral("value.qzx"));
        {
            Txmltry xml;
            Interchange::StartDocument(xml, QStringLiteral("1.0.0.1"));
            pugi::xml_node memo = xml.FindNode(QLatin1String(Interchange::kMemosPath)).append_child("memo");
            memo.append_attribute("content").set_value(value.constData());
            xml.SaveToFile(path);
        }
        Txmltry xml;
        xml.LoadFromFile(path);
        QCOMPARE(xml.GetAttr(QStringLiteral("brivel,memos,memo#0"), QStringLiteral("content")), value);
        QVERIFY(boxes.isEmpty());
    }

    // A memo holding control characters (pasted from elsewhere) reads back exactly as it
    // was written, through the references the writer makes of them.
    void controlCharactersRoundTrip()
    {
        const QString path = dir.filePath(QStringLiteral("control.qzx"));
        {
            Txmltry xml;
            Interchange::StartDocument(xml, QStringLiteral("1.0.0.1"));
            pugi::xml_node memo = xml.FindNode(QLatin1String(Interchange::kMemosPath)).append_child("memo");
            memo.append_attribute("content").set_value("bell\x07 &\x1F\x0C\tend\r\n");
            xml.SaveToFile(path);
        }
        Txmltry xml;
        xml.LoadFromFile(path);
        QCOMPARE(xml.GetAttr(QStringLiteral("brivel,memos,memo#0"), QStringLiteral("content")),
                 QByteArray("bell\x07 &\x1F\x0C\tend\r\n"));
    }

    // The file is the 8-byte little-endian length of the XML, then one zlib stream at
    // level 9 holding exactly that XML.
    void containerLayout()
    {
        Txmltry xml;
        Interchange::StartDocument(xml, QStringLiteral("1.0.0.1"));
        appendMemos(xml, 300, 11);
        const QString path = dir.filePath(QStringLiteral("layout.qzx"));
        xml.SaveToFile(path);

        const QByteArray file = readFile(path);
        QVERIFY(file.size() > 10);
        qint64 length = 0;
        for (int i = 7; i >= 0; --i)
            length = (length << 8) | quint8(file[i]);
        QCOMPARE(quint8(file[8]), quint8(0x78)); // deflate, 32 KiB window
        QCOMPARE(quint8(file[9]), quint8(0xDA)); // best compression
        const QByteArray xmlText = zlibUncompress(file.mid(8), length);
        QCOMPARE(xmlText.size(), length);
        QCOMPARE(xmlText, serialize(xml));

        Txmltry reread;
        reread.LoadFromFile(path);
        QCOMPARE(serialize(reread), xmlText);
        QCOMPARE(reread.ChildCount(QStringLiteral("brivel,memos")), 300);
    }

    void savedFileIsOwnerOnly()
    {
        const QString path = dir.filePath(QStringLiteral("private.qzx"));
        QVERIFY(writeFile(path, "older"));
        QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup
                                                | QFileDevice::ReadOther));
        Txmltry xml;
        Interchange::StartDocument(xml, QStringLiteral("1.0.0.1"));
        xml.SaveToFile(path);
        QCOMPARE(QFile::permissions(path) & ~(QFileDevice::ReadUser | QFileDevice::WriteUser),
                 QFileDevice::ReadOwner | QFileDevice::WriteOwner);

        const QString fresh = dir.filePath(QStringLiteral("fresh.qzx"));
        xml.SaveToFile(fresh);
        QCOMPARE(QFile::permissions(fresh) & ~(QFileDevice::ReadUser | QFileDevice::WriteUser),
                 QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }

    void damagedContainerFails_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("reason");
        const QByteArray xmlText = "<brivel app=\"Clockvane\"><memos><memo mid=\"1\"/></memos></brivel>";
        const QByteArray packed = zlibCompress(xmlText);
        const qint64 length = xmlText.size();
        const QString shortData = QStringLiteral("the data ends after");
        const QString corrupt = QStringLiteral("corrupt");
        const QString notXml = QStringLiteral("malformed XML");
        const QString absurd = QStringLiteral("out of range");
        QTest::newRow("empty file") << QByteArray() << "too short";
        QTest::newRow("short header") << QByteArray(5, '\0') << "too short";
        QTest::newRow("header only") << littleEndian64(length) << shortData;
        QTest::newRow("stream cut in half") << littleEndian64(length) + packed.left(packed.size() / 2) << shortData;
        QTest::newRow("checksum cut off") << littleEndian64(length) + packed.left(packed.size() - 2) << "incomplete";
        QByteArray flipped = packed;
        flipped[flipped.size() - 1] = char(flipped[flipped.size() - 1] ^ 0x55);
        QTest::newRow("checksum wrong") << littleEndian64(length) + flipped << corrupt;
        QTest::newRow("length larger than data") << littleEndian64(length + 1) + packed << shortData;
        QTest::newRow("length smaller, XML incomplete") << littleEndian64(length - 10) + packed << notXml;
        QTest::newRow("not zlib") << littleEndian64(length) + xmlText << corrupt;
        const QByteArray plain = "this is plain text, not a document";
        QTest::newRow("not XML") << littleEndian64(plain.size()) + zlibCompress(plain) << notXml;
        QTest::newRow("length zero") << littleEndian64(0) + zlibCompress(QByteArray()) << notXml;
        QTest::newRow("negative length") << littleEndian64(-1) + packed << absurd;
        QTest::newRow("length 2^62") << littleEndian64(qint64(1) << 62) + packed << absurd;
        QTest::newRow("length just above 1 GiB") << littleEndian64((qint64(1) << 30) + 1) + packed << absurd;
        QTest::newRow("length 1 GiB, little data") << littleEndian64(qint64(1) << 30) + packed << shortData;

        // XML that pugixml alone would accept although it is not well-formed.
        const auto container = [](const QByteArray &text) { return littleEndian64(text.size()) + zlibCompress(text); };
        const auto inMemo = [&container](const QByteArray &content) {
            return container("<brivel app=\"Clockvane\"><memos><memo content=\"" + content + "\"/></memos></brivel>");
        };
        const QString notUtf8 = QStringLiteral("not UTF-8");
        const QString badChar = QStringLiteral("a character XML does not allow");
        QTest::newRow("bare &") << inMemo("salt & pepper") << "begins no reference";
        QTest::newRow("undefined entity") << container("<brivel>&nbsp;</brivel>") << "undefined entity";
        QTest::newRow("reference without ;") << inMemo("&#65 and") << "malformed character reference";
        QTest::newRow("reference with capital X") << inMemo("&#X41;") << "malformed character reference";
        QTest::newRow("reference to NUL") << inMemo("&#0;") << badChar;
        QTest::newRow("reference to a surrogate") << inMemo("&#xD800;") << badChar;
        QTest::newRow("reference beyond U+10FFFF") << inMemo("&#x110000;") << badChar;
        QTest::newRow("< in an attribute value") << inMemo("a<b") << "'<' in an attribute value";
        QTest::newRow("attribute given twice")
            << container("<brivel app=\"Clockvane\"><memos><memo mid=\"1\" pid=\"\" mid=\"2\"/></memos></brivel>")
            << "given twice";
        QTest::newRow("byte 0xFF") << inMemo("caf\xFF") << notUtf8;
        QTest::newRow("overlong UTF-8") << inMemo("\xC0\xAF") << notUtf8;
        QTest::newRow("overlong UTF-8, three bytes") << inMemo("\xE0\x80\xAF") << notUtf8;
        QTest::newRow("UTF-8 beyond U+10FFFF") << inMemo("\xF4\x90\x80\x80") << notUtf8;
        QTest::newRow("UTF-8 of a surrogate") << inMemo("\xED\xA0\x80") << notUtf8;
        QTest::newRow("UTF-8 cut short at the end") << container("<brivel v=\"\xE6\x97") << notUtf8;
        QTest::newRow("raw control character") << inMemo("bell\x07") << "control character";
        QTest::newRow("raw U+FFFF") << inMemo("\xEF\xBF\xBF") << badChar;
        QTest::newRow("second root") << container("<brivel app=\"Clockvane\"/><brivel/>") << "second document element";
        QTest::newRow("text after the root") << container("<brivel app=\"Clockvane\"/>\n trailing") << "text after";
        QTest::newRow("text before the root") << container("junk<brivel app=\"Clockvane\"/>") << "text before";
        QTest::newRow("]]> in text") << container("<brivel>a ]]> b</brivel>") << "']]>' in text";
        QTest::newRow("-- in a comment") << container("<brivel><!-- a -- b --></brivel>") << "'--'";
        QTest::newRow("declaration not at the start") << container(" <?xml version=\"1.0\"?><brivel/>") << "misplaced";
        QTest::newRow("UTF-16 with a lone surrogate")
            << container(utf16LittleEndian(u"<b v=\"\xD800\"/>")) << "not in the encoding";
    }
    void damagedContainerFails()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, reason);
        const QString path = dir.filePath(QStringLiteral("damaged.qzx"));
        QVERIFY(writeFile(path, bytes));
        Txmltry xml;
        xml.LoadFromText(kSample);
        QElapsedTimer timer;
        timer.start();
        try {
            xml.LoadFromFile(path);
            QFAIL("a damaged file loaded");
        } catch (const JotterlyError &error) {
            QVERIFY2(error.message().contains(reason), qPrintable(error.message()));
            QVERIFY2(error.message().contains(QStringLiteral("damaged.qzx")), qPrintable(error.message()));
        }
        QVERIFY(timer.elapsed() < 2000);
        // The previous document is still there.
        QCOMPARE(describe(xml.FindNode(QStringLiteral("brivel,memos,memo#3"))), QStringLiteral("m3"));
    }

    void missingFileFails()
    {
        Txmltry xml;
        try {
            xml.LoadFromFile(dir.filePath(QStringLiteral("nowhere.qzx")));
            QFAIL("a missing file loaded");
        } catch (const JotterlyError &error) {
            QVERIFY2(error.message().contains(QStringLiteral("nowhere.qzx")), qPrintable(error.message()));
        }
    }

    // Output beyond the length field is ignored: a shorter length that still holds a whole
    // document loads that document, and data after the zlib stream is not read.
    void surplusIsIgnored()
    {
        const QByteArray xmlText = "<a x=\"1\"/><!-- more than the length says -->";
        const QString path = dir.filePath(QStringLiteral("surplus.qzx"));
        QVERIFY(writeFile(path, littleEndian64(10) + zlibCompress(xmlText)));
        Txmltry xml;
        xml.LoadFromFile(path);
        QCOMPARE(xml.GetAttr(QStringLiteral("a"), QStringLiteral("x")), QByteArray("1"));
        QCOMPARE(xml.ChildCount(QStringLiteral("a")), 0);

        const QByteArray exact = "<b/>";
        QVERIFY(writeFile(path, littleEndian64(exact.size()) + zlibCompress(exact) + "trailing bytes"));
        xml.LoadFromFile(path);
        QCOMPARE(QByteArray(xml.FindNode(QStringLiteral("b")).name()), QByteArray("b"));
    }

    // The forms XML allows still load, from a file, with the value they stand for.
    void wellFormedFileLoads_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QByteArray>("expected"); // of the attribute "v" at the path
        QTest::newRow("byte-order mark and declaration")
            << QByteArray("\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?><brivel v=\"1\"/>") << "brivel"
            << QByteArray("1");
        QTest::newRow("predefined entities")
            << QByteArray("<brivel v=\"&lt;&gt;&amp;&quot;&apos;\"/>") << "brivel" << QByteArray("<>&\"'");
        QTest::newRow("numeric references, valid")
            << QByteArray("<brivel v=\"&#13;&#10;&#x41;&#9;&#x1f600;&#1114111;\"/>") << "brivel"
            << QByteArray("\r\nA\t\xF0\x9F\x98\x80\xF4\x8F\xBF\xBF");
        QTest::newRow("raw tab and line break in a long value")
            << QByteArray("<brivel v=\"first column\tsecond column\nnext line\"/>") << "brivel"
            << QByteArray("first column second column next line");
        QTest::newRow("comments and processing instructions around the root")
            << QByteArray("<!-- before --><?pi x?>\n<brivel v=\"2\"/>\n<!-- after --><?pi?>\r\n\t") << "brivel"
            << QByteArray("2");
        QTest::newRow("document type with delimiters in its subset")
            << QByteArray("<!DOCTYPE brivel [<!ENTITY e \"a>b]\"><!-- ' ] --><?pi ]>?>]><brivel v=\"3\"/>") << "brivel"
            << QByteArray("3");
        QTest::newRow("CDATA, '>' and other quotes in values")
            << QByteArray("<brivel><memo v='say \"hi\" > 2 ]]>'><![CDATA[a & b < c ]] >]]> ] -- </memo></brivel>")
            << "brivel,memo" << QByteArray("say \"hi\" > 2 ]]>");
        QTest::newRow("non-ASCII UTF-8") << QByteArray("<br\xC3\xAFvel v=\"\xE2\x82\xAC \xF0\x9F\x98\x80\"/>")
                                         << "brivel" << QByteArray("\xE2\x82\xAC \xF0\x9F\x98\x80");
        QTest::newRow("UTF-16 with byte-order mark")
            << utf16LittleEndian(u"<b v=\"\u20AC\"/>") << "b" << QByteArray("\xE2\x82\xAC");
        QTest::newRow("Latin-1 by declaration")
            << QByteArray("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><brivel v=\"caf\xE9\"/>") << "brivel"
            << QByteArray("caf\xC3\xA9");
    }
    void wellFormedFileLoads()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, path);
        QFETCH(QByteArray, expected);
        const QString file = dir.filePath(QStringLiteral("wellformed.qzx"));
        QVERIFY(writeFile(file, littleEndian64(text.size()) + zlibCompress(text)));
        Txmltry xml;
        xml.LoadFromFile(file);
        QCOMPARE(xml.GetAttr(path, QStringLiteral("v")), expected);
        QVERIFY(boxes.isEmpty());
    }

    void failedSaveKeepsOlderFile_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("no file can be created") << "nofile";
        QTest::newRow("write fails midway") << "fsize";
    }
    void failedSaveKeepsOlderFile()
    {
#ifndef Q_OS_UNIX
        QSKIP("needs POSIX file limits");
#else
        QFETCH(QString, how);
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        const QString path = folder.filePath(QStringLiteral("backup.qzx"));
        const QByteArray older = "an older backup that must survive";
        QVERIFY(writeFile(path, older));

        Txmltry xml;
        Interchange::StartDocument(xml, QStringLiteral("1.0.0.1"));
        appendMemos(xml, 2000, 3); // about 100 KB compressed

        bool threw = false;
        if (how == QLatin1String("nofile")) {
            // With the descriptor limit at the lowest free descriptor no file can be created,
            // by root as by anyone, as when the folder is not writable.
            const int lowestFree = ::open("/dev/null", O_RDONLY);
            QVERIFY(lowestFree >= 0);
            ::close(lowestFree);
            rlimit saved{};
            QCOMPARE(getrlimit(RLIMIT_NOFILE, &saved), 0);
            rlimit limited = saved;
            limited.rlim_cur = rlim_t(lowestFree);
            QCOMPARE(setrlimit(RLIMIT_NOFILE, &limited), 0);
            try {
                xml.SaveToFile(path);
            } catch (const JotterlyError &) {
                threw = true;
            }
            setrlimit(RLIMIT_NOFILE, &saved);
        } else {
            // Writes past 16 KiB fail with EFBIG, as on a full disk.
            rlimit saved{};
            QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
            const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
            rlimit limited = saved;
            limited.rlim_cur = 16 * 1024;
            QCOMPARE(setrlimit(RLIMIT_FSIZE, &limited), 0);
            try {
                xml.SaveToFile(path);
            } catch (const JotterlyError &) {
                threw = true;
            }
            setrlimit(RLIMIT_FSIZE, &saved);
            std::signal(SIGXFSZ, oldHandler);
        }
        QVERIFY(threw);
        QCOMPARE(readFile(path), older);
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"backup.qzx"});
#endif
    }
};

QTEST_GUILESS_MAIN(TestXmlTry)
#include "tst_xmltry.moc"
