#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace mogumo {

class Screen;
struct Control;

// The running timers of every loaded screen and the game's millisecond clock.
// The clock is 64 bits wide and never wraps; the game reads its low 32 bits
// as the tick counter.
//
// A timer that starts running at t is due at t + interval, t + 2 * interval,
// ... for as long as it runs. Timers due in the same millisecond tick in the
// order they started; one that an earlier tick stopped, or whose screen it
// unloaded, does not tick afterwards.
//
// A tick of a gated timer (the layouts mark them) does nothing while the
// shared 50 ms step gate is shut, so the scheduler never delivers one then:
// the 1 ms timers cost one tick a step, not fifty.
class TimerScheduler {
public:
    // How a due tick reaches its screen.
    using Deliver = std::function<void(Screen&, Control&)>;
    // What the scheduler reads of the game: the step gate's last step
    // (LastTick), and whether the program has ended.
    struct Reading {
        std::function<int32_t()> lastStep;
        std::function<bool()> ended;
    };

    TimerScheduler(Reading game, uint64_t now, Deliver deliver)
        : game_(std::move(game)), now_(now), deliver_(std::move(deliver)) {}

    uint64_t now() const { return now_; }
    uint32_t tickCount() const { return static_cast<uint32_t>(now_); }

    // What the runtime tells the scheduler.
    void started(Screen& screen, Control& timer);
    void stopped(const Screen& screen, const Control& timer);
    void screenGone(const Screen& screen);
    bool isRunning(const Screen& screen, const Control& timer) const;

    // The clock moves on by `ms` and no timer ticks: due times passed over are
    // lost, and every timer keeps its phase.
    void wait(uint64_t ms) { now_ += ms; }

    // The clock moves on to `until` a millisecond at a time; after each, every
    // timer due then ticks once.
    void runUntil(uint64_t until);

    // The first millisecond after now at which a tick may change the game;
    // nullopt when no timer runs.
    std::optional<uint64_t> nextTickAt() const;

private:
    struct Entry {
        Screen* screen;
        Control* timer;
        uint64_t instance;  // the screen instance the timer belongs to
        uint64_t start;
        uint64_t order;  // start order
    };

    uint64_t interval(const Entry& e) const;
    bool dueAt(const Entry& e, uint64_t t) const;
    bool gateOpen(uint64_t t) const;
    uint64_t gateOpensAt(uint64_t from) const;
    bool running(uint64_t order) const;
    void tickAt(uint64_t t);

    Reading game_;
    uint64_t now_;
    Deliver deliver_;
    uint64_t nextOrder_ = 0;
    std::vector<Entry> entries_;  // in start order
    std::vector<Entry> due_;
};

}  // namespace mogumo
