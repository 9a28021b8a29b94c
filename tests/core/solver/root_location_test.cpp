#include "core/solver/root_location.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "core/solver/cash_flow_analysis.h"
#include "core/solver/number_format.h"
#include "core/solver/polynomial.h"

namespace valmora {
namespace {

// A workspace with the deterministic screen's search defaults.
Workspace Analysed(const std::vector<double>& payments, double increment = 0.01,
                   double tolerance = 1e-07, std::int16_t periods = 1) {
    Workspace ws;
    ws.Increment = increment;
    ws.Tolerance = tolerance;
    ws.PeriodsPerYear = periods;
    EXPECT_EQ(AnalyseCashFlows(ws, payments), AnalysisStatus::Ok);
    return ws;
}

std::vector<std::string> ListedRates(const Workspace& ws) {
    std::vector<std::string> out;
    for (int r = 1; r <= ws.RootCount; ++r) out.push_back(FormatRate(ws.IrrList[r]));
    return out;
}

struct ScanCase {
    const char* name;
    std::vector<double> payments;
    double increment;
    std::vector<std::string> rates;  // in the order found: decreasing rate
};

class Scan : public ::testing::TestWithParam<ScanCase> {};

TEST_P(Scan, ListsEveryBracketedRootOnce) {
    const auto& c = GetParam();
    Workspace ws = Analysed(c.payments, c.increment);
    ScanResult result = LocateRoots(ws);
    EXPECT_EQ(result.status, ScanStatus::Complete);
    EXPECT_EQ(ws.ScanStopped, ScanStop::None);
    EXPECT_EQ(ListedRates(ws), c.rates);
    EXPECT_EQ(ws.IrrList.size(), static_cast<std::size_t>(ws.RootCount) + 1);
    EXPECT_LE(ws.RootCount, ws.MaxRoots);
    for (int r = 1; r <= ws.RootCount; ++r) {
        double x = 1.0 / (1.0 + ws.IrrList[r]);
        EXPECT_NEAR(EvalTerms(ws.PolyCoef, Degree(ws) + 1, x), 0.0, 1e-6) << "root " << r;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Series, Scan,
    ::testing::Values(
        ScanCase{"StartExample", {-1000, 500, 500, 500}, 0.01, {"0.23375"}},
        ScanCase{"Mixed", {-1000, 1300, -400, 200}, 0.01, {"0.1017"}},
        // Roots at rates 0.1, 0.2 and 0.3: (x - 1/1.1)(x - 1/1.2)(x - 1/1.3).
        ScanCase{"ThreeRoots", {-1000, 3600, -4310, 1716}, 0.01, {"0.3", "0.2", "0.1"}},
        ScanCase{"TwoRoots", {-1000, 2300, -1320}, 0.01, {"0.2", "0.1"}},
        ScanCase{"ExactZeroAtScanPoint", {-1000, 2000}, 0.5, {}},
        ScanCase{"NoSignChange", {-1000, -500, -500}, 0.01, {}},
        ScanCase{"NoRealRoot", {-1000, 2000, -1500}, 0.01, {}},
        ScanCase{"RootInFirstStep", {-1, 1000}, 0.01, {"999.0"}},
        ScanCase{"NegativeRate", {-1000, 400, 400}, 0.01, {"-0.13668"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ScanRates, PeriodsPerYearMultiplyTheRate) {
    Workspace once = Analysed({-1000, 500, 500, 500});
    Workspace monthly = Analysed({-1000, 500, 500, 500}, 0.01, 1e-07, 12);
    LocateRoots(once);
    LocateRoots(monthly);
    ASSERT_EQ(monthly.RootCount, 1);
    EXPECT_DOUBLE_EQ(monthly.IrrList[1], 12 * once.IrrList[1]);
    // x = 1/1.01 at 12 periods a year lists 0.12.
    EXPECT_EQ(FormatRate(RateFromRoot(1 / 1.01, 12)), "0.12");
}

TEST(ScanRates, SecondScanStartsAfresh) {
    Workspace ws = Analysed({-1000, 3600, -4310, 1716});
    LocateRoots(ws);
    ASSERT_EQ(ws.RootCount, 3);
    ws.Increment = 0.5;  // one bracket, [0.5, 1], holds all three roots
    LocateRoots(ws);
    EXPECT_EQ(ws.RootCount, 1);
    EXPECT_EQ(ws.IrrList.size(), 2u);
}

TEST(ScanStops, OnceMaxRootsAreListed) {
    // One sign change and a bound far out: the scan ends at the root.
    Workspace ws = Analysed({-1000, 0, 0, 1e-09});
    ASSERT_EQ(ws.MaxRoots, 1);
    ASSERT_GT(ws.UpperBound, 9000);
    LocateRoots(ws);
    EXPECT_EQ(ws.RootCount, 1);
    EXPECT_LT(ws.ScanX, 10001);
    EXPECT_NEAR(ws.ScanX, 1e4, 0.02);
}

TEST(ScanStops, RefusesAnIncrementThatCannotAdvance) {
    for (double inc : {0.0, -0.01, std::nan(""), static_cast<double>(INFINITY)}) {
        Workspace ws = Analysed({-1000, 500, 500, 500}, inc);
        EXPECT_EQ(LocateRoots(ws).status, ScanStatus::BadIncrement) << inc;
    }
    Workspace ws = Analysed({-1000, 500, 500, 500}, 0.01, -1e-9);
    EXPECT_EQ(LocateRoots(ws).status, ScanStatus::BadTolerance);
    Workspace none;
    none.Increment = 0.01;
    EXPECT_EQ(LocateRoots(none).status, ScanStatus::NotAnalysed);
    Workspace zero = Analysed({-1000, 500}, 0.01, 1e-7, 0);
    EXPECT_EQ(LocateRoots(zero).status, ScanStatus::BadPeriods);
}

TEST(ScanStops, WhenTheWorkBudgetRunsOut) {
    // Two sign changes, no real root, and a bound of about 1e4: 1e6 steps.
    Workspace ws = Analysed({-1000, 2000, -1500, 0, 1e-9}, 0.01);
    ASSERT_EQ(ws.MaxRoots, 3);
    ScanResult r = LocateRoots(ws, 10'000);
    EXPECT_EQ(r.status, ScanStatus::Incomplete);
    EXPECT_EQ(r.stop, ScanStop::WorkBudget);
    EXPECT_EQ(ws.ScanStopped, ScanStop::WorkBudget);
    EXPECT_GT(ws.ScanX, 0);
    EXPECT_LT(ws.ScanX, ws.UpperBound);
}

TEST(ScanStops, WhenFOverflows) {
    // No real root below x of about 1e155, but f overflows near x = 1e4.
    Workspace ws = Analysed({-1e300, 2e300, -1.5e300, 0, 1e-10}, 0.5);
    ASSERT_EQ(ws.MaxRoots, 3);
    ScanResult r = LocateRoots(ws);
    EXPECT_EQ(r.status, ScanStatus::Incomplete);
    EXPECT_EQ(r.stop, ScanStop::NotFinite);
    EXPECT_EQ(ws.RootCount, 0);
    EXPECT_GT(ws.ScanX, 1e4);
    EXPECT_LT(ws.ScanX, 2e4);
}

TEST(Refinement, ZeroDerivativeAtTheBracketEnd) {
    // f(x) = -x^2 + 2x - 0.75 has roots 0.5 and 1.5 and f'(1) = 0; with an
    // increment of 1 Newton would start at x = 1 and divide by zero.
    Workspace ws = Analysed({-0.75, 2, -1}, 1.0);
    EXPECT_EQ(LocateRoots(ws).status, ScanStatus::Complete);
    EXPECT_EQ(ListedRates(ws), (std::vector<std::string>{"1.0", "-0.33333"}));
}

TEST(Refinement, NewtonLeavingTheBracketFallsBackToBisection) {
    // f(x) = (x - 0.2)(x - 0.35)(x - 5) with increment 0.3: Newton from x = 0.3
    // runs to the root 0.35 outside the bracket [0, 0.3]; the root 0.2 inside
    // it is listed instead, and 0.35 once, from its own bracket.
    Workspace ws = Analysed({-0.35, 2.82, -5.55, 1}, 0.3, 1e-9);
    EXPECT_EQ(LocateRoots(ws).status, ScanStatus::Complete);
    EXPECT_EQ(ListedRates(ws), (std::vector<std::string>{"4.0", "1.85714", "-0.8"}));
}

TEST(Refinement, ToleranceZeroEnds) {
    Workspace ws = Analysed({-1000, 1300, -400, 200}, 0.01, 0.0);
    EXPECT_EQ(LocateRoots(ws).status, ScanStatus::Complete);
    EXPECT_EQ(ListedRates(ws), (std::vector<std::string>{"0.1017"}));
}

TEST(Refinement, SentinelIsNeverTakenForARoot) {
    // The bracket [9998, 9999] ends within the tolerance of Newton's starting
    // value 9999.0; the root 9998.5 is still refined, not taken as 9999.
    Workspace ws = Analysed({-9998.5, 1}, 1.0, 0.1);
    LocateRoots(ws);
    ASSERT_EQ(ws.RootCount, 1);
    EXPECT_NEAR(1 / (1 + ws.IrrList[1]), 9998.5, 1e-6);
}

}  // namespace
}  // namespace valmora
