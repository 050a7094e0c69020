#include "stream/ClipInfo.h"

#include <algorithm>
#include <utility>

#include "io/ByteReader.h"
#include "io/TextUtil.h"
#include "playlist/PlayListNames.h"
#include "shell/DiscFolder.h" // TAVStream

namespace corvane {

const std::array<std::string_view, 4> StreamGridHeader{"", "PID", "Stream type", "Details"};
const std::array<std::string_view, 4> SequenceGridHeader{"", "SPN_ATC_st", "num of STC", "offset STC"};
const std::array<std::string_view, 5> STCGridHeader{"", "PCR_PID", "SPN_STC_st", "present. st.",
                                                    "present. end"};
const std::array<std::string_view, 4> ATCDeltaGridHeader{"", "ATC_delta", "following", "clipcodec"};
const std::array<std::string_view, 2> FontFileGridHeader{"", "filename"};
const std::array<std::string_view, 6> EPMapGridHeader{"",          "PID",     "EP type",
                                                      "EP coarse", "EP fine", "EP map st."};

namespace {

// Smallest sizes of the repeated items, which cap what a count may allocate.
constexpr std::size_t ATCDeltaEntrySize = 14;
constexpr std::size_t FontFileSize = 6;
constexpr std::size_t ATCSequenceSize = 6;
constexpr std::size_t STCSequenceSize = 14;
constexpr std::size_t ProgramSequenceSize = 8;
constexpr std::size_t StreamSize = 4;
constexpr std::size_t EPMapEntrySize = 12;

class Parser {
public:
    Parser(const std::vector<std::uint8_t>& bytes, std::string_view name) : m_in(bytes), m_name(name) {}
    ClipReadResult run(bool quiet);

private:
    // The file ended inside `what`: the first fault is the one reported.
    bool check(const std::string& what) {
        if (!m_in.overrun() || m_failed) return !m_failed;
        m_failed = true;
        m_problemAt = m_in.overrunAt();
        m_problem = std::string(m_name) + " ends early: " + what + " runs past the end of the file at $" +
                    hexText(m_problemAt, 8) + ".";
        return false;
    }
    bool seekTo(std::uint32_t address, const std::string& field) {
        if (address > m_in.size()) {
            m_failed = true;
            m_problemAt = m_in.size();
            m_problem = std::string(m_name) + " ends early: " + field + " $" + hexText(address, 8) +
                        " lies past the end of the file.";
            return false;
        }
        m_in.seek(address);
        return true;
    }
    std::uint8_t byte() { return static_cast<std::uint8_t>(m_in.readbyte()); }
    // The bytes from `from` to `to` (capped at the end of the file), without moving the cursor.
    std::vector<std::uint8_t> bytesBetween(std::size_t from, std::size_t to) const {
        to = std::min(to, m_in.size());
        if (from >= to) return {};
        return m_in.range(from, to - from).readbytes(to - from);
    }
    // Keeps what a section holds past its fields: from the cursor to 4 + length bytes after
    // its start. The section then ends there (or at the cursor when the fields ran longer).
    void keepTail(std::size_t start, std::uint32_t length, std::vector<std::uint8_t>& tail) {
        const std::size_t end = start + 4 + length;
        tail = bytesBetween(m_in.pos(), end);
        m_sectionEnd = std::max(std::min(end, m_in.size()), m_in.pos());
    }
    // Keeps the gap between the previous section's end and the next section's address.
    void keepGap(std::uint32_t address, std::vector<std::uint8_t>& gap, TCLPI& clpi) {
        if (address < m_sectionEnd) {
            clpi.layout_kept = false;
            return;
        }
        gap = bytesBetween(m_sectionEnd, address);
    }
    std::uint16_t word() { return static_cast<std::uint16_t>(m_in.readword()); }

    void readClipInfo(TClipInfo& info);
    void readSequenceInfo(TSequenceInfo& sequences);
    void readProgramInfo(TProgramInfo& program);
    void readStream(TStreamCodingInfo& stream);
    void readCPI(TCPI& cpi);

