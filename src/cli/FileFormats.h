#pragma once
// The file types of dump and resave, recognised by their content (an .exd file by its
// extension): each read into its model, shown as JSON and written back by the
// program's writer.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "json/JsonModel.h"

namespace corvane::cli {

using json::OrderedJson;

struct LoadedFile {
    bool ok = false;
    OrderedJson json;
    std::vector<std::uint8_t> written; // the writer's bytes; empty for a type the program only reads
    std::string_view type;             // the magic, or the extension of a type known by it
};

// Reads `path` into its model. The reader's lines go to stderr unless `quiet`; a file that
// cannot be read or is rejected gets its "error: " line and sets `result`. The writer runs
// only when `writing` (a dump only lists: a menu's objects are never decoded for it).
LoadedFile loadFile(const std::string& path, bool noData, bool quiet, bool writing, int& result);

} // namespace corvane::cli
