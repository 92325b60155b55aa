// mogumo-sim: replays a script of clicks, keys and timer runs on a virtual
// clock and dumps the game's state, a line at a time as the script comes.
//
// Exit status: 0 when every line ran, 2 when a line could not be carried out
// (or the game itself failed on it), 1 for anything else: bad arguments, a
// script that cannot be read, dumps that cannot be written.

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

#include "platform/sim/shot_module.h"
#ifndef __EMSCRIPTEN__
#include "script/book_keeper.h"
#endif
#include "script/session.h"

namespace {

constexpr std::string_view kUsage =
    "Usage: mogumo-sim [options] [SCRIPT]\n"
    "Mogumo's headless simulator: runs a script of clicks, keys and timer runs on a virtual\n"
    "clock and writes the game's state as one line of JSON for each dump, as each line runs.\n"
    "\n"
    "Options:\n"
    "  -h, --help     Displays help on commandline options.\n"
    "  -v, --version  Displays version information.\n"
    "  --lang <ja|en> The language `shot` draws the screens' texts in (Japanese by default);\n"
    "                 the game and its dumps are the same in both.\n"
    "  --catch-book <FILE>\n"
    "                 Keep a catch book of the games the script plays in FILE: each\n"
    "                 landing and finished game is saved as it happens. Its troubles\n"
    "                 are said on standard error and change neither the dumps nor\n"
    "                 the exit status.\n"
    "  --             Ends the options: the next word is the script, whatever it looks like.\n"
    "\n"
    "Arguments:\n"
    "  SCRIPT         The script to run; standard input when none is named.\n";

// Writes `text` to standard output; false (after a message) when it cannot.
int answer(std::string_view text) {
    std::cout << text;
    std::cout.flush();
    if (!std::cout || std::fflush(stdout) != 0) {
        std::cerr << "mogumo-sim: cannot write to standard output: " << std::strerror(errno) << '\n';
        return 1;
    }
    return 0;
}

// Whether a reader waits at the other end: a pipe, a socket or a terminal.
bool interactive(int fd) {
    struct stat st {};
    return isatty(fd) || (fstat(fd, &st) == 0 && (S_ISFIFO(st.st_mode) || S_ISSOCK(st.st_mode)));
}

}  // namespace

int main(int argc, char** argv) {
    const char* path = nullptr;
    const char* bookPath = nullptr;
    bool optionsOver = false;
    mogumo::Language language = mogumo::Language::Japanese;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (!optionsOver && (arg == "-h" || arg == "--help"))
            return answer(kUsage);
        if (!optionsOver && (arg == "-v" || arg == "--version"))
            return answer("mogumo-sim " MOGUMO_VERSION "\n");
        if (!optionsOver && (arg == "--lang" || arg.starts_with("--lang="))) {
            const std::string_view value = arg != "--lang" ? arg.substr(7) : i + 1 < argc ? argv[++i] : "";
            if (value != "ja" && value != "en") {
                std::cerr << "mogumo-sim: --lang takes ja or en (see --help)\n";
                return 1;
            }
            language = value == "en" ? mogumo::Language::English : mogumo::Language::Japanese;
        } else if (!optionsOver && (arg == "--catch-book" || arg.starts_with("--catch-book="))) {
            bookPath = arg == "--catch-book" ? (i + 1 < argc ? argv[++i] : nullptr) : argv[i] + 13;
            if (!bookPath || !*bookPath) {
                std::cerr << "mogumo-sim: --catch-book needs a file name (see --help)\n";
                return 1;
            }
        } else if (!optionsOver && arg == "--") {
            optionsOver = true;
        } else if (!optionsOver && arg.size() > 1 && arg[0] == '-') {
            std::cerr << "mogumo-sim: unknown option " << arg << " (see --help)\n";
            return 1;
        } else if (path || arg.empty()) {
            std::cerr << "mogumo-sim: " << (arg.empty() ? "an empty script name" : "one script at most")
                      << " (see --help)\n";
            return 1;
        } else {
            path = argv[i];
        }
    }
    std::string why;
    const int fd = path ? mogumo::script::openScriptFile(path, why) : STDIN_FILENO;
    if (fd < 0) {
        std::cerr << "mogumo-sim: cannot read " << path << ": " << why << '\n';
        return 1;
    }

    mogumo::script::ScriptSession::Options options;
    options.shot = mogumo::shotFromModule(argc, argv, language);
    options.flushEachDump = interactive(STDOUT_FILENO);
#ifdef __EMSCRIPTEN__
    // The browser's game keeps its book in the page's storage, not in files.
    if (bookPath) {
        std::cerr << "mogumo-sim: --catch-book is not available in this build\n";
        return 1;
    }
#else
    std::optional<mogumo::book::BookKeeper> book;
    if (bookPath) {
        book.emplace(bookPath, [](mogumo::book::BookKeeper::Trouble, const std::string& detail) {
            std::cerr << "mogumo-sim: " << detail << '\n';
        });
        book->load();
        options.onEvent = [&book](const mogumo::Game& game) { book->observe(game); };
    }
#endif
    mogumo::script::LineReader in = mogumo::script::LineReader::fromFd(fd);
    std::string error;
    int status;
    try {
        status = mogumo::script::runScript(in, std::cout, error, std::move(options));
        std::cout.flush();
    } catch (const std::ios_base::failure&) {
        std::cerr << "mogumo-sim: cannot write the dumps to standard output: " << std::strerror(errno)
                  << '\n';
        return 1;
    } catch (const std::system_error& e) {
        std::cerr << "mogumo-sim: cannot read " << (path ? path : "standard input") << ": "
                  << e.code().message() << '\n';
        return 1;
    } catch (const std::exception& e) {
        // A fault of the game itself (a control its code names but its layout
        // lacks, a table read out of range): the run cannot go on.
        error = std::string("the game failed: ") + e.what();
        status = 2;
    }
    if (status != 0)
        std::cerr << error << '\n';
    // Dumps that never reached their reader must not pass for a good run.
    std::cout.flush();
    if (!std::cout || std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::cerr << "mogumo-sim: cannot write the dumps to standard output: " << std::strerror(errno)
                  << '\n';
        return 1;
    }
    return status;
}
