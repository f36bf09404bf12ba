// The bare building blocks of the interchange measurements: what a backup, an import
// and a restore cannot do without, written straight on the SQLite C API, zlib and
// pugixml, with no program logic in between. Each throws JotterlyError on a failure.
#pragma once

#include <QString>

namespace BareInterchange {

// Reads every row, builds the same document, serializes it, compresses it at level 9
// and writes the file with its 8-byte length header.
void Backup(const QString &dataFile, const QString &target);

// Reads and inflates the file, parses it, and inserts every memo and task into the data
// file under a fresh id (a sub-memo's parent id translated through a hash map), in one
// transaction. Returns the number of rows inserted.
int Import(const QString &file, const QString &dataFile);

// The same reading, then every record updated by its id (inserted when no row has it),
// in one transaction: a restore whose every question is answered "All".
int RestoreAll(const QString &file, const QString &dataFile);

} // namespace BareInterchange
