// libFuzzer target: any bytes as a mogumo-sim script. The reader and the game
// behind it must never crash, hang or run out of memory, and a script that
// cannot run must stop with status 2 and "line N: reason", N one of its lines.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <string_view>

#include "script/session.h"

namespace {

// Virtual time a script may ask `run` for. Above it a script is skipped: a
// run of days on a 1 ms timer is slow, not wrong.
constexpr uint64_t kMostRunMs = 120000;

bool plainDigits(std::string_view w) {
    return !w.empty() && w.find_first_not_of("0123456789") == std::string_view::npos;
}

uint64_t runMs(std::string_view script) {
    if (script.substr(0, 3) == "\xEF\xBB\xBF")
        script.remove_prefix(3);
    uint64_t total = 0;
    for (size_t pos = 0; pos < script.size();) {
        const size_t end = std::min(script.find('\n', pos), script.size());
        // Whatever the reader makes of the line, a run it reads counts.
        try {
            const auto c = mogumo::script::parseCommand(script.substr(pos, end - pos));
            if (c && c->verb == mogumo::script::Verb::Run)
                total += c->number;
        } catch (const mogumo::script::ScriptError&) {
        }
        pos = end + 1;
    }
    return total;
}

// "line N: reason" with N within the script's lines and a reason on one line.
bool wellFormed(const std::string& error, std::string_view script) {
    const size_t lines = static_cast<size_t>(std::count(script.begin(), script.end(), '\n')) + 1;
    if (error.rfind("line ", 0) != 0)
        return false;
    const size_t colon = error.find(": ", 5);
    if (colon == std::string::npos || colon == 5 || colon > 15 ||
        !plainDigits(std::string_view(error).substr(5, colon - 5)))
        return false;
    const uint64_t n = std::stoull(error.substr(5, colon - 5));
    return n >= 1 && n <= lines && error.size() > colon + 2 && error.find('\n') == std::string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view script(reinterpret_cast<const char*>(data), size);
    if (runMs(script) > kMostRunMs)
        return 0;
    std::ostringstream out;
    std::string error;
    const int status = mogumo::script::runScript(script, out, error);
    if (!(status == 0 && error.empty()) && !(status == 2 && wellFormed(error, script)))
        std::abort();
    return 0;
}
