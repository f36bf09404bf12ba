// Ids of new memo and task rows: a random GUID as braced upper-case text (38 characters).
#pragma once

#include <QByteArray>

// A fresh version 4 GUID. The program's seeded generator gives the random bits far
// faster than the system source, which matters when a file brings 100,000 records.
QByteArray NewRecordId();
