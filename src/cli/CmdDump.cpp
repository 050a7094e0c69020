// dump and resave: any supported file to JSON, and back through the program's writer.

#include <filesystem>
#include <iostream>

#include <nlohmann/json.hpp>

#include "cli/CliCommon.h"
#include "cli/JsonModel.h"
#include "io/ExtensionData.h"
#include "io/FileIO.h"

namespace corvane::cli {

namespace {

enum class FileKind { Unknown, ExtensionData };

std::string lowerExtension(const std::string& path) {
    std::string ext = std::filesystem::path(path).extension().string();
    for (auto& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext;
}

FileKind detectKind(const std::string& path, const std::vector<std::uint8_t>&) {
    if (lowerExtension(path) == ".exd") return FileKind::ExtensionData;
    return FileKind::Unknown;
}

// Reads FILE and tells its kind; prints the error and returns nothing when it cannot.
std::optional<std::vector<std::uint8_t>> loadInput(const std::string& path, int& result) {
    std::string error;
    auto bytes = readWholeFile(path, error);
    if (!bytes) {
        std::cerr << "error: " << error << '\n';
        result = Rejected;
    }
    return bytes;
}

} // namespace

void addDumpCommands(CLI::App& app, int& result) {
    auto* dump = app.add_subcommand("dump", "Print the model of a supported file as JSON");
    auto dumpFile = std::make_shared<std::string>();
    auto noData = std::make_shared<bool>(false);
    dump->add_option("FILE", *dumpFile, "index.bdmv, MovieObject.bdmv, playlist, clip info, sound.bdmv, BD-J object, .mnu or .exd")
        ->required();
    dump->add_flag("--no-data", *noData, "Replace byte arrays by their length");
    dump->callback([&result, dumpFile, noData] {
        auto bytes = loadInput(*dumpFile, result);
        if (!bytes) return;
        switch (detectKind(*dumpFile, *bytes)) {
        case FileKind::ExtensionData: {
            std::string error;
            auto block = readExdBytes(*bytes, error);
            if (!block) {
                printError(*dumpFile, error);
                result = Rejected;
                return;
            }
            std::cout << toJson(*block, *noData).dump(2) << '\n';
            return;
        }
        case FileKind::Unknown:
            printError(*dumpFile, "not a file type this program reads");
            result = Rejected;
            return;
        }
    });

    auto* resave = app.add_subcommand("resave", "Read a file into the model and write it with the program's writer");
    auto inFile = std::make_shared<std::string>();
    auto outFile = std::make_shared<std::string>();
    resave->add_option("FILE", *inFile, "The file to read")->required();
    resave->add_option("-o,--output", *outFile, "The file to write")->required();
    resave->callback([&result, inFile, outFile] {
        if (sameFile(*inFile, *outFile)) {
            printError(*outFile, "the output file may not be the input file");
            result = Usage;
            return;
        }
        auto bytes = loadInput(*inFile, result);
        if (!bytes) return;
        std::vector<std::uint8_t> written;
        switch (detectKind(*inFile, *bytes)) {
        case FileKind::ExtensionData: {
            std::string error;
            auto block = readExdBytes(*bytes, error);
            if (!block) {
                printError(*inFile, error);
                result = Rejected;
                return;
            }
            written = exdFileBytes(*block);
            break;
        }
        case FileKind::Unknown:
            printError(*inFile, "not a file type this program writes");
            result = Rejected;
            return;
        }
        const auto saved = writeWholeFile(*outFile, written);
        if (!saved.ok) {
            std::cerr << "error: " << saved.error << '\n';
            result = Rejected;
        }
    });
}

} // namespace corvane::cli
