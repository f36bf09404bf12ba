// Mouse, keyboard, hints and drag and drop of the outline view.
#include "OutlineView.h"

#include "OutlineEditor.h"

#include <QApplication>
#include <QDrag>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QScrollBar>
#include <QToolTip>

namespace {
// Only drags that this view started are accepted; the data carries nothing else.
const QString kDragFormat = QStringLiteral("application/x-brivel-jotterly-outline-nodes");
} // namespace

void OutlineView::setHot(OutlineNode *node)
{
    OutlineNode *old = hot.get();
    if (old == node)
        return;
    hot = OutlineNodeRef(node);
    if (OnHotChange)
        OnHotChange(old, node);
    viewport()->update();
}

void OutlineView::selectOnly(OutlineNode *node)
{
    if (nodes.selectedCount() == 1 && node && node->isSelected())
        return;
    beginUpdate();
    nodes.clearSelection();
    if (node)
        nodes.setSelected(node, true);
    endUpdate();
}

void OutlineView::selectRange(OutlineNode *from, OutlineNode *to)
{
    // Ranges keep to the siblings of the anchor, like every selection the user makes.
    if (!from || !to || from->parent() != to->parent()) {
        selectOnly(to);
        return;
    }
    const int first = qMin(from->index(), to->index());
    const int last = qMax(from->index(), to->index());
    OutlineNode *parent = from->parent();
    beginUpdate();
    nodes.clearSelection();
    for (int i = first; i <= last; ++i) {
        OutlineNode *sibling = parent ? parent->child(i) : nodes.topLevelNode(i);
        if (OutlineTree::isShown(sibling))
            nodes.setSelected(sibling, true, true);
    }
    endUpdate();
}

bool OutlineView::onButton(OutlineNode *node, const QPoint &pos) const
{
    if (!node || !node->hasChildren())
        return false;
    const QRect rect = buttonRect(node, nodeRect(node)).adjusted(-3, -3, 3, 3);
    return rect.contains(pos);
}

void OutlineView::moveFocusTo(OutlineNode *node, Qt::KeyboardModifiers modifiers)
{
    if (!node)
        return;
    if (modifiers & Qt::ShiftModifier) {
        OutlineNode *from = anchor.get() ? anchor.get() : node;
        focused = OutlineNodeRef(node);
        selectRange(from, node);
    } else {
        focused = OutlineNodeRef(node);
        anchor = OutlineNodeRef(node);
        if (!(modifiers & Qt::ControlModifier))
            selectOnly(node);
    }
    scrollIntoView(node);
    viewport()->update();
}

void OutlineView::keyPressEvent(QKeyEvent *event)
{
    if (OnKeyDown && OnKeyDown(event)) {
        event->accept();
        return;
    }
    ensureRows();
    const int count = static_cast<int>(rows.size());
    OutlineNode *current = focused.get();
    const int row = rowOf(current);
    const Qt::KeyboardModifiers mods = event->modifiers();
    const int page = qMax(1, verticalScrollBar()->pageStep());
    switch (event->key()) {
    case Qt::Key_Up:
        moveFocusTo(shownRow(row < 0 ? 0 : qMax(0, row - 1)), mods);
        break;
    case Qt::Key_Down:
        moveFocusTo(shownRow(row < 0 ? 0 : qMin(count - 1, row + 1)), mods);
        break;
    case Qt::Key_PageUp:
        moveFocusTo(shownRow(qMax(0, row - page)), mods);
        break;
    case Qt::Key_PageDown:
        moveFocusTo(shownRow(qMin(count - 1, qMax(0, row) + page)), mods);
        break;
    case Qt::Key_Home:
        moveFocusTo(shownRow(0), mods);
        break;
    case Qt::Key_End:
        moveFocusTo(shownRow(count - 1), mods);
        break;
    case Qt::Key_Left:
        if (current && current->hasChildren() && current->isExpanded())
            nodes.setExpanded(current, false);
        else if (current && current->parent())
            moveFocusTo(current->parent(), Qt::NoModifier);
        break;
    case Qt::Key_Right:
        if (current && current->hasChildren() && !current->isExpanded())
            nodes.setExpanded(current, true);
        else if (current && current->isExpanded() && current->firstChild())
            moveFocusTo(rowOf(current->firstChild()) >= 0 ? current->firstChild() : current, Qt::NoModifier);
        break;
    case Qt::Key_Plus:
        if (current)
            nodes.setExpanded(current, true);
        break;
    case Qt::Key_Minus:
        if (current)
            nodes.setExpanded(current, false);
        break;
    case Qt::Key_Space:
        if (current && (mods & Qt::ControlModifier))
            nodes.setSelected(current, !current->isSelected(), true);
        else if (current)
            selectOnly(current);
        break;
    case Qt::Key_F2:
        if (current)
            editNode(current);
        break;
    case Qt::Key_A:
        if (mods & Qt::ControlModifier) {
            nodes.selectAllShown();
            break;
        }
        event->ignore();
        return;
    default:
        event->ignore();
        return;
    }
    event->accept();
}

