// The measurements of the memo tree, one function each: loading every memo into a
// shown window, one search-filter pass, a sort and switching the list view, each until
// the window has painted, each with its limit from BareLimits.
#pragma once

#include "Measurement.h"

struct BenchSession;
class MemoTreeHost;

// The shown window with every memo loaded, after the start-up message, as a user sees
// it once the program has started. Made when no earlier measurement left one.
MemoTreeHost &startedUpHost(BenchSession &session);

// Fails the measurement (JotterlyError) when the tree's viewport has not painted since
// it had painted `before` times.
void requirePainted(const MemoTreeHost &host, int before, const char *what);

// ReloadMemos of every memo into a new frame in a shown window, painted.
// Limit: SQLite's C API reading the same rows on a fresh connection.
MeasurementResult MeasureLoad(BenchSession &session);

// One filter pass for a three-letter search typed in search mode, painted.
// Limit: memmem over every memo text in memory.
MeasurementResult MeasureFilter(BenchSession &session);

// One change of sort direction over the whole tree, painted.
// Limit: std::stable_sort of every memo text with the same comparison.
MeasurementResult MeasureSort(BenchSession &session);

// Switching the list view on or off, painted.
// Limit: making the one-line form of every memo text.
MeasurementResult MeasureListView(BenchSession &session);

// Closing a shown window with every memo loaded: the frame (committing nothing) and
// its connection going away, as at exit.
// Limit: freeing the same texts as separately allocated records.
MeasurementResult MeasureExit(BenchSession &session);

// The search text of MeasureFilter.
extern const char *const kFilterText;
