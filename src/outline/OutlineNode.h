// One node of the outline: its place in the tree, its states and the payload its owner
// attaches. Nodes are created, moved and destroyed only through OutlineTree, so their
// addresses stay valid across sorts and moves until the node is deleted.
#pragma once

#include <memory>
#include <vector>

// Base of the record an owner keeps with every node; released with the node.
class OutlineNodeData
{
public:
    virtual ~OutlineNodeData() = default;
};

class OutlineNode
{
public:
    OutlineNode(const OutlineNode &) = delete;
    OutlineNode &operator=(const OutlineNode &) = delete;

    // Parent node, or nullptr for a top-level node (a child of the invisible root).
    OutlineNode *parent() const;
    // 0 for a top-level node, 1 for its children, and so on.
    int level() const;
    // Position among the siblings, renumbered by every insertion, removal and sort.
    int index() const { return position; }

    int childCount() const { return static_cast<int>(kids.size()); }
    bool hasChildren() const { return !kids.empty(); }
    OutlineNode *child(int i) const { return kids[static_cast<size_t>(i)].get(); }
    OutlineNode *firstChild() const { return kids.empty() ? nullptr : kids.front().get(); }
    OutlineNode *lastChild() const { return kids.empty() ? nullptr : kids.back().get(); }
    OutlineNode *nextSibling() const;
    OutlineNode *previousSibling() const;

    bool isVisible() const { return visible; }
    bool isExpanded() const { return expanded; }
    bool isSelected() const { return selected; }

    OutlineNodeData *data() const { return payload.get(); }
    template<class T>
    T *dataAs() const
    {
        return static_cast<T *>(payload.get());
    }

private:
    friend class OutlineTree;
    friend class OutlineView;
    friend class OutlineNodeRef;
    OutlineNode() = default;

    OutlineNode *parentNode = nullptr; // the invisible root for top-level nodes
    std::vector<std::unique_ptr<OutlineNode>> kids;
    std::unique_ptr<OutlineNodeData> payload;
    std::shared_ptr<OutlineNode *> selfRef; // made on demand by OutlineNodeRef
    int position = 0;
    int height = -1;          // measured row height; -1 until measured
    unsigned heightEpoch = 0; // the view's layout epoch at the time of measuring
    int row = -1;             // position in the view's list of shown rows
    unsigned rowEpoch = 0;    // the view's row list that row belongs to
    bool visible = true;
    bool expanded = false;
    bool selected = false;
    bool mark = false; // scratch flag of the tree's bulk operations
};

// A weak reference to a node: it reads nullptr once the node has been deleted, so a
// deferred step can tell that the node it names is gone.
class OutlineNodeRef
{
public:
    OutlineNodeRef() = default;
    explicit OutlineNodeRef(OutlineNode *node);
    OutlineNode *get() const { return ref ? *ref : nullptr; }

private:
    std::shared_ptr<OutlineNode *> ref;
};
