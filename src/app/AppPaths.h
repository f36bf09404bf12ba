// Where the program finds its files: exeDir holds the read-only resources (Images/,
// help pages); dataDir holds qzData.qzb, qzConf.ini and Temp/. Both end with "/".
// Tests set them to folders of their own, so no test touches a real user's files.
#pragma once

#include <QString>

struct AppPaths
{
    QString exeDir;
    QString dataDir;

    // The paths of the running executable, the per-user data folder made when it is used.
    static AppPaths forExecutable();
    // The rule: resources beside the executable (the build tree, a portable copy), with
    // the data there too when that folder is writable; otherwise resources in
    // ../share/jotterly/ of an installation, whose data always lives in the per-user
    // folder, also under a prefix the user may write to.
    static AppPaths forProgramIn(const QString &executableDir, const QString &perUserDataDir);
};
