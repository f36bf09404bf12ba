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
class TQzTrayIcon;

// What the commands work on: the main window, its tray icon and placement, and its
// values in force of "Run program minimized" and "Add new item while open".
struct CommonDmContext
{
    QWidget *mainWindow = nullptr;
    TQzTrayIcon *trayIcon = nullptr;
    TQzFormState *formState = nullptr;
    QString iniPath;
    bool *runMinimizedEn = nullptr;
    bool *addOpenEn = nullptr;
    AutoStartEntry *autoStart = nullptr;
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
    QAction *HelpContents1 = nullptr; // comes with the help pages; disabled until then
    QAction *Action_Contact = nullptr;
    QAction *Action_Suggestion = nullptr;
    QAction *Action_Website = nullptr;
    QAction *Action_Update = nullptr;
    QAction *Action_About = nullptr; // comes with the About dialog; disabled until then

    bool IsAutoStartOn() const;
    void SetAutoStart(bool on);
    // Opens the home page and records the visit ([option] visitWeb, now), whether or not
    // a browser opened.
    void OpenWebSite();
    void OpenSupportMail();
    void OpenSalesMail();

    // The main window's first-show steps: its caption, then to the tray when it is to
    // start minimized (only where a tray host can take it).
    void FirstShowSteps();
    // True while the stay-on-top switch re-creates the window: its hide is no hide.
    bool isSwitchingStyle() const { return switchingStyle; }

    const CommonDmContext &context() const { return ctx; }

    void Action_UiOpenExecute();
    void Action_UiCloseExecute();
    void Action_UiStayOnTopExecute();
    void Action_OptionsExecute();

private:
    void openUrl(const QUrl &url) const;

    CommonDmContext ctx;
    bool switchingStyle = false;
};
