// libFuzzer target of the .mnu reader with the page parser and the object decoder. Any
// input must read without a crash; a menu that reads whole is saved, and the save must
// read back to the same pages and save again to the same bytes.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "FuzzLimits.h"
#include "graphics/ObjectPicture.h"
#include "menu/IGReader.h"
#include "menu/IGWriter.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    corvane::MnuReadResult first = corvane::loadMNU(std::vector<std::uint8_t>(data, data + size));
    if (corvane::fuzz::claimedPixels(first.menu) > (1u << 22)) return 0;
    for (std::size_t id = 0; id < first.menu.IGObjects.size(); ++id)
        corvane::Obj2Pic(first.menu, static_cast<std::uint16_t>(id), 0);
    if (first.status != corvane::ReadStatus::Ok || first.menu.MenuInTime == 0) return 0;

    const corvane::IGSaveResult saved = corvane::saveIGS(first.menu, corvane::IGSaveMode::Mnu);
    if (!saved.ok) return 0;
    corvane::MnuReadResult again = corvane::loadMNU(saved.bytes);
    if (again.status != corvane::ReadStatus::Ok) __builtin_trap();
    if (!(again.menu.IGSc.pages == first.menu.IGSc.pages)) __builtin_trap();
    if (corvane::saveIGS(again.menu, corvane::IGSaveMode::Mnu).bytes != saved.bytes) __builtin_trap();
    return 0;
}
