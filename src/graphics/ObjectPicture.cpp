#include "graphics/ObjectPicture.h"

#include <algorithm>

#include "graphics/RleCodec.h"
#include "io/TextUtil.h"

namespace corvane {

namespace {

std::uint8_t clampByte(int value, int low, int high) {
    return static_cast<std::uint8_t>(std::clamp(value, low, high));
}

// Chart geometry: 16 x 16 cells of 10 pixels from (10, 10) and (180, 10).
constexpr int ChartWidth = 350;
constexpr int ChartHeight = 180;
constexpr int CellSize = 10;
constexpr int ColourGridX = 10;
constexpr int AlphaGridX = 180;
constexpr int GridY = 10;

// A square of `size` pixels at (x, y) without its four corner pixels.
template <typename Paint> void cutSquare(int x, int y, int size, Paint paint) {
    for (int row = 0; row < size; ++row)
        for (int col = 0; col < size; ++col) {
            const bool corner = (row == 0 || row == size - 1) && (col == 0 || col == size - 1);
            if (!corner) paint(x + col, y + row);
        }
}

void setPixel(RgbaImage& image, int x, int y, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    std::uint8_t* p = image.pixel(x, y);
    p[0] = r;
    p[1] = g;
    p[2] = b;
    p[3] = 255;
}

std::uint8_t blend(std::uint8_t over, std::uint8_t under, unsigned alpha) {
    return static_cast<std::uint8_t>((over * alpha + under * (255 - alpha) + 127) / 255);
}

// The cell (0 to 15) of a grid starting at gridStart under a pointer coordinate. Cells are
// counted from one pixel inside the origin, so the grid ends at gridStart + 160.
std::optional<int> cellIndex(int position, int gridStart) {
    if (position < gridStart + 1 || position > gridStart + 16 * CellSize) return std::nullopt;
    return (position - gridStart - 1) / CellSize;
}

} // namespace

std::array<std::uint8_t, 3> YCrCbToRGB(int Y, int Cr, int Cb) {
    const int y = 1164 * (Y - 16);
    return {clampByte((y + 1596 * (Cr - 128) + 500) / 1000, 0, 255),
            clampByte((y - 813 * (Cr - 128) - 391 * (Cb - 128) + 500) / 1000, 0, 255),
            clampByte((y + 2018 * (Cb - 128) + 500) / 1000, 0, 255)};
}

std::array<std::uint8_t, 3> RGBToYCrCb(int R, int G, int B) {
    return {clampByte((257 * R + 504 * G + 98 * B + 500) / 1000 + 16, 16, 235),
            clampByte((439 * R - 368 * G - 71 * B + 500) / 1000 + 128, 16, 240),
            clampByte((-148 * R - 291 * G + 439 * B + 500) / 1000 + 128, 16, 240)};
}

std::vector<std::uint8_t> objectRleData(const TMenu& menu, const TIGobject& object) {
    std::vector<std::uint8_t> data;
    if (!menu.MenuDataFile) return data;
    const auto& source = *menu.MenuDataFile;
    data.reserve(std::min<std::size_t>(object.rle_data_length, source.size()));
    for (const auto& fragment : object.fragments) {
        const std::size_t start = std::min<std::size_t>(fragment.data_position, source.size());
        const std::size_t wanted =
            std::min<std::size_t>(fragment.data_length, object.rle_data_length - data.size());
        const std::size_t end = std::min(start + wanted, source.size());
        data.insert(data.end(), source.begin() + static_cast<std::ptrdiff_t>(start),
                    source.begin() + static_cast<std::ptrdiff_t>(end));
        if (data.size() >= object.rle_data_length) break;
    }
    return data;
}

bool objectDrawable(const TMenu& menu, std::uint16_t objectId) {
    if (objectId >= menu.IGObjects.size()) return false;
    const TIGobject& object = menu.IGObjects[objectId];
    return object.present() && object.object_width != 0 && object.object_height != 0 &&
           object.rle_data_length != 0;
}

std::shared_ptr<const IndexPicture> objectPicture(const TMenu& menu, std::uint16_t objectId) {
    if (objectId >= menu.IGObjects.size()) return nullptr;
    const TIGobject& object = menu.IGObjects[objectId];
    if (object.index_picture) return object.index_picture;
    if (!object.present()) return nullptr;
    if (static_cast<std::uint64_t>(object.object_width) * object.object_height > MaxObjectPixels)
        return nullptr;
    const std::vector<std::uint8_t> data = objectRleData(menu, object);
    return std::make_shared<const IndexPicture>(rle_decode(data, object.object_width, object.object_height));
}

const IndexPicture* rle_decode(TMenu& menu, std::uint16_t objectId) {
    auto picture = objectPicture(menu, objectId);
    if (picture) menu.IGObjects[objectId].index_picture = picture;
    return picture.get();
}

RgbaPalette id2pal(const TMenu& menu, std::uint16_t palette) {
    if (palette >= menu.IGPalettes.size()) return RgbaPalette{};
    return menu.IGPalettes[palette].entries;
}

RgbaImage colourPicture(const IndexPicture& picture, const RgbaPalette& palette) {
    RgbaImage image(picture.width, picture.height);
    for (std::size_t i = 0; i < picture.pixels.size(); ++i) {
        const PaletteEntry& entry = palette[picture.pixels[i]];
        std::copy(entry.begin(), entry.end(), image.pixels.begin() + static_cast<std::ptrdiff_t>(i * 4));
    }
    return image;
}

std::shared_ptr<const RgbaImage> Obj2Pic(TMenu& menu, std::uint16_t objectId, std::uint16_t palette) {
    const auto key = std::make_pair(objectId, palette);
    if (auto cached = menu.objectCache.find(key); cached != menu.objectCache.end()) return cached->second;
    const IndexPicture* picture = rle_decode(menu, objectId);
    if (picture == nullptr) return nullptr;
    auto image = std::make_shared<const RgbaImage>(colourPicture(*picture, id2pal(menu, palette)));
    menu.objectCache.emplace(key, image);
    return image;
}

bool objectPictureCached(const TMenu& menu, std::uint16_t objectId, std::uint16_t palette) {
    return menu.objectCache.count(std::make_pair(objectId, palette)) != 0;
}

RgbaImage Obj2PicCr(TMenu& menu, std::uint16_t objectId, std::uint16_t palette, int x1, int y1, int x2,
                    int y2) {
    if (x2 <= x1 || y2 <= y1) return {};
    if (static_cast<std::uint64_t>(x2 - x1) * static_cast<std::uint64_t>(y2 - y1) > MaxObjectPixels)
        return {};
    RgbaImage part(x2 - x1, y2 - y1);
    const auto whole = Obj2Pic(menu, objectId, palette);
    if (!whole) return part;
    for (int y = std::max(y1, 0); y < std::min(y2, whole->height); ++y)
        for (int x = std::max(x1, 0); x < std::min(x2, whole->width); ++x)
            std::copy_n(whole->pixel(x, y), 4, part.pixel(x - x1, y - y1));
    return part;
}

void clearObjectCache(TMenu& menu) {
    menu.objectCache.clear();
}

RgbaImage paletteChart(const RgbaPalette& palette, std::uint32_t backgroundRgb) {
    RgbaImage chart(ChartWidth, ChartHeight);
    chart.fill(backgroundRgb);
    const auto bgR = static_cast<std::uint8_t>(backgroundRgb >> 16);
    const auto bgG = static_cast<std::uint8_t>(backgroundRgb >> 8);
    const auto bgB = static_cast<std::uint8_t>(backgroundRgb);
    for (int n = 0; n < 256; ++n) {
        const int row = n / 16, column = n % 16;
        const PaletteEntry& e = palette[static_cast<std::size_t>(n)];
        const int y = GridY + CellSize * row;
        const int colourX = ColourGridX + CellSize * column;
        const int alphaX = AlphaGridX + CellSize * column;
        auto black = [&](int px, int py) { setPixel(chart, px, py, 0, 0, 0); };
        cutSquare(colourX, y, 9, black);
        cutSquare(colourX + 1, y + 1, 7, [&](int px, int py) { setPixel(chart, px, py, e[0], e[1], e[2]); });
        cutSquare(alphaX, y, 9, black);
        cutSquare(alphaX + 1, y + 1, 7, [&](int px, int py) {
            setPixel(chart, px, py, blend(255, bgR, e[3]), blend(255, bgG, e[3]), blend(255, bgB, e[3]));
        });
    }
    return chart;
}

std::optional<int> paletteEntryAt(int x, int y) {
    const auto row = cellIndex(y, GridY);
    if (!row) return std::nullopt;
    if (const auto column = cellIndex(x, ColourGridX)) return *row * 16 + *column;
    if (const auto column = cellIndex(x, AlphaGridX)) return *row * 16 + *column;
    return std::nullopt;
}

std::string paletteTitle(int palette) {
    return "Palette: " + hexText(static_cast<std::uint64_t>(palette), 2) + " (" + std::to_string(palette) +
           ")";
}

std::string paletteReadout(int palette, const RgbaPalette& entries, int x, int y) {
    std::string text = paletteTitle(palette);
    const auto entry = paletteEntryAt(x, y);
    if (!entry) return text;
    const PaletteEntry& e = entries[static_cast<std::size_t>(*entry)];
    const int transparency = 255 - e[3];
    text += "      Color: " + hexText(static_cast<std::uint64_t>(*entry), 2) + " (" + std::to_string(*entry) +
            ")";
    text += "      RGB: #" + hexText(e[0], 2) + hexText(e[1], 2) + hexText(e[2], 2) + "  (" +
            std::to_string(e[0]) + "," + std::to_string(e[1]) + "," + std::to_string(e[2]) + ")";
    text += "      Opacity: " + hexText(e[3], 2) + " (" + std::to_string(e[3]) + ")";
    text += "      Transparency: " + hexText(static_cast<std::uint64_t>(transparency), 2) + " (" +
            std::to_string(transparency) + ")  " + std::to_string(transparency * 100 / 255) + "%";
    return text;
}

std::string objectDescription(const TIGobject& object, std::uint16_t palette) {
    const std::int64_t pixels = static_cast<std::int64_t>(object.object_width) * object.object_height;
    return "Size: " + std::to_string(object.object_width) + "x" + std::to_string(object.object_height) +
           ",  Object: " + hexText(object.object_id, 4) + ",  Palette: " + hexText(palette, 2) +
           ",  RLE pixel data: " + thousands(object.rle_data_length) + " (" + thousands(pixels) + ")";
}

ShownPicture showButtonPic(TMenu& menu, std::uint16_t objectId, std::uint16_t palette, bool paletteOnly,
                           std::uint32_t backgroundRgb) {
    ShownPicture shown;
    if (paletteOnly) {
        shown.changed = true;
        shown.image = paletteChart(id2pal(menu, palette), backgroundRgb);
        shown.status = paletteTitle(palette);
        return shown;
    }
    if (objectId == NoIGObject) {
        shown.changed = true;
        shown.image = RgbaImage(1, 1);
        shown.status = "No object assigned";
        return shown;
    }
    if (!objectDrawable(menu, objectId)) return shown;
    const auto picture = Obj2Pic(menu, objectId, palette);
    if (!picture) return shown;
    shown.changed = true;
    shown.image = RgbaImage(picture->width, picture->height);
    shown.image.fill(backgroundRgb);
    drawBlended(shown.image, *picture, 0, 0);
    shown.status = objectDescription(menu.IGObjects[objectId], palette);
    return shown;
}

std::string objectSaveName(std::size_t objectIndex, std::size_t paletteIndex) {
    return "IGobject_" + hexText(objectIndex, 4) + "_pal_" + hexText(paletteIndex, 2);
}

} // namespace corvane
