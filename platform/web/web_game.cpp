// The game in the browser: the one place where the page meets the game's
// runtime. The page (platform/web/site/page.js) calls the C functions at
// the end of this file and draws what `mogumo_view` describes; everything it
// knows about screens, controls and time comes through them.
//
// Time works as in the desktop game: the game clock follows the page's clock
// (performance.now(), handed in as `real`) but moves only when the page asks,
// running every tick due by then at its own due millisecond; every input
// first runs the ticks due by the time it came (see GameClock). A wake that
// comes more than GameClock::kStallMs after a tick was due (a background tab whose timers the browser
// held back) does not make the missed ticks up: the time is lost, and the
// record says so with `wait`.

#include <emscripten/emscripten.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <exception>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "core/game.h"
#include "core/game_clock.h"
#include "core/host.h"
#include "core/json_writer.h"
#include "core/keys.h"
#include "core/pictures.h"
#include "core/screen.h"
#include "screens/screen_factory.h"
#include "script/command.h"
#include "script/record_writer.h"
#include "script/session.h"
#include "script/state_dump.h"
#include "ui/layouts/layouts.h"

namespace mogumo {
namespace {

// One pixel is 15 twips; rectangles as the desktop game rounds them.
int px(float twips) {
    return static_cast<int>(std::lround(twips / kTwipsPerPixel));
}

using script::Command;
using script::Verb;

class WebGame : public Host {
public:
    // `replayScript`, when not empty, is a recorded game to watch, read into
    // `replay`.
    WebGame(uint32_t clockStart, double real, std::string replayScript, std::vector<Command> replay)
        : realMs_(floorMs(real)),
          clock_([this] { return realMs_; }, clockStart),
          record_(clockStart),
          replayScript_(std::move(replayScript)),
          replay_(std::move(replay)),
          replaying_(!replayScript_.empty()),
          game_(makeScreen, clockStart, this) {}

    void start() {
        if (replaying_)
            clock_.setLimit(game_.now());
        game_.start();
        shown_ = shownScreens();
        if (replaying_)
            stepReplay(realMs_);
    }

    const Game& game() const { return game_; }

    // Runs what is due by the real time `real`.
    void advance(double real) {
        realMs_ = floorMs(real);
        if (replaying_)
            stepReplay(floorMs(real));
        else
            catchUp(floorMs(real));
        afterEvent();
    }

    // The real time of the next wake; nullopt when nothing will happen
    // without input.
    std::optional<double> nextWake() const {
        if (game_.ended())
            return std::nullopt;
        std::optional<uint64_t> next = game_.nextTickAt();
        if (clock_.limit() && (!next || *next > *clock_.limit()))
            next = runEnd_;
        if (!next)
            return std::nullopt;
        return static_cast<double>(realMs_ + clock_.delayUntil(*next));
    }

    // Input at the real time `real`, carried out when the game takes it.
    bool click(FormId form, std::string_view name, int index, double real) {
        if (replaying_)
            return false;
        const auto refuses = [&] { return game_.refusesClick(form, name, index).has_value(); };
        return deliver(real, refuses, [&] {
            record_.input(script::inputCommand(Verb::Click, form, 0, name, index));
            return !game_.click(form, name, index);
        });
    }

    bool key(FormId form, bool down, int code, double real) {
        if (code < 0 || code > kMaxKeyCode)
            return false;
        if (replaying_) {
            // Watching a recorded game: F1 still opens the help.
            if (down && code == kKeyF1)
                ++helpOpened_;
            return false;
        }
        const auto refuses = [&] { return game_.refusesInput(form).has_value(); };
        return deliver(real, refuses, [&] {
            record_.input(script::inputCommand(down ? Verb::KeyDown : Verb::KeyUp, form, code));
            return !(down ? game_.keyDown(form, code) : game_.keyUp(form, code));
        });
    }

    bool close(FormId form, double real) {
        const auto refuses = [&] { return game_.refusesInput(form).has_value(); };
        return deliver(real, refuses, [&] {
            record_.input(script::inputCommand(Verb::Close, form));
            return !game_.close(form);
        });
    }

    std::string dump() const { return stateDump(game_); }

    // The game so far as a script; a game still going ends in a dump of the
    // state it has now.
    std::string record(double real) {
        if (replaying_)
            return replayScript_;  // the game being watched is that script
        if (!game_.ended()) {
            catchUp(floorMs(real));
            afterEvent();
        }
        return game_.ended() ? record_.peek() : record_.peek() + "dump\n# state " + dump() + "\n";
    }

