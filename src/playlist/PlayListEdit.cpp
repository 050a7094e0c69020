#include "playlist/PlayListEdit.h"

#include <algorithm>
#include <charconv>

#include "io/ByteReader.h"
#include "playlist/PlayListNames.h"
#include "playlist/PlayListReader.h"
#include "playlist/PlayListWriter.h"

namespace corvane {

namespace {

constexpr std::array<std::string_view, 32> UOHints = {
    "UO0: Secondary audio stream number change",
    "UO1:Secondary audio enable disable",
    "UO2: Secondary video stream number change",
    "UO3: Secondary video enable disable",
    "UO4: PG Text ST stream number change",
    "UO5: PG Text ST enable disable",
    "UO6: Popup off",
    "UO7: Popup on",
    "UO8:Angle number change",
    "UO9: Reserved",
    "UO10: Primary audio stream number change",
    "UO11: Select button and activate",
    "UO12: Activate button",
    "UO13: Select button",
    "UO14: Move right selected button",
    "UO15: Move left selected button",
    "UO16: Move down selected button",
    "UO17: Move up selected button",
    "UO18: Resume",
    "UO19: Backward play",
    "UO20: Forward play",
    "UO21: Still off",
    "UO22: Reserved for pause off",
    "UO23: Pause on",
    "UO24: Stop",
    "UO25: Reserved for play FirstPlay",
    "Skip back to previous point ",
    "UO27: Skip to next point",
    "UO28: Time search",
    "UO29: Chapter search",
    "UO30: Reserved for title search",
    "UO31: reserved for menu call",
};

bool hasSpace(std::string_view text) {
    return text.find(' ') != std::string_view::npos;
}

// Decimal digits only, at most 9 of them.
std::optional<std::uint32_t> parseDecimal(std::string_view text) {
    if (text.empty() || text.size() > 9) return std::nullopt;
    std::uint32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size()) return std::nullopt;
    return value;
}

std::optional<std::uint32_t> parseHex8(std::string_view text) {
    if (text.size() != 8) return std::nullopt;
    std::uint32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
    if (error != std::errc{} || end != text.data() + text.size()) return std::nullopt;
    return value;
}

std::size_t pgCount(const TSTN& stn) {
    return std::min<std::size_t>(stn.number_of_PG_textST_stream_entries, stn.PG.size());
}

// Moves everything after the PlayList() header by `delta` bytes.
void resizePlayList(TMPLS& mpls, std::int64_t delta) {
    mpls.PlayList.PlayList_length = static_cast<std::uint32_t>(mpls.PlayList.PlayList_length + delta);
    if (mpls.PlayListMark_start_address != 0)
        mpls.PlayListMark_start_address = static_cast<std::uint32_t>(mpls.PlayListMark_start_address + delta);
    if (mpls.ExtensionData_start_address != 0)
        mpls.ExtensionData_start_address =
            static_cast<std::uint32_t>(mpls.ExtensionData_start_address + delta);
}

void resizeSTN(TMPLS& mpls, TPlayItem& item, std::int64_t delta) {
    item.STN.STN_length = static_cast<std::uint16_t>(item.STN.STN_length + delta);
    item.PlayItem_length = static_cast<std::uint16_t>(item.PlayItem_length + delta);
    resizePlayList(mpls, delta);
}

void syncCounts(TSTN& stn) {
    stn.number_of_primary_video_stream_entries = static_cast<std::uint8_t>(stn.video.size());
    stn.number_of_primary_audio_stream_entries = static_cast<std::uint8_t>(stn.audio.size());
    stn.number_of_IG_stream_entries = static_cast<std::uint8_t>(stn.IG.size());
    stn.number_of_secondary_audio_stream_entries = static_cast<std::uint8_t>(stn.sec_audio.size());
    stn.number_of_secondary_video_stream_entries = static_cast<std::uint8_t>(stn.sec_video.size());
    stn.number_of_PiP_PG_textST_stream_entries_plus = static_cast<std::uint8_t>(stn.PG.size() - pgCount(stn));
    stn.number_of_DV_EL_stream_entries = static_cast<std::uint8_t>(stn.DV_EL.size());
}

TStreamEntry defaultEntry(int list) {
    TStreamEntry entry;
    entry.entry_length = 9;
    entry.attributes_length = 5;
    entry.language_code = "eng";
    switch (list) {
    case ListPrimaryAudio:
        entry.stream_type = 1;
        entry.ref_to_stream_PID_of_mainClip = 0x1100;
        entry.stream_coding_type = 0x81;
        entry.audio_presentation_type = 6;
        entry.sampling_frequency = 1;
        break;
    case ListPG:
        entry.stream_type = 1;
        entry.ref_to_stream_PID_of_mainClip = 0x1200;
        entry.stream_coding_type = 0x90;
        break;
    default: // IG
        entry.stream_type = 2;
        entry.ref_to_stream_PID_of_subClip = 0x1400;
        entry.stream_coding_type = 0x91;
        break;
    }
    return entry;
}

// The entry keeps its size: the 8 bytes of a known layout after the type byte become kept
// bytes of an unknown one, and the first 8 kept bytes of an unknown one its known fields.
void setEntryType(TStreamEntry& entry, std::uint8_t type) {
    const bool wasKnown = isKnownEntryType(entry.stream_type);
    const bool known = isKnownEntryType(type);
    if (wasKnown && !known) {
        ByteWriter written; // entry_length, stream_type, the 8 bytes, the kept ones
        writeentry(written, 0, entry);
        entry.entry_rest.assign(written.buffer().begin() + 2, written.buffer().end());
    } else if (!wasKnown && known) {
        if (entry.entry_rest.size() < 8) return; // would grow the entry
        entry.stream_type = type;
        ByteReader in(std::span(entry.entry_rest).first(8));
        readEntryRefs(in, entry);
        entry.entry_rest.erase(entry.entry_rest.begin(), entry.entry_rest.begin() + 8);
        return;
    }
    entry.stream_type = type;
}

// A new coding type within the known layouts; from an unknown one only when its kept
// bytes cover the 4 bytes of the known layout (the entry keeps its size).
void setCoding(TStreamEntry& entry, std::uint8_t coding) {
    if (attributeKind(entry.stream_coding_type) == AttributeKind::Unknown) {
        if (entry.attributes_rest.size() < 4) return;
        entry.attributes_rest.erase(entry.attributes_rest.begin(), entry.attributes_rest.begin() + 4);
    }
    entry.stream_coding_type = coding;
}

template <std::size_t N> int indexOf(const std::array<std::uint8_t, N>& values, std::uint8_t value) {
    const auto it = std::find(values.begin(), values.end(), value);
    return it == values.end() ? -1 : static_cast<int>(it - values.begin());
}

} // namespace

