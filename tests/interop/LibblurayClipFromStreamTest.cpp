// Clip information made from another muxer's m2ts, checked by an independent library:
// libbluray parses the clip file to the same streams and entry points, seeks by its EP map
// to the I picture, and reads the whole stream through a playlist of the clip.

#include <gtest/gtest.h>

#include <libbluray/bluray.h>
#include <libbluray/clpi_data.h>

#include <filesystem>
#include <iterator>

#include "io/FileIO.h"
#include "playlist/PlayListWriter.h"
#include "stream/ClipFromStream.h"
#include "stream/ClipInfoWriter.h"
#include "stream/MenuClip.h"

namespace corvane {
namespace {

namespace fs = std::filesystem;

const std::string SampleName = "ffmpeg-mpeg2-ac3.m2ts";
constexpr std::uint32_t SamplePackets = 704;
// The sample's I pictures, PES start packet and PTS (90 kHz); see ClipFromStreamTest.
struct IPicture {
    std::uint32_t spn;
    std::uint64_t pts;
};
constexpr IPicture SampleIPictures[] = {{3, 129600}, {408, 172800}, {640, 216000}};

TEST(LibblurayClipFromStream, ParsedSeekedAndReadWhole) {
    const fs::path disc = fs::temp_directory_path() / ("corvane-interop-clip-" + std::to_string(::getpid()));
    fs::remove_all(disc);
    const fs::path bdmv = disc / "BDMV";
    for (const char* folder : {"PLAYLIST", "CLIPINF", "STREAM", "BACKUP"})
        fs::create_directories(bdmv / folder);
    const fs::path data = fs::path(CORVANE_TEST_DATA);
    for (const char* file : {"index.bdmv", "MovieObject.bdmv"})
        fs::copy_file(data / "interop-disc1" / "BDMV" / file, bdmv / file);
    fs::copy_file(data / "stream" / SampleName, bdmv / "STREAM" / "00001.m2ts");

    std::string error;
    const std::optional<TCLPI> clip = clipInfoFromStream((bdmv / "STREAM" / "00001.m2ts").string(), error);
    ASSERT_TRUE(clip) << error;
    const std::string clpiPath = (bdmv / "CLIPINF" / "00001.clpi").string();
    ASSERT_TRUE(writeWholeFile(clpiPath, writeClipInfo(*clip)).ok);
    ASSERT_TRUE(writeWholeFile((bdmv / "PLAYLIST" / "00001.mpls").string(),
                               writePlayList(moviePlayList({{"00001", &*clip, {}, 0, 0}})))
                    .ok);

    CLPI_CL* cl = bd_read_clpi(clpiPath.c_str());
    ASSERT_NE(cl, nullptr) << "libbluray refused the clip";
    EXPECT_EQ(cl->clip.application_type, 1);
    EXPECT_EQ(cl->clip.num_source_packets, SamplePackets);
    ASSERT_EQ(cl->sequence.num_atc_seq, 1);
    ASSERT_EQ(cl->sequence.atc_seq[0].num_stc_seq, 1);
    EXPECT_EQ(cl->sequence.atc_seq[0].stc_seq[0].pcr_pid, 0x1011);
    ASSERT_EQ(cl->program.num_prog, 1);
    ASSERT_EQ(cl->program.progs[0].num_streams, 2);
    const CLPI_PROG_STREAM& video = cl->program.progs[0].streams[0];
    EXPECT_EQ(video.pid, 0x1011);
    EXPECT_EQ(video.coding_type, 0x02);
    EXPECT_EQ(video.rate, 3);
    EXPECT_EQ(video.aspect, 2);
    const CLPI_PROG_STREAM& audio = cl->program.progs[0].streams[1];
    EXPECT_EQ(audio.pid, 0x1100);
    EXPECT_EQ(audio.coding_type, 0x81);
    EXPECT_EQ(audio.format, 1);
    EXPECT_EQ(audio.rate, 1);
    ASSERT_EQ(cl->cpi.num_stream_pid, 1);
    const CLPI_EP_MAP_ENTRY& ep = cl->cpi.entry[0];
    EXPECT_EQ(ep.pid, 0x1011);
    ASSERT_EQ(ep.num_ep_fine, static_cast<int>(std::size(SampleIPictures)));
    // libbluray's joining of the coarse and fine entries.
    for (int c = 0; c < ep.num_ep_coarse; ++c) {
        const int last = c + 1 < ep.num_ep_coarse ? ep.coarse[c + 1].ref_ep_fine_id : ep.num_ep_fine;
        for (int f = ep.coarse[c].ref_ep_fine_id; f < last; ++f) {
            const std::uint64_t pts = (static_cast<std::uint64_t>(ep.coarse[c].pts_ep & ~1) << 19) +
                                      (static_cast<std::uint64_t>(ep.fine[f].pts_ep) << 9);
            const std::uint32_t spn =
                (ep.coarse[c].spn_ep & ~0x1FFFFu) + static_cast<std::uint32_t>(ep.fine[f].spn_ep);
            EXPECT_EQ(spn, SampleIPictures[f].spn) << f;
            EXPECT_EQ(pts, SampleIPictures[f].pts & ~0x1FFull) << f;
        }
    }
    bd_free_clpi(cl);

    BLURAY* bd = bd_open(disc.string().c_str(), nullptr);
    ASSERT_NE(bd, nullptr);
    EXPECT_GE(bd_get_titles(bd, TITLES_ALL, 0), 1u);
    ASSERT_EQ(bd_select_playlist(bd, 1), 1);
    BLURAY_TITLE_INFO* info = bd_get_playlist_info(bd, 1, 0);
    ASSERT_NE(info, nullptr);
    ASSERT_EQ(info->clip_count, 1u);
    EXPECT_EQ(info->clips[0].video_stream_count, 1);
    EXPECT_EQ(info->clips[0].audio_stream_count, 1);
    bd_free_title_info(info);
    // The time of the second I picture from the title's start lands on its packet (a
    // 32-packet aligned unit holds it).
    const std::uint64_t at =
        static_cast<std::uint64_t>(bd_seek_time(bd, SampleIPictures[1].pts - SampleIPictures[0].pts));
    EXPECT_LE(at, SampleIPictures[1].spn * 192u);
    EXPECT_GT(at, (SampleIPictures[1].spn - 32) * 192u);
    bd_seek(bd, 0);
    std::uint64_t total = 0;
    std::vector<unsigned char> buffer(6144);
    for (int i = 0; i < 1000; ++i) {
        const int got = bd_read(bd, buffer.data(), static_cast<int>(buffer.size()));
        if (got <= 0) break;
        total += static_cast<std::uint64_t>(got);
    }
    EXPECT_EQ(total, std::uint64_t{SamplePackets} * 192);
    bd_close(bd);
    fs::remove_all(disc);
}

} // namespace
} // namespace corvane
