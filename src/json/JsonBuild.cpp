// index.bdmv, MovieObject.bdmv and ExtensionData() blocks from their dump's JSON.

#include "json/JsonBuild.h"

#include "io/ByteReader.h"
#include "playlist/PlayListWriter.h"
#include "json/JsonIn.h"

namespace corvane::json {

using in::Object;

TExtensionData in::readExtensionData(Object block, const BuildOptions& options) {
    TExtensionData out;
    out.length = block.number<std::uint32_t>("length");
    out.data_block_start_address = block.number<std::uint32_t>("data_block_start_address");
    const auto& entries = block.array("ext_data_entries", 255);
    in::checkCount(block, "number_of_ext_data_entries", entries.size(), options.keepLengths);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        Object entry(entries[i], block.at("ext_data_entries") + "/" + std::to_string(i));
        TExtDataEntry e;
        e.ID1 = entry.number<std::uint16_t>("ID1");
        e.ID2 = entry.number<std::uint16_t>("ID2");
        e.ext_data_start_address = entry.number<std::uint32_t>("ext_data_start_address");
        e.ext_data_length = entry.number<std::uint32_t>("ext_data_length");
        entry.finish();
        out.ext_data_entries.push_back(e);
    }
    out.number_of_ext_data_entries = static_cast<std::uint8_t>(out.ext_data_entries.size());
    out.ext_data_block = block.bytes("ext_data_block");
    if (out.length == 0 && (!out.ext_data_entries.empty() || !out.ext_data_block.empty()))
        in::fail(block.at("length"), "a length above 0 (a block of length 0 holds nothing)",
                 block.raw("length"));
    block.finish();
    return out;
}

namespace {

using in::readExtensionData;

// Whether the file gets an ExtensionData() block. With the lengths kept, as the start
// address says; otherwise also when the block has content, so that a script that fills
// one in need not know where it lands.
bool hasExtension(Object& top, const TExtensionData& block, const BuildOptions& options) {
    const auto address =
        top.optionalNumber<std::uint32_t>("ExtensionData_start_address", options.keepLengths);
    if (options.keepLengths && *address == 0 && block.length != 0) {
        const nlohmann::json found = block.length;
        in::fail(top.at("ExtensionData") + "/length", "0 (ExtensionData_start_address is 0)", &found);
    }
    return (address && *address != 0) || block.length != 0;
}

// With the lengths kept, a start address must be where the writer places its block.
void checkAddress(const nlohmann::json& value, std::string_view key, const std::vector<std::uint8_t>& bytes,
                  std::size_t offset) {
    ByteReader reader(bytes);
    reader.seek(offset);
    const std::uint32_t written = reader.readlword();
    const nlohmann::json& held = value.at(std::string(key));
    if (held.get<std::uint64_t>() != written)
        in::fail("/" + std::string(key),
                 std::to_string(written) + " (where the block lands: every block follows the one before)",
                 &held);
}

TTitleEntry readEntry(Object entry, bool isTitle) {
    TTitleEntry out;
    entry.skip("title_number"); // the entry's place in the table
    out.object_type = entry.bits("object_type", 2);
    out.access_type = entry.bits("access_type", 2);
    if (!isTitle && out.access_type != 0)
        in::fail(entry.at("access_type"), "0 (only titles have an access type)", entry.raw("access_type"));
    out.playback_type = entry.bits("playback_type", 2);
    out.mobj_id_ref = entry.number<std::uint16_t>("mobj_id_ref");
    out.bdjo_file_name = entry.text("bdjo_file_name", 5);
    // The file holds one of the two: the other must be what the reader gives for it.
    if (out.object_type == ObjectTypeHDMV && !out.bdjo_file_name.empty())
        in::fail(entry.at("bdjo_file_name"), "\"\" (an HDMV entry plays a movie object)",
                 entry.raw("bdjo_file_name"));
    if (out.object_type != ObjectTypeHDMV && out.mobj_id_ref != 0)
        in::fail(entry.at("mobj_id_ref"), "0 (a BD-J entry plays an object file)", entry.raw("mobj_id_ref"));
    entry.finish();
    return out;
}

} // namespace

std::string BuildError::text() const {
    return (pointer.empty() ? std::string("(document)") : pointer) + ": expected " + expected + ", found " +
           found;
}

std::optional<TExtensionData> extensionDataFromJson(const nlohmann::json& value, const BuildOptions& options,
                                                    BuildError& error) {
    try {
        return readExtensionData(Object(value, ""), options);
    } catch (const BuildError& e) {
        error = e;
        return std::nullopt;
    }
}

