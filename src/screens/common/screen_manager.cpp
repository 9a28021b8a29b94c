#include "screens/common/screen_manager.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>

#include "ui/dialogs.h"
#include "ui/screen.h"

namespace valmora {

ScreenManager::ScreenManager(Workspace& ws, ui::Dialogs& dialogs) : ws_(ws), dialogs_(dialogs) {
    QElapsedTimer steady;
    steady.start();
    clock_ = [steady] { return steady.elapsed(); };
}

ScreenManager::~ScreenManager() {
    for (ui::Screen*& screen : screens_) {
        delete screen;
        screen = nullptr;
    }
}

void ScreenManager::Register(ScreenId id, Factory factory) { factories_[Index(id)] = std::move(factory); }

ui::Screen* ScreenManager::Load(ScreenId id) {
    ui::Screen*& screen = screens_[Index(id)];
    if (!screen && factories_[Index(id)]) {
        screen = factories_[Index(id)](*this);
        screen->Form_Load();
    }
    return screen;
}

void ScreenManager::Return(ScreenId to, ScreenId leaving) {
    Show(to);
    if (ui::Screen* screen = Find(to)) screen->ReturnedTo();
    Unload(leaving);
}

void ScreenManager::Show(ScreenId id) {
    ui::Screen* loaded = Load(id);
    if (!loaded) return;
    ui::Screen& screen = *loaded;
    if (!screen.CentredOnce()) {
        screen.adjustSize();
        if (const QScreen* display = QGuiApplication::primaryScreen()) {
            QRect area = display->availableGeometry();
            QRect frame = screen.frameGeometry();
            frame.moveCenter(area.center());
            screen.move(frame.topLeft());
        }
        screen.MarkCentred();
    }
    screen.show();
    screen.raise();
    screen.activateWindow();
}

void ScreenManager::Hide(ScreenId id) {
    if (ui::Screen* screen = Find(id)) screen->hide();
    QTimer::singleShot(0, this, [this] { CheckSomethingVisible(); });
}

void ScreenManager::Unload(ScreenId id) {
    ui::Screen*& screen = screens_[Index(id)];
    if (!screen) return;
    screen->hide();
    screen->deleteLater();  // it may be running the handler that unloads it
    screen = nullptr;
    QTimer::singleShot(0, this, [this] { CheckSomethingVisible(); });
}

void ScreenManager::End() {
    if (ended_) return;
    ended_ = true;
    for (ui::Screen*& screen : screens_) {
        if (!screen) continue;
        screen->hide();
        screen->deleteLater();
        screen = nullptr;
    }
    dialogs_.EndProgram();
}

// The program never runs on without a window the user can reach.
void ScreenManager::CheckSomethingVisible() {
    if (ended_) return;
    for (const ui::Screen* screen : screens_)
        if (screen && screen->isVisible()) return;
    End();
}

}  // namespace valmora
