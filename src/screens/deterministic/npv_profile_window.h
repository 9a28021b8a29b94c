// The NPV profile of the series on the deterministic screen: its present
// value against the rate, the listed IRRs marked and labelled, the roots no
// listed rate stands for marked apart, the zero line, and the rate intervals
// where the search may have missed roots shaded.
#pragma once

#include <QWidget>

#include <vector>

#include "core/solver/npv_profile.h"

class QAreaSeries;
class QChart;
class QColor;
class QLabel;
class QLineSeries;
class QPushButton;
class QScatterSeries;
class QValueAxis;

namespace valmora {

namespace ui {
class Dialogs;
}
class ZoomableChartView;
class ProfileOverlay;

// A root in range that no listed rate stands for, as a listed rate.
struct MissedRootMark {
    double rate = 0;
    bool touching = false;  // f touches 0 there without changing sign
};

class NpvProfileWindow : public QWidget {
    Q_OBJECT
public:
    explicit NpvProfileWindow(ui::Dialogs& dialogs, QWidget* parent = nullptr);

    // Whether roots were located for the series: without a search no rate
    // can be listed yet.
    enum class Search { Run, NotRun };

    // Draws the profile of `flows` (P0 negative for an investment, P1..PN)
    // with the listed `rates` (rates per period times `periodsPerYear`; the
    // axis is the annual rate, API, when that is more than 1), the rate
    // intervals where roots may have been missed and the roots missed.
    void SetSeries(std::vector<double> flows, std::vector<double> rates, int periodsPerYear,
                   std::vector<RateInterval> missed = {}, std::vector<MissedRootMark> missedRoots = {},
                   Search search = Search::Run);

    // The hurdle rate to mark with a vertical line at the next SetSeries;
    // nothing for none.
    void SetHurdle(std::optional<double> rate) { hurdle_ = rate; }

    ZoomableChartView* ChartView;
    QLabel* Caption;
    QPushButton* ResetButton;
    QPushButton* PngButton;
    QPushButton* SvgButton;
    QPushButton* CloseButton;  // "&Close"; Esc does the same
    QLabel* Readout;           // the rate under the mouse and the series' NPV there

    // What is drawn, for a look from outside.
    QLineSeries* Profile = nullptr;
    QLineSeries* ZeroLine = nullptr;
    std::vector<QScatterSeries*> IrrMarks;         // "IRR k = rate", filled
    std::vector<QScatterSeries*> MissedRootMarks;  // "Missed root = rate" or "Touching root = rate", hollow
    std::vector<QAreaSeries*> MissedAreas;
    QLineSeries* HurdleLine = nullptr;  // "Hurdle rate = R", dashed, when a hurdle rate is set
    QValueAxis* AxisX = nullptr;
    QValueAxis* AxisY = nullptr;
    // The marks' labels, and the arrows where the curve leaves the values shown.
    ProfileOverlay* Overlay;

private:
    void ShowReadout(QPointF at, bool inside);
    QScatterSeries* Mark(double rate, const QString& what, const QColor& colour);

    ui::Dialogs& dialogs_;
    QChart* chart_;
    std::vector<double> flows_;     // the series drawn
    std::optional<double> hurdle_;  // marked with a vertical line
    int periodsPerYear_ = 1;        // the x axis is the rate per period times this
};

}  // namespace valmora
