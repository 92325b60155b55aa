// The timer scheduler both hosts share, on screens whose timers the tests set
// up and whose ticks they write down.

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/game_state.h"
#include "core/host.h"
#include "core/screen.h"
#include "core/screen_set.h"
#include "core/step_gate.h"
#include "core/timer_scheduler.h"

namespace mogumo {
namespace {

class Rig;

// A screen with a real layout whose timers do what the test says.
class ProbeScreen : public Screen {
public:
    ProbeScreen(ScreenSet& screens, FormId id, Rig& rig);
    void timerTick(Control& timer) override;
    ScreenSet& set() { return screens(); }

private:
    Rig& rig_;
};

// A host that only keeps time, through the scheduler under test.
class Rig : public Host {
public:
    using Setup = std::function<void(Screen&)>;
    using OnTick = std::function<void(ProbeScreen&, Control&)>;

    Rig(uint64_t start, Setup setupScreen, OnTick tick)
        : setup(std::move(setupScreen)),
          onTick(std::move(tick)),
          scheduler(screens, start),
          screens(*this,
                  [this](ScreenSet& s, FormId id) { return std::make_unique<ProbeScreen>(s, id, *this); }) {}

    // Each tick as "<ms since the rig's start> <form>.<timer>".
    void log(Screen& s, const Control& timer) {
        ticks.push_back(std::to_string(scheduler.now() - base) + " " + std::string(s.layout().formName) +
                        "." + timer.key());
    }
    void run(uint64_t ms) { scheduler.runUntil(scheduler.now() + ms); }

    uint32_t tickCount() override { return scheduler.tickCount(); }
    void timerStarted(Screen& s, Control& t) override { scheduler.started(s, t); }
    void timerStopped(Screen& s, Control& t) override { scheduler.stopped(s, t); }
    void screenLoaded(Screen&) override {}
    void screenShown(Screen&) override {}
    void screenEnabledChanged(Screen&) override {}
    void screenUnloaded(Screen& s) override { scheduler.screenGone(s); }
    void showHelp() override {}
    void endProgram() override {}

