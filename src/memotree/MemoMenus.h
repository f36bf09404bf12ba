// The memo tree's menus: the context menu over a memo, the one over blank tree area,
// the menu bar that the frame installs in its window, and the two "&Move to" submenus
// (one in the context menu, one in the "&Memos" menu). The context menu and the "&Memos"
// menu list the memo commands from one list, so the two never drift apart.
#pragma once

#include "MemoFrameContext.h"

#include <QMenuBar>
#include <QPointer>

#include <functional>

class QAction;
class QMenu;
class QWidget;

// The frame's commands that the menus show.
struct MemoMenuCommands
{
    QAction *add, *addChild, *edit, *remove, *email, *save, *copy, *paste, *selectAll, *deselect, *viewList, *expandAll,
        *collapseAll, *exportMemos, *saveAll, *print;
};

class MemoMenus
{
public:
    // fillMoveMenu fills a "&Move to" submenu just before it opens. The menus belong to
    // owner; the menu bar is hidden until the frame installs it.
    MemoMenus(const MemoMenuCommands &commands, const HostCommands &host, QWidget *owner,
              std::function<void(QMenu *)> fillMoveMenu);
    ~MemoMenus();
    MemoMenus(const MemoMenus &) = delete;
    MemoMenus &operator=(const MemoMenus &) = delete;

    // PopupMenu_Memo over a memo, PopupMenu_Null over blank area.
    QMenu *popupMenu(bool overMemo) const;
    // MainMenu1; null once its window has deleted it.
    QMenuBar *menuBar() const { return MainMenu1.data(); }

    // Empties both "&Move to" submenus (they are filled again when they open) and
    // enables or disables them.
    void resetMoveMenus(bool enabled);
    bool moveMenusEnabled() const;

private:
    void addMemoCommands(QMenu *menu, QMenu *moveMenu, bool withClipboard) const;
    void buildMenuBar(const HostCommands &host);

    MemoMenuCommands commands;
    QMenu *PopupMenu_Memo = nullptr;
    QMenu *PopupMenu_Null = nullptr;
    QMenu *Menu_Moveto = nullptr;
    QMenu *MainMoveto = nullptr;
    QPointer<QMenuBar> MainMenu1;
};
