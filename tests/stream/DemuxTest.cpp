// Extraction by PID on transport streams built here and on a small m2ts made by
// another muxer: the four output forms, PES joining and boundaries, the SUP
// reference time, damaged packets, absent PIDs, cancel and the output name.

#include <gtest/gtest.h>
#include <zlib.h>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <zlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include "io/FileIO.h"
#include "io/TextUtil.h"
#include "navigation/NavTestUtil.h"
#include "shell/CaptureSink.h"
#include "stream/Demux.h"
#include "stream/StreamTestUtil.h"

namespace corvane {
namespace {

using testing::pattern;
using testing::PesLayout;
using testing::TsBuilder;

std::vector<std::uint8_t> concat(std::initializer_list<std::vector<std::uint8_t>> parts) {
    std::vector<std::uint8_t> all;
    for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

struct Run {
    std::vector<std::uint8_t> output;
    std::uint64_t pidPackets = 0;
    std::vector<std::string> log;
};

Run demux(const std::vector<std::uint8_t>& ts, std::uint16_t pid, DemuxMode mode) {
    testing::CaptureSink sink;
    Reporter reporter(&sink);
    Demuxer demuxer(pid, mode, reporter);
    demuxer.processPackets(ts);
    return {demuxer.pending(), demuxer.pidPackets(), sink.texts()};
}

// The whole elementary stream of a PID.
std::vector<std::uint8_t> concatOf(const TsBuilder& ts, std::uint16_t pid) {
    return demux(ts.bytes, pid, DemuxMode::ES).output;
}

// The 10-byte segment header of the SUP and MNU forms.
std::vector<std::uint8_t> segmentHeader(char a, char b, std::uint32_t pts, std::uint32_t dts) {
    std::vector<std::uint8_t> h{static_cast<std::uint8_t>(a), static_cast<std::uint8_t>(b)};
    for (std::uint32_t v : {pts, dts})
        for (int shift = 24; shift >= 0; shift -= 8) h.push_back(static_cast<std::uint8_t>(v >> shift));
    return h;
}

TEST(TransportStream, PacketFieldsAndTimestamps) {
    TsBuilder ts;
    ts.packet(0x1100, true, pattern(100, 1));
    const SourcePacket p = SourcePacket::at(ts.bytes, 0).value();
    EXPECT_EQ(packetPid(p), 0x1100);
    EXPECT_TRUE(payloadUnitStart(p));
    EXPECT_EQ(payloadLength(p), 100);
    EXPECT_EQ(payloadOffset(100), 92u);
    std::vector<std::uint8_t> raw(192, 0);
    raw[7] = 0x30;
    raw[8] = 184; // adaptation field longer than the packet: no usable payload
    EXPECT_EQ(payloadLength(SourcePacket::at(raw, 0).value()), -1);
    raw[8] = 183;
    EXPECT_EQ(payloadLength(SourcePacket::at(raw, 0).value()), 0);

    // 33-bit values come back modulo 2^32.
    for (std::uint64_t value : {0ull, 90000ull, 0xFFFFFFFFull, 0x1FFFFFFFFull, 0x123456789ull}) {
        const auto field = testing::timestampField(2, value);
        EXPECT_EQ(decodeTimestamp(ByteReader(field).read5byte()), static_cast<std::uint32_t>(value)) << value;
    }
    EXPECT_EQ(timeText90(90000u * 3723 + 45 * 90), "1:02:03.045");
    EXPECT_EQ(timeText90(0), "0:00:00.000");

    // Time stamps that the payload does not hold are absent, not read past it.
    const std::vector<std::uint8_t> cut{0, 0, 1, 0xE0, 0, 0, 0x80, 0xC0, 10, 0x21, 0, 1};
    EXPECT_TRUE(isPesStart(cut));
    EXPECT_EQ(readPesHeader(cut).PTS_DTS_flags, 0);
    EXPECT_FALSE(isPesStart(std::span(cut).first(3)));
    const std::vector<std::uint8_t> low{0, 0, 1, 0xB0};
    EXPECT_FALSE(isPesStart(low));
}

TEST(Demux, EsJoinsPesPacketsAcrossTsPacketsAndSkipsOthers) {
    TsBuilder ts;
    const auto a = pattern(500, 1), b = pattern(183, 2), c = pattern(37, 3);
    ts.pes(0x1100, {0xBD, 90000}, a);
    ts.nullPacket();
    ts.pes(0x1011, {0xE0, 1000}, pattern(300, 9));
    ts.pes(0x1100, {0xBD, 93000}, b);
    ts.pes(0x1100, {0xBD}, c);
    const auto run = demux(ts.bytes, 0x1100, DemuxMode::ES);
    EXPECT_EQ(run.output, concat({a, b, c}));
    EXPECT_EQ(run.pidPackets, 3u + 2u + 1u);
    EXPECT_TRUE(run.log.empty());
}

TEST(Demux, UnboundedVideoPesEndsAtTheNextUnitStart) {
    TsBuilder ts;
    const auto a = pattern(1000, 4), b = pattern(2000, 5), c = pattern(10, 6);
    ts.pes(0x1011, {0xE0, 3600, 0, true}, a);
    ts.pes(0x1100, {0xBD, 3600}, pattern(40, 7));
    ts.pes(0x1011, {0xE0, 7200, 3600, true}, b);
    ts.pes(0x1011, {0xE0, 10800, std::nullopt, true}, c);
    EXPECT_EQ(testing::byteDifference(concat({a, b, c}), demux(ts.bytes, 0x1011, DemuxMode::ES).output), "");
}

TEST(Demux, ContinuationStartingWithStartCodeIsData) {
    TsBuilder ts;
    // 14 header bytes + 170 data bytes fill the first packet; the second then starts
    // with 00 00 01 E0 while 300 bytes of the PES remain.
    auto data = pattern(470, 8);
    data[170] = 0, data[171] = 0, data[172] = 1, data[173] = 0xE0;
    ts.pes(0x1011, {0xE0, 90000}, data);
    ts.pes(0x1011, {0xE0, 93000}, pattern(20, 9));
    const auto run = demux(ts.bytes, 0x1011, DemuxMode::ES);
    EXPECT_EQ(run.output, concat({data, pattern(20, 9)}));
}

TEST(Demux, HeaderLongerThanItsPayloadContinuesInTheNextPacket) {
    TsBuilder ts;
    const auto data = pattern(300, 10);
    // A first packet of 12 bytes cannot hold the 14-byte header plus 20 stuffing bytes.
    ts.pes(0x1200, {0x90 + 0x30, 90000, std::nullopt, false, 20}, data, 12);
    ts.pes(0x1200, {0xBD, 180000}, pattern(5, 11));
    const auto run = demux(ts.bytes, 0x1200, DemuxMode::ES);
    EXPECT_EQ(run.output, concat({data, pattern(5, 11)}));
}

TEST(Demux, NonDataStreamIdsGiveNothing) {
    TsBuilder ts;
    ts.pes(0x1100, {0xBE}, pattern(100, 12)); // padding stream
    ts.pes(0x1100, {0xBD}, pattern(50, 13));
    EXPECT_EQ(testing::byteDifference(pattern(50, 13), demux(ts.bytes, 0x1100, DemuxMode::ES).output), "");
}

TEST(Demux, PesModeKeepsWholePayloads) {
    TsBuilder ts;
    ts.pes(0x1100, {0xBD, 90000}, pattern(300, 14));
    ts.pes(0x1011, {0xE0}, pattern(50, 15));
    const auto run = demux(ts.bytes, 0x1100, DemuxMode::PES);
    ASSERT_EQ(run.output.size(), 14u + 300u);
    EXPECT_EQ(std::vector<std::uint8_t>(run.output.begin(), run.output.begin() + 4),
              (std::vector<std::uint8_t>{0, 0, 1, 0xBD}));
    EXPECT_EQ(std::vector<std::uint8_t>(run.output.begin() + 14, run.output.end()), pattern(300, 14));
}

TEST(Demux, SupTimesAreRelativeToTheFirstVideoPts) {
    TsBuilder ts;
    const auto early = concat({{0x16}, pattern(20, 16)});
    const auto late = concat({{0x15}, pattern(400, 17)});
    const auto noPts = concat({{0x80}});
    ts.pes(0x1200, {0xBD, 100000, 95000}, early);
    ts.pes(0x1011, {0xE0}, pattern(10, 18)); // no PTS: not the reference
    ts.pes(0x1011, {0xE0, 90000, 87000, true}, pattern(10, 19));
    ts.pes(0x1200, {0xBD, 89520, 89000}, early); // ahead of the first picture: at its time
    ts.pes(0x1200, {0xBD, 180000}, late);
    ts.pes(0x1200, {0xBD}, noPts);
    const auto run = demux(ts.bytes, 0x1200, DemuxMode::SUP);
    EXPECT_EQ(run.output,
              concat({segmentHeader('P', 'G', 100000, 95000), early, segmentHeader('P', 'G', 0, 0), early,
                      segmentHeader('P', 'G', 90000, 0), late, segmentHeader('P', 'G', 90000, 0), noPts}));
    ASSERT_EQ(run.log.size(), 3u);
    EXPECT_EQ(run.log[0], "000186A0, 00017318 : 0:00:01.111, 0:00:01.055   16   40000000");
    EXPECT_EQ(run.log[2].substr(0, 45), "00015F90, 00000000 : 0:00:01.000, 0:00:00.000");
}

TEST(Demux, MnuKeepsStreamTimes) {
    TsBuilder ts;
    const auto ics = concat({{0x18}, pattern(700, 20)});
    ts.pes(0x1011, {0xE0, 90000}, pattern(10, 21));
    ts.pes(0x1400, {0xBD, 0x1FFFFFFFFull, 200}, ics);
    const auto run = demux(ts.bytes, 0x1400, DemuxMode::MNU);
    EXPECT_EQ(run.output, concat({segmentHeader('I', 'G', 0xFFFFFFFF, 200), ics}));
}

TEST(Demux, ProgressEvery32768Packets) {
    struct ProgressSink : testing::CaptureSink {
        void progress(int percent, const std::string& text) override {
            percents.push_back(percent);
            texts.push_back(text);
        }
        std::vector<int> percents;
        std::vector<std::string> texts;
    } sink;
    Reporter reporter(&sink);
    TsBuilder ts;
    for (int i = 0; i < 70000; ++i) ts.nullPacket();
    Demuxer demuxer(0x1100, DemuxMode::ES, reporter, 70000);
    demuxer.processPackets(ts.bytes);
    EXPECT_EQ(sink.percents, (std::vector<int>{46, 93}));
    EXPECT_EQ(sink.texts[0].substr(0, 20), "Packet: 32768/70000 ");
}

class DemuxFile : public ::testing::Test {
protected:
    void SetUp() override {
        dir =
            std::filesystem::temp_directory_path() /
            ("corvane_demux_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
    }
    void TearDown() override { std::filesystem::remove_all(dir); }
    std::string path(const std::string& name) const { return (dir / name).string(); }
    std::vector<std::uint8_t> read(const std::string& name) const {
        std::string error;
        return readWholeFile(path(name), error).value_or(std::vector<std::uint8_t>{});
    }
    std::filesystem::path dir;
};

// A host whose Cancel button is pressed during the n-th event pump.
struct CancellingSink : testing::CaptureSink {
    Reporter* reporter = nullptr;
    int pumps = 0;
    int cancelAt = 0;
    void pumpEvents() override {
        if (++pumps == cancelAt) reporter->CancelRequested = true;
    }
};

TEST_F(DemuxFile, CancelEndsAtAPesBoundary) {
    // Unbounded video PES packets, the cancel pressed before the n-th block of 341 packets.
    auto check = [&](std::size_t count, std::size_t size, std::vector<int> cancelPoints) {
        TsBuilder ts;
        std::vector<std::size_t> ends{0}; // output lengths at PES boundaries
        for (std::size_t i = 0; i < count; ++i) {
            const auto data = pattern(size + i, static_cast<std::uint8_t>(i));
            ts.pes(0x1011, {0xE0, 90000u * i, std::nullopt, true}, data);
            ends.push_back(ends.back() + data.size());
        }
        ASSERT_TRUE(writeWholeFile(path("in.m2ts"), ts.bytes).ok);
        for (int cancelAt : cancelPoints) {
            CancellingSink sink;
            Reporter reporter(&sink);
            sink.reporter = &reporter;
            sink.cancelAt = cancelAt;
            const auto result = Demux(path("in.m2ts"), path("out.es"), 0x1011, DemuxMode::ES, reporter, 1);
            ASSERT_TRUE(result.ok);
            EXPECT_TRUE(result.cancelled);
            const auto out = read("out.es");
            EXPECT_LT(out.size(), ends.back());
            EXPECT_NE(std::find(ends.begin(), ends.end(), out.size()), ends.end()) << "cut at " << out.size();
            EXPECT_EQ(result.bytesWritten, out.size());
            EXPECT_TRUE(std::equal(out.begin(), out.end(), concatOf(ts, 0x1011).begin()));
        }
    };
    // PES packets shorter than a block: the walk stops where the next one starts.
    check(40, 5000, {2, 3});
    // PES packets longer than a block: a block ends inside one, which is then left out.
    check(2, 150000, {2, 3});
}

TEST_F(DemuxFile, OutputOfManyWriteBuffers) {
    // About 12 MB of output: several buffers go to the file while the walk goes on.
    TsBuilder ts;
    std::vector<std::size_t> ends{0};
    for (std::size_t i = 0; i < 200; ++i) {
        const auto data = pattern(60000 + i, static_cast<std::uint8_t>(i));
        ts.pes(0x1011, {0xE0, 90000u * i, std::nullopt, true}, data);
        ends.push_back(ends.back() + data.size());
    }
    ASSERT_TRUE(writeWholeFile(path("in.m2ts"), ts.bytes).ok);
    const auto whole = concatOf(ts, 0x1011);
    testing::CaptureSink sink;
    Reporter reporter(&sink);
    auto result = Demux(path("in.m2ts"), path("out.es"), 0x1011, DemuxMode::ES, reporter);
    ASSERT_TRUE(result.ok);
    EXPECT_EQ(read("out.es"), whole);
    EXPECT_EQ(result.bytesWritten, whole.size());

    // A cancel after several buffers were written still ends at a PES boundary.
    CancellingSink cancelling;
    Reporter cancelReporter(&cancelling);
    cancelling.reporter = &cancelReporter;
    cancelling.cancelAt = 120; // blocks of 341 packets: about 7.5 MB into the walk
    result = Demux(path("in.m2ts"), path("cut.es"), 0x1011, DemuxMode::ES, cancelReporter, 1);
    ASSERT_TRUE(result.ok);
    EXPECT_TRUE(result.cancelled);
    const auto cut = read("cut.es");
    EXPECT_GT(cut.size(), 4u << 20);
    EXPECT_NE(std::find(ends.begin(), ends.end(), cut.size()), ends.end()) << "cut at " << cut.size();
    EXPECT_TRUE(std::equal(cut.begin(), cut.end(), whole.begin()));

    // A device that takes no bytes (a full device made here): the failure is reported,
    // not a success, and the node stays.
    if (::mknod(path("full").c_str(), S_IFCHR | 0666, makedev(1, 7)) != 0)
        GTEST_SKIP() << "mknod not permitted";
    testing::CaptureSink full;
    Reporter fullReporter(&full);
    result = Demux(path("in.m2ts"), path("full"), 0x1011, DemuxMode::ES, fullReporter);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(full.fileErrors.size(), 1u);
    EXPECT_TRUE(std::filesystem::is_character_file(path("full")));
}

TEST_F(DemuxFile, WholeFileAndItsFailures) {
    TsBuilder ts;
    ts.pes(0x1100, {0xBD, 90000}, pattern(1000, 30));
    auto bytes = ts.bytes;
    bytes.resize(bytes.size() + 100, 0x47); // a partial packet at the end is ignored
    ASSERT_TRUE(writeWholeFile(path("in.m2ts"), bytes).ok);
    testing::CaptureSink sink;
    Reporter reporter(&sink);
    auto result = Demux(path("in.m2ts"), path("out.aus"), 0x1100, DemuxMode::ES, reporter);
    EXPECT_TRUE(result.ok);
    EXPECT_FALSE(result.cancelled);
    EXPECT_EQ(result.pidPackets, ts.packets());
    EXPECT_EQ(read("out.aus"), pattern(1000, 30));

    // A PID that never occurs, the null PID and a file that is no transport stream
    // are reported, and no file is left (an older one stays as it was).
    ASSERT_TRUE(writeWholeFile(path("old.aus"), {'O'}).ok);
    for (const std::uint16_t absent : {0x1101, 0x1FFF}) {
        result = Demux(path("in.m2ts"), path("old.aus"), absent, DemuxMode::ES, reporter);
        EXPECT_FALSE(result.ok);
        EXPECT_EQ(result.error, "PID " + hexText(absent, 4) + " not found in in.m2ts");
        EXPECT_TRUE(sink.contains("ERROR: " + result.error));
        EXPECT_EQ(read("old.aus"), std::vector<std::uint8_t>{'O'});
        result = Demux(path("in.m2ts"), path("none.aus"), absent, DemuxMode::ES, reporter);
        EXPECT_FALSE(std::filesystem::exists(path("none.aus")));
    }
    std::vector<std::uint8_t> text(5000, 'x');
    ASSERT_TRUE(writeWholeFile(path("notes.txt"), text).ok);
    result = Demux(path("notes.txt"), path("none.aus"), 0x1100, DemuxMode::ES, reporter);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.error, "notes.txt is no transport stream");
    EXPECT_FALSE(std::filesystem::exists(path("none.aus")));
    EXPECT_TRUE(sink.fileErrors.empty());
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        EXPECT_NE(entry.path().filename().string()[0], '.') << entry.path() << " left behind";

    result = Demux(path("missing.m2ts"), path("x"), 0x1100, DemuxMode::ES, reporter);
    EXPECT_FALSE(result.ok);
    ASSERT_EQ(sink.fileErrors.size(), 1u);
    EXPECT_NE(sink.fileErrors[0].find("missing.m2ts"), std::string::npos);
    result = Demux(path("in.m2ts"), path("no/such/folder/x"), 0x1100, DemuxMode::ES, reporter);
    EXPECT_FALSE(result.ok);
}

// Damage as a disc reader leaves it: sync bytes hit in place here and there, a run of
// damaged packets longer than the look-ahead on the grid, and bytes lost at a packet
// start. Every good packet gives what it gives in the undamaged stream.
TEST_F(DemuxFile, DamagedPacketsCostOnlyThemselves) {
    // Payload bytes never 0x47, so only real packet starts look like one.
    auto fill = [](std::size_t n, std::uint8_t seed) {
        auto data = pattern(n, seed);
        for (auto& b : data) b = b == SyncByte ? 0x48 : b;
        return data;
    };
    TsBuilder ts;
    std::vector<std::size_t> audioStarts, continuations; // packet numbers
    for (int i = 0; ts.packets() < 4400; ++i) {
        if (i % 3 == 0) ts.pes(0x1011, {0xE0, std::nullopt, std::nullopt, true}, fill(900, 1));
        if (i % 7 == 6) ts.nullPacket();
        audioStarts.push_back(ts.packets());
        // Mostly one packet per PES; every fifth spans three.
        const std::size_t size = i % 5 == 4 ? 500 : 150;
        ts.pes(0x1100, {0xBD}, fill(size, static_cast<std::uint8_t>(i)));
        if (size == 500) continuations.push_back(ts.packets() - 2);
    }
    // What each packet of the undamaged stream adds to the output.
    std::vector<std::vector<std::uint8_t>> adds(ts.packets());
    {
        Reporter quiet;
        Demuxer walk(0x1100, DemuxMode::ES, quiet);
        for (std::size_t i = 0; i < ts.packets(); ++i) {
            const std::size_t before = walk.pending().size();
            walk.processPackets(std::span(ts.bytes).subspan(i * SourcePacketSize, SourcePacketSize));
            adds[i].assign(walk.pending().begin() + static_cast<std::ptrdiff_t>(before),
                           walk.pending().end());
        }
    }
    std::set<std::size_t> damaged;
    for (std::size_t k = 0; k < 20; ++k) damaged.insert(audioStarts[5 + k * 41]);  // whole PES packets
    for (std::size_t k = 0; k < 7; ++k) damaged.insert(continuations[3 + k * 20]); // the middle of one
    const std::size_t run = audioStarts[720];
    for (std::size_t k = 0; k < 12; ++k) damaged.insert(run + k);
    const std::size_t cut = audioStarts[1100];
    ASSERT_TRUE(damaged.size() == 39 && !damaged.count(cut)) << damaged.size();
    auto bytes = ts.bytes;
    for (const std::size_t i : damaged)
        bytes[i * SourcePacketSize + 4] = static_cast<std::uint8_t>(0x40 + i % 7);
    bytes.erase(bytes.begin() + static_cast<std::ptrdiff_t>(cut * SourcePacketSize),
                bytes.begin() + static_cast<std::ptrdiff_t>(cut * SourcePacketSize + 50));
    damaged.insert(cut);

    std::vector<std::uint8_t> expected;
    std::uint64_t audioPackets = 0;
    for (std::size_t i = 0; i < ts.packets(); ++i) {
        if (damaged.count(i)) continue;
        expected.insert(expected.end(), adds[i].begin(), adds[i].end());
        audioPackets += packetPid(SourcePacket::at(ts.bytes, i * SourcePacketSize).value()) == 0x1100;
    }
    ASSERT_TRUE(writeWholeFile(path("damaged.m2ts"), bytes).ok);
    testing::CaptureSink sink;
    Reporter reporter(&sink);
    // Reads of 341 packets: the lost bytes shift every later read off the grid.
    const auto result = Demux(path("damaged.m2ts"), path("out.aus"), 0x1100, DemuxMode::ES, reporter, 1);
    ASSERT_TRUE(result.ok);
    EXPECT_EQ(read("out.aus"), expected);
    EXPECT_EQ(result.pidPackets, audioPackets);
    EXPECT_EQ(sink.lines[0].text,
              "  1 damaged packets skipped at byte " +
                  thousands(static_cast<std::int64_t>(*damaged.begin() * SourcePacketSize)));
    EXPECT_EQ(sink.lines.back().text, "40 damaged packets skipped in 29 places.");
    // One line per damaged place for the first ten, then the count of all.
    ASSERT_EQ(sink.lines.size(), 11u);
}

TEST_F(DemuxFile, SavePidLogLines) {
    TsBuilder ts;
    ts.pes(0x1200, {0xBD, 90000}, concat({{0x16}, pattern(10, 31)}));
    ASSERT_TRUE(writeWholeFile(path("in.m2ts"), ts.bytes).ok);
    testing::CaptureSink sink;
    Reporter reporter(&sink);
    reporter.CancelRequested = true; // left over from an earlier run
    const auto result = savePid(reporter, path("in.m2ts"), path("o.sup"), 0x1200, DemuxMode::SUP);
    EXPECT_EQ(result.pidPackets, 1u);
    EXPECT_TRUE(reporter.ConfirmCancel);
    const auto lines = sink.texts();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], "");
    EXPECT_EQ(lines[1], "Saving " + path("o.sup") + " ...");
    EXPECT_EQ(lines[2].substr(0, 18), "00015F90, 00000000");
    EXPECT_EQ(lines[3], "1 source packets saved. (0:00:00)");
    EXPECT_EQ(sink.status[0], "Ready.");
}

// Another muxer's m2ts: our elementary streams equal the ones it takes out itself.
TEST_F(DemuxFile, EsEqualsWhatFfmpegExtracts) {
    const std::string data = std::string(CORVANE_TEST_DATA) + "/stream/ffmpeg-mpeg2-ac3.";
    std::string error;
    testing::CaptureSink sink;
    Reporter reporter(&sink);
    for (const auto& [pid, ext] : {std::pair<std::uint16_t, const char*>{0x1011, "m2v"}, {0x1100, "ac3"}}) {
        const auto result = Demux(data + "m2ts", path(ext), pid, DemuxMode::ES, reporter);
        ASSERT_TRUE(result.ok);
        const auto expected = readWholeFile(data + ext, error);
        ASSERT_TRUE(expected) << error;
        EXPECT_EQ(read(ext), *expected) << ext;
    }
    // The PES form holds every payload byte of the PID.
    const auto pes = Demux(data + "m2ts", path("pes"), 0x1100, DemuxMode::PES, reporter);
    EXPECT_GT(std::filesystem::file_size(path("pes")), std::filesystem::file_size(path("ac3")));
    EXPECT_EQ(pes.pidPackets, 69u);
}

// Several streams in one read: each output equals the extraction of its stream alone,
// in every form, over damage in place, lost bytes and reads off the packet grid.
TEST_F(DemuxFile, SeveralStreamsInOneReadEqualTheirSingleExtractions) {
    TsBuilder ts;
    for (std::size_t i = 0; i < 300; ++i) {
        if (i % 4 == 0)
            ts.pes(0x1011, {0xE0, 90000 + 3000u * i, 87000 + 3000u * i, true},
                   pattern(700 + i, static_cast<std::uint8_t>(i)));
        ts.pes(0x1100, {0xBD, 90000 + 3000u * i}, pattern(150 + i % 300, static_cast<std::uint8_t>(i + 1)));
        if (i % 10 == 3)
            ts.pes(0x1200, {0xBD, 95000 + 3000u * i, 94000 + 3000u * i},
                   concat({{0x16}, pattern(30 + i, 7)}));
        if (i % 25 == 5) ts.pes(0x1400, {0xBD, 96000 + 3000u * i}, concat({{0x18}, pattern(400, 9)}));
        if (i % 9 == 0) ts.nullPacket();
    }
    ASSERT_GT(ts.packets(), 1000u);
    auto bytes = ts.bytes;
    for (const std::size_t i : {17u, 18u, 250u, 251u, 252u, 253u, 254u, 255u, 256u, 257u, 258u, 259u, 900u})
        bytes[i * SourcePacketSize + 4] = 0x46;
    const auto lost = bytes.begin() + static_cast<std::ptrdiff_t>(600 * SourcePacketSize + 10);
    bytes.erase(lost, lost + 60);
    ASSERT_TRUE(writeWholeFile(path("in.m2ts"), bytes).ok);
    const std::vector<DemuxTarget> targets{
        {0x1011, DemuxMode::ES, path("v.es")},   {0x1100, DemuxMode::ES, path("a.es")},
        {0x1100, DemuxMode::PES, path("a.pes")}, {0x1200, DemuxMode::SUP, path("p.sup")},
        {0x1200, DemuxMode::ES, path("p.es")},   {0x1400, DemuxMode::MNU, path("i.mnu")},
        {0x1400, DemuxMode::PES, path("i.pes")}, {0x1011, DemuxMode::PES, path("v.pes")}};
    for (const std::size_t blocks : {std::size_t{1}, std::size_t{32}}) {
        testing::CaptureSink sink;
        Reporter reporter(&sink);
        const auto results = DemuxStreams(path("in.m2ts"), targets, reporter, blocks);
        ASSERT_EQ(results.size(), targets.size());
        std::size_t damageLines = 0;
        for (const auto& line : sink.texts())
            damageLines += line.find("damaged packets") != std::string::npos;
        for (std::size_t i = 0; i < targets.size(); ++i) {
            const auto whole = read(std::filesystem::path(targets[i].outPath).filename().string());
            testing::CaptureSink aloneSink;
            Reporter alone(&aloneSink);
            const auto single =
                Demux(path("in.m2ts"), path("single"), targets[i].pid, targets[i].mode, alone, blocks);
            ASSERT_TRUE(results[i].ok && single.ok) << i;
            EXPECT_FALSE(whole.empty()) << i;
            EXPECT_EQ(whole, read("single")) << "target " << i << ", blocks " << blocks;
            EXPECT_EQ(results[i].pidPackets, single.pidPackets) << i;
            EXPECT_EQ(results[i].bytesWritten, whole.size()) << i;
            if (i == 0) {
                // The damage is told once, as the walk of one stream tells it.
                std::size_t aloneLines = 0;
                for (const auto& line : aloneSink.texts())
                    aloneLines += line.find("damaged packets") != std::string::npos;
                EXPECT_EQ(damageLines, aloneLines);
                EXPECT_GT(aloneLines, 2u);
            }
        }
    }

    // Another muxer's m2ts: both elementary streams as it takes them out, in one read.
    const std::string data = std::string(CORVANE_TEST_DATA) + "/stream/ffmpeg-mpeg2-ac3.";
    const std::vector<DemuxTarget> sample{{0x1100, DemuxMode::ES, path("s.ac3")},
                                          {0x1011, DemuxMode::ES, path("s.m2v")}};
    Reporter quiet;
    const auto results = DemuxStreams(data + "m2ts", sample, quiet);
    ASSERT_TRUE(results[0].ok && results[1].ok);
    std::string error;
    EXPECT_EQ(read("s.ac3"), readWholeFile(data + "ac3", error).value());
    EXPECT_EQ(read("s.m2v"), readWholeFile(data + "m2v", error).value());

    // The sample disc's feature clip (H.264, two AC-3, PGS): every stream in one read, as
    // `ffmpeg -i 00001.m2ts -map 0:N -c copy -f data` (ffmpeg 5.1) gives it, by size and CRC-32.
    const std::vector<DemuxTarget> feature{{0x1011, DemuxMode::ES, path("f.h264")},
                                           {0x1100, DemuxMode::ES, path("f1.ac3")},
                                           {0x1101, DemuxMode::ES, path("f2.ac3")},
                                           {0x1200, DemuxMode::ES, path("f.pgs")},
                                           {0x1200, DemuxMode::SUP, path("f.sup")}};
    const auto clip =
        DemuxStreams(std::string(CORVANE_BUNDLED_SAMPLE) + "/STREAM/00001.m2ts", feature, quiet);
    const std::pair<std::size_t, std::uint32_t> ffmpeg[] = {
        {178368, 0xec57a2a8}, {48000, 0xaa94dae8}, {48000, 0x7e70cc54}, {18715, 0xc7e27616}};
    for (std::size_t i = 0; i < 4; ++i) {
        ASSERT_TRUE(clip[i].ok) << i;
        const auto bytes = read(std::filesystem::path(feature[i].outPath).filename().string());
        EXPECT_EQ(bytes.size(), ffmpeg[i].first) << i;
        EXPECT_EQ(crc32(0, bytes.data(), static_cast<uInt>(bytes.size())), ffmpeg[i].second) << i;
    }
    // Its first caption shows 0.5 s after the first picture.
    const auto sup = read("f.sup");
    ASSERT_GE(sup.size(), 10u);
    EXPECT_EQ(std::vector<std::uint8_t>(sup.begin() + 2, sup.begin() + 6),
              (std::vector<std::uint8_t>{0x00, 0x00, 0xAF, 0xC8}));
}

TEST_F(DemuxFile, SeveralStreamsCancelAndFailures) {
    TsBuilder ts;
    std::vector<std::size_t> videoEnds{0}, audioEnds{0};
    for (std::size_t i = 0; i < 60; ++i) {
        const auto video = pattern(20000 + i, static_cast<std::uint8_t>(i));
        ts.pes(0x1011, {0xE0, 90000u * i, std::nullopt, true}, video);
        videoEnds.push_back(videoEnds.back() + video.size());
        const auto audio = pattern(3000 + i, static_cast<std::uint8_t>(i + 3));
        ts.pes(0x1100, {0xBD, 90000u * i}, audio);
        audioEnds.push_back(audioEnds.back() + audio.size());
    }
    ASSERT_TRUE(writeWholeFile(path("in.m2ts"), ts.bytes).ok);
    const std::vector<DemuxTarget> targets{{0x1011, DemuxMode::ES, path("v.es")},
                                           {0x1100, DemuxMode::ES, path("a.es")}};
    // A cancel: each output ends at a whole PES packet of its own stream.
    for (const int cancelAt : {2, 5}) {
        CancellingSink sink;
        Reporter reporter(&sink);
        sink.reporter = &reporter;
        sink.cancelAt = cancelAt;
        const auto results = DemuxStreams(path("in.m2ts"), targets, reporter, 1);
        ASSERT_TRUE(results[0].ok && results[1].ok);
        EXPECT_TRUE(results[0].cancelled);
        const auto video = read("v.es");
        const auto audio = read("a.es");
        EXPECT_LT(video.size(), videoEnds.back());
        EXPECT_NE(std::find(videoEnds.begin(), videoEnds.end(), video.size()), videoEnds.end());
        EXPECT_NE(std::find(audioEnds.begin(), audioEnds.end(), audio.size()), audioEnds.end());
        EXPECT_TRUE(std::equal(video.begin(), video.end(), concatOf(ts, 0x1011).begin()));
        EXPECT_TRUE(std::equal(audio.begin(), audio.end(), concatOf(ts, 0x1100).begin()));
    }

    // A PID that never comes: it is named, and no output is put in place (old ones stay).
    std::filesystem::remove(path("a.es"));
    ASSERT_TRUE(writeWholeFile(path("v.es"), {'O'}).ok);
    testing::CaptureSink sink;
    Reporter reporter(&sink);
    const std::vector<DemuxTarget> absent{{0x1011, DemuxMode::ES, path("v.es")},
                                          {0x1200, DemuxMode::SUP, path("p.sup")},
                                          {0x1100, DemuxMode::ES, path("a.es")}};
    auto results = DemuxStreams(path("in.m2ts"), absent, reporter);
    EXPECT_FALSE(results[0].ok || results[1].ok || results[2].ok);
    EXPECT_EQ(results[1].error, "PID 1200 not found in in.m2ts");
    EXPECT_TRUE(sink.contains("ERROR: PID 1200 not found in in.m2ts"));
    EXPECT_EQ(read("v.es"), std::vector<std::uint8_t>{'O'});
    EXPECT_FALSE(std::filesystem::exists(path("a.es")));
    EXPECT_FALSE(std::filesystem::exists(path("p.sup")));

    // An output that cannot be opened or written: reported, and nothing else is left.
    results = DemuxStreams(path("in.m2ts"),
                           std::vector<DemuxTarget>{{0x1011, DemuxMode::ES, path("v2.es")},
                                                    {0x1100, DemuxMode::ES, path("no/such/a.es")}},
                           reporter);
    EXPECT_FALSE(results[0].ok || results[1].ok);
    EXPECT_FALSE(std::filesystem::exists(path("v2.es")));
    if (::mknod(path("full").c_str(), S_IFCHR | 0666, makedev(1, 7)) == 0) {
        testing::CaptureSink full;
        Reporter fullReporter(&full);
        results = DemuxStreams(path("in.m2ts"),
                               std::vector<DemuxTarget>{{0x1100, DemuxMode::ES, path("a3.es")},
                                                        {0x1011, DemuxMode::ES, path("full")}},
                               fullReporter);
        EXPECT_FALSE(results[0].ok || results[1].ok);
        EXPECT_EQ(full.fileErrors.size(), 1u);
        EXPECT_FALSE(std::filesystem::exists(path("a3.es")));
    }
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        EXPECT_NE(entry.path().filename().string()[0], '.') << entry.path() << " left behind";
}

TEST(DemuxNames, StreamsOfThePmtOfAnotherMuxersStream) {
    std::string error;
    const auto streams =
        transportStreamPrograms(std::string(CORVANE_TEST_DATA) + "/stream/ffmpeg-mpeg2-ac3.m2ts", error);
    EXPECT_TRUE(error.empty()) << error;
    ASSERT_EQ(streams.size(), 2u);
    EXPECT_EQ(streams[0].stream_PID, 0x1011);
    EXPECT_EQ(streams[0].stream_coding_type, 0x02);
    EXPECT_EQ(streams[1].stream_PID, 0x1100);
    EXPECT_EQ(streams[1].stream_coding_type, 0x81);
    EXPECT_EQ(streamFileName("00800", streams[0], DemuxMode::ES), "00800 1011 m2v.m2v");
    EXPECT_TRUE(
        transportStreamPrograms(std::string(CORVANE_TEST_DATA) + "/stream/ffmpeg-mpeg2-ac3.ac3", error)
            .empty());
}

// The m2ts of the acceptance set: every audio frame comes out whole (AC-3 sync words).
TEST_F(DemuxFile, AcceptanceStreamAudio) {
    const auto m2ts = testing::acceptanceFolder() / "bdj-sdk" / "BDMV" / "STREAM" / "00000.m2ts";
    if (!std::filesystem::exists(m2ts)) GTEST_SKIP() << "no acceptance stream";
    testing::CaptureSink sink;
    Reporter reporter(&sink);
    const auto result = Demux(m2ts.string(), path("a.ac3"), 0x1100, DemuxMode::ES, reporter);
    ASSERT_TRUE(result.ok);
    const auto out = read("a.ac3");
    ASSERT_GT(out.size(), 1000u);
    // AC-3 frames back to back: each starts with 0B 77 and its size follows from its header.
    std::size_t at = 0, frames = 0;
    while (at + 5 <= out.size()) {
        ASSERT_EQ(out[at], 0x0B) << "at " << at;
        ASSERT_EQ(out[at + 1], 0x77) << "at " << at;
        static const int sizes48[] = {64,  64,  80,  80,  96,  96,  112,  112,  128,  128,  160,  160, 192,
                                      192, 224, 224, 256, 256, 320, 320,  384,  384,  448,  448,  512, 512,
                                      640, 640, 768, 768, 896, 896, 1024, 1024, 1152, 1152, 1280, 1280};
        const int code = out[at + 4] & 0x3F;
        ASSERT_EQ(out[at + 4] >> 6, 0) << "48 kHz expected";
        ASSERT_LT(code, 38);
        at += 2u * static_cast<std::size_t>(sizes48[code]);
        ++frames;
    }
    EXPECT_EQ(at, out.size());
    EXPECT_GT(frames, 10u);
}

// A stream row's record: PID, coding type and the attributes its details show.
TStreamCodingInfo streamOf(std::uint16_t pid, std::uint8_t type, std::array<std::uint8_t, 3> attributes = {},
                           std::string language = "") {
    TStreamCodingInfo stream;
    stream.stream_PID = pid;
    stream.stream_coding_type = type;
    if (type == 0x1B) {
        stream.video_format = attributes[0];
        stream.frame_rate = attributes[1];
        stream.aspect_ratio = attributes[2];
    } else {
        stream.audio_presentation_type = attributes[0];
        stream.sampling_frequency = attributes[1];
        stream.character_code = attributes[2];
    }
    stream.language_code = std::move(language);
    return stream;
}

TEST(DemuxNames, OutputNameAndMode) {
    Options options;
    const TStreamCodingInfo dts =
        streamOf(0x1100, 0x86, {6, 1, 0}, "eng");                    // DTS-HD XLL, Multi-ch., 48 kHz, eng
    const TStreamCodingInfo avc = streamOf(0x1011, 0x1B, {6, 1, 3}); // AVC, 1080p, 23.976, 16:9
    const TStreamCodingInfo pg = streamOf(0x1200, 0x90, {}, "eng");
    const TStreamCodingInfo ig = streamOf(0x1400, 0x91, {}, "eng");
    const TStreamCodingInfo ddPlus = streamOf(0x1A00, 0xA1);
    const TStreamCodingInfo text = streamOf(0x1800, 0x92, {0, 0, 1}, "deu"); // Text, 1, deu
    auto out = pidOutput("/work/", "00001", dts, options);
    EXPECT_EQ(out.fileName, "/work/00001_PID1100_DTS-HD_XLL_Multi-ch._48_kHz_eng.aus");
    EXPECT_EQ(out.mode, DemuxMode::ES);
    out = pidOutput("", "00001", avc, options);
    EXPECT_EQ(out.fileName, "00001_PID1011_AVC_1080p_23.976_16_9.vis");

    options.SavePES = true;
    out = pidOutput("", "c", pg, options);
    EXPECT_EQ(out.mode, DemuxMode::SUP);
    EXPECT_EQ(out.extension, "sup");
    out = pidOutput("", "c", ig, options);
    EXPECT_EQ(out.mode, DemuxMode::PES);
    EXPECT_EQ(out.extension, "PES.igs");
    out = pidOutput("", "c", ddPlus, options);
    EXPECT_EQ(out.extension, "PES.sas");

    options.SavePES = false;
    out = pidOutput("", "c", ig, options);
    EXPECT_EQ(out.mode, DemuxMode::MNU);
    EXPECT_EQ(out.fileName, "c_PID1400_IG_eng.mnu");
    options.SaveSUP = false;
    options.SaveMNU = false;
    EXPECT_EQ(pidOutput("", "c", pg, options).extension, "pgs");
    EXPECT_EQ(pidOutput("", "c", ig, options).mode, DemuxMode::ES);
    out = pidOutput("", "c", text, options);
    EXPECT_EQ(out.fileName, "c_PID1800_Text_1_deu.");
    EXPECT_EQ(pidExtension(0x1B00), "svs");

    // The names a person reads: clip, PID, coding, language, the extension of the form.
    const TStreamCodingInfo ac3 = streamOf(0x1100, 0x81, {6, 1, 0}, "eng");
    EXPECT_EQ(streamFileName("00800", ac3, DemuxMode::ES), "00800 1100 ac3 eng.ac3");
    EXPECT_EQ(streamFileName("00800", ac3, DemuxMode::PES), "00800 1100 ac3 eng.pes");
    EXPECT_EQ(streamFileName("00800", avc, DemuxMode::ES), "00800 1011 h264.h264");
    EXPECT_EQ(streamFileName("00800", streamOf(0x1200, 0x90, {}, "fre"), DemuxMode::SUP),
              "00800 1200 pgs fre.sup");
    EXPECT_EQ(streamFileName("00800", ig, DemuxMode::MNU), "00800 1400 igs eng.mnu");
    EXPECT_EQ(streamFileName("00800", dts, DemuxMode::ES), "00800 1100 dtshd eng.dtshd");
    // A language that is no code stays out of the name; no coding known: the PID's extension.
    EXPECT_EQ(streamFileName("c", streamOf(0x1101, 0x81, {6, 1, 0}, "e/."), DemuxMode::ES), "c 1101 ac3.ac3");
    TStreamCodingInfo bare;
    bare.stream_PID = 0x1101;
    EXPECT_EQ(streamFileName("c", bare, DemuxMode::ES), "c 1101.aus");
    bare.stream_PID = 0x0100;
    EXPECT_EQ(streamFileName("c", bare, DemuxMode::ES), "c 0100.es");
    EXPECT_EQ(pidMode(0x1200, options), DemuxMode::ES); // SaveSUP off above
}

} // namespace
} // namespace corvane
