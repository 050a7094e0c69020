// Name tables of the playlist's coded fields and the 45 kHz time text.

#include <gtest/gtest.h>

#include "playlist/PlayListNames.h"

namespace corvane {
namespace {

TEST(PlayListNames, TimeText) {
    EXPECT_EQ(timeText45(0), "00:00:00.000");
    EXPECT_EQ(timeText45(44), "00:00:00.000");
    EXPECT_EQ(timeText45(45), "00:00:00.001");
    EXPECT_EQ(timeText45(45000), "00:00:01.000");
    EXPECT_EQ(timeText45(45000ull * 3661 + 45 * 250), "01:01:01.250");
    EXPECT_EQ(timeText45(0x0B433978), "01:09:59.000");
    // 32-bit ticks reach past 26 hours: the hours take as many digits as they need.
    EXPECT_EQ(timeText45(0xFFFFFFFF), "26:30:43.717");
    EXPECT_EQ(timeText45(45000ull * 3600 * 123), "123:00:00.000");
}

TEST(PlayListNames, EntryAndCodingTypes) {
    EXPECT_EQ(entryTypeName(1), "PlayItem");
    EXPECT_EQ(entryTypeName(2), "SubPath");
    EXPECT_EQ(entryTypeName(3), "IM PIP");
    EXPECT_EQ(entryTypeName(0), "");
    EXPECT_EQ(entryTypeName(5), "");
    EXPECT_EQ(codingTypeName(0x02), "MPEG-2");
    EXPECT_EQ(codingTypeName(0x1B), "AVC");
    EXPECT_EQ(codingTypeName(0xEA), "VC1");
    EXPECT_EQ(codingTypeName(0x80), "LPCM");
    EXPECT_EQ(codingTypeName(0x81), "DD");
    EXPECT_EQ(codingTypeName(0x82), "DTS");
    EXPECT_EQ(codingTypeName(0x83), "Dolby Lossless");
    EXPECT_EQ(codingTypeName(0x84), "DD+");
    EXPECT_EQ(codingTypeName(0x85), "DTS-HD ex. XLL");
    EXPECT_EQ(codingTypeName(0x86), "DTS-HD XLL");
    EXPECT_EQ(codingTypeName(0xA1), "DD+");
    EXPECT_EQ(codingTypeName(0xA2), "DTS-HD");
    EXPECT_EQ(codingTypeName(0x90), "PG");
    EXPECT_EQ(codingTypeName(0x91), "IG");
    EXPECT_EQ(codingTypeName(0x92), "Text");
    EXPECT_EQ(codingTypeName(0x24), "HEVC");
    EXPECT_EQ(codingTypeName(0x20), "");
    EXPECT_EQ(attributeKind(0xEA), AttributeKind::Video);
    EXPECT_EQ(attributeKind(0xA2), AttributeKind::Audio);
    EXPECT_EQ(attributeKind(0x91), AttributeKind::Graphics);
    EXPECT_EQ(attributeKind(0x92), AttributeKind::Text);
    EXPECT_EQ(attributeKind(0x24), AttributeKind::Video);
    EXPECT_EQ(attributeKind(0x20), AttributeKind::Unknown);
    EXPECT_TRUE(isKnownEntryType(4));
    EXPECT_EQ(entryTypeName(4), "DV EL");
    EXPECT_FALSE(isKnownEntryType(5));
    EXPECT_EQ(static_cast<int>(StreamCodingType::Avc), 0x1B);
}

TEST(PlayListNames, FourBitTables) {
    EXPECT_EQ(videoFormatName(0), "-");
    EXPECT_EQ(videoFormatName(4), "1080i");
    EXPECT_EQ(videoFormatName(6), "1080p");
    EXPECT_EQ(videoFormatName(7), "576p");
    EXPECT_EQ(videoFormatName(8), "2160p");
    EXPECT_EQ(videoFormatName(9), "res.");
    EXPECT_EQ(videoFormatName(15), "res.");
    EXPECT_EQ(videoFormatName(16), "");
    EXPECT_EQ(frameRateName(1), "23.976");
    EXPECT_EQ(frameRateName(5), "-");
    EXPECT_EQ(frameRateName(7), "59.94");
    EXPECT_EQ(frameRateName(9), "res.");
    EXPECT_EQ(audioPresentationName(1), "Mono");
    EXPECT_EQ(audioPresentationName(3), "Stereo");
    EXPECT_EQ(audioPresentationName(6), "Multi-ch.");
    EXPECT_EQ(audioPresentationName(11), "-");
    EXPECT_EQ(audioPresentationName(12), "St.+M-ch.");
    EXPECT_EQ(audioPresentationName(13), "res.");
    EXPECT_EQ(samplingFrequencyName(1), "48 kHz");
    EXPECT_EQ(samplingFrequencyName(4), "96 kHz");
    EXPECT_EQ(samplingFrequencyName(5), "192 kHz");
    EXPECT_EQ(samplingFrequencyName(12), "c:48/96, e:192 kHz");
    EXPECT_EQ(samplingFrequencyName(13), "-");
    EXPECT_EQ(samplingFrequencyName(14), "c:48, e:192 kHz");
    EXPECT_EQ(samplingFrequencyName(15), "res.");
    EXPECT_EQ(dynamicRangeName(0), "SDR");
    EXPECT_EQ(dynamicRangeName(1), "HDR10");
    EXPECT_EQ(dynamicRangeName(2), "Dolby Vision");
    EXPECT_EQ(dynamicRangeName(3), "HDR10+");
    EXPECT_EQ(dynamicRangeName(4), "");
    EXPECT_EQ(colorSpaceName(1), "BT.709");
    EXPECT_EQ(colorSpaceName(2), "BT.2020");
    EXPECT_EQ(colorSpaceName(3), "");
}

TEST(PlayListNames, SubPathAndMarkTypes) {
    EXPECT_EQ(subPathTypeName(0), "-");
    EXPECT_EQ(subPathTypeName(2), "p. Audio");
    EXPECT_EQ(subPathTypeName(3), "IG menu");
    EXPECT_EQ(subPathTypeName(4), "Text sub");
    EXPECT_EQ(subPathTypeName(5), "OoM Sync");
    EXPECT_EQ(subPathTypeName(6), "OoM Async");
    EXPECT_EQ(subPathTypeName(7), "IM Sync");
    EXPECT_EQ(subPathTypeName(8), "SS video");
    EXPECT_EQ(subPathTypeName(10), "DV EL");
    EXPECT_EQ(subPathTypeName(11), "");
    EXPECT_EQ(markTypeName(1), "entry-mark");
    EXPECT_EQ(markTypeName(2), "link point");
    EXPECT_EQ(markTypeName(3), "");
}

} // namespace
} // namespace corvane
