#pragma once
// Reading an IG menu from a .mnu segment file.
//
// A .mnu file is a sequence of segments, each behind a 10-byte frame: "IG", PTS and DTS
// (32-bit, 90 kHz), then segment_type (0x14 PDS, 0x15 ODS, 0x18 ICS, 0x80 END), a 16-bit
// segment_length and the body. loadMNU is a pure function over the file's bytes: palettes
// are converted to RGB, object run-length data stays in the bytes (decoded on first
// display) and the pages are parsed from the interactive composition. The Load step that
// fetches the file and reports through the session is in shell/SessionFiles.h.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "io/ReadResult.h"
#include "menu/IGMenu.h"

namespace corvane {

enum class SegmentType : std::uint8_t { PDS = 0x14, ODS = 0x15, ICS = 0x18, END = 0x80 };

// Status Ok (read up to END or the end of the file), FormatError (a segment frame without
// "IG": "File format error"; what came before is parsed), Damaged (the file ends inside a
// segment or the composition ends early; what was read is kept) or Cancelled (cancel was
// requested: objects and palettes read, pages not parsed). problemAt: offset of the fault.
// An interactive composition of the stream: the PTS of its segment, composition_number and
// composition_state (0 normal case, 1 acquisition point, 2 epoch start).
struct CompositionEntry {
    std::uint32_t pts = 0;
    std::uint16_t number = 0;
    std::uint8_t state = 0;
    bool operator==(const CompositionEntry&) const = default;
};

struct MnuReadResult : ReadResult {
    TMenu menu;
    std::size_t unknownSegments = 0;
    // Every composition of the stream in order, also those of display sets after the one read.
    std::vector<CompositionEntry> compositions;
};

// What a long read reports and asks while it runs (all optional).
struct MenuReadHooks {
    std::function<bool()> cancelled;                                // between segments and pages
    std::function<void(int percent, const std::string& text)> page; // "Reading page n", 80 to 100 %
};

// Reads a menu from the bytes of a .mnu file; the bytes become the menu's data. The menu is
// composition number `composition` of the list (0: the first) with the palettes and
// objects of its epoch up to the end of its display set; a later display set's copy of an
// object replaces the earlier one. Past that display set the segments are only listed.
MnuReadResult loadMNU(std::vector<std::uint8_t> bytes, const MenuReadHooks& hooks = {},
                      std::size_t composition = 0);

// Parses the pages from the interactive composition read into menu.IGSc.pages and fills
// PageButtons. A composition ending early keeps what was read and adds an error line.
bool getIGS(TMenu& menu, std::vector<ReadMessage>& messages, const MenuReadHooks& hooks = {});

// The composition body of the ICS sequence read (the first of ics_fragments), its
// fragments back to back.
std::vector<std::uint8_t> firstCompositionBody(const TMenu& menu);

// Wraps an interactive-composition body (from video_descriptor on) as a .mnu file of one
// ICS segment and an END segment; used to read compositions captured on their own.
std::vector<std::uint8_t> wrapComposition(std::span<const std::uint8_t> body, std::uint32_t pts = 0);

// A composition in a picker: "2: 00:00:10:00, number 5, epoch start" (its IN time).
std::string compositionTitle(std::size_t index, const CompositionEntry& entry);

// "[b]1[/b] ICS, [b]n[/b] OCS, [b]m[/b] PCS found." (object and palette counts).
std::string menuFoundLine(const TMenu& menu);

} // namespace corvane
