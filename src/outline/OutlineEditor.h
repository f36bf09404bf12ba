// The in-place editor of the outline: a multi-line text box over the edited row.
// Enter inserts a line break, Ctrl+Enter commits, Esc cancels, and losing the focus
// commits. It reports whether the user changed the text at all, even back to the same.
//
// A large text is handed to the editor in pieces, its end first, so the editor shows
// at once with the caret at the end and the window stays responsive while the rest
// comes in; until then the editor is read-only.
#pragma once

#include <QPlainTextEdit>
#include <QTimer>

class OutlineEditor : public QPlainTextEdit
{
    Q_OBJECT
public:
    explicit OutlineEditor(QWidget *parent);
    void startWith(const QString &text);
    bool wasChanged() const { return changed; }
    // True while a large text is still coming in (read-only meanwhile).
    bool isLoading() const { return !pending.isEmpty(); }

signals:
    void commitRequested();
    void cancelRequested();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void loadNextPiece();

    bool changed = false;
    bool starting = false;
    QString pending; // the start of the text, not in the editor yet
    QTimer pieceTimer;
};