    ByteReader m_in;
    std::string_view m_name;
    bool m_failed = false;
    std::size_t m_problemAt = 0;
    std::string m_problem;
    std::size_t m_sectionEnd = 0;
};

void Parser::readClipInfo(TClipInfo& info) {
    const std::size_t start = m_in.pos();
    info.ClipInfo_length = m_in.readlword();
    info.ClipInfo_reserved = word();
    info.Clip_stream_type = byte();
    info.application_type = byte();
    const std::uint32_t atcDeltaWord = m_in.readlword();
    info.is_ATC_delta = atcDeltaWord & 1;
    info.ATC_delta_reserved = atcDeltaWord >> 1;
    info.TS_recording_rate = m_in.readlword();
    info.number_of_source_packets = m_in.readlword();
    const auto reserved = m_in.readbytes(info.reserved_for_future_use.size());
    std::copy(reserved.begin(), reserved.end(), info.reserved_for_future_use.begin());
    info.TS_type_info_length = word();
    info.Validity_flags = byte();
    info.Format_identifier = m_in.readstring(4);
    const auto rest = m_in.readbytes(info.TS_type_info_rest.size()); // network information, format name
    std::copy(rest.begin(), rest.end(), info.TS_type_info_rest.begin());
    if (!check("ClipInfo()")) return;
    if (info.is_ATC_delta == 1) {
        m_in.skip(1);
        info.number_of_ATC_delta_entries = byte();
        info.ATC_delta_entries.reserve(m_in.capCount(info.number_of_ATC_delta_entries, ATCDeltaEntrySize));
        for (std::size_t i = 0; i < info.number_of_ATC_delta_entries && !m_in.overrun(); ++i) {
            TATCDeltaEntry& entry = info.ATC_delta_entries.emplace_back();
            entry.ATC_delta = m_in.readlword();
            entry.following_Clip_Information_file_name = m_in.readstring(5);
            entry.Clip_codec_identifier = m_in.readstring(4);
            m_in.skip(1);
        }
        if (!check("the ATC delta entries")) return;
    }
    if (info.application_type == 6) {
        m_in.skip(1);
        info.number_of_font_files = byte();
        info.font_file_names.reserve(m_in.capCount(info.number_of_font_files, FontFileSize));
        for (std::size_t i = 0; i < info.number_of_font_files && !m_in.overrun(); ++i) {
            info.font_file_names.push_back(m_in.readstring(5));
            m_in.skip(1);
        }
        if (!check("the font file names")) return;
    }
    keepTail(start, info.ClipInfo_length, info.tail);
}

void Parser::readSequenceInfo(TSequenceInfo& sequences) {
    const std::size_t start = m_in.pos();
    sequences.SequenceInfo_length = m_in.readlword();
    sequences.SequenceInfo_reserved = byte();
    sequences.number_of_ATC_sequences = byte();
    sequences.ATC_sequences.reserve(m_in.capCount(sequences.number_of_ATC_sequences, ATCSequenceSize));
    for (std::size_t i = 0; i < sequences.number_of_ATC_sequences && !m_in.overrun(); ++i) {
        TATC_sequences& atc = sequences.ATC_sequences.emplace_back();
        atc.SPN_ATC_start = m_in.readlword();
        atc.number_of_STC_sequences = byte();
        atc.offset_STC_id = byte();
        atc.STC_sequences.reserve(m_in.capCount(atc.number_of_STC_sequences, STCSequenceSize));
        for (std::size_t k = 0; k < atc.number_of_STC_sequences && !m_in.overrun(); ++k) {
            TSTCSequence& stc = atc.STC_sequences.emplace_back();
            stc.PCR_PID = word();
            stc.SPN_STC_start = m_in.readlword();
            stc.presentation_start_time = m_in.readlword();
            stc.presentation_end_time = m_in.readlword();
        }
    }
    if (check("SequenceInfo()")) keepTail(start, sequences.SequenceInfo_length, sequences.tail);
}

void Parser::readStream(TStreamCodingInfo& stream) {
    const auto pid = word();
    const auto length = byte();
    // The coding attributes are read inside their own length, so an unknown or longer
    // StreamCodingInfo() is stepped over whole.
    const ByteReader body = m_in.sub(length);
    stream = decodeStreamCodingInfo(pid, body.data());
    stream.StreamCodingInfo_length = length;
}

} // namespace

TStreamCodingInfo decodeStreamCodingInfo(std::uint16_t stream_PID, std::span<const std::uint8_t> body) {
    TStreamCodingInfo stream;
    stream.stream_PID = stream_PID;
    stream.StreamCodingInfo_length = static_cast<std::uint8_t>(std::min<std::size_t>(body.size(), 0xFF));
    stream.coding_info_bytes.assign(body.begin(), body.end());
    ByteReader info(body);
    stream.stream_coding_type = static_cast<std::uint8_t>(info.readbyte());
    switch (attributeKind(stream.stream_coding_type)) {
    case AttributeKind::Video: {
        const std::uint32_t format = info.readbyte();
        stream.video_format = static_cast<std::uint8_t>(format >> 4);
        stream.frame_rate = static_cast<std::uint8_t>(format & 0x0F);
        const std::uint32_t aspect = info.readbyte();
        stream.aspect_ratio = static_cast<std::uint8_t>(aspect >> 4);
        stream.oc_flag = static_cast<std::uint8_t>((aspect >> 1) & 1);
        if (stream.stream_coding_type == 0x24) {
            stream.cr_flag = static_cast<std::uint8_t>(aspect & 1);
            const std::uint32_t range = info.readbyte();
            stream.dynamic_range_type = static_cast<std::uint8_t>(range >> 4);
            stream.color_space = static_cast<std::uint8_t>(range & 0x0F);
            stream.HDR_plus_flag = static_cast<std::uint8_t>(info.readbyte() >> 7);
        } else {
            info.skip(2);
        }
        stream.ISRC = info.readstring(12);
        break;
    }
    case AttributeKind::Audio: {
        const std::uint32_t format = info.readbyte();
        stream.audio_presentation_type = static_cast<std::uint8_t>(format >> 4);
        stream.sampling_frequency = static_cast<std::uint8_t>(format & 0x0F);
        stream.language_code = info.readstring(3);
        stream.ISRC = info.readstring(12);
        break;
    }
    case AttributeKind::Graphics:
        stream.language_code = info.readstring(3);
        info.skip(1);
        stream.ISRC = info.readstring(12);
        break;
    case AttributeKind::Text:
        stream.character_code = static_cast<std::uint8_t>(info.readbyte());
        stream.language_code = info.readstring(3);
        stream.ISRC = info.readstring(12);
        break;
    case AttributeKind::Unknown:
        break;
    }
    return stream;
}

namespace {

void Parser::readProgramInfo(TProgramInfo& program) {
    const std::size_t start = m_in.pos();
    program.ProgramInfo_length = m_in.readlword();
    program.ProgramInfo_reserved = byte();
    program.number_of_program_sequences = byte();
    program.program_sequences.reserve(
        m_in.capCount(program.number_of_program_sequences, ProgramSequenceSize));
    for (std::size_t i = 0; i < program.number_of_program_sequences && !m_in.overrun(); ++i) {
        TProgram_sequences& sequence = program.program_sequences.emplace_back();
        sequence.SPN_program_sequence_start = m_in.readlword();
        sequence.program_map_PID = word();
        sequence.number_of_streams_in_ps = byte();
        sequence.program_sequence_reserved = byte();
        sequence.streams.reserve(m_in.capCount(sequence.number_of_streams_in_ps, StreamSize));
        for (std::size_t k = 0; k < sequence.number_of_streams_in_ps && !m_in.overrun(); ++k)
            readStream(sequence.streams.emplace_back());
    }
    if (check("ProgramInfo()")) keepTail(start, program.ProgramInfo_length, program.tail);
}

void splitEntry(ByteReader& in, TEPMapEntry& entry) {
    entry.stream_PID = static_cast<std::uint16_t>(in.readword());
    const auto first = static_cast<std::uint16_t>(in.readword());
    entry.EP_entry_reserved = static_cast<std::uint16_t>(first >> 6);
    const auto second = static_cast<std::uint16_t>(in.readword());
    const auto third = static_cast<std::uint16_t>(in.readword());
    splitEPMapWords(first, second, third, entry);
    entry.EP_map_for_one_stream_PID_start_address = in.readlword();
}

void Parser::readCPI(TCPI& cpi) {
    const std::size_t start = m_in.pos();
    cpi.CPI_length = m_in.readlword();
    if (cpi.CPI_length != 0) {
        cpi.CPI_type_word = word();
        cpi.EP_map_reserved = byte();
        cpi.number_of_stream_PID_entries = byte();
        cpi.EP_map_entries.reserve(m_in.capCount(cpi.number_of_stream_PID_entries, EPMapEntrySize));
        for (std::size_t i = 0; i < cpi.number_of_stream_PID_entries && !m_in.overrun(); ++i)
            splitEntry(m_in, cpi.EP_map_entries.emplace_back());
    }
    if (check("CPI()")) keepTail(start, cpi.CPI_length, cpi.EP_map_data);
}

ClipReadResult Parser::run(bool quiet) {
    ClipReadResult result;
    TCLPI& clpi = result.clpi;
    clpi.type_indicator = m_in.readstring(4);
    clpi.version_number = m_in.readstring(4);
    // The start of a clip information file cut short, not another kind of file.
    if (m_in.overrun() && m_in.size() > 0 &&
        std::string_view("HDMV").starts_with(clpi.type_indicator.substr(0, m_in.size()))) {
        check("the file header");
        result.status = ReadStatus::Damaged;
        result.clpi = TCLPI{};
        result.problemAt = m_problemAt;
        result.messages.push_back({ReadMessage::Kind::Error, m_problem});
        return result;
    }
    if (clpi.type_indicator != "HDMV" ||
        (clpi.version_number != "0100" && clpi.version_number != "0200" && clpi.version_number != "0300")) {
        result.status = ReadStatus::FormatError;
        result.clpi = TCLPI{};
        result.messages.push_back({ReadMessage::Kind::Error, "Invalid format: " + std::string(m_name)});
        return result;
    }
    clpi.SequenceInfo_start_address = m_in.readlword();
    clpi.ProgramInfo_start_address = m_in.readlword();
    clpi.CPI_start_address = m_in.readlword();
    clpi.ClipMark_start_address = m_in.readlword();
    clpi.ExtensionData_start_address = m_in.readlword();
    const auto header = m_in.readbytes(clpi.reserved_header.size());
    std::copy(header.begin(), header.end(), clpi.reserved_header.begin());
    if (check("the header")) readClipInfo(clpi.ClipInfo);
    if (!m_failed && seekTo(clpi.SequenceInfo_start_address, "SequenceInfo_start_address")) {
        keepGap(clpi.SequenceInfo_start_address, clpi.padding_before_SequenceInfo, clpi);
        readSequenceInfo(clpi.SequenceInfo);
    }
    if (!m_failed && seekTo(clpi.ProgramInfo_start_address, "ProgramInfo_start_address")) {
        keepGap(clpi.ProgramInfo_start_address, clpi.padding_before_ProgramInfo, clpi);
        readProgramInfo(clpi.ProgramInfo);
    }
    if (!m_failed && seekTo(clpi.CPI_start_address, "CPI_start_address")) {
        keepGap(clpi.CPI_start_address, clpi.padding_before_CPI, clpi);
        readCPI(clpi.CPI);
    }
    if (!m_failed && seekTo(clpi.ClipMark_start_address, "ClipMark_start_address")) {
        keepGap(clpi.ClipMark_start_address, clpi.padding_before_ClipMark, clpi);
        clpi.ClipMark_length = m_in.readlword();
        if (check("ClipMark()")) {
            clpi.ClipMark_data = bytesBetween(m_in.pos(), m_in.pos() + clpi.ClipMark_length);
            m_sectionEnd = m_in.pos() + clpi.ClipMark_data.size();
        }
    }
    if (!m_failed && clpi.ExtensionData_start_address != 0 &&
        seekTo(clpi.ExtensionData_start_address, "ExtensionData_start_address")) {
        keepGap(clpi.ExtensionData_start_address, clpi.padding_before_extension, clpi);
        ReadExtensionData(m_in, clpi.ExtensionData);
        if (check("ExtensionData()") && clpi.ExtensionData.length == 0)
            clpi.padding_at_end = bytesBetween(m_in.pos(), m_in.size());
    } else if (!m_failed) {
        clpi.padding_at_end = bytesBetween(m_sectionEnd, m_in.size());
    }
    if (m_failed) {
        result.status = ReadStatus::Damaged;
        result.problemAt = m_problemAt;
        result.messages.push_back({ReadMessage::Kind::Error, m_problem});
        return result;
    }
    if (!quiet) {
        result.messages.push_back({ReadMessage::Kind::Log, programStreamsFoundLine(clpi)});
        result.messages.push_back({ReadMessage::Kind::Log, ""});
    }
    return result;
}

std::string joined(std::initializer_list<std::string_view> parts) {
    std::string text;
    for (const auto part : parts) {
        if (!text.empty()) text += ", ";
        text += part;
    }
    return text;
}

} // namespace

ClipReadResult readClipInfo(const std::vector<std::uint8_t>& bytes, std::string_view name, bool quiet) {
    return Parser(bytes, name).run(quiet);
}

std::string programStreamsFoundLine(const TCLPI& clpi) {
    const auto& sequences = clpi.ProgramInfo.program_sequences;
    const unsigned count = sequences.empty() ? 0 : sequences.front().number_of_streams_in_ps;
    return "[b]" + std::to_string(count) + "[/b] Program stream(s) found.";
}

std::string_view applicationTypeName(std::uint8_t application_type) {
    static constexpr std::array<std::string_view, ApplicationTypeCount> names{
        "res.",
        "Main TS for a Movie",
        "Main TS for a Time based slide show",
        "Main TS for a Browsable slide show",
        "Sub TS for a Browsable slide show",
        "Sub TS for a Interactive Graphics menu",
        "Sub TS for a Text subtitle",
        "Sub TS for a one or more elementary streams path"};
    return application_type < names.size() ? names[application_type] : std::string_view{};
}

std::string_view aspectText(std::uint8_t aspect_ratio) {
    return aspect_ratio == 2 ? "4:3" : "16:9";
}

std::string streamDetails(const TStreamCodingInfo& stream) {
    switch (attributeKind(stream.stream_coding_type)) {
    case AttributeKind::Video: {
        std::string text = joined({videoFormatName(stream.video_format), frameRateName(stream.frame_rate),
                                   aspectText(stream.aspect_ratio)});
        if (stream.stream_coding_type != 0x24) return text;
        auto named = [](std::string_view name, unsigned value) {
            return name.empty() ? std::to_string(value) : std::string(name);
        };
        text += ", " + named(dynamicRangeName(stream.dynamic_range_type), stream.dynamic_range_type) + ", " +
                named(colorSpaceName(stream.color_space), stream.color_space);
        if (stream.cr_flag) text += ", CR";
        if (stream.HDR_plus_flag) text += ", HDR10+ flag";
        return text;
    }
    case AttributeKind::Audio:
        return joined({audioPresentationName(stream.audio_presentation_type),
                       samplingFrequencyName(stream.sampling_frequency), stream.language_code});
    case AttributeKind::Graphics:
        return stream.language_code;
    case AttributeKind::Text:
        return joined({std::to_string(stream.character_code), stream.language_code});
    case AttributeKind::Unknown:
        break;
    }
    return "";
}

std::vector<StreamRow> streamRows(const TProgram_sequences& sequence) {
    std::vector<StreamRow> rows;
    for (std::size_t i = 0; i < sequence.streams.size(); ++i) {
        const TStreamCodingInfo& stream = sequence.streams[i];
        rows.push_back({std::to_string(i + 1), hexText(stream.stream_PID, 4),
                        std::string(codingTypeName(stream.stream_coding_type)), streamDetails(stream)});
    }
    return rows;
}

std::vector<StreamRow> clipStreamRows(const TCLPI& clpi) {
    std::vector<StreamRow> rows;
    for (const auto& sequence : clpi.ProgramInfo.program_sequences) {
        auto part = streamRows(sequence);
        rows.insert(rows.end(), part.begin(), part.end());
    }
    return rows;
}

const TStreamCodingInfo* clipStreamAt(const TCLPI& clpi, std::size_t row) {
    for (const auto& sequence : clpi.ProgramInfo.program_sequences) {
        if (row < sequence.streams.size()) return &sequence.streams[row];
        row -= sequence.streams.size();
    }
    return nullptr;
}

std::vector<std::array<std::string, 4>> sequenceRows(const TCLPI& clpi) {
    std::vector<std::array<std::string, 4>> rows;
    const auto& atcs = clpi.SequenceInfo.ATC_sequences;
    for (std::size_t i = 0; i < atcs.size(); ++i)
        rows.push_back({std::to_string(i), hexText(atcs[i].SPN_ATC_start, 8),
                        std::to_string(atcs[i].number_of_STC_sequences),
                        std::to_string(atcs[i].offset_STC_id)});
    return rows;
}

std::vector<std::array<std::string, 5>> stcRows(const TCLPI& clpi) {
    std::vector<std::array<std::string, 5>> rows;
    const auto& atcs = clpi.SequenceInfo.ATC_sequences;
    for (std::size_t i = 0; i < atcs.size(); ++i)
        for (const TSTCSequence& stc : atcs[i].STC_sequences)
            rows.push_back({std::to_string(i), hexText(stc.PCR_PID, 4), hexText(stc.SPN_STC_start, 8),
                            hexText(stc.presentation_start_time, 8), hexText(stc.presentation_end_time, 8)});
    return rows;
}

std::vector<std::array<std::string, 4>> atcDeltaRows(const TCLPI& clpi) {
    std::vector<std::array<std::string, 4>> rows;
    if (clpi.ClipInfo.is_ATC_delta != 1) return rows;
    const auto& entries = clpi.ClipInfo.ATC_delta_entries;
    for (std::size_t i = 0; i < entries.size(); ++i)
        rows.push_back({std::to_string(i), hexText(entries[i].ATC_delta, 8),
                        entries[i].following_Clip_Information_file_name, entries[i].Clip_codec_identifier});
    return rows;
}

std::vector<std::array<std::string, 2>> fontFileRows(const TCLPI& clpi) {
    std::vector<std::array<std::string, 2>> rows;
    if (clpi.ClipInfo.application_type != 6) return rows;
    const auto& names = clpi.ClipInfo.font_file_names;
    for (std::size_t i = 0; i < names.size(); ++i) rows.push_back({std::to_string(i + 1), names[i]});
    return rows;
}

std::vector<std::array<std::string, 6>> epMapRows(const TCLPI& clpi) {
    std::vector<std::array<std::string, 6>> rows;
    if (clpi.CPI.CPI_length == 0) return rows;
    const auto& entries = clpi.CPI.EP_map_entries;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const TEPMapEntry& e = entries[i];
        rows.push_back({std::to_string(i), hexText(e.stream_PID, 4), hexText(e.EP_stream_type, 1),
                        hexText(e.number_of_EP_coarse_entries, 4), hexText(e.number_of_EP_fine_entries, 5),
                        hexText(e.EP_map_for_one_stream_PID_start_address, 8)});
    }
    return rows;
}

