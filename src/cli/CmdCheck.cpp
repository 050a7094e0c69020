// check: the folder check and the read of a whole BDMV folder, as the Read button does it.

#include <iostream>

#include "cli/CliCommon.h"
#include "cli/Subcommands.h"
#include "io/FileIO.h"
#include "shell/DiscFolder.h"
#include "shell/Session.h"

namespace corvane::cli {

void addCheckCommand(CLI::App& app, int& result) {
    auto* cmd = app.add_subcommand("check", "Check and read a BDMV folder, printing the log");
    auto disc = std::make_shared<std::string>();
    auto use83 = std::make_shared<bool>(false);
    cmd->add_option("DISC", *disc, "The BDMV folder or the folder that holds it")->required();
    cmd->add_flag("--83", *use83, "Use the 8.3 file-name set");
    cmd->callback([&result, disc, use83] {
        if (!directoryExists(*disc)) {
            printError(*disc, "no such folder");
            result = Rejected;
            return;
        }
        PlainSink sink(std::cout, false);
        Session session;
        session.reporter.setSink(&sink);
        session.options.use83names = *use83;
        session.applyOptions();
        session.BDMVdir = bdmvFolderFromChosen(*disc);
        const auto read = readFolder(session);
        // A failed check or any error reported while reading rejects the disc.
        result = read.checked && !session.reporter.ErrorRaised ? Success : Rejected;
    });
}

} // namespace corvane::cli
