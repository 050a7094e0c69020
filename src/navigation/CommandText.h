#pragma once
// The text form of a navigation command: the five cells of a command grid row and the
// one-line command text ("Move GPR5, 1", "EQ PSR17, 6647399       ;PSR17: ...  [eng]").

#include "navigation/NavCommand.h"

#include <cstdint>
#include <string>

namespace corvane {

// Operand texts that follow a command's name.
struct OperandTexts {
    std::string first;  // operand 1: " GPR3", " PSR4", " 7", " (GPR2), (GPR3)"; empty without operand 1
    std::string second; // operand 2: ", GPR1", ", 1", ", (2)"; empty without operand 2
    int psr = -1;       // the PSR a plain register operand names last (operand 2 wins); -1 for none
};

// How a command line is marked and coloured.
enum class CommandLineClass {
    Valid,     // no mark
    Forbidden, // valid, but not allowed where it is shown: "*" ... "  ; Forbidden opcode"
    Invalid,   // not a valid opcode word: "!" ... "  ; Invalid opcode"
};

// The cells of one command grid row.
struct CommandCells {
    std::string no;          // line number, at least four digits
    std::string opcode;      // eight hex digits
    std::string destination; // eight hex digits, plus a space while operand 1 is in use
    std::string source;      // eight hex digits, plus a space while operand 2 is in use
    std::string line;        // the command line
    CommandLineClass lineClass = CommandLineClass::Valid;
    bool destinationInUse = false; // operand count at least 1
    bool sourceInUse = false;      // operand count exactly 2
};

// Whether SetStream, SetButtonPage or SetSecondaryStream with two operands packs several
// fields into each operand.
bool hasPackedOperands(std::uint32_t w);
// Operand texts of a command: register names or unsigned decimal immediates, or the packed
// fields of the three SetSystem commands (a field whose valid flag is clear is in parentheses).
OperandTexts operandTexts(const TNavCommand& command);
// "       ;PSRn: description" for a named PSR below 45, with "  [xyz]" for the language and
// country codes PSR16-19; empty when no such PSR is named.
std::string psrComment(const TNavCommand& command, const OperandTexts& texts);
// Invalid, forbidden in the context, or valid.
CommandLineClass commandLineClass(std::uint32_t w, CommandContext context);
// The five cells of row `line` (counted from 0; a negative line reads as 0) of a command grid.
CommandCells comm2str(const TNavCommand& command, int line, CommandContext context);
// The command line alone.
std::string commandLine(const TNavCommand& command, CommandContext context);

} // namespace corvane
