// The in-place editor of the outline: a multi-line text box over the edited row.
// Enter inserts a line break, Ctrl+Enter commits, Esc cancels, and losing the focus
// commits. It reports whether the user changed the text at all, even back to the same.
#pragma once

#include <QPlainTextEdit>

class OutlineEditor : public QPlainTextEdit
{
    Q_OBJECT
public:
    explicit OutlineEditor(QWidget *parent);
    void startWith(const QString &text);
    bool wasChanged() const { return changed; }

signals:
    void commitRequested();
    void cancelRequested();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    bool changed = false;
    bool starting = false;
};
