#pragma once
// Limits that keep one fuzz run short: inputs that are right but slow are skipped.

#include <cstdint>

#include "menu/IGMenu.h"

namespace corvane::fuzz {

// Pixels the objects of a menu claim; decoding many large objects is right but slow.
inline std::uint64_t claimedPixels(const TMenu& menu) {
    std::uint64_t pixels = 0;
    for (const auto& object : menu.IGObjects)
        if (object.present()) pixels += std::uint64_t{object.object_width} * object.object_height;
    return pixels;
}

} // namespace corvane::fuzz
