#pragma once
// Extraction of streams of a transport stream by PID (the "Save PID" button of the
// clip page, and the IG menu loader), one or several in one read of the file.
//
// Demuxer walks source packets handed to it in blocks and collects the output
// bytes of the chosen PID in one of four forms: the bare elementary stream, the
// PES packets, a SUP file (each PG segment behind "PG", PTS, DTS) or a .mnu file
// (each IG segment behind "IG", PTS, DTS). Demux drives it over an m2ts file in
// large reads, with the host's event pump, cancel flag and progress display.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "io/FileIO.h"
#include "io/SourcePacket.h"
#include "shell/Options.h"
#include "shell/Reporter.h"
#include "stream/ClipInfo.h"
#include "stream/TransportStream.h"

namespace corvane {

enum class DemuxMode { ES, PES, SUP, MNU };

// The host's events are served once per block of 341 source packets (65472 bytes).
inline constexpr std::size_t DemuxBlockPackets = 341;
// Progress is shown every 32768 packets read.
inline constexpr std::uint64_t DemuxProgressPackets = 32768;
// A wrong sync byte: this many following packets are tried on the 192-byte grid
// before the walk looks for packet starts byte by byte.
inline constexpr std::size_t DemuxResyncPackets = 8;
// Bytes the walk may hand back for want of look-ahead: less than this.
inline constexpr std::size_t DemuxMaxCarry = (DemuxResyncPackets + 2) * 192;

class Demuxer {
public:
    // `reporter` takes the log line of each SUP/MNU segment, the lines on damaged packets
    // and the progress display; its CancelRequested flag is tested at every PES start.
    // `packetsInFile` is the progress total (0: no progress display).
    Demuxer(std::uint16_t pid, DemuxMode mode, Reporter& reporter, std::uint64_t packetsInFile = 0);

    // The next `size` bytes of the stream. A packet with a wrong sync byte is skipped and
    // the walk goes on at the next packet whose sync byte is right (on the 192-byte grid,
    // or found byte by byte when bytes were lost). Returns the bytes used; the rest (a
    // partial packet, or packets kept for look-ahead) must come again in front of the next
    // bytes. `atEnd`: nothing follows. Stops early when a cancel came at a PES start.
    std::size_t processBytes(std::span<const std::uint8_t> data, bool atEnd);
    // The whole source packets of `data` (a partial one at its end is left alone); false
    // when a cancel stopped the walk at a PES start.
    bool processPackets(std::span<const std::uint8_t> data);
    // The end of the stream: the last damaged run and the summary of all go to the log.
    void finish();
    bool stopped() const { return m_stopped; }
    // Lines on damaged packets off: another walker of the same bytes reports them.
    void quietDamage() { m_logDamage = false; }
    // Keeps only the PES packets whose PTS (low 32 bits) lies in [start, start + length), by
    // wrapping difference; one without a PTS goes with the PES packet before it that had one
    // (dropped when none had). Whole PES packets only.
    void setWindow(std::uint32_t start, std::uint32_t length);
    // SUP times relative to this PTS instead of the first primary video PES.
    void setReference(std::uint32_t pts);
    // Progress of a walk that is part of a longer one: `before` packets came earlier and the
    // whole walk has `total` (0: no progress display).
    void setProgress(std::uint64_t before, std::uint64_t total);

    // Output made but not yet taken; takeOutput hands it over and empties it.
    std::vector<std::uint8_t>& pending() { return m_out; }
    void outputTaken();
    // Total output bytes so far (taken and pending).
    std::uint64_t outputSize() const { return m_taken + m_out.size(); }
    // Where the output ends at the last complete PES packet (ES, SUP and MNU modes):
    // the length a cancelled extraction keeps.
    std::uint64_t cleanEnd() const;

