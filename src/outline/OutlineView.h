// The outline widget: a custom-painted, scrolling view of an OutlineTree with variable
// row heights, full-row selection, an in-place multi-line editor, a hot row, hints,
// drag and drop inside the view, and rendering of the shown rows for printing.
//
// It stays fast with 100,000 nodes because it keeps only a flat list of the shown rows
// (rebuilt lazily after a change) and measures just the rows it paints: the scroll
// position is a row plus a pixel offset into that row, so no row out of sight is ever
// measured. The owner supplies texts, heights, backgrounds and reactions through the
// assignable events below; every event is optional.
#pragma once

#include "OutlineTextLayout.h"
#include "OutlineTree.h"

#include <QAbstractScrollArea>
#include <QIcon>
#include <QPointer>
#include <QTimer>
#include <QVector>

#include <functional>
#include <memory>

#include "OutlineEditor.h"
class QMenu;
class QPagedPaintDevice;

class OutlineView : public QAbstractScrollArea, private OutlineTreeObserver
{
    Q_OBJECT
public:
    explicit OutlineView(QWidget *parent = nullptr);
    ~OutlineView() override;

    OutlineTree &tree() { return nodes; }
    const OutlineTree &tree() const { return nodes; }

    // Painting events. OnGetText is told how many characters the view needs at most
    // (kWholeText for all) and may return more; a huge memo need not be copied whole.
    static constexpr qsizetype kWholeText = OutlineTextLayout::kWholeText;
    std::function<QString(OutlineNode *, qsizetype maxLength)> OnGetText;
    std::function<void(OutlineNode *, QFont &, QColor &)> OnPaintText;
    // Receives the height of the wrapped text + 4 and may change it.
    std::function<void(OutlineNode *, int &)> OnMeasureItem;
    std::function<void(QPainter *, OutlineNode *, const QRect &)> OnBeforeCellPaint;
    std::function<int(OutlineNode *)> OnGetImageIndex;
    std::function<QString(OutlineNode *)> OnGetHint;
    // Editing events: OnEditing answers whether the edit may start; OnNewText comes on a
    // commit only when the text was changed, then OnEdited; a cancel raises OnEditCancelled.
    std::function<bool(OutlineNode *)> OnEditing;
    std::function<void(OutlineNode *, const QString &)> OnNewText;
    std::function<void(OutlineNode *)> OnEdited;
    std::function<void()> OnEditCancelled;
    // Interaction events.
    std::function<void(OutlineNode *oldHot, OutlineNode *newHot)> OnHotChange;
    std::function<bool(QKeyEvent *)> OnKeyDown; // true when handled
    std::function<void(const QPoint &)> OnMouseMove;
    std::function<void()> OnDblClick;
    std::function<QMenu *(OutlineNode *)> OnGetPopupMenu;
    std::function<bool(OutlineNode *)> OnDragAllowed;
    std::function<bool(OutlineNode *, const QPoint &)> OnDragOver;
    std::function<void(OutlineNode *, const QPoint &)> OnDragDrop;

    // No painting between beginUpdate and the matching endUpdate.
    void beginUpdate();
    void endUpdate();
    bool isUpdating() const { return updateLevel > 0; }

    // Pictures by index, and the view's own hint shown over blank area.
    void setImages(const QVector<QIcon> &images)
    {
        imageList = images;
        viewport()->update();
    }
    void setHint(const QString &hint) { ownHint = hint; }
    const QString &hint() const { return ownHint; }

    // Editing.
    bool editNode(OutlineNode *node); // asks OnEditing first
    void endEditNode();               // commit
    void cancelEditNode();
    bool isEditing() const { return editor != nullptr; }
    OutlineEditor *editorWidget() const { return editor; }

    // Focus: focusing a node expands its ancestors and scrolls it into view.
    OutlineNode *focusedNode() const { return focused.get(); }
    void setFocusedNode(OutlineNode *node);
    void scrollIntoView(OutlineNode *node);

