#include "MemoMenus.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QWidget>

namespace {

void addHostCommand(QMenu *menu, QAction *command, const QString &fallbackCaption)
{
    if (command) {
        menu->addAction(command);
        return;
    }
    // The command comes with a later part of the program; until then it shows disabled.
    QAction *placeholder = menu->addAction(fallbackCaption);
    placeholder->setEnabled(false);
}

// Every separator shows where it stands, even one that ends a menu.
QMenu *keepingSeparators(QMenu *menu)
{
    menu->setSeparatorsCollapsible(false);
    return menu;
}

} // namespace

MemoMenus::MemoMenus(const MemoMenuCommands &commands, const HostCommands &host, QWidget *owner,
                     std::function<void(QMenu *)> fillMoveMenu)
    : commands(commands)
{
    Menu_Moveto = keepingSeparators(new QMenu(QStringLiteral("&Move to"), owner));
    MainMoveto = keepingSeparators(new QMenu(QStringLiteral("&Move to"), owner));
    for (QMenu *moveMenu : {Menu_Moveto, MainMoveto}) {
        moveMenu->setEnabled(false);
        QObject::connect(moveMenu, &QMenu::aboutToShow, owner, [fillMoveMenu, moveMenu] { fillMoveMenu(moveMenu); });
    }

    PopupMenu_Memo = keepingSeparators(new QMenu(owner));
    addMemoCommands(PopupMenu_Memo, Menu_Moveto, true);

    PopupMenu_Null = keepingSeparators(new QMenu(owner));
    PopupMenu_Null->addActions({commands.add, commands.addChild});
    PopupMenu_Null->addSeparator();
    PopupMenu_Null->addAction(commands.paste);

    MainMenu1 = new QMenuBar(owner);
    MainMenu1->hide();
    buildMenuBar(host);
}

MemoMenus::~MemoMenus()
{
    // The menu bar belongs to the window it was installed in; it goes with the frame.
    delete MainMenu1.data();
}

void MemoMenus::addMemoCommands(QMenu *menu, QMenu *moveMenu, bool withClipboard) const
{
    menu->addActions({commands.add, commands.addChild});
    menu->addSeparator();
    menu->addActions({commands.email, commands.save});
    menu->addSeparator();
    menu->addActions({commands.edit, commands.remove});
    menu->addSeparator();
    if (withClipboard) {
        menu->addActions({commands.copy, commands.paste});
        menu->addSeparator();
    }
    menu->addMenu(moveMenu);
}

void MemoMenus::buildMenuBar(const HostCommands &host)
{
    QMenu *file = keepingSeparators(MainMenu1->addMenu(QStringLiteral("&File")));
    addHostCommand(file, host.options, QStringLiteral("&Options..."));
    file->addSeparator();
    addHostCommand(file, host.dbBackup, QStringLiteral("Database &Backup..."));
    addHostCommand(file, host.dbRestore, QStringLiteral("Database &Restore..."));
    file->addSeparator();
    file->addAction(commands.exportMemos);
    addHostCommand(file, host.importFile, QStringLiteral("&Import"));
    file->addSeparator();
    file->addActions({commands.saveAll, commands.print});
    file->addSeparator();
    addHostCommand(file, host.stayOnTop, QStringLiteral("S&tay on top"));
    file->addSeparator();
    addHostCommand(file, host.closeWindow, QStringLiteral("&Close            Ctrl+F12"));

    QMenu *edit = keepingSeparators(MainMenu1->addMenu(QStringLiteral("&Edit")));
    edit->addActions({commands.copy, commands.paste});
    edit->addSeparator();
    edit->addActions({commands.selectAll, commands.deselect});

    QMenu *view = keepingSeparators(MainMenu1->addMenu(QStringLiteral("&View")));
    view->addAction(commands.viewList);
    view->addSeparator();
    view->addActions({commands.expandAll, commands.collapseAll});

    QMenu *memos = keepingSeparators(MainMenu1->addMenu(QStringLiteral("&Memos")));
    addMemoCommands(memos, MainMoveto, false);

    QMenu *help = keepingSeparators(MainMenu1->addMenu(QStringLiteral("&Help")));
    addHostCommand(help, host.helpContents, QStringLiteral("&Contents"));
    help->addSeparator();
    addHostCommand(help, host.support, QStringLiteral("C&ontact Technical Support"));
    addHostCommand(help, host.suggestion, QStringLiteral("&Make a Suggestion"));
    help->addSeparator();
    addHostCommand(help, host.visitWeb, QStringLiteral("&Visit Brivel Website"));
    addHostCommand(help, host.checkUpdate, QStringLiteral("Check for &Update"));
    help->addSeparator();
    addHostCommand(help, host.about, QStringLiteral("&About"));
}

QMenu *MemoMenus::popupMenu(bool overMemo) const
{
    return overMemo ? PopupMenu_Memo : PopupMenu_Null;
}

void MemoMenus::resetMoveMenus(bool enabled)
{
    for (QMenu *moveMenu : {Menu_Moveto, MainMoveto}) {
        if (!moveMenu->isEmpty())
            moveMenu->clear();
        moveMenu->setEnabled(enabled);
    }
}

bool MemoMenus::moveMenusEnabled() const
{
    return Menu_Moveto->isEnabled();
}
