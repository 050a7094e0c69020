// mux: a .mnu menu as a stand-alone transport stream, as the Mux button does, with its clip
// information file and a playlist on request.

#include <filesystem>
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
    auto clpi = std::make_shared<std::string>();
    auto mpls = std::make_shared<std::string>();
    auto quiet = std::make_shared<bool>(false);
    cmd->add_option("MNU", *input, "The .mnu menu")->required();
    cmd->add_option("-o,--output", *output, "The .m2ts file to write")->required();
    cmd->add_option("--clpi", *clpi, "Also write the clip information file of the stream");
    cmd->add_option("--mpls", *mpls, "Also write a playlist that plays the stream");
    cmd->add_flag("--quiet", *quiet, "No log lines on stderr");
    cmd->callback([&result, input, output, clpi, mpls, quiet] {
        for (const std::string* out : {output.get(), clpi.get(), mpls.get()}) {
            if (out->empty() || !sameFile(*input, *out)) continue;
            printError(*out, "the output file may not be the input file");
            result = Usage;
            return;
        }
        const auto menu = loadMenu(*input, *quiet, result);
        if (!menu) return;
        PlainSink sink(std::cerr, *quiet);
        Reporter reporter(&sink);
        // No PES file in the temporary folder: scripts may run several muxes at once.
        // The playlist names the clip by the clip information file's name, else the stream's.
        const std::string clipName =
            std::filesystem::path(clpi->empty() ? *output : *clpi).stem().string().substr(0, 5);
        const bool written = Mux(reporter, *menu, MuxFiles{*output, *clpi, *mpls, clipName, ""});
        if (written && !reporter.ErrorRaised) return;
        // A failed file step has printed its own error line.
        if (reporter.ErrorRaised) printError(*input, "the menu could not be muxed");
        result = Rejected;
    });
}

} // namespace corvane::cli
