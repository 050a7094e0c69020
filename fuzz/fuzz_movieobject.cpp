// libFuzzer target of the MovieObject.bdmv reader. Any input must read without a crash;
// a file that reads is written, and what is written must read back complete and be
// written again to the same bytes.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "navigation/MovieObject.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::uint8_t> bytes(data, data + size);
    const corvane::MobjReadResult first = corvane::readMovieObject(bytes);
    if (first.status != corvane::ReadStatus::Ok) return 0;
    // A few bytes may declare 65535 objects or commands; the rewrite of such a model is
    // right but slow, and checking it on every run would starve the search.
    std::size_t held = first.mobj.MovieObjects.mobjs.size();
    for (const auto& object : first.mobj.MovieObjects.mobjs) held += object.navigation_commands.size();
    if (held > 20000) return 0;
    const std::vector<std::uint8_t> written = corvane::writeMovieObject(first.mobj);
    const corvane::MobjReadResult again = corvane::readMovieObject(written);
    if (again.status != corvane::ReadStatus::Ok || again.endedEarly) __builtin_trap();
    if (!(again.mobj.MovieObjects == first.mobj.MovieObjects)) __builtin_trap();
    if (corvane::writeMovieObject(again.mobj) != written) __builtin_trap();
    return 0;
}