    Setup setup;
    OnTick onTick;
    std::vector<std::string> ticks;
    uint64_t base = 0;
    TimerScheduler scheduler;
    ScreenSet screens;
};

ProbeScreen::ProbeScreen(ScreenSet& screens, FormId id, Rig& rig) : Screen(screens, id), rig_(rig) {
    for (Control& c : controls())
        if (c.isTimer())
            c.enabled = false;
    if (rig_.setup)
        rig_.setup(*this);
}

void ProbeScreen::timerTick(Control& timer) {
    rig_.onTick(*this, timer);
}

// Form5 has Timer1 then Timer2 in its layout, Form8 Timer3, Timer2, Timer1.
void timer(Screen& s, const char* name, int interval, bool gated = false) {
    Control& t = s.ctl(name);
    t.interval = interval;
    t.gated = gated;
    t.enabled = true;
}

TEST(Scheduler, SameMillisecondTicksGoInStartOrderAndAStoppedTimerTicksNoMore) {
    Rig rig(
        0,
        [](Screen& s) {
            if (s.id() == FormId::Form5) {
                timer(s, "Timer1", 10);
                timer(s, "Timer2", 5);
            }
        },
        [](ProbeScreen& s, Control& t) {
            Rig& r = static_cast<Rig&>(s.set().host());
            r.log(s, t);
            // At 20 Timer1 stops Timer2, which was due then too; at 30 it
            // starts it afresh, behind itself in the order.
            if (t.name == "Timer1" && r.scheduler.now() == 20)
                s.setTimer(s.ctl("Timer2"), false);
            if (t.name == "Timer1" && r.scheduler.now() == 30)
                s.setTimer(s.ctl("Timer2"), true);
        });
    rig.screens.ref(FormId::Form5);
    rig.run(40);
    EXPECT_EQ(rig.ticks, (std::vector<std::string>{"5 Form5.Timer2", "10 Form5.Timer1", "10 Form5.Timer2",
                                                   "15 Form5.Timer2", "20 Form5.Timer1", "30 Form5.Timer1",
                                                   "35 Form5.Timer2", "40 Form5.Timer1", "40 Form5.Timer2"}));
}

TEST(Scheduler, AScreenUnloadedByAnEarlierTickMissesItsTickAndAFreshOneStartsAfresh) {
    Rig rig(
        0, [](Screen& s) { timer(s, "Timer1", 10); },
        [](ProbeScreen& s, Control& t) {
            Rig& r = static_cast<Rig&>(s.set().host());
            r.log(s, t);
            if (s.id() == FormId::Form5 && r.scheduler.now() == 10) {
                s.set().unload(FormId::Form8);
                s.set().ref(FormId::Form8);
            }
        });
    rig.screens.ref(FormId::Form5);
    rig.screens.ref(FormId::Form8);
    rig.run(20);
    EXPECT_EQ(rig.ticks, (std::vector<std::string>{"10 Form5.Timer1", "20 Form5.Timer1", "20 Form8.Timer1"}));
}

TEST(Scheduler, WaitLosesTheTicksItPassesOverAndKeepsThePhase) {
    Rig rig(
        1000, [](Screen& s) { timer(s, "Timer1", 10); },
        [](ProbeScreen& s, Control& t) { static_cast<Rig&>(s.set().host()).log(s, t); });
    rig.base = 1000;
    rig.screens.ref(FormId::Form5);
    rig.scheduler.wait(15);
    rig.run(10);            // 20 ticks
    rig.scheduler.wait(5);  // lands on 30, which is lost
    rig.run(9);
    rig.run(1);  // 40 ticks
    EXPECT_EQ(rig.ticks, (std::vector<std::string>{"20 Form5.Timer1", "40 Form5.Timer1"}));
    EXPECT_EQ(rig.scheduler.now(), 1040u);
}

// A 1 ms gated timer stepping through the real step gate, from a clock just
// short of the counter's wrap: the steps are the same whether the scheduler
// skips the ticks that cannot pass or runs every one, and skipping costs one
// tick a step.
TEST(Scheduler, SkippingGatedTicksThatCannotPassChangesNothingAcrossTheWrap) {
    struct Outcome {
        std::vector<std::string> steps;
        int handlerCalls = 0;
    };
    auto play = [](bool checkEverySkip) {
        Outcome out;
        const uint64_t start = 4294967296ull - 300;
        Rig rig(
            start, [](Screen& s) { timer(s, "Timer1", 1, true); },
            [&out](ProbeScreen& s, Control& t) {
                ++out.handlerCalls;
                Rig& r = static_cast<Rig&>(s.set().host());
                if (StepGate(r.screens.state(), r))
                    r.log(s, t);
            });
        rig.base = start;
        if (checkEverySkip)
            rig.scheduler.checkSkips([&rig] { return std::to_string(rig.screens.state().LastTick); });
        rig.screens.state().LastTick = static_cast<int32_t>(static_cast<uint32_t>(start - 20));
        rig.screens.ref(FormId::Form8);
        rig.run(1000);
        out.steps = rig.ticks;
        return out;
    };
    const Outcome skipping = play(false);
    const Outcome checking = play(true);
    EXPECT_EQ(skipping.steps, checking.steps);
    ASSERT_EQ(skipping.steps.size(), 20u);
    EXPECT_EQ(skipping.steps.front(), "31 Form8.Timer1");  // 51 ms after the last step
    EXPECT_EQ(skipping.steps[6], "337 Form8.Timer1");      // past the wrap at 300
    EXPECT_EQ(skipping.handlerCalls, 20);
    EXPECT_EQ(checking.handlerCalls, 1000);
}

TEST(Scheduler, ASkippedTickThatWouldHaveChangedTheGameIsCaught) {
    Rig rig(
        0, [](Screen& s) { timer(s, "Timer2", 1, true); },
        [](ProbeScreen& s, Control&) {
            Rig& r = static_cast<Rig&>(s.set().host());
            r.screens.state().FishInterest += 1;  // before the gate: a fault
            StepGate(r.screens.state(), r);
        });
    rig.scheduler.checkSkips([&rig] { return std::to_string(rig.screens.state().FishInterest); }, 1);
    rig.screens.ref(FormId::Form5);
    try {
        rig.run(200);
        FAIL() << "the fault went unnoticed";
    } catch (const std::logic_error& e) {
        EXPECT_NE(std::string(e.what()).find("Form5.Timer2"), std::string::npos) << e.what();
    }
}

}  // namespace
}  // namespace mogumo
