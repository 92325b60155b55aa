#include "script/line_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <system_error>

#include "script/command.h"

namespace mogumo::script {

LineReader LineReader::fromFd(int fd, bool own) {
    std::shared_ptr<void> closer;
    if (own)
        closer = std::shared_ptr<void>(nullptr, [fd](void*) { ::close(fd); });
    return LineReader([fd, closer](char* buffer, size_t size) -> long {
        for (;;) {
            const ssize_t n = ::read(fd, buffer, size);
            if (n >= 0 || errno != EINTR)
                return static_cast<long>(n);
        }
    });
}

LineReader LineReader::fromString(std::string_view text) {
    return LineReader([text](char* buffer, size_t size) mutable -> long {
        const size_t n = std::min(size, text.size());
        std::memcpy(buffer, text.data(), n);
        text.remove_prefix(n);
        return static_cast<long>(n);
    });
}

int openScriptFile(const std::string& path, std::string& why) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        why = std::strerror(errno);
        return -1;
    }
    struct stat st {};
    if (fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        why = S_ISDIR(st.st_mode) ? "it is a directory" : std::strerror(errno);
        ::close(fd);
        return -1;
    }
    return fd;
}

bool LineReader::fill() {
    if (atEnd_)
        return false;
    const long n = source_(buffer_, sizeof buffer_);
    if (n < 0)
        throw std::system_error(errno, std::generic_category());
    if (n == 0) {
        atEnd_ = true;
        return false;
    }
    pos_ = 0;
    end_ = static_cast<size_t>(n);
    return true;
}

bool LineReader::next(std::string& line) {
    line.clear();
    bool any = false;
    for (;;) {
        if (pos_ == end_ && !fill())
            break;
        any = true;
        const char* start = buffer_ + pos_;
        const auto* nl = static_cast<const char*>(std::memchr(start, '\n', end_ - pos_));
        const size_t n = nl ? static_cast<size_t>(nl - start) : end_ - pos_;
        // A line may carry a byte-order mark (the first) and a CR beyond its bound.
        if (line.size() + n > kMaxLine + 4) {
            ++lineNumber_;
            throw ScriptError("line longer than " + std::to_string(kMaxLine) + " bytes");
        }
        line.append(start, n);
        pos_ += n;
        if (nl) {
            ++pos_;
            break;
        }
    }
    if (!any)
        return false;
    ++lineNumber_;
    if (lineNumber_ == 1 && line.starts_with("\xEF\xBB\xBF"))
        line.erase(0, 3);
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    if (line.size() > kMaxLine)
        throw ScriptError("line longer than " + std::to_string(kMaxLine) + " bytes");
    return true;
}

}  // namespace mogumo::script
