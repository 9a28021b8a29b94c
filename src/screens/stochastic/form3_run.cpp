// "Begin Simulation(s)": the run, and what the screen shows while it goes.
#include <QApplication>
#include <QLabel>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

#include <algorithm>

#include "screens/common/evaluation_screens.h"
#include "screens/common/qt_strings.h"
#include "core/solver/number_format.h"
#include "screens/stochastic/form3.h"
#include "core/simulation/simulation_run.h"
#include "core/solver/text_rules.h"
#include "screens/common/notices.h"
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
// mean so far and the IRR it sent to the file. Writing every simulation to
// the widgets would cost more than the run, so the screen shows the latest
// completed simulation about ten times a second, and whenever a notice
// about it opens. A run that stops early leaves the last completed
// simulation on screen (or nothing) and says that it stopped.
class Form3::RunDisplay : public RunObserver {
public:
    explicit RunDisplay(Form3& form) : f_(form) {
        clock_.start();
        f_.ClearRunDisplay();
    }

    void SimulationStarted(long, long count) override { count_ = count; }

    void SimulationDone(const Workspace& ws, long number, bool kept) override {
        if (kept) ++kept_;
        else ++withoutIrr_;
        Take(ws, number, kept);
        if (!notice_.isEmpty()) {
            ShowNotice();
        } else if (clock_.elapsed() >= kRepaintMilliseconds) {
            Show(false);
            QCoreApplication::processEvents();  // paints; the input blocker drops user input
            clock_.restart();
        }
    }

    // The notice belongs to the simulation being finished: it opens once
    // that simulation is complete and on screen.
    void Notice(const std::string& text, const std::string& title) override {
        if (silenced_) return;
        notice_ = Q(text);
        noticeTitle_ = Q(title);
    }

    // After the run: the last completed simulation with every column of its
    // series; a run that stopped says so.
    void Finish(const RunOutcome& outcome) {
        if (last_.number > 0) Show(true);
        else f_.ClearRunDisplay();
        if (outcome.status == RunStatus::Complete) return;
        f_.Command4->setText("Stopped after " + QString::number(last_.number));
        f_.Label8->setText("Run stopped");
        f_.ProgressBar1->setValue(Progress(last_.number));
    }

private:
    // A completed simulation, kept because the next draw overwrites the workspace.
    struct Completed {
        long number = 0;  // 0: none yet
        std::vector<double> payments;
        std::vector<double> derivative;
        std::vector<double> rates;
        bool kept = false;
        double chosen = 0;
        double mean = 0;
    };

    void Take(const Workspace& ws, long number, bool kept) {
        last_.number = number;
        last_.payments.assign(ws.PolyCoef.begin(), ws.PolyCoef.end());
        last_.derivative.assign(ws.DerivCoef.begin(), ws.DerivCoef.end());
        // IrrList(1..RootCount) hold the rates; slot 0 is never used.
        const std::size_t count = std::min<std::size_t>(std::max<int>(ws.RootCount, 0),
                                                        ws.IrrList.empty() ? 0 : ws.IrrList.size() - 1);
        last_.rates.assign(ws.IrrList.begin() + (count ? 1 : 0), ws.IrrList.begin() + (count ? 1 + count : 0));
        last_.kept = kept;
        last_.chosen = ws.ChosenRate;
        last_.mean = ws.MeanIrr;
    }

    void ShowNotice() {
        Show(false);
        QApplication::restoreOverrideCursor();
        silenced_ = ShowSilenceableNotice(f_.screens_.Dialogs(), notice_, noticeTitle_, kSilenceNotices);
        QApplication::setOverrideCursor(Qt::WaitCursor);
        notice_.clear();
        clock_.restart();
    }

    int Progress(long number) const { return static_cast<int>(static_cast<float>(number) / count_ * 100); }

    void Show(bool allColumns) {
        f_.Command4->setText("Iteration = " + QString::number(last_.number));
        f_.ProgressBar1->setValue(Progress(last_.number));
        ShowSeries(allColumns);
        ShowRates();
        ShowNumber(f_.Text7, kept_ > 0, last_.mean);
        if (f_.ws_.SaveToFile == 1) ShowNumber(f_.Text8, last_.kept, last_.chosen);
        f_.Text11->setText(QString::number(withoutIrr_));
    }

    // "0.#####", or the general number text when that is too wide for the
    // box; the whole value in the tool tip then.
    static void ShowNumber(QLineEdit* box, bool shown, double value) {
        const QString text = shown ? Q(FormatMean(value)) : QString();
        constexpr int kMargins = 8;  // the box's frame and its text margins, both sides
        const int room = box->width() - kMargins;
        if (box->fontMetrics().horizontalAdvance(text) <= room) {
            box->setText(text);
            box->setToolTip(QString());
            return;
        }
        box->setText(Q(GeneralText(value)));
        box->setCursorPosition(0);  // the start of the number, its sign and leading digits
        box->setToolTip(text);
    }

    // Row 1 the payments, row 2 the derivative; while running only the
    // columns in view, since a series may have thousands.
    void ShowSeries(bool allColumns) {
        ui::Grid* grid = f_.MSHFlexGrid1;
        const int n = last_.payments.size() >= 2 ? static_cast<int>(last_.payments.size()) - 2 : 0;
        int first = 0, lastCol = n;
        if (!allColumns) {
            first = std::max(0, grid->columnAt(0));
            const int right = grid->columnAt(grid->viewport()->width() - 1);
            lastCol = right < 0 ? n : std::min(n, right);
        }
        for (int col = first; col <= lastCol && col < grid->Cols(); ++col) {
            grid->SetText(1, col, Q(FormatCoefficient(last_.payments[col + 1])));
            if (col < n && static_cast<std::size_t>(col + 1) < last_.derivative.size())
                grid->SetText(2, col, Q(FormatCoefficient(last_.derivative[col + 1])));
            else
                grid->SetText(2, col, "");
        }
    }

    // The rates of the simulation shown, one a row under "IRRs = n".
    void ShowRates() {
        ui::Grid* grid = f_.MSHFlexGrid2;
        const int count = static_cast<int>(last_.rates.size());
        grid->SetRows(count + 1);
        grid->SetText(0, 0, "IRRs = " + QString::number(count));
        for (int r = 1; r <= count; ++r) grid->SetText(r, 0, Q(FormatRate(last_.rates[r - 1])));
    }

    Form3& f_;
    QElapsedTimer clock_;
    Completed last_;
    long count_ = 1;
    long kept_ = 0;
    long withoutIrr_ = 0;
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

void Form3::Command4_Click() {
    if (!IncrementCanAdvance(screens_, Text9)) return;
    RunOutcome outcome;
    {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const ui::InputBlocker noInput;
        RunDisplay display(*this);
        outcome = RunSimulations(ws_, screens_.Random(), display, ws_.NumSimulations);
        display.Finish(outcome);
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
