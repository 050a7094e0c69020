// run: one movie object through the interpreter, as the Start button runs it on the BDMV page.

#include <cctype>
#include <iostream>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "cli/CliCommon.h"
#include "cli/Subcommands.h"
#include "io/FileIO.h"
#include "io/TextUtil.h"
#include "navigation/Interpreter.h"
#include "navigation/MovieObject.h"

namespace corvane::cli {

namespace {

// Reports go straight to stdout, one a line, without a pause.
class PrintingHost : public InterpreterHost {
public:
    void report(std::string_view text) override { std::cout << text << '\n'; }
};

struct RegisterSetting {
    std::size_t number = 0;
    std::uint32_t value = 0;
};

// "N=V"; false with the reason in `error` (`rejected` set when only the range is wrong).
bool parseSetting(const std::string& text, std::size_t count, RegisterSetting& setting, std::string& error,
                  bool& rejected) {
    const auto equals = text.find('=');
    const auto number = equals == std::string::npos ? std::nullopt : parseNumber(text.substr(0, equals));
    const auto value = equals == std::string::npos ? std::nullopt : parseNumber(text.substr(equals + 1));
    if (!number || !value) {
        error = "not N=V: " + text;
        return false;
    }
    if (*number >= count || *value > 0xFFFFFFFFull) {
        error = "out of range: " + text;
        rejected = true;
        return false;
    }
    setting = {static_cast<std::size_t>(*number), static_cast<std::uint32_t>(*value)};
    return true;
}

struct RunOptions {
    std::string file;
    std::string object;
    std::string maxSteps = "10000000";
    bool realPSRs = false;
    bool quiet = false;
    std::string region = "A";
    std::string country = "US";
    std::vector<std::string> psrs;
    std::vector<std::string> gprs;
};

int runObject(const RunOptions& o) {
    int status = Success;
    const auto object = numberOption("--object", o.object, status);
    if (!object) return status;
    const auto maxSteps = parseNumber(o.maxSteps);
    if (!maxSteps || *maxSteps == 0) {
        std::cerr << "error: --max-steps: not a positive number: " << o.maxSteps << '\n';
        return Usage;
    }
    const std::string country = upperCase(o.country);
    if (country.size() != 2 || !std::isupper(static_cast<unsigned char>(country[0])) ||
        !std::isupper(static_cast<unsigned char>(country[1]))) {
        std::cerr << "error: --country: not two letters: " << o.country << '\n';
        return Usage;
    }
    RegisterDefaults defaults;
    defaults.realPSRs = o.realPSRs;
    defaults.region = o.region == "C" ? 2 : o.region == "B" ? 1 : 0;
    defaults.countryCode = (country[0] << 8) | country[1];

    std::vector<std::pair<bool, RegisterSetting>> settings; // true for a PSR
    for (const auto* list : {&o.psrs, &o.gprs}) {
        const bool psr = list == &o.psrs;
        for (const auto& text : *list) {
            RegisterSetting setting;
            std::string error;
            bool rejected = false;
            if (!parseSetting(text, psr ? PSRCount : GPRCount, setting, error, rejected)) {
                std::cerr << "error: " << (psr ? "--psr" : "--gpr") << ": " << error << '\n';
                return rejected ? Rejected : Usage;
            }
            settings.emplace_back(psr, setting);
        }
    }

    std::string error;
    const auto bytes = readWholeFile(o.file, error);
    if (!bytes) {
        std::cerr << "error: " << error << '\n';
        return Rejected;
    }
    const auto read = readMovieObject(*bytes);
    if (!reportRead(o.file, read.messages, read.status == ReadStatus::Ok,
                    "not a MovieObject file this program reads", o.quiet, status))
        return status;
    const auto& objects = read.mobj.MovieObjects.mobjs;
    if (*object >= objects.size()) {
        printError(o.file, "there is no movie object " + std::to_string(*object) + " (the file holds " +
                               std::to_string(objects.size()) + ")");
        return Rejected;
    }

    Interpreter interp;
    interp.ResetRegs(defaults);
    const RegisterFile reset = interp.regs;
    for (const auto& [psr, setting] : settings)
        (psr ? interp.regs.PSR[setting.number] : interp.regs.GPR[setting.number]) = setting.value;

    PrintingHost host;
    const auto result = interp.startObject(read.mobj, *object, host, *maxSteps);
    if (result.stoppedByLimit) std::cout << "stopped after " << result.executed << " commands\n";
    for (std::size_t n = 0; n < PSRCount; ++n)
        if (interp.regs.PSR[n] != reset.PSR[n])
            std::cout << "PSR" << n << '=' << hexText(interp.regs.PSR[n], 8) << '\n';
    for (std::size_t n = 0; n < GPRCount; ++n)
        if (interp.regs.GPR[n] != reset.GPR[n])
            std::cout << "GPR" << n << '=' << hexText(interp.regs.GPR[n], 8) << '\n';
    return result.stoppedByLimit ? Rejected : Success;
}

} // namespace

void addRunCommand(CLI::App& app, int& result) {
    auto* cmd = app.add_subcommand("run", "Run one movie object in the command interpreter from line 0");
    auto o = std::make_shared<RunOptions>();
    cmd->add_option("MOBJ", o->file, "A MovieObject.bdmv file")->required();
    cmd->add_option("--object", o->object, "The movie object's number")->required();
    cmd->add_option("--max-steps", o->maxSteps,
                    "Stop a run that has not ended after this many commands (10000000)");
    cmd->add_flag("--real-psrs", o->realPSRs, "Start PSR0-5 with 'real' values");
    cmd->add_flag("--quiet", o->quiet, "No log lines on stderr");
    cmd->add_option("--region", o->region, "Player region A, B or C (PSR20)")
        ->check(CLI::IsMember({"A", "B", "C"}));
    cmd->add_option("--country", o->country, "Two-letter country code (PSR19), default US");
    cmd->add_option("--psr", o->psrs, "Set PSR N to V before the run (N=V, repeatable)")
        ->allow_extra_args(false);
    cmd->add_option("--gpr", o->gprs, "Set GPR N to V before the run (N=V, repeatable)")
        ->allow_extra_args(false);
    cmd->callback([&result, o] { result = runObject(*o); });
}

} // namespace corvane::cli
