#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "core/control.h"

namespace mogumo {

enum class FormId : int { Form1 = 0, Form2, Form3, Form4, Form5, Form6, Form7, Form8 };
inline constexpr int kFormCount = 8;

// The fixed design of one screen: its window and its controls, front to back.
// The help document's anchor at its contents.
inline constexpr std::string_view kHelpContents = "contents";

struct ScreenLayout {
    FormId id{};
    std::string_view formName{};  // "Form1" ...
    std::string_view caption{};
    int clientLeft = 0, clientTop = 0;  // twips from the desktop's top-left corner
    int clientWidth = 0, clientHeight = 0;
    std::optional<Colour> background{};
    std::optional<Font> screenFont{};
    std::string_view icon{};  // picture name, empty for the default icon
    bool enabled = true;
    std::vector<Control> controls{};

    // How the screen is played, for the hosts.
    // Played with the keyboard: none of its controls takes the focus, so
    // every key reaches the window (the lure and battle screens).
    bool playedByKeys = false;
    // Whether its window may ever have the keyboard (the battle splash never).
    bool takesKeys = true;
    // Whether it is ever shown (the picture store never is).
    bool everShown = true;
    // The screen whose window lies directly above this one's, the two read
    // as one scene (the lure screen under the cast screen, the battle under
    // the splash).
    std::optional<FormId> stackedUnder{};
    // The help's section on playing it, an anchor of the help document.
    std::string_view helpSection = kHelpContents;

    // Its client area on the desktop, in pixels.
    PixelRect clientPixels() const {
        constexpr int kPerPixel = static_cast<int>(kTwipsPerPixel);
        return {clientLeft / kPerPixel, clientTop / kPerPixel, clientWidth / kPerPixel,
                clientHeight / kPerPixel};
    }
};

}  // namespace mogumo
