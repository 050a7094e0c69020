#include "navigation/CommandEdit.h"

#include "io/TextUtil.h"

#include <limits>

namespace corvane {

const std::array<std::string_view, 3> OperandTypeNames = {"GPR", "PSR", "Imm"};

namespace {

constexpr std::uint32_t OperandCountMask = 0xE0000000;
constexpr std::uint32_t KeepOnGroupChange = 0xE7C00000;    // count, sub-group, immediate flags
constexpr std::uint32_t KeepOnSubGroupChange = 0xF8C00000; // count, group, immediate flags
constexpr std::uint32_t KeepOnOptionChange = 0xFFF00000;   // everything above the option bits
constexpr std::uint32_t OperandTwoBit = 0x40000000;

constexpr std::uint32_t immediateBit(Operand operand) {
    return operand == Operand::Destination ? DestinationImmediateBit : SourceImmediateBit;
}

constexpr std::uint32_t& operandWord(TNavCommand& command, Operand operand) {
    return operand == Operand::Destination ? command.destination : command.source;
}

constexpr std::uint32_t operandWord(const TNavCommand& command, Operand operand) {
    return operand == Operand::Destination ? command.destination : command.source;
}

constexpr std::uint32_t withOperandCount(std::uint32_t opcode, int count) {
    return (opcode & ~OperandCountMask) | (static_cast<std::uint32_t>(count) << 29);
}

// The option in the bits its group keeps it in.
constexpr std::uint32_t placedOption(int group, int option) {
    const auto value = static_cast<std::uint32_t>(option);
    switch (group) {
    case GroupBranch:
        return value << 16;
    case GroupCompare:
        return value << 8;
    default:
        return value;
    }
}

int indexOrNone(int value, std::size_t itemCount) {
    return value >= 0 && static_cast<std::size_t>(value) < itemCount ? value : -1;
}

OperandFieldState operandFieldState(const TNavCommand& command, Operand operand) {
    OperandFieldState state;
    state.present = operandPresent(command.opcode, operand);
    state.enabled = state.present;
    state.type = operandType(command, operand);
    state.value = operandValue(command, operand);
    state.valueText = std::to_string(state.value);
    state.hex = hexText(operandWord(command, operand), 8);
    return state;
}

} // namespace

std::vector<std::string_view> groupItems() {
    return {GroupNames.begin(), GroupNames.end()};
}

std::vector<std::string_view> subGroupItems(int group) {
    std::vector<std::string_view> items;
    if (group < 0 || group >= static_cast<int>(GroupNames.size())) return items;
    for (std::string_view name : SubGroupNames[static_cast<std::size_t>(group)]) {
        if (name.empty()) break;
        items.push_back(name);
    }
    return items;
}

std::vector<std::string_view> optionItems(int group, int subGroup) {
    std::vector<std::string_view> items;
    if (indexOrNone(subGroup, subGroupItems(group).size()) < 0) return items;
    const int options = group == GroupSet ? 32 : 16;
    for (int option = 0; option < options; ++option) {
        const std::string_view name =
            CommandNames[static_cast<std::size_t>(group * 256 + subGroup * 32 + option)];
        if (name.empty()) break;
        items.push_back(name);
    }
    return items;
}

bool operandPresent(std::uint32_t opcode, Operand operand) {
    return operand == Operand::Destination ? operandCount(opcode) != 0 : (opcode & OperandTwoBit) != 0;
}

bool hasFlaggedOperands(std::uint32_t opcode) {
    if (commandGroup(opcode) != GroupSet || commandSubGroup(opcode) != SubGroupSetSystem) return false;
    const int option = commandOption(opcode);
    return option == OptionSetStream || option == OptionSetButtonPage || option == OptionSetSecondaryStream;
}

OperandType operandType(const TNavCommand& command, Operand operand) {
    if (command.opcode & immediateBit(operand)) return OperandType::Imm;
    if (!hasFlaggedOperands(command.opcode) && (operandWord(command, operand) & PSRBit))
        return OperandType::PSR;
    return OperandType::GPR;
}

std::uint32_t operandValue(const TNavCommand& command, Operand operand) {
    const std::uint32_t word = operandWord(command, operand);
    if ((command.opcode & immediateBit(operand)) || hasFlaggedOperands(command.opcode)) return word;
    return (word & PSRBit) ? word & 0x7F : word & 0xFFF;
}

TNavCommand setCommandGroup(const TNavCommand& command, int group) {
    if (group < 0 || group >= static_cast<int>(GroupNames.size()) || group == commandGroup(command.opcode))
        return command;
    TNavCommand edited = command;
    edited.opcode = (static_cast<std::uint32_t>(group) << 27) + (command.opcode & KeepOnGroupChange);
    return edited;
}

TNavCommand setCommandSubGroup(const TNavCommand& command, int subGroup) {
    const int group = commandGroup(command.opcode);
    if (indexOrNone(subGroup, subGroupItems(group).size()) < 0 || subGroup == commandSubGroup(command.opcode))
        return command;
    TNavCommand edited = command;
    edited.opcode = (static_cast<std::uint32_t>(subGroup) << 24) + (command.opcode & KeepOnSubGroupChange);
    return edited;
}

TNavCommand setCommandOption(const TNavCommand& command, int option) {
    const int group = commandGroup(command.opcode);
    if (indexOrNone(option, optionItems(group, commandSubGroup(command.opcode)).size()) < 0) return command;
    TNavCommand edited = command;
    std::uint32_t opcode = (command.opcode & KeepOnOptionChange) | placedOption(group, option);
    const int count = OperandCounts[commandIndex(opcode)];
    opcode = withOperandCount(opcode, count);
    // An operand the command no longer takes keeps no immediate flag, so that a word built
    // from the pickers is one of the valid forms.
    if (count < 1) opcode &= ~DestinationImmediateBit;
    if (count < 2) opcode &= ~SourceImmediateBit;
    edited.opcode = opcode;
    return edited;
}

TNavCommand setOperandPresent(const TNavCommand& command, Operand operand, bool present) {
    bool first = operandPresent(command.opcode, Operand::Destination);
    bool second = operandPresent(command.opcode, Operand::Source);
    if (operand == Operand::Destination) {
        first = present;
        if (!present) second = false;
    } else {
        second = present;
        if (present) first = true;
    }
    TNavCommand edited = command;
    edited.opcode = withOperandCount(command.opcode, (first ? 1 : 0) + (second ? 1 : 0));
    return edited;
}

TNavCommand setOperandType(const TNavCommand& command, Operand operand, OperandType type) {
    if (!operandPresent(command.opcode, operand)) return command;
    TNavCommand edited = command;
    if (type == OperandType::Imm) {
        edited.opcode |= immediateBit(operand);
        return edited;
    }
    edited.opcode &= ~immediateBit(operand);
    if (hasFlaggedOperands(command.opcode)) return edited; // bit 31 is the field's valid flag
    std::uint32_t& word = operandWord(edited, operand);
    word = type == OperandType::PSR ? (word | PSRBit) : (word & ~PSRBit);
    return edited;
}

TNavCommand setOperandValue(const TNavCommand& command, Operand operand, std::int64_t typed) {
    if (!operandPresent(command.opcode, operand)) return command;
    if (typed < std::numeric_limits<std::int32_t>::min() || typed > std::numeric_limits<std::uint32_t>::max())
        return command;
    TNavCommand edited = command;
    std::uint32_t& word = operandWord(edited, operand);
    const OperandType type = operandType(command, operand);
    if (type == OperandType::Imm || hasFlaggedOperands(command.opcode)) {
        word = static_cast<std::uint32_t>(typed);
        return edited;
    }
    // A register number that reaches bit 31 would turn the register into the other kind.
    if (typed < 0 || typed > 0x7FFFFFFF) return command;
    word = static_cast<std::uint32_t>(typed);
    if (type == OperandType::PSR) word |= PSRBit;
    return edited;
}

TNavCommand setOpcodeWord(const TNavCommand& command, std::uint32_t opcode) {
    if (opcode == 0) return TNavCommand{};
    TNavCommand edited = command;
    edited.opcode = opcode;
    return edited;
}

TNavCommand setOperandWord(const TNavCommand& command, Operand operand, std::uint32_t word) {
    if (!operandPresent(command.opcode, operand)) return command;
    TNavCommand edited = command;
    operandWord(edited, operand) = word;
    return edited;
}

std::string commandHint(const TNavCommand& command) {
    std::string hint(HintNavigationCommands);
    if (hasFlaggedOperands(command.opcode)) return hint;
    for (Operand operand : {Operand::Destination, Operand::Source}) {
        if (!operandPresent(command.opcode, operand) || operandType(command, operand) != OperandType::PSR)
            continue;
        const int psr = static_cast<int>(operandWord(command, operand) & 0x7F);
        if (psr < HintPSRLimit) hint = "PSR" + std::to_string(psr) + ": " + std::string(psrName(psr));
    }
    return hint;
}

CommandEditorState commandEditorState(const TNavCommand& command) {
    const std::uint32_t w = command.opcode;
    const int group = commandGroup(w);
    const int subGroup = commandSubGroup(w);
    CommandEditorState state;
    state.groupItems = groupItems();
    state.groupIndex = indexOrNone(group, state.groupItems.size());
    state.subGroupItems = subGroupItems(group);
    state.subGroupIndex = indexOrNone(subGroup, state.subGroupItems.size());
    state.optionItems = optionItems(group, subGroup);
    state.optionIndex = indexOrNone(commandOption(w), state.optionItems.size());
    state.opcodeHex = hexText(w, 8);
    state.destination = operandFieldState(command, Operand::Destination);
    state.source = operandFieldState(command, Operand::Source);
    state.hint = commandHint(command);
    return state;
}

std::size_t commentStart(std::string_view line) {
    const std::size_t semicolon = line.find(';');
    if (semicolon == std::string_view::npos) return semicolon;
    return semicolon == 0 ? 0 : semicolon - 1;
}

CommandReference followReference(std::span<const TNavCommand> program, std::size_t line, bool pagesEnabled) {
    if (line >= program.size()) return {};
    const TNavCommand& command = program[line];
    const std::uint32_t d = command.destination;
    const std::uint32_t s = command.source;
    switch (command.opcode) {
    case 0x20810000: // GoTo line
        if (d < program.size()) return LineReference{d};
        return {};
    case 0x21810000: // Jump Title
    case 0x21830000: // Call Title
        return TitleReference{d, d > 0 && d < 1000};
    case 0x22000000: { // Play PL with a register: the playlist a Move just put there
        if (line == 0) return {};
        const TNavCommand& previous = program[line - 1];
        if (previous.opcode == 0x50400001 && previous.destination == d)
            return PlaylistReference{previous.source, {}};
        return {};
    }
    case 0x22800000: // Play PL
    case 0x42810000: // Play PL_PI, register PlayItem
    case 0x42820000: // Play PL_MK
    case 0x42C20000:
        return PlaylistReference{d, {}};
    case 0x42C10000: // Play PL_PI, immediate PlayItem
        return PlaylistReference{d, s};
    case 0x51400003: // SetButtonPage with an immediate operand
    case 0x51800003:
    case 0x51C00003: {
        if (!pagesEnabled) return {};
        PageButtonReference target;
        if ((s & PSRBit) && sourceIsImmediate(command.opcode)) target.page = s & 0xFF;
        if ((d & PSRBit) && destinationIsImmediate(command.opcode)) target.button = d & 0xFFFF;
        if (!target.page && !target.button) return {};
        return target;
    }
    default:
        return {};
    }
}

std::string playlistItemName(std::uint32_t playlist) {
    return zeroPad(playlist, 5);
}

} // namespace corvane
