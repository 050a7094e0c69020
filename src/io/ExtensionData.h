#pragma once
// ExtensionData(): the optional typed-entry block at the end of index.bdmv,
// MovieObject.bdmv, playlists, clip information files and sound.bdmv, and the
// .exd file that holds one block on its own. The entries are never
// interpreted; the block is kept and written back byte for byte.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "io/ByteReader.h"
#include "io/ByteWriter.h"

namespace corvane {

struct TExtDataEntry {
    std::uint16_t ID1 = 0;                    // 16-bit
    std::uint16_t ID2 = 0;                    // 16-bit
    std::uint32_t ext_data_start_address = 0; // 32-bit, from the start of the block
    std::uint32_t ext_data_length = 0;        // 32-bit, bytes
    bool operator==(const TExtDataEntry&) const = default;
};

struct TExtensionData {
    std::uint32_t length = 0;                    // 32-bit; 0 = no block
    std::uint32_t data_block_start_address = 0;  // 32-bit
    std::uint8_t number_of_ext_data_entries = 0; // 8-bit
    std::vector<TExtDataEntry> ext_data_entries;
    std::vector<std::uint8_t> ext_data_block; // every byte after the entry table to the end of the data
    bool operator==(const TExtensionData&) const = default;
};

// Reads a block at the reader's position (resetting `block` first). The data block
// runs to the end of the reader's data. Entries the data cannot hold are not made up:
// when the table is cut short, the reader's overrun flag tells.
void ReadExtensionData(ByteReader& in, TExtensionData& block);
// Appends the block: the length, and when it is not 0 the header, entries and data.
void WriteExtensionData(ByteWriter& out, const TExtensionData& block);

// Summary beside a file's tables: "no ExtensionData()", "1 entry, 40 bytes", "2 entries, 120 bytes".
std::string ExtDatCap(const TExtensionData& block);
// Summary of the edit dialog: "None", or "(length+4) bytes, N entry/entries".
std::string extDatDialogSummary(const TExtensionData& block);

// The bytes of an .exd file: the block at offset 0, its data cut to length − 8 − 12 × N.
std::vector<std::uint8_t> exdFileBytes(const TExtensionData& block);
// Reads an .exd file's bytes; nullopt with a reason when the bytes cannot be a block.
std::optional<TExtensionData> readExdBytes(const std::vector<std::uint8_t>& bytes, std::string& error);

// One line of the data view of an entry: address, 32 hex cells, characters.
struct ExtDataViewLine {
    std::string address; // " " + at least 4 upper-case hex digits (shown blue)
    std::string hex;     // " XX" per byte, "   " past the end (window text)
    std::string chars;   // " " + characters, below 0x20 as "." (shown red)
    std::string text() const { return address + hex + chars; }
};
// The data view of entry `index` of the block (empty when there is no such entry).
std::vector<ExtDataViewLine> extDataView(const TExtensionData& block, std::size_t index);

// The entry table row of the dialog: "000", ID1, ID2 (4 hex), start, length (8 hex).
std::vector<std::string> extDataEntryRow(const TExtensionData& block, std::size_t index);

} // namespace corvane
