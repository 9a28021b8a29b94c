// "Distribution..." on the stochastic screen: after a run it opens the
// distribution of the IRRs the run kept, drawn from the screen's run
// results; a view left open is refreshed while the next run goes, about as
// often as the run display repaints (less often when drawing it takes
// longer).
#pragma once

#include <QObject>

#include <functional>

#include "screens/stochastic/irr_distribution_view.h"

class QPushButton;
class QWidget;

namespace valmora {

struct RunResults;
namespace ui {
class Dialogs;
}

class DistributionLink : public QObject {
public:
    // `run` is the screen's, read whenever the view is drawn; the view is a
    // child window of `owner`; `now` reads a steady clock in milliseconds.
    DistributionLink(QPushButton* button, const RunResults& run, ui::Dialogs& dialogs, QWidget* owner,
                     std::function<qint64()> now);

    // A run starts: the screen's run results were emptied.
    void RunStarted();
    // The run display repaints.
    void Repaint();
    // The run ended: its outcome is in the run results.
    void RunEnded();
    // Whether the settings on screen differ from those of the run shown: an
    // open view says so.
    void SettingsChanged(bool differ);

    // The view, once opened.
    IrrDistributionView* View() const { return view_; }

private:
    void Open();
    void Draw();

    QPushButton* button_;
    const RunResults& run_;
    ui::Dialogs& dialogs_;
    QWidget* owner_;
    IrrDistributionView* view_ = nullptr;
    std::function<qint64()> now_;  // the steady clock, milliseconds
    qint64 drawnAt_ = 0;           // when the view was last drawn
    qint64 drawCost_ = 0;          // how long that took
    bool otherSettings_ = false;   // the settings on screen differ from the run's
};

}  // namespace valmora
