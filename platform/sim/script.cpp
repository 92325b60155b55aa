// The script language of mogumo-sim: one command a line, words separated by
// spaces, comment lines starting with '#', blank lines ignored.

#include "platform/sim/script.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

namespace mogumo {
namespace {

constexpr uint64_t kMaxKeyCode = 255;
constexpr size_t kMaxShownWord = 40;

// A line that cannot be carried out.
struct ScriptError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

using Words = std::vector<std::string_view>;

// A word as a message shows it: printable ASCII as it is, other bytes as
// \xNN, and a long word cut short, so that the message stays one short line.
std::string shown(std::string_view word) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out;
    for (size_t i = 0; i < word.size() && i < kMaxShownWord; ++i) {
        const auto c = static_cast<unsigned char>(word[i]);
        if (c > 0x20 && c < 0x7f) {
            out += static_cast<char>(c);
        } else {
            out += "\\x";
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    if (word.size() > kMaxShownWord)
        out += "...";
    return out;
}

// Plain decimal digits, leading zeros allowed, 0 to 4294967295.
uint64_t number(std::string_view word) {
    if (word.empty() || !std::all_of(word.begin(), word.end(), [](char c) { return c >= '0' && c <= '9'; }))
        throw ScriptError("not a number: " + shown(word));
    const size_t first = std::min(word.find_first_not_of('0'), word.size());
    const std::string_view digits = word.substr(first);
    uint64_t v = 0;
    for (char c : digits) {
        v = v * 10 + static_cast<uint64_t>(c - '0');
        if (v > kMaxScriptNumber)
            throw ScriptError("number out of range: " + shown(word));
    }
    return v;
}

void expectWords(const Words& w, size_t n) {
    if (w.size() != n)
        throw ScriptError(std::string(w[0]) + " takes " + std::to_string(n - 1) + " argument" +
                          (n == 2 ? "" : "s"));
}

}  // namespace

std::vector<std::string_view> scriptWords(std::string_view line) {
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    std::vector<std::string_view> out;
    if (!line.empty() && line.front() == '#')
        return out;
    size_t pos = 0;
    while (pos < line.size()) {
        const size_t start = line.find_first_not_of(' ', pos);
        if (start == std::string_view::npos)
            break;
        const size_t end = std::min(line.find(' ', start), line.size());
        out.push_back(line.substr(start, end - start));
        pos = end;
    }
    return out;
}

class ScriptSession::Runner {
public:
    Runner(std::ostream& out, ShotRenderer shot) : out_(out), shot_(std::move(shot)) {}

    void execute(const Words& w) {
        const std::string_view cmd = w[0];
        if (cmd == "clock") {
            expectWords(w, 2);
            const uint64_t clock = number(w[1]);
            if (!first_)
                throw ScriptError("clock is only allowed as the first command");
            sim_.reset();  // started by a refused line before it: start again
            begin(static_cast<uint32_t>(clock));
            first_ = false;
            return;
        }
        begin(Simulator::kDefaultClock);
        if (cmd == "dump") {
            expectWords(w, 1);
            out_ << sim_->dump() << '\n';
            first_ = false;
            return;
        }
        static constexpr std::string_view known[] = {"click", "keydown", "keyup", "close",
                                                     "wait",  "tick",    "run",   "shot"};
        if (std::find(std::begin(known), std::end(known), cmd) == std::end(known))
            throw ScriptError("unknown command: " + shown(cmd));
        if (sim_->ended())
            throw ScriptError("the program has ended");

        if (cmd == "click") {
            expectWords(w, 2);
            auto [screen, control] = screenControl(w[1]);
            requireActive(screen, w[1]);
            Control* button = screen.find(control.first, control.second);
            if (!button)
                throw ScriptError("no control " + shown(w[1]));
            if (button->kind != ControlKind::Button)
                throw ScriptError(shown(w[1]) + " is not a button");
            if (!button->visible || !button->enabled)
                throw ScriptError(shown(w[1]) + " is hidden or disabled");
            first_ = false;
            sim_->screens().click(screen, *button);
        } else if (cmd == "keydown" || cmd == "keyup") {
            expectWords(w, 3);
            Screen& screen = loadedScreen(w[1]);
            const uint64_t code = number(w[2]);
            if (code > kMaxKeyCode)
                throw ScriptError("key code above 255: " + shown(w[2]));
            requireActive(screen, w[1]);
            first_ = false;
            if (cmd == "keydown")
                sim_->screens().keyDown(screen, static_cast<int>(code));
            else
                sim_->screens().keyUp(screen, static_cast<int>(code));
        } else if (cmd == "close") {
            expectWords(w, 2);
            Screen& screen = loadedScreen(w[1]);
            requireActive(screen, w[1]);
            first_ = false;
            sim_->screens().close(screen);
        } else if (cmd == "wait" || cmd == "run") {
            expectWords(w, 2);
            const uint64_t ms = number(w[1]);
            first_ = false;
            if (cmd == "wait")
                sim_->wait(ms);
            else
                sim_->run(ms);
        } else if (cmd == "tick") {
            expectWords(w, 2);
            auto [screen, control] = screenControl(w[1]);
            Control* timer = screen.find(control.first, control.second);
            if (!timer || !timer->isTimer())
                throw ScriptError("no timer " + shown(w[1]));
            if (!sim_->isRunning(screen, *timer))
                throw ScriptError("timer " + shown(w[1]) + " is not running");
            first_ = false;
            sim_->tick(screen, *timer);
        } else if (cmd == "shot") {
            expectWords(w, 3);
            Screen& screen = loadedScreen(w[1]);
            if (!shot_)
                throw ScriptError("shot is not available in this build");
            first_ = false;
            const std::string problem = shot_(screen, std::string(w[2]));
            if (!problem.empty())
                throw ScriptError(problem);
        }
    }

