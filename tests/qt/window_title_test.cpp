// WM_NAME, the title older window managers and tools read, as the X server
// holds it. ctest runs this under a virtual X server in the C locale
// (qt.window_title_x11); on any other platform it is skipped.

#include "platform/qt/window_title.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QWidget>

#ifdef MOGUMO_HAVE_XCB
#include <xcb/xcb.h>

#include <cstdlib>
#include <string>
#include <utility>
#endif

namespace mogumo {
namespace {

#ifdef MOGUMO_HAVE_XCB
using Property = std::pair<std::string, std::string>;  // type, bytes

// Read on the connection Qt wrote it on.
Property wmName(const QWidget& w) {
    xcb_connection_t* c = qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->connection();
    xcb_get_property_reply_t* p = xcb_get_property_reply(
        c,
        xcb_get_property(c, 0, static_cast<xcb_window_t>(w.winId()), XCB_ATOM_WM_NAME, XCB_ATOM_ANY, 0, 1024),
        nullptr);
    Property result;
    if (p) {
        xcb_get_atom_name_reply_t* n = xcb_get_atom_name_reply(c, xcb_get_atom_name(c, p->type), nullptr);
        if (n)
            result.first.assign(xcb_get_atom_name_name(n), xcb_get_atom_name_name_length(n));
        result.second.assign(static_cast<const char*>(xcb_get_property_value(p)),
                             xcb_get_property_value_length(p));
        std::free(n);
    }
    std::free(p);
    return result;
}
#endif

// Qt writes a Japanese caption there in the locale's encoding, Latin-1
// mojibake under LANG=C; it must stay the caption, as UTF-8, when the window
// is first shown and after it is retitled.
TEST(WindowTitle, LegacyNameIsTheCaptionInAnyLocale) {
#ifdef MOGUMO_HAVE_XCB
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        GTEST_SKIP() << "needs X11";
    keepLegacyTitlesReadable();
    QWidget w;
    w.setWindowTitle(QStringLiteral("タイトル(ヘルプは Ｆ１ ででるよ)"));
    w.show();
    EXPECT_EQ(wmName(w), Property("UTF8_STRING", "タイトル(ヘルプは Ｆ１ ででるよ)"));
    w.setWindowTitle(QStringLiteral("Mogumo野郎 ヘルプ"));
    EXPECT_EQ(wmName(w), Property("UTF8_STRING", "Mogumo野郎 ヘルプ"));
#else
    GTEST_SKIP() << "built without xcb";
#endif
}

}  // namespace
}  // namespace mogumo
