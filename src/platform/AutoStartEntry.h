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

// The freedesktop.org way: a Desktop Entry file "<name>.desktop" in the autostart folder
// of the user's configuration folder ($XDG_CONFIG_HOME, ~/.config when unset).
class XdgAutoStartEntry : public AutoStartEntry
{
public:
    // executable: the full path of the program to start. configHome: the configuration
    // folder; empty means the user's own.
    XdgAutoStartEntry(const QString &name, const QString &executable, const QString &configHome = QString());

    bool exists() const override;
    void make() override;
    void remove() override;

    QString filePath() const { return path; }

    // The path as one argument of an Exec key: quoted when it holds a character that
    // desktop entries reserve (blanks, quotes, $, *, ...), with ", `, $ and \ escaped inside the quotes,
    // then escaped once more as a desktop file string; a % is always doubled.
    static QString execArgument(const QString &executable);

private:
    QString name;
    QString executable;
    QString path;
};
