#include "playlist/PlayListDisplay.h"

#include <algorithm>

#include "io/TextUtil.h"
#include "playlist/PlayListNames.h"

namespace corvane {

namespace {

std::size_t pgCount(const TSTN& stn) {
    return std::min<std::size_t>(stn.number_of_PG_textST_stream_entries, stn.PG.size());
}

// A name from a table, or the value itself when the table has none.
std::string nameOr(std::string_view name, std::uint32_t value) {
    return name.empty() ? std::to_string(value) : std::string(name);
}

GridRow clipRow(const TClipEntry& clip, std::size_t number) {
    return {zeroPad(number, 3), clip.Clip_Information_file_name, clip.Clip_codec_identifier,
            std::to_string(clip.ref_to_STC_id)};
}

bool decimalIds(int list) {
    return list == ListPrimaryVideo || list == ListSecondaryAudio || list == ListSecondaryVideo ||
           list == ListDolbyVisionEL;
}

} // namespace

std::size_t stnListSize(const TSTN& stn, int list) {
    switch (list) {
    case ListPrimaryVideo:
        return stn.video.size();
    case ListPrimaryAudio:
        return stn.audio.size();
    case ListPG:
        return pgCount(stn);
    case ListIG:
        return stn.IG.size();
    case ListSecondaryVideo:
        return stn.sec_video.size();
    case ListSecondaryAudio:
        return stn.sec_audio.size();
    case ListPiPPG:
        return stn.PG.size() - pgCount(stn);
    case ListDolbyVisionEL:
        return stn.DV_EL.size();
    default:
        return 0;
    }
}

TStreamEntry* stnEntry(TSTN& stn, int list, std::size_t index) {
    if (index >= stnListSize(stn, list)) return nullptr;
    switch (list) {
    case ListPrimaryVideo:
        return &stn.video[index];
    case ListPrimaryAudio:
        return &stn.audio[index];
    case ListPG:
        return &stn.PG[index];
    case ListIG:
        return &stn.IG[index];
    case ListSecondaryVideo:
        return &stn.sec_video[index].entry;
    case ListSecondaryAudio:
        return &stn.sec_audio[index].entry;
    case ListDolbyVisionEL:
        return &stn.DV_EL[index];
    default:
        return &stn.PG[pgCount(stn) + index];
    }
}

const TStreamEntry* stnEntry(const TSTN& stn, int list, std::size_t index) {
    return stnEntry(const_cast<TSTN&>(stn), list, index);
}

GridRow playItemRow(const TPlayItem& item, std::size_t index) {
    return {zeroPad(index, 3),
            item.Clip_Information_file_name,
            item.Clip_codec_identifier,
            timeText45(item.IN_time),
            timeText45(item.OUT_time),
            timeText45(static_cast<std::uint32_t>(item.OUT_time - item.IN_time)),
            hexText(item.UO_mask_table1, 8),
            hexText(item.UO_mask_table2, 8),
            std::to_string(item.is_multi_angle ? item.multi_clip.number_of_angles : 0)};
}

std::vector<GridRow> angleRows(const TPlayItem& item) {
    std::vector<GridRow> rows;
    if (!item.is_multi_angle) return rows;
    for (std::size_t k = 0; k < item.multi_clip.angles.size(); ++k)
        rows.push_back(clipRow(item.multi_clip.angles[k], k + 1));
    return rows;
}

GridRow stnCountRow(const TSTN& stn) {
    GridRow row;
    for (int list = 0; list < StnListCount; ++list) row.push_back(std::to_string(stnListSize(stn, list)));
    return row;
}

std::string attributeText(const TStreamEntry& entry, int list) {
    switch (list) {
    case ListPrimaryVideo:
    case ListSecondaryVideo:
    case ListDolbyVisionEL: {
        std::string text = std::string(codingTypeName(entry.stream_coding_type)) + ", " +
                           std::string(videoFormatName(entry.video_format)) + ", " +
                           std::string(frameRateName(entry.frame_rate));
        // The UHD attributes: on HEVC always, on older video only when a disc sets them.
        if (entry.stream_coding_type == 0x24 || entry.dynamic_range_type || entry.color_space ||
            entry.cr_flag || entry.HDR_plus_flag)
            text += ", " + uhdAttributeText(entry);
        return text;
    }
    case ListPrimaryAudio:
    case ListSecondaryAudio:
        return std::string(codingTypeName(entry.stream_coding_type)) + ", " +
               std::string(audioPresentationName(entry.audio_presentation_type)) + ", " +
               std::string(samplingFrequencyName(entry.sampling_frequency)) + ", " + entry.language_code;
    default:
        return entry.language_code;
    }
}

std::string uhdAttributeText(const TStreamEntry& entry) {
    std::string text = nameOr(dynamicRangeName(entry.dynamic_range_type), entry.dynamic_range_type) + ", " +
                       nameOr(colorSpaceName(entry.color_space), entry.color_space);
    if (entry.cr_flag) text += ", CR";
    if (entry.HDR_plus_flag) text += ", HDR10+ flag";
    return text;
}

std::vector<GridRow> streamEntryRows(const TSTN& stn, int list) {
    std::vector<GridRow> rows;
    const bool decimal = decimalIds(list);
    for (std::size_t i = 0; i < stnListSize(stn, list); ++i) {
        const TStreamEntry& entry = *stnEntry(stn, list, i);
        GridRow row(7);
        row[0] = zeroPad(i + 1, 3);
        row[1] = nameOr(entryTypeName(entry.stream_type), entry.stream_type);
        switch (entry.stream_type) {
        case 1:
            row[2] = hexText(entry.ref_to_stream_PID_of_mainClip, 4);
            break;
        case 2:
        case 4:
            row[3] = decimal ? zeroPad(entry.ref_to_SubPath_id, 2) : hexText(entry.ref_to_SubPath_id, 2);
            row[4] = decimal ? zeroPad(entry.ref_to_subClip_entry_id, 2)
                             : hexText(entry.ref_to_subClip_entry_id, 2);
            row[5] = hexText(entry.ref_to_stream_PID_of_subClip, 4);
            break;
        case 3:
            row[2] = hexText(entry.ref_to_stream_PID_of_mainClip, 4);
            row[3] = decimal ? zeroPad(entry.ref_to_SubPath_id, 2) : hexText(entry.ref_to_SubPath_id, 4);
            break;
        default:
            break;
        }
        row[6] = attributeText(entry, list);
        rows.push_back(std::move(row));
    }
    return rows;
}

std::string_view repeatText(std::uint16_t SubPath_flags) {
    return SubPath_flags == 0 ? "No" : "Yes";
}

GridRow subPathRow(const TSubPath& path, std::size_t index) {
    return {zeroPad(index, 3), nameOr(subPathTypeName(path.SubPath_type), path.SubPath_type),
            std::string(repeatText(path.SubPath_flags)), std::to_string(path.SubPlayItems.size())};
}

GridRow subPlayItemRow(const TSubPlayItem& item, std::size_t index) {
    return {zeroPad(index, 3),
            item.Clip_Information_file_name,
            item.Clip_codec_identifier,
            std::to_string(item.SP_connection_condition),
            item.is_multi_Clip_entries == 1 ? "Yes" : "No",
            std::to_string(item.ref_to_STC_id),
            timeText45(item.SubPlayItem_IN_time),
            timeText45(item.SubPlayItem_OUT_time),
            std::to_string(item.sync_PlayItem_id),
            timeText45(item.sync_start_PTS_of_PlayItem),
            std::to_string(item.is_multi_Clip_entries ? item.Clip_entries.size() : 0)};
}

std::vector<GridRow> clipEntryRows(const TSubPlayItem& item) {
    std::vector<GridRow> rows;
    if (!item.is_multi_Clip_entries) return rows;
    for (std::size_t k = 0; k < item.Clip_entries.size(); ++k)
        rows.push_back(clipRow(item.Clip_entries[k], k + 1));
    return rows;
}

GridRow PLMline(const TMarkEntry& mark, std::size_t index) {
    return {zeroPad(index, 3),
            nameOr(markTypeName(mark.mark_type), mark.mark_type),
            zeroPad(mark.ref_to_PlayItem_id, 3),
            timeText45(mark.mark_time_stamp),
            hexText(mark.entry_ES_PID, 4),
            std::to_string(mark.duration)};
}

} // namespace corvane
