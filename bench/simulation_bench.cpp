// A simulation run of 10000 series of 72 normal payments (mean 400, SD 400)
// for an investment of 1000, as "Begin Simulation(s)" runs it: the root
// search of every series by the per-term scan (the reference) against the
// fast scan with its census, on the same series in the same binary. Longer
// series, and one search thread against one per core.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <thread>
#include <vector>

#include "core/simulation/simulation_run.h"
#include "core/solver/root_location.h"
#include "normal_payments.h"

namespace valmora {
namespace {

class Silent : public RunObserver {
public:
    void SimulationStarted(long, long) override {}
    void SimulationDone(const SimulationStep&) override {}
    void Notice(const std::string&, const std::string&, const SimulationStep&) override {}
};

// The kept IRRs of the reference run, once it has run, to compare with.
std::optional<std::vector<double>>& ReferenceKept() {
    static std::optional<std::vector<double>> kept;
    return kept;
}

// range(0): 0 the reference search, 1 the fast one; range(1): 1 to save the
// IRRs to a file.
void NormalRun(benchmark::State& state) {
    const bool reference = state.range(0) == 0;
    const bool save = state.range(1) != 0;
    const std::string path = (std::filesystem::temp_directory_path() / "valmora-bench.exp").string();
    SimulationSettings settings;  // the stochastic screen's defaults, and:
    settings.distribution = Distribution::Normal;
    settings.param1 = 400;
    settings.param2 = 400;
    settings.investment = 1000;
    settings.payments = 72;
    settings.simulations = 10000;
    settings.saveToFile = save;
    settings.outputPath = path;
    const RootLocator locate = reference ? LocateRootsReference : LocateRoots;
    Silent silent;
    RunOutcome outcome;
    for (auto _ : state) {
        // A fixed seed and a frozen clock: the same 10000 series every time.
        FrozenClock clock;
        RandomPayments random(12345, clock);
        outcome = RunSimulations(settings, random, silent, true, locate);
    }
    state.counters["with_irr"] = static_cast<double>(outcome.withIrr);
    state.counters["incomplete_scans"] = static_cast<double>(outcome.incompleteScans);
    state.counters["missed_roots"] = static_cast<double>(outcome.missedRoots);
    if (!reference) state.counters["uncounted"] = static_cast<double>(outcome.uncounted);
    if (reference) {
        ReferenceKept() = outcome.kept;
    } else if (ReferenceKept()) {
        // Kept IRRs that are not bit for bit the reference run's (0 expected).
        long differ = ReferenceKept()->size() == outcome.kept.size() ? 0 : -1;
        if (differ == 0)
            for (std::size_t i = 0; i < outcome.kept.size(); ++i)
                if (outcome.kept[i] != (*ReferenceKept())[i]) ++differ;
        state.counters["kept_differ_from_reference"] = static_cast<double>(differ);
    }
    std::remove(path.c_str());
}

// Long series, the fast search only (the per-term one takes minutes there):
// range(0) payments per series, 10000 simulations, nothing saved.
void LongRun(benchmark::State& state) {
    SimulationSettings settings = NormalPayments(static_cast<int>(state.range(0)));
    settings.simulations = 10000;
    settings.saveToFile = false;
    Silent silent;
    RunOutcome outcome;
    for (auto _ : state) {
        FrozenClock clock;
        RandomPayments random(12345, clock);
        outcome = RunSimulations(settings, random, silent, true);
    }
    state.counters["with_irr"] = static_cast<double>(outcome.withIrr);
    state.counters["stopped_early"] = static_cast<double>(outcome.incompleteScans);
    state.counters["missed_roots"] = static_cast<double>(outcome.missedRoots);
    state.counters["listed_not_roots"] = static_cast<double>(outcome.listedNotRoots);
    state.counters["kept_from_exact"] = static_cast<double>(outcome.keptFromExact);
    state.counters["uncounted"] = static_cast<double>(outcome.uncounted);
}

std::string FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// The file of the one-thread run, once it has run, to compare with.
std::optional<std::string>& OneThreadFile() {
    static std::optional<std::string> bytes;
    return bytes;
}

// 10000 series of range(1) payments saved to a file, the searches on
// range(0) threads (0: one per core, as the programs run them). Runs after
// the one-thread run compare their file with its file byte for byte.
void ThreadedRun(benchmark::State& state) {
    const int threads = static_cast<int>(state.range(0));
    SimulationSettings settings = NormalPayments(static_cast<int>(state.range(1)));
    settings.simulations = 10000;
    settings.outputPath = (std::filesystem::temp_directory_path() / "valmora-threads-bench.exp").string();
    Silent silent;
    RunOutcome outcome;
    for (auto _ : state) {
        FrozenClock clock;
        RandomPayments random(12345, clock);
        outcome = RunSimulations(settings, random, silent, false, LocateRoots, threads);
    }
    const std::string bytes = FileBytes(settings.outputPath);
    std::remove(settings.outputPath.c_str());
    state.counters["threads"] = threads > 0 ? threads : static_cast<double>(std::thread::hardware_concurrency());
    state.counters["with_irr"] = static_cast<double>(outcome.withIrr);
    state.counters["kept_from_exact"] = static_cast<double>(outcome.keptFromExact);
    if (threads == 1) OneThreadFile() = bytes;
    else if (OneThreadFile()) state.counters["file_differs"] = *OneThreadFile() == bytes ? 0 : 1;
}

// Wall time, and the CPU time of every thread of the process. With other
// work on the machine the fastest of several repetitions (--benchmark_repetitions)
// tells the most.
BENCHMARK(ThreadedRun)
    ->Args({1, 360})
    ->Args({0, 360})
    ->ArgNames({"threads", "payments"})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->ComputeStatistics("min", [](const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); });

BENCHMARK(LongRun)
    ->Arg(72)
    ->Arg(240)
    ->Arg(360)
    ->Arg(500)
    ->ArgName("payments")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2);

BENCHMARK(NormalRun)
    ->Args({0, 0})
    ->Args({1, 0})
    ->Args({1, 1})
    ->ArgNames({"fast", "save"})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

}  // namespace
}  // namespace valmora
