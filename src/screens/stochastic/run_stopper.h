// A way out of a running simulation: while it lives, the stop button is shown
// with the focus, and a click on it, Space or Enter on it, Alt+S or Esc on the
// screen ask the run to end after the current simulation. Closing the
// screen's window asks whether to stop the run and close. It sees the user's input before the input blocker that
// refuses everything else, so it must be created after that blocker.
#pragma once

#include <QObject>

class QPushButton;
class QWidget;

namespace valmora {

namespace ui {
class Dialogs;
}

class RunStopper : public QObject {
public:
    RunStopper(QPushButton* stop, QWidget* screen, ui::Dialogs& dialogs);
    ~RunStopper() override;

    bool Requested() const { return requested_; }
    // The user closed the window and chose to stop: close it once the run ends.
    bool CloseRequested() const { return closeRequested_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Request();

    QPushButton* stop_;
    QWidget* screen_;
    ui::Dialogs& dialogs_;
    bool requested_ = false;
    bool closeRequested_ = false;
};

}  // namespace valmora
