#pragma once

#include <array>
#include <string_view>

namespace mogumo {

// The 21 pictures the screens show, by catalogue name, with their pixel sizes.
enum class PictureFormat { Icon, Gif };

struct PictureInfo {
    std::string_view name;
    PictureFormat format;
    int widthPx;
    int heightPx;
    int colours;       // palette size, the transparent entry included
    bool transparent;  // the background around the figure shows through
};

inline constexpr std::array<PictureInfo, 21> kPictures{{
    {"title_art", PictureFormat::Gif, 484, 285, 16, false},
    {"angler_front", PictureFormat::Icon, 32, 32, 16, true},
    {"angler_stride", PictureFormat::Icon, 32, 32, 16, true},
    {"angler_rod", PictureFormat::Icon, 32, 32, 16, true},
    {"angler_pull", PictureFormat::Icon, 32, 32, 16, true},
    {"angler_fall", PictureFormat::Icon, 32, 32, 16, true},
    {"angler_cheer", PictureFormat::Icon, 32, 32, 16, true},
    {"angler_wave", PictureFormat::Icon, 32, 32, 16, true},
    {"swimsuit_front", PictureFormat::Gif, 36, 36, 8, true},
    {"swimsuit_stride", PictureFormat::Gif, 36, 36, 8, true},
    {"swimsuit_rod", PictureFormat::Gif, 36, 36, 8, true},
    {"swimsuit_pull", PictureFormat::Gif, 36, 36, 8, true},
    {"swimsuit_lie", PictureFormat::Gif, 36, 36, 8, true},
    {"wave_crest", PictureFormat::Icon, 32, 32, 16, true},
    {"wave_double", PictureFormat::Icon, 32, 32, 16, true},
    {"fish_calm", PictureFormat::Icon, 32, 32, 16, true},
    {"fish_struggle", PictureFormat::Icon, 32, 32, 16, true},
    {"fish_leap", PictureFormat::Icon, 32, 32, 16, true},
    {"lure_straight", PictureFormat::Icon, 32, 32, 16, true},
    {"lure_flex", PictureFormat::Icon, 32, 32, 16, true},
    {"rock", PictureFormat::Icon, 32, 32, 16, true},
}};

// nullptr for a name outside the catalogue.
inline const PictureInfo* findPicture(std::string_view name) {
    for (const auto& p : kPictures)
        if (p.name == name)
            return &p;
    return nullptr;
}

}  // namespace mogumo
