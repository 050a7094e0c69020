#include "playlist/PlayListReader.h"

#include <algorithm>
#include <utility>

#include "io/ByteReader.h"
#include "io/TextUtil.h"
#include "playlist/PlayListNames.h"

namespace corvane {

void readEntryRefs(ByteReader& in, TStreamEntry& entry) {
    switch (entry.stream_type) {
    case 1:
        entry.ref_to_stream_PID_of_mainClip = static_cast<std::uint16_t>(in.readword());
        break;
    case 2:
    case 4: // a Dolby Vision enhancement layer on a SubPath: the SubPath layout
        entry.ref_to_SubPath_id = static_cast<std::uint8_t>(in.readbyte());
        entry.ref_to_subClip_entry_id = static_cast<std::uint8_t>(in.readbyte());
        entry.ref_to_stream_PID_of_subClip = static_cast<std::uint16_t>(in.readword());
        break;
    case 3:
        entry.ref_to_SubPath_id = static_cast<std::uint8_t>(in.readbyte());
        entry.ref_to_stream_PID_of_mainClip = static_cast<std::uint16_t>(in.readword());
        break;
    default:
        break;
    }
}

namespace {

// A length-bounded part of the file: its reader, where it starts in the file and what it is.
struct Span {
    ByteReader in;
    std::size_t base = 0;
    std::string what;
    bool whole = false; // the file itself: running out means the file ends early
    std::size_t at() const { return base + in.pos(); }
};

class Parser {
public:
    Parser(const std::vector<std::uint8_t>& bytes, std::string_view name)
        : m_file{ByteReader(bytes), 0, "the file", true}, m_name(name) {}

    PlsReadResult run(bool quiet);

private:
    void fail(std::size_t at, const std::string& text) {
        if (m_failed) return;
        m_failed = true;
        m_problemAt = at;
        m_problem = text;
    }
    // The next `length` bytes of `parent` as a part of its own.
    Span enter(Span& parent, std::size_t length, std::string what) {
        const std::size_t start = parent.at();
        Span inner{parent.in.sub(length), start, std::move(what)};
        if (parent.in.overrun()) overrunOf(parent, inner.what + " at $" + hexText(start, 8));
        return inner;
    }
    // After the fields of a part: reading past its end is the file's or the length's fault.
    bool check(const Span& span) {
        if (span.in.overrun()) {
            if (span.whole) {
                overrunOf(span, "the data");
            } else {
                const std::size_t at = span.base + span.in.overrunAt();
                fail(at, std::string(m_name) + " is inconsistent: the fields of " + span.what +
                             " run past its length (at $" + hexText(at, 8) + ").");
            }
        }
        return !m_failed;
    }
    // `what` ran past the end of `span`.
    void overrunOf(const Span& span, const std::string& what) {
        const std::size_t at = span.base + span.in.overrunAt();
        if (span.whole)
            fail(at, std::string(m_name) + " ends early: " + what + " runs past the end of the file at $" +
                         hexText(at, 8) + ".");
        else
            fail(at, std::string(m_name) + " is inconsistent: " + what + " does not fit in " + span.what +
                         " (at $" + hexText(at, 8) + ").");
    }
    void showProgress(std::size_t at) {
        m_progress = std::to_string(at) + "/" + std::to_string(m_file.in.size());
    }
    // Bytes between the end of one section and the start address of the next.
    bool gapTo(std::uint64_t sectionEnd, std::uint32_t address, const std::string& field,
               std::vector<std::uint8_t>& gap) {
        if (address < sectionEnd) {
            fail(address, std::string(m_name) + " is inconsistent: " + field + " $" + hexText(address, 8) +
                              " points inside the section before it.");
            return false;
        }
        if (address > m_file.in.size()) {
            fail(m_file.in.size(), std::string(m_name) + " ends early: " + field + " $" +
                                       hexText(address, 8) + " lies past the end of the file.");
            return false;
        }
        m_file.in.seek(static_cast<std::size_t>(sectionEnd));
        gap = m_file.in.readbytes(static_cast<std::size_t>(address - sectionEnd));
        return check(m_file);
    }

