#include "script/book_keeper.h"

#include <algorithm>

namespace mogumo::book {

bool News::any() const {
    return bestGame || heaviestEver || std::ranges::any_of(rows, [](bool r) { return r; });
}

BookKeeper::BookKeeper(std::string path, OnProblem onProblem, std::function<Date()> day)
    : file_(std::move(path)), onProblem_(std::move(onProblem)), day_(std::move(day)) {}

void BookKeeper::load() {
    say(Trouble::Read, file_.load());
}

void BookKeeper::observe(const Game& game) {
    for (const Event& event : watcher_.observe(game)) {
        const CatchBookFile::Result result = file_.record(event, day_());
        say(result.saved ? Trouble::Read : Trouble::Save, result);
        const Change& c = result.change;
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
}

std::optional<News> BookKeeper::takeNews() {
    std::optional<News> news;
    news.swap(news_);
    return news;
}

void BookKeeper::say(Trouble trouble, const CatchBookFile::Result& result) {
    if (!result.message.empty() && onProblem_)
        onProblem_(trouble, result.message);
}

}  // namespace mogumo::book
