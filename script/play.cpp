#include "script/play.h"

#include <algorithm>
#include <system_error>

#include "core/keys.h"
#include "screens/screen_factory.h"
#include "script/state_dump.h"
#include "ui/layouts/layouts.h"

namespace mogumo::script {

namespace {

Host& noView() {
    static Host none;
    return none;
}

// The script verb of each kind of input, in InputKind's order.
constexpr Verb kInputVerbs[] = {Verb::Click, Verb::KeyDown, Verb::KeyUp, Verb::Close};

Command commandOf(const Input& in) {
    return inputCommand(kInputVerbs[static_cast<int>(in.kind)], in.form, in.key, in.control, in.index);
}

std::optional<InputKind> inputKindOf(Verb verb) {
    const auto* at = std::find(std::begin(kInputVerbs), std::end(kInputVerbs), verb);
    if (at == std::end(kInputVerbs))
        return std::nullopt;
    return static_cast<InputKind>(at - std::begin(kInputVerbs));
}

}  // namespace

std::string ReplayStop::message() const {
    return why == Why::Refused ? "line " + std::to_string(line) + ": " + reason : std::string();
}

Play::Play(Options options)
    : options_(std::move(options)),
      view_(options_.view ? *options_.view : noView()),
      clock_(options_.realClock, options_.clockStart),
      game_(makeScreen, options_.clockStart, this) {
    if (options_.record) {
        record_.emplace(options_.clockStart);
        handOut();
    }
}

Play::~Play() = default;

void Play::start() {
    game_.start();
    shown_ = shownScreens();
}

void Play::apply(const Command& c) {
    if (c.verb == Verb::Clock)
        throw ScriptError("clock is only allowed as the first command");
    if (c.verb == Verb::Dump) {
        if (options_.onDump)
            options_.onDump(game_);
        return;
    }
    if (game_.ended())
        throw ScriptError("the program has ended");

    std::optional<Refusal> refusal;
    if (const std::optional<InputKind> kind = inputKindOf(c.verb)) {
        refusal = game_.input({*kind, c.form, c.control, c.index, static_cast<int>(c.number)});
    } else if (c.verb == Verb::Tick) {
        refusal = game_.tick(c.form, c.control, c.index);
    } else if (c.verb == Verb::Wait) {
        game_.wait(c.number);
        clock_.shift(c.number);
        if (record_)
            record_->time(Verb::Wait, c.number);
    } else if (c.verb == Verb::Run && watching()) {
        // Real time passes with the timers running; advance goes on from its end.
        if (c.number > 0) {
            runEnd_ = game_.now() + c.number;
            clock_.setLimit(runEnd_);
        }
    } else if (c.verb == Verb::Run) {
        game_.run(c.number);
        if (record_)
            record_->time(Verb::Run, c.number);
    } else if (c.verb == Verb::Shot) {
        const Screen* screen = game_.screens().loaded(c.form);
        if (!screen) {
            refusal = Refusal::NotLoaded;
        } else if (!watching()) {  // a watched game's shots are for the simulator
            if (!options_.shot)
                throw ScriptError("shot is not available in this build");
            if (const std::string problem = options_.shot(*screen, c.file); !problem.empty())
                throw ScriptError(problem);
        }
    }
    if (refusal)
        throw ScriptError(describe(*refusal, layoutOf(c.form).formName, targetOf(c)));
    afterEvent();
}

bool Play::input(const Input& in) {
    if (game_.ended())
        return false;
    if ((in.kind == InputKind::KeyDown || in.kind == InputKind::KeyUp) &&
        (in.key < 0 || in.key > kMaxKeyCode))
        return false;
    if (watching() && in.kind != InputKind::Close) {
        // Watching a recorded game: F1 still opens the help.
        if (in.kind == InputKind::KeyDown && in.key == kKeyF1 && !game_.refusesInput(in.form))
            view_.showHelp();
        return false;
    }
    catchUp();
    const bool taken = !game_.input(in);
    afterEvent();
    return taken;
}

void Play::releaseKeys() {
    for (const auto& [form, key] : std::exchange(held_, {})) input({InputKind::KeyUp, form, {}, -1, key});
}

void Play::watch(std::unique_ptr<LineReader> script) {
    replay_ = std::move(script);
    clock_.setLimit(game_.now());
}

void Play::advance() {
    if (watching())
        stepReplay();
    else
        catchUp();
    afterEvent();
}

std::optional<uint64_t> Play::nextWake() const {
    if (game_.ended())
        return std::nullopt;
    // The script's next lines are due now.
    if (watching() && !stop_ && !runEnd_)
        return clock_.realMs();
    std::optional<uint64_t> next = game_.nextTickAt();
    if (clock_.limit() && (!next || *next > *clock_.limit()))
        next = runEnd_;
    if (!next)
        return std::nullopt;
    return clock_.realMs() + clock_.delayUntil(*next);
}

// The game clock catches up with real time: every tick due by now runs, or,
// after a stall, the time is lost.
void Play::catchUp() {
    const std::optional<GameClock::Move> move = clock_.catchUp(game_, watching());
    if (move && record_)
        record_->time(move->lost ? Verb::Wait : Verb::Run, move->ms);
}

void Play::stepReplay() {
    if (runEnd_) {
        catchUp();
        if (game_.now() < *runEnd_)
            return;
        runEnd_.reset();
    }
    if (stop_)
        return;
    // Whatever lateness this wake had, the script goes on from here.
    clock_.resync(game_.now());
    std::string line;
    while (!stop_ && !runEnd_) {
        try {
            if (!replay_->next(line)) {
                stop_ = ReplayStop{ReplayStop::Why::ScriptOver};
                break;
            }
            // The game started at the script's clock.
            const std::optional<Command> c = parseCommand(line);
            if (!c || c->verb == Verb::Clock)
                continue;
            if (game_.ended() && c->verb != Verb::Dump) {
                stop_ = ReplayStop{ReplayStop::Why::GameOver};
                break;
            }
            apply(*c);
        } catch (const ScriptError& e) {
            stop_ = ReplayStop{ReplayStop::Why::Refused, replay_->lineNumber(), e.what()};
        } catch (const std::system_error& e) {
            stop_ = ReplayStop{ReplayStop::Why::Refused, replay_->lineNumber() + 1, e.code().message()};
        }
    }
    if (!runEnd_)
        clock_.setLimit(game_.now());
}

std::string Play::record() const {
    if (!record_)
        return {};
    std::string out = record_->peek();
    if (!game_.ended())
        out += "dump\n# state " + stateDump(game_) + "\n";
    return out;
}

void Play::finishRecord() {
    if (!record_)
        return;
    record_->flushTime();
    handOut();
}

void Play::afterEvent() {
    // A hand-over between screens is a point to compare a replay against.
    if (record_ && !game_.ended())
        if (const unsigned shown = shownScreens(); shown != shown_) {
            shown_ = shown;
            recordDump();
        }
    if (options_.onEvent)
        options_.onEvent(game_);
}

void Play::recordDump() {
    record_->dump(stateDump(game_));
    handOut();
}

void Play::handOut() {
    if (options_.onRecord)
        if (std::string lines = record_->take(); !lines.empty())
            options_.onRecord(lines);
}

unsigned Play::shownScreens() const {
    unsigned bits = 0;
    for (int i = 0; i < kFormCount; ++i)
        if (const Screen* s = game_.screens().loaded(static_cast<FormId>(i)); s && s->visible())
            bits |= 1u << i;
    return bits;
}

void Play::screenShown(Screen& screen) {
    view_.screenShown(screen);
}

void Play::screenEnabledChanged(Screen& screen) {
    view_.screenEnabledChanged(screen);
}

void Play::screenUnloaded(Screen& screen) {
    view_.screenUnloaded(screen);
}

void Play::inputTaken(const Input& in) {
    if (in.kind == InputKind::KeyDown || in.kind == InputKind::KeyUp) {
        const std::pair<FormId, int> key{in.form, in.key};
        std::erase(held_, key);
        if (in.kind == InputKind::KeyDown)
            held_.push_back(key);
    }
    if (!record_)
        return;
    record_->input(commandOf(in));
    handOut();
}

void Play::showHelp() {
    view_.showHelp();
}

void Play::endProgram() {
    if (record_)
        recordDump();
    view_.endProgram();
}

}  // namespace mogumo::script
