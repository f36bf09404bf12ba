// Benchmarks of the interchange file: backup against the bare building blocks doing the
// same job (SQLite reading the rows, pugixml building the document, zlib level 9 on its
// text), import into an empty database and restore answering "All", against their fixed
// limits. Each works on copies of the session's data file, which it never changes.
#pragma once

#include "Measurement.h"

struct BenchSession;

// TIoDm::BackupTo of every memo and task; the limit is the same file made with the raw
// tools. Throws JotterlyError when a step fails.
MeasurementResult MeasureBackup(BenchSession &session);

// TIoDm::ImportFrom of a backup of the session's data into a new, empty data file; the
// limit is 2 s. Throws JotterlyError when a step fails or rows are missing afterwards.
MeasurementResult MeasureImport(BenchSession &session);

// TIoDm::RestoreFrom of a backup into a copy of the data file it came from, answering
// "All" at the first question, so every row is replaced; the limit is 3 s. Throws
// JotterlyError when a step fails.
MeasurementResult MeasureRestoreAll(BenchSession &session);
