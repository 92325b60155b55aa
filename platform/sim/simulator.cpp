#include "platform/sim/simulator.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <ostream>

#include "platform/sim/state_dump.h"
#include "screens/screen_factory.h"

namespace mogumo {

Simulator::Simulator(uint32_t clock) : now_(clock), screens_(*this, makeScreen) {}

Simulator::~Simulator() = default;

void Simulator::start() {
    screens_.start();
}

void Simulator::timerStarted(Screen& screen, Control& timer) {
    timers_.push_back({screen.instance(), &screen, &timer, now_, nextOrder_++});
}

void Simulator::timerStopped(Screen& screen, Control& timer) {
    std::erase_if(
        timers_, [&](const RunningTimer& t) { return t.instance == screen.instance() && t.timer == &timer; });
}

void Simulator::screenUnloaded(Screen& screen) {
    std::erase_if(timers_, [&](const RunningTimer& t) { return t.instance == screen.instance(); });
}

bool Simulator::isRunning(const Screen& screen, const Control& timer) const {
    return std::any_of(timers_.begin(), timers_.end(), [&](const RunningTimer& t) {
        return t.instance == screen.instance() && t.timer == &timer;
    });
}

void Simulator::run(uint64_t ms) {
    const uint64_t end = now_ + ms;
    while (now_ < end && !ended()) {
        // Jump to the next millisecond at which some timer is due: nothing
        // changes in between, since only ticks start or stop timers.
        uint64_t next = end;
        for (const RunningTimer& t : timers_) {
            const auto interval = static_cast<uint64_t>(std::max(t.timer->interval, 1));
            const uint64_t k = (now_ + 1 - t.start + interval - 1) / interval;
            next = std::min(next, t.start + std::max<uint64_t>(k, 1) * interval);
        }
        now_ = next;
        dueNow_.clear();
        for (const RunningTimer& t : timers_) {
            const auto interval = static_cast<uint64_t>(std::max(t.timer->interval, 1));
            if (now_ > t.start && (now_ - t.start) % interval == 0)
                dueNow_.push_back(t);
        }
        // Timers are kept in the order they started. One that an earlier tick
        // stopped, or whose screen it unloaded, no longer ticks.
        for (const RunningTimer& due : dueNow_) {
            if (ended())
                break;
            const bool stillRunning = std::any_of(
                timers_.begin(), timers_.end(), [&](const RunningTimer& t) { return t.order == due.order; });
            if (stillRunning)
                deliverTick(*due.screen, *due.timer);
        }
    }
    if (now_ < end)
        now_ = end;
}

void Simulator::deliverTick(Screen& screen, Control& timer) {
    if (beforeTick)
        beforeTick(screen, timer);
    screens_.timerTick(screen, timer);
    if (afterTick)
        afterTick();
}

std::string Simulator::dump() const {
    return stateDump(screens_, now(), helpShown_);
}

}  // namespace mogumo
