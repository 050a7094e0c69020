#include "stream/TransportStream.h"

#include <cstdio>

namespace corvane {

std::string timeText90(std::uint32_t ticks) {
    const std::uint64_t ms = ticks / 90;
    char text[32];
    std::snprintf(
        text, sizeof text, "%llu:%02llu:%02llu.%03llu", static_cast<unsigned long long>(ms / 3600000),
        static_cast<unsigned long long>(ms / 60000 % 60), static_cast<unsigned long long>(ms / 1000 % 60),
        static_cast<unsigned long long>(ms % 1000));
    return text;
}

} // namespace corvane
