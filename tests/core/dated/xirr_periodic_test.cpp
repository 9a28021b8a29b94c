// Flows on equally spaced dates are the periodic case: with x the
// per-period discount factor, XNPV is the periodic present value f(x), and
// an annual effective rate r belongs to the per-period rate i by
// 1 + r = (1 + i)^(periods a year). Yearly flows every 365 days and
// "monthly" flows every 30 days (with 365 / 30 periods a year: calendar
// months are not equally long in days) give the periodic solver's roots,
// every one, converted.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "core/dated/xirr.h"
#include "core/solver/cash_flow_analysis.h"
#include "core/solver/missed_roots.h"
#include "core/solver/polynomial.h"
#include "core/solver/root_location.h"
#include "xirr_oracles.h"

namespace valmora {
namespace {

struct Periodic {
    std::vector<double> payments;  // P0..PN
    int days;                      // between payments
};

// The periodic solver's every root (exact isolation, each x the nearest
// double) and the rates the scan lists (Newton's, to its tolerance).
struct PeriodicRoots {
    std::vector<double> x;
    std::vector<double> listed;
};

PeriodicRoots Solve(const std::vector<double>& payments) {
    const CashFlowAnalysis analysis = AnalyseCashFlows(payments);
    EXPECT_TRUE(analysis.Ok());
    const SearchSettings settings{0.001, 1e-10, 1};
    const RootSearch search = LocateRoots(analysis, settings);
    const auto all = AllRootsInRange(analysis, settings, search);
    EXPECT_TRUE(all.has_value());
    PeriodicRoots out;
    for (const auto& root : *all) out.x.push_back(root.x);
    out.listed = search.rates;
    return out;
}

void ExpectAgreement(const Periodic& p) {
    std::vector<DatedFlow> flows;
    for (std::size_t k = 0; k < p.payments.size(); ++k)
        flows.push_back({static_cast<std::int64_t>(k) * p.days, p.payments[k]});
    const XirrResult dated = FindXirrs(PrepareDatedSeries(flows));
    ASSERT_TRUE(dated.AllDecided());
    const PeriodicRoots periodic = Solve(p.payments);
    ASSERT_EQ(dated.roots.size(), periodic.x.size());
    const double periodsPerYear = 365.0 / p.days;
    // Increasing rate is decreasing x.
    for (std::size_t k = 0; k < periodic.x.size(); ++k) {
        const XirrRoot& root = dated.roots[periodic.x.size() - 1 - k];
        const double x = periodic.x[k];
        // ln(1 + r) = -(periods a year) ln x; x is within half a step of
        // doubles of the root.
        const double t = -periodsPerYear * std::log(x);
        const double slack = periodsPerYear * 0x1p-52 + 1e-15 * std::fabs(t);
        EXPECT_GE(t, root.logLo - slack) << "x = " << x;
        EXPECT_LE(t, root.logHi + slack) << "x = " << x;
        if (p.days == 365) {
            // 1 / x - 1 moves by half a step of x over x^2, and rounds twice.
            EXPECT_NEAR(root.rate, RateFromRoot(x, 1), 0x1p-53 / x + 0x1p-51 * (1 + std::fabs(root.rate)));
        }
    }
    // Each rate the scan lists, made annual, is one of ours.
    for (double i : periodic.listed) {
        const double annual = std::pow(1 + i, periodsPerYear) - 1;
        bool among = false;
        for (const auto& root : dated.roots)
            among = among || std::fabs(annual - root.rate) <= 1e-7 * (1 + std::fabs(annual));
        EXPECT_TRUE(among) << "the per-period rate " << i << ", annual " << annual;
    }
}

TEST(XirrPeriodic, YearlyAndMonthlySeriesGiveThePeriodicRoots) {
    const std::vector<std::vector<double>> series = {
        {-1000, 500, 500, 500},
        {-1000, 1300, -400, 200},
        {1000, -6000, 8000},  // roots 1 and 3 a period
        {-1000, 2000},
        {-100, 230, -132},  // two roots close together
        {-1000, 100, 100, 100, 100, 100, 100, 100, 100, 100, 1100},
        {-5000, 1000, 1500, -200, 2500, 3000, -1000, 500},
    };
    for (const auto& payments : series) {
        for (int days : {365, 30}) {
            SCOPED_TRACE(::testing::Message() << payments.size() << " payments every " << days << " days");
            ExpectAgreement({payments, days});
        }
    }
}

TEST(XirrPeriodic, RandomSeriesOfYearsAndOfMonths) {
    std::mt19937_64 rng(12);
    std::normal_distribution<double> z(0, 1);
    for (int k = 0; k < 24; ++k) {
        const int n = 3 + k * 5;  // up to 118 payments: 118 years, or ten years of months
        std::vector<double> payments{-1000};
        for (int i = 1; i < n; ++i) payments.push_back(std::round(100 * (k % 3 == 0 ? z(rng) : 0.4 + z(rng))));
        for (int days : {365, 30}) {
            SCOPED_TRACE(::testing::Message() << k << ": every " << days << " days");
            ExpectAgreement({payments, days});
        }
    }
}

}  // namespace
}  // namespace valmora
