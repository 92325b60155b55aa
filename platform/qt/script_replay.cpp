#include "platform/qt/script_replay.h"

#include <unistd.h>

#include <algorithm>
#include <iostream>
#include <system_error>

#include "platform/qt/qt_host.h"
#include "script/session.h"

namespace mogumo {

std::string ScriptReplay::check(const std::string& path, uint32_t& clockStart) {
    std::string why;
    const int fd = script::openScriptFile(path, why);
    if (fd < 0)
        return "cannot read the script " + path + ": " + why;
    script::LineReader in = script::LineReader::fromFd(fd);
    std::string error;
    try {
        error = script::checkScript(in, clockStart);
        if (!error.empty())
            error = path + ": " + error;
    } catch (const std::system_error& e) {
        error = "cannot read the script " + path + ": " + e.code().message();
    }
    ::close(fd);
    return error;
}

ScriptReplay::ScriptReplay(QtHost& host, const std::string& path,
                           std::function<void(const std::string&)> onDump)
    : host_(host), onDump_(std::move(onDump)) {
    std::string why;
    fd_ = script::openScriptFile(path, why);
    if (fd_ >= 0)
        reader_ = std::make_unique<script::LineReader>(script::LineReader::fromFd(fd_));
    else
        std::cerr << "mogumo: cannot read the script " << path << ": " << why << '\n';
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] { step(); });
    host_.setTimeLimit(host_.gameNow());
}

ScriptReplay::~ScriptReplay() {
    if (fd_ >= 0)
        ::close(fd_);
}

// The next command but the leading clock, which the game started with;
// nullopt at the end, or when the script can no longer be read.
std::optional<script::Command> ScriptReplay::nextCommand() {
    std::string line;
    try {
        while (reader_ && reader_->next(line))
            if (std::optional<script::Command> c = script::parseCommand(line);
                c && c->verb != script::Verb::Clock)
                return c;
    } catch (const std::exception& e) {
        std::cerr << "mogumo: the replay stopped at line " << reader_->lineNumber() << ": " << e.what()
                  << '\n';
    }
    return std::nullopt;
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
    while (!finished_) {
        const std::optional<script::Command> c = nextCommand();
        if (!c || (host_.screens().ended() && c->verb != script::Verb::Dump)) {
            finished_ = true;
            break;
        }
        if (c->verb == script::Verb::Run && c->number > 0) {
            runEnd_ = host_.gameNow() + c->number;
            host_.setTimeLimit(runEnd_);
            timer_.start(static_cast<int>(std::min<uint64_t>(c->number, 1u << 30)));
            return;
        }
        if (!execute(*c)) {
            std::cerr << "mogumo: the replay went astray at line " << reader_->lineNumber() << '\n';
            finished_ = true;
        }
    }
    host_.setTimeLimit(host_.gameNow());
}

bool ScriptReplay::execute(const script::Command& c) {
    const int code = static_cast<int>(c.number);
    switch (c.verb) {
        case script::Verb::Wait: host_.wait(c.number); return true;
        case script::Verb::Click: return host_.click(c.form, c.control, c.index);
        case script::Verb::KeyDown: return host_.keyDown(c.form, code);
        case script::Verb::KeyUp: return host_.keyUp(c.form, code);
        case script::Verb::Close: return host_.close(c.form);
        case script::Verb::Tick: return host_.tick(c.form, c.control, c.index);
        case script::Verb::Dump:
            if (onDump_)
                onDump_(host_.dump());
            return true;
        case script::Verb::Run:
        case script::Verb::Clock:
        case script::Verb::Shot: return true;
    }
    return true;
}

}  // namespace mogumo
