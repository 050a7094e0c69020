// Marks and chapter files: sizes kept in step, the playlist time axis, the PlayItem
// search on loading, and chapter files that come back to the marks they came from.

#include <gtest/gtest.h>

#include "playlist/ChapterFiles.h"
#include "playlist/PlayListMarks.h"
#include "playlist/PlayListReader.h"
#include "playlist/PlayListTestUtil.h"
#include "playlist/PlayListWriter.h"

namespace corvane {
namespace {

using testing::layOut;
using testing::primaryEntry;
using testing::readPlaylistSample;

// Three PlayItems of 900000 ticks (20 s) each on different clip time axes.
TMPLS threeItems(std::uint8_t frameRate = 2) {
    TMPLS mpls;
    const std::uint32_t ins[] = {45000, 900000, 27000000};
    for (std::uint32_t in : ins) {
        TPlayItem item;
        item.Clip_Information_file_name = "00001";
        item.Clip_codec_identifier = "M2TS";
        item.IN_time = in;
        item.OUT_time = in + 900000;
        item.STN.video.push_back(primaryEntry(1, 0x1011, 0x1B));
        item.STN.video[0].frame_rate = frameRate;
        mpls.PlayList.PlayItems.push_back(item);
    }
    mpls.ExtensionData.length = 12;
    layOut(mpls);
    return mpls;
}

void expectWritable(const TMPLS& mpls) {
    TMPLS recomputed = mpls;
    layOut(recomputed);
    EXPECT_EQ(recomputed.PlayListMark.PlayListMark_length, mpls.PlayListMark.PlayListMark_length);
    EXPECT_EQ(recomputed.ExtensionData_start_address, mpls.ExtensionData_start_address);
    const PlsReadResult back = readPlayList(writePlayList(mpls), "marks.mpls");
    ASSERT_EQ(back.status, ReadStatus::Ok);
    EXPECT_TRUE(back.mpls == mpls);
}

TEST(PlayListMarks, InsertAndDeleteKeepSizes) {
    TMPLS mpls = threeItems();
    const std::uint32_t extension = mpls.ExtensionData_start_address;
    ASSERT_EQ(insertMark(mpls, std::nullopt), 0u);
    for (int i = 0; i < 4; ++i) ASSERT_TRUE(insertMark(mpls, static_cast<std::size_t>(i)));
    ASSERT_EQ(mpls.PlayListMark.marks.size(), 5u);
    EXPECT_EQ(mpls.PlayListMark.PlayListMark_length, 2u + 5 * 14);
    EXPECT_EQ(mpls.ExtensionData_start_address, extension + 5 * 14);
    EXPECT_EQ(mpls.PlayListMark.marks[0].entry_ES_PID, 0xFFFF);
    EXPECT_EQ(mpls.PlayListMark.marks[0].mark_type, 1);
    // A new mark starts at its PlayItem's IN time (the first PlayItem without one given).
    EXPECT_EQ(mpls.PlayListMark.marks[0].ref_to_PlayItem_id, 0);
    EXPECT_EQ(mpls.PlayListMark.marks[0].mark_time_stamp, 45000u);
    ASSERT_EQ(insertMark(mpls, 4, 2), 5u);
    EXPECT_EQ(mpls.PlayListMark.marks[5].ref_to_PlayItem_id, 2);
    EXPECT_EQ(mpls.PlayListMark.marks[5].mark_time_stamp, 27000000u);
    deleteMarks(mpls, 5, 5);
    expectWritable(mpls);

    const auto result = deleteMarks(mpls, 1, 3);
    EXPECT_EQ(result.removed, 3u);
    EXPECT_EQ(result.select, 0u);
    EXPECT_EQ(mpls.PlayListMark.PlayListMark_length, 2u + 2 * 14);
    expectWritable(mpls);
    EXPECT_EQ(deleteMarks(mpls, 0, 9).select, std::nullopt);
    EXPECT_EQ(deleteMarks(mpls, 0, 0).removed, 0u);
    EXPECT_EQ(mpls.ExtensionData_start_address, extension);

    for (std::size_t i = 0; i < MaxMarks; ++i)
        ASSERT_TRUE(insertMark(mpls, i == 0 ? std::nullopt : std::optional(i - 1)));
    EXPECT_FALSE(insertMark(mpls, 0));
}

TEST(PlayListMarks, MissingMarkSectionIsCreated) {
    TMPLS mpls = threeItems();
    mpls.ExtensionData = {};
    layOut(mpls);
    mpls.PlayListMark_start_address = 0;
    ASSERT_TRUE(insertMark(mpls, std::nullopt));
    expectWritable(mpls);
}

TEST(PlayListMarks, MarkTimeFields) {
    const MarkTime time = markTime(45 * (3600000u + 2 * 60000 + 3 * 1000 + 4));
    EXPECT_EQ(time.hours, 1u);
    EXPECT_EQ(time.minutes, 2u);
    EXPECT_EQ(time.seconds, 3u);
    EXPECT_EQ(time.milliseconds, 4u);
    EXPECT_EQ(markTimeStamp({30, 75, 61, 5}), 25u * 162000000 + 59 * 2700000 + 59 * 45000 + 5 * 45);
}

TEST(PlayListMarks, SavedChapterTimesRunOverThePlayItems) {
    TMPLS mpls = threeItems();
    mpls.PlayListMark.marks = {{0, 1, 2, 27000000 + 45000, 0xFFFF, 0}, {0, 2, 0, 45000, 0xFFFF, 0}};
    layOut(mpls);
    EXPECT_EQ(chapterText(mpls, ChapterFormat::PTS).text, "1845000\r\n0\r\n");
    EXPECT_EQ(chapterText(mpls, ChapterFormat::Time).text, "00:00:41.000\r\n00:00:00.000\r\n");
    EXPECT_EQ(chapterText(mpls, ChapterFormat::Frame).text, "984000\r\n0\r\n"); // 41 s at 24 fps, ×1000

    TMPLS ninety = threeItems();
    ninety.PlayList.PlayItems[0].OUT_time = 45000 + 5400u * 45000;
    ninety.PlayListMark.marks = {{0, 1, 1, 900000, 0xFFFF, 0}};
    layOut(ninety);
    EXPECT_EQ(chapterText(ninety, ChapterFormat::Time).text, "01:30:00.000\r\n");

    TMPLS unknownRate = threeItems(5);
    EXPECT_FALSE(chapterText(unknownRate, ChapterFormat::Frame).error.empty());
    EXPECT_EQ(chapterFileName("00001", ChapterFormat::Frame), "chapter_00001_frame.txt");
}

TEST(PlayListMarks, LoadingFindsThePlayItem) {
    TMPLS mpls = threeItems();
    const ChapterImport result =
        importChapters(mpls, "0\r\n900000\r\n1845000\r\n950000\n", ChapterFormat::PTS);
    ASSERT_TRUE(result.changed);
    const auto& marks = mpls.PlayListMark.marks;
    ASSERT_EQ(marks.size(), 4u);
    EXPECT_EQ(marks[0].ref_to_PlayItem_id, 0);
    EXPECT_EQ(marks[0].mark_time_stamp, 45000u);
    EXPECT_EQ(marks[1].ref_to_PlayItem_id, 1); // exactly at the boundary: the next PlayItem
    EXPECT_EQ(marks[1].mark_time_stamp, 900000u);
    EXPECT_EQ(marks[2].ref_to_PlayItem_id, 2);
    EXPECT_EQ(marks[2].mark_time_stamp, 27000000u + 45000);
    EXPECT_EQ(marks[3].ref_to_PlayItem_id, 1);
    EXPECT_EQ(marks[3].mark_time_stamp, 900000u + 50000);
    ASSERT_FALSE(result.log.empty());
    EXPECT_EQ(result.log.back(), "1, 00:00:20.000");
    expectWritable(mpls);
}

TEST(PlayListMarks, ChapterFilesComeBack) {
    for (std::uint8_t rate : {1, 2, 3, 4, 6, 7})
        for (ChapterFormat format : {ChapterFormat::PTS, ChapterFormat::Frame, ChapterFormat::Time,
                                     ChapterFormat::OGM, ChapterFormat::XML}) {
            SCOPED_TRACE(std::to_string(rate) + " " + std::to_string(static_cast<int>(format)));
            TMPLS mpls = threeItems(rate);
            // Whole milliseconds on frame boundaries of every rate: 0 s, 10 s, 21 s, 50 s.
            mpls.PlayListMark.marks = {{0, 1, 0, 45000, 0xFFFF, 0},
                                       {0, 1, 0, 45000 + 450000, 0xFFFF, 0},
                                       {0, 1, 1, 900000 + 45000, 0xFFFF, 0},
                                       {0, 1, 2, 27000000 + 450000, 0xFFFF, 0}};
            layOut(mpls);
            const TMPLS before = mpls;
            const std::string text = chapterText(mpls, format).text;
            const ChapterImport result = importChapters(mpls, text, format);
            ASSERT_TRUE(result.changed) << result.error;
            for (std::size_t i = 0; i < before.PlayListMark.marks.size(); ++i) {
                EXPECT_EQ(mpls.PlayListMark.marks[i].ref_to_PlayItem_id,
                          before.PlayListMark.marks[i].ref_to_PlayItem_id);
                EXPECT_NEAR(mpls.PlayListMark.marks[i].mark_time_stamp,
                            before.PlayListMark.marks[i].mark_time_stamp, 45);
            }
        }
}

TEST(PlayListMarks, ChaptersAtPlayItemStartsComeBackOnTheirPlayItem) {
    for (std::uint8_t rate : {1, 2, 3, 4, 6, 7})
        for (ChapterFormat format : {ChapterFormat::PTS, ChapterFormat::Frame, ChapterFormat::Time,
                                     ChapterFormat::OGM, ChapterFormat::XML}) {
            SCOPED_TRACE(std::to_string(rate) + " " + std::to_string(static_cast<int>(format)));
            TMPLS mpls = threeItems(rate);
            // Durations that are neither whole frames nor whole milliseconds.
            auto& items = mpls.PlayList.PlayItems;
            items[0].OUT_time = items[0].IN_time + 900007;
            items[1].IN_time = 900011;
            items[1].OUT_time = 900011 + 451213;
            mpls.PlayListMark.marks = {{0, 1, 0, items[0].IN_time, 0xFFFF, 0},
                                       {0, 1, 1, items[1].IN_time, 0xFFFF, 0},
                                       {0, 1, 1, items[1].IN_time + 1000, 0xFFFF, 0},
                                       {0, 1, 2, items[2].IN_time, 0xFFFF, 0}};
            layOut(mpls);
            const TMPLS before = mpls;
            ASSERT_TRUE(importChapters(mpls, chapterText(mpls, format).text, format).changed);
            const auto& marks = mpls.PlayListMark.marks;
            ASSERT_EQ(marks.size(), 4u);
            for (std::size_t i : {0, 1, 3}) {
                EXPECT_EQ(marks[i].ref_to_PlayItem_id, before.PlayListMark.marks[i].ref_to_PlayItem_id) << i;
                EXPECT_EQ(marks[i].mark_time_stamp, before.PlayListMark.marks[i].mark_time_stamp) << i;
            }
            EXPECT_EQ(marks[2].ref_to_PlayItem_id, 1); // just after a start: still on its PlayItem
        }
}

TEST(PlayListMarks, LoadingOddFiles) {
    TMPLS mpls = threeItems();
    const TMPLS before = mpls;
    EXPECT_FALSE(importChapters(mpls, "", ChapterFormat::PTS).changed);
    EXPECT_TRUE(mpls == before);
    // Past the end: on the end of the last PlayItem, never beyond the PlayItem list.
    ASSERT_TRUE(importChapters(mpls, "99999999\r\n2700000\r\n", ChapterFormat::PTS).changed);
    EXPECT_EQ(mpls.PlayListMark.marks[0].ref_to_PlayItem_id, 2);
    EXPECT_EQ(mpls.PlayListMark.marks[0].mark_time_stamp, 27000000u + 900000);
    EXPECT_EQ(mpls.PlayListMark.marks[1].ref_to_PlayItem_id, 2);
    expectWritable(mpls);
    // Time format: a chapter ten seconds into PlayItem 1 of a playlist whose first PlayItem lasts an hour.
    TMPLS hour = threeItems();
    hour.PlayList.PlayItems[0].OUT_time = 45000 + 3600u * 45000;
    layOut(hour);
    ASSERT_TRUE(importChapters(hour, "01:00:10.000\r\n", ChapterFormat::Time).changed);
    EXPECT_EQ(hour.PlayListMark.marks[0].ref_to_PlayItem_id, 1);
    EXPECT_EQ(hour.PlayListMark.marks[0].mark_time_stamp, 900000u + 10 * 45000);

    TMPLS empty;
    EXPECT_FALSE(importChapters(empty, "0\r\n", ChapterFormat::PTS).error.empty());
    EXPECT_TRUE(empty == TMPLS{});
}

TEST(PlayListMarks, LinesNotInTheFormatAreRefusedByNumber) {
    struct Case {
        ChapterFormat format;
        std::string text;
        std::vector<std::string> refused; // line numbers and quoted texts
    };
    const Case cases[] = {
        {ChapterFormat::PTS,
         "abc\r\n45000\r\n\r\n-45000\r\n12x\r\n4294967296\r\n",
         {"Line 1 refused, not a PTS value: \"abc\"", "Line 3 refused, not a PTS value: \"\"",
          "Line 4 refused, not a PTS value: \"-45000\"", "Line 5 refused, not a PTS value: \"12x\"",
          "Line 6 refused, not a PTS value: \"4294967296\""}},
        {ChapterFormat::Frame,
         "24000\n+24\n00:00:01.000\n",
         {"Line 2 refused, not a frame number: \"+24\"",
          "Line 3 refused, not a frame number: \"00:00:01.000\""}},
        {ChapterFormat::Time,
         "00:00:01.000\n0:00:01.000\n00:61:00.000\n45000\n",
         {"Line 2 refused, not a time (hh:mm:ss.mmm): \"0:00:01.000\"",
          "Line 3 refused, not a time (hh:mm:ss.mmm): \"00:61:00.000\"",
          "Line 4 refused, not a time (hh:mm:ss.mmm): \"45000\""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        TMPLS mpls = threeItems();
        const ChapterImport result = importChapters(mpls, c.text, c.format);
        EXPECT_EQ(result.refused, c.refused);
        ASSERT_TRUE(result.changed);
        // Only the one good line became a chapter, one second (45000 ticks) in.
        ASSERT_EQ(mpls.PlayListMark.marks.size(), 1u);
        EXPECT_EQ(mpls.PlayListMark.marks[0].mark_time_stamp, 45000u + 45000);
        expectWritable(mpls);
    }
}

TEST(PlayListMarks, FileWithoutAReadableLineChangesNothing) {
    TMPLS mpls = threeItems();
    mpls.PlayListMark.marks = {{0, 1, 1, 900000 + 45000, 0xFFFF, 0}};
    layOut(mpls);
    const TMPLS before = mpls;
    // A Time file read as Frame (its lines once all became chapters at 0), and junk.
    const std::string timeFile = chapterText(mpls, ChapterFormat::Time).text;
    for (const std::string& text : {timeFile, std::string("abc\n\n-1\n"), std::string("\r\n")}) {
        const ChapterImport result = importChapters(mpls, text, ChapterFormat::Frame);
        EXPECT_FALSE(result.changed);
        EXPECT_FALSE(result.error.empty());
        EXPECT_FALSE(result.refused.empty());
        EXPECT_TRUE(mpls == before);
    }
}

TEST(PlayListMarks, RealPlaylistChaptersRoundTrip) {
    PlsReadResult read =
        readPlayList(readPlaylistSample("bdpl-disc1-00002-subpath-17marks.mpls"), "00002.mpls");
    ASSERT_EQ(read.status, ReadStatus::Ok);
    TMPLS mpls = read.mpls;
    const TMPLS before = mpls;
    ASSERT_TRUE(importChapters(mpls, chapterText(mpls, ChapterFormat::PTS).text, ChapterFormat::PTS).changed);
    EXPECT_EQ(writePlayList(mpls).size(), writePlayList(before).size());
    for (std::size_t i = 0; i < mpls.PlayListMark.marks.size(); ++i)
        EXPECT_EQ(mpls.PlayListMark.marks[i].mark_time_stamp, before.PlayListMark.marks[i].mark_time_stamp)
            << i;
}

TEST(PlayListMarks, OgmAndXmlOfARealPlaylist) {
    PlsReadResult read =
        readPlayList(readPlaylistSample("bdpl-disc1-00002-subpath-17marks.mpls"), "00002.mpls");
    ASSERT_EQ(read.status, ReadStatus::Ok);
    TMPLS mpls = read.mpls;
    // A link point is no chapter of these formats.
    mpls.PlayListMark.marks.push_back({0, 2, 1, 300000000, 0xFFFF, 0});
    layOut(mpls);
    const std::string ogm = chapterText(mpls, ChapterFormat::OGM).text;
    const std::string xml = chapterText(mpls, ChapterFormat::XML).text;
    // Mark 6 is the start of PlayItem 1, 70878307 ticks (1575.073488... s) in.
    EXPECT_EQ(ogm.substr(0, 50), "CHAPTER01=00:00:00.000\r\nCHAPTER01NAME=Chapter 01\r\n");
    EXPECT_NE(ogm.find("\r\nCHAPTER07=00:26:15.073\r\nCHAPTER07NAME=Chapter 07\r\n"), std::string::npos);
    EXPECT_EQ(ogm.find("CHAPTER18"), std::string::npos);
    EXPECT_NE(xml.find("<ChapterTimeStart>00:26:15.073488889</ChapterTimeStart>"), std::string::npos);
    EXPECT_NE(xml.find("<ChapterString>Chapter 17</ChapterString>"), std::string::npos);
    for (ChapterFormat format : {ChapterFormat::OGM, ChapterFormat::XML}) {
        SCOPED_TRACE(static_cast<int>(format));
        TMPLS back = mpls;
        const ChapterImport result = importChapters(back, chapterText(mpls, format).text, format);
        ASSERT_TRUE(result.changed) << result.error;
        EXPECT_TRUE(result.refused.empty());
        ASSERT_EQ(back.PlayListMark.marks.size(), 17u);
        EXPECT_EQ(result.names[16], "Chapter 17");
        for (std::size_t i = 0; i < 17; ++i) {
            const TMarkEntry& was = mpls.PlayListMark.marks[i];
            const TMarkEntry& is = back.PlayListMark.marks[i];
            EXPECT_EQ(is.ref_to_PlayItem_id, was.ref_to_PlayItem_id) << i;
            if (format == ChapterFormat::XML)
                EXPECT_EQ(is.mark_time_stamp, was.mark_time_stamp) << i;
            else
                EXPECT_NEAR(is.mark_time_stamp, was.mark_time_stamp, 44) << i;
        }
        expectWritable(back);
    }
    TMPLS links = mpls;
    links.PlayListMark.marks = {{0, 2, 0, 188955000, 0xFFFF, 0}};
    EXPECT_FALSE(chapterText(links, ChapterFormat::XML).error.empty());
}

TEST(PlayListMarks, OgmAndXmlFilesThatDoNotRead) {
    struct Case {
        ChapterFormat format;
        std::string text;
        std::string error;                // part of the message; empty: the file reads
        std::vector<std::string> refused; // with a readable file
        std::vector<std::string> names;
    };
    const std::string head =
        "<?xml version=\"1.0\"?>\r\n<!DOCTYPE Chapters SYSTEM \"matroskachapters.dtd\">\r\n";
    const Case cases[] = {
        {ChapterFormat::OGM,
         "\xEF\xBB\xBF"
         "chapter01 = 00:00:01.000\r\n\r\nCHAPTER01NAME=Intro\r\nfoo\r\nCHAPTER02=1:2:3\r\n"
         "CHAPTER01=00:00:02.000\r\nCHAPTER03NAME=x\r\nCHAPTER04=30:00:00.000\r\nCHAPTER05NAME=y\r\n"
         "CHAPTER05=0:00:01.0000004\r\n",
         "",
         {"Line 4 refused, not CHAPTERnn=hh:mm:ss.mmm or CHAPTERnnNAME=...: \"foo\"",
          "Line 5 refused, not a time (hh:mm:ss.mmm) of at most 26:30:43: \"1:2:3\"",
          "Line 6 refused, chapter 01 is given twice: \"CHAPTER01=00:00:02.000\"",
          "Line 8 refused, not a time (hh:mm:ss.mmm) of at most 26:30:43: \"30:00:00.000\"",
          "Chapter 03 refused, it has a name but no time"},
         {"Intro", "y"}},
        {ChapterFormat::XML,
         head + "<Chapters>\r\n <!-- c --><EditionEntry><EditionUID>7</EditionUID>\r\n"
                "  <ChapterAtom><ChapterUID>1</ChapterUID><ChapterTimeStart> 0:00:01 </ChapterTimeStart>\r\n"
                "   <ChapterDisplay><ChapterString>A &amp; B &lt;&gt; "
                "&quot;&apos;&#233;</ChapterString></ChapterDisplay>\r\n"
                "   <ChapterAtom><ChapterTimeStart>00:00:09.000</ChapterTimeStart></ChapterAtom>\r\n"
                "  </ChapterAtom>\r\n"
                "  <ChapterAtom><ChapterDisplay><ChapterString>no "
                "time</ChapterString></ChapterDisplay></ChapterAtom>\r\n"
                "  <ChapterAtom><ChapterTimeStart>27:00:00.000</ChapterTimeStart></ChapterAtom>\r\n"
                "  <ChapterAtom><ChapterTimeStart>00:00:01.000000022</ChapterTimeStart></ChapterAtom>\r\n"
                " </EditionEntry>\r\n"
                " <EditionEntry><ChapterAtom><ChapterTimeStart>00:00:05.000</ChapterTimeStart></ChapterAtom>"
                "</EditionEntry>\r\n</Chapters>\r\n",
         "",
         {"ChapterAtom at line 9 refused, it has no ChapterTimeStart",
          "ChapterAtom at line 10 refused, not a time (hh:mm:ss.mmm) of at most 26:30:43: \"27:00:00.000\""},
         {"A & B <> \"'\xC3\xA9", ""}},
        {ChapterFormat::XML,
         "CHAPTER01=00:00:00.000\n",
         "not well-formed (invalid token) at line 1, column 10",
         {},
         {}},
        {ChapterFormat::XML,
         head + "<Chapters><EditionEntry>\n</Chapters>",
         "mismatched tag at line 4",
         {},
         {}},
        {ChapterFormat::XML, head + "<Chapters><EditionEntry><ChapterAtom>", "at line 3", {}, {}},
        {ChapterFormat::XML, "<Tags><Chapters/></Tags>", "the root element is <Tags>", {}, {}},
        {ChapterFormat::XML, "<Chapters/>", "no EditionEntry", {}, {}},
        {ChapterFormat::XML, head + "<Chapters><EditionEntry/></Chapters>", "No chapter", {}, {}},
        {ChapterFormat::XML,
         head + "<Chapters><EditionEntry><ChapterAtom><ChapterTimeStart>00:00:01</ChapterTimeStart>\n"
                "<ChapterDisplay><ChapterString>&nbsp;</ChapterString></ChapterDisplay></ChapterAtom>"
                "</EditionEntry></Chapters>",
         "Unknown entity &nbsp; at line 4",
         {},
         {}},
        {ChapterFormat::XML, "<Chapters>&bad;</Chapters>", "undefined entity at line 1", {}, {}},
        {ChapterFormat::OGM, "[Chapters]\nfoo\n", "No chapter", {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        TMPLS mpls = threeItems();
        mpls.PlayListMark.marks = {{0, 1, 1, 900000 + 45000, 0xFFFF, 0}};
        layOut(mpls);
        const TMPLS before = mpls;
        const ChapterImport result = importChapters(mpls, c.text, c.format);
        if (!c.error.empty()) {
            EXPECT_NE(result.error.find(c.error), std::string::npos) << result.error;
            EXPECT_FALSE(result.changed);
            EXPECT_TRUE(mpls == before);
            continue;
        }
        ASSERT_TRUE(result.changed) << result.error;
        EXPECT_EQ(result.refused, c.refused);
        EXPECT_EQ(result.names, c.names);
        // Two chapters one second in (the second 22 ns or 0.4 us later: the same tick).
        ASSERT_EQ(mpls.PlayListMark.marks.size(), 2u);
        for (const TMarkEntry& mark : mpls.PlayListMark.marks)
            EXPECT_EQ(mark.mark_time_stamp, 45000u + 45000);
        expectWritable(mpls);
    }
    for (ChapterFormat format : {ChapterFormat::OGM, ChapterFormat::XML}) {
        TMPLS mpls = threeItems();
        const ChapterImport blank = importChapters(mpls, " \r\n\t\n", format);
        EXPECT_FALSE(blank.changed);
        EXPECT_TRUE(blank.error.empty());
    }
    EXPECT_EQ(clockTicks("26:30:43.717666667"), 0xFFFFFFFFull);
    EXPECT_FALSE(clockTicks("00:00:00."));
    EXPECT_FALSE(clockTicks("00:00:00.0000000001"));
}

} // namespace
} // namespace corvane
