// mogumo_fuzz: plays whole runs of the game from a seed, through the script
// language of mogumo-sim, a line at a time, and checks the game's invariants
// after every line and around every timer tick. Most moves come from a player
// who plays to win; the rest are random clicks, keys, closes, waits, runs and
// bad lines at any moment. Each run is then replayed from its script and must
// give the same dumps byte for byte.
//
//   mogumo_fuzz [--seed N] [--steps N]   fuzz until N steps (default 10^6)
//   mogumo_fuzz --case N [--case M ...]  one run from each seed, with the
//                                        situations it reached; --reach-all
//                                        fails unless they reach all
//   mogumo_fuzz --pick N                 of cases 1 to N, a few short ones
//                                        that reach every situation
//   mogumo_fuzz --replay FILE            a script, with the invariants checked
//
// A failure prints its seeds and writes the script that reproduces it.

#include <algorithm>
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
#include "fuzz/invariants.h"
#include "screens/battle/battle_screen.h"
#include "screens/screen_factory.h"
#include "script/session.h"
#include "script/state_dump.h"
#include "ui/layouts/layouts.h"

namespace mogumo::fuzz {
namespace {

// One line of script, with what the protocol says must happen to it.
struct Command {
    std::string line;
    bool accepted = true;
    bool event = false;  // a click, key, close or tick
    bool ends = false;
    bool startsGame = false;
    bool asksHelp = false;
};

class Run {
public:
    explicit Run(uint64_t seed) : rng_(seed) {}

    // Plays up to `events` lines; false on a failure, described by report().
    bool play(uint64_t events) {
        startClock();
        if (!failure_.empty())
            return false;
        for (uint64_t i = 0; i < events && !ended_; ++i)
            if (!execute(next()))
                return false;
        // After the end only a dump answers.
        for (int i = 0; i < 3 && ended_; ++i)
            if (!execute(i == 0 ? Command{"dump"} : chaos()))
                return false;
        if (!execute(Command{"dump"}))
            return false;
        return replay();
    }

    const std::string& failure() const { return failure_; }
    const std::string& script() const { return script_; }
    const Invariants& invariants() const { return inv_; }
    uint64_t steps() const { return inv_.steps() + events_; }

private:
    uint64_t below(uint64_t n) { return n ? rng_() % n : 0; }
    bool chance(double p) { return static_cast<double>(rng_() >> 11) * 0x1.0p-53 < p; }
    Game& sim() { return session_.game(); }
    Screen* loaded(FormId id) { return sim().screens().loaded(id); }
    bool shown(FormId id) {
        Screen* s = loaded(id);
        return s && s->visible();
    }
    bool active(FormId id) {
        Screen* s = loaded(id);
        return !ended_ && s && s->visible() && s->enabled();
    }
    std::string form(FormId id) { return std::string(layoutOf(id).formName); }

    // A number as the protocol allows it, now and then with leading zeros.
    std::string num(uint64_t v) {
        return (chance(0.05) ? std::string(1 + below(14), '0') : std::string()) + std::to_string(v);
    }
    // Words joined by spaces, now and then by several.
    std::string words(std::initializer_list<std::string> ws) {
        std::string line = chance(0.03) ? "  " : "";
        bool first = true;
        for (const std::string& w : ws) {
            line += (first ? "" : chance(0.03) ? "   " : " ") + w;
            first = false;
        }
        return line + (chance(0.03) ? " " : "");
    }

    void startClock() {
        // The counter near 2^31 or 2^32 crosses its sign or wraps mid-game.
        uint64_t clock = 0;
        switch (below(4)) {
            case 0: clock = (1ULL << 31) - below(200000); break;
            case 1: clock = (1ULL << 32) - 1 - below(200000); break;
            case 2: clock = below(1ULL << 32); break;
            default: break;
        }
        if (clock) {
            std::string reason;
            const std::string line = "clock " + num(clock);
            if (!session_.runLine(line, reason))
                failure_ = "refused: " + reason;
            script_ += line + "\n";
        }
        inv_.watch(sim());
        chaos_ = std::array{0.01, 0.05, 0.2}[below(3)];
        // Some runs hurry through many short games, past the picture swap.
        giveUpRate_ = chance(0.3) ? 0.9 : 0.2;
    }

