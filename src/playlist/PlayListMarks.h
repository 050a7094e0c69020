#pragma once
// PlayListMarks: inserting, deleting and timing marks, and the chapter files that
// carry the entry points on the playlist's own time axis (0 at the IN time of the
// first PlayItem, the PlayItems back to back).

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "playlist/PlayList.h"

namespace corvane {

inline constexpr std::size_t MaxMarks = 999;

// The four time editors of a mark.
struct MarkTime {
    std::uint32_t hours = 0, minutes = 0, seconds = 0, milliseconds = 0;
};
MarkTime markTime(std::uint32_t mark_time_stamp);
// getmarktime: the editors' fields, each clamped (hours 0..25, minutes and seconds 0..59),
// as 45 kHz ticks.
MarkTime clampMarkTime(MarkTime time);
std::uint32_t markTimeStamp(const MarkTime& time);

// Inserts a default entry-mark after row `after` (at the start without one) at the IN time of
// PlayItem `playItem` (the last one when there are fewer); returns its index, nothing with
// 999 marks.
std::optional<std::size_t> insertMark(TMPLS& mpls, std::optional<std::size_t> after,
                                      std::size_t playItem = 0);
// Deletes rows first..last; returns the row to select (nothing when no mark remains).
struct MarkDeleteResult {
    std::size_t removed = 0;
    std::optional<std::size_t> select;
};
MarkDeleteResult deleteMarks(TMPLS& mpls, std::size_t first, std::size_t last);

// PTS, Frame and Time: one playlist time a line for every mark. OGM (simple chapters,
// CHAPTER01=hh:mm:ss.mmm and CHAPTER01NAME=...) and XML (Matroska chapters, nanoseconds):
// the entry-marks only, named "Chapter 01", ...
enum class ChapterFormat { PTS = 0, Frame = 1, Time = 2, OGM = 3, XML = 4 };
// "pts", "frame", "time", "ogm", "xml" in any case.
std::optional<ChapterFormat> chapterFormatFromName(std::string_view name);

// "chapter_" + playlist + "_PTS.txt" / "_frame.txt" / "_time.txt" / "_ogm.txt" / "_matroska.xml".
std::string chapterFileName(const std::string& playlist, ChapterFormat format);

// The chapter file of the marks, CR LF lines; an error text instead when the format cannot
// be written (Frame without a known frame rate, OGM or XML without an entry-mark).
struct ChapterText {
    std::string text;
    std::string error;
};
ChapterText chapterText(const TMPLS& mpls, ChapterFormat format);

// Replaces the marks by the chapter file's points. A line (an OGM line, an XML ChapterAtom)
// that does not read in the format (empty, signed, another format's layout, past 32 bits) is
// refused by its line number and the others are taken. Nothing changes for a file without
// lines (OGM and XML: without anything but blanks), when no line reads, when the format
// cannot be read or an XML file is not well-formed Matroska chapters (the error says why).
// A point at or past the end of the playlist goes to the end of the last PlayItem; a point in
// the millisecond before a PlayItem's start (OGM, XML) is that start.
struct ChapterImport {
    bool changed = false;
    std::string error;
    std::vector<std::string> refused; // "Line N refused, ..." per line not taken
    std::vector<std::string> log;     // the PlayItem search lines
    std::vector<std::string> names;   // OGM and XML: the name of each chapter taken ("" for none)
};
ChapterImport importChapters(TMPLS& mpls, std::string_view fileText, ChapterFormat format);

} // namespace corvane
