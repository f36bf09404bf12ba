// How the memo tree looks: row texts and fonts, row heights, backgrounds, images, the
// unfolding of a hovered row in list view, the tip panel and the status bar texts.
#include "ImageLists.h"
#include "MemoFrameFixture.h"
#include "PictureToolBar.h"
#include "TQzStatusBar.h"
#include "TipLabel.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QSet>
#include <QToolBar>

namespace {

const QByteArray kEmpty = "";
const QByteArray kAlpha = "alpha x\r\nline two\r\nline three"; // three lines
const QByteArray kBeta = "beta";
const QByteArray kBetaOne = "b one";
const QByteArray kBetaTwo = "b two\r\nmore";
const QByteArray kGamma = "gamma x";

// Sorted ascending after the start: "", alpha, beta (b one, b two), gamma.
void seedMemos(MemoFrameFixture &f)
{
    f.addRow("{G}", "root", kGamma);
    f.addRow("{B}", "root", kBeta, true);
    f.addRow("{B2}", "{B}", kBetaTwo);
    f.addRow("{B1}", "{B}", kBetaOne);
    f.addRow("{A}", "root", kAlpha);
    f.addRow("{E}", "root", kEmpty);
}

// Moves the pointer to a point of the tree, as the user resting on a row or on blank
// area does.
void hover(MemoFrameFixture &f, const QPoint &pos)
{
    QWidget *viewport = f.view()->viewport();
    // A move to where the pointer already is raises no event, so step aside first.
    if (QCursor::pos() == viewport->mapToGlobal(pos))
        QTest::mouseMove(viewport, pos + QPoint(1, 0));
    QTest::mouseMove(viewport, pos);
}

// Rests the pointer on a row in list view until the hover delay unfolds it.
void unfold(MemoFrameFixture &f, OutlineNode *node)
{
    QVERIFY(f.frame->Action_ViewList->isChecked());
    hover(f, rowCenter(f, node));
    QCOMPARE(f.view()->hotNode(), node);
    QTRY_COMPARE(f.frame->unfoldedMemo(), node);
}

int rowHeight(MemoFrameFixture &f, OutlineNode *node)
{
    return f.view()->nodeRect(node).height();
}

void openEditOn(MemoFrameFixture &f, OutlineNode *node)
{
    f.selectOnly(node);
    f.frame->Action_MemoEditExecute();
    f.settle();
    QVERIFY(f.editor());
    QCOMPARE(f.frame->memoBeingEdited(), node);
}

// Typing into the search box, as the user filters.
void searchFor(MemoFrameFixture &f, const QString &text)
{
    f.typeSearch(text);
    QVERIFY(f.searchBar()->isSearching());
}

// The picture a label shows, comparable pixel by pixel.
QImage shownPicture(const QLabel *label)
{
    return label->pixmap().toImage().convertToFormat(QImage::Format_ARGB32);
}

QImage solid(const QColor &color)
{
    QImage image(6, 6, QImage::Format_RGB32);
    image.fill(color);
    return image;
}

const QColor kGroupColor(200, 40, 40);
const QColor kItem0Color(40, 200, 40);
const QColor kItem1Color(40, 40, 200);
const QColor kUntouched(1, 2, 3);

} // namespace

class TstMemoPaint : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void rowTexts_data();
    void rowTexts();
    void placeholderFont_data();
    void placeholderFont();
    void measureRules_data();
    void measureRules();
    void measuredRowHeights_data();
    void measuredRowHeights();
    void backgrounds_data();
    void backgrounds();
    void filteredOddMemoLeavesEqualNeighbours();
    void nodeImages();
    void hoverUnfoldsInListViewOnly();
    void hoverMovesTheUnfoldedRow();
    void tipModes_data();
    void tipModes();
    void emptyTreeInvitesAdding_data();
    void emptyTreeInvitesAdding();
    void tipClicks_data();
    void tipClicks();
    void statusShowsCreationTime_data();
    void statusShowsCreationTime();
    void statusHintWhenNothingSelected();
};

// Every test starts with the pointer away from the window, so that no row is hot before
// the test moves the pointer itself.
void TstMemoPaint::init()
{
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    QCursor::setPos(screen.bottomRight());
    QCoreApplication::processEvents();
}

// ---------------------------------------------------------------------------------------
// Row texts

