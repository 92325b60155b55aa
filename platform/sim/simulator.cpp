#include "platform/sim/simulator.h"

#include "platform/sim/state_dump.h"
#include "screens/screen_factory.h"

namespace mogumo {

Simulator::Simulator(uint32_t clock) : scheduler_(screens_, clock), screens_(*this, makeScreen) {
    scheduler_.setDeliver([this](Screen& screen, Control& timer) { deliverTick(screen, timer); });
#ifndef NDEBUG
    scheduler_.checkSkips([this] { return dump(); }, TimerScheduler::kSampledCheckEvery);
#endif
}

Simulator::~Simulator() = default;

void Simulator::start() {
    screens_.start();
}

void Simulator::timerStarted(Screen& screen, Control& timer) {
    scheduler_.started(screen, timer);
}

void Simulator::timerStopped(Screen& screen, Control& timer) {
    scheduler_.stopped(screen, timer);
}

void Simulator::screenUnloaded(Screen& screen) {
    scheduler_.screenGone(screen);
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
