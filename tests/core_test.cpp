// The pure parts of the model: the step gate, the random source, the screen
// runtime's load and unload rules, and the text formats.

#include <gtest/gtest.h>

#include <optional>
#include <stdexcept>

#include "core/game.h"
#include "core/game_clock.h"
#include "core/game_state.h"
#include "core/host.h"
#include "core/keys.h"
#include "core/step_gate.h"
#include "core/text.h"
#include "screens/battle/species_catalogue.h"
#include "screens/lure/lure_screen.h"
#include "screens/screen_factory.h"
#include "ui/layouts/layouts.h"

namespace mogumo {
namespace {

// A host that records what the game tells it.
class FakeHost : public Host {
public:
    int unloaded = 0, shown = 0, help = 0;
    bool endedProgram = false;

    void screenShown(Screen&) override { ++shown; }
    void screenUnloaded(Screen&) override { ++unloaded; }
    void showHelp() override { ++help; }
    void endProgram() override { endedProgram = true; }
};

// A step is due only more than 50 ms after the last one (the recorded
// scenarios have 30, 50 and 51 ms), by unsigned 32-bit difference: the counter
// passing 2^31 (where a signed comparison flips) or wrapping at 2^32 must
// neither stall nor race the game.
TEST(StepGate, RunsAtMostOneStepPer50MsAcrossTheWrap) {
    GameState s;
    for (uint32_t start : {0x7FFFFF00u, 0xFFFFFF00u}) {
        uint32_t now = start;
        s.LastTick = static_cast<int32_t>(start - 51);
        int steps = 0;
        for (int ms = 0; ms < 1020; ++ms, ++now)
            if (StepGate(s, now))
                ++steps;
        EXPECT_EQ(steps, 20) << "from " << start;
    }
    EXPECT_FALSE(stepDue(34, static_cast<int32_t>(0xFFFFFFF0u)));
    EXPECT_TRUE(stepDue(35, static_cast<int32_t>(0xFFFFFFF0u)));
    EXPECT_EQ(firstDueTick(-10), 41u);
}

// A wake up to kStallMs after a tick was due makes the ticks up; a later one
// loses the time.
TEST(GameClock, AWakeLateByTheStallBoundStillRunsTheTicks) {
    for (const uint64_t late : {GameClock::kStallMs, GameClock::kStallMs + 1}) {
        Game game(makeScreen);
        game.start();
        game.click(FormId::Form1, "Command1");  // the spot screen's timers run
        uint64_t real = 0;
        const GameClock clock([&real] { return real; }, game.now());
        real = *game.nextTickAt() - game.now() + late;
        const std::optional<GameClock::Move> move = clock.catchUp(game, false);
        ASSERT_TRUE(move);
        EXPECT_EQ(move->lost, late > GameClock::kStallMs) << late;
    }
}

// A screen for the runtime tests: its click unloads itself and goes on.
class SelfUnloading : public Screen {
public:
    static constexpr FormId kId = FormId::Form3;
    explicit SelfUnloading(ScreenSet& set) : Screen(set, layoutOf(kId)) {
        on(ctl("Command2"), [this] { Command2_Click(); });
    }
    void Form_Load() override { ++loads; }
    void Command2_Click() {
        screens().unload(kId);
        // Still safe: the unloaded object lives until the event is over.
        ctl("Text1").text = "after unload";
        setTimer(ctl("Timer1"), true);  // a dead screen's timer joins no schedule
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
    return std::make_unique<Screen>(set, layoutOf(id));
}

TEST(ScreenRuntime, LoadsOnReferenceAndAHandlerMayUnloadItsOwnScreenAndTouchItAgain) {
    FakeHost host;
    Game game(testFactory, kDefaultClock, &host);
    ScreenSet& set = game.screens();
    SelfUnloading::loads = 0;
    Screen& old = set.ref(FormId::Form3);
    EXPECT_TRUE(game.isRunning(old, old.ctl("Timer1")));  // Timer1 runs from load
    EXPECT_FALSE(old.visible());                          // loaded is not shown
    EXPECT_EQ(&set.ref(FormId::Form3), &old);             // a second reference does not reload
    set.show(FormId::Form3);
    set.click(old, old.ctl("Command2"));
    EXPECT_TRUE(SelfUnloading::freshWasNew);
    EXPECT_EQ(host.unloaded, 1);
    EXPECT_EQ(SelfUnloading::loads, 2);
    Screen* fresh = set.loaded(FormId::Form3);
    ASSERT_NE(fresh, nullptr);
    EXPECT_FALSE(fresh->visible());  // loaded again by reference, not shown
    EXPECT_EQ(fresh->ctl("Text1").text, "fresh");
    EXPECT_TRUE(game.isRunning(*fresh, fresh->ctl("Timer1")));  // the fresh screen's own Timer1
}

TEST(ScreenRuntime, UnloadStopsTimersAndEndStopsEvents) {
    FakeHost host;
    Game game(testFactory, kDefaultClock, &host);
    ScreenSet& set = game.screens();
    Screen& spot = set.ref(FormId::Form3);
    set.show(FormId::Form3);
    ASSERT_TRUE(game.isRunning(spot, spot.ctl("Timer1")));
    set.unload(FormId::Form3);
    EXPECT_EQ(set.loaded(FormId::Form3), nullptr);
    EXPECT_FALSE(game.nextTickAt().has_value());  // its timer left with it
    Screen& title = set.ref(FormId::Form1);
    set.end();
    EXPECT_TRUE(host.endedProgram);
    EXPECT_TRUE(set.ended());
    set.keyDown(title, kKeyF1);
    EXPECT_EQ(host.help, 0);
}

// The results screen's click unloads it, lets a nested event through (as a
// modal dialog's event loop would) and then throws or goes on with its own
// controls. The unloaded screen must live until the outermost event is over,
// and no longer.
class Nesting : public Screen {
public:
    static constexpr FormId kId = FormId::Form4;
    explicit Nesting(ScreenSet& set) : Screen(set, layoutOf(kId)) {
        on(ctl("Command1"), [this] { Command1_Click(); });
    }
    ~Nesting() override { destroyed = true; }
    void Command1_Click() {
        screens().unload(kId);
        Screen& other = screens().ref(FormId::Form1);
        screens().keyDown(other, kKeyF1);  // nested: ends before we do
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
        Game game(
            [](ScreenSet& s, FormId id) -> std::unique_ptr<Screen> {
                if (id == FormId::Form4)
                    return std::make_unique<Nesting>(s);
                return std::make_unique<Screen>(s, layoutOf(id));
            },
            kDefaultClock, &host);
        ScreenSet& set = game.screens();
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
    Game game([](ScreenSet& s, FormId id) { return std::make_unique<Screen>(s, layoutOf(id)); });
    EXPECT_THROW(game.screens().get<LureScreen>(), std::logic_error);
#endif
}

// Every host draws a control between its rounded edges, so that controls
// side by side meet, however their twips fall.
TEST(Control, PixelsRoundTheEdgesNotTheSize) {
    Control c;
    c.left = 7;  // 0.47 px
    c.width = 7;
    EXPECT_EQ(c.pixels().width, 1);
}

// The keys a focused control keeps from its screen, at the ends of the ranges.
TEST(Keys, AFocusedTextBoxKeepsItsScrollingKeysAndAButtonOnlyItsPress) {
    for (int code : {kKeyReturn, kKeySpace, kKeyEnd, kKeyDown}) {
        EXPECT_TRUE(controlKeepsKey(ControlKind::TextBox, code)) << code;
        EXPECT_EQ(controlKeepsKey(ControlKind::Button, code), code == kKeyReturn || code == kKeySpace)
            << code;
    }
    for (int code : {kKeyEnd - 1, kKeyDown + 1, kKeyShift})
        EXPECT_FALSE(controlKeepsKey(ControlKind::TextBox, code)) << code;
}

TEST(ScreenRuntime, AControlMissingFromTheLayoutIsNamed) {
    Game game(testFactory);
    Screen& title = game.screens().ref(FormId::Form1);
    EXPECT_EQ(title.find("Command9"), nullptr);
    try {
        title.ctl("Command1", 0);
        ADD_FAILURE() << "no exception";
    } catch (const std::logic_error& e) {
        EXPECT_STREQ(e.what(), "no control Command1(0) on Form1");
    }
}

// A name is cut or padded to 7 characters, not bytes; the numbers are
// zero-filled.
TEST(CatchLogLine, PadsOrCutsTheNameAndZeroFillsTheNumbers) {
    EXPECT_EQ(catchLogLine("アユ", 7210, 2215), "アユ　　　　　/00007210/000002215");
    EXPECT_EQ(catchLogLine("ウイングフィシュ", 9300, 2200), "ウイングフィシ/00009300/000002200");
}

}  // namespace
}  // namespace mogumo
