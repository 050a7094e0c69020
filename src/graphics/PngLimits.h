#pragma once
// Bounds on what libpng may allocate for a PNG held in memory: checked on the bytes before
// libpng sees them, and set on each read struct.

#include <png.h>

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace corvane {

// Whether every chunk lies within the file and the IHDR picture could come out of the
// compressed IDAT data the file holds (deflate expands at most 1032 times); the reason in
// `error` when not. libpng allocates a chunk's buffer at its declared length before reading
// it, and the rows at the declared size before inflating, so a few bytes could cost
// gigabytes otherwise.
bool pngFitsFile(std::span<const std::uint8_t> bytes, std::string& error);

// Limits of one read: no chunk buffer larger than the file, few ancillary chunks kept, and
// the text, profile and suggested-palette chunks (whose inflated size the file does not
// bound) skipped unread.
void limitPngReader(png_structp png, std::size_t fileSize);

} // namespace corvane
