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

// Reads a palette or greyscale PNG of 8 bits or fewer per pixel (widened to 8). Anything else
// (16 bits, true colour, damaged data, larger than MaxObjectPixels) gives nothing and the
// reason in `error`.
// Without a tRNS chunk every palette entry is opaque (T = 255); entries past PLTE are 0.
std::optional<IndexPng> readIndexPng(std::span<const std::uint8_t> bytes, std::string& error);

// Saving an object: its index picture (decoded when needed) with palette `palette`.
std::optional<std::vector<std::uint8_t>> exportObjectPng(TMenu& menu, std::uint16_t objectId,
                                                         std::uint16_t palette, const std::string& software,
                                                         std::string& error);

// How an imported picture gets its colours.
struct PngImportOptions {
    // Each pixel the nearest entry of this palette, which stays as it is; none: a new palette
    // of the picture's own colours.
    std::optional<std::uint16_t> intoPalette;
    // True colour of more than 255 colours is reduced to 255; without, it is refused.
    bool quantise = true;
};

// Loading an object: appends the PNG (any colour type and depth) as a new object, with a new
// palette unless `options` name one, and returns the new object id. Palette and greyscale
// files of 8 bits or fewer keep their indices (entry FF, always transparent in a menu, moves
// to a free entry); true colour keeps its colours when 255 entries hold them and is reduced
// otherwise; fully transparent pixels take entry FF. Refused with the reason in `error` (not
// a PNG, truncated, damaged, wider or taller than the menu's video, too many colours); the
// model is then unchanged.
std::optional<std::uint16_t> importObjectPng(TMenu& menu, std::span<const std::uint8_t> bytes,
                                             std::string& error, const PngImportOptions& options = {});

} // namespace corvane
