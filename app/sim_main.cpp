// mogumo-sim: replays a script of clicks, keys and timer runs on a virtual
// clock and dumps the game's state. See docs/sim-protocol in the README.

#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>

#include "platform/sim/simulator.h"
#ifdef MOGUMO_WITH_QT
#include "platform/qt/shot.h"
#endif

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
        script.assign(std::istreambuf_iterator<char>(in), {});
    } else {
        script.assign(std::istreambuf_iterator<char>(std::cin), {});
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
