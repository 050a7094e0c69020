#pragma once
// Model records as JSON objects: keys are the record's field names in field order.

#include <cstdint>
#include <vector>

#include <nlohmann/json.hpp>

#include "io/ExtensionData.h"

namespace corvane::cli {

using OrderedJson = nlohmann::ordered_json;

// Lowercase hex of a byte array, or its length when `noData`.
OrderedJson bytesJson(const std::vector<std::uint8_t>& bytes, bool noData);
OrderedJson toJson(const TExtensionData& block, bool noData);

} // namespace corvane::cli
