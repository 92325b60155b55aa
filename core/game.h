#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "core/host.h"
#include "core/screen_set.h"
#include "core/timer_scheduler.h"

namespace mogumo {

// The tick counter's reading at program start, unless a game is told another.
inline constexpr uint32_t kDefaultClock = 100000;

// Why an input was turned away.
enum class Refusal {
    Ended,            // the program has ended
    NotLoaded,        // the screen is not loaded
    NotVisible,       // the screen is not shown
    Disabled,         // the screen is disabled
    NoControl,        // the screen has no such control
    NotAButton,       // a click on something else than a button
    ButtonOff,        // the button is hidden or disabled
    NoTimer,          // the screen has no such timer
    TimerNotRunning,  // a tick of a timer that is not running
};

// An input from the player: a click on a button, a key going down or up, or
// a screen's close box.
enum class InputKind { Click, KeyDown, KeyUp, Close };
struct Input {
    InputKind kind;
    FormId form;
    std::string_view control = {};  // a click's button
    int index = -1;                 // its index in a control array
    int key = 0;                    // a key's code
};

// The refusal as a sentence: `screen` names the screen as the input did,
// `target` the screen or control it was for ("Form3.Command1(1)").
std::string describe(Refusal refusal, std::string_view screen, std::string_view target);

// One game: the eight screens, their timers and the clock, from program start
// to its end. A host presents it (see Host) and moves time on; the game
// decides everything else, which inputs it takes among them.
class Game {
public:
    Game(ScreenSet::Factory factory, uint32_t clockStart = kDefaultClock, Host* host = nullptr);
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;

    // Program start: the title screen is loaded and shown.
    void start() { screens_.start(); }

    ScreenSet& screens() { return screens_; }
    const ScreenSet& screens() const { return screens_; }
    GameState& state() { return screens_.state(); }
    bool ended() const { return screens_.ended(); }
    int helpRequests() const { return screens_.helpRequests(); }

    // The game clock; its low 32 bits are the tick counter.
    uint64_t now() const { return timers_.now(); }
    uint32_t tickCount() const { return timers_.tickCount(); }

    // Time moves on to `until`, a millisecond at a time; every timer due on
    // the way ticks, in the order the timers started.
    void runUntil(uint64_t until) { timers_.runUntil(until); }
    void run(uint64_t ms) { runUntil(now() + ms); }
    // Time moves on with no tick: due times passed over are lost.
    void wait(uint64_t ms) { timers_.wait(ms); }
    // The first millisecond after now at which a tick may change the game;
    // nullopt when nothing can.
    std::optional<uint64_t> nextTickAt() const { return timers_.nextTickAt(); }
    bool isRunning(const Screen& screen, const Control& timer) const {
        return timers_.isRunning(screen, timer);
    }

    // Inputs: each is carried out, or refused with the reason and nothing
    // changes. A screen takes clicks, keys and its close box only while it is
    // loaded, shown and enabled, and a click only on a shown, enabled button.
    // The host hears of an input it takes (Host::inputTaken) just before its
    // handler runs.
    std::optional<Refusal> input(const Input& input);
    std::optional<Refusal> click(FormId form, std::string_view control, int index = -1) {
        return input({InputKind::Click, form, control, index});
    }
    std::optional<Refusal> keyDown(FormId form, int keyCode) {
        return input({InputKind::KeyDown, form, {}, -1, keyCode});
    }
    std::optional<Refusal> keyUp(FormId form, int keyCode) {
        return input({InputKind::KeyUp, form, {}, -1, keyCode});
    }
    std::optional<Refusal> close(FormId form) { return input({InputKind::Close, form}); }
    // One tick of a running timer, now, outside its schedule.
    std::optional<Refusal> tick(FormId form, std::string_view timer, int index = -1);
    // Whether the screen would take a key or its close box now, and a click
    // on the control.
    std::optional<Refusal> refusesInput(FormId form) const;
    std::optional<Refusal> refusesClick(FormId form, std::string_view control, int index = -1) const;

    // For checkers (the event fuzzer): called just before every timer tick
    // that reaches its handler, scheduled or not, and just after it (when the
    // tick may have unloaded the timer's screen).
    std::function<void(const Screen&, const Control&)> beforeTick;
    std::function<void()> afterTick;

private:
    void deliverTick(Screen& screen, Control& timer);

    Host& host_;
    // The two refer to each other; neither touches the other until the game starts.
    TimerScheduler timers_;
    ScreenSet screens_;
};

}  // namespace mogumo
