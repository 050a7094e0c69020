// Playlists from their dump's JSON. The lengths are recomputed from the records as the
// writer lays them out; the start addresses from the section sizes and the kept padding.

#include <algorithm>
#include <limits>

#include "io/ByteWriter.h"
#include "playlist/PlayListWriter.h"
#include "json/JsonBuild.h"
#include "json/JsonIn.h"

namespace corvane::json {

using in::Object;

namespace {

std::string item(const Object& parent, std::string_view key, std::size_t i) {
    return parent.at(key) + "/" + std::to_string(i);
}

TClipEntry readClip(Object clip) {
    TClipEntry out;
    out.Clip_Information_file_name = clip.text("Clip_Information_file_name", 5);
    out.Clip_codec_identifier = clip.text("Clip_codec_identifier", 4);
    out.ref_to_STC_id = clip.number<std::uint8_t>("ref_to_STC_id");
    clip.finish();
    return out;
}

std::vector<TClipEntry> readClips(Object& parent, std::string_view key) {
    const auto& list = parent.array(key, 255);
    std::vector<TClipEntry> out;
    for (std::size_t i = 0; i < list.size(); ++i)
        out.push_back(readClip(Object(list[i], item(parent, key, i))));
    return out;
}

// A length field: the JSON's value with the lengths kept, else the one computed.
template <class T> T length(Object& object, std::string_view key, std::uint64_t computed, bool keep) {
    const auto held = object.optionalNumber<T>(key, keep);
    if (keep) return *held;
    if (computed > std::numeric_limits<T>::max()) {
        const nlohmann::json found = computed;
        in::fail(object.at(key), "content that fits a " + std::to_string(sizeof(T) * 8) + "-bit length",
                 &found);
    }
    return static_cast<T>(computed);
}

TStreamEntry readEntry(Object entry, bool keep) {
    TStreamEntry out;
    out.stream_type = entry.number<std::uint8_t>("stream_type");
    out.ref_to_stream_PID_of_mainClip = entry.number<std::uint16_t>("ref_to_stream_PID_of_mainClip");
    out.ref_to_stream_PID_of_subClip = entry.number<std::uint16_t>("ref_to_stream_PID_of_subClip");
    out.ref_to_SubPath_id = entry.number<std::uint8_t>("ref_to_SubPath_id");
    out.ref_to_subClip_entry_id = entry.number<std::uint8_t>("ref_to_subClip_entry_id");
    out.entry_rest = entry.bytes("entry_rest");
    out.stream_coding_type = entry.number<std::uint8_t>("stream_coding_type");
    out.video_format = entry.bits("video_format", 4);
    out.frame_rate = entry.bits("frame_rate", 4);
    out.audio_presentation_type = entry.bits("audio_presentation_type", 4);
    out.sampling_frequency = entry.bits("sampling_frequency", 4);
    out.language_code = entry.text("language_code", 3);
    out.character_code = entry.number<std::uint8_t>("character_code");
    out.dynamic_range_type = entry.bits("dynamic_range_type", 4);
    out.color_space = entry.bits("color_space", 4);
    out.cr_flag = entry.bits("cr_flag", 1);
    out.HDR_plus_flag = entry.bits("HDR_plus_flag", 1);
    out.attributes_rest = entry.bytes("attributes_rest");
    ByteWriter scratch;
    const std::size_t entrySize = writeentry(scratch, 0, out);
    const std::size_t attributesSize = writeattrib(scratch, 0, out);
    out.entry_length = length<std::uint8_t>(entry, "entry_length", entrySize - 1, keep);
    out.attributes_length = length<std::uint8_t>(entry, "attributes_length", attributesSize - 1, keep);
    entry.finish();
    return out;
}

std::vector<TStreamEntry> readEntries(Object& stn, std::string_view key, std::size_t most, bool keep) {
    const auto& list = stn.array(key, most);
    std::vector<TStreamEntry> out;
    for (std::size_t i = 0; i < list.size(); ++i)
        out.push_back(readEntry(Object(list[i], item(stn, key, i)), keep));
    return out;
}

std::vector<std::uint8_t> readRefs(Object& object, std::string_view key, std::string_view countKey,
                                   bool keep) {
    const auto& list = object.array(key, 255);
    std::vector<std::uint8_t> out;
    for (std::size_t i = 0; i < list.size(); ++i)
        out.push_back(static_cast<std::uint8_t>(in::integer(&list[i], item(object, key, i), 255)));
    in::checkCount(object, countKey, out.size(), keep);
    return out;
}

template <class Record> std::size_t sizeOf(const Record& record, void (*append)(ByteWriter&, const Record&)) {
    ByteWriter scratch;
    append(scratch, record);
    return scratch.fill();
}

TSTN readSTN(Object stn, bool keep) {
    TSTN out;
    out.STN_reserved = stn.number<std::uint16_t>("STN_reserved");
    out.video = readEntries(stn, "video", 255, keep);
    out.audio = readEntries(stn, "audio", 255, keep);
    out.PG = readEntries(stn, "PG", 510, keep);
    out.IG = readEntries(stn, "IG", 255, keep);
    const auto& secAudio = stn.array("sec_audio", 255);
    for (std::size_t i = 0; i < secAudio.size(); ++i) {
        Object a(secAudio[i], item(stn, "sec_audio", i));
        TSecAudio s;
        s.entry = readEntry(a.object("entry"), keep);
        s.sec_audio_reserved = a.number<std::uint8_t>("sec_audio_reserved");
        s.primary_audio_refs = readRefs(a, "primary_audio_refs", "number_of_primary_audio_ref_entries", keep);
        s.number_of_primary_audio_ref_entries = static_cast<std::uint8_t>(s.primary_audio_refs.size());
        a.finish();
        out.sec_audio.push_back(std::move(s));
    }
    const auto& secVideo = stn.array("sec_video", 255);
    for (std::size_t i = 0; i < secVideo.size(); ++i) {
        Object v(secVideo[i], item(stn, "sec_video", i));
        TSecVideo s;
        s.entry = readEntry(v.object("entry"), keep);
        s.sec_video_reserved = v.number<std::uint8_t>("sec_video_reserved");
        s.secondary_audio_refs =
            readRefs(v, "secondary_audio_refs", "number_of_secondary_audio_ref_entries", keep);
        s.number_of_secondary_audio_ref_entries = static_cast<std::uint8_t>(s.secondary_audio_refs.size());
        s.PiP_PG_textST_refs = readRefs(v, "PiP_PG_textST_refs", "number_of_PiP_PG_textST_ref_entries", keep);
        s.number_of_PiP_PG_textST_ref_entries = static_cast<std::uint8_t>(s.PiP_PG_textST_refs.size());
        v.finish();
        out.sec_video.push_back(std::move(s));
    }
    out.DV_EL = readEntries(stn, "DV_EL", 255, keep);
    out.STN_rest = stn.bytes("STN_rest");

    in::checkCount(stn, "number_of_primary_video_stream_entries", out.video.size(), keep);
    in::checkCount(stn, "number_of_primary_audio_stream_entries", out.audio.size(), keep);
    in::checkCount(stn, "number_of_IG_stream_entries", out.IG.size(), keep);
    in::checkCount(stn, "number_of_secondary_audio_stream_entries", out.sec_audio.size(), keep);
    in::checkCount(stn, "number_of_secondary_video_stream_entries", out.sec_video.size(), keep);
    in::checkCount(stn, "number_of_DV_EL_stream_entries", out.DV_EL.size(), keep);
    // The PG list holds the PiP PG entries after the others: the PiP count says where.
    const auto plus =
        stn.optionalNumber<std::uint8_t>("number_of_PiP_PG_textST_stream_entries_plus", false).value_or(0);
    if (plus > out.PG.size()) {
        const nlohmann::json found = plus;
        in::fail(stn.at("number_of_PiP_PG_textST_stream_entries_plus"),
                 "at most " + std::to_string(out.PG.size()) + " (the PG entries listed)", &found);
    }
    in::checkCount(stn, "number_of_PG_textST_stream_entries", out.PG.size() - plus, keep);
    if (out.PG.size() - plus > 255) {
        const nlohmann::json found = out.PG.size();
        in::fail(stn.at("PG"), "at most 255 PG entries besides the PiP ones", &found);
    }
    out.number_of_primary_video_stream_entries = static_cast<std::uint8_t>(out.video.size());
    out.number_of_primary_audio_stream_entries = static_cast<std::uint8_t>(out.audio.size());
    out.number_of_PG_textST_stream_entries = static_cast<std::uint8_t>(out.PG.size() - plus);
    out.number_of_IG_stream_entries = static_cast<std::uint8_t>(out.IG.size());
    out.number_of_secondary_audio_stream_entries = static_cast<std::uint8_t>(out.sec_audio.size());
    out.number_of_secondary_video_stream_entries = static_cast<std::uint8_t>(out.sec_video.size());
    out.number_of_PiP_PG_textST_stream_entries_plus = plus;
    out.number_of_DV_EL_stream_entries = static_cast<std::uint8_t>(out.DV_EL.size());

    // After the length field: the reserved word, eight counts and four reserved bytes.
    std::uint64_t size = 14 + out.STN_rest.size();
    for (const auto* list : {&out.video, &out.audio, &out.PG, &out.IG, &out.DV_EL})
        for (const auto& e : *list) size += streamEntrySize(e);
    for (const auto& a : out.sec_audio) size += sizeOf(a, appendSecondaryAudio);
    for (const auto& v : out.sec_video) size += sizeOf(v, appendSecondaryVideo);
    out.STN_length = length<std::uint16_t>(stn, "STN_length", size, keep);
    stn.finish();
    return out;
}

TPlayItem readPlayItem(Object playItem, bool keep) {
    TPlayItem out;
    out.Clip_Information_file_name = playItem.text("Clip_Information_file_name", 5);
    out.Clip_codec_identifier = playItem.text("Clip_codec_identifier", 4);
    out.is_multi_angle = playItem.bits("is_multi_angle", 1);
    out.connection_condition = playItem.bits("connection_condition", 4);
    out.ref_to_STC_id = playItem.number<std::uint8_t>("ref_to_STC_id");
    out.IN_time = playItem.number<std::uint32_t>("IN_time");
    out.OUT_time = playItem.number<std::uint32_t>("OUT_time");
    out.UO_mask_table1 = playItem.number<std::uint32_t>("UO_mask_table1");
    out.UO_mask_table2 = playItem.number<std::uint32_t>("UO_mask_table2");
    out.PlayItem_random_access_flag = playItem.bits("PlayItem_random_access_flag", 1);
    out.still_mode = playItem.number<std::uint8_t>("still_mode");
    out.still_time = playItem.number<std::uint16_t>("still_time");
    Object multi = playItem.object("multi_clip");
    out.multi_clip.is_different_audios = multi.bits("is_different_audios", 1);
    out.multi_clip.is_seamless_angle_change = multi.bits("is_seamless_angle_change", 1);
    out.multi_clip.angles = readClips(multi, "angles");
    // The count is written for a multi-angle item only, as the size of its list.
    const auto angles = multi.optionalNumber<std::uint8_t>("number_of_angles", keep);
    if (out.is_multi_angle) in::checkCount(multi, "number_of_angles", out.multi_clip.angles.size(), keep);
    out.multi_clip.number_of_angles =
        out.is_multi_angle ? static_cast<std::uint8_t>(out.multi_clip.angles.size()) : angles.value_or(0);
    multi.finish();
    out.STN = readSTN(playItem.object("STN"), keep);
    out.PlayItem_rest = playItem.bytes("PlayItem_rest");
    // After the length field: 32 bytes of fields, the angles, the STN table, the kept bytes.
    const std::size_t angleBytes =
        out.is_multi_angle ? 2 + 10 * (out.multi_clip.angles.empty() ? 0 : out.multi_clip.angles.size() - 1)
                           : 0;
    out.PlayItem_length = length<std::uint16_t>(
        playItem, "PlayItem_length",
        32 + angleBytes + 2 + std::uint64_t{out.STN.STN_length} + out.PlayItem_rest.size(), keep);
    playItem.finish();
    return out;
}

TSubPlayItem readSubPlayItem(Object sub, bool keep) {
    TSubPlayItem out;
    out.Clip_Information_file_name = sub.text("Clip_Information_file_name", 5);
    out.Clip_codec_identifier = sub.text("Clip_codec_identifier", 4);
    out.SP_connection_condition = sub.number<std::uint8_t>("SP_connection_condition");
    out.is_multi_Clip_entries = sub.bits("is_multi_Clip_entries", 1);
    out.ref_to_STC_id = sub.number<std::uint8_t>("ref_to_STC_id");
    out.SubPlayItem_IN_time = sub.number<std::uint32_t>("SubPlayItem_IN_time");
    out.SubPlayItem_OUT_time = sub.number<std::uint32_t>("SubPlayItem_OUT_time");
    out.sync_PlayItem_id = sub.number<std::uint16_t>("sync_PlayItem_id");
    out.sync_start_PTS_of_PlayItem = sub.number<std::uint32_t>("sync_start_PTS_of_PlayItem");
    out.Clip_entries_reserved = sub.number<std::uint8_t>("Clip_entries_reserved");
    out.Clip_entries = readClips(sub, "Clip_entries");
    const auto count = sub.optionalNumber<std::uint8_t>("number_of_Clip_entries", keep);
    if (out.is_multi_Clip_entries)
        in::checkCount(sub, "number_of_Clip_entries", out.Clip_entries.size(), keep);
    out.number_of_Clip_entries =
        out.is_multi_Clip_entries ? static_cast<std::uint8_t>(out.Clip_entries.size()) : count.value_or(0);
    out.SubPlayItem_rest = sub.bytes("SubPlayItem_rest");
    out.SubPlayItem_length =
        length<std::uint16_t>(sub, "SubPlayItem_length", sizeOf(out, appendSubPlayItem) - 2, keep);
    sub.finish();
    return out;
}

} // namespace

std::optional<TMPLS> playListFromJson(const nlohmann::json& value, const BuildOptions& options,
                                      BuildError& error) {
    const bool keep = options.keepLengths;
    try {
        Object top(value, "");
        TMPLS mpls;
        mpls.type_indicator = top.text("type_indicator", 4);
        if (mpls.type_indicator != "MPLS")
            in::fail(top.at("type_indicator"), "\"MPLS\"", top.raw("type_indicator"));
        mpls.version_number = top.text("version_number", 4);
        if (mpls.version_number != "0100" && mpls.version_number != "0200" && mpls.version_number != "0300")
            in::fail(top.at("version_number"), "\"0100\", \"0200\" or \"0300\"", top.raw("version_number"));
        const auto listAddress = top.optionalNumber<std::uint32_t>("PlayList_start_address", keep);
        const auto markAddress = top.optionalNumber<std::uint32_t>("PlayListMark_start_address", keep);
        const auto extensionAddress = top.optionalNumber<std::uint32_t>("ExtensionData_start_address", keep);
        mpls.reserved_header = top.fixedBytes<20>("reserved_header");
        mpls.AppInfo_length = top.number<std::uint32_t>("AppInfo_length");
        mpls.AppInfo_reserved = top.number<std::uint8_t>("AppInfo_reserved");
        mpls.PlayList_playback_type = top.number<std::uint8_t>("PlayList_playback_type");
        mpls.playback_count = top.number<std::uint16_t>("playback_count");
        mpls.UO_mask_table1 = top.number<std::uint32_t>("UO_mask_table1");
        mpls.UO_mask_table2 = top.number<std::uint32_t>("UO_mask_table2");
        mpls.PlayList_random_access_flag = top.bits("PlayList_random_access_flag", 1);
        mpls.audio_mix_app_flag = top.bits("audio_mix_app_flag", 1);
        mpls.lossless_may_bypass_mixer_flag = top.bits("lossless_may_bypass_mixer_flag", 1);
        mpls.padding_before_PlayList = top.optionalBytes("padding_before_PlayList");
        mpls.padding_before_PlayListMark = top.optionalBytes("padding_before_PlayListMark");
        mpls.padding_before_extension = top.optionalBytes("padding_before_extension");
        mpls.padding_at_end = top.optionalBytes("padding_at_end");

        Object list = top.object("PlayList");
        TPlayList& playList = mpls.PlayList;
        playList.PlayList_reserved = list.number<std::uint16_t>("PlayList_reserved");
        const auto& items = list.array("PlayItems", 0xFFFF);
        for (std::size_t i = 0; i < items.size(); ++i)
            playList.PlayItems.push_back(readPlayItem(Object(items[i], item(list, "PlayItems", i)), keep));
        const auto& paths = list.array("SubPaths", 0xFFFF);
        for (std::size_t i = 0; i < paths.size(); ++i) {
            Object path(paths[i], item(list, "SubPaths", i));
            TSubPath out;
            out.SubPath_reserved1 = path.number<std::uint8_t>("SubPath_reserved1");
            out.SubPath_type = path.number<std::uint8_t>("SubPath_type");
            out.SubPath_flags = path.number<std::uint16_t>("SubPath_flags");
            out.SubPath_reserved2 = path.number<std::uint8_t>("SubPath_reserved2");
            const auto& subItems = path.array("SubPlayItems", 255);
            for (std::size_t k = 0; k < subItems.size(); ++k)
                out.SubPlayItems.push_back(
                    readSubPlayItem(Object(subItems[k], item(path, "SubPlayItems", k)), keep));
            in::checkCount(path, "number_of_SubPlayItems", out.SubPlayItems.size(), keep);
            out.number_of_SubPlayItems = static_cast<std::uint8_t>(out.SubPlayItems.size());
            out.SubPath_rest = path.bytes("SubPath_rest");
            out.SubPath_length =
                length<std::uint32_t>(path, "SubPath_length", sizeOf(out, appendSubPath) - 4, keep);
            path.finish();
            playList.SubPaths.push_back(std::move(out));
        }
        in::checkCount(list, "number_of_PlayItems", playList.PlayItems.size(), keep);
        in::checkCount(list, "number_of_SubPaths", playList.SubPaths.size(), keep);
        playList.number_of_PlayItems = static_cast<std::uint16_t>(playList.PlayItems.size());
        playList.number_of_SubPaths = static_cast<std::uint16_t>(playList.SubPaths.size());
        playList.PlayList_rest = list.bytes("PlayList_rest");
        std::uint64_t listContent = 6 + playList.PlayList_rest.size();
        for (const auto& p : playList.PlayItems) listContent += 2 + std::uint64_t{p.PlayItem_length};
        for (const auto& p : playList.SubPaths) listContent += 4 + std::uint64_t{p.SubPath_length};
        // The section is padded to an even length, the pad counted in its length.
        playList.PlayList_length =
            length<std::uint32_t>(list, "PlayList_length", listContent + listContent % 2, keep);
        list.finish();

        Object marks = top.object("PlayListMark");
        const auto& markList = marks.array("marks", 0xFFFF);
        for (std::size_t i = 0; i < markList.size(); ++i) {
            Object mark(markList[i], item(marks, "marks", i));
            TMarkEntry m;
            m.mark_reserved = mark.number<std::uint8_t>("mark_reserved");
            m.mark_type = mark.number<std::uint8_t>("mark_type");
            m.ref_to_PlayItem_id = mark.number<std::uint16_t>("ref_to_PlayItem_id");
            m.mark_time_stamp = mark.number<std::uint32_t>("mark_time_stamp");
            m.entry_ES_PID = mark.number<std::uint16_t>("entry_ES_PID");
            m.duration = mark.number<std::uint32_t>("duration");
            mark.finish();
            mpls.PlayListMark.marks.push_back(m);
        }
        in::checkCount(marks, "number_of_PlayList_marks", markList.size(), keep);
        mpls.PlayListMark.number_of_PlayList_marks = static_cast<std::uint16_t>(markList.size());
        mpls.PlayListMark.PlayListMark_rest = marks.bytes("PlayListMark_rest");
        mpls.PlayListMark.PlayListMark_length = length<std::uint32_t>(
            marks, "PlayListMark_length",
            2 + 14 * markList.size() + mpls.PlayListMark.PlayListMark_rest.size(), keep);
        marks.finish();
        mpls.ExtensionData = in::readExtensionData(top.object("ExtensionData"), options);
        top.finish();

        if (keep) {
            // A section whose address is 0 is not written: its content would be lost.
            if (*markAddress == 0 && !mpls.PlayListMark.marks.empty())
                in::fail(top.at("PlayListMark_start_address"), "an address above 0 (the playlist has marks)",
                         top.raw("PlayListMark_start_address"));
            if (*extensionAddress == 0 && mpls.ExtensionData.length != 0)
                in::fail(top.at("ExtensionData_start_address"),
                         "an address above 0 (the ExtensionData() block has content)",
                         top.raw("ExtensionData_start_address"));
            // The writer puts the addresses as they stand.
            mpls.PlayList_start_address = *listAddress;
            mpls.PlayListMark_start_address = *markAddress;
            mpls.ExtensionData_start_address = *extensionAddress;
        } else {
            std::uint64_t at = 40 + std::max<std::uint64_t>(4 + std::uint64_t{mpls.AppInfo_length}, 18) +
                               mpls.padding_before_PlayList.size();
            mpls.PlayList_start_address = static_cast<std::uint32_t>(at);
            at += std::max<std::uint64_t>(4 + std::uint64_t{playList.PlayList_length}, 4 + listContent) +
                  mpls.padding_before_PlayListMark.size();
            const bool hasMarks = (markAddress && *markAddress != 0) || !mpls.PlayListMark.marks.empty();
            mpls.PlayListMark_start_address = hasMarks ? static_cast<std::uint32_t>(at) : 0;
            if (hasMarks) at += 4 + std::uint64_t{mpls.PlayListMark.PlayListMark_length};
            const bool hasExtension =
                (extensionAddress && *extensionAddress != 0) || mpls.ExtensionData.length != 0;
            at += mpls.padding_before_extension.size();
            mpls.ExtensionData_start_address = hasExtension ? static_cast<std::uint32_t>(at) : 0;
            if (at > 0xFFFFFFFFu) in::fail(top.at("PlayList"), "a playlist below 4 GiB", nullptr);
        }
        return mpls;
    } catch (const BuildError& e) {
        error = e;
        return std::nullopt;
    }
}

} // namespace corvane::json