void TstMemoPaint::rowTexts_data()
{
    QTest::addColumn<bool>("listView");
    QTest::addColumn<QByteArray>("memo");
    QTest::addColumn<QString>("state"); // "", "unfolded", "editing", "filtered"
    QTest::addColumn<QString>("text");

    QTest::newRow("tree view: raw text with its line breaks") << false << kAlpha << "" << QString::fromUtf8(kAlpha);
    QTest::newRow("tree view: sub-memo unnumbered") << false << kBetaTwo << "" << QString::fromUtf8(kBetaTwo);
    QTest::newRow("tree view: empty memo shows the placeholder") << false << kEmpty << ""
                                                                 << "Input content here";
    QTest::newRow("tree view: editing an empty memo starts empty") << false << kEmpty << "editing"
                                                                   << "";

    QTest::newRow("list view: top-level numbered, CR LF flattened to two blanks") << true << kAlpha << ""
                                                                                  << "2. alpha x  line two  line three";
    QTest::newRow("list view: number counts the empty memo before it") << true << kBeta << ""
                                                                       << "3. beta";
    QTest::newRow("list view: sub-memo numbered in parentheses") << true << kBetaTwo << ""
                                                                 << "(2) b two  more";
    QTest::newRow("list view: first sub-memo") << true << kBetaOne << ""
                                               << "(1) b one";
    QTest::newRow("list view: placeholder carries no number") << true << kEmpty << ""
                                                              << "Input content here";
    QTest::newRow("list view: unfolded row keeps its line breaks") << true << kAlpha << "unfolded"
                                                                   << "2. alpha x\r\nline two\r\nline three";
    QTest::newRow("list view: editing row gets the raw text, no number")
        << true << kAlpha << "editing" << QString::fromUtf8(kAlpha);
    QTest::newRow("list view: editing an empty memo starts empty") << true << kEmpty << "editing"
                                                                   << "";
    QTest::newRow("list view: hidden siblings keep their numbers (gap)") << true << kGamma << "filtered"
                                                                         << "4. gamma x";
    QTest::newRow("list view: filtered first shown memo keeps number 2") << true << kAlpha << "filtered"
                                                                         << "2. alpha x  line two  line three";
}

