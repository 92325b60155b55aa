#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/game.h"

namespace mogumo::fuzz {

// Situations a run may or may not reach, by the luck of its seed. The fixed
// seeds of the test runs are chosen so that between them they reach all.
enum class Reach {
    Bite,
    LureBack,
    BackAtGameOver,  // the lure came back on the step that used up the life
    TimeOver,
    BoostsUsedUp,
    InterestAt300,  // the most a lure step leaves, kept by the clamp
    Landing,
    LandingAtSea,
    LineCut,
    LifeOutInBattle,
    Escape,
    FishAtBound,
    DriftAtLimit,
    UnevenResults,  // a report whose averages both run on as binary fractions
    EmptyResults,
    PictureSwap,
    Species38,
    Help,
    HelpInBattle,
    Close,
    TheEnd,
    CounterWrap,  // a step across the tick counter's wrap to 0
    SignFlip,     // a step across 2^31, where the counter turns negative
    Count
};
std::string_view reachName(Reach r);

// What the game's rules promise at every moment, checked on a running
// game after every event and around every timer tick. The first broken
// promise is kept in failure(); later ones are ignored.
class Invariants {
public:
    // Hooks itself into the simulator's ticks; `sim` must outlive it or be
    // watched again after it changes.
    void watch(Game& sim);

    // After every script line that was carried out.
    void afterEvent();
    // The line was a click on the title's "start", a key-down F1, ...: what
    // the event itself must have done.
    void gameStarting() { swapDue_ = swapDue_ || state().SecretPoints >= 20; }
    void helpAsked();
    void ended(bool expected);

    const std::string& failure() const { return failure_; }
    uint64_t steps() const { return steps_; }
    int maxCatches() const { return maxCatches_; }
    int games() const { return titleLoads_; }
    bool swapSeen() const { return swapDue_; }
    void reach(Reach r) { reached_ |= 1u << static_cast<int>(r); }
    uint32_t reached() const { return reached_; }

private:
    void beforeTick(const Screen& screen, const Control& timer);
    void afterTick();
    void checkAll();
    void checkState();
    void checkCatchLog();
    void checkResults(Screen& results);
    void checkScreens();
    void checkLure(Screen& lure);
    void checkBattle(Screen& battle);
    void fail(const std::string& what);
    GameState& state() { return sim_->screens().state(); }

    Game* sim_ = nullptr;
    std::string failure_;
    uint64_t steps_ = 0;

    // Around one tick.
    FormId tickForm_{};
    std::string_view tickTimer_;
    uint64_t tickInstance_ = 0;
    int32_t tickLastTick_ = 0;
    bool tickGated_ = false;
    int32_t tickLife_ = 0;
    uint64_t tickDraws_ = 0;

    // Across the run.
    std::optional<int32_t> life_;  // PlayerLife since the spot was chosen
    uint64_t titleInstance_ = 0;
    int titleLoads_ = 0;
    int princessCatches_ = 0;
    int32_t catches_ = 0;
    int maxCatches_ = 0;
    int helpAsked_ = 0;
    bool swapDue_ = false;
    bool storeLoaded_ = false;
    uint64_t steppedLure_ = 0;  // instance of the lure screen that ran a step
    uint32_t reached_ = 0;      // a bit for each Reach
};

}  // namespace mogumo::fuzz
