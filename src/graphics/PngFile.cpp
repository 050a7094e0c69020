#include "graphics/PngFile.h"

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstring>

#include "graphics/ObjectPicture.h"
#include "graphics/PictureFile.h"
#include "graphics/PngLimits.h"
#include "graphics/Quantise.h"
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
    if (depth > 8 || (colourType != PNG_COLOR_TYPE_PALETTE && colourType != PNG_COLOR_TYPE_GRAY) ||
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
            // Fewer bits of grey are widened to 8 (value * 255 / (2^depth - 1)), tRNS with them.
            const int levels = (1 << depth) - 1;
            const bool clear = state.result.hasTransparency && transGrey != nullptr &&
                               transGrey->gray <= levels && transGrey->gray * 255 / levels == i;
            palette[static_cast<std::size_t>(i)] = {grey, grey, grey,
                                                    static_cast<std::uint8_t>(clear ? 0 : 255)};
        }
    }
    if (depth < 8) {
        if (colourType == PNG_COLOR_TYPE_PALETTE)
            png_set_packing(png);
        else
            png_set_expand_gray_1_2_4_to_8(png);
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
        error = state.refused ? "not a palette or greyscale picture of 8 bits or fewer"
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

namespace {

struct PngHeader {
    std::uint32_t width = 0, height = 0;
    int depth = 0, colourType = 0;
};

// IHDR, the chunk every PNG starts with.
std::optional<PngHeader> pngHeader(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < 8 + 8 + 13 || std::memcmp(&bytes[12], "IHDR", 4) != 0) return std::nullopt;
    const auto word = [&bytes](std::size_t at) {
        return (std::uint32_t{bytes[at]} << 24) | (std::uint32_t{bytes[at + 1]} << 16) |
               (std::uint32_t{bytes[at + 2]} << 8) | bytes[at + 3];
    };
    return PngHeader{word(16), word(20), bytes[24], bytes[25]};
}

// "RGB", "16-bit RGBA", "greyscale with alpha", ... for messages.
std::string pngKind(const PngHeader& header) {
    std::string kind = header.depth == 16 ? "16-bit " : "";
    switch (header.colourType) {
    case PNG_COLOR_TYPE_RGB:
        return kind + "RGB";
    case PNG_COLOR_TYPE_RGB_ALPHA:
        return kind + "RGBA";
    case PNG_COLOR_TYPE_GRAY_ALPHA:
        return kind + "greyscale with alpha";
    case PNG_COLOR_TYPE_GRAY:
        return kind + "greyscale";
    default:
        return std::to_string(header.depth) + "-bit palette";
    }
}

// A reader's reason as the import reports it: a file that ends early is truncated.
std::string damageReason(const std::string& reason) {
    if (reason.find("end") != std::string::npos) return "truncated PNG file: " + reason;
    return "damaged PNG data: " + reason;
}

RgbaImage expanded(const IndexPng& png) {
    RgbaImage image(png.picture.width, png.picture.height);
    for (std::size_t i = 0; i < png.picture.pixels.size(); ++i) {
        const PaletteEntry& entry = png.palette[png.picture.pixels[i]];
        std::copy(entry.begin(), entry.end(), image.pixels.begin() + static_cast<std::ptrdiff_t>(i * 4));
    }
    return image;
}

// Entry FF is written as no entry, so it is fully transparent on every reload: its pixels move
// to an entry of the same colour or to an unused one. Refused when all 256 colours are in use.
bool freeLastEntry(PaletteArt& art, std::string& error) {
    std::array<bool, 256> used{};
    for (const std::uint8_t index : art.picture.pixels) used[index] = true;
    PaletteEntry& last = art.palette[TransparentEntry];
    if (used[TransparentEntry] && last[3] != 0) {
        std::size_t target = TransparentEntry;
        for (std::size_t e = 0; e < ColourEntries && target == TransparentEntry; ++e)
            if (used[e] && art.palette[e] == last) target = e;
        for (std::size_t e = 0; e < ColourEntries && target == TransparentEntry; ++e)
            if (!used[e]) target = e;
        if (target == TransparentEntry) {
            error = "8-bit palette using all 256 colours: entry FF of a menu palette is always "
                    "transparent, so the picture needs 255 colours at most (or save it as RGB)";
            return false;
        }
        art.palette[target] = last;
        for (std::uint8_t& index : art.picture.pixels)
            if (index == TransparentEntry) index = static_cast<std::uint8_t>(target);
    }
    last = {};
    return true;
}

} // namespace

