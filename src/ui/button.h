// A command button whose caption wraps onto several lines when it does not
// fit on one, as the screens' tall buttons need.
#pragma once

#include <QPushButton>

namespace valmora::ui {

class Button : public QPushButton {
public:
    using QPushButton::QPushButton;

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace valmora::ui
