#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace mogumo {

struct Species {
    std::string_view name;
    int32_t baseWeight;  // grams
    int32_t baseLength;  // millimetres
};

// Every creature that can bite. A spot with N species offers rows 0 to N; row 0
// is also the fallback for any index outside 1 to 40.
inline constexpr std::array<Species, 41> kSpecies{{
    {"しゅわん", 90000, 1760},
    {"めでか", 246, 180},
    {"人面魚", 2090, 1641},
    {"恋鯉", 3801, 2310},
    {"化石魚", 5009, 1409},
    {"ブラックバス", 7520, 3400},
    {"ヤマメ", 6600, 5000},
    {"さけ様", 9120, 4500},
    {"アユ", 7200, 2200},
    {"ウナギ", 9500, 8400},
    {"タニシ", 500, 600},
    {"きんぎょ", 800, 900},
    {"どざえもん", 52300, 16500},
    {"ニジマス", 9300, 3200},
    {"カッパ", 10300, 2100},
    {"出目金", 1300, 1360},
    {"みみずうお", 3600, 3000},
    {"腐敗魚", 8500, 6200},
    {"時計ワニ", 65300, 19000},
    {"沢蟹", 3300, 1200},
    {"アッシー", 135200, 32200},
    {"ウイングフィシュ", 9300, 2200},
    {"化石ダイ", 16900, 9200},
    {"ギンメダイ", 12300, 8800},
    {"アカシヤ", 6200, 6200},
    {"おいろけ蟹", 16100, 10200},
    {"あんこーもち", 29300, 12200},
    {"ウエイト貝", 623300, 9100},
    {"いるかい？", 260300, 62000},
    {"白クジラ", 421300, 320200},
    {"さぶさば", 7950, 6000},
    {"小銭ザメ", 92000, 32200},
    {"人食いヒトデ", 33000, 6200},
    {"人食いざめ", 130300, 106000},
    {"海水浴者", 72300, 17200},
    {"あきなき", 63300, 16000},
    {"プランクトン", 10, 10},
    {"ナマコっち", 100, 100},
    {"乙姫", 46300, 15800},
    {"フナムシ", 630, 320},
    {"まぼろし魚", 1585160, 952340},
}};

// Landing this one is worth 30 SecretPoints.
inline constexpr int32_t kPrincessSpecies = 38;

inline const Species& speciesRow(int32_t index) {
    return (index >= 1 && index <= 40) ? kSpecies[static_cast<size_t>(index)] : kSpecies[0];
}

// The 26-character catch-log line: the name padded or cut to 7 characters with
// ideographic spaces, the weight as 8 digits and the length as 9.
std::string catchLogLine(std::string_view name, int32_t weight, int32_t length);

}  // namespace mogumo
