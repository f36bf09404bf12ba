// What the memo tree needs from the window that holds it: the database connection, the
// configuration file, the background pictures and the commands that other parts of the
// program contribute to its menu bar.
#pragma once

#include <QImage>
#include <QString>
#include <functional>

class InterchangeQuestions;
class QAction;
class QMainWindow;
class SqlConnection;

// The five background bitmaps, loaded once by the main window; a null image paints nothing.
struct BackgroundPictures
{
    QImage toolsbar;  // top tool bar
    QImage searchbar; // bottom tool bar
    QImage group;     // rows of sub-memos
    QImage item0;     // rows of top-level memos at even positions
    QImage item1;     // rows of top-level memos at odd positions
};

// Commands owned by the main window and the common-commands module, shown in the memo
// tree's menu bar. A null entry shows as a disabled item until its command exists.
struct HostCommands
{
    QAction *options = nullptr;
    QAction *dbBackup = nullptr;
    QAction *dbRestore = nullptr;
    QAction *importFile = nullptr;
    QAction *stayOnTop = nullptr;
    QAction *closeWindow = nullptr;
    QAction *helpContents = nullptr;
    QAction *support = nullptr;
    QAction *suggestion = nullptr;
    QAction *visitWeb = nullptr;
    QAction *checkUpdate = nullptr;
    QAction *about = nullptr;
};

struct MemoFrameContext
{
    SqlConnection *connection = nullptr;
    QString iniPath;
    QString dataDir;     // ends with "/"; the e-mail command writes into its Temp folder
    QString fileVersion; // written into exported files
    const BackgroundPictures *pictures = nullptr;
    QMainWindow *hostWindow = nullptr;
    HostCommands commands;
    // Hides the main window to the tray (Ctrl+F12); may be empty.
    std::function<void()> hideToTray;
    // Asks the file name of an export; null: the export command does nothing.
    InterchangeQuestions *questions = nullptr;
};
