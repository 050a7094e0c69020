#include "stream/Mux.h"

#include <algorithm>
#include <array>

#include "io/ByteReader.h"
#include "io/ByteWriter.h"
#include "io/FileIO.h"
#include "menu/IGWriter.h"
#include "menu/MenuLimits.h"
#include "playlist/PlayListWriter.h"
#include "shell/Reporter.h"
#include "stream/ClipInfoWriter.h"
#include "stream/MenuClip.h"
#include "stream/TransportStream.h"

namespace corvane {

namespace {

// The program tables, each from its pointer field to its CRC-32.
// PAT: program 0 on PID 0x001F (network), program 1 with its PMT on PID 0x0100.
constexpr std::array<std::uint8_t, 21> PatSection{0x00, 0x00, 0xB0, 0x11, 0x00, 0x00, 0xC1,
                                                  0x00, 0x00, 0x00, 0x00, 0xE0, 0x1F, 0x00,
                                                  0x01, 0xE1, 0x00, 0x23, 0x5A, 0xAB, 0x82};
// PMT of program 1: PCR on 0x1001, registration "HDMV", descriptor 0x88 (0F FF FF FC),
// one interactive-graphics stream (type 0x91) on 0x1400.
constexpr std::array<std::uint8_t, 34> PmtSection{
    0x00, 0x02, 0xB0, 0x1E, 0x00, 0x01, 0xC1, 0x00, 0x00, 0xF0, 0x01, 0xF0, 0x0C, 0x05, 0x04, 0x48, 0x44,
    0x4D, 0x56, 0x88, 0x04, 0x0F, 0xFF, 0xFF, 0xFC, 0x91, 0xF4, 0x00, 0xF0, 0x00, 0xF1, 0xF0, 0x88, 0xEB};
// SIT (table id 0x7F): partial transport stream descriptor (peak rate 120000 × 400 bit/s),
// service 1.
constexpr std::array<std::uint8_t, 29> SitSection{0x00, 0x7F, 0xF0, 0x19, 0xFF, 0xFF, 0xC1, 0x00, 0x00, 0xF0,
                                                  0x0A, 0x63, 0x08, 0xC1, 0xD4, 0xC0, 0xFF, 0xFF, 0xFF, 0xFF,
                                                  0xFF, 0x00, 0x01, 0x80, 0x00, 0x03, 0x00, 0x38, 0x6D};

constexpr std::uint32_t PesStartPrivate1 = 0x000001BD;
constexpr std::size_t TsPacketSize = 188;

// Adaptation field control values in bits 5..4 of the fourth header byte.
constexpr std::uint8_t PayloadOnly = 0x10;
constexpr std::uint8_t AdaptationOnly = 0x20;
constexpr std::uint8_t AdaptationAndPayload = 0x30;
constexpr std::uint16_t UnitStart = 0x4000; // payload_unit_start_indicator above the PID

// Assembles source packets one at a time in a 192-byte buffer of 0xFF and keeps the arrival
// time stamp, the packet count and the continuity counters.
class SourcePacketWriter {
public:
    explicit SourcePacketWriter(std::size_t expectedPackets) {
        m_out.reserve(expectedPackets * SourcePacketSize);
    }

    void table(std::uint16_t pid, std::uint8_t& counter, std::span<const std::uint8_t> section) {
        begin(static_cast<std::uint16_t>(UnitStart | pid), PayloadOnly, counter);
        counter = static_cast<std::uint8_t>((counter + 1) & 0x0F);
        m_packet.appendbytes(section);
        end();
    }
    void pat() { table(PatPid, m_patCounter, PatSection); }
    void pmt() { table(PmtPid, m_pmtCounter, PmtSection); }
    void sit() { table(SitPid, m_sitCounter, SitSection); }

    // Adaptation field only, continuity counter 0, PCR base 0 and extension 0.
    void pcr() {
        begin(PcrPid, AdaptationOnly, 0);
        m_packet.appendbyte(0xB7);   // adaptation_field_length: the rest of the packet
        m_packet.appendbyte(0x10);   // PCR_flag
        m_packet.appendlword(0);     // program_clock_reference_base, upper 32 bits
        m_packet.appendword(0x7E00); // base bit 0, 6 reserved bits, extension 0
        end();
    }

    // One IG packet carrying `needed` PES bytes at its end, of which `payload` holds the
    // ones available; fewer than 184 are preceded by an adaptation field of stuffing.
    void ig(bool unitStart, std::span<const std::uint8_t> payload, std::size_t needed) {
        const bool stuffed = needed < MaxPayloadSize;
        begin(static_cast<std::uint16_t>((unitStart ? UnitStart : 0) | MenuIgPid),
              stuffed ? AdaptationAndPayload : PayloadOnly, m_igCounter);
        m_igCounter = static_cast<std::uint8_t>((m_igCounter + 1) & 0x0F);
        if (stuffed) {
            const std::size_t length = MaxPayloadSize - 1 - needed;
            m_packet.appendbyte(static_cast<std::uint32_t>(length));
            if (length != 0) m_packet.appendbyte(0x00); // no flags; 0xFF stuffing follows
        }
        m_packet.setFill(SourcePacketSize - needed);
        m_packet.appendbytes(payload);
        end();
    }

    void null() {
        begin(NullPid, PayloadOnly, 0);
        end();
    }

    std::uint64_t count() const { return m_count; }
    std::vector<std::uint8_t> take() { return std::move(m_out); }

private:
    void begin(std::uint16_t pidWord, std::uint8_t adaptationControl, std::uint8_t counter) {
        static const std::vector<std::uint8_t> blank(SourcePacketSize, 0xFF);
        m_packet.putbytes(blank, 0);
        m_packet.setFill(0);
        m_packet.appendlword(m_ats);
        m_packet.appendbyte(SyncByte);
        m_packet.appendword(pidWord);
        m_packet.appendbyte(adaptationControl | counter);
    }
    void end() {
        m_packet.setFill(SourcePacketSize);
        m_packet.flushbuffer(m_out);
        m_ats += MuxAtsStep;
        ++m_count;
    }

