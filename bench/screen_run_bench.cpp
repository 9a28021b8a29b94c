// A run started with "Begin Simulation(s)" on the stochastic screen
// (offscreen) against the same run of the core alone, as valmora-cli
// simulate makes it: 10000 series of n normal payments (mean 400, SD 400)
// for an investment of 1000, nothing saved, the same seed for both. What
// the screen adds is the cost of showing the run. Wall time, and the CPU
// time of every thread of the process.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabWidget>

#include <algorithm>
#include <optional>
#include <vector>

#include "core/simulation/simulation_run.h"
#include "normal_payments.h"
#include "screen_harness.h"
#include "screens/stochastic/form3.h"

namespace valmora {
namespace {

constexpr long kSimulations = 10000;
constexpr std::uint64_t kSeed = 12345;

class Silent : public RunObserver {
public:
    void SimulationStarted(long, long) override {}
    void SimulationDone(const SimulationStep&) override {}
    void Notice(const std::string&, const std::string&, const SimulationStep&) override {}
};

// The mean IRR of the core's run of n payments, once it has run, for the
// screen's run to match.
std::optional<double>& CoreMean(long n) {
    static std::optional<double> means[2];
    return means[n == 72 ? 0 : 1];
}

// range(0): payments per series.
void CoreRun(benchmark::State& state) {
    SimulationSettings settings = NormalPayments(static_cast<int>(state.range(0)));
    settings.simulations = kSimulations;
    settings.saveToFile = false;
    Silent silent;
    RunOutcome outcome;
    for (auto _ : state) {
        FrozenClock clock;
        RandomPayments random(kSeed, clock);
        outcome = RunSimulations(settings, random, silent, true);
    }
    state.counters["with_irr"] = static_cast<double>(outcome.withIrr);
    // The run's mean as the run computes it: the screen's must be this one.
    double mean = 0, prev = 0;
    for (std::size_t i = 0; i < outcome.kept.size(); ++i) {
        mean = (outcome.kept[i] + static_cast<double>(i) * prev) / static_cast<double>(i + 1);
        prev = mean;
    }
    CoreMean(state.range(0)) = mean;
}

// range(0): payments per series.
void ScreenRun(benchmark::State& state) {
    double mean = 0;
    for (auto _ : state) {
        state.PauseTiming();
        testing::ScreenHarness h;
        FrozenClock clock;
        RandomPayments random(kSeed, clock);
        h.screens.SetRandom(random);
        h.screens.Show(ScreenId::Form3);
        Form3& f = h.screens.Get<Form3>();
        f.Option2->setChecked(true);
        f.Text3->setText("400");
        f.Text4->setText("400");
        f.Text2->setText(QString::number(state.range(0)));
        f.SSTab1->setCurrentIndex(1);
        f.Option5->setChecked(true);
        f.HScroll1->setValue(static_cast<int>(kSimulations));
        h.Settle();  // the screen painted, as a user sees it before the click
        state.ResumeTiming();
        f.Command4->click();
        state.PauseTiming();
        mean = h.ws.MeanIrr;
        h.Settle();
        state.ResumeTiming();
    }
    // The screen ran the core's series: its last mean is the core's (0).
    if (const auto& core = CoreMean(state.range(0))) state.counters["mean_differs"] = mean == *core ? 0 : 1;
}

// range(1): 0 the core alone, 1 the screen. The core first, so that the
// screen's run is checked against it, and each size's two side by side.
void Run(benchmark::State& state) {
    if (state.range(1) == 0) CoreRun(state);
    else ScreenRun(state);
}

BENCHMARK(Run)
    ->Args({72, 0})
    ->Args({72, 1})
    ->Args({500, 0})
    ->Args({500, 1})
    ->ArgNames({"payments", "screen"})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    // With other work on the machine the fastest of several repetitions
    // (--benchmark_repetitions) tells the most.
    ->ComputeStatistics("min", [](const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); });

}  // namespace
}  // namespace valmora

int main(int argc, char** argv) {
    // Offscreen unless told otherwise (QT_QPA_PLATFORM=xcb under a display
    // shows what painting a real window costs).
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
