#include "platform/qt/timer_schedule.h"

#include <algorithm>

namespace mogumo {

namespace {
uint64_t intervalOf(const Control& timer) {
    return static_cast<uint64_t>(std::max(timer.interval, 1));
}
}  // namespace

void TimerSchedule::started(uint64_t instance, FormId form, const Control& timer, uint64_t now) {
    stopped(instance, timer);
    entries_.push_back({instance, form, &timer, now, now + intervalOf(timer), nextOrder_++});
}

void TimerSchedule::stopped(uint64_t instance, const Control& timer) {
    std::erase_if(entries_, [&](const Entry& e) { return e.instance == instance && e.timer == &timer; });
}

void TimerSchedule::screenGone(uint64_t instance) {
    std::erase_if(entries_, [&](const Entry& e) { return e.instance == instance; });
}

bool TimerSchedule::isRunning(uint64_t instance, const Control& timer) const {
    return std::any_of(entries_.begin(), entries_.end(),
                       [&](const Entry& e) { return e.instance == instance && e.timer == &timer; });
}

bool TimerSchedule::isRunning(uint64_t order) const {
    return std::any_of(entries_.begin(), entries_.end(), [&](const Entry& e) { return e.order == order; });
}

std::optional<uint64_t> TimerSchedule::nextWake(uint64_t gateOpensAt) const {
    std::optional<uint64_t> wake;
    for (const Entry& e : entries_) {
        // A 1 ms timer ticks on every millisecond, so the first one at or after
        // the gate's opening is a tick of its own schedule.
        const uint64_t at = waitsForGate(*e.timer) ? std::max(e.nextDue, gateOpensAt) : e.nextDue;
        if (!wake || at < *wake)
            wake = at;
    }
    return wake;
}

std::vector<TimerSchedule::Entry> TimerSchedule::due(uint64_t now) const {
    std::vector<Entry> out;
    for (const Entry& e : entries_)
        if (e.nextDue <= now)
            out.push_back(e);
    std::sort(out.begin(), out.end(), [](const Entry& a, const Entry& b) { return a.order < b.order; });
    return out;
}

void TimerSchedule::advance(uint64_t order, uint64_t now) {
    for (Entry& e : entries_) {
        if (e.order != order)
            continue;
        const uint64_t interval = intervalOf(*e.timer);
        const uint64_t k = (now - e.start) / interval + 1;
        e.nextDue = e.start + k * interval;
    }
}

}  // namespace mogumo