std::string_view uoHint(int bit) {
    return bit >= 0 && bit < 32 ? UOHints[static_cast<std::size_t>(bit)] : std::string_view{};
}

std::uint32_t withBit(std::uint32_t mask, int bit, bool on) {
    const std::uint32_t value = 1u << (bit & 31);
    return on ? (mask | value) : (mask & ~value);
}

std::optional<std::uint32_t> parseTimeText(std::string_view text) {
    if (text.size() != 12 || text[2] != ':' || text[5] != ':' || text[8] != '.') return std::nullopt;
    const auto h = parseDecimal(text.substr(0, 2));
    const auto m = parseDecimal(text.substr(3, 2));
    const auto s = parseDecimal(text.substr(6, 2));
    const auto ms = parseDecimal(text.substr(9, 3));
    if (!h || !m || !s || !ms) return std::nullopt;
    const std::uint64_t ticks90 = std::uint64_t{*h} * 324000000 + std::uint64_t{*m} * 5400000 +
                                  std::uint64_t{*s} * 90000 + std::uint64_t{*ms} * 90;
    if (ticks90 / 2 > 0xFFFFFFFFu) return std::nullopt;
    return static_cast<std::uint32_t>(ticks90 / 2);
}

bool editPlayItemCell(TPlayItem& item, int column, std::string_view text) {
    switch (column) {
    case 1:
        if (text.size() != 5 || hasSpace(text)) return false;
        item.Clip_Information_file_name = std::string(text);
        if (!item.multi_clip.angles.empty())
            item.multi_clip.angles[0].Clip_Information_file_name = item.Clip_Information_file_name;
        return true;
    case 4: {
        if (hasSpace(text)) return false;
        const auto time = parseTimeText(text);
        if (!time) return false;
        item.OUT_time = *time;
        return true;
    }
    case 6:
    case 7: {
        if (hasSpace(text)) return false;
        const auto mask = parseHex8(text);
        if (!mask) return false;
        if (column == 6)
            item.UO_mask_table1 = *mask;
        else
            item.UO_mask_table2 = *mask & UO2Bit30;
        return true;
    }
    default:
        return false;
    }
}

