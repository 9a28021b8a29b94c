#include "ui/input_blocker.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>

#include "ui/screen.h"

namespace valmora::ui {
namespace {

bool IsInput(QEvent::Type type) {
    switch (type) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::Wheel:
        case QEvent::ContextMenu:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::Close: return true;
        default: return false;
    }
}

}  // namespace

InputBlocker::InputBlocker() { qApp->installEventFilter(this); }

InputBlocker::~InputBlocker() { qApp->removeEventFilter(this); }

bool InputBlocker::eventFilter(QObject* watched, QEvent* event) {
    if (!IsInput(event->type()) || !watched->isWidgetType()) return false;
    if (!qobject_cast<Screen*>(static_cast<QWidget*>(watched)->window())) return false;
    // A close refused, a shortcut claimed here so that no button takes it.
    if (event->type() == QEvent::ShortcutOverride) event->accept();
    else event->ignore();
    return true;
}

}  // namespace valmora::ui
