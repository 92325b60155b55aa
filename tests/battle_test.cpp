// The battle: the species draw, one battle step, its bounds and lines, the
// fight and the rest, the landing, the loss and the return to the cast screen.

#include <gtest/gtest.h>

#include <cmath>

#include "core/random_source.h"
#include "screens/battle/species_catalogue.h"
#include "sim_fixture.h"

namespace mogumo::test {
namespace {

constexpr FormId kBattle = FormId::Form8;

// Casts at once and puts the fish on the lure: the battle screens open 2000 ms
// after the bite, before their first step; g.run(1) is that step.
void hookAFish(Game& g) {
    g.biteAtFirstStep();
    g.run(1950);
    ASSERT_NE(g.sim.screens().loaded(kBattle), nullptr);
}

struct FightState {
    double drift, rest, fishLife, line;
};

FightState fight(Game& g) {
    const std::string dump = stateDump(g.sim);
    return {dumpNumber(dump, "FishDrift"), dumpNumber(dump, "FishRest"), dumpNumber(dump, "Gauge", 0),
            dumpNumber(dump, "Gauge", 1)};
}

// Runs battle steps until `done` holds; fails after `limit` steps.
template <class F>
void stepUntil(Game& g, int limit, F done) {
    for (int step = 0; step < limit && !done(); ++step) g.steps(1);
    ASSERT_TRUE(done()) << "not reached in " << limit << " steps";
}

TEST(Battle, EachSpotDrawsOnlyItsOwnSpecies) {
    Game g;
    for (int32_t count : {5, 40}) {
        std::vector<int> seen(41, 0);
        for (int i = 0; i < 800; ++i) {
            g.state().SpeciesCount = count;
            g.sim.screens().ref(kBattle);  // the load draws the fish and the fish bar's maximum
            const GameState& s = g.state();
            ASSERT_LE(static_cast<uint32_t>(s.SpeciesIndex), static_cast<uint32_t>(count));
            const Species& row = speciesRow(s.SpeciesIndex);
            EXPECT_EQ(s.FishName, row.name);
            EXPECT_LE(static_cast<uint32_t>(s.FishWeight - row.baseWeight), 30u);
            EXPECT_LE(static_cast<uint32_t>(s.FishLength - row.baseLength), 30u);
            const float barMax = g.ctl(kBattle, "HP", 0).max;
            EXPECT_TRUE(barMax >= 100 && barMax <= 159) << barMax;
            ++seen[static_cast<size_t>(s.SpeciesIndex)];
            g.sim.screens().unload(kBattle);
        }
        EXPECT_GT(seen[0], 0) << count;
        EXPECT_GT(seen[static_cast<size_t>(count)], 0) << count;
        EXPECT_LT(seen[0], seen[1] + 20) << "the ends come up half as often";
    }
}

// Each fighting move takes 10 to 30 from the drift, and a pull divides it by
// 1.4; both round to the nearest whole twip (halves to even). Steps without
// a pull lose the idle 2. Replayed from a copy of the random source, pulling
// every other step.
TEST(Battle, TheFightingAndPulledDriftsAreRoundedNotCut) {
    Game g;
    hookAFish(g);
    RandomSource preview = g.sim.screens().random();
    double drift = 0;
    bool moveTells = false, pullTells = false;  // truncation would differ
    for (int step = 0; step < 12; ++step) {
        const bool pull = step % 2 == 1;
        if (pull)
            g.keyDown(kBattle, 16);
        ASSERT_GT(preview.draw() * 200.0, 5.0) << "the fish rested; pick other steps";
        const double away = drift - (static_cast<double>(preview.draw()) * 20 + 10);
        moveTells = moveTells || std::trunc(away) != std::nearbyint(away);
        drift = std::max(std::nearbyint(away), -500.0);
        pullTells = pullTells || (pull && std::trunc(drift / 1.4) != std::nearbyint(drift / 1.4));
        drift = pull ? std::nearbyint(drift / 1.4) : drift - 2;
        g.run(step == 0 ? 1 : 51);
        ASSERT_EQ(fight(g).drift, drift) << step;
        g.keyUp(kBattle, 16);
    }
    EXPECT_TRUE(moveTells) << "these draws cannot tell rounding from truncation";
    EXPECT_TRUE(pullTells) << "these pulls cannot tell rounding from truncation";
}

// The far bound at 360 holds the fish and sinks it 10; the near bound at 3675
// holds it. Held at either, the rocks slide and wrap below -420 and above 7420.
// The first step's drift is 0, so the rocks only wrap.
TEST(Battle, TheBoundsHoldTheFishAndScrollTheBottom) {
    struct Case {
        float left, heldAt;
        bool sinks;
    };
    for (const Case& c : {Case{360, 360, true}, Case{359, 360, true}, Case{361, 0, false},
                          Case{3674, 0, false}, Case{3675, 3675, false}, Case{3676, 3675, false}}) {
        SCOPED_TRACE(c.left);
        Game g;
        hookAFish(g);
        Control& fish = g.ctl(kBattle, "uoyosu");
        fish.left = c.left;
        const float rocks[4] = {-421, -420, 7420, 7421};
        for (int i = 0; i < 4; ++i) g.ctl(kBattle, "iwa", i).left = rocks[i];
        g.run(1);
        const bool held = c.heldAt != 0;
        EXPECT_EQ(fish.left, held ? c.heldAt : c.left);
        EXPECT_EQ(fish.top, 1890 + 5 + (c.sinks ? 10 : 0));
        EXPECT_EQ(g.ctl(kBattle, "iwa", 0).left, held ? 6579 : -421);
        EXPECT_EQ(g.ctl(kBattle, "iwa", 1).left, -420);
        EXPECT_EQ(g.ctl(kBattle, "iwa", 2).left, 7420);
        EXPECT_EQ(g.ctl(kBattle, "iwa", 3).left, held ? -79 : 7421);
    }
}

// The fish's centre at or below the bottom's top (3255) chafes the line 10 a
// step; the first step dives 5 first.
TEST(Battle, TheBottomChafesTheLine) {
    for (float top : {2769.0f, 2770.0f}) {
        Game g;
        hookAFish(g);
        g.ctl(kBattle, "uoyosu").top = top;
        g.run(1);
        EXPECT_EQ(g.ctl(kBattle, "HP", 1).value, top == 2770 ? 90 : 100) << top;
    }
    Game g;
    hookAFish(g);
    g.ctl(kBattle, "uoyosu").top = 2775;
    g.run(1);
    g.steps(8);
    EXPECT_TRUE(g.ctl(kBattle, "Timer1").enabled);
    g.steps(1);
    EXPECT_EQ(g.ctl(kBattle, "HP", 1).value, 0);
    EXPECT_FALSE(g.ctl(kBattle, "Timer1").enabled);
    EXPECT_TRUE(g.ctl(kBattle, "Timer2").enabled);
    EXPECT_EQ(g.ctl(FormId::Form7, "Image1").picture, "angler_fall");
}

// Half the fish above the surface (top at or above -480) lands it, also on the
// step that the line breaks; the princess of the sea is worth 30 SecretPoints.
TEST(Battle, HalfAboveTheSurfaceLandsTheFish) {
    struct Case {
        float top;
        bool lineCut, landed;
    };
    for (const Case& c : {Case{-484, false, false}, Case{-485, false, true}, Case{-485, true, true}}) {
        SCOPED_TRACE(testing::Message() << c.top << (c.lineCut ? " cut" : ""));
        Game g;
        hookAFish(g);
        GameState& s = g.state();
        s.SpeciesIndex = 38;
        s.FishName = "乙姫";
        s.FishWeight = 46310;
        s.FishLength = 15820;
        g.ctl(kBattle, "uoyosu").top = c.top;
        if (c.lineCut)
            g.keyDown(kBattle, 35);
        g.run(1);
        const Control& message = g.ctl(kBattle, "Label2");
        EXPECT_EQ(message.visible, c.landed);
        EXPECT_EQ(g.ctl(kBattle, "Timer3").enabled, c.landed);
        EXPECT_EQ(g.ctl(kBattle, "Timer1").enabled, !c.landed && !c.lineCut);
        EXPECT_EQ(g.ctl(kBattle, "Timer2").enabled, c.lineCut);
        if (!c.landed) {
            EXPECT_EQ(s.CatchTotals[0], 0);
            continue;
        }
        EXPECT_EQ(message.text, "乙姫を 釣り上げた！");
        EXPECT_EQ(s.CatchTotals, (std::array<int32_t, 3>{1, 46310, 15820}));
        EXPECT_EQ(s.CatchLog[0], "乙姫　　　　　/00046310/000015820");
        EXPECT_EQ(s.SecretPoints, 31);
    }
}

// The log has room for 101 lines: the 101st landing takes the last one, a
// landing beyond them still adds to the totals and overwrites nothing.
TEST(Battle, ALandingWithTheLogFullOnlyAddsToTheTotals) {
    for (int32_t landed : {100, 101}) {
        Game g;
        hookAFish(g);
        for (auto& line : g.state().CatchLog) line = "x";
        g.state().CatchTotals = {landed, 5, 5};
        g.ctl(kBattle, "uoyosu").top = -485;
        g.run(1);
        const GameState& s = g.state();
        EXPECT_EQ(s.CatchTotals[0], landed + 1);
        EXPECT_EQ(s.CatchTotals[1], 5 + s.FishWeight);
        EXPECT_EQ(s.CatchLog[100],
                  landed == 100 ? catchLogLine(s.FishName, s.FishWeight, s.FishLength) : "x");
    }
}

// End cuts the line and costs no life; the fish swims off, the message shows
// for 3000 ms, then the cast screen takes over afresh.
TEST(Battle, EndLosesTheFishWhichSwimsOffBeforeTheCastScreenReturns) {
    Game g;
    hookAFish(g);
    g.steps(5);
    const int32_t life = g.state().PlayerLife;
    const float lineEnd = g.ctl(kBattle, "ito").x1;
    g.keyDown(kBattle, 35);
    EXPECT_EQ(g.state().PlayerLife, life);
    g.steps(1);
    for (int ms = 0; ms < 100000 && g.ctl(kBattle, "Timer2").enabled; ++ms) g.run(1);
    ASSERT_FALSE(g.ctl(kBattle, "Timer2").enabled) << "the fish never left";
    EXPECT_EQ(g.ctl(kBattle, "ito").x1, lineEnd);  // the line stays where it broke
    EXPECT_EQ(g.state().PlayerLife, life - 1);     // the escape costs no life
    EXPECT_EQ(g.ctl(kBattle, "Label2").text, "見つけた魚を逃してしまった・・・・");
    g.run(2999);
    ASSERT_NE(g.sim.screens().loaded(kBattle), nullptr);
    g.run(1);
    EXPECT_EQ(g.sim.screens().loaded(kBattle), nullptr);
    EXPECT_EQ(g.sim.screens().loaded(FormId::Form7), nullptr);
    EXPECT_TRUE(g.screen(FormId::Form5).enabled());
    EXPECT_EQ(g.ctl(FormId::Form5, "Label1").text, "hp:");
}

// The escape ends once the fish has wholly left at the left edge (its right
// edge at 0), not before. Resting, the fish drifts a predictable 2 a step.
TEST(Battle, TheEscapeEndsWhenTheFishIsWhollyOut) {
    for (float margin : {1.0f, 0.0f}) {
        Game g;
        hookAFish(g);
        g.run(1);
        const float full = g.ctl(kBattle, "HP", 0).max;
        stepUntil(g, 400, [&] { return fight(g).rest >= 5 && fight(g).fishLife < full - 3; });
        g.keyDown(kBattle, 35);
        g.steps(1);
        ASSERT_TRUE(g.ctl(kBattle, "Timer2").enabled);
        Control& fish = g.ctl(kBattle, "uoyosu");
        const float drift = static_cast<float>(fight(g).drift) - 2;
        fish.left = -fish.width - drift + margin;
        g.steps(1);
        ASSERT_EQ(fish.left + fish.width, margin);
        EXPECT_EQ(g.ctl(kBattle, "Timer2").enabled, margin > 0) << margin;
        EXPECT_EQ(g.ctl(kBattle, "Label2").visible, margin == 0) << margin;
    }
}

// With the alternative angler swapped in, the splash shows the swimsuit
// pictures from the battle's first step on; before it, its own angler_rod.
TEST(Battle, TheSplashFollowsTheSwappedInPictures) {
    Game g;
    g.state().SecretPoints = 20;
    hookAFish(g);
    EXPECT_EQ(g.ctl(FormId::Form7, "Image1").picture, "angler_rod");
    g.run(1);
    EXPECT_EQ(g.ctl(FormId::Form7, "Image1").picture, "swimsuit_rod");
    g.keyDown(kBattle, 16);
    g.steps(1);
    EXPECT_EQ(g.ctl(FormId::Form7, "Image1").picture, "swimsuit_pull");
    g.keyDown(kBattle, 35);
    g.steps(1);
    EXPECT_EQ(g.ctl(FormId::Form7, "Image1").picture, "swimsuit_lie");
}

// Left alone, the fish fights until it swims away at the speed limit (-500,
// less the idle 2); one pull then costs the line 5 and cuts the speed to -357,
// and none is made by the step that takes the last life.
TEST(Battle, PullingAFishAtTheSpeedLimitCostsTheLineFive) {
    Game g;
    hookAFish(g);
    g.run(1);
    stepUntil(g, 60, [&] { return fight(g).drift == -502; });
    const FightState before = fight(g);
    ASSERT_LT(before.rest, 0);
    g.keyDown(kBattle, 16);
    g.steps(1);
    const FightState after = fight(g);
    ASSERT_LT(after.rest, 0);
    EXPECT_EQ(after.drift, -357);
    EXPECT_NEAR(before.line - after.line, 5.0, 1e-4);
    EXPECT_EQ(g.ctl(kBattle, "uoyosu").picture, "fish_leap");
    g.state().PlayerLife = 1;  // the step takes the last life first: no pull
    g.steps(1);
    EXPECT_EQ(fight(g).line, after.line);
}

}  // namespace
}  // namespace mogumo::test
