#include "platform/qt/window_placement.h"

#include <cmath>

namespace mogumo::WindowPlacement {

std::optional<FormId> upperOf(FormId lower) {
    switch (lower) {
        case FormId::Form6: return FormId::Form5;  // the lure screen under the cast screen
        case FormId::Form8: return FormId::Form7;  // the battle screen under the splash
        default: return std::nullopt;
    }
}

QPoint stackedClientPos(const QRect& upperClient, const QPoint& lowerLaidOut, const QMargins& upperFrame,
                        const QMargins& lowerFrame, qreal scale) {
    const int upperBottom = upperClient.y() + upperClient.height();
    const int between = upperFrame.bottom() + lowerFrame.top();
    const int logical = scale > 0 ? static_cast<int>(std::floor(between / scale)) : between;
    return {lowerLaidOut.x(), upperBottom + logical};
}

QRect laidOutClient(FormId form) {
    const ScreenLayout& l = layoutOf(form);
    return {l.clientLeft / 15, l.clientTop / 15, l.clientWidth / 15, l.clientHeight / 15};
}

}  // namespace mogumo::WindowPlacement
