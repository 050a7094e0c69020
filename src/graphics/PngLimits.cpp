#include "graphics/PngLimits.h"

#include <algorithm>

#include "io/ByteReader.h"

namespace corvane {

namespace {

constexpr std::uint32_t IHDR = 0x49484452, IDAT = 0x49444154, IEND = 0x49454E44;
constexpr std::uint64_t MaxInflateRatio = 1032;

// Samples per pixel of a PNG colour type (0 for a type libpng refuses anyway).
std::uint64_t channels(std::uint8_t colourType) {
    switch (colourType) {
    case 0:
    case 3:
        return 1;
    case 2:
        return 3;
    case 4:
        return 2;
    case 6:
        return 4;
    default:
        return 0;
    }
}

} // namespace

bool pngFitsFile(std::span<const std::uint8_t> bytes, std::string& error) {
    ByteReader in(bytes);
    in.skip(8);
    std::uint64_t width = 0, height = 0, bitsPerPixel = 0, compressed = 0;
    bool header = false;
    while (!in.atEnd()) {
        const std::uint64_t length = in.readlword();
        const std::uint32_t type = in.readlword();
        if (in.overrun() || length + 4 > in.remaining()) {
            error = "a PNG chunk runs past the end of the file";
            return false;
        }
        ByteReader data = in.sub(static_cast<std::size_t>(length));
        in.skip(4); // CRC
        if (type == IHDR && length >= 13 && !header) {
            width = data.readlword();
            height = data.readlword();
            const std::uint8_t depth = data.readbyte();
            bitsPerPixel = depth * channels(data.readbyte());
            header = true;
        }
        if (type == IDAT) compressed += length;
        if (type == IEND) break;
    }
    if (!header) {
        error = "the PNG has no picture header";
        return false;
    }
    // Each row inflates to a filter byte and its pixels; interlacing only adds to that.
    const std::uint64_t raw = height * (1 + (width * bitsPerPixel + 7) / 8);
    if (raw > compressed * MaxInflateRatio + 64) {
        error = "the PNG claims " + std::to_string(width) + " x " + std::to_string(height) +
                " pixels, more than its compressed data can hold";
        return false;
    }
    return true;
}

void limitPngReader(png_structp png, std::size_t fileSize) {
    png_set_user_limits(png, 0xFFFF, 0xFFFF);
    png_set_chunk_cache_max(png, 64);
    png_set_chunk_malloc_max(png, std::max<std::size_t>(fileSize, 4096));
    static const png_byte skipped[] = {'i', 'C', 'C', 'P', 0, 's', 'P', 'L', 'T', 0, 't', 'E', 'X', 't', 0,
                                       'z', 'T', 'X', 't', 0, 'i', 'T', 'X', 't', 0, 'e', 'X', 'I', 'f', 0};
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, skipped, 6);
}

} // namespace corvane
