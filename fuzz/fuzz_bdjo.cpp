// libFuzzer target of the BD-J object reader: any input reads without a crash, and the
// table texts of whatever was read can be made.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "bdj/BdjObject.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const corvane::BdjoReadResult result =
        corvane::readBDJO(std::vector<std::uint8_t>(data, data + size), "fuzz.bdjo");
    const auto rows = corvane::applicationRows(result.bdjo);
    for (const auto& app : result.bdjo.ApplicationManagementTable.applications) {
        corvane::profileRows(app);
        corvane::nameRows(app);
        corvane::parameterRows(app);
    }
    if (rows.size() != result.bdjo.ApplicationManagementTable.applications.size()) __builtin_trap();
    return 0;
}
