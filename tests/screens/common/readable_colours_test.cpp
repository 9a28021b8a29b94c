// Every window in a light and in a dark palette, under the Fusion style:
// the text of every label, button, box and grid cell shown reads against
// what it stands on (a contrast of 4.5:1 at least), whatever colour the
// program painted there.
#include <QAbstractButton>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>

#include <QImage>
#include <QtCharts/QLineSeries>
#include <QtCharts/QScatterSeries>

#include "palettes.h"
#include "recording_dialogs.h"
#include "screens/common/chart_view.h"
#include "screens/deterministic/npv_profile_window.h"
#include "screen_tour.h"
#include "ui/contrast.h"
#include "ui/controls.h"
#include "ui/grid.h"

using namespace valmora;
using valmora::testing::ScreenHarness;
using valmora::ui::ContrastRatio;

namespace {

// The groups a shown window is drawn in.
constexpr QPalette::ColorGroup kGroups[] = {QPalette::Active, QPalette::Inactive};

// What a control without a background of its own stands on.
QColor Background(const QWidget* widget, QPalette::ColorGroup group) {
    const QWidget* under = widget->parentWidget() ? widget->parentWidget() : widget;
    while (!under->autoFillBackground() && !under->isWindow()) under = under->parentWidget();
    return under->palette().color(group, under->backgroundRole());
}

QString Describe(const QWidget* widget, const QString& text) {
    return QString("%1 \"%2\"").arg(widget->metaObject()->className(), text.left(40));
}

// One line for each text in `window` that does not read.
QStringList Unreadable(QWidget* window) {
    QStringList found;
    auto check = [&](const QWidget* w, const QString& text, const QColor& fore, const QColor& back) {
        const double ratio = ContrastRatio(fore, back);
        if (ratio < ui::kTextContrast)
            found
                << QString("%1: %2 on %3, %4:1").arg(Describe(w, text), fore.name(), back.name()).arg(ratio, 0, 'f', 2);
    };
    QList<QWidget*> widgets = window->findChildren<QWidget*>();
    widgets.prepend(window);
    for (QWidget* w : widgets) {
        if (!w->isVisibleTo(window) || !w->isEnabled()) continue;
        const QPalette& p = w->palette();
        for (QPalette::ColorGroup g : kGroups) {
            if (auto* button = qobject_cast<QPushButton*>(w)) {
                if (!button->text().isEmpty())
                    check(w, button->text(), p.color(g, QPalette::ButtonText), p.color(g, QPalette::Button));
            } else if (qobject_cast<QRadioButton*>(w) || qobject_cast<QCheckBox*>(w)) {
                check(w, static_cast<QAbstractButton*>(w)->text(), p.color(g, w->foregroundRole()), Background(w, g));
            } else if (auto* label = qobject_cast<QLabel*>(w)) {
                if (label->text().isEmpty()) continue;
                const QColor back =
                    label->autoFillBackground() ? p.color(g, label->backgroundRole()) : Background(w, g);
                check(w, label->text(), p.color(g, label->foregroundRole()), back);
            } else if (auto* frame = qobject_cast<QGroupBox*>(w)) {
                if (!frame->title().isEmpty())
                    check(w, frame->title(), p.color(g, QPalette::WindowText), Background(w, g));
            } else if (auto* box = qobject_cast<QLineEdit*>(w)) {
                check(w, box->text(), p.color(g, QPalette::Text), p.color(g, QPalette::Base));
            } else if (auto* table = qobject_cast<QTableWidget*>(w)) {
                for (int r = 0; r < table->rowCount(); ++r)
                    for (int c = 0; c < table->columnCount(); ++c) {
                        const QTableWidgetItem* item = table->item(r, c);
                        if (!item || item->text().isEmpty() || table->isRowHidden(r) || table->isColumnHidden(c))
                            continue;
                        const QBrush fore = item->foreground(), back = item->background();
                        check(w, item->text(), fore.style() == Qt::NoBrush ? p.color(g, QPalette::Text) : fore.color(),
                              back.style() == Qt::NoBrush ? p.color(g, QPalette::Base) : back.color());
                    }
            }
        }
    }
    found.removeDuplicates();
    return found;
}

}  // namespace

Q_DECLARE_METATYPE(QPalette)

class ReadableColoursTest : public QObject {
    Q_OBJECT

private slots:
    void everyTextReads_data() {
        QTest::addColumn<int>("stop");
        QTest::addColumn<QPalette>("palette");
        QTest::addColumn<bool>("switched");  // the palette changes while the windows are shown
        const auto stops = testing::tour::Stops();
        for (int i = 0; i < static_cast<int>(stops.size()); ++i) {
            QTest::addRow("%s, light", stops[i].name) << i << testing::LightPalette() << false;
            QTest::addRow("%s, dark", stops[i].name) << i << testing::DarkPalette() << false;
            QTest::addRow("%s, dark once shown", stops[i].name) << i << testing::DarkPalette() << true;
        }
    }
    void everyTextReads() {
        QFETCH(int, stop);
        QFETCH(QPalette, palette);
        QFETCH(bool, switched);
        ScreenHarness h;
        std::optional<testing::PaletteInUse> inUse;
        if (!switched) inUse.emplace(palette);
        testing::tour::Stops()[stop].show(h);
        if (switched) inUse.emplace(palette);
        h.Settle();
        const QList<QWidget*> windows = testing::tour::ShownWindows();
        QVERIFY(!windows.isEmpty());
        QStringList unreadable;
        for (QWidget* window : windows) unreadable << Unreadable(window);
        QVERIFY2(unreadable.isEmpty(), qPrintable(unreadable.join("\n")));
    }

