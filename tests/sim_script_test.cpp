// The simulator's script language: the protocol's example, and every kind of
// bad line stopping the run with exit status 2 and its line number.

#include <gtest/gtest.h>

#include "sim_fixture.h"

namespace mogumo::test {
namespace {

TEST(SimScript, TheProtocolExampleDumpsEveryField) {
    const SimRun r = runSim(
        "# first game, spot 0, cast at once, hold Shift for three lure steps\n"
        "click Form1.Command1\nclick Form3.Command2\nclick Form5.cast\nkeydown Form6 16\nrun 150\ndump\n");
    ASSERT_EQ(r.status, 0) << r.error;
    ASSERT_EQ(r.dumps.size(), 1u);
    const Json& d = r.last();
    EXPECT_EQ(d["t"].num(), 100150);
    EXPECT_FALSE(d["ended"].boolean());
    EXPECT_EQ(d["random_draws"].num(), 6);  // three fish steps, two draws each
    EXPECT_EQ(d["help_shown"].num(), 0);
    EXPECT_EQ(d["state"]["CatchLog"].arr().size(), 101u);
    EXPECT_EQ(d["state"]["CatchTotals"].arr().size(), 3u);
    EXPECT_EQ(d["state"]["LureDistance"].num(), 17);
    for (const char* form : {"Form2", "Form5", "Form6"}) EXPECT_TRUE(r.loaded(form)) << form;
    EXPECT_FALSE(r.loaded("Form1"));
    EXPECT_EQ(r.control("Form6", "rua")["top"].num(), 315 - 3 * 35);
}

TEST(SimScript, ClockSetsTheCounterAndLastTickIsWrittenSigned) {
    const SimRun r = runSim("clock 4294967000\nclick Form1.Command1\nclick Form3.Command2\nrun 1\ndump\n");
    ASSERT_EQ(r.status, 0) << r.error;
    EXPECT_EQ(r.last()["t"].num(), 4294967001.0);
    EXPECT_EQ(r.state()["LastTick"].num(), -295);
}

TEST(SimScript, ByteOrderMarkCommentsAndBlankLinesAreAccepted) {
    const SimRun r = runSim("\xEF\xBB\xBF# comment\n\n   \r\ndump\r\n");
    EXPECT_EQ(r.status, 0) << r.error;
    EXPECT_EQ(r.dumps.size(), 1u);
}

struct BadLine {
    const char* script;
    int line;
    const char* why;
};

class BadScripts : public testing::TestWithParam<BadLine> {};

TEST_P(BadScripts, StopWithStatusTwoAtTheirLine) {
    const BadLine& bad = GetParam();
    const SimRun r = runSim(std::string(bad.script) + "\ndump\n");
    EXPECT_EQ(r.status, 2) << bad.why;
    EXPECT_EQ(r.error.rfind("line " + std::to_string(bad.line) + ": ", 0), 0u) << bad.why << ": " << r.error;
    for (const Json& d : r.dumps) EXPECT_TRUE(d.has("t"));
    EXPECT_LE(r.dumps.size(), 1u) << "nothing after the bad line runs";
}

INSTANTIATE_TEST_SUITE_P(
    Protocol, BadScripts,
    testing::Values(
        BadLine{"jump Form1", 1, "unknown command"}, BadLine{"dump\nwait", 2, "wrong number of words"},
        BadLine{"wait 10 20", 1, "too many words"}, BadLine{"wait -5", 1, "not plain digits"},
        BadLine{"run 1e3", 1, "not plain digits"}, BadLine{"wait 99999999999", 1, "number out of range"},
        BadLine{"keydown Form1 256", 1, "key code above 255"}, BadLine{"dump\nclock 5", 2, "clock not first"},
        BadLine{"click Form9.Command1", 1, "unknown screen"},
        BadLine{"click Form3.Command1(0)", 1, "screen not loaded"},
        BadLine{"click Form1.Command1\nclick Form2.kao(0)", 2, "screen not visible"},
        BadLine{"click Form1.Command1\nclick Form3.Command2\nclick Form5.cast\nclick Form5.cast", 4,
                "screen disabled"},
        BadLine{"click Form1.Command9", 1, "missing control"},
        BadLine{"click Form1.Label1", 1, "not a button"},
        BadLine{"keyup Form6 16", 1, "key to a screen not loaded"},
        BadLine{"close Form2", 1, "close a screen not loaded"},
        BadLine{"tick Form1.Timer1", 1, "missing timer"},
        BadLine{"click Form1.Command1\nclick Form3.Command2\nclick Form5.cast\ntick Form6.Timer2", 4,
                "timer not running"},
        BadLine{"shot Form8 /tmp/x.png", 1, "shot of a screen not loaded"},
        BadLine{"click Form1.Command2\nwait 1", 2, "command after the end"}));

TEST(SimScript, AfterTheEndOnlyDumpAnswers) {
    const SimRun r = runSim("close Form1\ndump\n");
    ASSERT_EQ(r.status, 0) << r.error;
    EXPECT_TRUE(r.last()["ended"].boolean());
    EXPECT_EQ(r.last().obj().size(), 2u);
}

}  // namespace
}  // namespace mogumo::test
