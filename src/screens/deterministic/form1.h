// The deterministic screen: the user types a payment series and walks the
// solver one step at a time (analysis, root location, project balances).
#pragma once

#include <QStringList>

#include <optional>
#include <span>
#include <vector>

#include "screens/common/screen_manager.h"
#include "screens/deterministic/series_results.h"
#include "ui/screen.h"

class QFrame;
class QGroupBox;
class QLabel;
class QAction;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace valmora {

class DecideLink;
class NpvProfileLink;
namespace ui {
class Grid;
class UpDown;
}  // namespace ui

// The most payments the screen takes; longer series are for valmora-cli.
inline constexpr int kMostScreenPayments = 72;

class Form1 : public ui::Screen {
public:
    static constexpr ScreenId kId = ScreenId::Form1;  // the manager's name for this screen
    explicit Form1(ScreenManager& screens);

    void Form_Load() override;

    QLabel* Label3;          // "Initial investment  =  "
    QLineEdit* Text1;        // initial investment P0
    QLabel* Label2;          // "Number of payments = "
    QLineEdit* Text2;        // number of payments, set through UpDown1
    ui::UpDown* UpDown1;     // steps the number of payments, 1 to 72
    QLabel* Label1;          // "Compunding / payment periods per year = "
    QLineEdit* Text7;        // periods per year
    ui::UpDown* UpDown2;     // steps the periods per year, 1 to 53
    QGroupBox* Frame3;       // "Select Type of IRR"
    QRadioButton* Option1;   // "Straight IRR": rates per period
    QRadioButton* Option2;   // "Convert IRR to API": rates times periods per year
    QGroupBox* Frame1;       // payments and derivative
    ui::Grid* MSHFlexGrid1;  // payment grid: investment and payments
    QLabel* Label11;         // "Payment Array"
    QPushButton* Command1;   // "Payments entered...": runs the cash-flow analysis
    ui::Grid* MSHFlexGrid3;  // derivative coefficients
    QLabel* Label12;         // "1st Derivative"
    QGroupBox* Frame2;       // "Compute Solutions"
    QLabel* Label4;          // "Maximum # of positive real roots =  "
    QLineEdit* Text3;        // sign changes: most positive roots (output)
    QLabel* Label7;          // "Upper Bound on root(s) ..."
    QLineEdit* Text6;        // upper bound on the roots (output)
    QLabel* Label5;          // "Increment = "
    QLineEdit* Text4;        // increment of the root scan
    QLabel* Label6;          // "Newton's Method tolerance"
    QLineEdit* Text5;        // tolerance of Newton's method
    QPushButton* Command3;   // "Locate Root(s)"
    QFrame* Line1;           // divides the search from the IRRs
    QFrame* Line2;           // divides increment from tolerance
    QFrame* Line6;           // divides the IRRs from the balances
    QLabel* Label8;          // IRR grid heading, "IRR(s)" or "IRR(s) API"
    ui::Grid* MSHFlexGrid2;  // IRR grid: the rates found, click one for balances
    QLabel* Label13;         // "Select an IRR to compute the project balances"
    QLabel* Label9;          // "Project Balances"
    ui::Grid* MSHFlexGrid4;  // project balances grid
    QLabel* Label10;         // "Type of Investment:"
    QLabel* Label14;         // the investment's classification
    QPushButton* Command4;   // "<< &Back" to the start screen
    QPushButton* Command2;   // "E&xit"
    QPushButton* Command5;   // "NPV &Profile...": the present value against the rate, once the series is analysed
    QLabel* Label15;         // under the IRR grid: the rates of roots the scan did not list
    QPushButton* Command6;   // "&Open...": reads a series from a CSV file (Ctrl+O)
    QPushButton* Command7;   // "&Save...": writes the series as a CSV file (Ctrl+S)
    QPushButton* Command8;   // "&Export...": the series, rates, balances and notes as CSV
    QPushButton* Command9;   // "&Decide...": NPV, MIRR, paybacks and each IRR's verdict at a hurdle rate

protected:
    bool FrameClosed() override;

private:
    void BuildControls();
    void Connect();

    void Text1_Change();
    void Text2_Change();
    void UpDown1_Change();
    void MSHFlexGrid1_EnterCell();
    void MSHFlexGrid1_Click(int row, int col);
    void MSHFlexGrid1_KeyPress(int code);
    void MSHFlexGrid1_EditCell();
    // The current payment cell counts as just entered: its text is kept for
    // Esc and the next key typed replaces it.
    void EnterPaymentCell();
    void ResizeGrid1();
    void ResizeGrid2();
    void ResizeGrid3();

    void Command1_Click();
    void Command3_Click();
    void MSHFlexGrid2_Click(int row, int col);
    void ProjectBalances();
    void Grid2CleanUp();
    void Option1_Click();
    void Option2_Click();
    void Text7_Change();
    void Text4_Change();
    void Text5_Change();
    void Command2_Click();
    void Command4_Click();

    // Drops the results (keeping `next` instead, a new analysis), disables
    // the IRR grid and "Locate Root(s)" and erases what was drawn from them.
    void ForgetResults(std::optional<SeriesResults> next = std::nullopt);
    // After any change of results_: mirrors them into the workspace and
    // tells the NPV profile.
    void Publish();

    ScreenManager& screens_;  // shows, hides and unloads screens; dialogs
    Workspace& ws_;           // the evaluation workspace: inputs, and a mirror of results_
    // The periods per year last accepted, put back when a bad value is typed.
    int lastPeriods_ = 1;
    // The last analysis with its search and balances, for the inputs on
    // screen; empty once any of them changes.
    std::optional<SeriesResults> results_;
    // Rows of rates in the IRR grid: the most positive roots of the last analysis.
    int irrRows_ = 1;
    NpvProfileLink* npvProfile_ = nullptr;  // "NPV Profile..." and its window
    DecideLink* decide_ = nullptr;          // "Decide..." and its window

    // Erases the balances and the classification, and leaves no rate of the
    // IRR grid looking picked.
    void ForgetPick();
    void MSHFlexGrid2_KeyPress(int code);

    // The series on screen, P0 first, when the investment box and every
    // payment cell hold a number; otherwise says which does not, marks it
    // and gives it the focus.
    std::optional<std::vector<double>> ReadSeries();

    // Series in and out (form1_series.cpp).
    void BuildSeriesCommands();
    std::optional<std::vector<double>> CopiedNumbers();
    void PastePayments();        // Ctrl+V, Shift+Insert or "Paste" in the payment grid
    bool PasteIntoInvestment();  // Ctrl+V into the investment box; false leaves it to the box
    void OpenSeries();
    void SaveSeries();
    void CopyGrid(const ui::Grid* grid);  // tab-separated, headings included
    void ExportResults();
    // Puts a whole series on screen: the investment as the box shows it,
    // then the payments; one change of the inputs.
    void ShowSeries(double investment, std::span<const double> payments);
    // Ctrl+V, Shift+Insert and "Paste" of the investment box take several
    // numbers as a whole series.
    bool eventFilter(QObject* watched, QEvent* event) override;
    // The notes on the search in the line under the IRR grid: `line`, or
    // else the first note; all of them in its tool tip.
    void ShowNotes(const QStringList& notes, QString line = {});
    QList<QAction*> exportActions_;  // "Export Results..." of the result grids' menus

    // The payment cell being typed into, its text when entered, and whether
    // the next key replaces that text.
    int enteredRow_ = -1;
    int enteredCol_ = -1;
    QString enteredText_;
    bool freshCell_ = true;
};

}  // namespace valmora
