#include "disc/DiscCheck.h"

#include <algorithm>
#include <map>
#include <set>
#include <unordered_set>

#include "io/FileIO.h"
#include "io/TextUtil.h"
#include "menu/MenuLimits.h"
#include "playlist/PlayListDisplay.h"
#include "playlist/PlayListNames.h"
#include "stream/TransportStream.h"

namespace corvane {

const std::array<FindingCode, 37> FindingCodes = {{
    {"required-file-missing", Severity::Error},
    {"backup-folder-missing", Severity::Warning},
    {"file-refused", Severity::Error}, // a warning when only the version is new to the reader
    {"file-damaged", Severity::Error}, // a warning for a movie object file cut short
    {"object-ref-missing", Severity::Error},
    {"bdjo-missing", Severity::Error},
    {"title-ref-missing", Severity::Error},
    {"playlist-missing", Severity::Error},
    {"playitem-ref-missing", Severity::Error},
    {"mark-ref-missing", Severity::Error},
    {"goto-past-end", Severity::Error},
    {"command-invalid", Severity::Warning},
    {"clip-missing", Severity::Error},
    {"stream-file-missing", Severity::Error},
    {"stream-folder-missing", Severity::Warning},
    {"stream-size-mismatch", Severity::Warning},
    {"stn-pid-not-in-clip", Severity::Error},
    {"stn-coding-mismatch", Severity::Warning},
    {"stn-subpath-missing", Severity::Error},
    {"playitem-empty", Severity::Error},
    {"playitem-outside-clip", Severity::Error},
    {"mark-outside-playitems", Severity::Error},
    {"button-neighbour-missing", Severity::Error},
    {"default-button-missing", Severity::Warning},
    {"sound-id-missing", Severity::Error},
    {"backup-file-in-scanned-folder", Severity::Warning},
    {"file-name-invalid", Severity::Warning},
    {"name-set-mixed", Severity::Warning},
    {"playlist-unreferenced", Severity::Warning}, // info when a playlist is played by a register
    {"clip-unreferenced", Severity::Warning},
    {"object-unreferenced", Severity::Info},
    {"menu-object-too-large", Severity::Warning},
    {"menu-objects-over-buffer", Severity::Error},
    {"menu-object-outside-video", Severity::Warning},
    {"menu-object-missing", Severity::Warning},
    {"menu-palette-missing", Severity::Warning},
    {"menu-palette-entry-reserved", Severity::Warning},
}};

std::string_view severityName(Severity severity) {
    switch (severity) {
    case Severity::Error:
        return "error";
    case Severity::Warning:
        return "warning";
    default:
        return "info";
    }
}

std::size_t DiscCheckResult::errors() const {
    return static_cast<std::size_t>(std::count_if(
        findings.begin(), findings.end(), [](const Finding& f) { return f.severity == Severity::Error; }));
}

std::size_t DiscCheckResult::warnings() const {
    return static_cast<std::size_t>(std::count_if(
        findings.begin(), findings.end(), [](const Finding& f) { return f.severity == Severity::Warning; }));
}

namespace {

constexpr std::uint16_t NoSound = 0xFF;

std::string inFolder(const std::string& folder, const std::string& name) {
    return folder + pathSeparator() + name;
}

class Checker {
public:
    explicit Checker(const DiscModel& disc) : m_disc(disc), m_refs(collectReferences(disc)) {
        for (const DiscPlayList& p : disc.playlists) m_playlistNames.insert(p.name);
        for (const DiscClip& c : disc.clips) {
            auto& pids = m_clipPids[c.name];
            if (!c.clpi.ProgramInfo.program_sequences.empty())
                for (const TStreamCodingInfo& s : c.clpi.ProgramInfo.program_sequences[0].streams)
                    pids.emplace(s.stream_PID, s.stream_coding_type);
        }
    }

    DiscCheckResult run() {
        checkFolder();
        checkReads();
        checkReferences();
        checkCommands();
        for (const DiscPlayList& playlist : m_disc.playlists)
            if (playlist.read.usable()) checkPlayList(playlist);
        checkClips();
        checkMenus();
        checkUnreferenced();
        return {std::move(m_findings)};
    }

private:
    void add(std::string code, Severity severity, std::string file, RecordPath where, std::string message) {
        m_findings.push_back(
            {severity, std::move(code), std::move(file), std::move(where), std::move(message)});
    }

