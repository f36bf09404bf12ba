// The memo tree's message that names a node: remove an unstored node (2036).
#pragma once

#include "Messages.h"
#include "OutlineNode.h"

class DiscardNodeEvent : public QEvent
{
public:
    explicit DiscardNodeEvent(OutlineNode *node)
        : QEvent(Msg::DiscardNode)
        , node(node)
    {
    }
    OutlineNodeRef node; // reads nullptr once the node has been removed
};
