#include "OutlineView.h"

#include "OutlineEditor.h"
#include "OutlineTextLayout.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QImage>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOption>

#include <algorithm>

namespace {
constexpr int kIndent = 18; // width of one level of indentation and of the button column
constexpr int kImageSize = 16;
constexpr int kImageGap = 4;
constexpr int kTextPadding = 2; // above and below the text: rows are text height + 4
} // namespace

OutlineView::OutlineView(QWidget *parent)
    : QAbstractScrollArea(parent)
{
    nodes.setObserver(this);
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::StrongFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    viewport()->setMouseTracking(true);
    viewport()->setAcceptDrops(true);
    setAcceptDrops(true);
    setAttribute(Qt::WA_InputMethodEnabled);
    verticalScrollBar()->setSingleStep(1);
    layoutTimer.setSingleShot(true);
    layoutTimer.setInterval(0);
    connect(&layoutTimer, &QTimer::timeout, this, [this] { ensureLayout(); });
    clickEditTimer.setSingleShot(true);
    connect(&clickEditTimer, &QTimer::timeout, this, [this] {
        if (OutlineNode *node = focused.get(); node && node->isSelected() && !isEditing())
            editNode(node);
    });
}

OutlineView::~OutlineView()
{
    // An edit still open when the view goes is committed, so no typed text is lost.
    if (isEditing())
        endEditNode();
    nodes.setObserver(nullptr);
}

// ---------------------------------------------------------------------------------------
// Tree observer

void OutlineView::rowsChanged()
{
    rowsDirty = true;
    layoutChanged();
}

void OutlineView::nodeInvalidated(OutlineNode *)
{
    layoutChanged();
}

void OutlineView::nodesRepaint()
{
    if (updateLevel == 0)
        viewport()->update();
}

bool OutlineView::isInside(const OutlineNode *node, const OutlineNode *subtreeRoot) const
{
    for (const OutlineNode *n = node; n; n = n->parent())
        if (n == subtreeRoot)
            return true;
    return false;
}

void OutlineView::nodeAboutToBeDeleted(OutlineNode *node)
{
    // An open edit of a node that goes is cancelled first.
    if (editing.get() && isInside(editing.get(), node))
        cancelEditNode();
    if (hot.get() && isInside(hot.get(), node))
        setHot(nullptr);
    rowsDirty = true;
}

// ---------------------------------------------------------------------------------------
// Rows and heights

void OutlineView::ensureRows() const
{
    if (!rowsDirty)
        return;
    rowsDirty = false;
    ++rowsEpoch;
    rows.clear();
    rows.reserve(static_cast<size_t>(nodes.visibleCount()));
    // Pre-order walk that skips hidden nodes and the children of collapsed ones.
    std::vector<const OutlineNode *> stack;
    for (int i = nodes.topLevelCount() - 1; i >= 0; --i)
        stack.push_back(nodes.topLevelNode(i));
    while (!stack.empty()) {
        OutlineNode *node = const_cast<OutlineNode *>(stack.back());
        stack.pop_back();
        if (!node->isVisible())
            continue;
        node->row = static_cast<int>(rows.size());
        node->rowEpoch = rowsEpoch;
        rows.push_back(node);
        if (node->isExpanded())
            for (int i = node->childCount() - 1; i >= 0; --i)
                stack.push_back(node->child(i));
    }
}

int OutlineView::shownRowCount() const
{
    ensureRows();
    return static_cast<int>(rows.size());
}

OutlineNode *OutlineView::shownRow(int row) const
{
    ensureRows();
    return row >= 0 && row < static_cast<int>(rows.size()) ? rows[static_cast<size_t>(row)] : nullptr;
}

int OutlineView::rowOf(const OutlineNode *node) const
{
    ensureRows();
    return node && node->rowEpoch == rowsEpoch ? node->row : -1;
}

int OutlineView::textLeft(const OutlineNode *node) const
{
    // One button column for the top level, then one indent per level, then the image.
    return (node->level() + 1) * kIndent + kImageSize + kImageGap;
}

int OutlineView::textWidth(const OutlineNode *node, int viewWidth) const
{
    return qMax(kIndent, viewWidth - textLeft(node) - kTextPadding);
}

int OutlineView::lineHeight() const
{
    return fontMetrics().height();
}

QString OutlineView::displayText(OutlineNode *node, qsizetype maxLength) const
{
    return OnGetText ? OnGetText(node, maxLength) : QString();
}

