// The distribution set-up on the first tab of the stochastic screen, and
// its check before the second tab opens.
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabBar>
#include <QTabWidget>

#include <algorithm>

#include "core/simulation/setup_check.h"
#include "core/simulation/simulation_settings.h"
#include "core/solver/limits.h"
#include "core/solver/search_settings.h"
#include "screens/common/qt_strings.h"
#include "screens/stochastic/form3.h"
#include "screens/stochastic/form3_boxes.h"
#include "ui/controls.h"
#include "ui/dialogs.h"
#include "ui/focus.h"
#include "ui/grid.h"
#include "ui/line_shape.h"
#include "ui/twips.h"

namespace valmora {

using form3_boxes::Begun;
using form3_boxes::Count;
using form3_boxes::Numeric;
using form3_boxes::Plain;
using form3_boxes::Typed;
using form3_boxes::Value;

void Form3::Text1_Change() {
    if (!Numeric(Text1->text())) {
        if (Begun(Text1->text()) && !Text1->text().isEmpty()) return;
        ui::RefuseText(Text1);
        return;
    }
    ws_.SimInvestment = Value(Text1->text());
    Label13->setText("Initial investment = " + Plain(ws_.SimInvestment));
    MSHFlexGrid1->SetText(1, 0, Q(GeneralText(-ws_.SimInvestment)));
    ResizeGrid1();
}

void Form3::Text2_Change() {
    // A count no series can have is refused like any other bad text.
    const auto n = Count(Text2->text(), 1, kMaxPayments);
    if (!n) {
        ui::RefuseText(Text2);
        return;
    }
    ws_.SimNumPayments = *n;
    Label14->setText("Number of Payments = " + QString::number(*n));
    if (*n <= HScroll2->maximum()) {
        const QSignalBlocker quiet(HScroll2);
        HScroll2->setValue(*n);
    }
    ResizeGrid1();
}

void Form3::HScroll2_Change() { Text2->setText(QString::number(HScroll2->value())); }

void Form3::Text13_Change() {
    const auto m = Count(Text13->text(), 1, kMaxPeriodsPerYear);
    if (!m) {
        ui::RefuseText(Text13);
        return;
    }
    ws_.PeriodsPerYear = *m;
}

void Form3::Text3_Change() {
    const QString text = Text3->text();
    if (text.isEmpty() || (!Begun(text) && !Numeric(text))) {
        ui::RefuseText(Text3);
        return;
    }
    ws_.DistParam1 = Value(text);
    const Distribution d = DistributionFromCode(ws_.DistType);
    if (d == Distribution::Uniform) Label17->setText("LB = " + Plain(ws_.DistParam1));
    else if (d == Distribution::Normal || d == Distribution::Exponential)
        Label17->setText("Mean = " + Plain(ws_.DistParam1));
}

void Form3::Text4_Change() {
    const QString text = Text4->text();
    // A uniform upper bound may be negative: "-" begins one, as in the first box.
    const Distribution d = DistributionFromCode(ws_.DistType);
    const bool begun = !text.isEmpty() && Begun(text) && (text != "-" || d == Distribution::Uniform);
    if (!begun && !Numeric(text)) {
        ui::RefuseText(Text4);
        return;
    }
    Label18->show();
    ws_.DistParam2 = Value(text);
    if (d == Distribution::Uniform) Label18->setText("UB = " + Plain(ws_.DistParam2));
    else if (d == Distribution::Normal) Label18->setText("SD = " + Plain(ws_.DistParam2));
    else if (d == Distribution::Exponential) Label18->hide();
}

void Form3::Option1_Click() { ShowDistribution(Distribution::Uniform); }

void Form3::Option2_Click() { ShowDistribution(Distribution::Normal); }

void Form3::Option3_Click() { ShowDistribution(Distribution::Exponential); }

// The parameter frame for the distribution just chosen.
void Form3::ShowDistribution(Distribution type) {
    ws_.DistType = static_cast<std::int16_t>(type);
    const bool uniform = type == Distribution::Uniform, normal = type == Distribution::Normal,
               exponential = type == Distribution::Exponential;
    Frame2->show();
    Frame6->setVisible(normal);
    Label25->setVisible(normal);
    Command6->setVisible(normal);
    Label3->show();
    Text3->show();
    Text3->setText("");
    Label4->setVisible(!exponential);
    Text4->setVisible(!exponential);
    if (!exponential) Text4->setText("");
    Label3->setText(uniform ? "Lower Bound" : normal ? "Mean" : "Mean (1/lambda)");
    if (uniform) Label4->setText("Upper Bound");
    if (normal) Label4->setText("Standard Derviation");
    Label12->setText(uniform ? "Uniform Distribution" : normal ? "Normal Distribution" : "Exponential Distribution");
    Frame2->setTitle(uniform  ? "Uniform Distribution Parameters"
                     : normal ? "Normal Distribution Parameters"
                              : "Exponential Distribution Parameters");
    ws_.DistParam3 = 0;
    if (exponential) ws_.DistParam2 = 0;
    Label18->setVisible(!exponential);
    Label26->show();
    for (ui::LineShape* line : {Line3, Line4, Line5}) line->show();
    Image1->setVisible(exponential);
    Image2->setVisible(uniform);
    Image3->setVisible(exponential);
    ui::FocusAndSelectAll(Text3);
}

void Form3::Option6_Click() {
    ws_.AllowNegPayments = 1;
    Label19->setText("Neg. payments - Yes");
}

void Form3::Option7_Click() {
    ws_.AllowNegPayments = 0;
    Label19->setText("Neg. payments - No");
}

void Form3::Command6_Click() { screens_.Show(ScreenId::Form6); }

void Form3::ResizeGrid1() {
    const int n = ws_.SimNumPayments;
    MSHFlexGrid1->SetCols(n + 1);
    for (int k = 0; k <= n; ++k) MSHFlexGrid1->SetText(0, k, QString::number(k));
}

// The arrow runs from the hint up to the middle of the "Conduct Simulation" tab.
void Form3::PointHintArrowAtTab() {
    QWidget* page = SSTab1->widget(0);
    const QRect tab = SSTab1->tabBar()->tabRect(1);
    const int x = SSTab1->tabBar()->mapTo(SSTab1, tab.center()).x() - page->mapTo(SSTab1, QPoint(0, 0)).x();
    const QPoint tip(x, 3);
    const QPoint foot(x, Label26->geometry().center().y());
    const int head = ui::Twips(150);
    Line3->SetEnds(foot, tip);
    Line4->SetEnds(tip, tip + QPoint(-head, 2 * head));
    Line5->SetEnds(tip, tip + QPoint(head, 2 * head));
    Label26->setFixedWidth(std::max(ui::Twips(1500), x - Label26->x() - ui::Twips(240)));
}

void Form3::SSTab1_Click() {
    if (SSTab1->currentIndex() == 1) {
        CheckTabZero();
        MSHFlexGrid1->ClearText();
        for (int k = 0; k <= ws_.SimNumPayments && k < MSHFlexGrid1->Cols(); ++k)
            MSHFlexGrid1->SetText(0, k, QString::number(k));
        MSHFlexGrid2->ClearText();
        ProgressBar1->setValue(0);
        Label8->setText("Progress Bar");
        Command4->setText("Begin Simulation(s)");
        for (QLineEdit* box : {Text7, Text8, Text11}) {
            box->setText("");
            box->setToolTip(QString());
        }
        HScroll1->setValue(static_cast<int>(SimulationSettings{}.simulations));
        ui::ClearOptions({Option4, Option5});
    }
    Frame3->setEnabled(false);
    Frame5->setEnabled(false);
}

void Form3::CheckTabZero() {
    auto refuse = [this](const QString& message) {
        SSTab1->setCurrentIndex(0);
        if (!message.isEmpty()) screens_.Dialogs().Message(message, "Error");
    };
    if (!Numeric(Text1->text())) return refuse("");
    if (!Count(Text2->text(), 1, kMaxPayments))
        return refuse("Enter a number of payments from 1 to " + QString::number(kMaxPayments));
    if (!Count(Text13->text(), 1, kMaxPeriodsPerYear))
        return refuse(Q(std::string(TextOf(SearchSetting::PeriodsPerYear).request)));
    const SetupCheck check = CheckSetup(DistributionFromCode(ws_.DistType), Typed(Text3->text()), Typed(Text4->text()),
                                        ws_.AllowNegPayments == 0);
    if (!check.ok) return refuse(Q(check.message));
    // The run uses what was checked: the boxes as they stand now.
    ws_.DistParam1 = Value(Text3->text());
    if (ws_.DistType != 3) ws_.DistParam2 = Value(Text4->text());
    ShowParameters();
}

// The parameters the run will use, in the summary of tab 1.
void Form3::ShowParameters() {
    const bool uniform = ws_.DistType == 1;
    Label17->setText((uniform ? "LB = " : "Mean = ") + Plain(ws_.DistParam1));
    Label18->setText((uniform ? "UB = " : "SD = ") + Plain(ws_.DistParam2));
    Label18->setVisible(ws_.DistType != 3);
}

}  // namespace valmora
