// The game as a player meets it, played through the real screens on the
// virtual clock.

#include <gtest/gtest.h>

#include "sim_fixture.h"

namespace mogumo::test {
namespace {

constexpr FormId kTitle = FormId::Form1, kPictures = FormId::Form2, kSpot = FormId::Form3,
                 kCast = FormId::Form5;

bool loaded(Game& g, FormId id) {
    return g.sim.screens().loaded(id) != nullptr;
}

// From the spot screen to the results and back to the title: cast, give up with End.
void giveUp(Game& g) {
    g.click(kSpot, "Command2");
    g.click(kCast, "cast");
    g.keyDown(FormId::Form6, 35);
    g.run(51 + 3000);
    g.click(FormId::Form4, "Command1");
}

TEST(Title, ProgramStartCountsAVisitAndGameStartOpensTheSpotScreen) {
    Game g;
    EXPECT_EQ(g.state().SecretPoints, 1);
    EXPECT_EQ(g.state().NewLine, "\r\n");
    for (FormId id : {kPictures, kSpot, kCast}) EXPECT_FALSE(loaded(g, id));
    g.click(kTitle, "Command1");
    EXPECT_FALSE(loaded(g, kTitle));
    EXPECT_FALSE(g.screen(kPictures).visible());  // loaded by the swap, never shown
    EXPECT_TRUE(g.screen(kSpot).visible());
    EXPECT_EQ(g.ctl(kSpot, "Text1").text, "つり場所：池\r\n広さ：500Ｍ  残ＨＰ：2000\r\n種類：5種類");
}

TEST(Title, TheEndAndAnyCloseBoxEndTheProgram) {
    for (const char* script :
         {"click Form1.Command2\n", "click Form1.Command1\nclose Form3\n",  // the hidden picture store
          "click Form1.Command1\nclick Form3.Command2\nclose Form5\n"})     // must not keep it alive
        EXPECT_EQ(runSim(std::string(script) + "dump\n").last(), R"({"ended":true,"t":100000})") << script;
}

TEST(Title, F1AsksForHelpOnAnyScreenWithoutReachingTheGame) {
    Game g;
    g.castAtOnce();
    g.keyDown(FormId::Form6, 112);
    g.keyUp(FormId::Form6, 112);
    EXPECT_EQ(g.sim.helpRequests(), 1);
    g.steps(1);
    EXPECT_EQ(g.state().ReelSpeed, 0);
    EXPECT_EQ(g.state().PlayerLife, 1999);
}

TEST(Title, TheTwentiethVisitSwapsInTheAlternativeAngler) {
    Game g;
    for (int game = 1; game <= 19; ++game) {
        g.click(kTitle, "Command1");
        giveUp(g);
    }
    EXPECT_EQ(g.state().SecretPoints, 20);
    EXPECT_EQ(g.ctl(kPictures, "kao", 0).picture, "angler_front");
    g.click(kTitle, "Command1");
    g.run(100);
    for (int i = 0; i <= 6; ++i) {
        EXPECT_EQ(g.ctl(kPictures, "kao", i).picture, g.ctl(kPictures, "kao", i + 7).picture) << i;
        EXPECT_EQ(g.ctl(kPictures, "kao", i).width, g.ctl(kPictures, "kao", i + 7).width) << i;
    }
    EXPECT_EQ(g.ctl(kPictures, "kao", 7).picture, "swimsuit_front");  // copied, not moved
    const std::string_view shown = g.ctl(kSpot, "Image1").picture;
    EXPECT_TRUE(shown == "swimsuit_front" || shown == "swimsuit_stride") << shown;
}

TEST(Spot, ArrowsStopAtTheEndsAndRewriteTheSpot) {
    Game g;
    g.click(kTitle, "Command1");
    g.click(kSpot, "Command1", 0);
    EXPECT_EQ(g.state().SpotIndex, 0);
    for (int i = 0; i < 4; ++i) g.click(kSpot, "Command1", 1);
    EXPECT_EQ(g.state().SpotIndex, 3);
    g.click(kSpot, "Command1", 0);
    g.click(kSpot, "Command1", 0);
    EXPECT_EQ(g.state().SpotName, "河");
    EXPECT_EQ(g.state().SpotSize, 1000);
    EXPECT_EQ(g.state().PlayerLife, 5000);
    EXPECT_EQ(g.state().SpeciesCount, 10);
}

TEST(Cast, ItsSlowTimerFlipsTheFrameWhileTheLureScreenRuns) {
    Game g;
    g.castAtOnce();  // no reeling: only the cast screen's Timer1 flips the frame
    for (auto [ms, frame] : {std::pair{1999, 1}, {1, 0}, {2000, 1}}) {
        g.run(static_cast<uint64_t>(ms));
        EXPECT_EQ(g.state().AnimFrame, frame) << ms;
    }
}

// Full power at the sea reaches 4000 m. A new game keeps the spot but restores
// its life, clears the log and gives the boost back.
TEST(Cast, ASecondGameOpensAtTheLastSpotWithItsFullLifeAndBoost) {
    Game g;
    g.click(kTitle, "Command1");
    for (int i = 0; i < 3; ++i) g.click(kSpot, "Command1", 1);
    g.click(kSpot, "Command2");
    g.run(1);
    g.steps(23);
    g.click(kCast, "cast");
    EXPECT_EQ(g.state().LureDistance, 4000);
    EXPECT_EQ(g.ctl(kCast, "Text1").text, "届いた長さは4000Ｍです");
    for (int i = 0; i < 4; ++i) g.keyDown(FormId::Form6, 75);
    g.keyDown(FormId::Form6, 35);
    g.run(3051);
    g.state().CatchLog[0] = "x";
    g.click(FormId::Form4, "Command1");
    g.click(kTitle, "Command1");
    EXPECT_EQ(g.state().BoostUses, 0);
    EXPECT_EQ(g.state().CatchLog[0], "");
    EXPECT_EQ(g.state().SpotName, "海");
    EXPECT_EQ(g.state().PlayerLife, 10000);
    g.click(kSpot, "Command2");
    g.run(1);
    EXPECT_EQ(g.ctl(kCast, "Label1").text, "HP:10000 stage:海");
}

// The fixture's own promise: reaching for a screen that is not loaded fails
// the test with the screen's name instead of crashing the suite.
TEST(Fixture, AScreenThatIsNotLoadedFailsTheTestWithItsName) {
    Game g;
    try {
        g.click(FormId::Form6, "Command1");
        ADD_FAILURE() << "no exception";
    } catch (const std::logic_error& e) {
        EXPECT_STREQ(e.what(), "Form6 is not loaded");
    }
}

}  // namespace
}  // namespace mogumo::test
