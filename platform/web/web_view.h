#pragma once

#include <string>

namespace mogumo {

namespace script {
class Play;
}

// What the page draws, as JSON: every shown screen, each control's rectangle
// in pixels and the state that can change while the screen is loaded; the
// screen that has the keyboard; how often the help was asked for; whether a
// recorded game is watched, and why it stopped.
std::string viewJson(const script::Play& play, int helpRequests);

// What the page needs to know once: every screen's window and controls as
// laid out, the keys the game takes and those a focused control keeps.
std::string factsJson();

}  // namespace mogumo
