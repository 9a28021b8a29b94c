// The NPV profile window: what it draws, zooming, and exporting.
#include <cmath>

#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtCharts/QAreaSeries>
#include <QtCharts/QChart>
#include <QtCharts/QLineSeries>
#include <QtCharts/QScatterSeries>

#include "chart_test_support.h"
#include "recording_dialogs.h"
#include "screen_harness.h"
#include "screens/deterministic/npv_profile_window.h"

using namespace valmora;
using namespace valmora::testing;

class NpvProfileWindowTest : public QObject {
    Q_OBJECT

private:
    RecordingDialogs dialogs;
    QTemporaryDir dir;

    // -100 230 -132: IRRs of 10 % and 20 %, listed from the highest.
    std::unique_ptr<NpvProfileWindow> OpenTwoIrrs(int m = 1, std::vector<RateInterval> missed = {}) {
        auto w = std::make_unique<NpvProfileWindow>(dialogs);
        w->SetSeries({-100, 230, -132}, {0.2 * m, 0.1 * m}, m, std::move(missed));
        w->show();
        (void)QTest::qWaitForWindowExposed(w.get());
        return w;
    }

private slots:
    void initTestCase() { PrepareApplication(); }

    void marksAndLabelsEveryListedIrr() {
        auto w = OpenTwoIrrs();
        QCOMPARE(w->windowTitle(), QString("NPV Profile"));
        QCOMPARE(w->Caption->text(), QString("2 IRRs listed."));
        QCOMPARE(w->IrrMarks.size(), 2u);
        const QString names[] = {"IRR 1 = 0.2", "IRR 2 = 0.1"};
        const QString labels[] = {"0.2", "0.1"};
        const double rates[] = {0.2, 0.1};
        for (int k = 0; k < 2; ++k) {
            QScatterSeries* mark = w->IrrMarks[k];
            QCOMPARE(mark->name(), names[k]);
            QCOMPARE(mark->pointLabelsFormat(), labels[k]);
            QVERIFY(mark->pointLabelsVisible());
            QCOMPARE(mark->count(), 1);
            QCOMPARE(mark->at(0).x(), rates[k]);
            QVERIFY(std::abs(mark->at(0).y()) < 1e-9);
        }
        // Both IRRs with a margin on either side, and the zero line across.
        QVERIFY(w->AxisX->min() < 0.1 - 0.05 && w->AxisX->max() > 0.2 + 0.05);
        QVERIFY(w->AxisY->min() < 0 && w->AxisY->max() > 0);
        QCOMPARE(w->ZeroLine->at(0).y(), 0.0);
        QCOMPARE(w->ZeroLine->at(0).x(), w->AxisX->min());
        QCOMPARE(w->ZeroLine->at(1).x(), w->AxisX->max());
        QVERIFY(w->Profile->count() > 400);
        QVERIFY(w->MissedAreas.empty());
        QCOMPARE(w->AxisX->titleText(), QString("Rate per period i"));
    }

    void annualRateAxisInApiMode() {
        auto w = OpenTwoIrrs(12);
        QCOMPARE(w->AxisX->titleText(), QString("Annual rate (API) = 12 x rate per period"));
        QCOMPARE(w->Caption->text(), QString("2 IRRs listed as annual rates (API)."));
        QCOMPARE(w->IrrMarks[0]->pointLabelsFormat(), QString("2.4"));
        QVERIFY(w->AxisX->min() < 1.2 && w->AxisX->max() > 2.4);
        QVERIFY(std::abs(w->IrrMarks[1]->at(0).y()) < 1e-9);
    }

    void missedIntervalsAreShaded() {
        auto w = OpenTwoIrrs(1, {{0.5, 0.6}, {0.7, 0.72}});
        QCOMPARE(w->MissedAreas.size(), 2u);
        QCOMPARE(w->MissedAreas[0]->name(), QString("Roots possibly missed"));
        QCOMPARE(w->MissedAreas[0]->upperSeries()->at(0).x(), 0.5);
        QCOMPARE(w->MissedAreas[0]->upperSeries()->at(1).x(), 0.6);
        QVERIFY(w->AxisX->max() > 0.72);
        QVERIFY(w->Caption->text().endsWith("Shaded: rates where the search may have missed roots."));
    }

