#include "script/book_watcher.h"

#include <algorithm>
#include <optional>

#include "core/game.h"
#include "screens/battle/species_catalogue.h"
#include "screens/spot/spot_screen.h"

namespace mogumo::book {

namespace {

int32_t digits(std::string_view text) {
    int32_t n = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return -1;
        n = n * 10 + (c - '0');
    }
    return n;
}

// The landing a catch log line tells of: "name/WWWWWWWW/LLLLLLLLL", the name
// padded or cut to 7 characters, which leaves each species one line.
std::optional<Landing> fromLogLine(const std::string& line, int spot) {
    constexpr size_t kTail = 1 + 8 + 1 + 9;
    if (line.size() <= kTail)
        return std::nullopt;
    const std::string_view tail = std::string_view(line).substr(line.size() - kTail);
    const int32_t weight = digits(tail.substr(1, 8)), length = digits(tail.substr(10, 9));
    if (tail[0] != '/' || tail[9] != '/' || weight < 0 || length < 0)
        return std::nullopt;
    for (size_t i = 0; i < kSpecies.size(); ++i)
        if (catchLogLine(kSpecies[i].name, weight, length) == line)
            return Landing{static_cast<int>(i), weight, length, spot};
    return std::nullopt;
}

// What the book takes: the game never makes anything else, but a watcher
// must not turn a fault of the game into one of the book.
bool takes(int32_t weight, int32_t length, int spot) {
    return weight >= 0 && weight <= kMaxMeasure && length >= 0 && length <= kMaxMeasure && spot >= 0 &&
           spot < static_cast<int>(kSpots.size());
}

}  // namespace

std::vector<Event> BookWatcher::observe(const Game& game) {
    const GameState& s = game.screens().state();
    std::vector<Event> events;
    const int32_t count = s.CatchTotals[0];
    constexpr int32_t kLines = GameState::kCatchLogLines;
    // A new game: the totals fell back, or the line of the last fish told
    // has been wiped since.
    if (count < told_ ||
        (told_ >= 1 && told_ <= kLines && s.CatchLog[static_cast<size_t>(told_ - 1)] != lastLine_))
        told_ = 0;
    for (int32_t i = told_; i < std::min(count, kLines); ++i) {
        const std::optional<Landing> fish = fromLogLine(s.CatchLog[static_cast<size_t>(i)], s.SpotIndex);
        if (fish && takes(fish->weight, fish->length, fish->spot))
            events.emplace_back(*fish);
    }
    // Past the log's last line only the fish itself tells of the landing,
    // and only of the last one.
    if (count > told_ && count > kLines && takes(s.FishWeight, s.FishLength, s.SpotIndex))
        events.emplace_back(Landing{
            s.SpeciesIndex >= 1 && s.SpeciesIndex < static_cast<int32_t>(kSpecies.size()) ? s.SpeciesIndex
                                                                                          : 0,
            s.FishWeight, s.FishLength, s.SpotIndex});
    if (count > told_) {
        told_ = count;
        lastLine_ = count <= kLines ? s.CatchLog[static_cast<size_t>(count - 1)] : std::string();
    }
    const Screen* results = game.screens().loaded(FormId::Form4);
    if (results && results->visible() && results->instance() != resultsTold_) {
        resultsTold_ = results->instance();
        if (takes(0, 0, s.SpotIndex) && count >= 0 && s.CatchTotals[1] >= 0 &&
            s.CatchTotals[1] <= int64_t{count} * kMaxMeasure)
            events.emplace_back(FinishedGame{s.CatchTotals[1], count, s.SpotIndex});
    }
    return events;
}

bool News::any() const {
    return bestGame || heaviestEver || std::any_of(rows.begin(), rows.end(), [](bool r) { return r; });
}

void NewsTally::add(const Event& event, const Change& c) {
    if (std::holds_alternative<Landing>(event)) {
        if (c.newSpecies || c.heaviest || c.longest)
            game_.rows[static_cast<size_t>(c.species)] = true;
        game_.heaviestEver |= c.heaviestEver;
    } else {
        game_.bestGame |= c.bestGame;
        if (game_.any())
            news_ = game_;
        game_ = News{};
    }
}

std::optional<News> NewsTally::takeAfterResults(const Game& game) {
    if (!news_)
        return std::nullopt;  // the common case, after every event
    const Screen* results = game.screens().loaded(FormId::Form4);
    if (results && results->visible())
        return std::nullopt;
    std::optional<News> news;
    news.swap(news_);
    return news;
}

}  // namespace mogumo::book