InTimeQuestions inTimeQuestions(const TMPLS& mpls, std::size_t item, std::uint32_t newIn) {
    InTimeQuestions questions;
    if (item >= mpls.PlayList.PlayItems.size() || mpls.PlayList.PlayItems[item].IN_time == newIn)
        return questions;
    questions.changed = true;
    questions.askSubPlayItems = !mpls.PlayList.SubPaths.empty();
    questions.askMarks = !mpls.PlayListMark.marks.empty();
    return questions;
}

void applyInTime(TMPLS& mpls, std::size_t item, std::uint32_t newIn, const InTimeAnswers& answers) {
    if (item >= mpls.PlayList.PlayItems.size()) return;
    TPlayItem& playItem = mpls.PlayList.PlayItems[item];
    const std::uint32_t delta = newIn - playItem.IN_time;
    playItem.IN_time = newIn;
    if (answers.updateOut) playItem.OUT_time += delta;
    if (answers.updateSubPlayItems)
        for (auto& path : mpls.PlayList.SubPaths)
            for (auto& sub : path.SubPlayItems) {
                sub.SubPlayItem_IN_time += delta;
                sub.SubPlayItem_OUT_time += delta;
            }
    if (answers.updateMarks)
        for (auto& mark : mpls.PlayListMark.marks) mark.mark_time_stamp += delta;
}

std::size_t stnEntryBytes(const TSTN& stn, int list, std::size_t index) {
    const TStreamEntry* entry = stnEntry(stn, list, index);
    if (!entry) return 0;
    if (list == ListSecondaryAudio) return writtenSize(stn.sec_audio[index], appendSecondaryAudio);
    if (list == ListSecondaryVideo) return writtenSize(stn.sec_video[index], appendSecondaryVideo);
    return writtenSize(*entry, appendStreamEntry);
}

std::optional<StnButtons> stnButtons(const TSTN& stn, int list) {
    if (stnListSize(stn, list) == 0) return std::nullopt;
    StnButtons buttons;
    buttons.remove = list != ListPrimaryVideo;
    buttons.insert = canInsertStreamEntry(stn, list);
    return buttons;
}

bool canInsertStreamEntry(const TSTN& stn, int list) {
    switch (list) {
    case ListPrimaryAudio:
        return stn.audio.size() < 32;
    case ListPG:
        return stn.PG.size() < 255; // PG and PiP PG together fill one count byte each
    case ListIG:
        return stn.IG.size() < 32;
    default:
        return false;
    }
}

bool canDeleteStreamEntry(const TSTN& stn, int list) {
    if (list == ListPrimaryVideo) return false;
    return stnListSize(stn, list) >= (list == ListPrimaryAudio ? 2u : 1u);
}

std::optional<std::size_t> insertStreamEntry(TMPLS& mpls, std::size_t item, int list,
                                             std::optional<std::size_t> after) {
    if (item >= mpls.PlayList.PlayItems.size()) return std::nullopt;
    TPlayItem& playItem = mpls.PlayList.PlayItems[item];
    TSTN& stn = playItem.STN;
    if (!canInsertStreamEntry(stn, list)) return std::nullopt;
    const std::size_t size = stnListSize(stn, list);
    const std::size_t at = after ? std::min(*after + 1, size) : 0;
    const TStreamEntry entry = defaultEntry(list);
    switch (list) {
    case ListPrimaryAudio:
        stn.audio.insert(stn.audio.begin() + static_cast<std::ptrdiff_t>(at), entry);
        break;
    case ListPG:
        stn.PG.insert(stn.PG.begin() + static_cast<std::ptrdiff_t>(at), entry);
        stn.number_of_PG_textST_stream_entries = static_cast<std::uint8_t>(pgCount(stn) + 1);
        break;
    default:
        stn.IG.insert(stn.IG.begin() + static_cast<std::ptrdiff_t>(at), entry);
        break;
    }
    syncCounts(stn);
    resizeSTN(mpls, playItem, static_cast<std::int64_t>(writtenSize(entry, appendStreamEntry)));
    return at;
}

