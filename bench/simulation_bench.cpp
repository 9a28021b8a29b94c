// A simulation run of 10000 series of 72 normal payments (mean 400, SD 400)
// for an investment of 1000, as "Begin Simulation(s)" runs it.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>

#include "core/simulation/simulation_run.h"

namespace valmora {
namespace {

class Silent : public RunObserver {
public:
    void SimulationStarted(long, long) override {}
    void SimulationDone(const SimulationStep&) override {}
    void Notice(const std::string&, const std::string&, const SimulationStep&) override {}
};

void NormalRun(benchmark::State& state) {
    const bool save = state.range(0) != 0;
    const std::string path = (std::filesystem::temp_directory_path() / "valmora-bench.exp").string();
    SimulationSettings settings;  // the stochastic screen's defaults, and:
    settings.distribution = Distribution::Normal;
    settings.param1 = 400;
    settings.param2 = 400;
    settings.payments = 72;
    settings.simulations = 10000;
    settings.saveToFile = save;
    settings.outputPath = path;
    Silent silent;
    RunOutcome outcome;
    for (auto _ : state) {
        // A fixed seed and a frozen clock: the same 10000 series every time.
        FrozenClock clock;
        RandomPayments random(12345, clock);
        outcome = RunSimulations(settings, random, silent);
    }
    state.counters["with_irr"] = static_cast<double>(outcome.withIrr);
    state.counters["incomplete_scans"] = static_cast<double>(outcome.incompleteScans);
    std::remove(path.c_str());
}

BENCHMARK(NormalRun)->Arg(0)->Arg(1)->ArgName("save")->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace valmora
