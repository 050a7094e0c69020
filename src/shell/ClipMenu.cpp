#include "shell/ClipMenu.h"

#include <algorithm>

#include "io/FileIO.h"
#include "shell/Session.h"
#include "shell/SessionFiles.h"
#include "stream/ClipInfo.h"
#include "stream/Demux.h"
#include "stream/MenuClip.h"

namespace corvane {

std::string streamMenuFile() {
    return tempFolder() + "Corvane_MENU.tmp";
}

std::optional<ReadStatus> loadStreamToMenu(Session& session, std::uint16_t pid,
                                           std::vector<CompositionEntry>* compositions) {
    return loadStreamToMenu(session, session.clpiName, pid, compositions);
}

std::optional<ReadStatus> loadStreamToMenu(Session& session, const std::string& clip, std::uint16_t pid,
                                           std::vector<CompositionEntry>* compositions) {
    const auto& clips = session.clips;
    const auto found = std::find(clips.begin(), clips.end(), clip);
    const auto index = static_cast<std::size_t>(found - clips.begin());
    if (clip.empty() || found == clips.end() || index >= session.AVStreams.size()) return std::nullopt;
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

std::optional<MenuStream> findMenuStream(const Session& session, std::int64_t maxBytes) {
    for (std::size_t i = 0; i < session.clips.size() && i < session.AVStreams.size(); ++i) {
        const TAVStream& stream = session.AVStreams[i];
        if (stream.stream_file_size <= 0 || stream.stream_file_size > maxBytes) continue;
        const std::string name = session.clips[i] + session.names.ClipInfoExt;
        std::string error;
        const auto bytes = readWholeFile(session.BDMVdir + "CLIPINF" + pathSeparator() + name, error);
        if (!bytes) continue;
        const ClipReadResult read = readClipInfo(*bytes, name, true);
        if (read.status != ReadStatus::Ok) continue;
        // The stream's own PMT must list the PID too, so that the extraction finds it.
        const std::string m2ts = session.BDMVdir + "STREAM" + pathSeparator() + stream.stream_file_name;
        std::vector<TStreamCodingInfo> carried;
        for (const TProgram_sequences& sequence : read.clpi.ProgramInfo.program_sequences)
            for (const TStreamCodingInfo& info : sequence.streams) {
                if (info.stream_coding_type != IgCodingType ||
                    !canLoadToMenu(stream.stream_file_size, info.stream_PID))
                    continue;
                if (carried.empty()) carried = transportStreamPrograms(m2ts, error);
                for (const TStreamCodingInfo& listed : carried)
                    if (listed.stream_PID == info.stream_PID)
                        return MenuStream{session.clips[i], info.stream_PID};
            }
    }
    return std::nullopt;
}

} // namespace corvane
