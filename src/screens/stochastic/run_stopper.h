// A way out of a running simulation: while it lives, the stop button is shown
// and a click on it, or Esc on the screen, asks the run to end after the
// current simulation. It sees the user's input before the input blocker that
// refuses everything else, so it must be created after that blocker.
#pragma once

#include <QObject>

class QPushButton;
class QWidget;

namespace valmora {

class RunStopper : public QObject {
public:
    RunStopper(QPushButton* stop, QWidget* screen);
    ~RunStopper() override;

    bool Requested() const { return requested_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Request();

    QPushButton* stop_;
    QWidget* screen_;
    bool requested_ = false;
};

}  // namespace valmora
