// The memo tree frame: the whole working surface of the main window. It shows every
// memo in a two-level outline (top-level memos and their sub-memos) and carries the
// command tool bar, the tip panel, the search bar, the status bar, the menu bar it
// installs in the main window, and the memo commands.
//
// The frame's code is split by concern: loading and messages (this unit's .cpp),
// editing, deleting and moving, view settings, search, painting, commands and the
// clipboard each live in a Fr_qzMemos_*.cpp file of their own. Its widgets and state
// are its own; other parts of the program use its commands, and tests drive it through
// its widgets as a user would.
#pragma once

#include "ExpandStateWriter.h"
#include "MemoFrameContext.h"
#include "MemoSearchIndex.h"
#include "OutlineView.h"
#include "SqlQuery.h"
#include "TMemoInfo.h"

#include <QWidget>

#include <array>
#include <memory>

class QAction;
class TQzSendMessage;
struct ListingEntry;
struct ListingFooter;
class QLabel;
class QMenu;
class QTimer;
class MemoMenus;
class MemoSearchBar;
class PictureToolBar;
class TQzStatusBar;
class TipPanel;

class TqzMemosFrame : public QWidget
{
    Q_OBJECT
public:
    TqzMemosFrame(const MemoFrameContext &context, QWidget *parent);
    ~TqzMemosFrame() override;

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

    // What the commands run.
    void Action_MemoAddExecute();
    void Action_MemoAddChildExecute();
    void Action_MemoEditExecute();
    void Action_MemoDeleteExecute();
    // Moves the selected memos under target, or to the top level when toRoot.
    void Action_MovetoExecute(bool toRoot, OutlineNode *target);
    void Action_ViewAscExecute();
    void Action_ViewListExecute();
    void Action_ExpandAllExecute();
    void Action_CollapseAllExecute();
    void Action_SelectAllExecute();
    void Action_DeselectExecute();
    void Action_ExportExecute();
    void Action_SaveExecute();
    void Action_SaveAllExecute();
    void Action_PrintExecute();
    void Action_EmailExecute();
    // The listings: asks for a file and its type, then writes the selected memos (all:
    // every memo shown, the selection cleared afterwards).
    void SaveMemos(bool all);
    bool WriteText(bool all, const QString &fileName);
    bool WriteHtml(bool all, const QString &fileName);
    void Action_CopyMemoExecute();
    void Action_PasteMemoExecute();
    void Action_searchWideExecute();
    // Stores the text as a new top-level memo (paste, and the tray's paste).
    void AddMemoFromText(const QString &text);

    // Writes the expanded states that wait for the user to pause, so that whoever reads
    // the memos table next sees them. Throws JotterlyError when a write fails.
    void storePendingExpandStates() { expandStates.flush(); }
    // Stores what is still open, an edit in progress and expanded states not yet
    // written, for a desktop session that ends before the program's own exit.
    void commitOpenWork();

    // The memo whose text is being edited (or about to be), and the list-view row shown
    // unfolded; null when there is none.
    OutlineNode *memoBeingEdited() const { return editingNode.get(); }
    OutlineNode *unfoldedMemo() const { return unfoldedNode.get(); }

protected:
    bool event(QEvent *event) override;

private:
    bool writeListing(bool all, const QString &fileName,
                      QByteArray (*listing)(const std::vector<ListingEntry> &, const ListingFooter &));
    // The items of the "&Move to" submenus: the top level (nullptr) and top-level memos.
    struct MoveTarget
    {
        bool isRoot;
        OutlineNode *memo;
    };

    // Building.
    void createActions();
    void createToolBar();
    void createStatusBar();
    void bindTreeEvents();

    // Loading.
    // False while no data file is open: then nothing may look stored.
    bool canStore() const;
    void ReloadMemos();
    int CountMemos();
    void LoadMemoTree();
    void handleSetupTree();
    OutlineNode *addMemoNode(OutlineNode *parent);

    // Adding and editing.
    bool VtMemosEditing(OutlineNode *node, int column);
    void VtMemosNewText(OutlineNode *node, int column, const QString &newText);
    void VtMemosEdited(OutlineNode *node, int column);
    void VtMemosEditCancelled(int column);
    void startEdit();
    // Inserts the memo's row, or updates it when the memo has one; throws JotterlyError
    // when the database refuses, leaving a new memo unstored.
    void storeMemo(TMemoInfo &memo);

    // Deleting, moving, dragging.
    void BuildMoveToMenus(bool selected);
    std::vector<MoveTarget> MoveToTargets() const;
    void fillMoveMenu(QMenu *menu);
    bool VtMemosDragAllowed(OutlineNode *node);
    bool VtMemosDragOver(OutlineNode *node, const QPoint &point);
    void VtMemosDragDrop(OutlineNode *node, const QPoint &point);
    void storeNewPid(OutlineNode *node, const QByteArray &pid);
    void moveMemo(OutlineNode *node, OutlineNode *target, bool asFirst);

    // Sorting, list view, expand state.
    void readViewSettings();
    void setSortCommandLook();
    int VtMemosCompareNodes(const OutlineNode *node1, const OutlineNode *node2, int column) const;
    void VtMemosExpanded(OutlineNode *node);
    void VtMemosCollapsed(OutlineNode *node);
    void storeExpandFlag(OutlineNode *node, bool expanded);

    // Search.
    void ApplySearchFilter();

    // Painting, tip panel, status bar.
    QString VtMemosGetText(OutlineNode *node, int column, qsizetype maxLength) const;
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
    void VtMemosChange(OutlineNode *node);
    void showRandomStatusHint();
    int lineHeight() const;

    // Command state, keys and menus.
    void UpdateCommandState();
    void updateCommandStateSoon();
    void flushCommandState();
    bool VtMemosKeyDown(QKeyEvent *event);
    void VtMemosDblClick();
    QMenu *VtMemosGetPopupMenu(OutlineNode *node);

    static const std::array<const char *, 6> statusHints;

    MemoFrameContext context;

    // Widgets, top to bottom.
    PictureToolBar *ToolBar_Top = nullptr;
    OutlineView *VtMemos = nullptr;
    TipPanel *Panel_tip = nullptr;
    MemoSearchBar *ToolBar_Bottom = nullptr;
    TQzStatusBar *QzStatusBar1 = nullptr;
    TQzSendMessage *QzSendMessage1 = nullptr; // every property at its default
    QLabel *StatusImage = nullptr;
    std::unique_ptr<MemoMenus> menus;
    QTimer *Timer_HotDelay = nullptr;

    SqlQuery ADOQuery1;
    ExpandStateWriter expandStates;
    MemoSearchIndex searchIndex;

    // State.
    OutlineNodeRef editingNode;
    OutlineNodeRef unfoldedNode;
    int mouseX = 0;
    int mouseY = 0;
    bool sortAscending = false;
    bool loadingSettings = false;
    bool treeFocused = false;
    bool commandStatePending = false;
};
