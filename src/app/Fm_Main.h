// The main window. It owns the database connection and holds the run-time state that
// other parts read (folders, configuration path, options in force, background
// pictures); it creates the memo tree at its first show and tears everything down at exit.
#pragma once

#include "AppPaths.h"
#include "DialogQuestions.h"
#include "MemoFrameContext.h"
#include "OleDateTime.h"
#include "SqlConnection.h"

#include <QMainWindow>
#include <QPointer>

class QAction;
class SingleInstance;
class TIoDm;
class TQzVersionInfo;
class TqzMemosFrame;

class TmainFm : public QMainWindow
{
    Q_OBJECT
public:
    // instance is the single-instance guard that the exit gives up; it may be null.
    TmainFm(const AppPaths &paths, SingleInstance *instance, QWidget *parent = nullptr);
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
    void FormCreate();
    void keepInsideScreen();
    void FormShow();
    void FormHide();
    void firstShowSteps();
    void loadBackgroundPictures();
    void readOptionsInForce();
    void createActions();
    void tearDown();
    MemoFrameContext frameContext();
    void afterReadingFile(bool succeeded);

    TIoDm *IoDm = nullptr;
};
