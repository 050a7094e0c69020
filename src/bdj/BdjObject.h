#pragma once
// BD-J object files (BDJO/xxxxx.bdjo): the terminal settings, cache entries,
// accessible playlists, applications, keys and directories of a Java title.
// A viewer's model: read whole, never written.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "io/ReadResult.h"

namespace corvane {

struct TAppCacheEntry {
    std::uint8_t entry_type = 0; // 8-bit
    std::string ref_to_name;     // 5 characters
    std::string language_code;   // 3 characters
    bool operator==(const TAppCacheEntry&) const = default;
};

struct TAppCacheInfo {
    std::uint32_t length = 0;           // 32-bit
    std::uint8_t number_of_entries = 0; // 8-bit
    std::vector<TAppCacheEntry> entries;
    bool operator==(const TAppCacheInfo&) const = default;
};

struct TTableOfAccessiblePlayLists {
    std::uint32_t length = 0;                       // 32-bit
    std::uint16_t number_of_acc_PlayLists = 0;      // 11-bit
    std::uint8_t access_to_all_flag = 0;            // 1-bit
    std::uint8_t autostart_first_PlayList_flag = 0; // 1-bit
    std::vector<std::string> PlayList_file_names;   // 5 characters each
    bool operator==(const TTableOfAccessiblePlayLists&) const = default;
};

struct TAppProfile {
    std::uint16_t application_profile = 0; // 16-bit
    std::uint8_t version_major = 0, version_minor = 0, version_micro = 0;
    bool operator==(const TAppProfile&) const = default;
};

struct Tapplication_name {
    std::string language_code; // 3 characters
    std::uint8_t name_length = 0;
    std::string name;
    bool operator==(const Tapplication_name&) const = default;
};

struct Tparameter {
    std::uint8_t parameter_length = 0;
    std::string parameter;
    bool operator==(const Tparameter&) const = default;
};

struct Tapplication {
    std::uint8_t application_control_code = 0; // 8-bit
    std::uint8_t application_type = 0;         // 8-bit, the whole byte
    std::uint32_t organization_id = 0;         // 32-bit
    std::uint16_t application_id = 0;          // 16-bit
    std::uint8_t descriptor_tag = 0;           // 8-bit
    std::uint32_t descriptor_length = 0;       // 32-bit
    std::uint8_t number_of_profiles = 0;       // 4-bit
    std::vector<TAppProfile> profiles;
    std::uint8_t application_priority = 0;      // 8-bit
    std::uint8_t application_binding = 0;       // 2-bit
    std::uint8_t visibility = 0;                // 2-bit
    std::uint16_t application_names_length = 0; // 16-bit, bytes
    std::vector<Tapplication_name> application_names;
    std::uint8_t icon_locator_length = 0;
    std::string icon_locator;
    std::uint16_t icon_flags = 0;
    std::uint8_t base_directory_length = 0;
    std::string base_directory;
    std::uint8_t classpath_extension_length = 0;
    std::string classpath_extension;
    std::uint8_t initial_class_name_length = 0;
    std::string initial_class_name;
    std::uint8_t parameter_data_length = 0; // bytes
    std::vector<Tparameter> parameters;
    bool operator==(const Tapplication&) const = default;
};

struct TApplicationManagementTable {
    std::uint32_t length = 0;                // 32-bit
    std::uint8_t number_of_applications = 0; // 8-bit
    std::vector<Tapplication> applications;
    bool operator==(const TApplicationManagementTable&) const = default;
};

struct TFilAccesInfo {
    std::uint16_t directory_paths_length = 0; // 16-bit
    std::string directory_paths;
    bool operator==(const TFilAccesInfo&) const = default;
};

struct TBDJO {
    std::string type_indicator; // "BDJO"
    std::string version_number; // "0100", "0200" or "0300" (UHD)
    std::uint32_t TerminalInfo_start_address = 0;
    std::uint32_t AppCacheInfo_start_address = 0;
    std::uint32_t TableOfAccessiblePlayLists_start_address = 0;
    std::uint32_t ApplicationManagementTable_start_address = 0;
    std::uint32_t KeyInterestTable_start_address = 0;
    std::uint32_t FileAccessInfo_start_address = 0;
    std::uint32_t TerminalInfo_length = 0;
    std::string default_font;                       // 5 characters
    std::uint8_t initial_HAVi_configuration_id = 0; // 4-bit
    std::uint8_t menu_call_mask = 0;                // 1-bit
    std::uint8_t title_search_mask = 0;             // 1-bit
    TAppCacheInfo AppCacheInfo;
    TTableOfAccessiblePlayLists TableOfAccessiblePlayLists;
    TApplicationManagementTable ApplicationManagementTable;
    std::uint32_t KeyInterestTable = 0; // key bits, bit 31 first
    TFilAccesInfo FileAccessInfo;
    bool operator==(const TBDJO&) const = default;
};

// Status Ok (read whole), FormatError (not a BD-J object of version 0100/0200/0300: nothing
// shown) or Damaged (a block or a length points past the end: what was read before is kept).
struct BdjoReadResult : ReadResult {
    TBDJO bdjo;
};

// Reads a BD-J object from its bytes; `name` (with extension) is used in the messages.
BdjoReadResult readBDJO(const std::vector<std::uint8_t>& bytes, std::string_view name);

// The eleven keys of the KeyInterestTable shown as boxes: the bit (31 down to 21),
// the box's object name and its caption.
struct KeyBox {
    int bit;
    std::string_view objectName;
    std::string_view caption;
};
extern const std::array<KeyBox, 11> KeyInterestBoxes;

// Table texts; each row starts with its index (from 0, or from 1 for the detail tables).
using BdjoRow = std::vector<std::string>;
inline constexpr std::array<std::string_view, 16> AppManageHeaders{
    "",      "ctrl",     "type",     "orgID",         "appID",        "tag", "prior", "bind",
    "visib", "icon_loc", "base_dir", "classpath_ext", "init_classn.", "pr.", "na.",   "pa."};
std::vector<BdjoRow> appCacheRows(const TBDJO& bdjo);              // index, entry type, ref to name, language
std::vector<BdjoRow> accessiblePlayListRows(const TBDJO& bdjo);    // index, PlayList
std::vector<BdjoRow> applicationRows(const TBDJO& bdjo);           // the 16 columns above
std::vector<BdjoRow> profileRows(const Tapplication& application); // number, profile, version
std::vector<BdjoRow> nameRows(const Tapplication& application);    // number, lang, name
std::vector<BdjoRow> parameterRows(const Tapplication& application); // number, parameter

} // namespace corvane
