#pragma once
// Editing operations of the navigation database with their length and address
// upkeep. Every insertion or deletion adjusts the enclosing length field by the
// bytes it adds or removes, and a non-zero ExtensionData start address moves to
// where the block now lands (by the same bytes for every file read whole); GoTo
// targets and title references follow the lines and objects they point at.
//
// Positions are 0-based list indexes (title i is row i + 1 of the title grid,
// object i row i + 1 of the object grid, line i row i + 1 of the command grid).

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "navigation/IndexTable.h"
#include "navigation/MovieObject.h"

namespace corvane {

class Reporter;

inline constexpr std::uint32_t GoToImmediateOpcode = 0x20810000; // GoTo with an immediate line number

// ---- Movie objects -------------------------------------------------------------

// Inserts an empty object (flags 0, no commands) at `position` (clamped to 0..n):
// number_of_mobjs + 1, mobjs_length + 4, ExtensionData address + 4. References of
// titles, First Playback and Top Menu to objects at or after `position` move up by
// one so they keep playing the same object. False when the list already holds 65535.
bool insertMovieObject(TMOBJ& mobj, TINDX& index, std::size_t position);

struct ObjectDeletion {
    std::size_t removed = 0;                 // objects removed
    std::size_t commandsRemoved = 0;         // commands they held
    std::vector<std::size_t> changedTitles;  // titles whose reference changed (rows to redraw)
    std::vector<std::int32_t> invalidTitles; // title_number of every HDMV title left without a valid object
    bool menuEntriesChanged = false;         // First Playback or Top Menu reference changed
    bool firstPlaybackLost = false;          // First Playback played a deleted object: now off
    bool topMenuLost = false;                // Top Menu played a deleted object: now off
};
// Removes objects first..last (clamped to the list): number_of_mobjs − k, mobjs_length
// and a non-zero ExtensionData address − (4·k + 12·commands). A title, First Playback or
// Top Menu reference inside the range becomes 0xFFFF (for First Playback and Top Menu:
// off); one above it is lowered by k. Titles whose reference is then not below the
// object count are listed for the "Invalid object reference in Title" report.
ObjectDeletion deleteMovieObjects(TMOBJ& mobj, TINDX& index, std::size_t first, std::size_t last);
// Reports First Playback and Top Menu when they lost their object and each invalid title with
// erlog, and "See Status" on the status bar when there was one.
void reportInvalidReferences(Reporter& reporter, const ObjectDeletion& deletion);

enum class ObjectFlag { Resume, MenuCall, TitleSearch };
// Stores a flag picker's item (0 or 1) in the flag of object i.
void setObjectFlag(TMOBJ& mobj, std::size_t object, ObjectFlag flag, int item);

// ---- Command lines -------------------------------------------------------------

// For every GoTo with an immediate line number (opcode exactly 0x20810000) of the program
// whose target is above `after` (a negative `after` matches every target), adds `delta`.
// A target that would fall below line 0 becomes 0. Returns the lines changed.
std::vector<std::size_t> updategotos(std::span<TNavCommand> commands, std::int64_t after, std::int64_t delta);
std::vector<std::size_t> updategotos(Tmobject& object, std::int64_t after, std::int64_t delta);

struct LineEdit {
    std::size_t line = 0;                  // the new line, or the line to select after a deletion
    std::vector<std::size_t> changedGotos; // lines whose GoTo target changed (after the edit)
};
// Inserts a NOP after line `after` of the object (line 0 when the object has no commands;
// a negative `after` also inserts at line 0): mobjs_length and a non-zero ExtensionData
// address + 12, GoTo targets after the insertion point + 1. Nothing when the object already
// holds 9999 commands or does not exist.
std::optional<LineEdit> insertCommandLine(TMOBJ& mobj, std::size_t object, std::int64_t after);
// Removes lines first..last (clamped) of the object: mobjs_length and a non-zero ExtensionData
// address − 12·k, GoTo targets at or after `first` − k. Nothing when there are no lines.
std::optional<LineEdit> deleteCommandLines(TMOBJ& mobj, std::size_t object, std::size_t first,
                                           std::size_t last);

// ---- Titles --------------------------------------------------------------------

// Sets title_number of every title to its position + 1.
void renumberTitles(TINDX& index);
// Inserts a title at `position` (clamped to 0..n): HDMV, access 0, playback 0, object 0;
// number_of_titles + 1, indexes_length and a non-zero ExtensionData address + 12.
// False at 999 titles, the most a file may hold.
bool insertTitle(TINDX& index, std::size_t position);
// Removes titles first..last (clamped): indexes_length and a non-zero ExtensionData
// address − 12 per title. Returns how many were removed.
std::size_t deleteTitles(TINDX& index, std::size_t first, std::size_t last);

// ---- Entry fields (First Playback, Top Menu and titles) ------------------------

// On: the entry takes the type shown in its type picker and, when that is HDMV, the
// object shown in its object picker. Off: the entry becomes HDMV with object 0xFFFF,
// the only way the file can say off (a BD-J name is kept for turning it on again).
void setEntryOn(TTitleEntry& entry, bool on, std::uint8_t objectType, std::uint16_t objectRef);
// Type picker: object_type = item + 1; a change to HDMV takes the object shown.
void setEntryObjectType(TTitleEntry& entry, int item, std::uint16_t objectRef);
void setEntryObject(TTitleEntry& entry, std::uint16_t objectRef);
void setEntryPlaybackType(TTitleEntry& entry, int item);
// Titles only: "Permitted", "Prohibited1", "Prohibited2" store 0, 2, 3.
void setEntryAccessType(TTitleEntry& entry, int item);
// The first five characters of the picked BD-J object file name.
void setEntryBdjoFile(TTitleEntry& entry, std::string_view fileName);

// ---- Content provider text ------------------------------------------------------

// The field holds at most 32 bytes of Latin-1, one byte per character.
inline constexpr std::size_t ContentProviderBytes = 32;
// Stores UTF-8 text as Latin-1 ('?' for a character outside it), cut at 32 bytes.
void setContentProvider(TINDX& index, std::string_view utf8);
// The stored text as UTF-8.
std::string contentProviderText(const TINDX& index);

// ---- ExtensionData after its dialog --------------------------------------------

// Offset at which the writer puts the model's ExtensionData block.
std::uint32_t movieObjectExtensionAddress(const TMOBJ& mobj);
std::uint32_t indexExtensionAddress(const TINDX& index);
// Replaces the block; the start address follows the layout written (0 when the block is empty).
void setIndexExtensionData(TINDX& index, const TExtensionData& block);
void setMovieObjectExtensionData(TMOBJ& mobj, const TExtensionData& block);

} // namespace corvane
