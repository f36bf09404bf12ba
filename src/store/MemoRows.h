// Reading memo rows into records and storing records as rows, on a query object.
#pragma once

#include "MemoRecord.h"

class SqlQuery;

// Column positions of an open "select * from memos" result, looked up once per query.
struct MemoColumns
{
    explicit MemoColumns(const SqlQuery &query);
    int mid, pid, content, expandFlag, assignTime, createTime, editTime;
};

// Fills the record from the current row; NULL values read as empty, false or zero.
void readMemoRow(const SqlQuery &query, const MemoColumns &columns, MemoRecord &memo);
