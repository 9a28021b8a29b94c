// The stochastic screen's first tab, where the random investment is set up,
// and the gate that lets the user on to the second tab only with a valid set-up.
#include <QStyle>
#include <QStyleOptionSlider>
#include <QToolButton>

#include "form3_driver.h"
#include "screens/shell/form6.h"
#include "ui/line_shape.h"
#include "ui/up_down.h"

using namespace valmora;
using valmora::testing::Click;
using valmora::testing::FocusIn;
using valmora::testing::Form3Driver;
using valmora::testing::ScreenHarness;

namespace {

const QString kUniformMessage = "Enter correct uniform distribution parameters";
const QString kNormalMessage = "Enter correct normal distribution parameters";
const QString kMeanMessage = "Mean must be at least one (1)\rstandard deveiations obove zero";
const QString kExponentialMessage = "Enter correct exponential distribution parameters";
const QString kPaymentsMessage = "Enter a number of payments from 1 to 32766";
const QString kPeriodsMessage = "Enter a number of periods per year from 1 to 32767";
const QString kPositiveOnlyMessage =
    "Only positive payments are permitted, but every payment would be below 0.\r"
    "Enter an upper bound above 0.";

// Types a text over a box's selected contents. A leading minus is typed last,
// in front of the digits, as a user must in a box that refuses a lone "-".
void Enter(QLineEdit* edit, const QString& text) {
    if (!text.startsWith('-')) return valmora::testing::Retype(edit, text);
    valmora::testing::Retype(edit, text.mid(1));
    QTest::keyClick(edit, Qt::Key_Home);
    QTest::keyClick(edit, '-');
}

// Clicks one of a scroll bar's arrows.
void ClickArrow(QScrollBar* bar, QStyle::SubControl arrow) {
    QStyleOptionSlider option;
    option.initFrom(bar);
    option.orientation = bar->orientation();
    option.minimum = bar->minimum();
    option.maximum = bar->maximum();
    option.sliderPosition = bar->sliderPosition();
    option.sliderValue = bar->value();
    option.singleStep = bar->singleStep();
    option.pageStep = bar->pageStep();
    option.subControls = QStyle::SC_All;
    const QRect area = bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, arrow, bar);
    QTest::mouseClick(bar, Qt::LeftButton, {}, area.center());
}

// The distribution options by number: 1 uniform, 2 normal, 3 exponential.
QRadioButton* DistributionOption(Form3* f, int type) {
    switch (type) {
        case 1: return f->Option1;
        case 2: return f->Option2;
        case 3: return f->Option3;
        default: return nullptr;
    }
}

void ShowsTabZero(Form3* f) {
    QCOMPARE(f->SSTab1->currentIndex(), 0);
    QVERIFY(f->Frame1->isVisible());
    QVERIFY(!f->Label12->isVisible());
}

void ShowsTabOne(Form3* f) {
    QCOMPARE(f->SSTab1->currentIndex(), 1);
    QVERIFY(f->Label12->isVisible());
    QVERIFY(!f->Frame1->isVisible());
}

// Clicks tab 1. With no `message` the gate lets the user through silently;
// otherwise it is back on tab 0 before it says `message`, titled "Error".
void ExpectGate(Form3Driver& d, const QString& message) {
    Form3* f = d.f;
    int tabAtMessage = -1;
    d.h.dialogs.onMessage = [&](const auto&) { tabAtMessage = f->SSTab1->currentIndex(); };
    d.ClickTab(1);
    d.h.dialogs.onMessage = nullptr;
    if (message.isEmpty()) {
        ShowsTabOne(f);
        QVERIFY(d.h.dialogs.shown.empty());
        return;
    }
    ShowsTabZero(f);
    QCOMPARE(d.h.dialogs.shown.size(), size_t(1));
    QCOMPARE(d.h.dialogs.shown[0].text, message);
    QCOMPARE(d.h.dialogs.shown[0].title, QString("Error"));
    QVERIFY(!d.h.dialogs.shown[0].question);
    QCOMPARE(tabAtMessage, 0);
}

}  // namespace