void TstMemoPaint::rowTexts()
{
    QFETCH(bool, listView);
    QFETCH(QByteArray, memo);
    QFETCH(QString, state);
    QFETCH(QString, text);

    MemoFrameFixture f;
    seedMemos(f);
    f.start();
    if (listView)
        f.frame->Action_ViewList->trigger();
    QCOMPARE(f.frame->Action_ViewList->isChecked(), listView);
    OutlineNode *node = f.findNode(memo);
    QVERIFY(node);
    if (state == QLatin1String("unfolded")) {
        unfold(f, node);
    } else if (state == QLatin1String("editing")) {
        openEditOn(f, node);
        // The editor takes its initial text from the row text, with LF breaks.
        QCOMPARE(f.editor()->toPlainText(), QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    } else if (state == QLatin1String("filtered")) {
        searchFor(f, QStringLiteral("x")); // leaves alpha and gamma
        QVERIFY(!f.findNode(kBeta)->isVisible());
        QVERIFY(!f.findNode(kEmpty)->isVisible());
        QVERIFY(node->isVisible());
    }
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(f.shownText(node), text);
}

void TstMemoPaint::placeholderFont_data()
{
    QTest::addColumn<bool>("listView");
    QTest::addColumn<QByteArray>("memo");
    QTest::addColumn<bool>("editing");
    QTest::addColumn<bool>("placeholder");

    QTest::newRow("empty memo: grey italic") << false << kEmpty << false << true;
    QTest::newRow("empty memo in list view: grey italic") << true << kEmpty << false << true;
    QTest::newRow("empty memo being edited: tree font") << false << kEmpty << true << false;
    QTest::newRow("memo with text: tree font") << false << kBeta << false << false;
    QTest::newRow("memo with text in list view: tree font") << true << kBeta << false << false;
}

void TstMemoPaint::placeholderFont()
{
    QFETCH(bool, listView);
    QFETCH(QByteArray, memo);
    QFETCH(bool, editing);
    QFETCH(bool, placeholder);

    MemoFrameFixture f;
    seedMemos(f);
    f.start();
    if (listView)
        f.frame->Action_ViewList->trigger();
    OutlineNode *node = f.findNode(memo);
    if (editing)
        openEditOn(f, node);

    const QFont treeFont = f.view()->font();
    QVERIFY(!treeFont.italic());
    QFont font = treeFont;
    QColor color = kUntouched;
    f.view()->OnPaintText(node, font, color);
    if (placeholder) {
        QCOMPARE(color, QApplication::palette().color(QPalette::PlaceholderText));
        QVERIFY(color != QApplication::palette().color(QPalette::Text));
        QVERIFY(font.italic());
    } else {
        QCOMPARE(color, kUntouched);
        QCOMPARE(font, treeFont);
    }
}

// ---------------------------------------------------------------------------------------
// Row heights

void TstMemoPaint::measureRules_data()
{
    // The height handed in is the view's wrapped text height + 4.
    QTest::addColumn<bool>("listView");
    QTest::addColumn<QString>("state");    // "", "unfolded", "editing"
    QTest::addColumn<int>("given");        // in lines, or -1 for 5000 pixels
    QTest::addColumn<QString>("expected"); // "line", "given", "editMin", "editMax"

    QTest::newRow("list view: tall text becomes one line") << true << "" << -1 << "line";
    QTest::newRow("list view: short text one line") << true << "" << 0 << "line";
    QTest::newRow("list view: unfolded keeps the wrapped height") << true << "unfolded" << -1 << "given";
    QTest::newRow("tree view: no upper bound") << false << "" << -1 << "given";
    QTest::newRow("tree view: at least one line") << false << "" << 0 << "line";
    QTest::newRow("editing: at least four lines") << false << "editing" << 1 << "editMin";
    QTest::newRow("editing: at most the tree minus one line") << false << "editing" << -1 << "editMax";
    QTest::newRow("list view editing: at least four lines") << true << "editing" << 1 << "editMin";
    QTest::newRow("list view editing: at most the tree minus one line") << true << "editing" << -1 << "editMax";
}

void TstMemoPaint::measureRules()
{
    QFETCH(bool, listView);
    QFETCH(QString, state);
    QFETCH(int, given);
    QFETCH(QString, expected);

    MemoFrameFixture f;
    seedMemos(f);
    f.start();
    if (listView)
        f.frame->Action_ViewList->trigger();
    OutlineNode *node = f.findNode(kBeta);
    if (state == QLatin1String("unfolded"))
        unfold(f, node);
    else if (state == QLatin1String("editing"))
        openEditOn(f, node);
    if (QTest::currentTestFailed())
        return;

    const int line = f.view()->lineHeight();
    QVERIFY(line > 0);
    const int handedIn = given < 0 ? 5000 : given * line + 4;
    int height = handedIn;
    f.view()->OnMeasureItem(node, height);
    const int treeHeight = f.view()->height();
    QVERIFY(treeHeight - line > 4 * line + 4); // the window leaves room for both bounds
    if (expected == QLatin1String("line"))
        QCOMPARE(height, line + 4);
    else if (expected == QLatin1String("given"))
        QCOMPARE(height, handedIn);
    else if (expected == QLatin1String("editMin"))
        QCOMPARE(height, 4 * line + 4);
    else
        QCOMPARE(height, treeHeight - line);

    int untouched = 77;
    f.view()->OnMeasureItem(nullptr, untouched);
    QCOMPARE(untouched, 77);
}

void TstMemoPaint::measuredRowHeights_data()
{
    QTest::addColumn<bool>("listView");
    QTest::addColumn<QString>("content");  // "three", "long", "short", "huge"
    QTest::addColumn<QString>("state");    // "", "unfolded", "editing"
    QTest::addColumn<QString>("expected"); // "line", "threeLines", "wrapped", "editMin", "editMax"

    QTest::newRow("list view: three lines shown on one") << true << "three"
                                                         << ""
                                                         << "line";
    QTest::newRow("list view: long text shown on one line") << true << "long"
                                                            << ""
                                                            << "line";
    QTest::newRow("list view: unfolded row grows to its lines") << true << "three"
                                                                << "unfolded"
                                                                << "threeLines";
    QTest::newRow("list view: unfolded long text wraps") << true << "long"
                                                         << "unfolded"
                                                         << "wrapped";
    QTest::newRow("tree view: three lines") << false << "three"
                                            << ""
                                            << "threeLines";
    QTest::newRow("tree view: long text wraps to the column") << false << "long"
                                                              << ""
                                                              << "wrapped";
    QTest::newRow("tree view: one line") << false << "short"
                                         << ""
                                         << "line";
    QTest::newRow("editing a short memo: four lines") << false << "short"
                                                      << "editing"
                                                      << "editMin";
    QTest::newRow("list view: editing a short memo: four lines") << true << "short"
                                                                 << "editing"
                                                                 << "editMin";
    QTest::newRow("editing a very long memo: tree minus one line") << false << "huge"
                                                                   << "editing"
                                                                   << "editMax";
    QTest::newRow("list view: editing a very long memo: tree minus one line") << true << "huge"
                                                                              << "editing"
                                                                              << "editMax";
}

void TstMemoPaint::measuredRowHeights()
{
    QFETCH(bool, listView);
    QFETCH(QString, content);
    QFETCH(QString, state);
    QFETCH(QString, expected);

    QByteArray text = "short";
    if (content == QLatin1String("three"))
        text = "one\r\ntwo\r\nthree";
    else if (content == QLatin1String("long"))
        text = QByteArray("word ").repeated(120).trimmed();
    else if (content == QLatin1String("huge"))
        text = QByteArray("a line\r\n").repeated(300) + "end";

    MemoFrameFixture f;
    f.addRow("{A}", "root", text);
    f.addRow("{Z}", "root", "zulu");
    f.start();
    if (listView)
        f.frame->Action_ViewList->trigger();
    OutlineNode *node = f.findNode(text);
    if (state == QLatin1String("unfolded"))
        unfold(f, node); // the row is measured again as it unfolds
    else if (state == QLatin1String("editing"))
        openEditOn(f, node);
    if (QTest::currentTestFailed())
        return;

    const int line = f.view()->lineHeight();
    const int height = rowHeight(f, node);
    if (expected == QLatin1String("line"))
        QCOMPARE(height, line + 4);
    else if (expected == QLatin1String("threeLines"))
        QVERIFY2(height >= 3 * line + 4, qPrintable(QString::number(height)));
    else if (expected == QLatin1String("wrapped"))
        QVERIFY2(height >= 3 * line + 4, qPrintable(QString::number(height))); // 120 words never fit 2 lines
    else if (expected == QLatin1String("editMin"))
        QCOMPARE(height, 4 * line + 4);
    else
        QCOMPARE(height, f.view()->height() - line);
    // The other row keeps its single line either way (below the view when the edited row fills it).
    if (expected != QLatin1String("editMax"))
        QCOMPARE(rowHeight(f, f.findNode("zulu")), line + 4);
}

// ---------------------------------------------------------------------------------------
// Backgrounds and images

void TstMemoPaint::backgrounds_data()
{
    QTest::addColumn<QByteArray>("memo");
    QTest::addColumn<bool>("hovered");
    QTest::addColumn<bool>("editing");
    QTest::addColumn<QString>("expected"); // "item0", "item1", "group", "tooltip", "none"

    QTest::newRow("top-level at index 0") << kEmpty << false << false << "item0";
    QTest::newRow("top-level at index 1") << kAlpha << false << false << "item1";
    QTest::newRow("top-level at index 2") << kBeta << false << false << "item0";
    QTest::newRow("top-level at index 3") << kGamma << false << false << "item1";
    QTest::newRow("sub-memo at an even index") << kBetaOne << false << false << "group";
    QTest::newRow("sub-memo at an odd index is not item1") << kBetaTwo << false << false << "group";
    QTest::newRow("hot top-level memo") << kAlpha << true << false << "tooltip";
    QTest::newRow("hot sub-memo") << kBetaOne << true << false << "tooltip";
    QTest::newRow("editing memo: nothing painted") << kBeta << false << true << "none";
    QTest::newRow("editing memo under the mouse: nothing painted") << kGamma << true << true << "none";
}

void TstMemoPaint::backgrounds()
{
    QFETCH(QByteArray, memo);
    QFETCH(bool, hovered);
    QFETCH(bool, editing);
    QFETCH(QString, expected);

    MemoFrameFixture f;
    f.pictures.group = solid(kGroupColor);
    f.pictures.item0 = solid(kItem0Color);
    f.pictures.item1 = solid(kItem1Color);
    seedMemos(f);
    f.start();
    OutlineNode *node = f.findNode(memo);
    if (editing)
        openEditOn(f, node);
    if (hovered) {
        // Left of the text, where an open editor leaves the row itself under the pointer.
        hover(f, QPoint(2, rowCenter(f, node).y()));
        QCOMPARE(f.view()->hotNode(), node);
    } else {
        QVERIFY(f.view()->hotNode() != node);
    }

    QImage canvas(120, 24, QImage::Format_RGB32);
    canvas.fill(kUntouched);
    {
        QPainter painter(&canvas);
        f.view()->OnBeforeCellPaint(&painter, node, canvas.rect());
    }
    QColor wanted = kUntouched;
    if (expected == QLatin1String("item0"))
        wanted = kItem0Color;
    else if (expected == QLatin1String("item1"))
        wanted = kItem1Color;
    else if (expected == QLatin1String("group"))
        wanted = kGroupColor;
    else if (expected == QLatin1String("tooltip"))
        wanted = QApplication::palette().color(QPalette::ToolTipBase);
    QCOMPARE(canvas.pixelColor(60, 12), wanted);
    QCOMPARE(canvas.pixelColor(2, 2), wanted); // the whole cell, not just its middle

    QImage untouched(10, 10, QImage::Format_RGB32);
    untouched.fill(kUntouched);
    {
        QPainter painter(&untouched);
        f.view()->OnBeforeCellPaint(&painter, nullptr, untouched.rect());
    }
    QCOMPARE(untouched.pixelColor(5, 5), kUntouched);
}

void TstMemoPaint::filteredOddMemoLeavesEqualNeighbours()
{
    MemoFrameFixture f;
    f.pictures.group = solid(kGroupColor);
    f.pictures.item0 = solid(kItem0Color);
    f.pictures.item1 = solid(kItem1Color);
    f.addRow("{A}", "root", "a x");
    f.addRow("{B}", "root", "b");
    f.addRow("{C}", "root", "c x");
    f.start();
    f.frame->Action_ViewList->trigger();
    searchFor(f, QStringLiteral("x"));
    OutlineNode *a = f.findNode("a x");
    OutlineNode *c = f.findNode("c x");
    QCOMPARE(f.view()->shownRowCount(), 2);
    QCOMPARE(f.view()->shownRow(1), c); // adjacent on screen
    QCOMPARE(f.shownText(c), QStringLiteral("3. c x"));

    // What the view really paints, sampled at the right end of each row.
    const QImage shot = f.view()->viewport()->grab().toImage();
    const int x = shot.width() - 4;
    QCOMPARE(shot.pixelColor(x, rowCenter(f, a).y()), kItem0Color);
    QCOMPARE(shot.pixelColor(x, rowCenter(f, c).y()), kItem0Color);
}

void TstMemoPaint::nodeImages()
{
    MemoFrameFixture f;
    seedMemos(f);
    f.start();
    for (const QByteArray &memo : {kAlpha, kBeta, kEmpty})
        QCOMPARE(f.view()->OnGetImageIndex(f.findNode(memo)), 0);
    for (const QByteArray &memo : {kBetaOne, kBetaTwo})
        QCOMPARE(f.view()->OnGetImageIndex(f.findNode(memo)), 21);
    QVERIFY(!ImageLists::icon16(0).isNull());
    QVERIFY(!ImageLists::icon16(21).isNull());
}

// ---------------------------------------------------------------------------------------
// Unfolding a hovered row in list view

void TstMemoPaint::hoverUnfoldsInListViewOnly()
{
    MemoFrameFixture f;
    seedMemos(f);
    f.start();
    OutlineNode *alpha = f.findNode(kAlpha);
    const int line = f.view()->lineHeight();
    QTimer *delay = f.hoverTimer();

    // Tree view: hovering starts nothing, however long the pointer rests.
    hover(f, rowCenter(f, alpha));
    QCOMPARE(f.view()->hotNode(), alpha);
    QVERIFY(!delay->isActive());
    QTest::qWait(2 * delay->interval());
    QVERIFY(!f.frame->unfoldedMemo());
    hover(f, blankBelowRows(f));

    f.frame->Action_ViewList->trigger();
    QCOMPARE(rowHeight(f, alpha), line + 4);
    hover(f, rowCenter(f, alpha));
    QVERIFY(delay->isActive());
    QVERIFY(!f.frame->unfoldedMemo()); // not before the delay
    // The real timer unfolds the row after the pointer rests on it.
    QTRY_COMPARE(f.frame->unfoldedMemo(), alpha);
    QVERIFY(!delay->isActive());
    QVERIFY(rowHeight(f, alpha) >= 3 * line + 4);
    QCOMPARE(f.shownText(alpha), QStringLiteral("2. alpha x\r\nline two\r\nline three"));
}

void TstMemoPaint::hoverMovesTheUnfoldedRow()
{
    MemoFrameFixture f;
    seedMemos(f);
    f.start();
    f.frame->Action_ViewList->trigger();
    const int line = f.view()->lineHeight();
    OutlineNode *alpha = f.findNode(kAlpha);
    OutlineNode *betaTwo = f.findNode(kBetaTwo);
    QTimer *delay = f.hoverTimer();

    unfold(f, alpha);
    if (QTest::currentTestFailed())
        return;

    // Hovering another row folds the first back once that one unfolds.
    hover(f, rowCenter(f, betaTwo));
    QVERIFY(delay->isActive());
    QCOMPARE(f.frame->unfoldedMemo(), alpha);
    QTRY_COMPARE(f.frame->unfoldedMemo(), betaTwo);
    QVERIFY(!delay->isActive());
    QCOMPARE(rowHeight(f, alpha), line + 4);
    QVERIFY(rowHeight(f, betaTwo) >= 2 * line + 4);
    QCOMPARE(f.shownText(alpha), QStringLiteral("2. alpha x  line two  line three"));

    // Moving onto blank area only stops the timer: the row stays unfolded.
    hover(f, rowCenter(f, f.findNode(kGamma)));
    QVERIFY(delay->isActive());
    hover(f, blankBelowRows(f));
    QVERIFY(!f.view()->hotNode());
    QVERIFY(!delay->isActive());
    QCOMPARE(f.frame->unfoldedMemo(), betaTwo);
    QTest::qWait(2 * delay->interval());
    QCOMPARE(f.frame->unfoldedMemo(), betaTwo);

    // The search filter folds it.
    searchFor(f, QStringLiteral("two"));
    QVERIFY(betaTwo->isVisible());
    QVERIFY(!f.frame->unfoldedMemo());
    QCOMPARE(rowHeight(f, betaTwo), line + 4);
    QCOMPARE(f.shownText(betaTwo), QStringLiteral("(2) b two  more"));
}

// ---------------------------------------------------------------------------------------
// Tip panel

void TstMemoPaint::tipModes_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("image");
    QTest::newRow("editing") << 1 << "Click here to finish Edit. Press Esc cancel." << 14;
    QTest::newRow("add") << 2 << "Click here to Add a new Item." << 13;
    QTest::newRow("no search result") << 3 << "Search no result" << 17;
    QTest::newRow("hidden") << 0 << "" << -1;
}

