#include "script/book_keeper.h"

namespace mogumo::book {

BookKeeper::BookKeeper(std::string path, OnProblem onProblem, std::function<Date()> day)
    : file_(std::move(path)), onProblem_(std::move(onProblem)), day_(std::move(day)) {}

void BookKeeper::load() {
    say(Trouble::Read, file_.load());
}

void BookKeeper::observe(const Game& game) {
    for (const Event& event : watcher_.observe(game)) {
        const CatchBookFile::Result result = file_.record(event, day_());
        say(result.saved ? Trouble::Read : Trouble::Save, result);
        news_.add(event, result.change);
    }
}

void BookKeeper::say(Trouble trouble, const CatchBookFile::Result& result) {
    if (!result.message.empty() && onProblem_)
        onProblem_(trouble, result.message);
}

}  // namespace mogumo::book
