#pragma once

#include "core/screen.h"
#include "ui/layouts/layouts.h"

namespace mogumo {

// Form7: the battle splash above the fight. It has no behaviour of its own:
// the battle screen puts the angler's picture on it and takes it away.
class SplashScreen : public Screen {
public:
    static constexpr FormId kId = FormId::Form7;
    explicit SplashScreen(ScreenSet& screens) : Screen(screens, layoutOf(kId)) {}
};

}  // namespace mogumo
