// Clip information made from a stream: another muxer's m2ts gives its packet count, its
// streams and their attributes, the STC sequence and an EP map at its I pictures, and the
// clip survives the writer and the reader.

#include <gtest/gtest.h>

#include <iterator>

#include "stream/ClipFromStream.h"
#include "stream/ClipInfoWriter.h"

namespace corvane {
namespace {

const std::string Sample = std::string(CORVANE_TEST_DATA) + "/stream/ffmpeg-mpeg2-ac3.m2ts";

// The sample's I pictures: PES start packet and PTS (90 kHz). Found with a walk of the
// 192-byte packets of PID 0x1011 (payload_unit_start, PTS of the PES header, picture_coding_type
// of the first picture header); the same as
// `ffprobe -select_streams v -show_frames -show_entries frame=pict_type,pkt_pts,pkt_pos`.
struct IPicture {
    std::uint32_t spn;
    std::uint64_t pts;
};
constexpr IPicture SampleIPictures[] = {{3, 129600}, {408, 172800}, {640, 216000}};
constexpr std::uint32_t SamplePackets = 704; // 135168 bytes / 192
constexpr std::uint64_t SampleLastPts = 216000;

TEST(ClipFromStream, AnotherMuxersStream) {
    std::string error;
    const std::optional<TCLPI> made = clipInfoFromStream(Sample, error);
    ASSERT_TRUE(made) << error;
    const TCLPI& clip = *made;
    EXPECT_EQ(clip.ClipInfo.application_type, 1);
    EXPECT_EQ(clip.ClipInfo.Clip_stream_type, 1);
    EXPECT_EQ(clip.ClipInfo.number_of_source_packets, SamplePackets);
    // 300 kbit/s video and 96 kbit/s audio with the muxer's overhead: well below 48 Mbit/s.
    EXPECT_GT(clip.ClipInfo.TS_recording_rate, 40000u);
    EXPECT_LT(clip.ClipInfo.TS_recording_rate, 1000000u);

    ASSERT_EQ(clip.SequenceInfo.ATC_sequences.size(), 1u);
    ASSERT_EQ(clip.SequenceInfo.ATC_sequences[0].STC_sequences.size(), 1u);
    const TSTCSequence& stc = clip.SequenceInfo.ATC_sequences[0].STC_sequences[0];
    EXPECT_EQ(stc.PCR_PID, 0x1011);
    EXPECT_EQ(stc.presentation_start_time, SampleIPictures[0].pts / 2);
    EXPECT_EQ(stc.presentation_end_time, (SampleLastPts + 3600) / 2); // one 25 Hz frame past the last

    ASSERT_EQ(clip.ProgramInfo.program_sequences.size(), 1u);
    const TProgram_sequences& program = clip.ProgramInfo.program_sequences[0];
    EXPECT_EQ(program.program_map_PID, 0x0100);
    ASSERT_EQ(program.streams.size(), 2u);
    const TStreamCodingInfo& video = program.streams[0];
    EXPECT_EQ(video.stream_PID, 0x1011);
    EXPECT_EQ(video.stream_coding_type, 0x02);
    EXPECT_EQ(video.frame_rate, 3);   // 25 Hz
    EXPECT_EQ(video.aspect_ratio, 2); // 4:3 (320×240)
    EXPECT_TRUE(video.video_format == 2 || video.video_format == 7) << int(video.video_format); // 576 lines
    const TStreamCodingInfo& audio = program.streams[1];
    EXPECT_EQ(audio.stream_PID, 0x1100);
    EXPECT_EQ(audio.stream_coding_type, 0x81);
    EXPECT_EQ(audio.audio_presentation_type, 1); // mono
    EXPECT_EQ(audio.sampling_frequency, 1);      // 48 kHz
    EXPECT_EQ(audio.language_code.size(), 3u);

    ASSERT_EQ(clip.CPI.EP_map_entries.size(), 1u);
    EXPECT_EQ(clip.CPI.EP_map_entries[0].stream_PID, 0x1011);
    EXPECT_EQ(clip.CPI.EP_map_entries[0].number_of_EP_fine_entries, std::size(SampleIPictures));

    // Written and read back, the EP map gives the I pictures (PTS to 512 ticks, as stored).
    const std::vector<std::uint8_t> bytes = writeClipInfo(clip);
    const ClipReadResult read = readClipInfo(bytes, "00001.clpi", true);
    ASSERT_EQ(read.status, ReadStatus::Ok);
    EXPECT_EQ(read.clpi.ClipInfo.number_of_source_packets, SamplePackets);
    EXPECT_EQ(read.clpi.ProgramInfo.program_sequences[0].streams[1].sampling_frequency, 1);
    EXPECT_EQ(writeClipInfo(read.clpi), bytes);
    const std::vector<EntryPoint> points = decodeEPMap(read.clpi.CPI);
    ASSERT_EQ(points.size(), std::size(SampleIPictures));
    for (std::size_t i = 0; i < points.size(); ++i) {
        EXPECT_EQ(points[i].spn, SampleIPictures[i].spn) << i;
        EXPECT_EQ(points[i].pts, SampleIPictures[i].pts & ~0x1FFull) << i;
    }
}

// Entries past a coarse step (PTS bit 20, SPN bit 17) still join back to their values.
TEST(ClipFromStream, EPMapCoarseSteps) {
    const std::vector<EntryPoint> entries = {{10, 0x000FFE00, 10},
                                             {0x1FFF0, 0x00100000, 0x1FFF8},
                                             {0x20010, 0x00100400, 0x20020},
                                             {0x20100, 0x1FFF00000, 0x20110}};
    const EPMapTables tables = epMapTables(entries);
    EXPECT_EQ(tables.coarseCount, 4);
    TCPI cpi;
    TEPMapEntry entry;
    entry.number_of_EP_coarse_entries = tables.coarseCount;
    entry.number_of_EP_fine_entries = tables.fineCount;
    entry.EP_map_for_one_stream_PID_start_address = 14;
    cpi.EP_map_entries.push_back(entry);
    cpi.EP_map_data = tables.bytes;
    const std::vector<EntryPoint> back = decodeEPMap(cpi);
    ASSERT_EQ(back.size(), entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(back[i].spn, entries[i].spn) << i;
        EXPECT_EQ(back[i].pts, entries[i].pts) << i;
    }
}

TEST(ClipFromStream, NoTransportStream) {
    std::string error;
    EXPECT_FALSE(clipInfoFromStream(std::string(CORVANE_TEST_DATA) + "/stream/ffmpeg-mpeg2-ac3.ac3", error));
    EXPECT_FALSE(error.empty());
    error.clear();
    EXPECT_FALSE(clipInfoFromStream("/nonexistent/x.m2ts", error));
    EXPECT_FALSE(error.empty());
}

} // namespace
} // namespace corvane
