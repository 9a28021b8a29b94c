// A chart view the user zooms with the mouse wheel (around the pointer) and a
// rubber band, and resets; and the export of a chart as PNG or SVG through
// the save dialog.
#pragma once

#include <QPointer>
#include <QtCharts/QChartView>
#include <QtCharts/QValueAxis>

namespace valmora {

namespace ui {
class Dialogs;
}

class ZoomableChartView : public QChartView {
    Q_OBJECT
public:
    explicit ZoomableChartView(QChart* chart, QWidget* parent = nullptr);

    enum Nice { NiceNone = 0, NiceX = 1, NiceY = 2, NiceBoth = 3 };
    // Sets the ranges ResetZoom() goes back to, widened to round numbers on the axes asked for.
    void SetHome(QValueAxis* x, double xLow, double xHigh, QValueAxis* y, double yLow, double yHigh,
                 int nice = NiceBoth);
    void ResetZoom();
    // Zooms by `factor` (> 1 in, < 1 out) keeping the chart point under `at` (view coordinates) in place.
    void ZoomAround(QPointF at, double factor);

signals:
    // The mouse moved to the chart value `at` inside the plot area, or out of it.
    void Hovered(QPointF at, bool inside);

protected:
    void wheelEvent(QWheelEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    QPointer<QValueAxis> x_;
    QPointer<QValueAxis> y_;
    double home_[4] = {0, 1, 0, 1};
};

enum class ChartFormat { Png, Svg };

// Asks for a file name and writes the chart view there; appends the
// extension when the name has none. False when cancelled or not written (the
// user is told why).
bool ExportChart(QChartView* view, ChartFormat format, ui::Dialogs& dialogs);

// Asks for a CSV file name and writes `text` there. False when cancelled or
// not written (the user is told why).
bool ExportCsv(const QString& text, ui::Dialogs& dialogs);

}  // namespace valmora
