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

} // namespace

MemoMenus::MemoMenus(const MemoMenuCommands &commands, const HostCommands &host, QWidget *owner,
                     std::function<void(QMenu *)> fillMoveMenu)
    : commands(commands)
{
    Menu_Moveto = new QMenu(QStringLiteral("&Move to"), owner);
    MainMoveto = new QMenu(QStringLiteral("&Move to"), owner);
    for (QMenu *moveMenu : {Menu_Moveto, MainMoveto}) {
        moveMenu->setEnabled(false);
        QObject::connect(moveMenu, &QMenu::aboutToShow, owner, [fillMoveMenu, moveMenu] { fillMoveMenu(moveMenu); });
    }

    PopupMenu_Memo = new QMenu(owner);
    addMemoCommands(PopupMenu_Memo, Menu_Moveto, true);

    PopupMenu_Null = new QMenu(owner);
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
    QMenu *file = MainMenu1->addMenu(QStringLiteral("&File"));
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

    QMenu *edit = MainMenu1->addMenu(QStringLiteral("&Edit"));
    edit->addActions({commands.copy, commands.paste});
    edit->addSeparator();
    edit->addActions({commands.selectAll, commands.deselect});

    QMenu *view = MainMenu1->addMenu(QStringLiteral("&View"));
    view->addAction(commands.viewList);
    view->addSeparator();
    view->addActions({commands.expandAll, commands.collapseAll});

    QMenu *memos = MainMenu1->addMenu(QStringLiteral("&Memos"));
    addMemoCommands(memos, MainMoveto, false);

    QMenu *help = MainMenu1->addMenu(QStringLiteral("&Help"));
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
