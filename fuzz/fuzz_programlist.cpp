// libFuzzer target of the program-list readers: any input, read as a list form and as a
// binary form, gives commands without a crash; the commands written again in either form
// read back to the same commands.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "navigation/ProgramList.h"

namespace {

void checkRoundTrip(const std::vector<corvane::TNavCommand>& commands) {
    if (commands.size() > 4096) return; // keep runs short
    const std::string text = corvane::programListText(commands);
    const auto fromText = corvane::readProgramListText(text);
    if (!fromText.rejectedLines.empty() || !(fromText.commands == commands)) __builtin_trap();
    const auto fromBinary = corvane::readProgramListBinary(corvane::programListBinary(commands));
    if (fromBinary.trailingBytes != 0 || !(fromBinary.commands == commands)) __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto binary = corvane::readProgramListBinary(std::span(data, size));
    if (binary.commands.size() * 12 + binary.trailingBytes != size) __builtin_trap();
    checkRoundTrip(binary.commands);
    const auto text =
        corvane::readProgramListText(std::string_view(reinterpret_cast<const char*>(data), size));
    checkRoundTrip(text.commands);
    return 0;
}
