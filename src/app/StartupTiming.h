// A start-up timing for the benchmark, off unless JOTTERLY_STARTUP_TIMING is set: once
// the memo tree has painted with the memos loaded, one line goes to standard error,
//   jotterly-startup painted_ms=<ms since the program's start>
// and with the value "exit" the program then ends as by its Exit command, so that the
// time it takes to end can be measured too.
#pragma once

class QElapsedTimer;
class TmainFm;

namespace StartupTiming {

// Call after the main window is shown (its first show has posted the memo load).
// clock runs from the program's start and must outlive the window.
void watch(TmainFm &window, const QElapsedTimer &clock);

} // namespace StartupTiming
