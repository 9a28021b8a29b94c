#include "screens/stochastic/run_stopper.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>

namespace valmora {

RunStopper::RunStopper(QPushButton* stop, QWidget* screen) : stop_(stop), screen_(screen) {
    stop_->setText("&Stop");
    stop_->setEnabled(true);
    stop_->show();
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
        case QEvent::KeyPress:
            if (static_cast<QKeyEvent*>(event)->key() != Qt::Key_Escape) return false;
            if (static_cast<QWidget*>(watched)->window() != screen_) return false;
            Request();
            return true;
        default: return false;
    }
}

}  // namespace valmora
