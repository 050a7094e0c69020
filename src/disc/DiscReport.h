#pragma once
// The disc report: what is on a disc. Titles with the playlists they play, every
// playlist with its duration, PlayItems, angles, chapters, streams and users, the
// clips, sounds and BD-J objects, and the main playlist.

#include <cstdint>
#include <string>
#include <vector>

#include "disc/DiscModel.h"
#include "disc/DiscRefs.h"

namespace corvane {

// How deep the playlists of a title are followed through Jump Object and Call Object.
inline constexpr int TitleFollowDepth = 4;

struct TitleReport {
    std::string label;                  // "First Playback", "Top Menu", "title 1"
    std::int32_t title_number = 0;      // as index.bdmv holds it
    std::string object_type;            // "HDMV", "BD-J" or the number
    std::int64_t object = -1;           // movie object (HDMV), -1 when off or BD-J
    std::string bdjo;                   // BD-J object file name
    std::vector<std::string> playlists; // the playlists it plays, in the order found
    RecordPath where;
};

struct PlayItemReport {
    std::string clip;
    std::uint32_t IN_time = 0;           // 45 kHz ticks
    std::uint32_t OUT_time = 0;          // 45 kHz ticks
    std::vector<std::string> angleClips; // the clips of angles 2 and on
};

struct ChapterReport {
    std::uint64_t start = 0;  // 45 kHz ticks from the playlist's start
    std::uint64_t length = 0; // 45 kHz ticks to the next chapter or the end
    std::uint16_t playItem = 0;
};

struct StreamReport {
    std::string type; // "video", "audio", "pg", "ig", "secondary audio", "secondary video", "pip pg"
    int number = 0;   // from 1 within its type
    std::uint16_t pid = 0;
    std::uint8_t coding = 0;
    std::string codingName;
    std::string format;       // video format or audio presentation
    std::string rate;         // frame rate or sampling frequency
    std::string language;     // ISO 639-2 code
    std::string languageName; // English name
};

struct SubPathReport {
    std::string type;
    std::vector<std::string> clips; // of its SubPlayItems
};

struct PlayListReport {
    std::string name; // "00001"
    DiscFileRead read;
    std::uint64_t duration = 0; // 45 kHz ticks, the PlayItems' OUT − IN summed
    std::vector<PlayItemReport> items;
    int angles = 1;
    std::vector<ChapterReport> chapters; // the entry marks
    std::vector<StreamReport> streams;   // of PlayItem 0
    std::vector<SubPathReport> subPaths;
    std::int64_t size = -1; // bytes of its stream files, -1 when one is missing
    std::vector<std::string> referencedBy;
    bool main = false;
};

struct ClipStreamReport {
    std::uint16_t pid = 0;
    std::uint8_t coding = 0;
    std::string codingName;
    std::string language;
};

struct ClipReport {
    std::string name;
    DiscFileRead read;
    std::uint32_t packets = 0;
    std::uint64_t duration = 0; // 45 kHz ticks over its STC sequences
    std::vector<ClipStreamReport> streams;
    std::string streamFile; // empty when missing
    std::int64_t size = -1; // bytes, -1 when missing
};

struct SoundReport {
    bool present = false;
    DiscFileRead read;
    std::vector<std::uint64_t> lengths; // milliseconds per sound
};

struct BdjoReport {
    std::string name;
    DiscFileRead read;
    std::vector<std::string> playlists; // accessible playlists
    bool autostartFirst = false;
    std::size_t applications = 0;
};

// The IG menu of a clip's IG stream.
struct MenuReport {
    std::string clip;
    std::uint16_t pid = 0;
    DiscFileRead read;
    std::size_t pages = 0;
    std::size_t buttons = 0;
};

struct DiscReport {
    std::string BDMVdir;
    DiscFileRead indexRead; // the titles come from index.bdmv only when it was read
    DiscFileRead mobjRead;
    std::vector<TitleReport> titles;
    std::vector<PlayListReport> playlists;
    std::vector<ClipReport> clips;
    SoundReport sounds;
    std::vector<BdjoReport> bdjos;
    std::vector<MenuReport> menus;
    std::string mainPlaylist; // empty when no title plays a playlist
};

DiscReport discReport(const DiscModel& disc);

// The movie objects reached from `object` through immediate Jump/Call Object, up to `depth`
// steps, `object` first; objects past the end of the list are left out.
std::vector<std::size_t> reachedObjects(const TMOBJ& mobj, std::size_t object, int depth);

} // namespace corvane
