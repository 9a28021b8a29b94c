// The screens of the program: loading, showing, hiding and unloading them,
// and ending the program. One manager and one evaluation workspace live for
// the whole process.
#pragma once

#include <QObject>

#include <array>
#include <functional>
#include <utility>

#include "core/workspace/workspace.h"

namespace valmora {

class RandomPayments;

namespace ui {
class Dialogs;
class Screen;
}  // namespace ui

enum class ScreenId { Form1, Form2, Form3, Form4, Form5, Form6, About, Login };
inline constexpr int kScreenCount = 8;

class ScreenManager : public QObject {
public:
    using Factory = std::function<ui::Screen*(ScreenManager&)>;

    ScreenManager(Workspace& ws, ui::Dialogs& dialogs);
    ~ScreenManager() override;

    void Register(ScreenId id, Factory factory);

    Workspace& Ws() { return ws_; }
    ui::Dialogs& Dialogs() { return dialogs_; }
    // The program's one random payment generator.
    RandomPayments& Random() { return *random_; }
    void SetRandom(RandomPayments& random) { random_ = &random; }
    // Milliseconds on a steady clock, for the screens' redraw pacing; tests
    // set their own clock instead of waiting.
    qint64 NowMs() const { return clock_(); }
    void SetClock(std::function<qint64()> clock) { clock_ = std::move(clock); }

    // Creates the screen and runs its load handler, unless it is loaded.
    // Nothing when no such screen is registered.
    ui::Screen* Load(ScreenId id);
    // Loads the screen, shows it (centred the first time) and brings it to the front.
    void Show(ScreenId id);
    void Hide(ScreenId id);
    // Shows `to` again, tells it the user came back (ReturnedTo), and
    // unloads `leaving`.
    void Return(ScreenId to, ScreenId leaving);
    // Hides the screen and forgets it; the next Show loads it afresh.
    void Unload(ScreenId id);
    ui::Screen* Find(ScreenId id) const { return screens_[Index(id)]; }
    bool IsLoaded(ScreenId id) const { return Find(id) != nullptr; }

    template <class T>
    T& Get() {
        return *static_cast<T*>(Load(T::kId));
    }
    template <class T>
    T* Find() const {
        return static_cast<T*>(Find(T::kId));
    }

    // Ends the program at once: every window closes, no handler runs.
    void End();
    bool Ended() const { return ended_; }

private:
    static int Index(ScreenId id) { return static_cast<int>(id); }
    void CheckSomethingVisible();

    Workspace& ws_;
    ui::Dialogs& dialogs_;
    RandomPayments* random_ = nullptr;
    std::function<qint64()> clock_;
    std::array<Factory, kScreenCount> factories_;
    std::array<ui::Screen*, kScreenCount> screens_{};
    bool ended_ = false;
};

}  // namespace valmora
