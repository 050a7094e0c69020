#include "navigation/Registers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "shell/Options.h"

namespace corvane {
namespace {

TEST(RegisterReset, StandardValues) {
    RegisterFile regs;
    regs.GPR[4095] = 9;
    regs.PSR[127] = 9;
    ResetRegs(regs, RegisterDefaults{});
    EXPECT_EQ(regs.PSR[PSR_IG_STREAM], 1u);
    EXPECT_EQ(regs.PSR[PSR_PRIMARY_AUDIO_STREAM], 0xFFu);
    EXPECT_EQ(regs.PSR[PSR_PG_TEXTST_STREAM], 0x0FFF0FFFu);
    EXPECT_EQ(regs.PSR[PSR_ANGLE], 1u);
    EXPECT_EQ(regs.PSR[PSR_TITLE], 0xFFFFu);
    EXPECT_EQ(regs.PSR[PSR_CHAPTER], 0xFFFFu);
    EXPECT_EQ(regs.PSR[PSR_PRESENTATION_TIME], 0xFFFFFFFFu);
    EXPECT_EQ(regs.PSR[PSR_SELECTED_BUTTON], 0xFFFFu);
    EXPECT_EQ(regs.PSR[PSR_USER_STYLE], 0xFFu);
    EXPECT_EQ(regs.PSR[PSR_SECONDARY_STREAMS], 0xFFFFu);
    EXPECT_EQ(regs.PSR[PSR_AUDIO_CAPABILITY], 0xAAu);
    for (int n : {16, 17, 18}) EXPECT_EQ(regs.PSR[n], 0x656E67u) << n;
    EXPECT_EQ(regs.PSR[PSR_COUNTRY], 0x5553u);
    EXPECT_EQ(regs.PSR[PSR_REGION], 1u);
    EXPECT_EQ(regs.PSR[PSR_VIDEO_CAPABILITY], 3u);
    EXPECT_EQ(regs.PSR[PSR_TEXT_CAPABILITY], 0x1F0F8u);
    EXPECT_EQ(regs.PSR[PSR_PLAYER_PROFILE], 0x30200u);
    EXPECT_EQ(regs.PSR[PSR_BACKUP_PAGE], 0xFFFFu);
    for (int n : {48, 49, 50}) EXPECT_EQ(regs.PSR[n], 0xFFFFFFFFu) << n;
    EXPECT_EQ(regs.PSR[61], 0xFFFF0000u);
    const std::vector<int> set = {0,  1,  2,  3,  4,  5,  8,  10, 12, 14, 15, 16,
                                  17, 18, 19, 20, 29, 30, 31, 43, 48, 49, 50, 61};
    for (int n = 0; n < 128; ++n) {
        if (std::find(set.begin(), set.end(), n) == set.end()) {
            EXPECT_EQ(regs.PSR[n], 0u) << "PSR" << n;
        }
    }
    for (auto g : regs.GPR) ASSERT_EQ(g, 0u);
}

TEST(RegisterReset, RealValuesRegionAndCountry) {
    Options options;
    options.RealPSRs = true;
    options.Region = 2;
    options.CountryCode = 0x4445; // "DE"
    RegisterFile regs;
    ResetRegs(regs, options);
    EXPECT_EQ(regs.PSR[PSR_IG_STREAM], 1u);
    EXPECT_EQ(regs.PSR[PSR_PRIMARY_AUDIO_STREAM], 1u);
    EXPECT_EQ(regs.PSR[PSR_PG_TEXTST_STREAM], 0x0FFF0001u);
    EXPECT_EQ(regs.PSR[PSR_ANGLE], 1u);
    EXPECT_EQ(regs.PSR[PSR_TITLE], 0u);
    EXPECT_EQ(regs.PSR[PSR_CHAPTER], 1u);
    EXPECT_EQ(regs.PSR[PSR_COUNTRY], 0x4445u);
    EXPECT_EQ(regs.PSR[PSR_REGION], 4u);
    options.Region = 1;
    ResetRegs(regs, options);
    EXPECT_EQ(regs.PSR[PSR_REGION], 2u);
    // A stored region outside the picker's items counts as A.
    options.Region = 40;
    ResetRegs(regs, options);
    EXPECT_EQ(regs.PSR[PSR_REGION], 1u);
    options.Region = -3;
    ResetRegs(regs, options);
    EXPECT_EQ(regs.PSR[PSR_REGION], 1u);
}

TEST(RegisterRnd, SequenceFromZeroState) {
    RndGenerator rnd;
    const std::vector<std::uint32_t> expected = {0, 3, 86, 20, 27, 67};
    for (auto value : expected) EXPECT_EQ(rnd.draw(100), value);
    EXPECT_EQ(rnd.state(), 0xABF18B42u);
    // Range 0 gives 0 but still advances; the full range gives the state's top bits.
    RndGenerator other;
    EXPECT_EQ(other.draw(0), 0u);
    EXPECT_EQ(other.draw(0xFFFFFFFF), 134775813u);
    EXPECT_EQ(other.draw(6), 5u);
    // Each new generator repeats the sequence.
    RndGenerator again;
    for (auto value : expected) EXPECT_EQ(again.draw(100), value);
    EXPECT_EQ(&programRnd(), &programRnd());
}

TEST(RegisterListing, PsrLines) {
    RegisterFile regs;
    ResetRegs(regs, RegisterDefaults{});
    regs.PSR[21] = 0x10;
    const auto lines = psrListLines(regs);
    // PSR0-20, then PSR21, 29, 30, 31, then one line of the non-zero PSR32-127.
    ASSERT_EQ(lines.size(), 21u + 4u + 1u);
    EXPECT_EQ(lines[0], "[b]PSR0[/b]: 00000001 (1) - Interactive Graphics Stream Number (b7-b0) {1-32,$ff}");
    EXPECT_EQ(lines[4], "[b]PSR4[/b]: 0000FFFF (65535) - Title Number (b15-b0) {1-999,$ffff}");
    EXPECT_EQ(lines[21], "[b]PSR21[/b]: 00000010 (16) - ");
    EXPECT_EQ(lines[22].rfind("[b]PSR29[/b]: 00000003 (3) - ", 0), 0u);
    EXPECT_EQ(lines[25], "[b]PSR43[/b]: 0000FFFF (65535)   [b]PSR48[/b]: FFFFFFFF (4294967295)   "
                         "[b]PSR49[/b]: FFFFFFFF (4294967295)   [b]PSR50[/b]: FFFFFFFF (4294967295)   "
                         "[b]PSR61[/b]: FFFF0000 (4294901760)   ");
    // A seventh register above 31 starts a second line.
    regs.PSR[100] = 1;
    regs.PSR[127] = 2;
    const auto more = psrListLines(regs);
    ASSERT_EQ(more.size(), 27u);
    EXPECT_EQ(more[26], "[b]PSR127[/b]: 00000002 (2)   ");
}

TEST(RegisterListing, GprLinesFiveToALine) {
    RegisterFile regs;
    EXPECT_TRUE(gprListLines(regs).empty());
    for (int n : {0, 7, 100, 200, 300, 4095}) regs.GPR[n] = static_cast<std::uint32_t>(n + 1);
    const auto lines = gprListLines(regs);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0],
              "[b]GPR0[/b]: 00000001 (1)   [b]GPR7[/b]: 00000008 (8)   [b]GPR100[/b]: 00000065 (101)   "
              "[b]GPR200[/b]: 000000C9 (201)   [b]GPR300[/b]: 0000012D (301)   ");
    EXPECT_EQ(lines[1], "[b]GPR4095[/b]: 00001000 (4096)   ");
}

} // namespace
} // namespace corvane
