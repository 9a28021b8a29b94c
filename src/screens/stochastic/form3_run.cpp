// "Begin Simulation(s)": the run, and what the screen shows while it goes.
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

#include "screens/common/evaluation_screens.h"
#include "core/solver/number_format.h"
#include "screens/stochastic/form3.h"
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
        if (clock_.elapsed() >= kRepaintMilliseconds) Repaint(f_.ws_);
    }

    void Notice(const std::string& text, const std::string& title, const SimulationStep& sofar) override {
        StoreSimulationStep(f_.ws_, sofar);
        Show(f_.ws_, false);
        QApplication::restoreOverrideCursor();
        f_.screens_.Dialogs().Message(Q(text), Q(title));
        QApplication::setOverrideCursor(Qt::WaitCursor);
    }

    // The state after the last simulation, every column of the series.
    void Finish(const Workspace& ws) { Show(ws, true); }

private:
    void Repaint(const Workspace& ws) {
        Show(ws, false);
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
    RunOutcome outcome;
    {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const ui::InputBlocker noInput;
        RunDisplay display(*this);
        Text7->setText("");
        Text8->setText("");
        outcome = RunSimulations(SimulationSettingsOf(ws_), screens_.Random(), display);
        display.Finish(ws_);
        Command4->setFocus();
        QApplication::restoreOverrideCursor();
    }
    ShowOutcome(outcome);
}

void Form3::ShowOutcome(const RunOutcome& outcome) {
    if (outcome.status == RunStatus::Complete) {
        screens_.Dialogs().Message("Simulation Complete", "Done!");
        screens_.Dialogs().Beep();
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
