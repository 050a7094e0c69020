// libFuzzer target of the background-picture readers: any input, read as a PNG of any colour
// type and as a Windows bitmap, is a picture or a refusal with a reason. A picture has the
// pixels its size says, and an RGB PNG of it reads back to the same size.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "graphics/PictureFile.h"

namespace {

void checkPicture(const std::optional<corvane::RgbaImage>& picture, const std::string& error) {
    if (!picture) {
        if (error.empty()) __builtin_trap();
        return;
    }
    if (picture->width <= 0 || picture->height <= 0) __builtin_trap();
    if (picture->pixels.size() != std::size_t(picture->width) * std::size_t(picture->height) * 4)
        __builtin_trap();
    if (std::size_t(picture->width) * std::size_t(picture->height) > (1u << 20)) return; // keep runs short
    std::string writeError;
    const auto png = corvane::writeRgbPng(*picture, writeError);
    if (png.empty()) __builtin_trap();
    std::string readError;
    const auto back = corvane::readRgbaPng(png, readError);
    if (!back || back->width != picture->width || back->height != picture->height) __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    std::string error;
    checkPicture(corvane::readRgbaPng(bytes, error), error);
    error.clear();
    checkPicture(corvane::readBmp(bytes, error), error);
    return 0;
}
