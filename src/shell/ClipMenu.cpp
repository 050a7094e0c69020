#include "shell/ClipMenu.h"

#include <algorithm>

#include "io/FileIO.h"
#include "shell/Session.h"
#include "shell/SessionFiles.h"
#include "stream/Demux.h"

namespace corvane {

std::string streamMenuFile() {
    return tempFolder() + "Corvane_MENU.tmp";
}

std::optional<ReadStatus> loadStreamToMenu(Session& session, std::uint16_t pid,
                                           std::vector<CompositionEntry>* compositions) {
    const auto& clips = session.clips;
    const auto found = std::find(clips.begin(), clips.end(), session.clpiName);
    const auto index = static_cast<std::size_t>(found - clips.begin());
    if (session.clpiName.empty() || found == clips.end() || index >= session.AVStreams.size())
        return std::nullopt;
    const TAVStream& stream = session.AVStreams[index];
    if (stream.stream_file_name.empty()) return std::nullopt;
    const std::string m2ts = session.BDMVdir + "STREAM" + pathSeparator() + stream.stream_file_name;
    const std::string menuFile = streamMenuFile();
    Reporter& reporter = session.reporter;
    const DemuxResult result = savePid(reporter, m2ts, menuFile, pid, DemuxMode::MNU);
    if (!result.ok) reporter.slogR();
    if (!result.ok || result.cancelled || reporter.CancelRequested) return std::nullopt;
    return loadMNUFile(session, menuFile, session.menu, 0, compositions);
}

} // namespace corvane
