// mogumo-sim: replays a script of clicks, keys and timer runs on a virtual
// clock and dumps the game's state. See docs/sim-protocol in the README.

#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "platform/sim/script.h"
#ifdef MOGUMO_WITH_QT
#include "platform/qt/shot.h"
#endif

// Reads to the end, or only until a line has grown longer than a script line
// may be: endless input without a line break then ends in the reader's error
// for that line instead of exhausting the memory.
static void readScript(std::istream& in, std::string& script) {
    char buf[65536];
    while (in.read(buf, sizeof buf) || in.gcount() > 0) {
        script.append(buf, static_cast<size_t>(in.gcount()));
        const size_t lastBreak = script.rfind('\n');
        const size_t lineStart = lastBreak == std::string::npos ? 0 : lastBreak + 1;
        if (script.size() - lineStart > mogumo::kMaxScriptLine + 4)  // + a byte-order mark and a CR
            break;
    }
}

int main(int argc, char** argv) {
    if (argc > 2) {
        std::cerr << "usage: mogumo-sim [SCRIPT]\n";
        return 1;
    }
    std::string script;
    if (argc == 2) {
        std::ifstream in(argv[1], std::ios::binary);
        if (!in) {
            std::cerr << "mogumo-sim: cannot read " << argv[1] << '\n';
            return 1;
        }
        readScript(in, script);
    } else {
        readScript(std::cin, script);
    }
    mogumo::ShotRenderer shot;
#ifdef MOGUMO_WITH_QT
    shot = mogumo::qtShotRenderer(argc, argv);
#endif
    std::string error;
    const int status = mogumo::runScript(script, std::cout, error, shot);
    std::cout.flush();
    if (status != 0)
        std::cerr << error << '\n';
    return status;
}