    std::string playlistFile(const std::string& name) const {
        return inFolder("PLAYLIST", name + m_disc.names.PlayListExt);
    }
    std::string clipFile(const std::string& name) const {
        return inFolder("CLIPINF", name + m_disc.names.ClipInfoExt);
    }

    void checkFolder() {
        for (const std::string& folder : m_disc.missingFolders) {
            if (folder == "BACKUP")
                add("backup-folder-missing", Severity::Warning, folder, {},
                    "The BACKUP folder is missing; players fall back on it when a navigation file is "
                    "damaged.");
            else
                add("required-file-missing", Severity::Error, folder, {},
                    "The " + folder + " folder is missing.");
        }
        if (!m_disc.indexPresent)
            add("required-file-missing", Severity::Error, m_disc.names.IndexName, {},
                m_disc.names.IndexName + " is missing.");
        if (!m_disc.mobjPresent)
            add("required-file-missing", Severity::Error, m_disc.names.MovieObjectName, {},
                m_disc.names.MovieObjectName + " is missing.");
        if (!m_disc.streamFolderPresent && !m_disc.clips.empty())
            add("stream-folder-missing", Severity::Warning, "STREAM", {},
                "There is no STREAM folder: no clip has its stream file.");
        for (const DiscStrayFile& stray : m_disc.strayFiles) {
            const std::string file = inFolder(stray.folder, stray.name);
            const std::string otherExt = otherExtension(stray.folder);
            if (!otherExt.empty() && stray.name.size() > otherExt.size() &&
                upperCase(stray.name.substr(stray.name.size() - otherExt.size())) == upperCase(otherExt))
                add("name-set-mixed", Severity::Warning, file, {},
                    stray.name + " has the extension of the other file-name set than " +
                        m_disc.names.IndexName + ".");
            else if (upperCase(stray.name).find(".BACKUP") != std::string::npos ||
                     upperCase(stray.name).find(".BAK") != std::string::npos || stray.name.back() == '~')
                add("backup-file-in-scanned-folder", Severity::Warning, file, {},
                    stray.name + " is a backup copy in " + stray.folder +
                        ", where players that list the folder take it for a disc file.");
            else
                add("file-name-invalid", Severity::Warning, file, {},
                    stray.name + " in " + stray.folder + " is not named as five digits and the extension " +
                        folderExtension(stray.folder) + ".");
        }
        for (const std::string& name : m_disc.otherNameSetFiles)
            add("name-set-mixed", Severity::Warning, name, {},
                name + " belongs to the other file-name set than " + m_disc.names.IndexName + ".");
    }

    std::string otherExtension(const std::string& folder) const {
        const FileNameSet other = fileNameSet(m_disc.names.IndexName != "INDEX.BDM");
        if (folder == "PLAYLIST") return other.PlayListExt;
        if (folder == "CLIPINF") return other.ClipInfoExt;
        if (folder == "STREAM") return other.StreamExt;
        return {};
    }

    std::string folderExtension(const std::string& folder) const {
        if (folder == "PLAYLIST") return m_disc.names.PlayListExt;
        if (folder == "CLIPINF") return m_disc.names.ClipInfoExt;
        if (folder == "STREAM") return m_disc.names.StreamExt;
        return ".bdjo";
    }

    void checkRead(const DiscFileRead& read, const std::string& file, bool present) {
        if (present && read.endedEarly)
            add("file-damaged", Severity::Warning, file, {},
                file + " ends before the objects and commands it counts; the missing ones read as empty.");
        if (!present || read.usable()) return;
        if (read.status == ReadStatus::Damaged) {
            add("file-damaged", Severity::Error, file, {},
                file + " is damaged" + (read.message.empty() ? "." : ": " + read.message));
        } else if (read.unknownVersion) {
            add("file-refused", Severity::Warning, file, {},
                file + " has a version this program does not read; it is left out of the check.");
        } else {
            add("file-refused", Severity::Error, file, {},
                file + " was refused" + (read.message.empty() ? "." : ": " + read.message));
        }
    }

