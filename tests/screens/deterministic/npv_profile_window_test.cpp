// The NPV profile window: what it draws, where its labels go, zooming, and
// exporting.
#include <cmath>

#include <QGraphicsPolygonItem>
#include <QRegularExpression>
#include <QGraphicsTextItem>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtCharts/QAreaSeries>
#include <QtCharts/QChart>
#include <QtCharts/QLegend>
#include <QtCharts/QLineSeries>
#include <QtCharts/QScatterSeries>

#include "chart_test_support.h"
#include "profile_labels.h"
#include "recording_dialogs.h"
#include "core/solver/number_format.h"
#include "screen_harness.h"
#include "screens/deterministic/npv_profile_window.h"

using namespace valmora;
using namespace valmora::testing;

namespace {

using Search = NpvProfileWindow::Search;

// f = -100 (1 - 1.9802 x)(1 - 2 x)(1 - 0.2 x): IRRs of 0.9802, 1 and -0.8.
// f is some 36000 at the rate -0.9, below 1 in size around the IRRs near 1.
const std::vector<double> kNearOne = {-100, 418.02, -475.644, 79.208};
const std::vector<double> kNearOneRates = {1.0, 0.9802, -0.8};
// Six IRRs: those above and 0.5, 0.1 and -0.3.
const std::vector<double> kSix = {-100, 748.02, -2202.11, 3214.8626, -2394.68418, 824.22058, -91.48524};
const std::vector<double> kSixRates = {1.0, 0.9802, 0.5, 0.1, -0.3, -0.8};

// The texts the legend shows, as drawn (cut short where they do not fit),
// and whether each lies whole inside the view.
QStringList LegendTexts(ZoomableChartView* v, bool* inside) {
    QStringList texts;
    const QRectF seen = v->mapToScene(v->viewport()->rect()).boundingRect();
    *inside = true;
    for (QGraphicsItem* item : v->scene()->items()) {
        auto* text = qgraphicsitem_cast<QGraphicsTextItem*>(item);
        if (!text || !text->isVisible() || !v->chart()->legend()->isAncestorOf(text)) continue;
        texts << text->toPlainText();
        *inside = *inside && seen.contains(text->sceneBoundingRect());
    }
    return texts;
}

}  // namespace

class NpvProfileWindowTest : public QObject {
    Q_OBJECT

private:
    RecordingDialogs dialogs;
    QTemporaryDir dir;

    std::unique_ptr<NpvProfileWindow> Open(std::vector<double> flows, std::vector<double> rates, int m = 1,
                                           std::vector<RateInterval> missed = {},
                                           std::vector<MissedRootMark> roots = {}, Search search = Search::Run) {
        auto w = std::make_unique<NpvProfileWindow>(dialogs);
        w->SetSeries(std::move(flows), std::move(rates), m, std::move(missed), std::move(roots), search);
        w->show();
        (void)QTest::qWaitForWindowExposed(w.get());
        QCoreApplication::sendPostedEvents();  // laid out as the user sees it
        return w;
    }

    // -100 230 -132: IRRs of 10 % and 20 %, listed from the highest.
    std::unique_ptr<NpvProfileWindow> OpenTwoIrrs(int m = 1, std::vector<RateInterval> missed = {}) {
        return Open({-100, 230, -132}, {0.2 * m, 0.1 * m}, m, std::move(missed));
    }

    // Every label shown lies clear of every other, and its leader runs from
    // its mark as drawn now; a label shows exactly when its mark lies in the
    // plot.
    static void CheckLabels(const NpvProfileWindow* w, const QString& when) {
        QChart* chart = w->ChartView->chart();
        const QRectF plot = chart->plotArea().adjusted(-1, -1, 1, 1);
        std::vector<QRectF> shown;
        for (const ProfileOverlay::Label& l : w->Overlay->Labels()) {
            const QPointF mark = MarkPosition(w, l.mark);
            const QString what = when + ": " + l.text->text();
            QCOMPARE_EQ(l.box->isVisible(), plot.contains(mark));
            if (!l.box->isVisible()) continue;
            QVERIFY2(QLineF(l.leader->line().p1(), mark).length() < 1, qPrintable(what));
            const QRectF r = l.box->sceneBoundingRect();
            QVERIFY2(r.contains(l.text->sceneBoundingRect()), qPrintable(what));
            for (const QRectF& other : shown) QVERIFY2(!r.intersects(other), qPrintable(what));
            shown.push_back(r);
        }
    }

private slots:
    void initTestCase() { PrepareApplication(); }

