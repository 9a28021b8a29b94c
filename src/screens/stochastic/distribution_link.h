// "Distribution..." on the stochastic screen: after a run it opens the
// distribution of the IRRs the run kept; a view left open is refreshed while
// the next run goes, about as often as the run display repaints (less often
// when drawing it takes longer).
#pragma once

#include <QObject>

#include <functional>
#include <vector>

#include "screens/stochastic/irr_distribution_view.h"

class QPushButton;
class QWidget;

namespace valmora {

struct RunOutcome;
namespace ui {
class Dialogs;
}

class DistributionLink : public QObject {
public:
    // The view is a child window of `owner`; `now` reads a steady clock in
    // milliseconds.
    DistributionLink(QPushButton* button, ui::Dialogs& dialogs, QWidget* owner, std::function<qint64()> now);

    // A run of `requested` simulations starts: the IRRs of the last one go.
    void RunStarted(long requested);
    // Simulation `number` is done; `irr` is its kept IRR when `kept`.
    void SimulationDone(long number, bool kept, double irr);
    // The run display repaints.
    void Repaint();
    // The run ended; `stopped` when the user stopped it.
    void RunEnded(const RunOutcome& outcome, bool stopped = false);

    // The view, once opened.
    IrrDistributionView* View() const { return view_; }

private:
    void Open();
    void Draw();

    QPushButton* button_;
    ui::Dialogs& dialogs_;
    QWidget* owner_;
    IrrDistributionView* view_ = nullptr;
    std::vector<double> irrs_;
    RunFigures figures_;
    std::function<qint64()> now_;  // the steady clock, milliseconds
    qint64 drawnAt_ = 0;           // when the view was last drawn
    qint64 drawCost_ = 0;          // how long that took
};

}  // namespace valmora
