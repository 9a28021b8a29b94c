// Scan and Newton refinement of 10000 series of 72 and of 12 normal payments
// (mean 400, SD 400, investment 1000), as a simulation run meets them: the
// per-term scan against the fast scan on the same analysed series.
#include <benchmark/benchmark.h>

#include <span>
#include <vector>

#include "core/simulation/random_payments.h"
#include "core/solver/cash_flow_analysis.h"
#include "core/solver/fast_scan.h"
#include "core/solver/root_census.h"
#include "core/solver/root_location.h"

namespace valmora {
namespace {

constexpr int kSeries = 10000;

// The analysed workspaces of one reproducible set of series.
const std::vector<Workspace>& Analysed(int n) {
    static std::vector<Workspace> sets[2];
    auto& set = sets[n == 72 ? 0 : 1];
    if (!set.empty()) return set;
    Workspace ws;
    ws.DistType = 2;
    ws.DistParam1 = 400;
    ws.DistParam2 = 400;
    ws.SimInvestment = 1000;
    ws.SimNumPayments = static_cast<std::int16_t>(n);
    ws.AllowNegPayments = 1;
    ws.PeriodsPerYear = 1;
    ws.Increment = 0.01;
    ws.Tolerance = 1e-8;
    FrozenClock clock;
    RandomPayments random(12345, clock);
    for (int i = 0; i < kSeries; ++i) {
        random.DrawSeries(ws);
        if (AnalyseCashFlows(ws) == AnalysisStatus::Ok) set.push_back(ws);
    }
    return set;
}

ScanProblem ProblemOf(const Workspace& ws) {
    const int n = Degree(ws);
    ScanProblem pr;
    pr.coef = std::span<const double>(ws.PolyCoef).subspan(1, static_cast<std::size_t>(n) + 1);
    pr.deriv = std::span<const double>(ws.DerivCoef).subspan(1, static_cast<std::size_t>(n));
    pr.upperBound = ws.UpperBound;
    pr.increment = ws.Increment;
    pr.tolerance = ws.Tolerance;
    pr.periodsPerYear = ws.PeriodsPerYear;
    pr.maxRoots = ws.MaxRoots;
    pr.workBudget = kScanWorkBudget;
    return pr;
}

void PerTermScan(benchmark::State& state) {
    std::vector<Workspace> set = Analysed(static_cast<int>(state.range(0)));
    long roots = 0;
    for (auto _ : state) {
        roots = 0;
        for (auto& ws : set) {
            LocateRoots(ws);
            roots += ws.RootCount;
        }
    }
    state.counters["roots"] = static_cast<double>(roots);
    state.counters["series"] = static_cast<double>(set.size());
}

void FastScanRun(benchmark::State& state) {
    const auto& set = Analysed(static_cast<int>(state.range(0)));
    long roots = 0;
    for (auto _ : state) {
        roots = 0;
        for (const auto& ws : set) {
            ScanOutcome out = FastScan(ProblemOf(ws));
            roots += static_cast<long>(out.rates.size());
            benchmark::DoNotOptimize(out.rates.data());
        }
    }
    state.counters["roots"] = static_cast<double>(roots);
    state.counters["series"] = static_cast<double>(set.size());
}

// The same with the certified count of roots in range after each scan.
void FastScanAndCensus(benchmark::State& state) {
    const auto& set = Analysed(static_cast<int>(state.range(0)));
    long roots = 0, inRange = 0, exact = 0, missed = 0;
    for (auto _ : state) {
        roots = inRange = exact = missed = 0;
        for (const auto& ws : set) {
            const ScanProblem pr = ProblemOf(ws);
            ScanOutcome out = FastScan(pr);
            const RootCensus census = TakeCensus(pr, out);
            roots += static_cast<long>(out.rates.size());
            inRange += census.inRange;
            exact += census.exactCounts;
            missed += census.MissedCount() > 0;
        }
    }
    state.counters["roots"] = static_cast<double>(roots);
    state.counters["in_range"] = static_cast<double>(inRange);
    state.counters["exact_counts"] = static_cast<double>(exact);
    state.counters["series_missing_roots"] = static_cast<double>(missed);
}

BENCHMARK(PerTermScan)->Arg(72)->Arg(12)->ArgName("N")->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(FastScanRun)->Arg(72)->Arg(12)->ArgName("N")->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(FastScanAndCensus)->Arg(72)->Arg(12)->ArgName("N")->Unit(benchmark::kMillisecond)->MinTime(1.0);

}  // namespace
}  // namespace valmora