    void checkReads() {
        checkRead(m_disc.indexRead, m_disc.names.IndexName, m_disc.indexPresent);
        checkRead(m_disc.mobjRead, m_disc.names.MovieObjectName, m_disc.mobjPresent);
        for (const DiscPlayList& p : m_disc.playlists) checkRead(p.read, playlistFile(p.name), true);
        for (const DiscClip& c : m_disc.clips) checkRead(c.read, clipFile(c.name), true);
        for (const DiscBdjo& b : m_disc.bdjos) checkRead(b.read, inFolder("BDJO", b.name + ".bdjo"), true);
        checkRead(m_disc.soundRead, inFolder("AUXDATA", "sound.bdmv"), m_disc.soundPresent);
        for (const DiscMenu& menu : m_disc.menus)
            if (menu.read.status == ReadStatus::Damaged || menu.read.status == ReadStatus::FormatError ||
                menu.read.status == ReadStatus::FileError)
                add("file-damaged", Severity::Error, inFolder("STREAM", menu.clip + m_disc.names.StreamExt),
                    RecordPath{}.then("menu", menu.clip + " PID " + hexText(menu.pid, 4)),
                    "The IG menu of PID " + hexText(menu.pid, 4) + " could not be read whole" +
                        (menu.read.message.empty() ? "." : ": " + menu.read.message));
    }

    bool mobjKnown() const { return m_disc.mobjRead.usable(); }
    bool indexKnown() const { return m_disc.indexRead.usable(); }

    void checkReferences() {
        const std::size_t objects = m_disc.mobj.MovieObjects.mobjs.size();
        const std::size_t titles = m_disc.index.Indexes.titles.size();
        for (const DiscReference& ref : m_refs.refs) {
            switch (ref.target) {
            case RefTarget::Object:
                if (mobjKnown() && ref.number >= objects)
                    add("object-ref-missing", Severity::Error, ref.file, ref.where,
                        ref.by + " refers to movie object " + std::to_string(ref.number) +
                            ", but there are " + std::to_string(objects) + " objects.");
                break;
            case RefTarget::Bdjo:
                if (!m_disc.bdjo(ref.bdjoName))
                    add("bdjo-missing", Severity::Error, ref.file, ref.where,
                        ref.by + " is played by BD-J object " + ref.bdjoName + ".bdjo, which is missing.");
                break;
            case RefTarget::Title:
                if (indexKnown() && ref.number > titles && ref.number != FirstPlaybackTitleNumber)
                    add("title-ref-missing", Severity::Error, ref.file, ref.where,
                        ref.by + " jumps to title " + std::to_string(ref.number) + ", but the disc has " +
                            std::to_string(titles) + " titles.");
                break;
            case RefTarget::PlayList:
                checkPlayListRef(ref);
                break;
            }
        }
    }

    void checkPlayListRef(const DiscReference& ref) {
        const std::string name = ref.bdjoName.empty() ? discFileNumber(ref.number) : ref.bdjoName;
        const DiscPlayList* playlist = m_disc.playlist(name);
        if (!playlist) {
            add("playlist-missing", Severity::Error, ref.file, ref.where,
                ref.by + " plays playlist " + name + ", which is missing.");
            return;
        }
        if (!playlist->read.usable()) return;
        const auto& items = playlist->mpls.PlayList.PlayItems;
        if (ref.item && *ref.item >= items.size())
            add("playitem-ref-missing", Severity::Error, ref.file, ref.where,
                ref.by + " plays PlayItem " + std::to_string(*ref.item) + " of playlist " + name +
                    ", which has " + std::to_string(items.size()) + ".");
        const auto& marks = playlist->mpls.PlayListMark.marks;
        if (ref.mark && *ref.mark >= marks.size())
            add("mark-ref-missing", Severity::Error, ref.file, ref.where,
                ref.by + " plays from mark " + std::to_string(*ref.mark) + " of playlist " + name +
                    ", which has " + std::to_string(marks.size()) + ".");
    }

