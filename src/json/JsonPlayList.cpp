// A playlist's model as JSON, field by field in record order.

#include "json/JsonModel.h"

namespace corvane::json {

namespace {

OrderedJson clipJson(const TClipEntry& clip) {
    return OrderedJson{{"Clip_Information_file_name", latin1ToUtf8(clip.Clip_Information_file_name)},
                       {"Clip_codec_identifier", latin1ToUtf8(clip.Clip_codec_identifier)},
                       {"ref_to_STC_id", clip.ref_to_STC_id}};
}

OrderedJson entryJson(const TStreamEntry& e, bool noData) {
    return OrderedJson{{"entry_length", e.entry_length},
                       {"stream_type", e.stream_type},
                       {"ref_to_stream_PID_of_mainClip", e.ref_to_stream_PID_of_mainClip},
                       {"ref_to_stream_PID_of_subClip", e.ref_to_stream_PID_of_subClip},
                       {"ref_to_SubPath_id", e.ref_to_SubPath_id},
                       {"ref_to_subClip_entry_id", e.ref_to_subClip_entry_id},
                       {"entry_rest", bytesJson(e.entry_rest, noData)},
                       {"attributes_length", e.attributes_length},
                       {"stream_coding_type", e.stream_coding_type},
                       {"video_format", e.video_format},
                       {"frame_rate", e.frame_rate},
                       {"audio_presentation_type", e.audio_presentation_type},
                       {"sampling_frequency", e.sampling_frequency},
                       {"language_code", latin1ToUtf8(e.language_code)},
                       {"character_code", e.character_code},
                       {"dynamic_range_type", e.dynamic_range_type},
                       {"color_space", e.color_space},
                       {"cr_flag", e.cr_flag},
                       {"HDR_plus_flag", e.HDR_plus_flag},
                       {"attributes_rest", bytesJson(e.attributes_rest, noData)}};
}

OrderedJson entriesJson(const std::vector<TStreamEntry>& entries, bool noData) {
    OrderedJson list = OrderedJson::array();
    for (const auto& e : entries) list.push_back(entryJson(e, noData));
    return list;
}

OrderedJson stnJson(const TSTN& stn, bool noData) {
    OrderedJson secAudio = OrderedJson::array();
    for (const auto& a : stn.sec_audio)
        secAudio.push_back(OrderedJson{{"entry", entryJson(a.entry, noData)},
                                       {"number_of_primary_audio_ref_entries", a.primary_audio_refs.size()},
                                       {"sec_audio_reserved", a.sec_audio_reserved},
                                       {"primary_audio_refs", a.primary_audio_refs}});
    OrderedJson secVideo = OrderedJson::array();
    for (const auto& v : stn.sec_video)
        secVideo.push_back(
            OrderedJson{{"entry", entryJson(v.entry, noData)},
                        {"number_of_secondary_audio_ref_entries", v.secondary_audio_refs.size()},
                        {"sec_video_reserved", v.sec_video_reserved},
                        {"secondary_audio_refs", v.secondary_audio_refs},
                        {"number_of_PiP_PG_textST_ref_entries", v.PiP_PG_textST_refs.size()},
                        {"PiP_PG_textST_refs", v.PiP_PG_textST_refs}});
    return OrderedJson{
        {"STN_length", stn.STN_length},
        {"STN_reserved", stn.STN_reserved},
        {"number_of_primary_video_stream_entries", stn.number_of_primary_video_stream_entries},
        {"number_of_primary_audio_stream_entries", stn.number_of_primary_audio_stream_entries},
        {"number_of_PG_textST_stream_entries", stn.number_of_PG_textST_stream_entries},
        {"number_of_IG_stream_entries", stn.number_of_IG_stream_entries},
        {"number_of_secondary_audio_stream_entries", stn.number_of_secondary_audio_stream_entries},
        {"number_of_secondary_video_stream_entries", stn.number_of_secondary_video_stream_entries},
        {"number_of_PiP_PG_textST_stream_entries_plus", stn.number_of_PiP_PG_textST_stream_entries_plus},
        {"number_of_DV_EL_stream_entries", stn.number_of_DV_EL_stream_entries},
        {"video", entriesJson(stn.video, noData)},
        {"audio", entriesJson(stn.audio, noData)},
        {"PG", entriesJson(stn.PG, noData)},
        {"IG", entriesJson(stn.IG, noData)},
        {"sec_audio", secAudio},
        {"sec_video", secVideo},
        {"DV_EL", entriesJson(stn.DV_EL, noData)},
        {"STN_rest", bytesJson(stn.STN_rest, noData)}};
}

OrderedJson playItemJson(const TPlayItem& item, bool noData) {
    OrderedJson angles = OrderedJson::array();
    for (const auto& clip : item.multi_clip.angles) angles.push_back(clipJson(clip));
    return OrderedJson{
        {"PlayItem_length", item.PlayItem_length},
        {"Clip_Information_file_name", latin1ToUtf8(item.Clip_Information_file_name)},
        {"Clip_codec_identifier", latin1ToUtf8(item.Clip_codec_identifier)},
        {"is_multi_angle", item.is_multi_angle},
        {"connection_condition", item.connection_condition},
        {"ref_to_STC_id", item.ref_to_STC_id},
        {"IN_time", item.IN_time},
        {"OUT_time", item.OUT_time},
        {"UO_mask_table1", item.UO_mask_table1},
        {"UO_mask_table2", item.UO_mask_table2},
        {"PlayItem_random_access_flag", item.PlayItem_random_access_flag},
        {"still_mode", item.still_mode},
        {"still_time", item.still_time},
        {"multi_clip", OrderedJson{{"number_of_angles", item.multi_clip.number_of_angles},
                                   {"is_different_audios", item.multi_clip.is_different_audios},
                                   {"is_seamless_angle_change", item.multi_clip.is_seamless_angle_change},
                                   {"angles", angles}}},
        {"STN", stnJson(item.STN, noData)},
        {"PlayItem_rest", bytesJson(item.PlayItem_rest, noData)}};
}

OrderedJson subPlayItemJson(const TSubPlayItem& item, bool noData) {
    OrderedJson clips = OrderedJson::array();
    for (const auto& clip : item.Clip_entries) clips.push_back(clipJson(clip));
    return OrderedJson{{"SubPlayItem_length", item.SubPlayItem_length},
                       {"Clip_Information_file_name", latin1ToUtf8(item.Clip_Information_file_name)},
                       {"Clip_codec_identifier", latin1ToUtf8(item.Clip_codec_identifier)},
                       {"SP_connection_condition", item.SP_connection_condition},
                       {"is_multi_Clip_entries", item.is_multi_Clip_entries},
                       {"ref_to_STC_id", item.ref_to_STC_id},
                       {"SubPlayItem_IN_time", item.SubPlayItem_IN_time},
                       {"SubPlayItem_OUT_time", item.SubPlayItem_OUT_time},
                       {"sync_PlayItem_id", item.sync_PlayItem_id},
                       {"sync_start_PTS_of_PlayItem", item.sync_start_PTS_of_PlayItem},
                       {"number_of_Clip_entries", item.number_of_Clip_entries},
                       {"Clip_entries_reserved", item.Clip_entries_reserved},
                       {"Clip_entries", clips},
                       {"SubPlayItem_rest", bytesJson(item.SubPlayItem_rest, noData)}};
}

} // namespace

OrderedJson toJson(const TMPLS& mpls, bool noData) {
    OrderedJson items = OrderedJson::array();
    for (const auto& item : mpls.PlayList.PlayItems) items.push_back(playItemJson(item, noData));
    OrderedJson paths = OrderedJson::array();
    for (const auto& path : mpls.PlayList.SubPaths) {
        OrderedJson subItems = OrderedJson::array();
        for (const auto& item : path.SubPlayItems) subItems.push_back(subPlayItemJson(item, noData));
        paths.push_back(OrderedJson{{"SubPath_length", path.SubPath_length},
                                    {"SubPath_reserved1", path.SubPath_reserved1},
                                    {"SubPath_type", path.SubPath_type},
                                    {"SubPath_flags", path.SubPath_flags},
                                    {"SubPath_reserved2", path.SubPath_reserved2},
                                    {"number_of_SubPlayItems", path.SubPlayItems.size()},
                                    {"SubPlayItems", subItems},
                                    {"SubPath_rest", bytesJson(path.SubPath_rest, noData)}});
    }
    OrderedJson marks = OrderedJson::array();
    for (const auto& mark : mpls.PlayListMark.marks)
        marks.push_back(OrderedJson{{"mark_reserved", mark.mark_reserved},
                                    {"mark_type", mark.mark_type},
                                    {"ref_to_PlayItem_id", mark.ref_to_PlayItem_id},
                                    {"mark_time_stamp", mark.mark_time_stamp},
                                    {"entry_ES_PID", mark.entry_ES_PID},
                                    {"duration", mark.duration}});
    const std::vector<std::uint8_t> reserved(mpls.reserved_header.begin(), mpls.reserved_header.end());
    return OrderedJson{
        {"type_indicator", latin1ToUtf8(mpls.type_indicator)},
        {"version_number", latin1ToUtf8(mpls.version_number)},
        {"PlayList_start_address", mpls.PlayList_start_address},
        {"PlayListMark_start_address", mpls.PlayListMark_start_address},
        {"ExtensionData_start_address", mpls.ExtensionData_start_address},
        {"reserved_header", bytesJson(reserved, noData)},
        {"AppInfo_length", mpls.AppInfo_length},
        {"AppInfo_reserved", mpls.AppInfo_reserved},
        {"PlayList_playback_type", mpls.PlayList_playback_type},
        {"playback_count", mpls.playback_count},
        {"UO_mask_table1", mpls.UO_mask_table1},
        {"UO_mask_table2", mpls.UO_mask_table2},
        {"PlayList_random_access_flag", mpls.PlayList_random_access_flag},
        {"audio_mix_app_flag", mpls.audio_mix_app_flag},
        {"lossless_may_bypass_mixer_flag", mpls.lossless_may_bypass_mixer_flag},
        {"padding_before_PlayList", bytesJson(mpls.padding_before_PlayList, noData)},
        {"padding_before_PlayListMark", bytesJson(mpls.padding_before_PlayListMark, noData)},
        {"padding_before_extension", bytesJson(mpls.padding_before_extension, noData)},
        {"padding_at_end", bytesJson(mpls.padding_at_end, noData)},
        {"PlayList", OrderedJson{{"PlayList_length", mpls.PlayList.PlayList_length},
                                 {"PlayList_reserved", mpls.PlayList.PlayList_reserved},
                                 {"number_of_PlayItems", mpls.PlayList.PlayItems.size()},
                                 {"number_of_SubPaths", mpls.PlayList.SubPaths.size()},
                                 {"PlayItems", items},
                                 {"SubPaths", paths},
                                 {"PlayList_rest", bytesJson(mpls.PlayList.PlayList_rest, noData)}}},
        {"PlayListMark",
         OrderedJson{{"PlayListMark_length", mpls.PlayListMark.PlayListMark_length},
                     {"number_of_PlayList_marks", mpls.PlayListMark.marks.size()},
                     {"marks", marks},
                     {"PlayListMark_rest", bytesJson(mpls.PlayListMark.PlayListMark_rest, noData)}}},
        {"ExtensionData", toJson(mpls.ExtensionData, noData)}};
}

} // namespace corvane::json