int OutlineView::measure(OutlineNode *node, int width, int maxHeight) const
{
    QFont font = this->font();
    QColor color;
    if (OnPaintText)
        OnPaintText(node, font, color);
    const int wrapWidth = textWidth(node, width);
    const QString text = displayText(node, OutlineTextLayout::prefixLength(font, wrapWidth, maxHeight));
    int height = OutlineTextLayout::height(text, font, wrapWidth, maxHeight) + 2 * kTextPadding;
    if (OnMeasureItem)
        OnMeasureItem(node, height);
    if (maxHeight != kWholeText)
        height = qMin(height, maxHeight);
    return qMax(1, height);
}

int OutlineView::rowHeight(int row) const
{
    OutlineNode *node = rows[static_cast<size_t>(row)];
    if (node->height < 0 || node->heightEpoch != layoutEpoch) {
        node->height = measure(node, viewport()->width(), qMax(lineHeight(), viewport()->height()));
        node->heightEpoch = layoutEpoch;
    }
    return node->height;
}

void OutlineView::invalidateAll()
{
    ++layoutEpoch;
    layoutChanged();
}

// ---------------------------------------------------------------------------------------
// Scrolling: the position is a top row plus a pixel offset into it.

void OutlineView::layoutChanged()
{
    // Laid out once, later: many changes in a row (adding memos one by one) must not
    // each walk the rows again.
    layoutPending = true;
    if (updateLevel > 0)
        return;
    if (!layoutTimer.isActive())
        layoutTimer.start();
    viewport()->update();
}

void OutlineView::ensureLayout() const
{
    if (!layoutPending || updateLevel > 0)
        return;
    auto *self = const_cast<OutlineView *>(this);
    self->layoutPending = false;
    self->layoutTimer.stop();
    self->clampScroll();
    self->updateScrollBars();
    self->placeEditor();
}

void OutlineView::beginUpdate()
{
    ++updateLevel;
}

void OutlineView::endUpdate()
{
    if (updateLevel > 0 && --updateLevel == 0)
        layoutChanged();
}

void OutlineView::clampScroll()
{
    ensureRows();
    const int count = static_cast<int>(rows.size());
    if (count == 0) {
        topRow = topOffset = 0;
        return;
    }
    topRow = qBound(0, topRow, count - 1);
    topOffset = qBound(0, topOffset, rowHeight(topRow) - 1);
    // Never leave blank space below the last row while rows above are out of sight.
    const int viewHeight = viewport()->height();
    int filled = -topOffset;
    for (int row = topRow; row < count && filled < viewHeight; ++row)
        filled += rowHeight(row);
    int missing = viewHeight - filled;
    while (missing > 0 && (topRow > 0 || topOffset > 0)) {
        if (topOffset >= missing) {
            topOffset -= missing;
            missing = 0;
        } else {
            missing -= topOffset;
            topOffset = 0;
            if (topRow == 0)
                break;
            --topRow;
            topOffset = rowHeight(topRow);
        }
    }
}

void OutlineView::updateScrollBars()
{
    ensureRows();
    const int count = static_cast<int>(rows.size());
    // The last top row is the first of the rows that together fit the view at the end.
    int maxTop = count;
    for (int filled = 0; maxTop > 0;) {
        const int h = rowHeight(maxTop - 1);
        if (filled + h > viewport()->height())
            break;
        filled += h;
        --maxTop;
    }
    if (maxTop == count)
        maxTop = qMax(0, count - 1);
    QScrollBar *bar = verticalScrollBar();
    settingScrollBar = true;
    bar->setRange(0, maxTop);
    bar->setPageStep(qMax(1, viewport()->height() / qMax(1, lineHeight() + 2 * kTextPadding)));
    bar->setValue(topRow);
    settingScrollBar = false;
}

void OutlineView::scrollContentsBy(int, int)
{
    if (settingScrollBar)
        return;
    topRow = verticalScrollBar()->value();
    topOffset = 0;
    clampScroll();
    placeEditor();
    viewport()->update();
}

void OutlineView::scrollByPixels(int dy)
{
    ensureLayout();
    ensureRows();
    const int count = static_cast<int>(rows.size());
    if (count == 0)
        return;
    topOffset += dy;
    while (topOffset < 0 && topRow > 0)
        topOffset += rowHeight(--topRow);
    while (topRow < count - 1 && topOffset >= rowHeight(topRow))
        topOffset -= rowHeight(topRow++);
    if (topOffset < 0)
        topOffset = 0;
    clampScroll();
    updateScrollBars();
    placeEditor();
    viewport()->update();
}

