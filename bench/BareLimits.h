// The bare building blocks that each measurement is compared with: the least work the
// job takes with the raw tools (SQLite's C API, memmem, std::stable_sort), no widgets
// and no program logic in between.
#pragma once

#include <QByteArray>
#include <QString>

#include <vector>

namespace BareLimits {

// Opens a fresh read-only connection to the data file, steps through every row of
// "select * from memos" and touches every column (text columns as text, numbers as
// doubles). Returns the number of rows; throws JotterlyError when the file cannot be read.
qint64 ReadAllMemoRows(const QString &path);

// How many of the texts contain needle as exact bytes (memmem, case-sensitive).
int CountContaining(const std::vector<QByteArray> &texts, const QByteArray &needle);

// Sorts the texts stably by the program's memo order (CompareMemoTexts); descending
// compares the other way round, so equal texts keep their order in both directions.
void StableSortTexts(std::vector<QByteArray> &texts, bool ascending);

// The one-line form of every text as the list view shows it (line breaks as blanks,
// decoded from UTF-8). Returns the total length, so the work cannot be skipped.
qint64 OneLineFormOfAll(const std::vector<QByteArray> &texts);

} // namespace BareLimits
