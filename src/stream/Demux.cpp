#include "stream/Demux.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

#if defined(__unix__)
#include <fcntl.h>
#endif

#include "io/ByteWriter.h"
#include "io/FileIO.h"
#include "io/TextUtil.h"
#include "playlist/PlayListNames.h"
#include "stream/TransportStream.h"

namespace corvane {

namespace {

// Output is handed to the file once this much has gathered: small enough that the
// kernel copies it out of the processor's cache (1 MiB measured 7 % faster than 4 MiB on
// a small PID of a 1 GB stream, and the same on video).
constexpr std::size_t FlushSize = 1u << 20;
constexpr std::size_t ReadPackets = 1024; // 192 KiB
constexpr std::size_t PageSize = 4096;
constexpr std::size_t CarrySpace = DemuxMaxCarry;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

std::string systemError(const std::string& path) {
    return path + ": " + std::strerror(errno);
}

} // namespace

Demuxer::Demuxer(std::uint16_t pid, DemuxMode mode, Reporter& reporter, std::uint64_t packetsInFile)
    : m_pid(pid), m_mode(mode), m_reporter(reporter), m_packetsInFile(packetsInFile) {
    if (mode == DemuxMode::SUP) {
        m_wantReference = true;
        m_markers[0] = 'P';
        m_markers[1] = 'G';
    } else if (mode == DemuxMode::MNU) {
        m_markers[0] = 'I';
        m_markers[1] = 'G';
    }
    m_out.reserve(FlushSize + ReadPackets * SourcePacketSize);
}

void Demuxer::outputTaken() {
    m_taken += m_out.size();
    m_out.clear();
}

std::uint64_t Demuxer::cleanEnd() const {
    if (m_mode == DemuxMode::PES || !m_inPes) return outputSize();
    const bool complete = !m_unbounded && m_headerSkip == 0 && m_esWritten >= m_esExpected;
    return complete ? outputSize() : m_pesStart;
}

bool Demuxer::processPackets(std::span<const std::uint8_t> data) {
    processBytes(data.first(data.size() / SourcePacketSize * SourcePacketSize), true);
    return !m_stopped;
}

std::size_t Demuxer::processBytes(std::span<const std::uint8_t> data, bool atEnd) {
    const std::size_t size = data.size();
    std::size_t at = 0;
    m_stopped = false;
    if (m_scanning) at = scan(data, 0, atEnd);
    // Packets that start below `fit` lie wholly in the data.
    const std::size_t fit = m_scanning || size < SourcePacketSize ? 0 : size - SourcePacketSize + 1;
    const auto badSync = [&](std::size_t offset) {
        const std::optional<SourcePacket> packet = SourcePacket::at(data, offset);
        return packet && !syncOk(*packet);
    };
    while (at < fit) {
        // at < fit: the whole packet is in the data, so the view needs no check of its own.
        const SourcePacket packet(data.subspan(at).first<SourcePacket::Size>());
        if (!syncOk(packet)) [[unlikely]] {
            // Damage in place keeps the 192-byte grid: the next packet with a right sync byte.
            std::size_t next = at + SourcePacketSize, tries = 0;
            while (tries < DemuxResyncPackets && next < fit && badSync(next)) {
                next += SourcePacketSize;
                ++tries;
            }
            if (tries == DemuxResyncPackets) {
                // Bytes were lost or added: the grid is gone.
                m_scanning = true;
                skip(m_consumed + at, 1);
                at = scan(data, at + 1, atEnd);
                if (m_scanning) break;
                continue;
            }
            const bool found = next < fit;
            if (!found && !atEnd) break; // look further with the next bytes
            skip(m_consumed + at, next - at);
            at = next;
            if (found) endDamage();
            continue;
        }
        at += SourcePacketSize;
        if (!processPacket(packet)) {
            m_stopped = true;
            break;
        }
    }
    m_consumed += at;
    return at;
}

std::size_t Demuxer::scan(std::span<const std::uint8_t> data, std::size_t at, bool atEnd) {
    const std::size_t size = data.size();
    // A packet start is where two sync bytes 192 apart confirm it.
    while (size - at >= SourcePacketSize + 5) {
        const std::size_t from = at + 4, last = size - SourcePacketSize - 1;
        const auto hit = std::find(data.begin() + static_cast<std::ptrdiff_t>(from),
                                   data.begin() + static_cast<std::ptrdiff_t>(last + 1), SyncByte);
        if (hit == data.begin() + static_cast<std::ptrdiff_t>(last + 1)) {
            skip(m_consumed + at, last + 1 - from);
            at = last + 1 - 4;
            break;
        }
        const auto sync = static_cast<std::size_t>(hit - data.begin());
        skip(m_consumed + at, sync - 4 - at);
        at = sync - 4;
        if (data[sync + SourcePacketSize] == SyncByte) {
            m_scanning = false;
            endDamage();
            return at;
        }
        skip(m_consumed + at, 1);
        ++at;
    }
    if (atEnd) {
        skip(m_consumed + at, size - at);
        at = size;
    }
    return at;
}

void Demuxer::skip(std::uint64_t offset, std::size_t bytes) {
    if (bytes == 0) return;
    if (m_damageBytes == 0) m_damageStart = offset;
    m_damageBytes += bytes;
}

namespace {
// Damaged places logged one by one; the summary at the end counts them all.
constexpr std::uint64_t DamageLines = 10;
} // namespace

void Demuxer::endDamage() {
    const std::uint64_t packets = (m_damageBytes + SourcePacketSize - 1) / SourcePacketSize;
    m_skippedPackets += packets;
    m_packetsRead += packets;
    if (++m_damageRuns <= DamageLines)
        m_reporter.log("  " + thousands(static_cast<std::int64_t>(packets)) +
                       " damaged packets skipped at byte " +
                       thousands(static_cast<std::int64_t>(m_damageStart)));
    m_damageBytes = 0;
    m_afterDamage = true;
}

void Demuxer::finish() {
    if (m_damageBytes != 0) endDamage();
    if (m_damageRuns > 0)
        m_reporter.log("[re]" + thousands(static_cast<std::int64_t>(m_skippedPackets)) +
                       " damaged packets[/re] skipped in " +
                       thousands(static_cast<std::int64_t>(m_damageRuns)) +
                       (m_damageRuns == 1 ? " place." : " places."));
}

bool Demuxer::noTransportStream() const {
    return goodPackets() == 0 || (m_pidPackets == 0 && m_skippedPackets > goodPackets());
}

bool Demuxer::processPacket(SourcePacket packet) {
    if ((++m_packetsRead % DemuxProgressPackets) == 0 && m_packetsInFile > 0)
        m_reporter.showPacketProgress(m_packetsRead, m_packetsInFile);
    const std::uint16_t pid = packetPid(packet);
    if (pid == NullPid) return true;
    if (m_wantReference && pid == PrimaryVideoPid) [[unlikely]]
        findReference(packet);
    if (pid != m_pid) return true;
    ++m_pidPackets;
    const int length = payloadLength(packet);
    if (length < 0) return true;
    const std::span<const std::uint8_t> payload = payloadOf(packet, length);
    if (m_mode == DemuxMode::PES) {
        append(payload);
        return true;
    }
    if (!hasPayloadFlag(packet)) return true;
    return takePacket(packet, payload);
}

void Demuxer::findReference(SourcePacket packet) {
    const int length = payloadLength(packet);
    if (length < 0) return;
    const std::span<const std::uint8_t> payload = payloadOf(packet, length);
    if (!startsWithStartCode(payload)) return;
    const PesHeader header = readPesHeader(payload);
    if (header.PTS_DTS_flags == 0) return;
    m_refPts = header.PTS;
    m_refFound = true;
    m_wantReference = false;
}

bool Demuxer::takePacket(SourcePacket packet, std::span<const std::uint8_t> payload) {
    const std::size_t length = payload.size();
    // A bounded PES ends when fewer than 184 of its bytes remain; an unbounded one
    // (PES_packet_length 0) only where the next payload unit starts, and so does one
    // that lost packets to damage (its count of remaining bytes is then wrong).
    const bool starts =
        isPesStart(payload) && (m_unbounded || m_afterDamage ? payloadUnitStart(packet) : m_remaining < 184);
    if (!starts) {
        if (!m_unbounded && m_remaining == 0) return true;
        const std::size_t skip = std::min(m_headerSkip, length);
        m_headerSkip -= skip;
        append(payload.subspan(skip));
        m_esWritten += length - skip;
        m_remaining = static_cast<std::uint16_t>(m_remaining - (length - skip));
        return true;
    }
    if (m_reporter.CancelRequested) return false;

    m_afterDamage = false;
    const PesHeader header = readPesHeader(payload);
    m_remaining = header.PES_packet_length;
    m_unbounded = header.PES_packet_length == 0;
    m_headerSkip = 0;
    m_inPes = false;
    if (isNonDataStreamId(header.stream_id)) return true;

    const std::size_t headerSize = PesFixedHeaderSize + header.PES_header_data_length;
    // A header longer than this payload continues in the next packets of the PID.
    const std::size_t count = length > headerSize ? length - headerSize : 0;
    if (length < headerSize) m_headerSkip = headerSize - length;
    m_pesStart = outputSize();
    m_esExpected = header.PES_packet_length > 3 + header.PES_header_data_length
                       ? header.PES_packet_length - 3u - header.PES_header_data_length
                       : 0;
    m_esWritten = count;
    m_inPes = true;

    const bool segments = m_mode == DemuxMode::SUP || m_mode == DemuxMode::MNU;
    if (segments && header.PTS_DTS_flags != 0) {
        const std::uint32_t reference = m_mode == DemuxMode::SUP ? m_refPts : 0;
        m_segmentPts = header.PTS - reference;
        m_segmentDts = header.PTS_DTS_flags == 3 ? header.DTS - reference : 0;
        logSegment(packet, count > 0 ? payload[headerSize] : 0);
    }
    m_remaining = static_cast<std::uint16_t>(m_remaining - count);
    if (segments) {
        ByteWriter head;
        head.appendbyte(static_cast<std::uint8_t>(m_markers[0]));
        head.appendbyte(static_cast<std::uint8_t>(m_markers[1]));
        head.appendlword(m_segmentPts);
        head.appendlword(m_segmentDts);
        head.flushbuffer(m_out);
    }
    if (count > 0) append(payload.subspan(headerSize));
    return true;
}

void Demuxer::logSegment(SourcePacket packet, std::uint8_t segmentType) {
    m_reporter.log(hexText(m_segmentPts, 8) + ", " + hexText(m_segmentDts, 8) + " : " +
                   timeText90(m_segmentPts) + ", " + timeText90(m_segmentDts) + "   " +
                   hexText(segmentType, 2) + "   " + hexText(extraHeader(packet), 8));
}

DemuxResult Demux(const std::string& m2tsPath, const std::string& outPath, std::uint16_t pid, DemuxMode mode,
                  Reporter& reporter, std::size_t blocksPerPump) {
    DemuxResult result;
    reporter.OperationStart = std::chrono::steady_clock::now();
    FilePtr in(std::fopen(m2tsPath.c_str(), "rb"));
    if (!in) {
        reporter.fileError(systemError(m2tsPath));
        return result;
    }
    OutputFile out;
    if (!out.open(outPath)) {
        reporter.fileError(out.error());
        return result;
    }
    // The input goes through our own buffer only.
    std::setvbuf(in.get(), nullptr, _IONBF, 0);
#if defined(__unix__)
    posix_fadvise(fileno(in.get()), 0, 0, POSIX_FADV_SEQUENTIAL);
#endif

    const std::int64_t size = fileSize(m2tsPath);
    const std::uint64_t packetsInFile = size > 0 ? static_cast<std::uint64_t>(size) / SourcePacketSize : 0;
    Demuxer demuxer(pid, mode, reporter, packetsInFile);
    // Page-aligned reads of 192 KiB (1024 packets) keep the buffer in the processor's
    // cache; the host's events are served once per `blocksPerPump` blocks of 341. Bytes
    // the walk hands back (a partial packet after damage) go just before the next read.
    const std::size_t pumpPackets = std::max<std::size_t>(1, blocksPerPump) * DemuxBlockPackets;
    const std::size_t readPackets = std::min<std::size_t>(ReadPackets, pumpPackets);
    const std::size_t bufferSize = readPackets * SourcePacketSize;
    std::vector<std::uint8_t> storage(CarrySpace + bufferSize + PageSize);
    const std::size_t misaligned = (reinterpret_cast<std::uintptr_t>(storage.data()) + CarrySpace) % PageSize;
    const std::size_t bufferAt = CarrySpace + (PageSize - misaligned) % PageSize;
    const std::span<std::uint8_t> buffer = std::span(storage).subspan(bufferAt, bufferSize);

    bool writeFailed = false;
    auto flush = [&] {
        auto& pending = demuxer.pending();
        if (!pending.empty() && !out.write(pending.data(), pending.size())) writeFailed = true;
        demuxer.outputTaken();
    };

    bool stoppedAtPes = false;
    std::size_t sincePump = pumpPackets;
    std::size_t carry = 0;
    while (!writeFailed) {
        if (sincePump >= pumpPackets) {
            reporter.sink().pumpEvents();
            sincePump = 0;
        }
        const std::size_t got = std::fread(buffer.data(), 1, buffer.size(), in.get());
        const bool atEnd = got < bufferSize;
        if (got == 0 && carry == 0) break;
        sincePump += got / SourcePacketSize;
        const std::size_t have = carry + got;
        const std::size_t dataAt = bufferAt - carry;
        const std::size_t used = demuxer.processBytes(std::span(storage).subspan(dataAt, have), atEnd);
        if (demuxer.stopped()) {
            stoppedAtPes = true;
            break;
        }
        // The rest moves down (never up) to just before the buffer.
        const std::size_t restAt = dataAt + used;
        carry = std::min(have - used, CarrySpace); // the walk hands back less than that
        if (restAt != bufferAt - carry)
            std::copy(storage.begin() + static_cast<std::ptrdiff_t>(restAt),
                      storage.begin() + static_cast<std::ptrdiff_t>(restAt + carry),
                      storage.begin() + static_cast<std::ptrdiff_t>(bufferAt - carry));
        if (demuxer.pending().size() >= FlushSize) flush();
        if (reporter.CancelRequested || atEnd) break;
    }
    demuxer.finish();
    result.cancelled = reporter.CancelRequested;
    // A cancel between PES starts keeps the output up to the last whole PES packet.
    const std::uint64_t keep = result.cancelled && !stoppedAtPes ? demuxer.cleanEnd() : demuxer.outputSize();
    const std::uint64_t flushed = demuxer.outputSize() - demuxer.pending().size();
    if (keep >= flushed)
        demuxer.pending().resize(static_cast<std::size_t>(keep - flushed));
    else
        demuxer.pending().clear();
    if (!writeFailed) flush();
    if (!writeFailed && !out.truncate(keep)) writeFailed = true;
    const bool readFailed = std::ferror(in.get()) != 0;
    in.reset();
    if (readFailed) {
        reporter.fileError(systemError(m2tsPath));
        return result;
    }
    if (writeFailed) {
        reporter.fileError(out.error());
        return result;
    }
    // Nothing to save is no success: the user hears why and no empty file is left.
    if (!result.cancelled && (demuxer.noTransportStream() || demuxer.pidPackets() == 0)) {
        const std::string name = std::filesystem::path(m2tsPath).filename().string();
        result.error = demuxer.noTransportStream() ? name + " is no transport stream"
                                                   : "PID " + hexText(pid, 4) + " not found in " + name;
        reporter.resultError(result.error);
        return result;
    }
    if (!out.commit()) {
        reporter.fileError(out.error());
        return result;
    }
    result.ok = true;
    result.pidPackets = demuxer.pidPackets();
    result.packetsRead = demuxer.packetsRead();
    result.bytesWritten = std::min(keep, demuxer.outputSize());
    return result;
}

std::string pidExtension(std::uint16_t pid) {
    switch (pid >> 8) {
    case 0x10:
        return "vis";
    case 0x11:
        return "aus";
    case 0x1B:
        return "svs";
    case 0x1A:
        return "sas";
    case 0x12:
        return "pgs";
    case 0x14:
        return "igs";
    default:
        return "";
    }
}

PidOutput pidOutput(const std::string& workDir, const std::string& clipName, const TStreamCodingInfo& stream,
                    const Options& options) {
    PidOutput output;
    const std::uint16_t pid = stream.stream_PID;
    output.extension = pidExtension(pid);
    if (options.SavePES) output.extension = "PES." + output.extension;
    const bool sup = (pid >> 8) == 0x12 && options.SaveSUP;
    const bool mnu = (pid >> 8) == 0x14 && options.SaveMNU && !options.SavePES;
    if (sup) {
        output.extension = "sup";
        output.mode = DemuxMode::SUP;
    } else if (mnu) {
        output.extension = "mnu";
        output.mode = DemuxMode::MNU;
    } else {
        output.mode = options.SavePES ? DemuxMode::PES : DemuxMode::ES;
    }
    const std::string cells = hexText(pid, 4) + "_" + std::string(codingTypeName(stream.stream_coding_type)) +
                              "_" + streamDetails(stream);
    std::string cleaned;
    for (const char c : cells) {
        if (c == ',') continue;
        cleaned += (c == ' ' || c == ':') ? '_' : c;
    }
    output.fileName = workDir + clipName + "_PID" + cleaned + "." + output.extension;
    return output;
}

std::string savedPacketsLine(std::uint64_t packets, std::chrono::seconds elapsed) {
    return std::to_string(packets) + " source packets saved. (" + longTimeText(elapsed) + ")";
}

DemuxResult savePid(Reporter& reporter, const std::string& m2tsPath, const std::string& outName,
                    std::uint16_t pid, DemuxMode mode) {
    reporter.ConfirmCancel = true;
    reporter.PrBarOn();
    reporter.log("");
    reporter.dlog0("Saving " + outName + " ...");
    const DemuxResult result = Demux(m2tsPath, outName, pid, mode, reporter);
    if (result.ok) {
        if (reporter.CancelRequested) {
            reporter.log("Saving cancelled.");
        } else {
            reporter.slogR();
            const auto elapsed = std::chrono::duration_cast<std::chrono::seconds>(
                std::chrono::steady_clock::now() - reporter.OperationStart);
            reporter.log(savedPacketsLine(result.pidPackets, elapsed));
        }
    }
    reporter.PrBarOff();
    return result;
}

} // namespace corvane
