// A memo of 5 MB among all the others, handled as a user handles one: pasted in,
// opened for editing with F2, and stored again with Ctrl+Enter after one typed letter.
// Each step is timed until the window has painted.
#pragma once

#include "Measurement.h"

#include <vector>

struct BenchSession;

// bigmemo_paste: the Paste command with the big text on the clipboard. Limit: the same
//   text inserted as a new row with the SQLite C API.
// bigmemo_edit: F2 on the big memo until its editor shows. Limit: a bare plain-text
//   editor of the same size given the whole text, shown and painted.
// bigmemo_editable: F2 until the whole text is in the editor and it takes typing; same limit.
// bigmemo_commit: Ctrl+Enter until the edit is stored and painted. Limit: the same
//   update with the SQLite C API.
std::vector<MeasurementResult> MeasureBigMemo(BenchSession &session);
