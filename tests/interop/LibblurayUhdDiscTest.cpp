// A UHD disc (version 0300 playlists and clips, HEVC video) read by us and by an
// independent library: both must see the same clips, times, streams and marks.
// The library's public playlist records carry no dynamic range or colour space;
// its clip records do, so those are compared on the clips.

#include <gtest/gtest.h>

#include <libbluray/bluray.h>
#include <libbluray/clpi_data.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "io/FileIO.h"
#include "playlist/PlayListDisplay.h"
#include "playlist/PlayListEdit.h"
#include "playlist/PlayListNames.h"
#include "playlist/PlayListReader.h"
#include "playlist/PlayListWriter.h"
#include "stream/ClipInfo.h"

namespace corvane {
namespace {

namespace fs = std::filesystem;

const std::string Data = CORVANE_TEST_DATA;

std::vector<std::uint8_t> fileBytes(const fs::path& path) {
    std::string error;
    auto bytes = readWholeFile(path.string(), error);
    EXPECT_TRUE(bytes) << error;
    return bytes ? *bytes : std::vector<std::uint8_t>{};
}

class LibblurayUhdDisc : public ::testing::Test {
protected:
    void SetUp() override {
        m_disc =
            fs::temp_directory_path() / ("corvane-uhd-" + std::to_string(::getpid()) + "-" +
                                         ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_disc);
        const fs::path bdmv = m_disc / "BDMV";
        fs::create_directories(bdmv / "BACKUP");
        fs::create_directories(bdmv / "STREAM");
        fs::copy(Data + "/playlist/disc5", bdmv / "PLAYLIST");
        fs::copy(Data + "/clipinf/disc5", bdmv / "CLIPINF");
        fs::copy_file(Data + "/navigation/bdpl-disc5-index-0300.bdmv", bdmv / "index.bdmv");
        fs::copy_file(Data + "/navigation/bdpl-disc5-MovieObject-0300.bdmv", bdmv / "MovieObject.bdmv");
        m_bd = bd_open(m_disc.string().c_str(), nullptr);
        ASSERT_NE(m_bd, nullptr);
    }
    void TearDown() override {
        if (m_bd) bd_close(m_bd);
        fs::remove_all(m_disc);
    }

    using TitleInfo = std::unique_ptr<BLURAY_TITLE_INFO, void (*)(BLURAY_TITLE_INFO*)>;
    TitleInfo playlistInfo(std::uint32_t number) {
        return {bd_get_playlist_info(m_bd, number, 0), bd_free_title_info};
    }

