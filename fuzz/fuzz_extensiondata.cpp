// Feeds arbitrary bytes to the ExtensionData reader and its views.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "io/ExtensionData.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::uint8_t> bytes(data, data + size);
    std::string error;
    if (auto block = corvane::readExdBytes(bytes, error)) {
        corvane::ExtDatCap(*block);
        corvane::exdFileBytes(*block);
        for (std::size_t i = 0; i < block->ext_data_entries.size() && i < 4; ++i)
            corvane::extDataView(*block, i);
    }
    return 0;
}
