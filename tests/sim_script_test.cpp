// The simulator's script language: the recorded scenarios replayed (every
// dump byte for byte, and the status), the clock, the largest numbers, and a
// button that cannot be clicked.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "sim_fixture.h"

namespace mogumo::test {
namespace {

class Conformance : public testing::TestWithParam<std::string> {};

TEST_P(Conformance, DumpsAndStatusMatchTheRecording) {
    const std::filesystem::path dir = MOGUMO_CONFORMANCE_DIR;
    const SimRun run = runSim(readFile(dir / (GetParam() + ".txt")));
    std::ostringstream status;
    status << run.status << " " << run.error << "\n";
    EXPECT_EQ(status.str(), readFile(dir / (GetParam() + ".status")));

    const std::string expected = readFile(dir / (GetParam() + ".jsonl"));
    const auto diff = std::mismatch(run.out.begin(), run.out.end(), expected.begin(), expected.end());
    const auto at = static_cast<size_t>(diff.first - run.out.begin());
    const size_t from = at < 80 ? 0 : at - 80;
    EXPECT_EQ(run.out, expected) << "first difference at byte " << at << ", dump "
                                 << std::count(run.out.begin(), diff.first, '\n')
                                 << ":\n ours: " << run.out.substr(from, 160)
                                 << "\n recorded: " << expected.substr(from, 160);
}

std::vector<std::string> scenarios() {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(MOGUMO_CONFORMANCE_DIR))
        if (e.path().extension() == ".txt")
            names.push_back(e.path().stem().string());
    std::sort(names.begin(), names.end());
    return names;
}

INSTANTIATE_TEST_SUITE_P(Recorded, Conformance, testing::ValuesIn(scenarios()),
                         [](const testing::TestParamInfo<std::string>& p) { return "s" + p.param; });

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
