#include "screens/deterministic/npv_profile_link.h"

#include <QEvent>
#include <QPushButton>

#include <cmath>

#include "core/solver/polynomial.h"
#include "core/solver/workspace.h"
#include "screens/deterministic/npv_profile_window.h"

namespace valmora {

NpvProfileLink::NpvProfileLink(QPushButton* button, QWidget* irrGrid, Workspace& ws, ui::Dialogs& dialogs,
                               QWidget* owner)
    : QObject(owner), button_(button), irrGrid_(irrGrid), ws_(ws), dialogs_(dialogs), owner_(owner) {
    button_->setEnabled(irrGrid_->isEnabled());
    irrGrid_->installEventFilter(this);
    connect(button_, &QPushButton::clicked, this, [this] { Open(); });
}

bool NpvProfileLink::eventFilter(QObject* watched, QEvent* event) {
    if (watched == irrGrid_ && event->type() == QEvent::EnabledChange) {
        const bool current = irrGrid_->isEnabled();
        button_->setEnabled(current);
        if (window_ && window_->isVisible()) {
            if (current) Draw();
            else window_->close();
        }
    }
    return QObject::eventFilter(watched, event);
}

void NpvProfileLink::Open() {
    if (!window_) window_ = new NpvProfileWindow(dialogs_, owner_);
    Draw();
    window_->show();
    window_->raise();
    window_->activateWindow();
}

void NpvProfileLink::Draw() {
    if (ws_.PolyCoef.size() < 2) return;
    const int n = Degree(ws_);
    std::vector<double> flows(ws_.PolyCoef.begin() + 1, ws_.PolyCoef.begin() + 2 + n);
    std::vector<double> rates;
    for (int r = 1; r <= ws_.RootCount && r < static_cast<int>(ws_.IrrList.size()); ++r)
        rates.push_back(ws_.IrrList[r]);
    const int m = std::max<int>(ws_.PeriodsPerYear, 1);
    // A search that stopped early left x from where it stopped up to the bound
    // unsearched.
    std::vector<RateInterval> missed;
    if (ws_.ScanStopped != ScanStop::None && ws_.ScanX > 0 && ws_.UpperBound > ws_.ScanX) {
        const RateInterval unsearched{RateFromRoot(ws_.UpperBound, m), RateFromRoot(ws_.ScanX, m)};
        if (std::isfinite(unsearched.low) && std::isfinite(unsearched.high)) missed.push_back(unsearched);
    }
    // Roots the grid missed: pairs inside one step, roots where f only touches 0.
    for (const MissedRoots& iv : ws_.MissedIntervals) {
        if (ws_.ScanStopped != ScanStop::None && iv.to > ws_.ScanX) continue;  // shaded above
        const RateInterval rates{RateFromRoot(iv.to, m), iv.from > 0 ? RateFromRoot(iv.from, m) : HUGE_VAL};
        if (std::isfinite(rates.low) && std::isfinite(rates.high)) missed.push_back(rates);
    }
    window_->SetSeries(std::move(flows), std::move(rates), m, std::move(missed));
}

}  // namespace valmora