class Form3SetupTest : public QObject {
    Q_OBJECT

private slots:
    void opensWithItsDefaults() {
        ScreenHarness h;
        // What a previous visit or the other mode left behind.
        h.ws.SimInvestment = 5;
        h.ws.SimNumPayments = 9;
        h.ws.PeriodsPerYear = 7;
        h.ws.AllowNegPayments = 0;
        h.ws.IrrChoice = 3;
        h.ws.SaveToFile = 0;
        h.ws.NumSimulations = 5;
        h.ws.Increment = 0.5;
        h.ws.Tolerance = 0.5;
        h.ws.DistType = 2;
        h.screens.Show(ScreenId::Form3);
        Form3* f = h.screens.Find<Form3>();

        QCOMPARE(f->windowTitle(), QString("IRR - Stochastic"));
        QCOMPARE(f->SSTab1->tabText(0), QString("Distribution Parameters"));
        QCOMPARE(f->SSTab1->tabText(1), QString("Conduct Simulation"));
        ShowsTabZero(f);
        const std::pair<QString, QString> texts[] = {
            {f->Label6->text(),
             "This subroutine generates random payments from a known distribution, finds the "
             "IRR(s), and permits the IRR to be written to file for subsequent analysis to "
             "determine the IRR PDF."},
            {f->Label11->text(),
             "The selection of the distribution and associated parameters will determine if "
             "negative payments are possible.  Such distributions can  result in Nonsimple - "
             "Mixed investments"},
            {f->Command1->text(), "<< &Back"},
            {f->Command2->text(), "E&xit"},
            {f->Label1->text(), "Initial investment (Po) = "},
            {f->Text1->text(), "1000"},
            {f->Text1->toolTip(), "initial investment"},
            {f->Label2->text(), "Number of equally spaced payments (Pn) = "},
            {f->Text2->text(), "1"},
            {f->Text2->toolTip(), "# of payments"},
            {f->Label24->text(), "Number of payment/compounding periods per year =  "},
            {f->Text13->text(), "1"},
            {f->Text13->toolTip(), "Adjusts the output IRR to API"},
            {f->Frame1->title(), "Select Distribution"},
            {f->Option1->text(), "Uniforn"},
            {f->Option2->text(), "Normal"},
            {f->Option3->text(), "Exponential"},
            {f->Option1->toolTip(), "uniform distribution"},
            {f->Option2->toolTip(), "normal distribution"},
            {f->Option3->toolTip(), "exponential distribution"},
            {f->Frame6->title(), "Permit Negative Payments?"},
            {f->Option6->text(), "Yes, permit negative payments"},
            {f->Option7->text(), "No - permit only positive payments "},
            {f->Label26->text(),
             "Go to the \"Conduct Simulation\" tab when you are finished with entering the "
             "distribution parameters."},
            {f->Label13->text(), "Initial investment = 1000"},
            {f->Label14->text(), "Number of Payments = 1"},
            {f->Label19->text(), "Neg. payments OK"},
        };
        for (const auto& [shown, expected] : texts) QCOMPARE(shown, expected);

        // The investment is selected, ready to be typed over.
        QCOMPARE(FocusIn(f), f->Text1);
        QCOMPARE(f->Text1->selectedText(), QString("1000"));
        // No distribution marked and nothing of a distribution shown.
        for (QRadioButton* option : {f->Option1, f->Option2, f->Option3}) QVERIFY(!option->isChecked());
        QVERIFY(f->Option6->isChecked());
        for (QWidget* hidden :
             std::initializer_list<QWidget*>{f->Frame2, f->Frame6, f->Label26, f->Line3, f->Line4, f->Line5})
            QVERIFY(!hidden->isVisible());
        QCOMPARE(f->HScroll2->value(), 1);
        QCOMPARE(f->HScroll2->minimum(), 1);
        QCOMPARE(f->HScroll2->maximum(), 72);
        QCOMPARE(valmora::testing::GridRow(f->MSHFlexGrid1, 0), QStringList({"0", "1"}));
        QCOMPARE(f->MSHFlexGrid1->Text(1, 0), QString("-1000"));
        QCOMPARE(f->MSHFlexGrid2->Cols(), 1);

        QCOMPARE(h.ws.SimInvestment, 1000.0);
        QCOMPARE(h.ws.SimNumPayments, 1);
        QCOMPARE(h.ws.PeriodsPerYear, 1);
        QCOMPARE(h.ws.AllowNegPayments, 1);
        QCOMPARE(h.ws.IrrChoice, 1);
        QCOMPARE(h.ws.SaveToFile, 1);
        QCOMPARE(h.ws.NumSimulations, 100);
        QCOMPARE(h.ws.Increment, 0.01);
        QCOMPARE(h.ws.Tolerance, 1e-8);
        QCOMPARE(h.ws.DistType, 2);  // the distribution outlives the screen
        QVERIFY(h.dialogs.shown.empty());
    }

