// Feeds arbitrary text to the log markup parser and checks that the spans stay inside the line.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "shell/Markup.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto line = corvane::parseMarkup(text);
    for (const auto& span : line.spans)
        if (span.start + span.length > line.text.size()) std::abort();
    if (corvane::striptags(text) != line.text) std::abort();
    return 0;
}
