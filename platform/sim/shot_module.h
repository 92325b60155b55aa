#pragma once

#include "script/session.h"
#include "ui/texts/english.h"

namespace mogumo {

// The `shot` command's renderer for mogumo-sim: the desktop game's own
// painter, brought in on the first `shot`, so that a script without one never
// loads a GUI library; the screens' texts drawn in `language`. An empty
// renderer where the build has no painter.
script::ShotRenderer shotFromModule(int argc, char** argv, Language language = Language::Japanese);

}  // namespace mogumo
