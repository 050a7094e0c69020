// Playlist extraction: the PTS cut of whole PES packets, SUP times on the playlist's time
// line, a three-clip disc made by ffmpeg against PES packets walked here, and refusals.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "io/FileIO.h"
#include "playlist/PlayListMarks.h"
#include "playlist/PlayListReader.h"
#include "shell/CaptureSink.h"
#include "stream/PlaylistExtract.h"
#include "stream/StreamTestUtil.h"

namespace corvane {
namespace {

using testing::pattern;
using testing::PesLayout;
using testing::TsBuilder;

std::vector<std::uint8_t> walk(const std::vector<std::uint8_t>& ts, std::uint16_t pid, DemuxMode mode,
                               bool windowed, std::uint32_t reference = 0) {
    testing::CaptureSink sink;
    Reporter reporter(&sink);
    Demuxer demuxer(pid, mode, reporter);
    if (windowed) {
        demuxer.setWindow(1000, 500);
        demuxer.setReference(reference);
    }
    demuxer.processPackets(ts);
    return demuxer.pending();
}

TEST(PlaylistExtract, WindowKeepsWholePesPacketsByPts) {
    // [1000, 1500): a PES without PTS goes with the one before it that had one.
    const std::vector<std::optional<std::uint64_t>> times{std::nullopt, 900,  std::nullopt, 1000,
                                                          std::nullopt, 1499, 1500,         std::nullopt};
    const std::vector<bool> kept{false, false, false, true, true, true, false, false};
    for (const std::uint16_t pid : {std::uint16_t{0x1100}, std::uint16_t{0x1200}}) {
        TsBuilder all, inside;
        for (std::size_t i = 0; i < times.size(); ++i) {
            const auto data = pattern(150 + 60 * i, static_cast<std::uint8_t>(i)); // some span two packets
            all.pes(pid, {0xBD, times[i]}, data);
            all.pes(0x1011, {0xE0, 0}, pattern(20, 9));
            if (kept[i]) inside.pes(pid, {0xBD, times[i]}, data);
        }
        for (const DemuxMode mode : {DemuxMode::ES, DemuxMode::PES})
            EXPECT_EQ(walk(all.bytes, pid, mode, true), walk(inside.bytes, pid, mode, false))
                << "PID " << pid << " mode " << static_cast<int>(mode);
        if (pid != 0x1200) continue;
        // SUP: PTS − IN × 2 + the PlayItem's start; unchanged for the segment without PTS.
        const auto sup = walk(all.bytes, pid, DemuxMode::SUP, true, 1000 - 90000);
        ASSERT_GT(sup.size(), 10u);
        EXPECT_EQ(std::vector<std::uint8_t>(sup.begin(), sup.begin() + 6),
                  (std::vector<std::uint8_t>{'P', 'G', 0, 1, 0x5F, 0x90})); // 90000
        const std::size_t second = 10 + 150 + 60 * 3;
        ASSERT_GT(sup.size(), second + 6);
        EXPECT_EQ(std::vector<std::uint8_t>(sup.begin() + second, sup.begin() + second + 6),
                  (std::vector<std::uint8_t>{'P', 'G', 0, 1, 0x5F, 0x90}));
    }
}

// The PES packets of a PID walked here: each unit from a payload_unit_start to the next,
// its PTS if it has one.
struct Unit {
    std::optional<std::uint32_t> pts;
    std::vector<std::uint8_t> es;
};
std::vector<Unit> pesUnits(const std::vector<std::uint8_t>& m2ts, std::uint16_t pid) {
    std::vector<Unit> units;
    std::vector<std::uint8_t> current;
    const auto close = [&] {
        if (current.size() < 9) return;
        Unit unit;
        if ((current[7] & 0x80) != 0) {
            const std::uint64_t p = (std::uint64_t{current[9]} & 0x0E) << 29 |
                                    std::uint64_t{current[10]} << 22 |
                                    (std::uint64_t{current[11]} & 0xFE) << 14 |
                                    std::uint64_t{current[12]} << 7 | std::uint64_t{current[13]} >> 1;
            unit.pts = static_cast<std::uint32_t>(p);
        }
        unit.es.assign(current.begin() + 9 + current[8], current.end());
        units.push_back(std::move(unit));
    };
    for (std::size_t at = 0; at + 192 <= m2ts.size(); at += 192) {
        const std::uint8_t* p = &m2ts[at + 4];
        if (((p[1] & 0x1F) << 8 | p[2]) != pid) continue;
        std::size_t start = 4;
        if ((p[3] & 0x20) != 0) start += 1u + p[4];
        if ((p[3] & 0x10) == 0 || start >= 188) continue;
        if ((p[1] & 0x40) != 0) {
            close();
            current.clear();
        }
        current.insert(current.end(), p + start, p + 188);
    }
    close();
    return units;
}

class PlaylistFile : public ::testing::Test {
protected:
    void SetUp() override {
        dir = std::filesystem::temp_directory_path() /
              ("corvane_plextract_" +
               std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir / "out");
        std::string error;
        const auto bytes = readWholeFile(disc + "/PLAYLIST/00800.mpls", error);
        ASSERT_TRUE(bytes) << error;
        PlsReadResult read = readPlayList(*bytes, "00800.mpls", true);
        ASSERT_EQ(read.status, ReadStatus::Ok);
        mpls = read.mpls;
    }
    void TearDown() override { std::filesystem::remove_all(dir); }
    std::size_t outputs() const {
        return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(dir / "out"),
                                                      std::filesystem::directory_iterator{}));
    }
    std::filesystem::path dir;
    const std::string disc = std::string(CORVANE_TEST_DATA) + "/playlist-disc/BDMV";
    TMPLS mpls;
};

