#pragma once
// A view of one 192-byte source packet of a transport stream in memory: the 4-byte
// TP_extra_header, then the 188-byte TS packet.
//
// A view is only made over 192 bytes that are there (SourcePacket::at checks that once),
// so reads at fixed offsets inside it need no check of their own and a walk over a
// buffer of packets pays one comparison per packet. Fields are big-endian; an offset
// past the packet reads as zero, like the cursor's reads past the end.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace corvane {

class SourcePacket {
public:
    static constexpr std::size_t Size = 192;

    // The packet at `offset` of `data`; none when fewer than 192 bytes are left there.
    static std::optional<SourcePacket> at(std::span<const std::uint8_t> data, std::size_t offset) {
        if (offset > data.size() || data.size() - offset < Size) return std::nullopt;
        return SourcePacket(data.subspan(offset).first<Size>());
    }

    explicit SourcePacket(std::span<const std::uint8_t, Size> bytes) : m_bytes(bytes) {}

    std::uint32_t byte(std::size_t i) const { return i < Size ? m_bytes[i] : 0u; }   // 8-bit
    std::uint32_t word(std::size_t i) const { return byte(i) << 8 | byte(i + 1); }   // 16-bit big-endian
    std::uint32_t lword(std::size_t i) const { return word(i) << 16 | word(i + 2); } // 32-bit big-endian
    // The bytes from `offset` to the end of the packet (none from 192 on).
    std::span<const std::uint8_t> tail(std::size_t offset) const {
        return offset < Size ? std::span<const std::uint8_t>(m_bytes).subspan(offset)
                             : std::span<const std::uint8_t>();
    }
    std::span<const std::uint8_t, Size> bytes() const { return m_bytes; }

private:
    std::span<const std::uint8_t, Size> m_bytes;
};

} // namespace corvane
