#pragma once
// The subcommand groups of corvane-cli. Only main.cpp and the files that build
// subcommands include this header, and with it CLI11.

#include <CLI/CLI.hpp>

namespace corvane::cli {

// The --quiet flag of a subcommand that logs: no log lines on stderr.
inline std::shared_ptr<bool> addQuietFlag(CLI::App* command) {
    auto quiet = std::make_shared<bool>(false);
    command->add_flag("--quiet", *quiet, "No log lines on stderr");
    return quiet;
}

// Each group of subcommands registers itself on the app and returns the exit code through `result`.
void addCheckCommand(CLI::App& app, int& result);
void addCommandCommand(CLI::App& app, int& result);
void addDumpCommands(CLI::App& app, int& result);
void addBuildCommand(CLI::App& app, int& result);
void addCommandsCommand(CLI::App& app, int& result);
void addRunCommand(CLI::App& app, int& result);
void addExtractCommand(CLI::App& app, int& result);
void addChaptersCommand(CLI::App& app, int& result);
void addSoundCommand(CLI::App& app, int& result);
void addFindCommand(CLI::App& app, int& result);
void addMenuCommands(CLI::App& app, int& result);
void addMuxCommand(CLI::App& app, int& result);
void addInfoCommand(CLI::App& app, int& result);
void addLintCommand(CLI::App& app, int& result);
void addDiffCommand(CLI::App& app, int& result);

} // namespace corvane::cli
