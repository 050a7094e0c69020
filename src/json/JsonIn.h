#pragma once
// Reading a dump's JSON back, field by field: each read checks the type and range of one
// value and throws the BuildError naming its pointer. Used by the fromJson functions only.

#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "json/JsonBuild.h"

namespace corvane::json::in {

// The value as an error message shows it: JSON text, cut short when long.
std::string shown(const nlohmann::json* value);
[[noreturn]] void fail(std::string pointer, std::string expected, const nlohmann::json* found);

std::uint64_t integer(const nlohmann::json* value, const std::string& pointer, std::uint64_t max);
std::vector<std::uint8_t> hexBytes(const nlohmann::json* value, const std::string& pointer);
// Latin-1 text of at most `maxChars` characters (the dump shows it as UTF-8).
std::string latin1(const nlohmann::json* value, const std::string& pointer, std::size_t maxChars);

// One JSON object of a record: reads its fields by name and, at the end, refuses any it
// did not read (a mistyped name would otherwise be dropped without a word).
class Object {
public:
    Object(const nlohmann::json& value, std::string pointer);

    const std::string& pointer() const { return pointer_; }
    std::string at(std::string_view key) const;

    template <class T> T number(std::string_view key, std::uint64_t max = std::numeric_limits<T>::max()) {
        return static_cast<T>(integer(field(key), at(key), max));
    }
    // A field of `bits` bits.
    std::uint8_t bits(std::string_view key, int bits) { return number<std::uint8_t>(key, (1u << bits) - 1); }
    // A field the writer recomputes unless the lengths are kept: optional then, but checked
    // when present.
    template <class T>
    std::optional<T> optionalNumber(std::string_view key, bool required,
                                    std::uint64_t max = std::numeric_limits<T>::max()) {
        const nlohmann::json* value = find(key);
        if (!value && !required) return std::nullopt;
        return static_cast<T>(integer(value, at(key), max));
    }
    std::vector<std::uint8_t> bytes(std::string_view key) { return hexBytes(field(key), at(key)); }
    // Bytes a dump of an older version may lack: none then.
    std::vector<std::uint8_t> optionalBytes(std::string_view key) {
        const nlohmann::json* value = find(key);
        return value ? hexBytes(value, at(key)) : std::vector<std::uint8_t>{};
    }
    template <std::size_t N> std::array<std::uint8_t, N> fixedBytes(std::string_view key) {
        const auto read = bytes(key);
        if (read.size() != N) fail(at(key), std::to_string(N) + " bytes as hex", field(key));
        std::array<std::uint8_t, N> out{};
        std::copy(read.begin(), read.end(), out.begin());
        return out;
    }
    std::string text(std::string_view key, std::size_t maxChars) {
        return latin1(field(key), at(key), maxChars);
    }
    Object object(std::string_view key) { return Object(*objectField(key), at(key)); }
    // The list under `key`, at most `maxSize` elements.
    const nlohmann::json& array(std::string_view key, std::size_t maxSize);
    // The value under `key` as it stands (nullptr when absent), for a message.
    const nlohmann::json* raw(std::string_view key) { return find(key); }
    // A field shown for reading only (derived from others): accepted and not used.
    void skip(std::string_view key) { used_.insert(std::string(key)); }
    // Refuses the fields not read.
    void finish() const;

private:
    const nlohmann::json* find(std::string_view key);
    const nlohmann::json* field(std::string_view key) { return find(key); }
    const nlohmann::json* objectField(std::string_view key);

    const nlohmann::json& value_;
    std::string pointer_;
    std::set<std::string, std::less<>> used_;
};

// An ExtensionData() block, its fields as they stand.
TExtensionData readExtensionData(Object block, const BuildOptions& options);

// A count beside its list: with the lengths kept it must equal the list's size.
void checkCount(Object& object, std::string_view key, std::size_t size, bool keepLengths);

} // namespace corvane::json::in
