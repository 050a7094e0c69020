#pragma once
// The player register file the interpreter runs against: 128 player status registers and
// 4096 general purpose registers, its initial values, the Rnd generator and the listings
// of the Status page.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace corvane {

struct Options;

inline constexpr std::size_t PSRCount = 128;
inline constexpr std::size_t GPRCount = 4096;

// The PSRs the program reads or sets, by what they hold (the table of psrName).
inline constexpr std::size_t PSR_IG_STREAM = 0;
inline constexpr std::size_t PSR_PRIMARY_AUDIO_STREAM = 1;
inline constexpr std::size_t PSR_PG_TEXTST_STREAM = 2;
inline constexpr std::size_t PSR_ANGLE = 3;
inline constexpr std::size_t PSR_TITLE = 4;
inline constexpr std::size_t PSR_CHAPTER = 5;
inline constexpr std::size_t PSR_PLAYLIST = 6;
inline constexpr std::size_t PSR_PLAYITEM = 7;
inline constexpr std::size_t PSR_PRESENTATION_TIME = 8;
inline constexpr std::size_t PSR_NAVIGATION_TIMER = 9;
inline constexpr std::size_t PSR_SELECTED_BUTTON = 10;
inline constexpr std::size_t PSR_PAGE = 11;
inline constexpr std::size_t PSR_USER_STYLE = 12;
inline constexpr std::size_t PSR_PARENTAL_LEVEL = 13;
inline constexpr std::size_t PSR_SECONDARY_STREAMS = 14;
inline constexpr std::size_t PSR_AUDIO_CAPABILITY = 15;
inline constexpr std::size_t PSR_AUDIO_LANGUAGE = 16;
inline constexpr std::size_t PSR_PG_LANGUAGE = 17;
inline constexpr std::size_t PSR_MENU_LANGUAGE = 18;
inline constexpr std::size_t PSR_COUNTRY = 19;
inline constexpr std::size_t PSR_REGION = 20;
inline constexpr std::size_t PSR_VIDEO_CAPABILITY = 29;
inline constexpr std::size_t PSR_TEXT_CAPABILITY = 30;
inline constexpr std::size_t PSR_PLAYER_PROFILE = 31;
inline constexpr std::size_t PSR_BACKUP_PAGE = 43; // back-up of PSR_PAGE
// The player's characteristic text capabilities: 14 registers, 48 to 61.
inline constexpr std::size_t PSR_CHAR_TEXT_CAPS_FIRST = 48;
inline constexpr std::size_t PSR_CHAR_TEXT_CAPS_LAST = 61;

struct RegisterFile {
    std::array<std::uint32_t, PSRCount> PSR{}; // 32-bit each, player status registers
    std::array<std::uint32_t, GPRCount> GPR{}; // 32-bit each, general purpose registers
    bool operator==(const RegisterFile&) const = default;
};

// What ResetRegs needs from the settings.
struct RegisterDefaults {
    bool realPSRs = false;    // "Init PSRs with 'real' values"
    int region = 0;           // 0 A, 1 B, 2 C
    int countryCode = 0x5553; // two ASCII letters, high byte first
};
RegisterDefaults registerDefaults(const Options& options);

// Zeroes every register, then sets the PSRs a player starts with.
void ResetRegs(RegisterFile& regs, const RegisterDefaults& defaults);
void ResetRegs(RegisterFile& regs, const Options& options);

// The Rnd generator: a 32-bit linear congruential state that starts at 0 and is never
// reseeded, so a program draws the same sequence after every start of the program.
class RndGenerator {
public:
    // A value from 0 to range - 1; 0 when range is 0. Every call advances the state.
    std::uint32_t draw(std::uint32_t range) {
        m_state = m_state * 134775813u + 1u;
        return static_cast<std::uint32_t>((static_cast<std::uint64_t>(range) * m_state) >> 32);
    }
    std::uint32_t state() const { return m_state; }

private:
    std::uint32_t m_state = 0;
};

// The one generator of the running program.
RndGenerator& programRnd();

// Log lines (with markup) of the PSR listing: PSR0-20 always, with their descriptions,
// PSR21-31 when non-zero, then the non-zero PSR32-127 six to a line.
std::vector<std::string> psrListLines(const RegisterFile& regs);
// Log lines of the non-zero GPRs, five to a line.
std::vector<std::string> gprListLines(const RegisterFile& regs);

} // namespace corvane
