// "Begin Simulation(s)": the run, and what the screen shows while it goes.
#include <QApplication>
#include <QLabel>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStringList>

#include <algorithm>
#include <optional>

#include "screens/common/evaluation_screens.h"
#include "screens/common/notices.h"
#include "screens/common/qt_strings.h"
#include "core/solver/number_format.h"
#include "screens/stochastic/distribution_link.h"
#include "screens/stochastic/form3.h"
#include "screens/stochastic/run_stopper.h"
#include "core/simulation/limits.h"
#include "core/simulation/simulation_run.h"
#include "core/solver/text_rules.h"
#include "core/workspace/workspace_mirror.h"
#include "ui/controls.h"
#include "core/simulation/seed.h"
#include "screens/common/number_box.h"
#include "ui/decimal_separator.h"
#include "ui/dialogs.h"
#include "ui/grid.h"
#include "ui/input_blocker.h"

namespace valmora {
namespace {

// Repaints at least this often while a run goes.
constexpr int kRepaintMilliseconds = 100;

const QString kSilenceNotices = "Do not show this again during this run";

}  // namespace

// Shows the run on the screen, one completed simulation at a time: its
// number and the progress, its series with the derivative, its rates, the
// mean so far and the IRR it sent to the file. Each completed simulation is
// added to the screen's run results, which therefore always hold the last
// one, and mirrored into the workspace.
// Writing every simulation to the widgets would cost more than the run, so
// the screen shows the latest completed simulation about ten times a
// second, and whenever a notice about it opens. A run that stops early
// leaves the last completed simulation on screen (or nothing) and says that
// it stopped.
class Form3::RunDisplay : public RunObserver {
public:
    explicit RunDisplay(Form3& form) : f_(form), run_(form.run_) {
        clock_.start();
        f_.ClearRunDisplay();
    }

    void SimulationStarted(long, long count) override { count_ = count; }

    void SimulationDone(const SimulationStep& step) override {
        run_.Add(step);
        StoreSimulationStep(f_.ws_, step);
        if (!notice_.isEmpty()) {
            ShowNotice();
        } else if (clock_.elapsed() >= kRepaintMilliseconds) {
            Show(false);
            f_.distribution_->Repaint();
            QCoreApplication::processEvents();  // paints; the input blocker drops user input
            clock_.restart();
        }
    }

    // The notice belongs to the simulation being finished: it opens once
    // that simulation is complete and on screen, its kept IRR and the new
    // mean included.
    void Notice(const std::string& text, const std::string& title, const SimulationStep&) override {
        if (silenced_) return;
        notice_ = Q(text);
        noticeTitle_ = Q(title);
    }

    bool StopRequested() override { return stopper && stopper->Requested(); }

    // The user's way to end the run early.
    const RunStopper* stopper = nullptr;

    // After the run: the last completed simulation with every column of its
    // series; a run that stopped says so.
    void Finish(const RunOutcome& outcome) {
        if (run_.number > 0) Show(true);
        else f_.ClearRunDisplay();
        if (outcome.status == RunStatus::Complete && !outcome.stopped) return;
        // A run that never started (its file could not be created): the
        // button still begins one; the message says why.
        if (outcome.simulations == 0) {
            f_.Command4->setText("Begin Simulation(s)");
            return;
        }
        f_.Command4->setText("Stopped after " + QString::number(run_.number));
        f_.Label8->setText("Run stopped");
        f_.ProgressBar1->setValue(Progress(run_.number));
    }

private:
    void ShowNotice() {
        Show(false);
        f_.distribution_->Repaint();
        QApplication::restoreOverrideCursor();
        silenced_ = ShowSilenceableNotice(f_.screens_.Dialogs(), notice_, noticeTitle_, kSilenceNotices);
        QApplication::setOverrideCursor(Qt::WaitCursor);
        notice_.clear();
        clock_.restart();
    }

    int Progress(long number) const { return static_cast<int>(static_cast<float>(number) / count_ * 100); }

