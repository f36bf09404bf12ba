// The memo tree frame: sort direction, list view, expand and collapse all, and storing
// each memo's expanded state.
#include "Fr_qzMemos.h"

#include "ImageLists.h"
#include "IniFile.h"
#include "MemoCompare.h"
#include "Statements.h"

#include <QAction>

namespace {
const QString kMemoSection = QStringLiteral("memo");
}

void TqzMemosFrame::readViewSettings()
{
    sortAscending = IniFile::ReadBool(context.iniPath, kMemoSection, QStringLiteral("viewAscEn"), true);
    setSortCommandLook();
    // Setting the checked state does not run the commands.
    Action_ViewList->setChecked(IniFile::ReadBool(context.iniPath, kMemoSection, QStringLiteral("viewListEn"), false));
    Action_searchWide->setChecked(
        IniFile::ReadBool(context.iniPath, kMemoSection, QStringLiteral("searchWideEn"), false));
    VtMemos->invalidateAll();
}

void TqzMemosFrame::setSortCommandLook()
{
    // The hint names the direction that the next click gives.
    const int image = sortAscending ? 8 : 7;
    Action_ViewAsc->setIcon(ImageLists::commandIcon(image));
    Action_ViewAsc->setProperty("imageIndex", image);
    Action_ViewAsc->setToolTip(sortAscending ? QStringLiteral("Descending Sort") : QStringLiteral("Ascending Sort"));
}

void TqzMemosFrame::Action_ViewAscExecute()
{
    sortAscending = !sortAscending;
    setSortCommandLook();
    VtMemos->tree().sort(sortAscending);
    IniFile::WriteBool(context.iniPath, kMemoSection, QStringLiteral("viewAscEn"), sortAscending);
}

void TqzMemosFrame::Action_ViewListExecute()
{
    if (loadingSettings)
        return;
    // Every row is measured again, hidden and collapsed ones included.
    VtMemos->invalidateAll();
    IniFile::WriteBool(context.iniPath, kMemoSection, QStringLiteral("viewListEn"), Action_ViewList->isChecked());
}

void TqzMemosFrame::Action_ExpandAllExecute()
{
    OutlineTree &tree = VtMemos->tree();
    VtMemos->beginUpdate();
    for (int i = 0; i < tree.topLevelCount(); ++i)
        tree.setExpanded(tree.topLevelNode(i), true);
    VtMemos->endUpdate();
    flushCommandState();
}

void TqzMemosFrame::Action_CollapseAllExecute()
{
    OutlineTree &tree = VtMemos->tree();
    VtMemos->beginUpdate();
    for (int i = 0; i < tree.topLevelCount(); ++i)
        tree.setExpanded(tree.topLevelNode(i), false);
    VtMemos->endUpdate();
    flushCommandState();
}

int TqzMemosFrame::VtMemosCompareNodes(const OutlineNode *node1, const OutlineNode *node2, int) const
{
    if (!node1 || !node2)
        return 0;
    return CompareMemoTexts(memoOf(node1)->content, memoOf(node2)->content);
}

void TqzMemosFrame::storeExpandFlag(OutlineNode *node, bool expanded)
{
    TMemoInfo *memo = memoOf(node);
    if (memo->expandFlag == expanded)
        return;
    memo->expandFlag = expanded;
    // Bulk changes (loading, searching, expanding all) are written when the user pauses.
    expandStates.store(memo->mid, expanded, VtMemos->isUpdating());
}

void TqzMemosFrame::VtMemosExpanded(OutlineNode *node)
{
    if (!node)
        return;
    storeExpandFlag(node, true);
    updateCommandStateSoon();
}

void TqzMemosFrame::VtMemosCollapsed(OutlineNode *node)
{
    if (!node)
        return;
    storeExpandFlag(node, false);
    updateCommandStateSoon();
}
