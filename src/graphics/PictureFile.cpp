#include "graphics/PictureFile.h"

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstring>

#include "graphics/PngLimits.h"
#include "io/ByteReader.h"

namespace corvane {

namespace {

// The largest background picture taken, in pixels.
constexpr std::uint64_t MaxPicturePixels = 64ull * 1024 * 1024;

// libpng jumps out on errors; everything living across the jump is kept here, owned by the caller.
struct PngReadState {
    std::span<const std::uint8_t> input;
    std::size_t position = 0;
    std::string error;
    RgbaImage image;
    std::vector<png_bytep> rows;
};

void readPngInput(png_structp png, png_bytep out, png_size_t n) {
    auto* state = static_cast<PngReadState*>(png_get_io_ptr(png));
    if (n > state->input.size() - state->position) png_error(png, "the PNG data ends early");
    std::ranges::copy(state->input.subspan(state->position, n), out);
    state->position += n;
}

struct PngWriteBuffer {
    std::vector<std::uint8_t> bytes;
};

void appendPngData(png_structp png, png_bytep data, png_size_t n) {
    auto* out = static_cast<PngWriteBuffer*>(png_get_io_ptr(png));
    const std::span<const std::uint8_t> bytes(data, n);
    out->bytes.insert(out->bytes.end(), bytes.begin(), bytes.end());
}

void flushPngData(png_structp) {}

void pngError(png_structp png, png_const_charp message) {
    auto* error = static_cast<std::string*>(png_get_error_ptr(png));
    if (error) *error = message;
    png_longjmp(png, 1);
}

void pngWarning(png_structp, png_const_charp) {}

// Any colour type, depth and interlace as 8-bit RGBA (no alpha: opaque).
bool decodeRgbaPng(PngReadState& state) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &state.error, pngError, pngWarning);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_set_read_fn(png, &state, readPngInput);
    limitPngReader(png, state.input.size());
    png_read_info(png, info);
    const png_uint_32 width = png_get_image_width(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    if (static_cast<std::uint64_t>(width) * height > MaxPicturePixels) {
        state.error = "the picture is too large";
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_set_expand(png);
    png_set_scale_16(png);
    png_set_gray_to_rgb(png);
    png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != std::size_t{width} * 4) {
        state.error = "the PNG could not be read as RGBA";
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    state.image = RgbaImage(static_cast<int>(width), static_cast<int>(height));
    state.rows.resize(height);
    for (png_uint_32 y = 0; y < height; ++y) state.rows[y] = state.image.pixel(0, static_cast<int>(y));
    png_read_image(png, state.rows.data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

// libpng jumps out on errors; only plain data lives in this frame.
bool encodeRgbPng(const std::vector<png_bytep>& rows, int width, int height, PngWriteBuffer& out,
                  std::string& error) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &error, pngError, pngWarning);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, &out, appendPngData, flushPngData);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_write_image(png, const_cast<png_bytepp>(rows.data()));
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return true;
}

} // namespace

std::optional<RgbaImage> readRgbaPng(std::span<const std::uint8_t> bytes, std::string& error) {
    if (bytes.size() < 8 || png_sig_cmp(bytes.data(), 0, 8) != 0) {
        error = "not a PNG file";
        return std::nullopt;
    }
    if (!pngFitsFile(bytes, error)) return std::nullopt;
    PngReadState state;
    state.input = bytes;
    if (!decodeRgbaPng(state)) {
        error = state.error.empty() ? "damaged PNG data" : state.error;
        return std::nullopt;
    }
    return std::move(state.image);
}

std::optional<RgbaImage> readBmp(std::span<const std::uint8_t> bytes, std::string& error) {
    if (bytes.size() < 2 || bytes[0] != 'B' || bytes[1] != 'M') {
        error = "not a bitmap file";
        return std::nullopt;
    }
    // The file header and the info header; fields are little-endian.
    ByteReader in(bytes);
    in.skip(10); // "BM", file size, reserved
    const std::uint32_t dataOffset = in.readlwordLE();
    const std::uint32_t headerSize = in.readlwordLE();
    const auto width = static_cast<std::int32_t>(in.readlwordLE());
    const auto rawHeight = static_cast<std::int32_t>(in.readlwordLE());
    in.skip(2); // planes
    const std::uint32_t bits = in.readwordLE();
    const std::uint32_t compression = in.readlwordLE();
    in.skip(12); // image size, resolution
    std::uint32_t colours = in.readlwordLE();
    const bool topDown = rawHeight < 0;
    const std::int64_t height = topDown ? -static_cast<std::int64_t>(rawHeight) : rawHeight;
    if (in.overrun() || headerSize < 40 || width <= 0 || height <= 0 || width > 16384 || height > 16384 ||
        (bits != 8 && bits != 24 && bits != 32) || !(compression == 0 || (compression == 3 && bits == 32))) {
        error = "not an uncompressed 8, 24 or 32-bit bitmap";
        return std::nullopt;
    }
    if (colours == 0 || colours > 256) colours = 256;
    const std::size_t stride = (static_cast<std::size_t>(width) * bits / 8 + 3) / 4 * 4;
    if (dataOffset > bytes.size() ||
        (bytes.size() - dataOffset) / stride < static_cast<std::size_t>(height)) {
        error = "the bitmap data ends early";
        return std::nullopt;
    }
    RgbaImage image(width, static_cast<int>(height));
    const std::size_t paletteAt = 14 + headerSize;
    for (int y = 0; y < image.height; ++y) {
        const std::size_t row =
            dataOffset + stride * static_cast<std::size_t>(topDown ? y : image.height - 1 - y);
        for (int x = 0; x < width; ++x) {
            std::uint8_t* p = image.pixel(x, y);
            std::size_t at = row + static_cast<std::size_t>(x) * bits / 8;
            if (bits == 8) {
                const std::uint32_t index = bytes[at];
                at = paletteAt + 4 * static_cast<std::size_t>(std::min<std::uint32_t>(index, colours - 1));
            }
            ByteReader bgr = in.range(at, 3);
            if (bgr.size() < 3) bgr = ByteReader(); // a palette entry past the data reads as black
            p[2] = static_cast<std::uint8_t>(bgr.readbyte());
            p[1] = static_cast<std::uint8_t>(bgr.readbyte());
            p[0] = static_cast<std::uint8_t>(bgr.readbyte());
            p[3] = 255;
        }
    }
    return image;
}

std::vector<std::uint8_t> writeRgbPng(const RgbaImage& image, std::string& error) {
    if (image.width <= 0 || image.height <= 0) {
        error = "the picture is empty";
        return {};
    }
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(image.width) * image.height * 3);
    for (std::size_t i = 0, j = 0; i < image.pixels.size(); i += 4, j += 3)
        std::copy_n(image.pixels.begin() + static_cast<std::ptrdiff_t>(i), 3,
                    rgb.begin() + static_cast<std::ptrdiff_t>(j));
    std::vector<png_bytep> rows(static_cast<std::size_t>(image.height));
    for (std::size_t y = 0; y < rows.size(); ++y)
        rows[y] = &rgb[y * static_cast<std::size_t>(image.width) * 3];
    PngWriteBuffer out;
    if (!encodeRgbPng(rows, image.width, image.height, out, error)) return {};
    return std::move(out.bytes);
}

} // namespace corvane
