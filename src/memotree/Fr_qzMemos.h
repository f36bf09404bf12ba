// The memo tree frame: the whole working surface of the main window. It shows every
// memo in a two-level outline (top-level memos and their sub-memos) and carries the
// command tool bar, the tip panel, the search bar, the status bar, the menu bar it
// installs in the main window, and the memo commands.
//
// The frame's code is split by concern: loading and messages (this unit's .cpp),
// editing, deleting and moving, view settings, search, painting, commands and the
// clipboard each live in a Fr_qzMemos_*.cpp file of their own.
#pragma once

#include "ExpandStateWriter.h"
#include "MemoFrameContext.h"
#include "MemoSearchIndex.h"
#include "OutlineView.h"
#include "SqlQuery.h"
#include "TMemoInfo.h"

#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <array>

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QToolBar;
class QToolButton;
class PictureToolBar;
class TQzStatusBar;
class TipLabel;

class TqzMemosFrame : public QWidget
{
    Q_OBJECT
public:
    TqzMemosFrame(const MemoFrameContext &context, QWidget *parent);
    ~TqzMemosFrame() override;

    // Components.
    OutlineView *VtMemos = nullptr;
    PictureToolBar *ToolBar_Top = nullptr;
    QWidget *Panel_tip = nullptr;
    QLabel *Image_Tip = nullptr;
    TipLabel *label_tip = nullptr;
    PictureToolBar *ToolBar_Bottom = nullptr;
    QToolButton *Btn_searchWide = nullptr;
    QLineEdit *Edt_Search = nullptr;
    QToolButton *Btn_Search = nullptr;
    TQzStatusBar *QzStatusBar1 = nullptr;
    QLabel *StatusImage = nullptr;
    QPointer<QMenuBar> MainMenu1;
    QMenu *PopupMenu_Memo = nullptr;
    QMenu *PopupMenu_Null = nullptr;
    QMenu *Menu_Moveto = nullptr;
    QMenu *MainMoveto = nullptr;
    QTimer Timer_HotDelay;
    SqlQuery ADOQuery1;
    ExpandStateWriter expandStates;

    // Commands.
    QAction *Action_MemoAdd = nullptr;
    QAction *Action_MemoAddChild = nullptr;
    QAction *Action_MemoEdit = nullptr;
    QAction *Action_MemoDelete = nullptr;
    QAction *Action_ViewAsc = nullptr;
    QAction *Action_ViewList = nullptr;
    QAction *Action_Moveto = nullptr;
    QAction *Action_ExpandAll = nullptr;
    QAction *Action_CollapseAll = nullptr;
    QAction *Action_SelectAll = nullptr;
    QAction *Action_Deselect = nullptr;
    QAction *Action_CopyMemo = nullptr;
    QAction *Action_PasteMemo = nullptr;
    QAction *Action_Export = nullptr;
    QAction *Action_Email = nullptr;
    QAction *Action_Save = nullptr;
    QAction *Action_SaveAll = nullptr;
    QAction *Action_Print = nullptr;
    QAction *Action_searchWide = nullptr;

    // State.
    OutlineNodeRef editingNode;
    OutlineNodeRef unfoldedNode;
    QByteArray searchText;
    bool searching = false;
    int tipMode = 0;
    int mouseX = 0;
    int mouseY = 0;
    bool sortAscending = false;
    bool loadingSettings = false;
    bool treeFocused = false;

    // Loading.
    void ReloadMemos();
    int CountMemos();
    void LoadMemoTree();

    // Adding and editing.
    void Action_MemoAddExecute();
    void Action_MemoAddChildExecute();
    void Action_MemoEditExecute();
    bool VtMemosEditing(OutlineNode *node, int column);
    void VtMemosNewText(OutlineNode *node, int column, const QString &newText);
    void VtMemosEdited(OutlineNode *node, int column);
    void VtMemosEditCancelled(int column);

    // Deleting, moving, dragging.
    void Action_MemoDeleteExecute();
    void BuildMoveToMenus();
    // The items of the "&Move to" submenus: the top level (nullptr) and top-level memos.
    struct MoveTarget { bool isRoot; OutlineNode *memo; };
    std::vector<MoveTarget> MoveToTargets() const;
    void Action_MovetoExecute(bool toRoot, OutlineNode *target);
    bool VtMemosDragAllowed(OutlineNode *node);
    bool VtMemosDragOver(OutlineNode *node, const QPoint &point);
    void VtMemosDragDrop(OutlineNode *node, const QPoint &point);

    // Sorting, list view, expand state.
    void Action_ViewAscExecute();
    void Action_ViewListExecute();
    void Action_ExpandAllExecute();
    void Action_CollapseAllExecute();
    int VtMemosCompareNodes(const OutlineNode *node1, const OutlineNode *node2, int column) const;
    void VtMemosExpanded(OutlineNode *node);
    void VtMemosCollapsed(OutlineNode *node);

    // Search.
    void Edt_SearchEnter();
    void Edt_SearchExit();
    void Edt_SearchChange();
    bool Edt_SearchKeyDown(QKeyEvent *event);
    void Btn_SearchClick();
    void Action_searchWideExecute();
    void ToolBar_BottomResize();
    void ApplySearchFilter();

    // Painting, tip panel, status bar.
    QString VtMemosGetText(OutlineNode *node, int column) const;
    void VtMemosPaintText(OutlineNode *node, QFont &font, QColor &color) const;
    void VtMemosMeasureItem(OutlineNode *node, int &nodeHeight) const;
    void VtMemosBeforeCellPaint(QPainter *painter, OutlineNode *node, const QRect &cellRect) const;
    int VtMemosGetImageIndex(OutlineNode *node, int column) const;
    QString VtMemosGetHint(OutlineNode *node) const;
    void VtMemosMouseMove(const QPoint &pos);
    void VtMemosHotChange(OutlineNode *oldNode, OutlineNode *newNode);
    void Timer_HotDelayTimer();
    void ShowTip(int mode);
    void label_tipClick();
    void Panel_tipResize();
    void VtMemosChange(OutlineNode *node);
    int lineHeight() const;

    // Commands, keys and menus.
    void UpdateCommandState();
    bool VtMemosKeyDown(QKeyEvent *event);
    void VtMemosDblClick();
    QMenu *VtMemosGetPopupMenu(OutlineNode *node);
    void Action_SelectAllExecute();
    void Action_DeselectExecute();

    // Export.
    void Action_ExportExecute();

    // Clipboard.
    void Action_CopyMemoExecute();
    void Action_PasteMemoExecute();
    void AddMemoFromText(const QString &text);

    static const std::array<const char *, 4> tipTexts;
    static const std::array<int, 4> tipImages;
    static const std::array<const char *, 6> statusHints;

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createActions();
    void createToolBars();
    void createTipPanel();
    void createMenus();
    void bindTreeEvents();
    void readViewSettings();
    void setSearchIdle();
    void showRandomStatusHint();
    void handleSetupTree();
    void storeExpandFlag(OutlineNode *node, bool expanded);
    void storeNewPid(OutlineNode *node, const QByteArray &pid);
    void moveMemo(OutlineNode *node, OutlineNode *target, bool asFirst);
    OutlineNode *addMemoNode(OutlineNode *parent);
    void fillMoveMenu(QMenu *menu);
    void setSortCommandLook();
    void setSearchButtonLook(bool inSearchMode);
    void updateCommandStateSoon();
    void flushCommandState();

    MemoFrameContext context;
    bool commandStatePending = false;
    MemoSearchIndex searchIndex;
};