StnDeleteResult deleteStreamEntry(TMPLS& mpls, std::size_t item, int list, std::size_t index) {
    StnDeleteResult result;
    if (item >= mpls.PlayList.PlayItems.size()) return result;
    TPlayItem& playItem = mpls.PlayList.PlayItems[item];
    TSTN& stn = playItem.STN;
    if (!canDeleteStreamEntry(stn, list) || index >= stnListSize(stn, list)) return result;
    const std::size_t bytes = stnEntryBytes(stn, list, index);
    const auto at = static_cast<std::ptrdiff_t>(index);
    switch (list) {
    case ListPrimaryAudio:
        stn.audio.erase(stn.audio.begin() + at);
        break;
    case ListPG:
        stn.PG.erase(stn.PG.begin() + at);
        stn.number_of_PG_textST_stream_entries = static_cast<std::uint8_t>(pgCount(stn) - 1);
        break;
    case ListIG:
        stn.IG.erase(stn.IG.begin() + at);
        break;
    case ListSecondaryVideo:
        stn.sec_video.erase(stn.sec_video.begin() + at);
        break;
    case ListSecondaryAudio:
        stn.sec_audio.erase(stn.sec_audio.begin() + at);
        break;
    case ListDolbyVisionEL:
        stn.DV_EL.erase(stn.DV_EL.begin() + at);
        break;
    default: // PiP PG, after the PG entries
        stn.PG.erase(stn.PG.begin() + static_cast<std::ptrdiff_t>(pgCount(stn)) + at);
        break;
    }
    syncCounts(stn);
    resizeSTN(mpls, playItem, -static_cast<std::int64_t>(bytes));
    result.deleted = true;
    const std::size_t remaining = stnListSize(stn, list);
    if (remaining > 0) result.select = std::min(index > 0 ? index - 1 : 0, remaining - 1);
    return result;
}

EntryEditors entryEditors(const TStreamEntry& entry, int list) {
    EntryEditors editors;
    editors.type = true;
    editors.typeIndex = entry.stream_type <= 4 ? entry.stream_type : -1;
    switch (entry.stream_type) {
    case 1:
        editors.mainPID = true;
        break;
    case 2:
    case 4:
        editors.subPath = editors.subClip = editors.subPID = true;
        break;
    case 3:
        editors.mainPID = editors.subPath = true;
        break;
    default:
        break;
    }
    if (list == ListPrimaryVideo || list == ListSecondaryVideo || list == ListDolbyVisionEL) {
        editors.video = true;
        editors.videoIndex = indexOf(VideoCodings, entry.stream_coding_type);
        editors.resolutionIndex = entry.video_format;
        editors.frameRateIndex = entry.frame_rate;
        editors.dynamicRangeIndex = entry.dynamic_range_type;
        editors.colorSpaceIndex = entry.color_space;
        editors.crFlag = entry.cr_flag != 0;
        editors.hdrPlusFlag = entry.HDR_plus_flag != 0;
    } else if (list == ListPrimaryAudio || list == ListSecondaryAudio) {
        editors.audio = editors.language = true;
        editors.audioIndex = indexOf(AudioCodings, entry.stream_coding_type);
        editors.audioTypeIndex = entry.audio_presentation_type;
        editors.frequencyIndex = entry.sampling_frequency;
    } else if (list == ListPG || list == ListIG) {
        editors.language = true;
    }
    if (editors.language) {
        const auto& codes = languageCodes();
        const auto it = std::find(codes.begin(), codes.end(), entry.language_code);
        editors.languageIndex = it == codes.end() ? -1 : static_cast<int>(it - codes.begin());
    }
    return editors;
}

