// The battle: the species draw, the fight, the landing, the loss and the
// return to the cast screen.

#include <gtest/gtest.h>

#include "screens/battle/species_catalogue.h"
#include "sim_fixture.h"

namespace mogumo::test {
namespace {

// Casts at once and puts the fish on the lure: the battle screens open 2000 ms
// after the bite, before their first step.
void hookAFish(Game& g) {
    g.biteAtFirstStep();
    g.sim.run(1950);
    ASSERT_NE(g.sim.screens().loaded(FormId::Form8), nullptr);
}

const Json& battleVars(const Json& dump) {
    return dump["screens"]["Form8"]["vars"];
}

TEST(Battle, EachSpotDrawsOnlyItsOwnSpeciesWith103Draws) {
    Game g;
    for (int32_t count : {5, 10, 20, 40}) {
        std::vector<int> seen(41, 0);
        for (int i = 0; i < 800; ++i) {
            g.state().SpeciesCount = count;
            const uint64_t before = g.sim.screens().random().draws();
            g.sim.screens().ref(FormId::Form8);                          // the load draws the fish
            EXPECT_EQ(g.sim.screens().random().draws() - before, 104u);  // and the fish bar's maximum
            const GameState& s = g.state();
            ASSERT_GE(s.SpeciesIndex, 0);
            ASSERT_LE(s.SpeciesIndex, count);
            const Species& row = speciesRow(s.SpeciesIndex);
            EXPECT_EQ(s.FishName, row.name);
            EXPECT_GE(s.FishWeight, row.baseWeight);
            EXPECT_LE(s.FishWeight, row.baseWeight + 30);
            EXPECT_GE(s.FishLength, row.baseLength);
            EXPECT_LE(s.FishLength, row.baseLength + 30);
            const float barMax = g.ctl(FormId::Form8, "HP", 0).max;
            EXPECT_GE(barMax, 100);
            EXPECT_LE(barMax, 159);
            ++seen[static_cast<size_t>(s.SpeciesIndex)];
            g.sim.screens().unload(FormId::Form8);
        }
        EXPECT_GT(seen[0], 0) << count;
        EXPECT_GT(seen[static_cast<size_t>(count)], 0) << count;
        EXPECT_LT(seen[0], seen[1] + 20) << "the ends come up half as often";
    }
}

TEST(Battle, AFreshFishFightsAtTheFirstStep) {
    Game g;
    hookAFish(g);
    g.sim.run(1);
    const Json d = g.dump();
    EXPECT_EQ(battleVars(d)["FishRest"].num(), -1);
    EXPECT_LE(battleVars(d)["FishDrift"].num(), -8);      // 10 to 30 away, less the idle 2
    EXPECT_EQ(g.ctl(FormId::Form8, "uoyosu").top, 1895);  // it dives 5
    EXPECT_EQ(g.ctl(FormId::Form8, "uoyosu").picture, "fish_struggle");
    EXPECT_EQ(g.ctl(FormId::Form8, "MENU").text, " LIFE :1998\r\n岸まで:20M\r\nあれ:-1");
    EXPECT_EQ(g.ctl(FormId::Form7, "Image1").picture, "angler_rod");
}

TEST(Battle, TheBottomChafesTheLineTenAStep) {
    Game g;
    hookAFish(g);
    g.ctl(FormId::Form8, "uoyosu").top = 2775;  // its centre at the bottom's top after the first dive
    g.sim.run(1);
    EXPECT_EQ(g.ctl(FormId::Form8, "HP", 1).value, 90);
    g.steps(8);
    EXPECT_TRUE(g.ctl(FormId::Form8, "Timer1").enabled);
    g.steps(1);
    EXPECT_EQ(g.ctl(FormId::Form8, "HP", 1).value, 0);
    EXPECT_FALSE(g.ctl(FormId::Form8, "Timer1").enabled);
    EXPECT_TRUE(g.ctl(FormId::Form8, "Timer2").enabled);
    EXPECT_EQ(g.ctl(FormId::Form7, "Image1").picture, "angler_fall");
}

TEST(Battle, EndLosesTheFishWhichSwimsOffBeforeTheCastScreenReturns) {
    Game g;
    hookAFish(g);
    g.steps(5);
    const int32_t life = g.state().PlayerLife;
    g.keyDown(FormId::Form8, 35);
    EXPECT_EQ(g.state().PlayerLife, life);  // End cuts the line; the life is untouched
    g.steps(1);
    EXPECT_FALSE(g.ctl(FormId::Form8, "Timer1").enabled);
    EXPECT_TRUE(g.ctl(FormId::Form8, "Timer2").enabled);
    const Control& fish = g.ctl(FormId::Form8, "uoyosu");
    for (int ms = 0; g.ctl(FormId::Form8, "Timer2").enabled && ms < 100000; ++ms) g.sim.run(1);
    EXPECT_LE(fish.left + fish.width, 0);
    EXPECT_EQ(g.state().PlayerLife, life - 1);  // the escape costs no life
    const Control& message = g.ctl(FormId::Form8, "Label2");
    EXPECT_TRUE(message.visible);
    EXPECT_EQ(message.text, "見つけた魚を逃してしまった・・・・");
    EXPECT_TRUE(g.ctl(FormId::Form8, "Timer3").enabled);
    g.sim.run(2999);
    ASSERT_NE(g.sim.screens().loaded(FormId::Form8), nullptr);
    g.sim.run(1);
    EXPECT_EQ(g.sim.screens().loaded(FormId::Form8), nullptr);
    EXPECT_EQ(g.sim.screens().loaded(FormId::Form7), nullptr);
    EXPECT_TRUE(g.screen(FormId::Form5).visible());
    EXPECT_TRUE(g.screen(FormId::Form5).enabled());
    EXPECT_EQ(g.ctl(FormId::Form5, "Label1").text, "hp:");
    EXPECT_EQ(g.ctl(FormId::Form5, "Text1").text, "");
    EXPECT_EQ(g.state().CatchTotals[0], 0);
}

// A landing in the very step that the line breaks still counts, and the
// princess of the sea is worth 30 SecretPoints.
TEST(Battle, ALandingOnTheStepTheLineBreaksStillCounts) {
    Game g;
    hookAFish(g);
    g.state().SpeciesIndex = 38;
    g.state().FishName = "乙姫";
    g.state().FishWeight = 46310;
    g.state().FishLength = 15820;
    g.ctl(FormId::Form8, "uoyosu").top = -485;  // one dive short of half out of the water
    g.keyDown(FormId::Form8, 35);
    g.sim.run(1);
    const GameState& s = g.state();
    EXPECT_EQ(s.CatchTotals[0], 1);
    EXPECT_EQ(s.CatchTotals[1], 46310);
    EXPECT_EQ(s.CatchTotals[2], 15820);
    EXPECT_EQ(s.CatchLog[0], "乙姫　　　　　/00046310/000015820");
    EXPECT_EQ(s.SecretPoints, 31);
    EXPECT_EQ(g.ctl(FormId::Form8, "Label2").text, "乙姫を 釣り上げた！");
    EXPECT_TRUE(g.ctl(FormId::Form8, "Label2").visible);
    EXPECT_TRUE(g.ctl(FormId::Form8, "Timer3").enabled);
    EXPECT_TRUE(g.ctl(FormId::Form8, "Timer2").enabled);
}

// The log has room for 101 lines; a landing beyond them still adds to the
// totals and overwrites nothing.
TEST(Battle, ALandingWithTheLogFullOnlyAddsToTheTotals) {
    Game g;
    hookAFish(g);
    for (auto& line : g.state().CatchLog) line = "x";
    g.state().CatchTotals = {101, 5, 5};
    g.ctl(FormId::Form8, "uoyosu").top = -485;
    g.sim.run(1);
    EXPECT_EQ(g.state().CatchTotals[0], 102);
    EXPECT_EQ(g.state().CatchTotals[1], 5 + g.state().FishWeight);
    EXPECT_EQ(g.state().CatchLog[100], "x");
}

}  // namespace
}  // namespace mogumo::test