    fs::path m_disc;
    BLURAY* m_bd = nullptr;
};

void expectSameStreams(const BLURAY_STREAM_INFO* theirs, std::uint8_t count, const TSTN& stn, int list,
                       const std::string& where) {
    ASSERT_EQ(count, stnListSize(stn, list)) << where;
    for (std::uint8_t k = 0; k < count; ++k) {
        SCOPED_TRACE(where + " stream " + std::to_string(k));
        const TStreamEntry& ours = *stnEntry(stn, list, k);
        const std::uint16_t pid =
            ours.stream_type == 1 ? ours.ref_to_stream_PID_of_mainClip : ours.ref_to_stream_PID_of_subClip;
        EXPECT_EQ(theirs[k].pid, pid);
        EXPECT_EQ(theirs[k].coding_type, ours.stream_coding_type);
        const AttributeKind kind = attributeKind(ours.stream_coding_type);
        if (kind == AttributeKind::Video) {
            EXPECT_EQ(theirs[k].format, ours.video_format);
            EXPECT_EQ(theirs[k].rate, ours.frame_rate);
        }
        if (kind == AttributeKind::Audio) {
            EXPECT_EQ(theirs[k].format, ours.audio_presentation_type);
            EXPECT_EQ(theirs[k].rate, ours.sampling_frequency);
        }
        if (kind != AttributeKind::Video && kind != AttributeKind::Unknown) {
            EXPECT_EQ(std::string(reinterpret_cast<const char*>(theirs[k].lang)), ours.language_code);
        }
    }
}

// Every playlist: clips, IN/OUT times, the streams of every list, and the marks.
void expectSamePlayList(const BLURAY_TITLE_INFO& info, const TMPLS& mpls) {
    const auto& items = mpls.PlayList.PlayItems;
    ASSERT_EQ(info.clip_count, items.size());
    std::uint64_t start = 0;
    std::vector<std::uint64_t> itemStart;
    for (std::uint32_t i = 0; i < info.clip_count; ++i) {
        const std::string where = "PlayItem " + std::to_string(i);
        const BLURAY_CLIP_INFO& clip = info.clips[i];
        const TPlayItem& item = items[i];
        EXPECT_EQ(std::string(clip.clip_id), item.Clip_Information_file_name) << where;
        EXPECT_EQ(clip.in_time, 2ull * item.IN_time) << where;
        EXPECT_EQ(clip.out_time, 2ull * item.OUT_time) << where;
        EXPECT_EQ(clip.start_time, start) << where;
        itemStart.push_back(start);
        start += 2ull * (item.OUT_time - item.IN_time);
        expectSameStreams(clip.video_streams, clip.video_stream_count, item.STN, ListPrimaryVideo, where);
        expectSameStreams(clip.audio_streams, clip.audio_stream_count, item.STN, ListPrimaryAudio, where);
        expectSameStreams(clip.pg_streams, clip.pg_stream_count, item.STN, ListPG, where);
        expectSameStreams(clip.ig_streams, clip.ig_stream_count, item.STN, ListIG, where);
        EXPECT_EQ(clip.sec_audio_stream_count, item.STN.sec_audio.size()) << where;
        EXPECT_EQ(clip.sec_video_stream_count, item.STN.sec_video.size()) << where;
    }
    const auto& marks = mpls.PlayListMark.marks;
    ASSERT_EQ(info.mark_count, marks.size());
    for (std::uint32_t m = 0; m < info.mark_count; ++m) {
        const TMarkEntry& ours = marks[m];
        EXPECT_EQ(info.marks[m].type, ours.mark_type) << "mark " << m;
        EXPECT_EQ(info.marks[m].clip_ref, ours.ref_to_PlayItem_id) << "mark " << m;
        const TPlayItem& item = items.at(ours.ref_to_PlayItem_id);
        EXPECT_EQ(info.marks[m].start,
                  itemStart[ours.ref_to_PlayItem_id] + 2ull * (ours.mark_time_stamp - item.IN_time))
            << "mark " << m;
    }
}

TEST_F(LibblurayUhdDisc, EveryPlaylistAsTheLibrarySeesIt) {
    std::size_t playlists = 0;
    for (const auto& entry : fs::directory_iterator(m_disc / "BDMV" / "PLAYLIST")) {
        SCOPED_TRACE(entry.path().filename().string());
        const PlsReadResult ours = readPlayList(fileBytes(entry.path()), entry.path().filename().string());
        ASSERT_EQ(ours.status, ReadStatus::Ok);
        const auto info = playlistInfo(static_cast<std::uint32_t>(std::stoul(entry.path().stem().string())));
        ASSERT_TRUE(info);
        expectSamePlayList(*info, ours.mpls);
        ++playlists;
    }
    EXPECT_EQ(playlists, 16u);
}

// Every clip: the program streams with the UHD attributes, and the EP map counts.
TEST_F(LibblurayUhdDisc, EveryClipAsTheLibrarySeesIt) {
    std::size_t clips = 0;
    for (const auto& entry : fs::directory_iterator(m_disc / "BDMV" / "CLIPINF")) {
        SCOPED_TRACE(entry.path().filename().string());
        const ClipReadResult ours = readClipInfo(fileBytes(entry.path()), entry.path().filename().string());
        ASSERT_EQ(ours.status, ReadStatus::Ok);
        std::unique_ptr<CLPI_CL, void (*)(CLPI_CL*)> theirs(bd_read_clpi(entry.path().string().c_str()),
                                                            bd_free_clpi);
        ASSERT_TRUE(theirs);
        const auto& sequences = ours.clpi.ProgramInfo.program_sequences;
        ASSERT_EQ(theirs->program.num_prog, sequences.size());
        for (std::size_t p = 0; p < sequences.size(); ++p) {
            const CLPI_PROG& program = theirs->program.progs[p];
            ASSERT_EQ(program.num_streams, sequences[p].streams.size());
            for (std::size_t s = 0; s < sequences[p].streams.size(); ++s) {
                const TStreamCodingInfo& stream = sequences[p].streams[s];
                const CLPI_PROG_STREAM& their = program.streams[s];
                SCOPED_TRACE("stream " + std::to_string(s));
                EXPECT_EQ(their.pid, stream.stream_PID);
                EXPECT_EQ(their.coding_type, stream.stream_coding_type);
                if (attributeKind(stream.stream_coding_type) == AttributeKind::Video) {
                    EXPECT_EQ(their.format, stream.video_format);
                    EXPECT_EQ(their.rate, stream.frame_rate);
                    EXPECT_EQ(their.aspect, stream.aspect_ratio);
                    EXPECT_EQ(their.oc_flag, stream.oc_flag);
                    EXPECT_EQ(their.cr_flag, stream.cr_flag);
                    EXPECT_EQ(their.dynamic_range_type, stream.dynamic_range_type);
                    EXPECT_EQ(their.color_space, stream.color_space);
                    EXPECT_EQ(their.hdr_plus_flag, stream.HDR_plus_flag);
                } else {
                    EXPECT_EQ(std::string(their.lang), stream.language_code);
                }
            }
        }
        const auto& map = ours.clpi.CPI.EP_map_entries;
        ASSERT_EQ(theirs->cpi.num_stream_pid, map.size());
        for (std::size_t e = 0; e < map.size(); ++e) {
            EXPECT_EQ(theirs->cpi.entry[e].pid, map[e].stream_PID);
            EXPECT_EQ(theirs->cpi.entry[e].ep_stream_type, map[e].EP_stream_type);
            EXPECT_EQ(static_cast<std::uint32_t>(theirs->cpi.entry[e].num_ep_coarse),
                      map[e].number_of_EP_coarse_entries);
            EXPECT_EQ(static_cast<std::uint32_t>(theirs->cpi.entry[e].num_ep_fine),
                      map[e].number_of_EP_fine_entries);
        }
        ++clips;
    }
    EXPECT_EQ(clips, 23u);
}

// The dynamic range of the main feature's video entry changed through the edit path and
// saved: the library reads the file as before (its playlist records have no field for
// the value), and our reader takes the new value back.
TEST_F(LibblurayUhdDisc, EditedDynamicRangeStillReads) {
    const fs::path path = m_disc / "BDMV" / "PLAYLIST" / "00001.mpls";
    PlsReadResult read = readPlayList(fileBytes(path), "00001.mpls");
    ASSERT_EQ(read.status, ReadStatus::Ok);
    TStreamEntry& video = *stnEntry(read.mpls.PlayList.PlayItems.at(0).STN, ListPrimaryVideo, 0);
    ASSERT_EQ(video.dynamic_range_type, 1);
    setEntryField(video, EntryField::DynamicRange, 2);
    const auto bytes = writePlayList(read.mpls);
    std::ofstream(path.string(), std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    const auto info = playlistInfo(1);
    ASSERT_TRUE(info);
    expectSamePlayList(*info, read.mpls);
    const PlsReadResult back = readPlayList(fileBytes(path), "00001.mpls");
    ASSERT_EQ(back.status, ReadStatus::Ok);
    EXPECT_EQ(back.mpls.PlayList.PlayItems.at(0).STN.video.at(0).dynamic_range_type, 2);
    EXPECT_EQ(back.mpls, read.mpls);
}

} // namespace
} // namespace corvane