TEST_F(PlaylistFile, EqualsTheClipsCutByPts) {
    const PlaylistPlan plan =
        planPlaylistExtract(mpls, "00800", disc + "/STREAM", 0, {}, (dir / "out").string(), Options{});
    ASSERT_EQ(plan.error, "");
    ASSERT_EQ(plan.streams.size(), 2u);
    testing::CaptureSink sink;
    Reporter reporter(&sink);
    const PlaylistExtractResult result = extractPlaylist(plan, reporter);
    ASSERT_TRUE(result.ok) << result.error;

    // The audio PID of the second clip differs: 0x1100, 0x1101, 0x1100.
    const std::uint16_t audio[] = {0x1100, 0x1101, 0x1100};
    std::string error;
    for (std::size_t s = 0; s < 2; ++s) {
        std::vector<std::uint8_t> expected;
        std::size_t whole = 0;
        for (std::size_t i = 0; i < 3; ++i) {
            const TPlayItem& item = mpls.PlayList.PlayItems[i];
            const auto m2ts =
                readWholeFile(disc + "/STREAM/" + item.Clip_Information_file_name + ".m2ts", error);
            ASSERT_TRUE(m2ts);
            bool keep = false;
            for (const Unit& unit : pesUnits(*m2ts, s == 0 ? 0x1011 : audio[i])) {
                if (unit.pts) keep = *unit.pts >= item.IN_time * 2u && *unit.pts < item.OUT_time * 2u;
                if (keep) expected.insert(expected.end(), unit.es.begin(), unit.es.end());
                whole += unit.es.size();
            }
        }
        EXPECT_LT(expected.size(), whole * 9 / 10) << "the cuts lie inside the clips";
        const auto got = readWholeFile(plan.streams[s].outPath, error);
        ASSERT_TRUE(got) << error;
        EXPECT_EQ(*got, expected) << plan.streams[s].outPath;
    }
    EXPECT_EQ(std::filesystem::path(plan.streams[1].outPath).filename(), "00800 1100 ac3 eng.ac3");
    const auto chapters = readWholeFile(plan.chapterPath, error);
    ASSERT_TRUE(chapters);
    EXPECT_EQ(std::string(chapters->begin(), chapters->end()), chapterText(mpls, ChapterFormat::Time).text);
    EXPECT_EQ(std::string(chapters->begin(), chapters->end()), "00:00:00.000\r\n00:00:00.700\r\n");
}

TEST_F(PlaylistFile, StnStreamsAreTheChoicesThePlanTakes) {
    // The second PlayItem's audio entry has its own PID; the plan follows the same numbers.
    const std::vector<StnStream> streams = stnStreams(mpls.PlayList.PlayItems[1]);
    ASSERT_EQ(streams.size(), 2u);
    EXPECT_EQ(streams[0].choice, (StnChoice{StnKind::Video, 1}));
    EXPECT_EQ(streams[1].choice, (StnChoice{StnKind::Audio, 1}));
    EXPECT_EQ(streams[1].info.stream_PID, 0x1101);
    EXPECT_EQ(streams[1].info.language_code, "eng");
    EXPECT_TRUE(streams[1].inClip);
    std::vector<StnChoice> choices;
    for (const StnStream& stream : streams) choices.push_back(stream.choice);
    const PlaylistPlan plan =
        planPlaylistExtract(mpls, "00800", disc + "/STREAM", 0, choices, (dir / "out").string(), Options{});
    ASSERT_EQ(plan.error, "");
    EXPECT_EQ(plan.pieces[1].pids, (std::vector<std::uint16_t>{0x1011, 0x1101}));

    // An entry of a sub path is listed, numbered in its list, and not offered as the clip's.
    TPlayItem item = mpls.PlayList.PlayItems[0];
    item.STN.audio.insert(item.STN.audio.begin(), item.STN.audio.front());
    item.STN.audio.front().stream_type = 2;
    const std::vector<StnStream> withSubPath = stnStreams(item);
    ASSERT_EQ(withSubPath.size(), 3u);
    EXPECT_FALSE(withSubPath[1].inClip);
    EXPECT_EQ(withSubPath[2].choice, (StnChoice{StnKind::Audio, 2}));
    EXPECT_TRUE(withSubPath[2].inClip);

    // Angles: those that every multi-angle PlayItem has.
    EXPECT_EQ(playlistAngleCount(mpls), 0u);
    TMPLS angles = mpls;
    for (const auto& [index, count] : {std::pair{0, 3}, std::pair{2, 2}}) {
        angles.PlayList.PlayItems[index].is_multi_angle = 1;
        angles.PlayList.PlayItems[index].multi_clip.angles.resize(count);
    }
    EXPECT_EQ(playlistAngleCount(angles), 2u);
}

