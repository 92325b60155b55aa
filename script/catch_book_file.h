#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "script/catch_book.h"

namespace mogumo::book {

// The catch book kept in a file, saved the way a database saves: every change
// under an advisory lock (flock on "<book>.lock" beside it), after re-reading
// the file, written to "<book>.tmp", flushed to the disk, renamed over the
// book and the folder flushed, so that a game killed at any moment leaves the
// old book or the new one, and games played at once all keep their fish.
//
// A file that is not a book is never written over: it is renamed to
// "<book>.unreadable-YYYY-MM-DDTHHMMSS" and a new book begins. Nothing here
// throws for a file or folder that misbehaves; the game goes on, and the
// trouble is said in the result's message.
class CatchBookFile {
public:
    struct Result {
        Change change;       // what the event changed (nothing for load)
        bool saved = false;  // the book on disk holds the change (load: it was read)
        // For the player, in plain words; empty when all went well, and when
        // the same trouble was said by the call before (a folder that stays
        // read-only is said once, not at every fish).
        std::string message;
    };

    explicit CatchBookFile(std::string path) : path_(std::move(path)) {}

    // Reads the book to show it. A missing file is an empty book.
    Result load();
    // Saves one landing or finished game, made on `date`. When the book
    // cannot be saved the event waits in memory and is saved with the next
    // one that can be.
    Result record(const Event& event, const Date& date);

    const std::string& path() const { return path_; }
    // The book as last read, with every event since applied, saved or not.
    const CatchBook& book() const { return book_; }

private:
    struct Locked;
    Result finish(std::string problem, Result result);

    std::string path_;
    CatchBook book_;
    std::vector<std::pair<Event, Date>> unsaved_;
    std::string lastProblem_;
};

// $XDG_DATA_HOME/mogumo/catch-book.json, or ~/.local/share/mogumo/... when
// that is unset or not absolute; nullopt with no home folder to be found.
std::optional<std::string> defaultBookPath();

// Today in the local time zone.
Date today();

}  // namespace mogumo::book
