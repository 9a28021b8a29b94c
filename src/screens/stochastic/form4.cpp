#include "screens/stochastic/form4.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include "screens/stochastic/form3.h"
#include "ui/controls.h"
#include "ui/focus.h"
#include "ui/fonts.h"

namespace valmora {

Form4::Form4(ScreenManager& screens)
    : Screen("Multiple IIR Selection", 7080, 3960), screens_(screens), ws_(screens.Ws()) {
    QWidget* c = Client();
    Label1 = ui::NewLabel(c,
                          "If multiple IRRs exist, select which to be sent to file.  IRRs will always be "
                          "non-negative.",
                          240, 120, 6600, 435);
    Frame1 = ui::NewFrame(c, "Select IRR to use", 240, 600, 6600, 1695, ui::SansSerif());
    Option1 = ui::NewOption(Frame1, "Lowest IRR", 360, 300, 3600, 285);
    Option3 = ui::NewOption(Frame1, "2nd  Lowest IRR", 360, 630, 3600, 285);
    Option4 = ui::NewOption(Frame1, "3rd Lowest IRR", 360, 960, 3600, 285);
    Option2 = ui::NewOption(Frame1, "Highest IRR", 360, 1290, 3600, 285);
    Check1 = ui::NewCheckBox(c, "Notify me if the program must use an IRR other than the one specified above.", 240,
                             2460, 6600, 375);
    Command1 = ui::NewButton(c, "<< &Back", 240, 3120, 1455, 495);
    ui::SetFaceColor(Command1, QColor(255, 255, 0));

    // Each option stores the code of its rule.
    const std::pair<QRadioButton*, std::int16_t> codes[] = {{Option1, 1}, {Option3, 2}, {Option4, 3}, {Option2, 4}};
    for (const auto& [option, code] : codes)
        connect(option, &QRadioButton::toggled, this, [this, code = code](bool on) {
            if (on) ws_.IrrChoice = code;
        });
    connect(Check1, &QCheckBox::toggled, this, [this](bool on) { ws_.NotifyOtherIrr = on; });
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });

    ui::SetTabOrder({Command1, Option1, Option3, Option4, Option2, Check1});
}

// Every opening starts afresh: the lowest IRR, no notice.
void Form4::Form_Load() {
    ws_.IrrChoice = 1;
    ws_.NotifyOtherIrr = false;
}

void Form4::Command1_Click() {
    screens_.Show(ScreenId::Form3);
    if (Form3* form3 = screens_.Find<Form3>()) form3->ReturnFromIrrSelection();
    screens_.Unload(kId);
}

// Closing the dialog by its frame goes back, as "<< &Back" does.
bool Form4::FrameClosed() {
    Command1_Click();
    return false;
}

}  // namespace valmora
