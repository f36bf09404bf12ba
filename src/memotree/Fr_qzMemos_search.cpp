// The memo tree frame: the search bar and the filter that narrows the tree to the memos
// whose text contains the search string.
#include "Fr_qzMemos.h"

#include "ImageLists.h"
#include "IniFile.h"
#include "PictureToolBar.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>

namespace {

const QString kPlaceholder = QStringLiteral("  Search...");

void setTextColor(QLineEdit *edit, QPalette::ColorRole role)
{
    QPalette palette = edit->palette();
    palette.setColor(QPalette::Text, QApplication::palette().color(role));
    edit->setPalette(palette);
}

} // namespace

void TqzMemosFrame::setSearchButtonLook(bool inSearchMode)
{
    Btn_Search->setIcon(ImageLists::icon16(inSearchMode ? 19 : 18));
    Btn_Search->setProperty("imageIndex", inSearchMode ? 19 : 18);
    Btn_Search->setToolTip(inSearchMode ? QStringLiteral("Clear search") : QString());
}

void TqzMemosFrame::setSearchIdle()
{
    searching = false;
    setTextColor(Edt_Search, QPalette::PlaceholderText);
    Edt_Search->setText(kPlaceholder); // runs the change handler, which shows every memo
    setSearchButtonLook(false);
}

void TqzMemosFrame::Edt_SearchEnter()
{
    searchIndex.ensureBuilt(VtMemos->tree()); // ready before the first keystroke
    if (searching)
        return;
    Edt_Search->clear();
    setTextColor(Edt_Search, QPalette::Text);
    searching = true;
    setSearchButtonLook(true);
}

void TqzMemosFrame::Edt_SearchExit()
{
    if (!Edt_Search->text().trimmed().isEmpty())
        return; // a box with text keeps search mode and its filter
    searching = false;
    setTextColor(Edt_Search, QPalette::PlaceholderText);
    Edt_Search->setText(kPlaceholder);
    setSearchButtonLook(false);
}

void TqzMemosFrame::Edt_SearchChange()
{
    searchText = Edt_Search->text().trimmed().toUtf8();
    ApplySearchFilter();
}

bool TqzMemosFrame::Edt_SearchKeyDown(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        Btn_SearchClick();
        return true;
    }
    if (event->key() == Qt::Key_A && (event->modifiers() & Qt::ControlModifier)) {
        Edt_Search->selectAll();
        return true;
    }
    return false;
}

void TqzMemosFrame::Btn_SearchClick()
{
    if (searching) {
        Edt_Search->clear();
        Edt_SearchExit();
        ApplySearchFilter();
        VtMemos->setFocus(Qt::OtherFocusReason);
    } else {
        Edt_Search->setFocus(Qt::OtherFocusReason); // entering the box starts search mode
    }
}

void TqzMemosFrame::Action_searchWideExecute()
{
    if (loadingSettings)
        return;
    ApplySearchFilter();
    IniFile::WriteBool(context.iniPath, QStringLiteral("memo"), QStringLiteral("searchWideEn"),
                       Action_searchWide->isChecked());
}

void TqzMemosFrame::ToolBar_BottomResize()
{
    // The box stretches over the bar, leaving room for the two buttons and a 10 pixel gap;
    // a maximum rather than a fixed width, so the box never widens the window.
    const int buttonWidth = Btn_Search->sizeHint().width();
    Edt_Search->setMaximumWidth(qMax(40, ToolBar_Bottom->width() - 2 * buttonWidth - 10));
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
