#include "graphics/Quantise.h"

#include <libimagequant.h>

#include <limits>
#include <memory>
#include <unordered_map>

namespace corvane {

namespace {

std::uint32_t packed(const std::uint8_t* p) {
    return p[3] == 0 ? 0 : (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (p[2] << 8) | p[3];
}

// Colours weighted by alpha, so that colours under little opacity count little.
std::array<int, 4> premultiplied(const std::uint8_t* p) {
    const int a = p[3];
    return {(p[0] * a + 127) / 255, (p[1] * a + 127) / 255, (p[2] * a + 127) / 255, a};
}

struct LiqFree {
    void operator()(liq_attr* p) const { liq_attr_destroy(p); }
    void operator()(liq_image* p) const { liq_image_destroy(p); }
    void operator()(liq_result* p) const { liq_result_destroy(p); }
};

} // namespace

std::optional<PaletteArt> exactPalette(const RgbaImage& image, std::size_t& colours) {
    PaletteArt art;
    art.picture = IndexPicture(image.width, image.height);
    std::unordered_map<std::uint32_t, std::uint8_t> index;
    colours = 0;
    for (std::size_t i = 0; i < art.picture.pixels.size(); ++i) {
        const std::uint8_t* p = &image.pixels[i * 4];
        if (p[3] == 0) {
            art.picture.pixels[i] = TransparentEntry;
            continue;
        }
        const auto [at, added] = index.try_emplace(packed(p), static_cast<std::uint8_t>(colours));
        if (added) {
            if (colours < ColourEntries) art.palette[colours] = {p[0], p[1], p[2], p[3]};
            ++colours;
        }
        art.picture.pixels[i] = at->second;
    }
    if (colours > ColourEntries) return std::nullopt;
    return art;
}

std::optional<PaletteArt> quantisePalette(const RgbaImage& image, std::string& error) {
    std::unique_ptr<liq_attr, LiqFree> attr(liq_attr_create());
    if (!attr || liq_set_max_colors(attr.get(), static_cast<int>(ColourEntries)) != LIQ_OK) {
        error = "the colour reduction could not start";
        return std::nullopt;
    }
    std::unique_ptr<liq_image, LiqFree> input(
        liq_image_create_rgba(attr.get(), image.pixels.data(), image.width, image.height, 0));
    liq_result* made = nullptr;
    if (!input || liq_image_quantize(input.get(), attr.get(), &made) != LIQ_OK) {
        error = "the colours could not be reduced to a palette";
        return std::nullopt;
    }
    std::unique_ptr<liq_result, LiqFree> result(made);
    liq_set_dithering_level(result.get(), 1.0f);
    PaletteArt art;
    art.picture = IndexPicture(image.width, image.height);
    if (liq_write_remapped_image(result.get(), input.get(), art.picture.pixels.data(),
                                 art.picture.pixels.size()) != LIQ_OK) {
        error = "the colours could not be reduced to a palette";
        return std::nullopt;
    }
    const liq_palette* palette = liq_get_palette(result.get());
    for (unsigned i = 0; i < palette->count && i < ColourEntries; ++i) {
        const liq_color c = palette->entries[i];
        if (c.a != 0) art.palette[i] = {c.r, c.g, c.b, c.a};
    }
    for (std::size_t i = 0; i < art.picture.pixels.size(); ++i)
        if (image.pixels[i * 4 + 3] == 0) art.picture.pixels[i] = TransparentEntry;
    return art;
}

IndexPicture nearestEntries(const RgbaImage& image, const RgbaPalette& palette) {
    std::array<std::array<int, 4>, 256> entries{};
    for (std::size_t e = 0; e < ColourEntries; ++e) entries[e] = premultiplied(palette[e].data());
    IndexPicture picture(image.width, image.height);
    std::unordered_map<std::uint32_t, std::uint8_t> found;
    for (std::size_t i = 0; i < picture.pixels.size(); ++i) {
        const std::uint8_t* p = &image.pixels[i * 4];
        const auto [at, added] = found.try_emplace(packed(p), std::uint8_t{0});
        if (added) {
            const auto colour = premultiplied(p);
            int best = std::numeric_limits<int>::max();
            for (std::size_t e = 0; e < entries.size(); ++e) {
                int distance = 0;
                for (std::size_t c = 0; c < 4; ++c) {
                    const int d = colour[c] - entries[e][c];
                    distance += d * d;
                }
                if (distance < best) {
                    best = distance;
                    at->second = static_cast<std::uint8_t>(e);
                }
            }
        }
        picture.pixels[i] = at->second;
    }
    return picture;
}

} // namespace corvane
