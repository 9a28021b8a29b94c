// The stochastic screen: the distribution set-up on its first tab, the
// simulation settings, the output file and the run on its second.
#pragma once

#include <optional>

#include "screens/common/screen_manager.h"
#include "screens/stochastic/run_results.h"
#include "ui/screen.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QScrollBar;
class QTabWidget;

namespace valmora {

class DistributionLink;

namespace ui {
class Grid;
class LineShape;
class UpDown;
}  // namespace ui

class Form3 : public ui::Screen {
public:
    static constexpr ScreenId kId = ScreenId::Form3;  // the manager's name for this screen
    explicit Form3(ScreenManager& screens);

    void Form_Load() override;

    // Back from the multiple-IRR dialog: the focus returns to the button
    // that opened it.
    void ReturnFromIrrSelection();

    // Above and below the tabs.
    QLabel* Label6;         // what the screen does
    QTabWidget* SSTab1;     // the two tabs
    QPushButton* Command1;  // "<< &Back" to the start screen
    QPushButton* Command2;  // "E&xit", asks first

    // Tab 0, "Distribution Parameters".
    QLabel* Label11;        // distributions may give mixed investments
    QLabel* Label1;         // "Initial investment (Po) = "
    QLineEdit* Text1;       // initial investment
    QLabel* Label2;         // "Number of equally spaced payments (Pn) = "
    QLineEdit* Text2;       // number of payments
    QScrollBar* HScroll2;   // number of payments, 1 to 72
    QLabel* Label24;        // "Number of payment/compounding periods per year =  "
    QLineEdit* Text13;      // periods per year
    ui::UpDown* UpDown2;    // steps the periods per year, up to 12
    QGroupBox* Frame1;      // "Select Distribution"
    QRadioButton* Option1;  // "Uniforn"
    QRadioButton* Option2;  // "Normal"
    QRadioButton* Option3;  // "Exponential"
    QGroupBox* Frame2;      // the chosen distribution's parameters
    QLabel* Label3;         // first parameter's name
    QLineEdit* Text3;       // lower bound or mean
    QLabel* Label4;         // second parameter's name
    QLineEdit* Text4;       // upper bound or standard deviation
    QLabel* Label25;        // normal: the mean's limit
    QPushButton* Command6;  // "Explain Why": opens Form6
    QWidget* Image1;        // exponential density formula
    QWidget* Image2;        // uniform density picture
    QWidget* Image3;        // exponential density sketch
    QGroupBox* Frame6;      // "Permit Negative Payments?" (normal only)
    QRadioButton* Option6;  // negative payments allowed
    QRadioButton* Option7;  // only positive payments
    QLabel* Label26;        // hint: go to the second tab
    ui::LineShape* Line3;   // arrow shaft from the hint to the tab
    ui::LineShape* Line4;   // arrow head, left
    ui::LineShape* Line5;   // arrow head, right

    // Tab 1, "Conduct Simulation".
    QLabel* Label12;             // summary: distribution
    QLabel* Label13;             // summary: initial investment
    QLabel* Label14;             // summary: number of payments
    QLabel* Label17;             // summary: first parameter
    QLabel* Label18;             // summary: second parameter
    QLabel* Label19;             // summary: negative payments allowed?
    QLabel* Label10;             // instructions for this tab
    QGroupBox* Frame3;           // "Simulation Parameters"
    QLabel* Label7;              // "Number of simulations = "
    QLineEdit* Text6;            // number of simulations (set by HScroll1)
    QScrollBar* HScroll1;        // number of simulations, 1 to kMaxScreenSimulations
    QLabel* Label20;             // "Increment = "
    QLineEdit* Text9;            // increment of the root scan
    QLabel* Label21;             // "Tolerance = "
    QLineEdit* Text10;           // tolerance of Newton's method
    QPushButton* Command5;       // "For multiple IRRs, select IRR": opens Form4
    QGroupBox* Frame4;           // "Output File Location"
    QRadioButton* Option4;       // "Save to file"
    QRadioButton* Option5;       // "DO NOT save to file"
    QPushButton* Command3;       // "Select Path\Filename": the save dialog
    QLabel* Label9;              // the output choice and file
    QGroupBox* Frame5;           // "Perform Simulation"
    QPushButton* Command4;       // "Begin Simulation(s)": the run
    QLabel* Label8;              // "Progress Bar"
    QProgressBar* ProgressBar1;  // share of the run done
    QLabel* Label22;             // "Payment coefficients with 1st dervative underneath"
    ui::Grid* MSHFlexGrid1;      // payments (row 1) and derivative (row 2)
    QLabel* Label15;             // "IRRs"
    ui::Grid* MSHFlexGrid2;      // IRRs of the simulation shown
    QLabel* Label23;             // "Mean IRR"
    QLineEdit* Text7;            // running mean IRR
    QLabel* Label16;             // "IRRs Sent to File"
    QLineEdit* Text8;            // last IRR written to the file
    // How many simulations of the run found no IRR, beside the mean.
    QLabel* Label27;    // "Without an IRR"
    QLineEdit* Text11;  // simulations that found no IRR

