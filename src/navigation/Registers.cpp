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
        p[PSR_IG_STREAM] = 1;
        p[PSR_PRIMARY_AUDIO_STREAM] = 1;
        p[PSR_PG_TEXTST_STREAM] = 0x0FFF0001;
        p[PSR_ANGLE] = 1;
        p[PSR_TITLE] = 0;
        p[PSR_CHAPTER] = 1;
    } else {
        p[PSR_IG_STREAM] = 1;
        p[PSR_PRIMARY_AUDIO_STREAM] = 0xFF;
        p[PSR_PG_TEXTST_STREAM] = 0x0FFF0FFF;
        p[PSR_ANGLE] = 1;
        p[PSR_TITLE] = 0xFFFF;
        p[PSR_CHAPTER] = 0xFFFF;
    }
    p[PSR_PRESENTATION_TIME] = 0xFFFFFFFF;
    p[PSR_SELECTED_BUTTON] = 0xFFFF;
    p[PSR_USER_STYLE] = 0xFF;
    p[PSR_SECONDARY_STREAMS] = 0xFFFF;
    p[PSR_AUDIO_CAPABILITY] = 0xAA;
    p[PSR_AUDIO_LANGUAGE] = p[PSR_PG_LANGUAGE] = p[PSR_MENU_LANGUAGE] = 0x656E67; // "eng"
    p[PSR_COUNTRY] = static_cast<std::uint32_t>(defaults.countryCode);
    // The region picker has three items; anything else stored in the settings counts as A.
    const int region = defaults.region >= 0 && defaults.region <= 2 ? defaults.region : 0;
    p[PSR_REGION] = 1u << region;
    p[PSR_VIDEO_CAPABILITY] = 3;
    p[PSR_TEXT_CAPABILITY] = 0x1F0F8;
    p[PSR_PLAYER_PROFILE] = 0x30200;
    p[PSR_BACKUP_PAGE] = 0xFFFF;
    constexpr std::size_t caps = PSR_CHAR_TEXT_CAPS_FIRST;
    p[caps] = p[caps + 1] = p[caps + 2] = 0xFFFFFFFF;
    p[PSR_CHAR_TEXT_CAPS_LAST] = 0xFFFF0000;
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