void setEntryField(TStreamEntry& entry, EntryField field, std::uint32_t value) {
    switch (field) {
    case EntryField::Type:
        setEntryType(entry, static_cast<std::uint8_t>(value));
        break;
    case EntryField::MainPID:
        entry.ref_to_stream_PID_of_mainClip = static_cast<std::uint16_t>(value);
        break;
    case EntryField::SubPID:
        entry.ref_to_stream_PID_of_subClip = static_cast<std::uint16_t>(value);
        break;
    case EntryField::SubPathId:
        entry.ref_to_SubPath_id = static_cast<std::uint8_t>(value);
        break;
    case EntryField::SubClipId:
        entry.ref_to_subClip_entry_id = static_cast<std::uint8_t>(value);
        break;
    case EntryField::Video:
        if (value < VideoCodings.size()) setCoding(entry, VideoCodings[value]);
        break;
    case EntryField::Resolution:
        entry.video_format = static_cast<std::uint8_t>(value & 0x0F);
        break;
    case EntryField::FrameRate:
        entry.frame_rate = static_cast<std::uint8_t>(value & 0x0F);
        break;
    case EntryField::Audio:
        if (value < AudioCodings.size()) setCoding(entry, AudioCodings[value]);
        break;
    case EntryField::AudioType:
        entry.audio_presentation_type = static_cast<std::uint8_t>(value & 0x0F);
        break;
    case EntryField::Frequency:
        entry.sampling_frequency = static_cast<std::uint8_t>(value & 0x0F);
        break;
    case EntryField::Language:
        if (value < languageCodes().size()) entry.language_code = languageCodes()[value];
        break;
    case EntryField::DynamicRange:
        entry.dynamic_range_type = static_cast<std::uint8_t>(value & 0x0F);
        break;
    case EntryField::ColorSpace:
        entry.color_space = static_cast<std::uint8_t>(value & 0x0F);
        break;
    case EntryField::CRFlag:
        entry.cr_flag = static_cast<std::uint8_t>(value & 1);
        break;
    case EntryField::HDRPlusFlag:
        entry.HDR_plus_flag = static_cast<std::uint8_t>(value & 1);
        break;
    }
}

const std::vector<std::string>& languageCodes() {
    static const std::vector<std::string> codes = {
        "eng", "aar", "abk", "ace", "ach", "ada", "afa", "afh", "afr", "aka", "akk", "ale", "alg", "amh",
        "ang", "apa", "ara", "arc", "arn", "arp", "art", "arw", "asm", "ath", "aus", "ava", "ave", "awa",
        "aym", "aze", "bad", "bai", "bak", "bal", "bam", "ban", "bas", "bat", "bej", "bel", "bem", "ben",
        "ber", "bho", "bih", "bik", "bin", "bis", "bla", "bnt", "bod", "bra", "bre", "btk", "bua", "bug",
        "bul", "cad", "cai", "car", "cat", "cau", "ceb", "cel", "ces", "cha", "chb", "che", "chg", "chk",
        "chm", "chn", "cho", "chp", "chr", "chu", "chv", "chy", "cmc", "cop", "cor", "cos", "cpe", "cpf",
        "cpp", "cre", "crp", "cus", "cym", "dak", "dan", "day", "del", "den", "deu", "dgr", "din", "div",
        "doi", "dra", "dua", "dum", "dyu", "dzo", "efi", "egy", "eka", "ell", "elx", "eng", "enm", "epo",
        "est", "eus", "ewe", "ewo", "fan", "fao", "fas", "fat", "fij", "fin", "fiu", "fon", "fra", "frm",
        "fro", "fry", "ful", "fur", "gaa", "gay", "gba", "gem", "gez", "gil", "gla", "gle", "glg", "glv",
        "gmh", "goh", "gon", "gor", "got", "grb", "grc", "grn", "guj", "gwi", "hai", "hau", "haw", "heb",
        "her", "hil", "him", "hin", "hit", "hmn", "hmo", "hrv", "hun", "hup", "hye", "iba", "ibo", "ijo",
        "iku", "ile", "ilo", "ina", "inc", "ind", "ine", "ipk", "ira", "iro", "isl", "ita", "jaw", "jpn",
        "jpr", "jrb", "kaa", "kab", "kac", "kal", "kam", "kan", "kar", "kas", "kat", "kau", "kaw", "kaz",
        "kha", "khi", "khm", "kho", "kik", "kin", "kir", "kmb", "kok", "kom", "kon", "kor", "kos", "kpe",
        "kro", "kru", "kua", "kum", "kur", "kut", "lad", "lah", "lam", "lao", "lat", "lav", "lez", "lin",
        "lit", "lol", "loz", "ltz", "lua", "lub", "lug", "lui", "lun", "luo", "lus", "mad", "mag", "mah",
        "mai", "mak", "mal", "man", "map", "mar", "mas", "mdr", "men", "mga", "mic", "min", "mis", "mkd",
        "mkh", "mlg", "mlt", "mni", "mno", "moh", "mol", "mon", "mos", "mri", "msa", "mul", "mun", "mus",
        "mwr", "mya", "myn", "nah", "nai", "nau", "nav", "nbl", "nde", "ndo", "nep", "new", "nia", "nic",
        "niu", "nld", "non", "nor", "nso", "nub", "nzi", "nya", "nym", "nyn", "nyo", "oci", "oji", "ori",
        "orm", "osa", "oss", "ota", "oto", "paa", "pag", "pal", "pam", "pan", "pap", "pau", "peo", "phi",
        "phn", "pli", "pol", "pon", "por", "pra", "pro", "pus", "que", "raj", "rap", "rar", "roa", "roh",
        "rom", "ron", "run", "rus", "sad", "sag", "sah", "sai", "sal", "sam", "san", "sas", "sat", "sco",
        "sel", "sem", "sga", "shn", "sid", "sin", "sio", "sit", "sla", "slk", "slv", "smi", "smo", "sna",
        "snd", "snk", "sog", "som", "son", "sot", "spa", "sqi", "srd", "srp", "srr", "ssa", "ssw", "suk",
        "sun", "sus", "sux", "swa", "swe", "syr", "tah", "tai", "tam", "tat", "tel", "tem", "ter", "tet",
        "tgk", "tgl", "tha", "tig", "tir", "tiv", "tkl", "tli", "tmh", "tog", "ton", "tpi", "tsi", "tsn",
        "tso", "tuk", "tum", "tur", "tut", "tvl", "twi", "tyv", "uga", "uig", "ukr", "umb", "und", "urd",
        "uzb", "vai", "ven", "vie", "vol", "vot", "wak", "wal", "war", "was", "wen", "wol", "xho", "yao",
        "yap", "yid", "yor", "ypk", "zap", "zen", "zha", "zho", "znd", "zul", "zun",
    };
    return codes;
}

