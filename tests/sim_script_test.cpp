// The simulator's script language: the clock, the largest numbers, and every
// kind of bad line stopping the run with exit status 2 and its line number.

#include <gtest/gtest.h>

#include "sim_fixture.h"

namespace mogumo::test {
namespace {

TEST(SimScript, ClockSetsTheCounterAndLastTickIsWrittenSigned) {
    const SimRun r = runSim("clock 4294967000\nclick Form1.Command1\nclick Form3.Command2\nrun 1\ndump\n");
    ASSERT_EQ(r.status, 0) << r.error;
    EXPECT_EQ(dumpNumber(r.last(), "t"), 4294967001.0);
    EXPECT_EQ(dumpNumber(r.last(), "LastTick"), -295);
}

TEST(SimScript, ByteOrderMarkCommentsAndBlankLinesAreAccepted) {
    const SimRun r = runSim("\xEF\xBB\xBF# comment\n\n   \r\ndump\r\n");
    EXPECT_EQ(r.status, 0) << r.error;
    EXPECT_EQ(r.dumps.size(), 1u);
}

// The largest key code and number the protocol allows are taken.
TEST(SimScript, TheLargestKeyCodeAndNumberAreAccepted) {
    const SimRun r = runSim("clock 4294967295\nkeydown Form1 255\nkeyup Form1 0\nwait 4294967295\ndump\n");
    ASSERT_EQ(r.status, 0) << r.error;
    EXPECT_EQ(dumpNumber(r.last(), "t"), 4294967294.0);  // 2^32 - 1 twice, modulo 2^32
}

// No button of the game is ever hidden or disabled, so the test turns one off
// from the picture hook, which sees the screen between two lines.
TEST(SimScript, AHiddenOrDisabledButtonIsNotClicked) {
    for (bool hide : {false, true}) {
        std::ostringstream out;
        std::string error;
        const ShotRenderer turnOff = [hide](const Screen& s, const std::string&) {
            Control& button = const_cast<Screen&>(s).ctl("Command1");
            (hide ? button.visible : button.enabled) = false;
            return std::string();
        };
        script::ScriptSession::Options options;
        options.shot = turnOff;
        EXPECT_EQ(runScript("shot Form1 x.png\nclick Form1.Command1\n", out, error, options), 2) << hide;
        EXPECT_EQ(error, "line 2: Form1.Command1 is hidden or disabled") << hide;
    }
}

struct BadLine {
    const char* name;
    std::string script;
    int line;
};

void PrintTo(const BadLine& bad, std::ostream* os) {
    *os << testing::PrintToString(bad.script);
}

class BadScripts : public testing::TestWithParam<BadLine> {};

TEST_P(BadScripts, StopWithStatusTwoAtTheirLine) {
    const BadLine& bad = GetParam();
    const SimRun r = runSim(bad.script + "\ndump\n");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.error.rfind("line " + std::to_string(bad.line) + ": ", 0), 0u) << r.error;
    EXPECT_LE(r.dumps.size(), 1u) << "nothing after the bad line runs";
}

const std::string kToLure = "click Form1.Command1\nclick Form3.Command2\nclick Form5.cast\n";

INSTANTIATE_TEST_SUITE_P(
    Protocol, BadScripts,
    testing::Values(
        BadLine{"UnknownCommand", "jump Form1", 1}, BadLine{"TooFewWords", "dump\nwait", 2},
        BadLine{"TooManyWords", "wait 10 20", 1}, BadLine{"NegativeNumber", "wait -5", 1},
        BadLine{"NotPlainDigits", "run 1e3", 1}, BadLine{"NumberAboveTheLargest", "wait 4294967296", 1},
        BadLine{"ClockAboveTheLargest", "clock 4294967296", 1},
        BadLine{"KeyCodeAbove255", "keydown Form1 256", 1}, BadLine{"ClockNotFirst", "dump\nclock 5", 2},
        BadLine{"UnknownScreen", "click Form9.Command1", 1},
        BadLine{"ScreenNotLoaded", "click Form3.Command1(0)", 1},
        BadLine{"ScreenNotVisible", "click Form1.Command1\nclick Form2.kao(0)", 2},
        BadLine{"ScreenDisabled", kToLure + "click Form5.cast", 4},
        BadLine{"KeyToADisabledScreen", kToLure + "keydown Form5 16", 4},
        BadLine{"MissingControl", "click Form1.Command9", 1}, BadLine{"NotAButton", "click Form1.Label1", 1},
        BadLine{"KeyToAScreenNotLoaded", "keyup Form6 16", 1},
        BadLine{"CloseAScreenNotLoaded", "close Form2", 1}, BadLine{"MissingTimer", "tick Form1.Timer1", 1},
        BadLine{"TimerNotRunning", kToLure + "tick Form6.Timer2", 4},
        BadLine{"ShotOfAScreenNotLoaded", "shot Form8 /tmp/x.png", 1},
        BadLine{"CommandAfterTheEnd", "click Form1.Command2\nwait 1", 2}),
    [](const testing::TestParamInfo<BadLine>& p) { return std::string(p.param.name); });

}  // namespace
}  // namespace mogumo::test
