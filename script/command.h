#pragma once

// The script language of mogumo-sim, one line at a time: a line read into a
// typed command, and a command written back as its line. One command a line,
// words separated by spaces, blank lines and lines starting with '#' ignored.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "core/layout.h"

namespace mogumo::script {

// The longest line a script may have, line break excluded. Commands are a
// few dozen bytes and a recorded game's state comments a few tens of
// kilobytes.
inline constexpr size_t kMaxLine = 65536;

// The largest number a script line may carry.
inline constexpr uint64_t kMaxNumber = 4294967295ULL;

// A line that cannot be read or carried out; what() says why.
struct ScriptError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

enum class Verb { Clock, Click, KeyDown, KeyUp, Close, Wait, Tick, Run, Dump, Shot };

struct Command {
    Verb verb = Verb::Dump;
    FormId form = FormId::Form1;  // the screen of every command that names one
    std::string control;          // click, tick: the control's name
    int index = -1;               // its index in a control array
    uint64_t number = 0;          // clock, wait, run: the number; keydown, keyup: the key code
    std::string file;             // shot

    bool operator==(const Command&) const = default;
};

// The command on a line (its line break removed); nullopt for a blank line or
// a comment. Throws ScriptError for a line that is no command.
std::optional<Command> parseCommand(std::string_view line);

// The command for an input a host took: a key (its code in `number`), a
// close, or a click on `control`.
Command inputCommand(Verb verb, FormId form, int number = 0, std::string_view control = {}, int index = -1);

// The command as its line, without a line break: parseCommand gives it back.
std::string formatCommand(const Command& command);

// The command's target as a message names it: "Form3.Command1(1)" or "Form6".
std::string targetOf(const Command& command);

// A word as a message shows it: printable ASCII as it is, other bytes as
// \xNN, and a long word cut short, so that the message stays one short line.
std::string shown(std::string_view word);

}  // namespace mogumo::script