void TstMemoPaint::tipModes()
{
    QFETCH(int, mode);
    QFETCH(QString, text);
    QFETCH(int, image);

    MemoFrameFixture f;
    f.addRow("{A}", "root", "a");
    f.start();
    TipPanel *tip = f.tip();
    const QLabel *label = f.part<QLabel>("label_tip");
    tip->showTip(mode == 0 ? 3 : 0); // from the other state
    tip->showTip(mode);
    f.settle();
    QCOMPARE(tip->tipMode(), mode);
    QCOMPARE(label->text(), text);
    QCOMPARE(tip->isVisible(), mode != 0);
    if (mode == 0)
        return;
    QCOMPARE(tip->imageIndex(), image);
    QVERIFY(!ImageLists::icon16(image).isNull());
    const QLabel *picture = f.part<QLabel>("Image_Tip");
    QVERIFY(!picture->pixmap().isNull());
    QCOMPARE(shownPicture(picture),
             ImageLists::icon16(image).pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32));
    // Docked between the tree and the search bar.
    const QRect panel = tip->geometry();
    QVERIFY(panel.top() >= f.view()->geometry().bottom());
    QVERIFY(panel.bottom() <= f.searchBar()->geometry().top());
    // Tall enough for the whole wrapped text.
    QVERIFY(label->height() >= label->heightForWidth(label->width()));
}