void OutlineView::mousePressEvent(QMouseEvent *event)
{
    setFocus(Qt::MouseFocusReason);
    const QPoint pos = event->position().toPoint();
    OutlineNode *node = nodeAt(pos);
    pressPos = pos;
    pressedNode = OutlineNodeRef(node);
    pendingSelectOnRelease = false;
    clickEditTimer.stop();

    if (event->button() == Qt::LeftButton && onButton(node, pos)) {
        nodes.setExpanded(node, !node->isExpanded());
        pressedNode = OutlineNodeRef();
        return;
    }
    const Qt::KeyboardModifiers mods = event->modifiers();
    if (!node) {
        if (!(mods & Qt::ControlModifier))
            selectOnly(nullptr);
        return;
    }
    if (event->button() == Qt::RightButton) {
        // A right click selects the node under it unless it is already selected.
        if (!node->isSelected())
            selectOnly(node);
        focused = OutlineNodeRef(node);
        anchor = OutlineNodeRef(node);
        viewport()->update();
        return;
    }
    if (event->button() != Qt::LeftButton)
        return;
    const bool wasFocusedAlone = node == focused.get() && node->isSelected() && nodes.selectedCount() == 1;
    if (mods & Qt::ControlModifier) {
        nodes.setSelected(node, !node->isSelected(), true);
        focused = OutlineNodeRef(node);
        anchor = OutlineNodeRef(node);
    } else if (mods & Qt::ShiftModifier) {
        focused = OutlineNodeRef(node);
        selectRange(anchor.get() ? anchor.get() : node, node);
    } else if (node->isSelected() && nodes.selectedCount() > 1) {
        // Keep the selection for a drag; a plain click selects the node alone on release.
        pendingSelectOnRelease = true;
        focused = OutlineNodeRef(node);
    } else {
        focused = OutlineNodeRef(node);
        anchor = OutlineNodeRef(node);
        selectOnly(node);
    }
    viewport()->update();
    // A second click on the text of the focused memo starts editing it.
    if (wasFocusedAlone && pos.x() >= textLeft(node) && mods == Qt::NoModifier)
        clickEditTimer.start(QApplication::doubleClickInterval());
}

void OutlineView::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    if (OnMouseMove)
        OnMouseMove(pos);
    setHot(nodeAt(pos));
    if ((event->buttons() & Qt::LeftButton) && pressedNode.get()
        && (pos - pressPos).manhattanLength() >= QApplication::startDragDistance()) {
        clickEditTimer.stop();
        pendingSelectOnRelease = false;
        if (!OnDragAllowed || OnDragAllowed(pressedNode.get()))
            startDrag();
        pressedNode = OutlineNodeRef();
    }
}

void OutlineView::mouseReleaseEvent(QMouseEvent *event)
{
    if (pendingSelectOnRelease && pressedNode.get()) {
        anchor = OutlineNodeRef(pressedNode.get());
        selectOnly(pressedNode.get());
    }
    pendingSelectOnRelease = false;
    pressedNode = OutlineNodeRef();
    QAbstractScrollArea::mouseReleaseEvent(event);
}

