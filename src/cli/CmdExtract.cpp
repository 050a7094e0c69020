// extract: one stream of a transport stream by PID, as the "Save PID" button does.

#include <iostream>

#include "cli/CliCommon.h"
#include "cli/Subcommands.h"
#include "io/FileIO.h"
#include "io/TextUtil.h"
#include "shell/Options.h"
#include "stream/Demux.h"

namespace corvane::cli {

void addExtractCommand(CLI::App& app, int& result) {
    auto* cmd = app.add_subcommand("extract", "Extract one stream of an m2ts by PID");
    auto input = std::make_shared<std::string>();
    auto pidText = std::make_shared<std::string>();
    auto output = std::make_shared<std::string>();
    auto pes = std::make_shared<bool>(false);
    auto noSup = std::make_shared<bool>(false);
    auto noMnu = std::make_shared<bool>(false);
    auto quiet = std::make_shared<bool>(false);
    cmd->add_option("M2TS", *input, "The transport stream (192-byte source packets)")->required();
    cmd->add_option("--pid", *pidText, "The PID, hexadecimal with or without 0x")->required();
    cmd->add_flag("--pes", *pes, "Save the PES packets, not the elementary stream");
    cmd->add_flag("--no-sup", *noSup, "A PG stream as its bare segments, not a SUP file");
    cmd->add_flag("--no-mnu", *noMnu, "An IG stream as its bare segments, not a .mnu file");
    cmd->add_option("-o,--output", *output, "The file to write")->required();
    cmd->add_flag("--quiet", *quiet, "No log lines on stderr");
    cmd->callback([&result, input, pidText, output, pes, noSup, noMnu, quiet] {
        const auto pid = parseHexId(*pidText);
        if (!pid) {
            printError(*input, "the PID '" + *pidText + "' is not a hexadecimal number");
            result = Usage;
            return;
        }
        if (*pid > 0x1FFF) {
            printError(*input, "the PID " + *pidText + " is out of range (0 to 1FFF)");
            result = Rejected;
            return;
        }
        if (sameFile(*input, *output)) {
            printError(*output, "the output file may not be the input file");
            result = Usage;
            return;
        }
        if (!fileExists(*input)) {
            printError(*input, "file not found");
            result = Rejected;
            return;
        }
        Options options;
        options.SavePES = *pes;
        options.SaveSUP = !*noSup;
        options.SaveMNU = !*noMnu;
        TStreamCodingInfo stream;
        stream.stream_PID = static_cast<std::uint16_t>(*pid);
        const PidOutput target = pidOutput("", "", stream, options);
        PlainSink sink(std::cerr, *quiet);
        Reporter reporter(&sink);
        const DemuxResult saved =
            savePid(reporter, *input, *output, static_cast<std::uint16_t>(*pid), target.mode);
        // A file step has printed its own error line; the stream's reason is printed here.
        if (!saved.ok && !saved.error.empty()) printError(*input, saved.error);
        result = saved.ok ? Success : Rejected;
    });
}

} // namespace corvane::cli
