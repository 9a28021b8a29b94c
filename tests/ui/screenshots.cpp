// Renders every window of the program to PNG files, for the README and for
// checking layouts by eye: valmora_screenshots OUTPUT_FOLDER [--dark]
// [--points N] (--dark: in a dark palette; --points: the application's font
// at N points).
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QToolButton>
#include <QTabWidget>
#include <QTest>

#include <functional>

#include "palettes.h"
#include "screens/deterministic/form1.h"
#include "screens/deterministic/npv_profile_window.h"
#include "screen_harness.h"
#include "screens/stochastic/form3.h"
#include "screens/stochastic/irr_distribution_view.h"
#include "ui/grid.h"
#include "ui/screen.h"
#include "ui/up_down.h"

using namespace valmora;

namespace {

struct Shot {
    ScreenId id;
    const char* file;
    // Brings the screen into the state shown, after it is loaded and shown.
    std::function<void(testing::ScreenHarness&)> prepare;
};

void TypeInto(QWidget* widget, const QString& text) { QTest::keyClicks(widget, text); }

// The start example evaluated and its rate picked.
void EvaluateStartExample(testing::ScreenHarness& h) {
    Form1& f = h.screens.Get<Form1>();
    for (int i = 0; i < 2; ++i) QTest::mouseClick(f.UpDown1->UpButton(), Qt::LeftButton);
    f.MSHFlexGrid1->SetCurrent(1, 1);
    for (int k = 1; k <= 3; ++k) {
        TypeInto(f.MSHFlexGrid1, "500");
        QTest::keyClick(f.MSHFlexGrid1, Qt::Key_Return);
    }
    f.Command1->click();
    f.Command3->click();
    QTableWidgetItem* rate = f.MSHFlexGrid2->item(1, 1);
    QTest::mouseClick(f.MSHFlexGrid2->viewport(), Qt::LeftButton, {}, f.MSHFlexGrid2->visualItemRect(rate).center());
}

// Sixty payments typed one after the other, evaluated and a rate picked: the
// payment grid stays scrolled to payment 60 beside the investment column.
void EvaluateSixtyPayments(testing::ScreenHarness& h) {
    Form1& f = h.screens.Get<Form1>();
    while (f.UpDown1->Value() < 60) QTest::mouseClick(f.UpDown1->UpButton(), Qt::LeftButton);
    ui::Grid* payments = f.MSHFlexGrid1;
    payments->scrollToItem(payments->item(1, 1));
    QTest::mouseClick(payments->viewport(), Qt::LeftButton, {},
                      payments->visualItemRect(payments->item(1, 1)).center());
    for (int k = 1; k <= 60; ++k) {
        TypeInto(payments, k % 12 == 0 ? "250" : "100");
        QTest::keyClick(payments, Qt::Key_Return);
    }
    f.Command1->click();
    f.Command3->click();
    QTableWidgetItem* rate = f.MSHFlexGrid2->item(1, 1);
    QTest::mouseClick(f.MSHFlexGrid2->viewport(), Qt::LeftButton, {}, f.MSHFlexGrid2->visualItemRect(rate).center());
}

// A column copied from a spreadsheet pasted into the investment box: the
// investment and 60 payments, then evaluated.
void PasteSixtyPayments(testing::ScreenHarness& h) {
    Form1& f = h.screens.Get<Form1>();
    QString column = "Cash flow\n-1000\n";
    for (int k = 1; k <= 60; ++k)
        column += QString::number(k <= 40 ? 120 : k <= 50 ? -300 : k < 60 ? 200 : -2500) + "\n";
    QApplication::clipboard()->setText(column);
    f.Text1->selectAll();
    QTest::keyClick(f.Text1, Qt::Key_V, Qt::ControlModifier);
    f.Command1->click();
    f.Command3->click();
}

void ChooseNormal(testing::ScreenHarness& h) {
    Form3& f = h.screens.Get<Form3>();
    f.Option2->setChecked(true);
    TypeInto(f.Text3, "400");
    TypeInto(f.Text4, "400");
}

void ChooseUniform(testing::ScreenHarness& h) {
    Form3& f = h.screens.Get<Form3>();
    f.Option1->setChecked(true);
    TypeInto(f.Text3, "-500");
    TypeInto(f.Text4, "1500");
}

void SmallRun(testing::ScreenHarness& h) {
    ChooseNormal(h);
    Form3& f = h.screens.Get<Form3>();
    f.HScroll2->setValue(12);
    f.SSTab1->setCurrentIndex(1);
    f.Option5->setChecked(true);
    f.HScroll1->setValue(500);
    f.Command4->click();
}

// The NPV profile of -1000 3600 -4310 1716 (IRRs of 10 %, 20 % and 30 %),
// opened from the deterministic screen once its roots are located.
bool ShootNpvProfile(const QString& path, const std::function<void()>& look) {
    testing::ScreenHarness h;
    look();
    h.screens.Show(ScreenId::Form1);
    Form1& f = h.screens.Get<Form1>();
    f.Text1->selectAll();
    TypeInto(f.Text1, "1000");
    for (int i = 0; i < 2; ++i) QTest::mouseClick(f.UpDown1->UpButton(), Qt::LeftButton);
    f.MSHFlexGrid1->SetCurrent(1, 1);
    for (const char* payment : {"3600", "-4310", "1716"}) {
        TypeInto(f.MSHFlexGrid1, payment);
        QTest::keyClick(f.MSHFlexGrid1, Qt::Key_Return);
    }
    f.Command1->click();
    f.Command3->click();
    f.Command5->click();
    h.Settle();
    auto* w = f.findChild<NpvProfileWindow*>();
    return w && w->grab().save(path);
}

// 10000 simulations of 72 payments drawn from normal(400, 400), run on the
// stochastic screen, then "IRR Distribution...".
bool ShootIrrDistribution(const QString& path, const std::function<void()>& look) {
    testing::ScreenHarness h;
    look();
    h.screens.Show(ScreenId::Form3);
    ChooseNormal(h);
    Form3& f = h.screens.Get<Form3>();
    f.HScroll2->setValue(72);
    f.SSTab1->setCurrentIndex(1);
    f.Option5->setChecked(true);
    f.HScroll1->setValue(10000);
    f.Command4->click();
    f.Command7->click();
    h.Settle();
    auto* v = f.findChild<IrrDistributionView*>();
    return v && v->grab().save(path);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("docs/screens");
    QDir().mkpath(folder);
    bool dark = false;
    double points = 0;
    for (int i = 2; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        if (arg == "--dark") dark = true;
        else if (arg == "--points" && i + 1 < argc) points = QString::fromLocal8Bit(argv[++i]).toDouble();
    }
    // Every harness sets the style again; the palette and font go on top.
    auto look = [dark, points] {
        if (dark) QApplication::setPalette(testing::DarkPalette());
        if (points > 0) {
            QFont font = QApplication::font();
            font.setPointSizeF(points);
            QApplication::setFont(font);
        }
    };

    const Shot shots[] = {
        {ScreenId::Form2, "start", {}},
        {ScreenId::Form1, "deterministic", {}},
        {ScreenId::Form1, "deterministic-evaluated", EvaluateStartExample},
        {ScreenId::Form1, "deterministic-60-payments", EvaluateSixtyPayments},
        {ScreenId::Form1, "paste-series", PasteSixtyPayments},
        {ScreenId::Form3, "stochastic-setup", ChooseNormal},
        {ScreenId::Form3, "stochastic-uniform", ChooseUniform},
        {ScreenId::Form3, "stochastic-run", SmallRun},
        {ScreenId::Form4, "multiple-irr", {}},
        {ScreenId::Form5, "form5", {}},
        {ScreenId::Form6, "form6", {}},
        {ScreenId::About, "about", {}},
        {ScreenId::Login, "login", {}},
    };
    int failures = 0;
    for (const Shot& shot : shots) {
        testing::ScreenHarness h;
        look();
        h.screens.Show(shot.id);
        if (shot.prepare) shot.prepare(h);
        h.Settle();
        ui::Screen* screen = h.screens.Find(shot.id);
        const QString path = folder + "/" + shot.file + ".png";
        if (!screen || !screen->grab().save(path)) {
            qWarning("could not render %s", qPrintable(path));
            ++failures;
        }
    }
    const struct {
        const char* file;
        bool (*shoot)(const QString&, const std::function<void()>&);
    } charts[] = {{"npv-profile", ShootNpvProfile}, {"irr-distribution", ShootIrrDistribution}};
    for (const auto& chart : charts) {
        const QString path = folder + "/" + chart.file + ".png";
        if (!chart.shoot(path, look)) {
            qWarning("could not render %s", qPrintable(path));
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}
