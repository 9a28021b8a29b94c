#include "screens/stochastic/distribution_link.h"

#include <QPushButton>

#include <algorithm>

#include "core/simulation/simulation_run.h"

namespace valmora {
namespace {

// Redraw an open view during a run at most this often, and never spend more
// than a quarter of the run's time drawing it.
constexpr qint64 kMinRefreshMilliseconds = 100;
constexpr qint64 kDrawShare = 4;

}  // namespace

DistributionLink::DistributionLink(QPushButton* button, ui::Dialogs& dialogs, QWidget* owner,
                                   std::function<qint64()> now)
    : QObject(owner), button_(button), dialogs_(dialogs), owner_(owner), now_(std::move(now)) {
    button_->setEnabled(false);
    connect(button_, &QPushButton::clicked, this, [this] { Open(); });
}

void DistributionLink::RunStarted(long requested) {
    irrs_.clear();
    figures_ = RunFigures{};
    figures_.requested = requested;
    figures_.running = true;
    drawnAt_ = now_();
    if (view_ && view_->isVisible()) Draw();
}

void DistributionLink::SimulationDone(long number, bool kept, double irr) {
    figures_.simulations = number;
    if (kept) {
        ++figures_.withIrr;
        irrs_.push_back(irr);
    }
}

void DistributionLink::Repaint() {
    if (!view_ || !view_->isVisible()) return;
    if (now_() - drawnAt_ < std::max(kMinRefreshMilliseconds, kDrawShare * drawCost_)) return;
    Draw();
}

void DistributionLink::RunEnded(const RunOutcome& outcome, bool stopped) {
    irrs_ = outcome.kept;
    figures_.simulations = outcome.simulations;
    figures_.withIrr = outcome.withIrr;
    figures_.fallbacks = outcome.fallbacks;
    figures_.incompleteScans = outcome.incompleteScans;
    figures_.missedRoots = outcome.missedRoots;
    figures_.keptFromExact = outcome.keptFromExact;
    figures_.running = false;
    figures_.stopped = stopped;
    button_->setEnabled(outcome.simulations > 0);
    if (view_ && view_->isVisible()) Draw();
}

void DistributionLink::Open() {
    if (!view_) view_ = new IrrDistributionView(dialogs_, owner_);
    Draw();
    view_->show();
    view_->raise();
    view_->activateWindow();
}

void DistributionLink::Draw() {
    const qint64 start = now_();
    view_->SetRun(irrs_, figures_);
    drawnAt_ = now_();
    drawCost_ = drawnAt_ - start;
}

}  // namespace valmora
