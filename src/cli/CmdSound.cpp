// sound export / import / new: WAV exchange of sound.bdmv entries.

#include <filesystem>
#include <iostream>

#include "cli/CliCommon.h"
#include "cli/Subcommands.h"
#include "io/FileIO.h"
#include "shell/Markup.h"
#include "sound/SoundFile.h"

namespace corvane::cli {

namespace {

std::optional<std::vector<std::uint8_t>> readInput(const std::string& path, int& result) {
    std::string error;
    auto bytes = readWholeFile(path, error);
    if (!bytes) {
        std::cerr << "error: " << error << '\n';
        result = Rejected;
    }
    return bytes;
}

// A sound file read whole, or nothing (the reason printed).
std::optional<TSND> loadSound(const std::string& path, bool quiet, int& result) {
    const auto bytes = readInput(path, result);
    if (!bytes) return std::nullopt;
    SoundReadResult read = readSoundBytes(*bytes);
    if (!reportRead(path, read.messages, read.status == ReadStatus::Ok, "not a sound file this program reads",
                    quiet, result))
        return std::nullopt;
    return read.sound;
}

// The entry of a WAV file, or nothing (the reason printed).
std::optional<TSoundEntries> loadWav(const std::string& path, int& result) {
    const auto bytes = readInput(path, result);
    if (!bytes) return std::nullopt;
    WavImport wav = importWav(*bytes);
    if (!wav.entry) {
        printError(path, wav.error);
        result = Rejected;
    }
    return wav.entry;
}

void write(const std::string& path, const std::vector<std::uint8_t>& bytes, int& result) {
    const auto saved = writeWholeFile(path, bytes);
    if (!saved.ok) {
        std::cerr << "error: " << saved.error << '\n';
        result = Rejected;
    }
}

bool refuseSameFile(const std::string& in, const std::string& out, int& result) {
    if (!sameFile(in, out)) return false;
    printError(out, "the output file may not be the input file");
    result = Usage;
    return true;
}

} // namespace

void addSoundCommand(CLI::App& app, int& result) {
    auto* soundCommand = app.add_subcommand("sound", "WAV exchange of sound.bdmv entries");
    soundCommand->require_subcommand(1);

    auto* exportCommand = soundCommand->add_subcommand("export", "Save one entry as a WAV file");
    auto exportIn = std::make_shared<std::string>();
    auto exportEntry = std::make_shared<std::string>();
    auto exportOut = std::make_shared<std::string>();
    exportCommand->add_option("SOUND", *exportIn, "The sound.bdmv file")->required();
    exportCommand->add_option("--entry", *exportEntry, "The entry (sound id)")->required();
    exportCommand->add_option("-o,--output", *exportOut, "The WAV file")->required();
    auto exportQuiet = addQuietFlag(exportCommand);
    exportCommand->callback([&result, exportIn, exportEntry, exportOut, exportQuiet] {
        const auto entry = numberOption("--entry", *exportEntry, result);
        if (!entry) return;
        const auto file = loadSound(*exportIn, *exportQuiet, result);
        if (!file) return;
        if (*entry >= file->SoundIndex.entries.size()) {
            printError(*exportIn, "there is no sound entry " + std::to_string(*entry));
            result = Rejected;
            return;
        }
        write(*exportOut, mkWav(file->SoundIndex.entries[*entry]), result);
    });

    auto* importCommand = soundCommand->add_subcommand("import", "Insert a WAV file as a new entry");
    auto importIn = std::make_shared<std::string>();
    auto importWavFile = std::make_shared<std::string>();
    auto importAfter = std::make_shared<std::string>();
    auto importOut = std::make_shared<std::string>();
    importCommand->add_option("SOUND", *importIn, "The sound.bdmv file")->required();
    importCommand->add_option("WAV", *importWavFile, "48 kHz 16-bit PCM")->required();
    importCommand->add_option("--after", *importAfter, "The entry the new one follows")->required();
    importCommand->add_option("-o,--output", *importOut, "The sound file to write")->required();
    auto importQuiet = addQuietFlag(importCommand);
    importCommand->callback([&result, importIn, importWavFile, importAfter, importOut, importQuiet] {
        const auto afterEntry = numberOption("--after", *importAfter, result);
        if (!afterEntry) return;
        if (refuseSameFile(*importIn, *importOut, result)) return;
        auto file = loadSound(*importIn, *importQuiet, result);
        if (!file) return;
        auto entry = loadWav(*importWavFile, result);
        if (!entry) return;
        const std::optional<std::size_t> after =
            file->SoundIndex.entries.empty() ? std::nullopt : std::optional<std::size_t>(*afterEntry);
        if (after && *after >= file->SoundIndex.entries.size()) {
            printError(*importIn, "there is no sound entry " + std::to_string(*after));
            result = Rejected;
            return;
        }
        if (!insertSound(*file, after, std::move(*entry))) {
            printError(*importIn, "the file holds 255 sounds, the most it can");
            result = Rejected;
            return;
        }
        write(*importOut, writeSound(*file), result);
    });

    auto* newCommand =
        soundCommand->add_subcommand("new", "Create a sound file holding a WAV file as entry 0");
    auto newWav = std::make_shared<std::string>();
    auto newOut = std::make_shared<std::string>();
    newCommand->add_option("WAV", *newWav, "48 kHz 16-bit PCM")->required();
    newCommand->add_option("-o,--output", *newOut, "The sound file to write")->required();
    newCommand->callback([&result, newWav, newOut] {
        if (refuseSameFile(*newWav, *newOut, result)) return;
        auto entry = loadWav(*newWav, result);
        if (!entry) return;
        TSND file = createSound();
        insertSound(file, std::nullopt, std::move(*entry));
        write(*newOut, writeSound(file), result);
    });
}

} // namespace corvane::cli
