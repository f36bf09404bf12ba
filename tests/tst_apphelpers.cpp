// Tests of the small shared helpers: line flattening, trimming stored memo text, the
// conversions between stored and editor text, the general error handler's message form,
// the message boxes behind their presenter seam, and the order of memo texts.
#include "Boxes.h"
#include "GeneralErrorHandler.h"
#include "JotterlyError.h"
#include "MemoCompare.h"
#include "TextHelpers.h"
#include "WindowPlacement.h"

#include <QtTest>

#include <stdexcept>

namespace {

// One box as the presenter saw it.
struct ShownBox
{
    QString caption;
    QString text;
    Boxes::Buttons buttons;
    Boxes::Icon icon;
};

// Installs a presenter that records every box and answers with a scripted button; the
// previous presenter comes back when it goes out of scope.
class ScriptedBoxes
{
public:
    explicit ScriptedBoxes(int answer = Boxes::IdOk)
    {
        previous = Boxes::setPresenter(
            [this, answer](const QString &caption, const QString &text, Boxes::Buttons buttons, Boxes::Icon icon) {
                shown.push_back({caption, text, buttons, icon});
                return answer;
            });
    }
    ~ScriptedBoxes() { Boxes::setPresenter(std::move(previous)); }

    std::vector<ShownBox> shown;

private:
    Boxes::Presenter previous;
};

int sign(int value)
{
    return (value > 0) - (value < 0);
}

} // namespace

class TestAppHelpers : public QObject
{
    Q_OBJECT

private slots:
    // Every test executable runs with the test folders of QStandardPaths.
    void noTestTouchesRealUserFolders() { QVERIFY(QStandardPaths::isTestModeEnabled()); }

    // --- window placement ----------------------------------------------------------------

    void windowKeptInsideScreen_data()
    {
        QTest::addColumn<QRect>("frame");
        QTest::addColumn<QRect>("available");
        QTest::addColumn<QRect>("kept");
        QTest::newRow("fits: unchanged") << QRect(648, 252, 371, 480) << QRect(0, 0, 1280, 800)
                                         << QRect(648, 252, 371, 480);
        QTest::newRow("off the bottom: moved up")
            << QRect(648, 400, 371, 480) << QRect(0, 0, 1280, 800) << QRect(648, 320, 371, 480);
        // 1280 x 800 at scale factor 2 leaves 640 x 400 for the first start's window.
        QTest::newRow("scale factor 2: shrunk and moved in")
            << QRect(648, 252, 371, 480) << QRect(0, 0, 640, 400) << QRect(269, 0, 371, 400);
        QTest::newRow("a second screen to the left")
            << QRect(-100, 10, 300, 200) << QRect(-1920, 0, 1920, 1080) << QRect(-300, 10, 300, 200);
    }
    void windowKeptInsideScreen()
    {
        QFETCH(QRect, frame);
        QFETCH(QRect, available);
        QFETCH(QRect, kept);
        QCOMPARE(WindowPlacement::keptInside(frame, available), kept);
        QVERIFY(available.contains(kept));
    }

    // --- text helpers --------------------------------------------------------------------

