#include "core/json_writer.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace mogumo {

std::string formatFloat(float v) {
    if (v == 0.0f || !std::isfinite(v))
        return "0";  // no "-0"; JSON has no infinities
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed);
    return std::string(buf, res.ptr);
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
