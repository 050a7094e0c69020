#include "stream/MenuClip.h"

#include <algorithm>
#include <span>

#include "io/ByteWriter.h"
#include "playlist/PlayListNames.h"
#include "playlist/PlayListWriter.h"
#include "stream/Mux.h"
#include "stream/TransportStream.h"

namespace corvane {

namespace {

constexpr std::uint8_t StreamTypePlayItem = 1;
constexpr std::uint8_t StillWithoutEnd = 1;
constexpr std::uint8_t SequentialPlayback = 1;

// Fixed bytes after each length field of a single-clip PlayItem, STN_table() and
// AppInfoPlayList(), and of one mark.
constexpr std::uint16_t STNFixedBytes = 14;
constexpr std::uint16_t PlayItemFixedBytes = 32;
constexpr std::uint32_t AppInfoBytes = 14;
constexpr std::uint32_t MarkBytes = 14;
constexpr std::uint32_t PlayListHeaderBytes = 40;

} // namespace

TCLPI menuClipInfo(const MuxOutput& muxed, const std::string& language) {
    TCLPI clpi;
    clpi.type_indicator = "HDMV";
    clpi.version_number = "0200";
    TClipInfo& info = clpi.ClipInfo;
    info.Clip_stream_type = 1; // AV stream
    info.application_type = MenuClipApplicationType;
    info.TS_recording_rate = MenuClipRecordingRate;
    info.number_of_source_packets = static_cast<std::uint32_t>(muxed.bytes.size() / SourcePacketSize);
    info.TS_type_info_length = 30;
    info.Validity_flags = 0x80;
    info.Format_identifier = "HDMV";

    TSTCSequence stc;
    stc.PCR_PID = PcrPid;
    stc.presentation_start_time = muxed.firstTimeStamp / 2;
    stc.presentation_end_time = muxed.lastTimeStamp / 2 + MenuClipFrameTicks;
    clpi.SequenceInfo.number_of_ATC_sequences = 1;
    clpi.SequenceInfo.ATC_sequences.push_back({0, 1, 0, {stc}});

    TStreamCodingInfo ig;
    ig.stream_PID = MenuIgPid;
    ig.stream_coding_type = IgCodingType;
    ig.language_code = language;
    clpi.ProgramInfo.number_of_program_sequences = 1;
    clpi.ProgramInfo.program_sequences.push_back({0, PmtPid, 1, 0, {ig}});
    return clpi;
}

TMPLS menuPlayList(const TCLPI& clip, const std::string& clipName) {
    TMPLS mpls;
    mpls.PlayList_playback_type = SequentialPlayback;
    mpls.AppInfo_length = AppInfoBytes;

    TStreamEntry entry;
    entry.stream_type = StreamTypePlayItem;
    entry.ref_to_stream_PID_of_mainClip = MenuIgPid;
    entry.stream_coding_type = IgCodingType;
    for (const auto& sequence : clip.ProgramInfo.program_sequences)
        for (const auto& stream : sequence.streams)
            if (stream.stream_coding_type == IgCodingType) {
                entry.ref_to_stream_PID_of_mainClip = stream.stream_PID;
                entry.language_code = stream.language_code;
            }

    TPlayItem item;
    item.Clip_Information_file_name = clipName;
    item.Clip_codec_identifier = "M2TS";
    item.connection_condition = 1;
    const auto& atcs = clip.SequenceInfo.ATC_sequences;
    if (!atcs.empty() && !atcs.front().STC_sequences.empty()) {
        item.IN_time = atcs.front().STC_sequences.front().presentation_start_time;
        item.OUT_time = atcs.front().STC_sequences.front().presentation_end_time;
    }
    item.still_mode = StillWithoutEnd;
    item.STN.number_of_IG_stream_entries = 1;
    item.STN.IG.push_back(entry);
    item.STN.STN_length = static_cast<std::uint16_t>(STNFixedBytes + streamEntrySize(entry));
    item.PlayItem_length = static_cast<std::uint16_t>(PlayItemFixedBytes + 2 + item.STN.STN_length);

    TPlayList& list = mpls.PlayList;
    list.number_of_PlayItems = 1;
    list.PlayItems.push_back(item);
    list.PlayList_length = 6 + 2 + item.PlayItem_length;

    TMarkEntry mark;
    mark.mark_type = 1; // entry mark
    mark.mark_time_stamp = item.IN_time;
    mark.entry_ES_PID = 0xFFFF;
    mpls.PlayListMark.number_of_PlayList_marks = 1;
    mpls.PlayListMark.marks.push_back(mark);
    mpls.PlayListMark.PlayListMark_length = 2 + MarkBytes;

    mpls.PlayList_start_address = PlayListHeaderBytes + 4 + AppInfoBytes;
    std::uint32_t markStart = mpls.PlayList_start_address + 4 + list.PlayList_length;
    if (markStart % 2) {
        ++list.PlayList_length; // the pad byte before an even offset
        ++markStart;
    }
    mpls.PlayListMark_start_address = markStart;
    return mpls;
}

TMPLS moviePlayList(const std::vector<PlayItemSource>& items, const std::vector<std::uint32_t>& chapters) {
    TMPLS mpls;
    mpls.PlayList_playback_type = SequentialPlayback;
    mpls.AppInfo_length = AppInfoBytes;
    std::vector<std::uint32_t> starts; // playlist time of each PlayItem's start
    std::uint32_t playlistTime = 0;
    for (const PlayItemSource& source : items) {
        TPlayItem item;
        item.Clip_Information_file_name = source.clipName;
        item.Clip_codec_identifier = "M2TS";
        item.connection_condition = 1; // clips encoded apart: not seamless
        item.IN_time = source.IN_time;
        item.OUT_time = source.OUT_time;
        if (source.clip) {
            const auto& atcs = source.clip->SequenceInfo.ATC_sequences;
            if (!atcs.empty() && !atcs.front().STC_sequences.empty()) {
                const auto& stc = atcs.front().STC_sequences.front();
                if (item.IN_time == 0) item.IN_time = stc.presentation_start_time;
                if (item.OUT_time == 0) item.OUT_time = stc.presentation_end_time;
            }
            const auto& programs = source.clip->ProgramInfo.program_sequences;
            for (const TStreamCodingInfo& stream : programs.empty() ? std::span<const TStreamCodingInfo>{}
                                                                    : std::span(programs.front().streams)) {
                TStreamEntry entry;
                entry.stream_type = StreamTypePlayItem;
                entry.ref_to_stream_PID_of_mainClip = stream.stream_PID;
                entry.stream_coding_type = stream.stream_coding_type;
                entry.video_format = stream.video_format;
                entry.frame_rate = stream.frame_rate;
                entry.audio_presentation_type = stream.audio_presentation_type;
                entry.sampling_frequency = stream.sampling_frequency;
                entry.character_code = stream.character_code;
                entry.language_code = stream.language_code;
                switch (attributeKind(stream.stream_coding_type)) {
                case AttributeKind::Video:
                    item.STN.video.push_back(entry);
                    break;
                case AttributeKind::Audio:
                    item.STN.audio.push_back(entry);
                    break;
                case AttributeKind::Graphics:
                    (stream.stream_coding_type == IgCodingType ? item.STN.IG : item.STN.PG).push_back(entry);
                    break;
                case AttributeKind::Text:
                    item.STN.PG.push_back(entry);
                    break;
                case AttributeKind::Unknown:
                    break;
                }
            }
        }
        if (!source.angleClips.empty()) {
            item.is_multi_angle = 1;
            item.multi_clip.angles.push_back({item.Clip_Information_file_name, "M2TS", 0});
            for (const std::string& angle : source.angleClips)
                item.multi_clip.angles.push_back({angle, "M2TS", 0});
        }
        starts.push_back(playlistTime);
        playlistTime += item.OUT_time > item.IN_time ? item.OUT_time - item.IN_time : 0;
        mpls.PlayList.PlayItems.push_back(std::move(item));
    }

    std::vector<std::uint32_t> times(starts);
    for (const std::uint32_t chapter : chapters)
        if (chapter < playlistTime && std::find(times.begin(), times.end(), chapter) == times.end())
            times.push_back(chapter);
    std::sort(times.begin(), times.end());
    for (const std::uint32_t time : times) {
        const std::size_t index = static_cast<std::size_t>(
            std::upper_bound(starts.begin(), starts.end(), time) - starts.begin() - 1);
        TMarkEntry mark;
        mark.mark_type = 1; // entry mark
        mark.ref_to_PlayItem_id = static_cast<std::uint16_t>(index);
        mark.mark_time_stamp = mpls.PlayList.PlayItems[index].IN_time + (time - starts[index]);
        mark.entry_ES_PID = 0xFFFF;
        mpls.PlayListMark.marks.push_back(mark);
    }
    layOutPlayList(mpls);
    return mpls;
}

} // namespace corvane