    bool execute(const Command& c) {
        std::string before;
        if (!c.accepted)
            before = stateDump(sim());
        if (c.accepted && c.startsGame)
            inv_.gameStarting();
        if (c.accepted && c.asksHelp)
            inv_.helpAsked();
        std::string reason;
        const bool ran = session_.runLine(c.line, reason);
        if (ran != c.accepted) {
            script_ += c.line + "\n";
            failure_ = ran ? "the protocol refuses this line, but it ran" : "refused: " + reason;
            return false;
        }
        if (!ran) {
            // A carriage return in the comment would break the line in two.
            std::string shown = c.line.substr(0, 100);
            std::replace(shown.begin(), shown.end(), '\r', '?');
            script_ += "# refused (" + reason + "): " + shown + "\n";
            if (stateDump(sim()) != before) {
                failure_ = "a refused line changed the game: " + c.line;
                return false;
            }
            return true;
        }
        script_ += c.line + "\n";
        ended_ = ended_ || c.ends;
        if (c.ends)
            inv_.reach(c.line.find("close") != std::string::npos ? Reach::Close : Reach::TheEnd);
        events_ += c.event ? 1 : 0;
        inv_.ended(ended_);
        inv_.afterEvent();
        failure_ = inv_.failure();
        return failure_.empty();
    }

    bool replay() {
        std::ostringstream again;
        std::string error;
        if (script::runScript(script_, again, error) != 0) {
            failure_ = "the run's own script fails: " + error;
            return false;
        }
        if (again.str() != out_.str()) {
            failure_ = "the replay dumps differ from the run's";
            return false;
        }
        return true;
    }

    // --- the commands -----------------------------------------------------

