// Where the keyboard goes: the Tab order of a screen's controls, and a text
// box that refuses what was typed into it.
#pragma once

#include <QLineEdit>
#include <QWidget>

#include <initializer_list>

namespace valmora::ui {

// Tab moves through `controls` in the order given.
inline void SetTabOrder(std::initializer_list<QWidget*> controls) {
    QWidget* previous = nullptr;
    for (QWidget* control : controls) {
        if (previous) QWidget::setTabOrder(previous, control);
        previous = control;
    }
}

// Refuses the text of a box without a message: the box is emptied and keeps
// the focus, so the user types again there.
inline void RefuseText(QLineEdit* box) {
    box->setText("");
    box->setFocus();
}

}  // namespace valmora::ui
