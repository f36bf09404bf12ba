#include "AppPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {
QString withSeparator(const QString &dir)
{
    return dir.endsWith(QLatin1Char('/')) ? dir : dir + QLatin1Char('/');
}
} // namespace

AppPaths AppPaths::forExecutable()
{
    AppPaths paths;
    paths.exeDir = withSeparator(QCoreApplication::applicationDirPath());
    if (QFileInfo(paths.exeDir).isWritable()) {
        paths.dataDir = paths.exeDir;
    } else {
        const QString perUser = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
        QDir().mkpath(perUser);
        paths.dataDir = withSeparator(perUser);
    }
    return paths;
}
