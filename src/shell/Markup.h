#pragma once
// The small markup language of log lines.
//
// A tag is "[" followed by a name and the next "]"; a span runs from an opening
// tag to the first following closing tag of the same name ("[/name]"). Spans do
// not nest; tags inside a span are removed and have no effect of their own.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvane {

struct TextStyle {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    int pointSize = 0;                // 0: the log's own size
    std::optional<std::uint32_t> rgb; // 0xRRGGBB; none: window-text colour
    bool operator==(const TextStyle&) const = default;
};

struct StyledSpan {
    std::size_t start = 0; // column in the plain line
    std::size_t length = 0;
    TextStyle style;
};

struct StyledLine {
    std::string text;              // the plain line, tags removed
    std::vector<StyledSpan> spans; // styled parts; the rest has the default style
};

// The style a tag name gives its span ("b", "bl", "c:008000", …; any other name: plain 8 point).
TextStyle styleForTag(std::string_view name);
// Plain line plus styled spans of a marked-up text.
StyledLine parseMarkup(std::string_view text);
// The text with every tag removed (the same plain line parseMarkup gives).
std::string striptags(std::string_view text);

} // namespace corvane
