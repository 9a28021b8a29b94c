// The controls of the stochastic screen: the frame around the tabs, the
// set-up tab and the simulation tab.
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabWidget>

#include "core/simulation/limits.h"
#include "core/simulation/simulation_settings.h"
#include "core/solver/number_format.h"
#include "screens/common/number_box.h"
#include "screens/common/qt_strings.h"
#include "screens/stochastic/distribution_link.h"
#include "screens/stochastic/distribution_pictures.h"
#include "screens/stochastic/form3.h"
#include "ui/controls.h"
#include "ui/decimal_separator.h"
#include "ui/focus.h"
#include "ui/fonts.h"
#include "ui/grid.h"
#include "ui/line_shape.h"
#include "ui/twips.h"
#include "ui/up_down.h"

namespace valmora {
namespace {

const QColor kGreen(128, 255, 128);
const QColor kRed(255, 0, 0);

QScrollBar* NewScrollBar(QWidget* parent, int minimum, int maximum, int value, int page, int left, int top, int width,
                         int height) {
    auto* bar = new QScrollBar(Qt::Horizontal, parent);
    bar->setRange(minimum, maximum);
    bar->setValue(value);
    bar->setPageStep(page);
    // Qt leaves scroll bars out of the Tab chain; these are inputs, so the
    // keyboard must reach them (arrows and Page keys then move the value).
    bar->setFocusPolicy(Qt::StrongFocus);
    // A Qt scroll bar inverts its keys (Right lowers the value); a count
    // goes up with Right and Page Down as the user expects.
    bar->setInvertedControls(false);
    ui::Place(bar, left, top, width, height);
    return bar;
}

}  // namespace

void Form3::BuildFrame() {
    QWidget* c = Client();
    Label6 = ui::NewLabel(
        c,
        "This subroutine generates random payments from a known distribution, finds the IRR(s), and permits the "
        "IRR to be written to file for subsequent analysis to determine the IRR PDF.",
        240, 120, 9735, 435);
    SSTab1 = new QTabWidget(c);
    SSTab1->setFont(ui::SansSerif());
    ui::Place(SSTab1, 240, 600, 9735, 7335);
    auto* setup = new QWidget;
    auto* simulation = new QWidget;
    SSTab1->addTab(setup, "Distribution Parameters");
    SSTab1->addTab(simulation, "Conduct Simulation");
    BuildSetupTab(setup);
    BuildSimulationTab(simulation);
    Command1 = ui::NewButton(c, "<< &Back", 240, 8085, 1455, 375);
    Command2 = ui::NewButton(c, "E&xit", 8520, 8085, 1455, 375);
    Command7 = ui::NewButton(c, "IRR &Distribution...", 4260, 8085, 1695, 375);
    distribution_ = new DistributionLink(Command7, run_, screens_.Dialogs(), this, [this] { return screens_.NowMs(); });
    Command8 = ui::NewButton(c, "&Stop", 6360, 8085, 1455, 375);
    Command8->hide();
}

void Form3::BuildSetupTab(QWidget* t) {
    using ui::NewLabel;
    Label26 = NewLabel(t,
                       "Go to the \"Conduct Simulation\" tab when you are finished with entering the distribution "
                       "parameters.",
                       240, 180, 2895, 915);
    Label26->hide();
    // A thick red arrow from the hint up to the tab headers; PointHintArrowAtTab aims it.
    Line3 = new ui::LineShape(t, {3300, 840}, {3300, 60}, kRed, 4);
    Line4 = new ui::LineShape(t, {3300, 60}, {3150, 300}, kRed, 4);
    Line5 = new ui::LineShape(t, {3300, 60}, {3450, 300}, kRed, 4);
    for (ui::LineShape* line : {Line3, Line4, Line5}) line->hide();
    Label11 = NewLabel(t,
                       "The selection of the distribution and associated parameters will determine if negative "
                       "payments are possible.  Such distributions can  result in Nonsimple - Mixed investments",
                       3960, 120, 5535, 615);

    Label1 = NewLabel(t, "Initial investment (Po) = ", 240, 1200, 3300, 285);
    Text1 = ui::NewTextBox(t, "", 3600, 1200, 1215, 285);
    Text1->setToolTip("initial investment");
    AcceptOnlyNumbers(Text1, screens_.Dialogs());
    Label2 = NewLabel(t, "Number of equally spaced payments (Pn) = ", 240, 1620, 3300, 285);
    Text2 = ui::NewTextBox(t, "12", 3600, 1620, 735, 285);
    Text2->setToolTip("# of payments");
    HScroll2 = NewScrollBar(t, 1, 72, 1, 10, 4440, 1620, 1560, 285);
    Label24 = NewLabel(t, "Number of payment/compounding periods per year =  ", 240, 2040, 3300, 435);
    Text13 = ui::NewTextBox(t, "1", 3600, 2040, 735, 285);
    Text13->setToolTip("Adjusts the output IRR to API");
    for (QLineEdit* count : {Text2, Text13}) AcceptOnlyDigits(count, screens_.Dialogs());
    UpDown2 = new ui::UpDown(Text13, 1, 12, t);
    ui::Place(UpDown2, 4335, 2040, 240, 285);
    // The labels name their boxes for assistive technology (a spinner is
    // named as its box); a scroll bar beside a box is named as its label.
    Label1->setBuddy(Text1);
    Label2->setBuddy(Text2);
    Label24->setBuddy(Text13);
    HScroll2->setAccessibleName("Number of equally spaced payments (Pn)");

    Frame1 = ui::NewFrame(t, "Select Distribution", 6120, 1140, 3375, 1335, ui::SansSerif());
    Option1 = ui::NewOption(Frame1, "Uniforn", 240, 300, 2400, 285);
    Option1->setToolTip("uniform distribution");
    Option2 = ui::NewOption(Frame1, "Normal", 240, 640, 2400, 285);
    Option2->setToolTip("normal distribution");
    Option3 = ui::NewOption(Frame1, "Exponential", 240, 980, 2400, 285);
    Option3->setToolTip("exponential distribution");

    Frame2 = ui::NewFrame(t, "Select Distribution Parameters", 240, 2640, 5715, 3735, ui::SansSerif());
    Frame2->hide();
    Label3 = NewLabel(Frame2, "P1 caption", 240, 420, 1935, 285);
    Text3 = ui::NewTextBox(Frame2, "", 2280, 420, 1215, 285);
    Label4 = NewLabel(Frame2, "P2 caption", 240, 840, 1935, 285);
    Text4 = ui::NewTextBox(Frame2, "", 2280, 840, 1215, 285);
    for (QLineEdit* box : {Text3, Text4}) AcceptOnlyNumbers(box, screens_.Dialogs());
    // Named as their labels read for the distribution chosen ("Mean",
    // "Standard Derviation"), not as the frame.
    Label3->setBuddy(Text3);
    Label4->setBuddy(Text4);
    Label25 = NewLabel(Frame2,
                       "Mean must be greater than or equal to 1 standard deviation above zero.  This permits "
                       "no more than 15.9 % of the payments to be negative.",
                       240, 1320, 5235, 855);
    Label25->setToolTip("Normal distribution comments");
    Command6 = ui::NewButton(Frame2, "Explain Why", 240, 2580, 1335, 375);
    Image2 = new UniformDensityPicture(Frame2);
    ui::Place(Image2, 3600, 360, 1935, 2115);
    Image1 = new ExponentialFormulaPicture(Frame2);
    ui::Place(Image1, 3600, 360, 1935, 615);
    Image3 = new ExponentialDensityPicture(Frame2);
    ui::Place(Image3, 3600, 1080, 1935, 1395);

    Frame6 = ui::NewFrame(t, "Permit Negative Payments?", 6120, 2640, 3375, 1095, ui::SansSerif());
    Frame6->setToolTip("Want the simulation to produce ONLY positive payments?");
    Frame6->hide();
    Option6 = ui::NewOption(Frame6, "Yes, permit negative payments", 120, 300, 3135, 285);
    Option7 = ui::NewOption(Frame6, "No - permit only positive payments ", 120, 660, 3135, 285);
    Option6->setChecked(true);

    ui::SetTabOrder(
        {Text1, Text2, HScroll2, Text13, UpDown2, Option1, Option2, Option3, Text3, Text4, Command6, Option6, Option7});
}

void Form3::BuildSimulationTab(QWidget* t) {
    using ui::NewLabel;
    const SimulationSettings defaults;
    Label12 = NewLabel(t, "Distribution", 240, 120, 3000, 285);
    Label13 = NewLabel(t, "Initial Investment", 240, 400, 3000, 285);
    Label14 = NewLabel(t, "Number of payments", 240, 680, 3000, 285);
    Label17 = NewLabel(t, "P1", 3480, 120, 2400, 285);
    Label18 = NewLabel(t, "P2", 3480, 400, 2400, 285);
    Label19 = NewLabel(t, "Neg. Payments?", 3480, 680, 2400, 285);
    Label10 = NewLabel(t,
                       "Select a path\\file to save the IRR data poins to.  Set the number of iterations "
                       "(simulations). Change the increment and tolerance (should not be necessary).  Press the "
                       "Begin Simulations button.",
                       6000, 120, 3495, 1215);

    Frame4 = ui::NewFrame(t, "Output File Location", 240, 1080, 5640, 1335, ui::SansSerif());
    Option4 = ui::NewOption(Frame4, "Save to file", 240, 300, 1695, 285);
    Option5 = ui::NewOption(Frame4, "DO NOT save to file", 2040, 300, 2055, 285);
    Command3 = ui::NewButton(Frame4, "Select Path\\Filename", 4200, 240, 1335, 420);
    Command3->setEnabled(false);
    Label9 = NewLabel(Frame4, "File path and location", 240, 720, 5295, 495);

    Label28 = NewLabel(t, "Seed (empty: clock) = ", 6000, 1680, 1815, 285);
    Text14 = ui::NewTextBox(t, "", 7800, 1680, 1575, 285);
    Text14->setToolTip("A whole number makes the run reproducible: the same seed and settings write the same file");
    Label28->setBuddy(Text14);

    Frame3 = ui::NewFrame(t, "Simulation Parameters", 240, 2520, 9255, 1095, ui::SansSerif());
    Frame3->setEnabled(false);
    Label7 = NewLabel(Frame3, "Number of simulations = ", 240, 300, 1935, 285);
    Text6 = ui::NewTextBox(Frame3, QString::number(defaults.simulations), 2160, 300, 855, 285);
    Text6->setEnabled(false);
    HScroll1 = NewScrollBar(Frame3, 1, kMaxScreenSimulations, static_cast<int>(defaults.simulations), 100, 3120, 300,
                            3135, 285);
    Label20 = NewLabel(Frame3, "Increment = ", 240, 660, 975, 285);
    Text9 = ui::NewTextBox(Frame3, ui::InLocale(FormatDecimal(defaults.search.increment)), 1200, 660, 1095, 285);
    Text9->setToolTip("used to initially locate the roots");
    Label21 = NewLabel(Frame3, "Tolerance = ", 2520, 660, 975, 285);
    Text10 = ui::NewTextBox(Frame3, ui::InLocale(FormatDecimal(defaults.search.tolerance)), 3480, 660, 1335, 285);
    Text10->setToolTip("used in Newton's Method to find exact roots");
    Label7->setBuddy(Text6);
    HScroll1->setAccessibleName("Number of simulations");
    Label20->setBuddy(Text9);
    Label21->setBuddy(Text10);
    Command5 = ui::NewButton(Frame3, "For multiple IRRs, select IRR", 6480, 240, 2535, 735);
    Command5->setToolTip("select the IRR to send to file when multiple IRRs exist (mixed investment)");
    ui::SetFaceColor(Command5, kGreen);

    Frame5 = ui::NewFrame(t, "Perform Simulation", 240, 3720, 9255, 3015, ui::SansSerif());
    Frame5->setEnabled(false);
    Command4 = ui::NewButton(Frame5, "Begin Simulation(s)", 240, 300, 1815, 495);
    ui::SetFaceColor(Command4, kGreen);
    Label8 = NewLabel(Frame5, "Progress Bar", 2280, 360, 1095, 285);
    ProgressBar1 = new QProgressBar(Frame5);
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);
    ui::Place(ProgressBar1, 3360, 360, 5655, 285);
    Label8->setBuddy(ProgressBar1);
    Label22 = NewLabel(Frame5, "Payment coefficients with 1st dervative underneath", 240, 900, 6015, 285);
    MSHFlexGrid1 = ui::NewGrid(Frame5, 240, 1140, 6015, 1035);
    MSHFlexGrid1->setFocusPolicy(Qt::NoFocus);
    MSHFlexGrid1->SetRows(3);
    MSHFlexGrid1->setAccessibleName("Payment coefficients with 1st derivative");
    MSHFlexGrid1->SetRowHeadings({"Period", "Payment", "1st derivative"});
    Label15 = NewLabel(Frame5, "IRRs", 6480, 900, 1335, 285);
    MSHFlexGrid2 = ui::NewGrid(Frame5, 6480, 1140, 1335, 1635);
    MSHFlexGrid2->setFocusPolicy(Qt::NoFocus);
    MSHFlexGrid2->SetFixedCols(0);
    MSHFlexGrid2->setAccessibleName("IRRs");
    // The right column's headings reach the frame's edge so that each reads on one line.
    Label23 = NewLabel(Frame5, "Mean IRR", 7920, 900, 1275, 240);
    Text7 = ui::NewTextBox(Frame5, "", 7920, 1140, 1095, 285);
    Text7->setReadOnly(true);
    Label16 = NewLabel(Frame5, "IRRs Sent to File", 7920, 1500, 1275, 240);
    Text8 = ui::NewTextBox(Frame5, "", 7920, 1740, 1095, 285);
    Text8->setReadOnly(true);
    Label16->hide();
    Text8->hide();
    Label27 = NewLabel(Frame5, "Without an IRR", 7920, 2100, 1275, 240);
    Text11 = ui::NewTextBox(Frame5, "", 7920, 2340, 1095, 285);
    Text11->setReadOnly(true);
    Label23->setBuddy(Text7);
    Label16->setBuddy(Text8);
    Label27->setBuddy(Text11);

    ui::SetTabOrder({Option4, Option5, Command3, Text14, HScroll1, Text9, Text10, Command5, Command4});
}

}  // namespace valmora
