// Object pictures per palette, cropping, the palette chart and its readout, the view texts.

#include <gtest/gtest.h>

#include "graphics/ObjectPicture.h"
#include "menu/MenuTestUtil.h"

namespace corvane {
namespace {

TMenu menuWithOneObject() {
    TMenu menu = createMenu();
    IndexPicture picture(3, 2);
    picture.pixels = {0, 1, 2, 2, 1, 0};
    testing::addObject(menu, 0, picture);
    menu.IGPalettes.resize(2);
    menu.IGPalettes[0].entries[1] = {10, 20, 30, 255};
    menu.IGPalettes[0].entries[2] = {40, 50, 60, 128};
    menu.IGPalettes[1].entries[1] = {1, 2, 3, 4};
    return menu;
}

TEST(ObjectPicture, ColoursPerPaletteAndCaches) {
    TMenu menu = menuWithOneObject();
    EXPECT_FALSE(objectPictureCached(menu, 0, 0));
    const auto first = Obj2Pic(menu, 0, 0);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->width, 3);
    EXPECT_EQ(std::vector<std::uint8_t>(first->pixels.begin(), first->pixels.begin() + 12),
              (std::vector<std::uint8_t>{0, 0, 0, 0, 10, 20, 30, 255, 40, 50, 60, 128}));
    EXPECT_TRUE(objectPictureCached(menu, 0, 0));
    EXPECT_EQ(Obj2Pic(menu, 0, 0), first) << "a second call is the cached picture";
    const auto other = Obj2Pic(menu, 0, 1);
    EXPECT_EQ(std::vector<std::uint8_t>(other->pixels.begin() + 4, other->pixels.begin() + 8),
              (std::vector<std::uint8_t>{1, 2, 3, 4}));
    const auto missingPalette = Obj2Pic(menu, 0, 9);
    EXPECT_EQ(missingPalette->pixels, std::vector<std::uint8_t>(24, 0)) << "no palette: transparent";
    EXPECT_EQ(Obj2Pic(menu, 5, 0), nullptr);
    clearObjectCache(menu);
    EXPECT_FALSE(objectPictureCached(menu, 0, 0));
}

TEST(ObjectPicture, CropCutsAndPadsWithTransparency) {
    TMenu menu = menuWithOneObject();
    const RgbaImage part = Obj2PicCr(menu, 0, 0, 1, 0, 3, 2);
    ASSERT_EQ(part.width, 2);
    ASSERT_EQ(part.height, 2);
    EXPECT_EQ(part.pixel(0, 0)[0], 10);
    EXPECT_EQ(part.pixel(1, 0)[0], 40);
    EXPECT_EQ(part.pixel(1, 1)[3], 0);
    const RgbaImage outside = Obj2PicCr(menu, 0, 0, 2, 1, 5, 3);
    ASSERT_EQ(outside.width, 3);
    EXPECT_EQ(outside.pixel(0, 0)[3], 0);
    EXPECT_EQ(outside.pixel(2, 1)[3], 0);
    EXPECT_EQ(Obj2PicCr(menu, 0, 0, 2, 0, 2, 2).width, 0);
}

TEST(PaletteChart, EntryUnderThePointer) {
    EXPECT_EQ(paletteEntryAt(11, 11), 0);
    EXPECT_EQ(paletteEntryAt(170, 170), 255);
    EXPECT_EQ(paletteEntryAt(181, 11), 0);
    EXPECT_EQ(paletteEntryAt(340, 21), 16 + 15);
    EXPECT_EQ(paletteEntryAt(10, 11), std::nullopt);
    EXPECT_EQ(paletteEntryAt(175, 50), std::nullopt);
    // The pixel after the last cell names no 17th column or row.
    EXPECT_EQ(paletteEntryAt(171, 11), std::nullopt);
    EXPECT_EQ(paletteEntryAt(11, 171), std::nullopt);
    EXPECT_EQ(paletteEntryAt(341, 11), std::nullopt);
}

TEST(PaletteChart, ReadoutTexts) {
    RgbaPalette p{};
    p[0] = {255, 0, 16, 0};
    p[1] = {0, 0, 0, 255};
    p[2] = {1, 2, 3, 128};
    EXPECT_EQ(paletteReadout(10, p, 0, 0), "Palette: 0A (10)");
    EXPECT_EQ(paletteReadout(10, p, 11, 11),
              "Palette: 0A (10)      Color: 00 (0)      RGB: #FF0010  (255,0,16)      Opacity: 00 (0)"
              "      Transparency: FF (255)  100%");
    EXPECT_EQ(paletteReadout(1, p, 191, 11),
              "Palette: 01 (1)      Color: 01 (1)      RGB: #000000  (0,0,0)      "
              "Opacity: FF (255)      Transparency: 00 (0)  0%");
    EXPECT_NE(paletteReadout(1, p, 201, 11).find("Transparency: 7F (127)  49%"), std::string::npos);
}

TEST(PaletteChart, CellsShowColourAndTransparency) {
    RgbaPalette p{};
    p[17] = {200, 100, 50, 255};
    p[18] = {0, 0, 0, 0};
    const RgbaImage chart = paletteChart(p, 0xC0C0C0);
    ASSERT_EQ(chart.width, 350);
    ASSERT_EQ(chart.height, 180);
    auto rgb = [&](int x, int y) {
        const std::uint8_t* px = chart.pixel(x, y);
        return std::array<int, 3>{px[0], px[1], px[2]};
    };
    // Entry 17: row 1, column 1; colour cell at (20, 20), transparency cell at (190, 20).
    EXPECT_EQ(rgb(20, 20), (std::array<int, 3>{192, 192, 192})) << "corner cut";
    EXPECT_EQ(rgb(21, 20), (std::array<int, 3>{0, 0, 0})) << "frame";
    EXPECT_EQ(rgb(24, 24), (std::array<int, 3>{200, 100, 50}));
    EXPECT_EQ(rgb(21, 21), (std::array<int, 3>{0, 0, 0})) << "inner corner cut";
    EXPECT_EQ(rgb(194, 24), (std::array<int, 3>{255, 255, 255})) << "opaque: white";
    EXPECT_EQ(rgb(204, 24), (std::array<int, 3>{192, 192, 192})) << "transparent: the background";
    EXPECT_EQ(rgb(5, 5), (std::array<int, 3>{192, 192, 192}));
}

TEST(ObjectView, ShownPicturesAndTexts) {
    TMenu menu = menuWithOneObject();
    ShownPicture shown = showButtonPic(menu, NoIGObject, 0, false, 0);
    EXPECT_TRUE(shown.changed);
    EXPECT_EQ(shown.image.width, 1);
    EXPECT_EQ(shown.status, "No object assigned");
    shown = showButtonPic(menu, 0, 0, false, 0xFF0000);
    ASSERT_TRUE(shown.changed);
    EXPECT_EQ(shown.status, "Size: 3x2,  Object: 0000,  Palette: 00,  RLE pixel data: 6 (6)");
    EXPECT_EQ(shown.image.pixel(0, 0)[0], 255) << "transparent pixel shows the background";
    EXPECT_EQ(shown.image.pixel(1, 0)[0], 10);
    shown = showButtonPic(menu, 0, 1, true, 0);
    EXPECT_EQ(shown.image.width, 350);
    EXPECT_EQ(shown.status, "Palette: 01 (1)");
    menu.IGObjects.resize(3); // a gap slot shows nothing new
    EXPECT_FALSE(showButtonPic(menu, 2, 0, false, 0).changed);
    EXPECT_EQ(objectSaveName(2, 1), "IGobject_0002_pal_01");

    TIGobject large;
    large.object_id = 0x1A;
    large.object_width = 1920;
    large.object_height = 1080;
    large.rle_data_length = 1234567;
    EXPECT_EQ(objectDescription(large, 0x0B),
              "Size: 1920x1080,  Object: 001A,  Palette: 0B,  RLE pixel data: 1,234,567 (2,073,600)");
}

} // namespace
} // namespace corvane
