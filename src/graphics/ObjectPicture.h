#pragma once
// Object pictures: palette conversions, decoding an object once, colouring it per palette
// (cached), cropping, the palette chart with its pointer readout and the object view texts.

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "graphics/Picture.h"
#include "menu/IGMenu.h"

namespace corvane {

// Integer BT.601 studio-range conversions of palette entries (results clamped).
std::array<std::uint8_t, 3> YCrCbToRGB(int Y, int Cr, int Cb); // R, G, B
std::array<std::uint8_t, 3> RGBToYCrCb(int R, int G, int B);   // Y, Cr, Cb

// The object's run-length bytes from its fragments, no more than rle_data_length.
std::vector<std::uint8_t> objectRleData(const TMenu& menu, const TIGobject& object);
// Whether the object has something to draw: present, width, height and data non-zero.
bool objectDrawable(const TMenu& menu, std::uint16_t objectId);
// The object's index picture: the one it holds, or one decoded now and not kept; nullptr
// for an id without an object or an object too large to decode.
std::shared_ptr<const IndexPicture> objectPicture(const TMenu& menu, std::uint16_t objectId);
// Decodes the object's index picture once and keeps it in the object.
const IndexPicture* rle_decode(TMenu& menu, std::uint16_t objectId);
// The RGBA palette of palette id `palette`; all zero (transparent) for an id without one.
RgbaPalette id2pal(const TMenu& menu, std::uint16_t palette);
// Colours an index picture: R, G, B from the entry, alpha = the entry's T.
RgbaImage colourPicture(const IndexPicture& picture, const RgbaPalette& palette);

// The object picture for a palette, made on first use and cached per (object, palette);
// nullptr when the object has nothing to draw.
std::shared_ptr<const RgbaImage> Obj2Pic(TMenu& menu, std::uint16_t objectId, std::uint16_t palette);
// Whether Obj2Pic has the picture already (else a first decode may take a while).
bool objectPictureCached(const TMenu& menu, std::uint16_t objectId, std::uint16_t palette);
// Columns x1 .. x2-1 and rows y1 .. y2-1 of the object picture; parts outside the object
// are transparent. An empty or inverted rectangle gives an empty picture.
RgbaImage Obj2PicCr(TMenu& menu, std::uint16_t objectId, std::uint16_t palette, int x1, int y1, int x2,
                    int y2);
// Forgets every cached object picture (after a palette or object edit).
void clearObjectCache(TMenu& menu);

// The 350 x 180 palette chart: colours on the left, transparencies on the right, each
// entry n in a 10-pixel cell at row n / 16, column n % 16, on the background colour (0xRRGGBB).
RgbaImage paletteChart(const RgbaPalette& palette, std::uint32_t backgroundRgb);
// The palette entry under a pointer position of the chart, either grid.
std::optional<int> paletteEntryAt(int x, int y);
// "Palette: 0A (10)".
std::string paletteTitle(int palette);
// The status text of the chart under the pointer: the title, and with an entry under the
// pointer its colour, opacity and transparency.
std::string paletteReadout(int palette, const RgbaPalette& entries, int x, int y);

// What the object view shows for (object, palette).
struct ShownPicture {
    bool changed = false; // false: the view keeps what it shows
    RgbaImage image;
    std::string status; // the text of status panel 1
};
// The object on the background colour (or the palette chart when `paletteOnly`); object
// 0xFFFF shows a 1 x 1 picture and "No object assigned".
ShownPicture showButtonPic(TMenu& menu, std::uint16_t objectId, std::uint16_t palette, bool paletteOnly,
                           std::uint32_t backgroundRgb);
// "Size: WxH,  Object: XXXX,  Palette: PP,  RLE pixel data: n (w*h)".
std::string objectDescription(const TIGobject& object, std::uint16_t palette);
// The proposed file name of an object export: "IGobject_0002_pal_01".
std::string objectSaveName(std::size_t objectIndex, std::size_t paletteIndex);

} // namespace corvane
