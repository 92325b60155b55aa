// The real game and the simulator agree: the Qt host, on a clock the test
// moves, plays a recorded scenario's timeline and must dump the very state
// that mogumo-sim dumps for the same script.

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <sstream>

#include "platform/qt/qt_host.h"
#include "platform/sim/simulator.h"
#include "platform/sim/state_dump.h"
#include "qt_fixture.h"

namespace mogumo {
namespace {

std::string readScenario(const std::string& name) {
    std::ifstream in(std::string(MOGUMO_CONFORMANCE_DIR) + "/" + name + ".txt");
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Plays a script's clicks, keys and runs on the real host; returns its dumps.
std::vector<std::string> playOnQtHost(const std::string& script) {
    uint32_t clock = Simulator::kDefaultClock;
    QtHost::Options options;
    options.ticks = [&clock] { return clock; };
    options.onEnd = [] {};
    QtHost host(testPictures(), options);
    host.start();

    auto form = [](const std::string& word) { return *formByName(word.substr(0, word.find('.'))); };
    std::vector<std::string> dumps;
    std::istringstream lines(script);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream words(line);
        std::string cmd, arg, code;
        words >> cmd >> arg >> code;
        if (cmd == "click") {
            EXPECT_TRUE(host.click(form(arg), arg.substr(arg.find('.') + 1))) << line;
        } else if (cmd == "keydown") {
            EXPECT_TRUE(host.keyDown(form(arg), std::stoi(code))) << line;
        } else if (cmd == "keyup") {
            EXPECT_TRUE(host.keyUp(form(arg), std::stoi(code))) << line;
        } else if (cmd == "run") {
            // The host wakes when it asked to; every step is due on its first
            // millisecond, as in the simulator.
            const uint32_t end = clock + static_cast<uint32_t>(std::stoul(arg));
            while (host.nextWakeTick() && static_cast<int32_t>(*host.nextWakeTick() - end) <= 0) {
                clock = std::max(clock, *host.nextWakeTick());
                host.wake();
            }
            clock = end;
        } else if (cmd == "dump") {
            dumps.push_back(stateDump(host.screens(), clock, host.helpRequests()));
        }
    }
    return dumps;
}

TEST(Agreement, TheRealGamePlaysACastBiteAndLandingLikeTheSimulator) {
    const std::string script = readScenario("07_bite_battle_landing");
    std::ostringstream simOut;
    std::string error;
    ASSERT_EQ(runScript(script, simOut, error), 0) << error;
    std::vector<std::string> simDumps;
    std::istringstream simLines(simOut.str());
    for (std::string l; std::getline(simLines, l);) simDumps.push_back(l);

    const std::vector<std::string> qtDumps = playOnQtHost(script);
    ASSERT_EQ(qtDumps.size(), simDumps.size());
    for (size_t i = 0; i < simDumps.size(); ++i) EXPECT_EQ(qtDumps[i], simDumps[i]) << "dump " << i;
}

TEST(Agreement, TheLureComesBackAndTheMeterGoesOnLikeInTheSimulator) {
    const std::string script = readScenario("04_lure_shift_return");
    std::ostringstream simOut;
    std::string error;
    ASSERT_EQ(runScript(script, simOut, error), 0) << error;
    std::istringstream simLines(simOut.str());
    size_t i = 0;
    const std::vector<std::string> qtDumps = playOnQtHost(script);
    for (std::string l; std::getline(simLines, l); ++i) {
        ASSERT_LT(i, qtDumps.size());
        EXPECT_EQ(qtDumps[i], l) << "dump " << i;
    }
}

}  // namespace
}  // namespace mogumo
