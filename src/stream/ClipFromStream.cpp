#include "stream/ClipFromStream.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <span>

#include "stream/Demux.h"
#include "stream/MenuClip.h"
#include "stream/TransportStream.h"

namespace corvane {

namespace {

constexpr std::size_t ReadPackets = 1024;
// Elementary stream bytes of a PES kept to find its picture type (and headers).
constexpr std::size_t KeepBytes = 64u << 10;
constexpr std::uint64_t PcrHz = 27000000;
constexpr std::uint64_t AtsWrap = 1ull << 30;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

bool isVideoCoding(std::uint8_t type) {
    return type == 0x01 || type == 0x02 || type == 0x1B || type == 0x20 || type == 0x24 || type == 0xEA;
}
bool isAudioCoding(std::uint8_t type) {
    return (type >= 0x80 && type <= 0x86) || type == 0xA1 || type == 0xA2;
}
bool isGraphicsCoding(std::uint8_t type) {
    return type == 0x90 || type == 0x91 || type == 0x92;
}

// Reads bits MSB first from an H.264 NAL unit without its emulation prevention bytes.
class BitReader {
public:
    explicit BitReader(std::vector<std::uint8_t> bytes) : m_bytes(std::move(bytes)) {}
    std::uint32_t bits(int count) {
        std::uint32_t value = 0;
        for (int i = 0; i < count; ++i) {
            const std::size_t byte = m_pos >> 3;
            const std::uint32_t bit = byte < m_bytes.size() ? (m_bytes[byte] >> (7 - (m_pos & 7))) & 1u : 0u;
            value = (value << 1) | bit;
            ++m_pos;
        }
        return value;
    }
    std::uint32_t ue() {
        int zeros = 0;
        while (bits(1) == 0 && zeros < 32) ++zeros;
        if (zeros == 0) return 0;
        return ((1u << zeros) - 1) + bits(zeros);
    }
    std::int32_t se() {
        const std::uint32_t code = ue();
        return (code & 1) != 0 ? static_cast<std::int32_t>((code + 1) / 2)
                               : -static_cast<std::int32_t>(code / 2);
    }
    bool overrun() const { return (m_pos >> 3) > m_bytes.size(); }

private:
    std::vector<std::uint8_t> m_bytes;
    std::size_t m_pos = 0;
};

std::vector<std::uint8_t> unescape(std::span<const std::uint8_t> nal) {
    std::vector<std::uint8_t> out;
    out.reserve(nal.size());
    int zeros = 0;
    for (const std::uint8_t b : nal) {
        if (zeros >= 2 && b == 3) {
            zeros = 0;
            continue;
        }
        zeros = b == 0 ? zeros + 1 : 0;
        out.push_back(b);
    }
    return out;
}

// The video format code of a picture height, for SD by the frame rate (25 / 50 Hz: 576 lines).
std::uint8_t videoFormatCode(unsigned height, bool progressive, std::uint8_t frameRate) {
    if (height > 720) return progressive ? 6 : 4;
    if (height > 576) return 5;
    const bool lines576 = height == 576 || (height != 480 && (frameRate == 3 || frameRate == 6));
    if (lines576) return progressive ? 7 : 2;
    return progressive ? 3 : 1;
}

// The frame rate code of a rate in frames per second; 0 when it is none of the disc rates.
std::uint8_t frameRateCode(double rate) {
    struct Code {
        double rate;
        std::uint8_t code;
    };
    static constexpr Code codes[] = {{23.976, 1}, {24, 2}, {25, 3}, {29.97, 4}, {50, 6}, {59.94, 7}};
    for (const Code& c : codes)
        if (rate > c.rate - 0.01 && rate < c.rate + 0.01) return c.code;
    return 0;
}

std::uint8_t aspectCode(unsigned width, unsigned height) {
    return width * 9 >= height * 14 ? 3 : 2; // nearer to 16:9 than to 4:3
}

// 90 kHz ticks of one frame of a frame rate code.
std::uint32_t frameTicks(std::uint8_t frameRate) {
    switch (frameRate) {
    case 1:
        return 3754;
    case 2:
        return 3750;
    case 3:
        return 3600;
    case 4:
        return 3003;
    case 6:
        return 1800;
    case 7:
        return 1502;
    default:
        return 3600;
    }
}

std::size_t findStartCode(std::span<const std::uint8_t> data, std::size_t from) {
    for (std::size_t i = from; i + 3 <= data.size(); ++i)
        if (data[i] == 0 && data[i + 1] == 0 && data[i + 2] == 1) return i;
    return data.size();
}

// MPEG-2: the sequence header's size, aspect and rate, the sequence extension's
// progressive flag; whether a picture header of an I picture comes.
bool mpeg2Access(std::span<const std::uint8_t> es, TStreamCodingInfo& stream, bool& headerFound) {
    unsigned width = 0, height = 0, aspect = 0;
    bool progressive = false, sequence = false;
    for (std::size_t at = findStartCode(es, 0); at + 6 <= es.size(); at = findStartCode(es, at + 3)) {
        const std::uint8_t code = es[at + 3];
        const auto b = [&](std::size_t i) -> unsigned { return at + i < es.size() ? es[at + i] : 0u; };
        if (code == 0xB3) {
            sequence = true;
            width = b(4) << 4 | b(5) >> 4;
            height = (b(5) & 0x0F) << 8 | b(6);
            aspect = b(7) >> 4;
            stream.frame_rate = static_cast<std::uint8_t>(b(7) & 0x0F);
        } else if (code == 0xB5 && (b(4) >> 4) == 1) {
            progressive = (b(5) & 0x08) != 0;
        } else if (code == 0x00) {
            if (sequence && !headerFound) {
                headerFound = true;
                stream.video_format = videoFormatCode(height, progressive, stream.frame_rate);
                stream.aspect_ratio = aspect == 2 || aspect == 3 ? static_cast<std::uint8_t>(aspect)
                                                                 : aspectCode(width, height);
            }
            return ((b(5) >> 3) & 7) == 1;
        }
    }
    return false;
}

void h264Sps(std::span<const std::uint8_t> nal, TStreamCodingInfo& stream) {
    BitReader in(unescape(nal.subspan(1)));
    const std::uint32_t profile = in.bits(8);
    in.bits(16); // constraint flags, level
    in.ue();     // seq_parameter_set_id
    if (profile == 100 || profile == 110 || profile == 122 || profile == 244 || profile == 44 ||
        profile == 83 || profile == 86 || profile == 118 || profile == 128) {
        const std::uint32_t chroma = in.ue();
        if (chroma == 3) in.bits(1);
        in.ue();
        in.ue();
        in.bits(1);
        if (in.bits(1) != 0) { // scaling matrices
            for (int i = 0; i < (chroma == 3 ? 12 : 8); ++i) {
                if (in.bits(1) == 0) continue;
                const int size = i < 6 ? 16 : 64;
                std::int32_t last = 8, next = 8;
                for (int j = 0; j < size; ++j) {
                    if (next != 0) next = (last + in.se() + 256) % 256;
                    last = next == 0 ? last : next;
                }
            }
        }
    }
    in.ue(); // log2_max_frame_num_minus4
    const std::uint32_t pocType = in.ue();
    if (pocType == 0) {
        in.ue();
    } else if (pocType == 1) {
        in.bits(1);
        in.se();
        in.se();
        const std::uint32_t cycle = in.ue();
        for (std::uint32_t i = 0; i < cycle && i < 256; ++i) in.se();
    }
    in.ue();
    in.bits(1);
    const std::uint32_t widthMbs = in.ue() + 1;
    const std::uint32_t heightUnits = in.ue() + 1;
    const bool frameMbsOnly = in.bits(1) != 0;
    if (!frameMbsOnly) in.bits(1);
    in.bits(1);
    std::uint32_t cropBottom = 0, cropRight = 0;
    if (in.bits(1) != 0) {
        in.ue();
        cropRight = in.ue();
        in.ue();
        cropBottom = in.ue();
    }
    const unsigned width = widthMbs * 16 - cropRight * 2;
    const unsigned height = heightUnits * 16 * (frameMbsOnly ? 1 : 2) - cropBottom * (frameMbsOnly ? 2 : 4);
    double rate = 0;
    unsigned sarWidth = 1, sarHeight = 1;
    if (in.bits(1) != 0) { // VUI
        if (in.bits(1) != 0) {
            static constexpr unsigned sar[17][2] = {
                {1, 1},   {1, 1},   {12, 11}, {10, 11}, {16, 11},  {40, 33}, {24, 11}, {20, 11}, {32, 11},
                {80, 33}, {18, 11}, {15, 11}, {64, 33}, {160, 99}, {4, 3},   {3, 2},   {2, 1}};
            const std::uint32_t idc = in.bits(8);
            if (idc == 255) {
                sarWidth = in.bits(16);
                sarHeight = in.bits(16);
            } else if (idc < 17) {
                sarWidth = sar[idc][0];
                sarHeight = sar[idc][1];
            }
        }
        if (in.bits(1) != 0) in.bits(1);
        if (in.bits(1) != 0) {
            in.bits(4);
            if (in.bits(1) != 0) in.bits(24);
        }
        if (in.bits(1) != 0) {
            in.ue();
            in.ue();
        }
        if (in.bits(1) != 0) {
            const std::uint32_t units = in.bits(32);
            const std::uint32_t scale = in.bits(32);
            if (units != 0) rate = scale / (2.0 * units);
        }
    }
    if (in.overrun()) return;
    stream.frame_rate = frameRateCode(rate);
    // A field-coded stream gives the field rate.
    if (stream.frame_rate == 0 && !frameMbsOnly) stream.frame_rate = frameRateCode(rate / 2);
    stream.video_format = videoFormatCode(height, frameMbsOnly, stream.frame_rate);
    stream.aspect_ratio = aspectCode(width * std::max(sarWidth, 1u), height * std::max(sarHeight, 1u));
}

// H.264: SPS attributes; whether the access unit's first slice is an IDR or I slice.
bool h264Access(std::span<const std::uint8_t> es, TStreamCodingInfo& stream, bool& headerFound) {
    for (std::size_t at = findStartCode(es, 0); at + 4 <= es.size();) {
        const std::size_t next = findStartCode(es, at + 3);
        const std::span<const std::uint8_t> nal = es.subspan(at + 3, next - at - 3);
        at = next;
        if (nal.empty()) continue;
        const unsigned type = nal[0] & 0x1F;
        if (type == 7 && !headerFound) {
            headerFound = true;
            h264Sps(nal, stream);
        } else if (type == 5) {
            return true;
        } else if (type == 1) {
            BitReader in(unescape(nal.subspan(1, std::min<std::size_t>(nal.size() - 1, 16))));
            in.ue(); // first_mb_in_slice
            const std::uint32_t sliceType = in.ue() % 5;
            return sliceType == 2 || sliceType == 4;
        }
    }
    return false;
}

// Presentation type and sampling frequency from the first bytes of an audio PES.
void audioAttributes(std::span<const std::uint8_t> es, TStreamCodingInfo& stream) {
    const auto presentation = [](unsigned channels) -> std::uint8_t {
        return channels == 1 ? 1 : channels == 2 ? 3 : 6;
    };
    const std::uint8_t type = stream.stream_coding_type;
    if (type == 0x80) { // LPCM: the 4-byte header before the samples
        if (es.size() < 4) return;
        const unsigned assignment = es[2] >> 4;
        stream.audio_presentation_type = assignment == 1 ? 1 : assignment == 3 ? 3 : 6;
        stream.sampling_frequency = static_cast<std::uint8_t>(es[2] & 0x0F);
        return;
    }
    for (std::size_t i = 0; i + 10 <= es.size(); ++i) {
        if (es[i] == 0x0B && es[i + 1] == 0x77) {
            const unsigned bsid = es[i + 5] >> 3;
            unsigned fscod = 0, acmod = 0;
            if (bsid <= 10) {
                fscod = es[i + 4] >> 6;
                acmod = es[i + 6] >> 5;
            } else {
                fscod = es[i + 4] >> 6;
                acmod = (es[i + 4] >> 1) & 7;
            }
            static constexpr unsigned channels[8] = {2, 1, 2, 3, 3, 4, 4, 5};
            stream.audio_presentation_type = acmod == 0 ? 2 : presentation(channels[acmod]);
            stream.sampling_frequency = fscod == 0 ? 1 : 0;
            return;
        }
        if (es[i] == 0x7F && es[i + 1] == 0xFE && es[i + 2] == 0x80 && es[i + 3] == 0x01) {
            // AMODE: 6 bits from bit 60 of the core frame header
            const unsigned amode = ((es[i + 7] & 0x0F) << 2) | (es[i + 8] >> 6);
            stream.audio_presentation_type = amode == 0 ? 1 : amode == 1 ? 2 : amode <= 4 ? 3 : 6;
            stream.sampling_frequency = 1;
            return;
        }
    }
}

struct PidState {
    TStreamCodingInfo* stream = nullptr;
    bool video = false;
    bool audioDone = false;
    bool headerFound = false;
    bool inPes = false;
    std::uint32_t pesSpn = 0;
    std::uint32_t lastSpn = 0;
    std::uint64_t pesPts = 0;
    bool pesHasPts = false;
    std::vector<std::uint8_t> es;
};

std::uint64_t pts33(std::span<const std::uint8_t> payload) {
    const auto b = [&](std::size_t i) -> std::uint64_t { return payload[i]; };
    return ((b(9) >> 1) & 7) << 30 | b(10) << 22 | (b(11) >> 1) << 15 | b(12) << 7 | b(13) >> 1;
}

void putWord32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(value >> shift));
}

