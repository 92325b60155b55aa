// The script language of mogumo-sim: one command a line, words separated by
// spaces, '#' comments and blank lines ignored.

#include <memory>
#include <optional>
#include <ostream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/sim/simulator.h"

namespace mogumo {
namespace {

constexpr uint64_t kMaxNumber = 4294967295ULL;
constexpr int kMaxKeyCode = 255;

// A line that cannot be carried out.
struct ScriptError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

std::vector<std::string> words(const std::string& line) {
    std::vector<std::string> out;
    std::istringstream in(line);
    for (std::string w; in >> w;) out.push_back(w);
    return out;
}

uint64_t number(const std::string& word) {
    if (word.empty() || word.size() > 10)
        throw ScriptError("not a number: " + word);
    uint64_t v = 0;
    for (char c : word) {
        if (c < '0' || c > '9')
            throw ScriptError("not a number: " + word);
        v = v * 10 + static_cast<uint64_t>(c - '0');
    }
    if (v > kMaxNumber)
        throw ScriptError("number out of range: " + word);
    return v;
}

void expectWords(const std::vector<std::string>& w, size_t n) {
    if (w.size() != n)
        throw ScriptError(w[0] + " takes " + std::to_string(n - 1) + " argument" + (n == 2 ? "" : "s"));
}

class ScriptRunner {
public:
    ScriptRunner(std::ostream& out, const ShotRenderer& shot) : out_(out), shot_(shot) {}

    void execute(const std::vector<std::string>& w, bool first) {
        const std::string& cmd = w[0];
        if (cmd == "clock") {
            expectWords(w, 2);
            const uint64_t clock = number(w[1]);
            if (!first)
                throw ScriptError("clock is only allowed as the first command");
            begin(static_cast<uint32_t>(clock));
            return;
        }
        begin(Simulator::kDefaultClock);
        if (cmd == "dump") {
            expectWords(w, 1);
            out_ << sim_->dump() << '\n';
            return;
        }
        static const char* const known[] = {"click", "keydown", "keyup", "close",
                                            "wait",  "tick",    "run",   "shot"};
        if (std::find(std::begin(known), std::end(known), cmd) == std::end(known))
            throw ScriptError("unknown command: " + cmd);
        if (sim_->ended())
            throw ScriptError("the program has ended");

        if (cmd == "click") {
            expectWords(w, 2);
            auto [screen, control] = screenControl(w[1]);
            requireActive(screen, w[1]);
            Control* button = screen.find(control.first, control.second);
            if (!button)
                throw ScriptError("no control " + control.first + " on " + w[1]);
            if (button->kind != ControlKind::Button)
                throw ScriptError(w[1] + " is not a button");
            if (!button->visible || !button->enabled)
                throw ScriptError(w[1] + " is hidden or disabled");
            sim_->screens().click(screen, *button);
        } else if (cmd == "keydown" || cmd == "keyup") {
            expectWords(w, 3);
            Screen& screen = loadedScreen(w[1]);
            const uint64_t code = number(w[2]);
            if (code > kMaxKeyCode)
                throw ScriptError("key code above 255: " + w[2]);
            requireActive(screen, w[1]);
            if (cmd == "keydown")
                sim_->screens().keyDown(screen, static_cast<int>(code));
            else
                sim_->screens().keyUp(screen, static_cast<int>(code));
        } else if (cmd == "close") {
            expectWords(w, 2);
            Screen& screen = loadedScreen(w[1]);
            requireActive(screen, w[1]);
            sim_->screens().close(screen);
        } else if (cmd == "wait" || cmd == "run") {
            expectWords(w, 2);
            const uint64_t ms = number(w[1]);
            if (cmd == "wait")
                sim_->wait(ms);
            else
                sim_->run(ms);
        } else if (cmd == "tick") {
            expectWords(w, 2);
            auto [screen, control] = screenControl(w[1]);
            Control* timer = screen.find(control.first, control.second);
            if (!timer || !timer->isTimer())
                throw ScriptError("no timer " + w[1]);
            if (!sim_->isRunning(screen, *timer))
                throw ScriptError("timer " + w[1] + " is not running");
            sim_->tick(screen, *timer);
        } else if (cmd == "shot") {
            expectWords(w, 3);
            Screen& screen = loadedScreen(w[1]);
            if (!shot_)
                throw ScriptError("shot is not available in this build");
            const std::string problem = shot_(screen, w[2]);
            if (!problem.empty())
                throw ScriptError(problem);
        }
    }

    // Program start happens before the first line, at the clock of a leading
    // `clock` command.
    void begin(uint32_t clock) {
        if (sim_)
            return;
        sim_ = std::make_unique<Simulator>(clock);
        sim_->start();
    }

private:
    FormId form(const std::string& name) {
        auto id = formByName(name);
        if (!id)
            throw ScriptError("unknown screen: " + name);
        return *id;
    }

    Screen& loadedScreen(const std::string& name) {
        Screen* screen = sim_->screens().loaded(form(name));
        if (!screen)
            throw ScriptError(name + " is not loaded");
        return *screen;
    }

    void requireActive(const Screen& screen, const std::string& what) {
        if (!screen.visible())
            throw ScriptError(what + ": the screen is not visible");
        if (!screen.enabled())
            throw ScriptError(what + ": the screen is disabled");
    }

    // "Form3.Command1(1)" -> the loaded Form3 and {"Command1", 1}.
    std::pair<Screen&, std::pair<std::string, int>> screenControl(const std::string& word) {
        const size_t dot = word.find('.');
        if (dot == std::string::npos)
            throw ScriptError("expected SCREEN.CONTROL: " + word);
        Screen& screen = loadedScreen(word.substr(0, dot));
        std::string name = word.substr(dot + 1);
        int index = -1;
        if (const size_t open = name.find('('); open != std::string::npos) {
            if (name.back() != ')')
                throw ScriptError("bad control index: " + word);
            const uint64_t i = number(name.substr(open + 1, name.size() - open - 2));
            if (i > 1000)
                throw ScriptError("bad control index: " + word);
            index = static_cast<int>(i);
            name.resize(open);
        }
        return {screen, {name, index}};
    }

    std::ostream& out_;
    const ShotRenderer& shot_;
    std::unique_ptr<Simulator> sim_;
};

}  // namespace

int runScript(std::string_view script, std::ostream& out, std::string& error, const ShotRenderer& shot) {
    if (script.substr(0, 3) == "\xEF\xBB\xBF")
        script.remove_prefix(3);
    ScriptRunner runner(out, shot);
    bool first = true;
    size_t lineNo = 0;
    size_t pos = 0;
    while (pos <= script.size()) {
        size_t end = script.find('\n', pos);
        if (end == std::string_view::npos)
            end = script.size();
        std::string line(script.substr(pos, end - pos));
        pos = end + 1;
        ++lineNo;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const auto w = words(line);
        if (w.empty() || w[0][0] == '#') {
            if (end == script.size())
                break;
            continue;
        }
        try {
            runner.execute(w, first);
        } catch (const ScriptError& e) {
            out.flush();
            error = "line " + std::to_string(lineNo) + ": " + e.what();
            return 2;
        }
        first = false;
        if (end == script.size())
            break;
    }
    runner.begin(Simulator::kDefaultClock);
    return 0;
}

}  // namespace mogumo