std::vector<std::string> pickerItems(EntryField field) {
    std::vector<std::string> items;
    auto names = [&](auto nameOf, int count) {
        for (int i = 0; i < count; ++i) items.emplace_back(nameOf(static_cast<std::uint8_t>(i)));
    };
    switch (field) {
    case EntryField::Type:
        items = {"---", "PlayItem", "SubPath", "IM PIP", "DV EL"};
        break;
    case EntryField::Video:
        items = {"MPEG-2", "AVC", "VC1", "HEVC"};
        break;
    case EntryField::Resolution:
        names(videoFormatName, 9);
        break;
    case EntryField::DynamicRange:
        names(dynamicRangeName, DynamicRangeCount);
        break;
    case EntryField::ColorSpace:
        names(colorSpaceName, ColorSpaceCount);
        break;
    case EntryField::FrameRate:
        names(frameRateName, 8);
        break;
    case EntryField::Audio:
        for (std::uint8_t coding : AudioCodings) items.emplace_back(codingTypeName(coding));
        break;
    case EntryField::AudioType:
        names(audioPresentationName, 13);
        break;
    case EntryField::Frequency:
        names(samplingFrequencyName, 15);
        break;
    case EntryField::Language:
        items = languageCodes();
        break;
    default:
        break;
    }
    return items;
}

std::string_view entryTypeHint(int index) {
    switch (index) {
    case 1:
        return "Identify an elementary stream of the Clip used by the PlayItem.";
    case 2:
        return "Identify an elementary stream of the Clip used by a SubPath with SubPath_type set to 2,3,4,5 "
               "or 6 "
               "associated with the PlayItem.";
    case 3:
        return "Identify an elementary stream of the Clip used by a SubPath with SubPath_type set to 7 (IM "
               "Sync) "
               "associated with the PlayItem.";
    case 4:
        return "Identify the Dolby Vision enhancement layer stream of the Clip used by a SubPath with "
               "SubPath_type set to 10 (DV EL) associated with the PlayItem.";
    default:
        return {};
    }
}

