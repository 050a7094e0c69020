#pragma once
// Edits of a playlist in memory: AppInfo, PlayItem cells, the STN table, SubPaths
// and SubPlayItems. An edit that adds or removes bytes moves the enclosing lengths
// and the later start addresses by the same amount, because the writer lays the
// file out from them.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "playlist/PlayList.h"
#include "playlist/PlayListDisplay.h"

namespace corvane {

// --- AppInfo ---------------------------------------------------------------

inline constexpr std::uint32_t UO2Bit30 = 0x40000000; // the one bit of UO_mask_table2 with a box
// The hint of the UO box of bit `bit` (0..31) of UO_mask_table1.
std::string_view uoHint(int bit);
inline constexpr std::string_view UO2_30Hint = "UO230: PiP PG textST stream number change ";
std::uint32_t withBit(std::uint32_t mask, int bit, bool on);

// --- Times -----------------------------------------------------------------

// "hh:mm:ss.mmm" (":" at the 3rd and 6th, "." at the 9th character) as 45 kHz ticks;
// nothing for another layout or a time past the 32-bit range.
std::optional<std::uint32_t> parseTimeText(std::string_view text);

// --- PlayItem cells ---------------------------------------------------------

// Columns of the PlayItem grid that take input: 1 file, 4 OUT time, 6 UO1, 7 UO2. Column 3
// (IN time) goes through the cascade below; 2, 5 and 8 only redraw. Returns false when the
// text was refused (wrong length or a space) and nothing changed.
bool editPlayItemCell(TPlayItem& item, int column, std::string_view text);

// The IN time cascade. The questions asked for a new IN time; none when it equals the old one.
struct InTimeQuestions {
    bool changed = false;         // "Do you want to update OUT time?"
    bool askSubPlayItems = false; // "Do you want to update SubPlayItems' IN/OUT times?"
    bool askMarks = false;        // "Do you want to update PlayListMarks' marktimes?"
};
struct InTimeAnswers {
    bool updateOut = false;
    bool updateSubPlayItems = false;
    bool updateMarks = false;
};
inline constexpr std::string_view AskUpdateOut = "Do you want to update OUT time?";
inline constexpr std::string_view AskUpdateSubPlayItems = "Do you want to update SubPlayItems' IN/OUT times?";
inline constexpr std::string_view AskUpdateMarks = "Do you want to update PlayListMarks' marktimes?";
InTimeQuestions inTimeQuestions(const TMPLS& mpls, std::size_t item, std::uint32_t newIn);
// Stores the new IN time and shifts by the difference (unsigned 32-bit) what the answers allow:
// the OUT time of this PlayItem, every SubPlayItem IN/OUT time, every mark time.
void applyInTime(TMPLS& mpls, std::size_t item, std::uint32_t newIn, const InTimeAnswers& answers);

// --- STN table --------------------------------------------------------------

// Bytes an entry of the list takes in the file (16 for a primary one; secondary ones
// with their reference lists and pads).
std::size_t stnEntryBytes(const TSTN& stn, int list, std::size_t index);

// The +/- buttons for a list selected in the STN grid; nothing for an empty list (the
// buttons keep their state).
struct StnButtons {
    bool insert = false;
    bool remove = false;
};
std::optional<StnButtons> stnButtons(const TSTN& stn, int list);
// Whether an entry may be inserted into / deleted from a list now.
bool canInsertStreamEntry(const TSTN& stn, int list);
bool canDeleteStreamEntry(const TSTN& stn, int list);
// Inserts the default entry of the list (primary audio, PG, IG) after row `after` (at the
// start when nothing is selected); returns its index, nothing when refused.
std::optional<std::size_t> insertStreamEntry(TMPLS& mpls, std::size_t item, int list,
                                             std::optional<std::size_t> after);
// Deletes entry `index` of a list; returns the row to select afterwards (nothing when the
// list is empty now, or when refused: see `deleted`).
struct StnDeleteResult {
    bool deleted = false;
    std::optional<std::size_t> select;
};
StnDeleteResult deleteStreamEntry(TMPLS& mpls, std::size_t item, int list, std::size_t index);

// The editors laid over the selected entry and the values they show.
struct EntryEditors {
    bool type = false, mainPID = false, subPath = false, subClip = false, subPID = false;
    bool video = false, audio = false, language = false;
    int typeIndex = -1;      // coEntryType item, -1 none
    int videoIndex = -1;     // coVideo item
    int resolutionIndex = 0; // coResol item
    int frameRateIndex = 0;  // coFrmRate item
    int audioIndex = -1;     // coAudio item
    int audioTypeIndex = 0;  // coAuType item
    int frequencyIndex = 0;  // coFreq item
    int languageIndex = -1;  // coLang item, -1 when the code is not in the list
    // The UHD attributes of a video entry, shown with the video editors.
    int dynamicRangeIndex = 0; // dynamic range picker item
    int colorSpaceIndex = 0;   // colour space picker item
    bool crFlag = false;
    bool hdrPlusFlag = false;
};
EntryEditors entryEditors(const TStreamEntry& entry, int list);

enum class EntryField {
    Type,         // coEntryType: stream_type = index
    MainPID,      // heMainPID
    SubPID,       // heSubPID
    SubPathId,    // ieSubPath
    SubClipId,    // ieSubClip
    Video,        // coVideo: coding 0x02, 0x1B, 0xEA, 0x24
    Resolution,   // coResol: video_format = index
    FrameRate,    // coFrmRate
    Audio,        // coAudio: coding 0x80..0x86, 0xA1, 0xA2
    AudioType,    // coAuType
    Frequency,    // coFreq
    Language,     // coLang: the code at the index
    DynamicRange, // dynamic_range_type = index (video)
    ColorSpace,   // color_space = index (video)
    CRFlag,       // cr_flag = value & 1 (video)
    HDRPlusFlag,  // HDR_plus_flag = value & 1 (video)
};
// Applies one editor's value. A type change between a known and an unknown layout keeps the
// entry's size in the file (the bytes the known layout used are kept as raw bytes).
void setEntryField(TStreamEntry& entry, EntryField field, std::uint32_t value);

// Picker contents.
const std::vector<std::string>& languageCodes(); // coLang: 431 codes, "eng" first and again in place
inline constexpr std::array<std::uint8_t, 4> VideoCodings{0x02, 0x1B, 0xEA, 0x24};
inline constexpr std::array<std::uint8_t, 9> AudioCodings{0x80, 0x81, 0x82, 0x83, 0x84,
                                                          0x85, 0x86, 0xA1, 0xA2};
std::vector<std::string> pickerItems(EntryField field); // the item texts of a picker
std::string_view entryTypeHint(int index);
std::string_view videoHint(int index);
std::string_view audioHint(int index);
std::string_view audioTypeHint(int index); // empty for items without a hint
std::string_view subPathTypeHint(int type);

// --- SubPaths ---------------------------------------------------------------

inline constexpr std::size_t MaxSubPaths = 255;
// Inserts the default SubPath (type 3, one SubPlayItem on PlayItem 0's clip) after row `after`;
// returns its index, nothing with 255 SubPaths or without a PlayItem.
std::optional<std::size_t> insertSubPath(TMPLS& mpls, std::optional<std::size_t> after);
// Deletes SubPath `index`; returns the row to select (nothing when none remain or refused).
struct SubPathDeleteResult {
    bool deleted = false;
    std::optional<std::size_t> select;
};
SubPathDeleteResult deleteSubPath(TMPLS& mpls, std::size_t index);
// SubPath_type = type; any type but 2 clears the repeat flag.
void setSubPathType(TSubPath& path, std::uint8_t type);
void setSubPathRepeat(TSubPath& path, bool repeat);

// SubPlayItem grid cell edit (columns 1..9) of SubPlayItem `item` of SubPath `path`; false when
// refused. Turning "multi" on or off adds or removes the clip-entry block with its sizes.
bool editSubPlayItemCell(TMPLS& mpls, std::size_t path, std::size_t item, int column, std::string_view text);

// --- ExtensionData after its dialog ------------------------------------------

// Replaces the block. ExtensionData() is the last section: a held block starts right after
// PlayListMark() (or PlayList() without marks) and moves nothing else; an empty one has
// address 0. Padding kept before an old block goes with it.
void setPlayListExtensionData(TMPLS& mpls, const TExtensionData& block);

} // namespace corvane
