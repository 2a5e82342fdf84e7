#include "runtime/ole_date.h"

#include <cmath>
#include <cstdint>

namespace qr::runtime {
namespace {

// Proleptic Gregorian civil date from a day count relative to 1 March of year 0,
// in 400-year eras, so that leap days fall at the end of each counted year.
CalendarTime civilFromDayNumber(std::int64_t dayNumber)
{
    // Day 0 of the date-time scale is 30 December 1899; shift to 1 March 0000.
    const std::int64_t z = dayNumber + 693899; // days from 0000-03-01 to 1899-12-30
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t dayOfEra = z - era * 146097;
    const std::int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int64_t monthIndex = (5 * dayOfYear + 2) / 153; // 0 = March
    CalendarTime t;
    t.day = static_cast<int>(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
    t.month = static_cast<int>(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
    t.year = static_cast<int>(yearOfEra + era * 400 + (t.month <= 2 ? 1 : 0));
    return t;
}

} // namespace

CalendarTime calendarFromDateTime(double days)
{
    if (std::isnan(days))
        days = 0.0;
    if (days < kEarliestDateTime)
        days = kEarliestDateTime;
    if (days > kLatestDateTime)
        days = kLatestDateTime;

    // The whole part names the day; the fraction, taken without its sign, is
    // the time since that day's midnight.
    const double wholeDays = std::trunc(days);
    std::int64_t dayNumber = static_cast<std::int64_t>(wholeDays);
    std::int64_t seconds = std::llround(std::fabs(days - wholeDays) * 86400.0);
    if (seconds >= 86400) {
        seconds -= 86400;
        ++dayNumber;
    }
    CalendarTime t = civilFromDayNumber(dayNumber);
    t.hour = static_cast<int>(seconds / 3600);
    t.minute = static_cast<int>(seconds / 60 % 60);
    t.second = static_cast<int>(seconds % 60);
    return t;
}

} // namespace qr::runtime
