#include "OutlineNode.h"

OutlineNode *OutlineNode::parent() const
{
    // The invisible root is the only node without a parent of its own.
    return parentNode && parentNode->parentNode ? parentNode : nullptr;
}

int OutlineNode::level() const
{
    int depth = 0;
    for (const OutlineNode *p = parent(); p; p = p->parent())
        ++depth;
    return depth;
}

OutlineNode *OutlineNode::nextSibling() const
{
    if (!parentNode || position + 1 >= parentNode->childCount())
        return nullptr;
    return parentNode->child(position + 1);
}

OutlineNode *OutlineNode::previousSibling() const
{
    if (!parentNode || position == 0)
        return nullptr;
    return parentNode->child(position - 1);
}

OutlineNodeRef::OutlineNodeRef(OutlineNode *node)
{
    if (!node)
        return;
    if (!node->selfRef)
        node->selfRef = std::make_shared<OutlineNode *>(node);
    ref = node->selfRef;
}
