#pragma once

#include <QFont>
#include <QList>
#include <QString>
#include <QTextLayout>
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

    // The font of a control: its own, else the screen's, else IPAPGothic 9 pt,
    // for a device of the given pixel ratio. Small text is fully hinted, so
    // that its stems sit on whole pixels.
    static QFont fontFor(const std::optional<Font>& own, const std::optional<Font>& screenFont,
                         qreal devicePixelRatio = 1.0);

    static QFont toQFont(const Font& font, qreal devicePixelRatio = 1.0);

    // The stand-in fixed gothic draws "m" and "M" as grey bars at small
    // sizes: their three stems do not fit its 6-pixel half-width cell. There
    // a well-hinted fixed face lends those two letters, a pixel wider. The
    // runs of the text it draws, empty where nothing is lent.
    static QList<QTextLayout::FormatRange> lentLetters(const QString& text, const QFont& font,
                                                       qreal devicePixelRatio);
};

}  // namespace mogumo
