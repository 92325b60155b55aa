// The lure screen: reeling, sinking, the fish's three moods, the bite and the
// ways a cast ends.

#include <gtest/gtest.h>

#include "core/random_source.h"
#include "sim_fixture.h"

namespace mogumo::test {
namespace {

TEST(Lure, NeverReelingTheLureSettlesAboveTheSeaBed) {
    Game g;
    g.castAtOnce();
    g.steps(94);
    ASSERT_NE(g.sim.screens().loaded(FormId::Form6), nullptr);
    EXPECT_EQ(g.ctl(FormId::Form6, "rua").top, 315 + 94 * 15);
    g.steps(1);
    EXPECT_EQ(g.ctl(FormId::Form6, "rua").top, 1730);  // Shape1.Top - 160
    g.steps(5);
    EXPECT_EQ(g.ctl(FormId::Form6, "rua").top, 1730);
    EXPECT_EQ(g.state().PlayerLife, 2000 - 100);
    EXPECT_EQ(g.sim.screens().random().draws(), 200u);  // two draws per fish step
}

TEST(Lure, TheFirstStepWritesTheStatusText) {
    // Spot 1 (5000 life), power 76: a 760 m cast, Shift held from the first step.
    const SimRun r = runSim(toCastScreen(1) + "run 1\n" + steps(17) + "click Form5.cast\nkeydown Form6 16\n" +
                            steps(1) + "dump\n");
    ASSERT_EQ(r.status, 0) << r.error;
    EXPECT_EQ(r.control("Form6", "Text1")["text"].str(), "YOUR LIFE：4999 魚の興味：1％\r\n岸まで759M");
}

// The interest is clamped after it moves: 300 stays, anything above becomes
// 270, below 0 becomes 0.
TEST(Lure, InterestClampsAfterEachStep) {
    struct Case {
        int32_t before;
        bool reeling;
        int32_t after;
        const char* shown;
    };
    for (const Case& c : {Case{297, true, 300, "100％"}, Case{299, true, 270, "90％"},
                          Case{0, false, 0, "0％"}, Case{10000, false, 270, "90％"}}) {
        Game g;
        g.castAtOnce();
        if (c.reeling)
            g.keyDown(FormId::Form6, 16);
        g.state().FishInterest = c.before;
        g.steps(1);
        EXPECT_EQ(g.state().FishInterest, c.after) << c.before;
        EXPECT_NE(g.ctl(FormId::Form6, "Text1").text.find(c.shown), std::string::npos) << c.before;
    }
}

// Without reeling, the fish's sideways move tells its mood: wander -20..30,
// trail 50..65 and chase 85..100 towards their targets.
TEST(Lure, TheFishWandersTrailsOrChasesByInterest) {
    struct Case {
        int32_t interestAfterStep;
        float minMove, maxMove;
    };
    for (const Case& c : {Case{149, -20, 30}, Case{150, 50, 65}, Case{240, 50, 65}, Case{241, 85, 100}}) {
        Game g;
        g.castAtOnce();
        g.state().FishInterest = c.interestAfterStep + 1;  // the step takes one off
        const float before = g.ctl(FormId::Form6, "uo").left;
        g.steps(1);
        const float moved = g.ctl(FormId::Form6, "uo").left - before;  // the targets lie to the right
        EXPECT_GE(moved, c.minMove) << c.interestAfterStep;
        EXPECT_LE(moved, c.maxMove) << c.interestAfterStep;
        const Control& gyo3 = g.ctl(FormId::Form6, "gyo3");
        EXPECT_EQ(gyo3.left, g.ctl(FormId::Form6, "uo").left - 1265);
        EXPECT_EQ(gyo3.top, g.ctl(FormId::Form6, "uo").top - 450);
    }
}

// Place the bite box so that the wandering fish's next move puts the lure
// point exactly on its right edge.
TEST(Lure, ALurePointOnTheEdgeOfTheBiteBoxIsABite) {
    Game g;
    g.castAtOnce();
    RandomSource preview = g.sim.screens().random();
    preview.draw();
    const float r2 = preview.draw();
    const float move = 50.0f * r2 - 20.0f;
    const float pointX = 4410 + 165;
    Control& uo = g.ctl(FormId::Form6, "uo");
    uo.left = (pointX - 225) - move;
    ASSERT_EQ(uo.left + move, pointX - 225) << "pick another draw";
    uo.top = 330 + 165 - 100;  // the point well inside vertically, whatever r1 does
    g.steps(1);
    EXPECT_EQ(uo.left + uo.width, pointX);
    EXPECT_FALSE(g.ctl(FormId::Form6, "Timer1").enabled);
    EXPECT_TRUE(g.ctl(FormId::Form6, "Timer2").enabled);
    EXPECT_EQ(g.ctl(FormId::Form5, "Text1").text, "ＨＩＴ！！！");
}

TEST(Lure, TheBiteTransitionDraws29RectanglesThenOpensTheBattle) {
    Game g;
    g.biteAtFirstStep();
    ASSERT_TRUE(g.ctl(FormId::Form6, "Timer2").enabled);
    ASSERT_EQ(g.screen(FormId::Form6).drawings().size(), 1u);
    g.sim.run(50 * 38);
    const auto& rects = g.screen(FormId::Form6).drawings();
    ASSERT_EQ(rects.size(), 29u);
    EXPECT_NEAR(rects.front().x1, 3292 - 3292 / 29.0, 0.001);
    EXPECT_EQ(rects.back().x1, 0);
    EXPECT_EQ(rects.back().y2, 3330);
    g.sim.run(50);
    EXPECT_EQ(g.sim.screens().loaded(FormId::Form6), nullptr);
    EXPECT_TRUE(g.screen(FormId::Form7).visible());
    EXPECT_TRUE(g.screen(FormId::Form8).visible());
}

TEST(Lure, EndShowsTimeOverThenTheResults) {
    const SimRun r = runSim(toCastScreen() +
                            "click Form5.cast\nkeydown Form6 35\nrun 1\n"
                            "dump\nrun 2999\ndump\nrun 1\ndump\n");
    EXPECT_EQ(r.dumps[0]["screens"]["Form6"]["controls"]["Label1"]["visible"].boolean(), true);
    EXPECT_EQ(r.dumps[0]["state"]["PlayerLife"].num(), -1);
    EXPECT_NE(r.dumps[0]["screens"]["Form6"]["controls"]["Text1"]["text"].str().find("YOUR LIFE：-1 "),
              std::string::npos);
    EXPECT_TRUE(r.dumps[1]["screens"].has("Form6"));
    EXPECT_FALSE(r.loaded("Form5"));
    EXPECT_FALSE(r.loaded("Form6"));
    EXPECT_TRUE(r.screen("Form4")["visible"].boolean());
    EXPECT_EQ(r.control("Form4", "Text1")["text"].str(), "魚の名前　　　/重量(g)/身長(mm)");
}

TEST(Lure, TheBoostWorksFourTimesAGame) {
    const SimRun r = runSim(toCastScreen() + "click Form5.cast\n" +
                            "keydown Form6 75\nkeydown Form6 75\nkeydown Form6 75\nkeydown Form6 75\n"
                            "keydown Form6 75\ndump\n" +
                            steps(1) + "dump\n");
    EXPECT_EQ(r.dumps[0]["state"]["BoostUses"].num(), 4);
    EXPECT_EQ(r.dumps[0]["state"]["FishInterest"].num(), 10000);
    EXPECT_EQ(r.dumps[1]["state"]["FishInterest"].num(), 270);
    Game g;
    g.castAtOnce();
    g.state().BoostUses = 4;
    g.state().FishInterest = 5;
    g.keyDown(FormId::Form6, 75);
    EXPECT_EQ(g.state().FishInterest, 5);
    EXPECT_EQ(g.state().BoostUses, 4);
}

// A return on the step that finds the life gone: the lure screen is loaded
// again, hidden, to run the game-over wait, and the game still ends.
TEST(Lure, AReturnOnTheLastLifeStillEndsTheGame) {
    Game g;
    g.castAtOnce();
    g.keyDown(FormId::Form6, 16);
    g.steps(19);
    g.keyDown(FormId::Form6, 35);
    g.steps(1);
    Screen* lure = g.sim.screens().loaded(FormId::Form6);
    ASSERT_NE(lure, nullptr);
    EXPECT_FALSE(lure->visible());
    EXPECT_TRUE(lure->ctl("Label1").visible);
    EXPECT_TRUE(lure->ctl("Timer3").enabled);
    EXPECT_FALSE(lure->ctl("Timer1").enabled);
    EXPECT_TRUE(g.screen(FormId::Form5).enabled());
    g.sim.run(3000);
    EXPECT_TRUE(g.screen(FormId::Form4).visible());
    EXPECT_EQ(g.sim.screens().loaded(FormId::Form6), nullptr);
}

TEST(Lure, EndDuringTheBiteTransitionOpensABattleThatIsLostAtOnce) {
    Game g;
    g.biteAtFirstStep();
    g.keyDown(FormId::Form6, 35);
    g.sim.run(1950);  // the transition ends 2000 ms after the bite at +1
    ASSERT_TRUE(g.screen(FormId::Form8).visible());
    EXPECT_EQ(g.state().PlayerLife, 0);
    g.sim.run(1);
    EXPECT_EQ(g.state().PlayerLife, -1);
    EXPECT_EQ(g.ctl(FormId::Form8, "MENU").text.substr(0, 10), " LIFE :-1\r");
    EXPECT_TRUE(g.ctl(FormId::Form8, "Timer2").enabled);  // the escape
    EXPECT_FALSE(g.ctl(FormId::Form8, "Timer1").enabled);
}

}  // namespace
}  // namespace mogumo::test