    QPushButton* Command7;  // "IRR &Distribution...": the kept IRRs of the last run
    QPushButton* Command8;  // "&Stop", shown only while a run goes
    QLabel* Label28;        // "Seed (empty: clock) = "
    QLineEdit* Text14;      // seed of a reproducible run; empty to seed from the clock
    QLabel* Label29;        // "Hurdle rate (optional) = "
    QLineEdit* Text15;      // hurdle rate R: each simulation's NPV at R; empty for none

    static const QString kFileFilter;  // the save dialog's file-type filter

protected:
    bool FrameClosed() override;
    void showEvent(QShowEvent* event) override;

private:
    class RunDisplay;

    void BuildFrame();
    void BuildSetupTab(QWidget* tab);
    void BuildSimulationTab(QWidget* tab);
    // The hurdle rate's label and box on the simulation tab (form3_hurdle.cpp).
    void BuildHurdle(QWidget* tab);
    // The hurdle rate typed: nothing for an empty box; false (said) when
    // the box holds no rate a run can use.
    bool ReadHurdle(std::optional<double>& hurdle);
    // The closing note on the NPVs at the hurdle rate; empty without one.
    QString HurdleNote(const RunOutcome& outcome) const;
    void Connect();

    // Back and Exit.
    void Command1_Click();
    void Command2_Click();

    // Distribution set-up.
    void Text1_Change();
    void Text2_Change();
    void Text13_Change();
    void HScroll2_Change();
    void Text3_Change();
    void Text4_Change();
    void Option1_Click();
    void Option2_Click();
    void Option3_Click();
    void ShowDistribution(Distribution type);
    void Option6_Click();
    void Option7_Click();
    void Command6_Click();
    void ResizeGrid1();
    void SSTab1_Click();
    void CheckTabZero();
    void ShowParameters();
    void PointHintArrowAtTab();

    // Simulation settings and output.
    void HScroll1_Change();
    void Text6_Change();
    void Text9_Change();
    void Text10_Change();
    void Option4_Click();
    void Option5_Click();
    void Command3_Click();
    void ShowOutputPath(const QString& path);
    void Command5_Click();

    // The run.
    void Command4_Click();
    void ClearRunDisplay();
    // After any change of an input: once the settings on screen differ from
    // those of the last run, its display is erased and the distribution view
    // says that it shows the last run.
    void FollowInputs();
    void ShowOutcome(const RunOutcome& outcome);

    ScreenManager& screens_;                    // shows, hides and unloads screens; dialogs
    Workspace& ws_;                             // the settings the run reads, and its results
    bool fileChosen_ = false;                   // the save dialog returned a file since "Save to file" was chosen
    RunResults run_;                            // the last run: its settings, last simulation, counts and outcome
    bool runShown_ = false;                     // the run display shows run_
    DistributionLink* distribution_ = nullptr;  // the IRR distribution view of run_
};

}  // namespace valmora