    std::uint64_t packetsRead() const { return m_packetsRead; }
    std::uint64_t pidPackets() const { return m_pidPackets; }
    // Packets of the PID that gave bytes to the output (inside the window).
    std::uint64_t keptPackets() const { return m_keptPackets; }
    std::uint64_t goodPackets() const { return m_packetsRead - m_skippedPackets; } // with a right sync byte
    std::uint64_t skippedPackets() const { return m_skippedPackets; } // damaged, in whole packets
    // No packet had a right sync byte, or damage outweighs the stream and the PID never came.
    bool noTransportStream() const;
    bool referenceFound() const { return m_refFound; }
    std::uint32_t referencePts() const { return m_refPts; }

private:
    bool processPacket(SourcePacket packet);
    bool takePacket(SourcePacket packet, std::span<const std::uint8_t> payload);
    void findReference(SourcePacket packet);
    void append(std::span<const std::uint8_t> bytes) {
        m_out.insert(m_out.end(), bytes.begin(), bytes.end());
    }
    void logSegment(SourcePacket packet, std::uint8_t segmentType);
    // Looks byte by byte from `at` for a packet start; where the walk goes on (m_scanning
    // stays set when none was found in the data).
    std::size_t scan(std::span<const std::uint8_t> data, std::size_t at, bool atEnd);
    void skip(std::uint64_t offset, std::size_t bytes);
    void endDamage();

    // A PES start: whether it lies in the window (always true without one).
    bool keepPes(const PesHeader& header);

