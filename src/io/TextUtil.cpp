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

} // namespace corvane
