// The game's texts in English: lines the game puts together keep their numbers
// and names, and no control shows Japanese to an English player, through the
// recorded scenarios and a long seeded play.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <set>
#include <sstream>
#include <utility>

#include "core/keys.h"
#include "screens/battle/battle_screen.h"
#include "screens/battle/species_catalogue.h"
#include "sim_fixture.h"
#include "ui/texts/english.h"

namespace mogumo::test {
namespace {

std::string english(std::string_view text) {
    return shownText(Language::English, text);
}

TEST(EnglishText, LinesTheGameBuildsKeepTheirNumbersAndNames) {
    Game g;  // a report as the results screen writes it
    g.state().CatchLog[0] = catchLogLine("ウイングフィシュ", 9310, 2215);
    g.state().CatchLog[1] = catchLogLine("めでか", 250, 200);
    g.state().CatchTotals = {2, 9560, 2415};
    g.sim.screens().show(FormId::Form4);
    const std::pair<std::string, std::string> cases[] = {
        {"つり場所：巨大釣り堀\r\n広さ：2000Ｍ  残ＨＰ：7000\r\n種類：20種類",
         "Spot: Big Pond\r\nWidth: 2000M  HP: 7000\r\nSpecies: 20"},
        {"YOUR LIFE：-1 魚の興味：1％\r\n岸まで759M", "YOUR LIFE: -1  FISH INTEREST: 1%\r\nTo shore: 759M"},
        {"いるかい？を 釣り上げた！", "Landed the Dolphin?!"},
        {g.ctl(FormId::Form4, "Text1").text,
         "Fish               /Weight(g)/Length(mm)\r\n"
         "Wing Fish          /00009310/000002215\r\n"
         "Medaka             /00000250/000000200\r\n\r\n"
         "Fish caught:2\r\nTotal weight:9560g Avg:4780g\r\nAverage length:1207.5mm"},
        {"ゲームを始められません: no display\n", "The game cannot start: no display\n"},
        {"釣れない日", "釣れない日"},  // not in the table: as the game wrote it
    };
    for (const auto& [japanese, shown] : cases) {
        EXPECT_EQ(english(japanese), shown);
        EXPECT_EQ(shownText(Language::Japanese, japanese), japanese);
    }
}

TEST(EnglishText, EverySpeciesLandsAndIsLoggedInEnglish) {
    std::set<std::string> fields;
    for (const Species& s : kSpecies) {
        EXPECT_FALSE(hasJapaneseScript(english(std::string(s.name) + "を 釣り上げた！"))) << s.name;
        EXPECT_FALSE(hasJapaneseScript(english(catchLogLine(s.name, 1585190, 952370)))) << s.name;
        EXPECT_TRUE(fields.insert(catchLogLine(s.name, 0, 0)).second) << s.name << " is logged as another";
    }
}

TEST(EnglishText, JapaneseScriptIsFoundInEveryForm) {
    for (const char* japanese : {"あ", "ア", "・", "釣", "　", "Ｍ", "％", "。"})
        EXPECT_TRUE(hasJapaneseScript(japanese));
    EXPECT_FALSE(hasJapaneseScript("Mogumo\u00a0Guy — 100% <<<"));
}

// Reads in English what every shown screen shows, its caption and its visible
// controls, after each input and each tick that ran its handler.
struct EnglishWatch {
    std::set<std::string> untranslated;
    std::set<std::string_view> reached;  // of the kinds of text in look()
    long steps = 0;                      // ticks that ran their handler
    bool gated = false;
    int32_t lastTick = 0;

    void watch(mogumo::Game& game) {
        game.beforeTick = [this](const Screen&, const Control& timer) { gated = timer.gated; };
        game.afterTick = [this, &game] {
            if (!gated || game.state().LastTick != lastTick) {
                ++steps;
                check(game);
            }
            lastTick = game.state().LastTick;
        };
    }
    void check(const mogumo::Game& game) {
        for (int f = 0; f < kFormCount; ++f)
            if (const Screen* s = game.screens().loaded(static_cast<FormId>(f)); s && s->visible()) {
                look(s->layout().caption);
                for (const Control& c : s->controls())
                    if (c.visible)
                        look(c.text);
            }
    }
    void look(std::string_view text) {
        if (hasJapaneseScript(english(text)))
            untranslated.emplace(text);
        for (std::string_view kind :
             {"ＨＩＴ", "を 釣り上げた！", "見つけた魚", "タイム オーバー", "釣った数:"})
            if (text.find(kind) != std::string_view::npos)
                reached.insert(kind);
    }
};

// One move of a seeded player who plays to catch: boosts the fish's interest,
// reels now and then, pulls a resting fish up, gives up at times.
void play(mogumo::Game& g, std::mt19937& rng) {
    using enum FormId;
    const auto chance = [&](double p) { return rng() < p * std::mt19937::max(); };
    const GameState& s = g.state();
    Screen* battle = g.screens().loaded(Form8);
    Screen* lure = g.screens().loaded(Form6);
    if (battle && battle->ctl("Timer1").enabled) {
        const auto& b = static_cast<const BattleScreen&>(*battle);
        // A fighting fish is pulled only off the bottom.
        const bool pull = b.fishRest() >= 0 || (battle->ctl("uoyosu").top > 2600 && b.gauge()[1] > 50);
        pull ? g.keyDown(Form8, chance(0.001) ? kKeyEnd : kKeyShift) : g.keyUp(Form8, kKeyShift);
        g.run(51);
    } else if (lure && lure->ctl("Timer1").enabled) {
        const int key = s.BoostUses < 4 && s.FishInterest < 240 ? kKeyK : chance(0.003) ? kKeyEnd : kKeyShift;
        key != kKeyShift || chance(0.3) ? g.keyDown(Form6, key) : g.keyUp(Form6, kKeyShift);
        g.run(51);
    } else if (g.click(Form1, chance(0.002) ? "Command2" : "Command1") && g.click(Form4, "Command1") &&
               (chance(0.5) ? g.click(Form3, "Command2") : g.click(Form3, "Command1", rng() % 2)) &&
               (chance(0.5) || g.click(Form5, "cast"))) {
        g.run(1 + rng() % 500);  // each click tried only while those before it were refused
    }
}

TEST(EnglishText, NoControlShowsJapaneseInRecordedOrSeededPlay) {
    EnglishWatch watch;
    for (const auto& file : std::filesystem::directory_iterator(MOGUMO_CONFORMANCE_DIR)) {
        if (file.path().extension() != ".txt")
            continue;
        mogumo::Game* game = nullptr;
        script::ScriptSession::Options options;
        options.onStart = [&](mogumo::Game& g) { watch.watch(*(game = &g)); };
        std::ostringstream dumps;
        script::ScriptSession session(dumps, options);
        std::ifstream in(file.path());
        for (std::string line, reason; std::getline(in, line) && session.runLine(line, reason);)
            if (game)
                watch.check(*game);
    }
    const long recorded = watch.steps;
    EXPECT_GT(recorded, 500) << "the recorded scenarios did not run";
    watch.reached.clear();
    std::mt19937 rng(26);
    for (std::unique_ptr<mogumo::Game> game; watch.steps < recorded + 100000;
         play(*game, rng), watch.check(*game))
        if (!game || game->ended()) {
            game = std::make_unique<mogumo::Game>(makeScreen);
            watch.watch(*game);
            game->start();
        }
    EXPECT_EQ(watch.untranslated, std::set<std::string>{});
    EXPECT_EQ(watch.reached.size(), 5u) << "the seeded play no longer reaches every kind of text";
}

}  // namespace
}  // namespace mogumo::test
