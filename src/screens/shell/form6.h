// Why the stochastic screen limits the normal distribution's mean: the
// density with mean and standard deviation 400 and its area left of zero.
#pragma once

#include "screens/common/screen_manager.h"
#include "ui/screen.h"

class QLabel;
class QPushButton;

namespace valmora {

class Form6 : public ui::Screen {
public:
    static constexpr ScreenId kId = ScreenId::Form6;
    explicit Form6(ScreenManager& screens);

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
