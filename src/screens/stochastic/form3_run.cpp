// "Begin Simulation(s)": the run, and what the screen shows while it goes.
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

#include <optional>

#include "screens/common/evaluation_screens.h"
#include "core/solver/number_format.h"
#include "screens/stochastic/distribution_link.h"
#include "screens/stochastic/form3.h"
#include "screens/stochastic/run_stopper.h"
#include "core/simulation/simulation_run.h"
#include "core/solver/workspace_steps.h"
#include "ui/dialogs.h"
#include "ui/grid.h"
#include "ui/input_blocker.h"

namespace valmora {
namespace {

// Repaints at least this often while a run goes.
constexpr int kRepaintMilliseconds = 100;

QString Q(const std::string& text) { return QString::fromStdString(text); }

constexpr std::uint64_t kLargestSeed = (std::uint64_t{1} << 53) - 1;
const QString kBadSeedMessage =
    "Enter a whole number from 0 to 9007199254740991 as the seed, or leave it empty to seed from the clock";

// The seed typed, blanks around it allowed; nothing for an empty or bad text.
std::optional<std::uint64_t> SeedOf(const QString& text) {
    const QString t = text.trimmed();
    if (t.isEmpty() || t.size() > 16) return std::nullopt;
    for (QChar c : t)
        if (c < '0' || c > '9') return std::nullopt;
    const std::uint64_t seed = t.toULongLong();
    if (seed > kLargestSeed) return std::nullopt;
    return seed;
}

}  // namespace

// Shows the run on the screen: the simulation number, the progress, the
// latest series with its derivative and rates, the mean and the kept IRR.
// Writing every simulation to the widgets would cost more than the run, so
// the screen shows the latest simulation about ten times a second.
class Form3::RunDisplay : public RunObserver {
public:
    explicit RunDisplay(Form3& form) : f_(form) { clock_.start(); }

    void SimulationStarted(long number, long count) override {
        number_ = number;
        count_ = count;
    }

    void SimulationDone(const SimulationStep& step) override {
        StoreSimulationStep(f_.ws_, step);
        if (step.kept) ++kept_;
        else ++withoutIrr_;
        f_.distribution_->SimulationDone(step.number, step.kept, step.keptRate);
        if (clock_.elapsed() >= kRepaintMilliseconds) Repaint(f_.ws_);
    }

    void Notice(const std::string& text, const std::string& title, const SimulationStep& sofar) override {
        StoreSimulationStep(f_.ws_, sofar);
        Show(f_.ws_, false);
        QApplication::restoreOverrideCursor();
        f_.screens_.Dialogs().Message(Q(text), Q(title));
        QApplication::setOverrideCursor(Qt::WaitCursor);
    }

    bool StopRequested() override { return stopper && stopper->Requested(); }

    // The user's way to end the run early.
    const RunStopper* stopper = nullptr;

    // The state after the last simulation, every column of the series.
    void Finish(const Workspace& ws) { Show(ws, true); }

private:
    void Repaint(const Workspace& ws) {
        Show(ws, false);
        f_.distribution_->Repaint();
        QCoreApplication::processEvents();  // paints; the input blocker drops user input
        clock_.restart();
    }

    void Show(const Workspace& ws, bool allColumns) {
        if (number_ == 0) return;
        f_.Command4->setText("Iteration = " + QString::number(number_));
        f_.ProgressBar1->setValue(static_cast<int>(static_cast<float>(number_) / count_ * 100));
        ShowSeries(ws, allColumns);
        ShowRates(ws);
        if (kept_ > 0) f_.Text7->setText(Q(FormatMean(ws.MeanIrr)));
        if (ws.SaveToFile == 1 && kept_ > 0) f_.Text8->setText(Q(FormatMean(ws.ChosenRate)));
        f_.Text11->setText(QString::number(withoutIrr_));
    }

