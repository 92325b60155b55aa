// mogumo_fuzz: plays whole runs of the game from a seed, through the script
// language of mogumo-sim, a line at a time. Most moves come from a player who
// plays to win; the rest are random clicks, keys, closes, waits, runs and bad
// lines at any moment. Each line must be taken or refused as the protocol
// says, a refused line must change nothing, the rules below must hold after
// every line and around every timer tick, and the run, replayed from its
// script, must give the same dumps byte for byte. The recorded scenarios and
// the unit tests pin the rules of each screen; the rules here are those that
// hold across all of them and nothing else checks at every moment: the step
// gate, the running timers, the screens shown, the gauges within their bars.
//
//   mogumo_fuzz [--seed N] [--steps N]   fuzz until N steps (default 10^6)
//   mogumo_fuzz --case N [--case M ...]  one run from each seed
//
// A failure prints its seed and writes the script that reproduces it.

#include <algorithm>
#include <array>
#include <charconv>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <limits>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "core/keys.h"
#include "screens/battle/battle_screen.h"
#include "script/session.h"
#include "script/state_dump.h"
#include "ui/layouts/layouts.h"

namespace mogumo::fuzz {
namespace {

constexpr unsigned bit(FormId id) {
    return 1u << static_cast<int>(id);
}

bool within(float v, float lo, float hi) {
    return v >= lo && v <= hi;
}

// What holds at every moment of a running game. The first broken rule is
// kept in failure; later ones are ignored.
class Rules {
public:
    void watch(Game& sim) {
        sim_ = &sim;
        sim.beforeTick = [this](const Screen& screen, const Control& timer) {
            if (sim_->screens().loaded(screen.id()) != &screen || !sim_->isRunning(screen, timer))
                fail("a timer that is not running ticks: " + timer.key());
            gated_ = timer.gated;
            lastTick_ = state().LastTick;
        };
        sim.afterTick = [this] {
            const int32_t now = state().LastTick;
            if (now != lastTick_) {
                // At most one step per 50 ms, across the counter's wrap, made
                // by a gated timer at the time of the step.
                if (static_cast<uint32_t>(now) - static_cast<uint32_t>(lastTick_) <= 50 ||
                    static_cast<uint32_t>(now) != sim_->tickCount() || !gated_)
                    fail("a step out of the gate's time");
                ++steps;
            }
            check();
        };
        check();
    }

    void check() {
        if (sim_->ended() || !failure.empty())
            return;
        checkScreens();
    }

    void fail(const std::string& what) {
        if (failure.empty())
            failure = what + " (at t=" + std::to_string(sim_->tickCount()) + ")";
    }

    std::string failure;
    uint64_t steps = 0;

private:
    GameState& state() { return sim_->screens().state(); }

    void checkScreens() {
        unsigned visible = 0;
        for (int i = 0; i < kFormCount; ++i) {
            const auto id = static_cast<FormId>(i);
            const Screen* s = sim_->screens().loaded(id);
            if (!s)
                continue;
            visible |= s->visible() ? bit(id) : 0;
            for (const Control& c : s->controls())
                if (c.isTimer() && sim_->isRunning(*s, c) != c.enabled)
                    fail(c.key() + " runs " + (c.enabled ? "not " : "") + "as it says");
        }
        using enum FormId;
        static constexpr unsigned kFlow[] = {
            bit(Form1), bit(Form3), bit(Form5), bit(Form5) | bit(Form6), bit(Form5) | bit(Form7) | bit(Form8),
            bit(Form4)};
        if (std::find(std::begin(kFlow), std::end(kFlow), visible) == std::end(kFlow))
            fail("the screens shown are no step of the flow (mask " + std::to_string(visible) + ")");
        if (auto* battle = static_cast<BattleScreen*>(sim_->screens().loaded(Form8)))
            for (int i = 0; i < 2; ++i)
                if (!within(battle->gauge()[static_cast<size_t>(i)], 0, battle->ctl("HP", i).max))
                    fail("gauge " + std::to_string(i) + " is outside its bar");
    }

    Game* sim_ = nullptr;
    bool gated_ = false;
    int32_t lastTick_ = 0;
};

// One line of script, with what the protocol says must happen to it.
struct Command {
    std::string line;
    bool accepted = true;
    bool event = false;  // a click, key, close or tick
    bool ends = false;
    bool asksHelp = false;
};

class Run {
public:
    explicit Run(uint64_t seed) : rng_(seed) {}

    // Plays up to `events` lines; false on a failure, described by failure().
    bool play(uint64_t events) {
        startClock();
        for (uint64_t i = 0; i < events && !ended_ && failure_.empty(); ++i) execute(next());
        // After the end only a dump answers.
        for (int i = 0; i < 3 && ended_ && failure_.empty(); ++i) execute(i == 0 ? Command{"dump"} : chaos());
        if (failure_.empty())
            execute(Command{"dump"});
        return failure_.empty() && replay();
    }

