// A clip information file's model as JSON, field by field in record order.

#include "json/JsonModel.h"

namespace corvane::json {

namespace {

OrderedJson clipInfoJson(const TClipInfo& info) {
    OrderedJson deltas = OrderedJson::array();
    for (const auto& d : info.ATC_delta_entries)
        deltas.push_back(OrderedJson{
            {"ATC_delta", d.ATC_delta},
            {"following_Clip_Information_file_name", latin1ToUtf8(d.following_Clip_Information_file_name)},
            {"Clip_codec_identifier", latin1ToUtf8(d.Clip_codec_identifier)}});
    OrderedJson fonts = OrderedJson::array();
    for (const auto& name : info.font_file_names) fonts.push_back(latin1ToUtf8(name));
    return OrderedJson{{"ClipInfo_length", info.ClipInfo_length},
                       {"Clip_stream_type", info.Clip_stream_type},
                       {"application_type", info.application_type},
                       {"is_ATC_delta", info.is_ATC_delta},
                       {"TS_recording_rate", info.TS_recording_rate},
                       {"number_of_source_packets", info.number_of_source_packets},
                       {"TS_type_info_length", info.TS_type_info_length},
                       {"Validity_flags", info.Validity_flags},
                       {"Format_identifier", latin1ToUtf8(info.Format_identifier)},
                       {"number_of_ATC_delta_entries", info.number_of_ATC_delta_entries},
                       {"ATC_delta_entries", deltas},
                       {"number_of_font_files", info.number_of_font_files},
                       {"font_file_names", fonts}};
}

OrderedJson sequenceInfoJson(const TSequenceInfo& info) {
    OrderedJson atcs = OrderedJson::array();
    for (const auto& atc : info.ATC_sequences) {
        OrderedJson stcs = OrderedJson::array();
        for (const auto& stc : atc.STC_sequences)
            stcs.push_back(OrderedJson{{"PCR_PID", stc.PCR_PID},
                                       {"SPN_STC_start", stc.SPN_STC_start},
                                       {"presentation_start_time", stc.presentation_start_time},
                                       {"presentation_end_time", stc.presentation_end_time}});
        atcs.push_back(OrderedJson{{"SPN_ATC_start", atc.SPN_ATC_start},
                                   {"number_of_STC_sequences", atc.number_of_STC_sequences},
                                   {"offset_STC_id", atc.offset_STC_id},
                                   {"STC_sequences", stcs}});
    }
    return OrderedJson{{"SequenceInfo_length", info.SequenceInfo_length},
                       {"number_of_ATC_sequences", info.number_of_ATC_sequences},
                       {"ATC_sequences", atcs}};
}

OrderedJson programInfoJson(const TProgramInfo& info) {
    OrderedJson sequences = OrderedJson::array();
    for (const auto& sequence : info.program_sequences) {
        OrderedJson streams = OrderedJson::array();
        for (const auto& s : sequence.streams)
            streams.push_back(OrderedJson{{"stream_PID", s.stream_PID},
                                          {"StreamCodingInfo_length", s.StreamCodingInfo_length},
                                          {"stream_coding_type", s.stream_coding_type},
                                          {"video_format", s.video_format},
                                          {"frame_rate", s.frame_rate},
                                          {"aspect_ratio", s.aspect_ratio},
                                          {"oc_flag", s.oc_flag},
                                          {"cr_flag", s.cr_flag},
                                          {"dynamic_range_type", s.dynamic_range_type},
                                          {"color_space", s.color_space},
                                          {"HDR_plus_flag", s.HDR_plus_flag},
                                          {"audio_presentation_type", s.audio_presentation_type},
                                          {"sampling_frequency", s.sampling_frequency},
                                          {"character_code", s.character_code},
                                          {"language_code", latin1ToUtf8(s.language_code)},
                                          {"ISRC", latin1ToUtf8(s.ISRC)},
                                          {"details", streamDetails(s)}});
        sequences.push_back(OrderedJson{{"SPN_program_sequence_start", sequence.SPN_program_sequence_start},
                                        {"program_map_PID", sequence.program_map_PID},
                                        {"number_of_streams_in_ps", sequence.number_of_streams_in_ps},
                                        {"streams", streams}});
    }
    return OrderedJson{{"ProgramInfo_length", info.ProgramInfo_length},
                       {"number_of_program_sequences", info.number_of_program_sequences},
                       {"program_sequences", sequences}};
}

OrderedJson cpiJson(const TCPI& cpi) {
    OrderedJson entries = OrderedJson::array();
    for (const auto& e : cpi.EP_map_entries)
        entries.push_back(OrderedJson{
            {"stream_PID", e.stream_PID},
            {"EP_stream_type", e.EP_stream_type},
            {"number_of_EP_coarse_entries", e.number_of_EP_coarse_entries},
            {"number_of_EP_fine_entries", e.number_of_EP_fine_entries},
            {"EP_map_for_one_stream_PID_start_address", e.EP_map_for_one_stream_PID_start_address}});
    return OrderedJson{{"CPI_length", cpi.CPI_length},
                       {"CPI_type_word", cpi.CPI_type_word},
                       {"number_of_stream_PID_entries", cpi.number_of_stream_PID_entries},
                       {"EP_map_entries", entries}};
}

} // namespace

OrderedJson toJson(const TCLPI& clpi, bool noData) {
    return OrderedJson{{"type_indicator", latin1ToUtf8(clpi.type_indicator)},
                       {"version_number", latin1ToUtf8(clpi.version_number)},
                       {"SequenceInfo_start_address", clpi.SequenceInfo_start_address},
                       {"ProgramInfo_start_address", clpi.ProgramInfo_start_address},
                       {"CPI_start_address", clpi.CPI_start_address},
                       {"ClipMark_start_address", clpi.ClipMark_start_address},
                       {"ExtensionData_start_address", clpi.ExtensionData_start_address},
                       {"ClipInfo", clipInfoJson(clpi.ClipInfo)},
                       {"SequenceInfo", sequenceInfoJson(clpi.SequenceInfo)},
                       {"ProgramInfo", programInfoJson(clpi.ProgramInfo)},
                       {"CPI", cpiJson(clpi.CPI)},
                       {"ClipMark_length", clpi.ClipMark_length},
                       {"ExtensionData", toJson(clpi.ExtensionData, noData)}};
}

} // namespace corvane::json
