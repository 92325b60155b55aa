// The game in the browser: the one place where the page meets the game's
// runtime. The page (platform/web/site/page.js) calls the C functions at
// the end of this file and draws what `mogumo_view` describes; everything it
// knows about screens, controls, keys and time comes through them.
//
// The played game is script::Play, as on the desktop: the page's clock
// (performance.now(), handed in as `real`) is its real time.
//
// The catch book lives in the page's local storage, as the same JSON text the
// desktop keeps in its file. The module only watches the played game and
// queues what it landed; the page hands in the stored text right before each
// write (so that two tabs both keep all their fish) and stores what comes
// back. The queue is emptied only once the page says the text was stored.

#include <emscripten/emscripten.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "core/game.h"
#include "core/host.h"
#include "core/json_writer.h"
#include "platform/web/web_view.h"
#include "script/book_watcher.h"
#include "script/catch_book.h"
#include "script/line_reader.h"
#include "script/play.h"
#include "script/session.h"
#include "script/state_dump.h"

namespace mogumo {
namespace {

// The page's local day, for the book's dates: the game reads no clock.
book::Date today{1970, 1, 1};
// What the played games landed and finished, with their day, not yet stored.
std::vector<std::pair<book::Event, book::Date>> bookQueue;
size_t bookHandedOut = 0;  // queued events in the text last handed to the page
std::string bookError;     // why the stored text handed in was not a book
// The news of the stored events; `handedNews` with the handed-out ones too.
book::NewsTally bookNews, handedNews;

// One game on the page: played, or a recorded one watched.
class WebGame : public Host {
public:
    // `replay`, when not empty, is a recorded game to watch, checked to play
    // to its end and starting at `clockStart`.
    WebGame(uint32_t clockStart, double real, std::string replay)
        : realMs_(floorMs(real)), replay_(std::move(replay)), play_(options(clockStart)) {
        // A watched game is someone's record, not the player's catch.
        if (replay_.empty())
            watcher_.emplace();
        else
            play_.watch(std::make_unique<script::LineReader>(script::LineReader::fromString(replay_)));
    }

    void start() { play_.start(); }
    // Runs what is due by the real time `real`.
    void advance(double real) {
        setReal(real);
        play_.advance();
    }
    // The real time of the next wake; -1 when nothing will happen without input.
    double nextWake() const {
        const std::optional<uint64_t> at = play_.nextWake();
        return at ? static_cast<double>(*at) : -1.0;
    }
    // Input at the real time `real`: whether the game took it.
    bool input(const Input& in, double real) {
        setReal(real);
        return play_.input(in);
    }
    // The page lost the keyboard at `real`.
    void releaseKeys(double real) {
        setReal(real);
        play_.releaseKeys();
    }
    std::string view(Language language) const { return viewJson(play_, helpRequests_, language); }
    std::string dump() const { return stateDump(play_.game()); }
    const Game& played() const { return play_.game(); }
    // The game so far as a script; a watched game is its script.
    std::string record(double real) {
        if (play_.watching())
            return replay_;
        advance(real);
        return play_.record();
    }

    // Host
    void showHelp() override { ++helpRequests_; }

private:
    static uint64_t floorMs(double real) { return real > 0 ? static_cast<uint64_t>(std::floor(real)) : 0; }
    void setReal(double real) { realMs_ = std::max(realMs_, floorMs(real)); }

    script::Play::Options options(uint32_t clockStart) {
        script::Play::Options o;
        o.clockStart = clockStart;
        o.realClock = [this] { return realMs_; };
        o.view = this;
        o.record = true;
        o.onEvent = [this](const Game& g) {
            if (watcher_)
                for (book::Event& e : watcher_->observe(g)) bookQueue.emplace_back(std::move(e), today);
        };
        return o;
    }

