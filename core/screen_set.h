#pragma once

#include <array>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/game_state.h"
#include "core/host.h"
#include "core/layout.h"
#include "core/random_source.h"
#include "core/screen.h"
#include "core/timer_scheduler.h"

namespace mogumo {

// Owns the eight screens, the game state and the random source, and carries
// out the screen life: a screen is loaded the moment anything refers to it,
// its running timers join the schedule, and they leave it with the screen.
//
// Every event (start, click, key, timer tick, close) comes in through the
// methods below. A handler may unload its own screen and go on:
// the unloaded object is kept until the event has been handled (the outermost
// one, when events nest), and a later reference in the same handler loads a
// fresh screen. An exception from a handler passes through to the host.
class ScreenSet {
public:
    using Factory = std::function<std::unique_ptr<Screen>(ScreenSet&, FormId)>;

    // The timers of loaded screens run on `timers`.
    ScreenSet(Host& host, Factory factory, TimerScheduler& timers);
    ~ScreenSet();
    ScreenSet(const ScreenSet&) = delete;
    ScreenSet& operator=(const ScreenSet&) = delete;

    // The tick counter: the low 32 bits of the game clock.
    uint32_t tickCount() const;
    // How often F1 asked for the help document.
    int helpRequests() const { return helpRequests_; }
    GameState& state() { return state_; }
    const GameState& state() const { return state_; }
    RandomSource& random() { return random_; }
    const RandomSource& random() const { return random_; }
    bool ended() const { return ended_; }

    // The screen, loading it first when it is not loaded.
    Screen& ref(FormId id);
    // The screen as its own class. Debug builds check that the screen made
    // for T's form really is a T.
    template <class T>
    T& get() {
        Screen& screen = ref(T::kId);
#ifndef NDEBUG
        if (!dynamic_cast<T*>(&screen))
            throw std::logic_error("screen " + std::string(screen.layout().formName) +
                                   " is not of the class asked for");
#endif
        return static_cast<T&>(screen);
    }
    // The screen when it is loaded, nullptr otherwise; never loads.
    Screen* loaded(FormId id) const {
        return screens_[static_cast<size_t>(id)].get();
    }
    // The screen being played (at most one is playable); nullptr when none is.
    const Screen* keyScreen() const;
    // The help's section for the screen being played, "contents" when none is.
    std::string_view helpSection() const;
    // Whether no screen but the one the game starts on is shown: nothing of
    // a game is under way yet.
    bool atStart() const;

    void show(FormId id);
    void unload(FormId id);
    void setEnabled(FormId id, bool enabled);
    void end();

    // Events. Game checks that the target may take them.
    void start();  // program start: load and show the title screen
    void click(Screen& screen, Control& button);
    void keyDown(Screen& screen, int keyCode);  // F1 asks for the help
    void keyUp(Screen& screen, int keyCode);
    // A gated timer's tick passes the step gate first: while it is shut the
    // tick does nothing.
    void timerTick(Screen& screen, Control& timer);
    void close(Screen& screen);

    // A loaded screen's timer was started or stopped.
    void timerSwitched(Screen& screen, Control& timer);

private:
    template <class F>
    void dispatch(F&& handler);

    Host& host_;
    Factory factory_;
    TimerScheduler& timers_;
    int helpRequests_ = 0;
    GameState state_;
    RandomSource random_;
    std::array<std::unique_ptr<Screen>, kFormCount> screens_;
    std::vector<std::unique_ptr<Screen>> unloadedThisEvent_;
    int eventDepth_ = 0;  // events being handled, nested ones included
    uint64_t nextInstance_ = 1;
    bool ended_ = false;
};

}  // namespace mogumo
