// The interchange time text: how interchange files and the configuration file write a
// local date-time, e.g. "2008-03-05T14:07:09.000+01:00". The offset is always the writing
// machine's offset at the moment of writing, whatever the date being written.
#pragma once

#include "OleDateTime.h"

#include <QString>

// The machine's current bias in minutes, defined by UTC = local time + bias (positive west
// of UTC), taken from the system time zone now; 0 when the zone is unknown.
int CurrentUtcBias();

// The interchange text of a local date-time: seconds truncated, ".000", then "Z" for a
// zero bias or the offset "+hh:mm"/"-hh:mm" of the given bias (east is "+").
QString FormatInterchangeTime(TDateTime local, int utcBias);
// The same with the machine's current bias.
QString FormatInterchangeTime(TDateTime local);

// Reads an interchange text written with any offset and returns that instant in the local
// time of a reader with the given bias (whole seconds). Throws JotterlyError on malformed
// text or a date or time of day that does not exist.
TDateTime ParseInterchangeTime(const QString &text, int utcBias);
// The same with the machine's current bias.
TDateTime ParseInterchangeTime(const QString &text);
