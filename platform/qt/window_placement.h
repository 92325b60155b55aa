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
// top frame. Rectangles are in the game's logical pixels; frames in device
// pixels, as the window system draws them whatever the scale, which is the
// number of device pixels to a logical one. Where the frames come to a
// fraction of a logical pixel, the lower window rather covers the last
// device pixel of the upper frame than leaves a gap.
QPoint stackedClientPos(const QRect& upperClient, const QPoint& lowerLaidOut, const QMargins& upperFrame,
                        const QMargins& lowerFrame, qreal scale = 1.0);

// A screen's client area as laid out, in logical pixels.
QRect laidOutClient(FormId form);

}  // namespace WindowPlacement

}  // namespace mogumo
