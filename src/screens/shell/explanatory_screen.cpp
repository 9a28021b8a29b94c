#include "screens/shell/explanatory_screen.h"

#include <QLabel>
#include <QPushButton>

#include "ui/controls.h"
#include "ui/twips.h"

namespace valmora {

ExplanatoryScreen::ExplanatoryScreen(ScreenManager& screens, ScreenId id, const ExplanatoryPage& page)
    : Screen(page.caption, page.client.width(), page.client.height()),
      screens_(screens),
      id_(id),
      backTo_(page.backTo) {
    QWidget* c = Client();
    const QRect& t = page.textPlace;
    Label1 = ui::NewLabel(c, page.text, t.x(), t.y(), t.width(), t.height(), page.textFont());

    Image1 = page.newPicture(c);
    const QRect& p = page.picturePlace;
    ui::Place(Image1, p.x(), p.y(), p.width(), p.height());
    Image1->setAccessibleName(page.pictureName);

    const QRect& b = page.backPlace;
    Command1 = ui::NewButton(c, "<< &Back", b.x(), b.y(), b.width(), b.height());
    ui::SetFaceColor(Command1, QColor(255, 255, 0));
    Command1->setFocus();

    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
}

void ExplanatoryScreen::Command1_Click() {
    screens_.Unload(id_);
    if (backTo_) screens_.Show(*backTo_);
}

bool ExplanatoryScreen::FrameClosed() {
    Command1_Click();
    return false;  // unloading has hidden the window already
}

}  // namespace valmora
