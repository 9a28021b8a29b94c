// The deterministic screen: the user types a payment series and walks the
// solver one step at a time (analysis, root location, project balances).
#pragma once

#include "screens/common/screen_manager.h"
#include "ui/screen.h"

class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace valmora {

namespace ui {
class Grid;
class UpDown;
}  // namespace ui

class Form1 : public ui::Screen {
public:
    static constexpr ScreenId kId = ScreenId::Form1;
    explicit Form1(ScreenManager& screens);

    void Form_Load() override;

    QLabel* Label3;
    QLineEdit* Text1;
    QLabel* Label2;
    QLineEdit* Text2;
    ui::UpDown* UpDown1;
    QLabel* Label1;
    QLineEdit* Text7;
    ui::UpDown* UpDown2;
    QGroupBox* Frame3;
    QRadioButton* Option1;
    QRadioButton* Option2;
    QGroupBox* Frame1;
    ui::Grid* MSHFlexGrid1;
    QLabel* Label11;
    QPushButton* Command1;
    ui::Grid* MSHFlexGrid3;
    QLabel* Label12;
    QGroupBox* Frame2;
    QLabel* Label4;
    QLineEdit* Text3;
    QLabel* Label7;
    QLineEdit* Text6;
    QLabel* Label5;
    QLineEdit* Text4;
    QLabel* Label6;
    QLineEdit* Text5;
    QPushButton* Command3;
    QFrame* Line1;
    QFrame* Line2;
    QFrame* Line6;
    QLabel* Label8;
    ui::Grid* MSHFlexGrid2;
    QLabel* Label13;
    QLabel* Label9;
    ui::Grid* MSHFlexGrid4;
    QLabel* Label10;
    QLabel* Label14;
    QPushButton* Command4;
    QPushButton* Command2;
    // "NPV Profile...": the present value against the rate, once roots are located.
    QPushButton* Command5;

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

    // Disables the IRR grid and "Locate Root(s)" and erases the results.
    void ForgetResults();

    ScreenManager& screens_;
    Workspace& ws_;
    // The periods per year last accepted, put back when a bad value is typed.
    int lastPeriods_ = 1;
};

}  // namespace valmora
