// The menu as a transport stream: program tables checked against their CRC-32/MPEG-2, packet
// layout and stuffing, continuity counters, arrival times, the repetition schedule, padding to
// aligned units, and extraction of PID 0x1400 giving back the menu's segments.

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "TestBytes.h"
#include "io/FileIO.h"
#include "menu/IGWriter.h"
#include "menu/MenuTestUtil.h"
#include "playlist/PlayListReader.h"
#include "playlist/PlayListWriter.h"
#include "shell/CaptureSink.h"
#include "stream/ClipInfo.h"
#include "stream/Demux.h"
#include "stream/MenuClip.h"
#include "stream/Mux.h"
#include "stream/StreamTestUtil.h"

namespace corvane {
namespace {

constexpr std::size_t UnitBytes = AlignedUnitPackets * SourcePacketSize;

// CRC-32/MPEG-2: polynomial 0x04C11DB7, initial value all ones, not reflected, no final xor.
std::uint32_t crcMpeg2(const std::uint8_t* data, std::size_t n) {
    std::uint32_t crc = 0xFFFFFFFF;
    for (std::size_t i = 0; i < n; ++i) {
        crc ^= std::uint32_t{data[i]} << 24;
        for (int bit = 0; bit < 8; ++bit) crc = (crc & 0x80000000) ? (crc << 1) ^ 0x04C11DB7 : crc << 1;
    }
    return crc;
}

// A PES packet of private stream 1 with `total` bytes in all, its data a pattern.
std::vector<std::uint8_t> pesPacket(std::size_t total, std::uint8_t seed) {
    std::vector<std::uint8_t> pes = testing::pattern(total, seed);
    const std::size_t length = total - 6;
    pes[0] = 0, pes[1] = 0, pes[2] = 1, pes[3] = 0xBD;
    pes[4] = static_cast<std::uint8_t>(length >> 8), pes[5] = static_cast<std::uint8_t>(length);
    return pes;
}

const std::uint8_t* packetAt(const std::vector<std::uint8_t>& ts, std::size_t i) {
    return ts.data() + i * SourcePacketSize;
}

SourcePacket packetOf(const std::vector<std::uint8_t>& ts, std::size_t i) {
    return SourcePacket::at(ts, i * SourcePacketSize).value();
}

// Walks a muxed stream and checks every rule of its layout; the IG payloads joined must be `pes`.
void checkStream(const std::vector<std::uint8_t>& ts, const std::vector<std::uint8_t>& pes) {
    ASSERT_EQ(ts.size() % UnitBytes, 0u);
    const std::size_t packets = ts.size() / SourcePacketSize;
    std::map<std::uint16_t, int> counters;
    std::vector<std::uint8_t> joined;
    std::size_t firstNull = packets;
    for (std::size_t i = 0; i < packets; ++i) {
        const std::uint8_t* p = packetAt(ts, i);
        const SourcePacket packet = packetOf(ts, i);
        SCOPED_TRACE("packet " + std::to_string(i));
        ASSERT_TRUE(syncOk(packet));
        ASSERT_EQ(extraHeader(packet), MuxFirstAts + MuxAtsStep * i);
        const std::uint16_t pid = packetPid(packet);
        if (pid == NullPid) {
            firstNull = std::min(firstNull, i);
            continue;
        }
        ASSERT_EQ(firstNull, packets) << "null packets only at the end";
        // Counters run on per PID; the PCR packets carry no payload and keep 0.
        const int cc = p[7] & 0x0F;
        const int expected = pid == PcrPid ? 0 : counters.count(pid) ? (counters[pid] + 1) % 16 : cc;
        EXPECT_EQ(cc, expected) << "PID " << pid;
        counters[pid] = cc;
        // After the first four packets: a PCR exactly at each multiple of 2500 that follows an
        // IG continuation packet, PAT and PMT at 2000 within the interval, the SIT at 25000n + 2.
        const SourcePacket before = packetOf(ts, i > 0 ? i - 1 : i);
        const bool afterContinuation = packetPid(before) == MenuIgPid && !payloadUnitStart(before);
        if (i >= 4) {
            EXPECT_EQ(pid == PcrPid, i % PcrInterval == 0 && afterContinuation);
            EXPECT_EQ(pid == PatPid, i % PcrInterval == PatPmtPhase && afterContinuation);
            EXPECT_EQ(pid == PmtPid, packetPid(before) == PatPid);
            if (pid == SitPid) {
                EXPECT_EQ(i % SitInterval, SitPhase);
            }
        }
        if (pid != MenuIgPid) continue;
        const int length = payloadLength(packet);
        ASSERT_GT(length, 0);
        if (length < 184) {
            EXPECT_EQ(p[7] & 0x30, 0x30);
            if (length < 183) {
                EXPECT_EQ(p[9], 0x00); // flags
            }
            for (int k = 10; k < 192 - length; ++k) ASSERT_EQ(p[k], 0xFF);
        }
        joined.insert(joined.end(), p + payloadOffset(length), p + SourcePacketSize);
    }
    EXPECT_LT(packets - firstNull, AlignedUnitPackets);
    EXPECT_EQ(joined, pes);
}

TEST(MuxTables, FirstPacketsAndPaddingOfAnEmptyStream) {
    EXPECT_EQ(crcMpeg2(reinterpret_cast<const std::uint8_t*>("123456789"), 9), 0x0376E6E7u);
    const MuxOutput out = muxPes({});
    ASSERT_EQ(out.bytes.size(), UnitBytes); // PAT, PMT, SIT, PCR and 28 null packets
    EXPECT_EQ(out.packets, 4u);
    checkStream(out.bytes, {});
    const std::uint16_t tablePids[3] = {PatPid, PmtPid, SitPid};
    const std::uint8_t tableIds[3] = {0x00, 0x02, 0x7F};
    for (int t = 0; t < 3; ++t) {
        const std::uint8_t* p = packetAt(out.bytes, t);
        SCOPED_TRACE("table " + std::to_string(t));
        EXPECT_EQ(packetPid(packetOf(out.bytes, t)), tablePids[t]);
        EXPECT_TRUE(payloadUnitStart(packetOf(out.bytes, t)));
        EXPECT_EQ(p[7], 0x10);
        EXPECT_EQ(p[8], 0x00); // pointer field
        EXPECT_EQ(p[9], tableIds[t]);
        const std::size_t sectionLength = ((p[10] & 0x0F) << 8) | p[11];
        const std::uint8_t* crc = p + 12 + sectionLength - 4;
        EXPECT_EQ(crcMpeg2(p + 9, 3 + sectionLength - 4),
                  (std::uint32_t{crc[0]} << 24) | (crc[1] << 16) | (crc[2] << 8) | crc[3]);
        for (const std::uint8_t* q = crc + 4; q < p + SourcePacketSize; ++q) ASSERT_EQ(*q, 0xFF);
    }
    const std::uint8_t* pmt = packetAt(out.bytes, 1);
    EXPECT_EQ(((pmt[17] & 0x1F) << 8) | pmt[18], PcrPid);
    EXPECT_EQ(std::string(pmt + 23, pmt + 27), "HDMV");
    EXPECT_EQ(pmt[33], 0x91); // interactive graphics
    EXPECT_EQ(((pmt[34] & 0x1F) << 8) | pmt[35], MenuIgPid);
    const std::uint8_t* pcr = packetAt(out.bytes, 3);
    EXPECT_EQ(std::vector<std::uint8_t>(pcr + 4, pcr + 16),
              (std::vector<std::uint8_t>{0x47, 0x10, 0x01, 0x20, 0xB7, 0x10, 0, 0, 0, 0, 0x7E, 0}));
    EXPECT_EQ(extraHeader(packetOf(out.bytes, 3)), 268437994u);
}

TEST(MuxPackets, StuffingOfShortPayloads) {
    struct Case {
        std::size_t pesBytes;
        std::vector<std::uint8_t> head; // bytes 5..9 of the first IG packet
    };
    const Case cases[] = {{180, {0x54, 0x00, 0x30, 3, 0x00}},
                          {182, {0x54, 0x00, 0x30, 1, 0x00}},
                          {183, {0x54, 0x00, 0x30, 0, 0x00}},
                          {184, {0x54, 0x00, 0x10, 0x00, 0x00}},
                          {185, {0x54, 0x00, 0x10, 0x00, 0x00}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pesBytes);
        const auto pes = pesPacket(c.pesBytes, 9);
        const MuxOutput out = muxPes(pes);
        checkStream(out.bytes, pes);
        const std::uint8_t* p = packetAt(out.bytes, 4);
        EXPECT_EQ(std::vector<std::uint8_t>(p + 5, p + 10), c.head);
        if (c.pesBytes == 180) {
            EXPECT_EQ(std::vector<std::uint8_t>(p + 10, p + 12), (std::vector<std::uint8_t>{0xFF, 0xFF}));
        }
        if (c.pesBytes == 185) { // a continuation of one byte: length 182, flags, 181 stuffing bytes
            const std::uint8_t* q = packetAt(out.bytes, 5);
            EXPECT_EQ(std::vector<std::uint8_t>(q + 5, q + 10),
                      (std::vector<std::uint8_t>{0x14, 0x00, 0x31, 182, 0}));
        }
    }
}

TEST(MuxPackets, ScheduleCountersAndAlignmentOverALongStream) {
    // 75 PES packets of 65535 bytes: over 26700 source packets, the counters wrap many times.
    std::vector<std::uint8_t> pes;
    for (int i = 0; i < 75; ++i) {
        const auto one = pesPacket(65535, static_cast<std::uint8_t>(i));
        pes.insert(pes.end(), one.begin(), one.end());
    }
    const MuxOutput out = muxPes(pes);
    EXPECT_EQ(out.shortPackets, 0u);
    checkStream(out.bytes, pes);
    EXPECT_EQ(packetPid(packetOf(out.bytes, 2000)), PatPid);
    EXPECT_EQ(packetPid(packetOf(out.bytes, 2500)), PcrPid);
    EXPECT_EQ(packetPid(packetOf(out.bytes, 25002)), SitPid);
    EXPECT_GT(out.bytes.size() / SourcePacketSize, out.packets);

    // A stream of exactly 32 packets gets no null packet.
    const auto exact = pesPacket(28 * 184, 1);
    EXPECT_EQ(muxPes(exact).bytes.size(), UnitBytes);
    EXPECT_EQ(packetPid(packetOf(muxPes(exact).bytes, 31)), MenuIgPid);
}

TEST(MuxPackets, ForeignWordsAreSkippedAndCutDataIsReported) {
    const auto pes = pesPacket(400, 3);
    std::vector<std::uint8_t> dirty{1, 2, 3, 4, 0, 0, 1, 0xE0};
    dirty.insert(dirty.end(), pes.begin(), pes.end());
    EXPECT_EQ(testing::byteDifference(muxPes(pes).bytes, muxPes(dirty).bytes), "");

    // Cut after 200 bytes: the second packet lacks 168 bytes and the third all 32.
    const MuxOutput cut = muxPes(std::span(pes).first(200));
    EXPECT_EQ(cut.shortPackets, 2u);
    auto filled = pes;
    std::fill(filled.begin() + 200, filled.end(), 0xFF);
    checkStream(cut.bytes, filled);
}

class MuxFile : public ::testing::Test {
protected:
    void SetUp() override {
        dir = std::filesystem::temp_directory_path() /
              ("corvane_mux_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
    }
    void TearDown() override { std::filesystem::remove_all(dir); }
    std::string path(const std::string& name) const { return (dir / name).string(); }
    std::filesystem::path dir;
};

TEST_F(MuxFile, ExtractingTheIgPidGivesBackTheSegments) {
    std::string error;
    const auto ics =
        readWholeFile(std::string(CORVANE_TEST_DATA) + "/menu/bdpl-disc8-ics-always-on-6pages.bin", error);
    ASSERT_TRUE(ics) << error;
    MnuReadResult real = loadMNU(wrapComposition(*ics, 90000));
    ASSERT_EQ(real.status, ReadStatus::Ok);
    TMenu large = testing::sampleMenu();
    // An object in two ODS fragments and one filling a PES packet nearly whole.
    testing::addObject(large, static_cast<std::uint16_t>(large.IGObjects.size()),
                       testing::pictureEncodingTo(65530));
    testing::addObject(large, static_cast<std::uint16_t>(large.IGObjects.size()),
                       testing::pictureEncodingTo(65500));

    for (const TMenu* menu : {&real.menu, &large}) {
        testing::CaptureSink sink;
        Reporter reporter(&sink);
        ASSERT_TRUE(Mux(reporter, *menu, path("menu.m2ts"), path("pes")))
            << ::testing::PrintToString(sink.texts());
        EXPECT_EQ(sink.texts().front(), "Muxing menu...");
        EXPECT_FALSE(reporter.ErrorRaised);
        EXPECT_EQ(sink.status[0], "Ready.");
        const auto pes = readWholeFile(path("pes"), error);
        ASSERT_TRUE(pes);
        EXPECT_EQ(testing::byteDifference(saveIGS(*menu, IGSaveMode::Pes).bytes, *pes), "");
        const auto ts = readWholeFile(path("menu.m2ts"), error);
        ASSERT_TRUE(ts);
        checkStream(*ts, *pes);

        const DemuxResult back =
            Demux(path("menu.m2ts"), path("back.mnu"), MenuIgPid, DemuxMode::MNU, reporter);
        ASSERT_TRUE(back.ok);
        const auto mnu = readWholeFile(path("back.mnu"), error);
        ASSERT_TRUE(mnu);
        EXPECT_EQ(testing::byteDifference(saveIGS(*menu, IGSaveMode::Mnu).bytes, *mnu), "");
        const MnuReadResult again = loadMNU(*mnu);
        EXPECT_EQ(again.status, ReadStatus::Ok);
        EXPECT_EQ(again.menu.IGSc.pages.size(), menu->IGSc.pages.size());
        EXPECT_EQ(again.menu.MenuInTime, menu->MenuInTime);
    }
}

TEST_F(MuxFile, FailuresWriteNothingAndThePesFileIsOptional) {
    testing::CaptureSink sink;
    Reporter reporter(&sink);
    TMenu menu = createMenu();
    menu.IGSc.pages.resize(256);
    EXPECT_FALSE(Mux(reporter, menu, path("a.m2ts"), path("pes")));
    EXPECT_TRUE(reporter.ErrorRaised);
    EXPECT_FALSE(fileExists(path("a.m2ts")));
    // Without a PES file name only the stream is written.
    ASSERT_TRUE(Mux(reporter, createMenu(), path("b.m2ts"), ""));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 1);
    EXPECT_FALSE(Mux(reporter, createMenu(), path("no/such/folder/a.m2ts"), path("pes")));
    EXPECT_EQ(sink.fileErrors.size(), 1u);
}

} // namespace
} // namespace corvane

