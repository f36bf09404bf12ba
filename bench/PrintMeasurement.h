// Printing every shown memo to a PDF file through QPrinter, as the Print command does
// after its dialog.
#pragma once

#include "Measurement.h"

struct BenchSession;

// print: the whole shown outline of the started-up window printed page by page into a
// PDF file (one run: it is long). Limit: a bare PDF writer drawing as many white page
// pictures of the same size. The peak memory is that of this process.
MeasurementResult MeasurePrint(BenchSession &session);
