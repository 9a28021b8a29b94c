#include "screens/deterministic/npv_profile_link.h"

#include <QPushButton>

#include <cmath>

#include "core/solver/polynomial.h"
#include "screens/deterministic/npv_profile_window.h"
#include "screens/deterministic/series_results.h"

namespace valmora {

NpvProfileLink::NpvProfileLink(QPushButton* button, const std::optional<SeriesResults>& results, ui::Dialogs& dialogs,
                               QWidget* owner)
    : QObject(owner), button_(button), results_(results), dialogs_(dialogs), owner_(owner) {
    button_->setEnabled(false);
    connect(button_, &QPushButton::clicked, this, [this] { Open(); });
}

void NpvProfileLink::ResultsChanged() {
    const bool rates = results_ && results_->HasRates();
    button_->setEnabled(rates);
    if (!window_ || !window_->isVisible()) return;
    if (rates) Draw();
    else window_->close();
}

void NpvProfileLink::Open() {
    if (!results_ || !results_->HasRates()) return;
    if (!window_) window_ = new NpvProfileWindow(dialogs_, owner_);
    Draw();
    window_->show();
    window_->raise();
    window_->activateWindow();
}

void NpvProfileLink::Draw() {
    const SeriesResults& r = *results_;
    const RootSearch& search = *r.search;
    const int m = std::max(r.settings.periodsPerYear, 1);
    const double bound = r.analysis.upperBound;
    const bool stopped = search.stop != ScanStop::None;
    // A search that stopped early left x from where it stopped up to the bound
    // unsearched.
    std::vector<RateInterval> missed;
    if (stopped && search.lastX > 0 && bound > search.lastX) {
        const RateInterval unsearched{RateFromRoot(bound, m), RateFromRoot(search.lastX, m)};
        if (std::isfinite(unsearched.low) && std::isfinite(unsearched.high)) missed.push_back(unsearched);
    }
    // Roots the grid missed: pairs inside one step, roots where f only touches 0.
    for (const MissedRoots& iv : search.census.missed) {
        if (stopped && iv.to > search.lastX) continue;  // shaded above
        const RateInterval rates{RateFromRoot(iv.to, m), iv.from > 0 ? RateFromRoot(iv.from, m) : HUGE_VAL};
        if (std::isfinite(rates.low) && std::isfinite(rates.high)) missed.push_back(rates);
    }
    window_->SetSeries(r.analysis.coefficients, search.rates, m, std::move(missed));
}

}  // namespace valmora
