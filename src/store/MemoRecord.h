// One memo as the program holds it in memory: the seven fields of a row of the memos
// table. Texts are UTF-8 bytes as stored; line breaks are CR LF.
#pragma once

#include "OleDateTime.h"

#include <QByteArray>

struct MemoRecord
{
    QByteArray mid; // empty until the memo has been stored
    QByteArray pid; // "root" for a top-level memo, else the parent's mid
    QByteArray content;
    bool expandFlag = false;
    TDateTime assignTime = 0;
    TDateTime createTime = 0;
    TDateTime editTime = 0;
};
