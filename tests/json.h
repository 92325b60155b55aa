#pragma once

// A small JSON reader for the simulator's dumps in tests.

#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace mogumo::test {

struct Json {
    using Object = std::map<std::string, Json>;
    using Array = std::vector<Json>;
    std::variant<std::nullptr_t, bool, double, std::string, Array, Object> v;

    bool isNull() const { return std::holds_alternative<std::nullptr_t>(v); }
    bool isNumber() const { return std::holds_alternative<double>(v); }
    bool isObject() const { return std::holds_alternative<Object>(v); }
    bool isArray() const { return std::holds_alternative<Array>(v); }
    double num() const { return std::get<double>(v); }
    const std::string& str() const { return std::get<std::string>(v); }
    bool boolean() const { return std::get<bool>(v); }
    const Array& arr() const { return std::get<Array>(v); }
    const Object& obj() const { return std::get<Object>(v); }
    bool has(const std::string& k) const { return isObject() && obj().count(k) > 0; }
    const Json& operator[](const std::string& k) const {
        auto it = obj().find(k);
        if (it == obj().end())
            throw std::out_of_range("no key " + k);
        return it->second;
    }
    const Json& operator[](size_t i) const { return arr().at(i); }

    static Json parse(std::string_view text);
};

// Compares `ours` with `theirs` field by field: numbers within `tolerance`
// (gauges get a tighter one), everything else exactly. Returns the paths
// that differ.
std::vector<std::string> compareDumps(const Json& ours, const Json& theirs);

}  // namespace mogumo::test