std::optional<std::uint16_t> importObjectPng(TMenu& menu, std::span<const std::uint8_t> bytes,
                                             std::string& error, const PngImportOptions& options) {
    if (bytes.size() < 8 || png_sig_cmp(bytes.data(), 0, 8) != 0) {
        error = "not a PNG file";
        return std::nullopt;
    }
    std::string reason;
    const auto header = pngHeader(bytes);
    if (!header) {
        error = bytes.size() < 8 + 8 + 13 ? "truncated PNG file: it ends in its header"
                                          : "damaged PNG data: the file does not start with its header";
        return std::nullopt;
    }
    if (!pngFitsFile(bytes, reason)) {
        error = damageReason(reason);
        return std::nullopt;
    }
    if (header->width > menu.IGSc.video_width) {
        error = "the picture is " + std::to_string(header->width) + " pixels wide, wider than the video (" +
                std::to_string(menu.IGSc.video_width) + ")";
        return std::nullopt;
    }
    if (header->height > menu.IGSc.video_height) {
        error = "the picture is " + std::to_string(header->height) + " pixels tall, taller than the video (" +
                std::to_string(menu.IGSc.video_height) + ")";
        return std::nullopt;
    }
    if (static_cast<std::uint64_t>(header->width) * header->height > MaxObjectPixels) {
        error = "the picture has " + std::to_string(header->width) + " x " + std::to_string(header->height) +
                " pixels, more than an object holds";
        return std::nullopt;
    }
    // Object ids are 16-bit with 0xFFFF meaning none; palette ids are 8-bit.
    if (menu.IGObjects.size() >= NoIGObject || (!options.intoPalette && menu.IGPalettes.size() >= 256)) {
        error = "No free object or palette id";
        return std::nullopt;
    }
    if (options.intoPalette && *options.intoPalette >= menu.IGPalettes.size()) {
        error = "there is no palette " + hexText(*options.intoPalette, 2);
        return std::nullopt;
    }

    PaletteArt art;
    const bool indexed = header->depth <= 8 && (header->colourType == PNG_COLOR_TYPE_PALETTE ||
                                                header->colourType == PNG_COLOR_TYPE_GRAY);
    if (indexed) {
        auto png = readIndexPng(bytes, reason);
        if (!png) {
            error = damageReason(reason);
            return std::nullopt;
        }
        if (options.intoPalette) {
            art.picture = nearestEntries(expanded(*png), menu.IGPalettes[*options.intoPalette].entries);
        } else {
            art = {std::move(png->picture), png->palette};
            if (!freeLastEntry(art, error)) return std::nullopt;
        }
    } else {
        const auto image = readRgbaPng(bytes, reason);
        if (!image) {
            error = damageReason(reason);
            return std::nullopt;
        }
        std::size_t colours = 0;
        if (options.intoPalette) {
            art.picture = nearestEntries(*image, menu.IGPalettes[*options.intoPalette].entries);
        } else if (auto exact = exactPalette(*image, colours)) {
            art = std::move(*exact);
        } else if (!options.quantise) {
            error = pngKind(*header) + " with " + std::to_string(colours) +
                    " colours, more than the 255 of a palette";
            return std::nullopt;
        } else if (auto reduced = quantisePalette(*image, reason)) {
            art = std::move(*reduced);
        } else {
            error = reason;
            return std::nullopt;
        }
    }

    const auto id = static_cast<std::uint16_t>(menu.IGObjects.size());
    TIGobject object;
    object.object_id = id;
    object.object_width = static_cast<std::uint16_t>(art.picture.width);
    object.object_height = static_cast<std::uint16_t>(art.picture.height);
    object.rle_data_length = static_cast<std::uint32_t>(art.picture.pixels.size());
    object.index_picture = std::make_shared<const IndexPicture>(std::move(art.picture));
    menu.IGObjects.push_back(std::move(object));
    if (!options.intoPalette) {
        TIGPalette palette;
        palette.palette_id = static_cast<std::uint16_t>(menu.IGPalettes.size());
        palette.entries = art.palette;
        menu.IGPalettes.push_back(palette);
    }
    return id;
}

} // namespace corvane
