// The start screen: what an IRR is, the worked example, and the choice
// between the deterministic and the stochastic evaluation.
#pragma once

#include "screens/common/screen_manager.h"
#include "ui/screen.h"

class QAction;
class QGroupBox;
class QLabel;
class QMenuBar;
class QPushButton;
class QRadioButton;

namespace valmora {

class Form2 : public ui::Screen {
public:
    static constexpr ScreenId kId = ScreenId::Form2;
    explicit Form2(ScreenManager& screens);

    void Form_Load() override;

    // What an evaluation screen's "<< &Back" does here before it unloads:
    // show this screen, focus "E&xit", clear both mode options.
    void ReturnFromEvaluation();
    // Reveals the mode choice ("Continue", or a correct login).
    void RevealModeChoice();

    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    QWidget* Image1;
    QWidget* Image2;
    QPushButton* Command3;
    QGroupBox* Frame1;
    QRadioButton* Option1;
    QRadioButton* Option2;
    QPushButton* Command1;
    QPushButton* Command2;
    QMenuBar* MenuBar;
    QAction* MExit;
    QAction* MAboutIRR;

protected:
    bool FrameClosed() override;

private:
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Option1_Click();
    void Option2_Click();
    void MExit_Click();
    void MAboutIRR_Click();

    ScreenManager& screens_;
};

}  // namespace valmora
