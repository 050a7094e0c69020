#include "playlist/ChapterFiles.h"

#include <expat.h>

#include <algorithm>
#include <cctype>
#include <limits>
#include <map>
#include <memory>
#include <type_traits>

#include "io/TextUtil.h"
#include "playlist/PlayListNames.h"

namespace corvane {

namespace {

constexpr std::string_view ClockLayout = "time (hh:mm:ss.mmm)";

std::string_view trimmed(std::string_view text) {
    auto space = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && space(text.front())) text.remove_prefix(1);
    while (!text.empty() && space(text.back())) text.remove_suffix(1);
    return text;
}

// Digits only, 1 to `most` of them.
std::optional<std::uint64_t> digits(std::string_view text, std::size_t most) {
    if (text.empty() || text.size() > most) return std::nullopt;
    std::uint64_t value = 0;
    for (char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return std::nullopt;
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
    }
    return value;
}

std::string chapterNumber(std::size_t n) {
    return zeroPad(n, 2);
}

// The ticks of a chapter, refused by `where` when they do not fit the 32 bits of a mark.
std::optional<std::uint32_t> markTicks(std::string_view text, const std::string& where,
                                       std::vector<std::string>& refused) {
    const auto ticks = clockTicks(trimmed(text));
    if (!ticks || *ticks > std::numeric_limits<std::uint32_t>::max()) {
        refused.push_back(where + " refused, not a " + std::string(ClockLayout) +
                          " of at most 26:30:43: " + quotedChapterLine(trimmed(text)));
        return std::nullopt;
    }
    return static_cast<std::uint32_t>(*ticks);
}

std::string escapedXml(std::string_view text) {
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&apos;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

// ---- the XML reader: expat events on a stack of open element names ----

struct XmlState {
    XML_Parser parser = nullptr;
    ChapterPoints points;
    std::vector<std::string> open;
    int editions = 0;
    // The chapter atom being read: its line, ChapterTimeStart and first ChapterString.
    bool inAtom = false;
    std::uint64_t atomLine = 0;
    std::optional<std::string> start;
    std::optional<std::string> name;
    std::string* text = nullptr; // where character data goes

    std::uint64_t line() const { return XML_GetCurrentLineNumber(parser); }
    void fail(const std::string& message) {
        if (points.error.empty()) points.error = message;
        XML_StopParser(parser, XML_FALSE);
    }
    // The element `depth` levels below the root is `name` (the root is level 0).
    bool at(std::size_t depth, std::string_view name) const {
        return open.size() == depth + 1 && open[depth] == name;
    }
};

void XMLCALL startElement(void* data, const XML_Char* nameText, const XML_Char**) {
    auto& s = *static_cast<XmlState*>(data);
    const std::string name = nameText;
    if (s.open.empty() && name != "Chapters") {
        s.fail("Not Matroska chapters: the root element is <" + name + ">, not <Chapters> (line " +
               std::to_string(s.line()) + ").");
        return;
    }
    s.open.push_back(name);
    if (s.at(1, "EditionEntry")) ++s.editions;
    if (s.editions != 1) return;
    // Chapters / EditionEntry / ChapterAtom / ChapterTimeStart, ChapterDisplay / ChapterString
    if (s.at(2, "ChapterAtom")) {
        s.inAtom = true;
        s.atomLine = s.line();
        s.start.reset();
        s.name.reset();
    } else if (s.inAtom && s.at(3, "ChapterTimeStart") && !s.start) {
        s.start.emplace();
        s.text = &*s.start;
    } else if (s.inAtom && s.at(4, "ChapterString") && s.open[3] == "ChapterDisplay" && !s.name) {
        s.name.emplace();
        s.text = &*s.name;
    }
}

void XMLCALL endElement(void* data, const XML_Char*) {
    auto& s = *static_cast<XmlState*>(data);
    s.text = nullptr;
    if (s.inAtom && s.open.size() == 3) {
        s.inAtom = false;
        const std::string where = "ChapterAtom at line " + std::to_string(s.atomLine);
        if (!s.start)
            s.points.refused.push_back(where + " refused, it has no ChapterTimeStart");
        else if (const auto t = markTicks(*s.start, where, s.points.refused)) {
            s.points.times.push_back(*t);
            s.points.names.emplace_back(s.name ? trimmed(*s.name) : std::string_view{});
        }
    }
    s.open.pop_back();
}

void XMLCALL characters(void* data, const XML_Char* text, int length) {
    auto& s = *static_cast<XmlState*>(data);
    if (s.text) s.text->append(text, static_cast<std::size_t>(length));
}

// A reference to an entity the document does not define (expat passes over those when the
// document names an external DTD).
void XMLCALL skippedEntity(void* data, const XML_Char* name, int) {
    auto& s = *static_cast<XmlState*>(data);
    s.fail("Unknown entity &" + std::string(name) + "; at line " + std::to_string(s.line()) + ".");
}

} // namespace

std::string quotedChapterLine(std::string_view line) {
    std::string shown;
    for (char c : line.substr(0, 40)) shown += static_cast<unsigned char>(c) < 0x20 ? '?' : c;
    if (line.size() > 40) shown += "...";
    return "\"" + shown + "\"";
}

std::optional<std::uint64_t> clockTicks(std::string_view text) {
    const std::size_t first = text.find(':');
    if (first == std::string_view::npos || text.size() < first + 6 || text[first + 3] != ':')
        return std::nullopt;
    const auto hours = digits(text.substr(0, first), 5);
    const auto minutes = digits(text.substr(first + 1, 2), 2);
    const auto seconds = digits(text.substr(first + 4, 2), 2);
    if (!hours || !minutes || !seconds || *minutes > 59 || *seconds > 59) return std::nullopt;
    std::uint64_t nanoseconds = 0;
    const std::string_view rest = text.substr(first + 6);
    if (!rest.empty()) {
        if (rest[0] != '.') return std::nullopt;
        const auto fraction = digits(rest.substr(1), 9);
        if (!fraction) return std::nullopt;
        nanoseconds = *fraction;
        for (std::size_t i = rest.size() - 1; i < 9; ++i) nanoseconds *= 10;
    }
    nanoseconds += ((*hours * 60 + *minutes) * 60 + *seconds) * 1000000000ull;
    return (nanoseconds * 9 + 100000) / 200000; // 45000 / 10^9 = 9 / 200000
}

std::string ogmChapterText(const std::vector<std::uint32_t>& times) {
    std::string text;
    for (std::size_t i = 0; i < times.size(); ++i) {
        const std::string key = "CHAPTER" + chapterNumber(i + 1);
        text += key + "=" + timeText45(times[i]) + "\r\n";
        text += key + "NAME=Chapter " + chapterNumber(i + 1) + "\r\n";
    }
    return text;
}

std::string xmlChapterText(const std::vector<std::uint32_t>& times) {
    std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
                       "<!DOCTYPE Chapters SYSTEM \"matroskachapters.dtd\">\r\n"
                       "<Chapters>\r\n"
                       "  <EditionEntry>\r\n";
    for (std::size_t i = 0; i < times.size(); ++i) {
        // Nanoseconds, rounded: reading them back to the nearest tick gives the tick itself.
        const std::uint64_t ns = (std::uint64_t{times[i]} * 200000 + 4) / 9;
        const std::uint64_t seconds = ns / 1000000000;
        const std::string start = zeroPad(seconds / 3600, 2) + ":" + zeroPad(seconds / 60 % 60, 2) + ":" +
                                  zeroPad(seconds % 60, 2) + "." + zeroPad(ns % 1000000000, 9);
        text += "    <ChapterAtom>\r\n"
                "      <ChapterTimeStart>" +
                start +
                "</ChapterTimeStart>\r\n"
                "      <ChapterDisplay>\r\n"
                "        <ChapterString>" +
                escapedXml("Chapter " + chapterNumber(i + 1)) +
                "</ChapterString>\r\n"
                "        <ChapterLanguage>eng</ChapterLanguage>\r\n"
                "      </ChapterDisplay>\r\n"
                "    </ChapterAtom>\r\n";
    }
    return text + "  </EditionEntry>\r\n</Chapters>\r\n";
}

ChapterPoints readOgmChapters(std::string_view text) {
    ChapterPoints points;
    struct Chapter {
        std::size_t line = 0;
        std::optional<std::uint32_t> time;
        std::optional<std::string> name;
    };
    std::map<std::uint64_t, Chapter> chapters; // by CHAPTERnn
    std::vector<std::uint64_t> order;          // the numbers in the order of their time lines
    std::size_t lineNumber = 0;
    for (std::size_t from = 0; from < text.size();) {
        std::size_t end = text.find('\n', from);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view line = trimmed(text.substr(from, end - from));
        from = end + 1;
        ++lineNumber;
        if (line.empty()) continue;
        const std::string where = "Line " + std::to_string(lineNumber);
        // CHAPTERnn=time or CHAPTERnnNAME=name, the key in any case.
        const std::size_t equals = line.find('=');
        std::string key(trimmed(line.substr(0, std::min(equals, line.size()))));
        for (auto& c : key) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        const bool isName = key.size() > 4 && key.compare(key.size() - 4, 4, "NAME") == 0;
        const auto number =
            key.rfind("CHAPTER", 0) == 0
                ? digits(std::string_view(key).substr(7, key.size() - 7 - (isName ? 4 : 0)), 9)
                : std::nullopt;
        if (equals == std::string_view::npos || !number) {
            points.refused.push_back(where + " refused, not CHAPTERnn=hh:mm:ss.mmm or CHAPTERnnNAME=...: " +
                                     quotedChapterLine(line));
            continue;
        }
        const std::string_view value = trimmed(line.substr(equals + 1));
        Chapter& chapter = chapters[*number];
        if (isName ? chapter.name.has_value() : chapter.line != 0) {
            points.refused.push_back(where + " refused, chapter " + chapterNumber(*number) +
                                     " is given twice: " + quotedChapterLine(line));
            continue;
        }
        if (isName) {
            chapter.name.emplace(value);
            continue;
        }
        chapter.line = lineNumber;
        chapter.time = markTicks(value, where, points.refused);
        order.push_back(*number);
    }
    for (const auto& [number, chapter] : chapters)
        if (chapter.line == 0)
            points.refused.push_back("Chapter " + chapterNumber(number) +
                                     " refused, it has a name but no time");
    for (std::uint64_t number : order) {
        const Chapter& chapter = chapters[number];
        if (!chapter.time) continue;
        points.times.push_back(*chapter.time);
        points.names.push_back(chapter.name.value_or(std::string{}));
    }
    return points;
}

ChapterPoints readXmlChapters(std::string_view text) {
    XmlState state;
    std::unique_ptr<std::remove_pointer_t<XML_Parser>, decltype(&XML_ParserFree)> parser(
        XML_ParserCreate(nullptr), &XML_ParserFree);
    if (!parser) {
        state.points.error = "Out of memory for the XML reader.";
        return state.points;
    }
    state.parser = parser.get();
    XML_SetUserData(state.parser, &state);
    XML_SetElementHandler(state.parser, startElement, endElement);
    XML_SetCharacterDataHandler(state.parser, characters);
    XML_SetSkippedEntityHandler(state.parser, skippedEntity);
    // In pieces: XML_Parse takes an int length.
    constexpr std::size_t Piece = 1 << 20;
    std::size_t at = 0;
    do {
        const std::size_t size = std::min(Piece, text.size() - at);
        const bool last = at + size == text.size();
        if (XML_Parse(state.parser, text.data() + at, static_cast<int>(size), last) != XML_STATUS_OK) {
            if (state.points.error.empty())
                state.points.error = "Not Matroska chapter XML: " +
                                     std::string(XML_ErrorString(XML_GetErrorCode(state.parser))) +
                                     " at line " + std::to_string(XML_GetCurrentLineNumber(state.parser)) +
                                     ", column " +
                                     std::to_string(XML_GetCurrentColumnNumber(state.parser) + 1) + ".";
            return state.points;
        }
        at += size;
    } while (at < text.size());
    if (state.editions == 0 && state.points.error.empty())
        state.points.error = "The chapters hold no EditionEntry.";
    return state.points;
}

} // namespace corvane
