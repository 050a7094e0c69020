#pragma once
// The Ultra HD fields of index.bdmv: the AppInfoBDMV bits a UHD disc sets (held in
// TINDX) and the UHD disc-type data, the ExtensionData entry with ID1 3 and ID2 1:
//
//   32-bit length (8), then  disc_type (4) | 3 bits | exist_4k_flag (1)
//                            8 bits
//                            3 bits | hdrplus_flag (1) | 1 bit | dv_flag (1) | hdr_flags (2)
//                            8 bits, 32 bits
//
// The entry is decoded from the ExtensionData bytes and edited in place there, so the
// block keeps every byte it holds. The bits without a settled meaning are shown and kept.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "io/ExtensionData.h"

namespace corvane {

struct TINDX;

inline constexpr std::uint16_t UhdExtensionID1 = 3;
inline constexpr std::uint16_t UhdExtensionID2 = 1;
inline constexpr std::size_t UhdExtensionSize = 12; // the length field and the 8 bytes it counts

struct TUhdDiscInfo {
    std::uint32_t length = 8;       // 32-bit, bytes after this field
    std::uint8_t disc_type = 0;     // 4-bit disc type code (5 on 66/100 GB discs)
    std::uint8_t reserved1 = 0;     // 3-bit, kept as read
    std::uint8_t exist_4k_flag = 0; // 1-bit: 2160p content on the disc
    std::uint8_t reserved2 = 0;     // 8-bit, kept as read
    std::uint8_t reserved3 = 0;     // 3-bit, kept as read
    std::uint8_t hdrplus_flag = 0;  // 1-bit: HDR10+ content
    std::uint8_t reserved4 = 0;     // 1-bit, kept as read
    std::uint8_t dv_flag = 0;       // 1-bit: Dolby Vision content
    std::uint8_t hdr_flags = 0;     // 2-bit, kept as bits (meaning not settled)
    std::uint8_t reserved5 = 0;     // 8-bit, kept as read
    std::uint32_t reserved6 = 0;    // 32-bit, kept as read
    bool operator==(const TUhdDiscInfo&) const = default;
};

// The UHD entry of a block, when it is there and its 12 bytes lie inside the data held.
std::optional<TUhdDiscInfo> readUhdDiscInfo(const TExtensionData& block);
// Writes the fields into the entry's bytes in place; false when the block has no such entry.
bool writeUhdDiscInfo(TExtensionData& block, const TUhdDiscInfo& info);

// The UHD fields the BDMV page edits, AppInfoBDMV's first, then the disc-type data's.
enum class IndexUhdField {
    initial_output_mode_preference,
    SS_content_exist_flag,
    initial_dynamic_range_type,
    video_format,
    frame_rate,
    disc_type,
    exist_4k_flag,
    hdrplus_flag,
    dv_flag,
    hdr_flags,
};

struct IndexUhdFieldInfo {
    IndexUhdField field;
    std::string_view name;    // the field name, as the page and the JSON show it
    int bits;                 // width: values 0 .. 2^bits − 1
    std::string_view meaning; // one line for the tooltip
    bool inExtension;         // held in the UHD ExtensionData entry (not in AppInfoBDMV)
    bool showAsBits;          // no settled value names: the value is shown in binary
};
extern const std::array<IndexUhdFieldInfo, 10> IndexUhdFields;
const IndexUhdFieldInfo& uhdFieldInfo(IndexUhdField field);

// The field's value; nullopt for a disc-type field of an index without the UHD entry.
std::optional<std::uint32_t> uhdFieldValue(const TINDX& index, IndexUhdField field);
// Sets the field; false (nothing changed) when the value does not fit its width or the
// disc-type entry is missing.
bool setUhdFieldValue(TINDX& index, IndexUhdField field, std::uint32_t value);
// A value with its name: "1 HDR10", "8 2160p", "1 3D", "11" for bits, "3" when it has no name.
std::string uhdValueText(IndexUhdField field, std::uint32_t value);

// The kept bits without a meaning of their own, each field in binary (the last 32 in hex):
// "AppInfoBDMV 0 0, UHD 000 00000000 000 0 00000000 00000000"; no UHD part without the entry.
std::string uhdReservedBitsText(const TINDX& index);

} // namespace corvane