    const std::string& failure() const { return failure_; }
    const std::string& script() const { return script_; }
    uint64_t steps() const { return rules_.steps + events_; }

private:
    uint64_t below(uint64_t n) { return n ? rng_() % n : 0; }
    bool chance(double p) { return static_cast<double>(rng_() >> 11) * 0x1.0p-53 < p; }
    Game& sim() { return session_.game(); }
    Screen* loaded(FormId id) { return sim().screens().loaded(id); }
    bool shown(FormId id) { return loaded(id) && loaded(id)->visible(); }
    bool active(FormId id) { return !ended_ && shown(id) && loaded(id)->enabled(); }
    std::string form(FormId id) { return std::string(layoutOf(id).formName); }

    // A number as the protocol allows it, now and then with leading zeros.
    std::string num(uint64_t v) {
        return (chance(0.05) ? std::string(1 + below(14), '0') : std::string()) + std::to_string(v);
    }
    // Words joined by spaces, now and then by several.
    std::string words(std::initializer_list<std::string> ws) {
        std::string line = chance(0.03) ? "  " : "";
        for (const std::string& w : ws) line += (&w == ws.begin() ? "" : chance(0.03) ? "   " : " ") + w;
        return line + (chance(0.03) ? " " : "");
    }

    void startClock() {
        // The counter near 2^31 or 2^32 crosses its sign or wraps mid-game.
        const uint64_t clock = std::array<uint64_t, 4>{
            (1ULL << 31) - below(200000), (1ULL << 32) - 1 - below(200000), below(1ULL << 32), 0}[below(4)];
        if (clock)
            execute(Command{"clock " + num(clock)});
        rules_.watch(sim());
        chaos_ = std::array{0.01, 0.05, 0.2}[below(3)];
        // Some runs hurry through many short games.
        giveUpRate_ = chance(0.3) ? 0.9 : 0.2;
    }

    void execute(const Command& c) {
        const std::string before = c.accepted ? std::string() : stateDump(sim());
        helpAsked_ += c.accepted && c.asksHelp ? 1 : 0;
        std::string reason;
        const bool ran = session_.runLine(c.line, reason);
        if (ran != c.accepted) {
            script_ += c.line + "\n";
            failure_ = ran ? "the protocol refuses this line, but it ran" : "refused: " + reason;
            return;
        }
        if (!ran) {
            // A carriage return in the comment would break the line in two.
            std::string shown = c.line.substr(0, 100);
            std::replace(shown.begin(), shown.end(), '\r', '?');
            script_ += "# refused (" + reason + "): " + shown + "\n";
            if (stateDump(sim()) != before)
                failure_ = "a refused line changed the game: " + c.line;
            return;
        }
        script_ += c.line + "\n";
        ended_ = ended_ || c.ends;
        events_ += c.event ? 1 : 0;
        if (!rules_.failure.empty())
            failure_ = rules_.failure;
        else if (sim().ended() != ended_)
            failure_ = ended_ ? "the program goes on after its end" : "the program ended by itself";
        else if (sim().helpRequests() != helpAsked_)
            failure_ = "help shown " + std::to_string(sim().helpRequests()) + " times for " +
                       std::to_string(helpAsked_) + " F1 presses";
        else if (!c.line.starts_with("clock"))
            rules_.check();
        if (failure_.empty())
            failure_ = rules_.failure;
    }

    bool replay() {
        std::ostringstream again;
        std::string error;
        if (script::runScript(script_, again, error) != 0)
            failure_ = "the run's own script fails: " + error;
        else if (again.str() != out_.str())
            failure_ = "the replay dumps differ from the run's";
        return failure_.empty();
    }

    // --- the commands -----------------------------------------------------

    Command click(FormId id, std::string_view name, int index = -1) {
        Command c{words({"click", form(id) + "." + std::string(name) +
                                      (index >= 0 ? "(" + num(static_cast<uint64_t>(index)) + ")" : "")})};
        const Control* b = active(id) ? loaded(id)->find(name, index) : nullptr;
        c.accepted = b && b->kind == ControlKind::Button && b->visible && b->enabled;
        c.event = true;
        c.ends = id == FormId::Form1 && name == "Command2";
        return c;
    }
    Command key(FormId id, uint64_t code, bool down) {
        Command c{words({down ? "keydown" : "keyup", form(id), num(code)})};
        c.accepted = active(id) && code <= 255;
        c.event = true;
        c.asksHelp = down && code == kKeyF1;
        return c;
    }
    Command close(FormId id) {
        Command c{words({"close", form(id)})};
        c.accepted = active(id);
        c.event = c.ends = true;
        return c;
    }
    Command run(uint64_t ms) { return Command{words({"run", num(ms)}), !ended_}; }
    Command wait(uint64_t ms) { return Command{words({"wait", num(ms)}), !ended_}; }
    Command tick(FormId id, const Control& timer) {
        Command c{words({"tick", form(id) + "." + timer.key()})};
        Screen* s = loaded(id);
        const Control* t = s ? s->find(timer.name, timer.index) : nullptr;
        c.accepted = !ended_ && t && sim().isRunning(*s, *t);
        c.event = true;
        return c;
    }

