#include "script/command.h"

#include <algorithm>
#include <array>
#include <vector>

#include "core/keys.h"
#include "ui/layouts/layouts.h"

namespace mogumo::script {
namespace {

constexpr size_t kMaxShownWord = 40;
constexpr uint64_t kMaxIndex = 1000;

struct VerbName {
    Verb verb;
    std::string_view name;
    size_t arguments;
};

constexpr std::array<VerbName, 10> kVerbs{{
    {Verb::Clock, "clock", 1},
    {Verb::Click, "click", 1},
    {Verb::KeyDown, "keydown", 2},
    {Verb::KeyUp, "keyup", 2},
    {Verb::Close, "close", 1},
    {Verb::Wait, "wait", 1},
    {Verb::Tick, "tick", 1},
    {Verb::Run, "run", 1},
    {Verb::Dump, "dump", 0},
    {Verb::Shot, "shot", 2},
}};

const VerbName& nameOf(Verb verb) {
    return *std::find_if(kVerbs.begin(), kVerbs.end(), [&](const VerbName& v) { return v.verb == verb; });
}

// The words of a line: runs of bytes other than the space, which alone
// separates them.
std::vector<std::string_view> words(std::string_view line) {
    std::vector<std::string_view> out;
    size_t pos = 0;
    while (pos < line.size()) {
        const size_t start = line.find_first_not_of(' ', pos);
        if (start == std::string_view::npos)
            break;
        const size_t end = std::min(line.find(' ', start), line.size());
        out.push_back(line.substr(start, end - start));
        pos = end;
    }
    return out;
}

// Plain decimal digits, leading zeros allowed, 0 to kMaxNumber.
uint64_t number(std::string_view word) {
    if (word.empty() || !std::all_of(word.begin(), word.end(), [](char c) { return c >= '0' && c <= '9'; }))
        throw ScriptError("not a number: " + shown(word));
    uint64_t v = 0;
    for (char c : word.substr(std::min(word.find_first_not_of('0'), word.size()))) {
        v = v * 10 + static_cast<uint64_t>(c - '0');
        if (v > kMaxNumber)
            throw ScriptError("number out of range: " + shown(word));
    }
    return v;
}

FormId form(std::string_view name) {
    if (const auto id = formByName(name))
        return *id;
    throw ScriptError("unknown screen: " + shown(name));
}

// "Form3.Command1(1)" -> Form3, "Command1", 1.
void screenControl(std::string_view word, Command& c) {
    const size_t dot = word.find('.');
    if (dot == std::string_view::npos)
        throw ScriptError("expected SCREEN.CONTROL: " + shown(word));
    c.form = form(word.substr(0, dot));
    std::string_view name = word.substr(dot + 1);
    if (const size_t open = name.find('('); open != std::string_view::npos) {
        if (name.back() != ')')
            throw ScriptError("bad control index: " + shown(word));
        const uint64_t i = number(name.substr(open + 1, name.size() - open - 2));
        if (i > kMaxIndex)
            throw ScriptError("bad control index: " + shown(word));
        c.index = static_cast<int>(i);
        name = name.substr(0, open);
    }
    c.control = name;
}

}  // namespace

std::string shown(std::string_view word) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out;
    for (size_t i = 0; i < word.size() && i < kMaxShownWord; ++i) {
        const auto c = static_cast<unsigned char>(word[i]);
        if (c > 0x20 && c < 0x7f) {
            out += static_cast<char>(c);
        } else {
            out += "\\x";
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    if (word.size() > kMaxShownWord)
        out += "...";
    return out;
}

std::optional<Command> parseCommand(std::string_view line) {
    if (line.size() > kMaxLine)
        throw ScriptError("line longer than " + std::to_string(kMaxLine) + " bytes");
    // A file whose lines end in CR alone reads as one long line: say so,
    // rather than that its first command has too many words.
    if (line.find('\r') != std::string_view::npos)
        throw ScriptError("a carriage return without a line feed: lines must end in LF or CR LF");
    if (!line.empty() && line.front() == '#')
        return std::nullopt;
    const std::vector<std::string_view> w = words(line);
    if (w.empty())
        return std::nullopt;
    const auto verb =
        std::find_if(kVerbs.begin(), kVerbs.end(), [&](const VerbName& v) { return v.name == w[0]; });
    if (verb == kVerbs.end())
        throw ScriptError("unknown command: " + shown(w[0]));
    if (w.size() != verb->arguments + 1)
        throw ScriptError(std::string(verb->name) + " takes " + std::to_string(verb->arguments) +
                          " argument" + (verb->arguments == 1 ? "" : "s"));
    Command c;
    c.verb = verb->verb;
    switch (c.verb) {
        case Verb::Clock:
        case Verb::Wait:
        case Verb::Run: c.number = number(w[1]); break;
        case Verb::Click:
        case Verb::Tick: screenControl(w[1], c); break;
        case Verb::KeyDown:
        case Verb::KeyUp:
            c.form = form(w[1]);
            c.number = number(w[2]);
            if (c.number > static_cast<uint64_t>(kMaxKeyCode))
                throw ScriptError("key code above " + std::to_string(kMaxKeyCode) + ": " + shown(w[2]));
            break;
        case Verb::Close: c.form = form(w[1]); break;
        case Verb::Shot:
            c.form = form(w[1]);
            c.file = w[2];
            break;
        case Verb::Dump: break;
    }
    return c;
}

Command inputCommand(Verb verb, FormId form, int number, std::string_view control, int index) {
    Command c;
    c.verb = verb;
    c.form = form;
    c.number = static_cast<uint64_t>(number);
    c.control = control;
    c.index = index;
    return c;
}

std::string targetOf(const Command& c) {
    std::string target(layoutOf(c.form).formName);
    if (c.verb == Verb::Click || c.verb == Verb::Tick) {
        target += "." + c.control;
        if (c.index >= 0)
            target += "(" + std::to_string(c.index) + ")";
    }
    return target;
}

std::string formatCommand(const Command& c) {
    std::string line(nameOf(c.verb).name);
    switch (c.verb) {
        case Verb::Clock:
        case Verb::Wait:
        case Verb::Run: line += " " + std::to_string(c.number); break;
        case Verb::Click:
        case Verb::Tick:
        case Verb::Close: line += " " + targetOf(c); break;
        case Verb::KeyDown:
        case Verb::KeyUp: line += " " + targetOf(c) + " " + std::to_string(c.number); break;
        case Verb::Shot: line += " " + targetOf(c) + " " + c.file; break;
        case Verb::Dump: break;
    }
    return line;
}

}  // namespace mogumo::script