    void checkCommands() {
        for (const CommandSite& site : commandSites(m_disc)) {
            if (site.context == CommandContext::MovieObject && !mobjKnown()) continue;
            const auto& commands = *site.commands;
            for (std::size_t l = 0; l < commands.size(); ++l) {
                const TNavCommand& command = commands[l];
                const RecordPath where = site.where.then("line", static_cast<std::int64_t>(l));
                if (command.opcode != 0 &&
                    (!isValidOpcode(command.opcode) || isForbidden(command.opcode, site.context))) {
                    add("command-invalid", Severity::Warning, site.file, where,
                        site.by + " line " + std::to_string(l) + " holds opcode " +
                            hexText(command.opcode, 8) +
                            (isValidOpcode(command.opcode) ? ", which is not allowed here."
                                                           : ", which is no navigation command."));
                    continue;
                }
                if (navOperation(command.opcode) == NavOperation::GoTo &&
                    destinationIsImmediate(command.opcode) && command.destination >= commands.size())
                    add("goto-past-end", Severity::Error, site.file, where,
                        site.by + " line " + std::to_string(l) + " goes to line " +
                            std::to_string(command.destination) + ", past its last line " +
                            std::to_string(commands.size() - 1) + ".");
            }
        }
    }

    // The clip's presentation times on the STC sequence a PlayItem refers to.
    const TSTCSequence* stcSequence(const TCLPI& clpi, std::uint8_t stc) const {
        std::size_t n = 0;
        for (const TATC_sequences& atc : clpi.SequenceInfo.ATC_sequences)
            for (const TSTCSequence& sequence : atc.STC_sequences)
                if (n++ == stc) return &sequence;
        return nullptr;
    }

    void checkClipRef(const std::string& clip, const std::string& file, const RecordPath& where,
                      const std::string& what) {
        if (!m_disc.clip(clip))
            add("clip-missing", Severity::Error, file, where,
                what + " plays clip " + clip + ", which is missing.");
    }

    void checkStn(const DiscPlayList& playlist, const TPlayItem& item, const RecordPath& itemPath,
                  const std::string& file) {
        const auto& paths = playlist.mpls.PlayList.SubPaths;
        for (int list = 0; list < StnListCount; ++list) {
            for (std::size_t i = 0; i < stnListSize(item.STN, list); ++i) {
                const TStreamEntry& entry = *stnEntry(item.STN, list, i);
                const std::string label = "STN " + std::string(StnHeaders[static_cast<std::size_t>(list)]);
                const RecordPath where = itemPath.then(label, static_cast<std::int64_t>(i + 1));
                const std::string what = "Stream " + std::string(StnHeaders[static_cast<std::size_t>(list)]) +
                                         " " + std::to_string(i + 1) + " of PlayItem " +
                                         std::to_string(itemPath.steps.back().index);
                std::string clip = item.Clip_Information_file_name;
                std::uint16_t pid = entry.ref_to_stream_PID_of_mainClip;
                if (entry.stream_type == static_cast<std::uint8_t>(StreamEntryType::SubPath) ||
                    entry.stream_type == static_cast<std::uint8_t>(StreamEntryType::InMuxPiP)) {
                    if (entry.ref_to_SubPath_id >= paths.size()) {
                        add("stn-subpath-missing", Severity::Error, file, where,
                            what + " refers to SubPath " + std::to_string(entry.ref_to_SubPath_id) +
                                ", but the playlist has " + std::to_string(paths.size()) + ".");
                        continue;
                    }
                    if (entry.stream_type == static_cast<std::uint8_t>(StreamEntryType::SubPath)) {
                        const TSubPath& path = paths[entry.ref_to_SubPath_id];
                        if (path.SubPlayItems.empty()) continue;
                        const TSubPlayItem& sub = path.SubPlayItems[0];
                        clip =
                            entry.ref_to_subClip_entry_id < sub.Clip_entries.size()
                                ? sub.Clip_entries[entry.ref_to_subClip_entry_id].Clip_Information_file_name
                                : sub.Clip_Information_file_name;
                        pid = entry.ref_to_stream_PID_of_subClip;
                    }
                } else if (entry.stream_type != static_cast<std::uint8_t>(StreamEntryType::PlayItem)) {
                    continue;
                }
                const DiscClip* c = m_disc.clip(clip);
                if (!c || !c->read.usable() || c->clpi.ProgramInfo.program_sequences.empty()) continue;
                const auto& pids = m_clipPids.at(clip);
                const auto found = pids.find(pid);
                if (found == pids.end())
                    add("stn-pid-not-in-clip", Severity::Error, file, where,
                        what + " names PID " + hexText(pid, 4) + ", which clip " + clip + " does not carry.");
                else if (found->second != entry.stream_coding_type)
                    add("stn-coding-mismatch", Severity::Warning, file, where,
                        what + " says " + codingText(entry.stream_coding_type) + " for PID " +
                            hexText(pid, 4) + ", clip " + clip + " says " + codingText(found->second) + ".");
            }
        }
    }

