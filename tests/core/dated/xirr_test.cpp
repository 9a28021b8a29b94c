#include "core/dated/xirr.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "core/dated/calendar.h"
#include "xirr_oracles.h"

namespace valmora {
namespace {

using testing::CheckCertificates;

XirrResult Solve(const std::vector<DatedFlow>& flows, DayCount dayCount = DayCount::Actual365) {
    return FindXirrs(PrepareDatedSeries(flows, dayCount));
}

// Series whose roots are known exactly: each listed rate and whether
// XNPV touches 0 there.
struct Known {
    std::string name;
    std::vector<DatedFlow> flows;
    std::vector<double> rates;
    std::vector<int> multiplicities;
};

TEST(Xirr, KnownRootsAreTheDoublesNearestThem) {
    const std::vector<Known> cases = {
        {"10 % a year", {{0, -1000}, {365, 1100}}, {0.1}, {1}},
        {"100 %, a double", {{0, -1}, {365, 2}}, {1.0}, {1}},
        {"1 and 3, doubles", {{0, 1}, {365, -6}, {730, 8}}, {1.0, 3.0}, {1, 1}},
        {"touching at 0", {{0, -1}, {365, 2}, {730, -1}}, {0.0}, {2}},
        {"touching at 100 %", {{0, -1}, {365, 4}, {730, -4}}, {1.0}, {2}},
        {"a triple root at 0", {{0, 1}, {365, -3}, {730, 3}, {1095, -1}}, {0.0}, {3}},
        {"a day apart: 2^365 - 1", {{0, -1}, {1, 2}}, {std::ldexp(1.0, 365)}, {1}},
        {"half a year: 3 % each half", {{0, -100}, {73, 0}, {146, 103}}, {std::pow(1.03, 365.0 / 146.0) - 1}, {1}},
        {"the same day twice", {{0, -600}, {0, -400}, {365, 500}, {365, 600}}, {0.1}, {1}},
    };
    for (const Known& c : cases) {
        SCOPED_TRACE(c.name);
        const XirrResult r = Solve(c.flows);
        ASSERT_EQ(r.status, XirrStatus::Ok);
        EXPECT_TRUE(r.AllDecided());
        ASSERT_EQ(r.roots.size(), c.rates.size());
        for (std::size_t k = 0; k < c.rates.size(); ++k) {
            EXPECT_NEAR(r.roots[k].rate, c.rates[k], 4e-16 * std::fabs(c.rates[k]));
            EXPECT_EQ(r.roots[k].multiplicity, c.multiplicities[k]);
            EXPECT_EQ(r.roots[k].touching, c.multiplicities[k] % 2 == 0);
        }
        CheckCertificates(c.flows, DayCount::Actual365, r);
    }
    // Where the root is a double it is that double, bracketed by itself.
    const XirrResult r = Solve({{0, -1}, {365, 2}});
    EXPECT_EQ(r.roots[0].rate, 1.0);
    EXPECT_EQ(r.roots[0].rateLo, 1.0);
    EXPECT_EQ(r.roots[0].rateHi, 1.0);
    EXPECT_EQ(Solve({{0, -1000}, {365, 1100}}).roots[0].rate, 0.1);
}

TEST(Xirr, RatesNearMinusOneAndBeyondTheDoubles) {
    // 1 + r = 1e-23 rounds to -1; 1 + r = 1e-10 does not.
    const XirrResult tiny = Solve({{0, -1000}, {365, 1e-20}});
    ASSERT_EQ(tiny.roots.size(), 1u);
    EXPECT_EQ(tiny.roots[0].rate, -1.0);
    EXPECT_TRUE(tiny.roots[0].nearest);
    EXPECT_LE(tiny.roots[0].logLo, std::log(1e-23));
    EXPECT_GE(tiny.roots[0].logHi, std::log(1e-23));
    const std::vector<DatedFlow> small = {{0, -1}, {365, 1e-10}, {400, 1e-12}};
    const XirrResult near = Solve(small);
    ASSERT_EQ(near.roots.size(), 1u);
    EXPECT_GT(near.roots[0].rate, -1.0);
    EXPECT_NEAR(near.roots[0].rate + 1.0, 1e-10, 1e-11);
    CheckCertificates(small, DayCount::Actual365, near);
    // (1 + r)^(1/365) = 1e10: r = 1e3650, above the doubles; t is finite.
    const XirrResult huge = Solve({{0, -1}, {1, 1e10}});
    ASSERT_EQ(huge.roots.size(), 1u);
    EXPECT_TRUE(std::isinf(huge.roots[0].rate));
    EXPECT_FALSE(huge.roots[0].nearest);
    const double t = 365.0 * std::log(1e10);
    EXPECT_LE(huge.roots[0].logLo, t * (1 + 1e-15));
    EXPECT_GE(huge.roots[0].logHi, t * (1 - 1e-15));
    EXPECT_TRUE(std::isinf(huge.upperBound));
}

TEST(Xirr, DegenerateSeries) {
    const XirrResult one = Solve({{100, -5}});
    EXPECT_EQ(one.status, XirrStatus::Ok);
    EXPECT_TRUE(one.roots.empty());
    EXPECT_EQ(one.signChanges, 0);
    EXPECT_FALSE(one.bounded);
    EXPECT_TRUE(one.AllDecided());
    EXPECT_EQ(Solve({{0, 0}, {10, 0}}).status, XirrStatus::EveryRate);
    // Flows that cancel on their date are no flows; nor are zeros.
    EXPECT_EQ(Solve({{0, 5}, {0, -5}, {10, 0}}).status, XirrStatus::EveryRate);
    const XirrResult cancel = Solve({{0, 5}, {0, -5}, {10, -3}, {20, 4}});
    ASSERT_EQ(cancel.roots.size(), 1u);
    EXPECT_NEAR(cancel.roots[0].rate, std::pow(4.0 / 3.0, 36.5) - 1, 1e-9 * std::pow(4.0 / 3.0, 36.5));
    const XirrResult same = Solve({{0, 1}, {50, 2}, {90, 0}, {300, 7}});
    EXPECT_TRUE(same.roots.empty());
    EXPECT_EQ(same.signChanges, 0);
    EXPECT_EQ(Solve({{0, 0}, {10, 3}}).roots.size(), 0u);
    // Two sign changes and no root: the bounds cross.
    const XirrResult crossed = Solve({{0, -1000}, {365, 25}, {730, -132}});
    EXPECT_EQ(crossed.signChanges, 2);
    EXPECT_TRUE(crossed.roots.empty());
    EXPECT_TRUE(crossed.AllDecided());
    EXPECT_EQ(FindXirrs(PrepareDatedSeries({})).status, XirrStatus::NotPrepared);
}

TEST(Xirr, AmountsOfWildlyDifferentSizes) {
    const std::vector<std::vector<DatedFlow>> cases = {
        {{0, -1e-300}, {100, 1e300}, {200, -1e300}, {300, 1e-300}},
        {{0, -1e200}, {30, 1e-200}, {60, 3e199}, {3650, 8e199}},
        {{0, -5e-324}, {1000, 1e-323}},
        {{0, -1e308}, {365, 1.7e308}, {366, -1e-308}},
    };
    for (const auto& flows : cases) {
        const XirrResult r = Solve(flows);
        ASSERT_EQ(r.status, XirrStatus::Ok);
        EXPECT_TRUE(r.notDecided.empty());
        EXPECT_FALSE(r.roots.empty());
        CheckCertificates(flows, DayCount::Actual365, r);
    }
}

TEST(Xirr, ActualActualInALeapYearScalesTheLogarithmOfGrowth) {
    // Every day of 2024 counts 1/366 of a year: t = ln(1 + r) is 366/365
    // times what actual/365 gives.
    const std::int64_t d0 = DayNumber({2024, 1, 10});
    const std::vector<DatedFlow> flows = {{d0, -1000}, {d0 + 50, 300}, {d0 + 170, 360}, {d0 + 300, 420}};
    const XirrResult a = Solve(flows, DayCount::Actual365);
    const XirrResult b = Solve(flows, DayCount::ActualActual);
    ASSERT_EQ(a.roots.size(), 1u);
    ASSERT_EQ(b.roots.size(), 1u);
    EXPECT_EQ(b.dayCount, DayCount::ActualActual);
    EXPECT_NEAR(std::log1p(b.roots[0].rate), std::log1p(a.roots[0].rate) * 366.0 / 365.0, 1e-15);
    CheckCertificates(flows, DayCount::ActualActual, b);
    // In a common year both counts agree to the bit.
    const std::int64_t c0 = DayNumber({2023, 1, 10});
    std::vector<DatedFlow> common = flows;
    for (auto& f : common) f.day += c0 - d0;
    EXPECT_EQ(Solve(common, DayCount::Actual365).roots[0].rate, Solve(common, DayCount::ActualActual).roots[0].rate);
}

TEST(Xirr, ASmallBudgetEndsInAnHonestNotDecided) {
    std::mt19937_64 rng(11);
    const auto flows = testing::RandomSeries(rng, 300, 20, true);
    const DatedSeries s = PrepareDatedSeries(flows);
    const XirrResult full = FindXirrs(s);
    ASSERT_TRUE(full.AllDecided());
    for (std::uint64_t budget : {std::uint64_t{0}, full.work / 10, full.work / 2}) {
        SCOPED_TRACE(budget);
        const XirrResult r = FindXirrs(s, budget);
        EXPECT_LE(r.work, budget + full.work / 5);
        EXPECT_FALSE(r.AllDecided());
        // What is listed is still true, and stands in the full answer.
        for (const XirrRoot& root : r.roots) {
            bool there = false;
            for (const XirrRoot& f : full.roots) there = there || (f.logLo <= root.logHi && root.logLo <= f.logHi);
            EXPECT_TRUE(there) << root.rate;
        }
        int atLeast = static_cast<int>(r.roots.size()), atMost = static_cast<int>(r.roots.size());
        for (const XirrNotDecided& u : r.notDecided) {
            EXPECT_EQ(u.reason, NotDecidedReason::Budget);
            atLeast += u.atLeast;
            atMost += u.atMost;
        }
        EXPECT_LE(atLeast, static_cast<int>(full.roots.size()));
        EXPECT_GE(atMost, static_cast<int>(full.roots.size()));
    }
}

}  // namespace
}  // namespace valmora
