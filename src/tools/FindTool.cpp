#include "tools/FindTool.h"

#include <algorithm>
#include <charconv>

#include "io/TextUtil.h"
#include "playlist/PlayListReader.h"
#include "shell/Session.h"
#include "shell/SessionFiles.h"

namespace corvane {

namespace {

// Play PL, Play PL_PI (PlayItem by register or immediate), Play PL_MK likewise; the
// playlist itself always immediate.
constexpr std::uint32_t PlayOpcodes[] = {0x22800000, 0x42810000, 0x42C10000, 0x42820000, 0x42C20000};

std::uint32_t nameNumber(const std::string& name) {
    std::uint32_t value = 0;
    std::from_chars(name.data(), name.data() + name.size(), value);
    return value;
}

} // namespace

std::vector<CommandRef> findPlayListCommands(const TMOBJ& mobj, std::uint32_t playlist) {
    std::vector<CommandRef> found;
    const auto& objects = mobj.MovieObjects.mobjs;
    for (std::size_t o = 0; o < objects.size(); ++o) {
        const auto& commands = objects[o].navigation_commands;
        for (std::size_t l = 0; l < commands.size(); ++l) {
            const TNavCommand& command = commands[l];
            if (command.destination == playlist && std::find(std::begin(PlayOpcodes), std::end(PlayOpcodes),
                                                             command.opcode) != std::end(PlayOpcodes))
                found.push_back({o, l});
        }
    }
    return found;
}

std::vector<std::string> playListSearchLines(const TMOBJ& mobj, const std::string& playlistName) {
    const std::vector<CommandRef> found = findPlayListCommands(mobj, nameNumber(playlistName));
    if (found.empty())
        return {"", "PlayList [b]" + playlistName + "[/b] is played by no movie-object command."};
    std::vector<std::string> lines = {"", "PlayList [b]" + playlistName + "[/b] found in:"};
    for (const CommandRef& ref : found)
        lines.push_back("Object " + zeroPad(ref.object, 4) + ", Command line " + zeroPad(ref.line, 4));
    return lines;
}

void addClipReferences(const TMPLS& mpls, std::uint16_t playlist, const std::vector<std::string>& clips,
                       std::vector<TCIRefs>& refs) {
    refs.resize(clips.size());
    auto add = [&](const std::string& clip, const char* kind, std::size_t item) {
        const auto it = std::find(clips.begin(), clips.end(), clip);
        if (it == clips.end()) return;
        refs[static_cast<std::size_t>(it - clips.begin())].push_back(
            {playlist, kind, static_cast<std::uint16_t>(item)});
    };
    const auto& items = mpls.PlayList.PlayItems;
    for (std::size_t j = 0; j < items.size(); ++j) add(items[j].Clip_Information_file_name, "p", j);
    for (const TSubPath& path : mpls.PlayList.SubPaths)
        for (std::size_t c = 0; c < path.SubPlayItems.size(); ++c)
            add(path.SubPlayItems[c].Clip_Information_file_name, "s", c);
}

std::vector<TCIRefs> clipReferencePass(Session& session) {
    std::vector<TCIRefs> refs(session.clips.size());
    for (const std::string& name : session.playlists) {
        TMPLS mpls;
        if (readPlayListFile(session, name, mpls, true) != ReadStatus::Ok) continue;
        addClipReferences(mpls, static_cast<std::uint16_t>(nameNumber(name)), session.clips, refs);
    }
    return refs;
}

std::string ciRefPlaylistName(const TCIRef& ref) {
    return zeroPad(ref.ref_playlist, 5);
}

std::vector<std::vector<std::string>> ciRefRows(const TCIRefs& refs) {
    std::vector<std::vector<std::string>> rows;
    for (std::size_t i = 0; i < refs.size(); ++i)
        rows.push_back({std::to_string(i + 1), ciRefPlaylistName(refs[i]), refs[i].ref_kind,
                        zeroPad(refs[i].ref_item, 5)});
    return rows;
}

} // namespace corvane
