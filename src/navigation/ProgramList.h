#pragma once
// Program lists: the commands of one movie object saved as text (.lst) or as bare
// 12-byte commands (.bin).
//
// List form, every line ended by CR LF: a five-line comment header, then one line per
// command built from its comm2str cells:
//   0003  [50400001,00000005 ,00000001 ]  Move GPR5, 1
// The operand cells keep the trailing space that marks an operand in use.
// Binary form: opcode, destination and source of each command as 32-bit big-endian
// words, no header.
//
// The program itself only writes these files; the readers load them back for round-trip
// checks and scripts.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "navigation/NavCommand.h"

namespace corvane {

// The program-format setting (ProgramFormat: 0 list, 1 binary).
enum class ProgramFormat { List = 0, Binary = 1 };
ProgramFormat programFormatFromSetting(int setting);

// The save dialog of bbSaveCommands.
inline constexpr std::string_view ProgramListDialogTitle = "Save program list";
inline constexpr std::string_view ProgramListFilter = "List|*.lst|Binary|*.bin";
// ".lst" or ".bin".
std::string_view programListExtension(ProgramFormat format);
// "program_" + the object's index in three digits ("program_007").
std::string programListBaseName(std::size_t objectIndex);

// The five header lines, each ended by CR LF.
std::string programListHeader();
// One command line without its line end: "No." + "  [" + opcode + "," + destination + ","
// + source + "]  " + command line, the cells as comm2str makes them.
std::string programListLine(const TNavCommand& command, int line, CommandContext context);
// The whole list form.
std::string programListText(const std::vector<TNavCommand>& commands,
                            CommandContext context = CommandContext::MovieObject);
// The whole binary form, 12 bytes per command.
std::vector<std::uint8_t> programListBinary(const std::vector<TNavCommand>& commands);
// Either form as file bytes.
std::vector<std::uint8_t> programListBytes(const std::vector<TNavCommand>& commands, ProgramFormat format,
                                           CommandContext context = CommandContext::MovieObject);

struct ProgramListBinaryRead {
    std::vector<TNavCommand> commands;
    std::size_t trailingBytes = 0; // bytes after the last whole command, ignored
};
// The commands of a binary program list; a partial command at the end is left out.
ProgramListBinaryRead readProgramListBinary(std::span<const std::uint8_t> bytes);

struct ProgramListTextRead {
    std::vector<TNavCommand> commands;
    std::vector<std::size_t> rejectedLines; // 1-based numbers of lines that hold no command
};
// The commands of a list form in file order. Empty lines and lines starting with ";" are
// comments; any other line must hold "[" three hex words separated by "," "]" (spaces
// around the words allowed, at most eight digits each) or it is rejected.
ProgramListTextRead readProgramListText(std::string_view text);

} // namespace corvane
