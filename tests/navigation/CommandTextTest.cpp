#include "navigation/CommandText.h"

#include <gtest/gtest.h>

#include <string>

namespace corvane {
namespace {

std::string objectLine(std::uint32_t opcode, std::uint32_t destination = 0, std::uint32_t source = 0) {
    return commandLine({opcode, destination, source}, CommandContext::MovieObject);
}

std::string buttonLine(std::uint32_t opcode, std::uint32_t destination = 0, std::uint32_t source = 0) {
    return commandLine({opcode, destination, source}, CommandContext::Button);
}

const std::string PSR4Comment = "       ;PSR4: Title Number (b15-b0) {1-999,$ffff}";
const std::string PSR16Comment = "       ;PSR16: Language Code for Audio (b23-b0)";
const std::string PSR19Comment = "       ;PSR19: Country Code (b15-b0)";

TEST(CommandCells, NopAndTrailingSpaces) {
    const CommandCells nop = comm2str({}, 0, CommandContext::MovieObject);
    EXPECT_EQ(nop.no + "|" + nop.opcode + "|" + nop.destination + "|" + nop.source + "|" + nop.line,
              "0000|00000000|00000000|00000000|NOP");
    EXPECT_EQ(nop.lineClass, CommandLineClass::Valid);
    EXPECT_FALSE(nop.destinationInUse || nop.sourceInUse);

    const CommandCells goTo = comm2str({0x20810000, 7, 0xABCDEF01}, 12, CommandContext::MovieObject);
    EXPECT_EQ(goTo.no + "|" + goTo.destination + "|" + goTo.source + "|" + goTo.line,
              "0012|00000007 |ABCDEF01|GoTo 7");
    EXPECT_TRUE(goTo.destinationInUse && !goTo.sourceInUse);

    const CommandCells move = comm2str({0x50400001, 5, 1}, 12345, CommandContext::Button);
    EXPECT_EQ(move.no + "|" + move.destination + "|" + move.source + "|" + move.line,
              "12345|00000005 |00000001 |Move GPR5, 1");
    EXPECT_TRUE(move.destinationInUse && move.sourceInUse);

    // Count 3: operand 2 has a text, but only a count of exactly 2 marks the "Source" cell.
    const CommandCells three = comm2str({0x70000001, 1, 2}, 0, CommandContext::MovieObject);
    EXPECT_EQ(three.line, "!Move GPR1, GPR2  ; Invalid opcode");
    EXPECT_EQ(three.destination + "|" + three.source, "00000001 |00000002");
    EXPECT_EQ(three.lineClass, CommandLineClass::Invalid);
}

TEST(CommandText, PlainOperands) {
    // Register numbers keep only their own bits; immediates are unsigned.
    EXPECT_EQ(objectLine(0x50000001, 0x7FFFF123, 0x800000FF), "Move GPR291, PSR127");
    EXPECT_EQ(objectLine(0x50400003, 0x00000FFF, 0xFFFFFFFF), "Add GPR4095, 4294967295");
    EXPECT_EQ(objectLine(0x48C00300, 0x80000001, 0), "NE 2147483649, 0");
    EXPECT_EQ(objectLine(0x42410000, 3, 4), "Play PL_PI GPR3, 4");
    // Texts follow the count bits, not the command's expected count.
    EXPECT_EQ(objectLine(0x20000000, 9, 9), "!NOP GPR9  ; Invalid opcode");
    EXPECT_EQ(objectLine(0x08000200, 9, 9), "EQ");
    EXPECT_EQ(objectLine(0x11000001, 9, 9), "SetStream");
}

TEST(CommandText, MarksAndContexts) {
    EXPECT_EQ(objectLine(0x50800001, 5, 0x80000004), "!Move 5, PSR4  ; Invalid opcode"); // no PSR comment
    EXPECT_EQ(objectLine(0x31000004, 3), "*EnableButton GPR3  ; Forbidden opcode");
    EXPECT_EQ(buttonLine(0x31000004, 3), "EnableButton GPR3");
    EXPECT_EQ(objectLine(0x11000008), "*Still On  ; Forbidden opcode");
    EXPECT_EQ(objectLine(0x22800000, 1), "Play PL 1");
    EXPECT_EQ(buttonLine(0x42820000, 1, 2), "*Play PL_MK 1, GPR2  ; Forbidden opcode");
    // A forbidden word keeps its PSR comment, after the mark.
    EXPECT_EQ(objectLine(0x22040000, 0x80000004), "*Link PI PSR4  ; Forbidden opcode" + PSR4Comment);
    EXPECT_EQ(commandLineClass(0x22800000, CommandContext::Button), CommandLineClass::Forbidden);
    EXPECT_EQ(commandLineClass(0x22800000, CommandContext::MovieObject), CommandLineClass::Valid);
    // Unnamed options 16 and 17: the operand text alone. Group 3: no name, invalid.
    EXPECT_EQ(objectLine(0x31000010, 2), " GPR2");
    EXPECT_EQ(objectLine(0x31000011, 0x8000000C),
              " PSR12       ;PSR12: User Style Number (b7-b0) {1-25,$ff}");
    EXPECT_EQ(objectLine(0x18000000), "!  ; Invalid opcode");
    EXPECT_EQ(objectLine(0x58C00005, 1, 2), "! 1, 2  ; Invalid opcode");
}

TEST(CommandText, PsrComment) {
    // Operand 2's PSR wins over operand 1's.
    EXPECT_EQ(objectLine(0x48000400, 0x80000004, 0x8000000B),
              "GE PSR4, PSR11       ;PSR11: Menu Page id (b7-b0) {0-$fe}");
    EXPECT_EQ(objectLine(0x48000400, 0x80000004, 0x0000000B), "GE PSR4, GPR11" + PSR4Comment);
    EXPECT_EQ(objectLine(0x50000001, 1, 0x8000002C),
              "Move GPR1, PSR44       ;PSR44: Back-up Register for PSR12");
    // PSR45 and above have no description; an immediate is never a PSR.
    EXPECT_EQ(objectLine(0x50000001, 0x8000007F, 0x8000002D), "Move PSR127, PSR45");
    EXPECT_EQ(objectLine(0x48C00200, 0x80000004, 0x80000004), "EQ 2147483652, 2147483652");
    // No bracket outside PSR16-19.
    EXPECT_EQ(objectLine(0x48400200, 0x80000014, 0x656E67),
              "EQ PSR20, 6647399       ;PSR20: Region Code (b7-b0) {1,2,4}");
}

TEST(CommandText, LanguageAndCountryBracket) {
    // Operand 1 names the PSR: the code comes from the source word.
    EXPECT_EQ(objectLine(0x48400200, 0x80000011, 0x656E67),
              "EQ PSR17, 6647399       ;PSR17: Language code for PG and Text subtitle (b23-b0)  [eng]");
    EXPECT_EQ(objectLine(0x50400001, 0x80000010, 0x6A706E), "Move PSR16, 6975598" + PSR16Comment + "  [jpn]");
    // A zero high byte is left out; the other two bytes always stay, even when zero.
    EXPECT_EQ(objectLine(0x48400200, 0x80000013, 0x5553), "EQ PSR19, 21843" + PSR19Comment + "  [US]");
    EXPECT_EQ(objectLine(0x48400200, 0x80000013, 0x0041),
              "EQ PSR19, 65" + PSR19Comment + "  [" + std::string(1, '\0') + "A]");
    EXPECT_EQ(objectLine(0x50000001, 0x80000012, 0x80000010),
              "Move PSR18, PSR16" + PSR16Comment + "  [" + std::string(1, '\0') + "\x10]");
    // Operand 1 names no PSR: the code comes from the destination word.
    EXPECT_EQ(objectLine(0x48000200, 0x00667261, 0x80000012),
              "EQ GPR609, PSR18       ;PSR18: Language Code for Menu (b23-b0)  [fra]");
    // Bytes above 0x7F are Latin-1 characters.
    EXPECT_EQ(objectLine(0x48400200, 0x80000010, 0xE96E67),
              "EQ PSR16, 15298151" + PSR16Comment + "  [\xC3\xA9ng]");
}

TEST(CommandText, SetButtonPage) {
    EXPECT_EQ(objectLine(0x51C00003, 0x80000005, 0x00000002), "SetButtonPage 5, (2)");
    EXPECT_EQ(objectLine(0x51800003, 0x80000005, 0x00000002), "SetButtonPage 5, (GPR2)");
    // Immediate button id: bits 15-0, page id: bits 7-0; registers: bits 11-0, never a PSR.
    EXPECT_EQ(objectLine(0x51C00003, 0x0000FFFF, 0x800001FE), "SetButtonPage (65535), 254");
    EXPECT_EQ(objectLine(0x51000003, 0x8000F123, 0x8000F123), "SetButtonPage GPR291, GPR291");
    EXPECT_EQ(objectLine(0x51400003, 0x00000007, 0x80000003), "SetButtonPage (GPR7), 3");
}

TEST(CommandText, SetStream) {
    EXPECT_EQ(objectLine(0x51000001, 0x00020003), "SetStream (GPR2), (GPR3), (GPR0), (GPR0)");
    // Register fields: bits 27-16 (flag bit 31) and 11-0 (flag bit 15).
    EXPECT_EQ(objectLine(0x51000001, 0x80118004, 0x8FFF8FFF), "SetStream GPR17, GPR4, GPR4095, GPR4095");
    // Immediate fields: operand 1 bits 23-16 and 11-0, operand 2 bits 23-16 and 7-0.
    EXPECT_EQ(objectLine(0x51C00001, 0x8F028FFF, 0x8F038FFF), "SetStream 2, 4095, 3, 255");
    EXPECT_EQ(objectLine(0x51C00001, 0x0F020FFF, 0x0F030FFF), "SetStream (2), (4095), (3), (255)");
    EXPECT_EQ(objectLine(0x51800001, 0x80010002, 0x00030004), "SetStream 1, (2), (GPR3), (GPR4)");
    EXPECT_EQ(objectLine(0x51400001, 0x00010002, 0x80038004), "SetStream (GPR1), (GPR2), 3, 4");
}

TEST(CommandText, SetSecondaryStream) {
    // Operand 1's first field (bits 19-16) is never a register.
    EXPECT_EQ(objectLine(0x51000006, 0x80058123, 0x80128034), "SetSecondaryStream 5, GPR291, GPR18, GPR52");
    EXPECT_EQ(objectLine(0x51000006, 0x00050123, 0x00120034),
              "SetSecondaryStream (5), (GPR291), (GPR18), (GPR52)");
    // Immediate fields: operand 1 bits 19-16 and 7-0, operand 2 bits 23-16 and 11-0.
    EXPECT_EQ(objectLine(0x51C00006, 0x80F58FFF, 0x8F128FFF), "SetSecondaryStream 5, 255, 18, 4095");
    EXPECT_EQ(objectLine(0x51C00006, 0x00F50FFF, 0x0F120FFF), "SetSecondaryStream (5), (255), (18), (4095)");
}

TEST(CommandText, PackedFormOnlyWithTwoOperands) {
    EXPECT_FALSE(hasPackedOperands(0x51000002)); // SetNVTimer
    EXPECT_FALSE(hasPackedOperands(0x50000003)); // Add
    EXPECT_EQ(objectLine(0x51000002, 0x80000009, 1),
              "SetNVTimer PSR9, GPR1       ;PSR9: Navigation Timer (b15-b0) {0-300} sec");
    EXPECT_EQ(objectLine(0x31000003, 0x80000005), "!SetButtonPage PSR5  ; Invalid opcode");
    EXPECT_EQ(objectLine(0x71000003, 0x80000005, 2), "!SetButtonPage PSR5, GPR2  ; Invalid opcode");
}

} // namespace
} // namespace corvane
