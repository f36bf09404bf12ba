// The listings meant for people, byte for byte against files written from the listing's
// definition, and the file names the listing commands write.
#include "Boxes.h"
#include "MemoListing.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

Q_DECLARE_METATYPE(std::vector<ListingEntry>)

class TstListing : public QObject
{
    Q_OBJECT

private slots:
    void listings_data()
    {
        QTest::addColumn<std::vector<ListingEntry>>("entries");
        QTest::addColumn<QString>("expected"); // a file of tests/data/listings
        const ListingEntry withSubMemos{"plan <b>now</b>", true, {"call back", "a & b\r\nnext"}};
        QTest::newRow("nothing selected, text") << std::vector<ListingEntry>{} << "nothing.txt";
        QTest::newRow("nothing selected, HTML") << std::vector<ListingEntry>{} << "nothing.html";
        QTest::newRow("two-line memos, UTF-8, text")
            << std::vector<ListingEntry>{{"first line\r\nsecond line", true, {"sub one\r\nsub two"}},
                                         {"Gr\xc3\xbc\xc3\x9f"
                                          "e",
                                          false,
                                          {}}}
            << "two-lines.txt";
        QTest::newRow("memo with sub-memos, memo without, markup kept")
            << std::vector<ListingEntry>{withSubMemos, {"second", true, {}}} << "two-memos.html";
        QTest::newRow("two sub-memos of one memo count as memos")
            << std::vector<ListingEntry>{{"call back", false, {}}, {"a & b\r\nnext", false, {}}}
            << "two-sub-memos.html";
    }
    void listings()
    {
        QFETCH(std::vector<ListingEntry>, entries);
        QFETCH(QString, expected);
        QFile file(QStringLiteral(JOTTERLY_LISTINGS_DIR "/") + expected);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const ListingFooter footer{QStringLiteral("9/12/26 3:04:05 PM"), QStringLiteral("1.2.3.4")};
        const QByteArray made = expected.endsWith(QLatin1String(".txt")) ? TextListing(entries, footer)
                                                                         : HtmlListing(entries, footer);
        QCOMPARE(made, file.readAll());
    }

    void extensions_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("extension");
        QTest::addColumn<QString>("written");
        QTest::newRow("htm as HTML") << "/d/list.htm"
                                     << ".html"
                                     << "/d/list.html";
        QTest::newRow("other extension as text") << "/d/my.notes"
                                                 << ".txt"
                                                 << "/d/my.txt";
        QTest::newRow("no extension") << "/d/memos"
                                      << ".txt"
                                      << "/d/memos.txt";
        QTest::newRow("a dot in the folder only") << "/d.x/memos"
                                                  << ".html"
                                                  << "/d.x/memos.html";
    }
    void extensions()
    {
        QFETCH(QString, typed);
        QFETCH(QString, extension);
        QFETCH(QString, written);
        QCOMPARE(WithExtension(typed, extension), written);
    }

    void failedWriteKeepsTheOlderFile()
    {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("list.txt"));
        QVERIFY(WriteListingFile(path, "old"));
        QCOMPARE(QFile::permissions(path) & (QFile::ReadGroup | QFile::ReadOther), QFile::Permissions());
        QString shown;
        Boxes::setPresenter([&shown](const QString &, const QString &text, Boxes::Buttons, Boxes::Icon) {
            shown = text;
            return static_cast<int>(Boxes::IdOk);
        });
        QVERIFY(!WriteListingFile(folder.filePath(QStringLiteral("no/such/folder.txt")), "new"));
        QCOMPARE(shown, QStringLiteral("File write failure!"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("old"));
    }
};

QTEST_GUILESS_MAIN(TstListing)
#include "tst_listing.moc"
