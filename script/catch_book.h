#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "screens/battle/species_catalogue.h"

namespace mogumo::book {

// A calendar day in the player's time zone; the game itself reads no clock,
// so the host gives the day of each landing.
struct Date {
    int year = 0, month = 0, day = 0;

    // "YYYY-MM-DD", a real day from 1970 to 9999; nullopt otherwise.
    static std::optional<Date> parse(std::string_view text);
    std::string text() const;
    bool valid() const;
    bool operator==(const Date&) const = default;
};

// One fish as the book keeps it: its measures, where (the spot's index in the
// spot table) and when it was landed.
struct Record {
    int32_t weight = 0;  // grams
    int32_t length = 0;  // millimetres
    int spot = 0;
    Date date;
    bool operator==(const Record&) const = default;
};

struct SpeciesPage {
    int64_t landed = 0;
    // Set from the first landing on; a later fish replaces one only when it
    // is strictly heavier (longer), so a tie keeps the earlier fish.
    std::optional<Record> heaviest, longest;
    std::optional<Date> first;
    bool operator==(const SpeciesPage&) const = default;
};

struct BestGame {
    int64_t weight = 0;  // the game's total weight
    int64_t count = 0;   // fish in it
    int spot = 0;
    Date date;
    bool operator==(const BestGame&) const = default;
};

struct HeaviestFish {
    int species = 0;
    Record record;
    bool operator==(const HeaviestFish&) const = default;
};

// What one landing or finished game changed, for marking the book's rows.
struct Change {
    int species = -1;           // the landed species, -1 for a finished game
    bool newSpecies = false;    // its first fish
    bool heaviest = false;      // now the heaviest of its species (the first fish too)
    bool longest = false;       // now the longest of its species
    bool heaviestEver = false;  // now the heaviest fish in the book
    bool bestGame = false;      // a finished game heavier than any before
    bool operator==(const Change&) const = default;
};

// The two things the book learns from a played game (see BookWatcher).
struct Landing {
    int species = 0;  // row of kSpecies
    int32_t weight = 0, length = 0;
    int spot = 0;
    bool operator==(const Landing&) const = default;
};
struct FinishedGame {
    int64_t weight = 0;  // total weight of the game's catch
    int64_t count = 0;   // fish landed in it
    int spot = 0;
    bool operator==(const FinishedGame&) const = default;
};
using Event = std::variant<Landing, FinishedGame>;

// Bounds of a sane book: more than a player could land in a lifetime, and
// every measure the catch log can show.
inline constexpr int64_t kMaxCount = 1'000'000'000;
inline constexpr int32_t kMaxMeasure = 99'999'999;
// No real book comes near this; a larger file is refused unread.
inline constexpr size_t kMaxBookBytes = 1 << 20;

// The player's records across games: each of the 41 species in catalogue
// order, and the totals. The book only ever grows.
struct CatchBook {
    int64_t games = 0;   // finished games
    int64_t landed = 0;  // every fish landed, in finished games or not
    std::array<SpeciesPage, kSpecies.size()> species{};
    std::optional<BestGame> bestGame;  // only games that landed something
    std::optional<HeaviestFish> heaviest;

    // Throw std::invalid_argument for what no game produces (a species or
    // spot outside its table, a negative or oversized measure, an invalid
    // date), so that a book never holds what it would refuse to read.
    Change land(int species, int32_t weight, int32_t length, int spot, const Date& date);
    Change finishGame(int64_t totalWeight, int64_t count, int spot, const Date& date);
    Change apply(const Event& event, const Date& date);

    bool operator==(const CatchBook&) const = default;
};

// The book as the JSON text that the desktop and the page share, ending in a
// line break: one object,
//
//   {"version": 1, "games": 2, "landed": 3,
//    "bestGame": {"weight": 46550, "count": 2, "spot": "海", "date": "2026-12-08"},
//    "heaviest": {"species": 38, "name": "乙姫", "weight": 46310, "length": 15820,
//                 "spot": "海", "date": "2026-12-08"},
//    "species": [{"name": "しゅわん", "landed": 0, "heaviest": null, "longest": null, "first": null},
//                {"name": "めでか", "landed": 2,
//                 "heaviest": {"weight": 250, "length": 190, "spot": "池", "date": "2026-12-07"},
//                 "longest": {...the same...}, "first": "2026-12-07"},
//                ... the 41 species in catalogue order, by the game's own names]}
//
// Spots by their names in the spot table, dates as YYYY-MM-DD; "bestGame" and
// "heaviest" are null until there is one.
std::string toJson(const CatchBook& book);

// A book read back, or why the text is not one.
struct ReadResult {
    std::optional<CatchBook> book;
    std::string error;  // a plain sentence when book is empty
};
// Strict: text longer than kMaxBookBytes, that is not JSON, of another
// version, with fields missing, unknown or of the wrong type, with the
// species out of order, or with numbers and dates no game writes or totals
// that disagree, is refused.
ReadResult fromJson(std::string_view text);

// The spot's name as the spot table has it ("池" ...).
std::string_view spotName(int spot);

}  // namespace mogumo::book
