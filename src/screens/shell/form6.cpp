#include "screens/shell/form6.h"

#include <QLabel>
#include <QPushButton>

#include "screens/shell/explanatory_pictures.h"
#include "ui/controls.h"
#include "ui/fonts.h"
#include "ui/twips.h"

namespace valmora {

Form6::Form6(ScreenManager& screens) : Screen("Normal Probability Distribution", 10830, 9255), screens_(screens) {
    QWidget* c = Client();

    Label1 = ui::NewLabel(c,
        "Discussion - In a normal distribution, the ratio of the mean to the stardard deviation (SD) affects the "
        "random generation of negative payments.  Consider the normal density function shown below with the mean = "
        "400 and the SD = 400.  The CDF shows the area under the curve left of zero to be 15.9% meaning 15.9% of "
        "randomly generated payments using these parameters will be negative.  A user may find generation of "
        "negative payments to be unacceptable.  This program permits means that are no less than one (1) SD "
        "greater than zero.  Additionally, the user may check a box stipulating that no negative payments be "
        "generated.",
        240, 120, 10365, 1440, ui::SansSerif(9.75));

    Image1 = new NormalDensityPicture(c);
    ui::Place(Image1, 480, 1800, 9780, 6585);

    Command1 = ui::NewButton(c, "<< &Back", 240, 8640, 1335, 495);
    ui::SetFaceColor(Command1, QColor(255, 255, 0));
    Command1->setFocus();

    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
}

// The stochastic screen that opened this one is still shown behind it.
void Form6::Command1_Click() { screens_.Unload(kId); }

bool Form6::FrameClosed() {
    Command1_Click();
    return false;  // unloading has hidden the window already
}

}  // namespace valmora
