// The game's texts in English: lines the game puts together keep their numbers
// and names, and no control shows Japanese to an English player, through the
// recorded scenarios and a whole game.

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <sstream>

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

// What every shown screen shows, its caption and its visible controls, read
// in English after each line and each tick that ran its handler, through the
// recorded scenarios and a whole game. The captions the game never rewrites
// are the layouts' own, which the fit test reads.
TEST(EnglishText, NoControlShowsJapaneseInRecordedPlay) {
    std::set<std::string> untranslated;
    std::set<std::string_view> reached;  // the texts the game puts together
    const auto look = [&](std::string_view text) {
        if (hasJapaneseScript(english(text)))
            untranslated.emplace(text);
        for (std::string_view kind : {"ＨＩＴ", "を 釣り上げた！", "釣った数:", "YOUR LIFE", "つり場所"})
            if (text.find(kind) != std::string_view::npos)
                reached.insert(kind);
    };
    const auto check = [&](const mogumo::Game& game) {
        for (int f = 0; f < kFormCount; ++f)
            if (const Screen* s = game.screens().loaded(static_cast<FormId>(f)); s && s->visible()) {
                look(s->layout().caption);
                for (const Control& c : s->controls())
                    if (c.visible)
                        look(c.text);
            }
    };
    std::vector<std::string> scripts{MOGUMO_WHOLE_GAME};
    for (const auto& file : std::filesystem::directory_iterator(MOGUMO_CONFORMANCE_DIR))
        if (file.path().extension() == ".txt")
            scripts.push_back(file.path().string());
    for (const std::string& path : scripts) {
        bool gated = false;
        int32_t lastTick = 0;
        script::ScriptSession::Options options;
        options.onStart = [&](mogumo::Game& game) {
            game.beforeTick = [&](const Screen&, const Control& timer) { gated = timer.gated; };
            game.afterTick = [&] {
                if (!gated || game.state().LastTick != lastTick)
                    check(game);
                lastTick = game.state().LastTick;
            };
        };
        options.onEvent = check;
        std::ostringstream dumps;
        script::ScriptSession session(dumps, options);
        std::istringstream lines(readFile(path));
        for (std::string line, reason; std::getline(lines, line) && session.runLine(line, reason);) {
        }
    }
    EXPECT_EQ(untranslated, std::set<std::string>{});
    EXPECT_EQ(reached.size(), 5u) << "the recorded play no longer reaches every kind of text";
}

}  // namespace
}  // namespace mogumo::test
