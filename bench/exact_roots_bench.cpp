// Exact root counting on one grid step of series of 72 and of 12 normal
// payments (mean 400, SD 400, investment 1000): Sturm sequences on the whole
// step against Descartes' rule with bisection, on the same steps. The steps
// are those a census sends to exact counting: the grid step (increment
// 0.01) holding the series' smallest positive root, and the step before it.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "core/simulation/random_payments.h"
#include "core/simulation/simulation_settings.h"
#include "core/solver/cash_flow_analysis.h"
#include "normal_payments.h"
#include "core/solver/exact_roots.h"

namespace valmora {
namespace {

constexpr int kSeries = 200;
constexpr double kIncrement = 0.01;

struct Step {
    std::vector<double> coef;
    double from, to;
};

// Series with a positive root, each with the grid step holding its smallest
// positive root (roots == 1) or the step before (roots == 0).
const std::vector<Step>& Steps(int n, int roots) {
    static std::vector<Step> sets[3][2];
    auto& set = sets[n == 72 ? 0 : n == 12 ? 1 : 2][roots];
    if (!set.empty()) return set;
    const SimulationSettings settings = NormalPayments(n);
    FrozenClock clock;
    RandomPayments random(2024, clock);
    std::vector<double> series;
    while (static_cast<int>(set.size()) < kSeries) {
        random.DrawSeries(settings, series);
        const CashFlowAnalysis a = AnalyseCashFlows(series);
        if (!a.Ok()) continue;
        const ExactPolynomial p(a.coefficients);
        const auto pieces = p.Isolate(0, a.upperBound);
        if (pieces.empty()) continue;
        const double root = p.Refine(pieces.front().from, pieces.front().to);
        double x = 0, prev = 0, prevPrev = 0;
        while (x < root) {
            prevPrev = prev;
            prev = x;
            x += kIncrement;
        }
        // (prev, x] holds the root; (prevPrev, prev] is the step before.
        if (roots == 1) set.push_back({a.coefficients, prev, x});
        else if (prev > 0) set.push_back({a.coefficients, prevPrev, prev});
    }
    return set;
}

// Sturm sequences at degree 72 take seconds per count: one series does.
std::vector<Step> Some(bool sturm, int n, int roots) {
    const auto& all = Steps(n, roots);
    const std::size_t count = sturm && n == 72 ? 1 : all.size();
    return {all.begin(), all.begin() + static_cast<long>(count)};
}

template <bool kSturm>
void Count(benchmark::State& state) {
    const auto steps = Some(kSturm, static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    std::vector<std::unique_ptr<ExactPolynomial>> polys;
    for (const auto& s : steps) polys.push_back(std::make_unique<ExactPolynomial>(s.coef));
    long roots = 0;
    for (auto _ : state) {
        roots = 0;
        for (std::size_t i = 0; i < steps.size(); ++i)
            roots += kSturm ? polys[i]->CountInBySturm(steps[i].from, steps[i].to)
                            : polys[i]->CountIn(steps[i].from, steps[i].to);
    }
    state.counters["roots"] = static_cast<double>(roots);
    state.counters["per_count"] = benchmark::Counter(
        static_cast<double>(steps.size()), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// The same with the polynomial set up for each count (integer coefficients
// and squarefree part), as a census pays it once per series.
template <bool kSturm>
void SetUpAndCount(benchmark::State& state) {
    const auto steps = Some(kSturm, static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    long roots = 0;
    for (auto _ : state) {
        roots = 0;
        for (const auto& s : steps) {
            const ExactPolynomial p(s.coef);
            roots += kSturm ? p.CountInBySturm(s.from, s.to) : p.CountIn(s.from, s.to);
        }
    }
    state.counters["roots"] = static_cast<double>(roots);
    state.counters["per_count"] = benchmark::Counter(
        static_cast<double>(steps.size()), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void Args(benchmark::internal::Benchmark* b) {
    for (int n : {72, 12})
        for (int roots : {1, 0}) b->Args({n, roots});
    b->ArgNames({"n", "roots"})->Unit(benchmark::kMillisecond);
}

// Degree 120, the longest series, by Descartes' rule alone.
void Args120(benchmark::internal::Benchmark* b) {
    for (int roots : {1, 0}) b->Args({120, roots});
    b->ArgNames({"n", "roots"})->Unit(benchmark::kMillisecond);
}

BENCHMARK(Count<true>)->Name("SturmCount")->Apply(Args);
BENCHMARK(Count<false>)->Name("DescartesCount")->Apply(Args);
BENCHMARK(Count<false>)->Name("DescartesCount")->Apply(Args120);
BENCHMARK(SetUpAndCount<true>)->Name("SturmSetUpAndCount")->Apply(Args);
BENCHMARK(SetUpAndCount<false>)->Name("DescartesSetUpAndCount")->Apply(Args);

}  // namespace
}  // namespace valmora
