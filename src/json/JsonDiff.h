#pragma once
// Field-by-field differences of two JSON values (two dumps of one file type). Objects are
// compared key by key; arrays are aligned so that an inserted or deleted element is one
// difference and the elements after it are not reported as shifted.

#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

namespace corvane::json {

enum class DiffKind { Changed, Added, Removed };

// "changed", "added", "removed".
std::string_view diffKindName(DiffKind kind);

template <class Json> struct BasicJsonDifference {
    std::string pointer; // RFC 6901; an array index is the old value's for changed and removed,
                         // the new value's for added
    DiffKind kind = DiffKind::Changed;
    Json oldValue; // null for added
    Json newValue; // null for removed
};

using JsonDifference = BasicJsonDifference<nlohmann::ordered_json>;

// Every difference from `a` to `b`, in document order; empty when they are equal. Array
// elements are aligned by equality (a Myers diff; where they differ too much for that to be
// cheap, elements found once on each side anchor the alignment first); the leftover elements
// between two aligned ones are paired by likeness and such a pair is compared field by field.
template <class Json> std::vector<BasicJsonDifference<Json>> diffJson(const Json& a, const Json& b);

extern template std::vector<BasicJsonDifference<nlohmann::json>> diffJson(const nlohmann::json&,
                                                                          const nlohmann::json&);
extern template std::vector<BasicJsonDifference<nlohmann::ordered_json>>
diffJson(const nlohmann::ordered_json&, const nlohmann::ordered_json&);

// The JSON pointer of `parent` with one more reference token (`~` and `/` escaped).
std::string appendPointer(const std::string& parent, std::string_view token);

} // namespace corvane::json
