// The record the memo tree keeps with every node: the seven fields of a memo row.
// Texts are UTF-8 bytes as stored; line breaks are CR LF.
#pragma once

#include "OleDateTime.h"
#include "OutlineNode.h"

#include <QByteArray>

struct TMemoInfo : public OutlineNodeData
{
    QByteArray mid;      // empty until the memo has been stored
    QByteArray pid;      // "root" for a top-level memo, else the parent's mid
    QByteArray content;
    bool expandFlag = false;
    TDateTime assignTime = 0;
    TDateTime createTime = 0;
    TDateTime editTime = 0;
};

inline TMemoInfo *memoOf(const OutlineNode *node)
{
    return node ? node->dataAs<TMemoInfo>() : nullptr;
}
