// What the measurements of one run share: the memo count, the folder with the generated
// data file and configuration file, the background pictures, and the window that holds
// the memo tree once it has been loaded.
#pragma once

#include "MemoFrameContext.h"
#include "MemoTreeHost.h"

#include <QString>
#include <QStringList>

#include <memory>

struct BenchSession
{
    int memoCount = 0;
    QString dataDir;             // ends with "/"; a temporary folder, never a user's own
    QString dataFile;            // dataDir + "qzData.qzb"
    QString iniPath;             // dataDir + "qzConf.ini"
    BackgroundPictures pictures; // null images when the Images folder is missing
    // The window with the memo tree, kept between measurements; the load measurement
    // makes a new one for every run.
    std::unique_ptr<MemoTreeHost> host;
    bool hostStartedUp = false; // the tree has been loaded, sorted and focused
    // Remarks for the report ("#" lines), such as how search mode was entered.
    QStringList notes;
};
