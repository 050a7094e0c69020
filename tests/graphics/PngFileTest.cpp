// Objects exchanged with 8-bit palette PNG files.

#include <gtest/gtest.h>

#include <png.h>
#include <zlib.h>

#include <random>

#include "graphics/ObjectPicture.h"
#include "graphics/PictureFile.h"
#include "graphics/PngFile.h"
#include "io/FileIO.h"
#include "menu/MenuTestUtil.h"

namespace corvane {
namespace {

// A PNG made straight with libpng's simplified writer (true colour, grey, other depths).
std::vector<std::uint8_t> simplePng(int width, int height, png_uint_32 format) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = format;
    std::vector<std::uint8_t> pixels(PNG_IMAGE_SIZE(image), 0x55);
    png_alloc_size_t size = 0;
    png_image_write_to_memory(&image, nullptr, &size, 0, pixels.data(), 0, nullptr);
    std::vector<std::uint8_t> out(size);
    png_image_write_to_memory(&image, out.data(), &size, 0, pixels.data(), 0, nullptr);
    out.resize(size);
    return out;
}

// Strips one chunk type from a PNG file.
std::vector<std::uint8_t> withoutChunk(const std::vector<std::uint8_t>& png, const std::string& type) {
    std::vector<std::uint8_t> out(png.begin(), png.begin() + 8);
    for (std::size_t at = 8; at + 12 <= png.size();) {
        const std::size_t length =
            (std::size_t{png[at]} << 24) | (png[at + 1] << 16) | (png[at + 2] << 8) | png[at + 3];
        const std::string name(png.begin() + static_cast<std::ptrdiff_t>(at + 4),
                               png.begin() + static_cast<std::ptrdiff_t>(at + 8));
        if (name != type)
            out.insert(out.end(), png.begin() + static_cast<std::ptrdiff_t>(at),
                       png.begin() + static_cast<std::ptrdiff_t>(at + 12 + length));
        at += 12 + length;
    }
    return out;
}

TEST(PngFile, ExportThenImportGivesTheSamePictureAndPalette) {
    TMenu menu = testing::sampleMenu();
    std::string error;
    const auto png = exportObjectPng(menu, 4, 1, "Corvane v0.29b", error);
    ASSERT_TRUE(png) << error;
    const std::string text(png->begin(), png->end());
    EXPECT_NE(text.find("tEXtSoftware"), std::string::npos);
    EXPECT_NE(text.find("Corvane v0.29b"), std::string::npos);
    EXPECT_NE(text.find("tRNS"), std::string::npos);

    const auto read = readIndexPng(*png, error);
    ASSERT_TRUE(read) << error;
    EXPECT_TRUE(read->hasTransparency);
    EXPECT_EQ(read->picture, *menu.IGObjects[4].index_picture);
    EXPECT_EQ(read->palette, menu.IGPalettes[1].entries);

    const std::size_t objects = menu.IGObjects.size(), palettes = menu.IGPalettes.size();
    const auto id = importObjectPng(menu, *png, error);
    ASSERT_TRUE(id) << error;
    EXPECT_EQ(*id, objects);
    ASSERT_EQ(menu.IGPalettes.size(), palettes + 1);
    const TIGobject& object = menu.IGObjects[*id];
    EXPECT_EQ(object.object_id, *id);
    EXPECT_EQ(object.object_width, 200);
    EXPECT_EQ(object.rle_data_length, 200u * 120u);
    EXPECT_EQ(menu.IGPalettes.back().palette_id, palettes);
    EXPECT_EQ(menu.IGPalettes.back().entries, menu.IGPalettes[1].entries);
    EXPECT_EQ(*Obj2Pic(menu, *id, static_cast<std::uint16_t>(palettes)), *Obj2Pic(menu, 4, 1));
}

TEST(PngFile, WithoutTransparencyChunkEveryEntryIsOpaque) {
    TMenu menu = testing::sampleMenu();
    std::string error;
    const auto png = withoutChunk(*exportObjectPng(menu, 0, 0, "x", error), "tRNS");
    const auto read = readIndexPng(png, error);
    ASSERT_TRUE(read) << error;
    EXPECT_FALSE(read->hasTransparency);
    for (const auto& entry : read->palette) EXPECT_EQ(entry[3], 255);
    EXPECT_EQ(read->palette[5][0], menu.IGPalettes[0].entries[5][0]);
}

TEST(PngFile, ImportRefusesWhatTheMenuCannotHold) {
    TMenu menu = testing::sampleMenu();
    menu.IGSc.video_width = 100;
    menu.IGSc.video_height = 50;
    const TMenu before = menu;
    std::string error;
    IndexPicture wide(101, 10), tall(10, 51), fits(100, 50);
    const RgbaPalette palette{};
    EXPECT_FALSE(importObjectPng(menu, writeIndexPng(wide, palette, "x", error), error));
    EXPECT_EQ(error, "the picture is 101 pixels wide, wider than the video (100)");
    EXPECT_FALSE(importObjectPng(menu, writeIndexPng(tall, palette, "x", error), error));
    EXPECT_EQ(error, "the picture is 51 pixels tall, taller than the video (50)");
    EXPECT_EQ(menu.IGObjects.size(), before.IGObjects.size());
    EXPECT_EQ(menu.IGPalettes.size(), before.IGPalettes.size());
    EXPECT_TRUE(importObjectPng(menu, writeIndexPng(fits, palette, "x", error), error));
    // True colour and 16-bit grey are taken too: one colour, one entry.
    for (png_uint_32 format : {PNG_FORMAT_RGB, PNG_FORMAT_RGBA, PNG_FORMAT_LINEAR_Y}) {
        const auto id = importObjectPng(menu, simplePng(8, 8, format), error);
        ASSERT_TRUE(id) << format << ": " << error;
        EXPECT_EQ(menu.IGObjects[*id].index_picture->pixels, std::vector<std::uint8_t>(64, 0));
    }

    // Greyscale of 8 bits is 8 bits per pixel: its palette is the grey ramp.
    const auto grey = readIndexPng(simplePng(4, 4, PNG_FORMAT_GRAY), error);
    ASSERT_TRUE(grey) << error;
    EXPECT_EQ(grey->palette[0x55], (PaletteEntry{0x55, 0x55, 0x55, 255}));
    EXPECT_EQ(grey->picture.pixels[0], 0x55);
}

TEST(PngFileRobust, DamagedFilesAreRefusedCleanly) {
    TMenu menu = testing::sampleMenu();
    std::string error;
    const auto png = *exportObjectPng(menu, 1, 0, "x", error);
    for (std::size_t cut = 0; cut < png.size(); cut += 1 + cut / 50) {
        const std::vector<std::uint8_t> part(png.begin(), png.begin() + static_cast<std::ptrdiff_t>(cut));
        EXPECT_FALSE(readIndexPng(part, error));
        EXPECT_FALSE(error.empty());
    }
    std::mt19937 random(3);
    for (int round = 0; round < 200; ++round) {
        auto damaged = png;
        damaged[8 + random() % (damaged.size() - 8)] ^= static_cast<std::uint8_t>(1 + random() % 255);
        const auto read = readIndexPng(damaged, error);
        if (read) {
            EXPECT_EQ(read->picture.pixels.size(),
                      static_cast<std::size_t>(read->picture.width) * read->picture.height);
        }
    }
    EXPECT_FALSE(readIndexPng(std::vector<std::uint8_t>{}, error));
    std::string path = std::string(CORVANE_TEST_DATA) + "/menu/png-text-chunk-claims-1gb.png";
    const auto huge = readWholeFile(path, error);
    ASSERT_TRUE(huge) << error;
    EXPECT_FALSE(readIndexPng(*huge, error));
    EXPECT_EQ(error, "a PNG chunk runs past the end of the file");
    EXPECT_FALSE(exportObjectPng(menu, 0x4000, 0, "x", error));
    EXPECT_FALSE(writeIndexPng(IndexPicture(0, 3), RgbaPalette{}, "x", error).size());
}

// One PNG chunk; `claimed` replaces the length field when set.
void appendChunk(std::vector<std::uint8_t>& png, const std::string& type,
                 const std::vector<std::uint8_t>& data, std::optional<std::uint32_t> claimed = std::nullopt) {
    const std::uint32_t length = claimed.value_or(static_cast<std::uint32_t>(data.size()));
    for (int shift = 24; shift >= 0; shift -= 8) png.push_back(static_cast<std::uint8_t>(length >> shift));
    std::vector<std::uint8_t> body(type.begin(), type.end());
    body.insert(body.end(), data.begin(), data.end());
    png.insert(png.end(), body.begin(), body.end());
    const auto crc = static_cast<std::uint32_t>(crc32(0, body.data(), static_cast<uInt>(body.size())));
    for (int shift = 24; shift >= 0; shift -= 8) png.push_back(static_cast<std::uint8_t>(crc >> shift));
}

// Signature and IHDR of a picture of the given size and colour type, 8 bits per sample.
std::vector<std::uint8_t> pngHeader(std::uint32_t width, std::uint32_t height, std::uint8_t colourType) {
    std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<std::uint8_t> ihdr;
    for (std::uint32_t value : {width, height})
        for (int shift = 24; shift >= 0; shift -= 8)
            ihdr.push_back(static_cast<std::uint8_t>(value >> shift));
    ihdr.insert(ihdr.end(), {8, colourType, 0, 0, 0});
    appendChunk(png, "IHDR", ihdr);
    if (colourType == 3) appendChunk(png, "PLTE", {0, 0, 0});
    return png;
}

// Before libpng allocates anything, a PNG is held to what its bytes can hold: no chunk
// longer than the file (libpng sized a text chunk's buffer by its claim), no picture larger
// than its compressed data inflates to (libpng allocated all rows first). Both readers.
TEST(PngFileRobust, ClaimsBeyondTheFileAreRefusedBeforeAllocating) {
    std::string error;
    for (const std::string type : {"tEXt", "zTXt", "iCCP"}) {
        SCOPED_TRACE(type);
        auto png = pngHeader(16, 16, 3);
        appendChunk(png, type, {'C', 'o', 'm', 'm', 'e', 'n', 't', 0, 'x'}, 0x40000000u);
        appendChunk(png, "IEND", {});
        EXPECT_FALSE(readRgbaPng(png, error));
        EXPECT_EQ(error, "a PNG chunk runs past the end of the file");
        EXPECT_FALSE(readIndexPng(png, error));
        EXPECT_EQ(error, "a PNG chunk runs past the end of the file");
    }
    const std::vector<std::uint8_t> zeros(100, 0);
    std::vector<std::uint8_t> idat(compressBound(zeros.size()));
    uLongf idatSize = idat.size();
    ASSERT_EQ(compress(idat.data(), &idatSize, zeros.data(), zeros.size()), Z_OK);
    idat.resize(idatSize);
    struct Claim {
        std::uint32_t width, height;
        std::uint8_t colourType;
    };
    for (const Claim claim : {Claim{100000, 100000, 6}, Claim{8000, 8000, 6}, Claim{4096, 4096, 3}}) {
        SCOPED_TRACE(std::to_string(claim.width) + " x " + std::to_string(claim.height));
        auto png = pngHeader(claim.width, claim.height, claim.colourType);
        appendChunk(png, "IDAT", idat);
        appendChunk(png, "IEND", {});
        const std::string claimed = "the PNG claims " + std::to_string(claim.width) + " x " +
                                    std::to_string(claim.height) +
                                    " pixels, more than its compressed data can hold";
        EXPECT_FALSE(readRgbaPng(png, error));
        EXPECT_EQ(error, claimed);
        EXPECT_FALSE(readIndexPng(png, error));
        EXPECT_EQ(error, claimed);
    }
    // A whole page of one colour, as compressed as deflate goes, still reads.
    const auto flat = writeRgbPng(RgbaImage(1920, 1080), error);
    ASSERT_FALSE(flat.empty()) << error;
    const auto read = readRgbaPng(flat, error);
    ASSERT_TRUE(read) << error;
    EXPECT_EQ(read->width, 1920);
}

} // namespace
} // namespace corvane
