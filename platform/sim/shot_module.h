#pragma once

#include "script/session.h"

namespace mogumo {

// The `shot` command's renderer for mogumo-sim: the desktop game's own
// painter, brought in on the first `shot`, so that a script without one never
// loads a GUI library. An empty renderer where the build has no painter.
script::ShotRenderer shotFromModule(int argc, char** argv);

}  // namespace mogumo
