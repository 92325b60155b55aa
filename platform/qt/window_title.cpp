#include "platform/qt/window_title.h"

#include <QEvent>
#include <QGuiApplication>
#include <QWidget>

#ifdef MOGUMO_HAVE_XCB
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#endif

namespace mogumo {

#ifdef MOGUMO_HAVE_XCB
namespace {

// UTF8_STRING rather than COMPOUND_TEXT: xprop, xdotool and the other Xlib
// readers decode it in any locale exactly as they decode _NET_WM_NAME, and
// the many window managers that take the property's bytes as they are show
// it right on a UTF-8 desktop. Compound text would need Xlib's charset
// tables, and xprop in the C locale prints it as escape sequences.
class LegacyTitle : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        // Qt has written its own WM_NAME by the time either arrives: when it
        // created the native window before the first Show, and in
        // setWindowTitle before the change is announced.
        if ((event->type() == QEvent::Show || event->type() == QEvent::WindowTitleChange) &&
            watched->isWidgetType() && static_cast<QWidget*>(watched)->isWindow())
            write(*static_cast<QWidget*>(watched));
        return false;
    }

private:
    static void write(const QWidget& window) {
        const WId id = window.internalWinId();
        auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
        xcb_connection_t* c = x11 ? x11->connection() : nullptr;
        if (!id || !c)
            return;
        // One round trip a process, at the first window shown.
        static const xcb_atom_t utf8String = [c] {
            static constexpr char kName[] = "UTF8_STRING";
            xcb_intern_atom_reply_t* atom =
                xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, std::strlen(kName), kName), nullptr);
            const xcb_atom_t a = atom ? atom->atom : xcb_atom_t{XCB_ATOM_NONE};
            std::free(atom);
            return a;
        }();
        if (utf8String == XCB_ATOM_NONE)
            return;
        const QByteArray title = window.windowTitle().toUtf8();
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, static_cast<xcb_window_t>(id), XCB_ATOM_WM_NAME,
                            utf8String, 8, static_cast<uint32_t>(title.size()), title.constData());
    }
};

}  // namespace
#endif

void keepLegacyTitlesReadable() {
#ifdef MOGUMO_HAVE_XCB
    static bool installed = false;
    if (!installed && qApp && QGuiApplication::platformName() == QLatin1String("xcb")) {
        installed = true;
        qApp->installEventFilter(new LegacyTitle(qApp));
    }
#endif
}

}  // namespace mogumo