    std::uint16_t m_pid;
    DemuxMode m_mode;
    Reporter& m_reporter;
    std::uint64_t m_packetsInFile;
    std::uint64_t m_progressBase = 0;
    bool m_windowed = false;
    std::uint32_t m_windowStart = 0;
    std::uint32_t m_windowLength = 0;
    bool m_keeping = true;           // the current PES packet goes to the output
    std::uint64_t m_packetsRead = 0; // good ones and skipped ones
    std::uint64_t m_pidPackets = 0;
    std::uint64_t m_keptPackets = 0;
    std::uint64_t m_consumed = 0; // stream offset of the next byte handed in
    bool m_stopped = false;
    // Damage: the current run of skipped bytes, and all runs so far.
    bool m_scanning = false; // the 192-byte grid is lost: looking byte by byte
    std::uint64_t m_damageStart = 0;
    std::uint64_t m_damageBytes = 0;
    std::uint64_t m_skippedPackets = 0;
    std::uint64_t m_damageRuns = 0;
    bool m_logDamage = true;
    bool m_afterDamage = false;    // the next PES starts at a payload unit start, whatever remains
    std::uint16_t m_remaining = 0; // pes_remaining: 16-bit, wraps as the format's counter does
    bool m_unbounded = false;      // the current PES has PES_packet_length 0
    std::size_t m_headerSkip = 0;  // header bytes of the current PES still to come in later packets
    bool m_refFound = false;
    bool m_wantReference = false;   // SUP mode until the reference PTS is found
    std::uint32_t m_refPts = 0;     // SUP: PTS of the first primary video PES, 90 kHz
    std::uint32_t m_segmentPts = 0; // PTS and DTS of the segment header, relative to m_refPts
    std::uint32_t m_segmentDts = 0;
    char m_markers[2] = {0, 0};
    // Output bookkeeping of the current PES packet for a clean end after a cancel.
    std::uint64_t m_pesStart = 0;   // output size before it
    std::uint64_t m_esExpected = 0; // its elementary stream bytes when bounded
    std::uint64_t m_esWritten = 0;
    bool m_inPes = false;
    std::vector<std::uint8_t> m_out;
    std::uint64_t m_taken = 0;
};

// One read of an m2ts by several walkers, walker i writing to outs[i] after what it holds.
// A cancel cuts each output back to the last whole PES packet of its walker. The failures
// of the file layer are reported; each walker is finished.
struct DemuxWalk {
    bool ok = false; // read to its end (or to a cancel) and every write went through
    bool cancelled = false;
};
DemuxWalk demuxWalk(const std::string& m2tsPath, std::span<Demuxer* const> demuxers,
                    std::span<OutputFile* const> outs, Reporter& reporter, std::size_t blocksPerPump = 32);

struct DemuxResult {
    bool ok = false;   // the output is in place
    std::string error; // why not, when the stream itself was the reason (also erlog'd)
    bool cancelled = false;
    std::uint64_t pidPackets = 0; // source packets of the PID: the saved count
    std::uint64_t packetsRead = 0;
    std::uint64_t bytesWritten = 0;
};

// Extracts `pid` of the m2ts at `m2tsPath` into `outPath` (through OutputFile: the old
// file stays until the new one is whole). Serves the host's events once per
// `blocksPerPump` blocks of 341 packets and stops after a cancel: in ES, SUP and MNU
// mode with the output ending at a PES packet boundary. File failures go to
// Reporter::fileError; a PID that never comes or a file that is no transport stream
// to Reporter::resultError and DemuxResult::error, and no output file is left.
DemuxResult Demux(const std::string& m2tsPath, const std::string& outPath, std::uint16_t pid, DemuxMode mode,
                  Reporter& reporter, std::size_t blocksPerPump = 32);

// One stream of a several-stream extraction.
struct DemuxTarget {
    std::uint16_t pid = 0;
    DemuxMode mode = DemuxMode::ES;
    std::string outPath;
};

// Extracts every target in one read of the file, each output as Demux makes it alone
// (a PID may come twice, in two modes). All or nothing: when any output fails (a file
// step, a PID that never comes) the errors are reported and no output is put in place.
// A cancel keeps each output up to its last whole PES packet. One result per target.
std::vector<DemuxResult> DemuxStreams(const std::string& m2tsPath, std::span<const DemuxTarget> targets,
                                      Reporter& reporter, std::size_t blocksPerPump = 32);

// The clip information file beside a stream of a BDMV folder (STREAM/NAME.m2ts:
// CLIPINF/NAME.clpi; NAME.MTS: NAME.CPI), when it is there and reads whole.
std::optional<TCLPI> clipInfoOfStream(const std::string& m2tsPath);

// The streams of the first program of the transport stream's PMT (PID, stream_type as
// stream_coding_type, the language of an ISO 639 descriptor), from its first 16 MiB.
// Empty when the file has none; `error` set when it could not be read.
std::vector<TStreamCodingInfo> transportStreamPrograms(const std::string& m2tsPath, std::string& error);

// Extension of an extracted stream by the PID's high byte: "vis", "aus", "svs", "sas",
// "pgs", "igs"; "" for any other.
std::string pidExtension(std::uint16_t pid);

// What bSavePESClick makes of the selected stream and the options.
struct PidOutput {
    DemuxMode mode = DemuxMode::ES;
    std::string extension; // "PES.aus", "sup", "mnu", …
    std::string fileName;  // work folder + clip + "_PID" + row texts + "." + extension
};
// The name carries the stream's PID, coding type and details as the stream row shows them.
PidOutput pidOutput(const std::string& workDir, const std::string& clipName, const TStreamCodingInfo& stream,
                    const Options& options);

// The mode of a stream by its PID and the options, as pidOutput chooses it.
DemuxMode pidMode(std::uint16_t pid, const Options& options);

// A file name a person reads: clip name, PID, coding and language, with the extension of
// the stream's form, e.g. "00800 1100 ac3 eng.ac3", "00800 1011 h264.h264",
// "00800 1200 pgs fre.sup"; PES mode ends in ".pes". A stream of unknown coding
// (stream_coding_type 0: no clip information) gets "00800 1100.aus".
std::string streamFileName(const std::string& clipName, const TStreamCodingInfo& stream, DemuxMode mode);

// The steps of bSavePESClick around Demux: confirm-cancel on, progress display on,
// "Saving name ...", the extraction, then "Saving cancelled." or the saved-packets line.
DemuxResult savePid(Reporter& reporter, const std::string& m2tsPath, const std::string& outName,
                    std::uint16_t pid, DemuxMode mode);
// savePid for several streams in one read: "Saving name ..." for each, then per stream
// "name: n source packets saved." and the time of the whole.
std::vector<DemuxResult> saveStreams(Reporter& reporter, const std::string& m2tsPath,
                                     std::span<const DemuxTarget> targets);
// "n source packets saved. (h:mm:ss)"
std::string savedPacketsLine(std::uint64_t packets, std::chrono::seconds elapsed);

} // namespace corvane
