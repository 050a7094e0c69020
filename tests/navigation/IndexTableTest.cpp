#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "io/FileIO.h"
#include "navigation/IndexTable.h"
#include "navigation/IndexUhd.h"
#include "navigation/NavTestUtil.h"
#include "shell/CaptureSink.h"
#include "shell/Session.h"
#include "shell/SessionFiles.h"

namespace corvane {
namespace {

using testing::byteDifference;
using testing::readSample;

const char* const kIndexSamples[] = {"bdpl-disc1-index.bdmv", "bdpl-disc3-index.bdmv",
                                     "bdj-sdk-index-0100-extdata.bdmv", "bridgehead-index-bdj.bdmv",
                                     "bdpl-disc5-index-0300.bdmv"};

// A consistent index with `count` HDMV titles (title i plays object i), First Playback on
// object 0 and Top Menu on object 1.
TINDX buildIndex(std::size_t count) {
    TINDX index;
    index.indexes_start_address = 78;
    index.app_info_length = 34;
    index.content_provider_user_data = "Corvane test";
    index.Indexes.first_playback = {FirstPlaybackTitleNumber, ObjectTypeHDMV, 0, 0, 0, ""};
    index.Indexes.top_menu = {TopMenuTitleNumber, ObjectTypeHDMV, 0, 1, 1, ""};
    for (std::size_t i = 0; i < count; ++i)
        index.Indexes.titles.push_back({static_cast<std::int32_t>(i + 1), ObjectTypeHDMV, 0, 0,
                                        static_cast<std::uint16_t>(i % 0xFFFF), ""});
    index.Indexes.number_of_titles = static_cast<std::uint16_t>(count);
    index.Indexes.indexes_length = static_cast<std::uint32_t>(26 + 12 * count);
    return index;
}

void expectStableRewrite(const IndexReadResult& first) {
    const auto written = writeIndex(first.index);
    const auto again = readIndex(written);
    ASSERT_EQ(again.status, ReadStatus::Ok);
    EXPECT_EQ(again.index.Indexes, first.index.Indexes);
    EXPECT_EQ(again.index.ExtensionData, first.index.ExtensionData);
    EXPECT_EQ(byteDifference(written, writeIndex(again.index)), "");
}

TEST(IndexSamples, RoundTripIsByteExact) {
    for (const char* name : kIndexSamples) {
        SCOPED_TRACE(name);
        const auto bytes = readSample(name);
        const auto result = readIndex(bytes);
        ASSERT_EQ(result.status, ReadStatus::Ok);
        EXPECT_EQ(byteDifference(bytes, writeIndex(result.index)), "");
    }
}

TEST(IndexSamples, AcceptanceSetRoundTrip) {
    const auto files = testing::acceptanceFiles("index.bdmv");
    if (files.empty()) GTEST_SKIP() << "acceptance set not found at " << testing::acceptanceFolder();
    for (const auto& path : files) {
        SCOPED_TRACE(path.string());
        const auto bytes = testing::readPath(path);
        const auto result = readIndex(bytes);
        ASSERT_EQ(result.status, ReadStatus::Ok);
        EXPECT_EQ(byteDifference(bytes, writeIndex(result.index)), "");
    }
}

TEST(IndexSamples, KnownFieldValuesOfAnHdmvDisc) {
    const auto result = readIndex(readSample("bdpl-disc1-index.bdmv"));
    ASSERT_EQ(result.status, ReadStatus::Ok);
    const TINDX& index = result.index;
    EXPECT_EQ(index.version_number, IndexVersion0200);
    EXPECT_EQ(index.indexes_start_address, 78u);
    EXPECT_EQ(index.ExtensionData_start_address, 0u);
    EXPECT_EQ(index.app_info_length, 34u);
    EXPECT_EQ(index.content_provider_user_data, "");
    EXPECT_EQ(index.Indexes.indexes_length, 134u);
    EXPECT_EQ(index.Indexes.first_playback, (TTitleEntry{0xFFFF, ObjectTypeHDMV, 0, 0, 0, ""}));
    EXPECT_EQ(index.Indexes.top_menu, (TTitleEntry{0, ObjectTypeHDMV, 0, 1, 1, ""}));
    ASSERT_EQ(index.Indexes.titles.size(), 9u);
    EXPECT_EQ(index.Indexes.number_of_titles, 9);
    for (std::size_t i = 0; i < 9; ++i) {
        EXPECT_EQ(index.Indexes.titles[i].title_number, static_cast<std::int32_t>(i + 1));
        EXPECT_EQ(index.Indexes.titles[i].mobj_id_ref, i + 2);
    }
    EXPECT_EQ(indline(index, 0), (std::array<std::string, 5>{"001", "HDMV", "Permitted", "Movie", "2"}));
    EXPECT_EQ(indline(index, 8), (std::array<std::string, 5>{"009", "HDMV", "Permitted", "Movie", "10"}));
    EXPECT_EQ(result.messages,
              (std::vector<ReadMessage>{
                  {ReadMessage::Kind::Log, "  Found [b]9[/b] titles, [b]0[/b] extended entry."}}));
    EXPECT_EQ(result.progress, "9/9");
}

TEST(IndexSamples, KnownFieldValuesOfBdjDiscs) {
    const auto sdk = readIndex(readSample("bdj-sdk-index-0100-extdata.bdmv"));
    ASSERT_EQ(sdk.status, ReadStatus::Ok);
    EXPECT_EQ(sdk.index.version_number, IndexVersion0100);
    EXPECT_EQ(sdk.index.ExtensionData_start_address, 120u);
    const TExtensionData& block = sdk.index.ExtensionData;
    EXPECT_EQ(block.length, 0x192u);
    ASSERT_EQ(block.ext_data_entries.size(), 1u);
    EXPECT_EQ(block.ext_data_entries[0], (TExtDataEntry{0x1000, 0x0100, 0x18, 0x17E}));
    EXPECT_EQ(block.ext_data_block.size(), 526u - 120 - 24);
    ASSERT_EQ(sdk.index.Indexes.titles.size(), 1u);
    EXPECT_EQ(sdk.index.Indexes.titles[0], (TTitleEntry{1, ObjectTypeBDJ, 0, 2, 0, "00000"}));
    // Playback type 2 has no picker item and shows blank.
    EXPECT_EQ(indline(sdk.index, 0), (std::array<std::string, 5>{"001", "BD-J", "Permitted", "", "00000"}));
    EXPECT_EQ(sdk.messages.back().text, "  Found [b]1[/b] titles, [b]1[/b] extended entry.");

    const auto bridgehead = readIndex(readSample("bridgehead-index-bdj.bdmv"));
    ASSERT_EQ(bridgehead.status, ReadStatus::Ok);
    const TIndexes& indexes = bridgehead.index.Indexes;
    EXPECT_EQ(indexes.first_playback, (TTitleEntry{0xFFFF, ObjectTypeBDJ, 0, 2, 0, "90000"}));
    EXPECT_TRUE(entryIsOn(indexes.first_playback));
    EXPECT_EQ(indexes.top_menu, (TTitleEntry{0, ObjectTypeHDMV, 0, 1, 0, ""}));
    ASSERT_EQ(indexes.titles.size(), 2u);
    EXPECT_EQ(indexes.titles[0].bdjo_file_name, "00000");
    EXPECT_EQ(indexes.titles[1].bdjo_file_name, "90000");
}

// disc5 is an Ultra HD disc: version 0300, AppInfoBDMV all zero, the UHD entry 3.1 in its
// ExtensionData saying disc type 5, 4K content and hdr_flags 11.
TEST(IndexSamples, KnownFieldValuesOfAnUltraHdDisc) {
    const auto bytes = readSample("bdpl-disc5-index-0300.bdmv");
    const auto result = readIndex(bytes);
    ASSERT_EQ(result.status, ReadStatus::Ok);
    const TINDX& index = result.index;
    EXPECT_EQ(index.version_number, IndexVersion0300);
    EXPECT_EQ(index.Indexes.titles.size(), 12u);
    for (const IndexUhdFieldInfo& field : IndexUhdFields) {
        SCOPED_TRACE(std::string(field.name));
        const std::uint32_t expected = field.field == IndexUhdField::disc_type       ? 5
                                       : field.field == IndexUhdField::exist_4k_flag ? 1
                                       : field.field == IndexUhdField::hdr_flags     ? 3
                                                                                     : 0;
        EXPECT_EQ(uhdFieldValue(index, field.field), expected);
    }
    const auto uhd = readUhdDiscInfo(index.ExtensionData);
    ASSERT_TRUE(uhd.has_value());
    EXPECT_EQ(uhd->length, 8u);
    EXPECT_EQ(uhdReservedBitsText(index), "AppInfoBDMV 0 0, UHD 000 00000000 000 0 00000000 00000000");
    EXPECT_EQ(uhdValueText(IndexUhdField::hdr_flags, 3), "11");
    EXPECT_EQ(uhdValueText(IndexUhdField::video_format, 8), "8 2160p");
    EXPECT_EQ(uhdValueText(IndexUhdField::initial_dynamic_range_type, 2), "2 Dolby Vision");
    EXPECT_EQ(uhdValueText(IndexUhdField::initial_dynamic_range_type, 9), "9");
    EXPECT_EQ(uhdValueText(IndexUhdField::disc_type, 5), "5");
}

// Each UHD field edits its own bits only, the rest of the file comes back as read, and a
// value wider than the field or a disc-type field of an index without the entry is refused.
TEST(IndexUhdEdit, FieldsChangeOnlyTheirBits) {
    const auto bytes = readSample("bdpl-disc5-index-0300.bdmv");
    struct Case {
        IndexUhdField field;
        std::uint32_t value;
        std::size_t at;     // byte that changes
        std::uint8_t after; // its value then
    };
    const std::size_t uhd = 0xFC + 24 + 4; // the UHD entry's first byte after its length
    for (const Case& c :
         {Case{IndexUhdField::initial_output_mode_preference, 1, 44, 0x40},
          Case{IndexUhdField::SS_content_exist_flag, 1, 44, 0x20},
          Case{IndexUhdField::initial_dynamic_range_type, 15, 44, 0x0F},
          Case{IndexUhdField::video_format, 8, 45, 0x80}, Case{IndexUhdField::frame_rate, 7, 45, 0x07},
          Case{IndexUhdField::disc_type, 15, uhd, 0xF1}, Case{IndexUhdField::exist_4k_flag, 0, uhd, 0x50},
          Case{IndexUhdField::hdrplus_flag, 1, uhd + 2, 0x13}, Case{IndexUhdField::dv_flag, 1, uhd + 2, 0x07},
          Case{IndexUhdField::hdr_flags, 1, uhd + 2, 0x01}}) {
        SCOPED_TRACE(std::string(uhdFieldInfo(c.field).name));
        TINDX index = readIndex(bytes).index;
        const std::uint32_t tooWide = 1u << uhdFieldInfo(c.field).bits;
        EXPECT_FALSE(setUhdFieldValue(index, c.field, tooWide));
        EXPECT_EQ(byteDifference(bytes, writeIndex(index)), "");
        ASSERT_TRUE(setUhdFieldValue(index, c.field, c.value));
        auto expected = bytes;
        expected[c.at] = c.after;
        const auto written = writeIndex(index);
        EXPECT_EQ(byteDifference(expected, written), "");
        EXPECT_EQ(uhdFieldValue(readIndex(written).index, c.field), c.value);
    }
    // The bits kept without a meaning come back when set.
    auto reservedSet = bytes;
    reservedSet[44] = 0x90;
    reservedSet[uhd] |= 0x0E;
    reservedSet[uhd + 2] |= 0xE8;
    const auto kept = readIndex(reservedSet);
    ASSERT_EQ(kept.status, ReadStatus::Ok);
    EXPECT_EQ(uhdReservedBitsText(kept.index), "AppInfoBDMV 1 1, UHD 111 00000000 111 1 00000000 00000000");
    TINDX edited = kept.index;
    ASSERT_TRUE(setUhdFieldValue(edited, IndexUhdField::dv_flag, 1));
    reservedSet[uhd + 2] |= 0x04;
    EXPECT_EQ(byteDifference(reservedSet, writeIndex(edited)), "");

    TINDX plain = readIndex(readSample("bdpl-disc1-index.bdmv")).index;
    EXPECT_FALSE(uhdFieldValue(plain, IndexUhdField::exist_4k_flag).has_value());
    EXPECT_FALSE(setUhdFieldValue(plain, IndexUhdField::exist_4k_flag, 1));
    EXPECT_EQ(uhdReservedBitsText(plain), "AppInfoBDMV 0 0");
}

TEST(IndexRead, RefusesWrongTypeOrVersion) {
    const auto base = readSample("bdpl-disc3-index.bdmv");
    auto withHead = [&](const std::string& head) {
        auto bytes = base;
        std::copy(head.begin(), head.end(), bytes.begin());
        return bytes;
    };
    for (const auto& bytes :
         {withHead("INDX0400"), withHead("INDX0301"), withHead("INDY0200"), withHead("MOBJ0200")}) {
        const auto result = readIndex(bytes, "INDEX.BDM");
        EXPECT_EQ(result.status, ReadStatus::FormatError);
        EXPECT_EQ(result.problemAt, 8u);
        EXPECT_EQ(result.index, TINDX{});
        EXPECT_EQ(result.messages, (std::vector<ReadMessage>{
                                       {ReadMessage::Kind::Error, "INDEX.BDM format error at $00000008"}}));
    }
    EXPECT_EQ(readIndex(withHead("INDX0100")).status, ReadStatus::Ok);
}

TEST(IndexRead, StopsAtMoreThan999Titles) {
    const auto ok = readIndex(writeIndex(buildIndex(999)));
    ASSERT_EQ(ok.status, ReadStatus::Ok);
    EXPECT_EQ(ok.index.Indexes.titles.size(), 999u);

    for (std::uint16_t count : {std::uint16_t{1000}, std::uint16_t{0xFFFF}}) {
        auto bytes = writeIndex(buildIndex(3));
        bytes[78 + 28] = static_cast<std::uint8_t>(count >> 8);
        bytes[78 + 29] = static_cast<std::uint8_t>(count);
        const auto result = readIndex(bytes);
        EXPECT_EQ(result.status, ReadStatus::TooManyTitles);
        EXPECT_TRUE(result.index.Indexes.titles.empty());
        EXPECT_EQ(result.index.Indexes.number_of_titles, count);
        // A plain log line, not an error report, and no summary.
        EXPECT_EQ(result.messages, (std::vector<ReadMessage>{
                                       {ReadMessage::Kind::Log, "Error in index.bdmv (number of title: " +
                                                                    std::to_string(count) + ")"}}));
    }
}

TEST(IndexRead, AccessTypeOneAndOffEntriesComeBackAsRead) {
    auto bytes = readSample("bdpl-disc3-index.bdmv");
    const std::size_t fp = 78 + 4, title = 78 + 30;
    bytes[title] = 0x50;  // HDMV, access type 1
    bytes[fp + 6] = 0xFF; // First Playback object 0xFFFF: off
    bytes[fp + 7] = 0xFF;
    const auto result = readIndex(bytes);
    ASSERT_EQ(result.status, ReadStatus::Ok);
    EXPECT_EQ(result.index.Indexes.titles[0].access_type, 1);
    EXPECT_EQ(indline(result.index, 0)[2], "Permitted");
    EXPECT_FALSE(entryIsOn(result.index.Indexes.first_playback));
    EXPECT_EQ(result.index.Indexes.first_playback.object_type, ObjectTypeHDMV);
    EXPECT_EQ(byteDifference(bytes, writeIndex(result.index)), "");
}

TEST(IndexRead, IgnoredEntryBitsAreWrittenAsZero) {
    auto bytes = readSample("bdpl-disc3-index.bdmv");
    const std::size_t fp = 78 + 4, title = 78 + 30;
    auto expected = bytes;
    bytes[fp] = 0x7F; // HDMV with access bits and reserved bits that First Playback does not have
    bytes[fp + 5] = 0x3F;
    bytes[title + 3] = 0x01;
    bytes[title + 11] = 0xAA; // reserved byte after the object number
    const auto result = readIndex(bytes);
    ASSERT_EQ(result.status, ReadStatus::Ok);
    EXPECT_EQ(result.index.Indexes.first_playback.access_type, 0);
    EXPECT_EQ(byteDifference(expected, writeIndex(result.index)), "");
}

TEST(IndexRead, TruncationReportsWhereTheDataEnded) {
    for (const char* name :
         {"bdpl-disc1-index.bdmv", "bdj-sdk-index-0100-extdata.bdmv", "bdpl-disc5-index-0300.bdmv"}) {
        SCOPED_TRACE(name);
        const auto bytes = readSample(name);
        const auto full = readIndex(bytes);
        for (std::size_t size = 0; size < bytes.size(); ++size) {
            const std::vector<std::uint8_t> cut(bytes.begin(),
                                                bytes.begin() + static_cast<std::ptrdiff_t>(size));
            const auto result = readIndex(cut);
            // Only the ExtensionData's data bytes may be cut short: they run to the end of the file.
            const bool dataOnly = full.index.ExtensionData_start_address != 0 &&
                                  size >= full.index.ExtensionData_start_address + 24;
            if (dataOnly) {
                ASSERT_EQ(result.status, ReadStatus::Ok) << size;
                // A UHD entry cut short is not decoded, and nothing is made up for it.
                EXPECT_FALSE(readUhdDiscInfo(result.index.ExtensionData).has_value()) << size;
                expectStableRewrite(result);
                continue;
            }
            ASSERT_EQ(result.status, ReadStatus::FormatError) << size;
            EXPECT_EQ(result.problemAt, size);
            EXPECT_EQ(result.messages.back().text, "index.bdmv format error at $" + hexText(size, 8));
        }
    }
}

TEST(IndexRead, RandomBytesNeverCrash) {
    std::mt19937 random(7001);
    for (const char* name :
         {"bdpl-disc1-index.bdmv", "bdj-sdk-index-0100-extdata.bdmv", "bdpl-disc5-index-0300.bdmv"}) {
        const auto base = readSample(name);
        for (int round = 0; round < 1500; ++round) {
            auto bytes = base;
            const int flips = 1 + static_cast<int>(random() % 6);
            for (int i = 0; i < flips; ++i)
                bytes[8 + random() % (bytes.size() - 8)] = static_cast<std::uint8_t>(random());
            if (round % 4 == 0) bytes.resize(random() % bytes.size());
            const auto result = readIndex(bytes);
            if (result.status == ReadStatus::Ok) {
                uhdReservedBitsText(result.index); // decodes whatever UHD entry the noise left
                expectStableRewrite(result);
            }
        }
    }
}

TEST(IndexLayout, PaddingBeforeBlocksIsKept) {
    TINDX index = buildIndex(2);
    index.ExtensionData.length = 8;
    index.ExtensionData.data_block_start_address = 12;
    index.ExtensionData.ext_data_block = {1, 2, 3, 4};
    index.ExtensionData_start_address = 1; // present; the writer puts it where it lands
    auto bytes = writeIndex(index);
    ASSERT_EQ(bytes.size(), 78u + 30 + 24 + 16);
    EXPECT_EQ(bytes[15], 78 + 30 + 24);

    // Four bytes before the Indexes and three before the ExtensionData, both addresses moved.
    bytes.insert(bytes.begin() + 78 + 54, {0xD1, 0xD2, 0xD3});
    bytes.insert(bytes.begin() + 78, {0xC1, 0xC2, 0xC3, 0xC4});
    bytes[11] = 82;
    bytes[15] = 78 + 4 + 54 + 3;
    const auto result = readIndex(bytes);
    ASSERT_EQ(result.status, ReadStatus::Ok);
    EXPECT_EQ(result.index.padding_before_indexes, (std::vector<std::uint8_t>{0xC1, 0xC2, 0xC3, 0xC4}));
    EXPECT_EQ(result.index.padding_before_extension, (std::vector<std::uint8_t>{0xD1, 0xD2, 0xD3}));
    EXPECT_EQ(result.index.Indexes, index.Indexes);
    EXPECT_EQ(result.index.ExtensionData.ext_data_block, (std::vector<std::uint8_t>{1, 2, 3, 4}));
    EXPECT_EQ(byteDifference(bytes, writeIndex(result.index)), "");
}

TEST(IndexLayout, IndexesStartingInsideAppInfoAreWrittenWhereTheyLand) {
    auto bytes = writeIndex(buildIndex(1));
    bytes.erase(bytes.begin() + 70, bytes.begin() + 78); // the last 8 bytes of the provider text
    bytes[11] = 70;
    const auto result = readIndex(bytes);
    ASSERT_EQ(result.status, ReadStatus::Ok);
    ASSERT_EQ(result.index.Indexes.titles.size(), 1u);
    const auto written = writeIndex(result.index);
    EXPECT_EQ(written[11], 78);
    const auto again = readIndex(written);
    ASSERT_EQ(again.status, ReadStatus::Ok);
    EXPECT_EQ(again.index.Indexes, result.index.Indexes);
}

TEST(IndexLabels, CountTitlesAndEntriesThatAreOn) {
    TINDX index = buildIndex(12);
    TMOBJ mobj;
    mobj.MovieObjects.number_of_mobjs = 40;
    EXPECT_EQ(BDMVlabels(index, mobj).titles, "12 + 2 titles");
    EXPECT_EQ(BDMVlabels(index, mobj).objects, "40 objects");
    index.Indexes.first_playback.mobj_id_ref = NoObject;
    EXPECT_EQ(BDMVlabels(index, mobj).titles, "12 + 1 titles");
    index.Indexes.top_menu.mobj_id_ref = NoObject;
    EXPECT_EQ(BDMVlabels(index, mobj).titles, "12 titles");
    index.Indexes.top_menu.object_type = ObjectTypeBDJ; // a BD-J entry always plays its file
    EXPECT_EQ(BDMVlabels(index, mobj).titles, "12 + 1 titles");
    // Nothing read, or a read error: no titles and no entries, whatever the record holds.
    EXPECT_EQ(BDMVlabels(TINDX{}, mobj, false).titles, "0 titles");
    EXPECT_EQ(BDMVlabels(index, mobj, false).titles, "0 titles");
}

TEST(IndexFile, ReadsThroughTheSessionAndReports) {
    const auto folder = std::filesystem::temp_directory_path() / "corvane-index-test";
    std::filesystem::create_directories(folder);
    testing::CaptureSink sink;
    Session session;
    session.reporter.setSink(&sink);
    session.BDMVdir = folder.string() + "/";
    const std::string path = session.BDMVdir + session.names.IndexName;
    TINDX index;

    writeWholeFile(path, readSample("bdpl-disc1-index.bdmv"));
    EXPECT_EQ(readIndexFile(session, index), ReadStatus::Ok);
    EXPECT_EQ(index.Indexes.titles.size(), 9u);
    EXPECT_EQ(sink.texts(), (std::vector<std::string>{"  Found 9 titles, 0 extended entry."}));
    EXPECT_EQ(sink.status[1], "9/9");

    auto tooMany = writeIndex(buildIndex(1));
    tooMany[78 + 28] = 0x03;
    tooMany[78 + 29] = 0xE8;
    writeWholeFile(path, tooMany);
    sink.lines.clear();
    EXPECT_EQ(readIndexFile(session, index), ReadStatus::TooManyTitles);
    EXPECT_EQ(sink.texts(), (std::vector<std::string>{"Error in index.bdmv (number of title: 1000)"}));
    EXPECT_FALSE(session.reporter.ErrorRaised);

    auto unknownVersion = readSample("bdpl-disc5-index-0300.bdmv");
    unknownVersion[5] = '4';
    writeWholeFile(path, unknownVersion);
    sink.lines.clear();
    EXPECT_EQ(readIndexFile(session, index), ReadStatus::FormatError);
    EXPECT_EQ(sink.texts(), (std::vector<std::string>{"ERROR: index.bdmv format error at $00000008"}));
    EXPECT_TRUE(session.reporter.ErrorRaised);

    std::filesystem::remove_all(folder);
    EXPECT_EQ(readIndexFile(session, index), ReadStatus::FileError);
    EXPECT_EQ(sink.fileErrors.size(), 1u);
}

} // namespace
} // namespace corvane