void OutlineView::wheelEvent(QWheelEvent *event)
{
    const QPoint pixels = event->pixelDelta();
    const int dy = !pixels.isNull() ? -pixels.y()
                                    : -event->angleDelta().y() * QApplication::wheelScrollLines() * lineHeight() / 120;
    scrollByPixels(dy);
    event->accept();
}

void OutlineView::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    ++layoutEpoch; // wrapped heights depend on the width
    layoutChanged();
}

void OutlineView::changeEvent(QEvent *event)
{
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        invalidateAll();
}

void OutlineView::scrollIntoView(OutlineNode *node)
{
    ensureLayout();
    const int row = rowOf(node);
    if (row < 0)
        return;
    const int viewHeight = viewport()->height();
    if (row < topRow || (row == topRow && topOffset > 0)) {
        topRow = row;
        topOffset = 0;
    } else {
        int bottom = -topOffset;
        for (int r = topRow; r <= row && bottom <= viewHeight; ++r)
            bottom += rowHeight(r);
        if (bottom > viewHeight) {
            // Put the row's bottom at the view's bottom, or its top at the top if taller.
            int filled = rowHeight(row);
            int first = row;
            while (first > 0 && filled + rowHeight(first - 1) <= viewHeight)
                filled += rowHeight(--first);
            topRow = first;
            topOffset = 0;
            if (first > 0 && filled < viewHeight) {
                topRow = first - 1;
                topOffset = rowHeight(topRow) - (viewHeight - filled);
            }
        }
    }
    clampScroll();
    updateScrollBars();
    placeEditor();
    viewport()->update();
}

QRect OutlineView::nodeRect(OutlineNode *node) const
{
    ensureLayout();
    const int row = rowOf(node);
    if (row < 0 || row < topRow)
        return {};
    int y = -topOffset;
    const int viewHeight = viewport()->height();
    for (int r = topRow; r < row; ++r) {
        y += rowHeight(r);
        if (y >= viewHeight)
            return {};
    }
    return QRect(0, y, viewport()->width(), rowHeight(row));
}

OutlineNode *OutlineView::nodeAt(const QPoint &pos) const
{
    ensureLayout();
    ensureRows();
    const int count = static_cast<int>(rows.size());
    int y = -topOffset;
    for (int row = topRow; row < count && y < viewport()->height(); ++row) {
        const int h = rowHeight(row);
        if (pos.y() >= y && pos.y() < y + h)
            return rows[static_cast<size_t>(row)];
        y += h;
    }
    return nullptr;
}

void OutlineView::repaintNode(OutlineNode *node)
{
    const QRect rect = nodeRect(node);
    if (!rect.isEmpty())
        viewport()->repaint(rect);
}

// ---------------------------------------------------------------------------------------
// Painting

int OutlineView::anchorY(const QRect &rowRect) const
{
    // Vertical alignment 0: buttons and lines sit at the first text line of a tall row.
    return rowRect.top() + kTextPadding + lineHeight() / 2;
}

QRect OutlineView::buttonRect(const OutlineNode *node, const QRect &rowRect) const
{
    const int centerX = node->level() * kIndent + kIndent / 2;
    return QRect(centerX - 4, anchorY(rowRect) - 4, 9, 9);
}

void OutlineView::paintLinesAndButton(QPainter *painter, OutlineNode *node, const QRect &rowRect) const
{
    const QColor lineColor = palette().color(QPalette::Mid);
    painter->setPen(lineColor);
    const int y = anchorY(rowRect);
    // Solid lines: a stub to the node, and the vertical line through its siblings.
    const int x = node->level() * kIndent + kIndent / 2;
    painter->drawLine(x, y, x + kIndent / 2 + 1, y);
    painter->drawLine(x, node->previousSibling() || node->parent() ? rowRect.top() : y, x,
                      node->nextSibling() ? rowRect.bottom() + 1 : y);
    for (const OutlineNode *p = node->parent(); p; p = p->parent())
        if (p->nextSibling()) {
            const int px = p->level() * kIndent + kIndent / 2;
            painter->drawLine(px, rowRect.top(), px, rowRect.bottom() + 1);
        }
    if (!node->hasChildren())
        return;
    const QRect box = buttonRect(node, rowRect);
    painter->fillRect(box, palette().color(QPalette::Base));
    painter->setPen(palette().color(QPalette::Dark));
    painter->drawRect(box.adjusted(0, 0, -1, -1));
    painter->setPen(palette().color(QPalette::Text));
    const QPoint c = box.center();
    painter->drawLine(c.x() - 2, c.y(), c.x() + 2, c.y());
    if (!node->isExpanded())
        painter->drawLine(c.x(), c.y() - 2, c.x(), c.y() + 2);
}

