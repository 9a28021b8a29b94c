// The stochastic screen: the distribution set-up on its first tab, the
// simulation settings, the output file and the run on its second.
#pragma once

#include "screens/common/screen_manager.h"
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
struct RunOutcome;

namespace ui {
class Grid;
class LineShape;
class UpDown;
}  // namespace ui

class Form3 : public ui::Screen {
public:
    static constexpr ScreenId kId = ScreenId::Form3;
    explicit Form3(ScreenManager& screens);

    void Form_Load() override;

    // Above and below the tabs.
    QLabel* Label6;
    QTabWidget* SSTab1;
    QPushButton* Command1;
    QPushButton* Command2;

    // Tab 0, "Distribution Parameters".
    QLabel* Label11;
    QLabel* Label1;
    QLineEdit* Text1;
    QLabel* Label2;
    QLineEdit* Text2;
    QScrollBar* HScroll2;
    QLabel* Label24;
    QLineEdit* Text13;
    ui::UpDown* UpDown2;
    QGroupBox* Frame1;
    QRadioButton* Option1;
    QRadioButton* Option2;
    QRadioButton* Option3;
    QGroupBox* Frame2;
    QLabel* Label3;
    QLineEdit* Text3;
    QLabel* Label4;
    QLineEdit* Text4;
    QLabel* Label25;
    QPushButton* Command6;
    QWidget* Image1;
    QWidget* Image2;
    QWidget* Image3;
    QGroupBox* Frame6;
    QRadioButton* Option6;
    QRadioButton* Option7;
    QLabel* Label26;
    ui::LineShape* Line3;
    ui::LineShape* Line4;
    ui::LineShape* Line5;

    // Tab 1, "Conduct Simulation".
    QLabel* Label12;
    QLabel* Label13;
    QLabel* Label14;
    QLabel* Label17;
    QLabel* Label18;
    QLabel* Label19;
    QLabel* Label10;
    QGroupBox* Frame3;
    QLabel* Label7;
    QLineEdit* Text6;
    QScrollBar* HScroll1;
    QLabel* Label20;
    QLineEdit* Text9;
    QLabel* Label21;
    QLineEdit* Text10;
    QPushButton* Command5;
    QGroupBox* Frame4;
    QRadioButton* Option4;
    QRadioButton* Option5;
    QPushButton* Command3;
    QLabel* Label9;
    QGroupBox* Frame5;
    QPushButton* Command4;
    QLabel* Label8;
    QProgressBar* ProgressBar1;
    QLabel* Label22;
    ui::Grid* MSHFlexGrid1;
    QLabel* Label15;
    ui::Grid* MSHFlexGrid2;
    QLabel* Label23;
    QLineEdit* Text7;
    QLabel* Label16;
    QLineEdit* Text8;
    // How many simulations of the run found no IRR, beside the mean.
    QLabel* Label27;
    QLineEdit* Text11;

    // Below the tabs: the distribution of the IRRs of the last run, and the
    // way to stop a run (shown only while one goes).
    QPushButton* Command7;
    QPushButton* Command8;

    // Tab 1: the seed of a reproducible run; empty to seed from the clock.
    QLabel* Label28;
    QLineEdit* Text14;

    // The save dialog's file-type filter.
    static const QString kFileFilter;

protected:
    bool FrameClosed() override;
    void showEvent(QShowEvent* event) override;

private:
    class RunDisplay;

    void BuildFrame();
    void BuildSetupTab(QWidget* tab);
    void BuildSimulationTab(QWidget* tab);
    void Connect();

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
    void ShowDistribution(int type);
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
    void Command5_Click();
    void Command1_Click();
    void Command2_Click();

    // The run.
    void Command4_Click();
    void ShowOutcome(const RunOutcome& outcome);

    ScreenManager& screens_;
    Workspace& ws_;
    DistributionLink* distribution_ = nullptr;
};

}  // namespace valmora
