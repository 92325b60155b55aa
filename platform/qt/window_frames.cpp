#include "platform/qt/window_frames.h"

#include <QGuiApplication>
#include <QWindow>
#include <cmath>
#include <optional>

#ifdef MOGUMO_HAVE_XCB
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#endif

namespace mogumo {

namespace {

#ifdef MOGUMO_HAVE_XCB
// _NET_FRAME_EXTENTS: left, right, top, bottom. Qt reports them in logical
// pixels, rounded, which at scale 2 can put a one-pixel seam between the
// stacked windows.
std::optional<QMargins> announcedExtents(const QWindow& window) {
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* c = x11 ? x11->connection() : nullptr;
    if (!c)
        return std::nullopt;
    static constexpr char kName[] = "_NET_FRAME_EXTENTS";
    xcb_intern_atom_reply_t* atom =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 1, std::strlen(kName), kName), nullptr);
    if (!atom)
        return std::nullopt;
    const xcb_atom_t name = atom->atom;
    std::free(atom);
    if (name == XCB_ATOM_NONE)
        return std::nullopt;
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        c, xcb_get_property(c, 0, static_cast<xcb_window_t>(window.winId()), name, XCB_ATOM_CARDINAL, 0, 4),
        nullptr);
    if (!reply)
        return std::nullopt;
    std::optional<QMargins> extents;
    if (reply->format == 32 && xcb_get_property_value_length(reply) == 16) {
        const auto* v = static_cast<const uint32_t*>(xcb_get_property_value(reply));
        extents = QMargins(static_cast<int>(v[0]), static_cast<int>(v[2]), static_cast<int>(v[1]),
                           static_cast<int>(v[3]));
    }
    std::free(reply);
    return extents;
}
#endif

}  // namespace

QMargins deviceFrameMargins(const QWindow& window) {
#ifdef MOGUMO_HAVE_XCB
    if (QGuiApplication::platformName() == QLatin1String("xcb"))
        if (const std::optional<QMargins> extents = announcedExtents(window))
            return *extents;
#endif
    const QMargins m = window.frameMargins();
    const qreal s = window.devicePixelRatio();
    const auto dev = [s](int v) { return static_cast<int>(std::lround(v * s)); };
    return {dev(m.left()), dev(m.top()), dev(m.right()), dev(m.bottom())};
}

}  // namespace mogumo
