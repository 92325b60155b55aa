#include "platform/qt/window_placement.h"

#include <cmath>

#include "ui/layouts/layouts.h"

namespace mogumo::WindowPlacement {

std::optional<FormId> upperOf(FormId lower) {
    return layoutOf(lower).stackedUnder;
}

QPoint stackedClientPos(const QRect& upperClient, const QPoint& lowerLaidOut, const QMargins& upperFrame,
                        const QMargins& lowerFrame, qreal scale) {
    const int upperBottom = upperClient.y() + upperClient.height();
    const int between = upperFrame.bottom() + lowerFrame.top();
    const int logical = scale > 0 ? static_cast<int>(std::floor(between / scale)) : between;
    return {lowerLaidOut.x(), upperBottom + logical};
}

QRect laidOutClient(FormId form) {
    const PixelRect r = layoutOf(form).clientPixels();
    return {r.x, r.y, r.width, r.height};
}

}  // namespace mogumo::WindowPlacement