    uint64_t realMs_;  // the page's clock at the call being handled
    std::string replay_;
    int helpRequests_ = 0;                      // times the page is to open the help
    std::optional<book::BookWatcher> watcher_;  // only while the player plays
    script::Play play_;
};

std::unique_ptr<WebGame> game;
// The language the page shows the game in; the game itself stays Japanese.
Language language = Language::Japanese;
std::string error;
std::string answer;  // the text last handed to the page

std::optional<FormId> formOf(int form) {
    if (form < 0 || form >= kFormCount)
        return std::nullopt;
    return static_cast<FormId>(form);
}

// Runs a call from the page; a fault of the game ends it with a message.
template <class Work>
int guarded(Work&& work) {
    if (!game)
        return 0;
    try {
        return work(*game) ? 1 : 0;
    } catch (const std::exception& e) {
        error = std::string("ゲームの中で誤りが起きました: ") + e.what();
        game.reset();
        return -1;
    }
}

int input(int form, const Input& in, double real) {
    const auto f = formOf(form);
    if (!f)
        return 0;
    Input on = in;
    on.form = *f;
    return guarded([&](WebGame& g) { return g.input(on, real); });
}

const char* answerWith(std::string text) {
    answer = std::move(text);
    return answer.c_str();
}

// The book in `stored`: an empty text is a new book; a text that is not one
// is said in bookError and a new book starts.
book::CatchBook storedBook(const char* stored) {
    bookError.clear();
    if (!stored || !*stored)
        return {};
    book::ReadResult read = book::fromJson(stored);
    if (read.book)
        return *read.book;
    bookError = read.error;
    return {};
}

}  // namespace
}  // namespace mogumo

using mogumo::guarded;
using mogumo::WebGame;