std::optional<TINDX> indexFromJson(const nlohmann::json& value, const BuildOptions& options,
                                   BuildError& error) {
    try {
        Object top(value, "");
        TINDX index;
        // The dump shows both 32-bit words as numbers; their four letters are taken too.
        const auto word = [&](std::string_view key, std::initializer_list<std::uint32_t> allowed,
                              const char* expected) {
            const auto it = value.find(std::string(key));
            std::uint32_t n = 0;
            if (it != value.end() && it->is_string() && it->get_ref<const std::string&>().size() == 4) {
                for (unsigned char c : it->get_ref<const std::string&>()) n = n << 8 | c;
                top.skip(key);
            } else {
                n = top.number<std::uint32_t>(key);
            }
            if (std::find(allowed.begin(), allowed.end(), n) == allowed.end())
                in::fail(top.at(key), expected, it == value.end() ? nullptr : &*it);
            return n;
        };
        index.type_indicator = word("type_indicator", {IndexTypeIndicator}, "\"INDX\" (1229866072)");
        index.version_number = word("version_number", {IndexVersion0100, IndexVersion0200, IndexVersion0300},
                                    "\"0100\", \"0200\" or \"0300\" (808529968, 808595504, 808661040)");
        top.optionalNumber<std::uint32_t>("indexes_start_address", options.keepLengths);
        index.reserved = top.fixedBytes<24>("reserved");
        index.app_info_length = top.number<std::uint32_t>("app_info_length");
        index.app_info_reserved1 = top.bits("app_info_reserved1", 1);
        index.initial_output_mode_preference = top.bits("initial_output_mode_preference", 1);
        index.SS_content_exist_flag = top.bits("SS_content_exist_flag", 1);
        index.app_info_reserved2 = top.bits("app_info_reserved2", 1);
        index.initial_dynamic_range_type = top.bits("initial_dynamic_range_type", 4);
        index.video_format = top.bits("video_format", 4);
        index.frame_rate = top.bits("frame_rate", 4);
        index.content_provider_user_data = top.text("content_provider_user_data", 32);
        index.padding_before_indexes = top.optionalBytes("padding_before_indexes");

        Object indexes = top.object("Indexes");
        const auto length = indexes.optionalNumber<std::uint32_t>("indexes_length", options.keepLengths);
        index.Indexes.first_playback = readEntry(indexes.object("first_playback"), false);
        index.Indexes.first_playback.title_number = FirstPlaybackTitleNumber;
        index.Indexes.top_menu = readEntry(indexes.object("top_menu"), false);
        index.Indexes.top_menu.title_number = TopMenuTitleNumber;
        const auto& titles = indexes.array("titles", MaxTitles);
        in::checkCount(indexes, "number_of_titles", titles.size(), options.keepLengths);
        for (std::size_t i = 0; i < titles.size(); ++i) {
            TTitleEntry title =
                readEntry(Object(titles[i], indexes.at("titles") + "/" + std::to_string(i)), true);
            title.title_number = static_cast<std::int32_t>(i + 1);
            index.Indexes.titles.push_back(std::move(title));
        }
        index.Indexes.number_of_titles = static_cast<std::uint16_t>(titles.size());
        // The bytes after the length field: two entries, the count and 12 bytes a title.
        index.Indexes.indexes_length =
            options.keepLengths ? *length : static_cast<std::uint32_t>(26 + 12 * titles.size());
        indexes.finish();

        index.padding_before_extension = top.optionalBytes("padding_before_extension");
        index.ExtensionData = readExtensionData(top.object("ExtensionData"), options);
        index.ExtensionData_start_address = hasExtension(top, index.ExtensionData, options) ? 1 : 0;
        top.skip("UHD"); // read from the ExtensionData() block
        top.finish();
        return index;
    } catch (const BuildError& e) {
        error = e;
        return std::nullopt;
    }
}