TEST_F(PlaylistFile, BadInputNamesItAndWritesNothing) {
    namespace fs = std::filesystem;
    const std::string out = (dir / "out").string();
    const auto refused = [&](const std::string& folder, std::size_t angle, std::vector<StnChoice> choices) {
        return planPlaylistExtract(mpls, "00800", folder, angle, choices, out, Options{});
    };
    fs::create_directories(dir / "STREAM");
    fs::copy_file(disc + "/STREAM/00001.m2ts", dir / "STREAM/00001.m2ts");
    fs::copy_file(disc + "/STREAM/00002.m2ts", dir / "STREAM/00002.m2ts");
    const std::string stream = (dir / "STREAM").string();
    EXPECT_EQ(refused(stream, 0, {}).error, "clip 00003.m2ts of PlayItem 2 is missing in " + stream);
    EXPECT_EQ(refused(disc + "/STREAM", 1, {}).error,
              "angle 1 does not exist: 00800 has no multi-angle PlayItem");
    EXPECT_EQ(refused(disc + "/STREAM", 0, {{StnKind::Audio, 2}}).error,
              "audio:2 is not in the STN of PlayItem 0 (1 audio stream)");
    EXPECT_EQ(refused(disc + "/STREAM", 0, {{StnKind::PG, 1}}).error,
              "pg:1 is not in the STN of PlayItem 0 (0 PG streams)");
    TMPLS angles = mpls;
    angles.PlayList.PlayItems[1].is_multi_angle = 1;
    angles.PlayList.PlayItems[1].multi_clip.angles.resize(2);
    EXPECT_EQ(planPlaylistExtract(angles, "00800", disc + "/STREAM", 2, {}, out, Options{}).error,
              "angle 2 does not exist in PlayItem 1 (angles 0 to 1)");
    TMPLS noAngle = angles;
    noAngle.PlayList.PlayItems[1].multi_clip.angles.clear();
    EXPECT_EQ(planPlaylistExtract(noAngle, "00800", disc + "/STREAM", 0, {}, out, Options{}).error,
              "PlayItem 1 is multi-angle but lists no angle");
    // Angle 1 reads that PlayItem's second clip; the others keep their own.
    angles.PlayList.PlayItems[1].multi_clip.angles[1].Clip_Information_file_name = "00003";
    const PlaylistPlan angle1 = planPlaylistExtract(angles, "00800", disc + "/STREAM", 1, {}, out, Options{});
    ASSERT_EQ(angle1.pieces.size(), 3u);
    EXPECT_EQ(fs::path(angle1.pieces[0].m2tsPath).filename(), "00001.m2ts");
    EXPECT_EQ(fs::path(angle1.pieces[1].m2tsPath).filename(), "00003.m2ts");

    // Found at the reading: a clip that is no transport stream, a PID in none of the clips.
    std::ofstream(dir / "STREAM/00003.m2ts") << std::string(192 * 20, 'x');
    testing::CaptureSink sink;
    Reporter reporter(&sink);
    PlaylistPlan plan = refused(stream, 0, {});
    ASSERT_EQ(plan.error, "");
    PlaylistExtractResult result = extractPlaylist(plan, reporter);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.error, "00003.m2ts of PlayItem 2 is no transport stream");
    EXPECT_EQ(outputs(), 0u);
    plan = refused(disc + "/STREAM", 0, {{StnKind::Audio, 1}});
    for (PlaylistPiece& piece : plan.pieces) piece.pids[0] = 0x1102;
    result = extractPlaylist(plan, reporter);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.error, "audio:1 (PID 1100) is in none of the clips");
    EXPECT_EQ(outputs(), 0u);
}

} // namespace
} // namespace corvane
