// The explanatory screens: one long label, one worked-example picture and a
// "<< &Back" button, laid out from a page of data. `Form5` and `Form6` are
// the two pages the program has.
#pragma once

#include <optional>

#include <QFont>
#include <QSize>
#include <QRect>
#include <QString>

#include "screens/common/screen_manager.h"
#include "ui/screen.h"

class QLabel;
class QPushButton;

namespace valmora {

// One explanatory screen as data; rectangles are in twips (left, top,
// width, height).
struct ExplanatoryPage {
    QString caption;                          // window title
    QSize client;                             // client area in twips
    QString text;                             // the discussion
    QRect textPlace;                          // of Label1
    QFont (*textFont)();                      // built when the screen is, after the application
    QWidget* (*newPicture)(QWidget* parent);  // makes Image1, the worked example
    QRect picturePlace;                       // of Image1
    QRect backPlace;                          // of Command1, "<< &Back"
    // The screen "<< &Back" brings to the front after unloading this one;
    // none when the opener is still shown behind it.
    std::optional<ScreenId> backTo;
    QString pictureName;  // what assistive technology reads for the picture
};

class ExplanatoryScreen : public ui::Screen {
public:
    ExplanatoryScreen(ScreenManager& screens, ScreenId id, const ExplanatoryPage& page);

    QLabel* Label1;         // the discussion
    QWidget* Image1;        // the worked example
    QPushButton* Command1;  // "<< &Back"

protected:
    // Closing the window goes back as "<< &Back" does.
    bool FrameClosed() override;

private:
    void Command1_Click();

    ScreenManager& screens_;                // unloads this screen, shows the one to go back to
    const ScreenId id_;                     // which explanatory screen this is
    const std::optional<ScreenId> backTo_;  // shown after going back, if any
};

}  // namespace valmora
