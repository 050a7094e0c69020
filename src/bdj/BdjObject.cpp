#include "bdj/BdjObject.h"

#include "io/ByteReader.h"
#include "io/TextUtil.h"

namespace corvane {

const std::array<KeyBox, 11> KeyInterestBoxes = {{
    {31, "cbVK_Play", "Play"},
    {30, "cbVK_Stop", "Stop"},
    {29, "cbVK_Ffw", "FFW"},
    {28, "cbVK_Rew", "REW"},
    {27, "cbVK_Next", "Next"},
    {26, "cbVK_Prev", "Prev."},
    {25, "cbVK_Pause", "Pause"},
    {24, "cbVK_Stilloff", "Still off"},
    {23, "cbVK_sAudio", "sec.audio"},
    {22, "cbVK_sVideo", "sec.video"},
    {21, "cbVK_PGtext", "PG TextST"},
}};

namespace {

// Skips one byte when the file offset is odd.
void align(ByteReader& in) {
    if (in.pos() % 2) in.skip(1);
}

// A length byte and that many characters.
std::string lengthText(ByteReader& in, std::uint8_t& length) {
    length = static_cast<std::uint8_t>(in.readbyte());
    return in.readstring(length);
}

Tapplication readApplication(ByteReader& in) {
    Tapplication app;
    app.application_control_code = static_cast<std::uint8_t>(in.readbyte());
    app.application_type = static_cast<std::uint8_t>(in.readbyte());
    app.organization_id = in.readlword();
    app.application_id = static_cast<std::uint16_t>(in.readword());
    app.descriptor_tag = static_cast<std::uint8_t>(in.readbyte());
    in.skip(1);
    app.descriptor_length = in.readlword();
    in.skip(4);
    app.number_of_profiles = static_cast<std::uint8_t>(in.readword() >> 12);
    for (std::size_t i = 0; i < app.number_of_profiles && !in.overrun(); ++i) {
        TAppProfile profile;
        profile.application_profile = static_cast<std::uint16_t>(in.readword());
        profile.version_major = static_cast<std::uint8_t>(in.readbyte());
        profile.version_minor = static_cast<std::uint8_t>(in.readbyte());
        profile.version_micro = static_cast<std::uint8_t>(in.readbyte());
        in.skip(1);
        app.profiles.push_back(profile);
    }
    app.application_priority = static_cast<std::uint8_t>(in.readbyte());
    const std::uint32_t binding = in.readbyte();
    app.application_binding = static_cast<std::uint8_t>(binding >> 6);
    app.visibility = static_cast<std::uint8_t>((binding >> 4) & 3);
    app.application_names_length = static_cast<std::uint16_t>(in.readword());
    for (std::size_t used = 0; used < app.application_names_length && !in.overrun();) {
        Tapplication_name name;
        name.language_code = in.readstring(3);
        name.name = lengthText(in, name.name_length);
        used += 4 + std::size_t{name.name_length};
        app.application_names.push_back(std::move(name));
    }
    align(in);
    app.icon_locator = lengthText(in, app.icon_locator_length);
    align(in);
    app.icon_flags = static_cast<std::uint16_t>(in.readword());
    app.base_directory = lengthText(in, app.base_directory_length);
    align(in);
    app.classpath_extension = lengthText(in, app.classpath_extension_length);
    align(in);
    app.initial_class_name = lengthText(in, app.initial_class_name_length);
    align(in);
    app.parameter_data_length = static_cast<std::uint8_t>(in.readbyte());
    for (std::size_t used = 0; used < app.parameter_data_length && !in.overrun();) {
        Tparameter parameter;
        parameter.parameter = lengthText(in, parameter.parameter_length);
        used += 1 + std::size_t{parameter.parameter_length};
        app.parameters.push_back(std::move(parameter));
    }
    align(in);
    return app;
}

} // namespace

BdjoReadResult readBDJO(const std::vector<std::uint8_t>& bytes, std::string_view name) {
    BdjoReadResult result;
    TBDJO& bdjo = result.bdjo;
    ByteReader in(bytes);
    bdjo.type_indicator = in.readstring(4);
    bdjo.version_number = in.readstring(4);
    if (bdjo.type_indicator != "BDJO" ||
        (bdjo.version_number != "0100" && bdjo.version_number != "0200" && bdjo.version_number != "0300")) {
        result.status = ReadStatus::FormatError;
        result.bdjo = TBDJO{};
        result.messages.push_back({ReadMessage::Kind::Error, "Invalid format: " + std::string(name)});
        return result;
    }
    bdjo.TerminalInfo_start_address = in.readlword();
    bdjo.AppCacheInfo_start_address = in.readlword();
    bdjo.TableOfAccessiblePlayLists_start_address = in.readlword();
    bdjo.ApplicationManagementTable_start_address = in.readlword();
    bdjo.KeyInterestTable_start_address = in.readlword();
    bdjo.FileAccessInfo_start_address = in.readlword();
    in.skip(16);

    // Each block is checked on its own: a damaged one is named, the others still read.
    std::vector<std::string> damaged;
    auto block = [&](const char* what, std::uint32_t address, auto&& read) {
        if (address == 0) return; // no such block
        ByteReader part(bytes);
        part.seek(address);
        if (!part.overrun()) read(part);
        if (part.overrun()) damaged.push_back(std::string(what) + " at $" + hexText(address, 8));
    };

    block("TerminalInfo", 48, [&](ByteReader& part) {
        bdjo.TerminalInfo_length = part.readlword();
        bdjo.default_font = part.readstring(5);
        const std::uint32_t flags = part.readbyte();
        bdjo.initial_HAVi_configuration_id = static_cast<std::uint8_t>(flags >> 4);
        bdjo.menu_call_mask = static_cast<std::uint8_t>((flags >> 3) & 1);
        bdjo.title_search_mask = static_cast<std::uint8_t>((flags >> 2) & 1);
        part.skip(4);
    });
    block("AppCacheInfo", bdjo.AppCacheInfo_start_address, [&](ByteReader& part) {
        TAppCacheInfo& cache = bdjo.AppCacheInfo;
        cache.length = part.readlword();
        cache.number_of_entries = static_cast<std::uint8_t>(part.readbyte());
        part.skip(1);
        const std::size_t count = part.capCount(cache.number_of_entries, 12);
        for (std::size_t i = 0; i < count; ++i) {
            TAppCacheEntry entry;
            entry.entry_type = static_cast<std::uint8_t>(part.readbyte());
            entry.ref_to_name = part.readstring(5);
            entry.language_code = part.readstring(3);
            part.skip(3);
            cache.entries.push_back(std::move(entry));
        }
        if (count < cache.number_of_entries) part.skip(part.remaining() + 1);
    });
    block("TableOfAccessiblePlayLists", bdjo.TableOfAccessiblePlayLists_start_address, [&](ByteReader& part) {
        TTableOfAccessiblePlayLists& table = bdjo.TableOfAccessiblePlayLists;
        table.length = part.readlword();
        const std::uint32_t flags = part.readword();
        table.number_of_acc_PlayLists = static_cast<std::uint16_t>(flags >> 5);
        table.access_to_all_flag = static_cast<std::uint8_t>((flags >> 4) & 1);
        table.autostart_first_PlayList_flag = static_cast<std::uint8_t>((flags >> 3) & 1);
        part.skip(2);
        const std::size_t count = part.capCount(table.number_of_acc_PlayLists, 6);
        for (std::size_t i = 0; i < count; ++i) {
            table.PlayList_file_names.push_back(part.readstring(5));
            part.skip(1);
        }
        if (count < table.number_of_acc_PlayLists) part.skip(part.remaining() + 1);
    });
    block("ApplicationManagementTable", bdjo.ApplicationManagementTable_start_address, [&](ByteReader& part) {
        TApplicationManagementTable& table = bdjo.ApplicationManagementTable;
        table.length = part.readlword();
        table.number_of_applications = static_cast<std::uint8_t>(part.readbyte());
        part.skip(1);
        for (std::size_t i = 0; i < table.number_of_applications && !part.overrun(); ++i)
            table.applications.push_back(readApplication(part));
    });
    block("KeyInterestTable", bdjo.KeyInterestTable_start_address,
          [&](ByteReader& part) { bdjo.KeyInterestTable = part.readlword(); });
    block("FileAccessInfo", bdjo.FileAccessInfo_start_address, [&](ByteReader& part) {
        bdjo.FileAccessInfo.directory_paths_length = static_cast<std::uint16_t>(part.readword());
        bdjo.FileAccessInfo.directory_paths = part.readstring(bdjo.FileAccessInfo.directory_paths_length);
    });

    for (const auto& what : damaged)
        result.messages.push_back(
            {ReadMessage::Kind::Error, std::string(name) + " ends inside " + what + "."});
    if (!damaged.empty()) result.status = ReadStatus::Damaged;
    return result;
}

std::vector<BdjoRow> appCacheRows(const TBDJO& bdjo) {
    std::vector<BdjoRow> rows;
    for (std::size_t i = 0; i < bdjo.AppCacheInfo.entries.size(); ++i) {
        const auto& entry = bdjo.AppCacheInfo.entries[i];
        rows.push_back(
            {std::to_string(i), std::to_string(entry.entry_type), entry.ref_to_name, entry.language_code});
    }
    return rows;
}

std::vector<BdjoRow> accessiblePlayListRows(const TBDJO& bdjo) {
    std::vector<BdjoRow> rows;
    const auto& names = bdjo.TableOfAccessiblePlayLists.PlayList_file_names;
    for (std::size_t i = 0; i < names.size(); ++i) rows.push_back({std::to_string(i), names[i]});
    return rows;
}

std::vector<BdjoRow> applicationRows(const TBDJO& bdjo) {
    std::vector<BdjoRow> rows;
    const auto& apps = bdjo.ApplicationManagementTable.applications;
    for (std::size_t i = 0; i < apps.size(); ++i) {
        const Tapplication& app = apps[i];
        rows.push_back({std::to_string(i), std::to_string(app.application_control_code),
                        std::to_string(app.application_type), hexText(app.organization_id, 8),
                        hexText(app.application_id, 4), hexText(app.descriptor_tag, 2),
                        std::to_string(app.application_priority), std::to_string(app.application_binding),
                        std::to_string(app.visibility), app.icon_locator, app.base_directory,
                        app.classpath_extension, app.initial_class_name,
                        std::to_string(app.number_of_profiles), std::to_string(app.application_names.size()),
                        std::to_string(app.parameters.size())});
    }
    return rows;
}

std::vector<BdjoRow> profileRows(const Tapplication& application) {
    std::vector<BdjoRow> rows;
    for (std::size_t i = 0; i < application.profiles.size(); ++i) {
        const TAppProfile& p = application.profiles[i];
        rows.push_back({std::to_string(i + 1), hexText(p.application_profile, 4),
                        std::to_string(p.version_major) + "." + std::to_string(p.version_minor) + "." +
                            std::to_string(p.version_micro)});
    }
    return rows;
}

std::vector<BdjoRow> nameRows(const Tapplication& application) {
    std::vector<BdjoRow> rows;
    for (std::size_t i = 0; i < application.application_names.size(); ++i)
        rows.push_back({std::to_string(i + 1), application.application_names[i].language_code,
                        application.application_names[i].name});
    return rows;
}

std::vector<BdjoRow> parameterRows(const Tapplication& application) {
    std::vector<BdjoRow> rows;
    for (std::size_t i = 0; i < application.parameters.size(); ++i)
        rows.push_back({std::to_string(i + 1), application.parameters[i].parameter});
    return rows;
}

} // namespace corvane
