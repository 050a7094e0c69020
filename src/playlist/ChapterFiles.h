#pragma once
// ChapterFiles: the chapter files of other programs, OGM simple chapters
// (CHAPTER01=00:00:00.000 / CHAPTER01NAME=...) and Matroska chapter XML, written from
// and read to playlist times in 45 kHz ticks.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvane {

// H:MM:SS with an optional fraction of up to nine digits ("00:01:02.5", "1:00:00.000000000") as
// 45 kHz ticks, rounded to the nearest tick; nothing for any other text.
std::optional<std::uint64_t> clockTicks(std::string_view text);

// A line as a refusal quotes it: at most 40 characters, control bytes as '?'.
std::string quotedChapterLine(std::string_view line);

// Playlist times as the file texts, one CR LF line each; the chapters are named "Chapter 01", ...
std::string ogmChapterText(const std::vector<std::uint32_t>& times);
std::string xmlChapterText(const std::vector<std::uint32_t>& times);

// The chapters of a file in file order. A chapter that does not read (bad time, past 32 bits of
// ticks, a name without its time) is refused by its line; `error` says why a file does not read
// as a whole (no XML, no Chapters root, an unknown entity).
struct ChapterPoints {
    std::vector<std::uint32_t> times;
    std::vector<std::string> names; // one per time, empty when the file gives none
    std::vector<std::string> refused;
    std::string error;
};
ChapterPoints readOgmChapters(std::string_view text);
// The chapters of the first EditionEntry, sub-chapters and unknown elements left out.
ChapterPoints readXmlChapters(std::string_view text);

} // namespace corvane
