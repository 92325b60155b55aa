#pragma once

// What the presentation tests share: the pictures, loaded once, and real time
// that the test moves by hand.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>

#include "platform/qt/picture_cache.h"
#include "platform/qt/qt_host.h"

namespace mogumo {

inline const PictureCache& testPictures() {
    static PictureCache cache;
    if (!cache.loaded())
        cache.load();
    return cache;
}

// Moves `real` (the host's real clock) on by `ms`, waking the host whenever
// it asked to be woken, as its QTimer would.
inline void runHostFor(QtHost& host, uint64_t& real, uint64_t ms) {
    const uint64_t end = real + ms;
    for (int wakes = 0; host.nextWakeAt() && *host.nextWakeAt() <= end; ++wakes) {
        if (wakes > 1000000) {
            ADD_FAILURE() << "the host keeps waking";
            return;
        }
        real = std::max(real, *host.nextWakeAt());
        host.wake();
    }
    real = end;
}

}  // namespace mogumo
