// Playlist edits: every edit that adds or removes bytes must leave lengths and
// start addresses that describe the file the writer then lays out, so the check
// after each edit is that the reader takes the written file back whole and that
// recomputing every size from the content changes nothing.

#include <gtest/gtest.h>

#include "playlist/PlayListDisplay.h"
#include "playlist/PlayListEdit.h"
#include "playlist/PlayListReader.h"
#include "playlist/PlayListTestUtil.h"
#include "playlist/PlayListWriter.h"

namespace corvane {
namespace {

using testing::layOut;
using testing::primaryEntry;
using testing::readPlaylistSample;

TMPLS readSample(const std::string& name) {
    PlsReadResult result = readPlayList(readPlaylistSample(name), name);
    EXPECT_EQ(result.status, ReadStatus::Ok);
    return result.mpls;
}

// The edited model's sizes equal those recomputed from its content, and the written
// file reads back into the same model.
void expectConsistent(const TMPLS& mpls) {
    TMPLS recomputed = mpls;
    layOut(recomputed);
    EXPECT_EQ(recomputed.PlayList.PlayList_length, mpls.PlayList.PlayList_length);
    EXPECT_EQ(recomputed.PlayListMark_start_address, mpls.PlayListMark_start_address);
    EXPECT_EQ(recomputed.ExtensionData_start_address, mpls.ExtensionData_start_address);
    EXPECT_EQ(recomputed.PlayListMark.PlayListMark_length, mpls.PlayListMark.PlayListMark_length);
    for (std::size_t i = 0; i < mpls.PlayList.PlayItems.size(); ++i) {
        EXPECT_EQ(recomputed.PlayList.PlayItems[i].PlayItem_length,
                  mpls.PlayList.PlayItems[i].PlayItem_length)
            << i;
        EXPECT_EQ(recomputed.PlayList.PlayItems[i].STN.STN_length, mpls.PlayList.PlayItems[i].STN.STN_length)
            << i;
    }
    for (std::size_t i = 0; i < mpls.PlayList.SubPaths.size(); ++i)
        EXPECT_EQ(recomputed.PlayList.SubPaths[i].SubPath_length, mpls.PlayList.SubPaths[i].SubPath_length)
            << i;
    const PlsReadResult back = readPlayList(writePlayList(mpls), "edited.mpls");
    ASSERT_EQ(back.status, ReadStatus::Ok);
    EXPECT_TRUE(back.mpls == mpls);
}

// One PlayItem with secondary streams and a SubPath, and ExtensionData behind the marks.
TMPLS richPlayList() {
    TMPLS mpls;
    TPlayItem item;
    item.Clip_Information_file_name = "00010";
    item.Clip_codec_identifier = "M2TS";
    item.IN_time = 90000;
    item.OUT_time = 900000;
    item.STN.video.push_back(primaryEntry(1, 0x1011, 0x1B));
    item.STN.audio.push_back(primaryEntry(1, 0x1100, 0x81));
    item.STN.PG.push_back(primaryEntry(1, 0x1200, 0x90));
    item.STN.PG.push_back(primaryEntry(1, 0x1A00, 0x90)); // PiP PG
    item.STN.number_of_PG_textST_stream_entries = 1;
    TSecAudio secAudio;
    secAudio.entry = primaryEntry(1, 0x1A01, 0xA1);
    secAudio.primary_audio_refs = {0, 1, 2};
    item.STN.sec_audio.push_back(secAudio);
    TSecVideo secVideo;
    secVideo.entry = primaryEntry(1, 0x1B00, 0x1B);
    secVideo.secondary_audio_refs = {0};
    secVideo.PiP_PG_textST_refs = {0, 1};
    item.STN.sec_video.push_back(secVideo);
    mpls.PlayList.PlayItems.push_back(item);
    TSubPath path;
    path.SubPath_type = 2;
    path.SubPath_flags = 1;
    TSubPlayItem sub;
    sub.Clip_Information_file_name = "00011";
    sub.Clip_codec_identifier = "M2TS";
    sub.SP_connection_condition = 1;
    sub.SubPlayItem_IN_time = 90000;
    sub.SubPlayItem_OUT_time = 180000;
    path.SubPlayItems.push_back(sub);
    mpls.PlayList.SubPaths.push_back(path);
    mpls.PlayListMark.marks.push_back({0, 1, 0, 90000, 0xFFFF, 0});
    mpls.PlayListMark.marks.push_back({0, 1, 0, 450000, 0xFFFF, 0});
    mpls.ExtensionData.length = 12;
    mpls.ExtensionData.data_block_start_address = 0;
    layOut(mpls);
    return mpls;
}

TEST(PlayListEdit, StreamEntryInsertGrowsEverySizeBySixteen) {
    TMPLS mpls = readSample("bdpl-disc1-00002-subpath-17marks.mpls");
    const TMPLS before = mpls;
    const auto at = insertStreamEntry(mpls, 1, ListPrimaryAudio, 0);
    ASSERT_EQ(at, 1u);
    const TPlayItem& item = mpls.PlayList.PlayItems[1];
    EXPECT_EQ(item.STN.STN_length, before.PlayList.PlayItems[1].STN.STN_length + 16);
    EXPECT_EQ(item.PlayItem_length, before.PlayList.PlayItems[1].PlayItem_length + 16);
    EXPECT_EQ(mpls.PlayList.PlayList_length, before.PlayList.PlayList_length + 16);
    EXPECT_EQ(mpls.PlayListMark_start_address, before.PlayListMark_start_address + 16);
    EXPECT_EQ(mpls.ExtensionData_start_address, 0u);
    const TStreamEntry& audio = item.STN.audio[1];
    EXPECT_EQ(audio.ref_to_stream_PID_of_mainClip, 0x1100);
    EXPECT_EQ(audio.stream_coding_type, 0x81);
    EXPECT_EQ(audio.audio_presentation_type, 6);
    EXPECT_EQ(audio.language_code, "eng");
    expectConsistent(mpls);
    const auto written = writePlayList(mpls);
    EXPECT_EQ(written.size(), writePlayList(before).size() + 16);
}

TEST(PlayListEdit, StreamEntryInsertAndDeleteKeepPiPAfterPG) {
    TMPLS mpls = richPlayList();
    ASSERT_EQ(insertStreamEntry(mpls, 0, ListPG, 0), 1u);
    TSTN& stn = mpls.PlayList.PlayItems[0].STN;
    EXPECT_EQ(stnListSize(stn, ListPG), 2u);
    EXPECT_EQ(stnListSize(stn, ListPiPPG), 1u);
    EXPECT_EQ(stnEntry(stn, ListPiPPG, 0)->ref_to_stream_PID_of_mainClip, 0x1A00);
    expectConsistent(mpls);

    auto removed = deleteStreamEntry(mpls, 0, ListPG, 0);
    EXPECT_TRUE(removed.deleted);
    EXPECT_EQ(removed.select, 0u);
    EXPECT_EQ(stnEntry(stn, ListPiPPG, 0)->ref_to_stream_PID_of_mainClip, 0x1A00);
    expectConsistent(mpls);

    // IG entries come in on a SubPath.
    ASSERT_EQ(insertStreamEntry(mpls, 0, ListIG, std::nullopt), 0u);
    EXPECT_EQ(stn.IG[0].stream_type, 2);
    EXPECT_EQ(stn.IG[0].ref_to_stream_PID_of_subClip, 0x1400);
    expectConsistent(mpls);
}

TEST(PlayListEdit, SecondaryEntriesShrinkByTheirWholeSize) {
    TMPLS mpls = richPlayList();
    const std::uint32_t length = mpls.PlayList.PlayList_length;
    const std::uint32_t extension = mpls.ExtensionData_start_address;
    EXPECT_TRUE(deleteStreamEntry(mpls, 0, ListSecondaryAudio, 0).deleted);
    EXPECT_EQ(mpls.PlayList.PlayList_length, length - 22); // 16 + 2 + 3 references + pad
    EXPECT_EQ(mpls.ExtensionData_start_address, extension - 22);
    expectConsistent(mpls);
    EXPECT_TRUE(deleteStreamEntry(mpls, 0, ListSecondaryVideo, 0).deleted);
    EXPECT_EQ(mpls.PlayList.PlayList_length, length - 22 - 24); // 16 + (2+1+1) + (2+2)
    expectConsistent(mpls);
}

TEST(PlayListEdit, StreamListLimits) {
    TMPLS mpls = richPlayList();
    TSTN& stn = mpls.PlayList.PlayItems[0].STN;
    // The last primary audio entry and primary video entries stay.
    EXPECT_FALSE(deleteStreamEntry(mpls, 0, ListPrimaryAudio, 0).deleted);
    EXPECT_FALSE(deleteStreamEntry(mpls, 0, ListPrimaryVideo, 0).deleted);
    EXPECT_FALSE(insertStreamEntry(mpls, 0, ListSecondaryAudio, 0));
    EXPECT_FALSE(insertStreamEntry(mpls, 0, ListPrimaryVideo, 0));
    while (insertStreamEntry(mpls, 0, ListPrimaryAudio, 0)) {
    }
    EXPECT_EQ(stn.audio.size(), 32u);
    auto buttons = stnButtons(stn, ListPrimaryAudio);
    ASSERT_TRUE(buttons);
    EXPECT_FALSE(buttons->insert);
    EXPECT_TRUE(buttons->remove);
    buttons = stnButtons(stn, ListPrimaryVideo);
    EXPECT_FALSE(buttons->insert || buttons->remove);
    EXPECT_FALSE(stnButtons(stn, ListIG)); // empty list: buttons stay as they were
    expectConsistent(mpls);
    // A bad PlayItem index or row changes nothing.
    const TMPLS before = mpls;
    EXPECT_FALSE(insertStreamEntry(mpls, 7, ListPrimaryAudio, 0));
    EXPECT_FALSE(deleteStreamEntry(mpls, 0, ListPG, 5).deleted);
    EXPECT_TRUE(mpls == before);
}

TEST(PlayListEdit, EntryEditorsAndFields) {
    TStreamEntry audio = primaryEntry(1, 0x1100, 0xA2);
    audio.language_code = "jpn";
    EntryEditors editors = entryEditors(audio, ListSecondaryAudio);
    EXPECT_TRUE(editors.mainPID && editors.audio && editors.language);
    EXPECT_FALSE(editors.subPID || editors.video);
    EXPECT_EQ(editors.audioIndex, 8);
    EXPECT_EQ(languageCodes()[static_cast<std::size_t>(editors.languageIndex)], "jpn");
    TStreamEntry pg = primaryEntry(1, 0x1200, 0x90);
    pg.language_code = "eng";
    EXPECT_EQ(entryEditors(pg, ListPG).languageIndex, 0); // "eng" comes first
    pg.language_code = "xx";
    EXPECT_EQ(entryEditors(pg, ListPG).languageIndex, -1);
    EXPECT_FALSE(entryEditors(primaryEntry(1, 0x1A00, 0x90), ListPiPPG).language);

    setEntryField(audio, EntryField::Audio, 1);
    EXPECT_EQ(audio.stream_coding_type, 0x81);
    setEntryField(audio, EntryField::Language, 0);
    EXPECT_EQ(audio.language_code, "eng");
    EXPECT_EQ(languageCodes().size(), 431u);

    // Type changes keep the entry's size: known → unknown → known gives the fields back.
    TStreamEntry entry = primaryEntry(2, 0, 0x91);
    entry.ref_to_SubPath_id = 1;
    entry.ref_to_subClip_entry_id = 2;
    entry.ref_to_stream_PID_of_subClip = 0x1400;
    const std::size_t size = streamEntrySize(entry);
    setEntryField(entry, EntryField::Type, 0);
    EXPECT_EQ(streamEntrySize(entry), size);
    setEntryField(entry, EntryField::Type, 2);
    EXPECT_EQ(streamEntrySize(entry), size);
    EXPECT_EQ(entry.ref_to_stream_PID_of_subClip, 0x1400);
    EXPECT_EQ(entry.ref_to_subClip_entry_id, 2);
    // An unknown entry too short for a known layout keeps its type.
    TStreamEntry shortEntry = primaryEntry(9, 0, 0x91);
    setEntryField(shortEntry, EntryField::Type, 1);
    EXPECT_EQ(shortEntry.stream_type, 9);

    TSTN stn;
    stn.audio = {audio};
    const GridRow row = streamEntryRows(stn, ListPrimaryAudio).at(0);
    EXPECT_EQ(row[1], "PlayItem");
    EXPECT_EQ(row[2], "1100");
    EXPECT_EQ(row[6], "DD, -, -, eng");
}

TEST(PlayListEdit, PlayItemCells) {
    TPlayItem item;
    EXPECT_TRUE(editPlayItemCell(item, 7, "00000001"));
    EXPECT_EQ(item.UO_mask_table2, 0u);
    EXPECT_TRUE(editPlayItemCell(item, 7, "40000000"));
    EXPECT_EQ(item.UO_mask_table2, 0x40000000u);
    EXPECT_TRUE(editPlayItemCell(item, 6, "8000000F"));
    EXPECT_EQ(item.UO_mask_table1, 0x8000000Fu);
    EXPECT_FALSE(editPlayItemCell(item, 6, "8000 00F"));
    EXPECT_FALSE(editPlayItemCell(item, 6, "80000G0F"));
    EXPECT_FALSE(editPlayItemCell(item, 1, "0001"));
    EXPECT_TRUE(editPlayItemCell(item, 1, "00042"));
    EXPECT_EQ(item.Clip_Information_file_name, "00042");
    EXPECT_TRUE(editPlayItemCell(item, 4, "01:00:00.000"));
    EXPECT_EQ(item.OUT_time, 162000000u);
    EXPECT_FALSE(editPlayItemCell(item, 4, "1:00:00.000 "));
    EXPECT_FALSE(editPlayItemCell(item, 2, "M2TS"));

    EXPECT_EQ(parseTimeText("00:00:01.500"), 67500u);
    EXPECT_EQ(parseTimeText("26:30:00.000"), 26u * 162000000 + 30 * 2700000);
    EXPECT_FALSE(parseTimeText("99:00:00.000")); // past 32 bits
    EXPECT_FALSE(parseTimeText("00-00:01.500"));
    EXPECT_EQ(withBit(0xFFFFFFFF, 29, false), 0xDFFFFFFFu);
    EXPECT_EQ(uoHint(29), "UO29: Chapter search");
    EXPECT_EQ(uoHint(26), "Skip back to previous point ");
}

TEST(PlayListEdit, InTimeCascade) {
    TMPLS mpls = richPlayList();
    const TMPLS before = mpls;
    const std::uint32_t newIn = 90000 + 4500;
    const InTimeQuestions questions = inTimeQuestions(mpls, 0, newIn);
    EXPECT_TRUE(questions.changed && questions.askSubPlayItems && questions.askMarks);
    EXPECT_FALSE(inTimeQuestions(mpls, 0, 90000).changed);

    applyInTime(mpls, 0, newIn, {});
    EXPECT_EQ(mpls.PlayList.PlayItems[0].IN_time, newIn);
    TMPLS onlyIn = before;
    onlyIn.PlayList.PlayItems[0].IN_time = newIn;
    EXPECT_TRUE(mpls == onlyIn);

    mpls = before;
    applyInTime(mpls, 0, newIn, {true, true, true});
    EXPECT_EQ(mpls.PlayList.PlayItems[0].OUT_time, 900000u + 4500);
    EXPECT_EQ(mpls.PlayList.SubPaths[0].SubPlayItems[0].SubPlayItem_IN_time, 90000u + 4500);
    EXPECT_EQ(mpls.PlayList.SubPaths[0].SubPlayItems[0].SubPlayItem_OUT_time, 180000u + 4500);
    EXPECT_EQ(mpls.PlayListMark.marks[1].mark_time_stamp, 450000u + 4500);
    // Moving back wraps in 32 bits and lands where it started.
    applyInTime(mpls, 0, 90000, {true, true, true});
    EXPECT_TRUE(mpls == before);
}

TEST(PlayListEdit, SubPathInsertDeleteAndType) {
    TMPLS mpls = readSample("bdpl-disc1-00000-no-subpath.mpls");
    const TMPLS before = mpls;
    ASSERT_EQ(insertSubPath(mpls, std::nullopt), 0u);
    const TSubPath& path = mpls.PlayList.SubPaths[0];
    EXPECT_EQ(path.SubPath_type, 3);
    EXPECT_EQ(path.SubPath_length, 36u);
    EXPECT_EQ(path.SubPlayItems[0].SubPlayItem_IN_time, mpls.PlayList.PlayItems[0].IN_time);
    EXPECT_EQ(path.SubPlayItems[0].Clip_Information_file_name,
              mpls.PlayList.PlayItems[0].Clip_Information_file_name);
    EXPECT_EQ(mpls.PlayList.PlayList_length, before.PlayList.PlayList_length + 40);
    expectConsistent(mpls);
    ASSERT_EQ(insertSubPath(mpls, 0), 1u);
    setSubPathType(mpls.PlayList.SubPaths[1], 2);
    setSubPathRepeat(mpls.PlayList.SubPaths[1], true);
    EXPECT_EQ(subPathRow(mpls.PlayList.SubPaths[1], 1), (GridRow{"001", "p. Audio", "Yes", "1"}));
    setSubPathType(mpls.PlayList.SubPaths[1], 3);
    EXPECT_EQ(mpls.PlayList.SubPaths[1].SubPath_flags, 0);

    // A multi-clip SubPlayItem takes its clip-entry block with it.
    ASSERT_TRUE(editSubPlayItemCell(mpls, 1, 0, 4, "Y"));
    EXPECT_EQ(mpls.PlayList.SubPaths[1].SubPlayItems[0].SubPlayItem_length, 30);
    expectConsistent(mpls);
    auto removed = deleteSubPath(mpls, 1);
    EXPECT_TRUE(removed.deleted);
    EXPECT_EQ(removed.select, 0u);
    removed = deleteSubPath(mpls, 0);
    EXPECT_FALSE(removed.select);
    EXPECT_TRUE(mpls == before);
    EXPECT_FALSE(deleteSubPath(mpls, 0).deleted);

    TMPLS empty;
    EXPECT_FALSE(insertSubPath(empty, std::nullopt)); // no PlayItem to take the clip from
}

TEST(PlayListEdit, SubPlayItemCells) {
    TMPLS mpls = richPlayList();
    const TSubPlayItem& item = mpls.PlayList.SubPaths[0].SubPlayItems[0];
    EXPECT_TRUE(editSubPlayItemCell(mpls, 0, 0, 3, "4"));
    EXPECT_EQ(item.SP_connection_condition, 1);
    EXPECT_TRUE(editSubPlayItemCell(mpls, 0, 0, 3, "6"));
    EXPECT_EQ(item.SP_connection_condition, 6);
    EXPECT_FALSE(editSubPlayItemCell(mpls, 0, 0, 3, "6 "));
    EXPECT_TRUE(editSubPlayItemCell(mpls, 0, 0, 8, "1000"));
    EXPECT_EQ(item.sync_PlayItem_id, 1);
    EXPECT_TRUE(editSubPlayItemCell(mpls, 0, 0, 9, "00:00:02.000"));
    EXPECT_EQ(item.sync_start_PTS_of_PlayItem, 90000u);
    EXPECT_FALSE(editSubPlayItemCell(mpls, 0, 0, 5, "300"));
    EXPECT_FALSE(editSubPlayItemCell(mpls, 0, 3, 5, "1"));
    const GridRow row = subPlayItemRow(item, 0);
    EXPECT_EQ(row[3], "6");
    EXPECT_EQ(row[9], "00:00:02.000");
    expectConsistent(mpls);
}

TEST(PlayListEdit, ExtensionDataAfterAnEditLandsBehindTheMarks) {
    TMPLS mpls = readSample("bdpl-disc1-00002-subpath-17marks.mpls");
    const std::size_t plain = writePlayList(mpls).size();
    ASSERT_TRUE(insertStreamEntry(mpls, 1, ListPrimaryAudio, 0)); // PlayList() and the marks move by 16
    TExtensionData block;
    block.data_block_start_address = 0x28;
    block.number_of_ext_data_entries = 2;
    block.ext_data_entries = {{0x0001, 0x0002, 0x28, 33}, {0x1000, 0x0003, 0x49, 7}};
    block.ext_data_block.assign(40, 0x41);
    block.length = 8 + 12 * 2 + 40;

    setPlayListExtensionData(mpls, block);
    EXPECT_EQ(mpls.ExtensionData_start_address,
              mpls.PlayListMark_start_address + 4 + mpls.PlayListMark.PlayListMark_length);
    expectConsistent(mpls); // written and read back with the block in place
    EXPECT_EQ(writePlayList(mpls).size(), plain + 16 + 4 + block.length);

    setPlayListExtensionData(mpls, TExtensionData{});
    EXPECT_EQ(mpls.ExtensionData_start_address, 0u);
    expectConsistent(mpls);
    EXPECT_EQ(writePlayList(mpls).size(), plain + 16);
}

} // namespace
} // namespace corvane
