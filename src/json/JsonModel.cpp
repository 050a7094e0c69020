#include "json/JsonModel.h"

#include "io/TextUtil.h"
#include "navigation/CommandText.h"
#include "navigation/IndexUhd.h"

namespace corvane::json {

OrderedJson bytesJson(const std::vector<std::uint8_t>& bytes, bool noData) {
    if (noData) return bytes.size();
    static const char* const kDigits = "0123456789abcdef";
    std::string hex;
    hex.reserve(bytes.size() * 2);
    for (auto b : bytes) {
        hex += kDigits[b >> 4];
        hex += kDigits[b & 0xF];
    }
    return hex;
}

OrderedJson toJson(const TExtensionData& block, bool noData) {
    OrderedJson entries = OrderedJson::array();
    for (const auto& e : block.ext_data_entries) {
        entries.push_back(OrderedJson{{"ID1", e.ID1},
                                      {"ID2", e.ID2},
                                      {"ext_data_start_address", e.ext_data_start_address},
                                      {"ext_data_length", e.ext_data_length}});
    }
    return OrderedJson{{"length", block.length},
                       {"data_block_start_address", block.data_block_start_address},
                       {"number_of_ext_data_entries", block.ext_data_entries.size()},
                       {"ext_data_entries", entries},
                       {"ext_data_block", bytesJson(block.ext_data_block, noData)}};
}

std::string latin1ToUtf8(const std::string& text) {
    return corvane::latin1ToUtf8(text);
}

OrderedJson toJson(const TNavCommand& command, CommandContext context) {
    return OrderedJson{{"opcode", command.opcode},
                       {"destination", command.destination},
                       {"source", command.source},
                       {"text", commandLine(command, context)}};
}

OrderedJson toJson(const TMOBJ& mobj, bool noData) {
    OrderedJson objects = OrderedJson::array();
    for (const auto& object : mobj.MovieObjects.mobjs) {
        OrderedJson commands = OrderedJson::array();
        for (const auto& command : object.navigation_commands)
            commands.push_back(toJson(command, CommandContext::MovieObject));
        objects.push_back(OrderedJson{{"resume_intention_flag", object.resume_intention_flag},
                                      {"menu_call_mask", object.menu_call_mask},
                                      {"title_search_mask", object.title_search_mask},
                                      {"number_of_navigation_commands", object.navigation_commands.size()},
                                      {"navigation_commands", commands}});
    }
    const std::vector<std::uint8_t> reserved(mobj.reserved.begin(), mobj.reserved.end());
    return OrderedJson{{"type_indicator", latin1ToUtf8(mobj.type_indicator)},
                       {"version_number", latin1ToUtf8(mobj.version_number)},
                       {"ExtensionData_start_address", mobj.ExtensionData_start_address},
                       {"reserved", bytesJson(reserved, noData)},
                       {"MovieObjects", OrderedJson{{"mobjs_length", mobj.MovieObjects.mobjs_length},
                                                    {"reserved", mobj.MovieObjects.reserved},
                                                    {"number_of_mobjs", mobj.MovieObjects.mobjs.size()},
                                                    {"mobjs", objects}}},
                       {"padding_before_extension", bytesJson(mobj.padding_before_extension, noData)},
                       {"ExtensionData", toJson(mobj.ExtensionData, noData)}};
}

namespace {

OrderedJson entryJson(const TTitleEntry& entry) {
    return OrderedJson{
        {"title_number", entry.title_number}, {"object_type", entry.object_type},
        {"access_type", entry.access_type},   {"playback_type", entry.playback_type},
        {"mobj_id_ref", entry.mobj_id_ref},   {"bdjo_file_name", latin1ToUtf8(entry.bdjo_file_name)}};
}

// The UHD disc-type entry of the ExtensionData decoded; null when there is none.
OrderedJson uhdJson(const TExtensionData& block) {
    const auto uhd = readUhdDiscInfo(block);
    if (!uhd) return nullptr;
    return OrderedJson{{"length", uhd->length},
                       {"disc_type", uhd->disc_type},
                       {"reserved1", uhd->reserved1},
                       {"exist_4k_flag", uhd->exist_4k_flag},
                       {"reserved2", uhd->reserved2},
                       {"reserved3", uhd->reserved3},
                       {"hdrplus_flag", uhd->hdrplus_flag},
                       {"reserved4", uhd->reserved4},
                       {"dv_flag", uhd->dv_flag},
                       {"hdr_flags", uhd->hdr_flags},
                       {"reserved5", uhd->reserved5},
                       {"reserved6", uhd->reserved6}};
}

} // namespace

OrderedJson toJson(const TINDX& index, bool noData) {
    OrderedJson titles = OrderedJson::array();
    for (const auto& title : index.Indexes.titles) titles.push_back(entryJson(title));
    const std::vector<std::uint8_t> reserved(index.reserved.begin(), index.reserved.end());
    return OrderedJson{{"type_indicator", index.type_indicator},
                       {"version_number", index.version_number},
                       {"indexes_start_address", index.indexes_start_address},
                       {"ExtensionData_start_address", index.ExtensionData_start_address},
                       {"reserved", bytesJson(reserved, noData)},
                       {"app_info_length", index.app_info_length},
                       {"app_info_reserved1", index.app_info_reserved1},
                       {"initial_output_mode_preference", index.initial_output_mode_preference},
                       {"SS_content_exist_flag", index.SS_content_exist_flag},
                       {"app_info_reserved2", index.app_info_reserved2},
                       {"initial_dynamic_range_type", index.initial_dynamic_range_type},
                       {"video_format", index.video_format},
                       {"frame_rate", index.frame_rate},
                       {"content_provider_user_data", latin1ToUtf8(index.content_provider_user_data)},
                       {"padding_before_indexes", bytesJson(index.padding_before_indexes, noData)},
                       {"Indexes", OrderedJson{{"indexes_length", index.Indexes.indexes_length},
                                               {"first_playback", entryJson(index.Indexes.first_playback)},
                                               {"top_menu", entryJson(index.Indexes.top_menu)},
                                               {"number_of_titles", index.Indexes.titles.size()},
                                               {"titles", titles}}},
                       {"padding_before_extension", bytesJson(index.padding_before_extension, noData)},
                       {"ExtensionData", toJson(index.ExtensionData, noData)},
                       {"UHD", uhdJson(index.ExtensionData)}};
}

} // namespace corvane::json
