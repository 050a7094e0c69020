#pragma once
// Objects as 8-bit palette PNG files (through libpng), and back.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "graphics/Picture.h"
#include "menu/IGMenu.h"

namespace corvane {

// An 8-bit palette PNG: the index picture, PLTE with every entry's R, G, B, tRNS with every
// entry's T, and a tEXt chunk "Software" holding `software`. Empty (and `error` set) for a
// picture without pixels.
std::vector<std::uint8_t> writeIndexPng(const IndexPicture& picture, const RgbaPalette& palette,
                                        const std::string& software, std::string& error);

struct IndexPng {
    IndexPicture picture;
    RgbaPalette palette{}; // R, G, B from PLTE (a grey ramp for greyscale), T from tRNS
    bool hasTransparency = false;
};

// Reads an 8-bit palette or 8-bit greyscale PNG. Anything else (other depths, true colour,
// damaged data, larger than MaxObjectPixels) gives nothing and the reason in `error`.
// Without a tRNS chunk every palette entry is opaque (T = 255); entries past PLTE are 0.
std::optional<IndexPng> readIndexPng(std::span<const std::uint8_t> bytes, std::string& error);

// Saving an object: its index picture (decoded when needed) with palette `palette`.
std::optional<std::vector<std::uint8_t>> exportObjectPng(TMenu& menu, std::uint16_t objectId,
                                                         std::uint16_t palette, const std::string& software,
                                                         std::string& error);

// Loading an object: appends the PNG as a new object with a new palette of its own and
// returns the new object id. Refused with "Not supported file format!" when the picture is
// wider or taller than the menu's video or not 8 bits per pixel; the model is then unchanged.
std::optional<std::uint16_t> importObjectPng(TMenu& menu, std::span<const std::uint8_t> bytes,
                                             std::string& error);

} // namespace corvane
