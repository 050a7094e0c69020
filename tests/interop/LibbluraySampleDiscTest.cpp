// The bundled sample disc as libbluray's public API reads it: its titles, the feature's
// chapters, streams and clips, and the angle playlist.

#include <gtest/gtest.h>

#include <libbluray/bluray.h>

#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;

TEST(LibbluraySampleDisc, TitlesAndPlaylists) {
    // libbluray wants the folder that holds BDMV.
    const fs::path disc = fs::path(CORVANE_SAMPLE_DISC).parent_path();
    BLURAY* bd = bd_open(disc.string().c_str(), nullptr);
    ASSERT_NE(bd, nullptr);
    const BLURAY_DISC_INFO* info = bd_get_disc_info(bd);
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->num_hdmv_titles, 3u);
    EXPECT_EQ(info->num_bdj_titles, 1u);
    EXPECT_TRUE(info->first_play_supported);
    EXPECT_TRUE(info->top_menu_supported);

    BLURAY_TITLE_INFO* feature = bd_get_playlist_info(bd, 1, 0);
    ASSERT_NE(feature, nullptr);
    EXPECT_EQ(feature->clip_count, 2u);
    ASSERT_EQ(feature->chapter_count, 4u);
    const std::uint64_t starts[] = {0, 2 * 90000, 180180 * 2, 6 * 90000}; // 90 kHz
    for (std::uint32_t c = 0; c < 4; ++c) EXPECT_EQ(feature->chapters[c].start, starts[c]) << c;
    const BLURAY_CLIP_INFO& first = feature->clips[0];
    ASSERT_EQ(first.audio_stream_count, 2);
    EXPECT_STREQ(reinterpret_cast<const char*>(first.audio_streams[0].lang), "eng");
    EXPECT_STREQ(reinterpret_cast<const char*>(first.audio_streams[1].lang), "fre");
    ASSERT_EQ(first.pg_stream_count, 1);
    EXPECT_EQ(first.pg_streams[0].pid, 0x1200);
    EXPECT_EQ(first.video_streams[0].coding_type, 0x1B);
    bd_free_title_info(feature);

    BLURAY_TITLE_INFO* angles = bd_get_playlist_info(bd, 2, 0);
    ASSERT_NE(angles, nullptr);
    EXPECT_EQ(angles->angle_count, 2u);
    bd_free_title_info(angles);

    bd_close(bd);
}

} // namespace
