#pragma once
// The 12-byte HDMV navigation command: decoding of its opcode word and the fixed tables of
// command names, operand counts, valid and forbidden opcode words and PSR descriptions.
//
// Opcode word: bits 31-29 operand count, 28-27 group, 26-24 sub-group, 23 / 22 immediate flag of
// operand 1 / 2; the option sits in bits 19-16 (Branch), 11-8 (Compare) or 4-0 (Set). Group 3 has
// no name and no option. Bits 21-20, 15-12 and 7-5 are not interpreted.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace corvane {

// One navigation command, stored big-endian as three words. All zero is NOP.
struct TNavCommand {
    std::uint32_t opcode = 0;      // 32-bit opcode word
    std::uint32_t destination = 0; // 32-bit operand 1
    std::uint32_t source = 0;      // 32-bit operand 2
    bool operator==(const TNavCommand&) const = default;
};

// Where a command is shown: movie objects (BDMV page) or button commands (every other page).
// Each has its own list of forbidden opcode words.
enum class CommandContext { MovieObject, Button };

// What a command does when it runs: one operation per named row of the command table.
enum class NavOperation : std::uint8_t {
    None, // NOP, the unnamed rows and every word the interpreter does not run
    GoTo,
    Break,
    JumpObject,
    JumpTitle,
    CallObject,
    CallTitle,
    Resume,
    PlayPL,
    PlayPLatPI,
    PlayPLatMK,
    TerminatePL,
    LinkPI,
    LinkMK,
    KeepCondition, // compare option 0: the previous compare's result stands
    BC,
    EQ,
    NE,
    GE,
    GT,
    LE,
    LT,
    Move,
    Swap,
    Add,
    Sub,
    Mul,
    Div,
    Mod,
    Rnd,
    And,
    Or,
    Xor,
    BitSet,
    BitClear,
    ShiftLeft,
    ShiftRight,
    SetStream,
    SetNVTimer,
    SetButtonPage,
    EnableButton,
    DisableButton,
    SetSecondaryStream,
    PopUpMenuOff,
    StillOn,
    StillOff,
};

// Command groups and the SetSystem options with packed operands.
inline constexpr int GroupBranch = 0;
inline constexpr int GroupCompare = 1;
inline constexpr int GroupSet = 2;
inline constexpr int SubGroupSetSystem = 1;
inline constexpr int OptionSetStream = 1;
inline constexpr int OptionSetButtonPage = 3;
inline constexpr int OptionSetSecondaryStream = 6;

// Operand flags inside the opcode word, and the PSR flag of a register operand.
inline constexpr std::uint32_t DestinationImmediateBit = 0x00800000;
inline constexpr std::uint32_t SourceImmediateBit = 0x00400000;
inline constexpr std::uint32_t PSRBit = 0x80000000;

// Tables indexed by group * 256 + sub-group * 32 + option (group 3 included, all empty).
inline constexpr std::size_t CommandTableSize = 4 * 256;
inline constexpr std::size_t PSRNameCount = 45;

extern const std::array<std::string_view, 3> GroupNames;
extern const std::array<std::array<std::string_view, 8>, 3> SubGroupNames; // [group][sub-group]
extern const std::array<std::string_view, CommandTableSize> CommandNames;
extern const std::array<std::uint8_t, CommandTableSize> OperandCounts;
// The valid opcode words as listed, 125 entries: PopUpMenu Off, Still On and Still Off appear both
// by name and in the zero-operand SetSystem range, so 122 distinct words.
extern const std::array<std::uint32_t, 125> ValidOpcodes;
extern const std::array<std::uint32_t, 12> ForbiddenInObjects;
extern const std::array<std::uint32_t, 10> ForbiddenInButtons;
extern const std::array<std::string_view, PSRNameCount> PSRNames; // PSR0 to PSR44

// Bits 31-29.
constexpr int operandCount(std::uint32_t w) {
    return static_cast<int>(w >> 29);
}
// Bits 28-27.
constexpr int commandGroup(std::uint32_t w) {
    return static_cast<int>((w >> 27) & 0x3);
}
// Bits 26-24.
constexpr int commandSubGroup(std::uint32_t w) {
    return static_cast<int>((w >> 24) & 0x7);
}
// Bit 23 / bit 22.
constexpr bool destinationIsImmediate(std::uint32_t w) {
    return (w & DestinationImmediateBit) != 0;
}
constexpr bool sourceIsImmediate(std::uint32_t w) {
    return (w & SourceImmediateBit) != 0;
}

// The option from the bits of the word's group; 0 for group 3.
constexpr int commandOption(std::uint32_t w) {
    switch (commandGroup(w)) {
    case GroupBranch:
        return static_cast<int>((w >> 16) & 0xF);
    case GroupCompare:
        return static_cast<int>((w >> 8) & 0xF);
    case GroupSet:
        return static_cast<int>(w & 0x1F);
    default:
        return 0;
    }
}

// Position of the word's command in CommandNames and OperandCounts.
constexpr std::size_t commandIndex(std::uint32_t w) {
    return static_cast<std::size_t>(commandGroup(w) * 256 + commandSubGroup(w) * 32 + commandOption(w));
}

// Name of the word's command; empty for unnamed options and group 3.
std::string_view commandName(std::uint32_t w);
// Operand count the word's command takes (OperandCounts), whatever bits 31-29 say.
int expectedOperands(std::uint32_t w);
// Whether w is one of ValidOpcodes; the operands never matter.
bool isValidOpcode(std::uint32_t w);
// Whether w is on the forbidden list of the context.
bool isForbidden(std::uint32_t w, CommandContext context);
// The operation the interpreter runs for w, matching the whole word: a named command whose word
// is valid and carries the command's operand count; a Set command (options 1 to 15) with any
// immediate flags; every word from 0x48000100 to 0x48C00700, by its bits 10-8. None otherwise.
NavOperation navOperation(std::uint32_t w);
// Description of PSR n; empty outside 0 to 44.
std::string_view psrName(int n);

} // namespace corvane
