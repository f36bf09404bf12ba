// The structure of the outline, without widgets: nodes under an invisible root, their
// visible, expanded and selected states, pre-order walks, moves and a stable sort.
//
// Owners react through assignable events. A view registers itself as the observer to
// learn that rows or heights must be laid out again; it is told before any node goes.
#pragma once

#include "OutlineNode.h"

#include <QtGlobal>

#include <functional>

class OutlineTreeObserver
{
public:
    virtual ~OutlineTreeObserver() = default;
    // The set or order of shown rows may have changed.
    virtual void rowsChanged() = 0;
    // A node must be measured again and repainted.
    virtual void nodeInvalidated(OutlineNode *node) = 0;
    // Only the painting of these nodes changed (selection).
    virtual void nodesRepaint() = 0;
    // The node and its descendants are about to be deleted.
    virtual void nodeAboutToBeDeleted(OutlineNode *node) = 0;
};

class OutlineTree
{
public:
    OutlineTree();
    ~OutlineTree();
    OutlineTree(const OutlineTree &) = delete;
    OutlineTree &operator=(const OutlineTree &) = delete;

    // Events, assigned by the owner.
    std::function<std::unique_ptr<OutlineNodeData>()> OnCreateNodeData; // a zero-filled record
    std::function<void(OutlineNode *)> OnFreeNode;                      // before a node goes
    std::function<int(const OutlineNode *, const OutlineNode *)> OnCompareNodes;
    std::function<void(OutlineNode *)> OnExpanded;
    std::function<void(OutlineNode *)> OnCollapsed;
    // Raised with the node whose selection changed, or nullptr for changes of several.
    std::function<void(OutlineNode *)> OnSelectionChange;

    void setObserver(OutlineTreeObserver *observer) { watcher = observer; }

    // Structure. A null parent stands for the invisible root.
    OutlineNode *addChild(OutlineNode *parent);
    void clear();
    void deleteNode(OutlineNode *node);
    void deleteChildren(OutlineNode *node);
    void deleteSelectedNodes();
    // Deletes the nodes with their descendants; a node whose ancestor is in the list too
    // goes with that ancestor, so each node is freed once.
    void deleteNodes(const std::vector<OutlineNode *> &nodes);
    // Moves the node with its children to the first or last place under target (or root).
    // Refuses (returns false) a move into the node itself or one of its descendants.
    bool moveNode(OutlineNode *node, OutlineNode *target, bool asFirstChild);
    // The same, to the given position among target's children (clamped to the list).
    bool moveNodeTo(OutlineNode *node, OutlineNode *target, int position);

    int topLevelCount() const { return root->childCount(); }
    OutlineNode *topLevelNode(int i) const { return root->child(i); }
    OutlineNode *firstTopLevel() const { return root->firstChild(); }
    OutlineNode *lastTopLevel() const { return root->lastChild(); }
    int totalCount() const { return nodeCount; }
    // Changes whenever nodes are added, deleted or moved to another place.
    quint64 structureVersion() const { return structureChanges; }

    // Pre-order over every node, hidden and collapsed ones included.
    OutlineNode *firstNode() const { return root->firstChild(); }
    static OutlineNode *nextNode(const OutlineNode *node);
    // True when a comes before b in pre-order.
    static bool precedes(const OutlineNode *a, const OutlineNode *b);

    // Visibility: hidden nodes are neither shown nor counted.
    void setVisible(OutlineNode *node, bool visible);
    int visibleCount() const { return visibleNodes; }
    // True when the node is shown as a row: visible, with every ancestor visible and expanded.
    static bool isShown(const OutlineNode *node);

    // Expansion; every real change raises OnExpanded or OnCollapsed.
    void setExpanded(OutlineNode *node, bool expanded);
    // Expands every collapsed ancestor of the node.
    void expandAncestors(OutlineNode *node);

    // Selection. setSelected keeps to siblings of the present selection unless told not to.
    void setSelected(OutlineNode *node, bool selected, bool keepToSiblings = false);
    void clearSelection();
    // Selects every shown node, every level together.
    void selectAllShown();
    int selectedCount() const { return static_cast<int>(selection.size()); }
    // Selected nodes in pre-order.
    const std::vector<OutlineNode *> &selectedNodes() const;
    OutlineNode *firstSelected() const;

    // Sorts every sibling list by OnCompareNodes, stable in both directions.
    void sort(bool ascending);

    // Asks the view to measure the node again.
    void invalidateNode(OutlineNode *node);

private:
    void forgetSubtree(OutlineNode *node);
    static void renumber(OutlineNode *parent, int from);
    void selectionChanged(OutlineNode *node);
    void notifyRows();

    std::unique_ptr<OutlineNode> root;
    OutlineTreeObserver *watcher = nullptr;
    mutable std::vector<OutlineNode *> selection;
    mutable bool selectionSorted = true;
    int nodeCount = 0;
    quint64 structureChanges = 0;
    int visibleNodes = 0;
};
