#include "script/catch_book.h"

#include <algorithm>
#include <cstdio>
#include <initializer_list>
#include <nlohmann/json.hpp>
#include <stdexcept>

#include "screens/spot/spot_screen.h"

namespace mogumo::book {

namespace {

using Json = nlohmann::ordered_json;

constexpr int kVersion = 1;
constexpr int kSpeciesCount = static_cast<int>(kSpecies.size());
constexpr int kSpotCount = static_cast<int>(kSpots.size());

bool leapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysIn(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && leapYear(year) ? 29 : kDays[month - 1];
}

void require(bool ok, const std::string& what) {
    if (!ok)
        throw std::invalid_argument("catch book: " + what);
}

void checkFish(int32_t weight, int32_t length, int spot, const Date& date) {
    require(weight >= 0 && weight <= kMaxMeasure, "weight " + std::to_string(weight));
    require(length >= 0 && length <= kMaxMeasure, "length " + std::to_string(length));
    require(spot >= 0 && spot < kSpotCount, "spot " + std::to_string(spot));
    require(date.valid(), "date " + date.text());
}

// Reading: the first thing wrong with the file, as a sentence.
struct BadBook {
    std::string why;
};

[[noreturn]] void bad(const std::string& why) {
    throw BadBook{why};
}

// `object` has exactly these keys.
void keys(const Json& object, std::initializer_list<std::string_view> names, const std::string& where) {
    if (!object.is_object())
        bad(where + " is not an object");
    for (const auto& [key, value] : object.items())
        if (std::find(names.begin(), names.end(), key) == names.end())
            bad(where + " has an unknown field \"" + key + "\"");
    for (std::string_view name : names)
        if (!object.contains(name))
            bad(where + " has no \"" + std::string(name) + "\"");
}

int64_t integer(const Json& object, const char* key, int64_t lo, int64_t hi, const std::string& where) {
    const Json& v = object.at(key);
    const std::string what = where + " \"" + key + "\"";
    if (!v.is_number_integer())
        bad(what + " is not a whole number");
    // Compared unsigned first: a large one may not fit int64.
    const bool huge = v.is_number_unsigned() && v.get<uint64_t>() > static_cast<uint64_t>(hi);
    if (huge || v.get<int64_t>() < lo || v.get<int64_t>() > hi)
        bad(what + " is " + v.dump() + ", outside " + std::to_string(lo) + " to " + std::to_string(hi));
    return v.get<int64_t>();
}

Date date(const Json& v, const std::string& what) {
    const std::optional<Date> d = v.is_string() ? Date::parse(v.get<std::string>()) : std::nullopt;
    if (!d)
        bad(what + " is not a date (YYYY-MM-DD)");
    return *d;
}

int spot(const Json& v, const std::string& what) {
    for (int i = 0; i < kSpotCount; ++i)
        if (v.is_string() && v.get<std::string>() == spotName(i))
            return i;
    bad(what + " is not a spot's name");
}

Json recordJson(const Record& r) {
    return Json{{"weight", r.weight},
                {"length", r.length},
                {"spot", std::string(spotName(r.spot))},
                {"date", r.date.text()}};
}

Record readRecord(const Json& v, const std::string& where, std::initializer_list<std::string_view> names) {
    keys(v, names, where);
    return Record{static_cast<int32_t>(integer(v, "weight", 0, kMaxMeasure, where)),
                  static_cast<int32_t>(integer(v, "length", 0, kMaxMeasure, where)),
                  spot(v.at("spot"), where + " \"spot\""), date(v.at("date"), where + " \"date\"")};
}

std::optional<Record> optionalRecord(const Json& v, const std::string& where) {
    if (v.is_null())
        return std::nullopt;
    return readRecord(v, where, {"weight", "length", "spot", "date"});
}

CatchBook readBook(const Json& root) {
    keys(root, {"version", "games", "landed", "bestGame", "heaviest", "species"}, "the book");
    const Json& version = root.at("version");
    if (version.is_number_unsigned() && version.get<uint64_t>() > kVersion)
        bad("it is of version " + version.dump() + ", newer than this game reads");
    integer(root, "version", kVersion, kVersion, "the book");

    CatchBook book;
    book.games = integer(root, "games", 0, kMaxCount, "the book");
    book.landed = integer(root, "landed", 0, kMaxCount, "the book");
    const Json& species = root.at("species");
    if (!species.is_array() || species.size() != kSpecies.size())
        bad("\"species\" is not a list of the " + std::to_string(kSpeciesCount) + " species");
    int64_t sum = 0;
    for (int i = 0; i < kSpeciesCount; ++i) {
        const Json& entry = species[static_cast<size_t>(i)];
        const std::string where = "species " + std::to_string(i);
        keys(entry, {"name", "landed", "heaviest", "longest", "first"}, where);
        if (entry.at("name") != std::string(kSpecies[static_cast<size_t>(i)].name))
            bad(where + " is not named \"" + std::string(kSpecies[static_cast<size_t>(i)].name) + "\"");
        SpeciesPage& page = book.species[static_cast<size_t>(i)];
        page.landed = integer(entry, "landed", 0, kMaxCount, where);
        page.heaviest = optionalRecord(entry.at("heaviest"), where + " \"heaviest\"");
        page.longest = optionalRecord(entry.at("longest"), where + " \"longest\"");
        if (!entry.at("first").is_null())
            page.first = date(entry.at("first"), where + " \"first\"");
        if ((page.landed > 0) != (page.heaviest && page.longest && page.first) ||
            (page.landed == 0 && (page.heaviest || page.longest || page.first)))
            bad(where + " has records that do not match its count");
        if (page.landed > 0 &&
            (page.heaviest->weight < page.longest->weight || page.longest->length < page.heaviest->length))
            bad(where + " has a heaviest fish that is lighter, or a longest that is shorter, than another");
        sum += page.landed;
    }
    if (std::min(sum, kMaxCount) != book.landed)
        bad("\"landed\" is not the sum of the species' counts");

    if (const Json& best = root.at("bestGame"); !best.is_null()) {
        keys(best, {"weight", "count", "spot", "date"}, "\"bestGame\"");
        // Not bound by "landed": a game is counted whole even when the book
        // missed one of its fish.
        const int64_t count = integer(best, "count", 1, kMaxCount, "\"bestGame\"");
        book.bestGame = BestGame{integer(best, "weight", 0, count * kMaxMeasure, "\"bestGame\""), count,
                                 spot(best.at("spot"), "\"bestGame\" \"spot\""),
                                 date(best.at("date"), "\"bestGame\" \"date\"")};
        if (book.games == 0)
            bad("\"bestGame\" is there but no game was finished");
    }

    if (const Json& heaviest = root.at("heaviest"); !heaviest.is_null()) {
        const HeaviestFish fish{
            static_cast<int>(integer(heaviest, "species", 0, kSpeciesCount - 1, "\"heaviest\"")),
            readRecord(heaviest, "\"heaviest\"", {"species", "name", "weight", "length", "spot", "date"})};
        if (heaviest.at("name") != std::string(kSpecies[static_cast<size_t>(fish.species)].name))
            bad("\"heaviest\" names another species than its number");
        book.heaviest = fish;
    }
    // The heaviest fish ever is the heaviest of its own species, and no
    // species holds a heavier one.
    int32_t most = -1;
    for (const SpeciesPage& page : book.species)
        if (page.heaviest)
            most = std::max(most, page.heaviest->weight);
    if (book.heaviest.has_value() != (book.landed > 0) ||
        (book.heaviest &&
         (book.species[static_cast<size_t>(book.heaviest->species)].heaviest != book.heaviest->record ||
          book.heaviest->record.weight != most)))
        bad("\"heaviest\" is not the heaviest fish of the species");
    return book;
}

}  // namespace

std::optional<Date> Date::parse(std::string_view text) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-')
        return std::nullopt;
    int parts[3] = {0, 0, 0};
    const size_t starts[3] = {0, 5, 8}, widths[3] = {4, 2, 2};
    for (int p = 0; p < 3; ++p)
        for (size_t i = starts[p]; i < starts[p] + widths[p]; ++i) {
            if (text[i] < '0' || text[i] > '9')
                return std::nullopt;
            parts[p] = parts[p] * 10 + (text[i] - '0');
        }
    const Date d{parts[0], parts[1], parts[2]};
    return d.valid() ? std::optional<Date>(d) : std::nullopt;
}

