// Every measurement runs in a process of its own, so that its memory figure is its own
// and no measurement inherits another's caches or leftovers. The parent makes the data
// once; each child works on a copy of it (a measurement may change its files).
#pragma once

#include <QString>
#include <QStringList>

#include <functional>

struct CaseProcessRequest
{
    QString caseName;
    QString dataDir; // the generated data, never changed; ends with "/"
    QString workDir; // the child's own copy goes here; ends with "/"
    int memoCount = 0;
    QStringList extraArguments; // passed on, such as --xcb
};

// Copies the data folder's files to workDir, starts this program again with
// "--case=NAME --data=WORKDIR N" and hands every line it prints to printLine. Returns
// false when the child could not start, crashed or ended with a failure; workDir is
// removed afterwards unless keep.
bool RunCaseProcess(const CaseProcessRequest &request, bool keep,
                    const std::function<void(const QString &)> &printLine);
