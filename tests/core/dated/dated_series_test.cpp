#include "core/dated/dated_series.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "core/dated/calendar.h"

namespace valmora {
namespace {

std::int64_t Day(int y, int m, int d) { return DayNumber({y, m, d}); }

TEST(DatedSeries, RefusesWhatItCannotTake) {
    const double inf = std::numeric_limits<double>::infinity();
    struct Case {
        std::vector<DatedFlow> flows;
        DatedStatus status;
        std::size_t bad;
    };
    const std::vector<Case> cases = {
        {{}, DatedStatus::NoFlows, 0},
        {{{0, -1}, {5, inf}}, DatedStatus::NotFinite, 1},
        {{{0, std::nan("")}}, DatedStatus::NotFinite, 0},
        {{{0, -1}, {kMaxDayNumber + 1, 2}}, DatedStatus::DayOutOfRange, 1},
        {{{0, -1}, {kMaxDatedSpanDays + 1, 2}}, DatedStatus::SpanTooLong, 0},
        {{{-5, -1}, {kMaxDatedSpanDays - 5, 2}}, DatedStatus::Ok, 0},
    };
    for (const Case& c : cases) {
        const DatedSeries s = PrepareDatedSeries(c.flows);
        EXPECT_EQ(s.status, c.status);
        EXPECT_EQ(s.badFlow, c.bad);
        EXPECT_EQ(s.flows.empty(), c.status != DatedStatus::Ok);
    }
    std::vector<DatedFlow> many(kMaxDatedFlows + 1, DatedFlow{0, 1.0});
    EXPECT_EQ(PrepareDatedSeries(many).status, DatedStatus::TooManyFlows);
}

TEST(DatedSeries, SortsByDateAndAddsEachDatesFlowsExactly) {
    // 1e16 + 1 - 1e16 is 1 exactly, though adding doubles in this order
    // gives 0; 0.1 + 0.2 is no double.
    const std::vector<DatedFlow> flows = {{30, 0.1}, {10, 1e16}, {0, -5}, {10, 1.0}, {30, 0.2}, {10, -1e16}};
    const DatedSeries s = PrepareDatedSeries(flows);
    ASSERT_TRUE(s.Ok());
    ASSERT_EQ(s.flows.size(), 3u);
    EXPECT_TRUE(s.sameDay);
    EXPECT_EQ(s.FirstDay(), 0);
    EXPECT_EQ(s.flows[0].day, 0);
    EXPECT_EQ(s.flows[0].count, 1);
    EXPECT_EQ(s.flows[1].day, 10);
    EXPECT_EQ(s.flows[1].count, 3);
    EXPECT_EQ(s.flows[1].amount, 1.0);
    EXPECT_FALSE(s.flows[1].rounded);
    EXPECT_EQ(s.flows[2].count, 2);
    EXPECT_EQ(s.flows[2].amount, 0.30000000000000004);  // the nearest double of 0.3000000000000000166...
    EXPECT_TRUE(s.flows[2].rounded);
    EXPECT_DOUBLE_EQ(s.flows[2].years, 30.0 / 365.0);
    EXPECT_FALSE(PrepareDatedSeries(std::vector<DatedFlow>{{0, -1}, {1, 2}}).sameDay);
    // A sum beyond the doubles is kept exact and shown rounded.
    const DatedSeries big = PrepareDatedSeries(std::vector<DatedFlow>{{0, 1e308}, {0, 1e308}, {9, -1}});
    EXPECT_TRUE(std::isinf(big.flows[0].amount));
    EXPECT_TRUE(big.flows[0].rounded);
}

TEST(DatedSeries, YearFractionsOfBothDayCounts) {
    const std::vector<DatedFlow> flows = {
        {Day(2023, 7, 1), -1}, {Day(2024, 7, 1), 1}, {Day(2025, 1, 1), 1}, {Day(2023, 12, 31), 1}};
    const DatedSeries a = PrepareDatedSeries(flows, DayCount::Actual365);
    ASSERT_TRUE(a.Ok());
    EXPECT_DOUBLE_EQ(a.flows[1].years, 183.0 / 365.0);
    EXPECT_DOUBLE_EQ(a.flows[2].years, 366.0 / 365.0);
    EXPECT_DOUBLE_EQ(a.flows[3].years, 550.0 / 365.0);
    const DatedSeries b = PrepareDatedSeries(flows, DayCount::ActualActual);
    ASSERT_TRUE(b.Ok());
    EXPECT_DOUBLE_EQ(b.flows[1].years, 183.0 / 365.0);                  // all of it in 2023
    EXPECT_DOUBLE_EQ(b.flows[2].years, 184.0 / 365.0 + 182.0 / 366.0);  // half a year each side
    EXPECT_DOUBLE_EQ(b.flows[3].years, 184.0 / 365.0 + 1.0);            // and all of 2024
    EXPECT_EQ(DayCountName(DayCount::Actual365), "actual/365");
    EXPECT_EQ(DayCountName(DayCount::ActualActual), "actual/actual (ISDA)");
}

TEST(DatedSeries, XnpvAgreesWithThePlainSumAndRefusesRatesAtOrBelowMinusOne) {
    const std::vector<DatedFlow> flows = {{0, -1000}, {100, 300}, {250, 400}, {500, 500}};
    const DatedSeries s = PrepareDatedSeries(flows);
    for (double r : {-0.9, -0.3, 0.0, 0.05, 0.25, 3.0}) {
        double plain = 0;
        for (const DatedFlow& f : flows) plain += f.amount * std::pow(1 + r, -static_cast<double>(f.day) / 365.0);
        EXPECT_NEAR(Xnpv(s, r), plain, 1e-9 * 1000) << r;
    }
    EXPECT_EQ(Xnpv(s, 0.0), 200.0);  // the exact sum
    // Exactly 0 at the rate 100 %: -1 + 2 (1 + r)^-1 over 365 days.
    const DatedSeries one = PrepareDatedSeries(std::vector<DatedFlow>{{0, -1}, {365, 2}});
    EXPECT_EQ(Xnpv(one, 1.0), 0.0);
    EXPECT_TRUE(std::isnan(Xnpv(s, -1.0)));
    EXPECT_TRUE(std::isnan(Xnpv(s, -2.0)));
    EXPECT_TRUE(std::isnan(Xnpv(s, std::nan(""))));
    EXPECT_TRUE(std::isnan(Xnpv(PrepareDatedSeries({}), 0.1)));
    // Beyond the doubles.
    const DatedSeries far = PrepareDatedSeries(std::vector<DatedFlow>{{0, 1}, {36500, 1e300}});
    EXPECT_TRUE(std::isinf(Xnpv(far, -0.9999)));
}

}  // namespace
}  // namespace valmora
