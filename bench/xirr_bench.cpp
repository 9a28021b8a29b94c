// Every XIRR of dated series, certified, against the spreadsheets' way
// (Newton's method on XNPV from the guess 10 %, one root), on the same
// series: 100 flows over 10 years and 1,000 flows over 30 years, of two
// kinds. A fund: an investment on day 0, calls in the first third of the
// span, distributions after (one sign change of the merged sums or a few).
// Mixed: amounts of random sign (dozens of sign changes, several roots,
// some near -100 %). Each benchmark cycles through 16 series; the counters
// give the roots listed and left undecided per series, and the work as the
// budget counts it.
#include <benchmark/benchmark.h>

#include <cmath>
#include <ctime>
#include <random>
#include <vector>

#include "core/dated/xirr.h"

namespace valmora {
namespace {

constexpr int kSeries = 16;

std::vector<DatedFlow> Draw(std::mt19937_64& rng, int n, int years, bool mixed) {
    std::uniform_int_distribution<int> day(1, years * 365);
    std::normal_distribution<double> z(0.0, 1.0);
    std::vector<DatedFlow> f{{0, -1000.0}};
    for (int i = 1; i < n; ++i) {
        const int d = day(rng);
        const double frac = static_cast<double>(d) / (years * 365);
        const double a = mixed ? 100 * z(rng) : (frac < 0.3 ? -100 * std::fabs(z(rng)) : 60 * std::exp(0.5 * z(rng)));
        f.push_back({d, std::round(a * 100) / 100});
    }
    return f;
}

// range(0): flows (100 over 10 years, or 1,000 over 30); range(1): mixed.
struct Set {
    std::vector<std::vector<DatedFlow>> flows;
    std::vector<DatedSeries> series;
};
const Set& Series(int n, bool mixed) {
    static Set sets[2][2];
    Set& s = sets[n == 100 ? 0 : 1][mixed ? 1 : 0];
    if (s.flows.empty()) {
        std::mt19937_64 rng(static_cast<unsigned>(n) * 2 + (mixed ? 1 : 0));
        for (int k = 0; k < kSeries; ++k) {
            s.flows.push_back(Draw(rng, n, n == 100 ? 10 : 30, mixed));
            s.series.push_back(PrepareDatedSeries(s.flows.back()));
        }
    }
    return s;
}

// The spreadsheets' XIRR: at most 100 Newton steps, each a pass over the
// flows with pow, until a step is below 1e-10.
double NewtonXirr(const std::vector<DatedFlow>& flows) {
    double r = 0.1;
    for (int step = 0; step < 100; ++step) {
        double v = 0, dv = 0;
        for (const auto& f : flows) {
            const double y = static_cast<double>(f.day) / 365.0;
            const double p = std::pow(1.0 + r, -y);
            v += f.amount * p;
            dv -= y * f.amount * p / (1.0 + r);
        }
        const double next = r - v / dv;
        if (!std::isfinite(next) || next <= -1.0) return NAN;
        if (std::fabs(next - r) < 1e-10) return next;
        r = next;
    }
    return NAN;
}

void Certified(benchmark::State& state) {
    const Set& s = Series(static_cast<int>(state.range(0)), state.range(1) != 0);
    double roots = 0, undecided = 0, work = 0, calls = 0;
    std::size_t k = 0;
    for (auto _ : state) {
        const XirrResult r = FindXirrs(s.series[k]);
        roots += static_cast<double>(r.roots.size());
        undecided += static_cast<double>(r.notDecided.size());
        work += static_cast<double>(r.work);
        calls += 1;
        k = (k + 1) % s.series.size();
    }
    state.counters["roots"] = roots / calls;
    state.counters["not_decided"] = undecided / calls;
    state.counters["work"] = work / calls;
}

void Newton(benchmark::State& state) {
    const Set& s = Series(static_cast<int>(state.range(0)), state.range(1) != 0);
    double found = 0, calls = 0;
    std::size_t k = 0;
    for (auto _ : state) {
        const double r = NewtonXirr(s.flows[k]);
        benchmark::DoNotOptimize(r);
        found += std::isnan(r) ? 0 : 1;
        calls += 1;
        k = (k + 1) % s.flows.size();
    }
    state.counters["roots"] = found / calls;
}

// Both over every series of a set, in CPU time: the ratio of the
// certified search to Newton's.
void Ratio(benchmark::State& state) {
    const Set& s = Series(static_cast<int>(state.range(0)), state.range(1) != 0);
    double certified = 0, newton = 0;
    for (auto _ : state) {
        std::clock_t c0 = std::clock();
        for (const auto& series : s.series) benchmark::DoNotOptimize(FindXirrs(series));
        std::clock_t c1 = std::clock();
        for (int rep = 0; rep < 20; ++rep)
            for (const auto& flows : s.flows) benchmark::DoNotOptimize(NewtonXirr(flows));
        std::clock_t c2 = std::clock();
        certified += static_cast<double>(c1 - c0);
        newton += static_cast<double>(c2 - c1) / 20;
    }
    state.counters["ratio"] = certified / newton;
}

void Args(benchmark::internal::Benchmark* b) {
    b->Args({100, 0})->Args({100, 1})->Args({1000, 0})->Args({1000, 1});
    b->ArgNames({"flows", "mixed"})->Unit(benchmark::kMicrosecond);
}

BENCHMARK(Certified)->Apply(Args);
BENCHMARK(Newton)->Apply(Args);
BENCHMARK(Ratio)->Apply(Args)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
}  // namespace valmora