extern "C" {

// Starts a new game at the page's time `real`: played, or, when `script` is
// not empty, a recorded game watched. 0 when it started; 2 when the script
// cannot be replayed (mogumo_error says which line and why).
EMSCRIPTEN_KEEPALIVE int mogumo_new_game(double real, const char* script) {
    mogumo::error.clear();
    mogumo::game.reset();
    uint32_t clockStart = mogumo::kDefaultClock;
    const std::string replay = script ? script : "";
    if (!replay.empty()) {
        mogumo::script::LineReader check = mogumo::script::LineReader::fromString(replay);
        mogumo::error = mogumo::script::checkScript(check, clockStart);
        if (!mogumo::error.empty())
            return 2;
    }
    mogumo::game = std::make_unique<WebGame>(clockStart, real, replay);
    return guarded([](WebGame& g) {
               g.start();
               return true;
           }) == 1
               ? 0
               : 1;
}

EMSCRIPTEN_KEEPALIVE const char* mogumo_error() {
    return mogumo::answerWith(mogumo::shownText(mogumo::language, mogumo::error));
}

// The language of the texts the page is handed from now on: 0 Japanese, 1
// English. The game plays on unchanged.
EMSCRIPTEN_KEEPALIVE void mogumo_set_language(int language) {
    mogumo::language = language == 1 ? mogumo::Language::English : mogumo::Language::Japanese;
}

// One of the page's own texts (written in Japanese) in the page's language.
EMSCRIPTEN_KEEPALIVE const char* mogumo_text(const char* japanese) {
    return mogumo::answerWith(mogumo::shownText(mogumo::language, japanese ? japanese : ""));
}

// Runs every tick due by `real`.
EMSCRIPTEN_KEEPALIVE void mogumo_advance(double real) {
    guarded([real](WebGame& g) {
        g.advance(real);
        return true;
    });
}

// The page's time of the next wake; -1 when none is due.
EMSCRIPTEN_KEEPALIVE double mogumo_next_wake() {
    return mogumo::game ? mogumo::game->nextWake() : -1.0;
}

// Input at the page's time `real`: 1 when the screen took it, 0 when it was
// refused, -1 when the game failed on it.
EMSCRIPTEN_KEEPALIVE int mogumo_click(int form, const char* control, int index, double real) {
    return mogumo::input(form, {mogumo::InputKind::Click, {}, control, index}, real);
}

EMSCRIPTEN_KEEPALIVE int mogumo_key(int form, int down, int code, double real) {
    const auto kind = down ? mogumo::InputKind::KeyDown : mogumo::InputKind::KeyUp;
    return mogumo::input(form, {kind, {}, {}, -1, code}, real);
}

EMSCRIPTEN_KEEPALIVE int mogumo_close(int form, double real) {
    return mogumo::input(form, {mogumo::InputKind::Close, {}}, real);
}

// The page lost the keyboard at `real`: every game key it sent down goes up.
EMSCRIPTEN_KEEPALIVE void mogumo_release_keys(double real) {
    guarded([real](WebGame& g) {
        g.releaseKeys(real);
        return true;
    });
}

// JSON: the shown screens (see viewJson).
EMSCRIPTEN_KEEPALIVE const char* mogumo_view() {
    return mogumo::answerWith(mogumo::game ? mogumo::game->view(mogumo::language)
                                           : "{\"ended\":true,\"keys\":-1,\"screens\":[]}");
}

// JSON: the screens as laid out, the keys (see factsJson).
EMSCRIPTEN_KEEPALIVE const char* mogumo_facts() {
    return mogumo::answerWith(mogumo::factsJson(mogumo::language));
}

// The game so far as a mogumo-sim script.
EMSCRIPTEN_KEEPALIVE const char* mogumo_record(double real) {
    mogumo::answer.clear();
    guarded([&](WebGame& g) {
        mogumo::answer = g.record(real);
        return true;
    });
    return mogumo::answer.c_str();
}

// The page's local day, "YYYY-MM-DD", for the landings from now on; 0 when
// it is not a day (the one before holds).
EMSCRIPTEN_KEEPALIVE int mogumo_set_today(const char* day) {
    const auto date = mogumo::book::Date::parse(day ? day : "");
    if (date)
        mogumo::today = *date;
    return date ? 1 : 0;
}

// Landings and finished games waiting to be stored in the book.
EMSCRIPTEN_KEEPALIVE int mogumo_book_pending() {
    return static_cast<int>(mogumo::bookQueue.size());
}

// The book to store: the stored text `stored` (read from the storage right
// now; empty for none) with every waiting event applied. When the stored
// text is not a book, mogumo_book_error says why and the answer is a new
// book with the events. The events wait on until mogumo_book_saved.
EMSCRIPTEN_KEEPALIVE const char* mogumo_book_update(const char* stored) {
    mogumo::book::CatchBook book = mogumo::storedBook(stored);
    mogumo::handedNews = mogumo::bookNews;
    for (const auto& [event, date] : mogumo::bookQueue) {
        try {
            mogumo::handedNews.add(event, book.apply(event, date));
        } catch (const std::invalid_argument&) {
            // Nothing a game lands; the book keeps only what it can read back.
        }
    }
    mogumo::bookHandedOut = mogumo::bookQueue.size();
    return mogumo::answerWith(mogumo::book::toJson(book));
}

// The page stored the text of the last mogumo_book_update: 1 when news of a
// game now waits for mogumo_book_news.
EMSCRIPTEN_KEEPALIVE int mogumo_book_saved() {
    const size_t n = std::min(mogumo::bookHandedOut, mogumo::bookQueue.size());
    mogumo::bookQueue.erase(mogumo::bookQueue.begin(),
                            mogumo::bookQueue.begin() + static_cast<std::ptrdiff_t>(n));
    mogumo::bookHandedOut = 0;
    mogumo::bookNews = mogumo::handedNews;
    return mogumo::bookNews.waiting() ? 1 : 0;
}

// What the last stored game brought to the book, once its results are put
// away, as {"rows": [species marked], "record": a best game or heaviest fish};
// empty when nothing, and handed out once.
EMSCRIPTEN_KEEPALIVE const char* mogumo_book_news() {
    std::optional<mogumo::book::News> news;
    if (mogumo::game)
        news = mogumo::bookNews.takeAfterResults(mogumo::game->played());
    if (!news)
        return mogumo::answerWith("");
    mogumo::JsonWriter out;
    out.beginObject();
    out.key("rows");
    out.beginArray();
    for (size_t i = 0; i < news->rows.size(); ++i)
        if (news->rows[i])
            out.value(static_cast<int>(i));
    out.endArray();
    out.field("record", news->bestGame || news->heaviestEver);
    out.endObject();
    return mogumo::answerWith(out.str());
}

// Why the text last handed in was not a book, in the page's language; empty
// when it was one.
EMSCRIPTEN_KEEPALIVE const char* mogumo_book_error() {
    return mogumo::answerWith(mogumo::shownText(mogumo::language, mogumo::bookError));
}

// A book file to import: its text as the book keeps it, or empty when it is
// not one (mogumo_book_error says why).
EMSCRIPTEN_KEEPALIVE const char* mogumo_book_read(const char* text) {
    mogumo::bookError = "";
    const mogumo::book::ReadResult read = mogumo::book::fromJson(text ? text : "");
    mogumo::bookError = read.error;
    return mogumo::answerWith(read.book ? mogumo::book::toJson(*read.book) : std::string());
}

// JSON: the book window for the stored text (see bookViewJson); a text that
// is not a book shows as a new one.
EMSCRIPTEN_KEEPALIVE const char* mogumo_book_view(const char* stored) {
    return mogumo::answerWith(mogumo::bookViewJson(mogumo::storedBook(stored), mogumo::language));
}

// The state dump, as mogumo-sim writes it.
EMSCRIPTEN_KEEPALIVE const char* mogumo_dump() {
    return mogumo::answerWith(mogumo::game ? mogumo::game->dump() : "");
}

}  // extern "C"
