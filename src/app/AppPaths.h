// Where the program finds its files: exeDir holds the read-only resources (Images/,
// help pages); dataDir holds qzData.qzb, qzConf.ini and Temp/. Both end with "/".
// Tests set them to folders of their own, so no test touches a real user's files.
#pragma once

#include <QString>

struct AppPaths
{
    QString exeDir;
    QString dataDir;

    // The executable's folder for both when it is writable (portable use and the build
    // tree); otherwise the per-user data folder, made when missing.
    static AppPaths forExecutable();
};
