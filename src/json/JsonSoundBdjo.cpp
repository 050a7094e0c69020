// sound.bdmv and BD-J object models as JSON, field by field in record order.

#include "json/JsonModel.h"

namespace corvane::json {

OrderedJson toJson(const TSND& sound, bool noData) {
    OrderedJson entries = OrderedJson::array();
    for (const TSoundEntries& e : sound.SoundIndex.entries)
        entries.push_back(OrderedJson{{"channel_configuration", e.channel_configuration},
                                      {"sampling_frequency", e.sampling_frequency},
                                      {"bits_per_sample", e.bits_per_sample},
                                      {"sound_data_start_address", e.sound_data_start_address},
                                      {"sound_data_length", e.sound_data_length},
                                      {"sound_data", bytesJson(e.sound_data, noData)}});
    return OrderedJson{
        {"type_indicator", latin1ToUtf8(sound.type_indicator)},
        {"version_number", latin1ToUtf8(sound.version_number)},
        {"SoundData_start_address", sound.SoundData_start_address},
        {"ExtensionData_start_address", sound.ExtensionData_start_address},
        {"SoundIndex", OrderedJson{{"length", sound.SoundIndex.length},
                                   {"number_of_sound_entries", sound.SoundIndex.entries.size()},
                                   {"entries", entries}}},
        {"ExtensionData", toJson(sound.ExtensionData, noData)}};
}

namespace {

OrderedJson applicationJson(const Tapplication& a) {
    OrderedJson profiles = OrderedJson::array();
    for (const TAppProfile& p : a.profiles)
        profiles.push_back(OrderedJson{{"application_profile", p.application_profile},
                                       {"version_major", p.version_major},
                                       {"version_minor", p.version_minor},
                                       {"version_micro", p.version_micro}});
    OrderedJson names = OrderedJson::array();
    for (const Tapplication_name& n : a.application_names)
        names.push_back(OrderedJson{{"language_code", latin1ToUtf8(n.language_code)},
                                    {"name_length", n.name_length},
                                    {"name", latin1ToUtf8(n.name)}});
    OrderedJson parameters = OrderedJson::array();
    for (const Tparameter& p : a.parameters)
        parameters.push_back(
            OrderedJson{{"parameter_length", p.parameter_length}, {"parameter", latin1ToUtf8(p.parameter)}});
    return OrderedJson{{"application_control_code", a.application_control_code},
                       {"application_type", a.application_type},
                       {"organization_id", a.organization_id},
                       {"application_id", a.application_id},
                       {"descriptor_tag", a.descriptor_tag},
                       {"descriptor_length", a.descriptor_length},
                       {"number_of_profiles", a.number_of_profiles},
                       {"profiles", profiles},
                       {"application_priority", a.application_priority},
                       {"application_binding", a.application_binding},
                       {"visibility", a.visibility},
                       {"application_names_length", a.application_names_length},
                       {"application_names", names},
                       {"icon_locator_length", a.icon_locator_length},
                       {"icon_locator", latin1ToUtf8(a.icon_locator)},
                       {"icon_flags", a.icon_flags},
                       {"base_directory_length", a.base_directory_length},
                       {"base_directory", latin1ToUtf8(a.base_directory)},
                       {"classpath_extension_length", a.classpath_extension_length},
                       {"classpath_extension", latin1ToUtf8(a.classpath_extension)},
                       {"initial_class_name_length", a.initial_class_name_length},
                       {"initial_class_name", latin1ToUtf8(a.initial_class_name)},
                       {"parameter_data_length", a.parameter_data_length},
                       {"parameters", parameters}};
}

} // namespace

OrderedJson toJson(const TBDJO& bdjo) {
    OrderedJson cache = OrderedJson::array();
    for (const TAppCacheEntry& e : bdjo.AppCacheInfo.entries)
        cache.push_back(OrderedJson{{"entry_type", e.entry_type},
                                    {"ref_to_name", latin1ToUtf8(e.ref_to_name)},
                                    {"language_code", latin1ToUtf8(e.language_code)}});
    OrderedJson playlists = OrderedJson::array();
    for (const std::string& name : bdjo.TableOfAccessiblePlayLists.PlayList_file_names)
        playlists.push_back(latin1ToUtf8(name));
    OrderedJson applications = OrderedJson::array();
    for (const Tapplication& a : bdjo.ApplicationManagementTable.applications)
        applications.push_back(applicationJson(a));
    const TTableOfAccessiblePlayLists& table = bdjo.TableOfAccessiblePlayLists;
    return OrderedJson{
        {"type_indicator", latin1ToUtf8(bdjo.type_indicator)},
        {"version_number", latin1ToUtf8(bdjo.version_number)},
        {"TerminalInfo_start_address", bdjo.TerminalInfo_start_address},
        {"AppCacheInfo_start_address", bdjo.AppCacheInfo_start_address},
        {"TableOfAccessiblePlayLists_start_address", bdjo.TableOfAccessiblePlayLists_start_address},
        {"ApplicationManagementTable_start_address", bdjo.ApplicationManagementTable_start_address},
        {"KeyInterestTable_start_address", bdjo.KeyInterestTable_start_address},
        {"FileAccessInfo_start_address", bdjo.FileAccessInfo_start_address},
        {"TerminalInfo_length", bdjo.TerminalInfo_length},
        {"default_font", latin1ToUtf8(bdjo.default_font)},
        {"initial_HAVi_configuration_id", bdjo.initial_HAVi_configuration_id},
        {"menu_call_mask", bdjo.menu_call_mask},
        {"title_search_mask", bdjo.title_search_mask},
        {"AppCacheInfo", OrderedJson{{"length", bdjo.AppCacheInfo.length},
                                     {"number_of_entries", bdjo.AppCacheInfo.number_of_entries},
                                     {"entries", cache}}},
        {"TableOfAccessiblePlayLists",
         OrderedJson{{"length", table.length},
                     {"number_of_acc_PlayLists", table.number_of_acc_PlayLists},
                     {"access_to_all_flag", table.access_to_all_flag},
                     {"autostart_first_PlayList_flag", table.autostart_first_PlayList_flag},
                     {"PlayList_file_names", playlists}}},
        {"ApplicationManagementTable",
         OrderedJson{{"length", bdjo.ApplicationManagementTable.length},
                     {"number_of_applications", bdjo.ApplicationManagementTable.number_of_applications},
                     {"applications", applications}}},
        {"KeyInterestTable", bdjo.KeyInterestTable},
        {"FileAccessInfo",
         OrderedJson{{"directory_paths_length", bdjo.FileAccessInfo.directory_paths_length},
                     {"directory_paths", latin1ToUtf8(bdjo.FileAccessInfo.directory_paths)}}}};
}

} // namespace corvane::json
