// The discussion of investment types and project balances, opened from the
// start screen, with its worked example of a nonsimple, mixed investment.
#pragma once

#include "screens/common/screen_manager.h"
#include "ui/screen.h"

class QLabel;
class QPushButton;

namespace valmora {

class Form5 : public ui::Screen {
public:
    static constexpr ScreenId kId = ScreenId::Form5;
    explicit Form5(ScreenManager& screens);

    QLabel* Label1;
    QWidget* Image1;
    QPushButton* Command1;

protected:
    // Closing the window goes back as "<< &Back" does.
    bool FrameClosed() override;

private:
    void Command1_Click();

    ScreenManager& screens_;
};

}  // namespace valmora
