#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace mogumo {

// Number of Unicode characters in UTF-8 text.
size_t charCount(std::string_view utf8);

// The first `chars` characters of UTF-8 text (all of it when shorter).
std::string leftChars(std::string_view utf8, size_t chars);

// The last `chars` characters of ASCII text (all of it when shorter).
std::string rightAscii(std::string_view ascii, size_t chars);

// Shortest form with at most 15 significant digits: 750, 500.5,
// 333.333333333333, 0.666666666666667.
std::string formatAverage(double value);

}  // namespace mogumo
