// The real program started as a user starts it: the executable, copied with its
// pictures into a folder holding the session's data file, run as a process of its own
// with JOTTERLY_STARTUP_TIMING=exit, so that it says when the loaded tree has painted
// and then ends by its Exit command.
#pragma once

#include "Measurement.h"

#include <vector>

struct BenchSession;

// startup: from starting the process until the loaded memo tree has painted. Limit: a
//   bare Qt program (this bench in --bare-window mode) showing an empty window until it
//   has painted, plus SQLite's C API reading every row.
// exit_process: from that moment until the process has ended. Limit: the bare program
//   ending the same way.
// Both carry the program's own peak memory.
std::vector<MeasurementResult> MeasureStartup(BenchSession &session);

// The bare program of the limit: an empty main window that says when it has painted,
// in the program's words, and then ends. Returns the exit status for main.
int RunBareWindow(int &argc, char **argv);

// The argument that selects RunBareWindow.
extern const char *const kBareWindowArgument;
