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
    void SimulationDone(const Workspace&, long, bool) override {}
    void Notice(const std::string&, const std::string&) override {}
};

void NormalRun(benchmark::State& state) {
    const bool save = state.range(0) != 0;
    const std::string path = (std::filesystem::temp_directory_path() / "valmora-bench.exp").string();
    Workspace ws;
    ws.DistType = 2;
    ws.DistParam1 = 400;
    ws.DistParam2 = 400;
    ws.SimInvestment = 1000;
    ws.SimNumPayments = 72;
    ws.AllowNegPayments = 1;
    ws.PeriodsPerYear = 1;
    ws.Increment = 0.01;
    ws.Tolerance = 1e-8;
    ws.IrrChoice = 1;
    ws.SaveToFile = save ? 1 : 0;
    ws.OutputPath = path;
    Silent silent;
    RunOutcome outcome;
    for (auto _ : state) {
        // A fixed seed and a frozen clock: the same 10000 series every time.
        FrozenClock clock;
        RandomPayments random(12345, clock);
        outcome = RunSimulations(ws, random, silent, 10000);
    }
    state.counters["with_irr"] = static_cast<double>(outcome.withIrr);
    state.counters["incomplete_scans"] = static_cast<double>(outcome.incompleteScans);
    std::remove(path.c_str());
}

BENCHMARK(NormalRun)->Arg(0)->Arg(1)->ArgName("save")->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace valmora
