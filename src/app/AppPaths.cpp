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

bool holdsResources(const QString &dir)
{
    return QFileInfo(dir + QStringLiteral("Images")).isDir();
}

} // namespace

AppPaths AppPaths::forProgramIn(const QString &executableDir, const QString &perUserDataDir)
{
    AppPaths paths;
    const QString beside = withSeparator(executableDir);
    const QString installed = withSeparator(QDir::cleanPath(beside + QStringLiteral("../share/jotterly")));
    const bool isInstalled = !holdsResources(beside) && holdsResources(installed);
    paths.exeDir = isInstalled ? installed : beside;
    paths.dataDir = !isInstalled && QFileInfo(beside).isWritable() ? beside : withSeparator(perUserDataDir);
    return paths;
}

AppPaths AppPaths::forExecutable()
{
    AppPaths paths = forProgramIn(QCoreApplication::applicationDirPath(),
                                  QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    QDir().mkpath(paths.dataDir);
    return paths;
}
