#pragma once

#include <QMargins>

class QWindow;

namespace mogumo {

// The frame the window system put round a shown window, in device pixels:
// on X11 as the window manager announces it, exact at any scale; elsewhere
// as Qt reports it, scaled back to device pixels. Zero without a frame.
QMargins deviceFrameMargins(const QWindow& window);

}  // namespace mogumo