namespace mogumo::test {
namespace {

// With the alternative angler swapped in, the splash shows the swimsuit
// pictures from the battle's first step on; before it, its own angler_rod.
TEST(Battle, TheSplashFollowsTheSwappedInPictures) {
    Game g;
    g.state().SecretPoints = 20;
    hookAFish(g);
    EXPECT_EQ(g.ctl(FormId::Form7, "Image1").picture, "angler_rod");
    g.sim.run(1);
    EXPECT_EQ(g.ctl(FormId::Form7, "Image1").picture, "swimsuit_rod");
    g.keyDown(FormId::Form8, 16);
    g.steps(1);
    EXPECT_EQ(g.ctl(FormId::Form7, "Image1").picture, "swimsuit_pull");
    g.keyDown(FormId::Form8, 35);
    g.steps(1);
    EXPECT_EQ(g.ctl(FormId::Form7, "Image1").picture, "swimsuit_lie");
    EXPECT_EQ(g.ctl(FormId::Form5, "Image1").picture.substr(0, 9), "swimsuit_");
}

}  // namespace
}  // namespace mogumo::test

namespace mogumo::test {
namespace {

struct FightState {
    double drift, rest, fishLife, line;
};

FightState fight(Game& g) {
    const Json dump = g.dump();
    const Json& v = battleVars(dump);
    return {v["FishDrift"].num(), v["FishRest"].num(), v["Gauge"][0].num(), v["Gauge"][1].num()};
}

// Left alone, the fish fights until it swims away at the speed limit (-500,
// less the idle 2); one pull then costs the line 5 and cuts the speed to -357.
TEST(Battle, PullingAFishAtTheSpeedLimitCostsTheLineFive) {
    Game g;
    hookAFish(g);
    g.sim.run(1);
    for (int step = 0; step < 60 && fight(g).drift != -502; ++step) g.steps(1);
    const FightState before = fight(g);
    ASSERT_EQ(before.drift, -502) << "the fish rested before reaching the limit";
    ASSERT_LT(before.rest, 0);
    g.keyDown(FormId::Form8, 16);
    g.steps(1);
    const FightState after = fight(g);
    ASSERT_LT(after.rest, 0);
    EXPECT_EQ(after.drift, -357);
    EXPECT_NEAR(before.line - after.line, 5.0, 1e-4);
    EXPECT_EQ(g.ctl(FormId::Form8, "uoyosu").picture, "fish_leap");
}

// Pulled through a rest, the fish rises 10 a step and drifts 10 a step faster
// towards the angler, for a thousandth of the line each step.
TEST(Battle, PullingARestingFishRaisesIt) {
    Game g;
    hookAFish(g);
    g.sim.run(1);
    for (int step = 0; step < 400 && fight(g).rest < 0; ++step) g.steps(1);
    ASSERT_GE(fight(g).rest, 30) << "no rest began";
    g.keyDown(FormId::Form8, 16);
    g.steps(1);  // the first pulled step may still start at the far bound
    const Control& fish = g.ctl(FormId::Form8, "uoyosu");
    for (int step = 0; step < 28; ++step) {
        const FightState before = fight(g);
        const float top = fish.top;
        g.steps(1);
        const FightState after = fight(g);
        ASSERT_EQ(fish.top, top - 10) << step;
        ASSERT_EQ(after.drift, before.drift + 10) << step;
        ASSERT_NEAR(before.line - after.line, 0.001, 1e-5) << step;
        ASSERT_EQ(fish.picture, "fish_calm");
    }
}

}  // namespace
}  // namespace mogumo::test