std::optional<TMOBJ> movieObjectFromJson(const nlohmann::json& value, const BuildOptions& options,
                                         BuildError& error) {
    try {
        Object top(value, "");
        TMOBJ mobj;
        mobj.type_indicator = top.text("type_indicator", 4);
        if (mobj.type_indicator != "MOBJ")
            in::fail(top.at("type_indicator"), "\"MOBJ\"", top.raw("type_indicator"));
        mobj.version_number = top.text("version_number", 4);
        if (mobj.version_number != "0100" && mobj.version_number != "0200" && mobj.version_number != "0300")
            in::fail(top.at("version_number"), "\"0100\", \"0200\" or \"0300\"", top.raw("version_number"));
        mobj.reserved = top.fixedBytes<28>("reserved");

        Object objects = top.object("MovieObjects");
        const auto length = objects.optionalNumber<std::uint32_t>("mobjs_length", options.keepLengths);
        mobj.MovieObjects.reserved = objects.number<std::uint32_t>("reserved");
        const auto& list = objects.array("mobjs", MaxMovieObjects);
        in::checkCount(objects, "number_of_mobjs", list.size(), options.keepLengths);
        // The bytes after the length field: the reserved word, the count, then each object.
        std::uint64_t content = 6;
        for (std::size_t i = 0; i < list.size(); ++i) {
            Object object(list[i], objects.at("mobjs") + "/" + std::to_string(i));
            Tmobject out;
            out.resume_intention_flag = object.bits("resume_intention_flag", 1);
            out.menu_call_mask = object.bits("menu_call_mask", 1);
            out.title_search_mask = object.bits("title_search_mask", 1);
            const auto& commands = object.array("navigation_commands", 0xFFFF);
            in::checkCount(object, "number_of_navigation_commands", commands.size(), options.keepLengths);
            for (std::size_t line = 0; line < commands.size(); ++line) {
                Object command(commands[line], object.at("navigation_commands") + "/" + std::to_string(line));
                TNavCommand c;
                c.opcode = command.number<std::uint32_t>("opcode");
                c.destination = command.number<std::uint32_t>("destination");
                c.source = command.number<std::uint32_t>("source");
                command.skip("text"); // the command line shown for the three words
                command.finish();
                out.navigation_commands.push_back(c);
            }
            out.number_of_navigation_commands = static_cast<std::uint16_t>(commands.size());
            content += 4 + 12 * commands.size();
            object.finish();
            mobj.MovieObjects.mobjs.push_back(std::move(out));
        }
        mobj.MovieObjects.number_of_mobjs = static_cast<std::uint16_t>(list.size());
        if (!options.keepLengths && content > 0xFFFFFFFFu)
            in::fail(objects.at("mobjs"), "at most 4294967289 bytes of objects", objects.raw("mobjs"));
        mobj.MovieObjects.mobjs_length = options.keepLengths ? *length : static_cast<std::uint32_t>(content);
        objects.finish();

        mobj.padding_before_extension = top.optionalBytes("padding_before_extension");
        mobj.ExtensionData = readExtensionData(top.object("ExtensionData"), options);
        mobj.ExtensionData_start_address = hasExtension(top, mobj.ExtensionData, options) ? 1 : 0;
        top.finish();
        return mobj;
    } catch (const BuildError& e) {
        error = e;
        return std::nullopt;
    }
}

BuiltFile buildFile(const nlohmann::json& value, const BuildOptions& options) {
    BuiltFile out;
    if (!value.is_object()) {
        out.error = {"", "an object: the JSON of a dump", in::shown(&value)};
        return out;
    }
    const auto type = value.find("type_indicator");
    const auto is = [&](const char* letters, std::uint32_t word) {
        return type != value.end() && ((type->is_string() && *type == letters) ||
                                       (type->is_number_unsigned() && type->get<std::uint64_t>() == word));
    };
    if (is("INDX", IndexTypeIndicator)) {
        out.type = "index.bdmv";
        if (auto index = indexFromJson(value, options, out.error)) {
            out.bytes = writeIndex(*index);
            try {
                if (options.keepLengths) {
                    checkAddress(value, "indexes_start_address", out.bytes, 8);
                    checkAddress(value, "ExtensionData_start_address", out.bytes, 12);
                }
                out.ok = true;
            } catch (const BuildError& e) {
                out.error = e;
            }
        }
    } else if (is("MOBJ", 0x4D4F424A)) {
        out.type = "MovieObject.bdmv";
        if (auto mobj = movieObjectFromJson(value, options, out.error)) {
            out.bytes = writeMovieObject(*mobj);
            try {
                if (options.keepLengths) checkAddress(value, "ExtensionData_start_address", out.bytes, 8);
                out.ok = true;
            } catch (const BuildError& e) {
                out.error = e;
            }
        }
    } else if (is("MPLS", 0x4D504C53)) {
        out.type = "playlist";
        if (auto mpls = playListFromJson(value, options, out.error)) {
            out.bytes = writePlayList(*mpls);
            out.ok = true;
        }
    } else if (type == value.end() && value.contains("ext_data_entries")) {
        out.type = "ExtensionData";
        if (auto block = extensionDataFromJson(value, options, out.error)) {
            out.bytes = exdFileBytes(*block);
            out.ok = true;
        }
    } else {
        out.error = {type == value.end() ? "" : "/type_indicator",
                     "a type build writes: \"INDX\", \"MOBJ\", \"MPLS\" or an ExtensionData() block",
                     in::shown(type == value.end() ? nullptr : &*type)};
        if (type == value.end()) out.error.found = "no type_indicator";
    }
    if (!out.ok) out.bytes.clear();
    return out;
}

} // namespace corvane::json
