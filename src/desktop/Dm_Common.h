// The commands that do not belong to the memo tree: opening and closing the main window
// to and from the tray, keeping it on top, the Options dialog with start at login, help,
// About, and the commands that open the product's web site or a mail to support. Its
// commands appear in the memo tree's menu bar and, the open command, in the tray menu.
// It also owns the main window's first-show steps and its two start-up options.
#pragma once

#include <QObject>
#include <QString>

#include <functional>

class AutoStartEntry;
class QAction;
class QUrl;
class QWidget;
class TQzFormState;
class TQZHHComp;
class TQzTrayIcon;

// What the commands work on: the main window, its tray icon, placement and help, and
// its values in force of "Run program minimized", "Add new item while open" and the
// update reminder.
struct CommonDmContext
{
    QWidget *mainWindow = nullptr;
    TQzTrayIcon *trayIcon = nullptr;
    TQzFormState *formState = nullptr;
    QString iniPath;
    bool *runMinimizedEn = nullptr;
    bool *addOpenEn = nullptr;
    AutoStartEntry *autoStart = nullptr;
    bool *visitWebEn = nullptr;
    const double *visitWeb = nullptr; // the last visit: days since 1899-12-30
    TQZHHComp *help = nullptr;
    QString exeDir;      // ends with "/"; the About picture is found there
    QString fileVersion; // shown by About
    // Hands a page or a mail address to the desktop; empty means QDesktopServices.
    std::function<void(const QUrl &)> openUrl;
};

class TcommonDm : public QObject
{
    Q_OBJECT
public:
    TcommonDm(const CommonDmContext &context, QObject *parent = nullptr);

    QAction *Action_UiOpen = nullptr;
    QAction *Action_UiClose = nullptr;
    QAction *Action_UiStayOnTop = nullptr;
    QAction *Action_Options = nullptr;
    QAction *HelpContents1 = nullptr;
    QAction *Action_Contact = nullptr;
    QAction *Action_Suggestion = nullptr;
    QAction *Action_Website = nullptr;
    QAction *Action_Update = nullptr;
    QAction *Action_About = nullptr;

    // "Run program minimized" as the user chose it: also on while this start was kept in
    // sight for the update reminder, so that Options does not turn it off unasked.
    bool RunMinimizedOption() const;
    void SetRunMinimizedOption(bool on);
    bool IsAutoStartOn() const;
    void SetAutoStart(bool on);
    // Opens the home page and records the visit ([option] visitWeb, now), whether or not
    // a browser opened.
    void OpenWebSite();
    void OpenSupportMail();
    void OpenSalesMail();

    // The main window's first-show steps: its caption; the update reminder, posted so that
    // it opens once the memos have loaded, and keeping the window shown for it; then to
    // the tray when it is to start minimized (only where a tray host can take it).
    void FirstShowSteps();

    const CommonDmContext &context() const { return ctx; }

    void Action_UiOpenExecute();
    void Action_UiCloseExecute();
    void Action_UiStayOnTopExecute();
    void Action_OptionsExecute();
    // Opens the help pages at their start with the desktop's viewer for them.
    void HelpContents1Execute();
    void Action_AboutExecute();

private:
    void openUrl(const QUrl &url) const;

    CommonDmContext ctx;
    bool runMinimizedHeldBack = false;
};