std::uint32_t word32(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    if (at + 4 > bytes.size()) return 0;
    return static_cast<std::uint32_t>(bytes[at]) << 24 | static_cast<std::uint32_t>(bytes[at + 1]) << 16 |
           static_cast<std::uint32_t>(bytes[at + 2]) << 8 | bytes[at + 3];
}

// I_end_position_offset: the I picture's end in ranges of bytes from the entry.
std::uint32_t endPositionCode(const EntryPoint& entry) {
    const std::uint64_t bytes = (static_cast<std::uint64_t>(entry.endSpn) - entry.spn + 1) * SourcePacketSize;
    static constexpr std::uint64_t limits[] = {131072, 262144, 393216, 589824, 917504, 1310720};
    std::uint32_t code = 1;
    for (const std::uint64_t limit : limits) {
        if (bytes < limit) return code;
        ++code;
    }
    return 7;
}

} // namespace

EPMapTables epMapTables(const std::vector<EntryPoint>& entries) {
    // A coarse entry starts where PTS bits 32..20 or SPN bits 31..17 change: a reader
    // joins the coarse PTS without its low bit and the coarse SPN's high bits with the fine ones.
    std::vector<std::size_t> coarse;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (!coarse.empty()) {
            const EntryPoint& first = entries[coarse.back()];
            if ((first.pts >> 20) == (entries[i].pts >> 20) && (first.spn >> 17) == (entries[i].spn >> 17))
                continue;
        }
        coarse.push_back(i);
    }
    EPMapTables tables;
    tables.coarseCount = static_cast<std::uint16_t>(coarse.size());
    tables.fineCount = static_cast<std::uint32_t>(entries.size());
    putWord32(tables.bytes, static_cast<std::uint32_t>(4 + 8 * coarse.size())); // EP_fine_table_start_address
    for (const std::size_t i : coarse) {
        const EntryPoint& entry = entries[i];
        putWord32(tables.bytes, static_cast<std::uint32_t>(i) << 14 |
                                    static_cast<std::uint32_t>((entry.pts >> 19) & 0x3FFF));
        putWord32(tables.bytes, entry.spn);
    }
    for (const EntryPoint& entry : entries)
        putWord32(tables.bytes, endPositionCode(entry) << 28 |
                                    static_cast<std::uint32_t>((entry.pts >> 9) & 0x7FF) << 17 |
                                    (entry.spn & 0x1FFFF));
    return tables;
}

