#include "core/timer_scheduler.h"

#include <algorithm>
#include <stdexcept>

#include "core/screen.h"
#include "core/screen_set.h"
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

bool TimerScheduler::gateShut(uint64_t t) const {
    return !stepDue(static_cast<uint32_t>(t), screens_.state().LastTick);
}

// Only a step moves LastTick, and a step needs the gate open: while no tick
// runs, a shut gate opens exactly when the counter is 51 past LastTick.
uint64_t TimerScheduler::gateOpensAt(uint64_t from) const {
    const auto since =
        static_cast<uint32_t>(static_cast<uint32_t>(from) - static_cast<uint32_t>(screens_.state().LastTick));
    return since > kStepMs ? from : from + (kStepMs + 1 - since);
}

std::optional<uint64_t> TimerScheduler::nextTickAt(bool everyTick) const {
    const uint64_t gate = gateOpensAt(now_ + 1);
    std::optional<uint64_t> next;
    for (const Entry& e : entries_) {
        const uint64_t i = interval(e);
        uint64_t at = e.start + ((now_ - e.start) / i + 1) * i;
        if (e.timer->gated && !everyTick && at < gate)
            at = e.start + ((gate - e.start + i - 1) / i) * i;
        if (!next || at < *next)
            next = at;
    }
    return next;
}

void TimerScheduler::runUntil(uint64_t until) {
    const bool checking = fingerprint_ && checkEvery_ > 0;
    while (!screens_.ended()) {
        // While skips are checked, one step in `checkEvery_` visits the next
        // tick even when the gate will turn it away, and checks it.
        const bool visitSkipped = checking && ++visits_ % checkEvery_ == 0;
        const std::optional<uint64_t> next = nextTickAt(visitSkipped);
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
        if (screens_.ended())
            return;
        // An earlier tick may have stopped it or unloaded its screen.
        if (!running(e.order))
            continue;
        if (e.timer->gated && gateShut(t))
            skip(e);
        else if (deliver_)
            deliver_(*e.screen, *e.timer);
        else
            screens_.timerTick(*e.screen, *e.timer);
    }
}

void TimerScheduler::skip(const Entry& e) {
    if (!fingerprint_ || checkEvery_ == 0)
        return;
    ++skipsChecked_;
    const std::string before = fingerprint_();
    screens_.timerTick(*e.screen, *e.timer);
    if (fingerprint_() != before)
        throw std::logic_error(std::string(e.screen->layout().formName) + "." + e.timer->key() +
                               " changed the game at " + std::to_string(static_cast<uint32_t>(now_)) +
                               " although the step gate was shut");
}

void TimerScheduler::checkSkips(Fingerprint fingerprint, unsigned every) {
    fingerprint_ = std::move(fingerprint);
    checkEvery_ = every;
}

}  // namespace mogumo
