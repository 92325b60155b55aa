// mogumo-sim: replays a script of clicks, keys and timer runs on a virtual
// clock and dumps the game's state.
//
// Exit status: 0 when every line ran, 2 when a line could not be carried out
// (or the game itself failed on it), 1 for anything else: bad arguments, a
// script that cannot be read, dumps that cannot be written.

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <iostream>
#include <sstream>
#include <string>

#include "platform/sim/script.h"
#ifdef MOGUMO_WITH_QT
#include "platform/qt/shot.h"
#endif

namespace {

// Reads all of `file`; on failure returns false with the reason in `error`.
// Reading stops once a line has grown longer than a script line may be:
// endless input without a line break (/dev/zero) then ends in the reader's
// error for that line instead of exhausting the memory.
bool readAll(std::FILE* file, std::string& script, std::string& error) {
    char buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, file)) > 0) {
        script.append(buf, n);
        const size_t lastBreak = script.rfind('\n');
        const size_t lineStart = lastBreak == std::string::npos ? 0 : lastBreak + 1;
        if (script.size() - lineStart > mogumo::kMaxScriptLine + 4)  // + a byte-order mark and a CR
            break;
    }
    if (std::ferror(file)) {
        error = std::strerror(errno);
        return false;
    }
    return true;
}

bool readScript(const char* path, std::string& script, std::string& error) {
    if (!path)
        return readAll(stdin, script, error);
    // A directory opens fine and only fails on reading: name it plainly.
    std::error_code ignored;
    if (std::filesystem::is_directory(path, ignored)) {
        error = "is a directory";
        return false;
    }
    std::FILE* file = std::fopen(path, "rb");
    if (!file) {
        error = std::strerror(errno);
        return false;
    }
    const bool ok = readAll(file, script, error);
    std::fclose(file);
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 2 || (argc == 2 && argv[1][0] == '\0')) {
        std::cerr << "usage: mogumo-sim [SCRIPT]\n";
        return 1;
    }
    const char* path = argc == 2 ? argv[1] : nullptr;
    std::string script;
    if (std::string why; !readScript(path, script, why)) {
        std::cerr << "mogumo-sim: cannot read " << (path ? path : "standard input") << ": " << why << '\n';
        return 1;
    }
    mogumo::ShotRenderer shot;
#ifdef MOGUMO_WITH_QT
    shot = mogumo::qtShotRenderer(argc, argv);
#endif
    std::string error;
    int status;
    try {
        status = mogumo::runScript(script, std::cout, error, shot);
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
