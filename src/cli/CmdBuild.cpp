// build: the JSON of a dump back into the file, through the program's writer.

#include <iostream>
#include <memory>
#include <string>

#include <nlohmann/json.hpp>

#include "cli/CliCommon.h"
#include "cli/Subcommands.h"
#include "io/FileIO.h"
#include "json/JsonBuild.h"

namespace corvane::cli {

void addBuildCommand(CLI::App& app, int& result) {
    auto* build = app.add_subcommand("build", "Write the file a dump's JSON describes (the inverse of dump)");
    auto inFile = std::make_shared<std::string>();
    auto outFile = std::make_shared<std::string>();
    auto keepLengths = std::make_shared<bool>(false);
    build
        ->add_option(
            "FILE", *inFile,
            "The JSON of index.bdmv, MovieObject.bdmv, a playlist (.mpls) or an ExtensionData file (.exd), "
            "as dump prints it; the type comes from its type_indicator")
        ->required();
    build->add_option("-o,--output", *outFile, "The file to write")->required();
    build->add_flag("--keep-lengths", *keepLengths,
                    "Write the lengths as the JSON holds them instead of recomputing them from the content; "
                    "counts and start addresses must then match the layout");
    build->callback([&result, inFile, outFile, keepLengths] {
        if (sameFile(*inFile, *outFile)) {
            printError(*outFile, "the output file may not be the input file");
            result = Usage;
            return;
        }
        std::string error;
        const auto bytes = readWholeFile(*inFile, error);
        if (!bytes) {
            std::cerr << "error: " << error << '\n';
            result = Rejected;
            return;
        }
        nlohmann::json value;
        try {
            value = nlohmann::json::parse(bytes->begin(), bytes->end());
        } catch (const nlohmann::json::parse_error& e) {
            printError(*inFile, std::string("not JSON: ") + e.what());
            result = Rejected;
            return;
        }
        const json::BuiltFile built = json::buildFile(value, json::BuildOptions{*keepLengths});
        if (!built.ok) {
            printError(*inFile, built.error.text());
            result = Rejected;
            return;
        }
        const auto saved = writeWholeFile(*outFile, built.bytes);
        if (!saved.ok) {
            std::cerr << "error: " << saved.error << '\n';
            result = Rejected;
        }
    });
}

} // namespace corvane::cli
