#include "OutlineEditor.h"

#include <QKeyEvent>

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
}

void OutlineEditor::startWith(const QString &text)
{
    starting = true;
    setPlainText(text);
    starting = false;
    changed = false;
    moveCursor(QTextCursor::End);
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
