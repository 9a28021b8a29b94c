#include "core/solver/fast_scan.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <random>
#include <sstream>
#include <utility>
#include <vector>

#include "core/solver/cash_flow_analysis.h"
#include "core/solver/root_location.h"
#include "core/solver/search_settings.h"
#include "solver/series_from_roots.h"
#include "scan_problems.h"

namespace valmora {
namespace {

using testing_support::Draw;
using testing_support::DrawSeries;

std::uint64_t Bits(double v) { return std::bit_cast<std::uint64_t>(v); }

// Rates, unlisted roots, stop and stop point of both scans, bit for bit.
::testing::AssertionResult SameScan(const RootSearch& fast, const RootSearch& ref) {
    std::ostringstream why;
    if (fast.status != ref.status) why << "status " << int(fast.status) << " vs " << int(ref.status) << "; ";
    if (fast.stop != ref.stop) why << "stop " << int(fast.stop) << " vs " << int(ref.stop) << "; ";
    if (Bits(fast.lastX) != Bits(ref.lastX)) why << "stop point " << fast.lastX << " vs " << ref.lastX << "; ";
    auto compare = [&](const char* what, const std::vector<double>& f, const std::vector<double>& r) {
        if (f.size() != r.size()) {
            why << f.size() << " " << what << " vs " << r.size() << "; ";
            return;
        }
        for (std::size_t i = 0; i < f.size(); ++i)
            if (Bits(f[i]) != Bits(r[i])) why << what << " " << i + 1 << ": " << f[i] << " vs " << r[i] << "; ";
    };
    compare("rates", fast.rates, ref.rates);
    compare("roots", fast.roots, ref.roots);
    compare("unlisted", fast.unlisted, ref.unlisted);
    if (why.str().empty()) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << why.str();
}

// Where the per-term scan stops early (F(x) not finite, or its work), the
// fast scan lists the same rates up to that point, bit for bit, and goes on
// beyond it; elsewhere both give the same answer.
::testing::AssertionResult SameWhereTheReferenceCompletes(const RootSearch& fast, const RootSearch& ref) {
    if (ref.stop != ScanStop::NotFinite && ref.stop != ScanStop::WorkBudget) return SameScan(fast, ref);
    std::ostringstream why;
    if (fast.stop == ScanStop::NotFinite) why << "the fast scan stopped where F(x) is not finite; ";
    if (!(fast.lastX >= ref.lastX)) why << "stopped at " << fast.lastX << " before " << ref.lastX << "; ";
    auto prefix = [&](const char* what, const std::vector<double>& f, const std::vector<double>& r) {
        if (f.size() < r.size()) {
            why << f.size() << " " << what << " vs " << r.size() << "; ";
            return;
        }
        for (std::size_t i = 0; i < r.size(); ++i)
            if (Bits(f[i]) != Bits(r[i])) why << what << " " << i + 1 << ": " << f[i] << " vs " << r[i] << "; ";
    };
    prefix("rates", fast.rates, ref.rates);
    prefix("roots", fast.roots, ref.roots);
    prefix("unlisted", fast.unlisted, ref.unlisted);
    if (why.str().empty()) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << why.str();
}

std::string Describe(const std::vector<double>& p, double inc) {
    std::ostringstream s;
    s.precision(17);
    s << "increment " << inc << ", payments";
    for (double v : p) s << ' ' << v;
    return s.str();
}

void ExpectBothScansAgree(const std::vector<double>& payments, double inc, double tol = 1e-7,
                          std::uint64_t budget = kScanWorkBudget, int periods = 1) {
    const CashFlowAnalysis a = AnalyseCashFlows(payments);
    ASSERT_TRUE(a.Ok()) << Describe(payments, inc);
    const SearchSettings settings{inc, tol, periods};
    EXPECT_TRUE(
        SameWhereTheReferenceCompletes(LocateRoots(a, settings, budget), LocateRootsReference(a, settings, budget)))
        << Describe(payments, inc);
}

// Every distribution, every N from 1 to 120, several increments.
TEST(FastScan, AnswersLikeThePerTermScanOnDrawnSeries) {
    std::mt19937_64 rng(20261210);
    for (Draw draw : {Draw::Normal, Draw::Uniform, Draw::Exponential})
        for (int n = 1; n <= 120; ++n)
            for (double inc : {0.01, 0.0037, 0.05, 0.25}) ExpectBothScansAgree(DrawSeries(draw, n, rng), inc);
}

struct EdgeCase {
    const char* name;
    std::vector<double> payments;
    double increment;
    double tolerance;
    std::uint64_t budget;
};

class FastScanEdges : public ::testing::TestWithParam<EdgeCase> {};

TEST_P(FastScanEdges, AnswersLikeThePerTermScan) {
    const auto& c = GetParam();
    ExpectBothScansAgree(c.payments, c.increment, c.tolerance, c.budget);
}

std::vector<double> Long(std::vector<double> head, int n, double last) {
    head.resize(static_cast<std::size_t>(n) + 1, 0.0);
    head[static_cast<std::size_t>(n)] = last;
    return head;
}

// An investment of 1000, zeros, and the given payments at their positions.
std::vector<double> Placed(int n, std::vector<std::pair<int, double>> payments) {
    std::vector<double> p(static_cast<std::size_t>(n) + 1, 0.0);
    p[0] = -1000;
    for (const auto& [k, v] : payments) p[static_cast<std::size_t>(k)] = v;
    return p;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FastScanEdges,
    ::testing::Values(
        EdgeCase{"StartExample", {-1000, 500, 500, 500}, 0.01, 1e-7, kScanWorkBudget},
        EdgeCase{"ThreeRoots", {-1000, 3600, -4310, 1716}, 0.01, 1e-7, kScanWorkBudget},
        EdgeCase{"ExactZeroAtScanPoint", {-1000, 2000}, 0.5, 1e-7, kScanWorkBudget},
        EdgeCase{"ZeroInvestment", {0, -1, 3, -2}, 0.01, 1e-7, kScanWorkBudget},
        EdgeCase{"DoubleRoot", {1, -2, 1}, 0.01, 1e-7, kScanWorkBudget},
        EdgeCase{"DoubleRootOnGrid", {0.25, -1, 1}, 0.5, 1e-7, kScanWorkBudget},
        EdgeCase{"PairInsideOneStep", {505, -2262.5, 3005, -1000}, 0.01, 1e-7, kScanWorkBudget},
        EdgeCase{"ToleranceZero", {-1000, 1300, -400, 200}, 0.01, 0.0, kScanWorkBudget},
        EdgeCase{"RootInFirstStep", {-1, 1000}, 0.01, 1e-7, kScanWorkBudget},
        EdgeCase{"RootNearZero", {-0.0101, 10101, -1000000}, 0.01, 1e-7, kScanWorkBudget},
        EdgeCase{"RateTooLarge", {-1e-300, 1e300}, 0.01, 1e-7, kScanWorkBudget},
        EdgeCase{"StationaryPointAtScanPoint", {-0.75, 2, -1}, 1.0 - 1e-16, 1e-7, kScanWorkBudget},
        EdgeCase{"TinyLastPayment", {-1000, 0, 0, 1e-9}, 0.01, 1e-7, kScanWorkBudget},
        EdgeCase{"Overflow", Long({-1, 0, 0}, 200, 1e-300), 0.5, 1e-7, kScanWorkBudget},
        EdgeCase{"OneLargePayment", {-1e300, 1e300, 1e300}, 0.01, 1e-7, kScanWorkBudget},
        // Stops where the last power overflows, or a term does.
        EdgeCase{"LastPowerOverflows", Placed(120, {{119, 1000}, {120, -1e-12}}), 0.01, 1e-7, kScanWorkBudget},
        EdgeCase{"LargeTermOverflows", Placed(120, {{119, 1e6}, {120, -1e-9}}), 0.01, 1e-7, kScanWorkBudget},
        // Terms near DBL_MAX that cancel, with a root among them.
        EdgeCase{"CancellingHugeTerms", {-1e308, 1.5e308, -1e300, 1e-3}, 1e-5, 1e-7, kScanWorkBudget},
        EdgeCase{"CancellingHugeTermsOfMany", Long({-1.7e308, 1.7e308, -1e300}, 30, 1e-3), 1e-4, 1e-7,
                 kScanWorkBudget}),
    [](const auto& info) { return std::string(info.param.name); });

// Coefficients of scale * prod (x - r).
std::vector<double> FromRoots(const std::vector<double>& roots, double scale) {
    return testing::FromRoots(roots, {1.0}, scale);
}

std::vector<double> Alternating(int n, double magnitude) {
    std::vector<double> p(static_cast<std::size_t>(n) + 1);
    for (int k = 0; k <= n; ++k) p[static_cast<std::size_t>(k)] = k % 2 ? magnitude : -magnitude;
    return p;
}

std::vector<double> EveryThird(int n, double magnitude) {
    std::vector<double> p(static_cast<std::size_t>(n) + 1);
    for (int k = 0; k <= n; ++k) p[static_cast<std::size_t>(k)] = k % 3 ? magnitude : -magnitude;
    return p;
}

struct BudgetCase {
    const char* name;
    std::vector<double> payments;
};

class WorkBudget : public ::testing::TestWithParam<BudgetCase> {};

// Series of up to 72 payments with a bound up to 1E+15, scanned with
// increments down to 1E-06: the scan ends at the bound, after its roots, or
// where the grid stalls, never on the work budget nor where F(x) overflows.
// Where the per-term scan also finishes (the coarser increments), both give
// the same answer.
TEST_P(WorkBudget, NeverRunsOutOnModestSeries) {
    const auto& c = GetParam();
    const CashFlowAnalysis a = AnalyseCashFlows(c.payments);
    ASSERT_TRUE(a.Ok());
    ASSERT_LE(a.Degree(), 72);
    // 1000 / 1E-12 is a hair above 1E+15 for the double nearest 1E-12,
    // whose bound is then 1E+15 + 1.
    ASSERT_LE(a.upperBound, 1e15 + 1);
    for (double inc : {1e-6, 1e-3, 0.01, 0.5}) {
        const RootSearch r = LocateRoots(a, SearchSettings{inc, 1e-7, 1});
        EXPECT_NE(r.stop, ScanStop::WorkBudget) << "increment " << inc;
        EXPECT_NE(r.stop, ScanStop::NotFinite) << "increment " << inc;
        if (inc >= 0.01 && a.upperBound / inc <= 1e5) {
            const RootSearch ref = LocateRootsReference(a, SearchSettings{inc, 1e-7, 1});
            EXPECT_TRUE(SameWhereTheReferenceCompletes(r, ref)) << "increment " << inc;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Adversarial, WorkBudget,
    ::testing::Values(BudgetCase{"ManySignChanges", Alternating(72, 1000)},
                      BudgetCase{"TwelveRoots",
                                 FromRoots({0.1, 0.2, 0.3, 0.4, 0.5, 0.6, 0.7, 0.8, 0.9, 1.0, 1.1, 1.2}, 1000)},
                      BudgetCase{"RootsNearTheBound", FromRoots({0.5, 9.99, 9.995}, 1000)},
                      BudgetCase{"RootsCloseTogether", FromRoots({0.7, 0.7 + 1e-9, 3}, 1000)},
                      BudgetCase{"HugeBoundFromATinyLastPayment", {-1000, 1e-12}},
                      BudgetCase{"TinyLastPaymentOfMany", Long({-1000, 500}, 72, 1e-200)},
                      BudgetCase{"LargeExponents", EveryThird(72, 1e250)},
                      BudgetCase{"SpreadRoots", FromRoots({1000, 1400, 1960, 2744, 3841.6}, 1)},
                      BudgetCase{"HighMultiplicity", FromRoots(std::vector<double>(20, 1.0), 1)},
                      // The last power overflows long before the far root at
                      // the bound of 1E+15.
                      BudgetCase{"LastPowerOverflows", Placed(72, {{71, 1000}, {72, -1e-12}})},
                      BudgetCase{"LastPowerOverflowsBigPaymentEarlier", Placed(72, {{60, 1000}, {72, -1.1e-177}})},
                      BudgetCase{"LastPowerOverflowsBigPaymentEarly", Placed(72, {{52, 1000}, {72, -1e-297}})},
                      BudgetCase{"LastPowerOverflowsDegree40", Placed(40, {{39, 1000}, {40, -1e-12}})},
                      BudgetCase{"LastPowerOverflowsDegree60", Placed(60, {{50, 1000}, {60, -1.1e-147}})},
                      BudgetCase{"LastPowerOverflowsNegativeFirst", Placed(72, {{71, -1000}, {72, 2e-12}})},
                      // A term overflows before any power does, after P + Q
                      // has long left the range where it certifies signs.
                      BudgetCase{"LargeTermOverflows", Placed(72, {{71, 1e6}, {72, -1e-9}})},
                      BudgetCase{"LargeTermOverflowsDegree50", Placed(50, {{49, 1e6}, {50, -1e-9}})},
                      // Terms near DBL_MAX that cancel: the per-term sum stays
                      // finite far beyond where P + Q overflows.
                      BudgetCase{"CancellingHugeTerms", Placed(72, {{0, 0.9e308}, {1, -1e304}, {72, 1e-12}})}),
    [](const auto& info) { return std::string(info.param.name); });

// Drawn series of every length up to 72, at the finest increment.
TEST(WorkBudget, DrawnSeriesNeverRunOut) {
    std::mt19937_64 rng(4242);
    for (Draw draw : {Draw::Normal, Draw::Uniform, Draw::Exponential})
        for (int n = 1; n <= 72; n += 7) {
            const CashFlowAnalysis a = AnalyseCashFlows(DrawSeries(draw, n, rng));
            ASSERT_TRUE(a.Ok());
            if (a.upperBound > 1e15) continue;
            const RootSearch r = LocateRoots(a, SearchSettings{1e-6, 1e-7, 1});
            EXPECT_NE(r.stop, ScanStop::WorkBudget) << "n " << n;
        }
}

// Where the per-term scan runs out of work, the fast one goes on: a tiny
// increment stalls (x no longer grows) instead of exhausting the budget,
// and subnormal payments are scanned to the bound.
TEST(FastScan, LongScansEndWithoutRunningOutOfWork) {
    const RootSearch stall =
        LocateRoots(AnalyseCashFlows(std::vector<double>{-1000, 1100}), SearchSettings{1e-300, 1e-7, 1});
    EXPECT_EQ(stall.stop, ScanStop::Stalled);
    EXPECT_EQ(stall.census.inRange, 1);
    EXPECT_EQ(stall.census.MissedCount(), 1);
    const RootSearch tiny =
        LocateRoots(AnalyseCashFlows(std::vector<double>{-1, 1e-315, 1e-315}), SearchSettings{0.01, 1e-7, 1});
    EXPECT_NE(tiny.stop, ScanStop::WorkBudget);
}

}  // namespace
}  // namespace valmora
