#include "core/dated/calendar.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <random>

namespace valmora {
namespace {

// The standard library's civil calendar, an independent oracle.
std::int64_t ChronoDay(int y, int m, int d) {
    using namespace std::chrono;
    return sys_days{year{y} / month{static_cast<unsigned>(m)} / day{static_cast<unsigned>(d)}}
        .time_since_epoch()
        .count();
}

TEST(Calendar, DayNumbersAgreeWithTheStandardLibraryBothWays) {
    for (std::int64_t n = -800'000; n <= 800'000; n += 37) {
        const std::chrono::year_month_day ymd{std::chrono::sys_days{std::chrono::days{n}}};
        const CivilDate d = DateOfDay(n);
        ASSERT_EQ(d.year, static_cast<int>(ymd.year())) << n;
        ASSERT_EQ(d.month, static_cast<int>(static_cast<unsigned>(ymd.month()))) << n;
        ASSERT_EQ(d.day, static_cast<int>(static_cast<unsigned>(ymd.day()))) << n;
        ASSERT_EQ(DayNumber(d), n);
    }
    EXPECT_EQ(DayNumber({1970, 1, 1}), 0);
    EXPECT_EQ(DayNumber({2000, 3, 1}), ChronoDay(2000, 3, 1));
    EXPECT_EQ(DayNumber({1600, 2, 29}), ChronoDay(1600, 2, 29));
}

TEST(Calendar, LeapYearsAndMonthLengths) {
    EXPECT_TRUE(IsLeapYear(2000));
    EXPECT_TRUE(IsLeapYear(2024));
    EXPECT_TRUE(IsLeapYear(0));
    EXPECT_TRUE(IsLeapYear(-4));
    EXPECT_FALSE(IsLeapYear(1900));
    EXPECT_FALSE(IsLeapYear(2023));
    EXPECT_FALSE(IsLeapYear(-1));
    EXPECT_EQ(DaysInMonth(2024, 2), 29);
    EXPECT_EQ(DaysInMonth(2023, 2), 28);
    EXPECT_EQ(DaysInMonth(2023, 12), 31);
    EXPECT_EQ(DaysInMonth(2023, 13), 0);
    EXPECT_TRUE(IsValidDate({2024, 2, 29}));
    EXPECT_FALSE(IsValidDate({2023, 2, 29}));
    EXPECT_FALSE(IsValidDate({2023, 4, 31}));
    EXPECT_FALSE(IsValidDate({2023, 0, 1}));
    EXPECT_FALSE(IsValidDate({2023, 1, 0}));
}

TEST(Calendar, SplitDaysCountsEveryDayOnce) {
    std::mt19937_64 rng(7);
    std::uniform_int_distribution<std::int64_t> pick(-200'000, 200'000);
    std::uniform_int_distribution<std::int64_t> length(0, 3000);
    for (int k = 0; k < 300; ++k) {
        const std::int64_t from = pick(rng);
        const std::int64_t to = from + length(rng);
        std::int64_t leap = 0;
        for (std::int64_t d = from; d < to; ++d) leap += IsLeapYear(DateOfDay(d).year) ? 1 : 0;
        const DaySplit s = SplitDays(from, to);
        ASSERT_EQ(s.leap, leap) << from << " " << to;
        ASSERT_EQ(s.common + s.leap, to - from);
    }
    EXPECT_EQ(SplitDays(10, 10).common, 0);
    EXPECT_EQ(SplitDays(10, 5).leap, 0);
    // 2024-01-01 .. 2025-01-01: one leap year; 2023-07-01 .. 2024-07-01:
    // 184 common days, 182 leap days.
    const DaySplit y = SplitDays(DayNumber({2024, 1, 1}), DayNumber({2025, 1, 1}));
    EXPECT_EQ(y.leap, 366);
    EXPECT_EQ(y.common, 0);
    const DaySplit h = SplitDays(DayNumber({2023, 7, 1}), DayNumber({2024, 7, 1}));
    EXPECT_EQ(h.common, 184);
    EXPECT_EQ(h.leap, 182);
}

}  // namespace
}  // namespace valmora
