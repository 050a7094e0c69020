#pragma once
// Reading rules of a BD transport stream: 192-byte source packets (a 4-byte
// TP_extra_header before each 188-byte TS packet), the TS header, the adaptation
// field, the PES header at the start of a payload and its 33-bit time stamps.
//
// Every function works on a view of one whole source packet (or on its payload)
// and neither allocates nor copies, so the extraction loop can call them per packet.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "io/ByteReader.h"
#include "io/SourcePacket.h"

namespace corvane {

inline constexpr std::size_t SourcePacketSize = SourcePacket::Size;
inline constexpr std::size_t MaxPayloadSize = 184;
inline constexpr std::uint8_t SyncByte = 0x47;
inline constexpr std::uint16_t NullPid = 0x1FFF;
inline constexpr std::uint16_t PrimaryVideoPid = 0x1011;
// A PES header up to and including PES_header_data_length.
inline constexpr std::size_t PesFixedHeaderSize = 9;

inline bool syncOk(SourcePacket packet) {
    return packet.byte(4) == SyncByte;
}

// 13-bit PID from bytes 5 and 6.
inline std::uint16_t packetPid(SourcePacket packet) {
    return static_cast<std::uint16_t>(packet.word(5) & 0x1FFF);
}

inline bool payloadUnitStart(SourcePacket packet) {
    return (packet.byte(5) & 0x40) != 0;
}
inline bool hasAdaptationField(SourcePacket packet) {
    return (packet.byte(7) & 0x20) != 0;
}
inline bool hasPayloadFlag(SourcePacket packet) {
    return (packet.byte(7) & 0x10) != 0;
}

// Bytes of payload at the end of the packet: 184 without adaptation field, else
// 183 − adaptation_field_length; −1 when the adaptation field leaves no usable payload.
inline int payloadLength(SourcePacket packet) {
    if (!hasAdaptationField(packet)) return static_cast<int>(MaxPayloadSize);
    const int length = 183 - static_cast<int>(packet.byte(8));
    return length >= 0 ? length : -1;
}

// Offset of the payload in the source packet for a usable payload length.
inline std::size_t payloadOffset(int length) {
    return SourcePacketSize - static_cast<std::size_t>(length);
}

// The payload of a usable payload length: the last `length` bytes of the packet.
inline std::span<const std::uint8_t> payloadOf(SourcePacket packet, int length) {
    return packet.tail(payloadOffset(length));
}

// The 32-bit TP_extra_header (copy permission and arrival time stamp).
inline std::uint32_t extraHeader(SourcePacket packet) {
    return packet.lword(0);
}

// A 5-byte PTS or DTS field (as read5byte gives it) as the 33-bit 90 kHz value modulo 2^32.
inline std::uint32_t decodeTimestamp(std::uint64_t field) {
    const auto at = [field](int i) { return static_cast<std::uint32_t>(field >> (32 - 8 * i)) & 0xFF; };
    return ((at(0) & 0x0E) << 29) + (at(1) << 22) + ((at(2) & 0xFE) << 14) + (at(3) << 7) + (at(4) >> 1);
}

// Whether a payload begins with the PES start code 00 00 01.
inline bool startsWithStartCode(std::span<const std::uint8_t> payload) {
    return payload.size() >= 3 && payload[0] == 0 && payload[1] == 0 && payload[2] == 1;
}

// The fields of a PES header that the extraction uses.
struct PesHeader {
    std::uint8_t stream_id = 0;              // 8-bit
    std::uint16_t PES_packet_length = 0;     // 16-bit, bytes after this field; 0 = unbounded
    std::uint8_t PTS_DTS_flags = 0;          // 2-bit: 2 PTS only, 3 PTS and DTS; 0 also when they do not fit
    std::uint8_t PES_header_data_length = 0; // 8-bit
    std::uint32_t PTS = 0;                   // 90 kHz, low 32 bits
    std::uint32_t DTS = 0;                   // 90 kHz, low 32 bits
};

// A PES packet starts here: start code and a stream_id above 0xB0.
inline bool isPesStart(std::span<const std::uint8_t> payload) {
    return startsWithStartCode(payload) && payload.size() >= 4 && payload[3] > 0xB0;
}

// Reads the header at the start of a payload that isPesStart accepted. Fields past
// the payload read as 0; time stamps that do not fit count as absent.
inline PesHeader readPesHeader(std::span<const std::uint8_t> payload) {
    PesHeader header;
    ByteReader in(payload);
    in.skip(3); // packet_start_code_prefix
    header.stream_id = static_cast<std::uint8_t>(in.readbyte());
    header.PES_packet_length = static_cast<std::uint16_t>(in.readword());
    in.skip(1); // scrambling, priority, alignment, copyright and original flags
    header.PTS_DTS_flags = static_cast<std::uint8_t>(in.readbyte() >> 6);
    header.PES_header_data_length = static_cast<std::uint8_t>(in.readbyte());
    if (header.PTS_DTS_flags != 0 && payload.size() < 14) header.PTS_DTS_flags = 0;
    if (header.PTS_DTS_flags == 3 && payload.size() < 19) header.PTS_DTS_flags = 2;
    if (header.PTS_DTS_flags != 0) header.PTS = decodeTimestamp(in.read5byte());
    if (header.PTS_DTS_flags == 3) header.DTS = decodeTimestamp(in.read5byte());
    return header;
}

// stream_ids whose PES packets carry no elementary stream data of their own:
// program stream map, padding, private stream 2, ECM, EMM, DSMCC, type E, directory.
inline bool isNonDataStreamId(std::uint8_t stream_id) {
    switch (stream_id) {
    case 0xBC:
    case 0xBE:
    case 0xBF:
    case 0xF0:
    case 0xF1:
    case 0xF2:
    case 0xF8:
    case 0xFF:
        return true;
    default:
        return false;
    }
}

// 90 kHz ticks as "h:mm:ss.zzz" (value / 90000 seconds).
std::string timeText90(std::uint32_t ticks);

} // namespace corvane
