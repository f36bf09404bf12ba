// The memo tree frame: the filter that narrows the tree to the memos whose text contains
// the search string typed into the search bar.
#include "Fr_qzMemos.h"

#include "IniFile.h"
#include "MemoSearchBar.h"

#include <QAction>

void TqzMemosFrame::Action_searchWideExecute()
{
    if (loadingSettings)
        return;
    ApplySearchFilter();
    IniFile::WriteBool(context.iniPath, QStringLiteral("memo"), QStringLiteral("searchWideEn"),
                       Action_searchWide->isChecked());
}

void TqzMemosFrame::ApplySearchFilter()
{
    if (OutlineNode *previous = unfoldedNode.get()) {
        unfoldedNode = OutlineNodeRef();
        VtMemos->invalidateNode(previous);
    }
    OutlineTree &tree = VtMemos->tree();
    VtMemos->beginUpdate();
    {
        const bool searching = ToolBar_Bottom->isSearching();
        const QByteArray &searchText = ToolBar_Bottom->searchText();
        const bool filtering = searching && !searchText.isEmpty();
        const bool wide = Action_searchWide->isChecked();
        searchIndex.ensureBuilt(tree);
        // Only the filter changes visibility, so the copy remembers what it last set and
        // the tree's nodes are touched only where something changes.
        const auto show = [&tree](MemoSearchIndex::Entry &entry, bool visible) {
            if (entry.visible != visible) {
                entry.visible = visible;
                tree.setVisible(entry.node, visible);
            }
        };
        // Parents come before their sub-memos, so a parent that does not match is hidden
        // first and then shown again by any sub-memo that stays visible.
        if (filtering)
            searchIndex.findAll(searchText);
        std::vector<MemoSearchIndex::Entry> &entries = searchIndex.entries();
        size_t parentEntry = 0;
        bool parentMatches = false;
        for (size_t i = 0; i < entries.size(); ++i) {
            MemoSearchIndex::Entry &entry = entries[i];
            if (!entry.parent) {
                parentEntry = i;
                parentMatches = filtering && entry.matches;
                show(entry, !filtering || parentMatches);
                continue;
            }
            const bool visible = !filtering || (wide && parentMatches) || entry.matches;
            show(entry, visible);
            if (filtering && visible) {
                show(entries[parentEntry], true);
                tree.setExpanded(entry.parent, true);
            }
        }
        if (searching)
            ShowTip(tree.visibleCount() == 0 ? 3 : 0);
        else
            ShowTip(0);
    }
    VtMemos->endUpdate();
    flushCommandState();
    expandStates.postpone(); // each keystroke defers the writing of its expansions
}
