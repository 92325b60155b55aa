#pragma once

// What the presentation tests share: the pictures, loaded once.

#include "platform/qt/picture_cache.h"

namespace mogumo {

inline const PictureCache& testPictures() {
    static PictureCache cache;
    if (!cache.loaded())
        cache.load();
    return cache;
}

}  // namespace mogumo
