#pragma once
// The clip information and the playlist that put a muxed menu stream on a disc.
//
// A menu clip is a sub TS for an interactive graphics menu (application type 5): one ATC
// sequence and one STC sequence from packet 0, one program with the IG stream, and no EP
// map, as real menu clips have; a player then reads the clip from its first packet to
// number_of_source_packets. Its playlist plays the clip once from the presentation start
// to the end and holds the last picture (still without end), so the menu stays up.

#include <cstdint>
#include <string>
#include <vector>

#include "playlist/PlayList.h"
#include "stream/ClipInfo.h"

namespace corvane {

struct MuxOutput;

inline constexpr std::uint32_t MenuClipRecordingRate = 6000000; // bytes per second (48 Mbit/s)
inline constexpr std::uint8_t MenuClipApplicationType = 5;      // Sub TS for an IG menu
inline constexpr std::uint8_t IgCodingType = 0x91;
inline constexpr std::uint32_t MenuClipFrameTicks = 1875; // 45 kHz ticks of one 24 Hz frame

// The clip information of a muxed stream: the packet count of the whole file written,
// presentation times (45 kHz) from the first time stamp to one frame past the last.
TCLPI menuClipInfo(const MuxOutput& muxed, const std::string& language = "eng");

// A playlist with one PlayItem playing clip `clipName` (5 characters) from its
// presentation start to its end, with the clip's IG stream in the STN table, one entry
// mark at the start, lengths and start addresses set.
TMPLS menuPlayList(const TCLPI& clip, const std::string& clipName);

// One PlayItem of a movie playlist: the clip it plays, its angle clips after it, and the
// part played in 45 kHz ticks (OUT 0: to the clip's presentation end).
struct PlayItemSource {
    std::string clipName; // 5 characters
    const TCLPI* clip = nullptr;
    std::vector<std::string> angleClips; // the clips of angles 2, 3, …
    std::uint32_t IN_time = 0;           // 0: the clip's presentation start
    std::uint32_t OUT_time = 0;
};

// A movie playlist of one PlayItem per source, in order (connection condition 1). Each STN table
// lists the streams of its clip's first program (video, audio, PG and IG by coding type,
// languages from the clip). Entry marks at the start of each PlayItem and at `chapters`
// (45 kHz ticks on the playlist's time line, from 0), in time order; lengths, counts and
// start addresses set.
TMPLS moviePlayList(const std::vector<PlayItemSource>& items,
                    const std::vector<std::uint32_t>& chapters = {});

} // namespace corvane
