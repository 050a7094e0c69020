#pragma once
// Byte comparison of the tests: a hex dump around the first difference instead of two
// element lists.

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "io/TextUtil.h"

namespace corvane::testing {

// Empty when equal; otherwise the first differing offset with 16 bytes of each side around it.
inline std::string byteDifference(const std::vector<std::uint8_t>& expected,
                                  const std::vector<std::uint8_t>& actual) {
    const std::size_t common = std::min(expected.size(), actual.size());
    std::size_t at = 0;
    while (at < common && expected[at] == actual[at]) ++at;
    if (at == common && expected.size() == actual.size()) return {};
    auto dump = [&](const std::vector<std::uint8_t>& bytes) {
        std::string text;
        const std::size_t from = at >= 8 ? at - 8 : 0;
        for (std::size_t i = from; i < std::min(bytes.size(), from + 16); ++i)
            text += (i == at ? "[" : " ") + hexText(bytes[i], 2) + (i == at ? "]" : "");
        return text;
    };
    return "sizes " + std::to_string(expected.size()) + " / " + std::to_string(actual.size()) +
           ", first difference at $" + hexText(at, 8) + "\n expected:" + dump(expected) +
           "\n   actual:" + dump(actual);
}

} // namespace corvane::testing
