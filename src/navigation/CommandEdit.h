#pragma once
// Editing one navigation command field by field, the state the command editor shows,
// and what a command line points to when it is double-clicked.
//
// Every edit is a pure function from the command and the new value of one control to the
// new command; a value the control would not offer leaves the command as it was. The page
// writes the result into the model, re-renders the line with comm2str and refreshes the
// editor from commandEditorState.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "navigation/NavCommand.h"

namespace corvane {

// Hints of the editor's controls and of the command table.
inline constexpr std::string_view HintCommandGroup = "Command Group";             // cbCmdGrp
inline constexpr std::string_view HintCommandSubGroup = "Command Sub-Group";      // cbCmdSGrp
inline constexpr std::string_view HintCommandOption = "Command Option";           // cbCmd
inline constexpr std::string_view HintDestinationType = "Destination Type";       // cbOP1
inline constexpr std::string_view HintSourceType = "Source Type";                 // cbOp2
inline constexpr std::string_view HintDestination = "Destination";                // ieOp1
inline constexpr std::string_view HintSource = "Source";                          // ieOp2
inline constexpr std::string_view HintHexWord = "Hex";                            // heOCH, heDEH, heSOH
inline constexpr std::string_view HintNavigationCommands = "Navigation commands"; // sgCommands

// Operand 1 is the command's destination word, operand 2 its source word.
enum class Operand { Destination, Source };

// Items of the type pickers cbOP1 and cbOp2, in picker order.
enum class OperandType { GPR = 0, PSR = 1, Imm = 2 };
extern const std::array<std::string_view, 3> OperandTypeNames; // "GPR", "PSR", "Imm"

// PSR numbers below this get their description as the table's hint.
inline constexpr int HintPSRLimit = 41;

// ---- Picker items ------------------------------------------------------------------

// cbCmdGrp: the three group names.
std::vector<std::string_view> groupItems();
// cbCmdSGrp: the sub-group names of a group, sub-group 0 first; empty for group 3.
std::vector<std::string_view> subGroupItems(int group);
// cbCmd: the option names of a group and sub-group, option 0 first, up to the first
// unnamed option; empty when the sub-group has no name.
std::vector<std::string_view> optionItems(int group, int subGroup);

// ---- Decoding for the editor -------------------------------------------------------

// cbOP1on is ticked while the operand count is not 0, cbOP2on while bit 30 is set.
bool operandPresent(std::uint32_t opcode, Operand operand);
// SetStream, SetButtonPage and SetSecondaryStream (by group, sub-group and option): their
// register fields name GPRs only and bit 31 of each operand word is a valid flag.
bool hasFlaggedOperands(std::uint32_t opcode);
// "Imm" when the operand's immediate flag is set; otherwise "PSR" when bit 31 is set and the
// command has no flagged operands, else "GPR".
OperandType operandType(const TNavCommand& command, Operand operand);
// The value field: the whole word for an immediate or a flagged operand, bits 11-0 for a GPR,
// bits 6-0 for a PSR.
std::uint32_t operandValue(const TNavCommand& command, Operand operand);

// ---- Field edits -------------------------------------------------------------------

// cbCmdGrp: opcode := (group << 27) + (opcode AND 0xE7C00000); operand count, sub-group and
// immediate flags kept, bits 21-0 cleared. Groups 0 to 2; picking the current group changes nothing.
TNavCommand setCommandGroup(const TNavCommand& command, int group);
// cbCmdSGrp: opcode := (subGroup << 24) + (opcode AND 0xF8C00000); one of the group's
// sub-groups; picking the current sub-group changes nothing.
TNavCommand setCommandSubGroup(const TNavCommand& command, int subGroup);
// cbCmd: bits 19-0 := the option in its group's bits, the operand count := the option's
// operand count, and the immediate flag of an operand the option does not take is cleared.
TNavCommand setCommandOption(const TNavCommand& command, int option);
// cbOP1on / cbOP2on: unticking operand 1 unticks operand 2, ticking operand 2 ticks operand 1;
// the operand count := the number of ticked boxes.
TNavCommand setOperandPresent(const TNavCommand& command, Operand operand, bool present);
// cbOP1 / cbOp2: "Imm" sets the immediate flag and keeps the word; "GPR" / "PSR" clear it and
// set bit 31 of the word to 0 / 1, except for flagged operands, whose bit 31 stays and whose
// "PSR" falls back to "GPR". Nothing while the operand is absent.
TNavCommand setOperandType(const TNavCommand& command, Operand operand, OperandType type);
// ieOp1 / ieOp2: the word := the typed value (a negative value as its 32-bit two's complement),
// with bit 31 set when the type is "PSR". A register number outside 0 to 0x7FFFFFFF, a value
// outside the 32-bit range, or an absent operand leaves the command as it was.
TNavCommand setOperandValue(const TNavCommand& command, Operand operand, std::int64_t typed);
// heOCH: the opcode word; an opcode of 0 also clears both operand words.
TNavCommand setOpcodeWord(const TNavCommand& command, std::uint32_t opcode);
// heDEH / heSOH: the operand word; nothing while the operand is absent.
TNavCommand setOperandWord(const TNavCommand& command, Operand operand, std::uint32_t word);

// ---- Editor state ------------------------------------------------------------------

// One operand's controls: presence box, type picker, value field and hex field.
struct OperandFieldState {
    bool present = false;                // cbOP1on / cbOP2on ticked
    bool enabled = false;                // type, value and hex fields enabled (= present)
    OperandType type = OperandType::GPR; // type picker item
    std::uint32_t value = 0;             // value field
    std::string valueText;               // value field as unsigned decimal
    std::string hex;                     // hex field, eight digits
};

// Everything the editor panel shows for one command.
struct CommandEditorState {
    std::vector<std::string_view> groupItems;    // cbCmdGrp
    int groupIndex = -1;                         // -1: no item (group 3)
    std::vector<std::string_view> subGroupItems; // cbCmdSGrp
    int subGroupIndex = -1;                      // -1: the sub-group has no item
    std::vector<std::string_view> optionItems;   // cbCmd
    int optionIndex = -1;                        // -1: the option has no item
    std::string opcodeHex;                       // heOCH, eight digits, always enabled
    OperandFieldState destination;               // cbOP1on, cbOP1, ieOp1, heDEH
    OperandFieldState source;                    // cbOP2on, cbOp2, ieOp2, heSOH
    std::string hint;                            // hint of sgCommands
};

// "PSRn: description" for the last PSR (operand 2's first) that a present register operand
// names below PSR41; "Navigation commands" otherwise.
std::string commandHint(const TNavCommand& command);
// The editor filled from a command (sgCommandsClick).
CommandEditorState commandEditorState(const TNavCommand& command);

// Where a command line's comment part starts when drawn: the character before its first
// ";" (0 when the line starts with it); npos when the line has no ";".
std::size_t commentStart(std::string_view line);

// ---- Following a reference ---------------------------------------------------------

// A line of the same program: row line + 1 of the command table.
struct LineReference {
    std::uint32_t line = 0;
    bool operator==(const LineReference&) const = default;
};
// A title: switch to the BDMV page; only a title of 1 to 999 is selected (row `title` of
// sgTitles, then row 1 of sgCommands).
struct TitleReference {
    std::uint32_t title = 0;
    bool selectTitle = false;
    bool operator==(const TitleReference&) const = default;
};
// A playlist to select (playlistItemName) and read; for Play PL_PI with both operands
// immediate also its PlayItem (row playItem + 1 of sgPLitem).
struct PlaylistReference {
    std::uint32_t playlist = 0;
    std::optional<std::uint32_t> playItem;
    bool operator==(const PlaylistReference&) const = default;
};
// A menu page to show and / or a button to select on it.
struct PageButtonReference {
    std::optional<std::uint32_t> page;   // 8-bit page id
    std::optional<std::uint32_t> button; // 16-bit button id
    bool operator==(const PageButtonReference&) const = default;
};
using CommandReference =
    std::variant<std::monostate, LineReference, TitleReference, PlaylistReference, PageButtonReference>;

// What line `line` of a program points to. A GoTo whose target lies outside the program,
// a line outside the program, and lines with no reference give monostate. SetButtonPage
// references count only while a menu page can be chosen (`pagesEnabled`).
CommandReference followReference(std::span<const TNavCommand> program, std::size_t line, bool pagesEnabled);
// The playlist picker's item for a playlist number: five digits with leading zeros.
std::string playlistItemName(std::uint32_t playlist);

} // namespace corvane
