// The pure parts of the model: the step gate, the random source, the screen
// runtime's load and unload rules, and the text formats.

#include <gtest/gtest.h>

#include <random>

#include "core/game_state.h"
#include "core/host.h"
#include "core/random_source.h"
#include "core/screen_set.h"
#include "core/step_gate.h"
#include "core/text.h"
#include "screens/battle/species_catalogue.h"

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

TEST(StepGate, RunsAtMostOneStepPer50Ms) {
    FakeHost host;
    GameState s;
    EXPECT_TRUE(StepGate(s, host));  // nothing ran yet: due at once
    EXPECT_EQ(s.LastTick, 100000);
    host.now += 30;
    EXPECT_FALSE(StepGate(s, host));  // 30 ms later: no second step
    host.now = 100050;
    EXPECT_FALSE(StepGate(s, host));  // exactly 50 ms is not enough
    host.now = 100051;
    EXPECT_TRUE(StepGate(s, host));
    EXPECT_EQ(s.LastTick, 100051);
}

// The tick counter passes 2^31 (where a signed comparison flips) and 2^32
// (where it wraps to 0); the game must keep stepping every 51 ms across both.
TEST(StepGate, KeepsSteppingAcrossSignFlipAndWrapAround) {
    for (uint32_t start : {0x7FFFFF00u, 0xFFFFFF00u}) {
        FakeHost host;
        GameState s;
        host.now = start;
        int steps = 0;
        for (int ms = 0; ms < 1020; ++ms, ++host.now)
            if (StepGate(s, host))
                ++steps;
        EXPECT_EQ(steps, 20) << "from " << start;
    }
    // A step 16 ms before the wrap: the next is due 51 ms later, at 35.
    EXPECT_FALSE(stepDue(34, static_cast<int32_t>(0xFFFFFFF0u)));
    EXPECT_TRUE(stepDue(35, static_cast<int32_t>(0xFFFFFFF0u)));
}

TEST(StepGate, FirstDueTickIs51MsAfterTheStep) {
    EXPECT_EQ(firstDueTick(100000), 100051u);
    EXPECT_FALSE(stepDue(firstDueTick(-10) - 1, -10));
    EXPECT_TRUE(stepDue(firstDueTick(-10), -10));
}

TEST(RandomSource, DrawsTheTop24BitsOfTheDefaultMersenneTwister) {
    RandomSource random;
    std::mt19937 reference;
    for (int i = 0; i < 1000; ++i) {
        const float expected = static_cast<float>(reference() >> 8) / 16777216.0f;
        const float r = random.draw();
        ASSERT_EQ(r, expected);
        ASSERT_GE(r, 0.0f);
        ASSERT_LT(r, 1.0f);
    }
    EXPECT_EQ(random.draws(), 1000u);
    RandomSource first;
    EXPECT_FLOAT_EQ(first.draw(), 13668795.0f / 16777216.0f);  // 3499211612 >> 8
}

TEST(GameState, ToggleAnimFrameSwapsZeroAndOne) {
    GameState s;
    ToggleAnimFrame(s);
    EXPECT_EQ(s.AnimFrame, 1);
    ToggleAnimFrame(s);
    EXPECT_EQ(s.AnimFrame, 0);
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

TEST(ScreenRuntime, LoadsOnReferenceAndStartsItsRunningTimers) {
    FakeHost host;
    ScreenSet set(host, testFactory);
    SelfUnloading::loads = 0;
    EXPECT_EQ(set.loaded(FormId::Form3), nullptr);
    Screen& spot = set.ref(FormId::Form3);
    EXPECT_EQ(SelfUnloading::loads, 1);
    EXPECT_FALSE(spot.visible());  // loaded is not shown
    EXPECT_EQ(host.started, 1);    // Timer1 runs from load
    set.ref(FormId::Form3);
    EXPECT_EQ(SelfUnloading::loads, 1);  // a second reference does not reload
    set.show(FormId::Form3);
    EXPECT_TRUE(spot.visible());
}

TEST(ScreenRuntime, AHandlerMayUnloadItsOwnScreenAndTouchItAgain) {
    FakeHost host;
    ScreenSet set(host, testFactory);
    SelfUnloading::loads = 0;
    set.show(FormId::Form3);
    Screen& old = *set.loaded(FormId::Form3);
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
    set.ref(FormId::Form1);
    set.end();
    EXPECT_TRUE(host.endedProgram);
    EXPECT_TRUE(set.ended());
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
    EXPECT_EQ(catchLogLine("めでか", 250, 200), "めでか　　　　/00000250/000000200");
    EXPECT_EQ(catchLogLine("アユ", 7210, 2215), "アユ　　　　　/00007210/000002215");
    EXPECT_EQ(catchLogLine("ウイングフィシュ", 9300, 2200), "ウイングフィシ/00009300/000002200");
    EXPECT_EQ(catchLogLine("プランクトン", 10, 10), "プランクトン　/00000010/000000010");
    for (const Species& s : kSpecies)
        EXPECT_EQ(charCount(catchLogLine(s.name, s.baseWeight + 30, s.baseLength + 30)), 26u) << s.name;
}

TEST(SpeciesCatalogue, OutOfRangeIndicesFallBackToRowZero) {
    EXPECT_EQ(speciesRow(0).name, "しゅわん");
    EXPECT_EQ(speciesRow(41).name, "しゅわん");
    EXPECT_EQ(speciesRow(-1).name, "しゅわん");
    EXPECT_EQ(speciesRow(40).name, "まぼろし魚");
    EXPECT_EQ(speciesRow(28).name, "いるかい？");
}

}  // namespace
}  // namespace mogumo
