#pragma once
// Clip information files (CLIPINF/zzzzz.clpi): the model, a reader that survives
// damaged input, and the texts of the clip page's labels and grids.
//
// readClipInfo is a pure function over the file's bytes returning the model and
// the lines to log; the Read button's step that fetches the file and reports
// through the session is in shell/SessionFiles.h; ClipInfoWriter.h writes one back.
//
// Bytes the reader does not interpret (reserved fields, the EP map's tables, the body of
// ClipMark(), a structure longer than its fields, gaps between sections) are kept, so that
// a file read whole comes back byte for byte. Lengths and start addresses are held as read;
// the writer computes them from what it writes.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "io/ExtensionData.h"
#include "io/ReadResult.h"

namespace corvane {

struct TAVStream;

struct TATCDeltaEntry {
    std::uint32_t ATC_delta = 0;                      // 32-bit, 27 MHz ticks
    std::string following_Clip_Information_file_name; // 5 characters
    std::string Clip_codec_identifier;                // 4 characters
    bool operator==(const TATCDeltaEntry&) const = default;
};

struct TClipInfo {
    std::uint32_t ClipInfo_length = 0;                       // 32-bit, bytes after this field
    std::uint16_t ClipInfo_reserved = 0;                     // 16-bit, kept as read
    std::uint8_t Clip_stream_type = 0;                       // 8-bit
    std::uint8_t application_type = 0;                       // 8-bit, 1..7
    std::uint32_t is_ATC_delta = 0;                          // bit 0 of a 32-bit field (0/1)
    std::uint32_t ATC_delta_reserved = 0;                    // the other 31 bits of that field, kept as read
    std::uint32_t TS_recording_rate = 0;                     // 32-bit, bytes per second
    std::uint32_t number_of_source_packets = 0;              // 32-bit
    std::array<std::uint8_t, 128> reserved_for_future_use{}; // 128 bytes, kept as read
    std::uint16_t TS_type_info_length = 0;                   // 16-bit
    std::uint8_t Validity_flags = 0;                         // 8-bit
    std::string Format_identifier;                           // 4 characters
    std::array<std::uint8_t, 25> TS_type_info_rest{};        // network information, stream format name
    std::uint8_t number_of_ATC_delta_entries = 0;            // 8-bit
    std::vector<TATCDeltaEntry> ATC_delta_entries;
    std::uint8_t number_of_font_files = 0;    // 8-bit, application type 6 only
    std::vector<std::string> font_file_names; // 5 characters each
    std::vector<std::uint8_t> tail;           // bytes past the fields up to ClipInfo_length
    bool operator==(const TClipInfo&) const = default;
};

struct TSTCSequence {
    std::uint16_t PCR_PID = 0;                 // 16-bit
    std::uint32_t SPN_STC_start = 0;           // 32-bit, source packet number
    std::uint32_t presentation_start_time = 0; // 32-bit, 45 kHz ticks
    std::uint32_t presentation_end_time = 0;   // 32-bit, 45 kHz ticks
    bool operator==(const TSTCSequence&) const = default;
};

struct TATC_sequences {
    std::uint32_t SPN_ATC_start = 0;          // 32-bit, source packet number
    std::uint8_t number_of_STC_sequences = 0; // 8-bit
    std::uint8_t offset_STC_id = 0;           // 8-bit
    std::vector<TSTCSequence> STC_sequences;
    bool operator==(const TATC_sequences&) const = default;
};

struct TSequenceInfo {
    std::uint32_t SequenceInfo_length = 0;    // 32-bit
    std::uint8_t SequenceInfo_reserved = 0;   // 8-bit, kept as read
    std::uint8_t number_of_ATC_sequences = 0; // 8-bit
    std::vector<TATC_sequences> ATC_sequences;
    std::vector<std::uint8_t> tail; // bytes past the sequences up to SequenceInfo_length
    bool operator==(const TSequenceInfo&) const = default;
};

// One stream of a program sequence. The attributes after the coding type are kept
// for display only.
struct TStreamCodingInfo {
    std::uint16_t stream_PID = 0;             // 16-bit
    std::uint8_t StreamCodingInfo_length = 0; // 8-bit, bytes after this field
    std::uint8_t stream_coding_type = 0;      // 8-bit, the coding types of playlists
    std::uint8_t video_format = 0;            // 4-bit, video
    std::uint8_t frame_rate = 0;              // 4-bit, video
    std::uint8_t aspect_ratio = 0;            // 4-bit, video: 2 = 4:3, 3 = 16:9
    std::uint8_t oc_flag = 0;                 // 1-bit flag, video (bit 1 of byte 3)
    // HEVC only, as UHD discs set them (bit 0 of byte 3, byte 4, bit 7 of byte 5).
    std::uint8_t cr_flag = 0;                 // 1-bit flag
    std::uint8_t dynamic_range_type = 0;      // 4-bit: 0 SDR, 1 HDR10, 2 Dolby Vision, 3 HDR10+
    std::uint8_t color_space = 0;             // 4-bit: 1 BT.709, 2 BT.2020
    std::uint8_t HDR_plus_flag = 0;           // 1-bit flag, HDR10+ metadata present
    std::uint8_t audio_presentation_type = 0; // 4-bit, audio
    std::uint8_t sampling_frequency = 0;      // 4-bit, audio
    std::uint8_t character_code = 0;          // 8-bit, text subtitle
    std::string language_code;                // 3 characters: audio, PG, IG, text subtitle
    std::string ISRC;                         // 12 characters
    // The StreamCodingInfo_length bytes as read; the writer puts the fields above over them,
    // so reserved bits and unknown coding types come back unchanged.
    std::vector<std::uint8_t> coding_info_bytes;
    bool operator==(const TStreamCodingInfo&) const = default;
};

struct TProgram_sequences {
    std::uint32_t SPN_program_sequence_start = 0; // 32-bit
    std::uint16_t program_map_PID = 0;            // 16-bit
    std::uint8_t number_of_streams_in_ps = 0;     // 8-bit
    std::uint8_t program_sequence_reserved = 0;   // 8-bit, kept as read
    std::vector<TStreamCodingInfo> streams;
    bool operator==(const TProgram_sequences&) const = default;
};

struct TProgramInfo {
    std::uint32_t ProgramInfo_length = 0;         // 32-bit
    std::uint8_t ProgramInfo_reserved = 0;        // 8-bit, kept as read
    std::uint8_t number_of_program_sequences = 0; // 8-bit
    std::vector<TProgram_sequences> program_sequences;
    std::vector<std::uint8_t> tail; // bytes past the sequences up to ProgramInfo_length
    bool operator==(const TProgramInfo&) const = default;
};

struct TEPMapEntry {
    std::uint16_t stream_PID = 0;                              // 16-bit
    std::uint16_t EP_entry_reserved = 0;                       // 10-bit, kept as read
    std::uint8_t EP_stream_type = 0;                           // 4-bit
    std::uint16_t number_of_EP_coarse_entries = 0;             // 16-bit
    std::uint32_t number_of_EP_fine_entries = 0;               // 18-bit
    std::uint32_t EP_map_for_one_stream_PID_start_address = 0; // 32-bit, from the start of EP_map()
    bool operator==(const TEPMapEntry&) const = default;
};

struct TCPI {
    std::uint32_t CPI_length = 0;                  // 32-bit; 0 = no EP map
    std::uint16_t CPI_type_word = 0;               // 12 reserved bits and the 4-bit CPI type, as read
    std::uint8_t EP_map_reserved = 0;              // 8-bit, kept as read
    std::uint8_t number_of_stream_PID_entries = 0; // 8-bit
    std::vector<TEPMapEntry> EP_map_entries;
    // The coarse and fine tables after the entries, up to CPI_length, as read; the
    // entries' start addresses point into them.
    std::vector<std::uint8_t> EP_map_data;
    bool operator==(const TCPI&) const = default;
};

// The whole clip information file.
struct TCLPI {
    std::string type_indicator;                    // 4 characters, "HDMV"
    std::string version_number;                    // 4 characters, "0100", "0200" or "0300" (UHD)
    std::uint32_t SequenceInfo_start_address = 0;  // 32-bit byte offset
    std::uint32_t ProgramInfo_start_address = 0;   // 32-bit byte offset
    std::uint32_t CPI_start_address = 0;           // 32-bit byte offset
    std::uint32_t ClipMark_start_address = 0;      // 32-bit byte offset
    std::uint32_t ExtensionData_start_address = 0; // 32-bit byte offset, 0 = none
    TClipInfo ClipInfo;
    TSequenceInfo SequenceInfo;
    TProgramInfo ProgramInfo;
    TCPI CPI;
    std::uint32_t ClipMark_length = 0;       // 32-bit, the only field of ClipMark() read
    std::vector<std::uint8_t> ClipMark_data; // the ClipMark_length bytes after it, as read
    TExtensionData ExtensionData;
    std::array<std::uint8_t, 12> reserved_header{}; // 12 bytes after the addresses, kept as read
    // Gaps between sections, kept so that such a file is written back as it was.
    std::vector<std::uint8_t> padding_before_SequenceInfo;
    std::vector<std::uint8_t> padding_before_ProgramInfo;
    std::vector<std::uint8_t> padding_before_CPI;
    std::vector<std::uint8_t> padding_before_ClipMark;
    std::vector<std::uint8_t> padding_before_extension;
    std::vector<std::uint8_t> padding_at_end; // after ClipMark() when there is no ExtensionData()
    // False when sections overlap or are out of file order, so the kept gaps cannot say
    // where each lies; such a file is written with its sections back to back.
    bool layout_kept = true;
    bool operator==(const TCLPI&) const = default;
};

// Status Ok (read whole), FormatError (wrong type indicator or version: "Invalid format: "
// + name) or Damaged (the file ends before a field or a start address lies past its end,
// at problemAt).
struct ClipReadResult : ReadResult {
    TCLPI clpi; // whole when Ok; what was read before the fault when Damaged
};

// Reads a clip information file from its bytes; `name` (with extension) is used in the
// messages. In quiet mode only the error lines are returned.
ClipReadResult readClipInfo(const std::vector<std::uint8_t>& bytes, std::string_view name,
                            bool quiet = false);

// "[b]n[/b] Program stream(s) found." with n the stream count of the first program sequence.
std::string programStreamsFoundLine(const TCLPI& clpi);

// Items of the application type picker, index = application_type (0..7).
inline constexpr int ApplicationTypeCount = 8;
std::string_view applicationTypeName(std::uint8_t application_type); // "" beyond 7

// Grid headers of the clip page.
extern const std::array<std::string_view, 4> StreamGridHeader;   // sgCI
extern const std::array<std::string_view, 4> SequenceGridHeader; // sgSequence
extern const std::array<std::string_view, 5> STCGridHeader;      // sgSTCseq
extern const std::array<std::string_view, 4> ATCDeltaGridHeader; // sgATCdelta
extern const std::array<std::string_view, 2> FontFileGridHeader; // sgFontFiles
extern const std::array<std::string_view, 6> EPMapGridHeader;    // sgEPmap

// The details cell of a stream: video format, frame rate, aspect (and for HEVC the dynamic
// range, colour space and the CR / HDR10+ flags that are set); or audio presentation,
// sampling frequency, language; or the language (PG, IG); or character code and language.
std::string streamDetails(const TStreamCodingInfo& stream);
// "4:3" when the aspect ratio is 2, else "16:9".
std::string_view aspectText(std::uint8_t aspect_ratio);

// Rows of the grids (without the header row). Numbers as the page shows them.
using StreamRow = std::array<std::string, 4>; // No. from 1, PID (4 hex), coding type name, details
std::vector<StreamRow> streamRows(const TProgram_sequences& sequence);
// The rows of every program sequence, one after the other (numbering per sequence).
std::vector<StreamRow> clipStreamRows(const TCLPI& clpi);
// The stream of row `row` of clipStreamRows; null past the last.
const TStreamCodingInfo* clipStreamAt(const TCLPI& clpi, std::size_t row);
std::vector<std::array<std::string, 4>>
sequenceRows(const TCLPI& clpi);                                    // No. from 0, SPN hex 8, count, offset
std::vector<std::array<std::string, 5>> stcRows(const TCLPI& clpi); // ATC No., PCR_PID hex 4, three hex 8
std::vector<std::array<std::string, 4>>
atcDeltaRows(const TCLPI& clpi); // No. from 0, delta hex 8, clip, codec
std::vector<std::array<std::string, 2>> fontFileRows(const TCLPI& clpi); // No. from 1, name
std::vector<std::array<std::string, 6>>
epMapRows(const TCLPI& clpi); // No. from 0, PID, type, coarse, fine, start

// Decodes a StreamCodingInfo() body (the bytes after its length) as the reader does, keeping
// the bytes themselves in coding_info_bytes.
TStreamCodingInfo decodeStreamCodingInfo(std::uint16_t stream_PID, std::span<const std::uint8_t> body);

// Splits the three 16-bit words after an EP map entry's PID.
void splitEPMapWords(std::uint16_t first, std::uint16_t second, std::uint16_t third, TEPMapEntry& entry);

// The stream labels: the m2ts name and its size, or the expected name and "missing file".
struct StreamLabels {
    std::string name;
    std::string size;
    bool missing = false; // shown in the inactive-caption colour
};
StreamLabels streamLabels(const std::vector<TAVStream>& streams, std::size_t clipIndex,
                          const std::string& clipName, const std::string& streamExt);

// bLoadToMenu: the m2ts is there and the row's PID lies in 0x1400..0x14FF.
bool canLoadToMenu(std::int64_t streamSize, std::uint16_t pid);
// What double-clicking a stream row does (only while Play is enabled).
enum class StreamRowAction { Nothing, LoadMenu, Play };
StreamRowAction streamRowAction(bool playEnabled, std::int64_t streamSize, std::uint16_t pid);

} // namespace corvane
