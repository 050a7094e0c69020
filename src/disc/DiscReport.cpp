#include "disc/DiscReport.h"

#include <algorithm>
#include <map>
#include <set>

#include "disc/LanguageNames.h"
#include "io/TextUtil.h"
#include "playlist/PlayListDisplay.h"
#include "playlist/PlayListNames.h"

namespace corvane {

namespace {

std::string playlistName(const DiscReference& ref) {
    return ref.bdjoName.empty() ? discFileNumber(ref.number) : ref.bdjoName;
}

void addUnique(std::vector<std::string>& list, const std::string& value) {
    if (std::find(list.begin(), list.end(), value) == list.end()) list.push_back(value);
}

// What each movie object plays and where it jumps or calls, from the references.
struct ObjectGraph {
    std::vector<std::vector<std::string>> playlists;
    std::vector<std::vector<std::size_t>> next;
};

ObjectGraph objectGraph(const DiscModel& disc, const DiscReferences& refs) {
    ObjectGraph graph;
    const std::size_t count = disc.mobj.MovieObjects.mobjs.size();
    graph.playlists.resize(count);
    graph.next.resize(count);
    for (const DiscReference& ref : refs.refs) {
        if (!ref.fromObject || *ref.fromObject >= count) continue;
        if (ref.target == RefTarget::PlayList) addUnique(graph.playlists[*ref.fromObject], playlistName(ref));
        if (ref.target == RefTarget::Object && ref.number < count)
            graph.next[*ref.fromObject].push_back(ref.number);
    }
    return graph;
}

std::vector<std::size_t> reached(const ObjectGraph& graph, std::size_t object, int depth) {
    std::vector<std::size_t> order;
    if (object >= graph.next.size()) return order;
    std::vector<bool> seen(graph.next.size(), false);
    std::vector<std::size_t> level = {object};
    seen[object] = true;
    for (int d = 0; d <= depth && !level.empty(); ++d) {
        std::vector<std::size_t> following;
        for (std::size_t o : level) {
            order.push_back(o);
            for (std::size_t n : graph.next[o])
                if (!seen[n]) {
                    seen[n] = true;
                    following.push_back(n);
                }
        }
        level = std::move(following);
    }
    return order;
}

std::string objectTypeText(std::uint8_t type) {
    if (type == ObjectTypeHDMV) return "HDMV";
    if (type == ObjectTypeBDJ) return "BD-J";
    return std::to_string(type);
}

TitleReport titleReport(const DiscModel& disc, const ObjectGraph& graph, const TTitleEntry& entry,
                        RecordPath where) {
    TitleReport title;
    title.label = titleLabel(entry.title_number);
    title.title_number = entry.title_number;
    title.object_type = objectTypeText(entry.object_type);
    title.where = std::move(where);
    if (entry.object_type == ObjectTypeBDJ) {
        title.bdjo = entry.bdjo_file_name;
        if (const DiscBdjo* bdjo = disc.bdjo(entry.bdjo_file_name))
            title.playlists = bdjo->bdjo.TableOfAccessiblePlayLists.PlayList_file_names;
    } else if (entry.object_type == ObjectTypeHDMV && entry.mobj_id_ref != NoObject) {
        title.object = entry.mobj_id_ref;
        for (std::size_t o : reached(graph, entry.mobj_id_ref, TitleFollowDepth))
            for (const std::string& name : graph.playlists[o]) addUnique(title.playlists, name);
    }
    return title;
}

std::string streamType(int list) {
    switch (list) {
    case ListPrimaryVideo:
        return "video";
    case ListPrimaryAudio:
        return "audio";
    case ListPG:
        return "pg";
    case ListIG:
        return "ig";
    case ListSecondaryVideo:
        return "secondary video";
    case ListSecondaryAudio:
        return "secondary audio";
    default:
        return "pip pg";
    }
}

StreamReport streamReport(const TStreamEntry& entry, int list, int number) {
    StreamReport stream;
    stream.type = streamType(list);
    stream.number = number;
    stream.pid = entry.stream_type == static_cast<std::uint8_t>(StreamEntryType::SubPath)
                     ? entry.ref_to_stream_PID_of_subClip
                     : entry.ref_to_stream_PID_of_mainClip;
    stream.coding = entry.stream_coding_type;
    stream.codingName = std::string(codingTypeName(entry.stream_coding_type));
    switch (attributeKind(entry.stream_coding_type)) {
    case AttributeKind::Video:
        stream.format = std::string(videoFormatName(entry.video_format));
        stream.rate = std::string(frameRateName(entry.frame_rate));
        break;
    case AttributeKind::Audio:
        stream.format = std::string(audioPresentationName(entry.audio_presentation_type));
        stream.rate = std::string(samplingFrequencyName(entry.sampling_frequency));
        stream.language = entry.language_code;
        break;
    case AttributeKind::Graphics:
    case AttributeKind::Text:
        stream.language = entry.language_code;
        break;
    default:
        break;
    }
    stream.languageName = std::string(languageName(stream.language));
    return stream;
}

PlayListReport playListReport(const DiscModel& disc, const DiscPlayList& playlist) {
    PlayListReport report;
    report.name = playlist.name;
    report.read = playlist.read;
    const TPlayList& list = playlist.mpls.PlayList;
    std::vector<std::uint64_t> itemStart;
    std::set<std::string> clips;
    for (const TPlayItem& item : list.PlayItems) {
        itemStart.push_back(report.duration);
        PlayItemReport row;
        row.clip = item.Clip_Information_file_name;
        row.IN_time = item.IN_time;
        row.OUT_time = item.OUT_time;
        clips.insert(row.clip);
        if (item.is_multi_angle) {
            report.angles = std::max<int>(report.angles, static_cast<int>(item.multi_clip.angles.size()));
            for (std::size_t a = 1; a < item.multi_clip.angles.size(); ++a) {
                row.angleClips.push_back(item.multi_clip.angles[a].Clip_Information_file_name);
                clips.insert(row.angleClips.back());
            }
        }
        if (item.OUT_time > item.IN_time) report.duration += item.OUT_time - item.IN_time;
        report.items.push_back(std::move(row));
    }
    for (const TMarkEntry& mark : playlist.mpls.PlayListMark.marks) {
        if (mark.mark_type != static_cast<std::uint8_t>(MarkType::EntryMark)) continue;
        if (mark.ref_to_PlayItem_id >= list.PlayItems.size()) continue;
        const TPlayItem& item = list.PlayItems[mark.ref_to_PlayItem_id];
        const std::int64_t offset = static_cast<std::int64_t>(mark.mark_time_stamp) - item.IN_time;
        const std::int64_t start = static_cast<std::int64_t>(itemStart[mark.ref_to_PlayItem_id]) + offset;
        report.chapters.push_back(
            {static_cast<std::uint64_t>(std::max<std::int64_t>(0, start)), 0, mark.ref_to_PlayItem_id});
    }
    for (std::size_t c = 0; c < report.chapters.size(); ++c) {
        const std::uint64_t end =
            c + 1 < report.chapters.size() ? report.chapters[c + 1].start : report.duration;
        report.chapters[c].length = end > report.chapters[c].start ? end - report.chapters[c].start : 0;
    }
    if (!list.PlayItems.empty()) {
        const TSTN& stn = list.PlayItems[0].STN;
        for (int l : {ListPrimaryVideo, ListPrimaryAudio, ListPG, ListIG, ListSecondaryVideo,
                      ListSecondaryAudio, ListPiPPG})
            for (std::size_t i = 0; i < stnListSize(stn, l); ++i)
                report.streams.push_back(streamReport(*stnEntry(stn, l, i), l, static_cast<int>(i + 1)));
    }
    for (const TSubPath& path : list.SubPaths) {
        SubPathReport sub;
        sub.type = std::string(subPathTypeName(path.SubPath_type));
        if (sub.type.empty()) sub.type = std::to_string(path.SubPath_type);
        for (const TSubPlayItem& item : path.SubPlayItems)
            sub.clips.push_back(item.Clip_Information_file_name);
        report.subPaths.push_back(std::move(sub));
    }
    std::int64_t size = 0;
    for (const std::string& name : clips) {
        const DiscClip* clip = disc.clip(name);
        if (!clip || clip->stream.stream_file_name.empty()) {
            size = -1;
            break;
        }
        size += clip->stream.stream_file_size;
    }
    report.size = clips.empty() ? -1 : size;
    return report;
}

ClipReport clipReport(const DiscClip& clip) {
    ClipReport report;
    report.name = clip.name;
    report.read = clip.read;
    report.packets = clip.clpi.ClipInfo.number_of_source_packets;
    for (const TATC_sequences& atc : clip.clpi.SequenceInfo.ATC_sequences)
        for (const TSTCSequence& stc : atc.STC_sequences)
            if (stc.presentation_end_time > stc.presentation_start_time)
                report.duration += stc.presentation_end_time - stc.presentation_start_time;
    if (!clip.clpi.ProgramInfo.program_sequences.empty())
        for (const TStreamCodingInfo& stream : clip.clpi.ProgramInfo.program_sequences[0].streams)
            report.streams.push_back({stream.stream_PID, stream.stream_coding_type,
                                      std::string(codingTypeName(stream.stream_coding_type)),
                                      stream.language_code});
    report.streamFile = clip.stream.stream_file_name;
    report.size = report.streamFile.empty() ? -1 : clip.stream.stream_file_size;
    return report;
}

// LPCM at 48 kHz, 16 bits per sample: milliseconds of one sound.
std::uint64_t soundMilliseconds(const TSoundEntries& entry) {
    const std::uint64_t channels = entry.channel_configuration == 1 ? 1 : 2;
    return static_cast<std::uint64_t>(entry.sound_data_length) * 1000 / (channels * 2 * 48000);
}

} // namespace

std::vector<std::size_t> reachedObjects(const TMOBJ& mobj, std::size_t object, int depth) {
    DiscModel disc;
    disc.mobj = mobj;
    return reached(objectGraph(disc, collectReferences(disc)), object, depth);
}

DiscReport discReport(const DiscModel& disc) {
    DiscReport report;
    report.BDMVdir = disc.BDMVdir;
    report.indexRead = disc.indexRead;
    report.mobjRead = disc.mobjRead;
    const DiscReferences refs = collectReferences(disc);
    const ObjectGraph graph = objectGraph(disc, refs);

    const TIndexes& indexes = disc.index.Indexes;
    if (disc.indexRead.usable() || disc.indexRead.status == ReadStatus::Damaged) {
        report.titles.push_back(
            titleReport(disc, graph, indexes.first_playback, RecordPath{}.then("title", "First Playback")));
        report.titles.push_back(
            titleReport(disc, graph, indexes.top_menu, RecordPath{}.then("title", "Top Menu")));
        for (const TTitleEntry& title : indexes.titles)
            report.titles.push_back(
                titleReport(disc, graph, title, RecordPath{}.then("title", title.title_number)));
    }

    std::map<std::string, std::vector<std::string>> users;
    for (const TitleReport& title : report.titles)
        for (const std::string& name : title.playlists) addUnique(users[name], title.label);
    for (const DiscReference& ref : refs.refs)
        if (ref.target == RefTarget::PlayList) addUnique(users[playlistName(ref)], ref.by);

    for (const DiscPlayList& playlist : disc.playlists) {
        report.playlists.push_back(playListReport(disc, playlist));
        const auto it = users.find(playlist.name);
        if (it != users.end()) report.playlists.back().referencedBy = it->second;
    }
    for (const DiscClip& clip : disc.clips) report.clips.push_back(clipReport(clip));

    report.sounds.present = disc.soundPresent;
    report.sounds.read = disc.soundRead;
    for (const TSoundEntries& entry : disc.sound.SoundIndex.entries)
        report.sounds.lengths.push_back(soundMilliseconds(entry));

    for (const DiscBdjo& bdjo : disc.bdjos)
        report.bdjos.push_back({bdjo.name, bdjo.read,
                                bdjo.bdjo.TableOfAccessiblePlayLists.PlayList_file_names,
                                bdjo.bdjo.TableOfAccessiblePlayLists.autostart_first_PlayList_flag != 0,
                                bdjo.bdjo.ApplicationManagementTable.applications.size()});

    for (const DiscMenu& menu : disc.menus) {
        MenuReport row{menu.clip, menu.pid, menu.read, menu.menu.IGSc.pages.size(), 0};
        for (const TPage& page : menu.menu.IGSc.pages) row.buttons += pageButtonCount(page);
        report.menus.push_back(row);
    }

    // The main playlist: the longest one a title plays; a tie goes to the larger.
    std::set<std::string> played;
    for (const TitleReport& title : report.titles)
        played.insert(title.playlists.begin(), title.playlists.end());
    PlayListReport* main = nullptr;
    for (PlayListReport& playlist : report.playlists) {
        if (!playlist.read.usable() || played.count(playlist.name) == 0) continue;
        if (!main || playlist.duration > main->duration ||
            (playlist.duration == main->duration && playlist.size > main->size))
            main = &playlist;
    }
    if (main) {
        main->main = true;
        report.mainPlaylist = main->name;
    }
    return report;
}

} // namespace corvane
