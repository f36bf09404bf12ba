// The memo tree frame: row texts, heights, backgrounds and images, the unfolding of a
// hovered row in list view, the tip panel and the status bar texts.
#include "Fr_qzMemos.h"

#include "ImageLists.h"
#include "MemoSearchBar.h"
#include "SqlConnection.h"
#include "TQzStatusBar.h"
#include "TextHelpers.h"
#include "TipPanel.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QPainter>
#include <QRandomGenerator>
#include <QTimer>

const std::array<const char *, 6> TqzMemosFrame::statusHints = {
    "Ctrl+Enter: Finish edit.",
    "Esc: Cancel edit.",
    "Mouse double click blank: shortcut add.",
    "Enter: add a new item.",
    "Ctrl+Enter: add a new Child item.",
    "Ctrl+F12: Minimize window.",
};

namespace {

bool isDarkPalette(const QPalette &palette)
{
    return palette.color(QPalette::Base).lightness() < 128;
}

// The row pictures are light; on a dark theme they only tint the rows faintly, so the
// theme's light text stays readable.
void stretchPicture(QPainter *painter, const QRect &rect, const QImage &picture, const QPalette &palette)
{
    if (picture.isNull())
        return;
    painter->save();
    if (isDarkPalette(palette))
        painter->setOpacity(0.12);
    painter->drawImage(rect, picture);
    painter->restore();
}

} // namespace

int TqzMemosFrame::lineHeight() const
{
    return VtMemos->lineHeight();
}

QString TqzMemosFrame::VtMemosGetText(OutlineNode *node, int column, qsizetype maxLength) const
{
    const TMemoInfo *memo = memoOf(node);
    if (!memo || column != 0)
        return QString();
    const bool isEditing = node == editingNode.get();
    if (memo->content.isEmpty() && !isEditing)
        return QStringLiteral("Input content here");
    // A character takes at most three bytes per UTF-16 unit, so this many bytes always
    // give the view the characters it asked for, and a huge memo is never decoded whole.
    const QByteArray content = Utf8Prefix(memo->content,
                                          maxLength == OutlineView::kWholeText ? maxLength : 3 * maxLength + 3);
    if (Action_ViewList->isChecked() && !isEditing) {
        const QString text = QString::fromUtf8(node == unfoldedNode.get() ? content : FlattenLineBreaks(content));
        const QString number = QString::number(node->index() + 1);
        return node->level() == 0 ? number + QStringLiteral(". ") + text
                                  : QLatin1Char('(') + number + QStringLiteral(") ") + text;
    }
    return QString::fromUtf8(content);
}

void TqzMemosFrame::VtMemosPaintText(OutlineNode *node, QFont &font, QColor &color) const
{
    const TMemoInfo *memo = memoOf(node);
    // Empty memos, and memos whose row could not be made, are grey: neither is stored text.
    if (memo && node != editingNode.get() && (memo->content.isEmpty() || memo->mid.isEmpty())) {
        color = palette().color(QPalette::PlaceholderText);
        font.setItalic(true);
    }
}

void TqzMemosFrame::VtMemosMeasureItem(OutlineNode *node, int &nodeHeight) const
{
    if (!node)
        return;
    const int line = lineHeight();
    const bool isEditing = node == editingNode.get();
    if (Action_ViewList->isChecked() && node != unfoldedNode.get() && !isEditing)
        nodeHeight = line + 4; // otherwise the view's wrapped text height + 4 stands
    if (isEditing) {
        nodeHeight = qMax(nodeHeight, 4 * line + 4);
        nodeHeight = qMin(nodeHeight, VtMemos->height() - line);
    }
    nodeHeight = qMax(nodeHeight, line + 4);
}

void TqzMemosFrame::VtMemosBeforeCellPaint(QPainter *painter, OutlineNode *node, const QRect &cellRect) const
{
    if (!node || node == editingNode.get())
        return;
    if (node == VtMemos->hotNode()) {
        painter->fillRect(cellRect, QApplication::palette().color(QPalette::ToolTipBase));
        return;
    }
    if (!context.pictures)
        return;
    const QImage &picture = node->level() > 0        ? context.pictures->group
                            : node->index() % 2 == 0 ? context.pictures->item0
                                                     : context.pictures->item1;
    stretchPicture(painter, cellRect, picture, palette());
}

int TqzMemosFrame::VtMemosGetImageIndex(OutlineNode *node, int column) const
{
    if (!node || column != 0)
        return -1;
    return node->level() == 0 ? 0 : 21;
}

QString TqzMemosFrame::VtMemosGetHint(OutlineNode *) const
{
    return QString(); // resting on a memo shows no hint; blank area shows the tree's own
}

void TqzMemosFrame::VtMemosMouseMove(const QPoint &pos)
{
    mouseX = pos.x();
    mouseY = pos.y();
}

void TqzMemosFrame::VtMemosHotChange(OutlineNode *, OutlineNode *newNode)
{
    if (!Action_ViewList->isChecked())
        return;
    Timer_HotDelay->stop();
    if (newNode)
        Timer_HotDelay->start();
}

void TqzMemosFrame::Timer_HotDelayTimer()
{
    Timer_HotDelay->stop();
    OutlineNode *hot = VtMemos->hotNode();
    OutlineNode *previous = unfoldedNode.get();
    if (hot == previous)
        return;
    unfoldedNode = OutlineNodeRef(hot);
    if (hot)
        VtMemos->invalidateNode(hot);
    if (previous)
        VtMemos->invalidateNode(previous);
}

void TqzMemosFrame::ShowTip(int mode)
{
    if (mode == 0 && !canStore()) {
        // In place of the invitation to add: why nothing can be added.
        Panel_tip->showNotice(context.connection ? context.connection->openFailure() : QString());
        return;
    }
    if (mode == 0 && VtMemos->tree().visibleCount() == 0)
        mode = 2;
    Panel_tip->showTip(mode);
}

void TqzMemosFrame::label_tipClick()
{
    switch (Panel_tip->tipMode()) {
    case 1:
        VtMemos->endEditNode();
        break;
    case 2:
        Action_MemoAddExecute();
        break;
    case 3:
        ToolBar_Bottom->Btn_SearchClick();
        break;
    default:
        break;
    }
}

void TqzMemosFrame::showRandomStatusHint()
{
    StatusImage->show();
    const auto pick = QRandomGenerator::global()->bounded(static_cast<int>(statusHints.size()));
    QzStatusBar1->setPanelText(1, QString::fromLatin1(statusHints[static_cast<size_t>(pick)]));
}

void TqzMemosFrame::VtMemosChange(OutlineNode *node)
{
    UpdateCommandState();
    if (const TMemoInfo *memo = memoOf(node)) {
        QzStatusBar1->setPanelText(1, memo->mid.isEmpty()
                                          ? QStringLiteral("Not stored")
                                          : OleDateTime::toDisplayText(memo->createTime) + QStringLiteral(" created"));
        StatusImage->hide();
    } else {
        showRandomStatusHint();
    }
}
