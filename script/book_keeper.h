#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>

#include "script/book_watcher.h"
#include "script/catch_book.h"
#include "script/catch_book_file.h"

namespace mogumo {
class Game;
}

namespace mogumo::book {

// The book of a played game kept in its file: watches the game after each of
// its events (Play::Options::onEvent), saves each landing and finished game
// as it happens and says any trouble through `onProblem`, once. Only looks at
// the game: the game plays the same with or without it.
class BookKeeper {
public:
    enum class Trouble { Read, Save };
    using OnProblem = std::function<void(Trouble, const std::string& detail)>;

    BookKeeper(std::string path, OnProblem onProblem, std::function<Date()> day = today);

    // Reads the book from its file (at start, and to show it fresh).
    void load();
    void observe(const Game& game);

    const CatchBook& book() const { return file_.book(); }
    const std::string& path() const { return file_.path(); }

    // The news of the last finished game that had any, once `game` no longer
    // shows its results; handed out once.
    std::optional<News> takeNews(const Game& game) { return news_.takeAfterResults(game); }

private:
    void say(Trouble trouble, const CatchBookFile::Result& result);

    CatchBookFile file_;
    OnProblem onProblem_;
    std::function<Date()> day_;
    BookWatcher watcher_;
    NewsTally news_;
};

}  // namespace mogumo::book