    void choosingADistributionSetsUpItsParameters_data() {
        QTest::addColumn<int>("before");  // the option chosen first, 0 for none
        QTest::addColumn<int>("chosen");
        QTest::addColumn<bool>("normalOnly");  // Frame6, Label25, Command6
        QTest::addColumn<bool>("secondBox");   // Label4, Text4
        QTest::addColumn<QString>("label3");
        QTest::addColumn<QString>("label4");
        QTest::addColumn<QString>("text4");
        QTest::addColumn<QString>("frameTitle");
        QTest::addColumn<QString>("label12");
        QTest::addColumn<double>("param2");
        QTest::addColumn<QList<bool>>("images");  // Image1, Image2, Image3

        const QString u = "Uniform Distribution", n = "Normal Distribution", e = "Exponential Distribution";
        QTest::newRow("uniform first") << 0 << 1 << false << true << "Lower Bound"
                                       << "Upper Bound"
                                       << "" << u + " Parameters" << u << 8.0 << QList<bool>{false, true, false};
        QTest::newRow("normal first") << 0 << 2 << true << true << "Mean"
                                      << "Standard Derviation"
                                      << "" << n + " Parameters" << n << 8.0 << QList<bool>{false, false, false};
        QTest::newRow("exponential first") << 0 << 3 << false << false << "Mean (1/lambda)"
                                           << "P2 caption"
                                           << "" << e + " Parameters" << e << 0.0 << QList<bool>{true, false, true};
        QTest::newRow("uniform after normal") << 2 << 1 << false << true << "Lower Bound"
                                              << "Upper Bound"
                                              << "" << u + " Parameters" << u << 8.0 << QList<bool>{false, true, false};
        QTest::newRow("normal after uniform")
            << 1 << 2 << true << true << "Mean"
            << "Standard Derviation"
            << "" << n + " Parameters" << n << 8.0 << QList<bool>{false, false, false};
        // The hidden second box keeps what was typed, and its caption stays.
        QTest::newRow("exponential after uniform")
            << 1 << 3 << false << false << "Mean (1/lambda)"
            << "Upper Bound"
            << "8" << e + " Parameters" << e << 0.0 << QList<bool>{true, false, true};
    }

    void choosingADistributionSetsUpItsParameters() {
        QFETCH(int, before);
        QFETCH(int, chosen);
        QFETCH(bool, normalOnly);
        QFETCH(bool, secondBox);
        QFETCH(QString, label3);
        QFETCH(QString, label4);
        QFETCH(QString, text4);
        QFETCH(QString, frameTitle);
        QFETCH(QString, label12);
        QFETCH(double, param2);
        QFETCH(QList<bool>, images);

        Form3Driver d;
        Form3* f = d.f;
        if (before) {
            Click(DistributionOption(f, before));
            Enter(f->Text3, "7");
            Enter(f->Text4, "8");
        } else {
            d.h.ws.DistParam1 = 7;
            d.h.ws.DistParam2 = 8;
        }
        d.h.ws.DistParam3 = 5;
        Click(DistributionOption(f, chosen));

        QCOMPARE(d.h.ws.DistType, chosen);
        QVERIFY(f->Frame2->isVisible());
        QCOMPARE(f->Frame2->title(), frameTitle);
        QCOMPARE(f->Label12->text(), label12);
        QCOMPARE(f->Frame6->isVisible(), normalOnly);
        QCOMPARE(f->Label25->isVisible(), normalOnly);
        QCOMPARE(f->Command6->isVisible(), normalOnly);
        QVERIFY(f->Label3->isVisible() && f->Text3->isVisible());
        QCOMPARE(f->Label3->text(), label3);
        QCOMPARE(f->Label4->isVisible(), secondBox);
        QCOMPARE(f->Text4->isVisible(), secondBox);
        QCOMPARE(f->Label4->text(), label4);
        QCOMPARE(f->Text3->text(), QString());
        QCOMPARE(f->Text4->text(), text4);
        QCOMPARE(f->Image1->isVisible(), images[0]);
        QCOMPARE(f->Image2->isVisible(), images[1]);
        QCOMPARE(f->Image3->isVisible(), images[2]);
        // The hint to go on, with its arrow.
        for (QWidget* shown : std::initializer_list<QWidget*>{f->Label26, f->Line3, f->Line4, f->Line5})
            QVERIFY(shown->isVisible());
        // The boxes emptied for new values; the stored values wait for them.
        QCOMPARE(d.h.ws.DistParam1, 7.0);
        QCOMPARE(d.h.ws.DistParam2, param2);
        QCOMPARE(d.h.ws.DistParam3, 0.0);
        QCOMPARE(FocusIn(f), f->Text3);
        QVERIFY(d.h.dialogs.shown.empty());
    }

    void hintPointsAtTheSecondTab() {
        Form3Driver d;
        Form3* f = d.f;
        Click(f->Option1);
        QVERIFY2(f->Label26->heightForWidth(f->Label26->width()) <= f->Label26->height(), "the hint fits its label");
        // The arrow's shaft rises from beside the hint to the top of the tab,
        // under the header of "Conduct Simulation".
        QWidget* page = f->SSTab1->widget(0);
        const QRect header = f->SSTab1->tabBar()->tabRect(1);
        const int headerLeft = f->SSTab1->tabBar()->mapTo(page->window(), header.topLeft()).x();
        const QRect shaft(f->Line3->parentWidget()->mapTo(page->window(), f->Line3->pos()), f->Line3->size());
        QVERIFY(shaft.left() >= headerLeft && shaft.right() <= headerLeft + header.width());
        QVERIFY(f->Line3->y() < f->Label26->y() + f->Label26->height() / 2);
        QVERIFY(f->Line3->y() + f->Line3->height() >= f->Label26->y() + f->Label26->height() / 2);
        QVERIFY(f->Line3->y() <= 8);
        QVERIFY(!f->Line3->geometry().intersects(f->Label26->geometry()));
        QVERIFY(!f->Line3->geometry().intersects(f->Label11->geometry()));
    }

