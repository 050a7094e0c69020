#include "navigation/IndexUhd.h"

#include <algorithm>

#include "io/ByteReader.h"
#include "io/TextUtil.h"
#include "navigation/IndexTable.h"

namespace corvane {

const std::array<IndexUhdFieldInfo, 10> IndexUhdFields = {{
    {IndexUhdField::initial_output_mode_preference, "initial_output_mode_preference", 1,
     "output mode the player starts in: 2D or 3D", false, false},
    {IndexUhdField::SS_content_exist_flag, "SS_content_exist_flag", 1,
     "stereoscopic (3D) content exists on the disc", false, false},
    {IndexUhdField::initial_dynamic_range_type, "initial_dynamic_range_type", 4,
     "dynamic range the player starts in (Ultra HD discs)", false, false},
    {IndexUhdField::video_format, "video_format", 4, "video format of the disc's main content", false, false},
    {IndexUhdField::frame_rate, "frame_rate", 4, "frame rate of the disc's main content", false, false},
    {IndexUhdField::disc_type, "disc_type", 4,
     "Ultra HD disc type code (5 is seen on 66/100 GB discs; other codes not settled)", true, false},
    {IndexUhdField::exist_4k_flag, "exist_4k_flag", 1, "2160p (4K) content exists on the disc", true, false},
    {IndexUhdField::hdrplus_flag, "hdrplus_flag", 1, "HDR10+ content exists on the disc", true, false},
    {IndexUhdField::dv_flag, "dv_flag", 1, "Dolby Vision content exists on the disc", true, false},
    {IndexUhdField::hdr_flags, "hdr_flags", 2,
     "HDR flags, kept as bits (bit 1 HDR10 and bit 0 SDR in some tools; not settled)", true, true},
}};

namespace {

// Where the entry's bytes begin inside the held data block: the block's data follows
// its 12-byte head and the entry table; entry addresses count from the block's start.
std::optional<std::size_t> uhdEntryOffset(const TExtensionData& block) {
    const std::size_t tableEnd = 12 + 12 * block.ext_data_entries.size();
    for (const TExtDataEntry& entry : block.ext_data_entries) {
        if (entry.ID1 != UhdExtensionID1 || entry.ID2 != UhdExtensionID2) continue;
        if (entry.ext_data_length < UhdExtensionSize || entry.ext_data_start_address < tableEnd) return {};
        const std::size_t offset = entry.ext_data_start_address - tableEnd;
        if (offset > block.ext_data_block.size() || block.ext_data_block.size() - offset < UhdExtensionSize)
            return {};
        return offset;
    }
    return {};
}

constexpr std::array<std::string_view, 3> DynamicRangeNames = {"SDR", "HDR10", "Dolby Vision"};
constexpr std::array<std::string_view, 9> VideoFormatNames = {"",     "480i",  "576i", "480p", "1080i",
                                                              "720p", "1080p", "576p", "2160p"};
constexpr std::array<std::string_view, 8> FrameRateNames = {"",      "23.976", "24", "25",
                                                            "29.97", "",       "50", "59.94"};
constexpr std::array<std::string_view, 2> OutputModeNames = {"2D", "3D"};
constexpr std::array<std::string_view, 2> FlagNames = {"no", "yes"};

template <std::size_t N>
std::string_view nameOf(const std::array<std::string_view, N>& names, std::uint32_t value) {
    return value < N ? names[value] : std::string_view();
}

std::string binary(std::uint32_t value, int bits) {
    std::string text;
    for (int bit = bits - 1; bit >= 0; --bit) text += (value >> bit & 1) ? '1' : '0';
    return text;
}

} // namespace

std::optional<TUhdDiscInfo> readUhdDiscInfo(const TExtensionData& block) {
    const auto offset = uhdEntryOffset(block);
    if (!offset) return {};
    ByteReader in = ByteReader(block.ext_data_block).range(*offset, UhdExtensionSize);
    TUhdDiscInfo info;
    info.length = in.readlword();
    const std::uint32_t type = in.readbyte();
    info.disc_type = static_cast<std::uint8_t>(type >> 4);
    info.reserved1 = static_cast<std::uint8_t>((type >> 1) & 7);
    info.exist_4k_flag = static_cast<std::uint8_t>(type & 1);
    info.reserved2 = static_cast<std::uint8_t>(in.readbyte());
    const std::uint32_t hdr = in.readbyte();
    info.reserved3 = static_cast<std::uint8_t>(hdr >> 5);
    info.hdrplus_flag = static_cast<std::uint8_t>((hdr >> 4) & 1);
    info.reserved4 = static_cast<std::uint8_t>((hdr >> 3) & 1);
    info.dv_flag = static_cast<std::uint8_t>((hdr >> 2) & 1);
    info.hdr_flags = static_cast<std::uint8_t>(hdr & 3);
    info.reserved5 = static_cast<std::uint8_t>(in.readbyte());
    info.reserved6 = in.readlword();
    return info;
}

bool writeUhdDiscInfo(TExtensionData& block, const TUhdDiscInfo& info) {
    const auto offset = uhdEntryOffset(block);
    if (!offset) return false;
    ByteWriter out;
    out.appendlword(info.length);
    out.appendbyte(static_cast<std::uint32_t>(info.disc_type & 0xF) << 4 |
                   static_cast<std::uint32_t>(info.reserved1 & 7) << 1 | (info.exist_4k_flag & 1u));
    out.appendbyte(info.reserved2);
    out.appendbyte(static_cast<std::uint32_t>(info.reserved3 & 7) << 5 |
                   static_cast<std::uint32_t>(info.hdrplus_flag & 1) << 4 |
                   static_cast<std::uint32_t>(info.reserved4 & 1) << 3 |
                   static_cast<std::uint32_t>(info.dv_flag & 1) << 2 | (info.hdr_flags & 3u));
    out.appendbyte(info.reserved5);
    out.appendlword(info.reserved6);
    std::vector<std::uint8_t> bytes;
    out.flushbuffer(bytes);
    std::copy(bytes.begin(), bytes.end(),
              block.ext_data_block.begin() + static_cast<std::ptrdiff_t>(*offset));
    return true;
}

const IndexUhdFieldInfo& uhdFieldInfo(IndexUhdField field) {
    return IndexUhdFields[static_cast<std::size_t>(field)];
}

std::optional<std::uint32_t> uhdFieldValue(const TINDX& index, IndexUhdField field) {
    switch (field) {
    case IndexUhdField::initial_output_mode_preference:
        return index.initial_output_mode_preference;
    case IndexUhdField::SS_content_exist_flag:
        return index.SS_content_exist_flag;
    case IndexUhdField::initial_dynamic_range_type:
        return index.initial_dynamic_range_type;
    case IndexUhdField::video_format:
        return index.video_format;
    case IndexUhdField::frame_rate:
        return index.frame_rate;
    default:
        break;
    }
    const auto info = readUhdDiscInfo(index.ExtensionData);
    if (!info) return {};
    switch (field) {
    case IndexUhdField::disc_type:
        return info->disc_type;
    case IndexUhdField::exist_4k_flag:
        return info->exist_4k_flag;
    case IndexUhdField::hdrplus_flag:
        return info->hdrplus_flag;
    case IndexUhdField::dv_flag:
        return info->dv_flag;
    default:
        return info->hdr_flags;
    }
}

bool setUhdFieldValue(TINDX& index, IndexUhdField field, std::uint32_t value) {
    if (value >> uhdFieldInfo(field).bits != 0) return false;
    const auto narrow = static_cast<std::uint8_t>(value);
    switch (field) {
    case IndexUhdField::initial_output_mode_preference:
        index.initial_output_mode_preference = narrow;
        return true;
    case IndexUhdField::SS_content_exist_flag:
        index.SS_content_exist_flag = narrow;
        return true;
    case IndexUhdField::initial_dynamic_range_type:
        index.initial_dynamic_range_type = narrow;
        return true;
    case IndexUhdField::video_format:
        index.video_format = narrow;
        return true;
    case IndexUhdField::frame_rate:
        index.frame_rate = narrow;
        return true;
    default:
        break;
    }
    auto info = readUhdDiscInfo(index.ExtensionData);
    if (!info) return false;
    switch (field) {
    case IndexUhdField::disc_type:
        info->disc_type = narrow;
        break;
    case IndexUhdField::exist_4k_flag:
        info->exist_4k_flag = narrow;
        break;
    case IndexUhdField::hdrplus_flag:
        info->hdrplus_flag = narrow;
        break;
    case IndexUhdField::dv_flag:
        info->dv_flag = narrow;
        break;
    default:
        info->hdr_flags = narrow;
        break;
    }
    return writeUhdDiscInfo(index.ExtensionData, *info);
}

std::string uhdValueText(IndexUhdField field, std::uint32_t value) {
    const IndexUhdFieldInfo& info = uhdFieldInfo(field);
    if (info.showAsBits) return binary(value, info.bits);
    std::string_view name;
    switch (field) {
    case IndexUhdField::initial_output_mode_preference:
        name = nameOf(OutputModeNames, value);
        break;
    case IndexUhdField::initial_dynamic_range_type:
        name = nameOf(DynamicRangeNames, value);
        break;
    case IndexUhdField::video_format:
        name = nameOf(VideoFormatNames, value);
        break;
    case IndexUhdField::frame_rate:
        name = nameOf(FrameRateNames, value);
        break;
    case IndexUhdField::disc_type:
        break;
    default:
        name = nameOf(FlagNames, value);
        break;
    }
    std::string text = std::to_string(value);
    if (!name.empty()) text += " " + std::string(name);
    return text;
}

std::string uhdReservedBitsText(const TINDX& index) {
    std::string text =
        "AppInfoBDMV " + binary(index.app_info_reserved1, 1) + " " + binary(index.app_info_reserved2, 1);
    if (const auto info = readUhdDiscInfo(index.ExtensionData))
        text += ", UHD " + binary(info->reserved1, 3) + " " + binary(info->reserved2, 8) + " " +
                binary(info->reserved3, 3) + " " + binary(info->reserved4, 1) + " " +
                binary(info->reserved5, 8) + " " + hexText(info->reserved6, 8);
    return text;
}

} // namespace corvane
