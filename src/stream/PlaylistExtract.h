#pragma once
// Extraction of a playlist's streams across its PlayItems, each stream joined into one file.
//
// The PlayItems are walked in order; for each, the clip of the chosen angle (0: the
// PlayItem's own clip, 1 and up: its angle list) is read once for all chosen streams.
// A stream is chosen by its STN entry (kind and 1-based number, "audio:2"), and its PID is
// looked up in the STN of every PlayItem, so it may change from one PlayItem to the next.
//
// The cut: a PES packet is kept when its PTS lies in [IN_time × 2, OUT_time × 2) of its
// PlayItem (playlist times are 45 kHz, PTS 90 kHz; compared on the low 32 bits by
// wrapping difference). A PES packet without PTS goes with the PES packet before it in the
// same clip that had one, and is dropped when none had. Only whole PES packets are kept:
// one that starts inside the window keeps all its bytes, however far its frames reach.
//
// SUP output carries its times on the playlist's time line: PTS − IN_time × 2 plus the
// PlayItem's start on that line (the durations of the PlayItems before it), 90 kHz.
// MNU output keeps the stream's own times.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "playlist/PlayList.h"
#include "shell/Options.h"
#include "shell/Reporter.h"
#include "stream/ClipInfo.h"
#include "stream/Demux.h"

namespace corvane {

enum class StnKind { Video, Audio, PG, IG };

// One STN entry by kind and 1-based number.
struct StnChoice {
    StnKind kind = StnKind::Video;
    std::size_t number = 1;
    bool operator==(const StnChoice&) const = default;
};
// "video:1", "audio:2", "pg:1", "ig:1"; nothing for another text.
std::optional<StnChoice> parseStnChoice(std::string_view text);
std::string stnChoiceText(const StnChoice& choice);

// One entry of a PlayItem's STN as the extraction offers it.
struct StnStream {
    StnChoice choice;
    TStreamCodingInfo info; // PID in the main clip, coding and language
    std::string attributes; // the entry's attributes as the STN grid shows them
    bool inClip = false;    // the PlayItem's clip carries it (not a sub path): it can be extracted
};
// The video, audio, PG and IG entries of `item`'s STN, in that order, numbered as the
// choices of planPlaylistExtract.
std::vector<StnStream> stnStreams(const TPlayItem& item);
// The angles every multi-angle PlayItem of `mpls` has: the angle may be chosen from 0 to
// one less; 0 when no PlayItem is multi-angle.
std::size_t playlistAngleCount(const TMPLS& mpls);

// One PlayItem's part: its clip's stream and cut, and the PID of each chosen stream.
struct PlaylistPiece {
    std::string m2tsPath;
    std::uint32_t IN_time = 0;       // 45 kHz
    std::uint32_t OUT_time = 0;      // 45 kHz
    std::uint64_t start = 0;         // 45 kHz, where the PlayItem begins on the playlist's time line
    std::vector<std::uint16_t> pids; // one per stream of the plan
};

struct PlaylistStream {
    StnChoice choice;
    TStreamCodingInfo info; // PID, coding and language of the first PlayItem's entry
    DemuxMode mode = DemuxMode::ES;
    std::string outPath;
};

struct PlaylistPlan {
    std::vector<PlaylistPiece> pieces;
    std::vector<PlaylistStream> streams;
    std::string chapterPath; // empty when the playlist has no marks
    std::string chapterText;
    std::string error; // why nothing can be extracted; the rest is then empty
};

// What to read and write: the clips of `angle` in `streamFolder` (NAME.m2ts, else NAME.MTS),
// the `choices` (none: every entry of the first PlayItem's STN), each in the mode `options`
// give it, named by streamFileName with `playlistName` into `outFolder`, and the chapters in
// the time format beside them. Refused, naming the reason: a clip that is missing, an angle
// no multi-angle PlayItem has, a stream not in the STN of some PlayItem or one that a sub
// path carries.
PlaylistPlan planPlaylistExtract(const TMPLS& mpls, const std::string& playlistName,
                                 const std::string& streamFolder, std::size_t angle,
                                 std::span<const StnChoice> choices, const std::string& outFolder,
                                 const Options& options);

struct PlaylistExtractResult {
    bool ok = false; // every output is in place
    bool cancelled = false;
    std::string error;                      // why not, when the streams were the reason (also erlog'd)
    std::vector<std::uint64_t> pidPackets;  // per stream, all pieces
    std::vector<std::uint64_t> keptPackets; // per stream: those inside the cuts
    std::uint64_t packetsRead = 0;
};

// Runs the plan: one read per clip, the outputs through OutputFile. All or nothing: a file
// step that fails, a clip that is no transport stream or a stream that comes in none of the
// clips leaves no output. A cancel keeps each output up to its last whole PES packet.
PlaylistExtractResult extractPlaylist(const PlaylistPlan& plan, Reporter& reporter,
                                      std::size_t blocksPerPump = 32);

// saveStreams for a playlist: "Saving name ..." for each output, the extraction with the
// progress display, then per stream "name: n source packets saved." and the time of the whole.
PlaylistExtractResult savePlaylist(Reporter& reporter, const PlaylistPlan& plan);

} // namespace corvane