    ByteWriter m_packet;
    std::vector<std::uint8_t> m_out;
    std::uint32_t m_ats = MuxFirstAts; // copy-permission bits are the counter's top bits
    std::uint64_t m_count = 0;
    std::uint8_t m_patCounter = 0;
    std::uint8_t m_pmtCounter = 0;
    std::uint8_t m_sitCounter = 0;
    std::uint8_t m_igCounter = 0;
};

static_assert(SourcePacketSize == 4 + TsPacketSize);

// A 33-bit PES time stamp in its 5 bytes, marker bits dropped; cut to 32 bits as the IG
// writer's values are.
std::uint32_t pesTimeStamp(ByteReader in) {
    const std::uint64_t b0 = in.readbyte();
    const std::uint64_t b12 = in.readword();
    const std::uint64_t b34 = in.readword();
    return static_cast<std::uint32_t>(((b0 >> 1) & 7) << 30 | (b12 >> 1) << 15 | (b34 >> 1));
}

// Widens [first, last] by the PTS and DTS of the PES packet at `start`.
void noteTimeStamps(const ByteReader& pes, std::size_t start, MuxOutput& result, bool& any) {
    const std::uint32_t flags = pes.range(start + 7, 1).readbyte();
    auto note = [&](std::uint32_t stamp) {
        result.firstTimeStamp = any ? std::min(result.firstTimeStamp, stamp) : stamp;
        result.lastTimeStamp = any ? std::max(result.lastTimeStamp, stamp) : stamp;
        any = true;
    };
    if (flags & 0x80) note(pesTimeStamp(pes.range(start + 9, 5)));
    if (flags & 0x40) note(pesTimeStamp(pes.range(start + 14, 5)));
}

} // namespace

MuxOutput muxPes(std::span<const std::uint8_t> pes) {
    MuxOutput result;
    SourcePacketWriter writer(pes.size() / MaxPayloadSize + pes.size() / 65536 + AlignedUnitPackets + 8);
    writer.pat();
    writer.pmt();
    writer.sit();
    writer.pcr();

    ByteReader reader(pes);
    bool timed = false;
    while (!reader.atEnd()) {
        const std::size_t start = reader.pos();
        if (reader.readlword() != PesStartPrivate1) continue;
        noteTimeStamps(reader, start, result, timed);
        std::size_t remaining = reader.readword() + 6u;
        reader.seek(start);
        bool first = true;
        while (remaining > 0) {
            const std::size_t needed = std::min(remaining, MaxPayloadSize);
            const std::size_t available = std::min(needed, reader.remaining());
            if (available < needed) ++result.shortPackets;
            writer.ig(first, reader.data().subspan(reader.pos(), available), needed);
            reader.skip(needed);
            remaining -= needed;
            if (!first) {
                if (writer.count() % PcrInterval == 0) writer.pcr();
                if (writer.count() % PcrInterval == PatPmtPhase) {
                    writer.pat();
                    writer.pmt();
                }
                if (writer.count() % SitInterval == SitPhase) writer.sit();
            }
            first = false;
        }
    }

    result.packets = writer.count();
    while (writer.count() % AlignedUnitPackets != 0) writer.null();
    result.bytes = writer.take();
    return result;
}

bool Mux(Reporter& reporter, const TMenu& menu, const std::string& outPath, const std::string& pesPath) {
    return Mux(reporter, menu, MuxFiles{outPath, "", "", "", pesPath});
}

bool Mux(Reporter& reporter, const TMenu& menu, const MuxFiles& files) {
    const std::string& outPath = files.m2ts;
    const std::string& pesPath = files.pes;
    reporter.ErrorRaised = false;
    reporter.dlog0("Muxing menu...");
    if (!reportMenuLimits(reporter, menu, "Mux")) return false;
    const IGSaveResult saved =
        saveIGS(menu, IGSaveMode::Pes, [&reporter](const std::string& text) { reporter.slog(text, 0); });
    if (!saved.ok) {
        reporter.erlog(saved.error);
        return false;
    }
    if (!pesPath.empty()) {
        if (const FileResult written = writeWholeFile(pesPath, saved.bytes); !written.ok) {
            reporter.fileError(written.error);
            return false;
        }
    }
    const MuxOutput muxed = muxPes(saved.bytes);
    for (std::size_t i = 0; i < muxed.shortPackets; ++i) reporter.erlog("Mux error");
    if (const FileResult written = writeWholeFile(outPath, muxed.bytes); !written.ok) {
        reporter.fileError(written.error);
        return false;
    }
    if (files.clpi.empty() && files.mpls.empty()) return true;
    const TCLPI clip = menuClipInfo(muxed);
    if (!files.clpi.empty()) {
        if (const FileResult written = writeWholeFile(files.clpi, writeClipInfo(clip)); !written.ok) {
            reporter.fileError(written.error);
            return false;
        }
        reporter.log("Clip information written.");
    }
    if (!files.mpls.empty()) {
        if (const FileResult written =
                writeWholeFile(files.mpls, writePlayList(menuPlayList(clip, files.clipName)));
            !written.ok) {
            reporter.fileError(written.error);
            return false;
        }
        reporter.log("Playlist written.");
    }
    return true;
}

bool Mux(Reporter& reporter, const TMenu& menu, const std::string& outPath) {
    return Mux(reporter, menu, outPath, tempFolder() + MuxPesFileName);
}

} // namespace corvane