std::string_view videoHint(int index) {
    static constexpr std::array<std::string_view, 4> hints = {
        "MPEG-2 video stream for Primary / Secondary video",
        "MPEG-4 AVC video stream for Primary / Secondary video",
        "SMPTE VC-1 video stream for Primary / Secondary video",
        "HEVC video stream for Primary video and its Dolby Vision enhancement layer (UHD)"};
    return index >= 0 && index < 4 ? hints[static_cast<std::size_t>(index)] : std::string_view{};
}

std::string_view audioHint(int index) {
    static constexpr std::array<std::string_view, 9> hints = {
        "HDMV LPCM audio stream for Primary audio",
        "Dolby Digital (AC-3) audio stream for Primary audio",
        "DTS audio stream for Primary audio",
        "Dolby Lossless audio stream for Primary audio",
        "Dolby Digital Plus audio stream for Primary audio",
        "DTS-HD audio stream except XLL for Primary audio",
        "DTS-HD audio stream XLL for Primary audio",
        "Dolby Digital Plus audio stream for Secondary audio",
        "DTS-HD audio stream for Secondary audio stream"};
    return index >= 0 && index < 9 ? hints[static_cast<std::size_t>(index)] : std::string_view{};
}

std::string_view audioTypeHint(int index) {
    switch (index) {
    case 1:
        return "single mono channel";
    case 3:
        return "stereo (2-channel)";
    case 6:
        return "multi-channel";
    case 12:
        return "stereo (2-channel) and multi-channel for the DTS-HD/Dolby Lossless";
    default:
        return {};
    }
}

std::string_view subPathTypeHint(int type) {
    static constexpr std::array<std::string_view, SubPathTypeCount> hints = {
        "reserved",
        "reserved",
        "Primary audio presentation path of the Browsable slideshow",
        "Interactive Graphics presentation menu",
        "Text subtitle presentation path",
        "Out-of-mux and Synchronous type of one or more elementary streams path",
        "Out-of-mux and Asynchronous type of Picture-in-Picture presentation path",
        "In-mux and Synchronous type of Picture-in-Picture presentation path",
        "Out-of-mux and Synchronous type of stereoscopic video path",
        "reserved",
        "Dolby Vision enhancement layer path (UHD)"};
    return type >= 0 && type < SubPathTypeCount ? hints[static_cast<std::size_t>(type)] : std::string_view{};
}

std::optional<std::size_t> insertSubPath(TMPLS& mpls, std::optional<std::size_t> after) {
    TPlayList& list = mpls.PlayList;
    if (list.SubPaths.size() >= MaxSubPaths || list.PlayItems.empty()) return std::nullopt;
    const TPlayItem& first = list.PlayItems[0];
    TSubPlayItem sub;
    sub.Clip_Information_file_name = first.Clip_Information_file_name;
    sub.Clip_codec_identifier = first.Clip_codec_identifier;
    sub.SP_connection_condition = 1;
    sub.SubPlayItem_IN_time = first.IN_time;
    sub.SubPlayItem_OUT_time = first.IN_time;
    // The lengths count the bytes after their own field.
    sub.SubPlayItem_length = static_cast<std::uint16_t>(writtenSize(sub, appendSubPlayItem) - 2);
    TSubPath path;
    path.SubPath_type = 3;
    path.number_of_SubPlayItems = 1;
    path.SubPlayItems.push_back(sub);
    path.SubPath_length = static_cast<std::uint32_t>(writtenSize(path, appendSubPath) - 4);
    const std::size_t at = after ? std::min(*after + 1, list.SubPaths.size()) : 0;
    list.SubPaths.insert(list.SubPaths.begin() + static_cast<std::ptrdiff_t>(at), path);
    list.number_of_SubPaths = static_cast<std::uint16_t>(list.SubPaths.size());
    resizePlayList(mpls, static_cast<std::int64_t>(writtenSize(path, appendSubPath)));
    return at;
}

SubPathDeleteResult deleteSubPath(TMPLS& mpls, std::size_t index) {
    SubPathDeleteResult result;
    TPlayList& list = mpls.PlayList;
    if (index >= list.SubPaths.size()) return result;
    const std::size_t bytes = writtenSize(list.SubPaths[index], appendSubPath);
    list.SubPaths.erase(list.SubPaths.begin() + static_cast<std::ptrdiff_t>(index));
    list.number_of_SubPaths = static_cast<std::uint16_t>(list.SubPaths.size());
    resizePlayList(mpls, -static_cast<std::int64_t>(bytes));
    result.deleted = true;
    if (!list.SubPaths.empty()) result.select = std::min(index > 0 ? index - 1 : 0, list.SubPaths.size() - 1);
    return result;
}

