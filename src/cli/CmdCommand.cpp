// command: the five grid cells of one navigation command.

#include <iostream>

#include "cli/CliCommon.h"
#include "cli/Subcommands.h"
#include "navigation/CommandText.h"

namespace corvane::cli {

void addCommandCommand(CLI::App& app, int& result) {
    auto* cmd =
        app.add_subcommand("command", "Print the five cells of one navigation command, tab-separated");
    auto words = std::make_shared<std::vector<std::string>>();
    auto context = std::make_shared<std::string>("object");
    cmd->add_option("OPCODE DEST SRC", *words, "The three 32-bit words (decimal, or hexadecimal with 0x)")
        ->required()
        ->expected(3);
    cmd->add_option("--context", *context, "Which forbidden list applies: object (movie objects) or button")
        ->check(CLI::IsMember({"object", "button"}));
    cmd->callback([&result, words, context] {
        std::uint32_t value[3];
        const char* names[3] = {"OPCODE", "DEST", "SRC"};
        for (int i = 0; i < 3; ++i) {
            const auto number = parseNumber((*words)[static_cast<std::size_t>(i)]);
            if (!number || *number > 0xFFFFFFFFull) {
                std::cerr << "error: " << names[i]
                          << ": not a 32-bit number: " << (*words)[static_cast<std::size_t>(i)] << '\n';
                result = Usage;
                return;
            }
            value[i] = static_cast<std::uint32_t>(*number);
        }
        const TNavCommand command{value[0], value[1], value[2]};
        const auto where = *context == "button" ? CommandContext::Button : CommandContext::MovieObject;
        const CommandCells cells = comm2str(command, 0, where);
        std::cout << cells.no << '\t' << cells.opcode << '\t' << cells.destination << '\t' << cells.source
                  << '\t' << cells.line << '\n';
    });
}

} // namespace corvane::cli
