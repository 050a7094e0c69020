#include "navigation/CommandText.h"

#include "io/TextUtil.h"

#include <charconv>

namespace corvane {

namespace {

constexpr std::uint32_t bits(std::uint32_t word, int high, int low) {
    return (word >> low) & ((2u << (high - low)) - 1u);
}

// Valid flags of the packed fields: bit 31 for bits 27-16, bit 15 for bits 11-0.
constexpr bool highFlag(std::uint32_t word) {
    return (word & 0x80000000u) != 0;
}
constexpr bool lowFlag(std::uint32_t word) {
    return (word & 0x00008000u) != 0;
}

void appendNumber(std::string& out, std::uint32_t value) {
    char digits[10];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    out.append(digits, end);
}

// One packed field: "GPR" + number for a register field; in parentheses when its flag is clear.
void appendField(std::string& out, std::uint32_t value, bool valid, bool isRegister) {
    if (!valid) out += '(';
    if (isRegister) out += "GPR";
    appendNumber(out, value);
    if (!valid) out += ')';
}

// An immediate value, or a register: bit 31 set names PSR bits 6-0, clear names GPR bits 11-0.
void appendPlainOperand(std::string& out, std::uint32_t word, bool immediate, int& psr) {
    if (immediate) {
        appendNumber(out, word);
    } else if (word & PSRBit) {
        psr = static_cast<int>(word & 0x7F);
        out += "PSR";
        appendNumber(out, word & 0x7F);
    } else {
        out += "GPR";
        appendNumber(out, word & 0xFFF);
    }
}

OperandTexts plainOperandTexts(const TNavCommand& command) {
    OperandTexts texts;
    const std::uint32_t w = command.opcode;
    const int count = operandCount(w);
    if (count >= 1) {
        texts.first = " ";
        appendPlainOperand(texts.first, command.destination, destinationIsImmediate(w), texts.psr);
    }
    if (count >= 2) {
        texts.second = ", ";
        appendPlainOperand(texts.second, command.source, sourceIsImmediate(w), texts.psr);
    }
    return texts;
}

OperandTexts packedOperandTexts(const TNavCommand& command) {
    OperandTexts texts{" ", ", ", -1};
    const std::uint32_t w = command.opcode;
    const std::uint32_t d = command.destination;
    const std::uint32_t s = command.source;
    const bool dImm = destinationIsImmediate(w);
    const bool sImm = sourceIsImmediate(w);
    std::string& first = texts.first;
    std::string& second = texts.second;

    switch (commandOption(w)) {
    case OptionSetStream: // primary audio and PG/text subtitle stream numbers
        if (dImm) {
            appendField(first, bits(d, 23, 16), highFlag(d), false);
            first += ", ";
            appendField(first, bits(d, 11, 0), lowFlag(d), false);
        } else {
            appendField(first, bits(d, 27, 16), highFlag(d), true);
            first += ", ";
            appendField(first, bits(d, 11, 0), lowFlag(d), true);
        }
        if (sImm) {
            appendField(second, bits(s, 23, 16), highFlag(s), false);
            second += ", ";
            appendField(second, bits(s, 7, 0), lowFlag(s), false);
        } else {
            appendField(second, bits(s, 27, 16), highFlag(s), true);
            second += ", ";
            appendField(second, bits(s, 11, 0), lowFlag(s), true);
        }
        break;
    case OptionSetButtonPage: // button id, page id
        if (dImm)
            appendField(first, bits(d, 15, 0), highFlag(d), false);
        else
            appendField(first, bits(d, 11, 0), highFlag(d), true);
        if (sImm)
            appendField(second, bits(s, 7, 0), highFlag(s), false);
        else
            appendField(second, bits(s, 11, 0), highFlag(s), true);
        break;
    case OptionSetSecondaryStream: // secondary video and audio stream numbers
        appendField(first, bits(d, 19, 16), highFlag(d), false);
        first += ", ";
        if (dImm)
            appendField(first, bits(d, 7, 0), lowFlag(d), false);
        else
            appendField(first, bits(d, 11, 0), lowFlag(d), true);
        if (sImm) {
            appendField(second, bits(s, 23, 16), highFlag(s), false);
            second += ", ";
            appendField(second, bits(s, 11, 0), lowFlag(s), false);
        } else {
            appendField(second, bits(s, 27, 16), highFlag(s), true);
            second += ", ";
            appendField(second, bits(s, 11, 0), lowFlag(s), true);
        }
        break;
    default:
        return plainOperandTexts(command);
    }
    return texts;
}

// A code byte as one character (Latin-1, written as UTF-8).
void appendCodeChar(std::string& out, std::uint32_t byte) {
    if (byte < 0x80) {
        out += static_cast<char>(byte);
    } else {
        out += static_cast<char>(0xC0 | (byte >> 6));
        out += static_cast<char>(0x80 | (byte & 0x3F));
    }
}

void appendPsrComment(std::string& out, const TNavCommand& command, const OperandTexts& texts) {
    if (texts.psr < 0 || texts.psr >= static_cast<int>(PSRNameCount)) return;
    out += "       ;PSR";
    appendNumber(out, static_cast<std::uint32_t>(texts.psr));
    out += ": ";
    out += psrName(texts.psr);
    if (texts.psr >= 16 && texts.psr <= 19) {
        // The code is the other operand: the language or country the register is compared with or set to.
        const std::uint32_t code = texts.first.starts_with(" PSR") ? command.source : command.destination;
        out += "  [";
        if (bits(code, 23, 16) != 0) appendCodeChar(out, bits(code, 23, 16));
        appendCodeChar(out, bits(code, 15, 8));
        appendCodeChar(out, bits(code, 7, 0));
        out += ']';
    }
}

void appendCommandLine(std::string& out, const TNavCommand& command, CommandLineClass lineClass) {
    const OperandTexts texts = operandTexts(command);
    if (lineClass == CommandLineClass::Forbidden)
        out += '*';
    else if (lineClass == CommandLineClass::Invalid)
        out += '!';
    out += commandName(command.opcode);
    out += texts.first;
    out += texts.second;
    if (lineClass == CommandLineClass::Forbidden)
        out += "  ; Forbidden opcode";
    else if (lineClass == CommandLineClass::Invalid)
        out += "  ; Invalid opcode";
    if (lineClass != CommandLineClass::Invalid) appendPsrComment(out, command, texts);
}

} // namespace

bool hasPackedOperands(std::uint32_t w) {
    if (operandCount(w) != 2 || commandGroup(w) != GroupSet || commandSubGroup(w) != SubGroupSetSystem)
        return false;
    const int option = commandOption(w);
    return option == OptionSetStream || option == OptionSetButtonPage || option == OptionSetSecondaryStream;
}

OperandTexts operandTexts(const TNavCommand& command) {
    return hasPackedOperands(command.opcode) ? packedOperandTexts(command) : plainOperandTexts(command);
}

std::string psrComment(const TNavCommand& command, const OperandTexts& texts) {
    std::string out;
    appendPsrComment(out, command, texts);
    return out;
}

CommandLineClass commandLineClass(std::uint32_t w, CommandContext context) {
    if (!isValidOpcode(w)) return CommandLineClass::Invalid;
    if (isForbidden(w, context)) return CommandLineClass::Forbidden;
    return CommandLineClass::Valid;
}

CommandCells comm2str(const TNavCommand& command, int line, CommandContext context) {
    CommandCells cells;
    const int count = operandCount(command.opcode);
    cells.destinationInUse = count >= 1;
    cells.sourceInUse = count == 2;
    cells.lineClass = commandLineClass(command.opcode, context);
    cells.no = zeroPad(static_cast<std::uint64_t>(line < 0 ? 0 : line), 4);
    cells.opcode = hexText(command.opcode, 8);
    cells.destination = hexText(command.destination, 8);
    if (cells.destinationInUse) cells.destination += ' ';
    cells.source = hexText(command.source, 8);
    if (cells.sourceInUse) cells.source += ' ';
    cells.line.reserve(48);
    appendCommandLine(cells.line, command, cells.lineClass);
    return cells;
}

std::string commandLine(const TNavCommand& command, CommandContext context) {
    std::string out;
    appendCommandLine(out, command, commandLineClass(command.opcode, context));
    return out;
}

} // namespace corvane
