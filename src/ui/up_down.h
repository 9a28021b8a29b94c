// An up-down spinner bound to the text box to its left: each arrow (click, or
// arrow key while it has the focus) moves the value by 1 within its range,
// without wrapping, and writes it as the box's text. Assistive technology
// sees a spin box with its value and range, named as its box is unless it
// has an accessible name of its own.
#pragma once

#include <QWidget>

class QLineEdit;
class QToolButton;

namespace valmora::ui {

class UpDown : public QWidget {
    Q_OBJECT
public:
    UpDown(QLineEdit* buddy, int minimum, int maximum, QWidget* parent);

    int Value() const { return value_; }
    int Minimum() const { return minimum_; }
    int Maximum() const { return maximum_; }
    QLineEdit* Buddy() const { return buddy_; }
    // Sets the value from code (clamped) and writes it to the box.
    void SetValue(int value);
    QToolButton* UpButton() const { return up_; }
    QToolButton* DownButton() const { return down_; }

signals:
    void Changed();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void Step(int delta);
    // Writes the value into the box and tells the listeners.
    void Publish();

    QLineEdit* buddy_;
    QToolButton* up_;
    QToolButton* down_;
    int minimum_;
    int maximum_;
    int value_;
};

}  // namespace valmora::ui
