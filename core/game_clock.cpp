#include "core/game_clock.h"

#include <algorithm>
#include <chrono>

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

std::optional<GameClock::Move> GameClock::catchUp(uint64_t gameNow, std::optional<uint64_t> nextDue,
                                                  bool replaying) const {
    uint64_t target = realNow();
    if (limit_)
        target = std::min(target, *limit_);
    if (target <= gameNow)
        return std::nullopt;
    const bool stalled = !replaying && nextDue && *nextDue <= target && target - *nextDue > kStallMs;
    return Move{target, stalled};
}

uint64_t GameClock::delayUntil(uint64_t due) const {
    const uint64_t real = realNow();
    return due > real ? due - real : 0;
}

}  // namespace mogumo
