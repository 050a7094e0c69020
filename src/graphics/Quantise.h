#pragma once
// True-colour artwork as palette pictures: its own colours when they fit, a reduced palette
// (through libimagequant) when they do not, or the nearest entries of a given palette.
// Entry FF is the fully transparent entry of every menu palette.

#include <cstddef>
#include <optional>
#include <string>

#include "graphics/Picture.h"

namespace corvane {

inline constexpr std::size_t TransparentEntry = 255;
// Entries 00 to FE hold colours; FF is always fully transparent.
inline constexpr std::size_t ColourEntries = 255;

struct PaletteArt {
    IndexPicture picture;
    RgbaPalette palette{};
};

// Every distinct colour an entry in order of first use, fully transparent pixels entry FF;
// nothing when more than 255 colours are used (their number in `colours`).
std::optional<PaletteArt> exactPalette(const RgbaImage& image, std::size_t& colours);

// At most 255 colours chosen by libimagequant (dithered), fully transparent pixels entry FF;
// nothing and the reason in `error` when the library fails.
std::optional<PaletteArt> quantisePalette(const RgbaImage& image, std::string& error);

// Each pixel the index of the nearest entry of `palette` (R, G, B weighted by alpha, and T);
// entry FF counts as fully transparent whatever it holds.
IndexPicture nearestEntries(const RgbaImage& image, const RgbaPalette& palette);

} // namespace corvane