namespace corvane {
namespace {

// The clip information and playlist of a mux describe the file written: a player reads the
// clip up to number_of_source_packets and plays it from IN to OUT.
TEST_F(MuxFile, ClipInformationAndPlayListOfTheStream) {
    testing::CaptureSink sink;
    Reporter reporter(&sink);
    TMenu menu = testing::sampleMenu();
    testing::addObject(menu, static_cast<std::uint16_t>(menu.IGObjects.size()),
                       testing::pictureEncodingTo(65530));
    ASSERT_TRUE(Mux(reporter, menu,
                    MuxFiles{path("00007.m2ts"), path("00007.clpi"), path("00009.mpls"), "00007", ""}));
    EXPECT_EQ(sink.texts().back(), "Playlist written.");
    std::string error;
    const auto ts = readWholeFile(path("00007.m2ts"), error);
    const auto clipBytes = readWholeFile(path("00007.clpi"), error);
    const auto listBytes = readWholeFile(path("00009.mpls"), error);
    ASSERT_TRUE(ts && clipBytes && listBytes);

    const ClipReadResult clip = readClipInfo(*clipBytes, "00007.clpi", true);
    ASSERT_EQ(clip.status, ReadStatus::Ok);
    EXPECT_GT(ts->size(), 6144u);
    EXPECT_EQ(std::uint64_t{clip.clpi.ClipInfo.number_of_source_packets} * SourcePacketSize, ts->size());
    EXPECT_EQ(clip.clpi.ClipInfo.application_type, 5);
    const TSTCSequence& stc = clip.clpi.SequenceInfo.ATC_sequences.at(0).STC_sequences.at(0);
    EXPECT_EQ(stc.PCR_PID, PcrPid);
    // The composition's PTS is the menu's IN time; the object segments are decoded before it.
    EXPECT_LT(stc.presentation_start_time, menu.MenuInTime / 2);
    EXPECT_EQ(stc.presentation_end_time, menu.MenuInTime / 2 + MenuClipFrameTicks);
    const TStreamCodingInfo& ig = clip.clpi.ProgramInfo.program_sequences.at(0).streams.at(0);
    EXPECT_EQ(ig.stream_PID, MenuIgPid);
    EXPECT_EQ(ig.stream_coding_type, 0x91);
    EXPECT_EQ(clip.clpi.CPI.CPI_length, 0u);

    const PlsReadResult list = readPlayList(*listBytes, "00009.mpls", true);
    ASSERT_EQ(list.status, ReadStatus::Ok);
    EXPECT_EQ(testing::byteDifference(writePlayList(list.mpls), *listBytes), "");
    const TPlayItem& item = list.mpls.PlayList.PlayItems.at(0);
    EXPECT_EQ(item.Clip_Information_file_name, "00007");
    EXPECT_EQ(item.IN_time, stc.presentation_start_time);
    EXPECT_EQ(item.OUT_time, stc.presentation_end_time);
    ASSERT_EQ(item.STN.IG.size(), 1u);
    EXPECT_EQ(item.STN.IG[0].ref_to_stream_PID_of_mainClip, MenuIgPid);
    EXPECT_EQ(list.mpls.PlayListMark.marks.size(), 1u);
}

} // namespace
} // namespace corvane