    // Row 1 the payments, row 2 the derivative; while running only the
    // columns in view, since a series may have thousands.
    void ShowSeries(const Workspace& ws, bool allColumns) {
        ui::Grid* grid = f_.MSHFlexGrid1;
        const int n = Degree(ws);
        int first = 0, last = n;
        if (!allColumns) {
            first = std::max(0, grid->columnAt(0));
            const int right = grid->columnAt(grid->viewport()->width() - 1);
            last = right < 0 ? n : std::min(n, right);
        }
        for (int col = first; col <= last && col < grid->Cols(); ++col) {
            grid->SetText(1, col, Q(FormatCoefficient(ws.PolyCoef[col + 1])));
            if (col < n && static_cast<std::size_t>(col + 1) < ws.DerivCoef.size())
                grid->SetText(2, col, Q(FormatCoefficient(ws.DerivCoef[col + 1])));
            else
                grid->SetText(2, col, "");
        }
    }

    // The rates of the latest simulation, one a row under "IRRs = n".
    void ShowRates(const Workspace& ws) {
        ui::Grid* grid = f_.MSHFlexGrid2;
        grid->SetRows(ws.RootCount + 1);
        grid->SetText(0, 0, "IRRs = " + QString::number(ws.RootCount));
        for (int r = 1; r <= ws.RootCount; ++r) grid->SetText(r, 0, Q(FormatRate(ws.IrrList[r])));
    }

    Form3& f_;
    QElapsedTimer clock_;
    long number_ = 0;
    long count_ = 1;
    long kept_ = 0;
    long withoutIrr_ = 0;
};

void Form3::Command4_Click() {
    if (!IncrementCanAdvance(screens_, Text9)) return;
    // A seed makes the run reproducible, as valmora-cli simulate --seed does:
    // the generator starts from it with a clock that always reads 0.
    const std::optional<std::uint64_t> seed = SeedOf(Text14->text());
    if (!Text14->text().trimmed().isEmpty() && !seed) {
        screens_.Dialogs().Message(kBadSeedMessage, "Error!");
        Text14->setFocus();
        Text14->selectAll();
        return;
    }
    FrozenClock frozenClock;
    std::optional<RandomPayments> seeded;
    if (seed) seeded.emplace(*seed, frozenClock);
    RandomPayments& random = seeded ? *seeded : screens_.Random();
    RunOutcome outcome;
    {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const ui::InputBlocker noInput;
        RunDisplay display(*this);
        Text7->setText("");
        Text8->setText("");
        const SimulationSettings settings = SimulationSettingsOf(ws_);
        const RunStopper stopper(Command8, this);
        display.stopper = &stopper;
        distribution_->RunStarted(settings.simulations);
        outcome = RunSimulations(settings, random, display, true);
        distribution_->RunEnded(outcome, outcome.stopped);
        display.Finish(ws_);
        Command4->setFocus();
        QApplication::restoreOverrideCursor();
    }
    ShowOutcome(outcome);
}

void Form3::ShowOutcome(const RunOutcome& outcome) {
    if (outcome.status == RunStatus::Complete) {
        if (outcome.stopped) {
            // Stopped by the user: the file holds the complete lines of the simulations run.
            screens_.Dialogs().Message(QString("stopped after %1 of %2 simulations")
                                           .arg(outcome.simulations)
                                           .arg(SimulationSettingsOf(ws_).simulations),
                                       "Stopped");
        } else {
            screens_.Dialogs().Message("Simulation Complete", "Done!");
            screens_.Dialogs().Beep();
        }
        // A search cut short may have missed the lowest rates of its series.
        if (outcome.incompleteScans > 0)
            screens_.Dialogs().Message(
                QString::number(outcome.incompleteScans) +
                " simulation(s) stopped searching for roots early (the work limit was reached): lower rates of "
                "their series were not searched.");
    } else {
        screens_.Dialogs().Message(Q(outcome.message), "Error!");
    }
}

}  // namespace valmora
