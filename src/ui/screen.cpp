#include "ui/screen.h"

#include <QCloseEvent>
#include <QMenuBar>
#include <QVBoxLayout>

#include "ui/fonts.h"
#include "ui/keyboard_aids.h"
#include "ui/twips.h"

namespace valmora::ui {

Screen::Screen(const QString& caption, int clientWidthTwips, int clientHeightTwips) {
    KeyboardAids::Install();
    setWindowTitle(caption);
    setFont(SansSerif());
    layout_ = new QVBoxLayout(this);
    layout_->setContentsMargins(0, 0, 0, 0);
    layout_->setSpacing(0);
    layout_->setSizeConstraint(QLayout::SetFixedSize);
    client_ = new QWidget(this);
    client_->setFixedSize(TwipsSize(clientWidthTwips, clientHeightTwips));
    layout_->addWidget(client_);
}

void Screen::SetMenuBar(QMenuBar* menuBar) { layout_->setMenuBar(menuBar); }

void Screen::closeEvent(QCloseEvent* event) {
    if (FrameClosed()) event->accept();
    else event->ignore();
}

}  // namespace valmora::ui