    // The program as it runs: once anyone has seen it, a `clock` comes too late.
    Simulator& started() {
        first_ = false;
        return begin(Simulator::kDefaultClock);
    }

    // Program start happens before the first line, at the clock of a leading
    // `clock` command.
    Simulator& begin(uint32_t clock) {
        if (!sim_) {
            sim_ = std::make_unique<Simulator>(clock);
            sim_->start();
        }
        return *sim_;
    }

private:
    FormId form(std::string_view name) {
        auto id = formByName(name);
        if (!id)
            throw ScriptError("unknown screen: " + shown(name));
        return *id;
    }

    Screen& loadedScreen(std::string_view name) {
        Screen* screen = sim_->screens().loaded(form(name));
        if (!screen)
            throw ScriptError(std::string(name) + " is not loaded");
        return *screen;
    }

    void requireActive(const Screen& screen, std::string_view what) {
        if (!screen.visible())
            throw ScriptError(shown(what) + ": the screen is not visible");
        if (!screen.enabled())
            throw ScriptError(shown(what) + ": the screen is disabled");
    }

    // "Form3.Command1(1)" -> the loaded Form3 and {"Command1", 1}.
    std::pair<Screen&, std::pair<std::string_view, int>> screenControl(std::string_view word) {
        const size_t dot = word.find('.');
        if (dot == std::string_view::npos)
            throw ScriptError("expected SCREEN.CONTROL: " + shown(word));
        Screen& screen = loadedScreen(word.substr(0, dot));
        std::string_view name = word.substr(dot + 1);
        int index = -1;
        if (const size_t open = name.find('('); open != std::string_view::npos) {
            if (name.back() != ')')
                throw ScriptError("bad control index: " + shown(word));
            const uint64_t i = number(name.substr(open + 1, name.size() - open - 2));
            if (i > 1000)
                throw ScriptError("bad control index: " + shown(word));
            index = static_cast<int>(i);
            name = name.substr(0, open);
        }
        return {screen, {name, index}};
    }

    std::ostream& out_;
    ShotRenderer shot_;
    std::unique_ptr<Simulator> sim_;
    bool first_ = true;
};

ScriptSession::ScriptSession(std::ostream& out, ShotRenderer shot)
    : runner_(std::make_unique<Runner>(out, std::move(shot))) {}

ScriptSession::~ScriptSession() = default;

bool ScriptSession::runLine(std::string_view line, std::string& reason) {
    try {
        if (line.size() > kMaxScriptLine)
            throw ScriptError("line longer than " + std::to_string(kMaxScriptLine) + " bytes");
        const Words w = scriptWords(line);
        if (!w.empty())
            runner_->execute(w);
    } catch (const ScriptError& e) {
        reason = e.what();
        return false;
    }
    return true;
}

Simulator& ScriptSession::simulator() {
    return runner_->started();
}

int runScript(std::string_view script, std::ostream& out, std::string& error, const ShotRenderer& shot) {
    if (script.substr(0, 3) == "\xEF\xBB\xBF")
        script.remove_prefix(3);
    ScriptSession session(out, shot);
    size_t lineNo = 0;
    for (size_t pos = 0; pos < script.size();) {
        const size_t end = std::min(script.find('\n', pos), script.size());
        ++lineNo;
        if (std::string reason; !session.runLine(script.substr(pos, end - pos), reason)) {
            out.flush();
            error = "line " + std::to_string(lineNo) + ": " + reason;
            return 2;
        }
        pos = end + 1;
    }
    session.simulator();
    return 0;
}

}  // namespace mogumo
