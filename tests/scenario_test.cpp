// The game as a player meets it: scripts and direct play through the real
// screens on the virtual clock.

#include <gtest/gtest.h>

#include "sim_fixture.h"

namespace mogumo::test {
namespace {

std::string lines(std::initializer_list<std::string> parts) {
    std::string s;
    for (const auto& p : parts) s += p + "\n";
    return s;
}

// From the title to the results screen at once: cast, give up with End.
const std::string kGiveUp =
    lines({"click Form3.Command2", "click Form5.cast", "keydown Form6 35", "run 51", "run 3000"});

// ---------------------------------------------------------------- title ---

TEST(Title, ProgramStartCountsAVisitAndGameStartOpensTheSpotScreen) {
    const SimRun r = runSim("dump\nclick Form1.Command1\ndump\n");
    EXPECT_EQ(r.dumps[0]["state"]["SecretPoints"].num(), 1);
    EXPECT_EQ(r.dumps[0]["state"]["NewLine"].str(), "\r\n");
    EXPECT_EQ(r.dumps[0]["screens"].obj().size(), 1u);
    EXPECT_FALSE(r.loaded("Form1"));
    EXPECT_FALSE(r.screen("Form2")["visible"].boolean());  // loaded by the swap, never shown
    EXPECT_TRUE(r.screen("Form3")["visible"].boolean());
    EXPECT_EQ(r.control("Form3", "Text1")["text"].str(),
              "つり場所：池\r\n広さ：500Ｍ  残ＨＰ：2000\r\n種類：5種類");
}

TEST(Title, TheEndAndAnyCloseBoxEndTheProgram) {
    EXPECT_TRUE(runSim("click Form1.Command2\ndump\n").last()["ended"].boolean());
    // The hidden picture store must not keep the program alive.
    EXPECT_TRUE(runSim("click Form1.Command1\nclose Form3\ndump\n").last()["ended"].boolean());
    const SimRun r = runSim("click Form1.Command1\nclick Form3.Command2\nclose Form5\ndump\n");
    EXPECT_EQ(r.last()["t"].num(), 100000);
    EXPECT_TRUE(r.last()["ended"].boolean());
}

TEST(Title, F1AsksForHelpOnAnyScreenWithoutReachingTheGame) {
    const SimRun r = runSim(toCastScreen() + "click Form5.cast\nkeydown Form6 112\nkeyup Form6 112\ndump\n");
    EXPECT_EQ(r.last()["help_shown"].num(), 1);
    EXPECT_EQ(r.state()["PlayerLife"].num(), 2000);
}

TEST(Title, TheTwentiethVisitSwapsInTheAlternativeAngler) {
    std::string script;
    for (int game = 1; game <= 19; ++game)
        script += "click Form1.Command1\n" + kGiveUp + "click Form4.Command1\n";
    // Game 19 ended; the 20th title visit has just loaded.
    script += "dump\nclick Form1.Command1\nrun 100\ndump\n";
    const SimRun r = runSim(script);
    ASSERT_EQ(r.status, 0) << r.error;
    EXPECT_EQ(r.dumps[0]["state"]["SecretPoints"].num(), 20);
    EXPECT_EQ(r.dumps[0]["screens"]["Form2"]["controls"]["kao(0)"]["picture"].str(), "angler_front");
    const Json& kao = r.screen("Form2")["controls"];
    for (int i = 0; i <= 6; ++i) {
        const std::string k = "kao(" + std::to_string(i) + ")";
        const std::string alt = "kao(" + std::to_string(i + 7) + ")";
        EXPECT_EQ(kao[k]["picture"].str(), kao[alt]["picture"].str()) << k;
        EXPECT_EQ(kao[k]["width"].num(), kao[alt]["width"].num()) << k;  // 600 for a swimsuit
    }
    EXPECT_EQ(kao["kao(7)"]["picture"].str(), "swimsuit_front");  // copied, not moved
    const std::string shown = r.control("Form3", "Image1")["picture"].str();
    EXPECT_TRUE(shown == "swimsuit_front" || shown == "swimsuit_stride") << shown;
}

// --------------------------------------------------------- spot and cast ---

TEST(Spot, ArrowsStopAtTheEndsAndRewriteTheSpot) {
    const SimRun r =
        runSim(lines({"click Form1.Command1", "click Form3.Command1(0)", "dump", "click Form3.Command1(1)",
                      "click Form3.Command1(1)", "click Form3.Command1(1)", "click Form3.Command1(1)", "dump",
                      "click Form3.Command1(0)", "click Form3.Command1(0)", "dump"}));
    EXPECT_EQ(r.dumps[0]["state"]["SpotIndex"].num(), 0);
    EXPECT_EQ(r.dumps[1]["state"]["SpotIndex"].num(), 3);
    const Json& s = r.state();
    EXPECT_EQ(s["SpotName"].str(), "河");
    EXPECT_EQ(s["SpotSize"].num(), 1000);
    EXPECT_EQ(s["PlayerLife"].num(), 5000);
    EXPECT_EQ(s["SpeciesCount"].num(), 10);
}

TEST(Spot, TheAnglerAndWavesAnimateBehindTheGate) {
    const SimRun r = runSim("click Form1.Command1\nrun 100\ndump\nwait 30\ntick Form3.Timer1\ndump\n");
    EXPECT_EQ(r.dumps[0]["state"]["AnimFrame"].num(), 1);
    EXPECT_EQ(r.dumps[0]["screens"]["Form3"]["controls"]["Image1"]["picture"].str(), "angler_stride");
    EXPECT_EQ(r.dumps[0]["screens"]["Form3"]["controls"]["utuse(4)"]["picture"].str(), "wave_double");
    EXPECT_EQ(r.dumps[1]["state"]["AnimFrame"].num(), 1);  // 30 ms after the step: nothing
}

TEST(Cast, PowerSweepsToAHundredThenStartsAgainAtFour) {
    const SimRun r = runSim(toCastScreen() + "run 1\ndump\n" + steps(23) + "dump\n" + steps(1) + "dump\n");
    EXPECT_EQ(r.dumps[0]["screens"]["Form5"]["vars"]["CastPower"].num(), 8);
    EXPECT_EQ(r.dumps[0]["screens"]["Form5"]["controls"]["Label1"]["caption"].str(), "HP:2000 stage:池");
    EXPECT_EQ(r.dumps[1]["screens"]["Form5"]["vars"]["CastPower"].num(), 100);
    EXPECT_EQ(r.dumps[1]["screens"]["Form5"]["controls"]["pow2"]["width"].num(), 5055);
    EXPECT_EQ(r.dumps[2]["screens"]["Form5"]["vars"]["CastPower"].num(), 4);
    EXPECT_NEAR(r.dumps[2]["screens"]["Form5"]["controls"]["pow2"]["width"].num(), 202.2, 0.001);
}

TEST(Cast, FullPowerAtTheSeaReachesFourThousandMetres) {
    const SimRun r = runSim(toCastScreen(3) + "run 1\n" + steps(23) + "click Form5.cast\ndump\n");
    EXPECT_EQ(r.state()["LureDistance"].num(), 4000);
    EXPECT_EQ(r.control("Form5", "Text1")["text"].str(), "届いた長さは4000Ｍです");
    EXPECT_EQ(r.control("Form5", "Label1")["caption"].str(), "HP:10000 stage:海");
}

TEST(Cast, AGatedTickUnder50MsChangesNothing) {
    const SimRun r =
        runSim(toCastScreen() + "run 1\nwait 49\ntick Form5.Timer2\ndump\nwait 1\ntick Form5.Timer2\ndump\n");
    EXPECT_EQ(r.dumps[0]["screens"]["Form5"]["vars"]["CastPower"].num(), 8);
    EXPECT_EQ(r.dumps[1]["screens"]["Form5"]["vars"]["CastPower"].num(), 8);  // exactly 50 ms
    EXPECT_EQ(r.dumps[0]["state"]["LastTick"].num(), 100001);
}

TEST(Cast, ItsSlowTimerFlipsTheFrameWhileTheLureScreenRuns) {
    // Cast at once; no reeling, so only the cast screen's Timer1 flips the frame.
    const SimRun r =
        runSim(toCastScreen() + "click Form5.cast\nrun 1999\ndump\nrun 1\ndump\nrun 2000\ndump\n");
    EXPECT_EQ(r.dumps[0]["state"]["AnimFrame"].num(), 1);
    EXPECT_EQ(r.dumps[1]["state"]["AnimFrame"].num(), 0);
    EXPECT_EQ(r.dumps[2]["state"]["AnimFrame"].num(), 1);
}

// A new game keeps the spot but restores its life, clears the log and gives
// the boost back.
TEST(Cast, ASecondGameOpensAtTheLastSpotWithItsFullLife) {
    const SimRun r = runSim(
        "click Form1.Command1\nclick Form3.Command1(1)\nclick Form3.Command1(1)\n"
        "click Form3.Command1(1)\nclick Form3.Command2\nclick Form5.cast\nkeydown Form6 75\n"
        "keydown Form6 35\nrun 3051\nclick Form4.Command1\ndump\n"
        "click Form1.Command1\nclick Form3.Command2\nrun 1\ndump\n");
    ASSERT_EQ(r.status, 0) << r.error;
    EXPECT_EQ(r.dumps[0]["state"]["BoostUses"].num(), 0);
    EXPECT_EQ(r.dumps[0]["state"]["PlayerLife"].num(), -1);
    EXPECT_EQ(r.state()["SpotName"].str(), "海");
    EXPECT_EQ(r.state()["PlayerLife"].num(), 10000);
    EXPECT_EQ(r.control("Form5", "Label1")["caption"].str(), "HP:10000 stage:海");
}

}  // namespace
}  // namespace mogumo::test
