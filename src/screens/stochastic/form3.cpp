#include "screens/stochastic/form3.h"

#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabBar>
#include <QTabWidget>

#include <cmath>

#include "screens/common/evaluation_screens.h"
#include "screens/common/qt_strings.h"
#include "core/solver/number_format.h"
#include "core/solver/search_settings.h"
#include "core/solver/text_rules.h"
#include "screens/stochastic/distribution_link.h"
#include "screens/stochastic/distribution_pictures.h"
#include "core/simulation/limits.h"
#include "core/simulation/setup_check.h"
#include "core/simulation/simulation_settings.h"
#include "ui/controls.h"
#include "ui/dialogs.h"
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


QString Plain(double value) { return Q(GeneralText(value)); }

// A number a user typed, finite.
bool Numeric(const QString& text) { return FiniteNumber(Std(text)).has_value(); }
double Value(const QString& text) { return LeadingValue(Std(text)); }

// A typed whole number from `low` to `high` (rounded halves to even), or nothing.
std::optional<std::int16_t> Count(const QString& text, int low, int high) {
    if (!Numeric(text)) return std::nullopt;
    auto n = ToInt16(Value(text));
    if (!n || *n < low || *n > high) return std::nullopt;
    return n;
}

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

const QString Form3::kFileFilter = "Experiments (*.exp)|*.exp|Data Files (*.dat)|*.dat|All Files (*.*)|*.*";

Form3::Form3(ScreenManager& screens) : Screen("IRR - Stochastic", 10215, 8580), screens_(screens), ws_(screens.Ws()) {
    BuildFrame();
    Connect();
}

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
    Label2 = NewLabel(t, "Number of equally spaced payments (Pn) = ", 240, 1620, 3300, 285);
    Text2 = ui::NewTextBox(t, "12", 3600, 1620, 735, 285);
    Text2->setToolTip("# of payments");
    HScroll2 = NewScrollBar(t, 1, 72, 1, 10, 4440, 1620, 1560, 285);
    Label24 = NewLabel(t, "Number of payment/compounding periods per year =  ", 240, 2040, 3300, 435);
    Text13 = ui::NewTextBox(t, "1", 3600, 2040, 735, 285);
    Text13->setToolTip("Adjusts the output IRR to API");
    UpDown2 = new ui::UpDown(Text13, 1, 12, t);
    ui::Place(UpDown2, 4335, 2040, 240, 285);

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

    Frame3 = ui::NewFrame(t, "Simulation Parameters", 240, 2520, 9255, 1095, ui::SansSerif());
    Frame3->setEnabled(false);
    Label7 = NewLabel(Frame3, "Number of simulations = ", 240, 300, 1935, 285);
    Text6 = ui::NewTextBox(Frame3, QString::number(defaults.simulations), 2160, 300, 855, 285);
    Text6->setEnabled(false);
    HScroll1 = NewScrollBar(Frame3, 1, kMaxScreenSimulations, static_cast<int>(defaults.simulations), 100, 3120, 300,
                            3135, 285);
    Label20 = NewLabel(Frame3, "Increment = ", 240, 660, 975, 285);
    Text9 = ui::NewTextBox(Frame3, Q(FormatDecimal(defaults.search.increment)), 1200, 660, 1095, 285);
    Text9->setToolTip("used to initially locate the roots");
    Label21 = NewLabel(Frame3, "Tolerance = ", 2520, 660, 975, 285);
    Text10 = ui::NewTextBox(Frame3, Q(FormatDecimal(defaults.search.tolerance)), 3480, 660, 1335, 285);
    Text10->setToolTip("used in Newton's Method to find exact roots");
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
    Label22 = NewLabel(Frame5, "Payment coefficients with 1st dervative underneath", 240, 900, 6015, 285);
    MSHFlexGrid1 = ui::NewGrid(Frame5, 240, 1140, 6015, 1035);
    MSHFlexGrid1->setFocusPolicy(Qt::NoFocus);
    MSHFlexGrid1->SetRows(3);
    Label15 = NewLabel(Frame5, "IRRs", 6480, 900, 1335, 285);
    MSHFlexGrid2 = ui::NewGrid(Frame5, 6480, 1140, 1335, 1635);
    MSHFlexGrid2->setFocusPolicy(Qt::NoFocus);
    MSHFlexGrid2->SetFixedCols(0);
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

    ui::SetTabOrder({Option4, Option5, Command3, Text14, HScroll1, Text9, Text10, Command5, Command4});
}