    std::string view() const;

    // Host
    void showHelp() override { ++helpOpened_; }
    void endProgram() override { record_.dump(dump()); }

private:
    static uint64_t floorMs(double real) { return real > 0 ? static_cast<uint64_t>(std::floor(real)) : 0; }

    // The game clock catches up with real time: every tick due by then runs,
    // or, after a stall, the time is lost.
    void catchUp(uint64_t real) {
        realMs_ = std::max(realMs_, real);
        if (const std::optional<GameClock::Move> move = clock_.catchUp(game_, replaying_))
            record_.time(move->lost ? Verb::Wait : Verb::Run, move->ms);
    }

    // An input, once the game clock has caught up with it: refused when the
    // game would not take it then, else written down and carried out.
    template <class Refuses, class Handler>
    bool deliver(double real, Refuses&& refuses, Handler&& handler) {
        if (game_.ended())
            return false;
        catchUp(floorMs(real));
        const bool accepted = !refuses() && handler();
        afterEvent();
        return accepted;
    }

    // A recorded game plays itself: `run` lets real time pass with the timers
    // running, `wait` jumps the clock, inputs are sent when their time comes.
    // The clock never runs ahead of the script.
    void stepReplay(uint64_t real) {
        if (runEnd_) {
            catchUp(real);
            if (game_.now() < *runEnd_)
                return;
            runEnd_.reset();
        }
        // Whatever lateness this wake had, the script goes on from here.
        clock_.resync(game_.now());
        while (next_ < replay_.size()) {
            const Command& c = replay_[next_++];
            if (game_.ended() && c.verb != Verb::Dump)
                break;
            if (c.verb == Verb::Run && c.number > 0) {
                runEnd_ = game_.now() + c.number;
                clock_.setLimit(runEnd_);
                return;
            }
            replayCommand(c);
        }
        next_ = replay_.size();
        clock_.setLimit(game_.now());
    }

    void replayCommand(const Command& c) {
        const int code = static_cast<int>(c.number);
        switch (c.verb) {
            case Verb::Wait:
                game_.wait(c.number);
                clock_.shift(c.number);
                break;
            case Verb::Click: game_.click(c.form, c.control, c.index); break;
            case Verb::KeyDown: game_.keyDown(c.form, code); break;
            case Verb::KeyUp: game_.keyUp(c.form, code); break;
            case Verb::Close: game_.close(c.form); break;
            case Verb::Tick: game_.tick(c.form, c.control, c.index); break;
            default: break;  // dump and shot show nothing here
        }
    }

    unsigned shownScreens() const {
        unsigned bits = 0;
        for (int i = 0; i < kFormCount; ++i)
            if (const Screen* s = game_.screens().loaded(static_cast<FormId>(i)); s && s->visible())
                bits |= 1u << i;
        return bits;
    }

    void afterEvent() {
        if (game_.ended())
            return;
        // A hand-over between screens is a point to compare a replay against.
        if (const unsigned shown = shownScreens(); shown != shown_) {
            shown_ = shown;
            record_.dump(dump());
        }
    }

