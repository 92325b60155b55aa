#pragma once

#include <QFont>
#include <QString>
#include <optional>
#include <string_view>

#include "core/control.h"

namespace mogumo {

// Turns the game's fonts into Qt fonts. The game names Japanese Windows
// families; where those are not installed, the IPA fonts of the same cut
// stand in (proportional gothic, fixed gothic, proportional mincho).
class FontMap {
public:
    // The installed family for a font name of the game.
    static QString family(std::string_view gameFamily);

    // The font of a control: its own, else the screen's, else IPAPGothic 9 pt.
    static QFont fontFor(const std::optional<Font>& own, const std::optional<Font>& screenFont);

    static QFont toQFont(const Font& font);
};

}  // namespace mogumo
