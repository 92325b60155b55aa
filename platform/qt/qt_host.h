#pragma once

#include <QTimer>
#include <QUrl>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/game.h"
#include "core/host.h"
#include "core/game_clock.h"
#include "platform/qt/key_map.h"
#include "platform/qt/window_desk.h"
#include "script/command.h"

namespace mogumo {

class GameRecorder;
class HelpWindow;
class PictureCache;
class ScreenWindow;

// The real game's host: one window per shown screen, F1 help, the end of the
// program, and when time moves on.
//
// One precise single-shot QTimer wakes the host at the next tick that can
// change the game; each wake, and every input event first, brings the game
// clock up to real time (see GameClock). So a game depends only on when its
// inputs came, and the simulator replays it exactly from a script of them.
class QtHost : public Host {
public:
    using RealClock = GameClock::RealClock;
    static constexpr uint64_t kStallMs = GameClock::kStallMs;

    struct Options {
        // Real time; by default a steady clock.
        RealClock realClock;
        // The tick counter's reading at program start.
        uint32_t clockStart = kDefaultClock;
        QUrl helpUrl;
        // What ending the program does; by default the application quits.
        std::function<void()> onEnd;
        // What an error inside the game does (after the windows are put
        // away); by default a message box, then the application quits with 1.
        std::function<void(const std::string&)> onError;
        // Called after every event the host dispatched (for measurements).
        std::function<void()> afterEvent;
        // Writes the game as it is played as a simulator script.
        GameRecorder* recorder = nullptr;
        // A recorded game plays itself: input from the windows is ignored,
        // except F1 and the close box.
        bool replaying = false;
    };

    // The pictures must be loaded.
    QtHost(const PictureCache& pictures, Options options);
    ~QtHost() override;
    QtHost(const QtHost&) = delete;
    QtHost& operator=(const QtHost&) = delete;

    Game& game() { return game_; }
    ScreenSet& screens() { return game_.screens(); }
    void start();

    // Input events. The ticks due by now run first; then each is refused
    // (false) unless its screen is shown and enabled.
    bool click(FormId form, std::string_view control, int index = -1);
    bool keyDown(FormId form, int keyCode);
    bool keyUp(FormId form, int keyCode);
    bool close(FormId form);

    // Runs the ticks due by the real time now (the wake of the QTimer).
    void wake();
    // The real time (on the realClock) of the next wake; nullopt when idle.
    std::optional<uint64_t> nextWakeAt() const;
    uint64_t wakeCount() const { return wakes_; }

    // The game clock; its low 32 bits are the tick counter.
    uint64_t gameNow() const { return game_.now(); }
    // The state dump, as the simulator writes it.
    std::string dump() const;

    // For a replay: the game clock never passes `limit`; `wait` moves it on
    // with no tick; `tick` ticks a running timer now; `resync` lets real time
    // go on from the game clock as it is.
    void setTimeLimit(std::optional<uint64_t> limit);
    void wait(uint64_t ms);
    bool tick(FormId form, std::string_view timer, int index = -1);
    void resync();
    // The game clock's reading that real time has reached.
    uint64_t realNow() const;

    // The window of a shown screen, nullptr when there is none.
    ScreenWindow* window(FormId form) const;
    HelpWindow* helpWindow() const { return help_.get(); }
    const WindowDesk& desk() const { return desk_; }
    int helpRequests() const { return game_.helpRequests(); }

    // Host
    void screenShown(Screen& screen) override;
    void screenEnabledChanged(Screen& screen) override;
    void screenUnloaded(Screen& screen) override;
    void showHelp() override;
    void endProgram() override;

private:
    template <class Handler>
    bool deliver(Handler&& handler);
    template <class Work>
    void guarded(Work&& work);
    void fail(const std::string& message);
    void catchUp();
    bool key(script::Verb verb, FormId form, int keyCode);
    void windowKey(ScreenWindow& w, KeyMap::Action action, int code);
    void openHelp();
    unsigned shownScreens() const;
    void afterEvent();
    void rearm();

    const PictureCache& pictures_;
    Options options_;
    GameClock clock_;
    QTimer timer_;
    std::optional<uint64_t> wakeAt_;  // on the real clock
    uint64_t wakes_ = 0;
    unsigned shown_ = 0;  // the screens shown after the last event, as bits
    bool failed_ = false;
    std::array<ScreenWindow*, kFormCount> windows_{};
    WindowDesk desk_{windows_};
    std::vector<ScreenWindow*> retired_;
    std::unique_ptr<HelpWindow> help_;
    Game game_;  // last: its screens talk to everything above
};

}  // namespace mogumo