    uint64_t realMs_;  // the page's clock at the call being handled
    GameClock clock_;
    std::optional<uint64_t> runEnd_;
    script::RecordWriter record_;
    std::string replayScript_;
    std::vector<Command> replay_;
    size_t next_ = 0;
    bool replaying_;
    int helpOpened_ = 0;  // times the page is to open the help
    unsigned shown_ = 0;
    Game game_;
};

// What the page draws: every shown screen, each control's rectangle in
// pixels and the state that can change while the screen is loaded.
std::string WebGame::view() const {
    JsonWriter out;
    out.beginObject();
    out.field("ended", game_.ended());
    out.field("help", helpOpened_);
    out.field("replaying", replaying_);
    out.field("replayOver", replaying_ && next_ >= replay_.size() && !runEnd_);
    out.key("screens");
    out.beginArray();
    for (int f = 0; f < kFormCount && !game_.ended(); ++f) {
        const Screen* s = game_.screens().loaded(static_cast<FormId>(f));
        if (!s || !s->visible())
            continue;
        out.beginObject();
        out.field("form", f);
        out.field("instance", static_cast<int64_t>(s->instance()));
        out.field("enabled", s->enabled());
        out.key("controls");
        out.beginArray();
        for (const Control& c : s->controls()) {
            out.beginArray();
            if (c.kind == ControlKind::Line) {
                out.value(c.x1 / kTwipsPerPixel);
                out.value(c.y1 / kTwipsPerPixel);
                out.value(c.x2 / kTwipsPerPixel);
                out.value(c.y2 / kTwipsPerPixel);
                out.value(c.visible);
            } else if (!c.isTimer()) {
                const int l = px(c.left), t = px(c.top);
                out.value(l);
                out.value(t);
                out.value(px(c.left + c.width) - l);
                out.value(px(c.top + c.height) - t);
                out.value(c.visible);
                out.value(c.enabled);
                out.value(c.text);
                out.value(c.picture);
                out.value(c.min);
                out.value(c.max);
                out.value(c.value);
            }
            out.endArray();
        }
        out.endArray();
        out.key("drawings");
        out.beginArray();
        for (const DrawnRect& r : s->drawings()) {
            const int x1 = px(std::min(r.x1, r.x2)), y1 = px(std::min(r.y1, r.y2));
            out.beginArray();
            out.value(x1);
            out.value(y1);
            out.value(px(std::max(r.x1, r.x2)) - x1 + 1);
            out.value(px(std::max(r.y1, r.y2)) - y1 + 1);
            out.value(static_cast<int64_t>(r.colour));
            out.endArray();
        }
        out.endArray();
        out.endObject();
    }
    out.endArray();
    out.endObject();
    return out.str();
}

void writeFont(JsonWriter& out, std::string_view name, const std::optional<Font>& font) {
    out.key(name);
    if (!font) {
        out.null();
        return;
    }
    out.beginObject();
    out.field("family", font->family);
    out.field("points", font->points);
    out.field("bold", font->bold);
    out.field("underline", font->underline);
    out.endObject();
}

void writeColour(JsonWriter& out, std::string_view name, const std::optional<Colour>& colour) {
    out.key(name);
    if (colour)
        out.value(static_cast<int64_t>(*colour));
    else
        out.null();
}

// The fixed part of a screen: its window and what its controls look like.
std::string layoutJson(FormId form) {
    const ScreenLayout& l = layoutOf(form);
    JsonWriter out;
    out.beginObject();
    out.field("form", static_cast<int>(form));
    out.field("name", l.formName);
    out.field("caption", l.caption);
    out.field("left", l.clientLeft / 15);
    out.field("top", l.clientTop / 15);
    out.field("width", l.clientWidth / 15);
    out.field("height", l.clientHeight / 15);
    writeColour(out, "background", l.background);
    writeFont(out, "font", l.screenFont);
    out.field("icon", l.icon);
    out.field("keysDrivePlay", l.playedByKeys);
    out.field("takesKeys", l.takesKeys);
    out.field("upper", l.stackedUnder ? static_cast<int>(*l.stackedUnder) : -1);
    out.key("controls");
    out.beginArray();
    for (const Control& c : l.controls) {
        out.beginObject();
        static constexpr std::string_view kKinds[] = {"button", "label",      "textbox",     "image", "shape",
                                                      "line",   "picturebox", "progressbar", "timer"};
        out.field("kind", kKinds[static_cast<int>(c.kind)]);
        out.field("name", c.name);
        out.field("index", c.index);
        out.field("key", c.key());
        writeFont(out, "font", c.font);
        writeColour(out, "fore", c.foreColour);
        writeColour(out, "back", c.backColour);
        writeColour(out, "fill", c.fillColour);
        writeColour(out, "edge", c.borderColour);
        out.field("enabled", c.enabled);
        out.field("transparent", c.transparent);
        out.field("border", c.border);
        out.field("centred", c.centred);
        out.field("tabOrder", c.tabOrder);
        out.field("focus", c.hasFocusAtOpen);
        out.field("arrow", c.arrowPointer);
        out.field("multiLine", c.multiLine);
        out.field("scrollBar", c.scrollBar);
        out.field("stretch", c.stretch);
        out.field("lineWidth", c.lineWidthPx);
        out.field("container", c.container);
        out.endObject();
    }
    out.endArray();
    out.key("pictures");
    out.beginObject();
    for (const PictureInfo& p : kPictures) {
        out.key(p.name);
        out.beginArray();
        out.value(p.widthPx);
        out.value(p.heightPx);
        out.endArray();
    }
    out.endObject();
    out.endObject();
    return out.str();
}

// A recorded game, checked to play to its end in the simulator, as the
// commands the replay carries out; "line N: reason" when it cannot be.
std::string readReplay(std::string_view script, uint32_t& clockStart, std::vector<Command>& commands) {
    script::LineReader check = script::LineReader::fromString(script);
    if (std::string error = script::checkScript(check, clockStart); !error.empty())
        return error;
    script::LineReader in = script::LineReader::fromString(script);
    for (std::string line; in.next(line);)
        if (std::optional<Command> c = script::parseCommand(line); c && c->verb != Verb::Clock)
            commands.push_back(std::move(*c));
    return {};
}

std::unique_ptr<WebGame> game;
std::string error;
std::string answer;  // the text last handed to the page

std::optional<FormId> formOf(int form) {
    if (form < 0 || form >= kFormCount)
        return std::nullopt;
    return static_cast<FormId>(form);
}

// Runs a call from the page; a fault of the game ends it with a message.
template <class Work>
int guarded(Work&& work) {
    if (!game)
        return 0;
    try {
        return work(*game) ? 1 : 0;
    } catch (const std::exception& e) {
        error = std::string("ゲームの中で誤りが起きました: ") + e.what();
        game.reset();
        return -1;
    }
}

}  // namespace
}  // namespace mogumo