    Command click(FormId id, std::string_view name, int index = -1) {
        Command c{words({"click", form(id) + "." + std::string(name) +
                                      (index >= 0 ? "(" + num(static_cast<uint64_t>(index)) + ")" : "")})};
        Screen* s = loaded(id);
        const Control* b = s && active(id) ? s->find(name, index) : nullptr;
        c.accepted = b && b->kind == ControlKind::Button && b->visible && b->enabled;
        c.event = true;
        c.startsGame = id == FormId::Form1 && name == "Command1";
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
            if (chance(0.002))
                return click(Form1, "Command2");
            giveUp_ = chance(giveUpRate_);
            return click(Form1, "Command1");
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
            const bool pulling = battle.pressedKey() == kKeyShift;
            const bool pull =
                battle.fishRest() >= 0 || (fish.top > 2600 && fish.left > 360 && battle.gauge()[1] > 50);
            if (chance(0.0005))
                return key(Form8, kKeyEnd, true);
            if (pull != pulling)
                return key(Form8, kKeyShift, pull);
            return run(51);
        }
        if (shown(Form6)) {
            Screen& lure = *loaded(Form6);
            if (!lure.ctl("Timer1").enabled)
                return chance(0.005) ? close(Form6) : run(51 + below(1500));
            if (giveUp_ && s.PlayerLife > 0)
                return key(Form6, 35, true);
            // Now and then give up just before the step that brings the lure
            // back: the game over then waits on a lure screen loaded again.
            if (s.LureDistance <= 1 && s.ReelSpeed != 0 && s.PlayerLife > 0 && chance(0.2))
                return key(Form6, 35, true);
            if (s.BoostUses < 4 && s.FishInterest < 240 && chance(0.5))
                return key(Form6, 75, true);
            // Build the interest up to a chase (above 80 %) deep in the water,
            // then hold it there; never bring the lure back.
            const float top = lure.ctl("rua").top;
            const double reelRate = top < 300 ? 0 : s.FishInterest > 244 ? 0.27 : top > 1500 ? 0.45 : 0.3;
            const bool reel = chance(reelRate);
            if (reel != (s.ReelSpeed != 0))
                return key(Form6, 16, reel);
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

    Command badLine() {
        static const char* const kBad[] = {"jump Form1",
                                           "run",
                                           "run 1 2",
                                           "run -1",
                                           "run 1e3",
                                           "wait 4294967296",
                                           "wait 00004294967296",
                                           "keydown Form1 256",
                                           "click Form9.Command1",
                                           "clock 5",
                                           "click Form1",
                                           "tick Form1",
                                           "dump now",
                                           "run\t5",
                                           "\trun 5",
                                           " # not a comment",
                                           "click Form3.Command1(1",
                                           "click Form3.Command1(x)",
                                           "click Form3.Command1(1001)",
                                           "click .",
                                           "keydown Form1",
                                           "close",
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
    Invariants inv_;
    std::string script_;
    std::string failure_;
    double chaos_ = 0.05;
    uint64_t events_ = 0;
    bool ended_ = false;
    bool giveUp_ = false;
    std::pair<FormId, uint64_t> repeat_{FormId::Form6, 75};
    double giveUpRate_ = 0.2;
};

uint64_t mix(uint64_t x) {
    x += 0x9e3779b97f4a7c15ULL;
    x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ULL;
    x = (x ^ (x >> 27)) * 0x94d049bb133111ebULL;
    return x ^ (x >> 31);
}

void report(uint64_t seed, uint64_t caseSeed, const Run& run) {
    const std::string file = "mogumo-fuzz-" + std::to_string(caseSeed) + ".txt";
    std::ofstream(file) << "# mogumo_fuzz --case " << caseSeed << ": " << run.failure() << "\n"
                        << run.script();
    std::cerr << "FAILED (seed " << seed << ", mogumo_fuzz --case " << caseSeed << "): " << run.failure()
              << "\nThe script that reproduces it is in " << file << " (mogumo-sim " << file
              << ", or mogumo_fuzz --replay " << file << " to check the invariants); its last lines:\n";
    std::vector<std::string> lines;
    std::istringstream in(run.script());
    for (std::string l; std::getline(in, l);) lines.push_back(l);
    for (size_t i = lines.size() > 40 ? lines.size() - 40 : 0; i < lines.size(); ++i)
        std::cerr << "  " << lines[i] << "\n";
}

int replayFile(const char* path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::cerr << "mogumo_fuzz: cannot read " << path << "\n";
        return 1;
    }
    std::ostringstream out;
    script::ScriptSession session(out);
    Invariants inv;
    bool watching = false;
    size_t n = 0;
    for (std::string line; std::getline(in, line);) {
        ++n;
        std::optional<script::Command> c;
        try {
            c = script::parseCommand(line);
        } catch (const script::ScriptError& e) {
            std::cerr << "line " << n << ": " << e.what() << "\n";
            return 2;
        }
        // The checks start with the program, after a leading `clock`.
        if (!watching && c && c->verb != script::Verb::Clock) {
            inv.watch(session.game());
            watching = true;
        }
        if (std::string reason; !session.runLine(line, reason)) {
            std::cerr << "line " << n << ": " << reason << "\n";
            return 2;
        }
        // What the checks are told by the generator, read back from the line.
        if (c && c->verb == script::Verb::KeyDown && c->number == kKeyF1)
            inv.helpAsked();
        if (c && c->verb == script::Verb::Click && c->form == FormId::Form1 && c->control == "Command1")
            inv.gameStarting();
        if (!watching)
            continue;
        inv.ended(session.game().ended());
        inv.afterEvent();
        if (!inv.failure().empty()) {
            std::cerr << "line " << n << ": " << inv.failure() << "\n";
            return 1;
        }
    }
    std::cout << "no invariant broken in " << n << " lines\n";
    return 0;
}

// How many lines a run plays: mostly long runs of many games, some short
// ones. It comes from the run's own seed, so that --case plays the same run.
uint64_t lengthOf(uint64_t caseSeed) {
    std::mt19937_64 lengths(caseSeed);
    return lengths() % 4 == 0 ? 50 + lengths() % 500 : 2000 + lengths() % 60000;
}

constexpr uint32_t kEverySituation = (1u << static_cast<int>(Reach::Count)) - 1;

// The situations in `reached`, by name.
std::string reachNames(uint32_t reached) {
    std::string names;
    for (int i = 0; i < static_cast<int>(Reach::Count); ++i)
        if (reached & (1u << i))
            names += (names.empty() ? "" : " ") + std::string(reachName(static_cast<Reach>(i)));
    return names.empty() ? "none" : names;
}

// Fresh runs from `seed` until `targetSteps`, or one run of each case. With
// `reachAll`, the runs must reach every situation between them.
int fuzz(uint64_t seed, uint64_t targetSteps, const std::vector<uint64_t>& cases, bool reachAll) {
    const auto start = std::chrono::steady_clock::now();
    uint64_t steps = 0;
    uint64_t runs = 0;
    int games = 0;
    int mostCatches = 0;
    int swaps = 0;
    uint32_t reached = 0;
    for (; cases.empty() ? steps < targetSteps : runs < cases.size(); ++runs) {
        const uint64_t caseSeed = cases.empty() ? mix(seed + runs) : cases[runs];
        Run run(caseSeed);
        if (!run.play(lengthOf(caseSeed))) {
            report(cases.empty() ? seed : caseSeed, caseSeed, run);
            return 1;
        }
        steps += run.steps();
        games += run.invariants().games();
        mostCatches = std::max(mostCatches, run.invariants().maxCatches());
        swaps += run.invariants().swapSeen() ? 1 : 0;
        reached |= run.invariants().reached();
        if (!cases.empty())
            std::printf(
                "mogumo_fuzz: case %llu: %llu steps, reached %s\n", static_cast<unsigned long long>(caseSeed),
                static_cast<unsigned long long>(run.steps()), reachNames(run.invariants().reached()).c_str());
    }
    const double secs = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf(
        "mogumo_fuzz: %llu steps in %llu runs (%d games, %d runs past the picture swap, "
        "at most %d catches in a game), %.1f s, %.0f steps/s, each run replayed identically\n",
        static_cast<unsigned long long>(steps), static_cast<unsigned long long>(runs), games, swaps,
        mostCatches, secs, secs > 0 ? static_cast<double>(steps) / secs : 0.0);
    const uint32_t missed = kEverySituation & ~reached;
    if (missed)
        std::printf("mogumo_fuzz: not reached: %s\n", reachNames(missed).c_str());
    if (reachAll && missed) {
        std::fprintf(stderr,
                     "mogumo_fuzz: these runs no longer reach every situation; mogumo_fuzz --pick 300 "
                     "prints cases that do\n");
        return 1;
    }
    return 0;
}

// Plays cases 1 to `upTo` and prints a few short ones that between them
// reach every situation twice, in different runs, where the survey does:
// the fixed cases of the test runs.
int pickCases(uint64_t upTo) {
    struct Played {
        uint64_t seed, steps;
        uint32_t reached;
    };
    std::vector<Played> played;
    for (uint64_t caseSeed = 1; caseSeed <= upTo; ++caseSeed) {
        Run run(caseSeed);
        if (!run.play(lengthOf(caseSeed))) {
            report(caseSeed, caseSeed, run);
            return 1;
        }
        played.push_back({caseSeed, run.steps(), run.invariants().reached()});
    }
    std::array<int, static_cast<size_t>(Reach::Count)> wanted;
    wanted.fill(2);
    const auto gain = [&](const Played& p) {
        int n = 0;
        for (size_t i = 0; i < wanted.size(); ++i) n += wanted[i] > 0 && (p.reached >> i & 1) ? 1 : 0;
        return n;
    };
    std::vector<uint64_t> picked;
    uint32_t reached = 0;
    for (;;) {
        // The most new situations per step, a short run counting as 1000.
        const auto best =
            std::max_element(played.begin(), played.end(), [&](const Played& a, const Played& b) {
                return gain(a) * static_cast<double>(b.steps + 1000) <
                       gain(b) * static_cast<double>(a.steps + 1000);
            });
        if (best == played.end() || gain(*best) == 0)
            break;
        for (size_t i = 0; i < wanted.size(); ++i) wanted[i] -= best->reached >> i & 1;
        picked.push_back(best->seed);
        reached |= best->reached;
        played.erase(best);
    }
    std::sort(picked.begin(), picked.end());
    std::printf("mogumo_fuzz --reach-all");
    for (uint64_t c : picked) std::printf(" --case %llu", static_cast<unsigned long long>(c));
    std::printf("\n");
    const uint32_t missed = kEverySituation & ~reached;
    if (missed)
        std::printf("not reached in cases 1 to %llu: %s\n", static_cast<unsigned long long>(upTo),
                    reachNames(missed).c_str());
    return 0;
}

}  // namespace
}  // namespace mogumo::fuzz

namespace {

constexpr const char* kUsage =
    "usage: mogumo_fuzz [--seed N] [--steps N] | [--reach-all] --case N... | --pick N | --replay FILE\n";

// An option's whole-number value: decimal digits only, within 64 bits.
bool parseNumber(std::string_view text, uint64_t& value) {
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    return !text.empty() && error == std::errc() && stop == end;
}

}  // namespace

int main(int argc, char** argv) {
    uint64_t seed = std::random_device{}() ^ (static_cast<uint64_t>(std::random_device{}()) << 32);
    uint64_t steps = 1000000;
    std::vector<uint64_t> cases;
    bool reachAll = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help") {
            std::cout << kUsage;
            return 0;
        }
        if (arg == "--reach-all") {
            reachAll = true;
            continue;
        }
        const bool known =
            arg == "--replay" || arg == "--seed" || arg == "--case" || arg == "--steps" || arg == "--pick";
        if (!known || i + 1 == argc) {
            std::cerr << "mogumo_fuzz: " << (known ? arg + " needs a value" : "unknown option " + arg) << "\n"
                      << kUsage;
            return 2;
        }
        const std::string_view value = argv[++i];
        if (arg == "--replay")
            return mogumo::fuzz::replayFile(value.data());
        uint64_t number = 0;
        if (!parseNumber(value, number)) {
            std::cerr << "mogumo_fuzz: " << arg << " takes a whole number from 0 to "
                      << std::numeric_limits<uint64_t>::max() << ", not '" << value << "'\n";
            return 2;
        }
        if (arg == "--pick")
            return mogumo::fuzz::pickCases(number);
        (arg == "--steps" ? steps : arg == "--seed" ? seed : cases.emplace_back()) = number;
    }
    if (cases.empty())
        std::printf("mogumo_fuzz: seed %llu (again: mogumo_fuzz --seed %llu --steps %llu)\n",
                    static_cast<unsigned long long>(seed), static_cast<unsigned long long>(seed),
                    static_cast<unsigned long long>(steps));
    std::fflush(stdout);
    return mogumo::fuzz::fuzz(seed, steps, cases, reachAll);
}
