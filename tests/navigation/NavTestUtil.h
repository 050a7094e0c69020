#pragma once
// Helpers of the navigation database tests: sample files, the acceptance set and
// the byte comparison of TestBytes.h.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "TestBytes.h"

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

} // namespace corvane::testing
