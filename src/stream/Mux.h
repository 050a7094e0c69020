#pragma once
// Writing the IG menu held in memory as a stand-alone BDAV transport stream (the Mux button).
//
// The menu's PES packets (the IG writer in PES framing) go out on PID 0x1400 in 192-byte
// source packets, behind one PAT, PMT, SIT and PCR packet, with the tables and the PCR
// repeated on a fixed packet schedule. Each source packet carries a 4-byte arrival time
// stamp that starts at 2^28 and grows by 846 ticks of 27 MHz per packet. The stream ends
// with null packets up to a whole aligned unit of 32 source packets, because a player reads
// a BDAV stream in such units and drops an incomplete last one.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "menu/IGMenu.h"

namespace corvane {

class Reporter;

inline constexpr std::uint16_t PatPid = 0x0000;
inline constexpr std::uint16_t SitPid = 0x001F;
inline constexpr std::uint16_t PmtPid = 0x0100;
inline constexpr std::uint16_t PcrPid = 0x1001;
inline constexpr std::uint16_t MenuIgPid = 0x1400;

inline constexpr std::uint32_t MuxFirstAts = 1u << 28; // 27 MHz ticks
inline constexpr std::uint32_t MuxAtsStep = 846;       // 27 MHz ticks per source packet
inline constexpr std::size_t AlignedUnitPackets = 32;  // 6144 bytes

// Table repetition, counted in source packets written (all PIDs).
inline constexpr std::uint64_t PcrInterval = 2500;
inline constexpr std::uint64_t PatPmtPhase = 2000; // within each PCR interval
inline constexpr std::uint64_t SitInterval = 25000;
inline constexpr std::uint64_t SitPhase = 2;

// The name of the PES packet file left in the temporary folder.
inline constexpr const char* MuxPesFileName = "_Corvane_tmppes";

struct MuxOutput {
    std::vector<std::uint8_t> bytes;  // whole aligned units of source packets
    std::size_t shortPackets = 0;     // IG packets the PES data ended inside
    std::uint64_t packets = 0;        // source packets before the null padding
    std::uint32_t firstTimeStamp = 0; // 90 kHz: the smallest PTS or DTS of the PES packets
    std::uint32_t lastTimeStamp = 0;  // 90 kHz: the largest
};

// Packetises a file of PES packets: 4-byte words are scanned from the start, and each
// 00 00 01 BD begins a PES packet of PES_packet_length + 6 bytes; other words are skipped.
// A PES packet cut short by the end of the data is written with 0xFF in place of the bytes
// it lacks.
MuxOutput muxPes(std::span<const std::uint8_t> pes);

// Mux: "Muxing menu...", the menu's PES packets written to `pesPath` (the status words of
// the IG writer on panel 0, ending with "Ready."), the transport stream written to
// `outPath`. "Mux error" for every packet the PES data could not fill. False when the menu
// cannot be written (erlog) or a file fails (Reporter::fileError). An empty `pesPath` keeps
// the PES packets in memory only, so that parallel runs share no file.
bool Mux(Reporter& reporter, const TMenu& menu, const std::string& outPath, const std::string& pesPath);
// The same with the PES file in the user's temporary folder.
bool Mux(Reporter& reporter, const TMenu& menu, const std::string& outPath);

// What Mux writes besides the stream; an empty path is not written.
struct MuxFiles {
    std::string m2ts;
    std::string clpi;     // the clip information of the stream (stream/MenuClip.h)
    std::string mpls;     // a playlist playing the stream, naming the clip by clipName
    std::string clipName; // 5 characters: the clip's name in the playlist
    std::string pes;      // the PES packets
};
// Mux with the clip information and the playlist; "Clip information written." and
// "Playlist written." after each.
bool Mux(Reporter& reporter, const TMenu& menu, const MuxFiles& files);

} // namespace corvane