    // Geometry and hit testing, in viewport coordinates.
    OutlineNode *nodeAt(const QPoint &pos) const;
    QRect nodeRect(OutlineNode *node) const; // empty when the row is out of sight
    OutlineNode *hotNode() const { return hot.get(); }
    int lineHeight() const;
    int textLeft(const OutlineNode *node) const;
    int shownRowCount() const;
    OutlineNode *shownRow(int row) const;

    // Measures the node again and repaints it (later, or at once).
    void invalidateNode(OutlineNode *node) { nodes.invalidateNode(node); }
    void repaintNode(OutlineNode *node);
    // Measures every node again.
    void invalidateAll();

    // Paints every shown row, stacked from the top, at the given width (printing).
    int shownRowsHeight(int width) const;
    void renderShownRows(QPainter *painter, int width) const;
    // Prints every shown row (not only those scrolled into view) as the view paints them,
    // on white, at the view's width: the outline as one tall picture, scaled by the ratio
    // of the height of "Tj" on the device and on the screen and cut into page-sized
    // pieces, left to right, then top to bottom. Each page is drawn from a picture of its
    // own piece only, so memory stays bounded however long the outline is. Returns the
    // number of pages.
    int printShownRows(QPagedPaintDevice &device) const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dragLeaveEvent(QDragLeaveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    bool viewportEvent(QEvent *event) override;
    void changeEvent(QEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    // OutlineTreeObserver
    void rowsChanged() override;
    void nodeInvalidated(OutlineNode *node) override;
    void nodesRepaint() override;
    void nodeAboutToBeDeleted(OutlineNode *node) override;

    // Rows and heights.
    void ensureRows() const;
    int rowOf(const OutlineNode *node) const;
    int rowHeight(int row) const;
    // maxHeight caps the row (kWholeText: none); rows in the view are never taller
    // than the view, so a huge text costs one screenful.
    int measure(OutlineNode *node, int width, int maxHeight) const;
    int textWidth(const OutlineNode *node, int viewWidth) const;
    QString displayText(OutlineNode *node, qsizetype maxLength = kWholeText) const;

    // Scrolling.
    void clampScroll();
    void scrollByPixels(int dy);
    void updateScrollBars();
    void layoutChanged();
    void ensureLayout() const;

    // Painting.
    void paintRow(QPainter *painter, OutlineNode *node, const QRect &rowRect, bool forPrint) const;
    void forgetPrintedText() const;
    void paintLinesAndButton(QPainter *painter, OutlineNode *node, const QRect &rowRect) const;
    QRect buttonRect(const OutlineNode *node, const QRect &rowRect) const;
    int anchorY(const QRect &rowRect) const;

    // Input helpers.
    void setHot(OutlineNode *node);
    void selectOnly(OutlineNode *node);
    void selectRange(OutlineNode *from, OutlineNode *to);
    void moveFocusTo(OutlineNode *node, Qt::KeyboardModifiers modifiers);
    bool onButton(OutlineNode *node, const QPoint &pos) const;
    void startDrag();
    void placeEditor();
    void closeEditor();
    bool isInside(const OutlineNode *node, const OutlineNode *subtreeRoot) const;

    OutlineTree nodes;
    QVector<QIcon> imageList;
    QString ownHint;

    mutable std::vector<OutlineNode *> rows;
    mutable bool rowsDirty = true;
    mutable unsigned rowsEpoch = 1;
    // While printing: the text of the row printed last, laid out.
    mutable const OutlineNode *printedNode = nullptr;
    mutable std::unique_ptr<OutlineTextLayout::WholeText> printedText;
    unsigned layoutEpoch = 1;
    int topRow = 0;
    int topOffset = 0;
    int updateLevel = 0;
    bool settingScrollBar = false;
    bool layoutPending = true;
    QTimer layoutTimer;

    OutlineNodeRef focused;
    OutlineNodeRef anchor;
    OutlineNodeRef hot;
    OutlineNodeRef editing;
    OutlineNodeRef pressedNode;
    OutlineNodeRef dropTarget;
    QPoint pressPos;
    bool pendingSelectOnRelease = false;
    QTimer clickEditTimer;
    QPointer<OutlineEditor> editor;
    bool closingEditor = false;
};
