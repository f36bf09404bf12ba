#include "OutlineEditor.h"

#include <QKeyEvent>
#include <QTextCursor>

namespace {

// Texts up to this many characters go in at once (a few milliseconds); longer ones in
// pieces of about this size, each a few milliseconds.
constexpr qsizetype kPieceLength = 128 * 1024;

// Where the last piece of text[0, end) starts: at least kPieceLength before the end,
// after a line break when there is one near, never inside a surrogate pair.
qsizetype pieceStart(const QString &text, qsizetype end)
{
    if (end <= kPieceLength)
        return 0;
    qsizetype start = end - kPieceLength;
    const qsizetype lowest = qMax<qsizetype>(0, start - kPieceLength / 2);
    // The line break nearest before the nominal start, so a piece holds whole lines.
    const qsizetype lineBreak = QStringView(text).mid(lowest, start - lowest).lastIndexOf(QLatin1Char('\n'));
    if (lineBreak >= 0)
        return lowest + lineBreak + 1;
    if (text.at(start).isLowSurrogate())
        --start;
    return start;
}

} // namespace

OutlineEditor::OutlineEditor(QWidget *parent)
    : QPlainTextEdit(parent)
{
    setFrameShape(QFrame::Box);
    setTabChangesFocus(true);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    connect(this, &QPlainTextEdit::textChanged, this, [this] {
        if (!starting)
            changed = true;
    });
    pieceTimer.setInterval(0);
    connect(&pieceTimer, &QTimer::timeout, this, &OutlineEditor::loadNextPiece);
}

void OutlineEditor::startWith(const QString &text)
{
    starting = true;
    const qsizetype split = text.size() > kPieceLength ? pieceStart(text, text.size()) : 0;
    if (split > 0) {
        setReadOnly(true);
        document()->setUndoRedoEnabled(false); // the pieces are no edits to undo
        pending = text.left(split);
    }
    setPlainText(split > 0 ? text.mid(split) : text);
    changed = false;
    moveCursor(QTextCursor::End);
    if (split > 0)
        pieceTimer.start();
    else
        starting = false;
}

void OutlineEditor::loadNextPiece()
{
    const qsizetype start = pieceStart(pending, pending.size());
    QTextCursor(document()).insertText(pending.mid(start)); // at the start of the document
    pending.truncate(start);
    ensureCursorVisible(); // the caret stays at the end, where the view keeps it
    if (!pending.isEmpty())
        return;
    pieceTimer.stop();
    pending.squeeze();
    document()->setUndoRedoEnabled(true);
    setReadOnly(false);
    starting = false;
    changed = false;
}

void OutlineEditor::keyPressEvent(QKeyEvent *event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && (event->modifiers() & Qt::ControlModifier)) {
        emit commitRequested();
        return;
    }
    if (event->key() == Qt::Key_Escape) {
        emit cancelRequested();
        return;
    }
    if (enter) {
        // Typing goes nowhere while a large text is still coming in.
        if (!isReadOnly())
            insertPlainText(QStringLiteral("\n"));
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void OutlineEditor::focusOutEvent(QFocusEvent *event)
{
    QPlainTextEdit::focusOutEvent(event);
    // The editor's own context menu takes the focus for a moment; that is no commit.
    if (event->reason() != Qt::PopupFocusReason)
        emit commitRequested();
}
