// The memo tree frame: construction, the frame's messages and loading the memos.
#include "Fr_qzMemos.h"

#include "GeneralErrorHandler.h"
#include "ImageLists.h"
#include "IniFile.h"
#include "MemoMenus.h"
#include "MemoMessages.h"
#include "MemoRows.h"
#include "MemoSearchBar.h"
#include "Messages.h"
#include "PictureToolBar.h"
#include "SqlConnection.h"
#include "Statements.h"
#include "TQzSendMessage.h"
#include "TQzStatusBar.h"
#include "TipPanel.h"

#include <QHash>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// Closes the tree's update bracket in every case, so that the tree paints again even
// when loading fails part way.
class UpdateBracket
{
public:
    explicit UpdateBracket(OutlineView *view)
        : view(view)
    {
        view->beginUpdate();
    }
    ~UpdateBracket() { view->endUpdate(); }
    UpdateBracket(const UpdateBracket &) = delete;
    UpdateBracket &operator=(const UpdateBracket &) = delete;

private:
    OutlineView *view;
};

} // namespace

TqzMemosFrame::TqzMemosFrame(const MemoFrameContext &context, QWidget *parent)
    : QWidget(parent)
    , context(context)
    , ADOQuery1(*context.connection)
    , expandStates(*context.connection, ADOQuery1)
{
    setObjectName(QStringLiteral("Fr_qzMemos"));
    VtMemos = new OutlineView(this);
    VtMemos->setObjectName(QStringLiteral("VtMemos"));
    VtMemos->setImages(ImageLists::list16());

    createActions();
    createToolBar();
    Panel_tip = new TipPanel(this);
    connect(Panel_tip, &TipPanel::clicked, this,
            [this] { GeneralErrorHandler::guarded([this] { label_tipClick(); }); });
    ToolBar_Bottom = new MemoSearchBar(Action_searchWide, this);
    if (context.pictures)
        ToolBar_Bottom->setBackground(context.pictures->searchbar);
    connect(ToolBar_Bottom, &MemoSearchBar::searchStarting, this,
            [this] { searchIndex.ensureBuilt(VtMemos->tree()); }); // ready before the first keystroke
    connect(ToolBar_Bottom, &MemoSearchBar::filterChanged, this, [this] { ApplySearchFilter(); });
    connect(ToolBar_Bottom, &MemoSearchBar::searchCleared, this, [this] { VtMemos->setFocus(Qt::OtherFocusReason); });
    createStatusBar();
    QzSendMessage1 = new TQzSendMessage(this);
    menus = std::make_unique<MemoMenus>(MemoMenuCommands{Action_MemoAdd, Action_MemoAddChild, Action_MemoEdit,
                                                         Action_MemoDelete, Action_Email, Action_Save, Action_CopyMemo,
                                                         Action_PasteMemo, Action_SelectAll, Action_Deselect,
                                                         Action_ViewList, Action_ExpandAll, Action_CollapseAll,
                                                         Action_Export, Action_SaveAll, Action_Print},
                                        context.commands, this, [this](QMenu *menu) { fillMoveMenu(menu); });
    bindTreeEvents();

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(ToolBar_Top);
    layout->addWidget(VtMemos, 1);
    layout->addWidget(Panel_tip);
    layout->addWidget(ToolBar_Bottom);
    layout->addWidget(QzStatusBar1);

    Timer_HotDelay = new QTimer(this);
    Timer_HotDelay->setObjectName(QStringLiteral("Timer_HotDelay"));
    Timer_HotDelay->setInterval(300);
    connect(Timer_HotDelay, &QTimer::timeout, this, [this] { Timer_HotDelayTimer(); });
}

TqzMemosFrame::~TqzMemosFrame()
{
    // An edit in progress is committed first, so no typed text is lost at exit.
    commitOpenWork();
    Timer_HotDelay->stop();
    delete VtMemos;
    VtMemos = nullptr;
}

void TqzMemosFrame::commitOpenWork()
{
    GeneralErrorHandler::guarded([this] { VtMemos->endEditNode(); });
    GeneralErrorHandler::guarded([this] { expandStates.flush(); });
}

