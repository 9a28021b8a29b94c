// What one `valmora-cli irr --all-roots` call computes, on 600-payment series
// with ten close pairs of roots (f near 0 over long stretches): the search
// with its census, the sentences about missed roots, and every root in range
// refined. Each phase on its own, at several increments.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "core/solver/cash_flow_analysis.h"
#include "core/solver/missed_roots.h"
#include "core/solver/root_location.h"

namespace valmora {
namespace {

// 1000 (a positive rest of 581 payments) times ten close pairs of roots in
// (0.2, 0.98), 1E-09 to 1E-03 apart: rounding the product to doubles leaves
// some pairs real and turns others into noise.
std::vector<double> ClosePairs(unsigned seed) {
    std::mt19937_64 rng(seed);
    std::uniform_real_distribution<double> where(0.2, 0.98), apart(-9, -3), rest(1, 2);
    std::vector<double> c{1.0};
    const double gap = std::pow(10.0, apart(rng));
    for (int i = 0; i < 10; ++i) {
        const double a = where(rng);
        for (double r : {a, a + gap * (0.3 + 0.7 * where(rng))}) {
            std::vector<double> next(c.size() + 1, 0.0);
            for (std::size_t k = 0; k < c.size(); ++k) {
                next[k + 1] += c[k];
                next[k] -= r * c[k];
            }
            c = next;
        }
    }
    std::vector<double> out(c.size() + 580, 0.0);
    for (std::size_t i = 0; i < c.size(); ++i)
        for (std::size_t j = 0; j <= 580; ++j) out[i + j] += c[i] * rest(rng) * 1000;
    return out;
}

const CashFlowAnalysis& Series(int which) {
    static std::vector<CashFlowAnalysis> set;
    if (set.empty())
        for (unsigned seed : {3u, 8u, 16u}) set.push_back(AnalyseCashFlows(ClosePairs(seed)));
    return set.at(static_cast<std::size_t>(which));
}

double Increment(int code) { return code == 0 ? 0.01 : (code == 1 ? 1e-4 : 1e-6); }

// range(0): the series; range(1): the increment (0.01, 1E-04, 1E-06).
void Search(benchmark::State& state) {
    const CashFlowAnalysis& a = Series(static_cast<int>(state.range(0)));
    const SearchSettings settings{Increment(static_cast<int>(state.range(1))), 1e-8, 1};
    RootSearch s;
    for (auto _ : state) s = LocateRoots(a, settings);
    state.counters["listed"] = static_cast<double>(s.rates.size());
    state.counters["in_range"] = s.census.inRange;
    state.counters["not_roots"] = static_cast<double>(s.census.NotRoots().size());
    state.counters["complete"] = s.stop == ScanStop::None;
}

void WholeCall(benchmark::State& state) {
    const CashFlowAnalysis& a = Series(static_cast<int>(state.range(0)));
    const SearchSettings settings{Increment(static_cast<int>(state.range(1))), 1e-8, 1};
    std::size_t sentences = 0, roots = 0;
    for (auto _ : state) {
        const RootSearch s = LocateRoots(a, settings);
        sentences = MissedRootsSentences(a, settings, s).size() + NotRootsSentence(s, 1).size();
        roots = AllRootsInRange(a, settings, s)->size();
    }
    state.counters["sentences"] = static_cast<double>(sentences);
    state.counters["roots"] = static_cast<double>(roots);
}

void Args(benchmark::internal::Benchmark* b) {
    for (int series = 0; series < 3; ++series)
        for (int increment = 0; increment < 3; ++increment) b->Args({series, increment});
    b->ArgNames({"series", "increment"})->Unit(benchmark::kMillisecond)->Iterations(3);
}

BENCHMARK(Search)->Apply(Args);
BENCHMARK(WholeCall)->Apply(Args);

}  // namespace
}  // namespace valmora