    void aSeriesWithoutIrrs() {
        NpvProfileWindow w(dialogs);
        w.SetSeries({-100, 50, 40}, {}, 1);
        QCOMPARE(w.Caption->text(), QString("No IRR is listed for this series."));
        QVERIFY(w.IrrMarks.empty());
        QVERIFY(w.Profile->count() > 400);
    }

    void drawingAgainReplacesWhatWasDrawn() {
        auto w = OpenTwoIrrs();
        const int before = w->ChartView->chart()->series().size();
        w->SetSeries({-1000, 500, 500, 500}, {0.23375}, 1);
        QCOMPARE(w->IrrMarks.size(), 1u);
        QCOMPARE(w->ChartView->chart()->series().size(), before - 1);
        QCOMPARE(w->ChartView->chart()->axes().size(), 2);
        QCOMPARE(w->IrrMarks[0]->pointLabelsFormat(), QString("0.23375"));
    }

    void wheelAndRubberBandZoomAndResetGoesBack() {
        auto w = OpenTwoIrrs();
        const double x0 = w->AxisX->min(), x1 = w->AxisX->max(), y0 = w->AxisY->min(), y1 = w->AxisY->max();
        ZoomableChartView* v = w->ChartView;

        Wheel(v, PlotCentre(v), 2);
        QVERIFY(Width(w->AxisX) < 0.7 * (x1 - x0));
        // Zoomed, both axes tick at round steps anchored at 0: a tick at 0
        // reads 0, never a trace of rounding such as 6.39488e-14.
        for (const QValueAxis* axis : {w->AxisX, w->AxisY}) {
            QCOMPARE(axis->tickType(), QValueAxis::TicksDynamic);
            QCOMPARE(axis->tickAnchor(), 0.0);
            const double step = axis->tickInterval();
            const double mantissa = step / std::pow(10.0, std::floor(std::log10(step)));
            QVERIFY2(std::abs(mantissa - 1) < 1e-9 || std::abs(mantissa - 2) < 1e-9 || std::abs(mantissa - 5) < 1e-9,
                     qPrintable(QString::number(step)));
        }
        Wheel(v, PlotCentre(v), -4);
        QVERIFY(Width(w->AxisX) > 1.2 * (x1 - x0));
        QTest::mouseClick(w->ResetButton, Qt::LeftButton);
        QCOMPARE(w->AxisX->min(), x0);
        QCOMPARE(w->AxisX->max(), x1);

        const QRect plot = v->mapFromScene(v->chart()->mapToScene(v->chart()->plotArea())).boundingRect();
        DragRectangle(v, plot.topLeft() + QPoint(plot.width() / 4, 10),
                      plot.bottomRight() - QPoint(plot.width() / 4, 10));
        QVERIFY(Width(w->AxisX) < 0.6 * (x1 - x0));
        QTest::mouseClick(w->ResetButton, Qt::LeftButton);
        QCOMPARE(w->AxisX->min(), x0);
        QCOMPARE(w->AxisX->max(), x1);
        QCOMPARE(w->AxisY->min(), y0);
        QCOMPARE(w->AxisY->max(), y1);
    }