    static std::string codingText(std::uint8_t coding) {
        const std::string_view name = codingTypeName(coding);
        return name.empty() ? hexText(coding, 2) : std::string(name);
    }

    void checkPlayList(const DiscPlayList& playlist) {
        const std::string file = playlistFile(playlist.name);
        const RecordPath base = RecordPath{}.then("playlist", playlist.name);
        const auto& items = playlist.mpls.PlayList.PlayItems;
        for (std::size_t i = 0; i < items.size(); ++i) {
            const TPlayItem& item = items[i];
            const RecordPath where = base.then("PlayItem", static_cast<std::int64_t>(i));
            const std::string what = "PlayItem " + std::to_string(i);
            checkClipRef(item.Clip_Information_file_name, file, where, what);
            if (item.is_multi_angle)
                for (std::size_t a = 1; a < item.multi_clip.angles.size(); ++a)
                    checkClipRef(item.multi_clip.angles[a].Clip_Information_file_name, file,
                                 where.then("angle", static_cast<std::int64_t>(a + 1)),
                                 what + " angle " + std::to_string(a + 1));
            if (item.OUT_time <= item.IN_time) {
                add("playitem-empty", Severity::Error, file, where,
                    what + " ends at " + timeText45(item.OUT_time) + ", not after its IN time " +
                        timeText45(item.IN_time) + ".");
            } else if (const DiscClip* clip = m_disc.clip(item.Clip_Information_file_name);
                       clip && clip->read.usable()) {
                const TSTCSequence* stc = stcSequence(clip->clpi, item.ref_to_STC_id);
                if (!stc)
                    add("playitem-outside-clip", Severity::Error, file, where,
                        what + " refers to STC sequence " + std::to_string(item.ref_to_STC_id) + " of clip " +
                            clip->name + ", which has no such sequence.");
                else if (item.IN_time < stc->presentation_start_time ||
                         item.OUT_time > stc->presentation_end_time)
                    add("playitem-outside-clip", Severity::Error, file, where,
                        what + " plays " + timeText45(item.IN_time) + " to " + timeText45(item.OUT_time) +
                            ", outside clip " + clip->name + "'s presentation " +
                            timeText45(stc->presentation_start_time) + " to " +
                            timeText45(stc->presentation_end_time) + ".");
            }
            checkStn(playlist, item, where, file);
        }
        const auto& paths = playlist.mpls.PlayList.SubPaths;
        for (std::size_t p = 0; p < paths.size(); ++p)
            for (std::size_t s = 0; s < paths[p].SubPlayItems.size(); ++s) {
                const TSubPlayItem& sub = paths[p].SubPlayItems[s];
                const RecordPath where = base.then("SubPath", static_cast<std::int64_t>(p))
                                             .then("SubPlayItem", static_cast<std::int64_t>(s));
                const std::string what = "SubPath " + std::to_string(p) + " SubPlayItem " + std::to_string(s);
                checkClipRef(sub.Clip_Information_file_name, file, where, what);
                for (std::size_t c = 1; c < sub.Clip_entries.size(); ++c)
                    checkClipRef(sub.Clip_entries[c].Clip_Information_file_name, file, where, what);
            }
        const auto& marks = playlist.mpls.PlayListMark.marks;
        for (std::size_t m = 0; m < marks.size(); ++m) {
            const TMarkEntry& mark = marks[m];
            const RecordPath where = base.then("mark", static_cast<std::int64_t>(m));
            if (mark.ref_to_PlayItem_id >= items.size()) {
                add("mark-outside-playitems", Severity::Error, file, where,
                    "Mark " + std::to_string(m) + " refers to PlayItem " +
                        std::to_string(mark.ref_to_PlayItem_id) + ", but the playlist has " +
                        std::to_string(items.size()) + ".");
                continue;
            }
            const TPlayItem& item = items[mark.ref_to_PlayItem_id];
            if (mark.mark_time_stamp < item.IN_time || mark.mark_time_stamp > item.OUT_time)
                add("mark-outside-playitems", Severity::Error, file, where,
                    "Mark " + std::to_string(m) + " at " + timeText45(mark.mark_time_stamp) +
                        " lies outside PlayItem " + std::to_string(mark.ref_to_PlayItem_id) + " (" +
                        timeText45(item.IN_time) + " to " + timeText45(item.OUT_time) + ").");
        }
    }

