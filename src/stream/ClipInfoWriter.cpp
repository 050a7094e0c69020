#include "stream/ClipInfoWriter.h"

#include <algorithm>

#include "io/ByteWriter.h"
#include "playlist/PlayListNames.h"

namespace corvane {

namespace {

constexpr std::size_t HeaderSize = 40;
constexpr std::size_t UsualCodingInfoSize = 21;

// Header addresses, in file order.
constexpr std::size_t SequenceInfoAddressAt = 8;
constexpr std::size_t ProgramInfoAddressAt = 12;
constexpr std::size_t CPIAddressAt = 16;
constexpr std::size_t ClipMarkAddressAt = 20;
constexpr std::size_t ExtensionDataAddressAt = 24;

// Writes the 32-bit length of the section that starts at `start`: the bytes after the field.
void closeSection(ByteWriter& out, std::size_t start) {
    out.putlword(static_cast<std::uint32_t>(out.fill() - start - 4), start);
}

// The count field of a list, cut to the field's width.
std::uint32_t count8(std::size_t size) {
    return static_cast<std::uint32_t>(std::min<std::size_t>(size, 0xFF));
}

void appendClipInfo(ByteWriter& out, const TClipInfo& info) {
    const std::size_t start = out.fill();
    out.appendlword(0);
    out.appendword(info.ClipInfo_reserved);
    out.appendbyte(info.Clip_stream_type);
    out.appendbyte(info.application_type);
    out.appendlword((info.ATC_delta_reserved << 1) | (info.is_ATC_delta & 1));
    out.appendlword(info.TS_recording_rate);
    out.appendlword(info.number_of_source_packets);
    out.appendbytes(info.reserved_for_future_use);
    out.appendword(info.TS_type_info_length);
    out.appendbyte(info.Validity_flags);
    out.appendstring(info.Format_identifier, 4);
    out.appendbytes(info.TS_type_info_rest);
    if (info.is_ATC_delta == 1) {
        out.appendbyte(0);
        out.appendbyte(count8(info.ATC_delta_entries.size()));
        for (const TATCDeltaEntry& entry : info.ATC_delta_entries) {
            out.appendlword(entry.ATC_delta);
            out.appendstring(entry.following_Clip_Information_file_name, 5);
            out.appendstring(entry.Clip_codec_identifier, 4);
            out.appendbyte(0);
        }
    }
    if (info.application_type == 6) {
        out.appendbyte(0);
        out.appendbyte(count8(info.font_file_names.size()));
        for (const std::string& name : info.font_file_names) {
            out.appendstring(name, 5);
            out.appendbyte(0);
        }
    }
    out.appendbytes(info.tail);
    closeSection(out, start);
}

void appendSequenceInfo(ByteWriter& out, const TSequenceInfo& sequences) {
    const std::size_t start = out.fill();
    out.appendlword(0);
    out.appendbyte(sequences.SequenceInfo_reserved);
    out.appendbyte(count8(sequences.ATC_sequences.size()));
    for (const TATC_sequences& atc : sequences.ATC_sequences) {
        out.appendlword(atc.SPN_ATC_start);
        out.appendbyte(count8(atc.STC_sequences.size()));
        out.appendbyte(atc.offset_STC_id);
        for (const TSTCSequence& stc : atc.STC_sequences) {
            out.appendword(stc.PCR_PID);
            out.appendlword(stc.SPN_STC_start);
            out.appendlword(stc.presentation_start_time);
            out.appendlword(stc.presentation_end_time);
        }
    }
    out.appendbytes(sequences.tail);
    closeSection(out, start);
}

void appendProgramInfo(ByteWriter& out, const TProgramInfo& program) {
    const std::size_t start = out.fill();
    out.appendlword(0);
    out.appendbyte(program.ProgramInfo_reserved);
    out.appendbyte(count8(program.program_sequences.size()));
    for (const TProgram_sequences& sequence : program.program_sequences) {
        out.appendlword(sequence.SPN_program_sequence_start);
        out.appendword(sequence.program_map_PID);
        out.appendbyte(count8(sequence.streams.size()));
        out.appendbyte(sequence.program_sequence_reserved);
        for (const TStreamCodingInfo& stream : sequence.streams) {
            const std::vector<std::uint8_t> body = streamCodingInfoBytes(stream);
            out.appendword(stream.stream_PID);
            out.appendbyte(count8(body.size()));
            out.appendbytes(body);
        }
    }
    out.appendbytes(program.tail);
    closeSection(out, start);
}

bool hasEPMap(const TCPI& cpi) {
    return cpi.CPI_length != 0 || cpi.CPI_type_word != 0 || !cpi.EP_map_entries.empty() ||
           !cpi.EP_map_data.empty();
}

void appendCPI(ByteWriter& out, const TCPI& cpi) {
    const std::size_t start = out.fill();
    out.appendlword(0);
    if (!hasEPMap(cpi)) return;
    out.appendword(cpi.CPI_type_word);
    out.appendbyte(cpi.EP_map_reserved);
    out.appendbyte(count8(cpi.EP_map_entries.size()));
    for (const TEPMapEntry& entry : cpi.EP_map_entries) {
        out.appendword(entry.stream_PID);
        // 10 reserved bits, EP_stream_type (4), number_of_EP_coarse_entries (16),
        // number_of_EP_fine_entries (18).
        out.appendword((static_cast<std::uint32_t>(entry.EP_entry_reserved) << 6) |
                       ((entry.EP_stream_type & 0x0Fu) << 2) | (entry.number_of_EP_coarse_entries >> 14));
        out.appendword(((entry.number_of_EP_coarse_entries & 0x3FFFu) << 2) |
                       ((entry.number_of_EP_fine_entries >> 16) & 3u));
        out.appendword(entry.number_of_EP_fine_entries & 0xFFFFu);
        out.appendlword(entry.EP_map_for_one_stream_PID_start_address);
    }
    out.appendbytes(cpi.EP_map_data);
    closeSection(out, start);
}

// The gap before a section, when the file's layout could be kept.
void appendGap(ByteWriter& out, const TCLPI& clpi, const std::vector<std::uint8_t>& gap) {
    if (clpi.layout_kept) out.appendbytes(gap);
}

void putAddress(ByteWriter& out, std::size_t at) {
    out.putlword(static_cast<std::uint32_t>(out.fill()), at);
}

} // namespace

std::vector<std::uint8_t> streamCodingInfoBytes(const TStreamCodingInfo& stream) {
    if (!stream.coding_info_bytes.empty()) {
        TStreamCodingInfo decoded = decodeStreamCodingInfo(stream.stream_PID, stream.coding_info_bytes);
        decoded.StreamCodingInfo_length = stream.StreamCodingInfo_length;
        if (decoded == stream) return stream.coding_info_bytes;
    }
    ByteWriter out;
    out.putbytes(stream.coding_info_bytes, 0);
    out.resize(std::max(stream.coding_info_bytes.size(), UsualCodingInfoSize));
    const auto kept = [&out](std::size_t at) { return at < out.buffer().size() ? out.buffer()[at] : 0u; };
    out.putbyte(stream.stream_coding_type, 0);
    switch (attributeKind(stream.stream_coding_type)) {
    case AttributeKind::Video: {
        out.putbyte((stream.video_format << 4) | (stream.frame_rate & 0x0Fu), 1);
        const bool hevc = stream.stream_coding_type == 0x24;
        std::uint32_t aspect = (static_cast<std::uint32_t>(stream.aspect_ratio) << 4) |
                               ((stream.oc_flag & 1u) << 1) | (kept(2) & 0x0Du);
        if (hevc) aspect = (aspect & ~1u) | (stream.cr_flag & 1u);
        out.putbyte(aspect, 2);
        if (hevc) {
            out.putbyte((stream.dynamic_range_type << 4) | (stream.color_space & 0x0Fu), 3);
            out.putbyte(((stream.HDR_plus_flag & 1u) << 7) | (kept(4) & 0x7Fu), 4);
        }
        out.putstring(stream.ISRC, 5, 12);
        break;
    }
    case AttributeKind::Audio:
        out.putbyte((stream.audio_presentation_type << 4) | (stream.sampling_frequency & 0x0Fu), 1);
        out.putstring(stream.language_code, 2, 3);
        out.putstring(stream.ISRC, 5, 12);
        break;
    case AttributeKind::Graphics:
        out.putstring(stream.language_code, 1, 3);
        out.putstring(stream.ISRC, 5, 12);
        break;
    case AttributeKind::Text:
        out.putbyte(stream.character_code, 1);
        out.putstring(stream.language_code, 2, 3);
        out.putstring(stream.ISRC, 5, 12);
        break;
    case AttributeKind::Unknown:
        break;
    }
    return out.take();
}

std::vector<std::uint8_t> writeClipInfo(const TCLPI& clpi) {
    ByteWriter out;
    out.appendstring(clpi.type_indicator, 4);
    out.appendstring(clpi.version_number, 4);
    for (int i = 0; i < 5; ++i) out.appendlword(0);
    out.appendbytes(clpi.reserved_header);
    static_assert(HeaderSize == 28 + 12);
    appendClipInfo(out, clpi.ClipInfo);
    appendGap(out, clpi, clpi.padding_before_SequenceInfo);
    putAddress(out, SequenceInfoAddressAt);
    appendSequenceInfo(out, clpi.SequenceInfo);
    appendGap(out, clpi, clpi.padding_before_ProgramInfo);
    putAddress(out, ProgramInfoAddressAt);
    appendProgramInfo(out, clpi.ProgramInfo);
    appendGap(out, clpi, clpi.padding_before_CPI);
    putAddress(out, CPIAddressAt);
    appendCPI(out, clpi.CPI);
    appendGap(out, clpi, clpi.padding_before_ClipMark);
    putAddress(out, ClipMarkAddressAt);
    out.appendlword(static_cast<std::uint32_t>(clpi.ClipMark_data.size()));
    out.appendbytes(clpi.ClipMark_data);
    if (clpi.ExtensionData_start_address != 0 || clpi.ExtensionData.length != 0) {
        appendGap(out, clpi, clpi.padding_before_extension);
        putAddress(out, ExtensionDataAddressAt);
        WriteExtensionData(out, clpi.ExtensionData);
    }
    appendGap(out, clpi, clpi.padding_at_end);
    const std::size_t size = out.fill();
    std::vector<std::uint8_t> bytes = out.take();
    bytes.resize(size);
    return bytes;
}

} // namespace corvane
