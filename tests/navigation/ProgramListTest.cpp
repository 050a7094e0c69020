#include "navigation/ProgramList.h"

#include "TestBytes.h"
#include "navigation/CommandText.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace corvane {
namespace {

const std::string Rule = ";------------------------------------------------------------";

std::vector<std::string> splitCrLf(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    EXPECT_EQ(start, text.size()) << "text after the last CR LF";
    return lines;
}

// A program touching every text shape: immediates, registers, PSR comments, packed operands,
// a forbidden and an invalid word.
std::vector<TNavCommand> mixedProgram() {
    return {{0x50400001, 5, 1},
            {0x48400200, 0x80000011, 0x656E67},
            {0x51C00003, 0x80000005, 0x00000002},
            {0x51000001, 0x00020003, 0x80008001},
            {0x31000004, 3, 0},
            {0x50800001, 0xFFFFFFFF, 0x12345678},
            {0x20810000, 0, 0},
            {}};
}

TEST(ProgramListText, HeaderAndTwoCommands) {
    EXPECT_EQ(programListHeader(),
              Rule + "\r\n;\r\n;             MovieObject program list by Corvane\r\n;\r\n" + Rule + "\r\n");
    EXPECT_EQ(Rule.size(), 61u);

    const std::string text = programListText({{0x50400001, 5, 1}, {0x21810000, 1, 0}});
    const std::vector<std::string> lines = splitCrLf(text);
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_EQ(lines[0], Rule);
    EXPECT_EQ(lines[2], ";             MovieObject program list by Corvane");
    EXPECT_EQ(lines[4], Rule);
    // The operand cells keep the space that marks an operand in use.
    EXPECT_EQ(lines[5], "0000  [50400001,00000005 ,00000001 ]  Move GPR5, 1");
    EXPECT_EQ(lines[6], "0001  [21810000,00000001 ,00000000]  Jump Title 1");

    EXPECT_EQ(splitCrLf(programListText({})).size(), 5u);
    EXPECT_EQ(programListBaseName(7), "program_007");
}

TEST(ProgramListText, LinesAreTheGridCells) {
    const std::vector<TNavCommand> program = mixedProgram();
    const std::vector<std::string> lines = splitCrLf(programListText(program));
    ASSERT_EQ(lines.size(), 5 + program.size());
    for (std::size_t i = 0; i < program.size(); ++i) {
        const CommandCells cells = comm2str(program[i], static_cast<int>(i), CommandContext::MovieObject);
        EXPECT_EQ(lines[5 + i], cells.no + "  [" + cells.opcode + "," + cells.destination + "," +
                                    cells.source + "]  " + cells.line);
    }
    EXPECT_EQ(lines[6],
              "0001  [48400200,80000011 ,00656E67 ]  EQ PSR17, 6647399       ;PSR17: Language code for PG "
              "and Text subtitle (b23-b0)  [eng]");
    EXPECT_EQ(lines[9], "0004  [31000004,00000003 ,00000000]  *EnableButton GPR3  ; Forbidden opcode");
    EXPECT_EQ(lines[10], "0005  [50800001,FFFFFFFF ,12345678 ]  !Move 4294967295, GPR1656  ; Invalid opcode");
    EXPECT_EQ(lines[12], "0007  [00000000,00000000,00000000]  NOP");

    // The forbidden list follows the context.
    EXPECT_EQ(programListLine({0x31000004, 3, 0}, 4, CommandContext::Button),
              "0004  [31000004,00000003 ,00000000]  EnableButton GPR3");
    EXPECT_EQ(programListLine({0x22800000, 1, 0}, 12345, CommandContext::Button),
              "12345  [22800000,00000001 ,00000000]  *Play PL 1  ; Forbidden opcode");
}

TEST(ProgramListBinary, TwelveBigEndianBytesPerCommand) {
    EXPECT_EQ(
        programListBinary({{0x21810000, 1, 0}}),
        (std::vector<std::uint8_t>{0x21, 0x81, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00}));
    const std::vector<std::uint8_t> two = programListBinary({{0x01020304, 0x05060708, 0x090A0B0C}, {}});
    ASSERT_EQ(two.size(), 24u);
    EXPECT_EQ(two[0], 0x01);
    EXPECT_EQ(two[11], 0x0C);
    EXPECT_EQ(two[12], 0x00);
    EXPECT_TRUE(programListBinary({}).empty());

    const std::vector<TNavCommand> program = mixedProgram();
    EXPECT_EQ(
        testing::byteDifference(programListBinary(program), programListBytes(program, ProgramFormat::Binary)),
        "");
    const std::string text = programListText(program);
    EXPECT_EQ(testing::byteDifference(std::vector<std::uint8_t>(text.begin(), text.end()),
                                      programListBytes(program, ProgramFormat::List)),
              "");
}

TEST(ProgramListRead, RoundTripBothForms) {
    std::vector<TNavCommand> program = mixedProgram();
    std::mt19937 random(7);
    const auto word = [&random] { return static_cast<std::uint32_t>(random()); };
    for (int i = 0; i < 10100; ++i) program.push_back({word(), word(), word()}); // lines past 9999 too
    // Country codes whose bytes are line ends: the register note must not break the line.
    program.push_back({0x48400200, 0x80000013, 0x0A0D});
    program.push_back({0x50000001, 0x80000012, 0x000A0A});

    const std::vector<std::uint8_t> binary = programListBinary(program);
    const ProgramListBinaryRead fromBinary = readProgramListBinary(binary);
    EXPECT_EQ(fromBinary.commands, program);
    EXPECT_EQ(fromBinary.trailingBytes, 0u);

    const ProgramListTextRead fromText = readProgramListText(programListText(program));
    EXPECT_EQ(fromText.commands, program);
    EXPECT_TRUE(fromText.rejectedLines.empty());
}

TEST(ProgramListRead, BinaryTruncatedAndRandom) {
    const std::vector<std::uint8_t> binary = programListBinary(mixedProgram());
    for (std::size_t size = 0; size <= binary.size(); ++size) {
        const ProgramListBinaryRead read = readProgramListBinary(std::span(binary.data(), size));
        ASSERT_EQ(read.commands.size(), size / 12);
        EXPECT_EQ(read.trailingBytes, size % 12);
    }
    std::mt19937 random(11);
    std::vector<std::uint8_t> noise(100003);
    for (auto& byte : noise) byte = static_cast<std::uint8_t>(random());
    const ProgramListBinaryRead read = readProgramListBinary(noise);
    EXPECT_EQ(read.commands.size(), 8333u);
    EXPECT_EQ(read.trailingBytes, 7u);
    EXPECT_EQ(programListBinary(read.commands), std::vector<std::uint8_t>(noise.begin(), noise.end() - 7));
}

TEST(ProgramListRead, TextLinesAcceptedAndRejected) {
    const ProgramListTextRead read =
        readProgramListText("; comment\n"
                            "\n"
                            "   \t\r\n"
                            "0000  [50400001,00000005 ,00000001 ]  Move GPR5, 1\n" // LF only
                            "  [ 1 , a ,FFFFFFFF]\r\n" // short words, blanks around them
                            "0002  [50400001,00000005 ,00000001 ]\r\n"
                            "0003  [123456789,0,0]\r\n" // nine digits
                            "0005  [1,2,3\r\n"
                            "0007  [1,,3]\r\n"
                            "0008  [x,2,3]\r\n"
                            "garbage\r\n"
                            "0009  [00000000,00000000,00000000]"); // no line end
    EXPECT_EQ(read.commands,
              (std::vector<TNavCommand>{{0x50400001, 5, 1}, {1, 0xA, 0xFFFFFFFF}, {0x50400001, 5, 1}, {}}));
    EXPECT_EQ(read.rejectedLines, (std::vector<std::size_t>{7, 8, 9, 10, 11}));

    EXPECT_TRUE(readProgramListText("").commands.empty());
    EXPECT_TRUE(readProgramListText(programListHeader()).commands.empty());
    EXPECT_TRUE(readProgramListText(programListHeader()).rejectedLines.empty());
}

TEST(ProgramListRead, TextSurvivesTruncationAndNoise) {
    const std::string text = programListText(mixedProgram());
    for (std::size_t size = 0; size <= text.size(); ++size) {
        const ProgramListTextRead read = readProgramListText(std::string_view(text).substr(0, size));
        ASSERT_LE(read.commands.size(), mixedProgram().size());
    }
    std::mt19937 random(5);
    std::string noise(1 << 20, '\0');
    const std::string alphabet = "[],;0123456789ABCDEFabcdefxyz \t\r\n";
    for (auto& c : noise) c = alphabet[random() % alphabet.size()];
    const ProgramListTextRead read = readProgramListText(noise);
    EXPECT_GT(read.rejectedLines.size(), 0u);
    for (auto& c : noise) c = static_cast<char>(random());
    readProgramListText(noise);
}

} // namespace
} // namespace corvane
