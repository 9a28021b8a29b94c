// Two helps for keyboard users on every window of the program, message boxes
// and dialogs included:
// - Enter (Return or the keypad's Enter) presses the command button that has
//   the focus, as Space does;
// - the control that has the focus is drawn with a ring, whatever its colours
//   and whether or not the style shows focus for it.
#pragma once

#include <QObject>

namespace valmora::ui {

class KeyboardAids : public QObject {
public:
    // Installs the aids once for the application; later calls do nothing.
    static void Install();

    // The ring's width in pixels, drawn just inside the control's edge.
    static constexpr int kRingWidth = 2;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit KeyboardAids(QObject* parent);
    bool PressFocusedButton(QObject* watched, QEvent* event);
    bool PaintWithRing(QObject* watched, QEvent* event);

    QObject* painting_ = nullptr;
};

}  // namespace valmora::ui