void TqzMemosFrame::createStatusBar()
{
    QzStatusBar1 = new TQzStatusBar(this);
    QzStatusBar1->setObjectName(QStringLiteral("QzStatusBar1"));
    QzStatusBar1->setFixedHeight(20);
    QzStatusBar1->addPanel(21);
    QzStatusBar1->addPanel(50);
    StatusImage = new QLabel(QzStatusBar1);
    StatusImage->setObjectName(QStringLiteral("StatusImage"));
    StatusImage->setFixedSize(16, 16);
    StatusImage->move(2, 3);
    StatusImage->setPixmap(ImageLists::statusImage().pixmap(16, 16));
}

void TqzMemosFrame::bindTreeEvents()
{
    OutlineTree &tree = VtMemos->tree();
    tree.OnCreateNodeData = [] { return std::make_unique<TMemoInfo>(); };
    tree.OnCompareNodes = [this](const OutlineNode *a, const OutlineNode *b) { return VtMemosCompareNodes(a, b, 0); };
    tree.OnExpanded = [this](OutlineNode *node) { GeneralErrorHandler::guarded([&] { VtMemosExpanded(node); }); };
    tree.OnCollapsed = [this](OutlineNode *node) { GeneralErrorHandler::guarded([&] { VtMemosCollapsed(node); }); };
    tree.OnSelectionChange = [this](OutlineNode *node) { VtMemosChange(node); };

    VtMemos->OnGetText = [this](OutlineNode *node, qsizetype maxLength) { return VtMemosGetText(node, 0, maxLength); };
    VtMemos->OnPaintText = [this](OutlineNode *node, QFont &font, QColor &color) {
        VtMemosPaintText(node, font, color);
    };
    VtMemos->OnMeasureItem = [this](OutlineNode *node, int &height) { VtMemosMeasureItem(node, height); };
    VtMemos->OnBeforeCellPaint = [this](QPainter *painter, OutlineNode *node, const QRect &rect) {
        VtMemosBeforeCellPaint(painter, node, rect);
    };
    VtMemos->OnGetImageIndex = [this](OutlineNode *node) { return VtMemosGetImageIndex(node, 0); };
    VtMemos->OnGetHint = [this](OutlineNode *node) { return VtMemosGetHint(node); };
    VtMemos->OnEditing = [this](OutlineNode *node) { return VtMemosEditing(node, 0); };
    VtMemos->OnNewText = [this](OutlineNode *node, const QString &text) {
        GeneralErrorHandler::guarded([&] { VtMemosNewText(node, 0, text); });
    };
    VtMemos->OnEdited = [this](OutlineNode *node) { VtMemosEdited(node, 0); };
    VtMemos->OnEditCancelled = [this] { VtMemosEditCancelled(0); };
    VtMemos->OnHotChange = [this](OutlineNode *oldNode, OutlineNode *newNode) { VtMemosHotChange(oldNode, newNode); };
    VtMemos->OnKeyDown = [this](QKeyEvent *event) {
        bool handled = false;
        GeneralErrorHandler::guarded([&] { handled = VtMemosKeyDown(event); });
        return handled;
    };
    VtMemos->OnMouseMove = [this](const QPoint &pos) { VtMemosMouseMove(pos); };
    VtMemos->OnDblClick = [this] { VtMemosDblClick(); };
    VtMemos->OnGetPopupMenu = [this](OutlineNode *node) { return VtMemosGetPopupMenu(node); };
    VtMemos->OnDragAllowed = [this](OutlineNode *node) { return VtMemosDragAllowed(node); };
    VtMemos->OnDragOver = [this](OutlineNode *node, const QPoint &point) { return VtMemosDragOver(node, point); };
    VtMemos->OnDragDrop = [this](OutlineNode *node, const QPoint &point) {
        GeneralErrorHandler::guarded([&] { VtMemosDragDrop(node, point); });
    };
}

bool TqzMemosFrame::event(QEvent *event)
{
    switch (static_cast<int>(event->type())) {
    case Msg::ReloadMemos:
        GeneralErrorHandler::guarded([this] { ReloadMemos(); });
        break;
    case Msg::SetupTree:
        GeneralErrorHandler::guarded([this] { handleSetupTree(); });
        break;
    case Msg::AddMemo:
        GeneralErrorHandler::guarded([this] { Action_MemoAddExecute(); });
        break;
    case Msg::StartEdit:
        GeneralErrorHandler::guarded([this] { startEdit(); });
        break;
    case Msg::DiscardNode:
        GeneralErrorHandler::guarded([this, event] {
            // A node removed in the meantime (the tree was emptied) reads as nullptr.
            VtMemos->tree().deleteNode(static_cast<DiscardNodeEvent *>(event)->node.get());
            // The tip is set after the removal, so an emptied tree invites adding again.
            ShowTip(0);
        });
        break;
    default:
        break;
    }
    return QWidget::event(event);
}

