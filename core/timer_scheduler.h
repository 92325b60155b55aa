#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace mogumo {

class Screen;
class ScreenSet;
struct Control;

// The running timers of every loaded screen and the game's millisecond clock,
// shared by both hosts. The clock is 64 bits wide and never wraps; the game
// reads its low 32 bits as the tick counter.
//
// A timer that starts running at t is due at t + interval, t + 2 * interval,
// ... for as long as it runs. Timers due in the same millisecond tick in the
// order they started; one that an earlier tick stopped, or whose screen it
// unloaded, does not tick afterwards.
//
// A gated timer (the layouts mark them) passes the shared 50 ms step gate
// before anything else, so a tick of it while the gate is shut changes
// nothing. The scheduler skips such ticks instead of running them: the 1 ms
// timers cost one tick a step, not fifty. `checkSkips` proves the point while
// the game runs: it runs skipped ticks anyway and fails if one changed the
// game.
class TimerScheduler {
public:
    // A snapshot of everything a tick could change, compared before and after.
    using Fingerprint = std::function<std::string()>;
    // How a due tick reaches its screen; by default straight to the runtime.
    using Deliver = std::function<void(Screen&, Control&)>;

    // How often the hosts check skipped ticks in builds with assertions: one
    // step in this many.
    static constexpr unsigned kSampledCheckEvery = 47;

    TimerScheduler(ScreenSet& screens, uint64_t now) : screens_(screens), now_(now) {}

    uint64_t now() const { return now_; }
    uint32_t tickCount() const { return static_cast<uint32_t>(now_); }

    // What the runtime tells the host.
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
    std::optional<uint64_t> nextTickAt() const { return nextTickAt(false); }

    void setDeliver(Deliver deliver) { deliver_ = std::move(deliver); }

    // From now on, gated ticks the gate turns away are visited and run on one
    // step in `every` (on every one with 1), and each must leave `fingerprint`
    // unchanged, or a std::logic_error names the timer.
    void checkSkips(Fingerprint fingerprint, unsigned every = 1);
    uint64_t skipsChecked() const { return skipsChecked_; }

private:
    struct Entry {
        Screen* screen;
        Control* timer;
        uint64_t instance;  // the screen instance the timer belongs to
        uint64_t start;
        uint64_t order;  // start order
    };

    // With `everyTick`, gated ticks that cannot pass count too.
    std::optional<uint64_t> nextTickAt(bool everyTick) const;
    uint64_t interval(const Entry& e) const;
    bool dueAt(const Entry& e, uint64_t t) const;
    bool gateShut(uint64_t t) const;
    uint64_t gateOpensAt(uint64_t from) const;
    bool running(uint64_t order) const;
    void tickAt(uint64_t t);
    void skip(const Entry& e);

    ScreenSet& screens_;
    uint64_t now_;
    uint64_t nextOrder_ = 0;
    std::vector<Entry> entries_;  // in start order
    std::vector<Entry> due_;
    Deliver deliver_;
    Fingerprint fingerprint_;
    unsigned checkEvery_ = 0;
    uint64_t visits_ = 0;
    uint64_t skipsChecked_ = 0;
};

}  // namespace mogumo
