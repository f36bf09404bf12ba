#include "UpdateReminder.h"

#include <cmath>
#include <cstdint>

namespace UpdateReminder {

bool isDue(bool enabled, double lastVisit, double now)
{
    if (!enabled)
        return false;
    // Counted in whole milliseconds first: two date-times 91 days apart must not give
    // 90.999999 days through the rounding of their fractions.
    constexpr std::int64_t msPerDay = 24LL * 60 * 60 * 1000;
    const std::int64_t ms = std::llround(std::fabs(now - lastVisit) * msPerDay);
    return ms / msPerDay > kDaysBetweenReminders;
}

} // namespace UpdateReminder
