#pragma once
// MovieObject.bdmv: the disc's HDMV programs. A numbered list of movie objects,
// each three flags and a list of 12-byte navigation commands, then an optional
// ExtensionData block.
//
// The reader is a pure function over the file's bytes that returns the model
// and the log lines to show; the folder read that fetches the file and reports
// through the session is in shell/SessionFiles.h. The writer lays
// the blocks out back to back, writes the length fields held in the model (the
// editing operations keep them in step) and a non-zero ExtensionData start
// address as the offset where the block lands.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "io/ExtensionData.h"
#include "io/ReadResult.h"
#include "navigation/NavCommand.h"

namespace corvane {

inline constexpr std::uint16_t MaxCommandsPerObject = 9999; // the most an insertion may reach
inline constexpr std::size_t MaxMovieObjects = 0xFFFF;      // number_of_mobjs is 16-bit

// One movie object: three flags and its program.
struct Tmobject {
    std::uint8_t resume_intention_flag = 0;          // 1-bit (bit 15 of the flag word): 0 discard, 1 suspend
    std::uint8_t menu_call_mask = 0;                 // 1-bit (bit 14): 0 enable, 1 disable
    std::uint8_t title_search_mask = 0;              // 1-bit (bit 13): 0 enable, 1 disable
    std::uint16_t number_of_navigation_commands = 0; // 16-bit, equals navigation_commands.size()
    std::vector<TNavCommand> navigation_commands;    // 12 bytes each, line 0 first
    bool operator==(const Tmobject&) const = default;
};

// The MovieObjects block.
struct TObjects {
    std::uint32_t mobjs_length = 0;    // 32-bit, bytes after this field; kept in step by the edits
    std::uint32_t reserved = 0;        // 32-bit, kept as read
    std::uint16_t number_of_mobjs = 0; // 16-bit, equals mobjs.size()
    std::vector<Tmobject> mobjs;       // object 0 first
    bool operator==(const TObjects&) const = default;
};

// The whole MovieObject.bdmv.
struct TMOBJ {
    std::string type_indicator = "MOBJ";           // 4 characters
    std::string version_number = "0200";           // 4 characters, "0100", "0200" or "0300" (UHD)
    std::uint32_t ExtensionData_start_address = 0; // 32-bit byte offset, 0 = no block
    std::array<std::uint8_t, 28> reserved{};       // 28 bytes, kept as read
    TObjects MovieObjects;
    // Bytes between the last object and an ExtensionData block that starts further on,
    // kept so that such a file is written back as it was.
    std::vector<std::uint8_t> padding_before_extension;
    TExtensionData ExtensionData;
    bool operator==(const TMOBJ&) const = default;
};

// Status Ok (possibly cut short by the early-end rule), FormatError (wrong type indicator
// or version: nothing else read) or FileError.
struct MobjReadResult : ReadResult {
    TMOBJ mobj;
    // The data ended before the counts it holds were met (at problemAt); the missing
    // commands are NOP and the missing objects empty.
    bool endedEarly = false;
    std::string progress; // the last "position/size" text of status panel 1
};

// Reads MovieObject.bdmv from its bytes; `name` is the file name used in the messages.
MobjReadResult readMovieObject(const std::vector<std::uint8_t>& bytes,
                               std::string_view name = "MovieObject.bdmv");
// The whole file, ready for the backup-and-write step.
std::vector<std::uint8_t> writeMovieObject(const TMOBJ& mobj);
// The file up to the end of the last object: everything but the ExtensionData block and the
// bytes before it.
void appendMovieObjectContents(ByteWriter& out, const TMOBJ& mobj);
// One record as the file holds it, at the fill position: an object is its flag word, its
// command count and its commands.
void appendMovieObject(ByteWriter& out, const Tmobject& object);
void appendNavCommand(ByteWriter& out, const TNavCommand& command);

// Picker items of the three flags.
extern const std::array<std::string_view, 2> ResumeNames; // "discard", "suspend"
extern const std::array<std::string_view, 2> MaskNames;   // "enable", "disable"

// Flag word of an object: resume in bit 15, menu call in bit 14, title search in bit 13.
std::uint16_t objectFlagWord(const Tmobject& object);
// The five cells of row i + 1 of the object grid: "No.", "resume", "menu call", "title search", "commands".
std::array<std::string, 5> objline(const TMOBJ& mobj, std::size_t i);
// "n objects" beside the object grid.
std::string objectCountLabel(const TMOBJ& mobj);
// "  Found [b]n[/b] objects, [b]e[/b] extended entry."
std::string mobjFoundLine(const TMOBJ& mobj);

} // namespace corvane
