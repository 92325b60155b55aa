#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace mogumo::script {

// Reads a script a line at a time, as its bytes come: memory stays within
// one line's bound whatever the input's length, and a line is handed on as
// soon as its line break has arrived, so a script can come through a pipe
// from another program that waits for each answer.
//
// Lines end in LF or CR LF; a UTF-8 byte-order mark may open the script.
class LineReader {
public:
    // Fills `buffer` with up to `size` bytes: the number read, 0 at the end of
    // the input, -1 on a read error (errno says which).
    using Source = std::function<long(char* buffer, size_t size)>;

    explicit LineReader(Source source) : source_(std::move(source)) {}

    // A file descriptor, read as bytes arrive (a pipe or terminal too);
    // closed with the reader when it is the reader's own.
    static LineReader fromFd(int fd, bool own = false);
    // A script held in memory; it must outlive the reader.
    static LineReader fromString(std::string_view text);

    // The next line, its line break removed; false at the end of the input.
    // Throws ScriptError for a line longer than a script line may be, and
    // std::system_error when the input cannot be read.
    bool next(std::string& line);

    // The number of the line `next` gave last, counting from 1.
    size_t lineNumber() const { return lineNumber_; }

private:
    bool fill();

    Source source_;
    char buffer_[65536];
    size_t pos_ = 0, end_ = 0;
    size_t lineNumber_ = 0;
    bool atEnd_ = false;
};

// Opens a script file for reading, its name taken byte for byte; -1 with the
// reason in `why` when it cannot (a directory opens but cannot be read: it is
// named plainly).
int openScriptFile(const std::string& path, std::string& why);

}  // namespace mogumo::script
