// The pure parts of the model: the step gate, the random source, the screen
// runtime's load and unload rules, and the text formats.

#include <gtest/gtest.h>

#include <stdexcept>

#include "core/game_state.h"
#include "core/host.h"
#include "core/random_source.h"
#include "core/screen_set.h"
#include "core/step_gate.h"
#include "core/text.h"
#include "screens/battle/species_catalogue.h"
#include "screens/lure/lure_screen.h"

namespace mogumo {
namespace {

// A host that records what the runtime tells it.
class FakeHost : public Host {
public:
    uint32_t now = 100000;
    int started = 0, stopped = 0, unloaded = 0, shown = 0, help = 0;
    bool endedProgram = false;

    uint32_t tickCount() override { return now; }
    void timerStarted(Screen&, Control&) override { ++started; }
    void timerStopped(Screen&, Control&) override { ++stopped; }
    void screenLoaded(Screen&) override {}
    void screenShown(Screen&) override { ++shown; }
    void screenEnabledChanged(Screen&) override {}
    void screenUnloaded(Screen&) override { ++unloaded; }
    void showHelp() override { ++help; }
    void endProgram() override { endedProgram = true; }
};

// A step is due only more than 50 ms after the last one, by unsigned 32-bit
// difference: the counter passing 2^31 (where a signed comparison flips) or
// wrapping at 2^32 must neither stall nor race the game.
TEST(StepGate, RunsAtMostOneStepPer50MsAcrossTheWrap) {
    FakeHost host;
    GameState s;
    EXPECT_TRUE(StepGate(s, host));  // nothing ran yet: due at once
    EXPECT_EQ(s.LastTick, 100000);
    for (uint32_t later : {30u, 50u}) {
        host.now = 100000 + later;
        EXPECT_FALSE(StepGate(s, host)) << later;
    }
    host.now = 100051;
    EXPECT_TRUE(StepGate(s, host));
    EXPECT_EQ(s.LastTick, 100051);
    for (uint32_t start : {0x7FFFFF00u, 0xFFFFFF00u}) {
        host.now = start;
        s.LastTick = static_cast<int32_t>(start - 51);
        int steps = 0;
        for (int ms = 0; ms < 1020; ++ms, ++host.now)
            if (StepGate(s, host))
                ++steps;
        EXPECT_EQ(steps, 20) << "from " << start;
    }
    EXPECT_FALSE(stepDue(34, static_cast<int32_t>(0xFFFFFFF0u)));
    EXPECT_TRUE(stepDue(35, static_cast<int32_t>(0xFFFFFFF0u)));
    EXPECT_EQ(firstDueTick(-10), 41u);
}

// The default-seeded generator's first outputs, 3499211612 and 581869302,
// keep their top 24 bits.
TEST(RandomSource, DrawsTheTop24BitsOfTheDefaultMersenneTwister) {
    RandomSource random;
    EXPECT_EQ(random.draw(), 13668795.0f / 16777216.0f);
    EXPECT_EQ(random.draw(), 2272926.0f / 16777216.0f);
    EXPECT_EQ(random.draws(), 2u);
}

// A screen for the runtime tests: its click unloads itself and goes on.
class SelfUnloading : public Screen {
public:
    static constexpr FormId kId = FormId::Form3;
    explicit SelfUnloading(ScreenSet& set) : Screen(set, kId) {}
    void Form_Load() override { ++loads; }
    void click(Control&) override {
        screens().unload(kId);
        // Still safe: the unloaded object lives until the event is over.
        ctl("Text1").text = "after unload";
        setTimer(ctl("Timer1"), true);  // a dead screen's timer reaches no host
        auto& fresh = screens().get<SelfUnloading>();
        freshWasNew = &fresh != this;
        fresh.ctl("Text1").text = "fresh";
    }
    static inline int loads = 0;
    static inline bool freshWasNew = false;
};

std::unique_ptr<Screen> testFactory(ScreenSet& set, FormId id) {
    if (id == FormId::Form3)
        return std::make_unique<SelfUnloading>(set);
    return std::make_unique<Screen>(set, id);
}

TEST(ScreenRuntime, LoadsOnReferenceAndAHandlerMayUnloadItsOwnScreenAndTouchItAgain) {
    FakeHost host;
    ScreenSet set(host, testFactory);
    SelfUnloading::loads = 0;
    Screen& old = set.ref(FormId::Form3);
    EXPECT_EQ(host.started, 1);                // Timer1 runs from load
    EXPECT_FALSE(old.visible());               // loaded is not shown
    EXPECT_EQ(&set.ref(FormId::Form3), &old);  // a second reference does not reload
    set.show(FormId::Form3);
    const int startedBefore = host.started;
    set.click(old, old.ctl("Command2"));
    EXPECT_TRUE(SelfUnloading::freshWasNew);
    EXPECT_EQ(host.unloaded, 1);
    EXPECT_EQ(SelfUnloading::loads, 2);
    Screen* fresh = set.loaded(FormId::Form3);
    ASSERT_NE(fresh, nullptr);
    EXPECT_FALSE(fresh->visible());  // loaded again by reference, not shown
    EXPECT_EQ(fresh->ctl("Text1").text, "fresh");
    EXPECT_EQ(host.started, startedBefore + 1);  // only the fresh screen's Timer1
}

TEST(ScreenRuntime, UnloadStopsTimersAndEndStopsEvents) {
    FakeHost host;
    ScreenSet set(host, testFactory);
    set.show(FormId::Form3);
    set.unload(FormId::Form3);
    EXPECT_EQ(set.loaded(FormId::Form3), nullptr);
    Screen& title = set.ref(FormId::Form1);
    set.end();
    EXPECT_TRUE(host.endedProgram);
    EXPECT_TRUE(set.ended());
    set.keyDown(title, ScreenSet::kKeyF1);
    EXPECT_EQ(host.help, 0);
}

// The results screen's click unloads it, lets a nested event through (as a
// modal dialog's event loop would) and then throws or goes on with its own
// controls. The unloaded screen must live until the outermost event is over,
// and no longer.
class Nesting : public Screen {
public:
    static constexpr FormId kId = FormId::Form4;
    explicit Nesting(ScreenSet& set) : Screen(set, kId) {}
    ~Nesting() override { destroyed = true; }
    void click(Control&) override {
        screens().unload(kId);
        Screen& other = screens().ref(FormId::Form1);
        screens().keyDown(other, ScreenSet::kKeyF1);  // nested: ends before we do
        aliveAfterNested = !destroyed;
        if (fail)
            throw std::runtime_error("handler failed");
        ctl("Text1").text = "still here";
    }
    static inline bool destroyed = false, aliveAfterNested = false, fail = false;
};

TEST(ScreenRuntime, NestedEventsAndExceptionsFreeUnloadedScreensOnlyAtTheEnd) {
    for (bool fail : {false, true}) {
        FakeHost host;
        ScreenSet set(host, [](ScreenSet& s, FormId id) -> std::unique_ptr<Screen> {
            if (id == FormId::Form4)
                return std::make_unique<Nesting>(s);
            return std::make_unique<Screen>(s, id);
        });
        Nesting::destroyed = Nesting::aliveAfterNested = false;
        Nesting::fail = fail;
        Screen& results = set.ref(FormId::Form4);
        if (fail)
            EXPECT_THROW(set.click(results, results.ctl("Command1")), std::runtime_error);
        else
            set.click(results, results.ctl("Command1"));
        EXPECT_TRUE(Nesting::aliveAfterNested) << fail;
        EXPECT_TRUE(Nesting::destroyed) << fail;
        EXPECT_EQ(host.help, 1);
        EXPECT_EQ(set.loaded(FormId::Form4), nullptr);
        set.show(FormId::Form4);  // the runtime takes events again
        EXPECT_TRUE(set.loaded(FormId::Form4)->visible());
    }
}

TEST(ScreenRuntime, GetChecksTheScreenClassInDebugBuilds) {
#ifdef NDEBUG
    GTEST_SKIP() << "checked in debug builds only";
#else
    FakeHost host;
    ScreenSet set(host, [](ScreenSet& s, FormId id) { return std::make_unique<Screen>(s, id); });
    EXPECT_THROW(set.get<LureScreen>(), std::logic_error);
#endif
}

TEST(ScreenRuntime, AControlMissingFromTheLayoutIsNamed) {
    FakeHost host;
    ScreenSet set(host, testFactory);
    Screen& title = set.ref(FormId::Form1);
    EXPECT_EQ(title.find("Command9"), nullptr);
    try {
        title.ctl("Command1", 0);
        ADD_FAILURE() << "no exception";
    } catch (const std::logic_error& e) {
        EXPECT_STREQ(e.what(), "no control Command1(0) on Form1");
    }
}

TEST(Text, CountsAndCutsCharactersNotBytes) {
    EXPECT_EQ(charCount("ウイングフィシュ"), 8u);
    EXPECT_EQ(leftChars("ウイングフィシュ", 7), "ウイングフィシ");
    EXPECT_EQ(leftChars("アユ", 7), "アユ");
    EXPECT_EQ(rightAscii("000000010", 8), "00000010");
}

TEST(Text, AveragesUseTheShortestFormWith15Digits) {
    EXPECT_EQ(formatAverage(1500.0 / 2), "750");
    EXPECT_EQ(formatAverage(1001.0 / 2), "500.5");
    EXPECT_EQ(formatAverage(1000.0 / 3), "333.333333333333");
    EXPECT_EQ(formatAverage(2.0 / 3), "0.666666666666667");
    EXPECT_EQ(formatAverage(1585175.0), "1585175");
}

TEST(CatchLogLine, PadsOrCutsTheNameAndZeroFillsTheNumbers) {
    EXPECT_EQ(catchLogLine("アユ", 7210, 2215), "アユ　　　　　/00007210/000002215");
    EXPECT_EQ(catchLogLine("ウイングフィシュ", 9300, 2200), "ウイングフィシ/00009300/000002200");
    for (const Species& s : kSpecies)
        EXPECT_EQ(charCount(catchLogLine(s.name, s.baseWeight + 30, s.baseLength + 30)), 26u) << s.name;
}

TEST(SpeciesCatalogue, OutOfRangeIndicesFallBackToRowZero) {
    for (int32_t outside : {-1, 41}) EXPECT_EQ(&speciesRow(outside), &speciesRow(0)) << outside;
    EXPECT_NE(&speciesRow(40), &speciesRow(0));
}

}  // namespace
}  // namespace mogumo