void splitEPMapWords(std::uint16_t first, std::uint16_t second, std::uint16_t third, TEPMapEntry& entry) {
    entry.EP_stream_type = static_cast<std::uint8_t>((first >> 2) & 0x0F);
    entry.number_of_EP_coarse_entries = static_cast<std::uint16_t>(((first & 3u) << 14) + (second >> 2));
    entry.number_of_EP_fine_entries = ((second & 3u) << 16) + third;
}

StreamLabels streamLabels(const std::vector<TAVStream>& streams, std::size_t clipIndex,
                          const std::string& clipName, const std::string& streamExt) {
    StreamLabels labels{"-", "", false};
    if (clipIndex >= streams.size()) return labels;
    const TAVStream& stream = streams[clipIndex];
    if (stream.stream_file_name.empty()) return {clipName + streamExt, "missing file", true};
    return {stream.stream_file_name, thousands(stream.stream_file_size), false};
}

bool canLoadToMenu(std::int64_t streamSize, std::uint16_t pid) {
    return streamSize != 0 && (pid >> 8) == 0x14;
}

StreamRowAction streamRowAction(bool playEnabled, std::int64_t streamSize, std::uint16_t pid) {
    if (!playEnabled) return StreamRowAction::Nothing;
    if (pid == 0x1400) return StreamRowAction::LoadMenu;
    return streamSize != 0 ? StreamRowAction::Play : StreamRowAction::Nothing;
}

} // namespace corvane
