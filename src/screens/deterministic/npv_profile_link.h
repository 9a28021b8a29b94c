// "NPV Profile..." on the deterministic screen: enabled while the screen
// holds a successful analysis of the series on it, it opens the NPV profile
// window of the series, with the rates listed and the roots missed once
// roots are located. An open window is drawn again whenever the screen's
// results change, and closes when they are dropped.
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
class NpvProfileWindow;

class NpvProfileLink : public QObject {
public:
    // `results` are the screen's, read whenever they change; the window is a
    // child of `owner`.
    NpvProfileLink(QPushButton* button, const std::optional<SeriesResults>& results, ui::Dialogs& dialogs,
                   QWidget* owner);

    // The screen's results changed: the button and an open window follow.
    void ResultsChanged();

    // The hurdle rate of the decision window, marked on the profile; nothing
    // to mark none.
    void SetHurdle(std::optional<double> rate);

    // The window, once opened.
    NpvProfileWindow* Window() const { return window_; }

private:
    bool Drawable() const;
    void Open();
    void Draw();

    QPushButton* button_;
    const std::optional<SeriesResults>& results_;
    ui::Dialogs& dialogs_;
    QWidget* owner_;
    NpvProfileWindow* window_ = nullptr;
    std::optional<double> hurdle_;  // marked on the profile
};

}  // namespace valmora
