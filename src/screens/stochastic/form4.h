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
    static constexpr ScreenId kId = ScreenId::Form4;
    explicit Form4(ScreenManager& screens);

    void Form_Load() override;

    QLabel* Label1;
    QGroupBox* Frame1;
    QRadioButton* Option1;
    QRadioButton* Option3;
    QRadioButton* Option4;
    QRadioButton* Option2;
    QCheckBox* Check1;
    QPushButton* Command1;

protected:
    bool FrameClosed() override;

private:
    void Command1_Click();

    ScreenManager& screens_;
    Workspace& ws_;
};

}  // namespace valmora
