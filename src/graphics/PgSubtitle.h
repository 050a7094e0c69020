#pragma once
// Presentation graphics (PG) subtitles as a SUP file: each segment behind "PG", its PTS and
// its DTS (90 kHz, 4 bytes each), as the SUP mode of the demuxer writes them and ffmpeg's
// sup reader takes them.
//
// Each caption is two display sets: at its start an epoch start showing its picture as the
// only object in one window (PCS, WDS, PDS, ODS…, END), at its end a normal case that
// empties the window (PCS without objects, WDS, END). An object larger than one segment
// holds is split into fragments.

#include <cstdint>
#include <vector>

#include "graphics/Picture.h"

namespace corvane {

struct PgCaption {
    std::uint32_t start = 0; // 90 kHz
    std::uint32_t end = 0;   // 90 kHz, after start
    int x = 0;               // position on the video, pixels
    int y = 0;
    IndexPicture picture; // indices into the palette of writeSupCaptions
};

// The SUP file of `captions` (in time order) on a video of the given size; frameRateCode is
// the 4-bit frame rate of the composition (1 = 23.976).
std::vector<std::uint8_t> writeSupCaptions(const std::vector<PgCaption>& captions, const RgbaPalette& palette,
                                           int videoWidth, int videoHeight, std::uint8_t frameRateCode);

} // namespace corvane
