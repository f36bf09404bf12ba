// The entry that starts the program when the user logs in. The program only ever makes
// the entry when it is missing (an existing one is left as it is, whatever it starts)
// and removes it when the option is cleared. Where the entry cannot be read or written,
// nothing happens and nothing is reported.
#pragma once

#include <QString>

class AutoStartEntry
{
public:
    virtual ~AutoStartEntry() = default;
    virtual bool exists() const = 0;
    // Makes the entry when it is missing.
    virtual void make() = 0;
    // Removes the entry when it exists.
    virtual void remove() = 0;
};

// The freedesktop.org way: a Desktop Entry file "<appId>.desktop" in the autostart folder
// of the user's configuration folder ($XDG_CONFIG_HOME, ~/.config when unset), named and
// pictured as the installed program's own entry, so desktops show it as the same program.
// An entry "<name>.desktop" that earlier versions made counts as the entry too.
class XdgAutoStartEntry : public AutoStartEntry
{
public:
    // appId: the program's desktop entry id, also its icon's name. executable: the full
    // path of the program to start. configHome: the configuration folder; empty means the
    // user's own.
    XdgAutoStartEntry(const QString &appId, const QString &name, const QString &executable,
                      const QString &configHome = QString());

    bool exists() const override;
    void make() override;
    void remove() override;

    QString filePath() const { return path; }

    // The path as one argument of an Exec key: quoted when it holds a character that
    // desktop entries reserve (blanks, quotes, $, *, ...), with ", `, $ and \ escaped inside the quotes,
    // then escaped once more as a desktop file string; a % is always doubled.
    static QString execArgument(const QString &executable);

private:
    QString appId;
    QString name;
    QString executable;
    QString path;
    QString earlierPath;
};
