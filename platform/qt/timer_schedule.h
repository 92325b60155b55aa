#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "core/control.h"
#include "core/layout.h"

namespace mogumo {

// The running timers of all screens and when each is next due, on a 64-bit
// millisecond clock that never wraps. A timer started at t is due at
// t + k * interval; a tick that comes late is one tick, not a burst.
//
// Fast gated timers (the 1 ms animation timers) do nothing until the step
// gate opens, so they are not due before it: the game sleeps through the
// 50 ms between steps instead of waking every millisecond.
class TimerSchedule {
public:
    struct Entry {
        uint64_t instance;  // the screen instance it belongs to
        FormId form;
        const Control* timer;
        uint64_t start;
        uint64_t nextDue;
        uint64_t order;  // start order: due timers tick in this order
    };

    // Gated timers faster than this wait for the step gate.
    static constexpr int kGateWaitBelowMs = 50;

    void started(uint64_t instance, FormId form, const Control& timer, uint64_t now);
    void stopped(uint64_t instance, const Control& timer);
    void screenGone(uint64_t instance);
    bool isRunning(uint64_t instance, const Control& timer) const;
    bool isRunning(uint64_t order) const;
    bool empty() const { return entries_.empty(); }
    const std::vector<Entry>& entries() const { return entries_; }

    static bool waitsForGate(const Control& timer) {
        return timer.gated && timer.interval < kGateWaitBelowMs;
    }

    // The earliest moment a timer wants to tick; `gateOpensAt` is when the
    // step gate opens next. nullopt when nothing runs.
    std::optional<uint64_t> nextWake(uint64_t gateOpensAt) const;

    // The timers due at `now`, in start order.
    std::vector<Entry> due(uint64_t now) const;

    // After a timer's tick (or skipped tick) at `now`: its next due time.
    void advance(uint64_t order, uint64_t now);

private:
    std::vector<Entry> entries_;
    uint64_t nextOrder_ = 0;
};

}  // namespace mogumo