void OutlineView::paintRow(QPainter *painter, OutlineNode *node, const QRect &rowRect, bool forPrint) const
{
    if (OnBeforeCellPaint)
        OnBeforeCellPaint(painter, node, rowRect);
    const bool selected = node->isSelected() && !forPrint && node != editing.get();
    if (selected) {
        QColor highlight = palette().color(hasFocus() ? QPalette::Active : QPalette::Inactive, QPalette::Highlight);
        if (!hasFocus())
            highlight.setAlpha(140);
        painter->fillRect(rowRect, highlight);
    }
    painter->setPen(palette().color(QPalette::Midlight));
    painter->drawLine(rowRect.left(), rowRect.bottom(), rowRect.right(), rowRect.bottom());
    paintLinesAndButton(painter, node, rowRect);

    const int imageIndex = OnGetImageIndex ? OnGetImageIndex(node) : -1;
    const int imageLeft = (node->level() + 1) * kIndent;
    if (imageIndex >= 0 && imageIndex < imageList.size() && !imageList[imageIndex].isNull())
        imageList[imageIndex].paint(painter, QRect(imageLeft, rowRect.top() + kTextPadding, kImageSize, kImageSize));

    if (node == editing.get() && !forPrint)
        return; // the editor covers the text
    QFont font = this->font();
    QColor color = palette().color(selected && hasFocus() ? QPalette::HighlightedText : QPalette::Text);
    if (OnPaintText)
        OnPaintText(node, font, color);
    const int left = textLeft(node);
    const QRect textRect(left, rowRect.top() + kTextPadding, textWidth(node, rowRect.width()),
                         rowRect.height() - 2 * kTextPadding);
    if (forPrint) {
        // The row last printed is kept laid out: it may go on over the next page.
        if (printedNode != node || !printedText || printedText->width() != textRect.width()) {
            printedText = std::make_unique<OutlineTextLayout::WholeText>(displayText(node, kWholeText), font,
                                                                         textRect.width());
            printedNode = node;
        }
        printedText->draw(painter, textRect, color);
    } else {
        const qsizetype shown = OutlineTextLayout::prefixLength(font, textRect.width(), textRect.height());
        OutlineTextLayout::draw(painter, textRect, displayText(node, shown), font, color);
    }

    if (!forPrint && node == focused.get() && hasFocus()) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = rowRect.adjusted(left - 2, 0, 0, -1);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, painter, this);
    }
    if (!forPrint && node == dropTarget.get()) {
        painter->setPen(QPen(palette().color(QPalette::Highlight), 2));
        painter->drawRect(rowRect.adjusted(1, 1, -1, -1));
    }
}

void OutlineView::paintEvent(QPaintEvent *event)
{
    if (updateLevel > 0)
        return;
    ensureLayout();
    ensureRows();
    QPainter painter(viewport());
    painter.fillRect(event->rect(), palette().color(QPalette::Base));
    const int count = static_cast<int>(rows.size());
    const int width = viewport()->width();
    int y = -topOffset;
    for (int row = topRow; row < count && y < viewport()->height(); ++row) {
        const int h = rowHeight(row);
        const QRect rowRect(0, y, width, h);
        if (rowRect.intersects(event->rect()))
            paintRow(&painter, rows[static_cast<size_t>(row)], rowRect, false);
        y += h;
    }
}

int OutlineView::shownRowsHeight(int width) const
{
    ensureRows();
    int total = 0;
    for (OutlineNode *node : rows)
        total += measure(node, width, kWholeText);
    return total;
}

void OutlineView::renderShownRows(QPainter *painter, int width) const
{
    ensureRows();
    int y = 0;
    for (OutlineNode *node : rows) {
        const int h = measure(node, width, kWholeText);
        paintRow(painter, node, QRect(0, y, width, h), true);
        y += h;
    }
    forgetPrintedText();
}

void OutlineView::forgetPrintedText() const
{
    printedText.reset();
    printedNode = nullptr;
}

