#include "platform/qt/command_line.h"

#include <cstdlib>
#include <string_view>

#ifdef MOGUMO_HAVE_XCB
#include <xcb/xcb.h>
#endif

namespace mogumo {

namespace {

struct QtOption {
    std::string_view name;
    bool takesValue;
};

constexpr QtOption kQtOptions[] = {
    {"platform", true},
    {"platformpluginpath", true},
    {"platformtheme", true},
    {"plugin", true},
    {"qwindowgeometry", true},
    {"qwindowtitle", true},
    {"qwindowicon", true},
    {"style", true},
    {"stylesheet", true},
    {"session", true},
    {"display", true},
    {"geometry", true},
    {"name", true},
    {"title", true},
    {"reverse", false},
    {"widgetcount", false},
    {"sync", false},
    {"nograb", false},
    {"dograb", false},
    {"visual", true},
};

const QtOption* qtOption(std::string_view arg) {
    if (!arg.starts_with("-") || arg.starts_with("--"))
        return nullptr;
    for (const QtOption& o : kQtOptions)
        if (arg.substr(1) == o.name)
            return &o;
    return nullptr;
}

}  // namespace

std::string usageText() {
    return "Usage: mogumo [options]\n"
           "Mogumo — 釣りゲーム (a fishing game)\n"
           "\n"
           "Options:\n"
           "  -h, --help       Displays help on commandline options.\n"
           "  -v, --version    Displays version information.\n"
           "  --record <FILE>  Write the game as it is played to FILE, a script that\n"
           "                   mogumo-sim replays exactly.\n"
           "  --replay <FILE>  Play the script in FILE back in the windows at real speed;\n"
           "                   only F1 and the close box answer.\n"
           "  --lang <ja|en>   Show the game in Japanese or English (by default as the\n"
           "                   locale says: LANGUAGE, LC_ALL, LC_MESSAGES, LANG).\n"
           "  --catch-book <FILE>\n"
           "                   Keep the catch book (F2) in FILE instead of\n"
           "                   $XDG_DATA_HOME/mogumo/catch-book.json.\n"
           "  --no-catch-book  Keep no catch book.\n";
}

CommandLine readCommandLine(int argc, char** argv) {
    CommandLine line;
    auto fail = [&line](std::string message) {
        line.action = CommandLine::Action::Error;
        line.error = std::move(message);
        return line;
    };
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "-h" || arg == "--help" || arg == "-help") {
            line.action = CommandLine::Action::Help;
            return line;
        }
        if (arg == "-v" || arg == "--version") {
            line.action = CommandLine::Action::Version;
            return line;
        }
        if (arg == "--no-catch-book") {
            line.noCatchBook = true;
            continue;
        }
        for (const std::string_view name :
             {std::string_view("record"), std::string_view("replay"), std::string_view("catch-book")}) {
            const std::string flag = "--" + std::string(name);
            std::optional<std::string> value;
            if (arg == flag) {
                if (i + 1 >= argc)
                    return fail("missing value after " + flag);
                value = argv[++i];
            } else if (arg.starts_with(flag + "=")) {
                value = std::string(arg.substr(flag.size() + 1));
            } else {
                continue;
            }
            if (value->empty())
                return fail(flag + " needs a file name");
            (name == "record"   ? line.record
             : name == "replay" ? line.replay
                                : line.catchBook) = std::move(value);
            goto next;
        }
        if (arg == "--lang" || arg.starts_with("--lang=")) {
            std::string_view value;
            if (arg != "--lang")
                value = arg.substr(7);
            else if (i + 1 < argc)
                value = argv[++i];
            else
                return fail("missing value after --lang");
            if (value != "ja" && value != "en")
                return fail("--lang takes ja or en, not '" + std::string(value) + "'");
            line.language = value == "ja" ? Language::Japanese : Language::English;
            continue;
        }
        // Qt's own options (-platform NAME, -reverse ...) are the application's business.
        if (const QtOption* qt = qtOption(arg)) {
            if (qt->takesValue && ++i >= argc)
                return fail("missing value after " + std::string(arg));
            continue;
        }
        return fail((arg.starts_with("-") ? "unknown option " : "unexpected argument ") + std::string(arg) +
                    " (see --help)");
    next:;
    }
    if (line.record && line.replay)
        return fail("--record and --replay cannot be used together");
    if (line.catchBook && line.noCatchBook)
        return fail("--catch-book and --no-catch-book cannot be used together");
    return line;
}

bool displayReachable(std::string& why) {
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (platform && std::string_view(platform) != "xcb")
        return true;  // offscreen, wayland ...: the platform plugin says
#ifdef MOGUMO_HAVE_XCB
    int screen = 0;
    xcb_connection_t* c = xcb_connect(nullptr, &screen);
    const bool ok = c && xcb_connection_has_error(c) == 0;
    // A reached display keeps this connection for the life of the game: an
    // X server that resets when its last client leaves (Xvfb, a bare xinit)
    // would otherwise still be resetting when Qt connects a moment later,
    // and Qt would find no display.
    static xcb_connection_t* kept = nullptr;
    if (ok && !kept)
        kept = c;
    else if (c)
        xcb_disconnect(c);
    if (!ok) {
        const char* display = std::getenv("DISPLAY");
        why = display && *display ? "cannot reach the display " + std::string(display) +
                                        ": the game needs a graphical desktop"
                                  : "no display (DISPLAY is not set): the game needs a graphical desktop";
    }
    return ok;
#else
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) {
        why = "no display (DISPLAY is not set): the game needs a graphical desktop";
        return false;
    }
    return true;
#endif
}

}  // namespace mogumo
