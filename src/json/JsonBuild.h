#pragma once
// The inverse of the dump: a file's JSON back into its model record and through the
// program's writer. Every value is checked before anything is built; the first fault is
// reported as the JSON pointer of the value, what was expected there and what was found.
//
// By default the lengths, counts and start addresses are recomputed from the content, as
// the edit operations keep them in step; with `keepLengths` the lengths are written as the
// JSON holds them, and a count or start address that disagrees with the layout is refused.
// An ExtensionData() block is opaque to the program: its fields are written as they stand.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "io/ExtensionData.h"
#include "navigation/IndexTable.h"
#include "navigation/MovieObject.h"
#include "playlist/PlayList.h"

namespace corvane::json {

struct BuildError {
    std::string pointer;  // "/PlayList/PlayItems/3/IN_time"; "" for the whole document
    std::string expected; // "an integer 0..4294967295"
    std::string found;    // "\"abc\"", or "nothing" for a missing field
    // "/pointer: expected …, found …"
    std::string text() const;
};

struct BuildOptions {
    bool keepLengths = false;
};

std::optional<TExtensionData> extensionDataFromJson(const nlohmann::json& value, const BuildOptions& options,
                                                    BuildError& error);
std::optional<TINDX> indexFromJson(const nlohmann::json& value, const BuildOptions& options,
                                   BuildError& error);
std::optional<TMOBJ> movieObjectFromJson(const nlohmann::json& value, const BuildOptions& options,
                                         BuildError& error);

std::optional<TMPLS> playListFromJson(const nlohmann::json& value, const BuildOptions& options,
                                      BuildError& error);

struct BuiltFile {
    bool ok = false;
    std::string type; // "index.bdmv", "MovieObject.bdmv", "playlist", "ExtensionData"
    std::vector<std::uint8_t> bytes;
    BuildError error;
};

// The type from the top-level content (type_indicator "INDX" or its 32-bit value, "MOBJ", "MPLS";
// an object of an ExtensionData() block's fields is an .exd file), then the model and the
// writer's bytes.
BuiltFile buildFile(const nlohmann::json& value, const BuildOptions& options);

} // namespace corvane::json