    // The value under the pointer stays under it as the wheel zooms in or
    // out, wherever in the plot the pointer is, although the tick labels
    // change width and move the plot area.
    void wheelKeepsThePointUnderTheMouse() {
        auto w = OpenTwoIrrs();
        ZoomableChartView* v = w->ChartView;
        QChart* chart = v->chart();
        auto valueAt = [&](QPoint at) { return chart->mapToValue(chart->mapFromScene(v->mapToScene(at))); };
        const QRect plot = v->mapFromScene(chart->mapToScene(chart->plotArea())).boundingRect();
        const struct {
            QPoint at;
            int notches;
        } cases[] = {
            {plot.center(), 2},
            {plot.topLeft() + QPoint(5, 5), 3},
            {plot.bottomRight() - QPoint(5, 5), 2},
            {plot.bottomRight() - QPoint(5, 5), -2},
            {plot.topLeft() + QPoint(plot.width() / 3, plot.height() - 10), 5},
            {plot.topLeft() + QPoint(10, plot.height() / 2), -3},
        };
        for (const auto& c : cases) {
            QTest::mouseClick(w->ResetButton, Qt::LeftButton);
            QCoreApplication::sendPostedEvents();  // laid out as the user sees it
            const QPointF before = valueAt(c.at);
            const double homeWidth = Width(w->AxisX);
            Wheel(v, c.at, c.notches);
            QCoreApplication::sendPostedEvents();
            const QPointF after = valueAt(c.at);
            const QRectF area = chart->plotArea();
            const QString where = QString("at %1,%2 by %3").arg(c.at.x()).arg(c.at.y()).arg(c.notches);
            QVERIFY2(c.notches > 0 ? Width(w->AxisX) < 0.9 * homeWidth : Width(w->AxisX) > 1.1 * homeWidth,
                     qPrintable(where));
            QVERIFY2(std::abs(after.x() - before.x()) <= Width(w->AxisX) / area.width(), qPrintable(where));
            QVERIFY2(std::abs(after.y() - before.y()) <= Width(w->AxisY) / area.height(), qPrintable(where));
        }
    }

    // Under the mouse: the rate and the series' present value there; nothing
    // outside the plot.
    void readoutFollowsTheMouse() {
        auto w = OpenTwoIrrs();
        ZoomableChartView* v = w->ChartView;
        QChart* chart = v->chart();
        const QPoint atIrr = v->mapFromScene(chart->mapToScene(chart->mapToPosition(QPointF(0.2, 0))));
        QTest::mouseMove(v->viewport(), atIrr);
        const QStringList parts = w->Readout->text().split(", NPV ");
        QCOMPARE(parts.size(), 2);
        QVERIFY2(parts[0].startsWith("Rate 0.2") || parts[0].startsWith("Rate 0.19"), qPrintable(parts[0]));
        QVERIFY2(std::abs(parts[1].toDouble()) < 1, qPrintable(parts[1]));  // f crosses 0 at 0.2
        QTest::mouseMove(v->viewport(), QPoint(2, 2));
        QCOMPARE(w->Readout->text(), QString());
    }

    void exportsPngAndSvg() {
        auto w = OpenTwoIrrs();
        dialogs.fileNames = {dir.filePath("profile"), dir.filePath("profile.svg")};
        QTest::mouseClick(w->PngButton, Qt::LeftButton);
        QTest::mouseClick(w->SvgButton, Qt::LeftButton);
        QCOMPARE(dialogs.saveDialogs, QStringList({"Export Chart as PNG||PNG Image (*.png)|*.png",
                                                   "Export Chart as SVG||SVG Drawing (*.svg)|*.svg"}));
        const QImage png(dir.filePath("profile.png"));
        QCOMPARE(png.size(), w->ChartView->size());
        const QByteArray svg = FileBytes(dir.filePath("profile.svg"));
        QVERIFY(svg.contains("<svg"));
        QVERIFY(svg.contains(">0.2<") || svg.contains(">0.2 <"));  // the IRR labels are text
        QVERIFY(dialogs.shown.empty());
        dialogs.saveDialogs.clear();
    }

    void cancelledOrUnwritableExport() {
        auto w = OpenTwoIrrs();
        dialogs.fileNames = {QString()};
        QTest::mouseClick(w->PngButton, Qt::LeftButton);
        QVERIFY(dialogs.shown.empty());

        const QString bad = dir.filePath("no-such-folder/profile.png");
        dialogs.fileNames = {bad};
        QTest::mouseClick(w->PngButton, Qt::LeftButton);
        QCOMPARE(dialogs.Texts(), QStringList("The chart could not be written to " + bad + "."));
        QCOMPARE(dialogs.unexpected, 0);
        dialogs.shown.clear();
        dialogs.saveDialogs.clear();
    }
};

QTEST_MAIN(NpvProfileWindowTest)
#include "npv_profile_window_test.moc"
