// The statistics the IRR distribution view recomputes on every refresh, for
// 10000 kept IRRs (a full run), the bootstrap of the fits' p-values it then
// computes in the background, and the NPV profile of a 72-payment series.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "core/solver/npv_profile.h"
#include "core/statistics/fits.h"
#include "core/statistics/histogram.h"
#include "core/statistics/kernel_density.h"
#include "core/statistics/ks_bootstrap.h"
#include "core/statistics/summary.h"

namespace valmora {
namespace {

std::vector<double> Irrs(int n) {
    std::mt19937_64 gen(5);
    std::lognormal_distribution<double> d(0.2, 0.3);
    std::vector<double> v(n);
    for (double& x : v) x = d(gen) - 1;
    return v;
}

void Summary(benchmark::State& state) {
    const auto v = Irrs(static_cast<int>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(Summarise(v));
}
BENCHMARK(Summary)->Arg(10000);

void FreedmanDiaconisHistogram(benchmark::State& state) {
    const auto v = Irrs(static_cast<int>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(MakeHistogram(v));
}
BENCHMARK(FreedmanDiaconisHistogram)->Arg(10000);

void AllFits(benchmark::State& state) {
    const auto v = Irrs(static_cast<int>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(FitDistributions(v));
}
BENCHMARK(AllFits)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

// The p-values of the six fits: 200 resamples each, on one thread.
void BootstrapOfAllFits(benchmark::State& state) {
    const FitReport fits = FitDistributions(Irrs(static_cast<int>(state.range(0))));
    for (auto _ : state) {
        FitReport r = fits;
        BootstrapPValues(r, {});
        benchmark::DoNotOptimize(r);
    }
}
BENCHMARK(BootstrapOfAllFits)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

// The kernel density drawn at 301 points, as the view draws it.
void KernelDensityCurve(benchmark::State& state) {
    const auto v = Irrs(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        const KernelDensity kde(v);
        double sum = 0;
        for (int k = 0; k <= 300; ++k) sum += kde(-0.5 + k * 0.005);
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(KernelDensityCurve)->Arg(10000)->Unit(benchmark::kMillisecond);

void NpvProfile72(benchmark::State& state) {
    std::vector<double> flows(73, 400.0);
    flows[0] = -1000;
    const std::vector<double> rates = {0.3999};
    for (auto _ : state) benchmark::DoNotOptimize(MakeNpvProfile(flows, rates, 1));
}
BENCHMARK(NpvProfile72);

}  // namespace
}  // namespace valmora
