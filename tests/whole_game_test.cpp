// Whole games, one per spot: from the title through casts, bites, a battle
// won and one lost, the results and back to a second game.
//
// A small player in the test decides what to do by looking at the game and
// writes its moves down as a script; the script is then replayed through the
// simulator's own language and its dumps are checked at every hand-over.

#include <gtest/gtest.h>

#include "screens/battle/battle_screen.h"
#include "sim_fixture.h"

namespace mogumo::test {
namespace {

class ScriptedPlayer {
public:
    std::string script;
    Game game;

    // Each move is made on the live game and written down as a script line.
    void click(FormId form, std::string_view control, int index = -1) {
        game.click(form, control, index);
        script += "click " + formName(form) + "." + std::string(control) +
                  (index >= 0 ? "(" + std::to_string(index) + ")" : "") + "\n";
    }
    void keyDown(FormId form, int code) {
        game.keyDown(form, code);
        script += "keydown " + formName(form) + " " + std::to_string(code) + "\n";
    }
    void keyUp(FormId form, int code) {
        game.keyUp(form, code);
        script += "keyup " + formName(form) + " " + std::to_string(code) + "\n";
    }
    void run(int ms) {
        game.sim.run(static_cast<uint64_t>(ms));
        script += "run " + std::to_string(ms) + "\n";
    }
    void dump() { script += "dump\n"; }

    bool loaded(FormId id) { return game.sim.screens().loaded(id) != nullptr; }

    void startGame(int spot) {
        click(FormId::Form1, "Command1");
        int at = game.state().SpotIndex;
        for (; at < spot; ++at) click(FormId::Form3, "Command1", 1);
        for (; at > spot; --at) click(FormId::Form3, "Command1", 0);
        click(FormId::Form3, "Command2");
    }

    // Casts, boosts the fish's interest and waits for the bite; casts again
    // when the lure comes back first. Returns when the battle screen is open.
    void castUntilBite() {
        for (int casts = 0; casts < 20; ++casts) {
            run(300);
            click(FormId::Form5, "cast");
            if (game.state().BoostUses < 4)
                keyDown(FormId::Form6, 75);
            while (loaded(FormId::Form6) && game.screen(FormId::Form6).visible() &&
                   !game.ctl(FormId::Form6, "Timer2").enabled)
                run(51);
            if (loaded(FormId::Form6) && game.ctl(FormId::Form6, "Timer2").enabled) {
                while (!loaded(FormId::Form8)) run(50);
                return;
            }
        }
        FAIL() << "no bite in 20 casts";
    }

    // Pulls while the fish rests and lets go while it fights.
    void fightToLand() {
        bool pulling = false;
        for (int step = 0; step < 5000 && game.ctl(FormId::Form8, "Timer1").enabled; ++step) {
            const bool resting = game.sim.screens().get<BattleScreen>().fishRest() >= 0;
            if (resting && !pulling)
                keyDown(FormId::Form8, 16);
            if (!resting && pulling)
                keyUp(FormId::Form8, 16);
            pulling = resting;
            run(51);
        }
        if (pulling)
            keyUp(FormId::Form8, 16);
    }

    void waitForCastScreen() {
        while (loaded(FormId::Form8)) run(100);
    }

private:
    static std::string formName(FormId form) { return std::string(layoutOf(form).formName); }
};

class WholeGame : public testing::TestWithParam<int> {};

TEST_P(WholeGame, FromTheTitleToTheResultsAndBack) {
    const int spot = GetParam();
    ScriptedPlayer p;
    p.startGame(spot);
    p.dump();  // 0: the cast screen opened at the chosen spot

    p.castUntilBite();
    p.dump();  // 1: the battle screens open
    p.fightToLand();
    p.dump();  // 2: landed
    p.waitForCastScreen();
    p.dump();  // 3: a fresh cast screen

    p.castUntilBite();
    p.run(500);
    p.keyDown(FormId::Form8, 35);
    p.run(51);
    p.dump();  // 4: the line is cut: the escape
    p.waitForCastScreen();

    p.run(300);
    p.click(FormId::Form5, "cast");
    p.keyDown(FormId::Form6, 35);
    p.run(3100);
    p.dump();  // 5: the results
    p.click(FormId::Form4, "Command1");
    p.startGame(spot);
    p.click(FormId::Form5, "cast");
    p.keyDown(FormId::Form6, 35);
    p.run(3100);
    p.dump();  // 6: the second game's results list nothing from the first
    p.click(FormId::Form4, "Command1");
    p.dump();  // 7: the title again

    const SimRun r = runSim(p.script);
    ASSERT_EQ(r.status, 0) << r.error;
    ASSERT_EQ(r.dumps.size(), 8u);
    const auto& d = r.dumps;
    const char* names[] = {"池", "河", "巨大釣り堀", "海"};
    EXPECT_EQ(d[0]["state"]["SpotName"].str(), names[spot]);
    EXPECT_TRUE(d[0]["screens"]["Form5"]["visible"].boolean());

    EXPECT_TRUE(d[1]["screens"]["Form7"]["visible"].boolean());
    EXPECT_FALSE(d[1]["screens"]["Form7"]["enabled"].boolean());
    EXPECT_TRUE(d[1]["screens"]["Form8"]["visible"].boolean());
    EXPECT_FALSE(d[1]["screens"].has("Form6"));
    EXPECT_EQ(d[1]["screens"]["Form5"]["controls"]["Text1"]["text"].str(), "ＨＩＴ！！！");

    const Json& landed = d[2]["state"];
    const std::string name = landed["FishName"].str();
    EXPECT_EQ(landed["CatchTotals"][0].num(), 1);
    EXPECT_EQ(landed["CatchTotals"][1].num(), landed["FishWeight"].num());
    EXPECT_EQ(landed["CatchLog"][0].str().substr(0, name.size()), name);
    EXPECT_EQ(d[2]["screens"]["Form8"]["controls"]["Label2"]["caption"].str(), name + "を 釣り上げた！");
    EXPECT_LE(landed["SpeciesIndex"].num(), landed["SpeciesCount"].num());

    EXPECT_EQ(d[3]["screens"]["Form5"]["vars"]["CastPower"].num() <= 8, true);
    EXPECT_FALSE(d[3]["screens"].has("Form8"));
    EXPECT_FALSE(d[3]["screens"].has("Form7"));

    EXPECT_TRUE(d[4]["screens"]["Form8"]["controls"]["Timer2"]["enabled"].boolean());
    EXPECT_EQ(d[4]["screens"]["Form8"]["controls"]["HP(1)"]["value"].num(), 0);
    EXPECT_EQ(d[4]["screens"]["Form7"]["controls"]["Image1"]["picture"].str(), "angler_fall");

    const std::string report = d[5]["screens"]["Form4"]["controls"]["Text1"]["text"].str();
    EXPECT_NE(report.find(landed["CatchLog"][0].str()), std::string::npos);
    EXPECT_NE(report.find("釣った数:1"), std::string::npos);
    EXPECT_FALSE(d[5]["screens"].has("Form5"));

    EXPECT_EQ(d[6]["screens"]["Form4"]["controls"]["Text1"]["text"].str(), "魚の名前　　　/重量(g)/身長(mm)");
    EXPECT_EQ(d[6]["state"]["SpotIndex"].num(), spot);
    EXPECT_TRUE(d[7]["screens"]["Form1"]["visible"].boolean());
    EXPECT_EQ(d[7]["state"]["SecretPoints"].num(), 3);
}

INSTANTIATE_TEST_SUITE_P(EverySpot, WholeGame, testing::Values(0, 1, 2, 3));

}  // namespace
}  // namespace mogumo::test