using mogumo::guarded;
using mogumo::WebGame;

extern "C" {

// Starts a new game at the page's time `real`: played, or, when `script` is
// not empty, a recorded game watched. 0 when it started; 2 when the script
// cannot be replayed (mogumo_error says which line and why).
EMSCRIPTEN_KEEPALIVE int mogumo_new_game(double real, const char* script) {
    mogumo::error.clear();
    mogumo::game.reset();
    uint32_t clockStart = mogumo::kDefaultClock;
    std::vector<mogumo::Command> commands;
    const bool replaying = script && *script;
    if (replaying) {
        mogumo::error = mogumo::readReplay(script, clockStart, commands);
        if (!mogumo::error.empty())
            return 2;
    }
    mogumo::game = std::make_unique<WebGame>(clockStart, real, replaying ? script : "", std::move(commands));
    return guarded([](WebGame& g) {
               g.start();
               return true;
           }) == 1
               ? 0
               : 1;
}

EMSCRIPTEN_KEEPALIVE const char* mogumo_error() {
    return mogumo::error.c_str();
}

// Runs every tick due by `real`.
EMSCRIPTEN_KEEPALIVE void mogumo_advance(double real) {
    guarded([real](WebGame& g) {
        g.advance(real);
        return true;
    });
}

// The page's time of the next wake; -1 when none is due.
EMSCRIPTEN_KEEPALIVE double mogumo_next_wake() {
    return mogumo::game ? mogumo::game->nextWake().value_or(-1.0) : -1.0;
}

// Input at the page's time `real`: 1 when the screen took it, 0 when it was
// refused, -1 when the game failed on it.
EMSCRIPTEN_KEEPALIVE int mogumo_click(int form, const char* control, int index, double real) {
    const auto f = mogumo::formOf(form);
    return f ? guarded([&](WebGame& g) { return g.click(*f, control, index, real); }) : 0;
}

EMSCRIPTEN_KEEPALIVE int mogumo_key(int form, int down, int code, double real) {
    const auto f = mogumo::formOf(form);
    return f ? guarded([&](WebGame& g) { return g.key(*f, down != 0, code, real); }) : 0;
}

EMSCRIPTEN_KEEPALIVE int mogumo_close(int form, double real) {
    const auto f = mogumo::formOf(form);
    return f ? guarded([&](WebGame& g) { return g.close(*f, real); }) : 0;
}

// JSON: the shown screens (see WebGame::view).
EMSCRIPTEN_KEEPALIVE const char* mogumo_view() {
    mogumo::answer = mogumo::game ? mogumo::game->view() : "{\"ended\":true,\"screens\":[]}";
    return mogumo::answer.c_str();
}

// JSON: a screen's window and controls as laid out.
EMSCRIPTEN_KEEPALIVE const char* mogumo_layout(int form) {
    const auto f = mogumo::formOf(form);
    mogumo::answer = f ? mogumo::layoutJson(*f) : "null";
    return mogumo::answer.c_str();
}

// The game so far as a mogumo-sim script.
EMSCRIPTEN_KEEPALIVE const char* mogumo_record(double real) {
    mogumo::answer.clear();
    guarded([&](WebGame& g) {
        mogumo::answer = g.record(real);
        return true;
    });
    return mogumo::answer.c_str();
}

// The state dump, as mogumo-sim writes it.
EMSCRIPTEN_KEEPALIVE const char* mogumo_dump() {
    mogumo::answer = mogumo::game ? mogumo::game->dump() : "";
    return mogumo::answer.c_str();
}

}  // extern "C"
