// dump and resave: any supported file to JSON, and back through the program's writer.

#include <filesystem>
#include <iostream>

#include <nlohmann/json.hpp>

#include "cli/CliCommon.h"
#include "cli/JsonMenu.h"
#include "cli/JsonModel.h"
#include "io/ExtensionData.h"
#include "io/FileIO.h"
#include "menu/IGReader.h"
#include "menu/IGWriter.h"
#include "navigation/IndexTable.h"
#include "navigation/MovieObject.h"
#include "playlist/PlayListReader.h"
#include "playlist/PlayListWriter.h"
#include "shell/Markup.h"
#include "stream/ClipInfo.h"

namespace corvane::cli {

namespace {

enum class FileKind { Unknown, ExtensionData, Index, MovieObject, PlayList, ClipInfo, Menu, Sound, BdjObject };

FileKind detectKind(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    const std::string magic(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(std::min<std::size_t>(4, bytes.size())));
    if (magic == "INDX") return FileKind::Index;
    if (magic == "MOBJ") return FileKind::MovieObject;
    if (magic == "MPLS") return FileKind::PlayList;
    if (magic == "HDMV") return FileKind::ClipInfo;
    if (magic == "BCLK") return FileKind::Sound;
    if (magic == "BDJO") return FileKind::BdjObject;
    if (magic.rfind("IG", 0) == 0) return FileKind::Menu;
    std::string ext = std::filesystem::path(path).extension().string();
    for (auto& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (ext == ".exd") return FileKind::ExtensionData;
    return FileKind::Unknown;
}

// One file read into its model: the JSON of the model and, when `writing`, the bytes the
// program's writer makes (a dump only lists: a menu's objects are never decoded for it).
using Bytes = std::vector<std::uint8_t>;

struct Loaded {
    bool ok = false;
    OrderedJson json;
    std::vector<std::uint8_t> written;
};

// The first error line a reader reported, tags removed.
std::string firstError(const std::vector<ReadMessage>& messages, const std::string& fallback) {
    for (const auto& message : messages)
        if (message.kind == ReadMessage::Kind::Error) return striptags(message.text);
    for (const auto& message : messages)
        if (message.text.rfind("Error", 0) == 0) return striptags(message.text);
    return fallback;
}

Loaded load(const std::string& path, bool noData, bool quiet, bool writing, int& result) {
    Loaded loaded;
    std::string error;
    const auto bytes = readWholeFile(path, error);
    if (!bytes) {
        std::cerr << "error: " << error << '\n';
        result = Rejected;
        return loaded;
    }
    PlainSink sink(std::cerr, quiet);
    Reporter reporter(&sink);
    const std::string name = std::filesystem::path(path).filename().string();
    switch (detectKind(path, *bytes)) {
    case FileKind::ExtensionData: {
        auto block = readExdBytes(*bytes, error);
        if (!block) break;
        loaded = {true, toJson(*block, noData), writing ? exdFileBytes(*block) : Bytes{}};
        return loaded;
    }
    case FileKind::MovieObject: {
        auto read = readMovieObject(*bytes, name);
        showReadMessages(reporter, read.messages);
        if (read.status != ReadStatus::Ok) {
            error = firstError(read.messages, "not a MovieObject file this program reads");
            break;
        }
        loaded = {true, toJson(read.mobj, noData), writing ? writeMovieObject(read.mobj) : Bytes{}};
        return loaded;
    }
    case FileKind::Index: {
        auto read = readIndex(*bytes, name);
        showReadMessages(reporter, read.messages);
        if (read.status != ReadStatus::Ok) {
            error = firstError(read.messages, "not an index file this program reads");
            break;
        }
        loaded = {true, toJson(read.index, noData), writing ? writeIndex(read.index) : Bytes{}};
        return loaded;
    }
    case FileKind::PlayList: {
        auto read = readPlayList(*bytes, name);
        showReadMessages(reporter, read.messages);
        if (read.status != ReadStatus::Ok) {
            error = firstError(read.messages, "not a playlist this program reads");
            break;
        }
        loaded = {true, toJson(read.mpls, noData), writing ? writePlayList(read.mpls) : Bytes{}};
        return loaded;
    }
    case FileKind::ClipInfo: {
        auto read = readClipInfo(*bytes, name);
        showReadMessages(reporter, read.messages);
        if (read.status != ReadStatus::Ok) {
            error = firstError(read.messages, "not a clip information file this program reads");
            break;
        }
        // Clip information files are only read: nothing to write back.
        loaded.ok = true;
        loaded.json = toJson(read.clpi, noData);
        return loaded;
    }
    case FileKind::Menu: {
        auto read = loadMNU(*bytes);
        showReadMessages(reporter, read.messages);
        if (read.status != ReadStatus::Ok) {
            error = firstError(read.messages, "not an IG menu this program reads");
            break;
        }
        loaded = {true, toJson(read.menu), {}};
        if (!writing) return loaded;
        auto saved = saveIGS(read.menu, IGSaveMode::Mnu);
        if (!saved.ok) {
            loaded = {};
            error = saved.error;
            break;
        }
        loaded.written = std::move(saved.bytes);
        return loaded;
    }
    case FileKind::Sound: {
        auto read = readSoundBytes(*bytes);
        showReadMessages(reporter, read.messages);
        if (read.status != ReadStatus::Ok) {
            error = firstError(read.messages, "not a sound file this program reads");
            break;
        }
        loaded = {true, toJson(read.sound, noData), writing ? writeSound(read.sound) : Bytes{}};
        return loaded;
    }
    case FileKind::BdjObject: {
        auto read = readBDJO(*bytes, name);
        showReadMessages(reporter, read.messages);
        if (read.status != ReadStatus::Ok) {
            error = firstError(read.messages, "not a BD-J object this program reads");
            break;
        }
        // BD-J objects are only read: nothing to write back.
        loaded.ok = true;
        loaded.json = toJson(read.bdjo);
        return loaded;
    }
    case FileKind::Unknown:
        error = "not a file type this program reads";
        break;
    }
    printError(path, error);
    result = Rejected;
    return loaded;
}

} // namespace

void addDumpCommands(CLI::App& app, int& result) {
    auto* dump = app.add_subcommand("dump", "Print the model of a supported file as JSON");
    auto dumpFile = std::make_shared<std::string>();
    auto noData = std::make_shared<bool>(false);
    auto dumpQuiet = std::make_shared<bool>(false);
    dump->add_option("FILE", *dumpFile,
                     "index.bdmv, MovieObject.bdmv, a playlist, a clip information file or an .exd file")
        ->required();
    dump->add_flag("--no-data", *noData, "Replace byte arrays by their length");
    dump->add_flag("--quiet", *dumpQuiet, "No log lines on stderr");
    dump->callback([&result, dumpFile, noData, dumpQuiet] {
        const Loaded loaded = load(*dumpFile, *noData, *dumpQuiet, false, result);
        if (loaded.ok)
            std::cout << loaded.json.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << '\n';
    });

    auto* resave = app.add_subcommand("resave", "Read a file into the model and write it with the program's writer");
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
        const Loaded loaded = load(*inFile, true, *quiet, true, result);
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
