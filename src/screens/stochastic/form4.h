// Which IRR a simulation keeps when its series has several.
#pragma once

#include "screens/common/screen_manager.h"
#include "ui/screen.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace valmora {

class Form4 : public ui::Screen {
public:
    static constexpr ScreenId kId = ScreenId::Form4;  // the manager's name for this screen
    explicit Form4(ScreenManager& screens);

    void Form_Load() override;

    QLabel* Label1;         // what the dialog is for
    QGroupBox* Frame1;      // "Select IRR to use"
    QRadioButton* Option1;  // "Lowest IRR" (rule 1)
    QRadioButton* Option3;  // "2nd  Lowest IRR" (rule 2)
    QRadioButton* Option4;  // "3rd Lowest IRR" (rule 3)
    QRadioButton* Option2;  // "Highest IRR" (rule 4)
    QCheckBox* Check1;      // notify when the rule's IRR does not exist
    QPushButton* Command1;  // "<< &Back" to Form3

protected:
    bool FrameClosed() override;

private:
    void Command1_Click();

    ScreenManager& screens_;  // shows Form3, unloads this dialog
    Workspace& ws_;           // where the rule and the notice flag go
};

}  // namespace valmora