int OutlineView::printShownRows(QPagedPaintDevice &device) const
{
    ensureRows();
    const int width = qMax(1, viewport()->width());
    std::vector<int> tops; // where each row starts in the tall picture; one more for its end
    tops.reserve(rows.size() + 1);
    tops.push_back(0);
    for (OutlineNode *node : rows)
        tops.push_back(tops.back() + measure(node, width, kWholeText));
    const int height = qMax(1, tops.back());

    const QString sample = QStringLiteral("Tj");
    const qreal onScreen = QFontMetricsF(font()).boundingRect(sample).height();
    const qreal onDevice = QFontMetricsF(font(), &device).boundingRect(sample).height();
    const qreal scale = onScreen > 0 && onDevice > 0 ? onDevice / onScreen : 1.0;
    // A piece is what one page holds of the picture, in screen pixels.
    const int pieceWidth = qMax(1, static_cast<int>(device.width() / scale));
    const int pieceHeight = qMax(1, static_cast<int>(device.height() / scale));
    const int across = (width + pieceWidth - 1) / pieceWidth;
    const int down = (height + pieceHeight - 1) / pieceHeight;

    QImage piece(qMin(pieceWidth, width), pieceHeight, QImage::Format_RGB32);
    QPainter page(&device);
    int pages = 0;
    for (int row = 0; row < down; ++row) {
        const int pieceTop = row * pieceHeight;
        // The first row that reaches into this piece.
        const auto first = std::upper_bound(tops.begin(), tops.end(), pieceTop) - tops.begin() - 1;
        for (int column = 0; column < across; ++column) {
            const int pieceLeft = column * pieceWidth;
            piece.fill(Qt::white);
            {
                QPainter painter(&piece);
                painter.setFont(font());
                painter.translate(-pieceLeft, -pieceTop);
                painter.setClipRect(QRect(pieceLeft, pieceTop, piece.width(), piece.height()));
                for (size_t i = static_cast<size_t>(qMax<std::ptrdiff_t>(0, first));
                     i < rows.size() && tops[i] < pieceTop + pieceHeight; ++i)
                    paintRow(&painter, rows[i], QRect(0, tops[i], width, tops[i + 1] - tops[i]), true);
            }
            if (pages++ > 0)
                device.newPage();
            page.drawImage(QRectF(0, 0, piece.width() * scale, piece.height() * scale), piece);
        }
    }
    forgetPrintedText();
    return pages;
}

// ---------------------------------------------------------------------------------------
// Editing

void OutlineView::setFocusedNode(OutlineNode *node)
{
    if (node) {
        nodes.expandAncestors(node);
        scrollIntoView(node);
    }
    focused = OutlineNodeRef(node);
    if (!anchor.get() || !node)
        anchor = OutlineNodeRef(node);
    viewport()->update();
}

bool OutlineView::editNode(OutlineNode *node)
{
    if (!node || isEditing())
        return false;
    setFocusedNode(node);
    if (OnEditing && !OnEditing(node))
        return false;
    editing = OutlineNodeRef(node);
    editor = new OutlineEditor(viewport());
    editor->setFont(font());
    QString text = displayText(node);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")); // the editor works with LF breaks
    editor->startWith(text);
    connect(editor, &OutlineEditor::commitRequested, this, &OutlineView::endEditNode, Qt::QueuedConnection);
    connect(editor, &OutlineEditor::cancelRequested, this, &OutlineView::cancelEditNode, Qt::QueuedConnection);
    nodes.invalidateNode(node);
    scrollIntoView(node);
    placeEditor();
    editor->show();
    editor->setFocus(Qt::OtherFocusReason);
    return true;
}

void OutlineView::placeEditor()
{
    OutlineNode *node = editing.get();
    if (!editor || !node)
        return;
    QRect rect = nodeRect(node);
    if (rect.isEmpty()) {
        // Out of sight: park it outside the view rather than hide it, which would commit.
        editor->setGeometry(-10000, -10000, 100, 100);
        return;
    }
    rect.setLeft(textLeft(node) - 3);
    editor->setGeometry(rect.adjusted(0, 0, 0, -1));
}

void OutlineView::closeEditor()
{
    closingEditor = true;
    OutlineEditor *old = editor;
    editor = nullptr;
    if (old) {
        const bool hadFocus = old->hasFocus();
        old->disconnect(this);
        old->hide();
        old->deleteLater();
        if (hadFocus)
            setFocus(Qt::OtherFocusReason);
    }
    closingEditor = false;
}

void OutlineView::endEditNode()
{
    if (!editor || closingEditor)
        return;
    OutlineNode *node = editing.get();
    const QString text = editor->toPlainText();
    const bool changed = editor->wasChanged();
    closeEditor();
    editing = OutlineNodeRef();
    if (node) {
        nodes.invalidateNode(node);
        if (changed && OnNewText)
            OnNewText(node, text);
    }
    if (OnEdited)
        OnEdited(node);
}

void OutlineView::cancelEditNode()
{
    if (!editor || closingEditor)
        return;
    OutlineNode *node = editing.get();
    closeEditor();
    editing = OutlineNodeRef();
    if (node)
        nodes.invalidateNode(node);
    if (OnEditCancelled)
        OnEditCancelled();
}