    Command next() { return chance(chaos_) ? chaos() : guided(); }

    // A player who plays well: boosts and reels so the fish chases the lure,
    // pulls the hooked fish only while it rests, and starts game after game.
    Command guided() {
        using enum FormId;
        const GameState& s = sim().screens().state();
        if (shown(Form1)) {
            giveUp_ = chance(giveUpRate_);
            return click(Form1, chance(0.002) ? "Command2" : "Command1");
        }
        if (shown(Form3))
            return chance(0.4) ? click(Form3, "Command1", chance(0.7) ? 1 : 0) : click(Form3, "Command2");
        if (shown(Form4))
            return click(Form4, "Command1");
        if (shown(Form8)) {
            auto& battle = static_cast<BattleScreen&>(*loaded(Form8));
            if (!battle.ctl("Timer1").enabled)
                return chance(0.005) ? close(Form8) : run(51 + below(3000));
            // Pull a resting fish up; pull a fighting one only to keep it off
            // the bottom while the line lasts.
            const Control& fish = battle.ctl("uoyosu");
            const bool pull =
                battle.fishRest() >= 0 || (fish.top > 2600 && fish.left > 360 && battle.gauge()[1] > 50);
            if (chance(0.0005))
                return key(Form8, kKeyEnd, true);
            if (pull != (battle.pressedKey() == kKeyShift))
                return key(Form8, kKeyShift, pull);
            return run(51);
        }
        if (shown(Form6)) {
            Screen& lure = *loaded(Form6);
            if (!lure.ctl("Timer1").enabled)
                return chance(0.005) ? close(Form6) : run(51 + below(1500));
            // Now and then give up, also just before the step that brings
            // the lure back.
            if (s.PlayerLife > 0 && (giveUp_ || (s.LureDistance <= 1 && s.ReelSpeed != 0 && chance(0.2))))
                return key(Form6, kKeyEnd, true);
            if (s.BoostUses < 4 && s.FishInterest < 240 && chance(0.5))
                return key(Form6, kKeyK, true);
            // Build the interest up to a chase deep in the water, then hold
            // it there; never bring the lure back.
            const float top = lure.ctl("rua").top;
            const bool reel = chance(top < 300 ? 0 : s.FishInterest > 244 ? 0.27 : top > 1500 ? 0.45 : 0.3);
            if (reel != (s.ReelSpeed != 0))
                return key(Form6, kKeyShift, reel);
            return run(51);
        }
        if (active(Form5))
            return chance(0.5) ? run(1 + below(400)) : click(Form5, "cast");
        return run(51);
    }

    // Anything at any moment: most of it refused, all of it checked.
    Command chaos() {
        const auto id = static_cast<FormId>(below(kFormCount));
        const auto& controls = layoutOf(id).controls;
        const Control& any = controls[below(controls.size())];
        static constexpr uint64_t kCodes[] = {kKeyShift, kKeyEnd, kKeyK, kKeyF1};
        const uint64_t code = chance(0.6)    ? kCodes[below(4)]
                              : chance(0.95) ? below(256)
                                             : 256 + below(100000);
        switch (below(10)) {
            case 0:
            case 1: return click(id, any.name, any.index);
            case 2:
                // Held keys repeat their key-down.
                if (chance(0.5))
                    repeat_ = {id, code};
                return key(repeat_.first, repeat_.second, true);
            case 3: return key(id, code, false);
            case 4: return chance(0.05) ? close(id) : Command{"dump"};
            case 5:
                return wait(chance(0.5)   ? below(100)
                            : chance(0.5) ? (1ULL << 32) - 1 - below(100000)
                                          : 1ULL << 31);
            case 6: return run(chance(0.7) ? 1 + below(200) : 1000 + below(300000));
            case 7: return tick(id, any);
            case 8: return Command{chance(0.5) ? "" : "# a comment"};
            default: return badLine();
        }
    }

