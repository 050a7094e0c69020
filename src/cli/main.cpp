// corvane-cli: the headless front end over the same core as the desktop program.

#include <iostream>

#include "cli/CliCommon.h"
#include "cli/Subcommands.h"

int main(int argc, char** argv) {
    CLI::App app{"corvane-cli " CORVANE_VERSION
                 " - read, check, convert and run the navigation files of a BDMV folder",
                 "corvane-cli"};
    app.require_subcommand(1);
    app.set_help_all_flag("--help-all", "Show the help of every subcommand");
    int result = corvane::cli::Success;
    corvane::cli::addCheckCommand(app, result);
    corvane::cli::addCommandCommand(app, result);
    corvane::cli::addDumpCommands(app, result);
    corvane::cli::addCommandsCommand(app, result);
    corvane::cli::addRunCommand(app, result);
    corvane::cli::addExtractCommand(app, result);
    corvane::cli::addChaptersCommand(app, result);
    corvane::cli::addSoundCommand(app, result);
    corvane::cli::addFindCommand(app, result);
    corvane::cli::addMenuCommands(app, result);
    corvane::cli::addMuxCommand(app, result);
    corvane::cli::addInfoCommand(app, result);
    corvane::cli::addLintCommand(app, result);
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForAllHelp& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        app.exit(e);
        return corvane::cli::Usage;
    }
    return corvane::cli::finalStatus(result);
}
