// A real top-level window holding the memo tree frame, built the way the main window
// builds it (its own connection to the data file, the configuration file, the background
// pictures, the window as host of the frame's menu bar), with a synchronous paint and a
// count of the tree's paints so a measurement can tell that the tree was really drawn.
#pragma once

#include "SqlConnection.h"

#include <QMainWindow>
#include <QPointer>

struct BackgroundPictures;
class MemoSearchBar;
class OutlineView;
class QLineEdit;
class TqzMemosFrame;
class PaintCounter;

class MemoTreeHost
{
public:
    // Opens the data file and shows a 371 x 480 window holding a new, empty frame.
    // pictures may be null and must outlive the host. Throws JotterlyError when the data
    // file cannot be opened.
    MemoTreeHost(const QString &dataFile, const QString &iniPath, const BackgroundPictures *pictures);
    ~MemoTreeHost();
    MemoTreeHost(const MemoTreeHost &) = delete;
    MemoTreeHost &operator=(const MemoTreeHost &) = delete;

    TqzMemosFrame *frame() const;
    // The frame's parts, found by name as a user finds them on the screen.
    OutlineView *tree() const;
    MemoSearchBar *searchBar() const;
    QLineEdit *searchBox() const;
    // Loads every memo now, as the program's load message does.
    void reload();
    QMainWindow &window() { return mainWindow; }

    // Repaints the whole window at once, then handles the events that follow (layout
    // requests, deferred updates), so the window shows the current state.
    void paintNow();
    // Paint events received so far by the tree's viewport.
    int treePaints() const;
    // What the main window posts after the load: the menu bar, the sort in the stored
    // direction and the focus on the tree.
    void runStartUpMessage();

private:
    SqlConnection connection; // declared first: the frame goes before its connection
    QMainWindow mainWindow;
    QPointer<TqzMemosFrame> memoFrame;
    PaintCounter *paintCounter = nullptr;
};
