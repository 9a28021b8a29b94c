#include "screens/deterministic/npv_profile_link.h"

#include <QPushButton>

#include <cmath>

#include "core/solver/missed_roots.h"
#include "core/solver/polynomial.h"
#include "screens/deterministic/npv_profile_window.h"
#include "screens/deterministic/series_results.h"

namespace valmora {
namespace {

// The rate intervals where the search may have missed roots.
std::vector<RateInterval> MissedIntervals(const CashFlowAnalysis& analysis, const RootSearch& search, int m) {
    const double bound = analysis.upperBound;
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
    return missed;
}

// The roots in range no listed rate stands for, each touching when every
// root the search missed in its interval is one where f keeps its sign.
std::vector<MissedRootMark> MissedRootMarks(const CashFlowAnalysis& analysis, const SearchSettings& settings,
                                            const RootSearch& search) {
    std::vector<MissedRootMark> marks;
    const std::optional<std::vector<RootInRange>> roots = AllRootsInRange(analysis, settings, search);
    if (!roots) return marks;
    const std::vector<MissedRootsNote> notes = DescribeMissedRoots(analysis, settings, search);
    const std::vector<MissedRoots>& intervals = search.census.missed;
    for (const RootInRange& root : *roots) {
        if (root.found || !root.rateFinite) continue;
        MissedRootMark mark{root.rate, false};
        for (std::size_t k = 0; k < intervals.size() && k < notes.size(); ++k) {
            if (!(root.x > intervals[k].from && root.x <= intervals[k].to)) continue;
            const MissedRootsNote& note = notes[k];
            mark.touching = note.classified && !note.beyondStop && note.count > 0 && note.touching >= note.count;
        }
        marks.push_back(mark);
    }
    return marks;
}

}  // namespace

NpvProfileLink::NpvProfileLink(QPushButton* button, const std::optional<SeriesResults>& results, ui::Dialogs& dialogs,
                               QWidget* owner)
    : QObject(owner), button_(button), results_(results), dialogs_(dialogs), owner_(owner) {
    button_->setEnabled(false);
    connect(button_, &QPushButton::clicked, this, [this] { Open(); });
}

bool NpvProfileLink::Drawable() const { return results_ && results_->analysis.Ok(); }

void NpvProfileLink::ResultsChanged() {
    const bool drawable = Drawable();
    button_->setEnabled(drawable);
    if (!window_ || !window_->isVisible()) return;
    if (drawable) Draw();
    else window_->close();
}

void NpvProfileLink::Open() {
    if (!Drawable()) return;
    if (!window_) window_ = new NpvProfileWindow(dialogs_, owner_);
    Draw();
    window_->show();
    window_->raise();
    window_->activateWindow();
}

void NpvProfileLink::Draw() {
    const SeriesResults& r = *results_;
    const int m = std::max(r.settings.periodsPerYear, 1);
    window_->SetHurdle(hurdle_);
    if (!r.search || !r.search->Searched()) {
        window_->SetSeries(r.analysis.coefficients, {}, m, {}, {}, NpvProfileWindow::Search::NotRun);
        return;
    }
    const RootSearch& search = *r.search;
    window_->SetSeries(r.analysis.coefficients, search.rates, m, MissedIntervals(r.analysis, search, m),
                       MissedRootMarks(r.analysis, r.settings, search));
}

void NpvProfileLink::SetHurdle(std::optional<double> rate) {
    if (rate == hurdle_) return;
    hurdle_ = rate;
    if (window_ && window_->isVisible() && Drawable()) Draw();
}

}  // namespace valmora
