// The bundled sample disc as libbluray's public API reads it: its titles, the feature's
// chapters, streams and clips, the angle playlist, and the top menu as its IG decoder draws
// and navigates it.

#include <gtest/gtest.h>

#include <libbluray/bluray.h>
#include <libbluray/keys.h>
#include <libbluray/overlay.h>

#include <chrono>
#include <filesystem>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "interop/LibblurayOpen.h"

namespace {

namespace fs = std::filesystem;

// libbluray wants the folder that holds BDMV.
BLURAY* openSampleDisc() {
    return corvane::testing::openDiscWithoutJava(fs::path(CORVANE_SAMPLE_DISC).parent_path());
}

TEST(LibbluraySampleDisc, TitlesAndPlaylists) {
    BLURAY* bd = openSampleDisc();
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

// The IG plane as libbluray draws it: each object drawn, by position, in order.
struct Drawn {
    std::vector<std::pair<int, int>> at;
    std::vector<std::uint32_t> sounds;
};

void overlay(void* handle, const BD_OVERLAY* ov) {
    if (ov && ov->plane == BD_OVERLAY_IG && ov->cmd == BD_OVERLAY_DRAW)
        static_cast<Drawn*>(handle)->at.emplace_back(ov->x, ov->y);
}

// First Play jumps to the Top Menu, which plays the menu playlist: the page's in-effect (the
// banner in three steps, timed by libbluray's own clock), then its four buttons; Down selects
// the second with its sound, Enter activates it with the other.
TEST(LibbluraySampleDisc, TopMenuDrawsAndAnswersKeys) {
    BLURAY* bd = openSampleDisc();
    ASSERT_NE(bd, nullptr);
    Drawn drawn;
    bd_register_overlay_proc(bd, &drawn, overlay);
    ASSERT_EQ(bd_play(bd), 1);
    const std::set<std::pair<int, int>> buttons{{660, 400}, {660, 520}, {660, 640}, {660, 760}};
    auto pump = [&](int rounds, auto done) {
        std::vector<unsigned char> buffer(6144);
        for (int i = 0; i < rounds && !done(); ++i) {
            BD_EVENT event{};
            if (bd_read_ext(bd, buffer.data(), static_cast<int>(buffer.size()), &event) < 0) break;
            for (; event.event != BD_EVENT_NONE; bd_get_event(bd, &event))
                if (event.event == BD_EVENT_SOUND_EFFECT) drawn.sounds.push_back(event.param);
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    };
    auto buttonsDrawn = [&] {
        std::set<std::pair<int, int>> seen;
        for (const auto& at : drawn.at)
            if (buttons.count(at)) seen.insert(at);
        return seen == buttons;
    };
    pump(1000, buttonsDrawn);
    ASSERT_TRUE(buttonsDrawn());
    std::vector<int> bannerRows;
    for (const auto& [x, y] : drawn.at)
        if (x == 480) bannerRows.push_back(y);
    EXPECT_EQ(bannerRows, (std::vector<int>{100, 160, 220}));

    drawn.at.clear();
    bd_user_input(bd, 0, BD_VK_DOWN);
    pump(20, [&] { return !drawn.sounds.empty(); });
    EXPECT_EQ(drawn.sounds, std::vector<std::uint32_t>{0});
    EXPECT_EQ(drawn.at, (std::vector<std::pair<int, int>>{{660, 400}, {660, 520}}));
    bd_user_input(bd, 0, BD_VK_ENTER);
    pump(20, [&] { return drawn.sounds.size() > 1; });
    EXPECT_EQ(drawn.sounds, (std::vector<std::uint32_t>{0, 1}));
    bd_close(bd);
}

} // namespace
