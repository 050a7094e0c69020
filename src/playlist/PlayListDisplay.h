#pragma once
// The texts of the PLAYLIST page's grids, one row at a time, so that the page
// only copies strings into cells.

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "playlist/PlayList.h"

namespace corvane {

using GridRow = std::vector<std::string>; // cells from column 0 (the row number) on

// The seven lists of an STN table in the column order of the STN grid.
enum StnList : int {
    ListPrimaryVideo = 0,
    ListPrimaryAudio = 1,
    ListPG = 2, // PG/textST
    ListIG = 3,
    ListSecondaryVideo = 4,
    ListSecondaryAudio = 5,
    ListPiPPG = 6,         // PiP PG/textST, held after the PG entries
    ListDolbyVisionEL = 7, // Dolby Vision enhancement layers (UHD)
};
inline constexpr int StnListCount = 8;

// Entries in a list; PG and PiP PG split the PG vector at number_of_PG_textST_stream_entries.
std::size_t stnListSize(const TSTN& stn, int list);
// The stream_entry()/stream_attributes() of entry `index` of a list; nullptr when out of range.
const TStreamEntry* stnEntry(const TSTN& stn, int list, std::size_t index);
TStreamEntry* stnEntry(TSTN& stn, int list, std::size_t index);

inline constexpr std::array<std::string_view, 9> PlayItemHeaders{
    "", "file", "type", "IN time", "OUT time", "length", "UO1", "UO2", "An"};
inline constexpr std::array<std::string_view, 4> AngleHeaders{"", "file", "type", "STC"};
inline constexpr std::array<std::string_view, 8> StnHeaders{"Vi", "Au", "PG", "IG", "sV", "sA", "PIP", "DV"};
inline constexpr std::array<std::string_view, 7> StreamEntryHeaders{"",     "type", "mPID",  "SPid",
                                                                    "sCid", "sPID", "attrib"};
inline constexpr std::array<std::string_view, 4> SubPathHeaders{"", "type", "repeat", "item"};
inline constexpr std::array<std::string_view, 11> SubPlayItemHeaders{
    "", "file", "type", "conn", "multi", "STC", "IN time", "OUT time", "sync PI", "sync PTS", "An"};
inline constexpr std::array<std::string_view, 6> MarkHeaders{"",          "type",      "PI",
                                                             "mark time", "entry PID", "duration"};

GridRow playItemRow(const TPlayItem& item, std::size_t index);       // 9 cells, row number from 000
std::vector<GridRow> angleRows(const TPlayItem& item);               // 4 cells each, numbered from 1
GridRow stnCountRow(const TSTN& stn);                                // 8 counts in StnList order
std::string attributeText(const TStreamEntry& entry, int list);      // the "attrib" cell
std::string uhdAttributeText(const TStreamEntry& entry);             // "HDR10, BT.2020[, CR][, HDR10+ flag]"
std::vector<GridRow> streamEntryRows(const TSTN& stn, int list);     // 7 cells each, numbered from 001
GridRow subPathRow(const TSubPath& path, std::size_t index);         // 4 cells
GridRow subPlayItemRow(const TSubPlayItem& item, std::size_t index); // 11 cells
std::vector<GridRow> clipEntryRows(const TSubPlayItem& item);        // 4 cells each, numbered from 1
GridRow PLMline(const TMarkEntry& mark, std::size_t index);          // 6 cells

// "Yes"/"No" of the repeat cell and picker.
std::string_view repeatText(std::uint16_t SubPath_flags);

} // namespace corvane
