// Local calendar date-times as the program stores them: a floating-point count of
// days since 1899-12-30 00:00, the time of day being the fraction; 0 means unset.
#pragma once

#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QTime>

using TDateTime = double;

namespace OleDateTime {

// Splits a day count into its calendar date and time of day, rounded to the millisecond.
// Negative counts follow the classic rule: the integer part is the day, the fraction's
// absolute value the time of day.
void decode(TDateTime value, QDate &date, QTime &time);

// The day count of a local date and time of day (milliseconds kept).
TDateTime encode(const QDate &date, const QTime &time);

// Naive local date-time of a day count, and back; no time-zone conversion takes place.
QDateTime toLocal(TDateTime value);
TDateTime fromLocal(const QDateTime &local);

// The current local date-time, read from the clock now.
TDateTime now();

// The locale's long time format without its time-zone part ("h:mm:ss AP").
QString longTimeFormatWithoutZone(const QLocale &locale);

// The date-time as users see it: the system's short date, a blank and its long time
// without a zone; the time is left out when it is exactly midnight.
QString toDisplayText(TDateTime value);

} // namespace OleDateTime
