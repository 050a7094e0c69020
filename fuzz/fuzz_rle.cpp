// libFuzzer target of the run-length decoder: the first four bytes give the width and
// height, the rest is the code. Decoding never fails; what it makes must encode and decode
// back to itself.

#include <cstddef>
#include <cstdint>
#include <span>

#include "graphics/RleCodec.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4) return 0;
    const int width = (data[0] << 8 | data[1]) % 2048;
    const int height = (data[2] << 8 | data[3]) % 1024;
    const corvane::IndexPicture picture = corvane::rle_decode(std::span(data + 4, size - 4), width, height);
    if (picture.pixels.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height))
        __builtin_trap();
    if (!(corvane::rle_decode(corvane::rle_encode(picture), width, height) == picture)) __builtin_trap();
    return 0;
}
