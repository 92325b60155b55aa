#pragma once

// Runs scripts in the simulator's language and reads back the dumps.

#include <sstream>
#include <string>
#include <vector>

#include "json.h"
#include "platform/sim/simulator.h"

namespace mogumo::test {

struct SimRun {
    int status = 0;
    std::string error;
    std::vector<Json> dumps;

    const Json& last() const { return dumps.back(); }
    const Json& state() const { return last()["state"]; }
    const Json& screen(const std::string& form) const { return last()["screens"][form]; }
    const Json& control(const std::string& form, const std::string& name) const {
        return screen(form)["controls"][name];
    }
    bool loaded(const std::string& form) const { return last()["screens"].has(form); }
};

inline SimRun runSim(const std::string& script) {
    std::ostringstream out;
    SimRun r;
    r.status = runScript(script, out, r.error);
    std::istringstream lines(out.str());
    for (std::string line; std::getline(lines, line);) r.dumps.push_back(Json::parse(line));
    return r;
}

// n lure or battle steps: the 1 ms timers meet the 50 ms gate every 51 ms.
inline std::string steps(int n) { return "run " + std::to_string(51 * n) + "\n"; }

// From the title to the cast screen at the given spot (browsing right from
// spot 0 in a first game).
inline std::string toCastScreen(int spot = 0) {
    std::string s = "click Form1.Command1\n";
    for (int i = 0; i < spot; ++i) s += "click Form3.Command1(1)\n";
    return s + "click Form3.Command2\n";
}

}  // namespace mogumo::test
