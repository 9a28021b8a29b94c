// Long scans: series whose grid reaches far, or whose points are subnormal,
// where the per-term scan runs out of work (about a second) and the fast
// scan completes or stalls where the grid does. Each case runs both ways
// in the same process; the counters give the stop reason of each (0 none,
// 1 stalled, 2 not finite, 3 work budget), the rates listed and the work.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "core/solver/cash_flow_analysis.h"
#include "core/solver/root_location.h"
#include "core/solver/search_settings.h"

namespace valmora {
namespace {

struct LongCase {
    std::vector<double> payments;
    double increment;
};

const LongCase kCases[] = {
    {{-1000, 0.00001}, 0.01},  // one payment, its root at x = 1e8
    {{-1000, 1100}, 1e-320},   // a subnormal increment
    {{-1, 1e-315, 1e-315}, 0.01},
    {{-1e-10, 1e-310}, 0.01},
};

template <RootSearch (*Search)(const CashFlowAnalysis&, const SearchSettings&, std::uint64_t)>
void Scan(benchmark::State& state) {
    const LongCase& c = kCases[state.range(0)];
    const CashFlowAnalysis a = AnalyseCashFlows(c.payments);
    const SearchSettings settings{c.increment, 1e-7, 1};
    RootSearch r;
    for (auto _ : state) {
        r = Search(a, settings, kScanWorkBudget);
        benchmark::DoNotOptimize(r.rates.data());
    }
    state.counters["stop"] = static_cast<double>(r.stop);
    state.counters["rates"] = static_cast<double>(r.rates.size());
    state.counters["last_x"] = r.lastX;
}

// Single-payment series, an investment of 1000 and one payment drawn from
// the exponential distribution with mean 0.5: each has exactly one root,
// at x = 1000 / payment.
template <RootSearch (*Search)(const CashFlowAnalysis&, const SearchSettings&, std::uint64_t)>
void SinglePayments(benchmark::State& state) {
    std::mt19937_64 rng(31);
    std::exponential_distribution<double> draw(2.0);
    std::vector<CashFlowAnalysis> set;
    for (int i = 0; i < state.range(0); ++i) set.push_back(AnalyseCashFlows(std::vector<double>{-1000, draw(rng)}));
    const SearchSettings settings{0.01, 1e-7, 1};
    long listed = 0, budget = 0;
    for (auto _ : state) {
        listed = budget = 0;
        for (const auto& a : set) {
            const RootSearch r = Search(a, settings, kScanWorkBudget);
            listed += static_cast<long>(r.rates.size());
            budget += r.stop == ScanStop::WorkBudget;
        }
    }
    state.counters["series"] = static_cast<double>(set.size());
    state.counters["listed"] = static_cast<double>(listed);
    state.counters["stopped_on_budget"] = static_cast<double>(budget);
}

RootSearch Reference(const CashFlowAnalysis& a, const SearchSettings& s, std::uint64_t budget) {
    return LocateRootsReference(a, s, budget);
}
RootSearch Fast(const CashFlowAnalysis& a, const SearchSettings& s, std::uint64_t budget) {
    return LocateRoots(a, s, budget);
}

BENCHMARK(Scan<Reference>)->Name("LongScanReference")->DenseRange(0, 3)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(Scan<Fast>)->Name("LongScanFast")->DenseRange(0, 3)->Unit(benchmark::kMillisecond)->MinTime(0.5);
BENCHMARK(SinglePayments<Reference>)
    ->Name("SinglePaymentsReference")
    ->Arg(20)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
BENCHMARK(SinglePayments<Fast>)->Name("SinglePaymentsFast")->Arg(20)->Arg(3226)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace valmora
