#include "navigation/Registers.h"

#include "io/TextUtil.h"
#include "navigation/NavCommand.h"
#include "shell/Options.h"

namespace corvane {

RegisterDefaults registerDefaults(const Options& options) {
    return {options.RealPSRs, options.Region, options.CountryCode};
}

void ResetRegs(RegisterFile& regs, const RegisterDefaults& defaults) {
    regs.PSR.fill(0);
    regs.GPR.fill(0);
    auto& p = regs.PSR;
    if (defaults.realPSRs) {
        p[0] = 1;
        p[1] = 1;
        p[2] = 0x0FFF0001;
        p[3] = 1;
        p[4] = 0;
        p[5] = 1;
    } else {
        p[0] = 1;
        p[1] = 0xFF;
        p[2] = 0x0FFF0FFF;
        p[3] = 1;
        p[4] = 0xFFFF;
        p[5] = 0xFFFF;
    }
    p[8] = 0xFFFFFFFF;
    p[10] = 0xFFFF;
    p[12] = 0xFF;
    p[14] = 0xFFFF;
    p[15] = 0xAA;
    p[16] = p[17] = p[18] = 0x656E67; // "eng"
    p[19] = static_cast<std::uint32_t>(defaults.countryCode);
    // The region picker has three items; anything else stored in the settings counts as A.
    const int region = defaults.region >= 0 && defaults.region <= 2 ? defaults.region : 0;
    p[20] = 1u << region;
    p[29] = 3;
    p[30] = 0x1F0F8;
    p[31] = 0x30200;
    p[43] = 0xFFFF;
    p[48] = p[49] = p[50] = 0xFFFFFFFF;
    p[61] = 0xFFFF0000;
}

void ResetRegs(RegisterFile& regs, const Options& options) {
    ResetRegs(regs, registerDefaults(options));
}

RndGenerator& programRnd() {
    static RndGenerator generator;
    return generator;
}

namespace {

std::string registerText(std::string_view name, std::size_t n, std::uint32_t value) {
    return "[b]" + std::string(name) + std::to_string(n) + "[/b]: " + hexText(value, 8) + " (" +
           std::to_string(value) + ")";
}

// Non-zero registers from `first` on, `perLine` to a line.
void appendGathered(std::vector<std::string>& lines, std::string_view name, const std::uint32_t* values,
                    std::size_t first, std::size_t end, std::size_t perLine) {
    std::string line;
    std::size_t gathered = 0;
    for (std::size_t n = first; n < end; ++n) {
        if (values[n] == 0) continue;
        line += registerText(name, n, values[n]) + "   ";
        if (++gathered == perLine) {
            lines.push_back(line);
            line.clear();
            gathered = 0;
        }
    }
    if (gathered > 0) lines.push_back(line);
}

} // namespace

std::vector<std::string> psrListLines(const RegisterFile& regs) {
    std::vector<std::string> lines;
    for (std::size_t n = 0; n < 32; ++n) {
        if (n > 20 && regs.PSR[n] == 0) continue;
        std::string line = registerText("PSR", n, regs.PSR[n]) + " - ";
        const auto description = psrName(static_cast<int>(n));
        if (description != "reserved") line += description;
        lines.push_back(line);
    }
    appendGathered(lines, "PSR", regs.PSR.data(), 32, PSRCount, 6);
    return lines;
}

std::vector<std::string> gprListLines(const RegisterFile& regs) {
    std::vector<std::string> lines;
    appendGathered(lines, "GPR", regs.GPR.data(), 0, GPRCount, 5);
    return lines;
}

} // namespace corvane
