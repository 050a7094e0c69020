// lint: the disc check, as an aligned list of findings or as one JSON object. The exit
// status makes it a gate: 1 with errors (with --strict also with warnings).

#include <iostream>

#include <nlohmann/json.hpp>

#include "cli/CliCommon.h"
#include "cli/Subcommands.h"
#include "cli/TextTable.h"
#include "disc/DiscCheck.h"
#include "io/FileIO.h"
#include "shell/DiscFolder.h"

namespace corvane::cli {

namespace {

using nlohmann::ordered_json;

ordered_json pathJson(const RecordPath& path) {
    ordered_json steps = ordered_json::array();
    for (const RecordStep& step : path.steps) {
        ordered_json s = {{"kind", step.kind}};
        if (!step.name.empty())
            s["name"] = step.name;
        else
            s["index"] = step.index;
        steps.push_back(s);
    }
    return steps;
}

} // namespace

void addLintCommand(CLI::App& app, int& result) {
    auto* cmd =
        app.add_subcommand("lint", "The disc check: findings with severity, code, file, record and sentence");
    auto disc = std::make_shared<std::string>();
    auto json = std::make_shared<bool>(false);
    auto strict = std::make_shared<bool>(false);
    auto use83 = std::make_shared<bool>(false);
    cmd->add_option("DISC", *disc, "The BDMV folder or the folder that holds it")->required();
    cmd->add_flag("--json", *json, "One JSON object instead of the list");
    cmd->add_flag("--strict", *strict, "Warnings fail the check too");
    cmd->add_flag("--83", *use83, "Use the 8.3 file-name set");
    cmd->callback([&result, disc, json, strict, use83] {
        if (!directoryExists(bdmvFolderFromChosen(*disc))) {
            printError(*disc, "no BDMV folder");
            result = Rejected;
            return;
        }
        const DiscCheckResult check = discCheck(loadDisc(*disc, {*use83, true}));
        if (*json) {
            ordered_json findings = ordered_json::array();
            for (const Finding& f : check.findings)
                findings.push_back({{"severity", severityName(f.severity)},
                                    {"code", f.code},
                                    {"file", f.file},
                                    {"where", f.where.text()},
                                    {"record", pathJson(f.where)},
                                    {"message", f.message}});
            const ordered_json out = {
                {"findings", findings}, {"errors", check.errors()}, {"warnings", check.warnings()}};
            std::cout << out.dump(2, ' ', false, ordered_json::error_handler_t::replace) << '\n';
        } else {
            std::vector<std::vector<std::string>> rows;
            for (const Finding& f : check.findings)
                rows.push_back(
                    {std::string(severityName(f.severity)), f.code, f.file, f.where.text(), f.message});
            if (!rows.empty()) printTable(std::cout, {"severity", "code", "file", "record", "message"}, rows);
            std::cout << check.errors() << " errors, " << check.warnings() << " warnings\n";
        }
        if (check.errors() > 0 || (*strict && check.warnings() > 0)) result = Rejected;
    });
}

} // namespace corvane::cli