    void parameterTextsAreEchoedOnTheSecondTab_data() {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::addColumn<QString>("label17");
        QTest::addColumn<QString>("label18");
        QTest::newRow("uniform") << 1 << "-10"
                                 << "10.5"
                                 << "LB = -10"
                                 << "UB = 10.5";
        QTest::newRow("normal") << 2 << "400"
                                << "0.25"
                                << "Mean = 400"
                                << "SD = 0.25";
        QTest::newRow("exponential") << 3 << "0.5"
                                     << ""
                                     << "Mean = 0.5"
                                     << "";  // no second parameter shown
    }

    void parameterTextsAreEchoedOnTheSecondTab() {
        QFETCH(int, type);
        QFETCH(QString, first);
        QFETCH(QString, second);
        QFETCH(QString, label17);
        QFETCH(QString, label18);
        Form3Driver d;
        Form3* f = d.f;
        Click(DistributionOption(f, type));
        Enter(f->Text3, first);
        if (!second.isEmpty()) Enter(f->Text4, second);
        d.ClickTab(1);
        ShowsTabOne(f);
        QCOMPARE(f->Label17->text(), label17);
        if (label18.isEmpty()) QVERIFY(!f->Label18->isVisible());
        else QCOMPARE(f->Label18->text(), label18);
        QVERIFY(d.h.dialogs.shown.empty());
    }

    void parameterBoxesRefuseBadText_data() {
        QTest::addColumn<int>("box");  // 3 or 4
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<double>("stored");
        QTest::addColumn<QString>("echo");  // Label17 or Label18
        // The first box lets a negative or fractional number be begun.
        QTest::newRow("minus in the first box") << 3 << "-"
                                                << "-" << 0.0 << "LB = 0";
        QTest::newRow("point in the first box") << 3 << "."
                                                << "." << 0.0 << "LB = 0";
        // What no number holds is refused where it is typed: the text stays.
        QTest::newRow("letter in the first box") << 3 << "x"
                                                 << "9" << 9.0 << "LB = 9";
        QTest::newRow("exponent begun in the first box") << 3 << "1e"
                                                         << "1e" << 1.0 << "LB = 1";
        // The uniform upper bound may be negative too.
        QTest::newRow("minus in the second box") << 4 << "-"
                                                 << "-" << 0.0 << "UB = 0";
        QTest::newRow("point in the second box") << 4 << "."
                                                 << "." << 0.0 << "UB = 0";
        QTest::newRow("letter in the second box") << 4 << "x"
                                                  << "9" << 9.0 << "UB = 9";
    }