    void checkClips() {
        for (const DiscClip& clip : m_disc.clips) {
            const std::string file = clipFile(clip.name);
            if (clip.stream.stream_file_name.empty()) {
                if (m_disc.streamFolderPresent)
                    add("stream-file-missing", Severity::Error, file, RecordPath{}.then("clip", clip.name),
                        "Clip " + clip.name + " has no stream file " + clip.name + m_disc.names.StreamExt +
                            ".");
                continue;
            }
            if (!clip.read.usable()) continue;
            const std::uint64_t expected =
                static_cast<std::uint64_t>(clip.clpi.ClipInfo.number_of_source_packets) * SourcePacketSize;
            if (expected != static_cast<std::uint64_t>(clip.stream.stream_file_size))
                add("stream-size-mismatch", Severity::Warning, file, RecordPath{}.then("clip", clip.name),
                    "Clip " + clip.name + " counts " +
                        std::to_string(clip.clpi.ClipInfo.number_of_source_packets) + " source packets (" +
                        std::to_string(expected) + " bytes), but " + clip.stream.stream_file_name +
                        " holds " + std::to_string(clip.stream.stream_file_size) + " bytes.");
        }
    }

    void checkMenus() {
        const bool soundsKnown = !m_disc.soundPresent || m_disc.soundRead.usable();
        const std::size_t sounds = m_disc.sound.SoundIndex.entries.size();
        for (const DiscMenu& menu : m_disc.menus) {
            const std::string file = inFolder("STREAM", menu.clip + m_disc.names.StreamExt);
            const RecordPath base = RecordPath{}.then("menu", menu.clip + " PID " + hexText(menu.pid, 4));
            for (const TPage& page : menu.menu.IGSc.pages) {
                std::set<std::uint16_t> ids;
                for (const TBOG& bog : page.BOGs)
                    for (const TIGbutton& button : bog.buttons) ids.insert(button.button_id);
                const RecordPath pagePath = base.then("page", page.page_id);
                const std::string pageText = menuLabel(menu) + " page " + std::to_string(page.page_id);
                for (const std::uint16_t id : {page.default_selected_button_id_ref})
                    if (id != NoButton && ids.count(id) == 0)
                        add("default-button-missing", Severity::Warning, file, pagePath,
                            pageText + " selects button " + std::to_string(id) +
                                " first, which it does not hold.");
                for (const TBOG& bog : page.BOGs)
                    for (const TIGbutton& button : bog.buttons) {
                        const RecordPath where = pagePath.then("button", button.button_id);
                        const std::string what = pageText + " button " + std::to_string(button.button_id);
                        const std::pair<const char*, std::uint16_t> neighbours[] = {
                            {"upper", button.upper_button_id_ref},
                            {"lower", button.lower_button_id_ref},
                            {"left", button.left_button_id_ref},
                            {"right", button.right_button_id_ref}};
                        for (const auto& [side, id] : neighbours)
                            if (ids.count(id) == 0)
                                add("button-neighbour-missing", Severity::Error, file, where,
                                    what + " has " + side + " neighbour " + std::to_string(id) +
                                        ", which is no button of the page.");
                        if (!soundsKnown) continue;
                        for (const std::uint16_t sound :
                             {button.selected_state_sound_id_ref, button.activated_state_sound_id_ref})
                            if (sound != NoSound && sound >= sounds)
                                add("sound-id-missing", Severity::Error, file, where,
                                    what + " plays sound " + std::to_string(sound) + ", but " +
                                        (m_disc.soundPresent ? "sound.bdmv holds " + std::to_string(sounds)
                                                             : std::string("there is no sound.bdmv")) +
                                        ".");
                    }
            }
            checkMenuLimits(menu, file, base);
        }
    }