void Form3::Connect() {
    connect(Text1, &QLineEdit::textChanged, this, [this] { Text1_Change(); });
    connect(Text2, &QLineEdit::textChanged, this, [this] { Text2_Change(); });
    connect(Text13, &QLineEdit::textChanged, this, [this] { Text13_Change(); });
    connect(HScroll2, &QScrollBar::valueChanged, this, [this] { HScroll2_Change(); });
    connect(Text3, &QLineEdit::textChanged, this, [this] { Text3_Change(); });
    connect(Text4, &QLineEdit::textChanged, this, [this] { Text4_Change(); });
    connect(Option1, &QRadioButton::toggled, this, [this](bool on) {
        if (on) Option1_Click();
    });
    connect(Option2, &QRadioButton::toggled, this, [this](bool on) {
        if (on) Option2_Click();
    });
    connect(Option3, &QRadioButton::toggled, this, [this](bool on) {
        if (on) Option3_Click();
    });
    connect(Option6, &QRadioButton::toggled, this, [this](bool on) {
        if (on) Option6_Click();
    });
    connect(Option7, &QRadioButton::toggled, this, [this](bool on) {
        if (on) Option7_Click();
    });
    connect(Command6, &QPushButton::clicked, this, [this] { Command6_Click(); });
    connect(SSTab1, &QTabWidget::currentChanged, this, [this] { SSTab1_Click(); });
    connect(HScroll1, &QScrollBar::valueChanged, this, [this] { HScroll1_Change(); });
    connect(Text6, &QLineEdit::textChanged, this, [this] { Text6_Change(); });
    connect(Text9, &QLineEdit::textChanged, this, [this] { Text9_Change(); });
    connect(Text10, &QLineEdit::textChanged, this, [this] { Text10_Change(); });
    connect(Option4, &QRadioButton::toggled, this, [this](bool on) {
        if (on) Option4_Click();
    });
    connect(Option5, &QRadioButton::toggled, this, [this](bool on) {
        if (on) Option5_Click();
    });
    connect(Command3, &QPushButton::clicked, this, [this] { Command3_Click(); });
    connect(Command5, &QPushButton::clicked, this, [this] { Command5_Click(); });
    connect(Command4, &QPushButton::clicked, this, [this] { Command4_Click(); });
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
}

void Form3::Form_Load() {
    const SimulationSettings defaults;
    SSTab1->setCurrentIndex(0);
    Label26->hide();
    Text1->setText(Plain(defaults.investment));
    ws_.SimInvestment = defaults.investment;
    ws_.IrrChoice = static_cast<std::int16_t>(defaults.irrRule);
    MSHFlexGrid1->SetCurrent(1, 0);
    MSHFlexGrid2->SetCurrent(0, 0);
    Label13->setText("Initial investment = " + Plain(ws_.SimInvestment));
    Text2->setText(QString::number(defaults.payments));
    ws_.SimNumPayments = static_cast<std::int16_t>(defaults.payments);
    Label14->setText("Number of Payments = " + QString::number(defaults.payments));
    Text6->setText(QString::number(defaults.simulations));
    ws_.NumSimulations = static_cast<std::int16_t>(defaults.simulations);
    Label19->setText("Neg. payments OK");
    ws_.PeriodsPerYear = static_cast<std::int16_t>(defaults.search.periodsPerYear);
    MSHFlexGrid2->SetCols(1);
    ws_.SaveToFile = defaults.saveToFile ? 1 : 0;
    ws_.AllowNegPayments = defaults.allowNegativePayments ? 1 : 0;
    ws_.Tolerance = defaults.search.tolerance;
    ws_.Increment = defaults.search.increment;
    ui::FocusAndSelectAll(Text1);
}

void Form3::showEvent(QShowEvent* event) {
    Screen::showEvent(event);
    PointHintArrowAtTab();
}

// ---- Distribution set-up ---------------------------------------------------

