#include "core/json_writer.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace mogumo {

namespace {

// `v` with `decimals` digits after the point, correctly rounded.
std::string fixedText(float v, int decimals) {
    char buf[160];  // the largest float has 39 digits, the smallest needs 45 decimals and more
    std::snprintf(buf, sizeof buf, "%.*f", decimals, static_cast<double>(v));
    return buf;
}

// `text` moved by one unit in its last digit, away from zero (`up`) or
// towards it; empty when that would cross zero.
std::string stepLastDigit(std::string text, bool up) {
    size_t i = text.size();
    while (i-- > 0) {
        char& d = text[i];
        if (d == '.')
            continue;
        if (d == '-')
            break;
        if (up ? d != '9' : d != '0') {
            d = static_cast<char>(d + (up ? 1 : -1));
            const size_t lead = text[0] == '-' ? 1 : 0;  // 10 becomes 9, not 09
            if (text[lead] == '0' && lead + 1 < text.size() && text[lead + 1] != '.')
                text.erase(lead, 1);
            return text;
        }
        d = up ? '0' : '9';
    }
    if (!up)
        return {};
    text.insert(text[0] == '-' ? 1 : 0, 1, '1');  // 99.9 becomes 100.0
    return text;
}

bool readsBackAs(const std::string& text, float v) {
    return !text.empty() && std::strtof(text.c_str(), nullptr) == v;
}

}  // namespace

// The fewest digits after the point that read back as the same float; of the
// texts with that many, the nearest to the float's exact value. Whole values
// are written exactly, without a point. Built from printf and strtof alone,
// which round correctly everywhere the game runs (the browser's C library
// included), so every host writes the same text for the same float.
std::string formatFloat(float v) {
    if (v == 0.0f || !std::isfinite(v))
        return "0";  // no "-0"; JSON has no infinities
    const auto distance = [v](const std::string& text) {
        return std::fabs(std::strtod(text.c_str(), nullptr) - static_cast<double>(v));
    };
    for (int decimals = 0;; ++decimals) {
        std::string nearest = fixedText(v, decimals);
        if (readsBackAs(nearest, v))
            return nearest;
        // Next to a power of two the floats below lie closer than those
        // above: a text one unit further out may still read back when the
        // nearest does not.
        std::string best;
        for (bool up : {false, true}) {
            std::string other = stepLastDigit(nearest, up);
            if (readsBackAs(other, v) && (best.empty() || distance(other) < distance(best)))
                best = std::move(other);
        }
        if (!best.empty())
            return best;
    }
}

void JsonWriter::separate() {
    if (needComma_)
        out_ += ',';
    needComma_ = false;
}

void JsonWriter::beginObject() {
    separate();
    out_ += '{';
}

void JsonWriter::endObject() {
    out_ += '}';
    needComma_ = true;
}

void JsonWriter::beginArray() {
    separate();
    out_ += '[';
}

void JsonWriter::endArray() {
    out_ += ']';
    needComma_ = true;
}

void JsonWriter::key(std::string_view name) {
    value(name);
    out_ += ':';
    needComma_ = false;
}

void JsonWriter::value(int64_t v) {
    separate();
    out_ += std::to_string(v);
    needComma_ = true;
}

void JsonWriter::value(float v) {
    separate();
    out_ += formatFloat(v);
    needComma_ = true;
}

void JsonWriter::value(bool v) {
    separate();
    out_ += v ? "true" : "false";
    needComma_ = true;
}

void JsonWriter::null() {
    separate();
    out_ += "null";
    needComma_ = true;
}

void JsonWriter::value(std::string_view v) {
    separate();
    out_ += '"';
    for (char ch : v) {
        const auto c = static_cast<unsigned char>(ch);
        switch (c) {
            case '"': out_ += "\\\""; break;
            case '\\': out_ += "\\\\"; break;
            case '\r': out_ += "\\r"; break;
            case '\n': out_ += "\\n"; break;
            case '\t': out_ += "\\t"; break;
            default:
                if (c < 0x20) {
                    char buf[8];
                    std::snprintf(buf, sizeof buf, "\\u%04x", c);
                    out_ += buf;
                } else {
                    out_ += ch;
                }
        }
    }
    out_ += '"';
    needComma_ = true;
}

}  // namespace mogumo
