// mux: a .mnu menu as a stand-alone transport stream, as the Mux button does.

#include <iostream>

#include "cli/CliCommon.h"
#include "cli/MenuFile.h"
#include "cli/Subcommands.h"
#include "io/FileIO.h"
#include "menu/IGReader.h"
#include "shell/Markup.h"
#include "stream/Mux.h"

namespace corvane::cli {

void addMuxCommand(CLI::App& app, int& result) {
    auto* cmd = app.add_subcommand("mux", "Write a .mnu menu as a stand-alone transport stream");
    auto input = std::make_shared<std::string>();
    auto output = std::make_shared<std::string>();
    auto quiet = std::make_shared<bool>(false);
    cmd->add_option("MNU", *input, "The .mnu menu")->required();
    cmd->add_option("-o,--output", *output, "The .m2ts file to write")->required();
    cmd->add_flag("--quiet", *quiet, "No log lines on stderr");
    cmd->callback([&result, input, output, quiet] {
        if (sameFile(*input, *output)) {
            printError(*output, "the output file may not be the input file");
            result = Usage;
            return;
        }
        const auto menu = loadMenu(*input, *quiet, result);
        if (!menu) return;
        PlainSink sink(std::cerr, *quiet);
        Reporter reporter(&sink);
        // No PES file in the temporary folder: scripts may run several muxes at once.
        const bool written = Mux(reporter, *menu, *output, "");
        if (written && !reporter.ErrorRaised) return;
        // A failed file step has printed its own error line.
        if (reporter.ErrorRaised) printError(*input, "the menu could not be muxed");
        result = Rejected;
    });
}

} // namespace corvane::cli
