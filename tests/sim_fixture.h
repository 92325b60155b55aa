#pragma once

// Runs scripts in the simulator's language, or plays the game directly.

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/game.h"
#include "screens/screen_factory.h"
#include "script/session.h"
#include "script/state_dump.h"
#include "ui/layouts/layouts.h"

namespace mogumo::test {

using script::runScript;
using script::ShotRenderer;

struct SimRun {
    int status = 0;
    std::string error, out;
    std::vector<std::string> dumps;  // one line each
    const std::string& last() const { return dumps.back(); }
};

inline std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

inline SimRun runSim(const std::string& script) {
    std::ostringstream out;
    SimRun r;
    r.status = runScript(script, out, r.error);
    r.out = out.str();
    std::istringstream lines(r.out);
    for (std::string line; std::getline(lines, line);) r.dumps.push_back(line);
    return r;
}

// The number written after the first `"key":` in a dump (its `index`th
// element for an array such as Gauge); NaN when the key is missing.
inline double dumpNumber(const std::string& dump, const std::string& key, int index = 0) {
    size_t at = dump.find("\"" + key + "\":");
    if (at == std::string::npos)
        return std::nan("");
    at += key.size() + 3;
    if (dump[at] == '[')
        for (++at; index-- > 0;) at = dump.find(',', at) + 1;
    return std::strtod(dump.c_str() + at, nullptr);
}

// Direct access to a running game with no windows, for rules that need the
// game put into a particular state first.
struct Game {
    mogumo::Game sim{makeScreen};
    Game() { sim.start(); }

    // A screen that is not loaded fails the test with its name.
    Screen& screen(FormId id) {
        if (Screen* s = sim.screens().loaded(id))
            return *s;
        throw std::logic_error(std::string(layoutOf(id).formName) + " is not loaded");
    }
    Control& ctl(FormId id, std::string_view name, int index = -1) { return screen(id).ctl(name, index); }
    GameState& state() { return sim.screens().state(); }
    void click(FormId id, std::string_view name, int index = -1) {
        sim.screens().click(screen(id), ctl(id, name, index));
    }
    void keyDown(FormId id, int code) { sim.screens().keyDown(screen(id), code); }
    void keyUp(FormId id, int code) { sim.screens().keyUp(screen(id), code); }
    // n lure or battle steps: the 1 ms timers meet the 50 ms gate every 51 ms.
    void steps(int n) { sim.run(static_cast<uint64_t>(51 * n)); }
    void run(uint64_t ms) { sim.run(ms); }
    double dumped(const std::string& key, int index = 0) const {
        return dumpNumber(stateDump(sim), key, index);
    }

    // Title -> spot -> cast -> lure screen, cast at once (CastPower 4).
    void castAtOnce() {
        click(FormId::Form1, "Command1");
        click(FormId::Form3, "Command2");
        click(FormId::Form5, "cast");
    }

    // Casts at once with the fish's bite box over the lure point: the fish
    // bites on the first lure step, at +1 ms, and the transition's first
    // tick follows 50 ms later; the clock stands at +51 ms.
    void biteAtFirstStep() {
        castAtOnce();
        Control& uo = ctl(FormId::Form6, "uo");
        uo.left = 4575 - 112;
        uo.top = 495 - 112;
        steps(1);
    }
};

}  // namespace mogumo::test
