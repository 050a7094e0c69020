#pragma once
// index.bdmv: the disc's table of contents. AppInfoBDMV, then the Indexes block
// with First Playback, Top Menu and the numbered titles (each played by a movie
// object or a BD-J object file), then an optional ExtensionData block.
//
// The reader is a pure function over the file's bytes returning the model and
// the lines to log; the folder-read step over it is in shell/SessionFiles.h. The
// writer lays the blocks out back to back, writes the length fields held in the
// model and the two start addresses as the offsets where the blocks land.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "io/ExtensionData.h"
#include "io/ReadResult.h"

namespace corvane {

struct TMOBJ;

inline constexpr std::uint32_t IndexTypeIndicator = 0x494E4458; // "INDX"
inline constexpr std::uint32_t IndexVersion0100 = 0x30313030;   // "0100"
inline constexpr std::uint32_t IndexVersion0200 = 0x30323030;   // "0200"
inline constexpr std::uint32_t IndexVersion0300 = 0x30333030;   // "0300", Ultra HD discs
inline constexpr std::size_t MaxTitles = 999;
inline constexpr std::size_t AppInfoEnd = 78; // first byte after content_provider_user_data

inline constexpr std::int32_t FirstPlaybackTitleNumber = 0xFFFF;
inline constexpr std::int32_t TopMenuTitleNumber = 0;
inline constexpr std::uint16_t NoObject = 0xFFFF; // mobj_id_ref of an entry that is off

// object_type values.
inline constexpr std::uint8_t ObjectTypeHDMV = 1;
inline constexpr std::uint8_t ObjectTypeBDJ = 2;

// First Playback, Top Menu or one title.
struct TTitleEntry {
    std::int32_t title_number = 0; // 32-bit signed: 1..n for titles, 0xFFFF First Playback, 0 Top Menu
    std::uint8_t object_type = ObjectTypeHDMV; // 2-bit: 1 HDMV, 2 BD-J, other values kept
    std::uint8_t access_type =
        0; // 2-bit, titles only: 0 Permitted, 1 (kept, shown Permitted), 2, 3 Prohibited1/2
    std::uint8_t playback_type = 0; // 2-bit: 0 Movie, 1 Interactive, 2 and 3 kept
    std::uint16_t mobj_id_ref = 0;  // 16-bit movie object number (HDMV); 0xFFFF = off
    std::string bdjo_file_name;     // at most 5 characters (BD-J), without extension
    bool operator==(const TTitleEntry&) const = default;
};

struct TIndexes {
    std::uint32_t indexes_length = 0; // 32-bit, bytes after this field; ±12 per title inserted or deleted
    TTitleEntry first_playback;
    TTitleEntry top_menu;
    std::uint16_t number_of_titles = 0; // 16-bit, at most 999; equals titles.size() after a full read
    std::vector<TTitleEntry> titles;    // in title order
    bool operator==(const TIndexes&) const = default;
};

struct TINDX {
    std::uint32_t type_indicator = IndexTypeIndicator; // 32-bit, "INDX"
    std::uint32_t version_number = IndexVersion0200;   // 32-bit, "0100", "0200" or "0300"
    std::uint32_t indexes_start_address = 0;           // 32-bit byte offset of the Indexes block
    std::uint32_t ExtensionData_start_address = 0;     // 32-bit byte offset, 0 = no block
    std::array<std::uint8_t, 24> reserved{};           // 24 bytes, kept as read
    std::uint32_t app_info_length = 0;                 // 32-bit AppInfoBDMV length, kept as read
    // AppInfoBDMV's 16 bits after the length, from bit 15 down.
    std::uint8_t app_info_reserved1 = 0;             // 1-bit, kept as read
    std::uint8_t initial_output_mode_preference = 0; // 1-bit: 0 2D, 1 3D
    std::uint8_t SS_content_exist_flag = 0;          // 1-bit: stereoscopic (3D) content on the disc
    std::uint8_t app_info_reserved2 = 0;             // 1-bit, kept as read
    std::uint8_t initial_dynamic_range_type = 0;     // 4-bit: 0 SDR, 1 HDR10, 2 Dolby Vision (UHD)
    std::uint8_t video_format = 0;                   // 4-bit video format code (8 = 2160p)
    std::uint8_t frame_rate = 0;                     // 4-bit frame rate code
    std::string content_provider_user_data;          // at most 32 characters
    // Bytes between the end of AppInfoBDMV and an Indexes block that starts further on.
    std::vector<std::uint8_t> padding_before_indexes;
    TIndexes Indexes;
    // Bytes between the last title and an ExtensionData block that starts further on.
    std::vector<std::uint8_t> padding_before_extension;
    TExtensionData ExtensionData;
    bool operator==(const TINDX&) const = default;
};

// Status Ok, FormatError (wrong type or version, or the data ended before the contents it
// declares; at problemAt) or TooManyTitles (more than 999 titles: reading stopped before
// the titles).
struct IndexReadResult : ReadResult {
    TINDX index;
    std::string progress; // the last "i/count" text of status panel 1
};

// Reads index.bdmv from its bytes; `name` is the file name used in the messages.
IndexReadResult readIndex(const std::vector<std::uint8_t>& bytes, std::string_view name = "index.bdmv");

// The whole file, ready for the backup-and-write step.
std::vector<std::uint8_t> writeIndex(const TINDX& index);
// The file up to the end of the last title: everything but the ExtensionData block and the
// bytes before it.
void appendIndexContents(ByteWriter& out, const TINDX& index);
// One title of the Indexes block as the file holds it, at the fill position.
void appendTitleEntry(ByteWriter& out, const TTitleEntry& entry);

// Picker items.
extern const std::array<std::string_view, 2> ObjectTypeNames;   // "HDMV", "BD-J"
extern const std::array<std::string_view, 3> AccessTypeNames;   // "Permitted", "Prohibited1", "Prohibited2"
extern const std::array<std::string_view, 2> PlaybackTypeNames; // "Movie", "Interactive"

// Access value to its picker item: 0 and 1 show "Permitted", 2 and 3 the two prohibitions.
int accessPickerIndex(std::uint8_t access_type);
// Picker item to access value: 0, 2 or 3.
std::uint8_t accessTypeFromPicker(int index);

// Whether First Playback or Top Menu plays something: a BD-J entry always does,
// an HDMV entry unless its object is 0xFFFF.
bool entryIsOn(const TTitleEntry& entry);

// The five cells of row i + 1 of the title grid: "No.", "object t.", "title search",
// "playback t.", "OID/file". An HDMV title that lost its object shows "??".
std::array<std::string, 5> indline(const TINDX& index, std::size_t i);

struct BdmvLabelTexts {
    std::string titles;  // lTitlenum: "12 + 2 titles"
    std::string objects; // lObjects: "40 objects"
};
// An index that was not read whole shows no titles: "0 titles".
BdmvLabelTexts BDMVlabels(const TINDX& index, const TMOBJ& mobj, bool indexRead = true);

// "  Found [b]n[/b] titles, [b]e[/b] extended entry."
std::string indexFoundLine(const TINDX& index);

} // namespace corvane
