#include "core/text.h"

#include <cstdio>

namespace mogumo {
namespace {
bool isContinuation(unsigned char c) {
    return (c & 0xC0) == 0x80;
}
}  // namespace

size_t charCount(std::string_view utf8) {
    size_t n = 0;
    for (unsigned char c : utf8)
        if (!isContinuation(c))
            ++n;
    return n;
}

std::string leftChars(std::string_view utf8, size_t chars) {
    size_t seen = 0;
    for (size_t i = 0; i < utf8.size(); ++i) {
        if (isContinuation(static_cast<unsigned char>(utf8[i])))
            continue;
        if (seen == chars)
            return std::string(utf8.substr(0, i));
        ++seen;
    }
    return std::string(utf8);
}

std::string rightAscii(std::string_view ascii, size_t chars) {
    if (ascii.size() <= chars)
        return std::string(ascii);
    return std::string(ascii.substr(ascii.size() - chars));
}

std::string formatAverage(double value) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15g", value);
    return buf;
}

}  // namespace mogumo