void OutlineView::mouseDoubleClickEvent(QMouseEvent *event)
{
    clickEditTimer.stop();
    const QPoint pos = event->position().toPoint();
    OutlineNode *node = nodeAt(pos);
    if (event->button() == Qt::LeftButton && onButton(node, pos)) {
        nodes.setExpanded(node, !node->isExpanded());
        return;
    }
    if (OnMouseMove)
        OnMouseMove(pos);
    if (event->button() == Qt::LeftButton && OnDblClick)
        OnDblClick();
}

void OutlineView::leaveEvent(QEvent *event)
{
    setHot(nullptr);
    QAbstractScrollArea::leaveEvent(event);
}

void OutlineView::contextMenuEvent(QContextMenuEvent *event)
{
    const QPoint pos = viewport()->mapFrom(this, event->pos());
    OutlineNode *node = event->reason() == QContextMenuEvent::Mouse ? nodeAt(pos) : focused.get();
    if (node && !node->isSelected())
        selectOnly(node);
    if (!OnGetPopupMenu)
        return;
    if (QMenu *menu = OnGetPopupMenu(node)) {
        QPoint global = event->globalPos();
        if (event->reason() != QContextMenuEvent::Mouse && node) {
            const QRect rect = nodeRect(node);
            global = viewport()->mapToGlobal(QPoint(textLeft(node), rect.isEmpty() ? 0 : rect.bottom()));
        }
        menu->exec(global);
    }
}

bool OutlineView::viewportEvent(QEvent *event)
{
    if (event->type() == QEvent::ToolTip) {
        auto *help = static_cast<QHelpEvent *>(event);
        OutlineNode *node = nodeAt(help->pos());
        const QString text = node ? (OnGetHint ? OnGetHint(node) : QString()) : ownHint;
        if (text.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), text, viewport());
        return true;
    }
    return QAbstractScrollArea::viewportEvent(event);
}

void OutlineView::focusInEvent(QFocusEvent *event)
{
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update();
}

void OutlineView::focusOutEvent(QFocusEvent *event)
{
    QAbstractScrollArea::focusOutEvent(event);
    viewport()->update();
}

// ---------------------------------------------------------------------------------------
// Drag and drop

void OutlineView::startDrag()
{
    auto *mime = new QMimeData;
    mime->setData(kDragFormat, QByteArray::number(reinterpret_cast<quintptr>(this)));
    auto *drag = new QDrag(this);
    drag->setMimeData(mime);
    drag->exec(Qt::MoveAction);
    dropTarget = OutlineNodeRef();
    viewport()->update();
}

void OutlineView::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->source() == this && event->mimeData()->hasFormat(kDragFormat))
        event->acceptProposedAction();
    else
        event->ignore();
}

void OutlineView::dragMoveEvent(QDragMoveEvent *event)
{
    if (event->source() != this) {
        event->ignore();
        return;
    }
    const QPoint pos = event->position().toPoint();
    // Scroll when the pointer rests near the top or bottom edge.
    if (pos.y() < lineHeight())
        scrollByPixels(-lineHeight());
    else if (pos.y() > viewport()->height() - lineHeight())
        scrollByPixels(lineHeight());
    OutlineNode *node = nodeAt(pos);
    const bool accept = !OnDragOver || OnDragOver(node, pos);
    dropTarget = OutlineNodeRef(accept ? node : nullptr);
    viewport()->update();
    if (accept)
        event->acceptProposedAction();
    else
        event->ignore();
}

void OutlineView::dragLeaveEvent(QDragLeaveEvent *event)
{
    dropTarget = OutlineNodeRef();
    viewport()->update();
    QAbstractScrollArea::dragLeaveEvent(event);
}

void OutlineView::dropEvent(QDropEvent *event)
{
    dropTarget = OutlineNodeRef();
    if (event->source() != this) {
        event->ignore();
        return;
    }
    const QPoint pos = event->position().toPoint();
    if (OnDragDrop)
        OnDragDrop(nodeAt(pos), pos);
    event->acceptProposedAction();
    viewport()->update();
}
