// The run-length code: every code form, the edge rules, damaged data and round trips.

#include <gtest/gtest.h>

#include <random>

#include "graphics/ObjectPicture.h"
#include "graphics/RleCodec.h"

namespace corvane {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes row(const IndexPicture& p, int y) {
    return Bytes(p.pixels.begin() + y * p.width, p.pixels.begin() + (y + 1) * p.width);
}

TEST(RleDecode, EveryCodeForm) {
    const Bytes data{
        0x03,                   // one pixel of 3
        0x00, 0x02,             // two pixels of 0
        0x00, 0x83, 0x09,       // three pixels of 9
        0x00, 0x40, 0x41,       // 65 pixels of 0 (14-bit)
        0x00, 0xC0, 0x42, 0x0A, // 66 pixels of 10 (14-bit)
        0x00, 0x00,             // end of line
        0x04,
    };
    const IndexPicture p = rle_decode(data, 1 + 2 + 3 + 65 + 66, 2);
    Bytes first{3, 0, 0, 9, 9, 9};
    first.insert(first.end(), 65, 0);
    first.insert(first.end(), 66, 10);
    EXPECT_EQ(row(p, 0), first);
    EXPECT_EQ(p.at(0, 1), 4);
    EXPECT_EQ(p.at(1, 1), 0);
}

TEST(RleDecode, EdgeRules) {
    // A run ending exactly at the edge leaves the line to its end code.
    IndexPicture p = rle_decode(Bytes{0x05, 0x05, 0x00, 0x00, 0x00, 0x84, 0x07, 0x00, 0x00}, 4, 2);
    EXPECT_EQ(p.pixels, (Bytes{5, 5, 0, 0, 7, 7, 7, 7}));
    // Length 0 fills the rest of the line and ends it, in every run form.
    p = rle_decode(Bytes{0x02, 0x00, 0x80, 0x06, 0x01, 0x00, 0xC0, 0x00, 0x08, 0x03, 0x00, 0x40, 0x00, 0x09},
                   3, 4);
    EXPECT_EQ(p.pixels, (Bytes{2, 6, 6, 1, 8, 8, 3, 0, 0, 9, 0, 0}));
    // A run past the edge is cut and ends the line; its end code then ends the next line.
    p = rle_decode(Bytes{0x00, 0x85, 0x07, 0x00, 0x00, 0x01}, 3, 3);
    EXPECT_EQ(p.pixels, (Bytes{7, 7, 7, 0, 0, 0, 1, 0, 0}));
    // Lines below the picture are dropped; decoding carries on without writing.
    p = rle_decode(Bytes{0x01, 0x00, 0x00, 0x02, 0x00, 0x00, 0x03, 0x00, 0x00}, 1, 2);
    EXPECT_EQ(p.pixels, (Bytes{1, 2}));
}

TEST(RleDecode, DamagedDataLeavesTheRestZero) {
    EXPECT_EQ(rle_decode(Bytes{0x04, 0x00, 0xC0}, 3, 2).pixels, (Bytes{4, 0, 0, 0, 0, 0}));
    EXPECT_EQ(rle_decode(Bytes{}, 2, 1).pixels, (Bytes{0, 0}));
    EXPECT_EQ(rle_decode(Bytes{0x00, 0xFF, 0xFF, 0x05}, 2, 2).pixels, (Bytes{5, 5, 0, 0}));
    EXPECT_TRUE(rle_decode(Bytes{1}, 0, 5).pixels.empty());
    EXPECT_TRUE(rle_decode(Bytes{1}, 4097, 4097).pixels.empty()) << "beyond the size limit";
}

TEST(RleEncode, KnownLines) {
    IndexPicture p(5, 1);
    std::fill(p.pixels.begin(), p.pixels.end(), 7);
    EXPECT_EQ(rle_encode(p), (Bytes{0x00, 0x85, 0x07, 0x00, 0x00}));
    EXPECT_EQ(rle_encode(IndexPicture(100, 1)), (Bytes{0x00, 0x40, 0x64, 0x00, 0x00}));
    p = IndexPicture(3, 1);
    p.pixels = {7, 7, 0};
    EXPECT_EQ(rle_encode(p), (Bytes{0x07, 0x07, 0x00, 0x01, 0x00, 0x00}));
    p = IndexPicture(70, 1);
    std::fill(p.pixels.begin(), p.pixels.end(), 200);
    p.pixels[0] = 1;
    EXPECT_EQ(rle_encode(p), (Bytes{0x01, 0x00, 0xC0, 0x45, 0xC8, 0x00, 0x00}));
    EXPECT_EQ(rle_encode(IndexPicture(0, 2)), (Bytes{0, 0, 0, 0}));
}

TEST(RleCodec, RoundTripsOfAwkwardPictures) {
    std::mt19937 random(11);
    const std::vector<std::pair<int, int>> sizes{{1, 1},  {1, 9},    {2, 3},    {63, 2},   {64, 2},
                                                 {65, 1}, {300, 17}, {1920, 2}, {20000, 1}};
    for (const auto& [w, h] : sizes) {
        for (int style = 0; style < 3; ++style) {
            IndexPicture p(w, h);
            for (auto& px : p.pixels) {
                const auto r = static_cast<std::uint8_t>(random());
                px = style == 0   ? r
                     : style == 1 ? static_cast<std::uint8_t>(r % 3)
                                  : static_cast<std::uint8_t>(r < 8 ? r : 0);
            }
            const Bytes code = rle_encode(p);
            EXPECT_EQ(rle_decode(code, w, h), p) << w << "x" << h << " style " << style;
        }
    }
    // A run longer than one code can hold is split, and still comes back.
    IndexPicture wide(20000, 1);
    std::fill(wide.pixels.begin(), wide.pixels.end(), 3);
    EXPECT_EQ(rle_decode(rle_encode(wide), 20000, 1), wide);
}

TEST(ColourConversion, KnownValues) {
    using Three = std::array<std::uint8_t, 3>;
    EXPECT_EQ(YCrCbToRGB(16, 128, 128), (Three{0, 0, 0}));
    EXPECT_EQ(YCrCbToRGB(235, 128, 128), (Three{255, 255, 255}));
    EXPECT_EQ(YCrCbToRGB(82, 240, 90), (Three{255, 1, 0}));
    // Saturated entries where no channel clamps, worked out by hand from the BT.601 studio-range
    // formula R = 1.164 (Y-16) + 1.596 (Cr-128), G = 1.164 (Y-16) - 0.813 (Cr-128) - 0.391 (Cb-128),
    // B = 1.164 (Y-16) + 2.018 (Cb-128), rounded.
    EXPECT_EQ(YCrCbToRGB(100, 160, 90), (Three{149, 87, 21}));    // 148.848, 86.618, 21.092
    EXPECT_EQ(YCrCbToRGB(150, 100, 160), (Three{111, 166, 221})); // 111.288, 166.228, 220.552
    EXPECT_EQ(YCrCbToRGB(106, 202, 202), (Three{223, 16, 254}));  // 222.864, 15.664, 254.092
    EXPECT_EQ(RGBToYCrCb(255, 255, 255), (Three{235, 128, 128}));
    EXPECT_EQ(RGBToYCrCb(255, 0, 0), (Three{82, 240, 91}));
    EXPECT_EQ(RGBToYCrCb(0, 0, 255), (Three{41, 111, 240}));
    EXPECT_EQ(RGBToYCrCb(0, 0, 0), (Three{16, 128, 128}));
    EXPECT_EQ(YCrCbToRGB(0, 0, 0), (Three{0, 135, 0})) << "out-of-range input clamps";
}

} // namespace
} // namespace corvane