    void marksAndLabelsEveryListedIrr() {
        auto w = OpenTwoIrrs();
        QCOMPARE(w->windowTitle(), QString("NPV Profile"));
        QCOMPARE(w->Caption->text(), QString("2 IRRs listed."));
        QCOMPARE(w->IrrMarks.size(), 2u);
        const QString names[] = {"IRR 1 = 0.2", "IRR 2 = 0.1"};
        const double rates[] = {0.2, 0.1};
        QCOMPARE(LabelTexts(w.get(), w->IrrMarks), QStringList({"0.2", "0.1"}));
        QVERIFY(w->MissedRootMarks.empty());
        for (int k = 0; k < 2; ++k) {
            QScatterSeries* mark = w->IrrMarks[k];
            QCOMPARE(mark->name(), names[k]);
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
        QCOMPARE(LabelTexts(w.get(), w->IrrMarks), QStringList({"2.4", "1.2"}));
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
        QVERIFY(w->Caption->text().contains(" Shaded: rates where the search may have missed roots."));
        // Shaded over every value shown.
        QVERIFY(w->MissedAreas[0]->upperSeries()->at(0).y() > w->AxisY->max());
        QVERIFY(w->MissedAreas[0]->lowerSeries()->at(0).y() < w->AxisY->min());
    }

    // Without listed rates the profile is drawn over -50 % to 100 % a
    // period, and the caption says whether roots were located.
    void withoutIrrsTheCaptionSaysWhy() {
        const struct {
            Search search;
            const char* caption;
        } cases[] = {
            {Search::NotRun, "No IRR listed yet: \"Locate Root(s)\" lists them."},
            {Search::Run, "No IRR is listed for this series."},
        };
        for (const auto& c : cases) {
            auto w = Open({-100, 50, 40}, {}, 1, {}, {}, c.search);
            QCOMPARE(w->Caption->text(), QString(c.caption));
            QVERIFY(w->IrrMarks.empty());
            QVERIFY(w->Overlay->Labels().empty());
            QVERIFY(w->Profile->count() > 400);
            QVERIFY(w->AxisX->min() <= -0.5 && w->AxisX->max() >= 1.0);
        }
    }

    // A root no listed rate stands for: a hollow mark of its own shape and
    // colour, labelled with its rate, named in the legend.
    void missedRootsAreMarkedApart() {
        const struct {
            std::vector<double> flows;
            std::vector<double> rates;
            MissedRootMark root;
            const char* name;
            const char* label;
        } cases[] = {
            // -100 220 -121 = -(10 - 11 x)^2: f touches 0 at the rate 0.1.
            {{-100, 220, -121}, {}, {0.1, true}, "Touching root = 0.1", "0.1"},
            {{-100, 230, -132}, {0.2}, {0.1, false}, "Missed root = 0.1", "0.1"},
        };
        for (const auto& c : cases) {
            auto w = Open(c.flows, c.rates, 1, {}, {c.root});
            QCOMPARE(w->MissedRootMarks.size(), 1u);
            QScatterSeries* mark = w->MissedRootMarks[0];
            QCOMPARE(mark->name(), QString(c.name));
            QCOMPARE(LabelTexts(w.get(), w->MissedRootMarks), QStringList(c.label));
            QCOMPARE(mark->at(0).x(), 0.1);
            QVERIFY(std::abs(mark->at(0).y()) < 1e-9);
            QCOMPARE(mark->brush().style(), Qt::NoBrush);
            for (QScatterSeries* irr : w->IrrMarks) {
                QVERIFY(irr->markerShape() != mark->markerShape());
                QVERIFY(irr->pen().color() != mark->pen().color());
            }
            QVERIFY(w->Caption->text().contains("Hollow marks: roots no listed rate stands for."));
            bool inside = false;
            QVERIFY(LegendTexts(w->ChartView, &inside).contains(c.name));
        }
    }

    // Labels of IRRs close together never cover one another, as drawn, when
    // zoomed, and when the window is resized; each keeps its leader from
    // its mark.
    void labelsOfCloseIrrsStayApart() {
        const struct {
            const char* series;
            std::vector<double> flows;
            std::vector<double> rates;
            QStringList labels;
        } series[] = {
            {"three", kNearOne, kNearOneRates, {"1.0", "0.9802", "-0.8"}},
            {"six", kSix, kSixRates, {"1.0", "0.9802", "0.5", "0.1", "-0.3", "-0.8"}},
        };
        for (const auto& s : series) {
            auto w = Open(s.flows, s.rates);
            ZoomableChartView* v = w->ChartView;
            QCOMPARE(LabelTexts(w.get(), w->IrrMarks), s.labels);
            CheckLabels(w.get(), QString(s.series) + " as drawn");
            const QPoint atPair = v->mapFromScene(v->chart()->mapToScene(MarkPosition(w.get(), w->IrrMarks[0])));
            Wheel(v, atPair, 3);
            QCoreApplication::sendPostedEvents();
            CheckLabels(w.get(), QString(s.series) + " zoomed in");
            Wheel(v, atPair, -6);
            QCoreApplication::sendPostedEvents();
            CheckLabels(w.get(), QString(s.series) + " zoomed out");
            QTest::mouseClick(w->ResetButton, Qt::LeftButton);
            w->resize(520, 400);
            QCoreApplication::sendPostedEvents();
            CheckLabels(w.get(), QString(s.series) + " resized");
            QCOMPARE(LabelTexts(w.get(), w->IrrMarks), s.labels);
        }
    }

    // With six IRRs every entry of the legend reads whole and shows, also
    // beside a shaded interval and a missed root, with annual rates.
    void theLegendShowsEveryEntryWhole() {
        const struct {
            int m;
            std::vector<RateInterval> missed;
            std::vector<MissedRootMark> roots;
            QStringList others;
        } cases[] = {
            {1, {}, {}, {"f(i)"}},
            {12, {{2.4, 3.6}}, {{-6.0, false}}, {"f(i)", "Roots possibly missed", "Missed root = -6.0"}},
        };
        for (const auto& c : cases) {
            std::vector<double> rates;
            for (double r : kSixRates) rates.push_back(r * c.m);
            auto w = Open(kSix, rates, c.m, c.missed, c.roots);
            bool inside = false;
            const QStringList texts = LegendTexts(w->ChartView, &inside);
            QVERIFY(inside);
            QStringList entries = c.others;
            for (int k = 0; k < 6; ++k)
                entries << QString("IRR %1 = %2").arg(k + 1).arg(QString::fromStdString(FormatRate(rates[k])));
            for (const QString& entry : entries) QVERIFY2(texts.contains(entry), qPrintable(texts.join(" | ")));
        }
    }

    // Values near -0.9 some 36000 times those near the IRRs close to 1
    // would flatten the curve there: the values shown are chosen around the
    // IRRs, the rest cut off, and arrows at the plot's edges show where.
    void valuesShownAroundTheIrrs() {
        auto w = Open(kNearOne, kNearOneRates);
        QChart* chart = w->ChartView->chart();
        const double y0 = w->AxisY->min(), y1 = w->AxisY->max();
        const double reach = 0.05 * Width(w->AxisX);
        double near = 0;
        for (int k = -20; k <= 20; ++k) {
            const double rate = 0.99 + k * reach / 20;
            near = std::max(near, std::abs(PresentValue(kNearOne, rate)));
        }
        QVERIFY2(y1 - y0 < 50 * near, qPrintable(QString("%1 to %2, near %3").arg(y0).arg(y1).arg(near)));
        QVERIFY(y0 < 0 && y1 > 0);
        // Drawn, the curve leaves the zero line by the IRRs near 1 by many pixels.
        const double zero = chart->mapToPosition(QPointF(1.0, 0), w->Profile).y();
        for (double rate : {0.9802 - reach, 1.0 + reach}) {
            const double drawn = chart->mapToPosition(QPointF(rate, PresentValue(kNearOne, rate)), w->Profile).y();
            QVERIFY2(std::abs(drawn - zero) > 10, qPrintable(QString::number(drawn - zero)));
        }
        QVERIFY(w->Caption->text().contains("The curve goes beyond the values shown (arrows at the edges)"));
        // Above the plot left of -0.8, below it between -0.8 and 0.6.
        const QRectF plot = chart->plotArea();
        const std::vector<QGraphicsPolygonItem*> arrows = w->Overlay->Arrows();
        QCOMPARE(arrows.size(), 2u);
        const double tips[] = {plot.top(), plot.bottom()};
        const double rates[] = {-0.85, -0.1};
        for (int k = 0; k < 2; ++k) {
            const QPolygonF shape = arrows[k]->polygon();
            QVERIFY(std::abs(shape[0].y() - tips[k]) <= 1);
            QVERIFY(std::abs(chart->mapToValue(shape[0], w->Profile).x() - rates[k]) < 0.1);
        }
        // Zoomed out and back, the same values.
        Wheel(w->ChartView, PlotCentre(w->ChartView), -3);
        QVERIFY(w->AxisY->max() > y1);
        QTest::mouseClick(w->ResetButton, Qt::LeftButton);
        QCOMPARE(w->AxisY->min(), y0);
        QCOMPARE(w->AxisY->max(), y1);
    }

    void drawingAgainReplacesWhatWasDrawn() {
        auto w = OpenTwoIrrs();
        const int before = w->ChartView->chart()->series().size();
        w->SetSeries({-1000, 500, 500, 500}, {0.23375}, 1);
        QCOMPARE(w->IrrMarks.size(), 1u);
        QCOMPARE(w->ChartView->chart()->series().size(), before - 1);
        QCOMPARE(w->ChartView->chart()->axes().size(), 2);
        QCOMPARE(LabelTexts(w.get(), w->IrrMarks), QStringList("0.23375"));
        QCOMPARE(w->Overlay->Labels().size(), 1u);
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
            const double step = axis->tickInterval();
            QVERIFY(std::abs(axis->tickAnchor()) <= 1e-9 * step);
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

    // Zoomed anywhere, every tick label reads a whole number of steps, 0
    // among them where the range holds it, never a trace of rounding.
    void zoomedTicksReadRoundNumbers() {
        const struct {
            double x, y;  // where the wheel turns, as a share of the plot's width and height
            int notches;
        } cases[] = {{0.5, 0.5, 3}, {0.5, 0.5, 1}, {0.2, 0.8, 4}, {0.9, 0.1, 2}, {0.5, 0.5, -2}, {0.3, 0.2, 8}};
        const QRegularExpression number("^-?[0-9]+(\\.[0-9]+)?$");
        for (const auto& c : cases) {
            auto w = OpenTwoIrrs();
            ZoomableChartView* v = w->ChartView;
            const QRectF plot = v->chart()->plotArea();
            const QPointF at(plot.left() + c.x * plot.width(), plot.top() + c.y * plot.height());
            Wheel(v, v->mapFromScene(v->chart()->mapToScene(at)), c.notches);
            QCoreApplication::sendPostedEvents();
            const QString where = QString("%1,%2 by %3").arg(c.x).arg(c.y).arg(c.notches);
            QStringList labels;
            for (QGraphicsItem* item : v->scene()->items()) {
                auto* text = qgraphicsitem_cast<QGraphicsTextItem*>(item);
                if (!text || !text->isVisible()) continue;
                const QString t = text->toPlainText();
                QVERIFY2(!t.contains(QRegularExpression("[0-9]e[-+]")), qPrintable(where + ": " + t));
                if (number.match(t).hasMatch()) labels << t;
            }
            // Two at least on either axis, each a whole number of one axis' steps.
            QVERIFY2(labels.size() >= 4, qPrintable(where + ": " + labels.join(" ")));
            for (const QString& t : labels) {
                auto whole = [&](const QValueAxis* axis) {
                    const double steps = t.toDouble() / axis->tickInterval();
                    return std::abs(steps - std::round(steps)) < 1e-6;
                };
                QVERIFY2(whole(w->AxisX) || whole(w->AxisY), qPrintable(where + ": " + t));
            }
            if (w->AxisY->min() < 0 && w->AxisY->max() > 0)
                QVERIFY2(labels.contains("0") || labels.contains(QRegularExpression("^0\\.0+$")),
                         qPrintable(where + ": " + labels.join(" ")));
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
