#pragma once

namespace mogumo {

// Fontconfig reads its configuration and font caches once a process, and Qt
// then lists every installed font in its font database: more work than Qt
// takes to load its platform and reach the display. begin() starts both on a
// thread of its own at the top of main: fontconfig at once, the font
// database as soon as applicationReady() says the QGuiApplication is there.
// wait() lets the thread finish; FontMap calls it before its first font
// lookup, so the GUI thread finds the fonts listed.
//
// All three are for the GUI thread only. wait() must come before the
// QGuiApplication goes. Without fontconfig, or when begin() was never called,
// they do nothing and Qt sets its fonts up itself when first asked.
class FontSetup {
public:
    static void begin();
    static void applicationReady();
    static void wait();
};

}  // namespace mogumo
