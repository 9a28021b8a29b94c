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
    static constexpr ScreenId kId = ScreenId::Form2;  // the manager's name for this screen
    explicit Form2(ScreenManager& screens);

    void Form_Load() override;

    // Back from an evaluation screen: focus "E&xit", clear both mode options.
    void ReturnedTo() override;
    // Reveals the mode choice ("Continue", or a correct login).
    void RevealModeChoice();

    QLabel* Label1;         // what an IRR is
    QLabel* Label2;         // the equation the program solves
    QLabel* Label3;         // how a stochastic evaluation goes
    QLabel* Label4;         // deterministic or stochastic payments
    QWidget* Image1;        // picture of the equation
    QWidget* Image2;        // cash-flow diagram of the example
    QPushButton* Command3;  // "More Discussion of IRRs, ...": opens Form5
    QGroupBox* Frame1;      // the mode choice, hidden until revealed
    QRadioButton* Option1;  // "Deterministic (manual)"
    QRadioButton* Option2;  // "Stochastic (select distribution)"
    QPushButton* Command1;  // "Continue": reveals the mode choice
    QPushButton* Command2;  // "E&xit", asks first
    QMenuBar* MenuBar;      // File and About menus
    QAction* MExit;         // File > "E&xit", at once
    QAction* MAboutIRR;     // opens the About box

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

    ScreenManager& screens_;  // shows, hides and unloads screens; dialogs
};

}  // namespace valmora
