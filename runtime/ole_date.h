// Calendar fields of a date-time value (days since 30 December 1899, the time
// of day as the fraction). For a negative value the fraction still counts
// forward from that day's midnight: -1.25 is 29 December 1899, 06:00.
#pragma once

namespace qr::runtime {

struct CalendarTime {
    int year = 1899;
    int month = 12;
    int day = 30;
    int hour = 0;
    int minute = 0;
    int second = 0;
    friend bool operator==(const CalendarTime&, const CalendarTime&) = default;
};

// 1 January 100 and 31 December 9999: the range a date-time text can show.
inline constexpr double kEarliestDateTime = -657434.0;
inline constexpr double kLatestDateTime = 2958465.0;

// Clamps the value into the showable range (NaN counts as day 0) and rounds the
// time of day to the nearest second, carrying into the next day at midnight.
CalendarTime calendarFromDateTime(double days);

} // namespace qr::runtime
