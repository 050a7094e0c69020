#pragma once
// Coded fields of a playlist with their display names, and the 45 kHz time text.

#include <cstdint>
#include <string>
#include <string_view>

namespace corvane {

// stream_type of a stream_entry().
enum class StreamEntryType : std::uint8_t {
    PlayItem = 1,      // a stream of the PlayItem's own clip
    SubPath = 2,       // a stream of a SubPath's clip
    InMuxPiP = 3,      // an in-mux PiP stream of a SubPath
    DolbyVisionEL = 4, // a Dolby Vision enhancement layer on a SubPath (SubPath layout)
};

// stream_coding_type of a stream_attributes().
enum class StreamCodingType : std::uint8_t {
    Mpeg2Video = 0x02,
    Avc = 0x1B,
    Hevc = 0x24,
    Vc1 = 0xEA,
    Lpcm = 0x80,
    Ac3 = 0x81,
    Dts = 0x82,
    TrueHd = 0x83,
    Ac3Plus = 0x84,
    DtsHd = 0x85,
    DtsHdXll = 0x86,
    Ac3PlusSecondary = 0xA1,
    DtsHdSecondary = 0xA2,
    PresentationGraphics = 0x90,
    InteractiveGraphics = 0x91,
    TextSubtitle = 0x92,
};

// Which layout bytes 2..5 of stream_attributes() follow.
enum class AttributeKind { Video, Audio, Graphics, Text, Unknown };
AttributeKind attributeKind(std::uint8_t stream_coding_type);
// Whether a stream_type has a known stream_entry() layout.
bool isKnownEntryType(std::uint8_t stream_type);

enum class MarkType : std::uint8_t { EntryMark = 1, LinkPoint = 2 };

// Name tables; values without a name give "".
std::string_view entryTypeName(std::uint8_t stream_type);         // "PlayItem", "SubPath", "IM PIP", "DV EL"
std::string_view codingTypeName(std::uint8_t stream_coding_type); // "AVC", "HEVC", "DTS-HD XLL", …
std::string_view videoFormatName(std::uint8_t video_format);      // "1080p", "2160p", …; 9..15 "res."
std::string_view
dynamicRangeName(std::uint8_t dynamic_range_type);         // "SDR", "HDR10", "Dolby Vision", "HDR10+"
std::string_view colorSpaceName(std::uint8_t color_space); // "BT.709", "BT.2020"
std::string_view frameRateName(std::uint8_t frame_rate);   // "23.976", …
std::string_view audioPresentationName(std::uint8_t audio_presentation_type);
std::string_view samplingFrequencyName(std::uint8_t sampling_frequency);
std::string_view subPathTypeName(std::uint8_t SubPath_type); // 0..10, 10 "DV EL"
std::string_view markTypeName(std::uint8_t mark_type);       // "entry-mark", "link point"

inline constexpr int SubPathTypeCount = 11; // names 0..10 fill the SubPath type picker
inline constexpr int DynamicRangeCount = 4; // names 0..3 fill the dynamic range picker
inline constexpr int ColorSpaceCount = 3;   // names 0..2 fill the colour space picker

// 45 kHz ticks as "hh:mm:ss.zzz": milliseconds = ticks ÷ 45, hours at least two digits.
std::string timeText45(std::uint64_t ticks);

} // namespace corvane
