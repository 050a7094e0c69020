// Extraction by PID over a generated m2ts: a small stream (audio, about 3% of the
// packets), the video stream and both in one read, beside a plain read of the same
// file in the same block size and a copy of it to the same folder, and both streams as a
// playlist of one PlayItem over the whole file beside the clip extraction of the same bytes. The file (1 GiB
// by default, CORVANE_BENCH_DEMUX_MB to change) is written to the temporary folder once and removed at exit.

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "stream/Demux.h"
#include "stream/PlaylistExtract.h"
#include "stream/TransportStream.h"

namespace {

using namespace corvane;

constexpr std::uint16_t VideoPid = 0x1011;
constexpr std::uint16_t AudioPid = 0x1100;

std::uint8_t* writeHeader(std::uint8_t* p, std::uint16_t pid, bool start, std::uint8_t cc) {
    p[0] = 0x40, p[1] = 0, p[2] = 0, p[3] = 0;
    p[4] = SyncByte;
    p[5] = static_cast<std::uint8_t>((start ? 0x40 : 0) | (pid >> 8));
    p[6] = static_cast<std::uint8_t>(pid);
    p[7] = static_cast<std::uint8_t>(0x10 | (cc & 0x0F));
    return p + 8;
}

// Video as unbounded PES packets of 400 TS packets, an audio PES every 30 packets,
// a null packet every 100.
class GeneratedStream {
public:
    GeneratedStream() {
        const char* mb = std::getenv("CORVANE_BENCH_DEMUX_MB");
        const std::size_t size = static_cast<std::size_t>(mb ? std::atol(mb) : 1024) << 20;
        path = (std::filesystem::temp_directory_path() / "corvane_bench_demux.m2ts").string();
        output = (std::filesystem::temp_directory_path() / "corvane_bench_demux.out").string();
        std::FILE* file = std::fopen(path.c_str(), "wb");
        if (!file) return;
        std::vector<std::uint8_t> block(SourcePacketSize * 4096);
        std::size_t packet = 0;
        std::uint8_t ccVideo = 0, ccAudio = 0;
        for (std::size_t written = 0; written < size; written += block.size()) {
            for (std::size_t i = 0; i < 4096; ++i, ++packet) {
                std::uint8_t* p = block.data() + i * SourcePacketSize;
                std::uint8_t* payload;
                if (packet % 100 == 99) {
                    payload = writeHeader(p, NullPid, false, 0);
                } else if (packet % 30 == 0) {
                    payload = writeHeader(p, AudioPid, true, ccAudio++);
                    const std::uint8_t head[14] = {0, 0, 1, 0xBD, 0, 178, 0x81, 0x80, 5, 0x21, 0, 1, 0, 1};
                    std::copy(head, head + 14, payload);
                    payload += 14;
                } else {
                    const bool start = packet % 400 == 1;
                    payload = writeHeader(p, VideoPid, start, ccVideo++);
                    if (start) {
                        const std::uint8_t head[14] = {0, 0, 1, 0xE0, 0, 0, 0x81, 0x80, 5, 0x21, 0, 1, 0, 1};
                        std::copy(head, head + 14, payload);
                        payload += 14;
                    }
                }
                for (std::uint8_t* q = payload; q < p + SourcePacketSize; ++q)
                    *q = static_cast<std::uint8_t>(0x80 | (q - p));
            }
            std::fwrite(block.data(), 1, block.size(), file);
        }
        std::fclose(file);
        bytes = std::filesystem::file_size(path);
    }
    ~GeneratedStream() {
        std::error_code ec;
        std::filesystem::remove(path, ec);
        std::filesystem::remove(output, ec);
    }
    std::string path;
    std::string output;
    std::uint64_t bytes = 0;
};

GeneratedStream& stream() {
    static GeneratedStream generated;
    return generated;
}

double peakMiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// Seconds of one plain read of the file in the extraction's block size: the yardstick.
double plainRead() {
    std::vector<std::uint8_t> buffer(DemuxBlockPackets * 32 * SourcePacketSize);
    const auto start = std::chrono::steady_clock::now();
    std::FILE* file = std::fopen(stream().path.c_str(), "rb");
    std::setvbuf(file, nullptr, _IONBF, 0);
    std::uint64_t sum = 0;
    while (const std::size_t got = std::fread(buffer.data(), 1, buffer.size(), file)) sum += buffer[got - 1];
    std::fclose(file);
    benchmark::DoNotOptimize(sum);
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BM_PlainRead(benchmark::State& state) {
    for (auto _ : state) plainRead();
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * stream().bytes));
}

void extract(benchmark::State& state, std::uint16_t pid) {
    Reporter reporter;
    const double readSeconds = plainRead();
    double seconds = 0;
    std::uint64_t written = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const DemuxResult result = Demux(stream().path, stream().output, pid, DemuxMode::ES, reporter);
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        written = result.bytesWritten;
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * stream().bytes));
    state.counters["out_MiB"] = static_cast<double>(written) / (1 << 20);
    state.counters["vs_read"] = readSeconds / (seconds / static_cast<double>(state.iterations()));
    state.counters["peak_MiB"] = peakMiB();
}

