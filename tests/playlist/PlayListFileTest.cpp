// Playlist reader and writer: real files back byte for byte, known field values,
// and models built in code with every optional part (angles, secondary streams,
// multi-clip SubPlayItems, ExtensionData, entries of unknown type).

#include <gtest/gtest.h>

#include "navigation/NavTestUtil.h"
#include "playlist/PlayListDisplay.h"
#include "playlist/PlayListNames.h"
#include "playlist/PlayListReader.h"
#include "playlist/PlayListTestUtil.h"
#include "playlist/PlayListWriter.h"

namespace corvane {
namespace {

using testing::byteDifference;
using testing::layOut;
using testing::primaryEntry;
using testing::readPlaylistSample;

PlsReadResult readOk(const std::vector<std::uint8_t>& bytes) {
    PlsReadResult result = readPlayList(bytes, "test.mpls");
    EXPECT_EQ(result.status, ReadStatus::Ok);
    for (const auto& message : result.messages)
        EXPECT_EQ(message.kind, ReadMessage::Kind::Log) << message.text;
    return result;
}

// A playlist with one plain PlayItem, one mark and nothing else.
TMPLS smallPlayList() {
    TMPLS mpls;
    mpls.PlayList_playback_type = 1;
    TPlayItem item;
    item.Clip_Information_file_name = "00001";
    item.Clip_codec_identifier = "M2TS";
    item.connection_condition = 1;
    item.IN_time = 45000;
    item.OUT_time = 45000 * 61;
    item.STN.video.push_back(primaryEntry(1, 0x1011, 0x1B));
    item.STN.video[0].video_format = 6;
    item.STN.video[0].frame_rate = 1;
    TStreamEntry audio = primaryEntry(1, 0x1100, 0x80);
    audio.audio_presentation_type = 3;
    audio.sampling_frequency = 1;
    audio.language_code = "eng";
    item.STN.audio.push_back(audio);
    mpls.PlayList.PlayItems.push_back(item);
    mpls.PlayListMark.marks.push_back({0, 1, 0, 45000, 0xFFFF, 0});
    layOut(mpls);
    return mpls;
}

void expectRoundTrip(const TMPLS& mpls) {
    const auto bytes = writePlayList(mpls);
    const PlsReadResult back = readOk(bytes);
    EXPECT_TRUE(back.mpls == mpls);
    const auto again = writePlayList(back.mpls);
    EXPECT_EQ(byteDifference(bytes, again), "");
}

TEST(PlayListFile, SamplesComeBackByteForByte) {
    for (const char* name :
         {"bdpl-disc1-00000-no-subpath.mpls", "bdpl-disc1-00002-subpath-17marks.mpls",
          "bdpl-disc6-00002-4audio-4pg.mpls", "bdpl-disc27-00000-60items.mpls", "bdj-sdk-00000.mpls"}) {
        SCOPED_TRACE(name);
        const auto bytes = readPlaylistSample(name);
        const PlsReadResult result = readOk(bytes);
        EXPECT_EQ(byteDifference(bytes, writePlayList(result.mpls)), "");
    }
}

TEST(PlayListFile, KnownFieldValues) {
    const PlsReadResult result = readOk(readPlaylistSample("bdpl-disc1-00002-subpath-17marks.mpls"));
    const TMPLS& mpls = result.mpls;
    EXPECT_EQ(mpls.version_number, "0200");
    EXPECT_EQ(mpls.PlayList_start_address, 0x3Au);
    EXPECT_EQ(mpls.PlayListMark_start_address, 0x334u);
    EXPECT_EQ(mpls.ExtensionData_start_address, 0u);
    EXPECT_EQ(mpls.AppInfo_length, 14u);
    EXPECT_EQ(mpls.PlayList_playback_type, 1);
    EXPECT_EQ(mpls.PlayList.PlayList_length, 0x2F6u);
    ASSERT_EQ(mpls.PlayList.PlayItems.size(), 4u);
    const TPlayItem& first = mpls.PlayList.PlayItems[0];
    EXPECT_EQ(first.PlayItem_length, 0xB0);
    EXPECT_EQ(first.Clip_Information_file_name, "00007");
    EXPECT_EQ(first.Clip_codec_identifier, "M2TS");
    EXPECT_EQ(first.connection_condition, 1);
    EXPECT_EQ(first.is_multi_angle, 0);
    EXPECT_EQ(first.IN_time, 0x0B433978u);
    EXPECT_EQ(first.OUT_time, 0x0F7CBDDBu);
    EXPECT_EQ(first.STN.STN_length, 0x8E);
    ASSERT_EQ(first.STN.video.size(), 1u);
    EXPECT_EQ(first.STN.video[0].ref_to_stream_PID_of_mainClip, 0x1011);
    EXPECT_EQ(first.STN.video[0].stream_coding_type, 0x1B);
    EXPECT_EQ(first.STN.video[0].video_format, 6);
    EXPECT_EQ(first.STN.video[0].frame_rate, 1);
    ASSERT_EQ(first.STN.audio.size(), 1u);
    EXPECT_EQ(first.STN.audio[0].ref_to_stream_PID_of_mainClip, 0x1100);
    EXPECT_EQ(first.STN.audio[0].stream_coding_type, 0x80);
    EXPECT_EQ(first.STN.audio[0].audio_presentation_type, 3);
    EXPECT_EQ(first.STN.audio[0].sampling_frequency, 1);
    EXPECT_EQ(first.STN.audio[0].language_code, "jpn");
    ASSERT_EQ(first.STN.PG.size(), 5u);
    EXPECT_EQ(first.STN.PG[1].ref_to_stream_PID_of_mainClip, 0x1201);
    EXPECT_EQ(first.STN.PG[1].language_code, "eng");
    ASSERT_EQ(first.STN.IG.size(), 1u);
    EXPECT_EQ(first.STN.IG[0].stream_type, 2);
    EXPECT_EQ(first.STN.IG[0].ref_to_SubPath_id, 0);
    EXPECT_EQ(first.STN.IG[0].ref_to_subClip_entry_id, 0);
    EXPECT_EQ(first.STN.IG[0].ref_to_stream_PID_of_subClip, 0x1400);
    EXPECT_EQ(first.STN.IG[0].stream_coding_type, 0x91);
    EXPECT_EQ(mpls.PlayList.PlayItems[1].connection_condition, 5);
    ASSERT_EQ(mpls.PlayList.SubPaths.size(), 1u);
    EXPECT_EQ(mpls.PlayList.SubPaths[0].SubPath_type, 3);
    ASSERT_EQ(mpls.PlayListMark.marks.size(), 17u);
    EXPECT_EQ(mpls.PlayListMark.marks[0].mark_type, 1);
    EXPECT_EQ(mpls.PlayListMark.marks[0].ref_to_PlayItem_id, 0);
    EXPECT_EQ(mpls.PlayListMark.marks[0].mark_time_stamp, first.IN_time);
    ASSERT_EQ(result.messages.size(), 2u);
    EXPECT_EQ(result.messages[0].text,
              "[b]4[/b] PlayItem(s), [b]1[/b] SubPath(s) and [b]17[/b] PlayListMark(s) found.");
    EXPECT_EQ(result.messages[1].text, "");
}

TEST(PlayListFile, QuietModeLeavesOutTheSummary) {
    const PlsReadResult result = readPlayList(readPlaylistSample("bdj-sdk-00000.mpls"), "00000.mpls", true);
    EXPECT_EQ(result.status, ReadStatus::Ok);
    EXPECT_TRUE(result.messages.empty());
    EXPECT_EQ(result.mpls.PlayList.PlayItems.size(), 1u);
}

TEST(PlayListFile, EmptyLanguageCodeStaysEmpty) {
    const PlsReadResult result = readOk(readPlaylistSample("bdj-sdk-00000.mpls"));
    const TStreamEntry& audio = result.mpls.PlayList.PlayItems.at(0).STN.audio.at(0);
    EXPECT_EQ(audio.stream_coding_type, 0x81);
    EXPECT_EQ(audio.language_code, "");
}

TEST(PlayListFile, Version0300IsReadAndKeptOthersAreRefused) {
    const auto uhd = readPlaylistSample("bdpl-disc5-00001-0300-extdata.mpls");
    const PlsReadResult read = readOk(uhd);
    EXPECT_EQ(read.mpls.version_number, "0300");
    EXPECT_EQ(byteDifference(uhd, writePlayList(read.mpls)), "");
    auto unknown = uhd;
    unknown[5] = '4';
    const PlsReadResult result = readPlayList(unknown, "00001.mpls");
    EXPECT_EQ(result.status, ReadStatus::FormatError);
    ASSERT_EQ(result.messages.size(), 1u);
    EXPECT_EQ(result.messages[0].kind, ReadMessage::Kind::Error);
    EXPECT_EQ(result.messages[0].text, "Invalid format: 00001.mpls");
    EXPECT_TRUE(result.mpls.PlayList.PlayItems.empty());
}

TEST(PlayListFile, WrongTypeIndicatorIsRefused) {
    auto bytes = writePlayList(smallPlayList());
    bytes[0] = 'X';
    const PlsReadResult result = readPlayList(bytes, "00009.mpls");
    EXPECT_EQ(result.status, ReadStatus::FormatError);
    EXPECT_EQ(result.messages.at(0).text, "Invalid format: 00009.mpls");
}

TEST(PlayListFile, Version0100IsRead) {
    TMPLS mpls = smallPlayList();
    mpls.version_number = "0100";
    expectRoundTrip(mpls);
}

TEST(PlayListFile, SmallModelRoundTrip) {
    const TMPLS mpls = smallPlayList();
    const auto bytes = writePlayList(mpls);
    // Header, AppInfo, PlayList() header, one PlayItem (fields, STN header, two entries), marks.
    EXPECT_EQ(bytes.size(), 40u + 18 + 10 + (2 + 32 + 16 + 32) + (6 + 14));
    expectRoundTrip(mpls);
}

TEST(PlayListFile, ReservedHeaderAndLowFlagBitsComeBackAsZeros) {
    auto bytes = writePlayList(smallPlayList());
    ASSERT_GT(bytes.size(), 40u + 17);
    bytes[25] = 0xAB;       // inside the 20 reserved header bytes
    bytes[40 + 17] |= 0x1F; // low bits of the AppInfo flag word
    bytes[40 + 16] |= 0x80; // PlayList_random_access_flag
    const PlsReadResult result = readOk(bytes);
    EXPECT_EQ(result.mpls.reserved_header[5], 0xAB);
    EXPECT_EQ(result.mpls.PlayList_random_access_flag, 1);
    const auto written = writePlayList(result.mpls);
    ASSERT_EQ(written.size(), bytes.size());
    EXPECT_EQ(written[25], 0);
    EXPECT_EQ(written[40 + 16], 0x80);
    EXPECT_EQ(written[40 + 17], 0);
}

TEST(PlayListFile, ReservedFieldsKeptAsRead) {
    TMPLS mpls = smallPlayList();
    mpls.AppInfo_reserved = 0x12;
    mpls.PlayList.PlayList_reserved = 0x3456;
    mpls.PlayList.PlayItems[0].STN.STN_reserved = 0x789A;
    mpls.PlayListMark.marks[0].mark_reserved = 0x55;
    TSubPath path;
    path.SubPath_reserved1 = 0x11;
    path.SubPath_type = 2;
    path.SubPath_flags = 0x8001;
    path.SubPath_reserved2 = 0x22;
    TSubPlayItem item;
    item.Clip_Information_file_name = "00002";
    item.Clip_codec_identifier = "M2TS";
    item.is_multi_Clip_entries = 1;
    item.Clip_entries_reserved = 0x33;
    item.Clip_entries = {testing::clip("00002"), testing::clip("00003", 1)};
    path.SubPlayItems.push_back(item);
    mpls.PlayList.SubPaths.push_back(path);
    layOut(mpls);
    expectRoundTrip(mpls);
}

TEST(PlayListFile, MultiAngleBlock) {
    TMPLS mpls = smallPlayList();
    TPlayItem& item = mpls.PlayList.PlayItems[0];
    item.is_multi_angle = 1;
    item.multi_clip.is_different_audios = 1;
    item.multi_clip.is_seamless_angle_change = 1;
    item.multi_clip.angles = {testing::clip("00001"), testing::clip("00011", 2), testing::clip("00021", 3)};
    layOut(mpls);
    const auto bytes = writePlayList(mpls);
    // The angle block is 2 + 20 bytes; the STN table starts 22 bytes after still_time.
    const std::size_t itemStart = mpls.PlayList_start_address + 10;
    ASSERT_GT(bytes.size(), itemStart + 34 + 22 + 1);
    EXPECT_EQ(bytes[itemStart + 34], 3); // number_of_angles
    EXPECT_EQ(bytes[itemStart + 35], 3); // both flags
    EXPECT_EQ(std::string(bytes.begin() + itemStart + 36, bytes.begin() + itemStart + 41), "00011");
    EXPECT_EQ(bytes[itemStart + 45], 2); // STC id of angle 1
    const std::size_t stn = itemStart + 34 + 22;
    EXPECT_EQ(bytes[stn] * 256 + bytes[stn + 1], item.STN.STN_length);
    const PlsReadResult back = readOk(bytes);
    ASSERT_EQ(back.mpls.PlayList.PlayItems.size(), 1u);
    const Tmulti_clip& angles = back.mpls.PlayList.PlayItems[0].multi_clip;
    ASSERT_EQ(angles.angles.size(), 3u);
    EXPECT_EQ(angles.angles[0].Clip_Information_file_name, "00001");
    EXPECT_EQ(angles.angles[2].Clip_Information_file_name, "00021");
    EXPECT_EQ(angles.angles[2].ref_to_STC_id, 3);
    expectRoundTrip(mpls);
}

TEST(PlayListFile, SecondaryStreamsWithOddAndEvenReferenceCounts) {
    TMPLS mpls = smallPlayList();
    TSTN& stn = mpls.PlayList.PlayItems[0].STN;
    TSecAudio three;
    three.entry = primaryEntry(2, 0, 0xA1);
    three.entry.ref_to_SubPath_id = 1;
    three.entry.ref_to_stream_PID_of_subClip = 0x1A00;
    three.entry.language_code = "fra";
    three.primary_audio_refs = {1, 2, 3};
    TSecAudio two = three;
    two.primary_audio_refs = {1, 2};
    stn.sec_audio = {three, two};
    TSecVideo video;
    video.entry = primaryEntry(3, 0x1B00, 0x1B);
    video.entry.ref_to_SubPath_id = 2;
    video.secondary_audio_refs = {1};
    video.PiP_PG_textST_refs = {1, 2, 3};
    stn.sec_video = {video};
    // One PG entry and two PiP PG entries, the PiP ones after the PG one.
    stn.number_of_PG_textST_stream_entries = 1;
    TStreamEntry pg = primaryEntry(1, 0x1200, 0x90);
    pg.language_code = "deu";
    TStreamEntry pip = primaryEntry(2, 0, 0x90);
    pip.ref_to_SubPath_id = 2;
    pip.ref_to_stream_PID_of_subClip = 0x1A20;
    stn.PG = {pg, pip, pip};
    TStreamEntry text = primaryEntry(2, 0, 0x92);
    text.character_code = 1;
    text.language_code = "spa";
    stn.PG.push_back(text);
    layOut(mpls);
    // 16 + 2 + 3 + 1 and 16 + 2 + 2 bytes for the secondary audio entries.
    const TSTN before = stn;
    EXPECT_EQ(before.STN_length,
              14 + 16 * 2 + 16 * 4 + (16 + 2 + 3 + 1) + (16 + 2 + 2) + (16 + 2 + 1 + 1 + 2 + 3 + 1));
    const PlsReadResult back = readOk(writePlayList(mpls));
    ASSERT_EQ(back.mpls.PlayList.PlayItems.size(), 1u);
    const TSTN& read = back.mpls.PlayList.PlayItems[0].STN;
    EXPECT_EQ(read.number_of_PG_textST_stream_entries, 1);
    EXPECT_EQ(read.number_of_PiP_PG_textST_stream_entries_plus, 3);
    ASSERT_EQ(read.sec_audio.size(), 2u);
    EXPECT_EQ(read.sec_audio[0].primary_audio_refs, (std::vector<std::uint8_t>{1, 2, 3}));
    EXPECT_EQ(read.sec_audio[0].entry.language_code, "fra");
    EXPECT_EQ(read.sec_video.at(0).PiP_PG_textST_refs, (std::vector<std::uint8_t>{1, 2, 3}));
    EXPECT_EQ(read.sec_video.at(0).entry.ref_to_stream_PID_of_mainClip, 0x1B00);
    EXPECT_EQ(read.PG.at(3).character_code, 1);
    EXPECT_EQ(read.PG.at(3).language_code, "spa");
    expectRoundTrip(mpls);
}

TEST(PlayListFile, ExtensionDataAndGapsComeBack) {
    TMPLS mpls = smallPlayList();
    mpls.ExtensionData.length = 8 + 12 + 4;
    mpls.ExtensionData.data_block_start_address = 24;
    mpls.ExtensionData.number_of_ext_data_entries = 1;
    mpls.ExtensionData.ext_data_entries.push_back({1, 2, 24, 4});
    mpls.ExtensionData.ext_data_block = {1, 2, 3, 4};
    mpls.padding_before_PlayList = {0, 0};
    mpls.padding_before_PlayListMark = {0xEE};
    mpls.padding_before_extension = {0, 0, 0};
    layOut(mpls);
    EXPECT_NE(mpls.ExtensionData_start_address, 0u);
    expectRoundTrip(mpls);
}

TEST(PlayListFile, LongerStructuresKeepTheirExtraBytes) {
    TMPLS mpls = smallPlayList();
    TPlayItem& item = mpls.PlayList.PlayItems[0];
    item.PlayItem_rest = {9, 8};
    item.STN.STN_rest = {7, 6, 5, 4};
    item.STN.video[0].entry_rest = {0xA5};
    item.STN.audio[0].attributes_rest = {0x5A, 0x5B};
    mpls.PlayList.PlayList_rest = {0};
    mpls.PlayListMark.PlayListMark_rest = {1, 2};
    mpls.padding_at_end = {3};
    layOut(mpls);
    const PlsReadResult back = readOk(writePlayList(mpls));
    ASSERT_EQ(back.mpls.PlayList.PlayItems.size(), 1u);
    ASSERT_FALSE(back.mpls.PlayList.PlayItems[0].STN.video.empty());
    ASSERT_FALSE(back.mpls.PlayList.PlayItems[0].STN.audio.empty());
    EXPECT_EQ(back.mpls.PlayList.PlayItems[0].STN.video[0].entry_length, 10);
    EXPECT_EQ(back.mpls.PlayList.PlayItems[0].STN.audio[0].attributes_length, 7);
    expectRoundTrip(mpls);
}

TEST(PlayListFile, UnknownEntryTypesAreReadByTheirLengths) {
    TMPLS mpls = smallPlayList();
    TStreamEntry odd;
    odd.stream_type = 7;
    odd.entry_rest = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
    odd.stream_coding_type = 0x20;
    odd.attributes_rest = {0x61, 0x65, 0x6E, 0x67, 0x99};
    mpls.PlayList.PlayItems[0].STN.audio.push_back(odd);
    layOut(mpls);
    const auto bytes = writePlayList(mpls);
    const PlsReadResult back = readOk(bytes);
    const TStreamEntry& read = back.mpls.PlayList.PlayItems[0].STN.audio.at(1);
    EXPECT_EQ(read.entry_length, 12);
    EXPECT_EQ(read.attributes_length, 6);
    EXPECT_EQ(read.entry_rest, odd.entry_rest);
    EXPECT_EQ(read.attributes_rest, odd.attributes_rest);
    EXPECT_EQ(streamEntrySize(read), 13u + 7);
    // The mark after the STN table is still found.
    EXPECT_EQ(back.mpls.PlayListMark.marks.at(0).mark_time_stamp, 45000u);
    expectRoundTrip(mpls);
}

TEST(PlayListFile, WriteEntryLayoutsByType) {
    ByteWriter out;
    TStreamEntry entry = primaryEntry(2, 0, 0x91);
    entry.ref_to_SubPath_id = 0x12;
    entry.ref_to_subClip_entry_id = 0x34;
    entry.ref_to_stream_PID_of_subClip = 0x1400;
    entry.language_code = "jpn";
    EXPECT_EQ(writeentry(out, 0, entry), 10u);
    EXPECT_EQ(writeattrib(out, 10, entry), 6u);
    const std::vector<std::uint8_t> expected = {9, 2, 0x12, 0x34, 0x14, 0x00, 0,   0,
                                                0, 0, 5,    0x91, 'j',  'p',  'n', 0};
    EXPECT_EQ(out.buffer(), expected);

    ByteWriter three;
    TStreamEntry pip = primaryEntry(3, 0x1B01, 0xEA);
    pip.ref_to_SubPath_id = 4;
    pip.video_format = 4;
    pip.frame_rate = 3;
    writeentry(three, 0, pip);
    writeattrib(three, 10, pip);
    const std::vector<std::uint8_t> expectedPip = {9, 3, 4, 0x1B, 0x01, 0, 0, 0,
                                                   0, 0, 5, 0xEA, 0x43, 0, 0, 0};
    EXPECT_EQ(three.buffer(), expectedPip);
}

// The UHD attribute bits of a video entry and a Dolby Vision enhancement layer list: where
// they sit in the file, and that they come back.
TEST(PlayListFile, UhdAttributesAndDolbyVisionLayers) {
    TMPLS mpls = smallPlayList();
    mpls.version_number = "0300";
    TStreamEntry& video = mpls.PlayList.PlayItems[0].STN.video.at(0);
    video.stream_coding_type = 0x24;
    video.video_format = 8;
    video.frame_rate = 1;
    video.dynamic_range_type = 2;
    video.color_space = 2;
    video.cr_flag = 1;
    video.HDR_plus_flag = 1;
    ByteWriter attributes;
    writeattrib(attributes, 0, video);
    EXPECT_EQ(attributes.buffer(), (std::vector<std::uint8_t>{5, 0x24, 0x81, 0x22, 0xC0, 0}));
    EXPECT_EQ(attributeText(video, ListPrimaryVideo),
              "HEVC, 2160p, 23.976, Dolby Vision, BT.2020, CR, HDR10+ flag");

    TStreamEntry layer = primaryEntry(4, 0, 0x24);
    layer.ref_to_SubPath_id = 1;
    layer.ref_to_stream_PID_of_subClip = 0x1015;
    layer.video_format = 8;
    layer.dynamic_range_type = 2;
    mpls.PlayList.PlayItems[0].STN.DV_EL.push_back(layer);
    TSubPath path;
    path.SubPath_type = 10;
    mpls.PlayList.SubPaths.push_back(path);
    layOut(mpls);
    const auto bytes = writePlayList(mpls);
    const PlsReadResult back = readOk(bytes);
    EXPECT_EQ(back.mpls, mpls);
    const TSTN& stn = back.mpls.PlayList.PlayItems[0].STN;
    ASSERT_EQ(stn.DV_EL.size(), 1u);
    EXPECT_EQ(stn.DV_EL[0].ref_to_stream_PID_of_subClip, 0x1015);
    EXPECT_EQ(stnCountRow(stn).back(), "1");
    EXPECT_EQ(streamEntryRows(stn, ListDolbyVisionEL).at(0).at(1), "DV EL");
    EXPECT_EQ(subPathRow(back.mpls.PlayList.SubPaths.at(0), 0).at(1), "DV EL");
}

TEST(PlayListFile, SubPlayItemConnectionWord) {
    TMPLS mpls = smallPlayList();
    TSubPath path;
    path.SubPath_type = 3;
    TSubPlayItem item;
    item.Clip_Information_file_name = "00005";
    item.Clip_codec_identifier = "M2TS";
    item.SP_connection_condition = 6;
    item.SubPlayItem_IN_time = 100;
    item.SubPlayItem_OUT_time = 200;
    item.sync_PlayItem_id = 1;
    item.sync_start_PTS_of_PlayItem = 300;
    path.SubPlayItems.push_back(item);
    mpls.PlayList.SubPaths.push_back(path);
    layOut(mpls);
    const auto bytes = writePlayList(mpls);
    const PlsReadResult back = readOk(bytes);
    const TSubPlayItem& read = back.mpls.PlayList.SubPaths.at(0).SubPlayItems.at(0);
    EXPECT_EQ(read.SP_connection_condition, 6);
    EXPECT_EQ(read.is_multi_Clip_entries, 0);
    EXPECT_EQ(read.sync_start_PTS_of_PlayItem, 300u);
    expectRoundTrip(mpls);
}

TEST(PlayListFile, NoMarkSection) {
    TMPLS mpls = smallPlayList();
    mpls.PlayListMark = TPlayListMark{};
    layOut(mpls);
    mpls.PlayListMark_start_address = 0;
    const auto bytes = writePlayList(mpls);
    const PlsReadResult back = readOk(bytes);
    EXPECT_TRUE(back.mpls.PlayListMark.marks.empty());
    EXPECT_EQ(byteDifference(bytes, writePlayList(back.mpls)), "");
}

TEST(PlayListFile, HevcEntriesAndExtensionDataOfARealFile) {
    const auto bytes = testing::readPlaylistSample("bdpl-disc5-00001-0300-extdata.mpls");
    const PlsReadResult result = readOk(bytes);
    const TMPLS& mpls = result.mpls;
    EXPECT_NE(mpls.ExtensionData_start_address, 0u);
    EXPECT_FALSE(mpls.ExtensionData.ext_data_entries.empty());
    const TStreamEntry& video = mpls.PlayList.PlayItems.at(0).STN.video.at(0);
    EXPECT_EQ(video.stream_coding_type, 0x24);
    EXPECT_EQ(attributeText(video, ListPrimaryVideo), "HEVC, 2160p, 23.976, HDR10, BT.2020");
    EXPECT_TRUE(video.attributes_rest.empty());
    EXPECT_EQ(testing::byteDifference(bytes, writePlayList(mpls)), "");
}

// A playlist made from scratch gets its lengths and addresses from layOutPlayList: real
// files with every length and address cleared come back byte for byte.
TEST(PlayListFile, LayOutRestoresEveryLengthAndAddress) {
    for (const char* name : {"bdpl-disc1-00002-subpath-17marks.mpls", "bdpl-disc6-00002-4audio-4pg.mpls",
                             "bdpl-disc27-00000-60items.mpls"}) {
        SCOPED_TRACE(name);
        const auto bytes = readPlaylistSample(name);
        TMPLS mpls = readOk(bytes).mpls;
        mpls.PlayList_start_address = mpls.PlayListMark_start_address = 0;
        mpls.PlayList.PlayList_length = 0;
        mpls.PlayList.number_of_PlayItems = 0;
        for (TPlayItem& item : mpls.PlayList.PlayItems) item.PlayItem_length = item.STN.STN_length = 0;
        for (TSubPath& path : mpls.PlayList.SubPaths) {
            path.SubPath_length = 0;
            for (TSubPlayItem& item : path.SubPlayItems) item.SubPlayItem_length = 0;
        }
        mpls.PlayListMark.PlayListMark_length = 0;
        layOutPlayList(mpls);
        EXPECT_EQ(byteDifference(bytes, writePlayList(mpls)), "");
    }
}

} // namespace
} // namespace corvane
