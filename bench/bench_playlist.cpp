// Playlist read and write with 999 PlayItems (an audio and a PG entry each) and 999 marks.
#include "playlist/PlayListMarks.h"
#include "playlist/PlayListReader.h"
#include "playlist/PlayListWriter.h"

#include <benchmark/benchmark.h>

namespace {

using namespace corvane;

std::vector<std::uint8_t> largePlayList() {
    TMPLS mpls;
    mpls.AppInfo_length = 14;
    mpls.PlayList_start_address = 58;
    std::uint32_t listLength = 6;
    for (int i = 0; i < 999; ++i) {
        TPlayItem item;
        item.Clip_Information_file_name = std::to_string(10000 + i);
        item.Clip_codec_identifier = "M2TS";
        item.IN_time = 45000;
        item.OUT_time = 45000 + 45000u * 60;
        auto entry = [](std::uint16_t pid, std::uint8_t coding) {
            TStreamEntry stream;
            stream.stream_type = 1;
            stream.ref_to_stream_PID_of_mainClip = pid;
            stream.stream_coding_type = coding;
            stream.language_code = "eng";
            return stream;
        };
        const TStreamEntry video = entry(0x1011, 0x1B);
        const TStreamEntry audio = entry(0x1100, 0x81);
        const TStreamEntry pg = entry(0x1200, 0x90);
        item.STN.video = {video};
        item.STN.audio = {audio};
        item.STN.PG = {pg};
        item.STN.number_of_PG_textST_stream_entries = 1;
        item.STN.STN_length = 14 + 3 * 16;
        item.PlayItem_length = static_cast<std::uint16_t>(32 + 2 + item.STN.STN_length);
        listLength += 2 + item.PlayItem_length;
        mpls.PlayList.PlayItems.push_back(item);
    }
    mpls.PlayList.PlayList_length = listLength;
    mpls.PlayListMark_start_address = 58 + 4 + listLength;
    mpls.PlayListMark.PlayListMark_length = 2;
    for (std::size_t i = 0; i < 999; ++i) insertMark(mpls, i == 0 ? std::nullopt : std::optional(i - 1));
    return writePlayList(mpls);
}

void PlayListRead(benchmark::State& state) {
    const auto bytes = largePlayList();
    for (auto _ : state) {
        auto result = readPlayList(bytes, "bench.mpls", true);
        if (result.status != ReadStatus::Ok) state.SkipWithError("the generated playlist did not read");
        benchmark::DoNotOptimize(result);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(PlayListRead)->Unit(benchmark::kMicrosecond);

void PlayListWrite(benchmark::State& state) {
    const auto bytes = largePlayList();
    const TMPLS mpls = readPlayList(bytes, "bench.mpls", true).mpls;
    for (auto _ : state) {
        auto written = writePlayList(mpls);
        benchmark::DoNotOptimize(written);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(PlayListWrite)->Unit(benchmark::kMicrosecond);

} // namespace