    void flattenLineBreaks_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("CR LF becomes two blanks") << "a\r\nb"
                                                  << "a  b";
        QTest::newRow("text without breaks unchanged") << "plain memo text"
                                                       << "plain memo text";
        QTest::newRow("lone CR") << "a\rb"
                                 << "a b";
        QTest::newRow("lone LF") << "a\nb"
                                 << "a b";
        QTest::newRow("LF CR is two blanks too") << "a\n\rb"
                                                 << "a  b";
        QTest::newRow("breaks at both ends") << "\r\nx\n"
                                             << "  x ";
        QTest::newRow("nothing but breaks") << "\r\n\r\n"
                                            << "    ";
        QTest::newRow("tab is not a line break") << "a\tb"
                                                 << "a\tb";
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("non-ASCII around a break")
            << QString::fromUtf8("caf\xc3\xa9\r\n\xe6\x97\xa5") << QString::fromUtf8("caf\xc3\xa9  \xe6\x97\xa5");
    }
    void flattenLineBreaks()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(FlattenLineBreaks(text), expected);
        QCOMPARE(FlattenLineBreaks(text.toUtf8()), expected.toUtf8());
    }

    void trimRightWhiteAndControl_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("trailing blanks") << QByteArray("memo   ") << QByteArray("memo");
        QTest::newRow("trailing tabs") << QByteArray("memo\t\t") << QByteArray("memo");
        QTest::newRow("trailing CR LF") << QByteArray("memo\r\n") << QByteArray("memo");
        QTest::newRow("trailing blank lines") << QByteArray("memo\r\n\r\n  \r\n\t\r\n") << QByteArray("memo");
        QTest::newRow("control characters") << QByteArray("memo\x01\x1f\x0b") << QByteArray("memo");
        QTest::newRow("DEL 127") << QByteArray("memo\x7f \x7f") << QByteArray("memo");
        QTest::newRow("leading white space kept") << QByteArray("  \tmemo \r\n") << QByteArray("  \tmemo");
        QTest::newRow("inner line breaks kept") << QByteArray("a \r\n\r\n b\r\n") << QByteArray("a \r\n\r\n b");
        QTest::newRow("nothing to trim") << QByteArray("memo.") << QByteArray("memo.");
        QTest::newRow("only white space") << QByteArray(" \r\n\t \x7f") << QByteArray("");
        QTest::newRow("empty") << QByteArray("") << QByteArray("");
        QTest::newRow("two-byte UTF-8 at the end kept") << QByteArray("caf\xc3\xa9") << QByteArray("caf\xc3\xa9");
        QTest::newRow("UTF-8 whose last byte is 0x80") << QByteArray("x\xe2\x82\xac  ") << QByteArray("x\xe2\x82\xac");
        QTest::newRow("no-break space is a character, not cut in half")
            << QByteArray("x\xc2\xa0") << QByteArray("x\xc2\xa0");
        QTest::newRow("four-byte UTF-8 before blanks")
            << QByteArray("\xf0\x9f\x99\x82 \r\n") << QByteArray("\xf0\x9f\x99\x82");
    }
    void trimRightWhiteAndControl()
    {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, expected);
        QCOMPARE(TrimRightWhiteAndControl(text), expected);
    }

    void memoEditorConversions_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<QString>("editor");
        QTest::addColumn<bool>("toEditor"); // stored -> editor holds
        QTest::addColumn<bool>("toMemo");   // editor -> stored holds
        QTest::newRow("CR LF and LF") << QByteArray("one\r\ntwo\r\n") << "one\ntwo\n" << true << true;
        QTest::newRow("blank lines kept") << QByteArray("a\r\n\r\nb") << "a\n\nb" << true << true;
        QTest::newRow("UTF-8 text") << QByteArray("Gr\xc3\xbc\xc3\x9f"
                                                  "e \xe6\x97\xa5 \xf0\x9f\x99\x82")
                                    << QString::fromUtf8("Gr\xc3\xbc\xc3\x9f"
                                                         "e \xe6\x97\xa5 \xf0\x9f\x99\x82")
                                    << true << true;
        QTest::newRow("empty") << QByteArray("") << "" << true << true;
        QTest::newRow("lone CR pasted into the editor is stored as CR LF")
            << QByteArray("a\r\nb") << "a\rb" << false << true;
        QTest::newRow("CR LF pasted into the editor is not doubled")
            << QByteArray("a\r\nb") << "a\r\nb" << false << true;
        QTest::newRow("a stored lone LF shows as a line break") << QByteArray("a\nb") << "a\nb" << true << false;
        QTest::newRow("breaks at both ends, CR last") << QByteArray("\r\nx\r\n") << "\nx\r" << false << true;
        QTest::newRow("CR CR LF is two breaks") << QByteArray("a\r\n\r\nb") << "a\r\r\nb" << false << true;
    }

    void pastedLineBreaks_data()
    {
        QTest::addColumn<QByteArray>("pasted");
        QTest::addColumn<QByteArray>("stored");
        QTest::newRow("LF becomes CR LF") << QByteArray("a\nb\n") << QByteArray("a\r\nb\r\n");
        QTest::newRow("CR LF stays") << QByteArray("a\r\nb") << QByteArray("a\r\nb");
        QTest::newRow("LF first, lone CR kept") << QByteArray("\na\rb") << QByteArray("\r\na\rb");
        QTest::newRow("no breaks") << QByteArray("abc") << QByteArray("abc");
    }
    void pastedLineBreaks()
    {
        QFETCH(QByteArray, pasted);
        QFETCH(QByteArray, stored);
        QCOMPARE(WithCrLfLineBreaks(pasted), stored);
    }

    void utf8Prefix_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("maxBytes");
        QTest::addColumn<QByteArray>("expected");
        const QByteArray text("a\xc3\xa9\xf0\x9f\x99\x82z"); // a, two-byte e acute, four-byte smiley, z
        QTest::newRow("before a character") << text << 1 << QByteArray("a");
        QTest::newRow("inside a two-byte character") << text << 2 << QByteArray("a");
        QTest::newRow("inside a four-byte character") << text << 6 << QByteArray("a\xc3\xa9");
        QTest::newRow("after a four-byte character") << text << 7 << text.left(7);
        QTest::newRow("no limit") << text << -1 << text;
        QTest::newRow("more than there is") << text << 100 << text;
    }
    void utf8Prefix()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, maxBytes);
        QFETCH(QByteArray, expected);
        QCOMPARE(Utf8Prefix(text, maxBytes), expected);
    }
    void memoEditorConversions()
    {
        QFETCH(QByteArray, stored);
        QFETCH(QString, editor);
        QFETCH(bool, toEditor);
        QFETCH(bool, toMemo);
        if (toEditor)
            QCOMPARE(MemoTextToEditor(stored), editor);
        if (toMemo)
            QCOMPARE(EditorTextToMemo(editor), stored);
        if (toEditor && toMemo) {
            QCOMPARE(EditorTextToMemo(MemoTextToEditor(stored)), stored);
            QCOMPARE(MemoTextToEditor(EditorTextToMemo(editor)), editor);
        }
    }

    // --- general error handler -----------------------------------------------------------

    void decorate_data()
    {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("expected");
        QTest::newRow("letter gets a full stop") << "File not found"
                                                 << "File not found.";
        QTest::newRow("digit gets a full stop") << "Error 42"
                                                << "Error 42.";
        QTest::newRow("full stop stays single") << "Done."
                                                << "Done.";
        QTest::newRow("closing parenthesis sorts before") << "failed (disk)"
                                                          << "failed (disk)";
        QTest::newRow("exclamation mark sorts before") << "Stop!"
                                                       << "Stop!";
        QTest::newRow("comma sorts before") << "a,"
                                            << "a,";
        QTest::newRow("hyphen sorts before") << "a-"
                                             << "a-";
        QTest::newRow("blank sorts before") << "trailing "
                                            << "trailing ";
        QTest::newRow("slash sorts after") << "/home/user/"
                                           << "/home/user/.";
        QTest::newRow("question mark sorts after") << "Why?"
                                                   << "Why?.";
        QTest::newRow("colon sorts after") << "reason:"
                                           << "reason:.";
        QTest::newRow("non-ASCII letter sorts after")
            << QString::fromUtf8("caf\xc3\xa9") << QString::fromUtf8("caf\xc3\xa9.");
        QTest::newRow("empty stays empty") << ""
                                           << "";
    }
    void decorate()
    {
        QFETCH(QString, message);
        QFETCH(QString, expected);
        QCOMPARE(GeneralErrorHandler::decorate(message), expected);
    }

    void reportShowsTitleCaptionAndErrorIcon_data()
    {
        QTest::addColumn<int>("source");
        QTest::addColumn<QString>("text");
        QTest::newRow("message") << 0 << "Unable to write to /tmp/x/qzConf.ini.";
        QTest::newRow("program error") << 1 << "no such table: memos.";
        QTest::newRow("other exception") << 2 << "bad thing.";
        QTest::newRow("guarded step throwing our error") << 3 << "database is locked.";
        QTest::newRow("guarded step throwing something else") << 4 << "Unknown error.";
    }
    void reportShowsTitleCaptionAndErrorIcon()
    {
        QFETCH(int, source);
        QFETCH(QString, text);
        ScriptedBoxes boxes;
        switch (source) {
        case 0:
            GeneralErrorHandler::report(QStringLiteral("Unable to write to /tmp/x/qzConf.ini"));
            break;
        case 1:
            GeneralErrorHandler::report(JotterlyError(QStringLiteral("no such table: memos")));
            break;
        case 2:
            GeneralErrorHandler::report(std::runtime_error("bad thing"));
            break;
        case 3:
            GeneralErrorHandler::guarded([] { throw JotterlyError(QStringLiteral("database is locked")); });
            break;
        case 4:
            GeneralErrorHandler::guarded([] { throw 42; });
            break;
        }
        QCOMPARE(boxes.shown.size(), size_t(1));
        QCOMPARE(boxes.shown[0].caption, QStringLiteral("Brivel Jotterly Lite"));
        QCOMPARE(GeneralErrorHandler::applicationTitle(), QStringLiteral("Brivel Jotterly Lite"));
        QCOMPARE(boxes.shown[0].text, text);
        QCOMPARE(boxes.shown[0].icon, Boxes::Icon::Error);
        QCOMPARE(boxes.shown[0].buttons, Boxes::Ok);
    }

    void guardedStepWithoutErrorShowsNothing()
    {
        ScriptedBoxes boxes;
        bool ran = false;
        GeneralErrorHandler::guarded([&ran] { ran = true; });
        QVERIFY(ran);
        QVERIFY(boxes.shown.empty());
    }

    // --- message boxes -------------------------------------------------------------------

    void askBox_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("expected");
        QTest::newRow("OK means yes") << int(Boxes::IdOk) << true;
        QTest::newRow("Cancel means no") << int(Boxes::IdCancel) << false;
        QTest::newRow("a box closed without a button means no") << 0 << false;
        QTest::newRow("any other button means no") << 7 << false;
        QTest::newRow("a failed box means no") << -1 << false;
    }
    void askBox()
    {
        QFETCH(int, answer);
        QFETCH(bool, expected);
        ScriptedBoxes boxes(answer);
        QCOMPARE(AskBox(QStringLiteral("Delete the selected memos?")), expected);
        QCOMPARE(boxes.shown.size(), size_t(1));
        QCOMPARE(boxes.shown[0].caption, QStringLiteral("Ask"));
        QCOMPARE(boxes.shown[0].text, QStringLiteral("Delete the selected memos?"));
        QCOMPARE(boxes.shown[0].buttons, Boxes::OkCancel);
        QCOMPARE(boxes.shown[0].icon, Boxes::Icon::None);
    }

    void tellingBoxes_data()
    {
        QTest::addColumn<int>("helper");
        QTest::addColumn<QString>("caption");
        QTest::newRow("ErrorBox") << 0 << "Error";
        QTest::newRow("WarningBox") << 1 << "Warning";
        QTest::newRow("TipBox") << 2 << "Tip";
    }
    void tellingBoxes()
    {
        QFETCH(int, helper);
        QFETCH(QString, caption);
        ScriptedBoxes boxes(Boxes::IdCancel);
        const QString text = QStringLiteral("File write failure!");
        if (helper == 0)
            ErrorBox(text);
        else if (helper == 1)
            WarningBox(text);
        else
            TipBox(text);
        QCOMPARE(boxes.shown.size(), size_t(1));
        QCOMPARE(boxes.shown[0].caption, caption);
        QCOMPARE(boxes.shown[0].text, text); // shown as given: no full stop added
        QCOMPARE(boxes.shown[0].buttons, Boxes::Ok);
        QCOMPARE(boxes.shown[0].icon, Boxes::Icon::None);
    }

    void withoutPresenterNothingDestructiveHappens()
    {
        Boxes::Presenter previous = Boxes::setPresenter(nullptr);
        QTest::ignoreMessage(QtWarningMsg, "Ask: Delete the selected memos?");
        QCOMPARE(AskBox(QStringLiteral("Delete the selected memos?")), false);
        QTest::ignoreMessage(QtWarningMsg, "Error: File read failure!");
        ErrorBox(QStringLiteral("File read failure!"));
        QTest::ignoreMessage(QtWarningMsg, "Brivel Jotterly Lite: database is locked.");
        GeneralErrorHandler::report(QStringLiteral("database is locked"));
        Boxes::setPresenter(std::move(previous));
    }

    void setPresenterHandsBackThePreviousOne()
    {
        ScriptedBoxes outer(Boxes::IdOk);
        {
            ScriptedBoxes inner(Boxes::IdCancel);
            QCOMPARE(AskBox(QStringLiteral("inner")), false);
            QCOMPARE(inner.shown.size(), size_t(1));
        }
        QCOMPARE(AskBox(QStringLiteral("outer")), true);
        QCOMPARE(outer.shown.size(), size_t(1));
        QCOMPARE(outer.shown[0].text, QStringLiteral("outer"));
    }

    // --- memo text order -----------------------------------------------------------------

    void compareMemoTexts_data()
    {
        QTest::addColumn<QByteArray>("a");
        QTest::addColumn<QByteArray>("b");
        QTest::addColumn<int>("expected"); // sign
        QTest::newRow("a to z folded: apple equals APPLE") << QByteArray("apple") << QByteArray("APPLE") << 0;
        QTest::newRow("b equals B") << QByteArray("b") << QByteArray("B") << 0;
        QTest::newRow("mixed case compares letters, not case") << QByteArray("apple") << QByteArray("Banana") << -1;
        QTest::newRow("upper before lower only by letter") << QByteArray("Zebra") << QByteArray("apple") << 1;
        QTest::newRow("underscore after every letter") << QByteArray("_") << QByteArray("z") << 1;
        QTest::newRow("underscore after upper-case letters too") << QByteArray("_") << QByteArray("Z") << 1;
        QTest::newRow("bracket between Z and a sorts after letters") << QByteArray("[") << QByteArray("a") << 1;
        QTest::newRow("only a to z fold: { is not [") << QByteArray("[") << QByteArray("{") << -1;
        QTest::newRow("digits before letters") << QByteArray("9 lives") << QByteArray("a") << -1;
        QTest::newRow("blank before everything printable") << QByteArray(" x") << QByteArray("!x") << -1;
        QTest::newRow("prefix is smaller") << QByteArray("abc") << QByteArray("abcd") << -1;
        QTest::newRow("prefix ignoring case is smaller") << QByteArray("ABC") << QByteArray("abcd") << -1;
        QTest::newRow("empty is smallest") << QByteArray("") << QByteArray("\x01") << -1;
        QTest::newRow("empty equals empty") << QByteArray("") << QByteArray("") << 0;
        QTest::newRow("UTF-8 bytes compare by value, after ASCII")
            << QByteArray("\xc3\xa9t\xc3\xa9") << QByteArray("zoo") << 1;
        QTest::newRow("no folding beyond a to z")
            << QByteArray("\xc3\xa9") << QByteArray("\xc3\x89") << 1; // e acute after E acute by byte
        QTest::newRow("bytes above 127 are unsigned") << QByteArray("\x80") << QByteArray("\x7f") << 1;
        QTest::newRow("first difference decides over length") << QByteArray("b") << QByteArray("abcdef") << 1;
        QTest::newRow("line breaks compare as bytes") << QByteArray("a\r\nb") << QByteArray("a b") << -1;
    }
    void compareMemoTexts()
    {
        QFETCH(QByteArray, a);
        QFETCH(QByteArray, b);
        QFETCH(int, expected);
        QCOMPARE(sign(CompareMemoTexts(a, b)), expected);
        QCOMPARE(sign(CompareMemoTexts(b, a)), -expected);
    }
};

QTEST_GUILESS_MAIN(TestAppHelpers)
#include "tst_apphelpers.moc"
