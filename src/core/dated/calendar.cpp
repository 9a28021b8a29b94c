#include "core/dated/calendar.h"

namespace valmora {

namespace {

// a / b rounded toward minus infinity, b > 0.
std::int64_t FloorDiv(std::int64_t a, std::int64_t b) { return a / b - ((a % b != 0 && a < 0) ? 1 : 0); }

// The leap years y with 0 <= y < year, negative for year < 0 (the count
// from year 0 on, so that differences count the leap years between).
std::int64_t LeapYearsBefore(std::int64_t year) {
    const std::int64_t y = year - 1;
    return FloorDiv(y, 4) - FloorDiv(y, 100) + FloorDiv(y, 400) + 1;  // year 0 is a leap year
}

// The days before `day` that fall in leap years, counted from
// 0000-01-01 (negative before it).
std::int64_t LeapDaysBefore(std::int64_t day) {
    const CivilDate d = DateOfDay(day);
    const std::int64_t jan1 = DayNumber({d.year, 1, 1});
    return 366 * LeapYearsBefore(d.year) + (IsLeapYear(d.year) ? day - jan1 : 0);
}

}  // namespace

bool IsLeapYear(std::int64_t year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

int DaysInMonth(std::int64_t year, int month) {
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 0;
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

bool IsValidDate(const CivilDate& date) { return date.day >= 1 && date.day <= DaysInMonth(date.year, date.month); }

// Days from civil: eras of 400 years (146097 days), years counted from
// March so that the leap day ends the year.
std::int64_t DayNumber(const CivilDate& date) {
    const std::int64_t y = date.year - (date.month <= 2 ? 1 : 0);
    const std::int64_t era = FloorDiv(y, 400);
    const std::int64_t yoe = y - era * 400;                          // 0..399
    const std::int64_t mp = (date.month + 9) % 12;                   // March = 0
    const std::int64_t doy = (153 * mp + 2) / 5 + date.day - 1;      // 0..365
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;  // 0..146096
    return era * 146097 + doe - 719468;                              // 1970-01-01 is day 0
}

CivilDate DateOfDay(std::int64_t day) {
    const std::int64_t z = day + 719468;
    const std::int64_t era = FloorDiv(z, 146097);
    const std::int64_t doe = z - era * 146097;                                       // 0..146096
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;  // 0..399
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);                // 0..365
    const std::int64_t mp = (5 * doy + 2) / 153;                                     // 0..11
    CivilDate d;
    d.day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    d.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    d.year = yoe + era * 400 + (d.month <= 2 ? 1 : 0);
    return d;
}

DaySplit SplitDays(std::int64_t from, std::int64_t to) {
    DaySplit s;
    if (!(from < to)) return s;
    s.leap = LeapDaysBefore(to) - LeapDaysBefore(from);
    s.common = (to - from) - s.leap;
    return s;
}

}  // namespace valmora
