// Timing helpers of the benchmark: a step timed over several runs with untimed work
// around each run, the median of those runs, the result line of one measurement and
// the process's peak resident memory.
#pragma once

#include <QString>

#include <functional>
#include <vector>

// How many times every step (and every limit) is run; the median is reported.
constexpr int kRunsPerMeasurement = 5;

// One step to time. prepare and tidy run before and after every run, outside the clock.
struct Measurement
{
    std::function<void()> prepare; // may be empty
    std::function<void()> run;     // the timed work
    std::function<void()> tidy;    // may be empty

    // Runs the step `runs` times and returns the median wall-clock time in milliseconds.
    // Exceptions from any part propagate; the runs done so far are then lost.
    double medianMs(int runs = kRunsPerMeasurement) const;
};

// The figures of one measurement: the program's time and the time of the bare building
// blocks doing the same job (the limit), both medians in milliseconds.
struct MeasurementResult
{
    QString name;
    int memoCount = 0;
    double ms = 0;
    double limitMs = 0;
    // The peak resident memory of the process the measurement ran in, in MB; negative
    // until known. A measurement of another program gives that program's.
    double peakRssMb = -1;
    // Measured in another program: its memory stays unknown rather than being this one's.
    bool ofOtherProgram = false;
};

// The median of the values; 0 for none.
double Median(std::vector<double> values);

// "<name> n=<N> ms=<ms> limit_ms=<limit> ratio=<ms/limit> peak_rss_mb=<MB>", times with
// two decimals; the memory is left out while unknown. A limit of zero gives the ratio "inf".
QString resultLine(const MeasurementResult &result);

// The peak resident set size (VmHWM of /proc/<pid>/status) of this process or of
// another one, in MB, or -1 where the figure is not available.
double peakRssMb();
double peakRssMb(qint64 pid);