void BM_DemuxAudio(benchmark::State& state) {
    extract(state, AudioPid);
}
void BM_DemuxVideo(benchmark::State& state) {
    extract(state, VideoPid);
}

// The packet walk alone, in memory: no file system in the way.
// Seconds of one copy of the file beside the output, as cp makes it: the yardstick of
// an extraction of every stream, which writes about as much as it reads.
double plainCopy() {
    std::vector<std::uint8_t> buffer(1u << 17);
    const auto start = std::chrono::steady_clock::now();
    std::FILE* in = std::fopen(stream().path.c_str(), "rb");
    std::FILE* out = std::fopen(stream().output.c_str(), "wb");
    std::setvbuf(in, nullptr, _IONBF, 0);
    std::setvbuf(out, nullptr, _IONBF, 0);
    while (const std::size_t got = std::fread(buffer.data(), 1, buffer.size(), in))
        std::fwrite(buffer.data(), 1, got, out);
    std::fclose(in);
    std::fclose(out);
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Video and audio in one read of the file, each to its own output; a copy of the file
// goes before each pass, so that both meet the disk in the same state.
void BM_DemuxAllStreams(benchmark::State& state) {
    Reporter reporter;
    double copySeconds = 0;
    const std::string audioOut = stream().output + ".audio";
    const std::vector<DemuxTarget> targets{{VideoPid, DemuxMode::ES, stream().output},
                                           {AudioPid, DemuxMode::ES, audioOut}};
    double seconds = 0;
    std::uint64_t written = 0;
    for (auto _ : state) {
        state.PauseTiming();
        copySeconds += plainCopy();
        state.ResumeTiming();
        const auto start = std::chrono::steady_clock::now();
        const auto results = DemuxStreams(stream().path, targets, reporter);
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        written = results[0].bytesWritten + results[1].bytesWritten;
    }
    std::error_code ec;
    std::filesystem::remove(audioOut, ec);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * stream().bytes));
    state.counters["out_MiB"] = static_cast<double>(written) / (1 << 20);
    state.counters["vs_copy"] = copySeconds / seconds;
    state.counters["peak_MiB"] = peakMiB();
}

// Both streams as a playlist extraction (one PlayItem whose IN/OUT take every PES packet)
// and as a clip extraction, by turns in each pass: vs_clip is the clip's time over the
// playlist's.
void BM_PlaylistVsClip(benchmark::State& state) {
    namespace fs = std::filesystem;
    Reporter reporter;
    const fs::path folder = fs::temp_directory_path() / "corvane_bench_playlist";
    fs::create_directories(folder);
    TMPLS mpls;
    TPlayItem item;
    item.Clip_Information_file_name = fs::path(stream().path).stem().string();
    item.IN_time = 0;
    item.OUT_time = 0x7FFFFFFF;
    TStreamEntry video, audio;
    video.stream_type = audio.stream_type = 1;
    video.ref_to_stream_PID_of_mainClip = VideoPid;
    audio.ref_to_stream_PID_of_mainClip = AudioPid;
    item.STN.video.push_back(video);
    item.STN.audio.push_back(audio);
    mpls.PlayList.PlayItems.push_back(item);
    const PlaylistPlan plan = planPlaylistExtract(
        mpls, "bench", fs::path(stream().path).parent_path().string(), 0, {}, folder.string(), Options{});
    const std::vector<DemuxTarget> targets{{VideoPid, DemuxMode::ES, plan.streams[0].outPath},
                                           {AudioPid, DemuxMode::ES, plan.streams[1].outPath}};
    double playlistSeconds = 0, clipSeconds = 0;
    std::uint64_t written = 0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        const PlaylistExtractResult result = extractPlaylist(plan, reporter);
        playlistSeconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (!result.ok) state.SkipWithError("the playlist extraction failed");
        start = std::chrono::steady_clock::now();
        const auto results = DemuxStreams(stream().path, targets, reporter);
        clipSeconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        written = results[0].bytesWritten + results[1].bytesWritten;
    }
    std::error_code ec;
    fs::remove_all(folder, ec);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * stream().bytes * 2));
    state.counters["out_MiB"] = static_cast<double>(written) / (1 << 20);
    state.counters["vs_clip"] = clipSeconds / playlistSeconds;
    state.counters["peak_MiB"] = peakMiB();
}

void BM_DemuxerInMemory(benchmark::State& state) {
    static const std::vector<std::uint8_t> data = [] {
        std::vector<std::uint8_t> bytes(DemuxBlockPackets * 96 * SourcePacketSize);
        std::FILE* file = std::fopen(stream().path.c_str(), "rb");
        bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file));
        std::fclose(file);
        return bytes;
    }();
    Reporter reporter;
    const auto pid = static_cast<std::uint16_t>(state.range(0));
    for (auto _ : state) {
        Demuxer demuxer(pid, DemuxMode::ES, reporter);
        demuxer.processPackets(data);
        benchmark::DoNotOptimize(demuxer.outputSize());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * data.size()));
}

} // namespace

BENCHMARK(BM_PlainRead)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_DemuxAudio)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_DemuxVideo)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_DemuxAllStreams)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PlaylistVsClip)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_DemuxerInMemory)->Arg(AudioPid)->Arg(VideoPid)->Unit(benchmark::kMillisecond);
