// The benchmark's data: a new data file filled with N memos that look like a real
// user's, always the same for the same count and seed. 10% are top-level memos, the
// rest sub-memos spread unevenly over them; texts of 20 to 200 bytes are drawn from a
// word list with some non-ASCII words, about 15% of them on several lines (CR LF).
#pragma once

#include <QString>
#include <QtGlobal>

struct MemoDataPlan
{
    int memoCount = 100000;
    quint64 seed = 0x4A6F74746572ULL;
    double topLevelShare = 0.10;
    double multilineShare = 0.15;
    double expandedShare = 0.30; // of the top-level memos
    double nonAsciiWordShare = 0.008;
    int minTextBytes = 20;
    int maxTextBytes = 200;
};

// What was written, for the report's header.
struct MemoDataSummary
{
    int topLevel = 0;
    int subMemos = 0;
    int expanded = 0;
    int multiline = 0;
    int withNonAscii = 0;
    qint64 textBytes = 0;
    int mostSubMemos = 0;    // of any single top-level memo
    int withoutSubMemos = 0; // top-level memos with none
};

// Creates the data file at path through the program's own connection (which makes the
// schema) and inserts the memos in one transaction. The file must not exist yet.
// Throws JotterlyError when the file cannot be made or written.
MemoDataSummary GenerateMemoData(const QString &path, const MemoDataPlan &plan);
