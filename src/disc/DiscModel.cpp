#include "disc/DiscModel.h"

#include <algorithm>
#include <cctype>
#include <map>

#include "io/FileIO.h"
#include "io/TextUtil.h"
#include "menu/IGReader.h"
#include "playlist/PlayListNames.h"
#include "playlist/PlayListReader.h"
#include "shell/Markup.h"
#include "shell/Session.h"
#include "shell/SessionFiles.h"
#include "stream/Demux.h"

namespace corvane {

namespace {

std::string firstError(const std::vector<ReadMessage>& messages) {
    for (const ReadMessage& message : messages)
        if (message.kind == ReadMessage::Kind::Error) return striptags(message.text);
    return {};
}

bool knownVersion(const std::vector<std::uint8_t>& bytes) {
    if (bytes.size() < 8) return false;
    const std::string version(bytes.begin() + 4, bytes.begin() + 8);
    return version == "0100" || version == "0200" || version == "0300";
}

// A refused file whose type indicator is right: only its version is new to the reader.
bool onlyVersionUnknown(const std::vector<std::uint8_t>& bytes, const char* typeIndicator) {
    return bytes.size() >= 8 && std::equal(bytes.begin(), bytes.begin() + 4, typeIndicator) &&
           !knownVersion(bytes);
}

DiscFileRead fileRead(const ReadResult& result, const std::vector<std::uint8_t>& bytes,
                      const char* typeIndicator) {
    DiscFileRead read;
    read.status = result.status;
    read.message = firstError(result.messages);
    if (read.status == ReadStatus::FormatError)
        read.unknownVersion = onlyVersionUnknown(bytes, typeIndicator);
    return read;
}

// A file the session's read step read with `status`: on a failure the file is read once
// more for the reader's first error line and the version test.
template <typename Reader>
DiscFileRead sessionFileRead(ReadStatus status, const std::string& path, const char* typeIndicator,
                             Reader reader) {
    DiscFileRead read;
    read.status = status;
    if (read.usable()) return read;
    std::string error;
    const auto bytes = readWholeFile(path, error);
    if (!bytes) {
        read.message = error;
        return read;
    }
    read.message = firstError(reader(*bytes).messages);
    read.unknownVersion = status == ReadStatus::FormatError && onlyVersionUnknown(*bytes, typeIndicator);
    return read;
}

template <typename Result, typename Reader>
DiscFileRead readFile(const std::string& path, const std::string& name, const char* typeIndicator,
                      Reader reader, Result& result) {
    std::string error;
    const auto bytes = readWholeFile(path, error);
    if (!bytes) return {ReadStatus::FileError, error, false};
    result = reader(*bytes, name);
    return fileRead(result, *bytes, typeIndicator);
}

bool isFiveDigits(const std::string& name) {
    return name.size() == 5 &&
           std::all_of(name.begin(), name.end(), [](unsigned char c) { return std::isdigit(c); });
}

bool endsWith(const std::string& name, const std::string& suffix) {
    return name.size() >= suffix.size() &&
           name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0;
}

bool endsWithNoCase(const std::string& name, const std::string& suffix) {
    return endsWith(upperCase(name), upperCase(suffix));
}

// The files of a folder that are not five digits and the extension.
void collectStrays(DiscModel& disc, const std::string& folder, const std::string& extension) {
    for (const std::string& name : listFiles(disc.BDMVdir + folder + pathSeparator(), "")) {
        if (name.empty() || name[0] == '.') continue;
        if (endsWithNoCase(name, extension) && isFiveDigits(withoutExtension(name))) continue;
        disc.strayFiles.push_back({folder, name});
    }
    std::sort(disc.strayFiles.begin(), disc.strayFiles.end(),
              [](const DiscStrayFile& a, const DiscStrayFile& b) {
                  return a.folder != b.folder ? a.folder < b.folder : a.name < b.name;
              });
}

// The IG menus of a clip's IG streams, extracted through a temporary file.
void readClipMenus(DiscModel& disc, const DiscClip& clip) {
    if (clip.stream.stream_file_name.empty() || clip.clpi.ProgramInfo.program_sequences.empty()) return;
    const std::string m2ts = disc.BDMVdir + "STREAM" + pathSeparator() + clip.stream.stream_file_name;
    for (const TStreamCodingInfo& stream : clip.clpi.ProgramInfo.program_sequences[0].streams) {
        if (stream.stream_coding_type != static_cast<std::uint8_t>(StreamCodingType::InteractiveGraphics))
            continue;
        DiscMenu menu;
        menu.clip = clip.name;
        menu.pid = stream.stream_PID;
        NullSink sink;
        Reporter reporter(&sink);
        const std::string temp =
            tempFolder() + "Corvane_DISC_" + clip.name + "_" + hexText(menu.pid, 4) + ".tmp";
        const DemuxResult demuxed = Demux(m2ts, temp, menu.pid, DemuxMode::MNU, reporter);
        std::string error;
        const auto bytes = demuxed.ok ? readWholeFile(temp, error) : std::nullopt;
        removeFile(temp);
        if (!bytes) {
            menu.read = {ReadStatus::FileError, demuxed.error.empty() ? error : demuxed.error, false};
        } else {
            MnuReadResult result = loadMNU(*bytes);
            menu.read.status = result.status;
            menu.read.message = firstError(result.messages);
            menu.menu = std::move(result.menu);
        }
        disc.menus.push_back(std::move(menu));
    }
}

// Upper-case name to the name as the folder spells it, for the case-blind matches.
std::map<std::string, std::string> folderNames(const std::string& folder) {
    std::map<std::string, std::string> names;
    for (const std::string& name : listFiles(folder, "")) names.emplace(upperCase(name), name);
    return names;
}

std::string spelled(const std::map<std::string, std::string>& names, const std::string& name) {
    const auto it = names.find(upperCase(name));
    return it == names.end() ? name : it->second;
}

} // namespace

std::string discFileNumber(std::uint32_t number) {
    return zeroPad(number, 5);
}

const DiscPlayList* DiscModel::playlist(const std::string& name) const {
    const auto it = std::lower_bound(playlists.begin(), playlists.end(), name,
                                     [](const DiscPlayList& p, const std::string& n) { return p.name < n; });
    return it != playlists.end() && it->name == name ? &*it : nullptr;
}

const DiscClip* DiscModel::clip(const std::string& name) const {
    const auto it = std::lower_bound(clips.begin(), clips.end(), name,
                                     [](const DiscClip& c, const std::string& n) { return c.name < n; });
    return it != clips.end() && it->name == name ? &*it : nullptr;
}

const DiscBdjo* DiscModel::bdjo(const std::string& name) const {
    for (const DiscBdjo& b : bdjos)
        if (b.name == name) return &b;
    return nullptr;
}

DiscModel loadDisc(const std::string& chosen, const DiscLoadOptions& options) {
    DiscModel disc;
    NullSink sink;
    Session session;
    session.reporter.setSink(&sink);
    session.options.use83names = options.use83names;
    session.applyOptions();
    session.BDMVdir = bdmvFolderFromChosen(chosen);
    disc.BDMVdir = session.BDMVdir;
    disc.names = session.names;
    const char sep = pathSeparator();

    for (const char* folder : {"PLAYLIST", "CLIPINF", "BACKUP"})
        if (!directoryExists(disc.BDMVdir + folder)) disc.missingFolders.push_back(folder);
    disc.indexPresent = fileExists(disc.BDMVdir + disc.names.IndexName);
    disc.mobjPresent = fileExists(disc.BDMVdir + disc.names.MovieObjectName);

    // The listing and the two navigation files as the Read button reads them.
    readall(session);
    const std::string mobjPath = disc.BDMVdir + disc.names.MovieObjectName;
    if (disc.mobjPresent)
        disc.mobjRead = sessionFileRead(session.mobjStatus, mobjPath, "MOBJ", [&](const auto& b) {
            return readMovieObject(b, disc.names.MovieObjectName);
        });
    if (disc.mobjRead.usable()) {
        std::string error;
        if (const auto bytes = readWholeFile(mobjPath, error))
            disc.mobjRead.endedEarly = readMovieObject(*bytes, disc.names.MovieObjectName).endedEarly;
    }
    disc.mobj = std::move(session.mobj);
    if (disc.indexPresent)
        disc.indexRead = sessionFileRead(session.indexStatus, disc.BDMVdir + disc.names.IndexName, "INDX",
                                         [&](const auto& b) { return readIndex(b, disc.names.IndexName); });
    disc.index = std::move(session.index);

    disc.soundPresent = fileExists(disc.BDMVdir + "AUXDATA" + sep + "sound.bdmv");
    if (disc.soundPresent) {
        disc.soundRead = sessionFileRead(readsound(session), disc.BDMVdir + "AUXDATA" + sep + "sound.bdmv",
                                         "BCLK", [](const auto& b) { return readSoundBytes(b); });
        disc.sound = std::move(session.sound);
    }
    disc.streamFolderPresent = directoryExists(disc.BDMVdir + "STREAM");
    matchStreams(session);

    const std::string playlistFolder = disc.BDMVdir + "PLAYLIST" + sep;
    const auto playlistFiles = folderNames(playlistFolder);
    for (const std::string& name : session.playlists) {
        DiscPlayList playlist;
        playlist.name = name;
        const std::string file = spelled(playlistFiles, name + disc.names.PlayListExt);
        PlsReadResult result;
        playlist.read = readFile(
            playlistFolder + file, file, "MPLS",
            [](const std::vector<std::uint8_t>& b, const std::string& n) { return readPlayList(b, n, true); },
            result);
        playlist.mpls = std::move(result.mpls);
        disc.playlists.push_back(std::move(playlist));
    }
    const std::string clipFolder = disc.BDMVdir + "CLIPINF" + sep;
    const auto clipFiles = folderNames(clipFolder);
    for (std::size_t c = 0; c < session.clips.size(); ++c) {
        DiscClip clip;
        clip.name = session.clips[c];
        const std::string file = spelled(clipFiles, clip.name + disc.names.ClipInfoExt);
        ClipReadResult result;
        clip.read = readFile(
            clipFolder + file, file, "HDMV",
            [](const std::vector<std::uint8_t>& b, const std::string& n) { return readClipInfo(b, n, true); },
            result);
        clip.clpi = std::move(result.clpi);
        if (c < session.AVStreams.size()) clip.stream = session.AVStreams[c];
        disc.clips.push_back(std::move(clip));
    }
    const std::string bdjoFolder = disc.BDMVdir + "BDJO" + sep;
    for (const std::string& name : listFiles(bdjoFolder, "")) {
        if (name.empty() || name[0] == '.' || !endsWithNoCase(name, ".bdjo")) continue;
        DiscBdjo bdjo;
        bdjo.name = withoutExtension(name);
        BdjoReadResult result;
        bdjo.read = readFile(bdjoFolder + name, name, "BDJO", readBDJO, result);
        bdjo.bdjo = std::move(result.bdjo);
        disc.bdjos.push_back(std::move(bdjo));
    }
    std::sort(disc.playlists.begin(), disc.playlists.end(),
              [](const DiscPlayList& a, const DiscPlayList& b) { return a.name < b.name; });
    std::sort(disc.clips.begin(), disc.clips.end(),
              [](const DiscClip& a, const DiscClip& b) { return a.name < b.name; });
    std::sort(disc.bdjos.begin(), disc.bdjos.end(),
              [](const DiscBdjo& a, const DiscBdjo& b) { return a.name < b.name; });

    collectStrays(disc, "PLAYLIST", disc.names.PlayListExt);
    collectStrays(disc, "CLIPINF", disc.names.ClipInfoExt);
    collectStrays(disc, "STREAM", disc.names.StreamExt);
    collectStrays(disc, "BDJO", ".bdjo");

    // The other name set: files players of the one in use would not look for.
    const FileNameSet other = fileNameSet(!options.use83names);
    for (const std::string& name : {other.IndexName, other.MovieObjectName}) {
        const std::string found = findFileCaseInsensitive(disc.BDMVdir, name);
        if (!found.empty() && upperCase(found) != upperCase(disc.names.IndexName) &&
            upperCase(found) != upperCase(disc.names.MovieObjectName))
            disc.otherNameSetFiles.push_back(found);
    }

    if (options.readMenus)
        for (const DiscClip& clip : disc.clips)
            if (clip.read.usable()) readClipMenus(disc, clip);
    return disc;
}

} // namespace corvane
