// Days of the civil calendar (proleptic Gregorian) as whole numbers, and
// how a stretch of days splits between common and leap years: what the
// day counts of dated cash flows need. Day numbers count from 1970-01-01
// (day 0), as std::chrono::sys_days does; every function is O(1).
#pragma once

#include <cstdint>

namespace valmora {

struct CivilDate {
    std::int64_t year = 1970;
    int month = 1;  // 1..12
    int day = 1;    // 1..31
};

bool IsLeapYear(std::int64_t year);
// The days of the month (28..31); 0 for a month outside 1..12.
int DaysInMonth(std::int64_t year, int month);
// The date exists: month 1..12, day 1..DaysInMonth.
bool IsValidDate(const CivilDate& date);

// The day number of a valid date (years within +-10^12).
std::int64_t DayNumber(const CivilDate& date);
// The date of a day number (within +-3 * 10^14).
CivilDate DateOfDay(std::int64_t day);

// The days d with from <= d < to that fall in common years and in leap
// years (both 0 unless from < to).
struct DaySplit {
    std::int64_t common = 0;
    std::int64_t leap = 0;
};
DaySplit SplitDays(std::int64_t from, std::int64_t to);

}  // namespace valmora