std::vector<EntryPoint> decodeEPMap(const TCPI& cpi) {
    std::vector<EntryPoint> points;
    if (cpi.EP_map_entries.empty()) return points;
    const TEPMapEntry& entry = cpi.EP_map_entries.front();
    // EP_map_data starts after the entries, 2 + 12 bytes per entry into EP_map().
    const std::size_t base = 2 + 12 * cpi.EP_map_entries.size();
    if (entry.EP_map_for_one_stream_PID_start_address < base) return points;
    const std::size_t at = entry.EP_map_for_one_stream_PID_start_address - base;
    const std::size_t fineAt = at + word32(cpi.EP_map_data, at);
    for (std::size_t c = 0; c < entry.number_of_EP_coarse_entries; ++c) {
        const std::uint32_t first = word32(cpi.EP_map_data, at + 4 + 8 * c);
        const std::uint32_t spn = word32(cpi.EP_map_data, at + 8 + 8 * c);
        const std::uint32_t fineFrom = first >> 14;
        const std::uint32_t fineTo = c + 1 < entry.number_of_EP_coarse_entries
                                         ? word32(cpi.EP_map_data, at + 12 + 8 * c) >> 14
                                         : entry.number_of_EP_fine_entries;
        for (std::uint32_t f = fineFrom; f < fineTo; ++f) {
            const std::uint32_t fine = word32(cpi.EP_map_data, fineAt + 4 * f);
            EntryPoint point;
            point.pts = (static_cast<std::uint64_t>(first & 0x3FFE) << 19) +
                        (static_cast<std::uint64_t>((fine >> 17) & 0x7FF) << 9);
            point.spn = (spn & ~0x1FFFFu) + (fine & 0x1FFFF);
            points.push_back(point);
        }
    }
    return points;
}

