#pragma once

#include <span>
#include <string>
#include <string_view>

namespace mogumo {

// The language a player reads the game in. The game itself always writes
// Japanese: the model, the dumps and the records never change with it.
enum class Language { Japanese, English };

// The text a control shows a player of `language`, given the text the game
// wrote into it. Japanese shows it as written. English translates it a line at
// a time (lines end in "\n" or "\r\n", kept as they are): a fixed caption by
// the table, a line the game puts together from numbers and names by the
// table's patterns, the numbers carried over as written and the names of
// spots and species put into English. A line the table does not know is
// shown as the game wrote it.
std::string shownText(Language language, std::string_view gameText);

// One entry of the English table. In a pattern, slots stand for what the game
// fills in, and the English has the same slots in the same order:
//   {n}     a whole number ("-12", "00000250"), carried over
//   {x}     a decimal number ("333.333333333333"), carried over
//   {spot}  a spot's name, put into English
//   {fish}  a species' name, put into English
//   {log}   the catch log's name field (7 characters, padded with ideographic
//           spaces or cut), put into English padded with spaces to kLogNameColumns
//   {any}   any text, carried over (a file name, an error message)
struct TextPair {
    std::string_view japanese;
    std::string_view english;
};

struct EnglishTable {
    std::span<const TextPair> lines;     // fixed lines: captions, labels, buttons, titles, the hosts' texts
    std::span<const TextPair> patterns;  // lines with slots, tried in order
    std::span<const TextPair> spots;     // in the order of the spot table
    std::span<const TextPair> species;   // in the order of the species catalogue
};
const EnglishTable& englishTable();

// The English name field of the results report holds the longest species name.
inline constexpr size_t kLogNameColumns = 19;

// Whether UTF-8 text has anything of the Japanese scripts: kana, kanji,
// Japanese punctuation (the ideographic space too) or full-width forms.
bool hasJapaneseScript(std::string_view utf8);

}  // namespace mogumo
