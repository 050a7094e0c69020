// commands: the program list of one movie object.

#include <iostream>

#include "cli/CliCommon.h"
#include "cli/Subcommands.h"
#include "io/FileIO.h"
#include "navigation/MovieObject.h"
#include "navigation/ProgramList.h"
#include "shell/Markup.h"

namespace corvane::cli {

void addCommandsCommand(CLI::App& app, int& result) {
    auto* cmd = app.add_subcommand("commands", "Print or save the program list of one movie object");
    auto file = std::make_shared<std::string>();
    auto object = std::make_shared<std::string>();
    auto format = std::make_shared<std::string>("lst");
    auto out = std::make_shared<std::string>();
    cmd->add_option("MOBJ", *file, "A MovieObject.bdmv file")->required();
    cmd->add_option("--object", *object, "The movie object's number")->required();
    auto quiet = addQuietFlag(cmd);
    cmd->add_option("--format", *format, "lst (text) or bin (binary)")->check(CLI::IsMember({"lst", "bin"}));
    cmd->add_option("-o,--output", *out, "Write to this file instead of standard output");
    cmd->callback([&result, file, object, format, out, quiet] {
        const auto number = numberOption("--object", *object, result);
        if (!number) return;
        if (!out->empty() && sameFile(*file, *out)) {
            printError(*out, "the output file may not be the input file");
            result = Usage;
            return;
        }
        std::string error;
        const auto bytes = readWholeFile(*file, error);
        if (!bytes) {
            std::cerr << "error: " << error << '\n';
            result = Rejected;
            return;
        }
        const auto read = readMovieObject(*bytes);
        if (!reportRead(*file, read.messages, read.status == ReadStatus::Ok,
                        "not a MovieObject file this program reads", *quiet, result))
            return;
        const auto& objects = read.mobj.MovieObjects.mobjs;
        if (*number >= objects.size()) {
            printError(*file, "there is no movie object " + std::to_string(*number) + " (the file holds " +
                                  std::to_string(objects.size()) + ")");
            result = Rejected;
            return;
        }
        const auto listFormat = *format == "bin" ? ProgramFormat::Binary : ProgramFormat::List;
        const auto list = programListBytes(objects[*number].navigation_commands, listFormat);
        if (out->empty()) {
            std::cout.write(reinterpret_cast<const char*>(list.data()),
                            static_cast<std::streamsize>(list.size()));
            return;
        }
        const auto saved = writeWholeFile(*out, list);
        if (!saved.ok) {
            std::cerr << "error: " << saved.error << '\n';
            result = Rejected;
        }
    });
}

} // namespace corvane::cli
