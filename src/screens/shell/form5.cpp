#include "screens/shell/form5.h"

#include <QLabel>
#include <QPushButton>

#include "screens/shell/explanatory_pictures.h"
#include "ui/controls.h"
#include "ui/fonts.h"
#include "ui/twips.h"

namespace valmora {

Form5::Form5(ScreenManager& screens) : Screen("More Discussion of the Problem", 12375, 8565), screens_(screens) {
    QWidget* c = Client();

    Label1 = ui::NewLabel(c,
        "Investments are classified as SIMPLE or NON-SIMPLE.  Simple investments have a single sign change in the "
        "payments (as shown in the previous screen).  Nonsimple investments have more than one sign change in the "
        "payments (see the example on this screen).  Investments are additionally classified into PURE or MIXED "
        "investments.  Pure investments have a non-positive project balance as evaluated at any payment period "
        "(essentailly a discounted analysis at each payment period).  Mixed investments have some non-negative "
        "project balances as evaluated at any payment period.  The example on this screen is a non-simple, mixed "
        "investment.  Simple investments will always be pure investments.  Non-simple investments may be either "
        "pure or mixed depending upon the project balances.  Non-simple investments may also have multiple IRRs.  "
        "Project balances (evaluted by using each IRR) may lead to project balances that can be mixed or pure!",
        240, 120, 11880, 1260, ui::Arial());

    Image1 = new MixedInvestmentPicture(c);
    ui::Place(Image1, 1680, 1560, 10260, 6795);

    Command1 = ui::NewButton(c, "<< &Back", 240, 7800, 1215, 495);
    ui::SetFaceColor(Command1, QColor(255, 255, 0));
    Command1->setFocus();

    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
}

void Form5::Command1_Click() {
    screens_.Unload(kId);
    screens_.Show(ScreenId::Form2);
}

bool Form5::FrameClosed() {
    Command1_Click();
    return false;  // unloading has hidden the window already
}

}  // namespace valmora
