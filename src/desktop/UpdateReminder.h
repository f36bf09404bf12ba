// When the program offers to open the web site where updates are published: more than
// 90 whole days from the last visit made from the program, in either direction, since a
// clock set back or a hand-edited date is no reason to stay silent forever.
#pragma once

namespace UpdateReminder {

inline constexpr int kDaysBetweenReminders = 90;

// lastVisit and now are date-times as days since 1899-12-30 with the time as fraction.
bool isDue(bool enabled, double lastVisit, double now);

} // namespace UpdateReminder
