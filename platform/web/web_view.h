#pragma once

#include <string>

#include "ui/texts/english.h"

namespace mogumo {

namespace script {
class Play;
}
namespace book {
struct CatchBook;
}

// What the page draws, as JSON: every shown screen, each control's rectangle
// in pixels and the state that can change while the screen is loaded; the
// screen that has the keyboard; how often the help was asked for; whether a
// recorded game is watched, and why it stopped. The controls' texts are in
// `language`.
std::string viewJson(const script::Play& play, int helpRequests, Language language = Language::Japanese);

// What the page needs to know once (and again when the player changes the
// language): every screen's window, its caption in `language`, and controls
// as laid out, the keys the game takes and those a focused control keeps.
std::string factsJson(Language language = Language::Japanese);

// The catch book's window as the page shows it, its texts in `language`:
//   {"title": "釣果帳", "totals": [line, ...],
//    "rows": [{"landed": true, "name": "めでか ×2", "records": [line, line]},
//             {"landed": false, "name": "？？？", "records": []}, ... 41 rows]}
std::string bookViewJson(const book::CatchBook& book, Language language = Language::Japanese);

}  // namespace mogumo
