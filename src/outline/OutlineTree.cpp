#include "OutlineTree.h"

#include <QtGlobal>

#include <algorithm>
#include <cassert>

OutlineTree::OutlineTree()
    : root(new OutlineNode)
{
    root->expanded = true;
}

OutlineTree::~OutlineTree()
{
    watcher = nullptr;
    clear();
}

void OutlineTree::notifyRows()
{
    if (watcher)
        watcher->rowsChanged();
}

void OutlineTree::renumber(OutlineNode *parent, int from)
{
    for (int i = from; i < parent->childCount(); ++i)
        parent->kids[static_cast<size_t>(i)]->position = i;
}

OutlineNode *OutlineTree::addChild(OutlineNode *parent)
{
    OutlineNode *owner = parent ? parent : root.get();
    std::unique_ptr<OutlineNode> node(new OutlineNode);
    node->parentNode = owner;
    node->position = owner->childCount();
    if (OnCreateNodeData)
        node->payload = OnCreateNodeData();
    OutlineNode *added = node.get();
    owner->kids.push_back(std::move(node));
    ++nodeCount;
    ++visibleNodes;
    ++structureChanges;
    notifyRows();
    return added;
}

// Runs the free event for the node and its descendants (children first), drops them from
// the counters and turns every weak reference to them into nullptr. Nothing is deleted yet.
void OutlineTree::forgetSubtree(OutlineNode *node)
{
    for (auto &kid : node->kids)
        forgetSubtree(kid.get());
    if (OnFreeNode)
        OnFreeNode(node);
    if (node->selected) {
        node->selected = false;
    }
    if (node->visible)
        --visibleNodes;
    --nodeCount;
    if (node->selfRef)
        *node->selfRef = nullptr;
}

void OutlineTree::deleteNodes(const std::vector<OutlineNode *> &requested)
{
    for (OutlineNode *node : requested)
        node->mark = true;
    // A node whose ancestor goes as well needs no handling of its own.
    std::vector<OutlineNode *> nodes;
    for (OutlineNode *node : requested) {
        bool ancestorGoes = false;
        for (OutlineNode *p = node->parent(); p && !ancestorGoes; p = p->parent())
            ancestorGoes = p->mark;
        if (!ancestorGoes)
            nodes.push_back(node);
    }
    for (OutlineNode *node : requested)
        node->mark = false;
    if (nodes.empty())
        return;

    if (watcher)
        for (OutlineNode *node : nodes)
            watcher->nodeAboutToBeDeleted(node);
    for (OutlineNode *node : nodes)
        forgetSubtree(node);
    // The forgotten nodes are still alive, so the selection can be compacted safely.
    selection.erase(
        std::remove_if(selection.begin(), selection.end(), [](const OutlineNode *n) { return !n->selected; }),
        selection.end());

    ++structureChanges;
    std::vector<OutlineNode *> parents;
    for (OutlineNode *node : nodes) {
        node->position = -1; // removed from its parent's list below
        if (!node->parentNode->mark) {
            node->parentNode->mark = true;
            parents.push_back(node->parentNode);
        }
    }
    for (OutlineNode *parent : parents) {
        parent->mark = false;
        auto &kids = parent->kids;
        kids.erase(std::remove_if(kids.begin(), kids.end(),
                                  [](const std::unique_ptr<OutlineNode> &n) { return n->position < 0; }),
                   kids.end());
        renumber(parent, 0);
    }
    notifyRows();
}

void OutlineTree::clear()
{
    std::vector<OutlineNode *> all;
    all.reserve(static_cast<size_t>(root->childCount()));
    for (auto &kid : root->kids)
        all.push_back(kid.get());
    deleteNodes(all);
}

void OutlineTree::deleteNode(OutlineNode *node)
{
    if (node)
        deleteNodes({node});
}

void OutlineTree::deleteChildren(OutlineNode *node)
{
    if (!node || node->kids.empty())
        return;
    std::vector<OutlineNode *> kids;
    for (auto &kid : node->kids)
        kids.push_back(kid.get());
    deleteNodes(kids);
}

void OutlineTree::deleteSelectedNodes()
{
    const std::vector<OutlineNode *> doomed = selection;
    deleteNodes(doomed);
    if (OnSelectionChange)
        OnSelectionChange(nullptr);
}

bool OutlineTree::moveNode(OutlineNode *node, OutlineNode *target, bool asFirstChild)
{
    const OutlineNode *newParent = target ? target : root.get();
    int position = asFirstChild ? 0 : newParent->childCount();
    if (!asFirstChild && node->parentNode == newParent)
        --position; // it leaves the list before it is put back at the end
    return moveNodeTo(node, target, position);
}

bool OutlineTree::moveNodeTo(OutlineNode *node, OutlineNode *target, int position)
{
    OutlineNode *newParent = target ? target : root.get();
    for (OutlineNode *p = newParent; p; p = p->parentNode)
        if (p == node)
            return false;
    OutlineNode *oldParent = node->parentNode;
    const int from = node->position;
    std::unique_ptr<OutlineNode> owned = std::move(oldParent->kids[static_cast<size_t>(from)]);
    oldParent->kids.erase(oldParent->kids.begin() + from);
    renumber(oldParent, from);
    owned->parentNode = newParent;
    position = qBound(0, position, newParent->childCount());
    newParent->kids.insert(newParent->kids.begin() + position, std::move(owned));
    renumber(newParent, position);
    ++structureChanges;
    selectionSorted = selection.size() < 2;
    notifyRows();
    return true;
}

