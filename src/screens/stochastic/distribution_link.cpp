#include "screens/stochastic/distribution_link.h"

#include <QPushButton>

#include <algorithm>

#include "screens/stochastic/run_results.h"

namespace valmora {
namespace {

// Redraw an open view during a run at most this often, and never spend more
// than a quarter of the run's time drawing it.
constexpr qint64 kMinRefreshMilliseconds = 100;
constexpr qint64 kDrawShare = 4;

}  // namespace

DistributionLink::DistributionLink(QPushButton* button, const RunResults& run, ui::Dialogs& dialogs, QWidget* owner,
                                   std::function<qint64()> now)
    : QObject(owner), button_(button), run_(run), dialogs_(dialogs), owner_(owner), now_(std::move(now)) {
    button_->setEnabled(false);
    connect(button_, &QPushButton::clicked, this, [this] { Open(); });
}

void DistributionLink::RunStarted() {
    otherSettings_ = false;
    drawnAt_ = now_();
    if (view_ && view_->isVisible()) Draw();
}

void DistributionLink::Repaint() {
    if (!view_ || !view_->isVisible()) return;
    if (now_() - drawnAt_ < std::max(kMinRefreshMilliseconds, kDrawShare * drawCost_)) return;
    Draw();
}

void DistributionLink::RunEnded() {
    button_->setEnabled(run_.outcome && run_.outcome->simulations > 0);
    if (view_ && view_->isVisible()) Draw();
}

void DistributionLink::SettingsChanged(bool differ) {
    if (differ == otherSettings_) return;
    otherSettings_ = differ;
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
    RunFigures figures;
    figures.requested = run_.settings.simulations;
    figures.simulations = run_.number;
    figures.withIrr = run_.WithIrr();
    if (const auto& outcome = run_.outcome) {
        figures.simulations = outcome->simulations;
        figures.withIrr = outcome->withIrr;
        figures.fallbacks = outcome->fallbacks;
        figures.incompleteScans = outcome->incompleteScans;
        figures.missedRoots = outcome->missedRoots;
        figures.keptFromExact = outcome->keptFromExact;
        figures.stopped = outcome->stopped;
    }
    figures.running = !run_.outcome;
    figures.otherSettings = otherSettings_;
    figures.hurdle = run_.settings.hurdle;
    view_->SetRun(run_.keptIrrs, figures, run_.npvs);
    drawnAt_ = now_();
    drawCost_ = drawnAt_ - start;
}

}  // namespace valmora