    // The format limits of a menu read whole. Neighbours and default buttons are checked
    // above; counts and lengths cannot be over their fields in a menu read from its stream.
    void checkMenuLimits(const DiscMenu& menu, const std::string& file, const RecordPath& base) {
        if (!menu.read.usable()) return; // reported as file-damaged
        for (const MenuLimitFinding& finding : menuLimitFindings(menu.menu)) {
            const bool known =
                std::any_of(FindingCodes.begin(), FindingCodes.end(),
                            [&](const FindingCode& code) { return code.code == finding.code; });
            if (!known) continue;
            RecordPath where = base;
            for (const auto& [kind, index] : finding.where) where = where.then(kind, index);
            add(finding.code, finding.error ? Severity::Error : Severity::Warning, file, where,
                menuLabel(menu) + ": " + finding.message);
        }
    }

    void checkUnreferenced() {
        std::unordered_set<std::string> played;
        std::vector<bool> objectUsed(m_disc.mobj.MovieObjects.mobjs.size(), false);
        for (const DiscReference& ref : m_refs.refs) {
            if (ref.target == RefTarget::PlayList)
                played.insert(ref.bdjoName.empty() ? discFileNumber(ref.number) : ref.bdjoName);
            if (ref.target == RefTarget::Object && ref.number < objectUsed.size() &&
                (!ref.fromObject || *ref.fromObject != ref.number))
                objectUsed[ref.number] = true;
        }
        const bool navigationKnown = mobjKnown() && indexKnown() &&
                                     std::all_of(m_disc.bdjos.begin(), m_disc.bdjos.end(),
                                                 [](const DiscBdjo& b) { return b.read.usable(); });
        if (navigationKnown)
            for (const DiscPlayList& playlist : m_disc.playlists)
                if (played.count(playlist.name) == 0)
                    add("playlist-unreferenced",
                        m_refs.playlistByRegister ? Severity::Info : Severity::Warning,
                        playlistFile(playlist.name), RecordPath{}.then("playlist", playlist.name),
                        "No title, movie object, menu button or BD-J object plays playlist " + playlist.name +
                            (m_refs.playlistByRegister ? " by number (some play a playlist from a register)."
                                                       : "."));
        if (std::all_of(m_disc.playlists.begin(), m_disc.playlists.end(),
                        [](const DiscPlayList& p) { return p.read.usable(); })) {
            std::unordered_set<std::string> used;
            for (const DiscPlayList& playlist : m_disc.playlists) {
                for (const TPlayItem& item : playlist.mpls.PlayList.PlayItems) {
                    used.insert(item.Clip_Information_file_name);
                    for (const TClipEntry& angle : item.multi_clip.angles)
                        used.insert(angle.Clip_Information_file_name);
                }
                for (const TSubPath& path : playlist.mpls.PlayList.SubPaths)
                    for (const TSubPlayItem& sub : path.SubPlayItems) {
                        used.insert(sub.Clip_Information_file_name);
                        for (const TClipEntry& entry : sub.Clip_entries)
                            used.insert(entry.Clip_Information_file_name);
                    }
            }
            for (const DiscClip& clip : m_disc.clips)
                if (used.count(clip.name) == 0)
                    add("clip-unreferenced", Severity::Warning, clipFile(clip.name),
                        RecordPath{}.then("clip", clip.name), "No playlist plays clip " + clip.name + ".");
        }
        if (navigationKnown && !m_refs.objectByRegister)
            for (std::size_t o = 0; o < objectUsed.size(); ++o)
                if (!objectUsed[o])
                    add("object-unreferenced", Severity::Info, m_disc.names.MovieObjectName,
                        RecordPath{}.then("object", static_cast<std::int64_t>(o)),
                        "No title or command reaches movie object " + std::to_string(o) + ".");
    }

    const DiscModel& m_disc;
    DiscReferences m_refs;
    std::set<std::string> m_playlistNames;
    std::map<std::string, std::map<std::uint16_t, std::uint8_t>> m_clipPids;
    std::vector<Finding> m_findings;
};

} // namespace

DiscCheckResult discCheck(const DiscModel& disc) {
    return Checker(disc).run();
}

} // namespace corvane
