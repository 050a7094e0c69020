#pragma once
// The run-length code of HDMV graphics objects (IG and PG object data).
//
// Codes, first byte first:
//   CCCCCCCC (C != 0)                      one pixel of index C
//   00000000 00000000                      end of line
//   00000000 00LLLLLL                      L pixels of index 0 (L != 0)
//   00000000 01LLLLLL LLLLLLLL             L pixels of index 0, 14-bit L
//   00000000 10LLLLLL CCCCCCCC             L pixels of index C
//   00000000 11LLLLLL LLLLLLLL CCCCCCCC    L pixels of index C, 14-bit L
// A run of length 0 fills the rest of the line and ends it.

#include <cstdint>
#include <span>
#include <vector>

#include "graphics/Picture.h"

namespace corvane {

// The largest object the decoder makes a picture for (4096 x 4096 pixels); a larger size
// can only come from damaged data, since no video frame is that big.
inline constexpr std::uint64_t MaxObjectPixels = 4096ull * 4096ull;

// Decodes run-length data into a width x height index picture. Pixels not set stay 0; a
// run ending beyond the right edge ends its line (the pixels past the edge are dropped);
// pixels below the last line are dropped; decoding goes on until the data is used up.
// Sizes beyond MaxObjectPixels give an empty picture.
IndexPicture rle_decode(std::span<const std::uint8_t> data, int width, int height);

// Encodes an index picture line by line; every line ends with 00 00.
std::vector<std::uint8_t> rle_encode(const IndexPicture& picture);
// The same, appended to `out` (one buffer reused over many objects).
void rle_encode(const IndexPicture& picture, std::vector<std::uint8_t>& out);

} // namespace corvane
