// The same run as simulation_bench, started with "Begin Simulation(s)" on the
// stochastic screen (offscreen), so the cost of showing it can be compared.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabWidget>

#include "screen_harness.h"
#include "screens/stochastic/form3.h"

namespace valmora {
namespace {

void ScreenRun(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        testing::ScreenHarness h;
        FrozenClock clock;
        RandomPayments random(12345, clock);
        h.screens.SetRandom(random);
        h.screens.Show(ScreenId::Form3);
        Form3& f = h.screens.Get<Form3>();
        f.Option2->setChecked(true);
        f.Text3->setText("400");
        f.Text4->setText("400");
        f.Text2->setText("72");
        f.SSTab1->setCurrentIndex(1);
        f.Option5->setChecked(true);
        f.HScroll1->setValue(10000);
        state.ResumeTiming();
        f.Command4->click();
        state.PauseTiming();
        h.Settle();
        state.ResumeTiming();
    }
}

BENCHMARK(ScreenRun)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace valmora

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
