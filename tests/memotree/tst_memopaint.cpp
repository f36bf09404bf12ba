// How the memo tree looks: row texts and fonts, row heights, backgrounds, images, the
// unfolding of a hovered row in list view, the tip panel and the status bar texts.
#include "ImageLists.h"
#include "MemoFrameFixture.h"
#include "PictureToolBar.h"
#include "TQzStatusBar.h"
#include "TipLabel.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
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

// A mouse move over the tree, as the pointer resting on a row or on blank area gives.
void hover(MemoFrameFixture &f, const QPoint &pos)
{
    QWidget *viewport = f.frame->VtMemos->viewport();
    QMouseEvent move(QEvent::MouseMove, pos, viewport->mapToGlobal(pos), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(viewport, &move);
}

int rowHeight(MemoFrameFixture &f, OutlineNode *node)
{
    return f.frame->VtMemos->nodeRect(node).height();
}

void openEditOn(MemoFrameFixture &f, OutlineNode *node)
{
    f.tree().clearSelection();
    f.tree().setSelected(node, true);
    f.frame->Action_MemoEditExecute();
    f.settle();
    QVERIFY(f.editor());
    QCOMPARE(f.frame->editingNode.get(), node);
}

// Typing into the search box, as the user filters.
void searchFor(MemoFrameFixture &f, const QString &text)
{
    f.frame->Edt_Search->setFocus();
    QCoreApplication::processEvents();
    QVERIFY(f.frame->searching);
    QTest::keyClicks(f.frame->Edt_Search, text);
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
    void emptyTreeInvitesAdding();
    void tipClicks_data();
    void tipClicks();
    void statusShowsCreationTime_data();
    void statusShowsCreationTime();
    void statusHintWhenNothingSelected();
};

// ---------------------------------------------------------------------------------------
// Row texts

void TstMemoPaint::rowTexts_data()
{
    QTest::addColumn<bool>("listView");
    QTest::addColumn<QByteArray>("memo");
    QTest::addColumn<QString>("state"); // "", "unfolded", "editing", "filtered"
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("text");

    QTest::newRow("tree view: raw text with its line breaks")
        << false << kAlpha << "" << 0 << QString::fromUtf8(kAlpha);
    QTest::newRow("tree view: sub-memo unnumbered") << false << kBetaTwo << "" << 0 << QString::fromUtf8(kBetaTwo);
    QTest::newRow("tree view: empty memo shows the placeholder")
        << false << kEmpty << "" << 0 << "Input content here";
    QTest::newRow("tree view: editing an empty memo starts empty") << false << kEmpty << "editing" << 0 << "";
    QTest::newRow("other column is empty") << false << kAlpha << "" << 1 << "";
    QTest::newRow("list view: other column is empty") << true << kAlpha << "" << 1 << "";

    QTest::newRow("list view: top-level numbered, CR LF flattened to two blanks")
        << true << kAlpha << "" << 0 << "2. alpha x  line two  line three";
    QTest::newRow("list view: number counts the empty memo before it") << true << kBeta << "" << 0 << "3. beta";
    QTest::newRow("list view: sub-memo numbered in parentheses")
        << true << kBetaTwo << "" << 0 << "(2) b two  more";
    QTest::newRow("list view: first sub-memo") << true << kBetaOne << "" << 0 << "(1) b one";
    QTest::newRow("list view: placeholder carries no number") << true << kEmpty << "" << 0 << "Input content here";
    QTest::newRow("list view: unfolded row keeps its line breaks")
        << true << kAlpha << "unfolded" << 0 << "2. alpha x\r\nline two\r\nline three";
    QTest::newRow("list view: editing row gets the raw text, no number")
        << true << kAlpha << "editing" << 0 << QString::fromUtf8(kAlpha);
    QTest::newRow("list view: editing an empty memo starts empty") << true << kEmpty << "editing" << 0 << "";
    QTest::newRow("list view: hidden siblings keep their numbers (gap)")
        << true << kGamma << "filtered" << 0 << "4. gamma x";
    QTest::newRow("list view: filtered first shown memo keeps number 2")
        << true << kAlpha << "filtered" << 0 << "2. alpha x  line two  line three";
}

void TstMemoPaint::rowTexts()
{
    QFETCH(bool, listView);
    QFETCH(QByteArray, memo);
    QFETCH(QString, state);
    QFETCH(int, column);
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
        f.frame->unfoldedNode = OutlineNodeRef(node);
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
    QCOMPARE(f.frame->VtMemosGetText(node, column), text);
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

    const QFont treeFont = f.frame->VtMemos->font();
    QVERIFY(!treeFont.italic());
    QFont font = treeFont;
    QColor color = kUntouched;
    f.frame->VtMemosPaintText(node, font, color);
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
    QTest::addColumn<QString>("state"); // "", "unfolded", "editing"
    QTest::addColumn<int>("given");     // in lines, or -1 for 5000 pixels
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
        f.frame->unfoldedNode = OutlineNodeRef(node);
    else if (state == QLatin1String("editing"))
        openEditOn(f, node);

    const int line = f.frame->lineHeight();
    QVERIFY(line > 0);
    const int handedIn = given < 0 ? 5000 : given * line + 4;
    int height = handedIn;
    f.frame->VtMemosMeasureItem(node, height);
    const int treeHeight = f.frame->VtMemos->height();
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
    f.frame->VtMemosMeasureItem(nullptr, untouched);
    QCOMPARE(untouched, 77);
}

void TstMemoPaint::measuredRowHeights_data()
{
    QTest::addColumn<bool>("listView");
    QTest::addColumn<QString>("content"); // "three", "long", "short", "huge"
    QTest::addColumn<QString>("state");   // "", "unfolded", "editing"
    QTest::addColumn<QString>("expected"); // "line", "threeLines", "wrapped", "editMin", "editMax"

    QTest::newRow("list view: three lines shown on one") << true << "three" << "" << "line";
    QTest::newRow("list view: long text shown on one line") << true << "long" << "" << "line";
    QTest::newRow("list view: unfolded row grows to its lines") << true << "three" << "unfolded" << "threeLines";
    QTest::newRow("list view: unfolded long text wraps") << true << "long" << "unfolded" << "wrapped";
    QTest::newRow("tree view: three lines") << false << "three" << "" << "threeLines";
    QTest::newRow("tree view: long text wraps to the column") << false << "long" << "" << "wrapped";
    QTest::newRow("tree view: one line") << false << "short" << "" << "line";
    QTest::newRow("editing a short memo: four lines") << false << "short" << "editing" << "editMin";
    QTest::newRow("list view: editing a short memo: four lines") << true << "short" << "editing" << "editMin";
    QTest::newRow("editing a very long memo: tree minus one line") << false << "huge" << "editing" << "editMax";
    QTest::newRow("list view: editing a very long memo: tree minus one line")
        << true << "huge" << "editing" << "editMax";
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
    if (state == QLatin1String("unfolded")) {
        f.frame->unfoldedNode = OutlineNodeRef(node);
        f.frame->VtMemos->invalidateNode(node);
    } else if (state == QLatin1String("editing")) {
        openEditOn(f, node);
    }

    const int line = f.frame->lineHeight();
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
        QCOMPARE(height, f.frame->VtMemos->height() - line);
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
        hover(f, rowCenter(f, node));
        QCOMPARE(f.frame->VtMemos->hotNode(), node);
    } else {
        QVERIFY(f.frame->VtMemos->hotNode() != node);
    }

    QImage canvas(120, 24, QImage::Format_RGB32);
    canvas.fill(kUntouched);
    {
        QPainter painter(&canvas);
        f.frame->VtMemosBeforeCellPaint(&painter, node, canvas.rect());
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
        f.frame->VtMemosBeforeCellPaint(&painter, nullptr, untouched.rect());
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
    QCOMPARE(f.frame->VtMemos->shownRowCount(), 2);
    QCOMPARE(f.frame->VtMemos->shownRow(1), c); // adjacent on screen
    QCOMPARE(f.frame->VtMemosGetText(c, 0), QStringLiteral("3. c x"));

    // What the view really paints, sampled at the right end of each row.
    const QImage shot = f.frame->VtMemos->viewport()->grab().toImage();
    const int x = shot.width() - 4;
    QCOMPARE(shot.pixelColor(x, rowCenter(f, a).y()), kItem0Color);
    QCOMPARE(shot.pixelColor(x, rowCenter(f, c).y()), kItem0Color);
}

void TstMemoPaint::nodeImages()
{
    MemoFrameFixture f;
    seedMemos(f);
    f.start();
    for (const QByteArray &memo : {kAlpha, kBeta, kEmpty}) {
        QCOMPARE(f.frame->VtMemosGetImageIndex(f.findNode(memo), 0), 0);
        QCOMPARE(f.frame->VtMemosGetImageIndex(f.findNode(memo), 1), -1);
    }
    for (const QByteArray &memo : {kBetaOne, kBetaTwo}) {
        QCOMPARE(f.frame->VtMemosGetImageIndex(f.findNode(memo), 0), 21);
        QCOMPARE(f.frame->VtMemosGetImageIndex(f.findNode(memo), 1), -1);
    }
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
    const int line = f.frame->lineHeight();

    // Tree view: hovering starts nothing.
    hover(f, rowCenter(f, alpha));
    QCOMPARE(f.frame->VtMemos->hotNode(), alpha);
    QVERIFY(!f.frame->Timer_HotDelay.isActive());
    hover(f, blankBelowRows(f));

    f.frame->Action_ViewList->trigger();
    QCOMPARE(rowHeight(f, alpha), line + 4);
    hover(f, rowCenter(f, alpha));
    QVERIFY(f.frame->Timer_HotDelay.isActive());
    QVERIFY(!f.frame->unfoldedNode.get()); // not before the delay
    // The real timer unfolds the row after the pointer rests on it.
    QTRY_COMPARE(f.frame->unfoldedNode.get(), alpha);
    QVERIFY(!f.frame->Timer_HotDelay.isActive());
    QVERIFY(rowHeight(f, alpha) >= 3 * line + 4);
    QCOMPARE(f.frame->VtMemosGetText(alpha, 0), QStringLiteral("2. alpha x\r\nline two\r\nline three"));
}

void TstMemoPaint::hoverMovesTheUnfoldedRow()
{
    MemoFrameFixture f;
    seedMemos(f);
    f.start();
    f.frame->Action_ViewList->trigger();
    const int line = f.frame->lineHeight();
    OutlineNode *alpha = f.findNode(kAlpha);
    OutlineNode *betaTwo = f.findNode(kBetaTwo);

    hover(f, rowCenter(f, alpha));
    f.frame->Timer_HotDelayTimer();
    QCOMPARE(f.frame->unfoldedNode.get(), alpha);

    // Hovering another row folds the first back once that one unfolds.
    hover(f, rowCenter(f, betaTwo));
    QVERIFY(f.frame->Timer_HotDelay.isActive());
    QCOMPARE(f.frame->unfoldedNode.get(), alpha);
    f.frame->Timer_HotDelayTimer();
    QVERIFY(!f.frame->Timer_HotDelay.isActive());
    QCOMPARE(f.frame->unfoldedNode.get(), betaTwo);
    QCOMPARE(rowHeight(f, alpha), line + 4);
    QVERIFY(rowHeight(f, betaTwo) >= 2 * line + 4);
    QCOMPARE(f.frame->VtMemosGetText(alpha, 0), QStringLiteral("2. alpha x  line two  line three"));

    // Moving onto blank area only stops the timer: the row stays unfolded.
    hover(f, rowCenter(f, f.findNode(kGamma)));
    QVERIFY(f.frame->Timer_HotDelay.isActive());
    hover(f, blankBelowRows(f));
    QVERIFY(!f.frame->VtMemos->hotNode());
    QVERIFY(!f.frame->Timer_HotDelay.isActive());
    QCOMPARE(f.frame->unfoldedNode.get(), betaTwo);

    // The search filter folds it.
    f.frame->ApplySearchFilter();
    QVERIFY(!f.frame->unfoldedNode.get());
    QCOMPARE(rowHeight(f, betaTwo), line + 4);
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
    f.frame->ShowTip(mode == 0 ? 3 : 0); // from the other state
    f.frame->ShowTip(mode);
    f.settle();
    QCOMPARE(f.frame->tipMode, mode);
    QCOMPARE(f.frame->label_tip->text(), text);
    QCOMPARE(f.frame->Panel_tip->isVisible(), mode != 0);
    if (mode == 0)
        return;
    QCOMPARE(f.frame->Image_Tip->property("imageIndex").toInt(), image);
    QVERIFY(!f.frame->Image_Tip->pixmap().isNull());
    QVERIFY(!ImageLists::icon16(image).isNull());
    // Docked between the tree and the search bar.
    const QRect panel = f.frame->Panel_tip->geometry();
    QVERIFY(panel.top() >= f.frame->VtMemos->geometry().bottom());
    QVERIFY(panel.bottom() <= f.frame->ToolBar_Bottom->geometry().top());
}

void TstMemoPaint::emptyTreeInvitesAdding()
{
    MemoFrameFixture f;
    f.start();
    QCOMPARE(f.frame->tipMode, 2); // the load's filter asked for mode 0
    f.frame->ShowTip(0);
    QCOMPARE(f.frame->tipMode, 2);
    QVERIFY(f.frame->Panel_tip->isVisible());
    QCOMPARE(f.frame->label_tip->text(), QStringLiteral("Click here to Add a new Item."));
    QCOMPARE(f.frame->Image_Tip->property("imageIndex").toInt(), 13);

    // A fully filtered-out tree outside search mode invites adding as well.
    f.addRow("{A}", "root", "a");
    QCoreApplication::postEvent(f.frame, new QEvent(QEvent::Type(2024)));
    f.settle();
    QCOMPARE(f.frame->tipMode, 0);
    f.tree().setVisible(f.findNode("a"), false);
    f.frame->ShowTip(0);
    QCOMPARE(f.frame->tipMode, 2);
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
    QCOMPARE(f.frame->tipMode, mode);
    QTest::mouseClick(f.frame->label_tip, Qt::LeftButton);
    f.settle();

    if (mode == 1) {
        QVERIFY(!f.editor());
        QVERIFY(!f.frame->editingNode.get());
        QCOMPARE(f.count(), 3);
        OutlineNode *added = f.findNode("typed text");
        QVERIFY(added);
        QCOMPARE(f.column(QString::fromLatin1(memoOf(added)->mid), "content"), QByteArray("typed text"));
        QCOMPARE(f.frame->tipMode, 0);
    } else if (mode == 2) {
        QVERIFY(f.editor());
        QCOMPARE(f.tree().totalCount(), 1);
        QCOMPARE(f.frame->editingNode.get(), f.tree().topLevelNode(0));
        QCOMPARE(f.frame->tipMode, 1);
    } else {
        QVERIFY(!f.frame->searching);
        QCOMPARE(f.tree().visibleCount(), 2);
        QCOMPARE(f.frame->tipMode, 0);
        QVERIFY(!f.frame->Panel_tip->isVisible());
    }
}

// ---------------------------------------------------------------------------------------
// Status bar

void TstMemoPaint::statusShowsCreationTime_data()
{
    QTest::addColumn<double>("created");
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QTime>("time"); // null: no time part
    QTest::newRow("noon") << 45000.5 << QDate(2023, 3, 15) << QTime(12, 0);
    QTest::newRow("a quarter past six") << 45000.2604166667 << QDate(2023, 3, 15) << QTime(6, 15);
    QTest::newRow("midnight shows the date only") << 45000.0 << QDate(2023, 3, 15) << QTime();
}

void TstMemoPaint::statusShowsCreationTime()
{
    QFETCH(double, created);
    QFETCH(QDate, date);
    QFETCH(QTime, time);

    MemoFrameFixture f;
    f.addRow("{A}", "root", "a", false, created);
    f.addRow("{B}", "root", "b", false, 46001.75);
    f.start();
    TQzStatusBar *bar = f.frame->QzStatusBar1;
    QCOMPARE(bar->panelCount(), 2);
    QVERIFY(!f.frame->StatusImage->isHidden());

    f.tree().setSelected(f.findNode("a"), true);
    const QLocale locale;
    QString expected = locale.toString(date, QLocale::ShortFormat);
    if (time.isValid())
        expected += QLatin1Char(' ') + locale.toString(time, QLocale::LongFormat);
    QCOMPARE(bar->panelText(1), expected + QStringLiteral(" created"));
    QVERIFY(f.frame->StatusImage->isHidden());
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
    TQzStatusBar *bar = f.frame->QzStatusBar1;
    QVERIFY2(hints.contains(bar->panelText(1)), qPrintable(bar->panelText(1))); // after the load
    QCOMPARE(bar->panelText(0), QString());

    QSet<QString> seen;
    for (int i = 0; i < 60; ++i) {
        f.tree().setSelected(f.findNode("a"), true);
        QVERIFY(f.frame->StatusImage->isHidden());
        f.tree().clearSelection();
        QVERIFY(!f.frame->StatusImage->isHidden());
        QVERIFY(f.frame->StatusImage->isVisible());
        QVERIFY2(hints.contains(bar->panelText(1)), qPrintable(bar->panelText(1)));
        QCOMPARE(bar->panelText(0), QString());
        seen.insert(bar->panelText(1));
    }
    // Picked at random: sixty picks that all agree would mean no choice at all.
    QVERIFY(seen.size() > 1);
    // The picture sits in the first panel.
    QCOMPARE(f.frame->StatusImage->parentWidget(), static_cast<QWidget *>(bar));
    QCOMPARE(f.frame->StatusImage->geometry(), QRect(2, 3, 16, 16));
}

QTEST_MAIN(TstMemoPaint)
#include "tst_memopaint.moc"
