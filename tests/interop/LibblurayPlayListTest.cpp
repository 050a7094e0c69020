// Edited playlists read by an independent library: a disc folder of real clip
// information files with our written playlist in it, opened with libbluray, must
// show the streams, clips and chapters we put there.

#include <gtest/gtest.h>

#include <libbluray/bluray.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "io/FileIO.h"
#include "playlist/PlayListDisplay.h"
#include "playlist/PlayListEdit.h"
#include "playlist/PlayListMarks.h"
#include "playlist/PlayListReader.h"
#include "playlist/PlayListWriter.h"

namespace corvane {
namespace {

namespace fs = std::filesystem;

const std::string Data = CORVANE_TEST_DATA;

class LibblurayPlayList : public ::testing::Test {
protected:
    void SetUp() override {
        m_disc =
            fs::temp_directory_path() / ("corvane-interop-" + std::to_string(::getpid()) + "-" +
                                         ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_disc);
        fs::copy(Data + "/interop-disc1", m_disc, fs::copy_options::recursive);
        std::string error;
        const auto bytes = readWholeFile(Data + "/playlist/bdpl-disc1-00002-subpath-17marks.mpls", error);
        ASSERT_TRUE(bytes) << error;
        PlsReadResult read = readPlayList(*bytes, "00002.mpls");
        ASSERT_EQ(read.status, ReadStatus::Ok);
        m_mpls = read.mpls;
    }
    void TearDown() override { fs::remove_all(m_disc); }

    // Writes the model as PLAYLIST/00002.mpls and lets libbluray read it.
    std::unique_ptr<BLURAY_TITLE_INFO, void (*)(BLURAY_TITLE_INFO*)> playlistInfo() {
        const auto bytes = writePlayList(m_mpls);
        std::ofstream((m_disc / "BDMV" / "PLAYLIST" / "00002.mpls").string(), std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        BLURAY* bd = bd_open(m_disc.string().c_str(), nullptr);
        EXPECT_NE(bd, nullptr);
        BLURAY_TITLE_INFO* info = bd ? bd_get_playlist_info(bd, 2, 0) : nullptr;
        if (bd) bd_close(bd);
        return {info, bd_free_title_info};
    }

    fs::path m_disc;
    TMPLS m_mpls;
};

TEST_F(LibblurayPlayList, UnchangedPlaylist) {
    const auto info = playlistInfo();
    ASSERT_TRUE(info);
    ASSERT_EQ(info->clip_count, m_mpls.PlayList.PlayItems.size());
    EXPECT_EQ(info->mark_count, m_mpls.PlayListMark.marks.size());
    for (std::uint32_t i = 0; i < info->clip_count; ++i)
        EXPECT_EQ(info->clips[i].audio_stream_count, m_mpls.PlayList.PlayItems[i].STN.audio.size());
}

TEST_F(LibblurayPlayList, InsertedStreamsAndSubPath) {
    const std::size_t items = m_mpls.PlayList.PlayItems.size();
    for (std::size_t i = 0; i < items; ++i) {
        ASSERT_TRUE(insertStreamEntry(m_mpls, i, ListPrimaryAudio, 0));
        ASSERT_TRUE(insertStreamEntry(m_mpls, i, ListPG, std::nullopt));
    }
    setEntryField(
        *stnEntry(m_mpls.PlayList.PlayItems[0].STN, ListPrimaryAudio, 1), EntryField::Language,
        static_cast<std::uint32_t>(std::find(languageCodes().begin(), languageCodes().end(), "deu") -
                                   languageCodes().begin()));
    ASSERT_TRUE(insertSubPath(m_mpls, 0));
    ASSERT_TRUE(deleteStreamEntry(m_mpls, items - 1, ListPrimaryAudio, 0).deleted);
    const auto info = playlistInfo();
    ASSERT_TRUE(info);
    ASSERT_EQ(info->clip_count, items);
    for (std::uint32_t i = 0; i < info->clip_count; ++i) {
        const TSTN& stn = m_mpls.PlayList.PlayItems[i].STN;
        ASSERT_EQ(info->clips[i].audio_stream_count, stn.audio.size()) << i;
        ASSERT_EQ(info->clips[i].pg_stream_count, stnListSize(stn, ListPG)) << i;
        EXPECT_EQ(info->clips[i].audio_streams[0].pid, stn.audio[0].ref_to_stream_PID_of_mainClip) << i;
    }
    EXPECT_STREQ(reinterpret_cast<const char*>(info->clips[0].audio_streams[1].lang), "deu");
    EXPECT_EQ(info->clips[0].pg_streams[0].pid, 0x1200);
    EXPECT_EQ(info->mark_count, m_mpls.PlayListMark.marks.size());
}

TEST_F(LibblurayPlayList, ImportedChapters) {
    // One chapter per 30 s of the playlist.
    std::uint64_t total = 0;
    for (const auto& item : m_mpls.PlayList.PlayItems) total += item.OUT_time - item.IN_time;
    std::string file;
    std::vector<std::uint64_t> times;
    for (std::uint64_t t = 0; t < total; t += 30 * 45000) {
        times.push_back(t);
        file += std::to_string(t) + "\r\n";
    }
    const ChapterImport result = importChapters(m_mpls, file, ChapterFormat::PTS);
    ASSERT_TRUE(result.changed) << result.error;
    const auto info = playlistInfo();
    ASSERT_TRUE(info);
    ASSERT_EQ(info->chapter_count, times.size());
    for (std::size_t i = 0; i < times.size(); ++i)
        EXPECT_EQ(info->chapters[i].start, 2 * times[i]) << i; // 90 kHz
}

} // namespace
} // namespace corvane
