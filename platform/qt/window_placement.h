#pragma once

#include <QMargins>
#include <QPoint>
#include <QRect>
#include <optional>

#include "core/layout.h"

namespace mogumo {

// Where the game's windows go on the desktop.
//
// Two pairs of screens read as one scene: the cast screen above the lure
// screen and the battle splash above the battle screen. The layouts leave a
// gap between their client areas that is just the frames of a particular
// desktop; on any other the lower window has to be moved so that it sits
// right under the upper window's frame, or a strip of the desktop (or of the
// upper window) shows between them.
namespace WindowPlacement {

// The screen that lies directly above a screen, if it is the lower one of a
// pair.
std::optional<FormId> upperOf(FormId lower);

// The client position of the lower window of a pair: its left edge as laid
// out, its client top just under the upper window's bottom frame and its own
// top frame. Frames are as the window system reports them, in the same
// logical pixels as the rectangles.
QPoint stackedClientPos(const QRect& upperClient, const QPoint& lowerLaidOut, const QMargins& upperFrame,
                        const QMargins& lowerFrame);

// A screen's client area as laid out, in logical pixels.
QRect laidOutClient(FormId form);

}  // namespace WindowPlacement

}  // namespace mogumo
