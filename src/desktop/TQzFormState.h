// Remembers where a window stood on the screen: its normal (restored) rectangle and
// whether it was maximized, in one section of the configuration file. Attached to its
// owner window, it puts the window back there on every show and saves the placement on
// every close; the program may also save and restore directly.
//
// Keys, written in this order in one write of the file: Maximized (1/0), Left, Top,
// Right and Bottom (only for a sizeable window; the edges just past it) and Saved = 1
// last. A write the file refuses shows its error ("Unable to write to <path>") and
// writes none of them; OnSaveState fires all the same.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>

class TQzFormState : public QObject
{
    Q_OBJECT
public:
    // owner: the window whose placement is kept; anything but a top-level window makes
    // every operation do nothing. Attaches itself to the owner's show and close at once.
    explicit TQzFormState(QWidget *owner);
    ~TQzFormState() override;

    bool Enabled = true; // false: SaveState and RestoreState do nothing
    QString Section;
    QString IniPath;
    std::function<void()> OnSaveState;
    std::function<void()> OnRestoreState;

    void HookFormEvents();
    void UnhookFormEvents();
    void SaveState();
    void RestoreState();
    // Whether a placement has been saved before (Saved is non-zero); looks at the file
    // whatever Enabled says.
    bool WasSaved() const;

protected:
    // Show restores before the owner's own show handling runs, close saves before its
    // close handling runs.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *form() const; // the owner when it is a top-level window
    bool sizeable() const;

    QPointer<QWidget> owner;
    bool hooked = false;
};
