#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "script/catch_book.h"

namespace mogumo {
class Game;
}

namespace mogumo::book {

// Learns the landings and the finished games of a running game for the catch
// book by looking at it, never writing to it: a game watched or not plays the
// same. Call observe() as often as suits the host (after every timer tick,
// after every input, or both); each landing and each finished game is told
// exactly once, as long as the calls are no rarer than one per input.
//
// A landing is a rise of CatchTotals[0]: the catch log line it wrote names the
// species, the weight and the length (the fish's own fields only for a
// landing past the log's last line). The title screen setting the totals back
// to 0 starts a new game. A game is finished when the results screen shows
// its totals.
class BookWatcher {
public:
    // Attach before the game starts, or after a title screen: what the totals
    // already count when first observed is taken as landed since.
    std::vector<Event> observe(const Game& game);

private:
    int32_t told_ = 0;          // landings of this game already told
    std::string lastLine_;      // the log line of the last one told
    uint64_t resultsTold_ = 0;  // the results screen (by its instance) already told
};

// What a finished game brought to the book, for marking its rows.
struct News {
    std::array<bool, kSpecies.size()> rows{};  // a new species, a heavier or a longer fish
    bool bestGame = false;
    bool heaviestEver = false;
    bool any() const;
};

// Gathers the news of each game from the change every saved landing and
// finished game made, and hands it out once the game's results are put away.
class NewsTally {
public:
    void add(const Event& event, const Change& change);
    // The news of the last finished game that had any, once `game` no longer
    // shows its results; handed out once.
    std::optional<News> takeAfterResults(const Game& game);
    bool waiting() const { return news_.has_value(); }

private:
    News game_;  // of the game going on
    std::optional<News> news_;
};

}  // namespace mogumo::book
