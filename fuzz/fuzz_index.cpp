// libFuzzer target of the index.bdmv reader. Any input must read without a crash;
// a file that reads is written, and what is written must read back to the same
// Indexes and ExtensionData and be written again to the same bytes. A UHD entry that
// decodes, encoded again, leaves the block as it was.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "navigation/IndexTable.h"
#include "navigation/IndexUhd.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::uint8_t> bytes(data, data + size);
    const corvane::IndexReadResult first = corvane::readIndex(bytes);
    if (first.status != corvane::ReadStatus::Ok) return 0;
    const std::vector<std::uint8_t> written = corvane::writeIndex(first.index);
    const corvane::IndexReadResult again = corvane::readIndex(written);
    if (again.status != corvane::ReadStatus::Ok) __builtin_trap();
    if (!(again.index.Indexes == first.index.Indexes) ||
        !(again.index.ExtensionData == first.index.ExtensionData))
        __builtin_trap();
    if (corvane::writeIndex(again.index) != written) __builtin_trap();
    if (const auto uhd = corvane::readUhdDiscInfo(first.index.ExtensionData)) {
        corvane::TExtensionData block = first.index.ExtensionData;
        if (!corvane::writeUhdDiscInfo(block, *uhd) || !(block == first.index.ExtensionData))
            __builtin_trap();
    }
    return 0;
}
