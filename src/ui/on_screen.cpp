#include "ui/on_screen.h"

#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QStyle>
#include <QWidget>
#include <QWindow>

#include <algorithm>

namespace valmora::ui {
namespace {

const QScreen* ScreenOf(const QWidget* window) {
    if (const QScreen* screen = window->screen()) return screen;
    return QGuiApplication::primaryScreen();
}

class OnScreenKeeper : public QObject {
public:
    explicit OnScreenKeeper(QWidget* window) : QObject(window), window_(window) { window->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == window_ && event->type() == QEvent::Show) Fit();
        return false;
    }

private:
    void Fit() {
        const QRect room = ClientRoom(window_);
        if (room.isEmpty()) return;
        const QSize size = window_->size().boundedTo(room.size()).expandedTo(window_->minimumSize());
        if (size != window_->size()) window_->resize(size);
        // Where the program placed the window, it goes inside the room; the
        // window system places the others itself.
        if (!window_->testAttribute(Qt::WA_Moved)) return;
        const QMargins frame = FrameMargins(window_);
        QRect client(window_->pos() + QPoint(frame.left(), frame.top()), size);
        client.moveLeft(std::clamp(client.left(), room.left(), std::max(room.left(), room.right() - size.width() + 1)));
        client.moveTop(std::clamp(client.top(), room.top(), std::max(room.top(), room.bottom() - size.height() + 1)));
        const QPoint framePos = client.topLeft() - QPoint(frame.left(), frame.top());
        if (framePos != window_->pos()) window_->move(framePos);
    }

    QWidget* window_;
};

}  // namespace

QMargins FrameMargins(const QWidget* window) {
    if (const QWindow* handle = window->windowHandle(); handle && window->isVisible()) return handle->frameMargins();
    const QStyle* style = window->style() ? window->style() : QApplication::style();
    const int border = style->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, window);
    const int title = style->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, window);
    return QMargins(border, title + border, border, border);
}

QRect ClientRoom(const QWidget* window) {
    const QScreen* screen = ScreenOf(window);
    if (!screen) return {};
    return screen->availableGeometry().marginsRemoved(FrameMargins(window));
}

void KeepOnScreen(QWidget* window) {
    for (QObject* child : window->children())
        if (dynamic_cast<OnScreenKeeper*>(child)) return;
    new OnScreenKeeper(window);
}

}  // namespace valmora::ui
