#include "AutoStartEntry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>

namespace {

QString userConfigHome()
{
    const QString fromEnvironment = qEnvironmentVariable("XDG_CONFIG_HOME");
    // Only an absolute path counts as a configuration folder; anything else is ignored.
    if (!fromEnvironment.isEmpty() && QDir::isAbsolutePath(fromEnvironment))
        return fromEnvironment;
    return QDir::homePath() + QStringLiteral("/.config");
}

} // namespace

XdgAutoStartEntry::XdgAutoStartEntry(const QString &appId, const QString &name, const QString &executable,
                                     const QString &configHome)
    : appId(appId)
    , name(name)
    , executable(executable)
{
    const QString folder = (configHome.isEmpty() ? userConfigHome() : configHome) + QStringLiteral("/autostart/");
    path = folder + appId + QStringLiteral(".desktop");
    earlierPath = folder + name + QStringLiteral(".desktop");
}

bool XdgAutoStartEntry::exists() const
{
    return QFileInfo::exists(path) || QFileInfo::exists(earlierPath);
}

QString XdgAutoStartEntry::execArgument(const QString &executable)
{
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    const bool quoted = std::any_of(executable.begin(), executable.end(), [](QChar c) { return reserved.contains(c); });
    QString argument;
    if (quoted) {
        argument += QLatin1Char('"');
        for (QChar c : executable) {
            if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
                argument += QLatin1Char('\\');
            argument += c;
        }
        argument += QLatin1Char('"');
    } else {
        argument = executable;
    }
    // The value is a desktop file string too, where a backslash is written doubled, and
    // a % would start a field code.
    argument.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    argument.replace(QLatin1Char('%'), QStringLiteral("%%"));
    return argument;
}

void XdgAutoStartEntry::make()
{
    if (exists() || !QDir().mkpath(QFileInfo(path).path()))
        return;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return;
    const QString text = QStringLiteral("[Desktop Entry]\n"
                                        "Type=Application\n"
                                        "Name=%1\n"
                                        "Icon=%2\n"
                                        "Exec=%3\n"
                                        "Terminal=false\n"
                                        "X-GNOME-Autostart-enabled=true\n")
                             .arg(name, appId, execArgument(executable));
    file.write(text.toUtf8());
    file.commit(); // a failure leaves no entry, which is what an unwritable folder means
}

void XdgAutoStartEntry::remove()
{
    for (const QString &entry : {path, earlierPath}) {
        if (QFileInfo::exists(entry))
            QFile::remove(entry);
    }
}
