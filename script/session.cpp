#include "script/session.h"

#include <unistd.h>

#include <ostream>
#include <streambuf>
#include <system_error>

#include "script/state_dump.h"

namespace mogumo::script {

ScriptSession::ScriptSession(std::ostream& out, Options options) : out_(out), options_(std::move(options)) {}

ScriptSession::~ScriptSession() = default;

Play& ScriptSession::begin(uint32_t clock) {
    if (!play_) {
        Play::Options options;
        options.clockStart = clock;
        options.shot = options_.shot;
        options.onEvent = options_.onEvent;
        options.onDump = [this](const Game& game) {
            writeStateDump(game, dump_);
            out_ << dump_.str() << '\n';
            if (options_.flushEachDump)
                out_.flush();
            // Dumps nobody can read end the run: endless input must not go on
            // into a full disk or a closed pipe.
            if (!out_)
                throw std::ios_base::failure("the dumps cannot be written");
        };
        play_ = std::make_unique<Play>(std::move(options));
        if (options_.onStart)
            options_.onStart(play_->game());
        play_->start();
    }
    return *play_;
}

Game& ScriptSession::game() {
    first_ = false;
    return begin(kDefaultClock).game();
}

void ScriptSession::run(const Command& c) {
    if (c.verb == Verb::Clock && first_) {
        play_.reset();  // started by a refused line before it: start again
        begin(static_cast<uint32_t>(c.number));
    } else {
        begin(kDefaultClock).apply(c);
    }
    first_ = false;
}

bool ScriptSession::runLine(std::string_view line, std::string& reason) {
    try {
        if (const std::optional<Command> c = parseCommand(line))
            run(*c);
    } catch (const ScriptError& e) {
        reason = e.what();
        return false;
    }
    return true;
}

int runScript(LineReader& in, std::ostream& out, std::string& error, ScriptSession::Options options) {
    ScriptSession session(out, std::move(options));
    std::string line;
    try {
        while (in.next(line))
            if (const std::optional<Command> c = parseCommand(line))
                session.run(*c);
    } catch (const ScriptError& e) {
        out.flush();
        error = "line " + std::to_string(in.lineNumber()) + ": " + e.what();
        return 2;
    }
    session.game();
    return 0;
}

namespace {
// Discards what is written to it.
class NullBuffer : public std::streambuf {
protected:
    int_type overflow(int_type c) override { return traits_type::not_eof(c); }
    std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
};
}  // namespace

std::string checkScript(LineReader& in, uint32_t& clockStart) {
    NullBuffer discard;
    std::ostream ignored(&discard);
    ScriptSession::Options options;
    options.shot = [](const Screen&, const std::string&) { return std::string(); };
    options.onStart = [&clockStart](Game& game) { clockStart = game.tickCount(); };
    std::string error;
    try {
        runScript(in, ignored, error, std::move(options));
    } catch (const std::system_error&) {
        throw;
    } catch (const std::exception& e) {
        error = std::string("the game failed: ") + e.what();
    }
    return error;
}

RecordedGame openRecordedGame(const std::string& path) {
    RecordedGame game;
    const auto unreadable = [&](const std::string& why) {
        game.fault = RecordedGame::Fault::Unreadable;
        game.problem = "cannot read the script " + path + ": " + why;
        return std::move(game);
    };
    std::string why;
    int fd = openScriptFile(path, why);
    if (fd < 0)
        return unreadable(why);
    try {
        LineReader in = LineReader::fromFd(fd);
        why = checkScript(in, game.clockStart);
    } catch (const std::system_error& e) {
        ::close(fd);
        return unreadable(e.code().message());
    }
    ::close(fd);
    if (!why.empty()) {
        game.fault = RecordedGame::Fault::Unplayable;
        game.problem = path + ": " + why;
        return game;
    }
    // Read again as the game goes, a line at a time.
    if ((fd = openScriptFile(path, why)) < 0)
        return unreadable(why);
    game.lines = std::make_unique<LineReader>(LineReader::fromFd(fd, true));
    return game;
}

int runScript(std::string_view script, std::ostream& out, std::string& error,
              ScriptSession::Options options) {
    LineReader in = LineReader::fromString(script);
    return runScript(in, out, error, std::move(options));
}

}  // namespace mogumo::script
