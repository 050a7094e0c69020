#include "navigation/ProgramList.h"

#include "io/ByteReader.h"
#include "io/ByteWriter.h"
#include "io/TextUtil.h"
#include "navigation/CommandText.h"

#include <optional>

namespace corvane {

namespace {

constexpr std::string_view LineEnd = "\r\n";
constexpr std::size_t CommandSize = 12;

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// A cursor over one text line of the list form.
class LineScanner {
public:
    explicit LineScanner(std::string_view text) : m_text(text) {}

    void skipBlanks() {
        while (m_pos < m_text.size() && (m_text[m_pos] == ' ' || m_text[m_pos] == '\t')) ++m_pos;
    }
    bool expect(char c) {
        skipBlanks();
        if (m_pos >= m_text.size() || m_text[m_pos] != c) return false;
        ++m_pos;
        return true;
    }
    bool skipTo(char c) {
        const std::size_t at = m_text.find(c, m_pos);
        if (at == std::string_view::npos) return false;
        m_pos = at + 1;
        return true;
    }
    // One to eight hex digits.
    std::optional<std::uint32_t> hexWord() {
        skipBlanks();
        std::uint32_t value = 0;
        int digits = 0;
        for (int digit; m_pos < m_text.size() && (digit = hexDigit(m_text[m_pos])) >= 0; ++m_pos) {
            if (++digits > 8) return std::nullopt;
            value = (value << 4) | static_cast<std::uint32_t>(digit);
        }
        if (digits == 0) return std::nullopt;
        return value;
    }

private:
    std::string_view m_text;
    std::size_t m_pos = 0;
};

// "[opcode,destination,source]" somewhere in the line.
std::optional<TNavCommand> parseCommandLine(std::string_view line) {
    LineScanner scan(line);
    if (!scan.skipTo('[')) return std::nullopt;
    const auto opcode = scan.hexWord();
    if (!opcode || !scan.expect(',')) return std::nullopt;
    const auto destination = scan.hexWord();
    if (!destination || !scan.expect(',')) return std::nullopt;
    const auto source = scan.hexWord();
    if (!source || !scan.expect(']')) return std::nullopt;
    return TNavCommand{*opcode, *destination, *source};
}

bool isCommentOrBlank(std::string_view line) {
    const std::size_t first = line.find_first_not_of(" \t");
    return first == std::string_view::npos || line[first] == ';';
}

} // namespace

ProgramFormat programFormatFromSetting(int setting) {
    return setting == 1 ? ProgramFormat::Binary : ProgramFormat::List;
}

std::string_view programListExtension(ProgramFormat format) {
    return format == ProgramFormat::Binary ? ".bin" : ".lst";
}

std::string programListBaseName(std::size_t objectIndex) {
    return "program_" + zeroPad(objectIndex, 3);
}

std::string programListHeader() {
    const std::string rule = ";" + std::string(60, '-');
    std::string header;
    for (std::string_view line : {std::string_view(rule), std::string_view(";"),
                                  std::string_view(";             MovieObject program list by Corvane"),
                                  std::string_view(";"), std::string_view(rule)}) {
        header += line;
        header += LineEnd;
    }
    return header;
}

std::string programListLine(const TNavCommand& command, int line, CommandContext context) {
    const CommandCells cells = comm2str(command, line, context);
    std::string text =
        cells.no + "  [" + cells.opcode + "," + cells.destination + "," + cells.source + "]  " + cells.line;
    // A register note shows code bytes as characters; control bytes among them would break
    // the line (and the list) apart.
    for (char& c : text)
        if (static_cast<unsigned char>(c) < 0x20) c = '.';
    return text;
}

std::string programListText(const std::vector<TNavCommand>& commands, CommandContext context) {
    std::string text = programListHeader();
    text.reserve(text.size() + commands.size() * 64);
    for (std::size_t i = 0; i < commands.size(); ++i) {
        text += programListLine(commands[i], static_cast<int>(i), context);
        text += LineEnd;
    }
    return text;
}

std::vector<std::uint8_t> programListBinary(const std::vector<TNavCommand>& commands) {
    ByteWriter writer;
    writer.resize(commands.size() * CommandSize);
    for (const TNavCommand& command : commands) {
        writer.appendlword(command.opcode);
        writer.appendlword(command.destination);
        writer.appendlword(command.source);
    }
    return writer.take();
}

std::vector<std::uint8_t> programListBytes(const std::vector<TNavCommand>& commands, ProgramFormat format,
                                           CommandContext context) {
    if (format == ProgramFormat::Binary) return programListBinary(commands);
    const std::string text = programListText(commands, context);
    return {text.begin(), text.end()};
}

ProgramListBinaryRead readProgramListBinary(std::span<const std::uint8_t> bytes) {
    ByteReader reader(bytes);
    ProgramListBinaryRead result;
    const std::size_t count = reader.capCount(bytes.size() / CommandSize, CommandSize);
    result.commands.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        TNavCommand command;
        command.opcode = reader.readlword();
        command.destination = reader.readlword();
        command.source = reader.readlword();
        result.commands.push_back(command);
    }
    result.trailingBytes = reader.remaining();
    return result;
}

ProgramListTextRead readProgramListText(std::string_view text) {
    ProgramListTextRead result;
    std::size_t lineNumber = 0;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        start = end + 1;
        ++lineNumber;
        if (isCommentOrBlank(line)) continue;
        if (const auto command = parseCommandLine(line))
            result.commands.push_back(*command);
        else
            result.rejectedLines.push_back(lineNumber);
    }
    return result;
}

} // namespace corvane
