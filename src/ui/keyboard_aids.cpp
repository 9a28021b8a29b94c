#include "ui/keyboard_aids.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QWidget>

namespace valmora::ui {
namespace {

// The widget whose surface shows the ring for `focused`: a scroll area's
// viewport covers nearly all of it, so the ring goes there.
QWidget* RingSurface(QWidget* focused) {
    if (auto* area = qobject_cast<QAbstractScrollArea*>(focused)) return area->viewport();
    return focused;
}

void UpdateRing(QWidget* widget) {
    if (!widget) return;
    widget->update();
    if (QWidget* surface = RingSurface(widget); surface != widget) surface->update();
}

}  // namespace

KeyboardAids::KeyboardAids(QObject* parent) : QObject(parent) {}

void KeyboardAids::Install() {
    static QPointer<KeyboardAids> installed;
    if (installed || !qApp) return;
    installed = new KeyboardAids(qApp);
    qApp->installEventFilter(installed);
    QObject::connect(qApp, &QApplication::focusChanged, installed, [](QWidget* old, QWidget* now) {
        UpdateRing(old);
        UpdateRing(now);
    });
}

bool KeyboardAids::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::KeyPress: return PressFocusedButton(watched, event);
        case QEvent::Paint: return PaintWithRing(watched, event);
        default: return false;
    }
}

bool KeyboardAids::PressFocusedButton(QObject* watched, QEvent* event) {
    auto* button = qobject_cast<QPushButton*>(watched);
    if (!button || !button->hasFocus() || !button->isEnabled()) return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) return false;
    if (key->modifiers() & ~Qt::KeypadModifier) return false;
    // A held key presses once, as Space does.
    if (!key->isAutoRepeat()) button->click();
    return true;
}

bool KeyboardAids::PaintWithRing(QObject* watched, QEvent* event) {
    QWidget* focused = QApplication::focusWidget();
    if (!focused || watched == painting_ || watched != RingSurface(focused)) return false;
    auto* surface = static_cast<QWidget*>(watched);
    // The control paints itself first (through any filters of its own), then
    // the ring goes on top.
    painting_ = watched;
    QCoreApplication::sendEvent(watched, event);
    painting_ = nullptr;
    QPainter painter(surface);
    QPen pen(surface->palette().color(QPalette::Active, QPalette::Highlight), kRingWidth);
    pen.setJoinStyle(Qt::MiterJoin);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    const qreal inset = kRingWidth / 2.0;
    painter.drawRect(QRectF(surface->rect()).adjusted(inset, inset, -inset, -inset));
    return true;
}

}  // namespace valmora::ui
