#include "stream/Demux.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>

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

void Demuxer::setWindow(std::uint32_t start, std::uint32_t length) {
    m_windowed = true;
    m_windowStart = start;
    m_windowLength = length;
    m_keeping = false;
}

void Demuxer::setReference(std::uint32_t pts) {
    m_refPts = pts;
    m_refFound = true;
    m_wantReference = false;
}

void Demuxer::setProgress(std::uint64_t before, std::uint64_t total) {
    m_progressBase = before;
    m_packetsInFile = total;
}

bool Demuxer::keepPes(const PesHeader& header) {
    if (m_windowed && header.PTS_DTS_flags != 0)
        m_keeping = static_cast<std::uint32_t>(header.PTS - m_windowStart) < m_windowLength;
    return m_keeping;
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
    if (++m_damageRuns <= DamageLines && m_logDamage)
        m_reporter.log("  " + thousands(static_cast<std::int64_t>(packets)) +
                       " damaged packets skipped at byte " +
                       thousands(static_cast<std::int64_t>(m_damageStart)));
    m_damageBytes = 0;
    m_afterDamage = true;
}

void Demuxer::finish() {
    if (m_damageBytes != 0) endDamage();
    if (m_damageRuns > 0 && m_logDamage)
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
        m_reporter.showPacketProgress(m_progressBase + m_packetsRead, m_packetsInFile);
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
        if (m_windowed && payloadUnitStart(packet) && isPesStart(payload)) keepPes(readPesHeader(payload));
        if (m_keeping) {
            append(payload);
            ++m_keptPackets;
        }
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
        if (m_keeping) {
            append(payload.subspan(skip));
            m_esWritten += length - skip;
            ++m_keptPackets;
        }
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
    if (!keepPes(header)) {
        m_remaining = static_cast<std::uint16_t>(m_remaining - count);
        return true;
    }
    ++m_keptPackets;
    m_pesStart = outputSize();
    m_esExpected = header.PES_packet_length > 3 + header.PES_header_data_length
                       ? header.PES_packet_length - 3u - header.PES_header_data_length
                       : 0;
    m_esWritten = count;
    m_inPes = true;

    const bool segments = m_mode == DemuxMode::SUP || m_mode == DemuxMode::MNU;
    if (segments && header.PTS_DTS_flags != 0) {
        const std::uint32_t reference = m_mode == DemuxMode::SUP ? m_refPts : 0;
        // A segment timed before the first picture (by wrapping difference) starts with it,
        // rather than 13 hours on.
        const bool clamp = m_mode == DemuxMode::SUP && m_refFound;
        const auto relative = [reference, clamp](std::uint32_t time) {
            const std::uint32_t difference = time - reference;
            return clamp && static_cast<std::int32_t>(difference) < 0 ? 0u : difference;
        };
        m_segmentPts = relative(header.PTS);
        m_segmentDts = header.PTS_DTS_flags == 3 ? relative(header.DTS) : 0;
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
    const DemuxTarget target{pid, mode, outPath};
    return DemuxStreams(m2tsPath, std::span(&target, 1), reporter, blocksPerPump).front();
}

DemuxWalk demuxWalk(const std::string& m2tsPath, std::span<Demuxer* const> demuxers,
                    std::span<OutputFile* const> outs, Reporter& reporter, std::size_t blocksPerPump) {
    DemuxWalk walk;
    const std::size_t count = demuxers.size();
    FilePtr in(std::fopen(m2tsPath.c_str(), "rb"));
    if (!in) {
        reporter.fileError(systemError(m2tsPath));
        return walk;
    }
    // The input goes through our own buffer only.
    std::setvbuf(in.get(), nullptr, _IONBF, 0);
#if defined(__unix__)
    posix_fadvise(fileno(in.get()), 0, 0, POSIX_FADV_SEQUENTIAL);
#endif
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

    // Where each output stood before this walk.
    std::vector<std::uint64_t> before(count);
    for (std::size_t i = 0; i < count; ++i) before[i] = outs[i]->size();
    std::size_t failedOutput = count; // the output whose write failed
    auto flush = [&](std::size_t i) {
        auto& pending = demuxers[i]->pending();
        if (!pending.empty() && !outs[i]->write(pending.data(), pending.size()) && failedOutput == count)
            failedOutput = i;
        demuxers[i]->outputTaken();
    };

    std::vector<bool> stoppedAtPes(count, false);
    std::size_t sincePump = pumpPackets;
    std::size_t carry = 0;
    while (failedOutput == count) {
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
        const std::span<const std::uint8_t> data = std::span(storage).subspan(dataAt, have);
        // The walkers that did not stop at a PES start all used the same bytes.
        std::size_t used = have;
        bool stopped = false;
        for (std::size_t i = 0; i < count; ++i) {
            const std::size_t walked = demuxers[i]->processBytes(data, atEnd);
            if (demuxers[i]->stopped()) {
                stoppedAtPes[i] = true;
                stopped = true;
            } else {
                used = walked;
            }
        }
        if (stopped) break;
        // The rest moves down (never up) to just before the buffer.
        const std::size_t restAt = dataAt + used;
        carry = std::min(have - used, CarrySpace); // the walk hands back less than that
        if (restAt != bufferAt - carry)
            std::copy(storage.begin() + static_cast<std::ptrdiff_t>(restAt),
                      storage.begin() + static_cast<std::ptrdiff_t>(restAt + carry),
                      storage.begin() + static_cast<std::ptrdiff_t>(bufferAt - carry));
        for (std::size_t i = 0; i < count; ++i)
            if (demuxers[i]->pending().size() >= FlushSize) flush(i);
        if (reporter.CancelRequested || atEnd) break;
    }
    walk.cancelled = reporter.CancelRequested;
    for (std::size_t i = 0; i < count; ++i) {
        Demuxer& demuxer = *demuxers[i];
        demuxer.finish();
        // A cancel between PES starts keeps the output up to the last whole PES packet.
        const std::uint64_t keep =
            walk.cancelled && !stoppedAtPes[i] ? demuxer.cleanEnd() : demuxer.outputSize();
        const std::uint64_t flushed = demuxer.outputSize() - demuxer.pending().size();
        if (keep >= flushed)
            demuxer.pending().resize(static_cast<std::size_t>(keep - flushed));
        else
            demuxer.pending().clear();
        if (failedOutput == count) flush(i);
        if (failedOutput == count && !outs[i]->truncate(before[i] + keep)) failedOutput = i;
    }
    const bool readFailed = std::ferror(in.get()) != 0;
    in.reset();
    if (readFailed) {
        reporter.fileError(systemError(m2tsPath));
        return walk;
    }
    if (failedOutput != count) {
        reporter.fileError(outs[failedOutput]->error());
        return walk;
    }
    walk.ok = true;
    return walk;
}

std::vector<DemuxResult> DemuxStreams(const std::string& m2tsPath, std::span<const DemuxTarget> targets,
                                      Reporter& reporter, std::size_t blocksPerPump) {
    const std::size_t count = targets.size();
    std::vector<DemuxResult> results(count);
    if (count == 0) return results;
    reporter.OperationStart = std::chrono::steady_clock::now();
    std::vector<OutputFile> outs(count);
    for (std::size_t i = 0; i < count; ++i)
        if (!outs[i].open(targets[i].outPath)) {
            reporter.fileError(outs[i].error());
            return results;
        }
    const std::int64_t size = fileSize(m2tsPath);
    const std::uint64_t packetsInFile = size > 0 ? static_cast<std::uint64_t>(size) / SourcePacketSize : 0;
    // Every walker sees the same bytes and so takes the same steps over damage: the first
    // one shows the progress and reports the damage.
    std::vector<std::unique_ptr<Demuxer>> demuxers;
    std::vector<Demuxer*> walkers;
    std::vector<OutputFile*> files;
    for (std::size_t i = 0; i < count; ++i) {
        demuxers.push_back(
            std::make_unique<Demuxer>(targets[i].pid, targets[i].mode, reporter, i == 0 ? packetsInFile : 0));
        if (i > 0) demuxers.back()->quietDamage();
        walkers.push_back(demuxers.back().get());
        files.push_back(&outs[i]);
    }
    const DemuxWalk walk = demuxWalk(m2tsPath, walkers, files, reporter, blocksPerPump);
    const bool cancelled = walk.cancelled;
    for (DemuxResult& result : results) result.cancelled = cancelled;
    if (!walk.ok) return results;
    // Nothing to save is no success: the user hears why and no empty file is left.
    if (!cancelled) {
        const std::string name = std::filesystem::path(m2tsPath).filename().string();
        if (demuxers.front()->noTransportStream()) {
            results.front().error = name + " is no transport stream";
            reporter.resultError(results.front().error);
            return results;
        }
        bool missing = false;
        for (std::size_t i = 0; i < count; ++i) {
            if (demuxers[i]->pidPackets() != 0) continue;
            results[i].error = "PID " + hexText(targets[i].pid, 4) + " not found in " + name;
            reporter.resultError(results[i].error);
            missing = true;
        }
        if (missing) return results;
    }
    for (std::size_t i = 0; i < count; ++i) {
        DemuxResult& result = results[i];
        if (!outs[i].commit()) {
            reporter.fileError(outs[i].error());
            continue;
        }
        const Demuxer& demuxer = *demuxers[i];
        result.ok = true;
        result.pidPackets = demuxer.pidPackets();
        result.packetsRead = demuxer.packetsRead();
        result.bytesWritten = outs[i].size();
    }
    return results;
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

DemuxMode pidMode(std::uint16_t pid, const Options& options) {
    if ((pid >> 8) == 0x12 && options.SaveSUP) return DemuxMode::SUP;
    if ((pid >> 8) == 0x14 && options.SaveMNU && !options.SavePES) return DemuxMode::MNU;
    return options.SavePES ? DemuxMode::PES : DemuxMode::ES;
}

PidOutput pidOutput(const std::string& workDir, const std::string& clipName, const TStreamCodingInfo& stream,
                    const Options& options) {
    PidOutput output;
    const std::uint16_t pid = stream.stream_PID;
    output.mode = pidMode(pid, options);
    output.extension = pidExtension(pid);
    if (options.SavePES) output.extension = "PES." + output.extension;
    if (output.mode == DemuxMode::SUP) output.extension = "sup";
    if (output.mode == DemuxMode::MNU) output.extension = "mnu";
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

namespace {

// The short name of a coding in a file name, which is also its elementary stream's extension.
std::string_view codingFileName(std::uint8_t stream_coding_type) {
    switch (stream_coding_type) {
    case 0x01:
    case 0x02:
        return "m2v";
    case 0x1B:
        return "h264";
    case 0x20:
        return "mvc";
    case 0x24:
        return "h265";
    case 0xEA:
        return "vc1";
    case 0x80:
        return "lpcm";
    case 0x81:
        return "ac3";
    case 0x82:
        return "dts";
    case 0x83:
        return "thd";
    case 0x84:
    case 0xA1:
        return "eac3";
    case 0x85:
    case 0x86:
    case 0xA2:
        return "dtshd";
    case 0x90:
        return "pgs";
    case 0x91:
        return "igs";
    case 0x92:
        return "textst";
    default:
        return {};
    }
}

} // namespace

std::string streamFileName(const std::string& clipName, const TStreamCodingInfo& stream, DemuxMode mode) {
    const std::string_view coding = codingFileName(stream.stream_coding_type);
    std::string name = clipName + " " + hexText(stream.stream_PID, 4);
    std::string extension;
    if (coding.empty()) {
        extension = pidExtension(stream.stream_PID);
        if (extension.empty()) extension = "es";
    } else {
        name += " " + std::string(coding);
        extension = coding;
        // Only letters: the code is part of a file name.
        const std::string& language = stream.language_code;
        const bool letters =
            language.size() == 3 && std::all_of(language.begin(), language.end(), [](char c) {
                return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
            });
        if (letters) name += " " + language;
    }
    switch (mode) {
    case DemuxMode::PES:
        extension = "pes";
        break;
    case DemuxMode::SUP:
        extension = "sup";
        break;
    case DemuxMode::MNU:
        extension = "mnu";
        break;
    case DemuxMode::ES:
        break;
    }
    return name + "." + extension;
}

std::optional<TCLPI> clipInfoOfStream(const std::string& m2tsPath) {
    namespace fs = std::filesystem;
    const fs::path stream(m2tsPath);
    const std::string extension = stream.extension().string();
    const bool shortNames = extension == ".MTS" || extension == ".mts";
    const fs::path folder = stream.parent_path().parent_path() / "CLIPINF";
    const fs::path clpi = folder / (stream.stem().string() + (shortNames ? ".CPI" : ".clpi"));
    std::error_code failed;
    if (!fs::is_regular_file(clpi, failed)) return std::nullopt;
    std::string error;
    const auto bytes = readWholeFile(clpi.string(), error);
    if (!bytes) return std::nullopt;
    ClipReadResult read = readClipInfo(*bytes, clpi.filename().string(), true);
    if (read.status != ReadStatus::Ok) return std::nullopt;
    return std::move(read.clpi);
}

std::vector<TStreamCodingInfo> transportStreamPrograms(const std::string& m2tsPath, std::string& error) {
    std::vector<TStreamCodingInfo> streams;
    FilePtr in(std::fopen(m2tsPath.c_str(), "rb"));
    if (!in) {
        error = systemError(m2tsPath);
        return streams;
    }
    constexpr std::size_t Limit = 16u << 20;
    std::vector<std::uint8_t> buffer(ReadPackets * SourcePacketSize);
    std::optional<std::uint16_t> pmtPid;
    // A section whole in the payload of its first packet (PAT and PMT of a BD stream are).
    const auto section = [](SourcePacket packet, std::uint8_t tableId) -> std::span<const std::uint8_t> {
        const int length = payloadLength(packet);
        if (length < 1 || !payloadUnitStart(packet) || !hasPayloadFlag(packet)) return {};
        std::span<const std::uint8_t> payload = payloadOf(packet, length);
        const std::size_t pointer = payload[0];
        if (pointer + 4 > payload.size()) return {};
        payload = payload.subspan(1 + pointer);
        if (payload[0] != tableId) return {};
        const std::size_t sectionLength = static_cast<std::size_t>((payload[1] & 0x0F) << 8 | payload[2]);
        if (sectionLength < 9 || 3 + sectionLength > payload.size()) return {};
        // Without the CRC.
        return payload.subspan(0, 3 + sectionLength - 4);
    };
    for (std::size_t read = 0; read < Limit;) {
        const std::size_t got = std::fread(buffer.data(), 1, buffer.size(), in.get());
        read += got;
        for (std::size_t at = 0; at + SourcePacketSize <= got; at += SourcePacketSize) {
            const SourcePacket packet(
                std::span<const std::uint8_t>(buffer).subspan(at).first<SourcePacket::Size>());
            if (!syncOk(packet)) continue;
            const std::uint16_t pid = packetPid(packet);
            if (!pmtPid && pid == 0) {
                const auto pat = section(packet, 0x00);
                // Programs after the 8-byte header: number 0 is the network PID.
                for (std::size_t p = 8; p + 4 <= pat.size(); p += 4) {
                    if ((pat[p] << 8 | pat[p + 1]) == 0) continue;
                    pmtPid = static_cast<std::uint16_t>((pat[p + 2] & 0x1F) << 8 | pat[p + 3]);
                    break;
                }
            } else if (pmtPid && pid == *pmtPid) {
                const auto pmt = section(packet, 0x02);
                if (pmt.size() < 12) continue;
                const std::size_t programInfo = static_cast<std::size_t>((pmt[10] & 0x0F) << 8 | pmt[11]);
                std::size_t p = 12 + programInfo;
                while (p + 5 <= pmt.size()) {
                    TStreamCodingInfo stream;
                    stream.stream_coding_type = pmt[p];
                    stream.stream_PID = static_cast<std::uint16_t>((pmt[p + 1] & 0x1F) << 8 | pmt[p + 2]);
                    const std::size_t infoLength =
                        static_cast<std::size_t>((pmt[p + 3] & 0x0F) << 8 | pmt[p + 4]);
                    const std::size_t end = std::min(pmt.size(), p + 5 + infoLength);
                    for (std::size_t d = p + 5; d + 2 <= end; d += 2u + pmt[d + 1]) {
                        // ISO 639 language descriptor
                        if (pmt[d] == 0x0A && pmt[d + 1] >= 3 && d + 5 <= end)
                            stream.language_code.assign(reinterpret_cast<const char*>(&pmt[d + 2]), 3);
                    }
                    streams.push_back(stream);
                    p = end;
                }
                return streams;
            }
        }
        if (got < buffer.size()) break;
    }
    if (std::ferror(in.get()) != 0) error = systemError(m2tsPath);
    return streams;
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

std::vector<DemuxResult> saveStreams(Reporter& reporter, const std::string& m2tsPath,
                                     std::span<const DemuxTarget> targets) {
    reporter.ConfirmCancel = true;
    reporter.PrBarOn();
    reporter.log("");
    for (const DemuxTarget& target : targets) reporter.dlog0("Saving " + target.outPath + " ...");
    const std::vector<DemuxResult> results = DemuxStreams(m2tsPath, targets, reporter);
    const bool ok = !results.empty() && std::all_of(results.begin(), results.end(),
                                                    [](const DemuxResult& result) { return result.ok; });
    if (ok) {
        if (reporter.CancelRequested) {
            reporter.log("Saving cancelled.");
        } else {
            reporter.slogR();
            const auto elapsed = std::chrono::duration_cast<std::chrono::seconds>(
                std::chrono::steady_clock::now() - reporter.OperationStart);
            for (std::size_t i = 0; i < targets.size(); ++i)
                reporter.log(std::filesystem::path(targets[i].outPath).filename().string() + ": " +
                             std::to_string(results[i].pidPackets) + " source packets saved.");
            reporter.log("Saved in one read. (" + longTimeText(elapsed) + ")");
        }
    }
    reporter.PrBarOff();
    return results;
}

} // namespace corvane
