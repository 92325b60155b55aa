#include "fuzz/invariants.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <numeric>
#include <vector>

#include "core/keys.h"
#include "core/text.h"
#include "screens/battle/battle_screen.h"
#include "screens/battle/species_catalogue.h"
#include "screens/cast/cast_screen.h"
#include "screens/lure/lure_screen.h"
#include "screens/spot/spot_screen.h"
#include "screens/title/picture_store.h"
#include "ui/layouts/layouts.h"

namespace mogumo::fuzz {
namespace {

constexpr int kForms = kFormCount;
constexpr unsigned bit(FormId id) {
    return 1u << static_cast<int>(id);
}
// Every landing needs at least 237 battle steps of 1 life each, and a game
// has at most 10000 life.
constexpr int32_t kMostCatchesPerGame = 10000 / 237;
// A fighting fish drifts at most 500 away and 300 towards the angler after
// the clamp; the idle drift and the pull on a resting fish add 2 and 10.
constexpr int32_t kLeastDrift = -502;
constexpr int32_t kMostDrift = 310;

std::string formName(FormId id) {
    return std::string(layoutOf(id).formName);
}

// The catch-log name field of every species, cut or padded to 7 characters.
const std::multimap<std::string, int>& speciesByField() {
    static const std::multimap<std::string, int> fields = [] {
        std::multimap<std::string, int> m;
        for (int i = 0; i < static_cast<int>(kSpecies.size()); ++i)
            m.emplace(leftChars(std::string(kSpecies[static_cast<size_t>(i)].name) +
                                    "\u3000\u3000\u3000\u3000\u3000\u3000",
                                7),
                      i);
        return m;
    }();
    return fields;
}

bool digits(std::string_view s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool within(float v, float lo, float hi) {
    return v >= lo && v <= hi;
}

// Whether total / count has no end as a binary fraction (as 1 / 3 has, but
// neither 3 nor 1 / 2): the quotients in which any rounding shows.
bool endlessInBinary(int64_t total, int64_t count) {
    const int64_t denominator = count / std::gcd(total, count);
    return (denominator & (denominator - 1)) != 0;
}

// total / count (total 0 or more, count above 0) to 15 significant digits,
// rounded to nearest, without trailing zeros, worked out digit by digit in
// whole numbers. A quotient so near the midpoint of two candidates that the
// game's double-precision quotient may round to either gives both, the
// nearest first.
std::vector<std::string> averageTexts(int64_t total, int64_t count) {
    if (total == 0)
        return {"0"};
    std::string digits = std::to_string(total / count);  // the integer part, then the fraction
    const size_t point = digits.size();
    int64_t rest = total % count;
    size_t significant = total / count > 0 ? point : 0;
    while (significant < 15) {
        rest *= 10;
        digits += static_cast<char>('0' + rest / count);
        rest %= count;
        significant += significant > 0 || digits.back() != '0' ? 1 : 0;
    }
    const auto shortest = [](const std::string& d, size_t at) {
        std::string fraction = d.substr(at);
        fraction.erase(fraction.find_last_not_of('0') + 1);
        return d.substr(0, at) + (fraction.empty() ? "" : "." + fraction);
    };
    // One unit of the last digit up, carried through the nines.
    std::string up = digits;
    size_t i = up.size();
    while (i > 0 && up[i - 1] == '9') up[--i] = '0';
    if (i == 0)
        up.insert(up.begin(), '1');
    else
        ++up[i - 1];
    const std::string down = shortest(digits, point);
    const std::string rounded = shortest(up, point + up.size() - digits.size());
    // The distance to the midpoint in 1 / (2 count) of a unit of the last
    // digit, against the double's own rounding error (2^-53 of the value).
    const double offMidpoint = std::abs(2.0 * static_cast<double>(rest) - static_cast<double>(count));
    const double doubleError = 2.0 * static_cast<double>(count) * (std::stod(digits) + 1) * 0x1p-53;
    const bool upwards = 2 * rest > count;
    std::vector<std::string> texts{upwards ? rounded : down};
    if (offMidpoint <= doubleError)
        texts.push_back(upwards ? down : rounded);
    return texts;
}

}  // namespace

std::string_view reachName(Reach r) {
    switch (r) {
        case Reach::Bite: return "bite";
        case Reach::LureBack: return "lure-back";
        case Reach::BackAtGameOver: return "back-at-game-over";
        case Reach::TimeOver: return "time-over";
        case Reach::BoostsUsedUp: return "boosts-used-up";
        case Reach::InterestAt300: return "interest-at-300";
        case Reach::Landing: return "landing";
        case Reach::LandingAtSea: return "landing-at-sea";
        case Reach::LineCut: return "line-cut";
        case Reach::LifeOutInBattle: return "life-out-in-battle";
        case Reach::Escape: return "escape";
        case Reach::FishAtBound: return "fish-at-bound";
        case Reach::DriftAtLimit: return "drift-at-limit";
        case Reach::UnevenResults: return "uneven-results";
        case Reach::EmptyResults: return "empty-results";
        case Reach::PictureSwap: return "picture-swap";
        case Reach::Species38: return "species-38";
        case Reach::Help: return "help";
        case Reach::HelpInBattle: return "help-in-battle";
        case Reach::Close: return "close";
        case Reach::TheEnd: return "the-end";
        case Reach::CounterWrap: return "counter-wrap";
        case Reach::SignFlip: return "sign-flip";
        case Reach::Count: break;
    }
    return "?";
}

void Invariants::watch(Game& sim) {
    sim_ = &sim;
    sim.beforeTick = [this](const Screen& screen, const Control& timer) { beforeTick(screen, timer); };
    sim.afterTick = [this] { afterTick(); };
    checkAll();
}

void Invariants::fail(const std::string& what) {
    if (failure_.empty())
        failure_ = what + " (at t=" + std::to_string(sim_->tickCount()) + ")";
}

void Invariants::afterEvent() {
    checkAll();
    if (sim_->helpRequests() != helpAsked_)
        fail("help shown " + std::to_string(sim_->helpRequests()) + " times for " +
             std::to_string(helpAsked_) + " F1 presses");
}

void Invariants::helpAsked() {
    ++helpAsked_;
    reach(Reach::Help);
    if (sim_->screens().loaded(FormId::Form8))
        reach(Reach::HelpInBattle);
}

void Invariants::ended(bool expected) {
    if (sim_->ended() != expected)
        fail(expected ? "the program goes on after its end" : "the program ended by itself");
}

void Invariants::beforeTick(const Screen& screen, const Control& timer) {
    const auto name = [&] { return formName(screen.id()) + "." + timer.key(); };
    if (sim_->screens().loaded(screen.id()) != &screen)
        fail("a timer of an unloaded screen ticks: " + name());
    if (!timer.enabled || !sim_->isRunning(screen, timer))
        fail("a stopped timer ticks: " + name());
    tickForm_ = screen.id();
    tickTimer_ = timer.name;
    tickInstance_ = screen.instance();
    tickLastTick_ = state().LastTick;
    tickGated_ = timer.gated;
    tickLife_ = state().PlayerLife;
    tickDraws_ = sim_->screens().random().draws();
}

void Invariants::afterTick() {
    if (!failure_.empty())
        return;
    const GameState& s = state();
    const bool stepped = s.LastTick != tickLastTick_;
    if (stepped) {
        // At most one animation step per 50 ms, across the counter's wrap.
        if (static_cast<uint32_t>(s.LastTick) - static_cast<uint32_t>(tickLastTick_) <= 50)
            fail("two steps within 50 ms");
        if (static_cast<uint32_t>(s.LastTick) != sim_->tickCount())
            fail("LastTick is not the time of the step");
        if (!tickGated_)
            fail("a timer outside the step gate moved LastTick");
        const uint32_t from = static_cast<uint32_t>(tickLastTick_);
        if (static_cast<uint32_t>(s.LastTick) - from < 1u << 24) {
            if (static_cast<uint32_t>(s.LastTick) < from)
                reach(Reach::CounterWrap);
            if (tickLastTick_ >= 0 && s.LastTick < 0)
                reach(Reach::SignFlip);
        }
        const bool lureStep = tickForm_ == FormId::Form6 && tickTimer_ == "Timer1";
        const bool battleStep = tickForm_ == FormId::Form8 && tickTimer_ == "Timer1";
        const bool escapeStep = tickForm_ == FormId::Form8 && tickTimer_ == "Timer2";
        steps_ += lureStep || battleStep || escapeStep ? 1 : 0;
        // A lure step that did not bring the lure back costs a life point and
        // two draws and leaves the interest clamped; one that did, nothing.
        // A battle step costs a life point, an escape step none; the fish
        // draws one to three values in either.
        const uint64_t draws = sim_->screens().random().draws() - tickDraws_;
        const int32_t lifeSpent = tickLife_ - s.PlayerLife;
        const Screen* lure = sim_->screens().loaded(FormId::Form6);
        if (lureStep) {
            const bool cast = lure && lure->instance() == tickInstance_;
            if (!cast)
                reach(lure ? Reach::BackAtGameOver : Reach::LureBack);
            if (cast) {
                steppedLure_ = tickInstance_;
                if (s.FishInterest == 300)
                    reach(Reach::InterestAt300);
                if (s.FishInterest < 0 || s.FishInterest > 300)
                    fail("FishInterest " + std::to_string(s.FishInterest) + " after a lure step");
                if (sim_->screens().loaded(FormId::Form6)->ctl("Timer1").enabled && s.PlayerLife < 1)
                    fail("the cast goes on with PlayerLife " + std::to_string(s.PlayerLife));
            }
            if (draws != (cast ? 2u : 0u) || lifeSpent != (cast ? 1 : 0))
                fail("a lure step drew " + std::to_string(draws) + " values and cost " +
                     std::to_string(lifeSpent) + " life");
        }
        if (escapeStep)
            reach(Reach::Escape);
        // The fight goes on only with life and line left.
        auto* battle = static_cast<BattleScreen*>(sim_->screens().loaded(FormId::Form8));
        if (battleStep && battle && battle->ctl("Timer1").enabled &&
            (s.PlayerLife < 1 || !(battle->gauge()[1] > 0)))
            fail("the fight goes on with PlayerLife " + std::to_string(s.PlayerLife) + " and line " +
                 std::to_string(battle->gauge()[1]));
        if ((battleStep || escapeStep) && (draws < 1 || draws > 3 || lifeSpent != (battleStep ? 1 : 0)))
            fail("a battle step drew " + std::to_string(draws) + " values and cost " +
                 std::to_string(lifeSpent) + " life");
    }
    // The species draw takes 103 values and the fish's bar one more.
    if (!tickGated_) {
        const uint64_t draws = sim_->screens().random().draws() - tickDraws_;
        const bool battleOpened = tickForm_ == FormId::Form6 && tickTimer_ == "Timer2" &&
                                  sim_->screens().loaded(FormId::Form8) != nullptr;
        if (battleOpened)
            reach(Reach::Bite);
        if (tickForm_ == FormId::Form6 && tickTimer_ == "Timer3")
            reach(Reach::TimeOver);
        if (draws != (battleOpened ? 104u : 0u))
            fail(std::to_string(draws) + " values drawn by " + std::string(tickTimer_));
    }
    // A gated tick the gate turned away has changed nothing.
    if (stepped || !tickGated_)
        checkAll();
}

void Invariants::checkAll() {
    if (sim_->ended() || !failure_.empty())
        return;
    checkScreens();
    checkState();
    checkCatchLog();
    if (Screen* results = sim_->screens().loaded(FormId::Form4); results && failure_.empty())
        checkResults(*results);
    const GameState& s = state();
    if (s.SecretPoints != titleLoads_ + 30 * princessCatches_)
        fail("SecretPoints " + std::to_string(s.SecretPoints) + " after " + std::to_string(titleLoads_) +
             " title loads and " + std::to_string(princessCatches_) + " catches of species 38");
}

void Invariants::checkState() {
    const GameState& s = state();
    if (s.AnimFrame != 0 && s.AnimFrame != 1)
        fail("AnimFrame " + std::to_string(s.AnimFrame));
    if (s.BoostUses == 4)
        reach(Reach::BoostsUsedUp);
    if (s.BoostUses < 0 || s.BoostUses > 4)
        fail("BoostUses " + std::to_string(s.BoostUses));
    if (s.ReelSpeed != 0 && s.ReelSpeed != 50)
        fail("ReelSpeed " + std::to_string(s.ReelSpeed));
    if (s.SpotIndex < 0 || s.SpotIndex > 3) {
        fail("SpotIndex " + std::to_string(s.SpotIndex));
        return;
    }
    const Spot& spot = kSpots[s.SpotIndex];
    const bool chosen = s.SpotSize != 0 || !s.SpotName.empty() || s.SpeciesCount != 0;
    if (chosen && (s.SpotName != spot.name || s.SpotSize != spot.size || s.SpeciesCount != spot.speciesCount))
        fail("the spot's fields do not match spot " + std::to_string(s.SpotIndex));
    // Only the spot screen sets the life; from then on it only falls, but
    // for End on the lure screen, which sets it to 0 even when it was below.
    if (sim_->screens().loaded(FormId::Form3)) {
        life_.reset();
    } else {
        if (life_ && s.PlayerLife > *life_ && s.PlayerLife != 0)
            fail("PlayerLife rose from " + std::to_string(*life_) + " to " + std::to_string(s.PlayerLife));
        life_ = s.PlayerLife;
    }
}

void Invariants::checkCatchLog() {
    const GameState& s = state();
    const int32_t count = s.CatchTotals[0];
    if (count < 0 || count > kMostCatchesPerGame) {
        fail("CatchTotals(0) " + std::to_string(count));
        return;
    }
    if (count != catches_) {
        if (count != 0 && count != catches_ + 1)
            fail("the catch count went from " + std::to_string(catches_) + " to " + std::to_string(count));
        if (count == catches_ + 1)
            reach(s.SpotIndex == 3 ? Reach::LandingAtSea : Reach::Landing);
        if (count == catches_ + 1 && s.SpeciesIndex == kPrincessSpecies) {
            ++princessCatches_;
            reach(Reach::Species38);
        }
        catches_ = count;
        maxCatches_ = std::max(maxCatches_, count);
    }
    int64_t weight = 0;
    int64_t length = 0;
    for (int i = 0; i < GameState::kCatchLogLines; ++i) {
        const std::string& line = s.CatchLog[static_cast<size_t>(i)];
        if (i >= count) {
            if (!line.empty())
                fail("CatchLog(" + std::to_string(i) + ") filled beyond the count " + std::to_string(count));
            continue;
        }
        // name field (7 characters) / weight (8 digits) / length (9 digits)
        const size_t n = line.size();
        const bool shaped = charCount(line) == 26 && n >= 19 && line[n - 19] == '/' && line[n - 10] == '/' &&
                            digits(std::string_view(line).substr(n - 18, 8)) &&
                            digits(std::string_view(line).substr(n - 9, 9));
        if (!shaped) {
            fail("CatchLog(" + std::to_string(i) + ") is not a catch-log line: " + line);
            return;
        }
        const int32_t w = std::stoi(line.substr(n - 18, 8));
        const int32_t l = std::stoi(line.substr(n - 9, 9));
        weight += w;
        length += l;
        const auto [first, last] = speciesByField().equal_range(line.substr(0, n - 19));
        const bool known = std::any_of(first, last, [&](const auto& entry) {
            const Species& row = kSpecies[static_cast<size_t>(entry.second)];
            return entry.second <= s.SpeciesCount && w >= row.baseWeight && w <= row.baseWeight + 30 &&
                   l >= row.baseLength && l <= row.baseLength + 30;
        });
        if (!known)
            fail("CatchLog(" + std::to_string(i) + ") is no species of this spot: " + line);
    }
    if (weight != s.CatchTotals[1] || length != s.CatchTotals[2])
        fail("the catch totals are not the sums over the catch log");
}

// The report lists the log up to its first empty line and, when it holds a
// fish, their count, total weight and the two averages.
void Invariants::checkResults(Screen& results) {
    std::string listing = "魚の名前　　　/重量(g)/身長(mm)";
    int64_t count = 0;
    int64_t weight = 0;
    int64_t length = 0;
    for (const std::string& line : state().CatchLog) {
        if (line.empty())
            break;
        listing += "\r\n" + line;
        ++count;
        weight += std::stoi(line.substr(line.size() - 18, 8));
        length += std::stoi(line.substr(line.size() - 9, 9));
    }
    std::vector<std::string> reports;
    if (count == 0)
        reports.push_back(listing);
    if (count == 0)
        reach(Reach::EmptyResults);
    else if (endlessInBinary(weight, count) && endlessInBinary(length, count))
        reach(Reach::UnevenResults);
    for (const std::string& w : count ? averageTexts(weight, count) : std::vector<std::string>{})
        for (const std::string& l : averageTexts(length, count))
            reports.push_back(listing + "\r\n\r\n釣った数:" + std::to_string(count) + "\r\n総重量:" +
                              std::to_string(weight) + "g 平均:" + w + "g\r\n平均身長:" + l + "mm");
    const std::string& shown = results.ctl("Text1").text;
    if (std::find(reports.begin(), reports.end(), shown) == reports.end())
        fail("the results report is not the catch log's: " + shown + "\n  expected: " + reports[0]);
}

void Invariants::checkScreens() {
    ScreenSet& ss = sim_->screens();
    std::array<Screen*, kForms> sc{};
    unsigned visible = 0;
    for (int i = 0; i < kForms; ++i) {
        const auto id = static_cast<FormId>(i);
        sc[static_cast<size_t>(i)] = ss.loaded(id);
        Screen* screen = sc[static_cast<size_t>(i)];
        if (!screen)
            continue;
        if (screen->id() != id)
            fail("slot " + formName(id) + " holds another screen");
        for (int j = 0; j < i; ++j)
            if (sc[static_cast<size_t>(j)] && sc[static_cast<size_t>(j)]->instance() == screen->instance())
                fail("one screen in two slots");
        if (screen->visible())
            visible |= bit(id);
        else if (id != FormId::Form2 && id != FormId::Form6)
            fail(formName(id) + " is loaded but hidden");
        if (!screen->enabled() && id != FormId::Form2 && id != FormId::Form5 && id != FormId::Form7)
            fail(formName(id) + " is disabled");
        for (const Control& c : screen->controls())
            if (c.isTimer() && sim_->isRunning(*screen, c) != c.enabled)
                fail(formName(id) + "." + c.key() + " runs " + (c.enabled ? "not " : "") + "as it says");
    }
    using enum FormId;
    static constexpr unsigned kFlow[] = {
        bit(Form1), bit(Form3), bit(Form5), bit(Form5) | bit(Form6), bit(Form5) | bit(Form7) | bit(Form8),
        bit(Form4)};
    if (std::find(std::begin(kFlow), std::end(kFlow), visible) == std::end(kFlow))
        fail("the screens shown are no step of the flow (mask " + std::to_string(visible) + ")");

    if (Screen* title = sc[0]; title && title->instance() != titleInstance_) {
        titleInstance_ = title->instance();
        ++titleLoads_;
    }
    if (storeLoaded_ && !sc[1])
        fail("the picture store was unloaded");
    if (swapDue_)
        reach(Reach::PictureSwap);
    if (auto* store = static_cast<PictureStore*>(sc[1])) {
        storeLoaded_ = true;
        bool swapped = true;
        for (int i = 0; i <= 6; ++i) swapped = swapped && store->kao(i) == store->kao(i + 7);
        if (swapped != swapDue_)
            fail(swapDue_ ? "the picture swap is missing" : "the pictures were swapped too early");
        if (Screen* splash = sc[6]) {
            const std::string_view face = splash->ctl("Image1").picture;
            const std::string_view first = "angler_rod";  // the layout's, until the first step
            if (face != first && face != store->kao(2) && face != store->kao(3) && face != store->kao(4))
                fail("the splash shows " + std::string(face));
        }
    }
    if (Screen* spot = sc[2]; spot && !spot->ctl("Timer1").enabled)
        fail("the spot screen's animation stopped");
    if (auto* cast = static_cast<CastScreen*>(sc[4])) {
        const bool inFront = (visible & (bit(Form6) | bit(Form8))) != 0;
        if (cast->enabled() == inFront)
            fail(std::string("the cast screen is ") + (inFront ? "enabled" : "disabled"));
        if (!cast->ctl("Timer1").enabled || cast->Timer2().enabled != cast->enabled())
            fail("the cast screen's timers do not follow its state");
        const int32_t power = cast->castPower();
        if (power < 4 || power > 100 || power % 4 != 0)
            fail("CastPower " + std::to_string(power));
    }
    if (sc[6] && sc[6]->enabled())
        fail("the battle splash takes input");
    if (Screen* lure = sc[5])
        checkLure(*lure);
    if (Screen* battle = sc[7])
        checkBattle(*battle);
}

void Invariants::checkLure(Screen& lure) {
    const auto& screen = static_cast<const LureScreen&>(lure);
    const bool t1 = lure.ctl("Timer1").enabled;
    const bool t2 = lure.ctl("Timer2").enabled;
    const bool t3 = lure.ctl("Timer3").enabled;
    if (!lure.visible() && (t1 || !t3))
        fail("a hidden lure screen that is not waiting for the game over");
    if (t1 && (t2 || t3))
        fail("lure steps run after the cast ended");
    if (lure.ctl("Label1").visible != t3)
        fail("タイム オーバー shows without the game-over wait, or the wait without it");
    const int32_t n = screen.biteCountdown();
    if (n < -10 || n > 30 || (!t2 && n != 30))
        fail("BiteCountdown " + std::to_string(n));
    if (lure.drawings().size() != static_cast<size_t>(std::clamp(30 - n, 0, 29)))
        fail(std::to_string(lure.drawings().size()) + " rectangles at BiteCountdown " + std::to_string(n));
    const Control& rua = lure.ctl("rua");
    if (rua.left != 4410 || !within(rua.top, -365, lure.ctl("Shape1").top - 160))
        fail("the lure is off its line");
    const Control& uo = lure.ctl("uo");
    const Control& gyo3 = lure.ctl("gyo3");
    if (steppedLure_ == lure.instance() && (gyo3.left != uo.left - 1265 || gyo3.top != uo.top - 450))
        fail("the fish picture left its bite box");
    for (int i = 0; i < 7; ++i)
        if (!within(lure.ctl("iwa", i).left, -420, 7420))
            fail("lure rock " + std::to_string(i) + " is off the sea bed");
}

void Invariants::checkBattle(Screen& battle) {
    const auto& screen = static_cast<const BattleScreen&>(battle);
    const bool t1 = battle.ctl("Timer1").enabled;
    if (t1 && (battle.ctl("Timer2").enabled || battle.ctl("Timer3").enabled))
        fail("battle steps run after the battle ended");
    if (battle.ctl("Label2").visible != battle.ctl("Timer3").enabled)
        fail("the battle's message and its closing wait disagree");
    const float fishMax = battle.ctl("HP", 0).max;
    if (fishMax < 100 || fishMax > 159 || fishMax != std::floor(fishMax) || battle.ctl("HP", 1).max != 100)
        fail("the gauges' bars have the wrong maxima");
    for (int i = 0; i < 2; ++i) {
        const Control& bar = battle.ctl("HP", i);
        if (!within(screen.gauge()[static_cast<size_t>(i)], 0, bar.max) || !within(bar.value, 0, bar.max))
            fail("gauge " + std::to_string(i) + " is outside its bar");
    }
    if (screen.fishDrift() == -500 || screen.fishDrift() == 300)
        reach(Reach::DriftAtLimit);
    if (screen.fishDrift() < kLeastDrift || screen.fishDrift() > kMostDrift)
        fail("FishDrift " + std::to_string(screen.fishDrift()));
    if (screen.fishRest() > 55)
        fail("FishRest " + std::to_string(screen.fishRest()));
    if (screen.pressedKey() == kKeyF1)
        fail("F1 reached the battle's keys");
    if (screen.pressedKey() < 0 || screen.pressedKey() > 255)
        fail("PressedKey " + std::to_string(screen.pressedKey()));
    const Control& fish = battle.ctl("uoyosu");
    if (fish.left == 360 || fish.left == 3675)
        reach(Reach::FishAtBound);
    if (battle.ctl("Timer2").enabled)
        reach(!(screen.gauge()[1] > 0) ? Reach::LineCut : Reach::LifeOutInBattle);
    if (t1 && (!within(fish.left, 360, 3675) || fish.top <= -fish.height / 2))
        fail("a fighting fish beyond its bounds");
    for (int i = 0; i < 7; ++i)
        if (!within(battle.ctl("iwa", i).left, -420, 7420))
            fail("battle rock " + std::to_string(i) + " is off the bottom");
}

}  // namespace mogumo::fuzz
