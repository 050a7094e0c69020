#pragma once
// Plain pictures of the graphics code: 8-bit index pictures of IG objects, RGBA pictures
// that the front ends show, and the 256-entry palettes that turn one into the other.

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace corvane {

// One palette entry: R, G, B and T (transparency as stored in the stream, 0 = fully transparent).
using PaletteEntry = std::array<std::uint8_t, 4>;
using RgbaPalette = std::array<PaletteEntry, 256>;

// width x height palette indices, row after row.
struct IndexPicture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;

    IndexPicture() = default;
    IndexPicture(int w, int h)
        : width(w), height(h), pixels(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), 0) {}
    std::uint8_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
    bool operator==(const IndexPicture&) const = default;
};

// width x height pixels of 4 bytes R, G, B, A, row after row.
struct RgbaImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;

    RgbaImage() = default;
    RgbaImage(int w, int h)
        : width(w), height(h), pixels(static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 4, 0) {}
    std::uint8_t* pixel(int x, int y) { return &pixels[(static_cast<std::size_t>(y) * width + x) * 4]; }
    const std::uint8_t* pixel(int x, int y) const {
        return &pixels[(static_cast<std::size_t>(y) * width + x) * 4];
    }
    // Fills the picture with one opaque colour (0xRRGGBB).
    void fill(std::uint32_t rgb);
    bool operator==(const RgbaImage&) const = default;
};

// Draws `src` over `dst` at (x, y), blending by the source alpha; parts outside are cut.
void drawBlended(RgbaImage& dst, const RgbaImage& src, int x, int y);

} // namespace corvane
