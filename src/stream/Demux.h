#pragma once
// Extraction of one stream of a transport stream by PID (the "Save PID" button
// of the clip page, and the IG menu loader).
//
// Demuxer walks source packets handed to it in blocks and collects the output
// bytes of the chosen PID in one of four forms: the bare elementary stream, the
// PES packets, a SUP file (each PG segment behind "PG", PTS, DTS) or a .mnu file
// (each IG segment behind "IG", PTS, DTS). Demux drives it over an m2ts file in
// large reads, with the host's event pump, cancel flag and progress display.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "shell/Options.h"
#include "shell/Reporter.h"

namespace corvane {

enum class DemuxMode { ES, PES, SUP, MNU };

// The sync-loss rule works on blocks of 341 source packets (65472 bytes).
inline constexpr std::size_t DemuxBlockPackets = 341;
// Progress is shown every 32768 packets read.
inline constexpr std::uint64_t DemuxProgressPackets = 32768;

class Demuxer {
public:
    // `reporter` takes the log line of each SUP/MNU segment and the progress display;
    // its CancelRequested flag is tested at every PES start. `packetsInFile` is the
    // progress total (0: no progress display).
    Demuxer(std::uint16_t pid, DemuxMode mode, Reporter& reporter, std::uint64_t packetsInFile = 0);

    // Any number of whole source packets, following on from the packets before; the
    // walk runs in blocks of 341 from the first packet, and a wrong sync byte drops the
    // rest of its block. False when a cancel stopped the walk at a PES start.
    bool processPackets(const std::uint8_t* data, std::size_t packets);

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
    bool referenceFound() const { return m_refFound; }
    std::uint32_t referencePts() const { return m_refPts; }

private:
    bool processBlock(const std::uint8_t* data, std::size_t packets);
    bool takePacket(const std::uint8_t* packet, const std::uint8_t* payload, std::size_t length);
    void findReference(const std::uint8_t* packet);
    void append(const std::uint8_t* bytes, std::size_t n) { m_out.insert(m_out.end(), bytes, bytes + n); }
    void logSegment(const std::uint8_t* packet, std::uint8_t segmentType);

    std::uint16_t m_pid;
    DemuxMode m_mode;
    Reporter& m_reporter;
    std::uint64_t m_packetsInFile;
    std::uint64_t m_packetsRead = 0;
    std::uint64_t m_pidPackets = 0;
    std::size_t m_blockPos = 0;     // packets of the current block of 341 already walked
    bool m_syncLost = false;        // a wrong sync byte: the rest of the block is dropped
    std::uint16_t m_remaining = 0;  // pes_remaining: 16-bit, wraps as the format's counter does
    bool m_unbounded = false;       // the current PES has PES_packet_length 0
    std::size_t m_headerSkip = 0;   // header bytes of the current PES still to come in later packets
    bool m_refFound = false;
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

struct DemuxResult {
    bool ok = false;               // both files were opened and written
    bool cancelled = false;
    std::uint64_t pidPackets = 0;  // source packets of the PID: the saved count
    std::uint64_t packetsRead = 0;
    std::uint64_t bytesWritten = 0;
};

// Extracts `pid` of the m2ts at `m2tsPath` into `outPath` (created or truncated).
// Serves the host's events once per `blocksPerPump` blocks of 341 packets and stops
// after a cancel: in ES, SUP and MNU mode with the output ending at a PES packet
// boundary. File failures go to Reporter::fileError.
DemuxResult Demux(const std::string& m2tsPath, const std::string& outPath, std::uint16_t pid, DemuxMode mode,
                  Reporter& reporter, std::size_t blocksPerPump = 32);

// Extension of an extracted stream by the PID's high byte: "vis", "aus", "svs", "sas",
// "pgs", "igs"; "" for any other.
std::string pidExtension(std::uint16_t pid);

// What bSavePESClick makes of the selected stream and the options.
struct PidOutput {
    DemuxMode mode = DemuxMode::ES;
    std::string extension;  // "PES.aus", "sup", "mnu", …
    std::string fileName;   // work folder + clip + "_PID" + row texts + "." + extension
};
// `pidText`, `typeText` and `detailsText` are the three cells of the selected stream row.
PidOutput pidOutput(const std::string& workDir, const std::string& clipName, const std::string& pidText,
                    const std::string& typeText, const std::string& detailsText, const Options& options);

// The steps of bSavePESClick around Demux: confirm-cancel on, progress display on,
// "Saving name ...", the extraction, then "Saving cancelled." or the saved-packets line.
DemuxResult savePid(Reporter& reporter, const std::string& m2tsPath, const std::string& outName,
                    std::uint16_t pid, DemuxMode mode);
// "n source packets saved. (h:mm:ss)"
std::string savedPacketsLine(std::uint64_t packets, std::chrono::seconds elapsed);

} // namespace corvane