void TstMemoPaint::emptyTreeInvitesAdding_data()
{
    QTest::addColumn<QString>("way");
    QTest::addColumn<int>("mode"); // the tip shown afterwards

    QTest::newRow("no memos at the start") << "start" << 2;
    QTest::newRow("the last memo deleted") << "deleteLast" << 2;
    QTest::newRow("a new memo on the empty tree cancelled") << "cancelNew" << 2;
    QTest::newRow("a new memo on the empty tree committed without text") << "commitEmpty" << 2;
    QTest::newRow("a memo left after a delete: no tip") << "deleteOne" << 0;
    QTest::newRow("memos loaded into the empty tree: no tip") << "reload" << 0;
}

void TstMemoPaint::emptyTreeInvitesAdding()
{
    QFETCH(QString, way);
    QFETCH(int, mode);

    // Every way below ends in the frame asking for the hidden tip; with no memo shown it
    // invites adding instead.
    MemoFrameFixture f;
    if (way.startsWith(QLatin1String("delete")))
        f.addRow("{A}", "root", "a");
    if (way == QLatin1String("deleteOne"))
        f.addRow("{B}", "root", "b");
    f.start();
    if (way == QLatin1String("reload")) {
        QCOMPARE(f.tip()->tipMode(), 2);
        f.addRow("{A}", "root", "a");
        f.reload();
        QCOMPARE(f.tree().visibleCount(), 1);
    } else if (way.startsWith(QLatin1String("delete"))) {
        QCOMPARE(f.tip()->tipMode(), 0);
        f.selectOnly(f.findNode("a"));
        f.frame->Action_MemoDelete->trigger();
        f.settle();
        QCOMPARE(f.boxes.size(), size_t(1));
        QCOMPARE(f.count(), way == QLatin1String("deleteOne") ? 1 : 0);
        QCOMPARE(f.tree().totalCount(), f.count());
    } else if (way != QLatin1String("start")) {
        f.frame->Action_MemoAdd->trigger();
        f.settle();
        QVERIFY(f.editor());
        QCOMPARE(f.tip()->tipMode(), 1);
        if (way == QLatin1String("cancelNew"))
            QTest::keyClick(f.editor(), Qt::Key_Escape);
        else
            QTest::keyClick(f.editor(), Qt::Key_Return, Qt::ControlModifier);
        f.settle();
        QVERIFY(!f.editor());
        QCOMPARE(f.tree().totalCount(), 0);
        QCOMPARE(f.count(), 0);
    }

    QCOMPARE(f.tip()->tipMode(), mode);
    QCOMPARE(f.tip()->isVisible(), mode != 0);
    if (mode == 0)
        return;
    QCOMPARE(f.part<QLabel>("label_tip")->text(), QStringLiteral("Click here to Add a new Item."));
    QCOMPARE(shownPicture(f.part<QLabel>("Image_Tip")),
             ImageLists::icon16(13).pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32));
}

