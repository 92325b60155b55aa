#pragma once

#include <array>
#include <string>
#include <vector>

#include "script/catch_book.h"
#include "ui/texts/english.h"

namespace mogumo::book {

// What a catch book says on screen, in the player's language, the same on
// the desktop and in the page: the totals a line each, then each of the 41
// creatures in catalogue order (its name and count and its records, or
// ？？？ for one never landed).
struct BookTexts {
    struct Row {
        bool landed = false;
        std::string name;
        std::vector<std::string> records;  // the heaviest, then the longest and the first day
    };
    std::string title;
    std::vector<std::string> totals;
    std::array<Row, kSpecies.size()> rows;
};

BookTexts bookTexts(const CatchBook& book, Language language);

}  // namespace mogumo::book
