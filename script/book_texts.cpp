#include "script/book_texts.h"

namespace mogumo::book {

namespace {

std::string measure(const Record& r) {
    return std::to_string(r.weight) + "g " + std::to_string(r.length) + "mm " +
           std::string(spotName(r.spot)) + " " + r.date.text();
}

std::string name(size_t species) {
    return std::string(kSpecies[species].name);
}

}  // namespace

// Put together in the game's Japanese, then shown through the English table.
BookTexts bookTexts(const CatchBook& book, Language language) {
    const auto shown = [language](const std::string& japanese) { return shownText(language, japanese); };
    int kinds = 0;
    for (const SpeciesPage& page : book.species) kinds += page.landed > 0;
    BookTexts texts;
    texts.title = shown("釣果帳");
    texts.totals.push_back(
        shown("釣った回数: " + std::to_string(book.games) + "回　釣った魚: " + std::to_string(book.landed) +
              "匹　見つけた種類: " + std::to_string(kinds) + "/" + std::to_string(kSpecies.size())));
    texts.totals.push_back(shown(book.bestGame ? "最高の釣果: " + std::to_string(book.bestGame->weight) +
                                                     "g (" + std::to_string(book.bestGame->count) + "匹) " +
                                                     std::string(spotName(book.bestGame->spot)) + " " +
                                                     book.bestGame->date.text()
                                               : std::string("最高の釣果: まだありません")));
    texts.totals.push_back(shown(book.heaviest
                                     ? "一番重い魚: " + name(static_cast<size_t>(book.heaviest->species)) +
                                           " " + measure(book.heaviest->record)
                                     : std::string("一番重い魚: まだありません")));
    for (size_t i = 0; i < book.species.size(); ++i) {
        const SpeciesPage& page = book.species[i];
        BookTexts::Row& row = texts.rows[i];
        row.landed = page.landed > 0;
        if (!row.landed) {
            row.name = shown("？？？");
            continue;
        }
        row.name = shown(name(i) + " ×" + std::to_string(page.landed));
        row.records = {shown("重さ " + measure(*page.heaviest)),
                       shown("長さ " + measure(*page.longest) + "　初 " + page.first->text())};
    }
    return texts;
}

}  // namespace mogumo::book