void setSubPathType(TSubPath& path, std::uint8_t type) {
    path.SubPath_type = type;
    if (type != 2) path.SubPath_flags = 0;
}

void setSubPathRepeat(TSubPath& path, bool repeat) {
    path.SubPath_flags = repeat ? 1 : 0;
}

bool editSubPlayItemCell(TMPLS& mpls, std::size_t pathIndex, std::size_t itemIndex, int column,
                         std::string_view text) {
    if (pathIndex >= mpls.PlayList.SubPaths.size()) return false;
    TSubPath& path = mpls.PlayList.SubPaths[pathIndex];
    if (itemIndex >= path.SubPlayItems.size()) return false;
    TSubPlayItem& item = path.SubPlayItems[itemIndex];
    if (hasSpace(text)) return false;
    switch (column) {
    case 1:
        if (text.size() != 5) return false;
        item.Clip_Information_file_name = std::string(text);
        if (!item.Clip_entries.empty())
            item.Clip_entries[0].Clip_Information_file_name = item.Clip_Information_file_name;
        return true;
    case 3: {
        const auto value = parseDecimal(text);
        if (!value) return false;
        item.SP_connection_condition = (*value == 5 || *value == 6) ? static_cast<std::uint8_t>(*value) : 1;
        return true;
    }
    case 4: {
        const std::uint8_t multi = (text == "Y" || text == "y") ? 1 : 0;
        if (multi == (item.is_multi_Clip_entries ? 1 : 0)) return true;
        // The clip-entry block comes and goes with the flag.
        const std::size_t before = writtenSize(item, appendSubPlayItem);
        item.is_multi_Clip_entries = multi;
        if (multi) {
            item.Clip_entries = {
                TClipEntry{item.Clip_Information_file_name, item.Clip_codec_identifier, item.ref_to_STC_id}};
            item.number_of_Clip_entries = 1;
            item.Clip_entries_reserved = 0;
        } else {
            item.Clip_entries.clear();
            item.number_of_Clip_entries = 0;
        }
        const std::int64_t delta = static_cast<std::int64_t>(writtenSize(item, appendSubPlayItem)) -
                                   static_cast<std::int64_t>(before);
        item.SubPlayItem_length = static_cast<std::uint16_t>(item.SubPlayItem_length + delta);
        path.SubPath_length = static_cast<std::uint32_t>(path.SubPath_length + delta);
        resizePlayList(mpls, delta);
        return true;
    }
    case 5: {
        const auto value = parseDecimal(text);
        if (!value || *value > 255) return false;
        item.ref_to_STC_id = static_cast<std::uint8_t>(*value);
        return true;
    }
    case 6:
    case 7:
    case 9: {
        const auto time = parseTimeText(text);
        if (!time) return false;
        if (column == 6)
            item.SubPlayItem_IN_time = *time;
        else if (column == 7)
            item.SubPlayItem_OUT_time = *time;
        else
            item.sync_start_PTS_of_PlayItem = *time;
        return true;
    }
    case 8: {
        const auto value = parseDecimal(text);
        if (!value) return false;
        item.sync_PlayItem_id = static_cast<std::uint16_t>(*value % 999);
        return true;
    }
    default:
        return false;
    }
}

void setPlayListExtensionData(TMPLS& mpls, const TExtensionData& block) {
    mpls.ExtensionData = block;
    mpls.padding_before_extension.clear();
    if (block.length == 0) {
        mpls.ExtensionData_start_address = 0;
        return;
    }
    mpls.ExtensionData_start_address =
        mpls.PlayListMark_start_address != 0
            ? mpls.PlayListMark_start_address + 4 + mpls.PlayListMark.PlayListMark_length
            : mpls.PlayList_start_address + 4 + mpls.PlayList.PlayList_length +
                  static_cast<std::uint32_t>(mpls.padding_before_PlayListMark.size());
}

} // namespace corvane
