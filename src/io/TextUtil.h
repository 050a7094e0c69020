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
// A masked table cell filled from the left and left short: its trailing blanks become leading
// zeros ("250 " -> "0250"). Any other text (a blank inside, a separator, nothing typed) comes
// back as it is.
std::string padShortCell(std::string_view text);
// The formats' 8-bit text (Latin-1, one byte per character) as UTF-8.
std::string latin1ToUtf8(std::string_view text);
// UTF-8 text as Latin-1, one byte per character and at most `maxBytes` bytes; a character
// outside Latin-1 (or a broken sequence) becomes '?'.
std::string utf8ToLatin1(std::string_view text, std::size_t maxBytes);

} // namespace corvane
