#pragma once
// Transport streams built in test code: source packets with adaptation-field
// stuffing and PES packets cut into as many packets as they need.

#include <cstdint>
#include <optional>
#include <vector>

#include "stream/TransportStream.h"

namespace corvane::testing {

// A 33-bit time stamp as its 5-byte PES field with the given 4-bit prefix.
inline std::vector<std::uint8_t> timestampField(std::uint8_t prefix, std::uint64_t value) {
    return {static_cast<std::uint8_t>((prefix << 4) | ((value >> 29) & 0x0E) | 1),
            static_cast<std::uint8_t>(value >> 22), static_cast<std::uint8_t>(((value >> 14) & 0xFE) | 1),
            static_cast<std::uint8_t>(value >> 7), static_cast<std::uint8_t>(((value << 1) & 0xFE) | 1)};
}

struct PesLayout {
    PesLayout(std::uint8_t id = 0xE0, std::optional<std::uint64_t> pts_ = {},
              std::optional<std::uint64_t> dts_ = {}, bool unbounded_ = false, std::uint8_t extra = 0)
        : stream_id(id), pts(pts_), dts(dts_), unbounded(unbounded_), extraHeaderBytes(extra) {}
    std::uint8_t stream_id = 0xE0;
    std::optional<std::uint64_t> pts;
    std::optional<std::uint64_t> dts;
    bool unbounded = false;            // PES_packet_length 0
    std::uint8_t extraHeaderBytes = 0; // stuffing in the header (PES_header_data_length grows)
};

class TsBuilder {
public:
    // One source packet; a payload shorter than 184 bytes is preceded by adaptation-field stuffing.
    void packet(std::uint16_t pid, bool unitStart, const std::vector<std::uint8_t>& payload) {
        std::vector<std::uint8_t> p(SourcePacketSize, 0xFF);
        p[0] = static_cast<std::uint8_t>(m_arrival >> 24);
        p[1] = static_cast<std::uint8_t>(m_arrival >> 16);
        p[2] = static_cast<std::uint8_t>(m_arrival >> 8);
        p[3] = static_cast<std::uint8_t>(m_arrival);
        m_arrival += 0x100;
        p[4] = SyncByte;
        p[5] = static_cast<std::uint8_t>((unitStart ? 0x40 : 0) | ((pid >> 8) & 0x1F));
        p[6] = static_cast<std::uint8_t>(pid);
        const bool adaptation = payload.size() < MaxPayloadSize;
        p[7] = static_cast<std::uint8_t>(0x10 | (adaptation ? 0x20 : 0) | (m_cc++ & 0x0F));
        if (adaptation) {
            p[8] = static_cast<std::uint8_t>(183 - payload.size());
            if (p[8] > 0) p[9] = 0x00;
        }
        std::copy(payload.begin(), payload.end(), p.end() - static_cast<std::ptrdiff_t>(payload.size()));
        bytes.insert(bytes.end(), p.begin(), p.end());
    }
    // A PES packet of `data`, cut into packets of `pid` (the first may carry `firstLimit` bytes at most).
    void pes(std::uint16_t pid, const PesLayout& layout, const std::vector<std::uint8_t>& data,
             std::size_t firstLimit = MaxPayloadSize) {
        std::vector<std::uint8_t> header{0, 0, 1, layout.stream_id, 0, 0, 0x80, 0, 0};
        std::uint8_t flags = 0;
        if (layout.pts) {
            flags = layout.dts ? 0xC0 : 0x80;
            const auto field = timestampField(layout.dts ? 3 : 2, *layout.pts);
            header.insert(header.end(), field.begin(), field.end());
        }
        if (layout.dts) {
            const auto field = timestampField(1, *layout.dts);
            header.insert(header.end(), field.begin(), field.end());
        }
        header.insert(header.end(), layout.extraHeaderBytes, 0xFF);
        header[7] = flags;
        header[8] = static_cast<std::uint8_t>(header.size() - 9);
        const std::size_t length = layout.unbounded ? 0 : header.size() - 6 + data.size();
        header[4] = static_cast<std::uint8_t>(length >> 8);
        header[5] = static_cast<std::uint8_t>(length);
        std::vector<std::uint8_t> all = header;
        all.insert(all.end(), data.begin(), data.end());
        std::size_t at = 0;
        bool first = true;
        while (at < all.size()) {
            const std::size_t n = std::min(first ? firstLimit : MaxPayloadSize, all.size() - at);
            packet(pid, first,
                   std::vector<std::uint8_t>(all.begin() + static_cast<std::ptrdiff_t>(at),
                                             all.begin() + static_cast<std::ptrdiff_t>(at + n)));
            at += n;
            first = false;
        }
    }
    void nullPacket() { packet(NullPid, false, std::vector<std::uint8_t>(184, 0xFF)); }
    std::size_t packets() const { return bytes.size() / SourcePacketSize; }

    std::vector<std::uint8_t> bytes;

private:
    std::uint32_t m_arrival = 0x40000000;
    std::uint8_t m_cc = 0;
};

// Bytes 0, 1, 2, … of the given length, seeded so that different runs differ.
inline std::vector<std::uint8_t> pattern(std::size_t n, std::uint8_t seed) {
    std::vector<std::uint8_t> data(n);
    for (std::size_t i = 0; i < n; ++i) data[i] = static_cast<std::uint8_t>(seed + i * 7);
    return data;
}

} // namespace corvane::testing