void TstMemoPaint::tipClicks_data()
{
    QTest::addColumn<int>("mode");
    QTest::newRow("1: finishes the open edit, keeping the text") << 1;
    QTest::newRow("2: adds a memo") << 2;
    QTest::newRow("3: clears the search") << 3;
}

void TstMemoPaint::tipClicks()
{
    QFETCH(int, mode);
    MemoFrameFixture f;
    if (mode != 2) {
        f.addRow("{A}", "root", "apple");
        f.addRow("{B}", "root", "banana");
    }
    f.start();
    if (mode == 1) {
        f.frame->Action_MemoAddExecute();
        f.settle();
        QVERIFY(f.editor());
        QTest::keyClicks(f.editor(), "typed text");
    } else if (mode == 3) {
        searchFor(f, QStringLiteral("nothing like it"));
    }
    QCOMPARE(f.tip()->tipMode(), mode);
    QTest::mouseClick(f.part<QLabel>("label_tip"), Qt::LeftButton);
    f.settle();

    if (mode == 1) {
        QVERIFY(!f.editor());
        QVERIFY(!f.frame->memoBeingEdited());
        QCOMPARE(f.count(), 3);
        OutlineNode *added = f.findNode("typed text");
        QVERIFY(added);
        QCOMPARE(f.column(QString::fromLatin1(memoOf(added)->mid), "content"), QByteArray("typed text"));
        QCOMPARE(f.tip()->tipMode(), 0);
    } else if (mode == 2) {
        QVERIFY(f.editor());
        QCOMPARE(f.tree().totalCount(), 1);
        QCOMPARE(f.frame->memoBeingEdited(), f.tree().topLevelNode(0));
        QCOMPARE(f.tip()->tipMode(), 1);
    } else {
        QVERIFY(!f.searchBar()->isSearching());
        QCOMPARE(f.tree().visibleCount(), 2);
        QCOMPARE(f.tip()->tipMode(), 0);
        QVERIFY(!f.tip()->isVisible());
    }
}

