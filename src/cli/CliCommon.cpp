#include "cli/CliCommon.h"

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

int finalStatus(int result) {
    return result == Success && g_reportedErrors > 0 ? Rejected : result;
}

void PlainSink::progress(int percent, const std::string& text) {
    if (!isatty(STDERR_FILENO)) return;
    std::cerr << '\r' << percent << "% " << text << std::flush;
    m_progressShown = true;
}

void PlainSink::progressEnd() {
    if (m_progressShown) std::cerr << '\n';
    m_progressShown = false;
}

void printError(const std::string& file, const std::string& message) {
    std::cerr << "error: " << file << ": " << message << '\n';
}

std::optional<std::uint64_t> parseNumber(const std::string& text) {
    if (text.empty()) return std::nullopt;
    try {
        std::size_t used = 0;
        std::uint64_t value;
        if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
            value = std::stoull(text.substr(2), &used, 16);
            used += 2;
        } else {
            if (text[0] == '-' || text[0] == '+') return std::nullopt;
            value = std::stoull(text, &used, 10);
        }
        if (used != text.size()) return std::nullopt;
        return value;
    } catch (...) {
        return std::nullopt;
    }
}

std::optional<std::uint64_t> parseHexId(const std::string& text) {
    std::string digits = text;
    if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X'))
        digits = digits.substr(2);
    if (digits.empty() || digits.size() > 16) return std::nullopt;
    try {
        std::size_t used = 0;
        const auto value = std::stoull(digits, &used, 16);
        if (used != digits.size()) return std::nullopt;
        return value;
    } catch (...) {
        return std::nullopt;
    }
}

bool sameFile(const std::string& a, const std::string& b) {
    std::error_code ec;
    if (std::filesystem::equivalent(a, b, ec)) return true;
    const auto ca = std::filesystem::weakly_canonical(a, ec);
    const auto cb = std::filesystem::weakly_canonical(b, ec);
    return !ec && ca == cb;
}

} // namespace corvane::cli
