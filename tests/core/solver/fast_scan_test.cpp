#include "core/solver/fast_scan.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <random>
#include <sstream>
#include <vector>

#include "core/solver/cash_flow_analysis.h"
#include "core/solver/root_location.h"
#include "scan_problems.h"

namespace valmora {
namespace {

using testing_support::Draw;
using testing_support::DrawSeries;
using testing_support::ProblemOf;

std::uint64_t Bits(double v) { return std::bit_cast<std::uint64_t>(v); }

// Rates, stop and stop point of both scans, bit for bit.
::testing::AssertionResult SameScan(const ScanOutcome& fast, const Workspace& ref) {
    std::ostringstream why;
    if (fast.stop != ref.ScanStopped) why << "stop " << int(fast.stop) << " vs " << int(ref.ScanStopped) << "; ";
    if (Bits(fast.stopX) != Bits(ref.ScanX)) why << "stop point " << fast.stopX << " vs " << ref.ScanX << "; ";
    if (fast.rates.size() != static_cast<std::size_t>(ref.RootCount)) {
        why << fast.rates.size() << " rates vs " << ref.RootCount << "; ";
    } else {
        for (std::size_t r = 0; r < fast.rates.size(); ++r)
            if (Bits(fast.rates[r]) != Bits(ref.IrrList[r + 1]))
                why << "rate " << r + 1 << ": " << fast.rates[r] << " vs " << ref.IrrList[r + 1] << "; ";
    }
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
                          std::uint64_t budget = kScanWorkBudget, std::int16_t periods = 1) {
    Workspace ws;
    ws.Increment = inc;
    ws.Tolerance = tol;
    ws.PeriodsPerYear = periods;
    ASSERT_EQ(AnalyseCashFlows(ws, payments), AnalysisStatus::Ok) << Describe(payments, inc);
    const ScanProblem pr = ProblemOf(ws, budget);
    LocateRoots(ws, budget);
    EXPECT_TRUE(SameScan(ReferenceScan(pr), ws)) << "reference, " << Describe(payments, inc);
    EXPECT_TRUE(SameScan(FastScan(pr), ws)) << "fast, " << Describe(payments, inc);
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
        EdgeCase{"SmallBudget", {-1000, 0, 0, 1e-9}, 0.01, 1e-7, 123457},
        EdgeCase{"BudgetAfterRoots", {-1000, 3600, -4310, 1716}, 0.001, 1e-7, 1200},
        EdgeCase{"HugeBound", Long({-1000, 2000, -1500}, 72, 1e-300), 0.01, 1e-7, 2'000'000},
        EdgeCase{"SubnormalIncrementStalls", {-1000, 1100}, 1e-320, 1e-7, 2'000'000},
        EdgeCase{"SubnormalPayments", {-1, 1e-315, 1e-315}, 0.01, 1e-7, 2'000'000},
        EdgeCase{"Overflow", Long({-1, 0, 0}, 200, 1e-300), 0.5, 1e-7, kScanWorkBudget},
        EdgeCase{"OneLargePayment", {-1e300, 1e300, 1e300}, 0.01, 1e-7, kScanWorkBudget}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace valmora
