// libFuzzer target of the PNG object importer and the background reader. Any input is read
// or refused with a reason; an imported object saves as a PNG that reads back to the same
// picture and palette.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "graphics/PictureFile.h"
#include "graphics/PngFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string error;
    if (!corvane::readRgbaPng(std::span(data, size), error) && error.empty()) __builtin_trap();
    error.clear();
    corvane::TMenu menu = corvane::createMenu();
    const auto id = corvane::importObjectPng(menu, std::span(data, size), error);
    if (!id) {
        if (error.empty()) __builtin_trap();
        return 0;
    }
    const auto png = corvane::exportObjectPng(menu, *id, 0, "fuzz", error);
    if (!png) __builtin_trap();
    const auto back = corvane::readIndexPng(*png, error);
    if (!back || !(back->picture == *menu.IGObjects[*id].index_picture) ||
        back->palette != menu.IGPalettes[0].entries)
        __builtin_trap();
    return 0;
}
