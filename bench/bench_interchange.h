// Benchmarks of the interchange file: backup against the bare building blocks doing the
// same job (SQLite reading the rows, pugixml building the document, zlib level 9), import
// into an empty database and restore answering "All", against their fixed limits.
#pragma once

#include <QString>

#include <functional>

// Measures backup, import and restore_all on copies of dataFile, a memo database of n
// memos, and prints one line per measurement through `print`:
// "<name> n=<N> ms=<median of 5> limit_ms=<...> ratio=<...>". The data file is never
// changed; the work happens in a temporary folder. Throws JotterlyError when a step fails.
void measureInterchange(int n, const QString &dataFile, const std::function<void(const QString &line)> &print);
