#pragma once
// Helpers of the navigation database tests: sample files, the acceptance set and
// a byte comparison that shows a hex dump around the first difference.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "io/TextUtil.h"

namespace corvane::testing {

inline std::vector<std::uint8_t> readSample(const std::string& name) {
    const std::string path = std::string(CORVANE_TEST_DATA) + "/navigation/" + name;
    std::ifstream file(path, std::ios::binary);
    EXPECT_TRUE(file.good()) << "missing sample " << path;
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

inline std::vector<std::uint8_t> readPath(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// The acceptance sample set beside the repository (or $CORVANE_ACCEPTANCE_DATA).
inline std::filesystem::path acceptanceFolder() {
    if (const char* env = std::getenv("CORVANE_ACCEPTANCE_DATA")) return env;
    return std::filesystem::path(CORVANE_TEST_DATA) / ".." / ".." / ".." / "shared" / "acceptance" / "data";
}

// Every file of the acceptance set with the given name (any case), sorted.
inline std::vector<std::filesystem::path> acceptanceFiles(const std::string& lowerName) {
    std::vector<std::filesystem::path> found;
    std::error_code ec;
    const auto root = acceptanceFolder();
    if (!std::filesystem::is_directory(root, ec)) return found;
    for (auto it = std::filesystem::recursive_directory_iterator(root, ec);
         !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
        if (!it->is_regular_file(ec)) continue;
        std::string name = it->path().filename().string();
        std::transform(name.begin(), name.end(), name.begin(),
                       [](unsigned char c) { return std::tolower(c); });
        if (name == lowerName) found.push_back(it->path());
    }
    std::sort(found.begin(), found.end());
    return found;
}

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
