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
