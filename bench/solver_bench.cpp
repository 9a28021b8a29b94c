// Analysis plus root scan of one series, as "Payments entered..." followed by
// "Locate Root(s)" runs them.
#include <benchmark/benchmark.h>

#include <vector>

#include "core/solver/cash_flow_analysis.h"
#include "core/solver/root_location.h"
#include "core/solver/search_settings.h"

namespace valmora {
namespace {

void AnalyseAndScan(benchmark::State& state, std::vector<double> payments, SearchSettings settings) {
    RootSearch search;
    for (auto _ : state) {
        const CashFlowAnalysis analysis = AnalyseCashFlows(payments);
        search = LocateRoots(analysis, settings);
        benchmark::DoNotOptimize(search.rates.data());
    }
    state.counters["roots"] = static_cast<double>(search.rates.size());
    state.counters["complete"] = search.stop == ScanStop::None;
}

std::vector<double> OneSignChange72() {
    std::vector<double> p(73, 20.0);
    p[0] = -1000;
    return p;
}

// Payments alternating 5, -10 after the investment: 72 sign changes, no
// positive real root.
std::vector<double> NoRoot72() {
    std::vector<double> p(73);
    p[0] = -1000;
    for (int k = 1; k <= 72; ++k) p[k] = k % 2 ? 5.0 : -10.0;
    return p;
}

// Two sign changes, no root before x near 1e6: the scan runs into the work budget.
std::vector<double> HugeBound72() {
    std::vector<double> p(73, 0.0);
    p[0] = -1000;
    p[1] = 2000;
    p[2] = -1500;
    p[72] = 1e-300;
    return p;
}

BENCHMARK_CAPTURE(AnalyseAndScan, StartExample3, std::vector<double>{-1000, 500, 500, 500}, SearchSettings{});
BENCHMARK_CAPTURE(AnalyseAndScan, OneSignChange72, OneSignChange72(), SearchSettings{});
BENCHMARK_CAPTURE(AnalyseAndScan, SeveralSignChangesNoRoot72, NoRoot72(), SearchSettings{});
BENCHMARK_CAPTURE(AnalyseAndScan, TinyLastPayment, std::vector<double>{-1000, 0, 0, 1e-9}, SearchSettings{})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(AnalyseAndScan, HugeBoundWorkBudget72, HugeBound72(), SearchSettings{})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK_CAPTURE(AnalyseAndScan, HugeBoundWorkBudget4, std::vector<double>{-1000, 2000, -1500, 0, 1e-9},
                  SearchSettings{})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK_CAPTURE(AnalyseAndScan, StationaryPointAtScanPoint, std::vector<double>{-0.75, 2, -1},
                  SearchSettings{1.0, kDefaultTolerance, 1});
BENCHMARK_CAPTURE(AnalyseAndScan, ToleranceZero, std::vector<double>{-1000, 1300, -400, 200},
                  SearchSettings{kDefaultIncrement, 0.0, 1});

}  // namespace
}  // namespace valmora