    // The last completed simulation, everything from the same one.
    void Show(bool allColumns) {
        f_.Command4->setText("Iteration = " + QString::number(run_.number));
        f_.ProgressBar1->setValue(Progress(run_.number));
        ShowSeries(allColumns);
        ShowRates();
        ShowNumber(f_.Text7, run_.WithIrr() > 0, run_.meanIrr);
        if (run_.settings.saveToFile) ShowNumber(f_.Text8, run_.kept, run_.keptRate);
        f_.Text11->setText(QString::number(run_.WithoutIrr()));
    }

    // "0.#####", or when that is too wide for the box, the longest exponent
    // form that fits (1.00248E+300), never digits cut off; the whole value
    // in the tool tip then.
    static void ShowNumber(QLineEdit* box, bool shown, double value) {
        const QString text = shown ? ui::InLocale(FormatMean(value)) : QString();
        constexpr int kMargins = 8;  // the box's frame and its text margins, both sides
        if (box->fontMetrics().horizontalAdvance(text) <= box->width() - kMargins) {
            box->setText(text);
            box->setToolTip(QString());
            return;
        }
        ShowFitting(box, value);
    }

    // Row 1 the payments, row 2 the derivative; while running only the
    // columns in view, since a series may have thousands.
    void ShowSeries(bool allColumns) {
        ui::Grid* grid = f_.MSHFlexGrid1;
        const int n = static_cast<int>(run_.series.size()) - 1;
        int first = 0, last = n;
        if (!allColumns) {
            first = std::max(0, grid->columnAt(0));
            const int right = grid->columnAt(grid->viewport()->width() - 1);
            last = right < 0 ? n : std::min(n, right);
        }
        for (int col = first; col <= last && col < grid->Cols(); ++col) {
            grid->SetText(1, col, Q(FormatCoefficient(run_.series[col])));
            if (col < static_cast<int>(run_.derivative.size()))
                grid->SetText(2, col, Q(FormatCoefficient(run_.derivative[col])));
            else grid->SetText(2, col, "");
        }
    }

    // The rates of the simulation shown, one a row under "IRRs = n".
    void ShowRates() {
        ui::Grid* grid = f_.MSHFlexGrid2;
        const int count = static_cast<int>(run_.rates.size());
        grid->SetRows(count + 1);
        grid->SetText(0, 0, "IRRs = " + QString::number(count));
        for (int r = 1; r <= count; ++r) grid->SetText(r, 0, Q(FormatRate(run_.rates[r - 1])));
    }

