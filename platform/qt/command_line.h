#pragma once

#include <optional>
#include <string>

#include "ui/texts/english.h"

namespace mogumo {

// What `mogumo`'s command line asks for, read before the application (and a
// display) exists, so that --help and --version answer anywhere. File names
// are kept as the bytes they were given.
struct CommandLine {
    enum class Action { Play, Help, Version, Error };
    Action action = Action::Play;
    std::optional<std::string> record;
    std::optional<std::string> replay;
    std::optional<Language> language;  // --lang; else the system's (systemLanguage())
    // The catch book: --catch-book FILE, or none at all with --no-catch-book.
    std::optional<std::string> catchBook;
    bool noCatchBook = false;
    std::string error;  // for Action::Error
};

CommandLine readCommandLine(int argc, char** argv);

// The usage text, in the style of the game's other programs.
std::string usageText();

// Whether the window system the game would use can be reached; when it
// cannot, `why` says so in one line.
bool displayReachable(std::string& why);

}  // namespace mogumo
