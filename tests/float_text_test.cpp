// The dump's number text: the shortest decimal that reads back as the same
// float, written the same way by every host.

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <string>

#include "core/json_writer.h"

namespace mogumo {
namespace {

float fromBits(uint32_t bits) {
    float v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

// The reference where the C++ library has it: its shortest fixed text.
std::string shortestFixed(float v) {
    char buf[200];
    const auto res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed);
    return std::string(buf, res.ptr);
}

TEST(FloatText, KnownValues) {
    const struct {
        float v;
        const char* text;
    } cases[] = {
        {0.0f, "0"},
        {-0.0f, "0"},
        {std::numeric_limits<float>::infinity(), "0"},
        {std::nanf(""), "0"},
        {280.0f, "280"},
        {-240.0f, "-240"},
        {113.5f, "113.5"},
        {0.1f, "0.1"},
        {-0.001f, "-0.001"},
        {99.999f, "99.999"},
        {1e-5f, "0.00001"},
        {16777217.0f, "16777216"},
        {1e20f, "100000002004087734272"},                                // whole values exactly
        {0x1p-149f, "0.000000000000000000000000000000000000000000001"},  // the smallest float
    };
    for (const auto& c : cases) EXPECT_EQ(formatFloat(c.v), c.text) << c.text;
}

// Powers of two and their neighbours (where the floats below lie closer
// than those above), the game's half and quarter twips, and random floats.
TEST(FloatText, MatchesTheShortestRoundTripText) {
    const auto check = [](float v) {
        if (v == 0.0f || !std::isfinite(v))
            return;
        ASSERT_EQ(formatFloat(v), shortestFixed(v)) << std::hexfloat << v;
    };
    for (uint32_t exponent = 0; exponent < 255; ++exponent)
        for (int32_t m = -8; m <= 8; ++m)
            for (uint32_t sign : {0u, 0x80000000u})
                check(fromBits(((exponent << 23) + static_cast<uint32_t>(m)) ^ sign));
    for (int i = -40000; i <= 40000; ++i) {
        check(static_cast<float>(i) * 0.25f);
        check(static_cast<float>(i) / 7.0f);
    }
    std::mt19937 random(18);
    for (int i = 0; i < 20000; ++i) check(fromBits(random()));
}

}  // namespace
}  // namespace mogumo