void TqzMemosFrame::startEdit()
{
    // The node may have gone since the edit was requested (the tree was reloaded).
    if (OutlineNode *node = editingNode.get()) {
        ShowTip(1);
        VtMemos->editNode(node);
    }
}

void TqzMemosFrame::handleSetupTree()
{
    if (context.hostWindow && menus->menuBar()) {
        context.hostWindow->setMenuBar(menus->menuBar());
        menus->menuBar()->show();
    }
    VtMemos->tree().sort(sortAscending);
    if (!treeFocused) {
        VtMemos->setFocus(Qt::OtherFocusReason);
        treeFocused = true;
    }
}

void TqzMemosFrame::ReloadMemos()
{
    {
        // The settings flag is cleared even when counting fails, or the view commands
        // would stay dead for the rest of the session.
        expandStates.flush(); // the load reads the stored states
        loadingSettings = true;
        treeFocused = false;
        struct SettingsDone
        {
            bool &flag;
            ~SettingsDone() { flag = false; }
        } settingsDone{loadingSettings};
        VtMemos->tree().clear();
        readViewSettings();
        // Each step reports its own failure (no data file, a settings file that cannot
        // be written); whatever failed, the frame still reaches its idle state below.
        if (canStore()) // a data file that could not be opened has been reported
            GeneralErrorHandler::guarded([this] {
                IniFile::WriteInteger(context.iniPath, QStringLiteral("log"), QStringLiteral("privateMemos"),
                                      CountMemos());
                IniFile::WriteInteger(context.iniPath, QStringLiteral("log"), QStringLiteral("publicMemos"), 0);
            });
    }
    if (canStore())
        GeneralErrorHandler::guarded([this] { LoadMemoTree(); });
    ApplySearchFilter();
    UpdateCommandState();
    ToolBar_Bottom->setSearchIdle();
    VtMemos->setHint(QStringLiteral("Double click to add a Memo!"));
    showRandomStatusHint();
}

bool TqzMemosFrame::canStore() const
{
    return context.connection && context.connection->isOpen();
}

int TqzMemosFrame::CountMemos()
{
    OpenSql(ADOQuery1, Sql::kCountMemos);
    return ADOQuery1.asInteger(QStringLiteral("cnt"));
}

void TqzMemosFrame::LoadMemoTree()
{
    // One pass over the table instead of one statement per top-level memo: at 100,000
    // memos the per-memo statements cost most of the load. Rows come in the table's
    // order, so siblings stand in the same order as they would with those statements.
    // Sub-memos are attached after the pass, as a sub-memo's row may come before its
    // parent's. Rows under a sub-memo or under a missing memo are not shown.
    OutlineTree &tree = VtMemos->tree();
    UpdateBracket bracket(VtMemos);
    QHash<QByteArray, OutlineNode *> topLevelById;
    std::vector<std::unique_ptr<TMemoInfo>> subMemos;
    OpenSql(ADOQuery1, Sql::kSelectAllMemos);
    const MemoColumns columns(ADOQuery1);
    for (; !ADOQuery1.eof(); ADOQuery1.next()) {
        auto row = std::make_unique<TMemoInfo>();
        readMemoRow(ADOQuery1, columns, *row);
        if (row->pid != "root") {
            subMemos.push_back(std::move(row));
            continue;
        }
        OutlineNode *memoNode = addMemoNode(nullptr);
        TMemoInfo *memo = memoOf(memoNode);
        *memo = std::move(*row);
        topLevelById.insert(memo->mid, memoNode);
    }
    ADOQuery1.close();
    for (auto &row : subMemos) {
        if (OutlineNode *parent = topLevelById.value(row->pid))
            *memoOf(addMemoNode(parent)) = std::move(*row);
    }
    // Applying the stored state raises the expanded event, which finds the flag
    // unchanged and so writes nothing.
    for (int i = 0; i < tree.topLevelCount(); ++i) {
        OutlineNode *memoNode = tree.topLevelNode(i);
        tree.setExpanded(memoNode, memoOf(memoNode)->expandFlag);
    }
    searchIndex.invalidate();
}

OutlineNode *TqzMemosFrame::addMemoNode(OutlineNode *parent)
{
    return VtMemos->tree().addChild(parent);
}
