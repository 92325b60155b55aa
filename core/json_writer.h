#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace mogumo {

// Writes one compact JSON document. Floats are written as the shortest
// decimal that reads back as the same float, whole values without a point.
class JsonWriter {
public:
    void beginObject();
    void endObject();
    void beginArray();
    void endArray();
    void key(std::string_view name);

    void value(int64_t v);
    void value(int32_t v) { value(static_cast<int64_t>(v)); }
    void value(uint32_t v) { value(static_cast<int64_t>(v)); }
    void value(float v);
    void value(bool v);
    void value(std::string_view v);
    void value(const char* v) { value(std::string_view(v)); }
    void value(const std::string& v) { value(std::string_view(v)); }
    void null();

    template <class T>
    void field(std::string_view name, const T& v) {
        key(name);
        value(v);
    }
    // A field whose value is the array of `values`.
    template <class Range>
    void arrayField(std::string_view name, const Range& values) {
        key(name);
        beginArray();
        for (const auto& v : values) value(v);
        endArray();
    }

    const std::string& str() const { return out_; }
    // Starts a new document, keeping the memory.
    void clear() {
        out_.clear();
        needComma_ = false;
    }

private:
    void separate();
    std::string out_;
    bool needComma_ = false;
};

std::string formatFloat(float v);

}  // namespace mogumo
