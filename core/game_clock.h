#pragma once

#include <cstdint>
#include <functional>
#include <optional>

namespace mogumo {

class Game;

// Real time against the game clock, for the hosts that play on real time
// (the desktop game, the browser page): where real time has got to on the
// game clock, how far the game moves at a wake, and how long to sleep until a
// due time.
//
// The game clock moves only when its host runs the timers: a wake runs every
// tick due up to the real time now, each at its own due millisecond, so a game
// depends only on when its inputs came, never on how late a wake was. A wake
// that comes more than kStallMs after a tick was due (the machine or the
// process was stopped) does not make the missed ticks up: the time is lost,
// as the script command `wait` loses it.
class GameClock {
public:
    // Milliseconds of real time from any fixed origin.
    using RealClock = std::function<uint64_t()>;

    static constexpr uint64_t kStallMs = 250;

    // How the game clock moved at a wake: on by `ms`, running the timers, or
    // (after a stall) with the time lost.
    struct Move {
        uint64_t ms;
        bool lost;
    };

    // `real` defaults to the system's steady clock; the game clock reads
    // `gameStart` now.
    GameClock(RealClock real, uint64_t gameStart);

    // The game clock's reading that real time has reached.
    uint64_t realNow() const;
    // Real time on its own clock.
    uint64_t realMs() const { return real_(); }

    // Brings `game` up to real time: every tick due by then runs, or, after a
    // stall, the time is lost. Returns how the game moved, nullopt when it
    // stayed. A replay never loses time and never passes its limit.
    std::optional<Move> catchUp(Game& game, bool replaying) const;
    // Real milliseconds until the game clock reaches `due`.
    uint64_t delayUntil(uint64_t due) const;

    // For a replay: the game clock never passes `limit`; `shift` moves the
    // game clock against real time (a `wait`), and `resync` lets real time go
    // on from the game clock as it is.
    void setLimit(std::optional<uint64_t> limit) { limit_ = limit; }
    const std::optional<uint64_t>& limit() const { return limit_; }
    void shift(uint64_t ms) { shift_ += static_cast<int64_t>(ms); }
    void resync(uint64_t gameNow) {
        shift_ += static_cast<int64_t>(gameNow) - static_cast<int64_t>(realNow());
    }

private:
    RealClock real_;
    uint64_t origin_;
    uint64_t gameStart_;
    int64_t shift_ = 0;  // game clock minus real time, as a replay moves it
    std::optional<uint64_t> limit_;
};

}  // namespace mogumo
