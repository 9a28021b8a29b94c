// Windows on a small display and with a large font: every window opens
// inside the available area of the display (800 by 800 pixels offscreen), a
// screen too large for it scrolls and follows the focus, the NPV profile's
// buttons keep their captions whole, and the numbers of the grids are not
// cut, with the application's font at 12 points as well.
#include <QFont>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>

#include <optional>

#include "screen_tour.h"
#include "screens/deterministic/npv_profile_window.h"
#include "screens/shell/form5.h"
#include "ui/screen.h"

using namespace valmora;
using valmora::testing::Click;
using valmora::testing::ScreenHarness;

namespace {

// The application's font at `points` for as long as it lives.
class FontInUse {
public:
    explicit FontInUse(double points) : before_(QApplication::font()) {
        QFont font(before_.family());
        font.setPointSizeF(points);
        QApplication::setFont(font);
    }
    ~FontInUse() { QApplication::setFont(before_); }
    FontInUse(const FontInUse&) = delete;
    FontInUse& operator=(const FontInUse&) = delete;

private:
    QFont before_;
};

QRect Available() { return QGuiApplication::primaryScreen()->availableGeometry(); }

}  // namespace

class WindowsFitTest : public QObject {
    Q_OBJECT

private slots:
    void everyWindowOpensInsideTheDisplay_data() {
        QTest::addColumn<int>("stop");
        QTest::addColumn<double>("points");
        const auto stops = testing::tour::Stops();
        for (int i = 0; i < static_cast<int>(stops.size()); ++i) {
            QTest::addRow("%s", stops[i].name) << i << 0.0;
            QTest::addRow("%s, 12 points", stops[i].name) << i << 12.0;
        }
    }
    void everyWindowOpensInsideTheDisplay() {
        QFETCH(int, stop);
        QFETCH(double, points);
        ScreenHarness h;
        std::optional<FontInUse> font;
        if (points > 0) font.emplace(points);
        testing::tour::Stops()[stop].show(h);
        h.Settle();
        for (QWidget* window : testing::tour::ShownWindows()) {
            const QString what = window->windowTitle();
            QVERIFY2(Available().contains(window->frameGeometry()),
                     qPrintable(QString("%1 at %2,%3 %4x%5")
                                    .arg(what)
                                    .arg(window->frameGeometry().x())
                                    .arg(window->frameGeometry().y())
                                    .arg(window->frameGeometry().width())
                                    .arg(window->frameGeometry().height())));
            // Nothing of the window is pushed out of it by its minimum size.
            QVERIFY2(window->minimumSizeHint().width() <= Available().width(), qPrintable(what));
        }
    }

    void theNpvProfileFitsWithItsCaptionsWhole_data() {
        QTest::addColumn<double>("points");
        QTest::newRow("the usual font") << 0.0;
        QTest::newRow("12 points") << 12.0;
        QTest::newRow("16 points") << 16.0;
    }
    void theNpvProfileFitsWithItsCaptionsWhole() {
        QFETCH(double, points);
        ScreenHarness h;
        std::optional<FontInUse> font;
        if (points > 0) font.emplace(points);
        testing::tour::Stops()[10].show(h);  // "NPV profile and decision"
        auto* w = h.screens.Get<Form1>().findChild<NpvProfileWindow*>();
        QVERIFY(w && w->isVisible());
        QVERIFY2(w->minimumSizeHint().width() <= 800, qPrintable(QString::number(w->minimumSizeHint().width())));
        QVERIFY(w->width() <= Available().width());
        for (QPushButton* button : {w->ResetButton, w->PngButton, w->SvgButton, w->CloseButton}) {
            QVERIFY2(button->width() >= button->sizeHint().width(), qPrintable(button->text()));
            QVERIFY(w->rect().contains(button->geometry()));
        }
    }

    // The discussion of investment types is wider than the display: it
    // scrolls, and Tab onto its button brings the button into view.
    void aScreenTooWideScrollsAndFollowsTheFocus() {
        ScreenHarness h;
        h.screens.Show(ScreenId::Form5);
        auto* form5 = h.screens.Find<Form5>();
        QVERIFY(QTest::qWaitForWindowActive(form5));
        QVERIFY(form5->Client()->width() > Available().width());
        QVERIFY(Available().contains(form5->frameGeometry()));
        QScrollBar* across = form5->ClientArea()->horizontalScrollBar();
        QVERIFY(across->isVisible());
        QVERIFY(!form5->ClientArea()->verticalScrollBar()->isVisible());
        across->setValue(across->maximum());
        QWidget* viewport = form5->ClientArea()->viewport();
        auto shows = [&](QWidget* w) {
            return viewport->rect().contains(QRect(w->mapTo(viewport, QPoint(0, 0)), w->size()));
        };
        QVERIFY(!shows(form5->Command1));
        form5->Command1->clearFocus();
        form5->Command1->setFocus(Qt::TabFocusReason);
        QVERIFY(shows(form5->Command1));
    }

    // A screen that fits does not scroll.
    void aScreenThatFitsDoesNotScroll() {
        ScreenHarness h;
        h.screens.Show(ScreenId::Form1);
        ui::Screen* f = h.screens.Find(ScreenId::Form1);
        QCOMPARE(f->ClientArea()->viewport()->size(), f->Client()->size());
        QVERIFY(!f->ClientArea()->horizontalScrollBar()->isVisible());
        QVERIFY(!f->ClientArea()->verticalScrollBar()->isVisible());
    }

    // The rates and balances show whole in their columns, whatever the font.
    void gridNumbersAreNotCut_data() {
        QTest::addColumn<double>("points");
        QTest::newRow("the usual font") << 0.0;
        QTest::newRow("12 points") << 12.0;
    }
    void gridNumbersAreNotCut() {
        QFETCH(double, points);
        ScreenHarness h;
        std::optional<FontInUse> font;
        if (points > 0) font.emplace(points);
        Form1& f = testing::tour::TypeSeries(h, "1000", {"3600", "-4310", "1716.123456"});
        Click(f.Command1);
        Click(f.Command3);
        testing::tour::ClickCell(f.MSHFlexGrid2, 1, 1);
        for (ui::Grid* grid : {f.MSHFlexGrid2, f.MSHFlexGrid4})
            for (int r = 0; r < grid->Rows(); ++r)
                for (int c = 0; c < grid->Cols(); ++c)
                    QVERIFY2(grid->fontMetrics().horizontalAdvance(grid->Text(r, c)) < grid->columnWidth(c),
                             qPrintable(grid->accessibleName() + ": " + grid->Text(r, c)));
    }
};

QTEST_MAIN(WindowsFitTest)
#include "windows_fit_test.moc"
