#include "core/solver/fast_scan.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <random>
#include <sstream>
#include <vector>

#include "core/solver/cash_flow_analysis.h"
#include "core/solver/root_location.h"
#include "core/solver/search_settings.h"
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
    EXPECT_TRUE(SameScan(LocateRoots(a, settings, budget), LocateRootsReference(a, settings, budget)))
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

INSTANTIATE_TEST_SUITE_P(
    Cases, FastScanEdges,
    ::testing::Values(EdgeCase{"StartExample", {-1000, 500, 500, 500}, 0.01, 1e-7, kScanWorkBudget},
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
                      EdgeCase{"OneLargePayment", {-1e300, 1e300, 1e300}, 0.01, 1e-7, kScanWorkBudget}),
    [](const auto& info) { return std::string(info.param.name); });

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