    Form3& f_;
    RunResults& run_;  // the screen's: what is shown
    QElapsedTimer clock_;
    long count_ = 1;
    QString notice_;  // waiting for its simulation to complete
    QString noticeTitle_;
    bool silenced_ = false;  // "Do not show this again during this run" was ticked
};

// Before a run: no simulation on screen yet.
void Form3::ClearRunDisplay() {
    Label8->setText("Progress Bar");
    ProgressBar1->setValue(0);
    for (int row = 1; row < MSHFlexGrid1->Rows(); ++row)
        for (int col = 0; col < MSHFlexGrid1->Cols(); ++col) MSHFlexGrid1->SetText(row, col, "");
    MSHFlexGrid2->SetRows(1);
    MSHFlexGrid2->SetText(0, 0, "");
    for (QLineEdit* box : {Text7, Text8, Text11}) {
        box->setText("");
        box->setToolTip(QString());
    }
}

void Form3::FollowInputs() {
    if (!run_.outcome) return;  // no run yet, or one is going
    const bool differ =
        !SameRunInputs(SimulationSettingsOf(ws_), run_.settings) || Std(Text14->text().trimmed()) != run_.seed;
    if (differ && runShown_) {
        ClearRunDisplay();
        Command4->setText("Begin Simulation(s)");
        runShown_ = false;
    }
    distribution_->SettingsChanged(differ);
}

void Form3::Command4_Click() {
    if (!IncrementCanAdvance(screens_, Text9)) return;
    // A seed makes the run reproducible, as valmora-cli simulate --seed does:
    // the generator starts from it with a clock that always reads 0.
    const std::optional<std::uint64_t> seed = ParseSeed(Std(Text14->text()));
    if (!Text14->text().trimmed().isEmpty() && !seed) {
        screens_.Dialogs().Message(
            Q(SeedRefusal(Std(Text14->text().trimmed()))) + ". Leave the box empty to seed from the clock.", "Error!");
        ui::FocusAndSelectAll(Text14);
        return;
    }
    std::optional<double> hurdle;
    if (!ReadHurdle(hurdle)) return;
    FrozenClock frozenClock;
    std::optional<RandomPayments> seeded;
    if (seed) seeded.emplace(*seed, frozenClock);
    RandomPayments& random = seeded ? *seeded : screens_.Random();
    RunOutcome outcome;
    bool closeAfterRun = false;
    {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const ui::InputBlocker noInput;
        RunDisplay display(*this);
        run_ = RunResults{};
        run_.settings = SimulationSettingsOf(ws_);
        // The file a fitting program on this desktop reads: its decimal separator.
        run_.settings.decimalComma = ui::DecimalComma();
        run_.settings.hurdle = hurdle;
        run_.seed = Std(Text14->text().trimmed());
        runShown_ = true;
        const RunStopper stopper(Command8, this, screens_.Dialogs());
        display.stopper = &stopper;
        distribution_->RunStarted();
        outcome = RunSimulations(run_.settings, random, display);
        run_.outcome = outcome;
        if (outcome.simulations == 0) runShown_ = false;
        distribution_->RunEnded();
        display.Finish(outcome);
        Command4->setFocus();
        QApplication::restoreOverrideCursor();
        closeAfterRun = stopper.CloseRequested();
    }
    // The user closed the window during the run and chose to stop it.
    if (closeAfterRun) {
        FrameClosed();
        return;
    }
    ShowOutcome(outcome);
}

void Form3::ShowOutcome(const RunOutcome& outcome) {
    if (outcome.status == RunStatus::Complete) {
        if (outcome.stopped) {
            // Stopped by the user: the file holds the complete lines of the simulations run.
            screens_.Dialogs().Message(
                QString("stopped after %1 of %2 simulations").arg(outcome.simulations).arg(run_.settings.simulations),
                "Stopped");
        } else {
            screens_.Dialogs().Message("Simulation Complete", "Done!");
            screens_.Dialogs().Beep();
        }
        // What the searches could not do as asked, each cause named; and
        // which kept IRRs came from the exact roots instead of the list.
        QStringList notes;
        const auto stopped = [&](long n, const char* why) {
            if (n > 0)
                notes << QString::number(n) + " simulation(s) stopped searching for roots early (" + why +
                             "): lower rates of their series were not searched.";
        };
        stopped(outcome.stalledScans, "x no longer grew by the increment");
        stopped(outcome.workLimitScans, "the work limit was reached");
        stopped(outcome.overflowScans, "F(x) became too large");
        if (outcome.missedRoots > 0)
            notes << QString::number(outcome.missedRoots) +
                         " simulation(s) listed fewer IRRs than their series have in the searched range (two roots "
                         "within one increment, or a root where the present value touches 0 without changing "
                         "sign).";
        if (outcome.listedNotRoots > 0)
            notes << QString::number(outcome.listedNotRoots) +
                         " simulation(s) listed a rate where only rounding made the present value change sign: "
                         "their series have no root there.";
        if (outcome.keptFromExact > 0)
            notes << QString::number(outcome.keptFromExact) +
                         " simulation(s) kept the IRR the rule chooses among every root of their series in the "
                         "searched range, refined to full precision, as their listed IRRs were incomplete or wrong.";
        if (outcome.uncounted > 0)
            notes << QString::number(outcome.uncounted) +
                         " simulation(s): whether their search missed roots could not be decided (too many payments "
                         "to count roots exactly).";
        const long none = outcome.simulations - outcome.withIrr;
        if (run_.settings.saveToFile && none > 0)
            notes << QString::number(none) + (none == 1 ? " simulation" : " simulations") +
                         " had no IRR and wrote no line: the file holds " + QString::number(outcome.withIrr) +
                         (outcome.withIrr == 1 ? " line." : " lines.");
        if (const QString npv = HurdleNote(outcome); !npv.isEmpty()) notes << npv;
        if (!notes.isEmpty()) screens_.Dialogs().Message(ui::NumbersInLocale(notes.join("\r")));
    } else {
        screens_.Dialogs().Message(Q(outcome.message), "Error!");
    }
}

}  // namespace valmora
