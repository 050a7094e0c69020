// libFuzzer target of the clip information reader: any input reads without a crash,
// and the page texts can be made from whatever model comes back.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "stream/ClipInfo.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::uint8_t> bytes(data, data + size);
    const corvane::ClipReadResult result = corvane::readClipInfo(bytes, "fuzz.clpi");
    if (result.status == corvane::ReadStatus::Ok && result.messages.empty()) __builtin_trap();
    corvane::clipStreamRows(result.clpi);
    corvane::sequenceRows(result.clpi);
    corvane::stcRows(result.clpi);
    corvane::atcDeltaRows(result.clpi);
    corvane::fontFileRows(result.clpi);
    corvane::epMapRows(result.clpi);
    return 0;
}
