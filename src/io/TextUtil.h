#pragma once
// Small text helpers shared by every page and format.

#include <cstdint>
#include <string>
#include <string_view>

namespace corvane {

// n-digit zero-padded decimal ("No." columns).
std::string zeroPad(std::uint64_t value, int digits);
// Upper-case hexadecimal, zero-padded to `digits`.
std::string hexText(std::uint64_t value, int digits);
// Hexadecimal text to number; characters that are not hex digits are skipped.
std::uint64_t hexToNumber(std::string_view text);
// File name without its extension (text after the last dot of the last path part).
std::string withoutExtension(std::string_view name);
// 64-bit number with thousands separators ("1,234,567").
std::string thousands(std::int64_t value);
// ASCII upper case.
std::string upperCase(std::string_view text);

} // namespace corvane
