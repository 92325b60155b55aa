#include "core/game_clock.h"

#include <algorithm>
#include <chrono>

#include "core/game.h"

namespace mogumo {

GameClock::GameClock(RealClock real, uint64_t gameStart) : real_(std::move(real)), gameStart_(gameStart) {
    if (!real_)
        real_ = [] {
            const auto now = std::chrono::steady_clock::now().time_since_epoch();
            return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
        };
    origin_ = real_();
}

uint64_t GameClock::realNow() const {
    const uint64_t real = real_();
    const uint64_t passed = real > origin_ ? real - origin_ : 0;
    return static_cast<uint64_t>(static_cast<int64_t>(gameStart_ + passed) + shift_);
}

std::optional<GameClock::Move> GameClock::catchUp(Game& game, bool replaying) const {
    if (game.ended())
        return std::nullopt;
    uint64_t target = realNow();
    if (limit_)
        target = std::min(target, *limit_);
    const uint64_t from = game.now();
    if (target <= from)
        return std::nullopt;
    const std::optional<uint64_t> due = game.nextTickAt();
    const bool stalled = !replaying && due && *due <= target && target - *due > kStallMs;
    if (stalled)
        game.wait(target - from);
    else
        game.runUntil(target);
    return Move{target - from, stalled};
}

uint64_t GameClock::delayUntil(uint64_t due) const {
    const uint64_t real = realNow();
    return due > real ? due - real : 0;
}

}  // namespace mogumo
