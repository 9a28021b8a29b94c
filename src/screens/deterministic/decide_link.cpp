#include "screens/deterministic/decide_link.h"

#include <QPushButton>

#include "screens/deterministic/decide_window.h"
#include "screens/deterministic/npv_profile_link.h"
#include "screens/deterministic/series_results.h"

namespace valmora {

DecideLink::DecideLink(QPushButton* button, const std::optional<SeriesResults>& results, ui::Dialogs& dialogs,
                       NpvProfileLink& profile, QWidget* owner)
    : QObject(owner), button_(button), results_(results), dialogs_(dialogs), profile_(profile), owner_(owner) {
    button_->setEnabled(false);
    connect(button_, &QPushButton::clicked, this, [this] { Open(); });
}

bool DecideLink::Decidable() const { return results_ && results_->HasRates(); }

void DecideLink::ResultsChanged() {
    button_->setEnabled(Decidable());
    if (!window_ || !window_->isVisible()) return;
    if (Decidable()) Fill();
    else window_->close();
}

void DecideLink::Open() {
    if (!Decidable()) return;
    if (!window_) {
        window_ = new DecideWindow(dialogs_, owner_);
        window_->HurdleChanged = [this](std::optional<double> rate) { profile_.SetHurdle(rate); };
        connect(window_, &QObject::destroyed, this, [this] { window_ = nullptr; });
    }
    Fill();
    window_->show();
    window_->raise();
    window_->activateWindow();
    window_->HurdleBox->setFocus();
}

void DecideLink::Fill() {
    const SeriesResults& r = *results_;
    window_->SetSeries(r.analysis.coefficients, r.search->rates, std::max(r.settings.periodsPerYear, 1));
}

}  // namespace valmora
