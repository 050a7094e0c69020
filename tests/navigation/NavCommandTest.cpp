#include "navigation/NavCommand.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace corvane {
namespace {

TEST(NavCommandDecode, FieldsAndOptionByGroup) {
    EXPECT_EQ(operandCount(0xB8C00000), 5);
    EXPECT_EQ(commandGroup(0xB8C00000), 3);
    EXPECT_EQ(commandSubGroup(0x57000000), 7);
    EXPECT_TRUE(destinationIsImmediate(0x00800000) && !destinationIsImmediate(0x00400000));
    EXPECT_TRUE(sourceIsImmediate(0x00400000) && !sourceIsImmediate(0x00800000));
    // Every option field filled differently: only the group's own field counts.
    EXPECT_EQ(commandOption(0x000F0A1C), 0xF);
    EXPECT_EQ(commandOption(0x080F0A1C), 0xA);
    EXPECT_EQ(commandOption(0x100F0A1C), 0x1C);
    EXPECT_EQ(commandOption(0x180F0A1C), 0);
    EXPECT_EQ(commandIndex(0x1F0F0A1C), 3u * 256 + 7 * 32); // group 3 stays inside the tables
}

TEST(NavCommandTables, NamesAndOperandCounts) {
    int named = 0;
    for (std::size_t i = 0; i < CommandTableSize; ++i) {
        if (!CommandNames[i].empty()) ++named;
        if (CommandNames[i].empty() || i >= 3 * 256) {
            EXPECT_TRUE(CommandNames[i].empty() && OperandCounts[i] == 0) << "entry " << i;
        }
    }
    EXPECT_EQ(named, 48);
    EXPECT_EQ(SubGroupNames[1][0], "-");
    EXPECT_EQ(SubGroupNames[2][1], "SetSystem");

    struct Row {
        std::uint32_t word;
        std::string_view name;
        int operands;
    };
    for (const Row& row :
         {Row{0x00000000, "NOP", 0}, Row{0x00020000, "Break", 0}, Row{0x21830000, "Call Title", 1},
          Row{0x01040000, "Resume", 0}, Row{0x42C10000, "Play PL_PI", 2}, Row{0x22850000, "Link MK", 1},
          Row{0x08000000, "--", 0}, Row{0x48C00700, "LT", 2}, Row{0x10000000, "---", 0},
          Row{0x5040000C, "Bit Set", 2}, Row{0x5000000F, "Shift Right", 2},
          Row{0x31800005, "DisableButton", 1}, Row{0x51000006, "SetSecondaryStream", 2},
          Row{0x11000009, "Still Off", 0},
          Row{0xE0010000, "GoTo", 1}}) { // the count bits do not change the name
        EXPECT_EQ(commandName(row.word), row.name) << std::hex << row.word;
        EXPECT_EQ(expectedOperands(row.word), row.operands) << std::hex << row.word;
    }
    for (std::uint32_t w : {0x31000010u, 0x31000011u, 0x50000010u, 0x48000800u, 0x200F0000u, 0x18000000u})
        EXPECT_TRUE(commandName(w).empty()) << std::hex << w;
}

TEST(NavCommandTables, ValidOpcodesHold125Words) {
    EXPECT_EQ(ValidOpcodes.size(), 125u);
    // PopUpMenu Off, Still On and Still Off are listed twice: 122 distinct words.
    std::vector<std::uint32_t> sorted(ValidOpcodes.begin(), ValidOpcodes.end());
    std::sort(sorted.begin(), sorted.end());
    std::vector<std::uint32_t> twice;
    for (std::size_t i = 1; i < sorted.size(); ++i)
        if (sorted[i] == sorted[i - 1]) twice.push_back(sorted[i]);
    EXPECT_EQ(twice, (std::vector<std::uint32_t>{0x11000007, 0x11000008, 0x11000009}));

    for (std::uint32_t w : ValidOpcodes) {
        EXPECT_TRUE(isValidOpcode(w)) << std::hex << w;
        EXPECT_LE(operandCount(w), 2) << std::hex << w;
        EXPECT_EQ(w & 0x0030F0E0u, 0u) << "uninterpreted bits set in " << std::hex << w;
        EXPECT_TRUE(!commandName(w).empty() || w == 0x31000010 || w == 0x31000011) << std::hex << w;
    }
}

TEST(NavCommandTables, NearbyWordsAreInvalid) {
    for (std::uint32_t w : {
             0x50800001u, 0x50C00001u, 0x50000000u, 0x50000010u, 0x10000006u, // Set
             0x48800100u, 0x48000000u, 0x48000800u, 0x08000000u,              // Compare
             0x31400004u, 0x1100000Au, 0x31800010u, 0x31000012u, 0x51000004u, // SetSystem
             0x20000000u, 0x20410000u, 0x01000000u, 0x21040000u, 0x02040000u, // Branch
             0x00000001u, 0x00100000u, 0x50001001u, 0x50000021u,              // uninterpreted bits
             0x18000000u, 0x58000001u, 0xFFFFFFFFu,                           // group 3
         })
        EXPECT_FALSE(isValidOpcode(w)) << std::hex << w;
}

TEST(NavCommandTables, ForbiddenLists) {
    EXPECT_EQ(ForbiddenInObjects.size(), 12u);
    EXPECT_EQ(ForbiddenInButtons.size(), 10u);
    for (std::uint32_t w : ForbiddenInObjects) {
        EXPECT_TRUE(isValidOpcode(w)) << std::hex << w;
        EXPECT_TRUE(isForbidden(w, CommandContext::MovieObject)) << std::hex << w;
        EXPECT_FALSE(isForbidden(w, CommandContext::Button)) << std::hex << w;
    }
    for (std::uint32_t w : ForbiddenInButtons) {
        EXPECT_TRUE(isValidOpcode(w)) << std::hex << w;
        EXPECT_TRUE(isForbidden(w, CommandContext::Button)) << std::hex << w;
        EXPECT_FALSE(isForbidden(w, CommandContext::MovieObject)) << std::hex << w;
    }
    for (std::uint32_t w : {0x00000000u, 0x21810000u, 0x50400001u, 0x51C00003u, 0x31000014u}) {
        EXPECT_FALSE(isForbidden(w, CommandContext::MovieObject)) << std::hex << w;
        EXPECT_FALSE(isForbidden(w, CommandContext::Button)) << std::hex << w;
    }
}

TEST(NavCommandTables, PSRNames) {
    EXPECT_EQ(PSRNames.size(), 45u);
    // PSR14's text has no closing parenthesis; PSR17's "code" is lower case.
    EXPECT_EQ(psrName(14), "Sec. Audio and Sec. Video Stream Number (b31: disp_v, b30: disp_a, "
                           "b27-b24: sec. video size, b15-b8: sec.video, b7-b0: sec.audio");
    EXPECT_EQ(psrName(17), "Language code for PG and Text subtitle (b23-b0)");
    EXPECT_EQ(psrName(31), "Player Profile / Version number (b19-b16: profile {0,1,3,8}, "
                           "b15-b0: player version {$0200})");
    EXPECT_EQ(psrName(40), "Back-up Register for PSR8");
    EXPECT_EQ(psrName(42), "Back-up Register for PSR10");
    for (int n : {21, 28, 32, 35, 41}) EXPECT_EQ(psrName(n), "reserved") << n;
    for (int n = 0; n < 45; ++n) EXPECT_FALSE(psrName(n).empty()) << n;
    EXPECT_TRUE(psrName(45).empty());
    EXPECT_TRUE(psrName(-1).empty());
}

} // namespace
} // namespace corvane
