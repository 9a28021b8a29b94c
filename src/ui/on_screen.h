// Windows no larger than the screen they open on: the area a window's
// client may take there, and a window kept inside it.
#pragma once

#include <QMargins>
#include <QRect>

class QWidget;

namespace valmora::ui {

// The frame the window system puts around `window`: the real one once the
// window is shown, until then a title bar and borders as the style draws
// them (a little more than many window systems take: the window is then a
// little smaller, never larger).
QMargins FrameMargins(const QWidget* window);

// The room for the client area of `window` (its geometry without the frame)
// inside the available area of its screen (QScreen::availableGeometry: no
// panels, no task bar).
QRect ClientRoom(const QWidget* window);

// Each time `window` is shown it is made no larger than its room (down to
// its minimum size) and, once it has been placed by the program, moved to
// lie inside it.
void KeepOnScreen(QWidget* window);

}  // namespace valmora::ui
