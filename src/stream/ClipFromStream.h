#pragma once
// The clip information of a transport stream made elsewhere (an m2ts of 192-byte source
// packets), found by one read of the stream in blocks.
//
// A movie clip (application type 1): one ATC and one STC sequence from packet 0 on the
// PCR PID, presentation times from the video's first and last PTS, one program with the
// PMT's streams and their attributes from the elementary streams' headers (MPEG-2
// sequence header, H.264 SPS, AC-3 / E-AC-3 / DTS / LPCM headers), and an EP map for
// the video with an entry at each PES that carries an I picture.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "stream/ClipInfo.h"

namespace corvane {

inline constexpr std::uint8_t MovieApplicationType = 1;
inline constexpr std::uint8_t VideoEPStreamType = 1;

// One entry point of the video: the PES start packet and its PTS (90 kHz).
struct EntryPoint {
    std::uint32_t spn = 0;
    std::uint64_t pts = 0;    // 33-bit
    std::uint32_t endSpn = 0; // the last packet of the PES that carries the I picture
};

// The coarse and fine tables of one stream's EP map (EP_map_for_one_stream_PID()), and
// the entry fields that go with them.
struct EPMapTables {
    std::uint16_t coarseCount = 0;
    std::uint32_t fineCount = 0;
    std::vector<std::uint8_t> bytes;
};
EPMapTables epMapTables(const std::vector<EntryPoint>& entries);

// The entry points as a reader sees them in EP_map_data of a one-PID EP map.
std::vector<EntryPoint> decodeEPMap(const TCPI& cpi);

// The clip information of the stream at `m2tsPath`; nullopt with `error` set when it cannot
// be read or has no PAT/PMT.
std::optional<TCLPI> clipInfoFromStream(const std::string& m2tsPath, std::string& error);

} // namespace corvane
