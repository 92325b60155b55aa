#pragma once

#include <QElapsedTimer>
#include <QTimer>
#include <QUrl>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "core/host.h"
#include "core/screen_set.h"
#include "platform/qt/key_map.h"
#include "platform/qt/timer_schedule.h"
#include "platform/qt/window_desk.h"

namespace mogumo {

class HelpWindow;
class PictureCache;
class ScreenWindow;

// The real game's host: one window per shown screen, the timers on one
// precise single-shot QTimer, F1 help and the end of the program.
//
// After every event it hands to the screens (click, key, timer tick) every
// window is brought in line with its screen and the timer is re-armed for
// the earliest due timer.
class QtHost : public Host {
public:
    using TickSource = std::function<uint32_t()>;

    struct Options {
        // The millisecond tick counter; by default a steady clock from 100000.
        TickSource ticks;
        QUrl helpUrl;
        // What ending the program does; by default the application quits.
        std::function<void()> onEnd;
        // Called after every event the host dispatched (for measurements).
        std::function<void()> afterEvent;
    };

    // The pictures must be loaded.
    explicit QtHost(const PictureCache& pictures, Options options = {});
    ~QtHost() override;
    QtHost(const QtHost&) = delete;
    QtHost& operator=(const QtHost&) = delete;

    ScreenSet& screens() { return screens_; }
    void start();

    // Events as the windows send them. Each is refused (false) unless the
    // screen is shown and enabled.
    bool click(FormId form, std::string_view control, int index = -1);
    bool keyDown(FormId form, int keyCode);
    bool keyUp(FormId form, int keyCode);
    bool close(FormId form);

    // Ticks the timers that are due now (the wake of the QTimer).
    void wake();
    // When the QTimer will wake next, on the tick counter; nullopt when idle.
    std::optional<uint32_t> nextWakeTick() const;
    uint64_t wakeCount() const { return wakes_; }

    // The window of a shown screen, nullptr when there is none.
    ScreenWindow* window(FormId form) const;
    HelpWindow* helpWindow() const { return help_.get(); }
    const WindowDesk& desk() const { return desk_; }
    int helpRequests() const { return helpRequests_; }

    // Host
    uint32_t tickCount() override { return ticks_(); }
    void timerStarted(Screen& screen, Control& timer) override;
    void timerStopped(Screen& screen, Control& timer) override;
    void screenLoaded(Screen&) override {}
    void screenShown(Screen& screen) override;
    void screenEnabledChanged(Screen& screen) override;
    void screenUnloaded(Screen& screen) override;
    void showHelp() override;
    void endProgram() override;

private:
    Screen* activeScreen(FormId form) const;
    template <class Handler>
    bool deliver(FormId form, Handler&& handler);
    void windowKey(ScreenWindow& w, KeyMap::Action action, int code);
    uint64_t now();
    void afterEvent();
    void rearm();

    const PictureCache& pictures_;
    Options options_;
    QElapsedTimer clock_;
    TickSource ticks_;
    uint32_t lastRead_ = 0;
    uint64_t now64_ = 0;
    TimerSchedule schedule_;
    QTimer timer_;
    std::optional<uint64_t> armedFor_;
    uint64_t wakes_ = 0;
    int helpRequests_ = 0;
    std::array<ScreenWindow*, kFormCount> windows_{};
    WindowDesk desk_{windows_};
    std::vector<ScreenWindow*> retired_;
    std::unique_ptr<HelpWindow> help_;
    ScreenSet screens_;  // last: its screens talk to everything above
};

}  // namespace mogumo
