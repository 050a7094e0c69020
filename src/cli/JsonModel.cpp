#include "cli/JsonModel.h"

namespace corvane::cli {

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

} // namespace corvane::cli
