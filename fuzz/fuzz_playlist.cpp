// libFuzzer target of the playlist reader. Any input must read without a crash;
// a playlist that reads whole is written, and what is written must read back whole
// and be written again to the same bytes (reserved bits the writer zeroes aside,
// the first write is the fixed point).

#include <cstddef>
#include <cstdint>
#include <vector>

#include "playlist/PlayListReader.h"
#include "playlist/PlayListWriter.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::uint8_t> bytes(data, data + size);
    const corvane::PlsReadResult first = corvane::readPlayList(bytes, "fuzz.mpls");
    if (first.status != corvane::ReadStatus::Ok) return 0;
    const std::vector<std::uint8_t> written = corvane::writePlayList(first.mpls);
    if (written.size() != bytes.size()) __builtin_trap();
    const corvane::PlsReadResult again = corvane::readPlayList(written, "fuzz.mpls");
    if (again.status != corvane::ReadStatus::Ok) __builtin_trap();
    if (corvane::writePlayList(again.mpls) != written) __builtin_trap();
    return 0;
}
