// The tables the program expects in its data file, and the statements that make them in
// a new, empty file. Date-times are REAL day counts (see OleDateTime.h).
#pragma once

#include <QString>

namespace Schema {

// Statements that create both tables and their index in an empty database.
const char *createStatements();

// The column that identifies a row of the table ("mid", "tid"); empty for other tables.
QString keyColumnOf(const QString &table);

} // namespace Schema
