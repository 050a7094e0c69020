// libFuzzer target of the packet walk: any bytes, taken as source packets, go through
// every extraction form without a crash; the first byte picks the PID's high byte.

#include <cstddef>
#include <cstdint>

#include "stream/Demux.h"
#include "stream/TransportStream.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const std::uint16_t pid = static_cast<std::uint16_t>((data[0] & 0x1F) << 8);
    corvane::Reporter reporter;
    for (const auto mode : {corvane::DemuxMode::ES, corvane::DemuxMode::PES, corvane::DemuxMode::SUP,
                            corvane::DemuxMode::MNU}) {
        corvane::Demuxer demuxer(pid, mode, reporter, 1);
        const std::size_t packets = (size - 1) / corvane::SourcePacketSize;
        demuxer.processPackets(std::span(data, size).subspan(1));
        // Nothing comes out that the input did not hold, but for the 10-byte segment headers.
        const std::uint64_t limit = packets * corvane::SourcePacketSize * 2;
        if (demuxer.outputSize() > limit) __builtin_trap();
        if (demuxer.cleanEnd() > demuxer.outputSize()) __builtin_trap();
    }
    return 0;
}
