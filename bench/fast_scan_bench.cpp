// Scan and Newton refinement of 10000 series of 72 and of 12 normal payments
// (mean 400, SD 400, investment 1000), as a simulation run meets them: the
// per-term scan against the fast scan on the same analysed series.
#include <benchmark/benchmark.h>

#include <span>
#include <vector>

#include "core/simulation/random_payments.h"
#include "core/simulation/simulation_settings.h"
#include "core/solver/cash_flow_analysis.h"
#include "normal_payments.h"
#include "core/solver/fast_scan.h"
#include "core/solver/root_census.h"
#include "core/solver/root_location.h"

namespace valmora {
namespace {

constexpr int kSeries = 10000;

// The analyses of one reproducible set of series.
const std::vector<CashFlowAnalysis>& Analysed(int n) {
    static std::vector<CashFlowAnalysis> sets[2];
    auto& set = sets[n == 72 ? 0 : 1];
    if (!set.empty()) return set;
    const SimulationSettings settings = NormalPayments(n);
    FrozenClock clock;
    RandomPayments random(12345, clock);
    std::vector<double> series;
    for (int i = 0; i < kSeries; ++i) {
        random.DrawSeries(settings, series);
        CashFlowAnalysis a = AnalyseCashFlows(series);
        if (a.Ok()) set.push_back(std::move(a));
    }
    return set;
}

const SearchSettings kSettings{0.01, 1e-8, 1};

// Today's per-term scan and Newton refinement.
void PerTermScan(benchmark::State& state) {
    const auto& set = Analysed(static_cast<int>(state.range(0)));
    long roots = 0;
    for (auto _ : state) {
        roots = 0;
        for (const auto& a : set) roots += static_cast<long>(LocateRootsReference(a, kSettings).rates.size());
    }
    state.counters["roots"] = static_cast<double>(roots);
    state.counters["series"] = static_cast<double>(set.size());
}

// The fast scan alone: the same rates.
void FastScanRun(benchmark::State& state) {
    const auto& set = Analysed(static_cast<int>(state.range(0)));
    long roots = 0;
    for (auto _ : state) {
        roots = 0;
        for (const auto& a : set) {
            ScanOutcome out = FastScan(ProblemOf(a, kSettings, kScanWorkBudget));
            roots += static_cast<long>(out.rates.size());
            benchmark::DoNotOptimize(out.rates.data());
        }
    }
    state.counters["roots"] = static_cast<double>(roots);
    state.counters["series"] = static_cast<double>(set.size());
}

// LocateRoots: the fast scan and the certified count of roots in range.
void FastScanAndCensus(benchmark::State& state) {
    const auto& set = Analysed(static_cast<int>(state.range(0)));
    long roots = 0, inRange = 0, exact = 0, missed = 0, unknown = 0;
    for (auto _ : state) {
        roots = inRange = exact = missed = unknown = 0;
        for (const auto& a : set) {
            const RootSearch r = LocateRoots(a, kSettings);
            roots += static_cast<long>(r.rates.size());
            inRange += r.census.inRange;
            exact += r.census.exactCounts;
            missed += r.census.MissedCount() > 0;
            unknown += !r.census.known;
        }
    }
    state.counters["roots"] = static_cast<double>(roots);
    state.counters["in_range"] = static_cast<double>(inRange);
    state.counters["exact_counts"] = static_cast<double>(exact);
    state.counters["series_missing_roots"] = static_cast<double>(missed);
    state.counters["count_unknown"] = static_cast<double>(unknown);
}

BENCHMARK(PerTermScan)->Arg(72)->Arg(12)->ArgName("N")->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(FastScanRun)->Arg(72)->Arg(12)->ArgName("N")->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(FastScanAndCensus)->Arg(72)->Arg(12)->ArgName("N")->Unit(benchmark::kMillisecond)->MinTime(1.0);

}  // namespace
}  // namespace valmora
