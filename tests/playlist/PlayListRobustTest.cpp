// The playlist reader over damaged input: cut at every offset, random bytes changed,
// counts and lengths that lie. It reports, never crashes, and never hands back a
// model it could not read whole.

#include <gtest/gtest.h>

#include <random>

#include "navigation/NavTestUtil.h"
#include "playlist/PlayListReader.h"
#include "playlist/PlayListTestUtil.h"
#include "playlist/PlayListWriter.h"

namespace corvane {
namespace {

using testing::readPlaylistSample;

const char* const Samples[] = {"bdpl-disc1-00000-no-subpath.mpls", "bdpl-disc1-00002-subpath-17marks.mpls",
                               "bdpl-disc6-00002-4audio-4pg.mpls", "bdj-sdk-00000.mpls",
                               "bdpl-disc5-00001-0300-extdata.mpls"};

void putWord(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value) {
    bytes[at] = static_cast<std::uint8_t>(value >> 8);
    bytes[at + 1] = static_cast<std::uint8_t>(value);
}
void putLword(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value) {
    putWord(bytes, at, value >> 16);
    putWord(bytes, at + 2, value & 0xFFFF);
}

TEST(PlayListRobust, EveryCutIsReportedAsEndingEarly) {
    for (const char* name : Samples) {
        SCOPED_TRACE(name);
        const auto bytes = readPlaylistSample(name);
        // The data of an ExtensionData() block runs to the end of the file: a cut inside it
        // reads as a shorter block.
        const TMPLS whole = readPlayList(bytes, "whole.mpls").mpls;
        const std::size_t dataStart =
            whole.ExtensionData_start_address == 0
                ? bytes.size()
                : whole.ExtensionData_start_address + 12 + 12 * whole.ExtensionData.ext_data_entries.size();
        for (std::size_t cut = 1; cut < bytes.size(); ++cut) { // an empty file: RandomBytesAndEmptyInput
            const std::vector<std::uint8_t> part(bytes.begin(),
                                                 bytes.begin() + static_cast<std::ptrdiff_t>(cut));
            const PlsReadResult result = readPlayList(part, "cut.mpls");
            if (cut >= dataStart) {
                ASSERT_EQ(result.status, ReadStatus::Ok) << "cut at " << cut;
                EXPECT_EQ(result.mpls.ExtensionData.ext_data_block.size(), cut - dataStart);
                continue;
            }
            ASSERT_NE(result.status, ReadStatus::Ok) << "cut at " << cut;
            ASSERT_EQ(result.messages.size(), 1u);
            EXPECT_EQ(result.messages[0].kind, ReadMessage::Kind::Error);
            // Cut inside the type and version as well: the file ends early, it is no other format.
            EXPECT_EQ(result.status, ReadStatus::Damaged);
            EXPECT_EQ(result.messages[0].text.rfind("cut.mpls ends early", 0), 0u) << result.messages[0].text;
            EXPECT_LE(result.problemAt, cut);
        }
    }
}

TEST(PlayListRobust, AShortFileOfAnotherKindIsAnInvalidFormat) {
    const PlsReadResult result = readPlayList({'M', 'O', 'B', 'J', '0'}, "x.mpls");
    EXPECT_EQ(result.status, ReadStatus::FormatError);
    ASSERT_EQ(result.messages.size(), 1u);
    EXPECT_EQ(result.messages[0].text, "Invalid format: x.mpls");
}

TEST(PlayListRobust, RandomDamageNeverCrashes) {
    std::mt19937 random(20261209);
    for (const char* name : Samples) {
        const auto bytes = readPlaylistSample(name);
        for (int round = 0; round < 400; ++round) {
            auto damaged = bytes;
            const int flips = 1 + static_cast<int>(random() % 8);
            for (int i = 0; i < flips; ++i)
                damaged[8 + random() % (damaged.size() - 8)] = static_cast<std::uint8_t>(random());
            const PlsReadResult result = readPlayList(damaged, "damaged.mpls");
            if (result.status != ReadStatus::Ok) {
                ASSERT_EQ(result.messages.size(), 1u);
                continue;
            }
            // What reads whole is written to the same size and reads back whole.
            const auto written = writePlayList(result.mpls);
            ASSERT_EQ(written.size(), damaged.size());
            const PlsReadResult again = readPlayList(written, "again.mpls");
            ASSERT_EQ(again.status, ReadStatus::Ok);
            EXPECT_EQ(testing::byteDifference(written, writePlayList(again.mpls)), "");
        }
    }
}

TEST(PlayListRobust, RandomBytesAndEmptyInput) {
    std::mt19937 random(7);
    EXPECT_EQ(readPlayList({}, "empty.mpls").status, ReadStatus::FormatError);
    for (int round = 0; round < 300; ++round) {
        std::vector<std::uint8_t> bytes(random() % 600);
        for (auto& byte : bytes) byte = static_cast<std::uint8_t>(random());
        if (bytes.size() >= 8 && round % 2) std::copy_n("MPLS0200", 8, bytes.begin());
        const PlsReadResult result = readPlayList(bytes, "noise.mpls");
        if (result.status == ReadStatus::Ok) {
            EXPECT_EQ(writePlayList(result.mpls).size(), bytes.size());
        }
    }
}

TEST(PlayListRobust, HugeCountsAreCappedByTheBytesThere) {
    auto bytes = readPlaylistSample("bdpl-disc1-00000-no-subpath.mpls");
    const std::size_t list = 0x3A;
    auto items = bytes;
    putWord(items, list + 6, 0xFFFF);
    PlsReadResult result = readPlayList(items, "items.mpls");
    EXPECT_EQ(result.status, ReadStatus::Damaged);
    EXPECT_LE(result.mpls.PlayList.PlayItems.capacity(), bytes.size());

    auto paths = bytes;
    putWord(paths, list + 8, 0xFFFF);
    result = readPlayList(paths, "paths.mpls");
    EXPECT_EQ(result.status, ReadStatus::Damaged);
    EXPECT_LE(result.mpls.PlayList.SubPaths.capacity(), bytes.size());

    auto marks = bytes;
    const PlsReadResult clean = readPlayList(bytes, "clean.mpls");
    putWord(marks, clean.mpls.PlayListMark_start_address + 4, 0xFFFF);
    result = readPlayList(marks, "marks.mpls");
    EXPECT_EQ(result.status, ReadStatus::Damaged);
    EXPECT_LE(result.mpls.PlayListMark.marks.capacity(), bytes.size());
    EXPECT_EQ(result.messages.at(0).text.find("marks.mpls is inconsistent"), 0u)
        << result.messages.at(0).text;
}

TEST(PlayListRobust, LengthsThatDisagreeAreReported) {
    const auto bytes = readPlaylistSample("bdpl-disc1-00000-no-subpath.mpls");
    const std::size_t item = 0x3A + 10; // PlayItem_length of the first PlayItem

    auto shortItem = bytes;
    putWord(shortItem, item, 20);
    PlsReadResult result = readPlayList(shortItem, "a.mpls");
    EXPECT_EQ(result.status, ReadStatus::Damaged);
    EXPECT_EQ(result.messages.at(0).text,
              "a.mpls is inconsistent: the fields of PlayItem 000 run past its length (at $0000005A).");

    auto longStn = bytes;
    putWord(longStn, item + 34, 0x400);
    result = readPlayList(longStn, "b.mpls");
    EXPECT_EQ(result.status, ReadStatus::Damaged);
    EXPECT_NE(result.messages.at(0).text.find("the STN_table() of PlayItem 000"), std::string::npos)
        << result.messages.at(0).text;

    auto zeroEntry = bytes;
    zeroEntry[item + 36 + 14] = 0; // entry_length of the first stream entry
    result = readPlayList(zeroEntry, "c.mpls");
    EXPECT_EQ(result.status, ReadStatus::Damaged);
    EXPECT_NE(result.messages.at(0).text.find("video entry 001 of PlayItem 000"), std::string::npos)
        << result.messages.at(0).text;

    auto overlapping = bytes;
    putLword(overlapping, 8, 0x30); // PlayList_start_address inside AppInfoPlayList()
    result = readPlayList(overlapping, "d.mpls");
    EXPECT_EQ(result.status, ReadStatus::Damaged);
    EXPECT_EQ(
        result.messages.at(0).text,
        "d.mpls is inconsistent: PlayList_start_address $00000030 points inside the section before it.");

    auto pastEnd = bytes;
    putLword(pastEnd, 12, 0x10000);
    result = readPlayList(pastEnd, "e.mpls");
    EXPECT_EQ(result.status, ReadStatus::Damaged);
    EXPECT_EQ(result.messages.at(0).text,
              "e.mpls ends early: PlayListMark_start_address $00010000 lies past the end of the file.");

    auto shortApp = bytes;
    putLword(shortApp, 40, 4);
    result = readPlayList(shortApp, "f.mpls");
    EXPECT_EQ(result.status, ReadStatus::Damaged);
}

TEST(PlayListRobust, UnknownTypeWithShortEntryIsStillBounded) {
    auto bytes = readPlaylistSample("bdpl-disc1-00000-no-subpath.mpls");
    const std::size_t entry = 0x3A + 10 + 36 + 14;
    bytes[entry + 1] = 9; // stream_type 9: the entry is read by its length byte only
    const PlsReadResult result = readPlayList(bytes, "t.mpls");
    ASSERT_EQ(result.status, ReadStatus::Ok);
    const TStreamEntry& read = result.mpls.PlayList.PlayItems[0].STN.video.at(0);
    EXPECT_EQ(read.stream_type, 9);
    EXPECT_EQ(read.entry_rest.size(), 8u);
    EXPECT_EQ(testing::byteDifference(bytes, writePlayList(result.mpls)), "");
}

} // namespace
} // namespace corvane