    void readAppInfo(TMPLS& mpls);
    void readPlayList(TPlayList& list);
    void readPlayItem(Span& list, TPlayItem& item, std::size_t index);
    void readSTN(Span& item, TSTN& stn, const std::string& owner);
    void readStreamEntry(Span& stn, TStreamEntry& entry, const std::string& what);
    void readSubPath(Span& list, TSubPath& path, std::size_t index);
    void readSubPlayItem(Span& path, TSubPlayItem& item, const std::string& what);
    void readMarks(TPlayListMark& marks);

    Span m_file;
    std::string_view m_name;
    bool m_failed = false;
    std::size_t m_problemAt = 0;
    std::string m_problem;
    std::string m_progress;
};

TClipEntry readClipEntry(ByteReader& in) {
    TClipEntry clip;
    clip.Clip_Information_file_name = in.readstring(5);
    clip.Clip_codec_identifier = in.readstring(4);
    clip.ref_to_STC_id = static_cast<std::uint8_t>(in.readbyte());
    return clip;
}

// 0100 and 0200 for Blu-ray discs, 0300 for Ultra HD ones.
bool isKnownVersion(std::string_view version) {
    return version == "0100" || version == "0200" || version == "0300";
}

std::string numbered(std::string_view what, std::size_t index) {
    return std::string(what) + " " + zeroPad(index, 3);
}

void Parser::readAppInfo(TMPLS& mpls) {
    mpls.AppInfo_length = m_file.in.readlword();
    Span app = enter(m_file, mpls.AppInfo_length, "AppInfoPlayList()");
    mpls.AppInfo_reserved = static_cast<std::uint8_t>(app.in.readbyte());
    mpls.PlayList_playback_type = static_cast<std::uint8_t>(app.in.readbyte());
    mpls.playback_count = static_cast<std::uint16_t>(app.in.readword());
    mpls.UO_mask_table1 = app.in.readlword();
    mpls.UO_mask_table2 = app.in.readlword();
    const std::uint32_t flags = app.in.readword();
    mpls.PlayList_random_access_flag = static_cast<std::uint8_t>((flags >> 15) & 1);
    mpls.audio_mix_app_flag = static_cast<std::uint8_t>((flags >> 14) & 1);
    mpls.lossless_may_bypass_mixer_flag = static_cast<std::uint8_t>((flags >> 13) & 1);
    check(app);
}

void Parser::readStreamEntry(Span& stn, TStreamEntry& entry, const std::string& what) {
    entry.entry_length = static_cast<std::uint8_t>(stn.in.readbyte());
    Span body = enter(stn, entry.entry_length, "the stream_entry() of " + what);
    entry.stream_type = static_cast<std::uint8_t>(body.in.readbyte());
    readEntryRefs(body.in, entry);
    // A known entry has 9 bytes after its length; reserved bytes among them are dropped.
    if (isKnownEntryType(entry.stream_type)) body.in.seek(9);
    entry.entry_rest = body.in.readbytes(body.in.remaining());
    if (!check(body)) return;

    entry.attributes_length = static_cast<std::uint8_t>(stn.in.readbyte());
    Span attributes = enter(stn, entry.attributes_length, "the stream_attributes() of " + what);
    entry.stream_coding_type = static_cast<std::uint8_t>(attributes.in.readbyte());
    const AttributeKind kind = attributeKind(entry.stream_coding_type);
    switch (kind) {
    case AttributeKind::Video: {
        const std::uint32_t format = attributes.in.readbyte();
        entry.video_format = static_cast<std::uint8_t>(format >> 4);
        entry.frame_rate = static_cast<std::uint8_t>(format & 0x0F);
        const std::uint32_t range = attributes.in.readbyte();
        entry.dynamic_range_type = static_cast<std::uint8_t>(range >> 4);
        entry.color_space = static_cast<std::uint8_t>(range & 0x0F);
        const std::uint32_t flags = attributes.in.readbyte();
        entry.cr_flag = static_cast<std::uint8_t>(flags >> 7);
        entry.HDR_plus_flag = static_cast<std::uint8_t>((flags >> 6) & 1);
        break;
    }
    case AttributeKind::Audio: {
        const std::uint32_t format = attributes.in.readbyte();
        entry.audio_presentation_type = static_cast<std::uint8_t>(format >> 4);
        entry.sampling_frequency = static_cast<std::uint8_t>(format & 0x0F);
        entry.language_code = attributes.in.readstring(3);
        break;
    }
    case AttributeKind::Graphics:
        entry.language_code = attributes.in.readstring(3);
        break;
    case AttributeKind::Text:
        entry.character_code = static_cast<std::uint8_t>(attributes.in.readbyte());
        entry.language_code = attributes.in.readstring(3);
        break;
    case AttributeKind::Unknown:
        break;
    }
    if (kind != AttributeKind::Unknown) attributes.in.seek(5);
    entry.attributes_rest = attributes.in.readbytes(attributes.in.remaining());
    check(attributes);
}

void Parser::readSTN(Span& item, TSTN& stn, const std::string& owner) {
    stn.STN_length = static_cast<std::uint16_t>(item.in.readword());
    Span table = enter(item, stn.STN_length, "the STN_table() of " + owner);
    stn.STN_reserved = static_cast<std::uint16_t>(table.in.readword());
    stn.number_of_primary_video_stream_entries = static_cast<std::uint8_t>(table.in.readbyte());
    stn.number_of_primary_audio_stream_entries = static_cast<std::uint8_t>(table.in.readbyte());
    stn.number_of_PG_textST_stream_entries = static_cast<std::uint8_t>(table.in.readbyte());
    stn.number_of_IG_stream_entries = static_cast<std::uint8_t>(table.in.readbyte());
    stn.number_of_secondary_audio_stream_entries = static_cast<std::uint8_t>(table.in.readbyte());
    stn.number_of_secondary_video_stream_entries = static_cast<std::uint8_t>(table.in.readbyte());
    stn.number_of_PiP_PG_textST_stream_entries_plus = static_cast<std::uint8_t>(table.in.readbyte());
    stn.number_of_DV_EL_stream_entries = static_cast<std::uint8_t>(table.in.readbyte());
    table.in.skip(4);
    if (!check(table)) return;

    // One list after the other; every entry is at least 4 bytes, which caps what is allocated.
    auto readList = [&](std::vector<TStreamEntry>& list, std::size_t count, std::string_view kind) {
        list.reserve(table.in.capCount(count, 4));
        for (std::size_t i = 0; i < count && !m_failed; ++i)
            readStreamEntry(table, list.emplace_back(), numbered(kind, i + 1) + " of " + owner);
    };
    readList(stn.video, stn.number_of_primary_video_stream_entries, "video entry");
    readList(stn.audio, stn.number_of_primary_audio_stream_entries, "audio entry");
    readList(stn.PG,
             std::size_t{stn.number_of_PG_textST_stream_entries} +
                 stn.number_of_PiP_PG_textST_stream_entries_plus,
             "PG entry");
    readList(stn.IG, stn.number_of_IG_stream_entries, "IG entry");
    for (std::size_t i = 0; i < stn.number_of_secondary_audio_stream_entries && !m_failed; ++i) {
        TSecAudio& secondary = stn.sec_audio.emplace_back();
        const std::string what = numbered("secondary audio entry", i + 1) + " of " + owner;
        readStreamEntry(table, secondary.entry, what);
        if (m_failed) break;
        secondary.number_of_primary_audio_ref_entries = static_cast<std::uint8_t>(table.in.readbyte());
        secondary.sec_audio_reserved = static_cast<std::uint8_t>(table.in.readbyte());
        secondary.primary_audio_refs = table.in.readbytes(secondary.number_of_primary_audio_ref_entries);
        if (secondary.number_of_primary_audio_ref_entries % 2) table.in.skip(1);
        check(table);
    }
    for (std::size_t i = 0; i < stn.number_of_secondary_video_stream_entries && !m_failed; ++i) {
        TSecVideo& secondary = stn.sec_video.emplace_back();
        const std::string what = numbered("secondary video entry", i + 1) + " of " + owner;
        readStreamEntry(table, secondary.entry, what);
        if (m_failed) break;
        secondary.number_of_secondary_audio_ref_entries = static_cast<std::uint8_t>(table.in.readbyte());
        secondary.sec_video_reserved = static_cast<std::uint8_t>(table.in.readbyte());
        secondary.secondary_audio_refs = table.in.readbytes(secondary.number_of_secondary_audio_ref_entries);
        if (secondary.number_of_secondary_audio_ref_entries % 2) table.in.skip(1);
        secondary.number_of_PiP_PG_textST_ref_entries = static_cast<std::uint8_t>(table.in.readbyte());
        table.in.skip(1);
        secondary.PiP_PG_textST_refs = table.in.readbytes(secondary.number_of_PiP_PG_textST_ref_entries);
        if (secondary.number_of_PiP_PG_textST_ref_entries % 2) table.in.skip(1);
        check(table);
    }
    readList(stn.DV_EL, stn.number_of_DV_EL_stream_entries, "DV EL entry");
    if (m_failed) return;
    stn.STN_rest = table.in.readbytes(table.in.remaining());
}

void Parser::readPlayItem(Span& list, TPlayItem& item, std::size_t index) {
    showProgress(list.at());
    item.PlayItem_length = static_cast<std::uint16_t>(list.in.readword());
    const std::string what = numbered("PlayItem", index);
    Span body = enter(list, item.PlayItem_length, what);
    ByteReader& in = body.in;
    item.Clip_Information_file_name = in.readstring(5);
    item.Clip_codec_identifier = in.readstring(4);
    const std::uint32_t flags = in.readword();
    item.is_multi_angle = static_cast<std::uint8_t>((flags >> 4) & 1);
    item.connection_condition = static_cast<std::uint8_t>(flags & 0x0F);
    item.ref_to_STC_id = static_cast<std::uint8_t>(in.readbyte());
    item.IN_time = in.readlword();
    item.OUT_time = in.readlword();
    item.UO_mask_table1 = in.readlword();
    item.UO_mask_table2 = in.readlword();
    item.PlayItem_random_access_flag = static_cast<std::uint8_t>(in.readbyte() >> 7);
    item.still_mode = static_cast<std::uint8_t>(in.readbyte());
    item.still_time = static_cast<std::uint16_t>(in.readword());
    if (item.is_multi_angle) {
        Tmulti_clip& angles = item.multi_clip;
        angles.number_of_angles = static_cast<std::uint8_t>(in.readbyte());
        const std::uint32_t angleFlags = in.readbyte();
        angles.is_different_audios = static_cast<std::uint8_t>((angleFlags >> 1) & 1);
        angles.is_seamless_angle_change = static_cast<std::uint8_t>(angleFlags & 1);
        if (angles.number_of_angles > 0)
            angles.angles.push_back(
                {item.Clip_Information_file_name, item.Clip_codec_identifier, item.ref_to_STC_id});
        for (std::size_t k = 1; k < angles.number_of_angles; ++k) angles.angles.push_back(readClipEntry(in));
    }
    if (!check(body)) return;
    readSTN(body, item.STN, what);
    if (m_failed) return;
    item.PlayItem_rest = in.readbytes(in.remaining());
}

void Parser::readSubPlayItem(Span& path, TSubPlayItem& item, const std::string& what) {
    item.SubPlayItem_length = static_cast<std::uint16_t>(path.in.readword());
    Span body = enter(path, item.SubPlayItem_length, what);
    ByteReader& in = body.in;
    item.Clip_Information_file_name = in.readstring(5);
    item.Clip_codec_identifier = in.readstring(4);
    const std::uint32_t flags = in.readlword();
    item.is_multi_Clip_entries = static_cast<std::uint8_t>(flags & 1);
    item.SP_connection_condition = static_cast<std::uint8_t>(flags >> 1);
    item.ref_to_STC_id = static_cast<std::uint8_t>(in.readbyte());
    item.SubPlayItem_IN_time = in.readlword();
    item.SubPlayItem_OUT_time = in.readlword();
    item.sync_PlayItem_id = static_cast<std::uint16_t>(in.readword());
    item.sync_start_PTS_of_PlayItem = in.readlword();
    if (item.is_multi_Clip_entries) {
        item.number_of_Clip_entries = static_cast<std::uint8_t>(in.readbyte());
        item.Clip_entries_reserved = static_cast<std::uint8_t>(in.readbyte());
        if (item.number_of_Clip_entries > 0)
            item.Clip_entries.push_back(
                {item.Clip_Information_file_name, item.Clip_codec_identifier, item.ref_to_STC_id});
        for (std::size_t k = 1; k < item.number_of_Clip_entries; ++k)
            item.Clip_entries.push_back(readClipEntry(in));
    }
    if (!check(body)) return;
    item.SubPlayItem_rest = in.readbytes(in.remaining());
}

void Parser::readSubPath(Span& list, TSubPath& path, std::size_t index) {
    showProgress(list.at());
    path.SubPath_length = list.in.readlword();
    const std::string what = numbered("SubPath", index);
    Span body = enter(list, path.SubPath_length, what);
    path.SubPath_reserved1 = static_cast<std::uint8_t>(body.in.readbyte());
    path.SubPath_type = static_cast<std::uint8_t>(body.in.readbyte());
    path.SubPath_flags = static_cast<std::uint16_t>(body.in.readword());
    path.SubPath_reserved2 = static_cast<std::uint8_t>(body.in.readbyte());
    path.number_of_SubPlayItems = static_cast<std::uint8_t>(body.in.readbyte());
    if (!check(body)) return;
    for (std::size_t i = 0; i < path.number_of_SubPlayItems && !m_failed; ++i)
        readSubPlayItem(body, path.SubPlayItems.emplace_back(), numbered("SubPlayItem", i) + " of " + what);
    if (m_failed) return;
    path.SubPath_rest = body.in.readbytes(body.in.remaining());
}

void Parser::readPlayList(TPlayList& list) {
    list.PlayList_length = m_file.in.readlword();
    Span body = enter(m_file, list.PlayList_length, "PlayList()");
    list.PlayList_reserved = static_cast<std::uint16_t>(body.in.readword());
    list.number_of_PlayItems = static_cast<std::uint16_t>(body.in.readword());
    list.number_of_SubPaths = static_cast<std::uint16_t>(body.in.readword());
    if (!check(body)) return;
    // A PlayItem takes at least 36 bytes and a SubPath 14: the counts cannot ask for more.
    list.PlayItems.reserve(body.in.capCount(list.number_of_PlayItems, 36));
    for (std::size_t i = 0; i < list.number_of_PlayItems && !m_failed; ++i)
        readPlayItem(body, list.PlayItems.emplace_back(), i);
    list.SubPaths.reserve(body.in.capCount(list.number_of_SubPaths, 14));
    for (std::size_t i = 0; i < list.number_of_SubPaths && !m_failed; ++i)
        readSubPath(body, list.SubPaths.emplace_back(), i);
    if (m_failed) return;
    list.PlayList_rest = body.in.readbytes(body.in.remaining());
}

void Parser::readMarks(TPlayListMark& marks) {
    marks.PlayListMark_length = m_file.in.readlword();
    Span body = enter(m_file, marks.PlayListMark_length, "PlayListMark()");
    marks.number_of_PlayList_marks = static_cast<std::uint16_t>(body.in.readword());
    if (!check(body)) return;
    marks.marks.reserve(body.in.capCount(marks.number_of_PlayList_marks, 14));
    for (std::size_t i = 0; i < marks.number_of_PlayList_marks; ++i) {
        showProgress(body.at());
        TMarkEntry& mark = marks.marks.emplace_back();
        mark.mark_reserved = static_cast<std::uint8_t>(body.in.readbyte());
        mark.mark_type = static_cast<std::uint8_t>(body.in.readbyte());
        mark.ref_to_PlayItem_id = static_cast<std::uint16_t>(body.in.readword());
        mark.mark_time_stamp = body.in.readlword();
        mark.entry_ES_PID = static_cast<std::uint16_t>(body.in.readword());
        mark.duration = body.in.readlword();
        if (body.in.overrun()) break;
    }
    if (!check(body)) return;
    marks.PlayListMark_rest = body.in.readbytes(body.in.remaining());
}

PlsReadResult Parser::run(bool quiet) {
    PlsReadResult result;
    TMPLS& mpls = result.mpls;
    ByteReader& in = m_file.in;
    mpls.type_indicator = in.readstring(4);
    mpls.version_number = in.readstring(4);
    // The start of a playlist cut short, not another kind of file.
    if (in.overrun() && in.size() > 0 &&
        std::string_view("MPLS").starts_with(mpls.type_indicator.substr(0, in.size()))) {
        result.status = ReadStatus::Damaged;
        result.mpls = TMPLS{};
        result.problemAt = in.size();
        result.messages.push_back({ReadMessage::Kind::Error, std::string(m_name) +
                                                                 " ends early: the file header runs past "
                                                                 "the end of the file at $" +
                                                                 hexText(in.size(), 8) + "."});
        return result;
    }
    if (mpls.type_indicator != "MPLS" || !isKnownVersion(mpls.version_number)) {
        result.status = ReadStatus::FormatError;
        result.mpls = TMPLS{};
        result.messages.push_back({ReadMessage::Kind::Error, "Invalid format: " + std::string(m_name)});
        return result;
    }
    mpls.PlayList_start_address = in.readlword();
    mpls.PlayListMark_start_address = in.readlword();
    mpls.ExtensionData_start_address = in.readlword();
    const auto reserved = in.readbytes(mpls.reserved_header.size());
    std::copy(reserved.begin(), reserved.end(), mpls.reserved_header.begin());
    if (in.overrun())
        overrunOf(m_file, "the header");
    else
        readAppInfo(mpls);

    // Sections in file order, each after the end of the one before it.
    std::uint64_t sectionEnd = 44 + std::uint64_t{mpls.AppInfo_length};
    if (!m_failed && gapTo(sectionEnd, mpls.PlayList_start_address, "PlayList_start_address",
                           mpls.padding_before_PlayList))
        readPlayList(mpls.PlayList);
    sectionEnd = std::uint64_t{mpls.PlayList_start_address} + 4 + mpls.PlayList.PlayList_length;
    if (!m_failed && mpls.PlayListMark_start_address != 0 &&
        gapTo(sectionEnd, mpls.PlayListMark_start_address, "PlayListMark_start_address",
              mpls.padding_before_PlayListMark)) {
        readMarks(mpls.PlayListMark);
        sectionEnd =
            std::uint64_t{mpls.PlayListMark_start_address} + 4 + mpls.PlayListMark.PlayListMark_length;
    }
    if (!m_failed && mpls.ExtensionData_start_address != 0) {
        if (gapTo(sectionEnd, mpls.ExtensionData_start_address, "ExtensionData_start_address",
                  mpls.padding_before_extension)) {
            ReadExtensionData(in, mpls.ExtensionData);
            if (in.overrun()) overrunOf(m_file, "ExtensionData()");
            sectionEnd = in.pos();
        }
    }
    if (!m_failed && sectionEnd < in.size()) {
        in.seek(static_cast<std::size_t>(sectionEnd));
        mpls.padding_at_end = in.readbytes(in.remaining());
    }

    result.progress = m_progress;
    if (m_failed) {
        result.status = ReadStatus::Damaged;
        result.problemAt = m_problemAt;
        result.messages.push_back({ReadMessage::Kind::Error, m_problem});
        return result;
    }
    if (!quiet) {
        result.messages.push_back({ReadMessage::Kind::Log, playListFoundLine(mpls)});
        result.messages.push_back({ReadMessage::Kind::Log, ""});
    }
    return result;
}

} // namespace

PlsReadResult readPlayList(const std::vector<std::uint8_t>& bytes, std::string_view name, bool quiet) {
    return Parser(bytes, name).run(quiet);
}

std::string playListFoundLine(const TMPLS& mpls) {
    return "[b]" + std::to_string(mpls.PlayList.PlayItems.size()) + "[/b] PlayItem(s), [b]" +
           std::to_string(mpls.PlayList.SubPaths.size()) + "[/b] SubPath(s) and [b]" +
           std::to_string(mpls.PlayListMark.marks.size()) + "[/b] PlayListMark(s) found.";
}

} // namespace corvane
