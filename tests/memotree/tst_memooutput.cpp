// The memo tree's output for people: the listing commands, the printout and the e-mail
// command (with a stand-in xdg-email on PATH that records its arguments).
#include "MemoFrameFixture.h"
#include "MemoListing.h"
#include "TQzSendMessage.h"

#include <QFile>
#include <QPrinter>
#include <QRegularExpression>

namespace {

QByteArray fileText(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A stand-in xdg-email in a folder put first on PATH: it writes its arguments, one a
// line, to `record` and exits with `status`.
struct StandInMail
{
    QTemporaryDir folder;
    QString record = folder.filePath(QStringLiteral("arguments"));
    QByteArray oldPath = qgetenv("PATH");
    explicit StandInMail(int status)
    {
        QFile script(folder.filePath(QStringLiteral("xdg-email")));
        script.open(QIODevice::WriteOnly);
        script.write("#!/bin/sh\nprintf '%s\\n' \"$@\" > '" + record.toUtf8() + "'\nexit " + QByteArray::number(status)
                     + "\n");
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("PATH", folder.path().toUtf8() + ':' + oldPath);
    }
    ~StandInMail() { qputenv("PATH", oldPath); }
    QStringList arguments() const { return QString::fromUtf8(fileText(record)).split(QLatin1Char('\n')); }
};

} // namespace

class TstMemoOutput : public QObject
{
    Q_OBJECT
private slots:
    void saveCommands_data()
    {
        QTest::addColumn<bool>("all");
        QTest::addColumn<int>("type"); // 0 text, 1 HTML
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("written");
        QTest::newRow("Save All under a filter, text") << true << 0 << "my.notes"
                                                       << "my.txt";
        QTest::newRow("selected memo as HTML") << false << 1 << "list.htm"
                                               << "list.html";
    }
    void saveCommands()
    {
        QFETCH(bool, all);
        QFETCH(int, type);
        QFETCH(QString, typed);
        QFETCH(QString, written);
        MemoFrameFixture f;
        f.addRow("{A}", "root", "alpha plan");
        f.addRow("{A1}", "{A}", "hidden sub-memo");
        f.addRow("{A2}", "{A}", "plan detail");
        f.addRow("{B}", "root", "beta");
        f.start();
        f.typeSearch(QStringLiteral("plan")); // hides beta and one sub-memo, shows alpha open
        f.selectOnly(f.findNode("alpha plan"));
        f.questions.nextFile = f.dir.filePath(typed);
        f.questions.nextType = type;
        (all ? f.frame->Action_SaveAll : f.frame->Action_Save)->trigger();
        const QByteArray listing = fileText(f.dir.filePath(written));
        QVERIFY2(listing.contains("alpha plan") && listing.contains("hidden sub-memo"), listing.constData());
        QVERIFY(!listing.contains("beta"));
        QCOMPARE(listing.count("plan detail"), 1); // under its memo only, also after select all
        QVERIFY(listing.startsWith(type == 1 ? "<html><body>\r\n" : "Memos\r\n"));
        QVERIFY(!QFile::exists(f.dir.filePath(typed)));
        QCOMPARE(f.questions.dialogs.value(0).name, QStringLiteral("SaveDialog"));
        QCOMPARE(f.tree().selectedCount(), all ? 0 : 1); // Save All clears the selection
    }

    void printsEveryShownRowOnPages()
    {
        MemoFrameFixture f;
        for (int i = 0; i < 300; ++i)
            f.addRow(QStringLiteral("{M%1}").arg(i), "root", "memo number " + QByteArray::number(i));
        f.start();
        QTemporaryDir out;
        QPrinter printer;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(out.filePath(QStringLiteral("outline.pdf")));
        const int pages = f.view()->printShownRows(printer);
        // The whole outline, not only what is scrolled into view, at the "Tj" scale.
        const int rowsHeight = f.view()->shownRowsHeight(f.view()->viewport()->width());
        const qreal scale = QFontMetricsF(f.view()->font(), &printer).boundingRect(QStringLiteral("Tj")).height()
                            / QFontMetricsF(f.view()->font()).boundingRect(QStringLiteral("Tj")).height();
        const int pieceHeight = static_cast<int>(printer.height() / scale);
        QCOMPARE(pages, (rowsHeight + pieceHeight - 1) / pieceHeight);
        QVERIFY(pages > 1);
        // One job: the file holds every page.
        const QByteArray pdf = fileText(printer.outputFileName());
        QCOMPARE(pdf.count("/Type /Page\n") + pdf.count("/Type /Page\r") + pdf.count("/Type /Page "), pages);
    }

    void emailStatuses_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("code"); // Simple MAPI's result: 0 success, 1 user abort
        QTest::newRow("handed over") << 0 << 0;
        QTest::newRow("bad arguments: general failure") << 1 << 2;
        QTest::newRow("a file is missing: attachment not found") << 2 << 11;
        QTest::newRow("no mail client: as a user abort") << 3 << 1;
        QTest::newRow("the client failed: general failure") << 4 << 2;
    }
    void emailStatuses()
    {
        QFETCH(int, status);
        QFETCH(int, code);
        StandInMail mail(status);
        MemoFrameFixture f;
        f.addRow("{A}", "root", "alpha");
        f.start();
        QVERIFY(!QDir(f.dir.filePath(QStringLiteral("Temp"))).exists());
        f.frame->Action_Email->trigger(); // nothing selected still composes
        const QString temp = f.dir.filePath(QStringLiteral("Temp/"));
        const QFile::Permissions others = QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther
                                          | QFile::WriteOther | QFile::ExeOther;
        QCOMPARE(QFile::permissions(temp) & others, QFile::Permissions()); // the user's own
        QVERIFY(fileText(temp + QStringLiteral("Memos.html")).contains("Memos 0, Sub-Memos 0"));
        QVERIFY(QFile::exists(temp + QStringLiteral("Memos.qzx")));
        const QStringList expected{QStringLiteral("--utf8"),
                                   QStringLiteral("--subject"),
                                   QStringLiteral("Memos"),
                                   QStringLiteral("--body"),
                                   QStringLiteral("Memos.html: HTML file, you can open it with website browser.\r"),
                                   QStringLiteral("Memos.qzx: Brivel data file, you can import it into Brivel "
                                                  "software directly.\r"),
                                   QString(),
                                   QStringLiteral("--attach"),
                                   QDir(temp).filePath(QStringLiteral("Memos.html")),
                                   QStringLiteral("--attach"),
                                   QDir(temp).filePath(QStringLiteral("Memos.qzx")),
                                   QString()};
        QCOMPARE(mail.arguments(), expected);
        QVERIFY(f.boxes.empty()); // whatever the mail hand-over said, nothing is shown

        // What the message component makes of the status.
        TQzSendMessage message;
        int raised = 0;
        QString text;
        try {
            message.Send();
        } catch (const EMapiUserAbort &abort) {
            raised = 1;
            text = abort.message();
        } catch (const EMapiError &error) {
            raised = error.code();
            text = error.message();
        }
        QCOMPARE(raised, code);
        if (code == 1)
            QCOMPARE(text, QStringLiteral("User Abort"));
        else if (code > 1)
            QCOMPARE(text, QStringLiteral("MAPI: %1. ErrorCode = %2").arg(EMapiError::textOf(code)).arg(code));
        QVERIFY(message.hasSession()); // kept for the next send
    }
};

QTEST_MAIN(TstMemoOutput)
#include "tst_memooutput.moc"
