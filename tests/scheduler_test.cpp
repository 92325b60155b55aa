// The game's timers and clock, on screens whose timers the tests set up and
// whose ticks they write down.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "core/game.h"
#include "ui/layouts/layouts.h"

namespace mogumo {
namespace {

class Rig;

// A screen with a real layout whose timers do what the test says.
class ProbeScreen : public Screen {
public:
    ProbeScreen(ScreenSet& screens, FormId id, Rig& rig);
    ScreenSet& set() { return screens(); }
};

// A game of probe screens.
class Rig {
public:
    using Setup = std::function<void(Screen&)>;
    using OnTick = std::function<void(Rig&, ProbeScreen&, Control&)>;

    Rig(uint64_t start, Setup setupScreen, OnTick tick)
        : setup(std::move(setupScreen)),
          onTick(std::move(tick)),
          base(start),
          game([this](ScreenSet& s, FormId id) { return std::make_unique<ProbeScreen>(s, id, *this); },
               static_cast<uint32_t>(start)) {
        // A start past 2^32 keeps its high bits on the game clock.
        game.wait(start - static_cast<uint32_t>(start));
    }

    // Each tick as "<ms since the rig's start> <form>.<timer>".
    void log(Screen& s, const Control& timer) {
        ticks.push_back(std::to_string(game.now() - base) + " " + std::string(s.layout().formName) + "." +
                        timer.key());
    }
    Screen& load(FormId id) { return game.screens().ref(id); }

    Setup setup;
    OnTick onTick;
    std::vector<std::string> ticks;
    uint64_t base;
    Game game;
};

ProbeScreen::ProbeScreen(ScreenSet& screens, FormId id, Rig& rig) : Screen(screens, layoutOf(id)) {
    for (Control& c : controls())
        if (c.isTimer()) {
            c.enabled = false;
            on(c, [this, &rig, &c] { rig.onTick(rig, *this, c); });
        }
    if (rig.setup)
        rig.setup(*this);
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
        [](Rig& r, ProbeScreen& s, Control& t) {
            r.log(s, t);
            // At 20 Timer1 stops Timer2, which was due then too; at 30 it
            // starts it afresh, behind itself in the order.
            if (t.name == "Timer1" && r.game.now() == 20)
                s.setTimer(s.ctl("Timer2"), false);
            if (t.name == "Timer1" && r.game.now() == 30)
                s.setTimer(s.ctl("Timer2"), true);
        });
    rig.load(FormId::Form5);
    rig.game.run(40);
    EXPECT_EQ(rig.ticks, (std::vector<std::string>{"5 Form5.Timer2", "10 Form5.Timer1", "10 Form5.Timer2",
                                                   "15 Form5.Timer2", "20 Form5.Timer1", "30 Form5.Timer1",
                                                   "35 Form5.Timer2", "40 Form5.Timer1", "40 Form5.Timer2"}));
}

TEST(Scheduler, AScreenUnloadedByAnEarlierTickMissesItsTickAndAFreshOneStartsAfresh) {
    Rig rig(
        0, [](Screen& s) { timer(s, "Timer1", 10); },
        [](Rig& r, ProbeScreen& s, Control& t) {
            r.log(s, t);
            if (s.id() == FormId::Form5 && r.game.now() == 10) {
                s.set().unload(FormId::Form8);
                s.set().ref(FormId::Form8);
            }
        });
    rig.load(FormId::Form5);
    rig.load(FormId::Form8);
    rig.game.run(20);
    EXPECT_EQ(rig.ticks, (std::vector<std::string>{"10 Form5.Timer1", "20 Form5.Timer1", "20 Form8.Timer1"}));
}

TEST(Scheduler, WaitLosesTheTicksItPassesOverAndKeepsThePhase) {
    Rig rig(
        1000, [](Screen& s) { timer(s, "Timer1", 10); },
        [](Rig& r, ProbeScreen& s, Control& t) { r.log(s, t); });
    rig.load(FormId::Form5);
    rig.game.wait(15);
    rig.game.run(10);  // 20 ticks
    rig.game.wait(5);  // lands on 30, which is lost
    rig.game.run(9);
    rig.game.run(1);  // 40 ticks
    EXPECT_EQ(rig.ticks, (std::vector<std::string>{"20 Form5.Timer1", "40 Form5.Timer1"}));
    EXPECT_EQ(rig.game.now(), 1040u);
}

// A 1 ms gated timer, from a clock just short of the counter's wrap: its
// handler runs only when a step is due, once a step, and a tick outside the
// schedule while the gate is shut does not reach it either.
TEST(Scheduler, AGatedHandlerNeverRunsWhileTheGateIsShutAcrossTheWrap) {
    const uint64_t start = 4294967296ull - 300;
    std::vector<bool> gateWasOpen;
    Rig rig(
        start, [](Screen& s) { timer(s, "Timer1", 1, true); },
        [&gateWasOpen](Rig& r, ProbeScreen& s, Control& t) {
            // The gate has just moved LastTick to now: it was open.
            gateWasOpen.push_back(static_cast<uint32_t>(r.game.state().LastTick) == r.game.tickCount());
            r.log(s, t);
        });
    rig.game.state().LastTick = static_cast<int32_t>(static_cast<uint32_t>(start - 20));
    Screen& battle = rig.load(FormId::Form8);
    rig.game.run(1000);
    ASSERT_EQ(rig.ticks.size(), 20u);
    EXPECT_EQ(rig.ticks.front(), "31 Form8.Timer1");  // 51 ms after the last step
    EXPECT_EQ(rig.ticks[6], "337 Form8.Timer1");      // past the wrap at 300
    EXPECT_EQ(std::count(gateWasOpen.begin(), gateWasOpen.end(), true), 20);

    // The last step was at 1000 - (1000 - 31) % 51; a tick 10 ms later is shut out.
    rig.game.wait(10);
    EXPECT_EQ(rig.game.tick(FormId::Form8, "Timer1"), std::nullopt);
    EXPECT_EQ(rig.ticks.size(), 20u);
    EXPECT_TRUE(rig.game.isRunning(battle, battle.ctl("Timer1")));
}

}  // namespace
}  // namespace mogumo
