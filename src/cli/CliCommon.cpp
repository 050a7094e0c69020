#include "cli/CliCommon.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <unistd.h>

namespace corvane::cli {

namespace {
int g_reportedErrors = 0;
}

void PlainSink::appendLine(const StyledLine& line) {
    if (line.text.rfind("ERROR:", 0) == 0) ++g_reportedErrors;
    if (!m_quiet) m_out << line.text << '\n';
}

// The "ERROR:" line of a file error; on a log that goes to stderr the "error: " line says it.
void PlainSink::appendFileErrorLine(const StyledLine& line) {
    if (&m_out != &std::cerr && !m_quiet) m_out << line.text << '\n';
}

void PlainSink::fileError(const std::string& message) {
    ++g_reportedErrors;
    std::cerr << "error: " << message << '\n';
}

int reportedErrors() {
    return g_reportedErrors;
}

void showMessages(const std::vector<ReadMessage>& messages, bool quiet) {
    PlainSink sink(std::cerr, quiet);
    Reporter reporter(&sink);
    showReadMessages(reporter, messages);
}

bool reportRead(const std::string& path, const std::vector<ReadMessage>& messages, bool ok,
                std::string_view fallback, bool quiet, int& result) {
    if (ok) {
        showMessages(messages, quiet);
        return true;
    }
    // The error line, or a log line that tells the error (the index's title count).
    auto first = std::find_if(messages.begin(), messages.end(),
                              [](const ReadMessage& m) { return m.kind == ReadMessage::Kind::Error; });
    if (first == messages.end())
        first = std::find_if(messages.begin(), messages.end(),
                             [](const ReadMessage& m) { return m.text.rfind("Error", 0) == 0; });
    std::vector<ReadMessage> shown;
    for (auto it = messages.begin(); it != messages.end(); ++it)
        if (it != first) shown.push_back(*it);
    showMessages(shown, quiet);
    printError(path, first != messages.end() ? striptags(first->text) : std::string(fallback));
    result = Rejected;
    return false;
}

int finalStatus(int result) {
    return result == Success && g_reportedErrors > 0 ? Rejected : result;
}

void PlainSink::progress(int percent, const std::string& text) {
    if (!isatty(STDERR_FILENO)) return;
    std::cerr << '\r' << percent << "% " << text << std::flush;
    m_progressShown = true;
}

void PlainSink::packetProgress(const ProgressReport& report) {
    if (!isatty(STDERR_FILENO)) return;
    std::cerr << '\r' << terminalProgressLine(report) << std::flush;
    m_progressShown = true;
}

std::string terminalProgressLine(const ProgressReport& report) {
    char speed[32];
    std::snprintf(speed, sizeof speed, "%.1f", report.megabytesPerSecond);
    // Spaces at the end cover a longer line before.
    return std::to_string(report.percent) + "%  " + speed + " MB/s  " + longTimeText(report.remaining) +
           " left   ";
}

void PlainSink::progressEnd() {
    if (m_progressShown) std::cerr << '\n';
    m_progressShown = false;
}

void printError(const std::string& file, const std::string& message) {
    const std::string name = std::filesystem::path(file).filename().string();
    if (!name.empty() && message.find(name) != std::string::npos)
        std::cerr << "error: " << message << '\n';
    else
        std::cerr << "error: " << file << ": " << message << '\n';
}

namespace {

// The digits alone: std::stoull would also take a sign or leading spaces.
bool allDigits(std::string_view digits, int base) {
    if (digits.empty()) return false;
    for (const char c : digits) {
        const auto u = static_cast<unsigned char>(c);
        if (base == 16 ? !std::isxdigit(u) : !std::isdigit(u)) return false;
    }
    return true;
}

std::optional<std::uint64_t> parseDigits(const std::string& digits, int base) {
    if (!allDigits(digits, base)) return std::nullopt;
    try {
        return std::stoull(digits, nullptr, base);
    } catch (...) {
        return std::nullopt; // out of range
    }
}

} // namespace

std::optional<std::uint64_t> parseNumber(const std::string& text) {
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
        return parseDigits(text.substr(2), 16);
    return parseDigits(text, 10);
}

std::optional<std::uint64_t> parseHexId(const std::string& text) {
    std::string digits = text;
    if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X'))
        digits = digits.substr(2);
    if (digits.size() > 16) return std::nullopt;
    return parseDigits(digits, 16);
}

std::optional<std::uint64_t> numberOption(const std::string& option, const std::string& text, int& result) {
    const auto value = parseNumber(text);
    if (!value) {
        std::cerr << "error: " << option << ": not a number: " << text << '\n';
        result = Usage;
    }
    return value;
}

bool sameFile(const std::string& a, const std::string& b) {
    std::error_code ec;
    if (std::filesystem::equivalent(a, b, ec)) return true;
    const auto ca = std::filesystem::weakly_canonical(a, ec);
    const auto cb = std::filesystem::weakly_canonical(b, ec);
    return !ec && ca == cb;
}

} // namespace corvane::cli
