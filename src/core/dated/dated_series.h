// Dated cash flows as the XIRR sees them: the flows given on one date
// added exactly, d0 the earliest date, and each date's year fraction from
// d0 under the chosen day count. Nothing given is changed silently: a sum
// that is no double is kept exact (and marked rounded where it is shown).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

namespace valmora {

// How the days between d0 and a date become years.
//   Actual365: days / 365, as spreadsheets' XNPV and XIRR count.
//   ActualActual (ISDA): each day counts 1/366 of a year in a leap year and
//   1/365 in a common year: years(d0, d) = (days of [d0, d) in common
//   years) / 365 + (days of [d0, d) in leap years) / 366.
// Both give every year fraction as E / D with whole E and D (D = 365, or
// 365 * 366), so both stay exact.
enum class DayCount { Actual365, ActualActual };

// "actual/365" or "actual/actual (ISDA)".
std::string_view DayCountName(DayCount dayCount);

// One flow: an amount on a day number (calendar.h: days from 1970-01-01).
struct DatedFlow {
    std::int64_t day = 0;
    double amount = 0;
};

enum class DatedStatus {
    Ok,
    NoFlows,        // nothing given
    TooManyFlows,   // more than kMaxDatedFlows
    NotFinite,      // an amount is infinite or not a number (badFlow names it)
    DayOutOfRange,  // a day number beyond kMaxDayNumber either way (badFlow names it)
    SpanTooLong,    // more than kMaxDatedSpanDays from the earliest date to the latest
};

inline constexpr std::size_t kMaxDatedFlows = 100'000;
inline constexpr std::int64_t kMaxDayNumber = 3'652'425'000;  // 10 million years from 1970
inline constexpr std::int64_t kMaxDatedSpanDays = 3'652'425;  // 10,000 years

// The flows of one date, added.
struct MergedFlow {
    std::int64_t day = 0;
    double amount = 0;     // the exact sum, rounded to the nearest double
    bool rounded = false;  // the exact sum is no double (amount is its rounding)
    int count = 1;         // the flows given on this date
    double years = 0;      // its year fraction from d0 (nearest double of E / D)
};

namespace detail {
struct DatedTerms;  // dated_terms.h
}

struct DatedSeries {
    DatedStatus status = DatedStatus::NoFlows;
    std::size_t badFlow = 0;  // the index (as given) of the flow a status names
    DayCount dayCount = DayCount::Actual365;
    std::vector<MergedFlow> flows;  // by date, one per date; empty unless Ok
    bool sameDay = false;           // some date held more than one flow
    // The exact sums and year fractions the solver works on.
    std::shared_ptr<const detail::DatedTerms> terms;

    bool Ok() const { return status == DatedStatus::Ok; }
    std::int64_t FirstDay() const { return flows.empty() ? 0 : flows.front().day; }
};

// Checks, sorts by date (flows of one date in the order given) and merges
// the flows. O(n log n).
DatedSeries PrepareDatedSeries(std::span<const DatedFlow> flows, DayCount dayCount = DayCount::Actual365);

// XNPV(rate) = sum of P_i (1 + rate)^(-years_i), rounded to the nearest
// double (+-infinity beyond the doubles; where it lies within 2^-4000 of
// the midpoint of two doubles, either of them), by ball arithmetic. NaN
// when the series is not Ok or rate is not a finite number above -1.
double Xnpv(const DatedSeries& series, double rate);

}  // namespace valmora
