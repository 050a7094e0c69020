// corvane-cli: the headless front end over the same core as the desktop program.

#include <iostream>
#include <memory>
#include <sstream>

#include "cli/CliCommon.h"
#include "cli/Subcommands.h"

namespace {

// --help-all with every level of subcommands in full (CLI11 expands only the first).
class NestedHelp : public CLI::Formatter {
public:
    std::string make_expanded(const CLI::App* sub) const override {
        std::stringstream out;
        out << sub->get_display_name(true) << "\n";
        out << make_description(sub);
        out << make_positionals(sub);
        out << make_groups(sub, CLI::AppFormatMode::Sub);
        out << make_subcommands(sub, CLI::AppFormatMode::All);
        std::string text = CLI::detail::find_and_replace(out.str(), "\n\n", "\n");
        text.pop_back();
        return CLI::detail::find_and_replace(text, "\n", "\n  ") + "\n";
    }
};

} // namespace

int main(int argc, char** argv) {
    CLI::App app{"corvane-cli " CORVANE_VERSION
                 " - read, check, convert and run the navigation files of a BDMV folder",
                 "corvane-cli"};
    app.require_subcommand(1);
    app.formatter(std::make_shared<NestedHelp>());
    app.set_help_all_flag("--help-all", "Show the help of every subcommand");
    app.set_version_flag("--version", "corvane-cli " CORVANE_VERSION, "Print the version and exit");
    int result = corvane::cli::Success;
    corvane::cli::addCheckCommand(app, result);
    corvane::cli::addCommandCommand(app, result);
    corvane::cli::addDumpCommands(app, result);
    corvane::cli::addBuildCommand(app, result);
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
    corvane::cli::addDiffCommand(app, result);
    // CLI11 would only say that a subcommand is required.
    if (argc > 1 && argv[1][0] != '-') {
        bool known = false;
        for (CLI::App* sub : app.get_subcommands([](CLI::App*) { return true; }))
            known = known || sub->check_name(argv[1]);
        if (!known) {
            std::cerr << "error: unknown subcommand \"" << argv[1] << "\"\n"
                      << "Run with --help for the list of subcommands.\n";
            return corvane::cli::Usage;
        }
    }
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForAllHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForVersion& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        app.exit(e);
        return corvane::cli::Usage;
    }
    return corvane::cli::finalStatus(result);
}
