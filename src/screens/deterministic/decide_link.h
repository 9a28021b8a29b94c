// "Decide..." on the deterministic screen: enabled while the screen lists
// rates for the series on it, it opens the decision window for that series
// and its rates. An open window follows the screen's results and closes when
// no rate is listed; its hurdle rate is marked on the NPV profile.
#pragma once

#include <QObject>

#include <optional>

class QPushButton;
class QWidget;

namespace valmora {

struct SeriesResults;
namespace ui {
class Dialogs;
}
class DecideWindow;
class NpvProfileLink;

class DecideLink : public QObject {
public:
    DecideLink(QPushButton* button, const std::optional<SeriesResults>& results, ui::Dialogs& dialogs,
               NpvProfileLink& profile, QWidget* owner);

    // The screen's results changed: the button and an open window follow.
    void ResultsChanged();

    DecideWindow* Window() const { return window_; }

private:
    bool Decidable() const;
    void Open();
    void Fill();

    QPushButton* button_;
    const std::optional<SeriesResults>& results_;
    ui::Dialogs& dialogs_;
    NpvProfileLink& profile_;
    QWidget* owner_;
    DecideWindow* window_ = nullptr;
};

}  // namespace valmora
