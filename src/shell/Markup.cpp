#include "shell/Markup.h"

#include "io/TextUtil.h"

namespace corvane {

namespace {

struct Token {
    bool isTag = false;
    std::string_view text; // literal text, or the tag's name without brackets
};

// Text after the first tag is limited to 255 characters, tags included.
std::string_view limitAfterFirstTag(std::string_view text) {
    const auto open = text.find('[');
    if (open == std::string_view::npos) return text;
    const auto close = text.find(']', open + 1);
    if (close == std::string_view::npos) return text;
    const std::size_t keep = close + 1 + 255;
    return text.size() > keep ? text.substr(0, keep) : text;
}

// Left to right: a tag runs from a "[" to the first "]" after it; anything else is literal.
std::vector<Token> tokenize(std::string_view text) {
    std::vector<Token> tokens;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const auto open = text.find('[', pos);
        const auto close = open == std::string_view::npos ? open : text.find(']', open + 1);
        if (open == std::string_view::npos || close == std::string_view::npos) {
            tokens.push_back({false, text.substr(pos)});
            break;
        }
        if (open > pos) tokens.push_back({false, text.substr(pos, open - pos)});
        tokens.push_back({true, text.substr(open + 1, close - open - 1)});
        pos = close + 1;
    }
    return tokens;
}

} // namespace

TextStyle styleForTag(std::string_view name) {
    TextStyle style;
    if (name == "b")
        style.bold = true;
    else if (name == "i")
        style.italic = true;
    else if (name == "u")
        style.underline = true;
    else if (name == "s1")
        style.pointSize = 10;
    else if (name == "s2")
        style.pointSize = 12;
    else if (name.substr(0, 2) == "c:") {
        // The value holds red in its low byte and blue in its high byte.
        const auto value = static_cast<std::uint32_t>(hexToNumber(name.substr(2)) & 0xFFFFFF);
        style.rgb = ((value & 0xFF) << 16) | (value & 0xFF00) | ((value >> 16) & 0xFF);
    } else if (name == "bl")
        style.rgb = 0x0000FF;
    else if (name == "gr")
        style.rgb = 0x00FF00;
    else if (name == "re")
        style.rgb = 0xFF0000;
    else
        style.pointSize = 8;
    return style;
}

StyledLine parseMarkup(std::string_view text) {
    const auto tokens = tokenize(limitAfterFirstTag(text));
    StyledLine line;
    std::size_t i = 0;
    while (i < tokens.size()) {
        const Token& token = tokens[i];
        if (!token.isTag) {
            line.text += token.text;
            ++i;
            continue;
        }
        std::size_t closing = tokens.size();
        if (token.text.empty() || token.text.front() != '/') {
            for (std::size_t j = i + 1; j < tokens.size(); ++j) {
                if (tokens[j].isTag && tokens[j].text.size() == token.text.size() + 1 &&
                    tokens[j].text.front() == '/' && tokens[j].text.substr(1) == token.text) {
                    closing = j;
                    break;
                }
            }
        }
        if (closing == tokens.size()) {
            ++i; // an unmatched or closing tag styles nothing
            continue;
        }
        StyledSpan span;
        span.start = line.text.size();
        for (std::size_t j = i + 1; j < closing; ++j)
            if (!tokens[j].isTag) line.text += tokens[j].text;
        span.length = line.text.size() - span.start;
        span.style = styleForTag(token.text);
        if (span.length > 0) line.spans.push_back(span);
        i = closing + 1;
    }
    return line;
}

std::string striptags(std::string_view text) {
    std::string plain;
    for (const auto& token : tokenize(limitAfterFirstTag(text)))
        if (!token.isTag) plain += token.text;
    return plain;
}

} // namespace corvane
