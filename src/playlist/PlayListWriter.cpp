#include "playlist/PlayListWriter.h"

#include <algorithm>

#include "playlist/PlayListNames.h"

namespace corvane {

namespace {

std::uint32_t countOf(std::size_t size, std::size_t most) {
    return static_cast<std::uint32_t>(std::min(size, most));
}

void appendClipEntry(ByteWriter& out, const TClipEntry& clip) {
    out.appendstring(clip.Clip_Information_file_name, 5);
    out.appendstring(clip.Clip_codec_identifier, 4);
    out.appendbyte(clip.ref_to_STC_id);
}

// A reference list with its count, the reserved byte and the pad to an even length.
void appendRefs(ByteWriter& out, const std::vector<std::uint8_t>& refs, std::uint8_t reserved) {
    const std::size_t count = std::min<std::size_t>(refs.size(), 255);
    out.appendbyte(static_cast<std::uint32_t>(count));
    out.appendbyte(reserved);
    out.appendbytes(std::span(refs).first(count));
    if (count % 2) out.appendbyte(0);
}

} // namespace

void appendStreamEntry(ByteWriter& out, const TStreamEntry& entry) {
    out.setFill(out.fill() + writeentry(out, out.fill(), entry));
    out.setFill(out.fill() + writeattrib(out, out.fill(), entry));
}

void appendSecondaryAudio(ByteWriter& out, const TSecAudio& secondary) {
    appendStreamEntry(out, secondary.entry);
    appendRefs(out, secondary.primary_audio_refs, secondary.sec_audio_reserved);
}

void appendSecondaryVideo(ByteWriter& out, const TSecVideo& secondary) {
    appendStreamEntry(out, secondary.entry);
    appendRefs(out, secondary.secondary_audio_refs, secondary.sec_video_reserved);
    appendRefs(out, secondary.PiP_PG_textST_refs, 0);
}

namespace {

void appendSTN(ByteWriter& out, const TSTN& stn) {
    out.appendword(stn.STN_length);
    out.appendword(stn.STN_reserved);
    // The PG list holds the PiP PG entries after the others; the held count tells where they start.
    const std::size_t pg = std::min<std::size_t>(stn.number_of_PG_textST_stream_entries, stn.PG.size());
    out.appendbyte(countOf(stn.video.size(), 255));
    out.appendbyte(countOf(stn.audio.size(), 255));
    out.appendbyte(countOf(pg, 255));
    out.appendbyte(countOf(stn.IG.size(), 255));
    out.appendbyte(countOf(stn.sec_audio.size(), 255));
    out.appendbyte(countOf(stn.sec_video.size(), 255));
    out.appendbyte(countOf(stn.PG.size() - pg, 255));
    out.appendbyte(countOf(stn.DV_EL.size(), 255));
    out.appendbytes(std::vector<std::uint8_t>(4, 0));
    auto appendList = [&](const std::vector<TStreamEntry>& list, std::size_t most) {
        for (std::size_t i = 0; i < std::min(list.size(), most); ++i) appendStreamEntry(out, list[i]);
    };
    appendList(stn.video, 255);
    appendList(stn.audio, 255);
    appendList(stn.PG, pg + std::min<std::size_t>(stn.PG.size() - pg, 255));
    appendList(stn.IG, 255);
    for (std::size_t i = 0; i < std::min<std::size_t>(stn.sec_audio.size(), 255); ++i)
        appendSecondaryAudio(out, stn.sec_audio[i]);
    for (std::size_t i = 0; i < std::min<std::size_t>(stn.sec_video.size(), 255); ++i)
        appendSecondaryVideo(out, stn.sec_video[i]);
    appendList(stn.DV_EL, 255);
    out.appendbytes(stn.STN_rest);
}

void appendPlayItem(ByteWriter& out, const TPlayItem& item) {
    out.appendword(item.PlayItem_length);
    out.appendstring(item.Clip_Information_file_name, 5);
    out.appendstring(item.Clip_codec_identifier, 4);
    out.appendword((item.is_multi_angle & 1u) * 0x10 + (item.connection_condition & 0x0Fu));
    out.appendbyte(item.ref_to_STC_id);
    out.appendlword(item.IN_time);
    out.appendlword(item.OUT_time);
    out.appendlword(item.UO_mask_table1);
    out.appendlword(item.UO_mask_table2);
    out.appendbyte((item.PlayItem_random_access_flag & 1u) * 0x80);
    out.appendbyte(item.still_mode);
    out.appendword(item.still_time);
    if (item.is_multi_angle) {
        const Tmulti_clip& angles = item.multi_clip;
        out.appendbyte(countOf(angles.angles.size(), 255));
        out.appendbyte((angles.is_different_audios & 1u) * 2 + (angles.is_seamless_angle_change & 1u));
        for (std::size_t k = 1; k < std::min<std::size_t>(angles.angles.size(), 255); ++k)
            appendClipEntry(out, angles.angles[k]);
    }
    appendSTN(out, item.STN);
    out.appendbytes(item.PlayItem_rest);
}

} // namespace

void appendSubPlayItem(ByteWriter& out, const TSubPlayItem& item) {
    out.appendword(item.SubPlayItem_length);
    out.appendstring(item.Clip_Information_file_name, 5);
    out.appendstring(item.Clip_codec_identifier, 4);
    out.appendlword(std::uint32_t{item.SP_connection_condition} * 2 + (item.is_multi_Clip_entries & 1u));
    out.appendbyte(item.ref_to_STC_id);
    out.appendlword(item.SubPlayItem_IN_time);
    out.appendlword(item.SubPlayItem_OUT_time);
    out.appendword(item.sync_PlayItem_id);
    out.appendlword(item.sync_start_PTS_of_PlayItem);
    if (item.is_multi_Clip_entries) {
        out.appendbyte(countOf(item.Clip_entries.size(), 255));
        out.appendbyte(item.Clip_entries_reserved);
        for (std::size_t k = 1; k < std::min<std::size_t>(item.Clip_entries.size(), 255); ++k)
            appendClipEntry(out, item.Clip_entries[k]);
    }
    out.appendbytes(item.SubPlayItem_rest);
}

void appendSubPath(ByteWriter& out, const TSubPath& path) {
    const std::size_t count = std::min<std::size_t>(path.SubPlayItems.size(), 255);
    out.appendlword(path.SubPath_length);
    out.appendbyte(path.SubPath_reserved1);
    out.appendbyte(path.SubPath_type);
    out.appendword(path.SubPath_flags);
    out.appendbyte(path.SubPath_reserved2);
    out.appendbyte(static_cast<std::uint32_t>(count));
    for (std::size_t i = 0; i < count; ++i) appendSubPlayItem(out, path.SubPlayItems[i]);
    out.appendbytes(path.SubPath_rest);
}

std::size_t writeentry(ByteWriter& out, std::size_t offset, const TStreamEntry& entry) {
    out.putbyte(entry.entry_length, offset);
    out.putbyte(entry.stream_type, offset + 1);
    if (!isKnownEntryType(entry.stream_type)) {
        out.putbytes(entry.entry_rest, offset + 2);
        return 2 + entry.entry_rest.size();
    }
    out.putbytes(std::vector<std::uint8_t>(8, 0), offset + 2);
    switch (entry.stream_type) {
    case 1:
        out.putword(entry.ref_to_stream_PID_of_mainClip, offset + 2);
        break;
    case 2:
    case 4:
        out.putbyte(entry.ref_to_SubPath_id, offset + 2);
        out.putbyte(entry.ref_to_subClip_entry_id, offset + 3);
        out.putword(entry.ref_to_stream_PID_of_subClip, offset + 4);
        break;
    default:
        out.putbyte(entry.ref_to_SubPath_id, offset + 2);
        out.putword(entry.ref_to_stream_PID_of_mainClip, offset + 3);
        break;
    }
    out.putbytes(entry.entry_rest, offset + 10);
    return 10 + entry.entry_rest.size();
}

std::size_t writeattrib(ByteWriter& out, std::size_t offset, const TStreamEntry& entry) {
    out.putbyte(entry.attributes_length, offset);
    out.putbyte(entry.stream_coding_type, offset + 1);
    const AttributeKind kind = attributeKind(entry.stream_coding_type);
    if (kind == AttributeKind::Unknown) {
        out.putbytes(entry.attributes_rest, offset + 2);
        return 2 + entry.attributes_rest.size();
    }
    out.putlword(0, offset + 2);
    switch (kind) {
    case AttributeKind::Video:
        out.putbyte((entry.video_format & 0x0Fu) * 16 + (entry.frame_rate & 0x0Fu), offset + 2);
        out.putbyte((entry.dynamic_range_type & 0x0Fu) * 16 + (entry.color_space & 0x0Fu), offset + 3);
        out.putbyte((entry.cr_flag & 1u) * 0x80 + (entry.HDR_plus_flag & 1u) * 0x40, offset + 4);
        break;
    case AttributeKind::Audio:
        out.putbyte((entry.audio_presentation_type & 0x0Fu) * 16 + (entry.sampling_frequency & 0x0Fu),
                    offset + 2);
        out.putstring(entry.language_code, offset + 3, 3);
        break;
    case AttributeKind::Graphics:
        out.putstring(entry.language_code, offset + 2, 3);
        break;
    default:
        out.putbyte(entry.character_code, offset + 2);
        out.putstring(entry.language_code, offset + 3, 3);
        break;
    }
    out.putbytes(entry.attributes_rest, offset + 6);
    return 6 + entry.attributes_rest.size();
}

std::size_t streamEntrySize(const TStreamEntry& entry) {
    ByteWriter scratch;
    appendStreamEntry(scratch, entry);
    return scratch.fill();
}

void appendMark(ByteWriter& out, const TMarkEntry& mark) {
    out.appendbyte(mark.mark_reserved);
    out.appendbyte(mark.mark_type);
    out.appendword(mark.ref_to_PlayItem_id);
    out.appendlword(mark.mark_time_stamp);
    out.appendword(mark.entry_ES_PID);
    out.appendlword(mark.duration);
}

void appendPlayListMark(ByteWriter& out, const TPlayListMark& marks) {
    const std::size_t count = std::min<std::size_t>(marks.marks.size(), 0xFFFF);
    out.appendlword(marks.PlayListMark_length);
    out.appendword(static_cast<std::uint32_t>(count));
    for (std::size_t i = 0; i < count; ++i) appendMark(out, marks.marks[i]);
    out.appendbytes(marks.PlayListMark_rest);
}

std::vector<std::uint8_t> writePlayList(const TMPLS& mpls) {
    ByteWriter out;
    out.appendstring(mpls.type_indicator, 4);
    out.appendstring(mpls.version_number, 4);
    out.appendlword(mpls.PlayList_start_address);
    out.appendlword(mpls.PlayListMark_start_address);
    out.appendlword(mpls.ExtensionData_start_address);
    out.appendbytes(std::vector<std::uint8_t>(20, 0));

    // AppInfoPlayList(): AppInfo_length + 4 bytes, zeros after the flag word.
    const std::size_t appStart = out.fill();
    out.appendlword(mpls.AppInfo_length);
    out.appendbyte(mpls.AppInfo_reserved);
    out.appendbyte(mpls.PlayList_playback_type);
    out.appendword(mpls.playback_count);
    out.appendlword(mpls.UO_mask_table1);
    out.appendlword(mpls.UO_mask_table2);
    out.appendword((mpls.PlayList_random_access_flag & 1u) * 0x8000 +
                   (mpls.audio_mix_app_flag & 1u) * 0x4000 +
                   (mpls.lossless_may_bypass_mixer_flag & 1u) * 0x2000);
    const std::size_t appEnd = appStart + 4 + std::size_t{mpls.AppInfo_length};
    if (appEnd > out.fill()) out.appendbytes(std::vector<std::uint8_t>(appEnd - out.fill(), 0));
    out.appendbytes(mpls.padding_before_PlayList);

    const TPlayList& list = mpls.PlayList;
    const std::size_t listStart = out.fill();
    const std::size_t items = std::min<std::size_t>(list.PlayItems.size(), 0xFFFF);
    const std::size_t paths = std::min<std::size_t>(list.SubPaths.size(), 0xFFFF);
    out.appendlword(list.PlayList_length);
    out.appendword(list.PlayList_reserved);
    out.appendword(static_cast<std::uint32_t>(items));
    out.appendword(static_cast<std::uint32_t>(paths));
    for (std::size_t i = 0; i < items; ++i) appendPlayItem(out, list.PlayItems[i]);
    for (std::size_t i = 0; i < paths; ++i) appendSubPath(out, list.SubPaths[i]);
    out.appendbytes(list.PlayList_rest);
    // The pad byte that puts PlayListMark() at an even offset: written when PlayList_length
    // counts it and no kept bytes stand in for it.
    const std::size_t listEnd = listStart + 4 + std::size_t{list.PlayList_length};
    if (listEnd > out.fill() && (out.fill() - listStart) % 2) out.appendbyte(0);
    out.appendbytes(mpls.padding_before_PlayListMark);

    if (mpls.PlayListMark_start_address != 0) appendPlayListMark(out, mpls.PlayListMark);
    if (mpls.ExtensionData_start_address != 0) {
        out.appendbytes(mpls.padding_before_extension);
        WriteExtensionData(out, mpls.ExtensionData);
    }
    out.appendbytes(mpls.padding_at_end);
    std::vector<std::uint8_t> bytes;
    out.flushbuffer(bytes);
    return bytes;
}

namespace {

template <typename Append> std::size_t measured(Append append) {
    ByteWriter scratch;
    append(scratch);
    return scratch.fill();
}

std::uint8_t count8(std::size_t size) {
    return static_cast<std::uint8_t>(std::min<std::size_t>(size, 255));
}

} // namespace

void layOutPlayList(TMPLS& mpls) {
    constexpr std::size_t HeaderBytes = 40; // type, version, three addresses, 20 reserved
    TPlayList& list = mpls.PlayList;
    for (TPlayItem& item : list.PlayItems) {
        TSTN& stn = item.STN;
        const std::size_t pip =
            std::min<std::size_t>(stn.number_of_PiP_PG_textST_stream_entries_plus, stn.PG.size());
        stn.number_of_primary_video_stream_entries = count8(stn.video.size());
        stn.number_of_primary_audio_stream_entries = count8(stn.audio.size());
        stn.number_of_PG_textST_stream_entries = count8(stn.PG.size() - pip);
        stn.number_of_IG_stream_entries = count8(stn.IG.size());
        stn.number_of_secondary_audio_stream_entries = count8(stn.sec_audio.size());
        stn.number_of_secondary_video_stream_entries = count8(stn.sec_video.size());
        stn.number_of_DV_EL_stream_entries = count8(stn.DV_EL.size());
        stn.STN_length =
            static_cast<std::uint16_t>(measured([&stn](ByteWriter& out) { appendSTN(out, stn); }) - 2);
        if (item.is_multi_angle) item.multi_clip.number_of_angles = count8(item.multi_clip.angles.size());
        item.PlayItem_length =
            static_cast<std::uint16_t>(measured([&item](ByteWriter& out) { appendPlayItem(out, item); }) - 2);
    }
    for (TSubPath& path : list.SubPaths) {
        for (TSubPlayItem& item : path.SubPlayItems) {
            if (item.is_multi_Clip_entries) item.number_of_Clip_entries = count8(item.Clip_entries.size());
            item.SubPlayItem_length = static_cast<std::uint16_t>(
                measured([&item](ByteWriter& out) { appendSubPlayItem(out, item); }) - 2);
        }
        path.number_of_SubPlayItems = count8(path.SubPlayItems.size());
        path.SubPath_length =
            static_cast<std::uint32_t>(measured([&path](ByteWriter& out) { appendSubPath(out, path); }) - 4);
    }
    list.number_of_PlayItems =
        static_cast<std::uint16_t>(std::min<std::size_t>(list.PlayItems.size(), 0xFFFF));
    list.number_of_SubPaths = static_cast<std::uint16_t>(std::min<std::size_t>(list.SubPaths.size(), 0xFFFF));

    mpls.PlayList_start_address = static_cast<std::uint32_t>(HeaderBytes + 4 + mpls.AppInfo_length +
                                                             mpls.padding_before_PlayList.size());
    std::size_t body = 6 + list.PlayList_rest.size();
    for (const TPlayItem& item : list.PlayItems) body += 2 + std::size_t{item.PlayItem_length};
    for (const TSubPath& path : list.SubPaths) body += 4 + std::size_t{path.SubPath_length};
    if ((mpls.PlayList_start_address + 4 + body) % 2) ++body;
    list.PlayList_length = static_cast<std::uint32_t>(body);

    TPlayListMark& marks = mpls.PlayListMark;
    marks.number_of_PlayList_marks =
        static_cast<std::uint16_t>(std::min<std::size_t>(marks.marks.size(), 0xFFFF));
    marks.PlayListMark_length =
        static_cast<std::uint32_t>(2 + 14 * marks.number_of_PlayList_marks + marks.PlayListMark_rest.size());
    mpls.PlayListMark_start_address = static_cast<std::uint32_t>(mpls.PlayList_start_address + 4 + body +
                                                                 mpls.padding_before_PlayListMark.size());
    if (mpls.ExtensionData_start_address != 0)
        mpls.ExtensionData_start_address =
            static_cast<std::uint32_t>(mpls.PlayListMark_start_address + 4 + marks.PlayListMark_length +
                                       mpls.padding_before_extension.size());
}

} // namespace corvane
