// PNG artwork of any colour type into a menu: its own palette, a reduced one, or the nearest
// entries of an existing palette; refusals that say why.

#include <gtest/gtest.h>

#include <png.h>

#include <cmath>
#include <cstdlib>

#include "graphics/ObjectPicture.h"
#include "graphics/PngFile.h"
#include "graphics/Quantise.h"
#include "menu/IGReader.h"
#include "menu/IGWriter.h"
#include "menu/MenuTestUtil.h"

namespace corvane {
namespace {

// A PNG through libpng's simplified writer; a colour map makes a palette file of as few bits
// as its entries need.
std::vector<std::uint8_t> writePng(const RgbaImage& image, png_uint_32 format,
                                   const std::vector<std::uint8_t>& colourMap = {}) {
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    png.width = static_cast<png_uint_32>(image.width);
    png.height = static_cast<png_uint_32>(image.height);
    png.format = format;
    png.colormap_entries = static_cast<png_uint_32>(colourMap.size() / 4);
    std::vector<std::uint8_t> pixels;
    if (format & PNG_FORMAT_FLAG_COLORMAP) {
        for (std::size_t i = 0; i < image.pixels.size(); i += 4) pixels.push_back(image.pixels[i]);
    } else {
        const std::size_t channels = PNG_IMAGE_SAMPLE_CHANNELS(format);
        for (std::size_t i = 0; i < image.pixels.size(); i += 4)
            pixels.insert(pixels.end(), image.pixels.begin() + static_cast<std::ptrdiff_t>(i),
                          image.pixels.begin() + static_cast<std::ptrdiff_t>(i + channels));
    }
    png_alloc_size_t size = 0;
    png_image_write_to_memory(&png, nullptr, &size, 0, pixels.data(), 0,
                              colourMap.empty() ? nullptr : colourMap.data());
    std::vector<std::uint8_t> out(size);
    EXPECT_TRUE(png_image_write_to_memory(&png, out.data(), &size, 0, pixels.data(), 0,
                                          colourMap.empty() ? nullptr : colourMap.data()));
    out.resize(size);
    return out;
}

// An RGBA gradient: red across, green down, alpha rising across from 0 in the first column.
RgbaImage gradient(int width, int height) {
    RgbaImage image(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            std::uint8_t* p = image.pixel(x, y);
            p[0] = static_cast<std::uint8_t>(x * 255 / (width - 1));
            p[1] = static_cast<std::uint8_t>(y * 255 / (height - 1));
            p[2] = 90;
            p[3] = static_cast<std::uint8_t>(x * 255 / (width - 1));
        }
    return image;
}

// The menu saved as a .mnu file and read back, with object `id` in palette `palette` drawn.
RgbaImage savedAndRead(const TMenu& menu, std::uint16_t id, std::uint16_t palette) {
    const IGSaveResult saved = saveIGS(menu, IGSaveMode::Mnu);
    EXPECT_TRUE(saved.ok) << saved.error;
    MnuReadResult read = loadMNU(saved.bytes);
    const auto picture = Obj2Pic(read.menu, id, palette);
    return picture ? *picture : RgbaImage{};
}

// Colours within `tolerance` (the Y, Cr, Cb of the stream round them) and the same opacity;
// colours of fully transparent pixels do not count.
void expectSamePixels(const RgbaImage& got, const RgbaImage& want, int tolerance) {
    ASSERT_EQ(got.width, want.width);
    ASSERT_EQ(got.height, want.height);
    for (std::size_t i = 0; i < want.pixels.size(); i += 4) {
        ASSERT_EQ(got.pixels[i + 3], want.pixels[i + 3]) << "pixel " << i / 4;
        if (want.pixels[i + 3] == 0) continue;
        for (std::size_t c = 0; c < 3; ++c)
            ASSERT_LE(std::abs(got.pixels[i + c] - want.pixels[i + c]), tolerance) << "pixel " << i / 4;
    }
}

TEST(PngImport, TrueColourGetsAPaletteOfItsOwn) {
    TMenu menu = createMenu();
    std::string error;

    // Few colours are kept exactly, in order of use; transparency takes entry FF.
    RgbaImage few(6, 2);
    for (int x = 0; x < 6; ++x) {
        std::uint8_t* p = few.pixel(x, 0);
        p[0] = static_cast<std::uint8_t>(40 * (x % 3));
        p[1] = 200;
        p[2] = 10;
        p[3] = x == 5 ? 0 : 255;
    }
    const auto exact = importObjectPng(menu, writePng(few, PNG_FORMAT_RGBA), error);
    ASSERT_TRUE(exact) << error;
    ASSERT_EQ(menu.IGPalettes.size(), 1u);
    const TIGPalette& own = menu.IGPalettes[0];
    EXPECT_EQ(own.entries[0], (PaletteEntry{0, 200, 10, 255}));
    EXPECT_EQ(own.entries[2], (PaletteEntry{80, 200, 10, 255}));
    EXPECT_EQ(own.entries[3], (PaletteEntry{0, 0, 0, 0})); // the second row's black transparent
    EXPECT_EQ(menu.IGObjects[*exact].index_picture->pixels,
              (std::vector<std::uint8_t>{0, 1, 2, 0, 1, 255, 255, 255, 255, 255, 255, 255}));

    // A gradient of thousands of colours: at most 255 entries, every transparent pixel FF.
    const RgbaImage art = gradient(64, 48);
    const auto png = writePng(art, PNG_FORMAT_RGBA);
    PngImportOptions exactOnly;
    exactOnly.quantise = false;
    EXPECT_FALSE(importObjectPng(menu, png, error, exactOnly));
    EXPECT_EQ(error, "RGBA with 3024 colours, more than the 255 of a palette");
    const auto id = importObjectPng(menu, png, error);
    ASSERT_TRUE(id) << error;
    ASSERT_EQ(menu.IGPalettes.size(), 2u);
    const RgbaPalette& palette = menu.IGPalettes[1].entries;
    EXPECT_EQ(palette[TransparentEntry], (PaletteEntry{0, 0, 0, 0}));
    const IndexPicture& picture = *menu.IGObjects[*id].index_picture;
    double error2 = 0;
    int worst = 0;
    for (int y = 0; y < art.height; ++y)
        for (int x = 0; x < art.width; ++x) {
            const std::uint8_t* p = art.pixel(x, y);
            const PaletteEntry& e = palette[picture.at(x, y)];
            if (p[3] == 0) {
                EXPECT_EQ(picture.at(x, y), TransparentEntry);
                continue;
            }
            for (std::size_t c = 0; c < 4; ++c) {
                // Colour differences count as much as the pixel is opaque.
                const int d = c == 3 ? p[3] - e[3] : (p[c] * p[3] - e[c] * e[3]) / 255;
                error2 += d * d;
                worst = std::max(worst, std::abs(d));
            }
        }
    EXPECT_LT(std::sqrt(error2 / (art.width * art.height * 4.0)), 6.0);
    EXPECT_LT(worst, 48);
    // What is saved and read back is the reduced picture.
    RgbaImage reduced(art.width, art.height);
    for (std::size_t i = 0; i < picture.pixels.size(); ++i)
        std::copy_n(palette[picture.pixels[i]].begin(), 4,
                    reduced.pixels.begin() + static_cast<std::ptrdiff_t>(i * 4));
    expectSamePixels(savedAndRead(menu, *id, 1), reduced, 3);
}

TEST(PngImport, IntoAPaletteTakesTheNearestEntries) {
    TMenu menu = createMenu();
    TIGPalette known;
    known.entries[0] = {250, 0, 0, 255};
    known.entries[1] = {0, 250, 0, 255};
    known.entries[2] = {255, 255, 255, 128};
    known.entries[7] = {0, 0, 250, 255};
    known.entries[TransparentEntry] = {9, 9, 9, 255}; // read from a stream: still transparent
    menu.IGPalettes.push_back(known);
    RgbaImage image(5, 1);
    const std::array<PaletteEntry, 5> pixels{PaletteEntry{200, 40, 30, 255}, PaletteEntry{10, 10, 200, 255},
                                             PaletteEntry{240, 240, 250, 120}, PaletteEntry{30, 220, 0, 250},
                                             PaletteEntry{255, 0, 0, 0}};
    for (int x = 0; x < 5; ++x)
        std::copy_n(pixels[static_cast<std::size_t>(x)].begin(), 4, image.pixel(x, 0));
    PngImportOptions into;
    into.intoPalette = 0;
    std::string error;
    const auto mapped = importObjectPng(menu, writePng(image, PNG_FORMAT_RGBA), error, into);
    ASSERT_TRUE(mapped) << error;
    // The transparent pixel takes the first transparent entry; entry FF is never a colour.
    EXPECT_EQ(menu.IGObjects[*mapped].index_picture->pixels, (std::vector<std::uint8_t>{0, 7, 2, 1, 3}));
    ASSERT_EQ(menu.IGPalettes.size(), 1u);
    EXPECT_EQ(menu.IGPalettes[0], known);

    // A palette file maps through its colours.
    IndexPicture indices(3, 1);
    indices.pixels = {4, 5, 4};
    RgbaPalette own{};
    own[4] = {0, 0, 255, 255};
    own[5] = {255, 20, 20, 255};
    const auto id = importObjectPng(menu, writeIndexPng(indices, own, "x", error), error, into);
    ASSERT_TRUE(id) << error;
    EXPECT_EQ(menu.IGObjects[*id].index_picture->pixels, (std::vector<std::uint8_t>{7, 0, 7}));

    into.intoPalette = 9;
    EXPECT_FALSE(importObjectPng(menu, writeIndexPng(indices, own, "x", error), error, into));
    EXPECT_EQ(error, "there is no palette 09");
}

// Entry FF is not stored, so it is transparent after a save: a palette file of 256 colours
// must not lose the pixels of its last entry.
TEST(PngImport, TheLastPaletteEntryKeepsItsPixelsAfterSave) {
    RgbaPalette all{};
    for (std::size_t e = 0; e < 256; ++e)
        all[e] = {static_cast<std::uint8_t>(e), static_cast<std::uint8_t>(255 - e), 60, 255};
    IndexPicture picture(16, 16);
    for (std::size_t i = 0; i < picture.pixels.size(); ++i) picture.pixels[i] = static_cast<std::uint8_t>(i);
    std::string error;
    const auto expand = [](const IndexPicture& indices, const RgbaPalette& palette) {
        RgbaImage image(indices.width, indices.height);
        for (std::size_t i = 0; i < indices.pixels.size(); ++i)
            std::copy_n(palette[indices.pixels[i]].begin(), 4,
                        image.pixels.begin() + static_cast<std::ptrdiff_t>(i * 4));
        return image;
    };

    // Every entry in use: refused, the menu unchanged.
    TMenu menu = createMenu();
    EXPECT_FALSE(importObjectPng(menu, writeIndexPng(picture, all, "x", error), error));
    EXPECT_EQ(error, "8-bit palette using all 256 colours: entry FF of a menu palette is always "
                     "transparent, so the picture needs 255 colours at most (or save it as RGB)");
    EXPECT_TRUE(menu.IGObjects.empty());
    EXPECT_TRUE(menu.IGPalettes.empty());

    // An entry unused (07) takes the last one's colour; one of the same colour (03) is taken first.
    for (const std::uint8_t spare : {std::uint8_t{7}, std::uint8_t{3}}) {
        SCOPED_TRACE(int{spare});
        IndexPicture used = picture;
        used.pixels[7] = 8;
        RgbaPalette palette = all;
        if (spare == 3) palette[3] = palette[255];
        const auto id = importObjectPng(menu, writeIndexPng(used, palette, "x", error), error);
        ASSERT_TRUE(id) << error;
        const TIGPalette& own = menu.IGPalettes.back();
        const IndexPicture& stored = *menu.IGObjects[*id].index_picture;
        EXPECT_EQ(stored.pixels[255], spare);
        EXPECT_EQ(own.entries[spare], all[255]);
        expectSamePixels(savedAndRead(menu, *id, own.palette_id), expand(used, palette), 3);
    }
}

TEST(PngImport, RefusalsSayWhy) {
    TMenu menu = createMenu();
    menu.IGSc.video_width = 100;
    menu.IGSc.video_height = 50;
    std::string error;
    const auto refused = [&menu, &error](const std::vector<std::uint8_t>& bytes, const std::string& why) {
        const std::size_t objects = menu.IGObjects.size();
        EXPECT_FALSE(importObjectPng(menu, bytes, error)) << why;
        EXPECT_EQ(error.substr(0, why.size()), why);
        EXPECT_EQ(menu.IGObjects.size(), objects);
    };
    const std::string text = "GIF89a, not a picture we take";
    refused(std::vector<std::uint8_t>(text.begin(), text.end()), "not a PNG file");
    refused(writePng(RgbaImage(101, 10), PNG_FORMAT_RGB),
            "the picture is 101 pixels wide, wider than the video (100)");
    refused(writePng(RgbaImage(10, 51), PNG_FORMAT_GA),
            "the picture is 51 pixels tall, taller than the video (50)");
    const auto good = writePng(gradient(40, 20), PNG_FORMAT_RGBA);
    for (const std::size_t cut : {std::size_t{20}, good.size() / 2, good.size() - 12}) {
        SCOPED_TRACE(cut);
        refused(std::vector<std::uint8_t>(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(cut)),
                "truncated PNG file");
    }
    auto damaged = good;
    const std::string bytes(good.begin(), good.end());
    damaged[bytes.find("IDAT") + 10] ^= 0x5A; // its CRC no longer matches
    refused(damaged, "damaged PNG data");

    // RGB of 300 colours when reducing is not wanted.
    RgbaImage many(100, 3);
    for (int i = 0; i < 300; ++i) {
        std::uint8_t* p = many.pixel(i % 100, i / 100);
        p[0] = static_cast<std::uint8_t>(i);
        p[1] = static_cast<std::uint8_t>(i >> 8);
        p[3] = 255;
    }
    PngImportOptions exactOnly;
    exactOnly.quantise = false;
    EXPECT_FALSE(importObjectPng(menu, writePng(many, PNG_FORMAT_RGB), error, exactOnly));
    EXPECT_EQ(error, "RGB with 300 colours, more than the 255 of a palette");

    // Palette files of fewer bits keep their entries and indices.
    RgbaImage indices(5, 1);
    for (int x = 0; x < 5; ++x) indices.pixel(x, 0)[0] = static_cast<std::uint8_t>(x * 3);
    std::vector<std::uint8_t> map(16 * 4, 255);
    map[3 * 4 + 1] = 33;
    const auto fourBit = writePng(indices, PNG_FORMAT_RGBA_COLORMAP, map);
    ASSERT_EQ(fourBit[24], 4); // IHDR bit depth
    const auto id = importObjectPng(menu, fourBit, error);
    ASSERT_TRUE(id) << error;
    EXPECT_EQ(menu.IGObjects[*id].index_picture->pixels, (std::vector<std::uint8_t>{0, 3, 6, 9, 12}));
    EXPECT_EQ(menu.IGPalettes.back().entries[3], (PaletteEntry{255, 33, 255, 255}));
}

} // namespace
} // namespace corvane
