#include "core/solver/root_location.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "core/solver/cash_flow_analysis.h"
#include "core/solver/number_format.h"
#include "core/solver/polynomial.h"

namespace valmora {
namespace {

CashFlowAnalysis Analysed(const std::vector<double>& payments) {
    CashFlowAnalysis a = AnalyseCashFlows(payments);
    EXPECT_EQ(a.status, AnalysisStatus::Ok);
    return a;
}

// A search with the deterministic screen's defaults unless told otherwise.
RootSearch Search(const CashFlowAnalysis& a, double increment = kDefaultIncrement, double tolerance = kDefaultTolerance,
                  int periods = 1, std::uint64_t budget = kScanWorkBudget) {
    return LocateRoots(a, SearchSettings{increment, tolerance, periods}, budget);
}

std::vector<std::string> ListedRates(const RootSearch& s) {
    std::vector<std::string> out;
    for (double rate : s.rates) out.push_back(FormatRate(rate));
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
    const CashFlowAnalysis a = Analysed(c.payments);
    const RootSearch result = Search(a, c.increment);
    EXPECT_EQ(result.status, ScanStatus::Complete);
    EXPECT_EQ(result.stop, ScanStop::None);
    EXPECT_EQ(ListedRates(result), c.rates);
    EXPECT_EQ(result.roots.size(), result.rates.size());
    EXPECT_LE(static_cast<int>(result.rates.size()), a.maxRoots);
    for (std::size_t r = 0; r < result.rates.size(); ++r) {
        double x = 1.0 / (1.0 + result.rates[r]);
        EXPECT_NEAR(EvalPolynomial(a.coefficients, x), 0.0, 1e-6) << "root " << r + 1;
        EXPECT_NEAR(result.roots[r], x, 1e-12) << "root " << r + 1;
    }
}

INSTANTIATE_TEST_SUITE_P(Series, Scan,
                         ::testing::Values(ScanCase{"StartExample", {-1000, 500, 500, 500}, 0.01, {"0.23375"}},
                                           ScanCase{"Mixed", {-1000, 1300, -400, 200}, 0.01, {"0.1017"}},
                                           // Roots at rates 0.1, 0.2 and 0.3: (x - 1/1.1)(x - 1/1.2)(x - 1/1.3).
                                           ScanCase{
                                               "ThreeRoots", {-1000, 3600, -4310, 1716}, 0.01, {"0.3", "0.2", "0.1"}},
                                           ScanCase{"TwoRoots", {-1000, 2300, -1320}, 0.01, {"0.2", "0.1"}},
                                           ScanCase{"ExactZeroAtScanPoint", {-1000, 2000}, 0.5, {}},
                                           ScanCase{"NoSignChange", {-1000, -500, -500}, 0.01, {}},
                                           ScanCase{"NoRealRoot", {-1000, 2000, -1500}, 0.01, {}},
                                           ScanCase{"RootInFirstStep", {-1, 1000}, 0.01, {"999.0"}},
                                           ScanCase{"NegativeRate", {-1000, 400, 400}, 0.01, {"-0.13668"}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ScanRates, PeriodsPerYearMultiplyTheRate) {
    const CashFlowAnalysis a = Analysed({-1000, 500, 500, 500});
    const RootSearch once = Search(a);
    const RootSearch monthly = Search(a, 0.01, 1e-07, 12);
    ASSERT_EQ(monthly.rates.size(), 1u);
    EXPECT_DOUBLE_EQ(monthly.rates[0], 12 * once.rates[0]);
    // x = 1/1.01 at 12 periods a year lists 0.12.
    EXPECT_EQ(FormatRate(RateFromRoot(1 / 1.01, 12)), "0.12");
}

TEST(ScanStops, OnceMaxRootsAreListed) {
    // One sign change and a bound far out: the scan ends at the root.
    const CashFlowAnalysis a = Analysed({-1000, 0, 0, 1e-09});
    ASSERT_EQ(a.maxRoots, 1);
    ASSERT_GT(a.upperBound, 9000);
    const RootSearch s = Search(a);
    EXPECT_EQ(s.rates.size(), 1u);
    EXPECT_LT(s.lastX, 10001);
    EXPECT_NEAR(s.lastX, 1e4, 0.02);
}

TEST(ScanStops, RefusesAnIncrementThatCannotAdvance) {
    const CashFlowAnalysis a = Analysed({-1000, 500, 500, 500});
    for (double inc : {0.0, -0.01, std::nan(""), static_cast<double>(INFINITY)})
        EXPECT_EQ(Search(a, inc).status, ScanStatus::BadIncrement) << inc;
    EXPECT_EQ(Search(a, 0.01, -1e-9).status, ScanStatus::BadTolerance);
    EXPECT_EQ(Search(CashFlowAnalysis{}).status, ScanStatus::NotAnalysed);
    EXPECT_EQ(Search(Analysed({-1000, 500}), 0.01, 1e-7, 0).status, ScanStatus::BadPeriods);
}

TEST(ScanStops, WhenTheWorkBudgetRunsOut) {
    // Two sign changes, no real root, and a bound of about 1e4: 1e6 steps.
    const CashFlowAnalysis a = Analysed({-1000, 2000, -1500, 0, 1e-9});
    ASSERT_EQ(a.maxRoots, 3);
    const RootSearch r = Search(a, 0.01, kDefaultTolerance, 1, 200);
    EXPECT_EQ(r.status, ScanStatus::Incomplete);
    EXPECT_EQ(r.stop, ScanStop::WorkBudget);
    EXPECT_GT(r.lastX, 0);
    EXPECT_LT(r.lastX, a.upperBound);
}

TEST(ScanStops, NotWhereFOverflows) {
    // No real root below x of about 1e155, but the per-term sum overflows
    // near x = 1e4: the per-term scan stops there, the search goes on with
    // F's own signs until the grid stalls (x + 0.5 == x), and the root far
    // beyond is counted as lying past where it stopped.
    const CashFlowAnalysis a = Analysed({-1e300, 2e300, -1.5e300, 0, 1e-10});
    ASSERT_EQ(a.maxRoots, 3);
    const RootSearch ref = LocateRootsReference(a, SearchSettings{0.5, kDefaultTolerance, 1});
    EXPECT_EQ(ref.stop, ScanStop::NotFinite);
    const RootSearch r = Search(a, 0.5);
    EXPECT_EQ(r.status, ScanStatus::Incomplete);
    EXPECT_EQ(r.stop, ScanStop::Stalled);
    EXPECT_TRUE(r.rates.empty());
    EXPECT_GT(r.trueSignsFrom, 1e4);
    EXPECT_LT(r.trueSignsFrom, 2e4);
    EXPECT_EQ(r.trueSignsFrom, ref.lastX);  // where the per-term scan stopped
    EXPECT_GT(r.lastX, 1e15);
    ASSERT_TRUE(r.census.known);
    EXPECT_EQ(r.census.inRange, 1);
    ASSERT_EQ(r.census.missed.size(), 1u);
    EXPECT_GT(r.census.missed[0].from, 1e15);
}

TEST(Refinement, ZeroDerivativeAtTheBracketEnd) {
    // f(x) = -x^2 + 2x - 0.75 has roots 0.5 and 1.5 and f'(1) = 0; with an
    // increment of 1 Newton would start at x = 1 and divide by zero.
    const RootSearch r = Search(Analysed({-0.75, 2, -1}), 1.0);
    EXPECT_EQ(r.status, ScanStatus::Complete);
    EXPECT_EQ(ListedRates(r), (std::vector<std::string>{"1.0", "-0.33333"}));
}

TEST(Refinement, NewtonLeavingTheBracketFallsBackToBisection) {
    // f(x) = (x - 0.2)(x - 0.35)(x - 5) with increment 0.3: Newton from x = 0.3
    // runs to the root 0.35 outside the bracket [0, 0.3]; the root 0.2 inside
    // it is listed instead, and 0.35 once, from its own bracket.
    const RootSearch r = Search(Analysed({-0.35, 2.82, -5.55, 1}), 0.3, 1e-9);
    EXPECT_EQ(r.status, ScanStatus::Complete);
    EXPECT_EQ(ListedRates(r), (std::vector<std::string>{"4.0", "1.85714", "-0.8"}));
}

TEST(Refinement, ToleranceZeroEnds) {
    const RootSearch r = Search(Analysed({-1000, 1300, -400, 200}), 0.01, 0.0);
    EXPECT_EQ(r.status, ScanStatus::Complete);
    EXPECT_EQ(ListedRates(r), (std::vector<std::string>{"0.1017"}));
}

TEST(Refinement, SentinelIsNeverTakenForARoot) {
    // The bracket [9998, 9999] ends within the tolerance of Newton's starting
    // value 9999.0; the root 9998.5 is still refined, not taken as 9999.
    const RootSearch r = Search(Analysed({-9998.5, 1}), 1.0, 0.1);
    ASSERT_EQ(r.rates.size(), 1u);
    EXPECT_NEAR(1 / (1 + r.rates[0]), 9998.5, 1e-6);
}

}  // namespace
}  // namespace valmora
