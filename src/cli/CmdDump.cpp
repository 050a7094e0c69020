// dump and resave: any supported file to JSON, and back through the program's writer.

#include <iostream>
#include <memory>

#include <nlohmann/json.hpp>

#include "cli/CliCommon.h"
#include "cli/FileFormats.h"
#include "cli/Subcommands.h"
#include "io/FileIO.h"

namespace corvane::cli {

void addDumpCommands(CLI::App& app, int& result) {
    auto* dump = app.add_subcommand("dump", "Print the model of a supported file as JSON");
    auto dumpFile = std::make_shared<std::string>();
    auto noData = std::make_shared<bool>(false);
    auto dumpQuiet = std::make_shared<bool>(false);
    dump->add_option(
            "FILE", *dumpFile,
            "index.bdmv, MovieObject.bdmv, a playlist (.mpls), a clip information file (.clpi), sound.bdmv, "
            "a BD-J object (.bdjo), an IG menu (.mnu) or an ExtensionData file (.exd)")
        ->required();
    dump->add_flag("--no-data", *noData, "Replace byte arrays by their length");
    dump->add_flag("--quiet", *dumpQuiet, "No log lines on stderr");
    dump->callback([&result, dumpFile, noData, dumpQuiet] {
        const LoadedFile loaded = loadFile(*dumpFile, *noData, *dumpQuiet, false, result);
        if (loaded.ok)
            std::cout << loaded.json.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << '\n';
    });

    auto* resave =
        app.add_subcommand("resave", "Read a file into the model and write it with the program's writer");
    auto inFile = std::make_shared<std::string>();
    auto outFile = std::make_shared<std::string>();
    auto quiet = std::make_shared<bool>(false);
    resave->add_option("FILE", *inFile, "The file to read")->required();
    resave->add_option("-o,--output", *outFile, "The file to write")->required();
    resave->add_flag("--quiet", *quiet, "No log lines on stderr");
    resave->callback([&result, inFile, outFile, quiet] {
        if (sameFile(*inFile, *outFile)) {
            printError(*outFile, "the output file may not be the input file");
            result = Usage;
            return;
        }
        const LoadedFile loaded = loadFile(*inFile, true, *quiet, true, result);
        if (!loaded.ok) return;
        if (loaded.written.empty()) {
            printError(*inFile, "the program only reads this type of file");
            result = Rejected;
            return;
        }
        const auto saved = writeWholeFile(*outFile, loaded.written);
        if (!saved.ok) {
            std::cerr << "error: " << saved.error << '\n';
            result = Rejected;
        }
    });
}

} // namespace corvane::cli
