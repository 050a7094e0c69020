// The disc report of every real disc of the acceptance set, when it is present, against
// what libbluray's public API says of the same playlists: durations, chapters, clips and
// the streams of the first PlayItem.

#include <gtest/gtest.h>

#include <libbluray/bluray.h>

#include <filesystem>
#include <iostream>
#include <string>

#include "disc/DiscReport.h"

namespace corvane {
namespace {

namespace fs = std::filesystem;

void expectStreams(const BLURAY_STREAM_INFO* streams, std::uint8_t count, const PlayListReport& report,
                   const std::string& type, const std::string& alsoType = {}) {
    std::vector<const StreamReport*> ours;
    for (const StreamReport& s : report.streams)
        if (s.type == type || s.type == alsoType) ours.push_back(&s);
    ASSERT_EQ(ours.size(), count) << type;
    for (std::uint8_t i = 0; i < count; ++i) {
        SCOPED_TRACE(type + " " + std::to_string(i + 1));
        EXPECT_EQ(ours[i]->pid, streams[i].pid);
        EXPECT_EQ(ours[i]->coding, streams[i].coding_type);
        if (type != "video") {
            EXPECT_EQ(ours[i]->language, std::string(reinterpret_cast<const char*>(streams[i].lang)));
        }
    }
}

TEST(LibblurayDiscReport, EveryRealPlaylistAsLibblurayReadsIt) {
    const fs::path set = fs::path(CORVANE_ACCEPTANCE_DATA) / "bdpl";
    std::error_code error;
    if (!fs::is_directory(set, error)) GTEST_SKIP() << "acceptance sample set not present";
    const fs::path root =
        fs::temp_directory_path() / ("corvane-libbluray-report-" + std::to_string(::getpid()));
    std::size_t compared = 0, refused = 0;
    for (const auto& entry : fs::directory_iterator(set)) {
        if (!entry.is_directory()) continue;
        SCOPED_TRACE(entry.path().filename().string());
        // libbluray wants the folder that holds BDMV.
        fs::remove_all(root);
        fs::create_directories(root);
        fs::create_directory_symlink(entry.path(), root / "BDMV");
        const DiscReport report = discReport(loadDisc(root.string()));
        BLURAY* bd = bd_open(root.string().c_str(), nullptr);
        ASSERT_NE(bd, nullptr);
        for (const PlayListReport& playlist : report.playlists) {
            SCOPED_TRACE(playlist.name);
            if (!playlist.read.usable()) {
                ++refused;
                continue;
            }
            BLURAY_TITLE_INFO* info =
                bd_get_playlist_info(bd, static_cast<std::uint32_t>(std::stoul(playlist.name)), 0);
            ASSERT_NE(info, nullptr);
            EXPECT_EQ(playlist.duration * 2, info->duration);
            ASSERT_EQ(playlist.chapters.size(), info->chapter_count);
            for (std::uint32_t c = 0; c < info->chapter_count; ++c)
                EXPECT_EQ(playlist.chapters[c].start * 2, info->chapters[c].start) << "chapter " << c + 1;
            ASSERT_EQ(playlist.items.size(), info->clip_count);
            for (std::uint32_t c = 0; c < info->clip_count; ++c)
                EXPECT_EQ(playlist.items[c].clip, std::string(info->clips[c].clip_id)) << "PlayItem " << c;
            if (info->clip_count > 0) {
                const BLURAY_CLIP_INFO& clip = info->clips[0];
                expectStreams(clip.video_streams, clip.video_stream_count, playlist, "video");
                expectStreams(clip.audio_streams, clip.audio_stream_count, playlist, "audio");
                // libbluray lists the PiP PG/textST streams after the PG ones.
                expectStreams(clip.pg_streams, clip.pg_stream_count, playlist, "pg", "pip pg");
                expectStreams(clip.ig_streams, clip.ig_stream_count, playlist, "ig");
                expectStreams(clip.sec_audio_streams, clip.sec_audio_stream_count, playlist,
                              "secondary audio");
                expectStreams(clip.sec_video_streams, clip.sec_video_stream_count, playlist,
                              "secondary video");
            }
            bd_free_title_info(info);
            ++compared;
        }
        bd_close(bd);
    }
    fs::remove_all(root);
    EXPECT_GT(compared, 0u);
    std::cout << compared << " playlists compared, " << refused << " refused\n";
}

} // namespace
} // namespace corvane
