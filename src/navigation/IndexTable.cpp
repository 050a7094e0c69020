#include "navigation/IndexTable.h"

#include <algorithm>

#include "io/ByteReader.h"
#include "io/ByteWriter.h"
#include "io/TextUtil.h"
#include "navigation/MovieObject.h"

namespace corvane {

const std::array<std::string_view, 2> ObjectTypeNames = {"HDMV", "BD-J"};
const std::array<std::string_view, 3> AccessTypeNames = {"Permitted", "Prohibited1", "Prohibited2"};
const std::array<std::string_view, 2> PlaybackTypeNames = {"Movie", "Interactive"};

namespace {

// One 12-byte entry. The type sits in bits 31-30 of the first word, the access type of a
// title in bits 29-28, the playback type in bits 15-14 of the next word; then either the
// object number and four reserved bytes or the BD-J file name and one reserved byte.
TTitleEntry readEntry(ByteReader& in, bool isTitle) {
    TTitleEntry entry;
    const std::uint32_t word = in.readlword();
    entry.object_type = static_cast<std::uint8_t>(word >> 30);
    if (isTitle) entry.access_type = static_cast<std::uint8_t>((word >> 28) & 3);
    entry.playback_type = static_cast<std::uint8_t>(in.readword() >> 14);
    if (entry.object_type == ObjectTypeHDMV) {
        entry.mobj_id_ref = static_cast<std::uint16_t>(in.readword());
        in.skip(4);
    } else {
        entry.bdjo_file_name = in.readstring(5);
        in.skip(1);
    }
    return entry;
}

void writeEntry(ByteWriter& out, const TTitleEntry& entry, bool isTitle) {
    std::uint32_t word = static_cast<std::uint32_t>(entry.object_type & 3) << 30;
    if (isTitle) word |= static_cast<std::uint32_t>(entry.access_type & 3) << 28;
    out.appendlword(word);
    out.appendword(static_cast<std::uint32_t>(entry.playback_type & 3) << 14);
    if (entry.object_type == ObjectTypeHDMV) {
        out.appendword(entry.mobj_id_ref);
        out.appendlword(0);
    } else {
        out.appendstring(entry.bdjo_file_name, 5);
        out.appendbyte(0);
    }
}

template <std::size_t N> void readFixed(ByteReader& in, std::array<std::uint8_t, N>& out) {
    const auto bytes = in.readbytes(N);
    out.fill(0);
    std::copy(bytes.begin(), bytes.end(), out.begin());
}

IndexReadResult formatError(IndexReadResult result, std::size_t position, std::string_view name) {
    result.status = ReadStatus::FormatError;
    result.index = TINDX{};
    result.problemAt = position;
    result.progress.clear();
    result.messages.push_back(
        {ReadMessage::Kind::Error, std::string(name) + " format error at $" + hexText(position, 8)});
    return result;
}

} // namespace

IndexReadResult readIndex(const std::vector<std::uint8_t>& bytes, std::string_view name) {
    IndexReadResult result;
    TINDX& index = result.index;
    ByteReader in(bytes);

    index.type_indicator = in.readlword();
    index.version_number = in.readlword();
    if (in.overrun() || index.type_indicator != IndexTypeIndicator ||
        (index.version_number != IndexVersion0100 && index.version_number != IndexVersion0200 &&
         index.version_number != IndexVersion0300))
        return formatError(std::move(result), in.pos(), name);

    index.indexes_start_address = in.readlword();
    index.ExtensionData_start_address = in.readlword();
    readFixed(in, index.reserved);
    index.app_info_length = in.readlword();
    const std::uint32_t flags = in.readbyte();
    index.app_info_reserved1 = static_cast<std::uint8_t>(flags >> 7);
    index.initial_output_mode_preference = static_cast<std::uint8_t>((flags >> 6) & 1);
    index.SS_content_exist_flag = static_cast<std::uint8_t>((flags >> 5) & 1);
    index.app_info_reserved2 = static_cast<std::uint8_t>((flags >> 4) & 1);
    index.initial_dynamic_range_type = static_cast<std::uint8_t>(flags & 0xF);
    const std::uint32_t video = in.readbyte();
    index.video_format = static_cast<std::uint8_t>(video >> 4);
    index.frame_rate = static_cast<std::uint8_t>(video & 0xF);
    index.content_provider_user_data = in.readstring(32);
    if (in.pos() != index.indexes_start_address) {
        const std::size_t start = index.indexes_start_address;
        if (start > in.pos() && start <= in.size())
            index.padding_before_indexes = in.readbytes(start - in.pos());
        else
            in.seek(start);
    }

    TIndexes& indexes = index.Indexes;
    indexes.indexes_length = in.readlword();
    indexes.first_playback = readEntry(in, false);
    indexes.first_playback.title_number = FirstPlaybackTitleNumber;
    indexes.top_menu = readEntry(in, false);
    indexes.top_menu.title_number = TopMenuTitleNumber;
    indexes.number_of_titles = static_cast<std::uint16_t>(in.readword());
    if (in.overrun()) return formatError(std::move(result), in.overrunAt(), name);
    if (indexes.number_of_titles > MaxTitles) {
        result.status = ReadStatus::TooManyTitles;
        result.messages.push_back(
            {ReadMessage::Kind::Log, "Error in " + std::string(name) + " (number of title: " +
                                         std::to_string(indexes.number_of_titles) + ")"});
        return result;
    }

    // At most 999 entries; the data left may hold fewer, which the overrun check reports.
    indexes.titles.reserve(in.capCount(indexes.number_of_titles, 12));
    for (std::size_t i = 0; i < indexes.number_of_titles && !in.overrun(); ++i) {
        TTitleEntry title = readEntry(in, true);
        title.title_number = static_cast<std::int32_t>(i + 1);
        indexes.titles.push_back(std::move(title));
    }
    if (in.overrun()) return formatError(std::move(result), in.overrunAt(), name);
    if (!indexes.titles.empty())
        result.progress = std::to_string(indexes.titles.size()) + "/" + std::to_string(indexes.titles.size());

    if (index.ExtensionData_start_address != 0) {
        // The block normally follows the last title. When the address lies further on
        // inside the file, the bytes in between are kept and the block is read there.
        const std::size_t address = index.ExtensionData_start_address;
        if (address > in.pos() && address <= in.size())
            index.padding_before_extension = in.readbytes(address - in.pos());
        ReadExtensionData(in, index.ExtensionData);
        if (in.overrun()) return formatError(std::move(result), in.overrunAt(), name);
    }

    result.messages.push_back({ReadMessage::Kind::Log, indexFoundLine(index)});
    return result;
}

void appendTitleEntry(ByteWriter& out, const TTitleEntry& entry) {
    writeEntry(out, entry, true);
}

void appendIndexContents(ByteWriter& out, const TINDX& index) {
    out.appendlword(index.type_indicator);
    out.appendlword(index.version_number);
    out.appendlword(index.indexes_start_address);
    out.appendlword(index.ExtensionData_start_address);
    out.appendbytes(index.reserved);
    out.appendlword(index.app_info_length);
    out.appendbyte(static_cast<std::uint32_t>(index.app_info_reserved1 & 1) << 7 |
                   static_cast<std::uint32_t>(index.initial_output_mode_preference & 1) << 6 |
                   static_cast<std::uint32_t>(index.SS_content_exist_flag & 1) << 5 |
                   static_cast<std::uint32_t>(index.app_info_reserved2 & 1) << 4 |
                   (index.initial_dynamic_range_type & 0xFu));
    out.appendbyte(static_cast<std::uint32_t>(index.video_format & 0xF) << 4 | (index.frame_rate & 0xFu));
    out.appendstring(index.content_provider_user_data, 32);
    out.appendbytes(index.padding_before_indexes);
    // Both addresses written are where the blocks land, so the file always agrees with itself;
    // for every file read whole and every edit that kept them in step, those are the held values.
    out.putlword(static_cast<std::uint32_t>(out.fill()), 8);

    const TIndexes& indexes = index.Indexes;
    // The count written is the count of titles held, so the file always matches itself.
    const std::size_t titleCount = std::min<std::size_t>(indexes.titles.size(), 0xFFFF);
    out.appendlword(indexes.indexes_length);
    writeEntry(out, indexes.first_playback, false);
    writeEntry(out, indexes.top_menu, false);
    out.appendword(static_cast<std::uint32_t>(titleCount));
    for (std::size_t i = 0; i < titleCount; ++i) writeEntry(out, indexes.titles[i], true);
}

std::vector<std::uint8_t> writeIndex(const TINDX& index) {
    ByteWriter out;
    appendIndexContents(out, index);
    if (index.ExtensionData_start_address != 0) {
        out.appendbytes(index.padding_before_extension);
        out.putlword(static_cast<std::uint32_t>(out.fill()), 12);
        WriteExtensionData(out, index.ExtensionData);
    }
    std::vector<std::uint8_t> bytes;
    out.flushbuffer(bytes);
    return bytes;
}

int accessPickerIndex(std::uint8_t access_type) {
    return access_type <= 1 ? 0 : access_type - 1;
}

std::uint8_t accessTypeFromPicker(int index) {
    switch (index) {
    case 1:
        return 2;
    case 2:
        return 3;
    default:
        return 0;
    }
}

bool entryIsOn(const TTitleEntry& entry) {
    return entry.object_type != ObjectTypeHDMV || entry.mobj_id_ref != NoObject;
}

std::array<std::string, 5> indline(const TINDX& index, std::size_t i) {
    const auto& titles = index.Indexes.titles;
    if (i >= titles.size()) return {};
    const TTitleEntry& title = titles[i];
    auto pick = [](auto const& names, int item) {
        return item >= 0 && static_cast<std::size_t>(item) < names.size() ? std::string(names[item])
                                                                          : std::string();
    };
    std::string target;
    if (title.object_type == ObjectTypeHDMV)
        target = title.mobj_id_ref == NoObject ? std::string("??") : std::to_string(title.mobj_id_ref);
    else
        target = title.bdjo_file_name;
    return {zeroPad(static_cast<std::uint32_t>(title.title_number), 3),
            pick(ObjectTypeNames, title.object_type - 1),
            pick(AccessTypeNames, accessPickerIndex(title.access_type)),
            pick(PlaybackTypeNames, title.playback_type), target};
}

BdmvLabelTexts BDMVlabels(const TINDX& index, const TMOBJ& mobj, bool indexRead) {
    const int extra = !indexRead ? 0
                                 : (entryIsOn(index.Indexes.first_playback) ? 1 : 0) +
                                       (entryIsOn(index.Indexes.top_menu) ? 1 : 0);
    BdmvLabelTexts texts;
    texts.titles = std::to_string(indexRead ? index.Indexes.titles.size() : 0);
    if (extra > 0) texts.titles += " + " + std::to_string(extra);
    texts.titles += " titles";
    texts.objects = objectCountLabel(mobj);
    return texts;
}

std::string indexFoundLine(const TINDX& index) {
    return "  Found [b]" + std::to_string(index.Indexes.titles.size()) + "[/b] titles, [b]" +
           std::to_string(index.ExtensionData.ext_data_entries.size()) + "[/b] extended entry.";
}

} // namespace corvane
