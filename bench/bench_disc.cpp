// The disc report and the disc check on a generated disc: at scale 2 (the usual size)
// 999 playlists of 20 PlayItems, 2,000 movie objects and 200 clips; scales 1 and 4 give
// half and double, to show how the time grows.

#include <benchmark/benchmark.h>

#include "disc/DiscCheck.h"
#include "disc/DiscReport.h"

namespace {

using namespace corvane;

TStreamEntry stnEntry(std::uint16_t pid, std::uint8_t coding, const char* language) {
    TStreamEntry entry;
    entry.stream_type = 1;
    entry.ref_to_stream_PID_of_mainClip = pid;
    entry.stream_coding_type = coding;
    entry.language_code = language;
    return entry;
}

DiscModel generatedDisc(std::size_t playlists, std::size_t objects, std::size_t clips) {
    DiscModel disc;
    disc.indexPresent = disc.mobjPresent = disc.streamFolderPresent = true;
    disc.indexRead.status = disc.mobjRead.status = ReadStatus::Ok;
    for (std::size_t c = 0; c < clips; ++c) {
        DiscClip clip;
        clip.name = discFileNumber(static_cast<std::uint32_t>(c));
        clip.read.status = ReadStatus::Ok;
        clip.clpi.ClipInfo.number_of_source_packets = 100000;
        TATC_sequences atc;
        atc.STC_sequences.push_back({0x1001, 0, 27000000, 27000000 + 45000 * 600});
        clip.clpi.SequenceInfo.ATC_sequences.push_back(atc);
        TProgram_sequences program;
        for (auto [pid, coding] : {std::pair{0x1011, 0x1B}, {0x1100, 0x83}, {0x1101, 0x81}, {0x1200, 0x90}}) {
            TStreamCodingInfo stream;
            stream.stream_PID = static_cast<std::uint16_t>(pid);
            stream.stream_coding_type = static_cast<std::uint8_t>(coding);
            program.streams.push_back(stream);
        }
        clip.clpi.ProgramInfo.program_sequences.push_back(program);
        clip.stream = {clip.name + ".m2ts", 100000 * 192};
        disc.clips.push_back(clip);
    }
    for (std::size_t p = 0; p < playlists; ++p) {
        DiscPlayList playlist;
        playlist.name = discFileNumber(static_cast<std::uint32_t>(p));
        playlist.read.status = ReadStatus::Ok;
        for (std::size_t i = 0; i < 20; ++i) {
            TPlayItem item;
            item.Clip_Information_file_name = discFileNumber(static_cast<std::uint32_t>((p + i) % clips));
            item.IN_time = 27000000;
            item.OUT_time = 27000000 + 45000 * 300;
            item.STN.video = {stnEntry(0x1011, 0x1B, "")};
            item.STN.audio = {stnEntry(0x1100, 0x83, "eng"), stnEntry(0x1101, 0x81, "deu")};
            item.STN.PG = {stnEntry(0x1200, 0x90, "eng")};
            item.STN.number_of_PG_textST_stream_entries = 1;
            playlist.mpls.PlayList.PlayItems.push_back(item);
            TMarkEntry mark;
            mark.mark_type = 1;
            mark.ref_to_PlayItem_id = static_cast<std::uint16_t>(i);
            mark.mark_time_stamp = item.IN_time;
            playlist.mpls.PlayListMark.marks.push_back(mark);
        }
        disc.playlists.push_back(playlist);
    }
    for (std::size_t o = 0; o < objects; ++o) {
        Tmobject object;
        object.navigation_commands.push_back({0x22800000, static_cast<std::uint32_t>(o % playlists), 0});
        object.navigation_commands.push_back({0x21800000, static_cast<std::uint32_t>((o + 1) % objects), 0});
        object.navigation_commands.push_back({0x20810000, 0, 0});
        disc.mobj.MovieObjects.mobjs.push_back(object);
    }
    for (std::size_t t = 0; t < objects / 2 && t < 999; ++t) {
        TTitleEntry title;
        title.title_number = static_cast<std::int32_t>(t + 1);
        title.mobj_id_ref = static_cast<std::uint16_t>(t * 2);
        disc.index.Indexes.titles.push_back(title);
    }
    disc.index.Indexes.first_playback.mobj_id_ref = 0;
    disc.index.Indexes.top_menu.mobj_id_ref = 1;
    return disc;
}

DiscModel scaled(std::int64_t scale) {
    const auto s = static_cast<std::size_t>(scale);
    return generatedDisc(s == 2 ? 999 : 500 * s, 1000 * s, 100 * s);
}

void BM_DiscReport(benchmark::State& state) {
    const DiscModel disc = scaled(state.range(0));
    for (auto _ : state) benchmark::DoNotOptimize(discReport(disc));
}
BENCHMARK(BM_DiscReport)->Arg(1)->Arg(2)->Arg(4)->Unit(benchmark::kMillisecond);

void BM_DiscCheck(benchmark::State& state) {
    const DiscModel disc = scaled(state.range(0));
    for (auto _ : state) benchmark::DoNotOptimize(discCheck(disc));
}
BENCHMARK(BM_DiscCheck)->Arg(1)->Arg(2)->Arg(4)->Unit(benchmark::kMillisecond);

} // namespace
