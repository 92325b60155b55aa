#include "core/timer_scheduler.h"

#include <algorithm>

#include "core/screen.h"
#include "core/step_gate.h"

namespace mogumo {

void TimerScheduler::started(Screen& screen, Control& timer) {
    stopped(screen, timer);
    entries_.push_back({&screen, &timer, screen.instance(), now_, nextOrder_++});
}

void TimerScheduler::stopped(const Screen& screen, const Control& timer) {
    std::erase_if(entries_,
                  [&](const Entry& e) { return e.instance == screen.instance() && e.timer == &timer; });
}

void TimerScheduler::screenGone(const Screen& screen) {
    std::erase_if(entries_, [&](const Entry& e) { return e.instance == screen.instance(); });
}

bool TimerScheduler::isRunning(const Screen& screen, const Control& timer) const {
    return std::any_of(entries_.begin(), entries_.end(),
                       [&](const Entry& e) { return e.instance == screen.instance() && e.timer == &timer; });
}

bool TimerScheduler::running(uint64_t order) const {
    return std::any_of(entries_.begin(), entries_.end(), [&](const Entry& e) { return e.order == order; });
}

uint64_t TimerScheduler::interval(const Entry& e) const {
    return static_cast<uint64_t>(std::max(e.timer->interval, 1));
}

bool TimerScheduler::dueAt(const Entry& e, uint64_t t) const {
    return t > e.start && (t - e.start) % interval(e) == 0;
}

bool TimerScheduler::gateOpen(uint64_t t) const {
    return stepDue(static_cast<uint32_t>(t), game_.lastStep());
}

// Only a step moves LastTick, and a step needs the gate open: while no tick
// runs, a shut gate opens at the reading the gate itself names.
uint64_t TimerScheduler::gateOpensAt(uint64_t from) const {
    if (gateOpen(from))
        return from;
    const int32_t last = game_.lastStep();
    return from + static_cast<uint32_t>(firstDueTick(last) - static_cast<uint32_t>(from));
}

std::optional<uint64_t> TimerScheduler::nextTickAt() const {
    const uint64_t gate = gateOpensAt(now_ + 1);
    std::optional<uint64_t> next;
    for (const Entry& e : entries_) {
        const uint64_t i = interval(e);
        uint64_t at = e.start + ((now_ - e.start) / i + 1) * i;
        if (e.timer->gated && at < gate)
            at = e.start + ((gate - e.start + i - 1) / i) * i;
        if (!next || at < *next)
            next = at;
    }
    return next;
}

void TimerScheduler::runUntil(uint64_t until) {
    while (!game_.ended()) {
        const std::optional<uint64_t> next = nextTickAt();
        if (!next || *next > until)
            break;
        now_ = *next;
        tickAt(now_);
    }
    now_ = std::max(now_, until);
}

void TimerScheduler::tickAt(uint64_t t) {
    due_.clear();
    for (const Entry& e : entries_)
        if (dueAt(e, t))
            due_.push_back(e);
    for (const Entry& e : due_) {
        if (game_.ended())
            return;
        // An earlier tick may have stopped it or unloaded its screen, or
        // stepped and shut the gate.
        if (!running(e.order) || (e.timer->gated && !gateOpen(t)))
            continue;
        deliver_(*e.screen, *e.timer);
    }
}

}  // namespace mogumo
