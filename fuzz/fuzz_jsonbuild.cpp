// Feeds arbitrary bytes to build's JSON reader: any JSON document, both ways of treating
// the lengths, and a built file read back by its reader.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "navigation/IndexTable.h"
#include "navigation/MovieObject.h"
#include "playlist/PlayListReader.h"
#include "json/JsonBuild.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto value = nlohmann::json::parse(data, data + size, nullptr, false);
    if (value.is_discarded()) return 0;
    for (bool keep : {false, true}) {
        const auto built = corvane::json::buildFile(value, corvane::json::BuildOptions{keep});
        if (!built.ok) {
            built.error.text();
            continue;
        }
        if (built.type == "index.bdmv") corvane::readIndex(built.bytes);
        if (built.type == "MovieObject.bdmv") corvane::readMovieObject(built.bytes);
        if (built.type == "playlist") corvane::readPlayList(built.bytes, "fuzz.mpls", true);
    }
    return 0;
}