OutlineNode *OutlineTree::nextNode(const OutlineNode *node)
{
    if (!node)
        return nullptr;
    if (node->hasChildren())
        return node->firstChild();
    for (const OutlineNode *n = node; n && n->parentNode; n = n->parentNode)
        if (OutlineNode *sibling = n->nextSibling())
            return sibling;
    return nullptr;
}

bool OutlineTree::precedes(const OutlineNode *a, const OutlineNode *b)
{
    // Bring both to the same depth, then climb together until they are siblings; an
    // ancestor comes before its descendants.
    const auto depth = [](const OutlineNode *n) {
        int d = 0;
        for (; n && n->parentNode; n = n->parentNode)
            ++d;
        return d;
    };
    int depthA = depth(a), depthB = depth(b);
    const OutlineNode *x = a, *y = b;
    for (; depthA > depthB; --depthA)
        x = x->parentNode;
    for (; depthB > depthA; --depthB)
        y = y->parentNode;
    if (x == y)
        return depth(a) < depth(b);
    while (x->parentNode != y->parentNode) {
        x = x->parentNode;
        y = y->parentNode;
    }
    return x->position < y->position;
}

void OutlineTree::setVisible(OutlineNode *node, bool visible)
{
    if (!node || node->visible == visible)
        return;
    node->visible = visible;
    visibleNodes += visible ? 1 : -1;
    notifyRows();
}

bool OutlineTree::isShown(const OutlineNode *node)
{
    if (!node || !node->visible)
        return false;
    for (const OutlineNode *p = node->parent(); p; p = p->parent())
        if (!p->visible || !p->expanded)
            return false;
    return true;
}

void OutlineTree::setExpanded(OutlineNode *node, bool expanded)
{
    if (!node || node->expanded == expanded)
        return;
    node->expanded = expanded;
    if (node->hasChildren())
        notifyRows();
    if (expanded) {
        if (OnExpanded)
            OnExpanded(node);
    } else if (OnCollapsed) {
        OnCollapsed(node);
    }
}

void OutlineTree::expandAncestors(OutlineNode *node)
{
    if (!node)
        return;
    std::vector<OutlineNode *> ancestors;
    for (OutlineNode *p = node->parent(); p; p = p->parent())
        ancestors.push_back(p);
    for (auto it = ancestors.rbegin(); it != ancestors.rend(); ++it)
        setExpanded(*it, true);
}

void OutlineTree::selectionChanged(OutlineNode *node)
{
    if (watcher)
        watcher->nodesRepaint();
    if (OnSelectionChange)
        OnSelectionChange(node);
}

void OutlineTree::setSelected(OutlineNode *node, bool selected, bool keepToSiblings)
{
    if (!node || node->selected == selected)
        return;
    if (selected) {
        if (keepToSiblings && !selection.empty() && selection.front()->parentNode != node->parentNode)
            return;
        node->selected = true;
        selection.push_back(node);
        selectionSorted = selection.size() < 2;
    } else {
        node->selected = false;
        selection.erase(std::find(selection.begin(), selection.end(), node));
    }
    selectionChanged(node);
}

void OutlineTree::clearSelection()
{
    if (selection.empty())
        return;
    for (OutlineNode *node : selection)
        node->selected = false;
    selection.clear();
    selectionSorted = true;
    selectionChanged(nullptr);
}

void OutlineTree::selectAllShown()
{
    for (OutlineNode *node : selection)
        node->selected = false;
    selection.clear();
    for (OutlineNode *node = firstNode(); node;) {
        if (!isShown(node)) {
            // Skip the whole hidden or collapsed branch.
            const OutlineNode *n = node;
            node = nullptr;
            for (; n && n->parentNode; n = n->parentNode)
                if ((node = n->nextSibling()))
                    break;
            continue;
        }
        node->selected = true;
        selection.push_back(node);
        node = nextNode(node);
    }
    selectionSorted = true;
    selectionChanged(nullptr);
}

const std::vector<OutlineNode *> &OutlineTree::selectedNodes() const
{
    if (!selectionSorted) {
        std::sort(selection.begin(), selection.end(), &OutlineTree::precedes);
        selectionSorted = true;
    }
    return selection;
}

OutlineNode *OutlineTree::firstSelected() const
{
    const auto &nodes = selectedNodes();
    return nodes.empty() ? nullptr : nodes.front();
}

void OutlineTree::sort(bool ascending)
{
    if (!OnCompareNodes)
        return;
    const auto &compare = OnCompareNodes;
    std::vector<OutlineNode *> parents{root.get()};
    while (!parents.empty()) {
        OutlineNode *parent = parents.back();
        parents.pop_back();
        auto &kids = parent->kids;
        // Equal nodes keep their order in both directions: descending compares the
        // other way round instead of reversing an ascending result.
        if (ascending)
            std::stable_sort(kids.begin(), kids.end(),
                             [&](const auto &a, const auto &b) { return compare(a.get(), b.get()) < 0; });
        else
            std::stable_sort(kids.begin(), kids.end(),
                             [&](const auto &a, const auto &b) { return compare(b.get(), a.get()) < 0; });
        renumber(parent, 0);
        for (auto &kid : kids)
            if (kid->hasChildren())
                parents.push_back(kid.get());
    }
    selectionSorted = selection.size() < 2;
    notifyRows();
}

void OutlineTree::invalidateNode(OutlineNode *node)
{
    if (!node)
        return;
    node->height = -1;
    if (watcher)
        watcher->nodeInvalidated(node);
}
