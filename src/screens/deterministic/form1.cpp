#include "screens/deterministic/form1.h"

#include <QAction>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStringList>

#include <cmath>
#include <vector>

#include "screens/common/evaluation_screens.h"
#include "screens/common/number_box.h"
#include "screens/common/qt_strings.h"
#include "screens/deterministic/decide_link.h"
#include "screens/deterministic/npv_profile_link.h"
#include "core/simulation/simulation_settings.h"
#include "core/solver/cash_flow_analysis.h"
#include "core/solver/missed_roots.h"
#include "core/solver/number_format.h"
#include "core/solver/project_balances.h"
#include "core/entry/cell_typing.h"
#include "core/solver/root_location.h"
#include "core/solver/search_notes.h"
#include "core/solver/solver_messages.h"
#include "core/solver/text_rules.h"
#include "core/workspace/workspace_mirror.h"
#include "ui/controls.h"
#include "ui/decimal_separator.h"
#include "ui/dialogs.h"
#include "ui/fonts.h"
#include "ui/grid.h"
#include "ui/twips.h"
#include "ui/up_down.h"

namespace valmora {
namespace {

const QColor kLightYellow(255, 255, 128);
const QColor kYellow(255, 255, 0);
const QColor kBlue(0, 0, 255);
const QColor kWhite(255, 255, 255);

const QString kNoIrrMessage = "No IRR was found in the searched range.";
const QString kNoClassification = "Investment Type";
const QColor kNoteColour(160, 0, 0);

}  // namespace

Form1::Form1(ScreenManager& screens) : Screen("IRR - Deterministic", 9555, 8160), screens_(screens), ws_(screens.Ws()) {
    BuildControls();
    Connect();
}

void Form1::BuildControls() {
    using ui::NewLabel;
    QWidget* c = Client();

    Label3 = NewLabel(c, "Initial investment  =  ", 240, 240, 2505, 300, ui::SansSerif(12, true));
    Text1 = ui::NewTextBox(c, ui::InLocale(FormatDecimal(kDefaultInvestment)), 2880, 240, 1335, 285);
    Label2 = NewLabel(c, "Number of payments = ", 5280, 240, 2790, 300, ui::SansSerif(12, true));
    Text2 = ui::NewTextBox(c, "1", 8040, 240, 660, 285);
    Text2->setEnabled(false);
    UpDown1 = new ui::UpDown(Text2, 1, kMostScreenPayments, c);
    ui::Place(UpDown1, 8700, 240, 195, 285);
    // The labels name their boxes for assistive technology; a spinner is
    // named as its box.
    Label3->setBuddy(Text1);
    Label2->setBuddy(Text2);

    Label1 = NewLabel(c, "Compunding / payment periods per year = ", 5280, 840, 2505, 480, ui::SansSerif(9.75, true));
    Label1->setEnabled(false);
    Text7 = ui::NewTextBox(c, "1", 8040, 945, 615, 285);
    Text7->setEnabled(false);
    UpDown2 = new ui::UpDown(Text7, 1, 53, c);
    ui::Place(UpDown2, 8655, 945, 240, 285);
    UpDown2->setEnabled(false);
    Label1->setBuddy(Text7);

    Frame3 = ui::NewFrame(c, "Select Type of IRR", 240, 780, 4095, 615, ui::SansSerif(8.25, true));
    Option1 = ui::NewOption(Frame3, "Straight IRR", 240, 240, 1455, 255);
    Option1->setToolTip("No accounting for time between compounding/payment periods");
    Option2 = ui::NewOption(Frame3, "Convert IRR to API", 2040, 240, 1695, 255);
    Option2->setToolTip("convert IRR  to API if compounding/payment periods are not annual");

    Frame1 = ui::NewFrame(c, "Payment Array Coefficients with 1st Derivative", 240, 1800, 8895, 2535,
                          ui::SansSerif(8.25, true));
    MSHFlexGrid1 = ui::NewGrid(Frame1, 240, 360, 6255, 855);
    MSHFlexGrid1->SetCurrentCellColor(kLightYellow);
    MSHFlexGrid1->SetTabEntersFirstCell(true);
    MSHFlexGrid1->setAccessibleName("Payment array");
    MSHFlexGrid1->setAccessibleDescription("The investment and the payments, by period");
    MSHFlexGrid1->SetRowHeadings({"Period", "Cash flow"});
    Label11 = NewLabel(Frame1, "Payment Array", 6600, 360, 1230, 195, ui::SansSerif(8.25, true));
    Command1 = ui::NewButton(
        Frame1, "Payments entered...  compute derivative, # of + real roots, and Upper Bound on + real roots", 6720,
        840, 1935, 975);
    Command1->setToolTip("Click here when all payments are entered");
    MSHFlexGrid3 = ui::NewGrid(Frame1, 240, 1440, 6255, 855);
    // Only shows the derivative: a click reaches it (to copy), Tab does not.
    MSHFlexGrid3->setFocusPolicy(Qt::ClickFocus);
    MSHFlexGrid3->setAccessibleName("1st derivative");
    MSHFlexGrid3->SetRowHeadings({"Term", "Coefficient"});
    Label12 = NewLabel(Frame1, "1st Derivative", 6600, 2040, 1200, 195, ui::SansSerif(8.25, true));

    Frame2 = ui::NewFrame(c, "Compute Solutions", 240, 4560, 8895, 2775, ui::SansSerif(8.25, true));
    Label4 = NewLabel(Frame2, "Maximum # of positive real roots =  ", 240, 360, 2490, 195);
    Text3 = ui::NewTextBox(Frame2, "", 3120, 360, 615, 285);
    Text3->setEnabled(false);
    Label7 = NewLabel(Frame2, "Upper Bound on root(s) for F(x) where x = 1/(1 + i )", 240, 720, 2745, 390);
    Text6 = ui::NewTextBox(Frame2, "", 3120, 840, 615, 285);
    Text6->setEnabled(false);
    Label4->setBuddy(Text3);
    Label7->setBuddy(Text6);
    Label5 = NewLabel(Frame2, "Increment = ", 360, 1320, 885, 195);
    Text4 = ui::NewTextBox(Frame2, ui::InLocale(FormatDecimal(kDefaultIncrement)), 1440, 1320, 1095, 285);
    Label6 = NewLabel(Frame2, "Newton's Method tolerance", 360, 1920, 885, 585);
    // Shows 1E-08, the tolerance of the simulations; Form_Load says which one is in effect.
    Text5 =
        ui::NewTextBox(Frame2, ui::InLocale(FormatDecimalNoLeadingZero(kSimulationTolerance)), 1440, 2160, 1095, 285);
    Label5->setBuddy(Text4);
    Label6->setBuddy(Text5);
    Command3 = ui::NewButton(Frame2, "Locate Root(s)", 2880, 1440, 975, 975);
    Command3->setEnabled(false);
    Line2 = ui::NewLine(Frame2, 360, 1800, 2640, 1800);
    Line1 = ui::NewLine(Frame2, 4080, 240, 4080, 2640);
    // As wide as the IRR grid below it, so that "IRR(s) API" fits on its line.
    Label8 = NewLabel(Frame2, "IRR(s)", 4320, 360, 1815, 240, ui::SansSerif(9.75, true));
    Label8->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Label8->setEnabled(false);
    MSHFlexGrid2 = ui::NewGrid(Frame2, 4320, 720, 1815, 1215);
    MSHFlexGrid2->SetCurrentCellColor(kBlue);
    // Blue marks the rate picked, by a click, Enter or Space; the rate the
    // keyboard is on is framed until then.
    MSHFlexGrid2->SetPicking(true);
    MSHFlexGrid2->setEnabled(false);
    MSHFlexGrid2->setAccessibleName("IRR(s)");
    Label13 = NewLabel(Frame2, "Select an IRR to compute the project balances", 4320, 2040, 1815, 615);
    Label13->setAlignment(Qt::AlignCenter);
    Label13->setFrameStyle(QFrame::Box | QFrame::Plain);
    ui::SetBackColor(Label13, kYellow);
    Label13->hide();
    MSHFlexGrid2->setAccessibleDescription(Label13->text());
    Line6 = ui::NewLine(Frame2, 6360, 240, 6360, 2640);
    Label9 = NewLabel(Frame2, "Project Balances", 6600, 360, 1935, 240, ui::SansSerif(9.75, true));
    Label9->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Label9->setEnabled(false);
    MSHFlexGrid4 = ui::NewGrid(Frame2, 6600, 720, 2055, 1215);
    MSHFlexGrid4->setEnabled(false);
    MSHFlexGrid4->setAccessibleName("Project balances");
    Label10 = NewLabel(Frame2, "Type of Investment:", 6600, 2040, 2085, 195, ui::SansSerif(8.25, true));
    Label10->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Label10->setEnabled(false);
    Label14 = NewLabel(Frame2, kNoClassification, 6600, 2280, 2055, 255);
    Label14->setAlignment(Qt::AlignHCenter | Qt::AlignTop);

    Command4 = ui::NewButton(c, "<< &Back", 240, 7560, 1455, 375);
    Command2 = ui::NewButton(c, "E&xit", 7800, 7560, 1335, 375);
    Command5 = ui::NewButton(c, "NPV &Profile...", 3930, 7560, 1695, 375);
    npvProfile_ = new NpvProfileLink(Command5, results_, screens_.Dialogs(), this);
    // Below the frame of the IRR grid, one line a sentence long.
    Label15 = NewLabel(c, "", 240, 7335, 8895, 225, ui::SansSerif(8.25, false));
    ui::SetTextColor(Label15, kNoteColour);
    Command6 = ui::NewButton(c, "&Open...", 1815, 7560, 975, 375);
    Command6->setToolTip("Open Series... (Ctrl+O): read the investment and payments from a CSV file");
    Command7 = ui::NewButton(c, "&Save...", 2835, 7560, 975, 375);
    Command7->setToolTip("Save Series... (Ctrl+S): write the cash flows as a CSV file, one a line");
    Command9 = ui::NewButton(c, "&Decide...", 5745, 7560, 960, 375);
    Command9->setToolTip("Decide at a hurdle rate: NPV, MIRR, paybacks, and the verdict of every IRR");
    decide_ = new DecideLink(Command9, results_, screens_.Dialogs(), *npvProfile_, this);
    Command8 = ui::NewButton(c, "&Export...", 6765, 7560, 975, 375);
    Command8->setToolTip(
        "Export Results...: write the series, every listed rate with its balances, and the notes as a CSV file");
    Command8->setEnabled(false);
    AcceptOnlyNumbers(Text1, screens_.Dialogs());
    BuildSeriesCommands();

    // Tab follows the work: the series, "Payments entered...", the search
    // and "Locate Root(s)", the rates and their profile; then the balances,
    // the type of IRR, the other commands, and the ways out last.
    QWidget* order[] = {Text1,        UpDown1,  MSHFlexGrid1, Command1, Text4,    Text5,   Command3,
                        MSHFlexGrid2, Command5, MSHFlexGrid4, Option1,  Option2,  Text7,   UpDown2,
                        Command9,     Command6, Command7,     Command8, Command4, Command2};
    for (std::size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);
}

void Form1::Connect() {
    connect(Text1, &QLineEdit::textChanged, this, [this] { Text1_Change(); });
    connect(Text2, &QLineEdit::textChanged, this, [this] { Text2_Change(); });
    connect(UpDown1, &ui::UpDown::Changed, this, [this] { UpDown1_Change(); });
    connect(MSHFlexGrid1, &ui::Grid::EnterCell, this, [this] { MSHFlexGrid1_EnterCell(); });
    connect(MSHFlexGrid1, &ui::Grid::Click, this, [this](int r, int col) { MSHFlexGrid1_Click(r, col); });
    connect(MSHFlexGrid1, &ui::Grid::KeyPress, this, [this](int code) { MSHFlexGrid1_KeyPress(code); });
    connect(MSHFlexGrid1, &ui::Grid::EditCell, this, [this] { MSHFlexGrid1_EditCell(); });
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(Command3, &QPushButton::clicked, this, [this] { Command3_Click(); });
    connect(MSHFlexGrid2, &ui::Grid::Click, this, [this](int r, int col) { MSHFlexGrid2_Click(r, col); });
    connect(MSHFlexGrid2, &ui::Grid::KeyPress, this, [this](int code) { MSHFlexGrid2_KeyPress(code); });
    connect(Option1, &QRadioButton::toggled, this, [this](bool on) {
        if (on) Option1_Click();
    });
    connect(Option2, &QRadioButton::toggled, this, [this](bool on) {
        if (on) Option2_Click();
    });
    connect(Text7, &QLineEdit::textChanged, this, [this] { Text7_Change(); });
    connect(Text4, &QLineEdit::textChanged, this, [this] { Text4_Change(); });
    connect(Text5, &QLineEdit::textChanged, this, [this] { Text5_Change(); });
    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
    connect(Command4, &QPushButton::clicked, this, [this] { Command4_Click(); });
}

void Form1::Form_Load() {
    ws_.NumPayments = 1;
    ws_.MaxRoots = irrRows_ = 1;
    ResizeGrid1();
    MSHFlexGrid1->SetCurrent(1, 0);
    MSHFlexGrid1->SetText(1, 0, Q(GeneralText(-LeadingValue(TypedNumber(Text1)))));
    // The tolerance box shows 1E-08, but 1E-07 is in effect until it is edited.
    ws_.Increment = kDefaultIncrement;
    ws_.Tolerance = kDefaultTolerance;
    Option1->setChecked(true);
    ws_.PeriodsPerYear = 1;
    MSHFlexGrid2->SetFixedRows(1);
    MSHFlexGrid2->SetRows(ws_.NumPayments + 1);
    MSHFlexGrid2->SetText(0, 0, " # ");
    MSHFlexGrid2->SetText(0, 1, "Value");
    MSHFlexGrid2->SetColWidthTwips(0, 600);
    MSHFlexGrid2->SetColWidthTwips(1, 1000);
    ResizeGrid3();
    ui::FocusAndSelectAll(Text1);
}

// ---- Payment entry ---------------------------------------------------------

void Form1::Text1_Change() {
    // Results of the old investment do not belong to the new series.
    ForgetResults();
    const std::string text = TypedNumber(Text1);
    if (const auto investment = FiniteNumber(text)) {
        MSHFlexGrid1->SetText(1, 0, Q(FaithfulText(-*investment)));
        return;
    }
    // The start of a number ("", "-", "1e") is no investment yet: the cell
    // waits for the rest, and "Payments entered..." asks for it.
    if (TypingState(text) == NumberTyping::Partial) {
        MSHFlexGrid1->SetText(1, 0, "");
        return;
    }
    Text1->setText("");
    Text1->setFocus();
    MSHFlexGrid1->SetText(1, 0, Q(GeneralText(-LeadingValue(TypedNumber(Text1)))));
}

void Form1::Text2_Change() {
    ws_.NumPayments = static_cast<std::int16_t>(UpDown1->Value());
    Command3->setEnabled(false);
    ResizeGrid1();
    ResizeGrid2();
    ResizeGrid3();
    // Rates of the old series must not be used with the new one.
    results_.reset();
    MSHFlexGrid2->setEnabled(false);
    for (int r = 1; r < MSHFlexGrid2->Rows(); ++r) MSHFlexGrid2->SetText(r, 1, "");
    ForgetPick();
}

void Form1::UpDown1_Change() { Command3->setEnabled(false); }

// Moving onto a cell keeps its number: the next key typed replaces it, Esc
// brings it back.
void Form1::MSHFlexGrid1_EnterCell() {
    ws_.SelRow = static_cast<std::int16_t>(MSHFlexGrid1->Row());
    ws_.SelCol = static_cast<std::int16_t>(MSHFlexGrid1->Col());
    EnterPaymentCell();
}

void Form1::MSHFlexGrid1_Click(int row, int col) {
    if (MSHFlexGrid1->IsFixed(row, col) || MSHFlexGrid1->IsFixed(MSHFlexGrid1->Row(), MSHFlexGrid1->Col())) return;
    EnterPaymentCell();
}

// F2 or a double click: the keys typed next edit the text in place.
void Form1::MSHFlexGrid1_EditCell() {
    if (MSHFlexGrid1->IsFixed(MSHFlexGrid1->Row(), MSHFlexGrid1->Col())) return;
    EnterPaymentCell();
    freshCell_ = false;
}

void Form1::EnterPaymentCell() {
    enteredRow_ = MSHFlexGrid1->Row();
    enteredCol_ = MSHFlexGrid1->Col();
    enteredText_ = MSHFlexGrid1->Text(enteredRow_, enteredCol_);
    freshCell_ = true;
}

void Form1::ForgetResults(std::optional<SeriesResults> next) {
    results_ = std::move(next);
    MSHFlexGrid2->setEnabled(false);
    Command3->setEnabled(false);
    MSHFlexGrid2->ClearText();
    // What the analysis said of the old series goes with it.
    Text3->clear();
    Text6->clear();
    Text6->setToolTip(QString());
    for (int k = 0; k < MSHFlexGrid3->Cols(); ++k) MSHFlexGrid3->SetText(1, k, "");
    ShowNotes({});
    ForgetPick();
}

void Form1::ForgetPick() {
    // The IRR grid's current cell goes back to its heading, so that no cell
    // looks picked, and the list shows its first rows.
    MSHFlexGrid2->SetCurrent(0, 0);
    MSHFlexGrid4->ClearText();
    Label14->setText(kNoClassification);
    Label13->hide();  // no prompt to pick until rates are listed again
    if (results_) results_->balances.reset();
    Publish();
}

void Form1::Publish() {
    StoreNoResults(ws_);
    if (results_) {
        StoreAnalysis(ws_, results_->analysis);
        if (results_->search) StoreSearch(ws_, *results_->search);
        if (results_->balances) StoreBalances(ws_, *results_->balances);
    }
    Command8->setEnabled(results_ && results_->search);
    for (QAction* action : exportActions_) action->setEnabled(Command8->isEnabled());
    npvProfile_->ResultsChanged();
    decide_->ResultsChanged();
}

void Form1::MSHFlexGrid1_KeyPress(int code) {
    ui::Grid* grid = MSHFlexGrid1;
    // Typing never reaches a heading or the investment cell.
    if (grid->IsFixed(grid->Row(), grid->Col())) return;
    // A cell the program moved to (Tab, Enter, a paste) is entered too.
    if (grid->Row() != enteredRow_ || grid->Col() != enteredCol_) EnterPaymentCell();
    if (code == 13) {
        // Enter ends the typing; the next payment is entered, its number kept.
        if (grid->Col() != ws_.NumPayments) grid->SetCurrent(grid->Row(), grid->Col() + 1);
        EnterPaymentCell();
    }
    grid->SetCellColor(grid->Row(), grid->Col(), kWhite);
    ws_.CellText = Std(grid->Text(grid->Row(), grid->Col()));
    ws_.KeyChar = Std(QString(QChar(code)));
    if (code == 13) return;
    // Where the user's locale writes decimal commas, the comma key (and the
    // keypad's decimal key, which sends it) types the decimal point.
    if (code == ',' && ui::DecimalComma()) code = '.';

    const TypedCell typed = TypeIntoCell(ws_.CellText, freshCell_, static_cast<char32_t>(code), Std(enteredText_));
    if (typed.outcome == TypedCell::Outcome::Refused) {
        screens_.Dialogs().Beep();
        return;
    }
    if (typed.outcome == TypedCell::Outcome::TooLarge) {
        const QString tried = freshCell_ ? QString(QChar(code)) : Q(ws_.CellText) + QChar(code);
        screens_.Dialogs().Message(ui::InLocale(tried) + " is too large for a number.", "Error!");
        return;
    }
    freshCell_ = typed.fresh;
    // A payment that changes takes the results of the old one with it.
    if (typed.text != ws_.CellText) ForgetResults();
    grid->SetText(grid->Row(), grid->Col(), Q(typed.text));
}

void Form1::ResizeGrid1() {
    const int n = ws_.NumPayments;
    ui::Grid* grid = MSHFlexGrid1;
    grid->SetCols(n + 1);
    for (int k = 0; k <= n; ++k) grid->SetText(0, k, Q(GeneralText(k)));
    grid->SetCurrent(0, n);
    enteredRow_ = enteredCol_ = -1;  // the next cell typed into is entered afresh
}

void Form1::ResizeGrid2() {
    MSHFlexGrid2->SetRows(irrRows_ + 1);
    for (int r = 1; r <= irrRows_; ++r) MSHFlexGrid2->SetText(r, 0, Q(GeneralText(r)));
}

void Form1::ResizeGrid3() {
    const int n = ws_.NumPayments;
    MSHFlexGrid3->SetCols(n);
    for (int k = 0; k < n; ++k) MSHFlexGrid3->SetText(0, k, Q(GeneralText(k)));
}

// ---- Computation -----------------------------------------------------------

std::optional<std::vector<double>> Form1::ReadSeries() {
    ui::Grid* grid = MSHFlexGrid1;
    ui::Dialogs& dialogs = screens_.Dialogs();
    std::vector<double> series;
    if (const auto investment = FiniteNumber(Std(grid->Text(1, 0)))) {
        series.push_back(*investment);
    } else {
        // The box holds only the start of a number ("", "-", "1e").
        dialogs.Message("Please enter the initial investment!", "Error!");
        dialogs.Beep();
        ui::FocusAndSelectAll(Text1);
        return std::nullopt;
    }
    for (int k = 1; k <= ws_.NumPayments; ++k) {
        const QString text = grid->Text(1, k);
        const auto value = FiniteNumber(Std(text));
        if (value) {
            series.push_back(*value);
            continue;
        }
        if (text.isEmpty()) dialogs.Message("Please fill payment(s)!", "Error!");
        else
            dialogs.Message("Payment " + QString::number(k) + " is not a number: " + text + "\rPlease complete it!",
                            "Error!");
        dialogs.Beep();
        ws_.SelCol = static_cast<std::int16_t>(k);
        grid->SetCurrent(1, k);
        grid->SetCellColor(1, k, kYellow);
        grid->setFocus();
        EnterPaymentCell();
        return std::nullopt;
    }
    return series;
}

void Form1::Command1_Click() {
    const int n = ws_.NumPayments;
    const std::optional<std::vector<double>> payments = ReadSeries();
    if (!payments) return;
    SeriesResults next;
    next.analysis = AnalyseCashFlows(*payments);
    // The periods per year in effect, for the NPV profile before any search.
    next.settings = SearchSettingsOf(ws_);
    if (!next.analysis.synthDivTop.empty()) irrRows_ = next.analysis.maxRoots;
    const AnalysisStatus status = next.analysis.status;
    // Rates, balances and classification of an earlier analysis do not
    // belong to this one; nothing of it may be searched or picked now. An
    // open NPV profile is drawn again for the new analysis.
    ForgetResults(std::move(next));
    if (status != AnalysisStatus::Ok) {
        screens_.Dialogs().Message(Q(AnalysisProblemText(status)), "Error!");
        return;
    }

    const CashFlowAnalysis& a = results_->analysis;
    Text3->setText(Q(GeneralText(a.maxRoots)));
    MSHFlexGrid2->SetRows(a.maxRoots + 1);
    MSHFlexGrid2->SetText(0, 0, " # ");
    MSHFlexGrid2->SetText(0, 1, "Value");
    ShowFitting(Text6, a.upperBound);
    for (int j = 0; j < n; ++j) MSHFlexGrid3->SetText(1, j, Q(GeneralText(a.derivative[j])));
    ResizeGrid2();
    Command3->setEnabled(true);
    Command3->setFocus();
}

void Form1::Command3_Click() {
    if (!IncrementCanAdvance(screens_, Text4)) return;
    // "Locate Root(s)" is enabled only after a good analysis of the series on screen.
    if (!results_ || !results_->analysis.Ok()) return;
    // Rates of an earlier search must not stay next to the new ones.
    for (int r = 1; r < MSHFlexGrid2->Rows(); ++r) MSHFlexGrid2->SetText(r, 1, "");
    const SearchSettings settings = SearchSettingsOf(ws_);
    RootSearch found = LocateRoots(results_->analysis, settings);
    if (!found.Searched()) {
        ForgetResults();
        return;
    }
    results_->settings = settings;
    results_->search = std::move(found);
    Publish();
    const RootSearch& search = *results_->search;
    ResizeGrid2();
    for (int r = 1; r <= static_cast<int>(search.rates.size()); ++r) {
        MSHFlexGrid2->SetCurrent(r, 1);
        MSHFlexGrid2->SetText(r, 1, Q(FormatRate(search.rates[r - 1])));
    }
    Grid2CleanUp();
    Command3->setEnabled(false);
    Label8->setEnabled(true);
    // Where the search stopped early, and the roots in range the grid missed.
    QStringList notes;
    for (const std::string& sentence : SearchNotes(results_->analysis, settings, search)) notes << Q(sentence);
    // The rates of unlisted roots stay in view: what a user is most likely to miss.
    ShowNotes(notes, Q(UnlistedRatesSentence(results_->analysis, settings, search)));
    if (search.rates.empty()) {
        // Nothing to pick: said at once, with no prompt to pick and no
        // classification left from an earlier series.
        ForgetPick();
        MSHFlexGrid1->setFocus();
        notes.prepend(kNoIrrMessage);
        screens_.Dialogs().Message(ui::NumbersInLocale(notes.join("\r")));
        return;
    }
    // No rate looks picked before a click, and the list shows its first rows.
    MSHFlexGrid2->SetCurrent(0, 0);
    MSHFlexGrid2->setEnabled(true);
    Label13->show();
    // The next step is picking a rate; the focus goes there, not to "E&xit".
    MSHFlexGrid2->setFocus();
    if (!notes.isEmpty()) screens_.Dialogs().Message(ui::NumbersInLocale(notes.join("\r")));
}

void Form1::Grid2CleanUp() {
    for (int r = 1; r <= irrRows_; ++r) {
        if (MSHFlexGrid2->Text(r, 1).isEmpty()) {
            MSHFlexGrid2->SetRows(r);
            return;
        }
    }
}

void Form1::MSHFlexGrid2_Click(int row, int col) {
    if (!results_ || !results_->HasRates()) {
        screens_.Dialogs().Message(kNoIrrMessage);
        return;
    }
    // A click on a rate or on its number picks that rate.
    if (row < 1) return;
    ws_.SelRow = static_cast<std::int16_t>(row);
    ws_.SelCol = static_cast<std::int16_t>(col);
    MSHFlexGrid2->SetCurrent(row, 1);
    Label9->setEnabled(true);
    Label10->setEnabled(true);
    MSHFlexGrid4->setEnabled(true);
    ProjectBalances();
}

// Enter or Space picks the current rate, as a click on it does.
void Form1::MSHFlexGrid2_KeyPress(int code) {
    ui::Grid* grid = MSHFlexGrid2;
    if ((code == 13 || code == ' ') && !grid->IsFixed(grid->Row(), grid->Col()))
        MSHFlexGrid2_Click(grid->Row(), grid->Col());
}

void Form1::ProjectBalances() {
    const int row = ws_.SelRow;
    if (!results_ || !results_->HasRates() || row < 1 || row > static_cast<int>(results_->search->rates.size())) return;
    const CashFlowAnalysis& a = results_->analysis;
    Balances b = ListedRateBalances(a.coefficients, a.maxRoots, *results_->search, static_cast<std::size_t>(row - 1),
                                    results_->settings.periodsPerYear);
    if (!b.computed) return;
    results_->balances = std::move(b);
    Publish();
    const Balances& shown = *results_->balances;
    const int n = a.Degree();
    ui::Grid* grid = MSHFlexGrid4;
    grid->SetRows(n + 2);
    grid->SetColWidthTwips(0, 800);
    grid->SetColWidthTwips(1, 1200);
    grid->SetText(0, 0, Q(FormatRate(shown.rate)));
    grid->SetText(0, 1, "PB(n)");
    for (int k = 0; k <= n; ++k) {
        grid->SetText(k + 1, 0, Q(GeneralText(k)));
        grid->SetText(k + 1, 1, Q(FormatBalance(shown.pb[k])));
    }
    // The periods and the balances beside the scroll bar, never cut off.
    grid->FitColumnToText(0);
    grid->FitColumnToText(1);
    Label14->setText(Q(std::string(ClassificationText(shown.type))));
}

// ---- Search parameters -----------------------------------------------------

void Form1::Option1_Click() {
    Label1->setEnabled(false);
    Text7->setEnabled(false);
    UpDown2->setEnabled(false);
    Label8->setText("IRR(s)");
    ws_.PeriodsPerYear = 1;
    Text7->setText("1");
}

void Form1::Option2_Click() {
    Label1->setEnabled(true);
    Text7->setEnabled(true);
    UpDown2->setEnabled(true);
    Label8->setText("IRR(s) API");
}

void Form1::Text7_Change() {
    const std::string text = Std(Text7->text());
    const double value = LeadingValue(text);
    if (!IsNumeric(text) || value != std::floor(value) || value < 1 || value > 53) {
        // Only whole numbers of periods the rates can be converted with.
        screens_.Dialogs().Message("Enter a whole number of periods per year from 1 to 53", "Error!");
        Text7->setText(QString::number(lastPeriods_));
        return;
    }
    lastPeriods_ = static_cast<int>(value);
    ws_.PeriodsPerYear = static_cast<std::int16_t>(lastPeriods_);
    UpDown2->SetValue(lastPeriods_);
    ForgetResults();
    MSHFlexGrid3->ClearText();
}

void Form1::Text4_Change() { CheckSearchParameter(screens_, Text4, SearchParameter::Increment); }

void Form1::Text5_Change() { CheckSearchParameter(screens_, Text5, SearchParameter::Tolerance); }

// ---- Leaving ---------------------------------------------------------------

void Form1::Command2_Click() {
    ConfirmExit(screens_, kId, "Sure you want to exit this deterministic evaluation?", "Want a stochastic simulation?",
                ScreenId::Form3);
}

void Form1::Command4_Click() { ReturnToStart(screens_, kId); }

// Closing the window by its frame goes back to the start screen.
bool Form1::FrameClosed() {
    Command4_Click();
    return false;
}

}  // namespace valmora
