#include "json.h"

#include <cmath>
#include <cstdlib>

namespace mogumo::test {
namespace {

class Parser {
public:
    explicit Parser(std::string_view s) : s_(s) {}

    Json document() {
        Json j = value();
        space();
        if (i_ != s_.size())
            fail("trailing text");
        return j;
    }

private:
    [[noreturn]] void fail(const char* what) {
        throw std::runtime_error(std::string("json: ") + what + " at " + std::to_string(i_));
    }
    void space() {
        while (i_ < s_.size() && (s_[i_] == ' ' || s_[i_] == '\n' || s_[i_] == '\r' || s_[i_] == '\t')) ++i_;
    }
    bool eat(char c) {
        space();
        if (i_ < s_.size() && s_[i_] == c) {
            ++i_;
            return true;
        }
        return false;
    }
    bool word(std::string_view w) {
        if (s_.substr(i_, w.size()) != w)
            return false;
        i_ += w.size();
        return true;
    }
    Json value() {
        space();
        if (i_ >= s_.size())
            fail("unexpected end");
        const char c = s_[i_];
        if (c == '{')
            return object();
        if (c == '[')
            return array();
        if (c == '"')
            return Json{string()};
        if (word("true"))
            return Json{true};
        if (word("false"))
            return Json{false};
        if (word("null"))
            return Json{nullptr};
        return number();
    }
    Json object() {
        ++i_;
        Json::Object o;
        if (eat('}'))
            return Json{o};
        do {
            space();
            std::string k = string();
            if (!eat(':'))
                fail("expected :");
            o.emplace(std::move(k), value());
        } while (eat(','));
        if (!eat('}'))
            fail("expected }");
        return Json{std::move(o)};
    }
    Json array() {
        ++i_;
        Json::Array a;
        if (eat(']'))
            return Json{a};
        do a.push_back(value());
        while (eat(','));
        if (!eat(']'))
            fail("expected ]");
        return Json{std::move(a)};
    }
    std::string string() {
        if (s_[i_] != '"')
            fail("expected string");
        ++i_;
        std::string out;
        while (i_ < s_.size() && s_[i_] != '"') {
            char c = s_[i_++];
            if (c != '\\') {
                out += c;
                continue;
            }
            const char e = s_[i_++];
            switch (e) {
                case 'n': out += '\n'; break;
                case 'r': out += '\r'; break;
                case 't': out += '\t'; break;
                case 'u': {
                    const unsigned cp = static_cast<unsigned>(
                        std::strtoul(std::string(s_.substr(i_, 4)).c_str(), nullptr, 16));
                    i_ += 4;
                    if (cp < 0x80) {
                        out += static_cast<char>(cp);
                    } else if (cp < 0x800) {
                        out += static_cast<char>(0xC0 | (cp >> 6));
                        out += static_cast<char>(0x80 | (cp & 0x3F));
                    } else {
                        out += static_cast<char>(0xE0 | (cp >> 12));
                        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
                        out += static_cast<char>(0x80 | (cp & 0x3F));
                    }
                    break;
                }
                default: out += e;
            }
        }
        if (i_ >= s_.size())
            fail("unterminated string");
        ++i_;
        return out;
    }
    Json number() {
        const std::string rest(s_.substr(i_, 40));
        char* end = nullptr;
        const double d = std::strtod(rest.c_str(), &end);
        if (end == rest.c_str())
            fail("bad value");
        i_ += static_cast<size_t>(end - rest.c_str());
        return Json{d};
    }

    std::string_view s_;
    size_t i_ = 0;
};

void compare(const Json& a, const Json& b, const std::string& path, std::vector<std::string>& out) {
    if (b.isObject()) {
        if (!a.isObject()) {
            out.push_back(path + ": not an object");
            return;
        }
        for (const auto& [k, v] : b.obj()) {
            if (!a.has(k))
                out.push_back(path + "." + k + ": missing");
            else
                compare(a[k], v, path + "." + k, out);
        }
        for (const auto& [k, v] : a.obj())
            if (!b.has(k))
                out.push_back(path + "." + k + ": unexpected");
    } else if (b.isArray()) {
        if (!a.isArray() || a.arr().size() != b.arr().size()) {
            out.push_back(path + ": array length");
            return;
        }
        for (size_t i = 0; i < b.arr().size(); ++i)
            compare(a[i], b[i], path + "[" + std::to_string(i) + "]", out);
    } else if (b.isNumber()) {
        // Positions may differ by 0.01 twips, gauges by 0.001.
        const bool gauge = path.find("Gauge") != std::string::npos || path.find("HP(") != std::string::npos;
        const double tolerance = gauge ? 0.001 : 0.01;
        if (!a.isNumber() || std::fabs(a.num() - b.num()) > tolerance)
            out.push_back(path + ": " + (a.isNumber() ? std::to_string(a.num()) : "?") + " vs " +
                          std::to_string(b.num()));
    } else {
        const bool same = a.v.index() == b.v.index() &&
                          (b.isNull() || (std::holds_alternative<bool>(b.v) ? a.boolean() == b.boolean()
                                                                            : a.str() == b.str()));
        if (!same)
            out.push_back(path + ": differs");
    }
}

}  // namespace

Json Json::parse(std::string_view text) {
    return Parser(text).document();
}

std::vector<std::string> compareDumps(const Json& ours, const Json& theirs) {
    std::vector<std::string> out;
    compare(ours, theirs, "", out);
    return out;
}

}  // namespace mogumo::test
