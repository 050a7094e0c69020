#pragma once
// Model records as JSON objects: keys are the record's field names in field order.

#include <cstdint>
#include <vector>

#include <nlohmann/json.hpp>

#include "bdj/BdjObject.h"
#include "io/ExtensionData.h"
#include "navigation/IndexTable.h"
#include "navigation/MovieObject.h"
#include "playlist/PlayList.h"
#include "sound/SoundFile.h"
#include "stream/ClipInfo.h"

namespace corvane::json {

using OrderedJson = nlohmann::ordered_json;

// Lowercase hex of a byte array, or its length when `noData`.
OrderedJson bytesJson(const std::vector<std::uint8_t>& bytes, bool noData);
OrderedJson toJson(const TExtensionData& block, bool noData);
// A command as {"opcode", "destination", "source", "text"}.
OrderedJson toJson(const TNavCommand& command, CommandContext context);
OrderedJson toJson(const TMOBJ& mobj, bool noData);
OrderedJson toJson(const TINDX& index, bool noData);
OrderedJson toJson(const TMPLS& mpls, bool noData);
OrderedJson toJson(const TCLPI& clpi, bool noData);
OrderedJson toJson(const TSND& sound, bool noData);
OrderedJson toJson(const TBDJO& bdjo);
// Text fields hold single-byte characters; JSON wants UTF-8.
std::string latin1ToUtf8(const std::string& text);

} // namespace corvane::json
