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

}  // namespace
}  // namespace mogumo::test
