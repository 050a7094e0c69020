#pragma once
// True-colour pictures as files: PNG of any colour type (through libpng) and uncompressed
// Windows bitmaps in, RGB PNG out. Used for page backgrounds and page snapshots.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "graphics/Picture.h"

namespace corvane {

// Reads a PNG of any colour type as RGBA; nothing (and `error`) for damaged data, a chunk
// past the end or a picture larger than its compressed data can hold.
std::optional<RgbaImage> readRgbaPng(std::span<const std::uint8_t> bytes, std::string& error);
// Reads an uncompressed Windows bitmap (8, 24 or 32 bits per pixel) as opaque RGBA.
std::optional<RgbaImage> readBmp(std::span<const std::uint8_t> bytes, std::string& error);
// An RGB PNG of the picture (alpha dropped); empty and `error` set on failure.
std::vector<std::uint8_t> writeRgbPng(const RgbaImage& image, std::string& error);

} // namespace corvane