    // The coloured controls the program has, before and after: each keeps its
    // face and writes in a colour that reads on it.
    void colouredControlsKeepTheirFaces_data() {
        QTest::addColumn<QPalette>("palette");
        QTest::newRow("light") << testing::LightPalette();
        QTest::newRow("dark") << testing::DarkPalette();
    }
    void colouredControlsKeepTheirFaces() {
        QFETCH(QPalette, palette);
        const QColor yellow(255, 255, 0), green(128, 255, 128), black(0, 0, 0);
        struct Case {
            const char* stop;
            std::function<QWidget*(ScreenHarness&)> control;
            QColor face;
        };
        const Case cases[] = {
            {"start", [](ScreenHarness& h) { return h.screens.Get<Form2>().Command1; }, yellow},
            {"more discussion",
             [](ScreenHarness& h) { return h.screens.Find(ScreenId::Form5)->findChild<QPushButton*>(); }, yellow},
            {"multiple-IRR selection",
             [](ScreenHarness& h) { return h.screens.Find(ScreenId::Form4)->findChild<QPushButton*>(); }, yellow},
            {"deterministic, a rate picked", [](ScreenHarness& h) { return h.screens.Get<Form1>().Label13; }, yellow},
            {"stochastic, ready to run", [](ScreenHarness& h) { return h.screens.Get<Form3>().Command4; }, green},
            {"stochastic, after a run", [](ScreenHarness& h) { return h.screens.Get<Form3>().Command4; }, green},
            {"stochastic, ready to run", [](ScreenHarness& h) { return h.screens.Get<Form3>().Command5; }, green},
        };
        for (const Case& c : cases) {
            ScreenHarness h;
            const testing::PaletteInUse inUse(palette);
            for (const testing::tour::Stop& stop : testing::tour::Stops())
                if (QString(stop.name) == c.stop) stop.show(h);
            QWidget* w = c.control(h);
            QVERIFY2(w && w->isVisible(), c.stop);
            const bool label = qobject_cast<QLabel*>(w);
            const QColor face = w->palette().color(label ? QPalette::Window : QPalette::Button);
            const QColor text = w->palette().color(label ? QPalette::WindowText : QPalette::ButtonText);
            QVERIFY2(face == c.face, c.stop);
            QVERIFY2(text == black, c.stop);
            QVERIFY2(ContrastRatio(text, face) >= 4.5, c.stop);
        }
    }

    // The NPV profile keeps its white plot in either palette; its curve, its
    // marks (whose labels are written in their colours) and the hurdle line
    // read there as text does, and as lines against a dark background.
    void npvProfileColoursRead_data() {
        QTest::addColumn<QPalette>("palette");
        QTest::newRow("light") << testing::LightPalette();
        QTest::newRow("dark") << testing::DarkPalette();
    }
    void npvProfileColoursRead() {
        QFETCH(QPalette, palette);
        ScreenHarness h;
        const testing::PaletteInUse inUse(palette);
        testing::RecordingDialogs dialogs;
        NpvProfileWindow w(dialogs);
        w.SetHurdle(0.15);
        w.SetSeries({-1000, 3600, -4310, 1716}, {0.3, 0.2, 0.1}, 1, {}, {{0.25, false}});
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const QImage shot = w.ChartView->grab().toImage();
        const QPoint plot = w.ChartView->mapFromScene(
            w.ChartView->chart()->mapToScene(w.ChartView->chart()->plotArea().topLeft() + QPointF(3, 3)));
        const QColor plotColour = shot.pixelColor(plot);
        QCOMPARE(plotColour, QColor(255, 255, 255));
        const QColor dark = testing::DarkPalette().color(QPalette::Base);
        QVERIFY(!w.IrrMarks.empty() && !w.MissedRootMarks.empty() && w.HurdleLine);
        const std::pair<const char*, QColor> colours[] = {
            {"curve", w.Profile->pen().color()},
            {"IRR mark", w.IrrMarks[0]->color()},
            {"missed root", w.MissedRootMarks[0]->pen().color()},
            {"hurdle rate", w.HurdleLine->pen().color()},
        };
        for (const auto& [what, colour] : colours) {
            QVERIFY2(ContrastRatio(colour, plotColour) >= ui::kTextContrast, what);
            QVERIFY2(ContrastRatio(colour, dark) >= ui::kGraphicContrast, what);
        }
    }
};

QTEST_MAIN(ReadableColoursTest)
#include "readable_colours_test.moc"
