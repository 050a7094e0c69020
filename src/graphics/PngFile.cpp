#include "graphics/PngFile.h"

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstring>

#include "graphics/ObjectPicture.h"
#include "graphics/PngLimits.h"
#include "graphics/RleCodec.h"
#include "io/TextUtil.h"

namespace corvane {

namespace {

// libpng reports errors by longjmp; everything that lives across the jump is kept in these
// states, owned by the caller, so no C++ object of the jumping function is skipped.
struct PngReadState {
    std::span<const std::uint8_t> input;
    std::size_t position = 0;
    std::string error;
    bool refused = false; // a valid PNG of a kind we do not take
    IndexPng result;
    std::vector<png_bytep> rows;
};

struct PngWriteState {
    const IndexPicture* picture = nullptr;
    std::vector<png_color> plte;
    std::vector<png_byte> trns;
    std::string software;
    std::vector<std::uint8_t> output;
    std::string error;
    std::vector<png_bytep> rows;
};

void onError(png_structp png, png_const_charp message) {
    auto* error = static_cast<std::string*>(png_get_error_ptr(png));
    if (error) *error = message;
    png_longjmp(png, 1);
}

void onWarning(png_structp, png_const_charp) {}

void readInput(png_structp png, png_bytep out, png_size_t n) {
    auto* state = static_cast<PngReadState*>(png_get_io_ptr(png));
    if (n > state->input.size() - state->position) png_error(png, "the PNG data ends early");
    std::ranges::copy(state->input.subspan(state->position, n), out);
    state->position += n;
}

void writeOutput(png_structp png, png_bytep data, png_size_t n) {
    auto* state = static_cast<PngWriteState*>(png_get_io_ptr(png));
    const std::span<const std::uint8_t> bytes(data, n);
    state->output.insert(state->output.end(), bytes.begin(), bytes.end());
}

void flushOutput(png_structp) {}

bool decodePng(PngReadState& state) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &state.error, onError, onWarning);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_set_read_fn(png, &state, readInput);
    limitPngReader(png, state.input.size());
    png_read_info(png, info);
    const png_uint_32 width = png_get_image_width(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    const int depth = png_get_bit_depth(png, info);
    const int colourType = png_get_color_type(png, info);
    if (depth != 8 || (colourType != PNG_COLOR_TYPE_PALETTE && colourType != PNG_COLOR_TYPE_GRAY) ||
        static_cast<std::uint64_t>(width) * height > MaxObjectPixels) {
        state.refused = true;
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    RgbaPalette& palette = state.result.palette;
    png_bytep trans = nullptr;
    int transCount = 0;
    png_color_16p transGrey = nullptr;
    state.result.hasTransparency = png_get_tRNS(png, info, &trans, &transCount, &transGrey) != 0;
    if (colourType == PNG_COLOR_TYPE_PALETTE) {
        png_colorp plte = nullptr;
        int count = 0;
        png_get_PLTE(png, info, &plte, &count);
        for (int i = 0; i < std::min(count, 256); ++i) {
            const bool listed = state.result.hasTransparency && trans != nullptr && i < transCount;
            palette[static_cast<std::size_t>(i)] = {plte[i].red, plte[i].green, plte[i].blue,
                                                    static_cast<std::uint8_t>(listed ? trans[i] : 255)};
        }
    } else {
        for (int i = 0; i < 256; ++i) {
            const auto grey = static_cast<std::uint8_t>(i);
            const bool clear = state.result.hasTransparency && transGrey != nullptr && transGrey->gray == i;
            palette[static_cast<std::size_t>(i)] = {grey, grey, grey,
                                                    static_cast<std::uint8_t>(clear ? 0 : 255)};
        }
    }
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    state.result.picture = IndexPicture(static_cast<int>(width), static_cast<int>(height));
    state.rows.resize(height);
    for (png_uint_32 y = 0; y < height; ++y)
        state.rows[y] = &state.result.picture.pixels[y * std::size_t{width}];
    png_read_image(png, state.rows.data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

bool encodePng(PngWriteState& state) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &state.error, onError, onWarning);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    const IndexPicture& picture = *state.picture;
    png_set_write_fn(png, &state, writeOutput, flushOutput);
    png_set_IHDR(png, info, static_cast<png_uint_32>(picture.width), static_cast<png_uint_32>(picture.height),
                 8, PNG_COLOR_TYPE_PALETTE, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_set_PLTE(png, info, state.plte.data(), static_cast<int>(state.plte.size()));
    png_set_tRNS(png, info, state.trns.data(), static_cast<int>(state.trns.size()), nullptr);
    png_text text{};
    text.compression = PNG_TEXT_COMPRESSION_NONE;
    text.key = const_cast<png_charp>("Software");
    text.text = state.software.data();
    text.text_length = state.software.size();
    png_set_text(png, info, &text, 1);
    png_write_info(png, info);
    png_write_image(png, state.rows.data());
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return true;
}

} // namespace

std::vector<std::uint8_t> writeIndexPng(const IndexPicture& picture, const RgbaPalette& palette,
                                        const std::string& software, std::string& error) {
    if (picture.width <= 0 || picture.height <= 0) {
        error = "the object has no pixels";
        return {};
    }
    PngWriteState state;
    state.picture = &picture;
    state.software = software;
    for (const auto& entry : palette) {
        state.plte.push_back(png_color{entry[0], entry[1], entry[2]});
        state.trns.push_back(entry[3]);
    }
    state.rows.resize(static_cast<std::size_t>(picture.height));
    for (int y = 0; y < picture.height; ++y)
        state.rows[static_cast<std::size_t>(y)] =
            const_cast<png_bytep>(&picture.pixels[static_cast<std::size_t>(y) * picture.width]);
    if (!encodePng(state)) {
        error = state.error.empty() ? "the PNG could not be made" : state.error;
        return {};
    }
    return std::move(state.output);
}

std::optional<IndexPng> readIndexPng(std::span<const std::uint8_t> bytes, std::string& error) {
    PngReadState state;
    state.input = bytes;
    if (bytes.size() < 8 || png_sig_cmp(bytes.data(), 0, 8) != 0) {
        error = "not a PNG file";
        return std::nullopt;
    }
    if (!pngFitsFile(bytes, error)) return std::nullopt;
    if (!decodePng(state)) {
        error = state.refused ? "not an 8-bit palette or greyscale picture"
                              : (state.error.empty() ? "damaged PNG data" : state.error);
        return std::nullopt;
    }
    return std::move(state.result);
}

std::optional<std::vector<std::uint8_t>> exportObjectPng(TMenu& menu, std::uint16_t objectId,
                                                         std::uint16_t palette, const std::string& software,
                                                         std::string& error) {
    const IndexPicture* picture = rle_decode(menu, objectId);
    if (picture == nullptr) {
        if (objectId < menu.IGObjects.size() && menu.IGObjects[objectId].present()) {
            const TIGobject& object = menu.IGObjects[objectId];
            error = "object " + hexText(objectId, 4) + " is too large to decode (" +
                    std::to_string(object.object_width) + " x " + std::to_string(object.object_height) +
                    " pixels)";
        } else {
            error = "there is no object " + hexText(objectId, 4);
        }
        return std::nullopt;
    }
    auto png = writeIndexPng(*picture, id2pal(menu, palette), software, error);
    if (png.empty()) return std::nullopt;
    return png;
}

std::optional<std::uint16_t> importObjectPng(TMenu& menu, std::span<const std::uint8_t> bytes,
                                             std::string& error) {
    std::string reason;
    auto png = readIndexPng(bytes, reason);
    if (!png || png->picture.width > menu.IGSc.video_width || png->picture.height > menu.IGSc.video_height) {
        error = "Not supported file format!";
        return std::nullopt;
    }
    // Object ids are 16-bit with 0xFFFF meaning none; palette ids are 8-bit.
    if (menu.IGObjects.size() >= NoIGObject || menu.IGPalettes.size() >= 256) {
        error = "No free object or palette id";
        return std::nullopt;
    }
    const auto id = static_cast<std::uint16_t>(menu.IGObjects.size());
    TIGobject object;
    object.object_id = id;
    object.object_width = static_cast<std::uint16_t>(png->picture.width);
    object.object_height = static_cast<std::uint16_t>(png->picture.height);
    object.rle_data_length = static_cast<std::uint32_t>(png->picture.pixels.size());
    object.index_picture = std::make_shared<const IndexPicture>(std::move(png->picture));
    menu.IGObjects.push_back(std::move(object));
    TIGPalette palette;
    palette.palette_id = static_cast<std::uint16_t>(menu.IGPalettes.size());
    palette.entries = png->palette;
    menu.IGPalettes.push_back(palette);
    return id;
}

} // namespace corvane