std::optional<TCLPI> clipInfoFromStream(const std::string& m2tsPath, std::string& error) {
    std::vector<TStreamCodingInfo> streams = transportStreamPrograms(m2tsPath, error);
    if (!error.empty()) return std::nullopt;
    if (streams.empty()) {
        error = m2tsPath + ": no program map found";
        return std::nullopt;
    }
    FilePtr in(std::fopen(m2tsPath.c_str(), "rb"));
    if (!in) {
        error = m2tsPath + ": " + std::strerror(errno);
        return std::nullopt;
    }
    std::map<std::uint16_t, PidState> pids;
    std::uint16_t videoPid = NullPid;
    for (TStreamCodingInfo& stream : streams) {
        PidState& state = pids[stream.stream_PID];
        state.stream = &stream;
        state.video = isVideoCoding(stream.stream_coding_type);
        if (state.video && videoPid == NullPid) videoPid = stream.stream_PID;
    }

    std::vector<EntryPoint> entries;
    std::optional<std::uint64_t> firstPts, lastPts, anyFirstPts, anyLastPts;
    std::optional<std::uint16_t> pcrPid, pmtPid;
    std::uint64_t firstPcr = 0, lastPcr = 0;
    std::uint32_t firstPcrSpn = 0, lastPcrSpn = 0;
    std::uint64_t atsSpan = 0; // 27 MHz ticks from the first packet's arrival to the last's
    std::uint32_t previousAts = 0;
    std::uint32_t spn = 0;

    const auto endPes = [&](PidState& state) {
        if (!state.inPes || !state.video) return;
        state.inPes = false;
        const bool intra = state.stream->stream_coding_type == 0x1B
                               ? h264Access(state.es, *state.stream, state.headerFound)
                               : mpeg2Access(state.es, *state.stream, state.headerFound);
        if (intra && state.pesHasPts && state.stream->stream_PID == videoPid)
            entries.push_back({state.pesSpn, state.pesPts, state.lastSpn});
    };

    std::vector<std::uint8_t> buffer(ReadPackets * SourcePacketSize);
    for (;;) {
        const std::size_t got = std::fread(buffer.data(), 1, buffer.size(), in.get());
        for (std::size_t at = 0; at + SourcePacketSize <= got; at += SourcePacketSize, ++spn) {
            const SourcePacket packet(
                std::span<const std::uint8_t>(buffer).subspan(at).first<SourcePacket::Size>());
            if (!syncOk(packet)) continue;
            const std::uint32_t ats = extraHeader(packet) & 0x3FFFFFFF;
            if (spn != 0) atsSpan += (ats + AtsWrap - previousAts) % AtsWrap;
            previousAts = ats;
            const std::uint16_t pid = packetPid(packet);
            if (pid == NullPid) continue;
            if (hasAdaptationField(packet) && packet.byte(8) >= 7 && (packet.byte(9) & 0x10) != 0) {
                const auto b = [&](std::size_t i) -> std::uint64_t { return packet.byte(i); };
                const std::uint64_t base = b(10) << 25 | b(11) << 17 | b(12) << 9 | b(13) << 1 | b(14) >> 7;
                const std::uint64_t pcr = base * 300 + ((b(14) & 1) << 8 | b(15));
                if (!pcrPid) {
                    pcrPid = pid;
                    firstPcr = pcr;
                    firstPcrSpn = spn;
                }
                if (pid == *pcrPid) {
                    lastPcr = pcr;
                    lastPcrSpn = spn;
                }
            }
            const int length = payloadLength(packet);
            if (length < 1 || !hasPayloadFlag(packet)) continue;
            const std::span<const std::uint8_t> payload = payloadOf(packet, length);
            if (pid == 0 && !pmtPid && payloadUnitStart(packet)) {
                const std::size_t p = 1 + payload[0];
                if (p + 3 > payload.size()) continue;
                const std::size_t sectionEnd =
                    std::min(payload.size(), p + 3 + ((payload[p + 1] & 0x0Fu) << 8 | payload[p + 2]));
                // The first program after the 8-byte header that is not the network PID (CRC left off).
                for (std::size_t e = p + 8; e + 8 <= sectionEnd; e += 4)
                    if ((payload[e] << 8 | payload[e + 1]) != 0) {
                        pmtPid = static_cast<std::uint16_t>((payload[e + 2] & 0x1F) << 8 | payload[e + 3]);
                        break;
                    }
                continue;
            }
            const auto found = pids.find(pid);
            if (found == pids.end()) continue;
            PidState& state = found->second;
            if (payloadUnitStart(packet) && isPesStart(payload)) {
                endPes(state);
                const PesHeader header = readPesHeader(payload);
                const std::size_t headerSize = PesFixedHeaderSize + header.PES_header_data_length;
                const std::span<const std::uint8_t> es = headerSize < payload.size()
                                                             ? payload.subspan(headerSize)
                                                             : std::span<const std::uint8_t>();
                if (header.PTS_DTS_flags != 0) {
                    const std::uint64_t pts = pts33(payload);
                    anyFirstPts = std::min(anyFirstPts.value_or(pts), pts);
                    anyLastPts = std::max(anyLastPts.value_or(pts), pts);
                    if (pid == videoPid) {
                        firstPts = std::min(firstPts.value_or(pts), pts);
                        lastPts = std::max(lastPts.value_or(pts), pts);
                    }
                }
                if (state.video) {
                    state.inPes = true;
                    state.pesSpn = spn;
                    state.pesHasPts = header.PTS_DTS_flags != 0;
                    state.pesPts = header.PTS_DTS_flags != 0 ? pts33(payload) : 0;
                    state.es.assign(es.begin(), es.end());
                } else if (!state.audioDone && isAudioCoding(state.stream->stream_coding_type) &&
                           !es.empty()) {
                    state.audioDone = true;
                    audioAttributes(es, *state.stream);
                }
            } else if (state.inPes && state.es.size() < KeepBytes) {
                state.es.insert(state.es.end(), payload.begin(), payload.end());
            }
            state.lastSpn = spn;
        }
        if (got < buffer.size()) break;
    }
    if (std::ferror(in.get()) != 0) {
        error = m2tsPath + ": " + std::strerror(errno);
        return std::nullopt;
    }
    in.reset();
    for (auto& [pid, state] : pids) endPes(state);
    if (spn == 0) {
        error = m2tsPath + ": no source packets";
        return std::nullopt;
    }

    TCLPI clpi;
    clpi.type_indicator = "HDMV";
    clpi.version_number = "0200";
    TClipInfo& info = clpi.ClipInfo;
    info.Clip_stream_type = 1; // AV stream
    info.application_type = MovieApplicationType;
    info.number_of_source_packets = spn;
    info.TS_type_info_length = 30;
    info.Validity_flags = 0x80;
    info.Format_identifier = "HDMV";
    // Bytes over time between the first and the last PCR, else over the arrival times
    // (some muxers' arrival stamps do not follow the PCR).
    const auto rate = [](std::uint64_t packets, std::uint64_t ticks) -> std::uint64_t {
        return ticks == 0 ? 0 : (packets * SourcePacketSize * PcrHz + ticks - 1) / ticks;
    };
    std::uint64_t recordingRate = 0;
    if (lastPcrSpn > firstPcrSpn && lastPcr > firstPcr)
        recordingRate = rate(lastPcrSpn - firstPcrSpn, lastPcr - firstPcr);
    if (recordingRate == 0 && spn > 1) recordingRate = rate(spn - 1, atsSpan);
    if (recordingRate == 0 || recordingRate > MenuClipRecordingRate) recordingRate = MenuClipRecordingRate;
    info.TS_recording_rate = static_cast<std::uint32_t>(recordingRate);

    const TStreamCodingInfo* video = nullptr;
    for (const TStreamCodingInfo& stream : streams)
        if (stream.stream_PID == videoPid) video = &stream;
    const std::optional<std::uint64_t> start = video ? firstPts : anyFirstPts;
    const std::optional<std::uint64_t> end = video ? lastPts : anyLastPts;
    TSTCSequence stc;
    stc.PCR_PID = pcrPid.value_or(videoPid);
    stc.presentation_start_time = static_cast<std::uint32_t>(start.value_or(0) / 2);
    stc.presentation_end_time =
        static_cast<std::uint32_t>((end.value_or(0) + frameTicks(video ? video->frame_rate : 3)) / 2);
    clpi.SequenceInfo.number_of_ATC_sequences = 1;
    clpi.SequenceInfo.ATC_sequences.push_back({0, 1, 0, {stc}});

    for (TStreamCodingInfo& stream : streams) {
        const std::uint8_t type = stream.stream_coding_type;
        if ((isAudioCoding(type) || isGraphicsCoding(type)) && stream.language_code.size() != 3)
            stream.language_code = "und";
        if (!isAudioCoding(type) && !isGraphicsCoding(type)) stream.language_code.clear();
    }
    TProgram_sequences program;
    program.program_map_PID = pmtPid.value_or(0x0100);
    program.number_of_streams_in_ps = static_cast<std::uint8_t>(streams.size());
    program.streams = std::move(streams);
    clpi.ProgramInfo.number_of_program_sequences = 1;
    clpi.ProgramInfo.program_sequences.push_back(std::move(program));

    if (video && !entries.empty()) {
        const EPMapTables tables = epMapTables(entries);
        TCPI& cpi = clpi.CPI;
        cpi.CPI_type_word = 1; // EP map
        cpi.number_of_stream_PID_entries = 1;
        TEPMapEntry entry;
        entry.stream_PID = videoPid;
        entry.EP_stream_type = VideoEPStreamType;
        entry.number_of_EP_coarse_entries = tables.coarseCount;
        entry.number_of_EP_fine_entries = tables.fineCount;
        entry.EP_map_for_one_stream_PID_start_address = 2 + 12;
        cpi.EP_map_entries.push_back(entry);
        cpi.EP_map_data = tables.bytes;
    }
    return clpi;
}

} // namespace corvane
