#pragma once

#include <memory>

#include "core/screen_set.h"

namespace mogumo {

// Creates the game's screen for a form; hand it to ScreenSet.
std::unique_ptr<Screen> makeScreen(ScreenSet& screens, FormId id);

}  // namespace mogumo
