// The main window. It owns the database connection and holds the run-time state that
// other parts read (folders, configuration path, options in force, background
// pictures); it creates the memo tree at its first show and tears everything down at exit.
#pragma once

#include "AppPaths.h"
#include "DialogQuestions.h"
#include "MemoFrameContext.h"
#include "OleDateTime.h"
#include "SqlConnection.h"

#include "TQzTrayIcon.h"
#include "TrayBackend.h"

#include <QMainWindow>
#include <QPointer>
#include <QTimer>

#include <memory>

class QAction;
class QMenu;
class SingleInstance;
class TIoDm;
class TQZHHComp;
class TQzFormState;
class TQzVersionInfo;
class TcommonDm;
class TqzMemosFrame;

class TmainFm : public QMainWindow
{
    Q_OBJECT
public:
    // instance is the single-instance guard that the exit gives up; it may be null.
    // tray: the notification-area service; null means the desktop's own.
    TmainFm(const AppPaths &paths, SingleInstance *instance, std::unique_ptr<TrayBackend> tray = nullptr,
            QWidget *parent = nullptr);
    ~TmainFm() override;

    // Run-time state.
    QString exeDir;
    QString dataDir;
    QString iniPath;
    SingleInstance *instanceMutex = nullptr;
    bool firstShow = true;
    bool exiting = false;
    QPointer<TqzMemosFrame> memosFrame;
    bool addOpenEn = false;
    bool runMinimizedEn = false;
    bool visitWebEn = false;
    TDateTime visitWeb = 0;
    BackgroundPictures pictures;

    SqlConnection ADOConnection1;
    TQzVersionInfo *QzVersionInfo1 = nullptr;
    TQzFormState *QzFormState1 = nullptr; // section "form" of qzConf.ini
    TQZHHComp *QZHHComp1 = nullptr;       // F1 help, the help pages beside the executable
    TQzTrayIcon *QzTrayIcon1 = nullptr;
    TrayImages PngImageList1; // the tray picture
    QMenu *PopupMenu_Tray = nullptr;
    QTimer Timer_balloon; // a balloon at most once an hour
    // The interchange questions (replace, file names) answered with the program's dialogs,
    // parented to this window; TIoDm and the memo tree ask through it.
    DialogQuestions interchangeQuestions;

    QAction *Action_AddMemo = nullptr;
    QAction *Action_PasteMemo = nullptr;
    QAction *Action_Exit = nullptr;
    QAction *Action_DbBackup = nullptr;
    QAction *Action_DbRestore = nullptr;
    QAction *Action_Import = nullptr;

    void Action_ExitExecute();
    // Binds the backup, restore and import commands to the module that does the work.
    void attachIo(TIoDm *io);
    // The common commands: the tray menu's first item, the first-show steps, the menu
    // bar's File and Help commands.
    void attachCommon(TcommonDm *common);
    void QzTrayIcon1Click(Qt::MouseButton button);
    // The program's file version text, as written into interchange files.
    QString fileVersion() const;
    // Brings the window forward when another start of the program asks for it.
    void bringToFront();

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool event(QEvent *event) override;

private:
    void createTrayIcon(std::unique_ptr<TrayBackend> tray);
    void showBalloonOnce();
    // The desktop session ends: what is open is stored and the placement saved, and no
    // box may hold up the logout.
    void sessionEnding();
    void FormCreate();
    void keepInsideScreen();
    void FormShow();
    void FormHide();
    void firstShowSteps();
    void loadBackgroundPictures();
    void readOptionsInForce();
    void showUpdateReminder();
    void createActions();
    void tearDown(bool placementSaved = false);
    MemoFrameContext frameContext();
    void afterReadingFile(bool succeeded);

    TIoDm *IoDm = nullptr;
    QPointer<TcommonDm> commonDm; // goes before the window
};
