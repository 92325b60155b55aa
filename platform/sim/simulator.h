#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include "core/host.h"
#include "core/screen_set.h"
#include "core/timer_scheduler.h"

namespace mogumo {

// Draws a screen's client area into a PNG file; returns an error message, or
// an empty string on success. The simulator has none of its own: the real
// game's painter is plugged in where it is available.
using ShotRenderer = std::function<std::string(const Screen&, const std::string& path)>;

// The whole game on a virtual clock, driven by script commands. Timers tick
// only when the script says so (`run`, `tick`). In builds with assertions,
// some of the gated ticks the scheduler skips are run and checked to change
// nothing.
class Simulator : private Host {
public:
    static constexpr uint32_t kDefaultClock = 100000;

    explicit Simulator(uint32_t clock = kDefaultClock);
    ~Simulator() override;

    // Program start: the title screen is loaded and shown.
    void start();

    ScreenSet& screens() { return screens_; }
    const ScreenSet& screens() const { return screens_; }
    uint32_t now() const { return scheduler_.tickCount(); }
    int helpShown() const { return helpShown_; }
    bool ended() const { return screens_.ended(); }

    // The clock moves on; no timer ticks (due times passed over are lost).
    void wait(uint64_t ms) { scheduler_.wait(ms); }
    // The clock moves on a millisecond at a time; every running timer that is
    // due ticks once after each millisecond, in the order they started.
    void run(uint64_t ms) { scheduler_.runUntil(scheduler_.now() + ms); }
    // One tick of a running timer, now, outside its schedule.
    void tick(Screen& screen, Control& timer) { deliverTick(screen, timer); }

    bool isRunning(const Screen& screen, const Control& timer) const {
        return scheduler_.isRunning(screen, timer);
    }
    TimerScheduler& scheduler() { return scheduler_; }

    // The state dump: one line of JSON.
    std::string dump() const;

    // For checkers (the event fuzzer): called just before every timer tick,
    // from `run` and `tick` alike, and just after it, when the tick may have
    // unloaded the timer's screen.
    std::function<void(const Screen&, const Control&)> beforeTick;
    std::function<void()> afterTick;

private:
    void deliverTick(Screen& screen, Control& timer);

    uint32_t tickCount() override { return scheduler_.tickCount(); }
    void timerStarted(Screen& screen, Control& timer) override;
    void timerStopped(Screen& screen, Control& timer) override;
    void screenLoaded(Screen&) override {}
    void screenShown(Screen&) override {}
    void screenEnabledChanged(Screen&) override {}
    void screenUnloaded(Screen& screen) override;
    void showHelp() override { ++helpShown_; }
    void endProgram() override {}

    int helpShown_ = 0;
    TimerScheduler scheduler_;  // ticks the screens below
    ScreenSet screens_;
};

// Runs a script in the simulator protocol. Dumps go to `out`; on a line that
// cannot be carried out, `error` gets "line N: reason" and the result is 2.
// Returns 0 when every line ran.
int runScript(std::string_view script, std::ostream& out, std::string& error, const ShotRenderer& shot = {});

}  // namespace mogumo
