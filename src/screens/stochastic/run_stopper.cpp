#include "screens/stochastic/run_stopper.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>

#include "ui/dialogs.h"

namespace valmora {

RunStopper::RunStopper(QPushButton* stop, QWidget* screen, ui::Dialogs& dialogs)
    : stop_(stop), screen_(screen), dialogs_(dialogs) {
    stop_->setText("&Stop");
    stop_->setEnabled(true);
    stop_->show();
    stop_->setFocus();
    qApp->installEventFilter(this);
}

RunStopper::~RunStopper() {
    qApp->removeEventFilter(this);
    stop_->hide();
}

void RunStopper::Request() {
    if (requested_) return;
    requested_ = true;
    stop_->setText("Stopping...");
    stop_->setEnabled(false);
}

bool RunStopper::eventFilter(QObject* watched, QEvent* event) {
    if (!watched->isWidgetType()) return false;
    switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
            if (watched != stop_) return false;
            if (event->type() == QEvent::MouseButtonRelease &&
                static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton &&
                stop_->rect().contains(static_cast<QMouseEvent*>(event)->position().toPoint()))
                Request();
            return true;
        case QEvent::KeyPress: {
            if (static_cast<QWidget*>(watched)->window() != screen_) return false;
            const auto* key = static_cast<QKeyEvent*>(event);
            const bool onStop = watched == stop_ && (key->key() == Qt::Key_Space || key->key() == Qt::Key_Return ||
                                                     key->key() == Qt::Key_Enter);
            const bool altS = key->key() == Qt::Key_S && (key->modifiers() & Qt::AltModifier);
            if (key->key() != Qt::Key_Escape && !onStop && !altS) return false;
            Request();
            return true;
        }
        case QEvent::Close: {
            if (watched != screen_) return false;
            event->ignore();
            if (!requested_ &&
                dialogs_.AskYesNo("A simulation run is going. Stop it and close the window?", "Stop the run?")) {
                Request();
                closeRequested_ = true;
            }
            return true;
        }
        default: return false;
    }
}

}  // namespace valmora
