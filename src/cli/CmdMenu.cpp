// menu new, object export and object import: IG menus and their objects as files.

#include <filesystem>
#include <iostream>

#include "cli/CliCommon.h"
#include "cli/MenuFile.h"
#include "cli/Subcommands.h"
#include "graphics/PngFile.h"
#include "io/FileIO.h"
#include "io/TextUtil.h"
#include "menu/IGReader.h"
#include "menu/IGWriter.h"
#include "shell/Markup.h"

namespace corvane::cli {

namespace {

const std::string Software = "Corvane v" CORVANE_VERSION;

bool writeOutput(const std::string& path, const std::vector<std::uint8_t>& bytes, int& result) {
    const auto saved = writeWholeFile(path, bytes);
    if (!saved.ok) {
        std::cerr << "error: " << saved.error << '\n';
        result = Rejected;
    }
    return saved.ok;
}

bool saveMenu(const TMenu& menu, const std::string& path, int& result) {
    const IGSaveResult saved = saveIGS(menu, IGSaveMode::Mnu);
    if (!saved.ok) {
        printError(path, saved.error);
        result = Rejected;
        return false;
    }
    return writeOutput(path, saved.bytes, result);
}

// An object or palette id given in hex, no larger than `max`.
std::optional<std::uint16_t> idOption(const std::string& name, const std::string& text, std::uint64_t max,
                                      int& result) {
    const auto id = parseHexId(text);
    if (!id) {
        std::cerr << "error: " << name << ": not a hexadecimal id: " << text << '\n';
        result = Usage;
        return std::nullopt;
    }
    if (*id > max) {
        std::cerr << "error: " << name << ": out of range: " << text << '\n';
        result = Rejected;
        return std::nullopt;
    }
    return static_cast<std::uint16_t>(*id);
}

bool refuseSameFile(const std::string& input, const std::string& output, int& result) {
    if (!sameFile(input, output)) return false;
    printError(output, "the output file may not be the input file");
    result = Usage;
    return true;
}

void addMenuNew(CLI::App& menu, int& result) {
    auto* create = menu.add_subcommand("new", "Write the new minimal menu of Create Menu");
    auto out = std::make_shared<std::string>();
    create->add_option("-o,--output", *out, "The .mnu file to write")->required();
    create->callback([&result, out] { saveMenu(createMenu(), *out, result); });
}

void addObjectExport(CLI::App& object, int& result) {
    auto* exporter =
        object.add_subcommand("export", "Save one object in one palette as an 8-bit palette PNG");
    auto mnu = std::make_shared<std::string>();
    auto objectId = std::make_shared<std::string>();
    auto paletteId = std::make_shared<std::string>();
    auto out = std::make_shared<std::string>();
    auto quiet = std::make_shared<bool>(false);
    exporter->add_option("MNU", *mnu, "The .mnu menu")->required();
    exporter->add_option("--object", *objectId, "Object id (hex)")->required();
    exporter->add_option("--palette", *paletteId, "Palette id (hex)")->required();
    exporter->add_option("-o,--output", *out, "The PNG file to write")->required();
    exporter->add_flag("--quiet", *quiet, "No log lines on stderr");
    exporter->callback([&result, mnu, objectId, paletteId, out, quiet] {
        const auto id = idOption("--object", *objectId, 0xFFFE, result);
        if (!id) return;
        const auto palette = idOption("--palette", *paletteId, 0xFF, result);
        if (!palette || refuseSameFile(*mnu, *out, result)) return;
        auto menu = loadMenu(*mnu, *quiet, result);
        if (!menu) return;
        if (*palette >= menu->IGPalettes.size()) {
            printError(*mnu, "there is no palette " + hexText(*palette, 2));
            result = Rejected;
            return;
        }
        std::string error;
        const auto png = exportObjectPng(*menu, *id, *palette, Software, error);
        if (!png) {
            printError(*mnu, error);
            result = Rejected;
            return;
        }
        writeOutput(*out, *png, result);
    });
}

void addObjectImport(CLI::App& object, int& result) {
    auto* importer = object.add_subcommand("import", "Append a PNG as a new object with its own palette");
    auto mnu = std::make_shared<std::string>();
    auto png = std::make_shared<std::string>();
    auto out = std::make_shared<std::string>();
    auto paletteId = std::make_shared<std::string>();
    auto exact = std::make_shared<bool>(false);
    auto quiet = std::make_shared<bool>(false);
    importer->add_option("MNU", *mnu, "The .mnu menu")->required();
    importer->add_option("PNG", *png, "A PNG no larger than the menu's video")->required();
    importer->add_option("-o,--output", *out, "The .mnu file to write")->required();
    importer->add_option(
        "--palette", *paletteId,
        "Map the colours to the nearest entries of this palette (hex) instead of adding one");
    importer->add_flag("--exact", *exact,
                       "Refuse true colour of more than 255 colours instead of reducing it");
    importer->add_flag("--quiet", *quiet, "No log lines on stderr");
    importer->callback([&result, mnu, png, out, paletteId, exact, quiet] {
        PngImportOptions options;
        options.quantise = !*exact;
        if (!paletteId->empty()) {
            options.intoPalette = idOption("--palette", *paletteId, 0xFF, result);
            if (!options.intoPalette) return;
        }
        if (refuseSameFile(*mnu, *out, result) || refuseSameFile(*png, *out, result)) return;
        auto menu = loadMenu(*mnu, *quiet, result);
        if (!menu) return;
        std::string error;
        const auto bytes = readWholeFile(*png, error);
        if (!bytes) {
            std::cerr << "error: " << error << '\n';
            result = Rejected;
            return;
        }
        const auto id = importObjectPng(*menu, *bytes, error, options);
        if (!id) {
            printError(*png, error);
            result = Rejected;
            return;
        }
        if (saveMenu(*menu, *out, result) && !*quiet) {
            std::cerr << "object " << hexText(*id, 4);
            if (options.intoPalette)
                std::cerr << " added in palette " << hexText(*options.intoPalette, 2) << '\n';
            else
                std::cerr << ", palette " << hexText(menu->IGPalettes.size() - 1, 2) << " added\n";
        }
    });
}

} // namespace

std::optional<TMenu> loadMenu(const std::string& path, bool quiet, int& result) {
    std::string error;
    auto bytes = readWholeFile(path, error);
    if (!bytes) {
        std::cerr << "error: " << error << '\n';
        result = Rejected;
        return std::nullopt;
    }
    MnuReadResult read = loadMNU(std::move(*bytes));
    if (reportRead(path, read.messages, read.status == ReadStatus::Ok, "not an IG menu this program reads",
                   quiet, result))
        return std::move(read.menu);
    return std::nullopt;
}

void addMenuRender(CLI::App& menu, int& result);    // CmdMenuRender.cpp
void addMenuStructure(CLI::App& menu, int& result); // CmdMenuStructure.cpp

void addMenuCommands(CLI::App& app, int& result) {
    auto* menu = app.add_subcommand("menu", "Interactive-graphics menus");
    menu->require_subcommand(1);
    addMenuNew(*menu, result);
    addMenuRender(*menu, result);
    addMenuStructure(*menu, result);
    auto* object = app.add_subcommand("object", "Exchange the objects of an IG menu with PNG files");
    object->require_subcommand(1);
    addObjectExport(*object, result);
    addObjectImport(*object, result);
}

} // namespace corvane::cli
