#pragma once

// The script language of mogumo-sim, one line at a time. runScript (in
// simulator.h) reads whole scripts through the same session.

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/sim/simulator.h"

namespace mogumo {

// The longest line a script may have, line break excluded. Commands are a
// few dozen bytes and a recorded game's state comments a few tens of
// kilobytes; the bound keeps endless input without a line break (say,
// /dev/zero) from eating the memory before the reader can refuse it.
inline constexpr size_t kMaxScriptLine = 65536;

// The largest number a script line may carry.
inline constexpr uint64_t kMaxScriptNumber = 4294967295ULL;

// The words of a line: runs of bytes other than the space, which alone
// separates them. None for a blank line or a comment (a line whose first byte
// is '#'). A carriage return ending the line belongs to its line break.
std::vector<std::string_view> scriptWords(std::string_view line);

// One run of mogumo-sim, fed a line at a time. The program starts at the
// first command (at the clock of a leading `clock`).
class ScriptSession {
public:
    explicit ScriptSession(std::ostream& out, ShotRenderer shot = {});
    ~ScriptSession();
    ScriptSession(const ScriptSession&) = delete;
    ScriptSession& operator=(const ScriptSession&) = delete;

    // Carries out one line, its line break removed. A line that cannot be
    // carried out changes nothing; the result is false and `reason` says why.
    bool runLine(std::string_view line, std::string& reason);

    // The running game; starts the program when no command has yet, and a
    // `clock` line is refused from then on.
    Simulator& simulator();

private:
    class Runner;
    std::unique_ptr<Runner> runner_;
};

}  // namespace mogumo
