#include "navigation/NavCommand.h"

namespace corvane {

namespace {

struct NamedOption {
    int group;
    int subGroup;
    int option;
    std::string_view name;
    std::uint8_t operands;
    NavOperation operation;
};

constexpr NamedOption NamedOptions[] = {
    {0, 0, 0, "NOP", 0, NavOperation::None},
    {0, 0, 1, "GoTo", 1, NavOperation::GoTo},
    {0, 0, 2, "Break", 0, NavOperation::Break},
    {0, 1, 0, "Jump Object", 1, NavOperation::JumpObject},
    {0, 1, 1, "Jump Title", 1, NavOperation::JumpTitle},
    {0, 1, 2, "Call Object", 1, NavOperation::CallObject},
    {0, 1, 3, "Call Title", 1, NavOperation::CallTitle},
    {0, 1, 4, "Resume", 0, NavOperation::Resume},
    {0, 2, 0, "Play PL", 1, NavOperation::PlayPL},
    {0, 2, 1, "Play PL_PI", 2, NavOperation::PlayPLatPI},
    {0, 2, 2, "Play PL_MK", 2, NavOperation::PlayPLatMK},
    {0, 2, 3, "Terminate PL", 0, NavOperation::TerminatePL},
    {0, 2, 4, "Link PI", 1, NavOperation::LinkPI},
    {0, 2, 5, "Link MK", 1, NavOperation::LinkMK},
    {1, 0, 0, "--", 0, NavOperation::KeepCondition},
    {1, 0, 1, "BC", 2, NavOperation::BC},
    {1, 0, 2, "EQ", 2, NavOperation::EQ},
    {1, 0, 3, "NE", 2, NavOperation::NE},
    {1, 0, 4, "GE", 2, NavOperation::GE},
    {1, 0, 5, "GT", 2, NavOperation::GT},
    {1, 0, 6, "LE", 2, NavOperation::LE},
    {1, 0, 7, "LT", 2, NavOperation::LT},
    {2, 0, 0, "---", 0, NavOperation::None},
    {2, 0, 1, "Move", 2, NavOperation::Move},
    {2, 0, 2, "Swap", 2, NavOperation::Swap},
    {2, 0, 3, "Add", 2, NavOperation::Add},
    {2, 0, 4, "Sub", 2, NavOperation::Sub},
    {2, 0, 5, "Mul", 2, NavOperation::Mul},
    {2, 0, 6, "Div", 2, NavOperation::Div},
    {2, 0, 7, "Mod", 2, NavOperation::Mod},
    {2, 0, 8, "Rnd", 2, NavOperation::Rnd},
    {2, 0, 9, "And", 2, NavOperation::And},
    {2, 0, 10, "Or", 2, NavOperation::Or},
    {2, 0, 11, "Xor", 2, NavOperation::Xor},
    {2, 0, 12, "Bit Set", 2, NavOperation::BitSet},
    {2, 0, 13, "Bit Clear", 2, NavOperation::BitClear},
    {2, 0, 14, "Shift Left", 2, NavOperation::ShiftLeft},
    {2, 0, 15, "Shift Right", 2, NavOperation::ShiftRight},
    {2, 1, 0, "---", 0, NavOperation::None},
    {2, 1, 1, "SetStream", 2, NavOperation::SetStream},
    {2, 1, 2, "SetNVTimer", 2, NavOperation::SetNVTimer},
    {2, 1, 3, "SetButtonPage", 2, NavOperation::SetButtonPage},
    {2, 1, 4, "EnableButton", 1, NavOperation::EnableButton},
    {2, 1, 5, "DisableButton", 1, NavOperation::DisableButton},
    {2, 1, 6, "SetSecondaryStream", 2, NavOperation::SetSecondaryStream},
    {2, 1, 7, "PopUpMenu Off", 0, NavOperation::PopUpMenuOff},
    {2, 1, 8, "Still On", 0, NavOperation::StillOn},
    {2, 1, 9, "Still Off", 0, NavOperation::StillOff},
};

constexpr std::size_t tableIndex(const NamedOption& entry) {
    return static_cast<std::size_t>(entry.group * 256 + entry.subGroup * 32 + entry.option);
}

constexpr std::array<std::string_view, CommandTableSize> makeCommandNames() {
    std::array<std::string_view, CommandTableSize> names{};
    for (const auto& entry : NamedOptions) names[tableIndex(entry)] = entry.name;
    return names;
}

constexpr std::array<std::uint8_t, CommandTableSize> makeOperandCounts() {
    std::array<std::uint8_t, CommandTableSize> counts{};
    for (const auto& entry : NamedOptions) counts[tableIndex(entry)] = entry.operands;
    return counts;
}

constexpr std::array<NavOperation, CommandTableSize> makeOperations() {
    std::array<NavOperation, CommandTableSize> operations{};
    for (const auto& entry : NamedOptions) operations[tableIndex(entry)] = entry.operation;
    return operations;
}

// Words n * step + first for n = 0 .. count - 1, written into out from position at.
template <std::size_t Size>
constexpr std::size_t putRange(std::array<std::uint32_t, Size>& out, std::size_t at, std::uint32_t first,
                               std::uint32_t step, std::uint32_t count) {
    for (std::uint32_t n = 0; n < count; ++n) out[at++] = first + n * step;
    return at;
}

constexpr std::array<std::uint32_t, 125> makeValidOpcodes() {
    std::array<std::uint32_t, 125> words{};
    std::size_t at = 0;
    for (std::uint32_t w : {0x00000000u, 0x20010000u, 0x20810000u, 0x00020000u,  // NOP, GoTo, Break
                            0x21000000u, 0x21800000u, 0x21010000u, 0x21810000u,  // Jump Object/Title
                            0x21020000u, 0x21820000u, 0x21030000u, 0x21830000u,  // Call Object/Title
                            0x01040000u,                                         // Resume
                            0x22000000u, 0x22800000u,                            // Play PL
                            0x42010000u, 0x42810000u, 0x42410000u, 0x42C10000u,  // Play PL_PI
                            0x42020000u, 0x42820000u, 0x42420000u, 0x42C20000u,  // Play PL_MK
                            0x02030000u,                                         // Terminate PL
                            0x22040000u, 0x22840000u, 0x22050000u, 0x22850000u}) // Link PI, Link MK
        words[at++] = w;
    for (std::uint32_t n : {1u, 2u, 3u, 6u}) // SetStream, SetNVTimer, SetButtonPage, SetSecondaryStream
        for (std::uint32_t base : {0x51000000u, 0x51800000u, 0x51400000u, 0x51C00000u})
            words[at++] = base + n;
    for (std::uint32_t w : {0x31000004u, 0x31800004u, 0x31000005u, 0x31800005u, // EnableButton, DisableButton
                            0x11000007u, 0x11000008u, 0x11000009u,              // PopUpMenu Off, Still On/Off
                            0x31000010u, 0x31000011u})                          // SetSystem options 16, 17
        words[at++] = w;
    at = putRange(words, at, 0x50000001, 1, 15);    // Set, register source
    at = putRange(words, at, 0x50400001, 1, 15);    // Set, immediate source
    at = putRange(words, at, 0x48000100, 0x100, 7); // Compare register/register
    at = putRange(words, at, 0x48C00100, 0x100, 7); // Compare immediate/immediate
    at = putRange(words, at, 0x48400100, 0x100, 7); // Compare register/immediate
    at = putRange(words, at, 0x08000100, 0x100, 7); // Compare without operands
    at = putRange(words, at, 0x10000001, 1, 5);     // Set without operands
    at = putRange(words, at, 0x11000001, 1, 9);     // SetSystem without operands
    // A wrong count stops the compilation.
    if (at != words.size()) throw "ValidOpcodes: wrong number of words";
    return words;
}

// Bits that a word of the group may have set: count, group, sub-group, flags and its option field.
constexpr std::uint32_t usedBits(int group) {
    switch (group) {
    case GroupBranch:
        return 0xFFCF0000;
    case GroupCompare:
        return 0xFFC00F00;
    case GroupSet:
        return 0xFFC0001F;
    default:
        return 0;
    }
}

// Position of a word's operand count and immediate flags within a 32-bit set.
constexpr int countAndFlags(std::uint32_t w) {
    return static_cast<int>(((w >> 29) << 2) | ((w >> 22) & 0x3));
}

// A word list as bit sets per command (group, sub-group, option): bit countAndFlags(w) set for
// every listed word, so membership costs one table read.
template <std::size_t Size>
constexpr std::array<std::uint32_t, CommandTableSize> wordSets(const std::array<std::uint32_t, Size>& words) {
    std::array<std::uint32_t, CommandTableSize> sets{};
    for (std::uint32_t w : words) {
        if ((w & ~usedBits(commandGroup(w))) != 0) throw "listed word with uninterpreted bits";
        sets[commandIndex(w)] |= 1u << countAndFlags(w);
    }
    return sets;
}

bool inWordSets(const std::array<std::uint32_t, CommandTableSize>& sets, std::uint32_t w) {
    if ((w & ~usedBits(commandGroup(w))) != 0) return false;
    return (sets[commandIndex(w)] >> countAndFlags(w)) & 1u;
}

} // namespace

constexpr std::array<std::string_view, 3> GroupNames = {"Branch", "Compare", "Set"};

constexpr std::array<std::array<std::string_view, 8>, 3> SubGroupNames = {{
    {"GoTo", "Jump", "Play"},
    {"-"},
    {"Set", "SetSystem"},
}};

constexpr std::array<std::string_view, CommandTableSize> CommandNames = makeCommandNames();
constexpr std::array<std::uint8_t, CommandTableSize> OperandCounts = makeOperandCounts();
constexpr std::array<std::uint32_t, 125> ValidOpcodes = makeValidOpcodes();

constexpr std::array<std::uint32_t, 12> ForbiddenInObjects = {
    0x02030000,             // Terminate PL
    0x22050000, 0x22850000, // Link MK
    0x22040000, 0x22840000, // Link PI
    0x31000004, 0x31800004, // EnableButton
    0x31000005, 0x31800005, // DisableButton
    0x11000007,             // PopUpMenu Off
    0x11000008,             // Still On
    0x11000009,             // Still Off
};

constexpr std::array<std::uint32_t, 10> ForbiddenInButtons = {
    0x22000000, 0x22800000,                         // Play PL
    0x42010000, 0x42810000, 0x42410000, 0x42C10000, // Play PL_PI
    0x42020000, 0x42820000, 0x42420000, 0x42C20000, // Play PL_MK
};

constexpr std::array<std::string_view, PSRNameCount> PSRNames = {
    "Interactive Graphics Stream Number (b7-b0) {1-32,$ff}",
    "Primary Audio Stream Number (b7-b0) {1-32,$ff}",
    "PG and PiP PG TextST Stream Number (b31: disp_s, b30: PIP_PG_textST_valid, b27-b16: PiP PG TextST, "
    "b11-b0: PG TextST) {0-255,$fff}",
    "Angle Number (b7-b0) {1-9}",
    "Title Number (b15-b0) {1-999,$ffff}",
    "Chapter Number (b15-b0) {1-999,$ffff}",
    "PlayList id (b15-b0) {0-1999}",
    "PlayItem id (b15-b0) {0-998}",
    "Presentation Time in 45kHz {0-$ffffffff}",
    "Navigation Timer (b15-b0) {0-300} sec",
    "Selected Button id (b15-b0) {0-$1fdf,$ffff}",
    "Menu Page id (b7-b0) {0-$fe}",
    "User Style Number (b7-b0) {1-25,$ff}",
    "Parental Level (b7-b0) {0-255} age",
    "Sec. Audio and Sec. Video Stream Number (b31: disp_v, b30: disp_a, b27-b24: sec. video size, "
    "b15-b8: sec.video, b7-b0: sec.audio",
    "Player Capability for Audio (b15-b14: MLP, b13-b12: DD Lossless, b11-b10: DTS-HD ext., "
    "b9-b8: DTS-HD core, b7-b6: DD+ dep., b5-b4: DD+ ind., b3-b0: LPCM)",
    "Language Code for Audio (b23-b0)",
    "Language code for PG and Text subtitle (b23-b0)",
    "Language Code for Menu (b23-b0)",
    "Country Code (b15-b0)",
    "Region Code (b7-b0) {1,2,4}",
    "reserved", // 21
    "reserved",
    "reserved",
    "reserved",
    "reserved",
    "reserved",
    "reserved",
    "reserved", // 28
    "Player Capability for Video (b1: 50Hz and 25Hz, b0: HD sec video)",
    "Player Capability for Text Subtitle",
    "Player Profile / Version number (b19-b16: profile {0,1,3,8}, b15-b0: player version {$0200})",
    "reserved", // 32
    "reserved",
    "reserved",
    "reserved", // 35
    "Back-up Register for PSR4",
    "Back-up Register for PSR5",
    "Back-up Register for PSR6",
    "Back-up Register for PSR7",
    "Back-up Register for PSR8",
    "reserved", // 41
    "Back-up Register for PSR10",
    "Back-up Register for PSR11",
    "Back-up Register for PSR12",
};

namespace {

constexpr auto ValidSets = wordSets(ValidOpcodes);
constexpr auto ForbiddenInObjectsSets = wordSets(ForbiddenInObjects);
constexpr auto ForbiddenInButtonsSets = wordSets(ForbiddenInButtons);
constexpr auto Operations = makeOperations();

// The compare words that run, whatever their uninterpreted bits: BC register/register to LT
// immediate/immediate.
constexpr std::uint32_t CompareRunFirst = 0x48000100;
constexpr std::uint32_t CompareRunLast = 0x48C00700;

} // namespace

std::string_view commandName(std::uint32_t w) {
    return CommandNames[commandIndex(w)];
}

int expectedOperands(std::uint32_t w) {
    return OperandCounts[commandIndex(w)];
}

bool isValidOpcode(std::uint32_t w) {
    return inWordSets(ValidSets, w);
}

bool isForbidden(std::uint32_t w, CommandContext context) {
    return inWordSets(
        context == CommandContext::MovieObject ? ForbiddenInObjectsSets : ForbiddenInButtonsSets, w);
}

NavOperation navOperation(std::uint32_t w) {
    switch (commandGroup(w)) {
    case GroupCompare:
        if (w < CompareRunFirst || w > CompareRunLast) return NavOperation::None;
        return Operations[static_cast<std::size_t>(GroupCompare * 256 + ((w >> 8) & 0x7))];
    case GroupSet:
        if (commandSubGroup(w) == 0) {
            const bool runs = (w & ~usedBits(GroupSet)) == 0 && operandCount(w) == expectedOperands(w);
            return runs ? Operations[commandIndex(w)] : NavOperation::None;
        }
        break;
    default:
        break;
    }
    const bool runs = operandCount(w) == expectedOperands(w) && isValidOpcode(w);
    return runs ? Operations[commandIndex(w)] : NavOperation::None;
}

std::string_view psrName(int n) {
    if (n < 0 || n >= static_cast<int>(PSRNames.size())) return {};
    return PSRNames[static_cast<std::size_t>(n)];
}

} // namespace corvane