    // A line the reader refuses at any moment: a few of each kind, or bytes.
    Command badLine() {
        static const char* const kBad[] = {"jump Form1",
                                           "run",
                                           "run 1e3",
                                           "wait 00004294967296",
                                           "keydown Form1 256",
                                           "click Form9.Command1",
                                           "clock 5",
                                           "click Form1",
                                           "dump now",
                                           "run\t5",
                                           " # not a comment",
                                           "click Form3.Command1(1",
                                           "click Form3.Command1(1001)",
                                           "shot Form1 /dev/null"};
        std::string line = kBad[below(std::size(kBad))];
        if (chance(0.1)) {
            line = "@";
            for (uint64_t n = below(chance(0.1) ? 5000 : 40); n > 0; --n)
                line += static_cast<char>(1 + below(255));
            std::erase(line, '\n');
        }
        return Command{line, false};
    }

    std::mt19937_64 rng_;
    std::ostringstream out_;
    script::ScriptSession session_{out_};
    Rules rules_;
    std::string script_;
    std::string failure_;
    double chaos_ = 0.05;
    uint64_t events_ = 0;
    int helpAsked_ = 0;
    bool ended_ = false;
    bool giveUp_ = false;
    std::pair<FormId, uint64_t> repeat_{FormId::Form6, kKeyK};
    double giveUpRate_ = 0.2;
};

uint64_t mix(uint64_t x) {
    x += 0x9e3779b97f4a7c15ULL;
    x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ULL;
    x = (x ^ (x >> 27)) * 0x94d049bb133111ebULL;
    return x ^ (x >> 31);
}

void report(uint64_t caseSeed, const Run& run) {
    const std::string file = "mogumo-fuzz-" + std::to_string(caseSeed) + ".txt";
    std::ofstream(file) << "# mogumo_fuzz --case " << caseSeed << ": " << run.failure() << "\n"
                        << run.script();
    std::cerr << "FAILED (mogumo_fuzz --case " << caseSeed << "): " << run.failure()
              << "\nThe script that reproduces it is in " << file << "; its last lines:\n";
    const std::string& s = run.script();
    size_t from = s.size();
    for (int n = 0; n <= 40 && from > 0; ++n) from = s.rfind('\n', from - 1);
    std::cerr << s.substr(from == std::string::npos ? 0 : from + 1);
}

// How many lines a run plays: mostly long runs of many games, some short
// ones. It comes from the run's own seed, so that --case plays the same run.
uint64_t lengthOf(uint64_t caseSeed) {
    std::mt19937_64 lengths(caseSeed);
    return lengths() % 4 == 0 ? 50 + lengths() % 500 : 2000 + lengths() % 60000;
}

int fuzz(uint64_t seed, uint64_t targetSteps, const std::vector<uint64_t>& cases) {
    const auto start = std::chrono::steady_clock::now();
    uint64_t steps = 0, runs = 0;
    for (; cases.empty() ? steps < targetSteps : runs < cases.size(); ++runs) {
        const uint64_t caseSeed = cases.empty() ? mix(seed + runs) : cases[runs];
        Run run(caseSeed);
        if (!run.play(lengthOf(caseSeed))) {
            report(caseSeed, run);
            return 1;
        }
        steps += run.steps();
    }
    const double secs = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("mogumo_fuzz: %llu steps in %llu runs, %.1f s, each run replayed identically\n",
                static_cast<unsigned long long>(steps), static_cast<unsigned long long>(runs), secs);
    return 0;
}

}  // namespace
}  // namespace mogumo::fuzz

int main(int argc, char** argv) {
    constexpr const char* kUsage = "usage: mogumo_fuzz [--seed N] [--steps N] | --case N...\n";
    uint64_t seed = std::random_device{}() ^ (static_cast<uint64_t>(std::random_device{}()) << 32);
    uint64_t steps = 1000000;
    std::vector<uint64_t> cases;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help") {
            std::cout << kUsage;
            return 0;
        }
        const bool known = arg == "--seed" || arg == "--case" || arg == "--steps";
        if (!known || i + 1 == argc) {
            std::cerr << "mogumo_fuzz: " << (known ? arg + " needs a value" : "unknown option " + arg) << "\n"
                      << kUsage;
            return 2;
        }
        // Decimal digits only, within 64 bits.
        const std::string_view value = argv[++i];
        uint64_t number = 0;
        const auto [stop, error] = std::from_chars(value.data(), value.data() + value.size(), number);
        if (value.empty() || error != std::errc() || stop != value.data() + value.size()) {
            std::cerr << "mogumo_fuzz: " << arg << " takes a whole number from 0 to "
                      << std::numeric_limits<uint64_t>::max() << ", not '" << value << "'\n";
            return 2;
        }
        (arg == "--steps" ? steps : arg == "--seed" ? seed : cases.emplace_back()) = number;
    }
    if (cases.empty())
        std::printf("mogumo_fuzz: seed %llu (again: mogumo_fuzz --seed %llu --steps %llu)\n",
                    static_cast<unsigned long long>(seed), static_cast<unsigned long long>(seed),
                    static_cast<unsigned long long>(steps));
    std::fflush(stdout);
    return mogumo::fuzz::fuzz(seed, steps, cases);
}
