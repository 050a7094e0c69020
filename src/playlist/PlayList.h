#pragma once
// The PlayList model (PLAYLIST/xxxxx.mpls): which clips a title plays and from
// where to where, the streams each piece offers, the side paths beside the main
// path and the chapter points. Records only; reading and writing live in
// PlayListReader.h and PlayListWriter.h.
//
// Lengths and start addresses are held as read and kept in step by the edits;
// the writer lays the sections out back to back and trusts them. Bytes a file
// carries beyond the fields known here (gaps between sections, a structure
// longer than its fields, entries of unknown type) are kept so that the file
// comes back as it was.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "io/ExtensionData.h"

namespace corvane {

// One clip of an angle block or of a multi-clip SubPlayItem.
struct TClipEntry {
    std::string Clip_Information_file_name; // 5 characters, five-digit clip number
    std::string Clip_codec_identifier;      // 4 characters, "M2TS"
    std::uint8_t ref_to_STC_id = 0;         // 8-bit
    bool operator==(const TClipEntry&) const = default;
};

// stream_entry() followed by stream_attributes().
struct TStreamEntry {
    // stream_entry()
    std::uint8_t entry_length = 9;                   // 8-bit, bytes after this field
    std::uint8_t stream_type = 0;                    // 8-bit: 1 PlayItem, 2 SubPath, 3 in-mux PiP, 4 DV EL
    std::uint16_t ref_to_stream_PID_of_mainClip = 0; // 16-bit PID
    std::uint16_t ref_to_stream_PID_of_subClip = 0;  // 16-bit PID
    std::uint8_t ref_to_SubPath_id = 0;              // 8-bit
    std::uint8_t ref_to_subClip_entry_id = 0;        // 8-bit
    // Entry bytes not interpreted: from offset 2 for an unknown stream_type, from offset 10
    // for a known one whose entry_length is above 9.
    std::vector<std::uint8_t> entry_rest; // entry_length − 1 or entry_length − 9 bytes
    // stream_attributes()
    std::uint8_t attributes_length = 5;       // 8-bit, bytes after this field
    std::uint8_t stream_coding_type = 0;      // 8-bit
    std::uint8_t video_format = 0;            // 4-bit
    std::uint8_t frame_rate = 0;              // 4-bit
    std::uint8_t audio_presentation_type = 0; // 4-bit
    std::uint8_t sampling_frequency = 0;      // 4-bit
    std::string language_code;                // 3 characters, ISO 639-2
    std::uint8_t character_code = 0;          // 8-bit, text subtitles only
    // Video only (bytes 3 and 4), as UHD discs set them for HEVC; zero on older discs.
    std::uint8_t dynamic_range_type = 0; // 4-bit: 0 SDR, 1 HDR10, 2 Dolby Vision, 3 HDR10+
    std::uint8_t color_space = 0;        // 4-bit: 1 BT.709, 2 BT.2020
    std::uint8_t cr_flag = 0;            // 1-bit flag (bit 7 of byte 4)
    std::uint8_t HDR_plus_flag = 0;      // 1-bit flag (bit 6 of byte 4), HDR10+ metadata present
    // Attribute bytes not interpreted: from offset 2 for an unknown coding type, from
    // offset 6 for a known one whose attributes_length is above 5.
    std::vector<std::uint8_t> attributes_rest; // attributes_length − 1 or − 5 bytes
    bool operator==(const TStreamEntry&) const = default;
};

struct TSecAudio {
    TStreamEntry entry; // stream_entry() and stream_attributes(), 16 bytes in a usual file
    std::uint8_t number_of_primary_audio_ref_entries = 0; // 8-bit, equals primary_audio_refs.size()
    std::uint8_t sec_audio_reserved = 0;                  // 8-bit, kept as read
    std::vector<std::uint8_t> primary_audio_refs;         // 8-bit stream numbers
    bool operator==(const TSecAudio&) const = default;
};

struct TSecVideo {
    TStreamEntry entry; // stream_entry() and stream_attributes(), 16 bytes in a usual file
    std::uint8_t number_of_secondary_audio_ref_entries = 0; // 8-bit, equals secondary_audio_refs.size()
    std::uint8_t sec_video_reserved = 0;                    // 8-bit, kept as read
    std::vector<std::uint8_t> secondary_audio_refs;         // 8-bit stream numbers
    std::uint8_t number_of_PiP_PG_textST_ref_entries = 0;   // 8-bit, equals PiP_PG_textST_refs.size()
    std::vector<std::uint8_t> PiP_PG_textST_refs;           // 8-bit stream numbers
    bool operator==(const TSecVideo&) const = default;
};

// STN_table(): the streams a PlayItem offers.
struct TSTN {
    std::uint16_t STN_length = 0;                                 // 16-bit, bytes after this field
    std::uint16_t STN_reserved = 0;                               // 16-bit, kept as read
    std::uint8_t number_of_primary_video_stream_entries = 0;      // 8-bit
    std::uint8_t number_of_primary_audio_stream_entries = 0;      // 8-bit
    std::uint8_t number_of_PG_textST_stream_entries = 0;          // 8-bit
    std::uint8_t number_of_IG_stream_entries = 0;                 // 8-bit
    std::uint8_t number_of_secondary_audio_stream_entries = 0;    // 8-bit
    std::uint8_t number_of_secondary_video_stream_entries = 0;    // 8-bit
    std::uint8_t number_of_PiP_PG_textST_stream_entries_plus = 0; // 8-bit
    std::uint8_t number_of_DV_EL_stream_entries = 0;              // 8-bit, Dolby Vision enhancement layers
    std::vector<TStreamEntry> video;    // primary video entries, 16 bytes each in a usual file
    std::vector<TStreamEntry> audio;    // primary audio entries, 16 bytes each in a usual file
    std::vector<TStreamEntry> PG;       // PG/textST entries, then the PiP PG/textST ones, 16 bytes each
    std::vector<TStreamEntry> IG;       // IG entries, 16 bytes each in a usual file
    std::vector<TSecAudio> sec_audio;   // secondary audio entries, 18 bytes and more each
    std::vector<TSecVideo> sec_video;   // secondary video entries, 20 bytes and more each
    std::vector<TStreamEntry> DV_EL;    // Dolby Vision enhancement layer entries, 16 bytes each
    std::vector<std::uint8_t> STN_rest; // bytes inside STN_length after the last entry
    bool operator==(const TSTN&) const = default;
};

// The angle block of a multi-angle PlayItem.
struct Tmulti_clip {
    std::uint8_t number_of_angles = 0;         // 8-bit
    std::uint8_t is_different_audios = 0;      // 1-bit flag
    std::uint8_t is_seamless_angle_change = 0; // 1-bit flag
    std::vector<TClipEntry> angles;            // element 0 is the PlayItem's own clip
    bool operator==(const Tmulti_clip&) const = default;
};

struct TPlayItem {
    std::uint16_t PlayItem_length = 0;            // 16-bit, bytes after this field
    std::string Clip_Information_file_name;       // 5 characters
    std::string Clip_codec_identifier;            // 4 characters
    std::uint8_t is_multi_angle = 0;              // 1-bit flag
    std::uint8_t connection_condition = 0;        // 4-bit
    std::uint8_t ref_to_STC_id = 0;               // 8-bit
    std::uint32_t IN_time = 0;                    // 32-bit, 45 kHz ticks
    std::uint32_t OUT_time = 0;                   // 32-bit, 45 kHz ticks
    std::uint32_t UO_mask_table1 = 0;             // 32-bit, mask bits 63..32
    std::uint32_t UO_mask_table2 = 0;             // 32-bit, mask bits 31..0
    std::uint8_t PlayItem_random_access_flag = 0; // 1-bit flag
    std::uint8_t still_mode = 0;                  // 8-bit
    std::uint16_t still_time = 0;                 // 16-bit, seconds
    Tmulti_clip multi_clip;                       // meaningful when is_multi_angle is 1
    TSTN STN;                                     // 2 + STN_length bytes
    std::vector<std::uint8_t> PlayItem_rest;      // bytes inside PlayItem_length after the STN table
    bool operator==(const TPlayItem&) const = default;
};

struct TSubPlayItem {
    std::uint16_t SubPlayItem_length = 0;         // 16-bit, bytes after this field
    std::string Clip_Information_file_name;       // 5 characters
    std::string Clip_codec_identifier;            // 4 characters
    std::uint8_t SP_connection_condition = 0;     // 8-bit (bits 31..1 of its 32-bit word, cut to a byte)
    std::uint8_t is_multi_Clip_entries = 0;       // 1-bit flag
    std::uint8_t ref_to_STC_id = 0;               // 8-bit
    std::uint32_t SubPlayItem_IN_time = 0;        // 32-bit, 45 kHz ticks
    std::uint32_t SubPlayItem_OUT_time = 0;       // 32-bit, 45 kHz ticks
    std::uint16_t sync_PlayItem_id = 0;           // 16-bit
    std::uint32_t sync_start_PTS_of_PlayItem = 0; // 32-bit, 45 kHz ticks
    std::uint8_t number_of_Clip_entries = 0;      // 8-bit, meaningful when is_multi_Clip_entries is 1
    std::uint8_t Clip_entries_reserved = 0;       // 8-bit, kept as read
    std::vector<TClipEntry> Clip_entries;         // element 0 is the SubPlayItem's own clip
    std::vector<std::uint8_t> SubPlayItem_rest;   // bytes inside SubPlayItem_length after the fields
    bool operator==(const TSubPlayItem&) const = default;
};

struct TSubPath {
    std::uint32_t SubPath_length = 0;        // 32-bit, bytes after this field
    std::uint8_t SubPath_reserved1 = 0;      // 8-bit, kept as read
    std::uint8_t SubPath_type = 0;           // 8-bit
    std::uint16_t SubPath_flags = 0;         // 16-bit, kept whole; bit 0 is_repeat_SubPath
    std::uint8_t SubPath_reserved2 = 0;      // 8-bit, kept as read
    std::uint8_t number_of_SubPlayItems = 0; // 8-bit, equals SubPlayItems.size()
    std::vector<TSubPlayItem> SubPlayItems;  // 30 bytes each without clip entries
    std::vector<std::uint8_t> SubPath_rest;  // bytes inside SubPath_length after the last SubPlayItem
    bool operator==(const TSubPath&) const = default;
};

struct TPlayList {
    std::uint32_t PlayList_length = 0;     // 32-bit, bytes after this field
    std::uint16_t PlayList_reserved = 0;   // 16-bit, kept as read
    std::uint16_t number_of_PlayItems = 0; // 16-bit, equals PlayItems.size()
    std::uint16_t number_of_SubPaths = 0;  // 16-bit, equals SubPaths.size()
    std::vector<TPlayItem> PlayItems;      // 2 + PlayItem_length bytes each
    std::vector<TSubPath> SubPaths;        // 4 + SubPath_length bytes each
    // Bytes inside PlayList_length after the last SubPath: the pad byte before an even offset, or more.
    std::vector<std::uint8_t> PlayList_rest; // 0 or 1 bytes in a usual file
    bool operator==(const TPlayList&) const = default;
};

struct TMarkEntry {
    std::uint8_t mark_reserved = 0;       // 8-bit, kept as read
    std::uint8_t mark_type = 0;           // 8-bit: 1 entry-mark, 2 link point
    std::uint16_t ref_to_PlayItem_id = 0; // 16-bit
    std::uint32_t mark_time_stamp = 0;    // 32-bit, 45 kHz ticks on the PlayItem's clip time axis
    std::uint16_t entry_ES_PID = 0;       // 16-bit PID
    std::uint32_t duration = 0;           // 32-bit, 45 kHz ticks
    bool operator==(const TMarkEntry&) const = default;
};

struct TPlayListMark {
    std::uint32_t PlayListMark_length = 0;       // 32-bit, bytes after this field
    std::uint16_t number_of_PlayList_marks = 0;  // 16-bit, equals marks.size()
    std::vector<TMarkEntry> marks;               // 14 bytes each
    std::vector<std::uint8_t> PlayListMark_rest; // bytes inside PlayListMark_length after the last mark
    bool operator==(const TPlayListMark&) const = default;
};

// The whole playlist file.
struct TMPLS {
    std::string type_indicator = "MPLS";            // 4 characters
    std::string version_number = "0200";            // 4 characters, "0100", "0200" or "0300" (UHD)
    std::uint32_t PlayList_start_address = 0;       // 32-bit byte offset from the file start
    std::uint32_t PlayListMark_start_address = 0;   // 32-bit byte offset
    std::uint32_t ExtensionData_start_address = 0;  // 32-bit byte offset, 0 = none
    std::array<std::uint8_t, 20> reserved_header{}; // 20 bytes as read, written as zeros
    // AppInfoPlayList()
    std::uint32_t AppInfo_length = 0;                // 32-bit, bytes after this field
    std::uint8_t AppInfo_reserved = 0;               // 8-bit, kept as read
    std::uint8_t PlayList_playback_type = 0;         // 8-bit: 1 sequential, 2 random, 3 shuffle
    std::uint16_t playback_count = 0;                // 16-bit
    std::uint32_t UO_mask_table1 = 0;                // 32-bit, mask bits 63..32
    std::uint32_t UO_mask_table2 = 0;                // 32-bit, mask bits 31..0
    std::uint8_t PlayList_random_access_flag = 0;    // 1-bit flag (bit 15 of the flag word)
    std::uint8_t audio_mix_app_flag = 0;             // 1-bit flag (bit 14)
    std::uint8_t lossless_may_bypass_mixer_flag = 0; // 1-bit flag (bit 13)
    // Gaps between sections, kept so that such a file is written back as it was.
    std::vector<std::uint8_t> padding_before_PlayList;     // after AppInfoPlayList()
    std::vector<std::uint8_t> padding_before_PlayListMark; // after PlayList()
    std::vector<std::uint8_t> padding_before_extension;    // after PlayListMark()
    std::vector<std::uint8_t> padding_at_end;              // after the last section to the end of the file
    TPlayList PlayList;           // 4 + PlayList_length bytes at PlayList_start_address
    TPlayListMark PlayListMark;   // 4 + PlayListMark_length bytes at PlayListMark_start_address
    TExtensionData ExtensionData; // 4 + length bytes at ExtensionData_start_address
    bool operator==(const TMPLS&) const = default;
};

} // namespace corvane
