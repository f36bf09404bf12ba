// The measurements of the memo store on its own: storing one edited memo the way the
// memo tree does on commit, against the SQLite C API doing the same update.
#pragma once

#include "Measurement.h"

struct BenchSession;

// One memo edit stored through the program's query object on a copy of the session's
// data file: select by mid, edit, set content and editTime, post; every run edits
// another memo. Limit: one prepared UPDATE of the same two columns by mid, bound and
// stepped with the C API on a connection journalled and synced like the program's.
// Throws JotterlyError when a step fails or a row does not hold its edit afterwards.
MeasurementResult MeasureCommit(BenchSession &session);