std::string Date::text() const {
    char out[32];
    std::snprintf(out, sizeof out, "%04d-%02d-%02d", year, month, day);
    return out;
}

bool Date::valid() const {
    return year >= 1970 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 &&
           day <= daysIn(year, month);
}

std::string_view spotName(int spot) {
    return kSpots.at(static_cast<size_t>(spot)).name;
}

Change CatchBook::land(int speciesIndex, int32_t weight, int32_t length, int spot, const Date& date) {
    require(speciesIndex >= 0 && speciesIndex < kSpeciesCount, "species " + std::to_string(speciesIndex));
    checkFish(weight, length, spot, date);
    const Record fish{weight, length, spot, date};
    SpeciesPage& page = species[static_cast<size_t>(speciesIndex)];
    Change change;
    change.species = speciesIndex;
    change.newSpecies = page.landed == 0;
    if (change.newSpecies)
        page.first = date;
    change.heaviest = !page.heaviest || weight > page.heaviest->weight;
    if (change.heaviest)
        page.heaviest = fish;
    change.longest = !page.longest || length > page.longest->length;
    if (change.longest)
        page.longest = fish;
    change.heaviestEver = !heaviest || weight > heaviest->record.weight;
    if (change.heaviestEver)
        heaviest = HeaviestFish{speciesIndex, fish};
    page.landed = std::min(page.landed + 1, kMaxCount);
    landed = std::min(landed + 1, kMaxCount);
    return change;
}

