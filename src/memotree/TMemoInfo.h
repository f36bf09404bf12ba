// The record the memo tree keeps with every node: the memo's row, attached to the node.
#pragma once

#include "MemoRecord.h"
#include "OutlineNode.h"

struct TMemoInfo : public OutlineNodeData, public MemoRecord
{
};

inline TMemoInfo *memoOf(const OutlineNode *node)
{
    return node ? node->dataAs<TMemoInfo>() : nullptr;
}