    void parameterBoxesRefuseBadText() {
        QFETCH(int, box);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(double, stored);
        QFETCH(QString, echo);
        Form3Driver d;
        Form3* f = d.f;
        Click(f->Option1);
        QLineEdit* edit = box == 3 ? f->Text3 : f->Text4;
        QLineEdit* other = box == 3 ? f->Text4 : f->Text3;
        Enter(edit, "9");
        // The focus elsewhere, so that a refusal has to bring it back.
        other->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, typed);  // key by key over the selected "9"
        QCOMPARE(edit->text(), shown);
        QCOMPARE(box == 3 ? d.h.ws.DistParam1 : d.h.ws.DistParam2, stored);
        QCOMPARE((box == 3 ? f->Label17 : f->Label18)->text(), echo);
        // A refused text leaves the focus in its box, whichever had it.
        if (shown.isEmpty()) QCOMPARE(FocusIn(f), edit);
        QVERIFY(d.h.dialogs.shown.empty());
    }

    void badInvestmentIsRefusedSilently() {
        Form3Driver d;
        Form3* f = d.f;
        Click(f->Option1);
        Enter(f->Text3, "-10");
        Enter(f->Text4, "10");
        // A key no number holds is refused where it is typed, with a beep.
        Enter(f->Text1, "12a");
        QCOMPARE(f->Text1->text(), QString("12"));
        QCOMPARE(d.h.dialogs.beeps, 1);
        QCOMPARE(d.h.ws.SimInvestment, 12.0);
        QCOMPARE(f->Label13->text(), QString("Initial investment = 12"));
        QCOMPARE(f->MSHFlexGrid1->Text(1, 0), QString("-12"));
        // An emptied box keeps the last number, and the next tab waits for one.
        valmora::testing::Retype(f->Text1, "");
        QCOMPARE(d.h.ws.SimInvestment, 12.0);

        d.ClickTab(1);
        ShowsTabZero(f);
        QVERIFY(d.h.dialogs.shown.empty());

        Enter(f->Text1, "2500");
        QCOMPARE(d.h.ws.SimInvestment, 2500.0);
        QCOMPARE(f->MSHFlexGrid1->Text(1, 0), QString("-2500"));
        d.ClickTab(1);
        ShowsTabOne(f);
        QCOMPARE(f->Label13->text(), QString("Initial investment = 2500"));
        QVERIFY(d.h.dialogs.shown.empty());
    }

    void countBoxesTakeOnlyTheirRange_data() {
        QTest::addColumn<bool>("payments");  // Text2, else Text13
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("stored");  // the last count the box held
        QTest::addColumn<QString>("message");
        QTest::newRow("no payments") << true << "0"
                                     << "" << 1 << kPaymentsMessage;
        // A key no count holds is refused where it is typed, the text kept.
        QTest::newRow("minus refused in the payments") << true << "-3"
                                                       << "3" << 3 << "";
        QTest::newRow("payments beyond the limit") << true << "32767"
                                                   << "" << 3276 << kPaymentsMessage;
        QTest::newRow("payments far beyond") << true << "40000"
                                             << "" << 4000 << kPaymentsMessage;
        QTest::newRow("letters refused in the payments") << true << "abc"
                                                         << "1" << 1 << "";
        QTest::newRow("most payments") << true << "32766"
                                       << "32766" << 32766 << "";
        QTest::newRow("no periods") << false << "0"
                                    << "" << 1 << kPeriodsMessage;
        QTest::newRow("minus refused in the periods") << false << "-3"
                                                      << "3" << 3 << "";
        QTest::newRow("periods beyond the limit") << false << "32768"
                                                  << "" << 3276 << kPeriodsMessage;
        QTest::newRow("periods far beyond") << false << "40000"
                                            << "" << 4000 << kPeriodsMessage;
        QTest::newRow("a letter refused in the periods") << false << "x"
                                                         << "1" << 1 << "";
        QTest::newRow("most periods") << false << "32767"
                                      << "32767" << 32767 << "";
        QTest::newRow("periods beyond the spinner") << false << "24"
                                                    << "24" << 24 << "";
    }

    void countBoxesTakeOnlyTheirRange() {
        QFETCH(bool, payments);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(int, stored);
        QFETCH(QString, message);
        Form3Driver d;
        Form3* f = d.f;
        Click(f->Option1);
        Enter(f->Text3, "-10");
        Enter(f->Text4, "10");
        QLineEdit* box = payments ? f->Text2 : f->Text13;
        Enter(box, typed);
        QCOMPARE(box->text(), shown);
        QCOMPARE(payments ? d.h.ws.SimNumPayments : d.h.ws.PeriodsPerYear, stored);
        // The other count is untouched.
        QCOMPARE(payments ? d.h.ws.PeriodsPerYear : d.h.ws.SimNumPayments, 1);
        if (payments) QCOMPARE(f->Label14->text(), "Number of Payments = " + QString::number(stored));

        ExpectGate(d, message);
        if (message.isEmpty()) {
            if (payments) QCOMPARE(f->MSHFlexGrid1->Text(0, stored), QString::number(stored));
        } else {
            QCOMPARE(FocusIn(f), box);
        }
    }

    void scrollBarSetsTheNumberOfPayments() {
        Form3Driver d;
        Form3* f = d.f;
        QScrollBar* bar = f->HScroll2;
        ClickArrow(bar, QStyle::SC_ScrollBarAddLine);
        QCOMPARE(f->Text2->text(), QString("2"));
        QCOMPARE(d.h.ws.SimNumPayments, 2);
        QCOMPARE(f->Label14->text(), QString("Number of Payments = 2"));
        QCOMPARE(valmora::testing::GridRow(f->MSHFlexGrid1, 0), QStringList({"0", "1", "2"}));

        bar->setFocus();
        QTest::keyClick(bar, Qt::Key_End);
        QCOMPARE(f->Text2->text(), QString("72"));
        QCOMPARE(d.h.ws.SimNumPayments, 72);
        QCOMPARE(f->Label14->text(), QString("Number of Payments = 72"));
        QStringList headers;
        for (int k = 0; k <= 72; ++k) headers << QString::number(k);
        QCOMPARE(valmora::testing::GridRow(f->MSHFlexGrid1, 0), headers);
        QCOMPARE(f->MSHFlexGrid1->Text(1, 0), QString("-1000"));
        ClickArrow(bar, QStyle::SC_ScrollBarAddLine);  // no further
        QCOMPARE(f->Text2->text(), QString("72"));

        // The scroll bar follows a typed count and steps on from it.
        Enter(f->Text2, "30");
        ClickArrow(bar, QStyle::SC_ScrollBarSubLine);
        QCOMPARE(f->Text2->text(), QString("29"));
        QCOMPARE(d.h.ws.SimNumPayments, 29);
        QTest::keyClick(bar, Qt::Key_Home);
        QCOMPARE(f->Text2->text(), QString("1"));
        ClickArrow(bar, QStyle::SC_ScrollBarSubLine);  // no fewer
        QCOMPARE(d.h.ws.SimNumPayments, 1);
        QCOMPARE(f->MSHFlexGrid1->Cols(), 2);
    }

    void spinnerStepsThePeriodsPerYear() {
        Form3Driver d;
        Form3* f = d.f;
        QToolButton* up = f->UpDown2->UpButton();
        QToolButton* down = f->UpDown2->DownButton();
        QTest::mouseClick(down, Qt::LeftButton);  // not below 1
        QCOMPARE(f->Text13->text(), QString("1"));
        QTest::mouseClick(up, Qt::LeftButton);
        QCOMPARE(f->Text13->text(), QString("2"));
        QCOMPARE(d.h.ws.PeriodsPerYear, 2);
        Enter(f->Text13, "5");  // a typed value is where the spinner goes on from
        QTest::mouseClick(up, Qt::LeftButton);
        QCOMPARE(f->Text13->text(), QString("6"));
        for (int i = 0; i < 10; ++i) QTest::mouseClick(up, Qt::LeftButton);
        QCOMPARE(f->Text13->text(), QString("12"));
        QCOMPARE(d.h.ws.PeriodsPerYear, 12);
        QTest::mouseClick(down, Qt::LeftButton);
        QCOMPARE(d.h.ws.PeriodsPerYear, 11);
        // A typed count beyond the spinner's range: up leaves it, down comes into the range.
        Enter(f->Text13, "50");
        QTest::mouseClick(up, Qt::LeftButton);
        QCOMPARE(f->Text13->text(), QString("50"));
        QCOMPARE(d.h.ws.PeriodsPerYear, 50);
        QTest::mouseClick(down, Qt::LeftButton);
        QCOMPARE(f->Text13->text(), QString("12"));
    }

    void gateChecksTheDistribution_data() {
        QTest::addColumn<int>("type");  // 0: none chosen
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::addColumn<QString>("message");  // empty: the move is allowed
        QTest::newRow("none chosen") << 0 << ""
                                     << ""
                                     << "Select a distribution";
        QTest::newRow("uniform, equal bounds") << 1 << "5"
                                               << "5" << kUniformMessage;
        QTest::newRow("uniform, bounds reversed") << 1 << "10"
                                                  << "5" << kUniformMessage;
        QTest::newRow("uniform, both empty") << 1 << ""
                                             << "" << kUniformMessage;
        QTest::newRow("uniform, minus and point") << 1 << "-"
                                                  << "." << kUniformMessage;
        QTest::newRow("uniform around zero") << 1 << "-10"
                                             << "10"
                                             << "";
        QTest::newRow("uniform, empty lower bound") << 1 << ""
                                                    << "3"
                                                    << "";
        QTest::newRow("normal, mean one deviation above zero") << 2 << "400"
                                                               << "400"
                                                               << "";
        QTest::newRow("normal, no deviation") << 2 << "400"
                                              << "0"
                                              << "";
        QTest::newRow("normal, mean too low") << 2 << "300"
                                              << "400" << kMeanMessage;
        QTest::newRow("normal, negative mean") << 2 << "-5"
                                               << "1" << kNormalMessage;
        QTest::newRow("normal, negative deviation") << 2 << "5"
                                                    << "-1" << kNormalMessage;
        QTest::newRow("normal, no deviation typed") << 2 << "400"
                                                    << "" << kNormalMessage;
        QTest::newRow("normal, mean a lone minus") << 2 << "-"
                                                   << "1" << kNormalMessage;
        QTest::newRow("normal, deviation a lone point") << 2 << "400"
                                                        << "." << kNormalMessage;
        QTest::newRow("exponential, mean 0") << 3 << "0"
                                             << "" << kExponentialMessage;
        QTest::newRow("exponential, negative mean") << 3 << "-2"
                                                    << "" << kExponentialMessage;
        QTest::newRow("exponential, mean a lone point") << 3 << "."
                                                        << "" << kExponentialMessage;
        QTest::newRow("exponential, mean 0.5") << 3 << "0.5"
                                               << ""
                                               << "";
    }

    void gateChecksTheDistribution() {
        QFETCH(int, type);
        QFETCH(QString, first);
        QFETCH(QString, second);
        QFETCH(QString, message);
        Form3Driver d;
        Form3* f = d.f;
        if (type) {
            Click(DistributionOption(f, type));
            if (!first.isEmpty()) Enter(f->Text3, first);
            if (!second.isEmpty()) Enter(f->Text4, second);
        }
        QCOMPARE(f->Text3->text(), first);
        QCOMPARE(f->Text4->text(), second);
        ExpectGate(d, message);
        if (message.isEmpty()) return;
        // The values stay for the user to correct.
        QCOMPARE(f->Text3->text(), first);
        QCOMPARE(f->Text4->text(), second);
    }

    void onlyPositivePaymentsNeedAnUpperBoundAboveZero_data() {
        QTest::addColumn<bool>("permitNegative");
        QTest::addColumn<QString>("upper");
        QTest::addColumn<QString>("message");
        QTest::newRow("positive only, upper bound 0") << false << "0" << kPositiveOnlyMessage;
        QTest::newRow("positive only, upper bound below 0") << false << "-50" << kPositiveOnlyMessage;
        QTest::newRow("positive only, upper bound above 0") << false << "0.5"
                                                            << "";
        QTest::newRow("negative permitted, upper bound 0") << true << "0"
                                                           << "";
    }

    void onlyPositivePaymentsNeedAnUpperBoundAboveZero() {
        QFETCH(bool, permitNegative);
        QFETCH(QString, upper);
        QFETCH(QString, message);
        Form3Driver d;
        Form3* f = d.f;
        Click(f->Option2);
        Click(f->Option7);
        QCOMPARE(d.h.ws.AllowNegPayments, 0);
        QCOMPARE(f->Label19->text(), QString("Neg. payments - No"));
        if (permitNegative) {
            Click(f->Option6);
            QCOMPARE(d.h.ws.AllowNegPayments, 1);
            QCOMPARE(f->Label19->text(), QString("Neg. payments - Yes"));
        }
        // The choice is out of sight with the uniform distribution, yet holds.
        Click(f->Option1);
        QVERIFY(!f->Frame6->isVisible());
        QCOMPARE(d.h.ws.AllowNegPayments, permitNegative ? 1 : 0);
        Enter(f->Text3, "-100");
        Enter(f->Text4, upper);
        ExpectGate(d, message);
    }

    void acceptedSetUpIsStoredAsTheBoxesShow_data() {
        QTest::addColumn<int>("before");              // the distribution typed first
        QTest::addColumn<int>("chosen");              // then chosen; the same one for none
        QTest::addColumn<QStringList>("firstTyped");  // both boxes, under `before`
        QTest::addColumn<QStringList>("thenTyped");   // both boxes, null for untouched
        QTest::addColumn<QList<double>>("storedBefore");
        QTest::addColumn<QList<double>>("storedAfter");
        QTest::addColumn<QStringList>("echo");  // Label17, Label18 on the second tab; null: not checked
        QTest::newRow("uniform after normal, lower bound left empty")
            << 2 << 1 << QStringList{"400", "100"} << QStringList{QString(), "3"} << QList<double>{400, 3}
            << QList<double>{0, 3} << QStringList{"LB = 0", "UB = 3"};
        QTest::newRow("uniform, lower bound erased")
            << 1 << 1 << QStringList{"7", "9"} << QStringList{"", QString()} << QList<double>{7, 9}
            << QList<double>{0, 9} << QStringList{"LB = 0", "UB = 9"};
        QTest::newRow("uniform after normal, upper bound left empty")
            << 2 << 1 << QStringList{"400", "100"} << QStringList{"-5", QString()} << QList<double>{-5, 100}
            << QList<double>{-5, 0} << QStringList{"LB = -5", "UB = 0"};
        // The hidden second box of the exponential is not a parameter.
        QTest::newRow("exponential after uniform")
            << 1 << 3 << QStringList{"-5", "50"} << QStringList{"2", QString()} << QList<double>{2, 0}
            << QList<double>{2, 0} << QStringList{"Mean = 2", QString()};
    }

    void acceptedSetUpIsStoredAsTheBoxesShow() {
        QFETCH(int, before);
        QFETCH(int, chosen);
        QFETCH(QStringList, firstTyped);
        QFETCH(QStringList, thenTyped);
        QFETCH(QList<double>, storedBefore);
        QFETCH(QList<double>, storedAfter);
        QFETCH(QStringList, echo);
        Form3Driver d;
        Form3* f = d.f;
        Click(DistributionOption(f, before));
        Enter(f->Text3, firstTyped[0]);
        Enter(f->Text4, firstTyped[1]);
        if (chosen != before) Click(DistributionOption(f, chosen));
        if (!thenTyped[0].isNull()) Enter(f->Text3, thenTyped[0]);
        if (!thenTyped[1].isNull()) Enter(f->Text4, thenTyped[1]);
        QCOMPARE(d.h.ws.DistParam1, storedBefore[0]);
        QCOMPARE(d.h.ws.DistParam2, storedBefore[1]);

        d.ClickTab(1);
        ShowsTabOne(f);
        QVERIFY(d.h.dialogs.shown.empty());
        QCOMPARE(d.h.ws.DistParam1, storedAfter[0]);
        QCOMPARE(d.h.ws.DistParam2, storedAfter[1]);
        // The summary should show the parameters the run will use.
        QCOMPARE(f->Label17->text(), echo[0]);
        if (echo[1].isNull()) return;
        QCOMPARE(f->Label18->text(), echo[1]);
    }

    void everyVisitToTheSecondTabStartsAfresh_data() {
        QTest::addColumn<QString>("upper");
        QTest::addColumn<int>("tab");
        QTest::newRow("refused") << "5" << 0;
        QTest::newRow("accepted") << "3000" << 1;
    }

    void everyVisitToTheSecondTabStartsAfresh() {
        QFETCH(QString, upper);
        QFETCH(int, tab);
        Form3Driver d;
        Form3* f = d.f;
        // One simulation run without saving.
        d.UniformOnTabOne("1000", "2000");
        ShowsTabOne(f);
        Click(f->Option5);
        f->HScroll1->setFocus();
        QTest::keyClick(f->HScroll1, Qt::Key_Home);
        QCOMPARE(f->Text6->text(), QString("1"));
        Click(f->Command4);
        QCOMPARE(d.h.dialogs.Texts(), QStringList({"Simulation Complete"}));
        d.h.dialogs.shown.clear();
        QCOMPARE(f->Command4->text(), QString("Iteration = 1"));
        QCOMPARE(f->ProgressBar1->value(), 100);
        QVERIFY(!f->Text7->text().isEmpty());
        QVERIFY(!f->MSHFlexGrid1->Text(1, 1).isEmpty());
        QVERIFY(!f->MSHFlexGrid2->Text(0, 0).isEmpty());

        // Back on the set-up only the run is made unavailable.
        d.ClickTab(0);
        ShowsTabZero(f);
        QVERIFY(!f->Frame3->isEnabled() && !f->Frame5->isEnabled());
        QVERIFY(f->Option5->isChecked());
        QCOMPARE(f->HScroll1->value(), 1);
        QCOMPARE(f->Command4->text(), QString("Iteration = 1"));

        Enter(f->Text4, upper);
        d.ClickTab(1);
        QCOMPARE(f->SSTab1->currentIndex(), tab);
        QCOMPARE(d.h.dialogs.Texts(), tab ? QStringList() : QStringList({kUniformMessage}));
        QCOMPARE(f->HScroll1->value(), 100);
        QCOMPARE(f->Text6->text(), QString("100"));
        QCOMPARE(d.h.ws.NumSimulations, 100);
        QVERIFY(!f->Option4->isChecked() && !f->Option5->isChecked());
        QCOMPARE(d.h.ws.SaveToFile, 0);  // the choice made before stays in force
        QVERIFY(!f->Frame3->isEnabled() && !f->Frame5->isEnabled());
        QCOMPARE(f->Command4->text(), QString("Begin Simulation(s)"));
        QCOMPARE(f->ProgressBar1->value(), 0);
        QCOMPARE(f->Text7->text(), QString());
        QCOMPARE(valmora::testing::GridRow(f->MSHFlexGrid1, 0), QStringList({"0", "1"}));
        QCOMPARE(valmora::testing::GridRow(f->MSHFlexGrid1, 1), QStringList({"", ""}));
        QCOMPARE(valmora::testing::GridColumn(f->MSHFlexGrid2, 0).join(""), QString());
    }

    void explainWhyOpensTheDiscussionBeside() {
        Form3Driver d;
        Form3* f = d.f;
        Click(f->Option2);
        QCOMPARE(f->Command6->text(), QString("Explain Why"));
        Click(f->Command6);
        QCOMPARE(d.h.VisibleScreens(), (std::vector<ScreenId>{ScreenId::Form3, ScreenId::Form6}));
        Click(d.h.screens.Find<Form6>()->Command1);
        d.h.Settle();
        QVERIFY(!d.h.screens.IsLoaded(ScreenId::Form6));
        QCOMPARE(d.h.VisibleScreens(), std::vector<ScreenId>{ScreenId::Form3});
        QVERIFY(f->Option2->isChecked());
        QVERIFY(!d.h.dialogs.ended);
    }

    void reopenedScreenKeepsTheDistributionOnly() {
        Form3Driver d;
        d.UniformOnTabOne("-10", "10");
        ShowsTabOne(d.f);
        Click(d.f->Command1);
        d.h.Settle();
        QVERIFY(!d.h.screens.IsLoaded(ScreenId::Form3));

        d.h.screens.Show(ScreenId::Form3);
        Form3* f = d.h.screens.Find<Form3>();
        for (QRadioButton* option : {f->Option1, f->Option2, f->Option3}) QVERIFY(!option->isChecked());
        QVERIFY(!f->Frame2->isVisible());
        QVERIFY(!f->Label26->isVisible());
        QCOMPARE(d.h.ws.DistType, 1);
        QCOMPARE(d.h.ws.DistParam1, -10.0);
        QCOMPARE(d.h.ws.DistParam2, 10.0);
        d.f = f;
        d.ClickTab(1);
        ShowsTabZero(f);
        QCOMPARE(d.h.dialogs.Texts(), QStringList({kUniformMessage}));
    }
};

QTEST_MAIN(Form3SetupTest)
#include "form3_setup_test.moc"
