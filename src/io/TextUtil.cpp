#include "io/TextUtil.h"

#include <algorithm>
#include <cctype>

namespace corvane {

std::string zeroPad(std::uint64_t value, int digits) {
    std::string text = std::to_string(value);
    if (static_cast<int>(text.size()) < digits)
        text.insert(0, static_cast<std::size_t>(digits) - text.size(), '0');
    return text;
}

std::string hexText(std::uint64_t value, int digits) {
    static const char* const kDigits = "0123456789ABCDEF";
    char buffer[16];
    int used = 0;
    do {
        buffer[15 - used++] = kDigits[value & 0xF];
        value >>= 4;
    } while (value != 0);
    const int width = std::max(used, std::min(digits, 16));
    std::string text(static_cast<std::size_t>(width - used), '0');
    text.append(buffer + 16 - used, static_cast<std::size_t>(used));
    if (digits > width) text.insert(0, static_cast<std::size_t>(digits - width), '0');
    return text;
}

std::uint64_t hexToNumber(std::string_view text) {
    std::uint64_t value = 0;
    for (char c : text) {
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            continue;
        value = (value << 4) | static_cast<std::uint64_t>(digit);
    }
    return value;
}

std::string withoutExtension(std::string_view name) {
    const auto slash = name.find_last_of("/\\");
    const auto dot = name.find_last_of('.');
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash))
        return std::string(name);
    return std::string(name.substr(0, dot));
}

std::string thousands(std::int64_t value) {
    const bool negative = value < 0;
    std::uint64_t magnitude =
        negative ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    std::string digits = std::to_string(magnitude);
    std::string out;
    const int n = static_cast<int>(digits.size());
    for (int i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0) out += ',';
        out += digits[static_cast<std::size_t>(i)];
    }
    return negative ? "-" + out : out;
}

std::string upperCase(std::string_view text) {
    std::string out(text);
    for (auto& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

std::string padShortCell(std::string_view text) {
    const std::size_t typed = text.find_last_not_of(' ') + 1; // 0 when nothing was typed
    const std::string_view digits = text.substr(0, typed);
    const bool plain = typed > 0 && std::all_of(digits.begin(), digits.end(), [](char c) {
                           return std::isalnum(static_cast<unsigned char>(c)) != 0;
                       });
    if (!plain) return std::string(text);
    return std::string(text.size() - typed, '0') + std::string(digits);
}

std::string latin1ToUtf8(std::string_view text) {
    std::string out;
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x80) {
            out += ch;
        } else {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::string utf8ToLatin1(std::string_view text, std::size_t maxBytes) {
    auto byteAt = [&](std::size_t at) { return static_cast<unsigned char>(text[at]); };
    std::string out;
    std::size_t at = 0;
    while (at < text.size() && out.size() < maxBytes) {
        const unsigned char lead = byteAt(at);
        const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        std::size_t used = 1; // a sequence cut short ends at its last continuation byte
        while (used < length && at + used < text.size() && (byteAt(at + used) & 0xC0) == 0x80) ++used;
        if (lead < 0x80)
            out += static_cast<char>(lead);
        else if (used == 2 && lead >= 0xC2 && lead < 0xC4) // U+0080..U+00FF
            out += static_cast<char>((lead & 0x1F) << 6 | (byteAt(at + 1) & 0x3F));
        else
            out += '?';
        at += used;
    }
    return out;
}

} // namespace corvane
