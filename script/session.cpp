#include "script/session.h"

#include <ostream>
#include <streambuf>
#include <system_error>

#include "screens/screen_factory.h"
#include "script/state_dump.h"
#include "ui/layouts/layouts.h"

namespace mogumo::script {

ScriptSession::ScriptSession(std::ostream& out, Options options) : out_(out), options_(std::move(options)) {}

ScriptSession::~ScriptSession() = default;

Game& ScriptSession::begin(uint32_t clock) {
    if (!game_) {
        game_ = std::make_unique<Game>(makeScreen, clock);
        if (options_.onStart)
            options_.onStart(*game_);
        game_->start();
    }
    return *game_;
}

Game& ScriptSession::game() {
    first_ = false;
    return begin(kDefaultClock);
}

void ScriptSession::run(const Command& c) {
    if (c.verb == Verb::Clock) {
        if (!first_)
            throw ScriptError("clock is only allowed as the first command");
        game_.reset();  // started by a refused line before it: start again
        begin(static_cast<uint32_t>(c.number));
        first_ = false;
        return;
    }
    Game& game = begin(kDefaultClock);
    if (c.verb == Verb::Dump) {
        first_ = false;
        writeStateDump(game, dump_);
        out_ << dump_.str() << '\n';
        if (options_.flushEachDump)
            out_.flush();
        // Dumps nobody can read end the run: endless input must not go on
        // into a full disk or a closed pipe.
        if (!out_)
            throw std::ios_base::failure("the dumps cannot be written");
        return;
    }
    if (game.ended())
        throw ScriptError("the program has ended");

    std::optional<Refusal> refusal;
    const int code = static_cast<int>(c.number);
    switch (c.verb) {
        case Verb::Click: refusal = game.click(c.form, c.control, c.index); break;
        case Verb::KeyDown: refusal = game.keyDown(c.form, code); break;
        case Verb::KeyUp: refusal = game.keyUp(c.form, code); break;
        case Verb::Close: refusal = game.close(c.form); break;
        case Verb::Tick: refusal = game.tick(c.form, c.control, c.index); break;
        case Verb::Wait: game.wait(c.number); break;
        case Verb::Run: game.run(c.number); break;
        case Verb::Shot: {
            const Screen* screen = game.screens().loaded(c.form);
            if (!screen)
                refusal = Refusal::NotLoaded;
            else if (!options_.shot)
                throw ScriptError("shot is not available in this build");
            else if (const std::string problem = options_.shot(*screen, c.file); !problem.empty())
                throw ScriptError(problem);
            break;
        }
        case Verb::Clock:
        case Verb::Dump: break;
    }
    if (refusal)
        throw ScriptError(describe(*refusal, layoutOf(c.form).formName, targetOf(c)));
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

int runScript(std::string_view script, std::ostream& out, std::string& error,
              ScriptSession::Options options) {
    LineReader in = LineReader::fromString(script);
    return runScript(in, out, error, std::move(options));
}

}  // namespace mogumo::script
