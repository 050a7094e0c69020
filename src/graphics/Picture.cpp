#include "graphics/Picture.h"

#include <algorithm>
#include <cstring>

namespace corvane {

void RgbaImage::fill(std::uint32_t rgb) {
    // One pixel, then the filled part copied onto the rest, doubling each time.
    const std::size_t total = pixels.size() / 4 * 4;
    if (total == 0) return;
    pixels[0] = static_cast<std::uint8_t>(rgb >> 16);
    pixels[1] = static_cast<std::uint8_t>(rgb >> 8);
    pixels[2] = static_cast<std::uint8_t>(rgb);
    pixels[3] = 255;
    for (std::size_t done = 4; done < total;) {
        const std::size_t n = std::min(done, total - done);
        std::memcpy(pixels.data() + done, pixels.data(), n);
        done += n;
    }
}

void drawBlended(RgbaImage& dst, const RgbaImage& src, int x, int y) {
    const int x0 = std::max(0, x), y0 = std::max(0, y);
    const int x1 = std::min(dst.width, x + src.width), y1 = std::min(dst.height, y + src.height);
    for (int row = y0; row < y1; ++row) {
        for (int col = x0; col < x1; ++col) {
            const std::uint8_t* s = src.pixel(col - x, row - y);
            std::uint8_t* d = dst.pixel(col, row);
            const unsigned a = s[3];
            if (a == 0) continue;
            if (a == 255) { // opaque: the blend gives the source pixel
                std::memcpy(d, s, 4);
                continue;
            }
            for (int c = 0; c < 3; ++c)
                d[c] = static_cast<std::uint8_t>((s[c] * a + d[c] * (255 - a) + 127) / 255);
            d[3] = static_cast<std::uint8_t>(a + (d[3] * (255 - a) + 127) / 255);
        }
    }
}

} // namespace corvane
