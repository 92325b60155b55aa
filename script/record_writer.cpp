#include "script/record_writer.h"

#include <algorithm>
#include <utility>

#include "core/game.h"

namespace mogumo::script {

RecordWriter::RecordWriter(uint32_t clockStart)
    : text_("# A game of Mogumo, recorded as it was played. Replay it with mogumo-sim.\n") {
    if (clockStart != kDefaultClock) {
        Command clock;
        clock.verb = Verb::Clock;
        clock.number = clockStart;
        text_ += formatCommand(clock) + "\n";
    }
}

void RecordWriter::time(Verb verb, uint64_t ms) {
    if (pending_ != verb)
        flushTime();
    pending_ = verb;
    pendingMs_ += ms;
}

void RecordWriter::input(const Command& command) {
    flushTime();
    text_ += formatCommand(command) + "\n";
}

void RecordWriter::dump(const std::string& state) {
    flushTime();
    text_ += "dump\n# state " + state + "\n";
}

void RecordWriter::flushTime() {
    writeTime(text_, pending_, pendingMs_);
    pending_.reset();
    pendingMs_ = 0;
}

// A script number has at most 32 bits: a longer stretch takes more lines.
void RecordWriter::writeTime(std::string& out, std::optional<Verb> verb, uint64_t ms) {
    Command c;
    c.verb = verb.value_or(Verb::Run);
    while (verb && ms > 0) {
        c.number = std::min(ms, kMaxNumber);
        out += formatCommand(c) + "\n";
        ms -= c.number;
    }
}

std::string RecordWriter::take() {
    return std::exchange(text_, {});
}

std::string RecordWriter::peek() const {
    std::string out = text_;
    writeTime(out, pending_, pendingMs_);
    return out;
}

}  // namespace mogumo::script
