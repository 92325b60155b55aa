#include "platform/qt/script_replay.h"

#include <algorithm>
#include <iostream>
#include <sstream>

#include "core/layout.h"
#include "platform/qt/qt_host.h"
#include "platform/sim/script.h"
#include "platform/sim/simulator.h"

namespace mogumo {

namespace {

struct Target {
    FormId form;
    std::string control;
    int index = -1;
};

// "Form3.Command1(1)" -> Form3, "Command1", 1; the script has been checked.
Target parseTarget(const std::string& word) {
    Target t{};
    const size_t dot = word.find('.');
    t.form = formByName(word.substr(0, dot)).value_or(FormId::Form1);
    if (dot == std::string::npos)
        return t;
    t.control = word.substr(dot + 1);
    if (const size_t open = t.control.find('('); open != std::string::npos) {
        t.index = std::stoi(t.control.substr(open + 1));
        t.control.resize(open);
    }
    return t;
}

}  // namespace

std::string ScriptReplay::read(std::string_view script, Plan& plan) {
    std::ostringstream ignored;
    std::string error;
    // A shot writes no file when a game is watched.
    const ShotRenderer noShot = [](const Screen&, const std::string&) { return std::string(); };
    if (runScript(script, ignored, error, noShot) != 0)
        return error;

    plan = Plan{};
    if (script.substr(0, 3) == "\xEF\xBB\xBF")
        script.remove_prefix(3);
    int lineNo = 0;
    for (size_t pos = 0; pos < script.size();) {
        const size_t end = std::min(script.find('\n', pos), script.size());
        const std::vector<std::string_view> words = scriptWords(script.substr(pos, end - pos));
        pos = end + 1;
        ++lineNo;
        if (words.empty())
            continue;
        Command c{lineNo, std::string(words[0]), words.size() > 1 ? std::string(words[1]) : "", 0};
        const std::string_view number = words.size() > 2 ? words[2] : words.size() > 1 ? words[1] : "";
        if (c.verb == "clock" || c.verb == "wait" || c.verb == "run" || c.verb == "keydown" ||
            c.verb == "keyup")
            c.number = std::stoull(std::string(number));
        if (c.verb == "clock")
            plan.clockStart = static_cast<uint32_t>(c.number);
        else
            plan.commands.push_back(std::move(c));
    }
    return {};
}

ScriptReplay::ScriptReplay(QtHost& host, Plan plan, std::function<void(const std::string&)> onDump)
    : host_(host), plan_(std::move(plan)), onDump_(std::move(onDump)) {
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] { step(); });
    host_.setTimeLimit(host_.gameNow());
}

void ScriptReplay::step() {
    if (runEnd_) {
        host_.wake();
        if (host_.gameNow() < *runEnd_) {
            const uint64_t real = host_.realNow();
            timer_.start(static_cast<int>(*runEnd_ > real ? *runEnd_ - real : 0));
            return;
        }
        runEnd_.reset();
    }
    // Whatever lateness the last wake had, the script goes on from here.
    host_.resync();
    while (next_ < plan_.commands.size()) {
        const Command& c = plan_.commands[next_++];
        if (host_.screens().ended() && c.verb != "dump")
            break;
        if (c.verb == "run" && c.number > 0) {
            runEnd_ = host_.gameNow() + c.number;
            host_.setTimeLimit(runEnd_);
            timer_.start(static_cast<int>(std::min<uint64_t>(c.number, 1u << 30)));
            return;
        }
        if (!execute(c)) {
            std::cerr << "mogumo: the replay went astray at line " << c.line << '\n';
            next_ = plan_.commands.size();
        }
    }
    host_.setTimeLimit(host_.gameNow());
}

bool ScriptReplay::execute(const Command& c) {
    const Target t = parseTarget(c.target);
    const int code = static_cast<int>(c.number);
    if (c.verb == "wait")
        host_.wait(c.number);
    else if (c.verb == "click")
        return host_.click(t.form, t.control, t.index);
    else if (c.verb == "keydown")
        return host_.keyDown(t.form, code);
    else if (c.verb == "keyup")
        return host_.keyUp(t.form, code);
    else if (c.verb == "close")
        return host_.close(t.form);
    else if (c.verb == "tick")
        return host_.tick(t.form, t.control, t.index);
    else if (c.verb == "dump" && onDump_)
        onDump_(host_.dump());
    return true;
}

}  // namespace mogumo