// ---------------------------------------------------------------------------------------
// Status bar

void TstMemoPaint::statusShowsCreationTime_data()
{
    // The suites run in the C locale and in UTC; the time never carries a zone.
    QTest::addColumn<double>("created");
    QTest::addColumn<QString>("shown");
    QTest::newRow("noon") << 45000.5 << "15 Mar 2023 12:00:00 created";
    QTest::newRow("a quarter past six") << 45000.2604166667 << "15 Mar 2023 06:15:00 created";
    QTest::newRow("midnight shows the date only") << 45000.0 << "15 Mar 2023 created";
}

void TstMemoPaint::statusShowsCreationTime()
{
    QFETCH(double, created);
    QFETCH(QString, shown);

    MemoFrameFixture f;
    f.addRow("{A}", "root", "a", false, created);
    f.addRow("{B}", "root", "b", false, 46001.75);
    f.start();
    TQzStatusBar *bar = f.statusBar();
    QCOMPARE(bar->panelCount(), 2);
    QVERIFY(!f.statusImage()->isHidden());

    f.tree().setSelected(f.findNode("a"), true);
    QCOMPARE(bar->panelText(1), shown);
    QVERIFY(f.statusImage()->isHidden());
    QCOMPARE(bar->panelText(0), QString());
}

void TstMemoPaint::statusHintWhenNothingSelected()
{
    const QSet<QString> hints = {
        QStringLiteral("Ctrl+Enter: Finish edit."),
        QStringLiteral("Esc: Cancel edit."),
        QStringLiteral("Mouse double click blank: shortcut add."),
        QStringLiteral("Enter: add a new item."),
        QStringLiteral("Ctrl+Enter: add a new Child item."),
        QStringLiteral("Ctrl+F12: Minimize window."),
    };
    MemoFrameFixture f;
    f.addRow("{A}", "root", "a");
    f.start();
    TQzStatusBar *bar = f.statusBar();
    QVERIFY2(hints.contains(bar->panelText(1)), qPrintable(bar->panelText(1))); // after the load
    QCOMPARE(bar->panelText(0), QString());
    // A reload shows a hint, and the picture with it, even when a memo was selected.
    f.tree().setSelected(f.findNode("a"), true);
    QVERIFY(f.statusImage()->isHidden());
    f.reload();
    QVERIFY2(hints.contains(bar->panelText(1)), qPrintable(bar->panelText(1)));
    QVERIFY(!f.statusImage()->isHidden());

    QSet<QString> seen;
    for (int i = 0; i < 60; ++i) {
        f.tree().setSelected(f.findNode("a"), true);
        QVERIFY(f.statusImage()->isHidden());
        f.tree().clearSelection();
        QVERIFY(!f.statusImage()->isHidden());
        QVERIFY(f.statusImage()->isVisible());
        QVERIFY2(hints.contains(bar->panelText(1)), qPrintable(bar->panelText(1)));
        QCOMPARE(bar->panelText(0), QString());
        seen.insert(bar->panelText(1));
    }
    // Picked at random: sixty picks that all agree would mean no choice at all.
    QVERIFY(seen.size() > 1);
    // The picture sits in the first panel.
    QCOMPARE(f.statusImage()->parentWidget(), static_cast<QWidget *>(bar));
    QCOMPARE(f.statusImage()->geometry(), QRect(2, 3, 16, 16));
}

QTEST_MAIN(TstMemoPaint)
#include "tst_memopaint.moc"
