#include "io/ExtensionData.h"

#include <algorithm>

#include "io/TextUtil.h"

namespace corvane {

void ReadExtensionData(ByteReader& in, TExtensionData& block) {
    block = TExtensionData{};
    block.length = in.readlword();
    if (block.length == 0) return;
    block.data_block_start_address = in.readlword();
    in.readword(); // reserved
    in.readbyte(); // reserved
    const std::size_t declared = in.readbyte();
    // A table cut short keeps the entries that are there; the overrun flag tells the caller.
    const std::size_t count = in.capCount(declared, 12);
    block.ext_data_entries.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        TExtDataEntry entry;
        entry.ID1 = static_cast<std::uint16_t>(in.readword());
        entry.ID2 = static_cast<std::uint16_t>(in.readword());
        entry.ext_data_start_address = in.readlword();
        entry.ext_data_length = in.readlword();
        block.ext_data_entries.push_back(entry);
    }
    if (count < declared) in.skip(12 * (declared - count)); // marks the overrun
    block.number_of_ext_data_entries = static_cast<std::uint8_t>(block.ext_data_entries.size());
    block.ext_data_block = in.readbytes(in.remaining());
}

void WriteExtensionData(ByteWriter& out, const TExtensionData& block) {
    out.appendlword(block.length);
    if (block.length == 0) return;
    const std::size_t count = std::min<std::size_t>(block.ext_data_entries.size(), 255);
    out.appendlword(block.data_block_start_address);
    out.appendword(0);
    out.appendbyte(0);
    out.appendbyte(static_cast<std::uint32_t>(count));
    for (std::size_t i = 0; i < count; ++i) {
        const auto& entry = block.ext_data_entries[i];
        out.appendword(entry.ID1);
        out.appendword(entry.ID2);
        out.appendlword(entry.ext_data_start_address);
        out.appendlword(entry.ext_data_length);
    }
    out.appendbytes(block.ext_data_block);
}

std::string ExtDatCap(const TExtensionData& block) {
    const std::size_t n = block.ext_data_entries.size();
    if (n == 0) return "no ExtensionData()";
    return std::to_string(n) + (n == 1 ? " entry, " : " entries, ") +
           std::to_string(static_cast<std::uint64_t>(block.length) + 4) + " bytes";
}

std::string extDatDialogSummary(const TExtensionData& block) {
    if (block.length == 0) return "None";
    const std::size_t n = block.ext_data_entries.size();
    return std::to_string(static_cast<std::uint64_t>(block.length) + 4) + " bytes, " + std::to_string(n) +
           " entr" + (n < 2 ? "y" : "ies");
}

std::vector<std::uint8_t> exdFileBytes(const TExtensionData& block) {
    TExtensionData cut = block;
    const std::int64_t dataLength = static_cast<std::int64_t>(block.length) - 8 -
                                    12 * static_cast<std::int64_t>(block.ext_data_entries.size());
    const auto keep =
        static_cast<std::size_t>(std::clamp<std::int64_t>(dataLength, 0, block.ext_data_block.size()));
    cut.ext_data_block.resize(keep);
    ByteWriter out;
    WriteExtensionData(out, cut);
    std::vector<std::uint8_t> bytes;
    out.flushbuffer(bytes);
    return bytes;
}

std::optional<TExtensionData> readExdBytes(const std::vector<std::uint8_t>& bytes, std::string& error) {
    if (bytes.size() < 4) {
        error = bytes.empty() ? "The file is empty: it holds no ExtensionData() block."
                              : "The file is too short for an ExtensionData() block.";
        return std::nullopt;
    }
    ByteReader in(bytes);
    TExtensionData block;
    ReadExtensionData(in, block);
    if (in.overrun()) {
        error = "The ExtensionData() block ends inside its header or entry table (at byte " +
                std::to_string(in.overrunAt()) + ").";
        return std::nullopt;
    }
    return block;
}

std::vector<ExtDataViewLine> extDataView(const TExtensionData& block, std::size_t index) {
    std::vector<ExtDataViewLine> lines;
    if (index >= block.ext_data_entries.size()) return lines;
    const auto& entry = block.ext_data_entries[index];
    const std::int64_t offset = static_cast<std::int64_t>(entry.ext_data_start_address) -
                                static_cast<std::int64_t>(block.data_block_start_address);
    const std::uint64_t length = entry.ext_data_length;
    // Only the bytes the block really holds are shown; an entry pointing elsewhere shows gaps.
    auto byteAt = [&](std::uint64_t i) -> int {
        const std::int64_t at = offset + static_cast<std::int64_t>(i);
        if (at < 0 || static_cast<std::uint64_t>(at) >= block.ext_data_block.size()) return -1;
        return block.ext_data_block[static_cast<std::size_t>(at)];
    };
    // Lines past the bytes the block holds would show gaps only: the view ends there.
    const std::int64_t held = static_cast<std::int64_t>(block.ext_data_block.size()) - offset;
    const std::uint64_t visible =
        std::min<std::uint64_t>(length, held > 0 ? static_cast<std::uint64_t>(held) : 0);
    // An entry that starts before the data block would show gap lines only: never more
    // lines than the block could fill.
    const std::uint64_t lineCount =
        std::min<std::uint64_t>(visible / 32 + 1, block.ext_data_block.size() / 32 + 2);
    for (std::uint64_t line = 0; line < lineCount; ++line) {
        const std::uint64_t first = line * 32;
        if (line > 0 && first >= length) break; // the previous line reached the end
        ExtDataViewLine view;
        view.address = " " + hexText(entry.ext_data_start_address + first, 4);
        view.chars = " ";
        for (std::uint64_t i = first; i < first + 32; ++i) {
            const int value = i < length ? byteAt(i) : -1;
            if (value < 0) {
                view.hex += "   ";
                continue;
            }
            view.hex += " " + hexText(static_cast<std::uint64_t>(value), 2);
            view.chars += value < 0x20 ? '.' : static_cast<char>(value);
        }
        lines.push_back(std::move(view));
    }
    return lines;
}

std::vector<std::string> extDataEntryRow(const TExtensionData& block, std::size_t index) {
    if (index >= block.ext_data_entries.size()) return {};
    const auto& entry = block.ext_data_entries[index];
    return {zeroPad(index, 3), hexText(entry.ID1, 4), hexText(entry.ID2, 4),
            hexText(entry.ext_data_start_address, 8), hexText(entry.ext_data_length, 8)};
}

} // namespace corvane
