// Clip information writer: every real clip comes back byte for byte, and a clip built in
// memory reads back as it was built.

#include <gtest/gtest.h>

#include <filesystem>

#include "TestBytes.h"
#include "io/FileIO.h"
#include "navigation/NavTestUtil.h"
#include "stream/ClipInfo.h"
#include "stream/ClipInfoWriter.h"

namespace corvane {
namespace {

// Reads and writes back every .clpi under `root`; returns how many came back whole.
std::size_t roundTripAll(const std::filesystem::path& root) {
    std::size_t count = 0;
    std::error_code ec;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root, ec)) {
        if (entry.path().extension() != ".clpi") continue;
        std::string error;
        const auto bytes = readWholeFile(entry.path().string(), error);
        if (!bytes) {
            ADD_FAILURE() << entry.path() << ": " << error;
            continue;
        }
        const auto read = readClipInfo(*bytes, entry.path().filename().string(), true);
        EXPECT_EQ(read.status, ReadStatus::Ok) << entry.path();
        EXPECT_TRUE(read.clpi.layout_kept) << entry.path();
        const std::string difference = testing::byteDifference(*bytes, writeClipInfo(read.clpi));
        EXPECT_EQ(difference, "") << entry.path();
        if (difference.empty()) ++count;
    }
    return count;
}

TEST(ClipInfoWriter, RealClipsComeBackByteForByte) {
    EXPECT_EQ(roundTripAll(std::filesystem::path(CORVANE_TEST_DATA) / "clipinf"), 29u);
    const auto root = testing::acceptanceFolder();
    std::error_code ec;
    if (!std::filesystem::is_directory(root, ec)) GTEST_SKIP() << "no acceptance set at " << root;
    EXPECT_GT(roundTripAll(root), 700u);
}

// A clip made from fields alone: lengths, counts and addresses come from the writer, and an
// edited stream field is written over the kept attribute bytes.
TEST(ClipInfoWriter, BuiltClipReadsBackAndEditedFieldsAreWritten) {
    TCLPI clpi;
    clpi.type_indicator = "HDMV";
    clpi.version_number = "0200";
    clpi.ClipInfo.Clip_stream_type = 1;
    clpi.ClipInfo.application_type = 5;
    clpi.ClipInfo.TS_recording_rate = 0x00600000;
    clpi.ClipInfo.number_of_source_packets = 96;
    clpi.ClipInfo.TS_type_info_length = 30;
    clpi.ClipInfo.Validity_flags = 0x80;
    clpi.ClipInfo.Format_identifier = "HDMV";
    clpi.SequenceInfo.ATC_sequences.push_back({0, 1, 0, {{0x1001, 0, 0x100, 0x5000}}});
    TStreamCodingInfo ig;
    ig.stream_PID = 0x1400;
    ig.stream_coding_type = 0x91;
    ig.language_code = "eng";
    clpi.ProgramInfo.program_sequences.push_back({0, 0x0100, 1, 0, {ig}});
    clpi.CPI.CPI_type_word = 1;
    const auto bytes = writeClipInfo(clpi);
    const auto read = readClipInfo(bytes, "00001.clpi", true);
    ASSERT_EQ(read.status, ReadStatus::Ok);
    EXPECT_EQ(read.clpi.SequenceInfo.number_of_ATC_sequences, 1);
    EXPECT_EQ(read.clpi.SequenceInfo.ATC_sequences.at(0).STC_sequences.at(0).presentation_end_time, 0x5000u);
    const TStreamCodingInfo& stream = read.clpi.ProgramInfo.program_sequences.at(0).streams.at(0);
    EXPECT_EQ(stream.stream_PID, 0x1400);
    EXPECT_EQ(stream.StreamCodingInfo_length, 21);
    EXPECT_EQ(stream.language_code, "eng");
    EXPECT_EQ(read.clpi.ClipInfo.number_of_source_packets, 96u);
    EXPECT_NE(read.clpi.CPI.CPI_length, 0u);
    EXPECT_EQ(writeClipInfo(read.clpi), bytes);

    TCLPI edited = read.clpi;
    edited.ProgramInfo.program_sequences[0].streams[0].language_code = "fra";
    const auto again = readClipInfo(writeClipInfo(edited), "00001.clpi", true);
    EXPECT_EQ(again.clpi.ProgramInfo.program_sequences.at(0).streams.at(0).language_code, "fra");
}

} // namespace
} // namespace corvane