Change CatchBook::finishGame(int64_t totalWeight, int64_t count, int spot, const Date& date) {
    require(count >= 0 && count <= kMaxCount, "count " + std::to_string(count));
    require(totalWeight >= 0 && totalWeight <= count * kMaxMeasure,
            "total weight " + std::to_string(totalWeight));
    checkFish(0, 0, spot, date);
    games = std::min(games + 1, kMaxCount);
    Change change;
    change.bestGame = count > 0 && (!bestGame || totalWeight > bestGame->weight);
    if (change.bestGame)
        bestGame = BestGame{totalWeight, count, spot, date};
    return change;
}

Change CatchBook::apply(const Event& event, const Date& date) {
    if (const Landing* fish = std::get_if<Landing>(&event))
        return land(fish->species, fish->weight, fish->length, fish->spot, date);
    const FinishedGame& game = std::get<FinishedGame>(event);
    return finishGame(game.weight, game.count, game.spot, date);
}

std::string toJson(const CatchBook& book) {
    Json species = Json::array();
    for (size_t i = 0; i < kSpecies.size(); ++i) {
        const SpeciesPage& page = book.species[i];
        species.push_back(Json{{"name", std::string(kSpecies[i].name)},
                               {"landed", page.landed},
                               {"heaviest", page.heaviest ? recordJson(*page.heaviest) : Json()},
                               {"longest", page.longest ? recordJson(*page.longest) : Json()},
                               {"first", page.first ? Json(page.first->text()) : Json()}});
    }
    Json best;
    if (book.bestGame)
        best = Json{{"weight", book.bestGame->weight},
                    {"count", book.bestGame->count},
                    {"spot", std::string(spotName(book.bestGame->spot))},
                    {"date", book.bestGame->date.text()}};
    Json heaviest;
    if (book.heaviest) {
        heaviest = Json{{"species", book.heaviest->species},
                        {"name", std::string(kSpecies[static_cast<size_t>(book.heaviest->species)].name)}};
        heaviest.update(recordJson(book.heaviest->record));
    }
    const Json root{{"version", kVersion}, {"games", book.games},  {"landed", book.landed},
                    {"bestGame", best},    {"heaviest", heaviest}, {"species", species}};
    return root.dump(2, ' ', false) + "\n";
}

ReadResult fromJson(std::string_view text) {
    if (text.size() > kMaxBookBytes)
        return {std::nullopt,
                "it is larger than any catch book (over " + std::to_string(kMaxBookBytes >> 20) + " MB)"};
    try {
        return {readBook(Json::parse(text)), {}};
    } catch (const Json::parse_error& e) {
        return {std::nullopt, "it is not complete JSON (the text breaks off or goes wrong at byte " +
                                  std::to_string(e.byte) + ")"};
    } catch (const BadBook& e) {
        return {std::nullopt, e.why};
    } catch (const Json::exception& e) {
        return {std::nullopt, std::string("it could not be read (") + e.what() + ")"};
    }
}

}  // namespace mogumo::book
