// find: the movie-object lines that play a playlist, or for every clip the playlists that use it.

#include <algorithm>
#include <iostream>
#include <sstream>

#include "cli/CliCommon.h"
#include "cli/Subcommands.h"
#include "io/FileIO.h"
#include "shell/DiscFolder.h"
#include "shell/Markup.h"
#include "shell/Session.h"
#include "tools/FindTool.h"

namespace corvane::cli {

void addFindCommand(CLI::App& app, int& result) {
    auto* cmd =
        app.add_subcommand("find", "Which movie-object lines play a playlist, which playlists use each clip");
    auto disc = std::make_shared<std::string>();
    auto playlist = std::make_shared<std::string>();
    auto clipRefs = std::make_shared<bool>(false);
    cmd->add_option("DISC", *disc, "The BDMV folder or the folder that holds it")->required();
    auto* byPlaylist = cmd->add_option("--playlist", *playlist, "The playlist name (five digits)");
    auto* byClips = cmd->add_flag("--clip-refs", *clipRefs,
                                  "For every clip, the PlayItems (p) and SubPlayItems (s) using it");
    byPlaylist->excludes(byClips);
    auto quiet = addQuietFlag(cmd);
    cmd->callback([&result, disc, playlist, clipRefs, quiet] {
        if (playlist->empty() && !*clipRefs) {
            std::cerr << "error: give --playlist NAME or --clip-refs\n";
            result = Usage;
            return;
        }
        if (!directoryExists(*disc)) {
            printError(*disc, "no such folder");
            result = Rejected;
            return;
        }
        // The folder is read as the Read button does; its log goes to stderr.
        PlainSink sink(std::cerr, *quiet);
        Session session;
        session.reporter.setSink(&sink);
        session.BDMVdir = bdmvFolderFromChosen(*disc);
        if (!readFolder(session).checked) {
            printError(*disc, "the folder check failed");
            result = Rejected;
            return;
        }
        if (!playlist->empty()) {
            if (std::find(session.playlists.begin(), session.playlists.end(), *playlist) ==
                session.playlists.end()) {
                printError(*disc, "there is no playlist " + *playlist);
                result = Rejected;
                return;
            }
            if (session.mobjStatus != ReadStatus::Ok) {
                printError(*disc, "MovieObject.bdmv could not be read");
                result = Rejected;
                return;
            }
            for (const std::string& line : playListSearchLines(session.mobj, *playlist))
                std::cout << striptags(line) << '\n';
            return;
        }
        const std::vector<TCIRefs> refs = clipReferencePass(session);
        for (std::size_t c = 0; c < session.clips.size(); ++c) {
            std::cout << session.clips[c] << ':';
            for (const auto& row : ciRefRows(refs[c]))
                std::cout << ' ' << row[1] << ' ' << row[2] << ' ' << row[3] << ';';
            std::cout << '\n';
        }
    });
}

} // namespace corvane::cli
