// chapters export / import: the marks of a playlist as a chapter file and back.

#include <filesystem>
#include <iostream>

#include "cli/CliCommon.h"
#include "cli/Subcommands.h"
#include "io/FileIO.h"
#include "playlist/PlayListMarks.h"
#include "playlist/PlayListReader.h"
#include "playlist/PlayListWriter.h"
#include "shell/Markup.h"

namespace corvane::cli {

namespace {

// Reads a playlist whole; prints the reason and sets `result` when it cannot.
std::optional<TMPLS> loadPlayList(const std::string& path, bool quiet, int& result) {
    std::string error;
    const auto bytes = readWholeFile(path, error);
    if (!bytes) {
        std::cerr << "error: " << error << '\n';
        result = Rejected;
        return std::nullopt;
    }
    PlsReadResult read = readPlayList(*bytes, std::filesystem::path(path).filename().string(), true);
    if (!reportRead(path, read.messages, read.status == ReadStatus::Ok, "not a playlist this program reads",
                    quiet, result))
        return std::nullopt;
    return read.mpls;
}

CLI::Option* addFormat(CLI::App* command, std::string& format) {
    return command
        ->add_option(
            "--format", format,
            "Chapter format: pts, frame, time, ogm (CHAPTER01=hh:mm:ss.mmm) or xml (Matroska chapters)")
        ->required()
        ->check(CLI::IsMember({"pts", "frame", "time", "ogm", "xml"}, CLI::ignore_case));
}

} // namespace

void addChaptersCommand(CLI::App& app, int& result) {
    auto* chapters = app.add_subcommand("chapters", "Exchange the marks of a playlist with chapter files");
    chapters->require_subcommand(1);

    auto* exportCommand =
        chapters->add_subcommand("export", "Write the chapter file of the playlist's marks");
    auto exportIn = std::make_shared<std::string>();
    auto exportFormat = std::make_shared<std::string>();
    auto exportOut = std::make_shared<std::string>();
    exportCommand->add_option("MPLS", *exportIn, "The playlist")->required();
    addFormat(exportCommand, *exportFormat);
    exportCommand->add_option("-o,--output", *exportOut, "The chapter file (stdout when absent)");
    auto exportQuiet = addQuietFlag(exportCommand);
    exportCommand->callback([&result, exportIn, exportFormat, exportOut, exportQuiet] {
        const auto mpls = loadPlayList(*exportIn, *exportQuiet, result);
        if (!mpls) return;
        const ChapterText chapters = chapterText(*mpls, *chapterFormatFromName(*exportFormat));
        if (!chapters.error.empty()) {
            printError(*exportIn, chapters.error);
            result = Rejected;
            return;
        }
        if (exportOut->empty()) {
            std::cout << chapters.text << std::flush;
            return;
        }
        const auto saved = writeWholeFile(*exportOut, {chapters.text.begin(), chapters.text.end()});
        if (!saved.ok) {
            std::cerr << "error: " << saved.error << '\n';
            result = Rejected;
        }
    });

    auto* importCommand = chapters->add_subcommand("import", "Replace the marks by a chapter file's points");
    auto importIn = std::make_shared<std::string>();
    auto importChaptersFile = std::make_shared<std::string>();
    auto importFormat = std::make_shared<std::string>();
    auto importOut = std::make_shared<std::string>();
    importCommand->add_option("MPLS", *importIn, "The playlist")->required();
    importCommand->add_option("CHAPTERS", *importChaptersFile, "The chapter file")->required();
    addFormat(importCommand, *importFormat);
    importCommand->add_option("-o,--output", *importOut, "The playlist to write")->required();
    auto importQuiet = addQuietFlag(importCommand);
    importCommand->callback([&result, importIn, importChaptersFile, importFormat, importOut, importQuiet] {
        if (sameFile(*importIn, *importOut)) {
            printError(*importOut, "the output file may not be the input file");
            result = Usage;
            return;
        }
        auto mpls = loadPlayList(*importIn, *importQuiet, result);
        if (!mpls) return;
        std::string error;
        const auto text = readWholeFile(*importChaptersFile, error);
        if (!text) {
            std::cerr << "error: " << error << '\n';
            result = Rejected;
            return;
        }
        const ChapterImport imported =
            importChapters(*mpls, std::string_view(reinterpret_cast<const char*>(text->data()), text->size()),
                           *chapterFormatFromName(*importFormat));
        PlainSink sink(std::cerr, *importQuiet);
        Reporter reporter(&sink);
        for (const auto& line : imported.refused) reporter.erlog(line);
        for (const auto& line : imported.log) reporter.log(line);
        if (!imported.error.empty()) {
            printError(*importChaptersFile, imported.error);
            result = Rejected;
            return;
        }
        if (!imported.changed) {
            printError(*importChaptersFile, "the chapter file holds no line; nothing written");
            result = Rejected;
            return;
        }
        const auto saved = writeWholeFile(*importOut, writePlayList(*mpls));
        if (!saved.ok) {
            std::cerr << "error: " << saved.error << '\n';
            result = Rejected;
        }
    });
}

} // namespace corvane::cli