void Form3::Text1_Change() {
    if (!Numeric(Text1->text())) {
        ui::RefuseText(Text1);
        return;
    }
    ws_.SimInvestment = Value(Text1->text());
    Label13->setText("Initial investment = " + Plain(ws_.SimInvestment));
    MSHFlexGrid1->SetText(1, 0, Plain(-ws_.SimInvestment));
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
    if (text != "-" && text != "." && !Numeric(text)) {
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
    const bool begun = text == "." || (text == "-" && d == Distribution::Uniform);
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
        Text7->setText("");
        Text11->setText("");
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
    const SetupCheck check = CheckSetup(DistributionFromCode(ws_.DistType), Std(Text3->text()), Std(Text4->text()),
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

// ---- Simulation settings and output ----------------------------------------

void Form3::HScroll1_Change() {
    Text6->setText(QString::number(HScroll1->value()));
    Command4->setText("Begin Simulation(s)");
}

void Form3::Text6_Change() {
    if (auto n = ToInt16(Value(Text6->text()))) ws_.NumSimulations = *n;
}

void Form3::Text9_Change() { CheckSearchParameter(screens_, Text9, SearchParameter::Increment); }

void Form3::Text10_Change() { CheckSearchParameter(screens_, Text10, SearchParameter::Tolerance); }

void Form3::Option4_Click() {
    Command3->setEnabled(true);
    Command3->setFocus();
    ws_.SaveToFile = 1;
    fileChosen_ = false;
    Label9->setText("Save to File");
    Label9->setToolTip(QString());
    setWindowTitle("IRR - Stochastic - Save to File");
    Label16->show();
    Text8->show();
    Frame3->setEnabled(false);
    Frame5->setEnabled(false);
}

void Form3::Option5_Click() {
    Command3->setEnabled(false);
    ws_.SaveToFile = 0;
    fileChosen_ = false;
    Label9->setText("DO NOT save IRRs to file");
    Label9->setToolTip(QString());
    setWindowTitle("IRR - Stochastic - Do NOT Save to File");
    Label16->hide();
    Text8->hide();
    Frame3->setEnabled(true);
    Frame5->setEnabled(true);
    Command4->setEnabled(true);
}

void Form3::Command3_Click() {
    // This platform has no "c:\": the dialog starts in the user's home folder.
    const QString path = screens_.Dialogs().SaveFileName("IRR Output File Name", QDir::homePath(), kFileFilter);
    if (path.isEmpty()) {
        Command3->setFocus();
        // A file chosen before stays in force, as the label and caption say.
        if (fileChosen_) {
            screens_.Dialogs().Message("No other file was chosen.\rThe IRRs still go to " + Q(ws_.OutputPath),
                                       "Save to File?");
            return;
        }
        ws_.OutputPath.clear();
        screens_.Dialogs().Message("Select a file", "Save to File?");
        return;
    }
    ws_.OutputPath = Std(path);
    fileChosen_ = true;
    ShowOutputPath(path);
    setWindowTitle("IRR - Stochastic - " + path);
    Frame3->setEnabled(true);
    Frame5->setEnabled(true);
    Command4->setEnabled(true);
    HScroll1->setFocus();
}

// "Output Path\File Name =  " and the path; a path too long for the label
// goes on its second line, elided in the middle, whole in the tool tip.
void Form3::ShowOutputPath(const QString& path) {
    const QString prefix = "Output Path\\File Name =  ";
    const QFontMetrics metrics = Label9->fontMetrics();
    const int room = Label9->contentsRect().width();
    QString text = prefix + path;
    if (metrics.horizontalAdvance(text) > room) text = prefix + "\n" + metrics.elidedText(path, Qt::ElideMiddle, room);
    Label9->setText(text);
    Label9->setToolTip(path);
}

void Form3::Command5_Click() {
    screens_.Show(ScreenId::Form4);
    screens_.Hide(kId);
}

void Form3::ReturnFromIrrSelection() { Command5->setFocus(); }

void Form3::Command1_Click() { ReturnToStart(screens_, kId); }

void Form3::Command2_Click() {
    ConfirmExit(screens_, kId, "Sure you want to exit this stochastic simulation?",
                "Want to solve a determistic problem?", ScreenId::Form1);
}

// Closing the window by its frame goes back to the start screen.
bool Form3::FrameClosed() {
    Command1_Click();
    return false;
}

}  // namespace valmora
