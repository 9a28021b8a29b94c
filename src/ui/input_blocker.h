// While it lives, the program's screens take no input: clicks, keys, wheel
// turns and closing by the frame are dropped, not queued. Message boxes opened
// meanwhile still work. Paint events still run.
#pragma once

#include <QObject>

namespace valmora::ui {

class InputBlocker : public QObject {
public:
    InputBlocker();
    ~InputBlocker() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace valmora::ui
