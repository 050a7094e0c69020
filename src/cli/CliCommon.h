#pragma once
// Shared pieces of the command-line front end. The subcommand builders are declared
// in cli/Subcommands.h, the one header that brings in CLI11.

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "io/ReadResult.h"
#include "shell/Reporter.h"

namespace corvane::cli {

enum ExitCode { Success = 0, Rejected = 1, Usage = 2 };

// Prints log lines as plain text ("ERROR: " kept) to a stream; status panels are dropped.
// Every "ERROR:" line and file-layer failure counts in reportedErrors(), quiet or not.
class PlainSink : public MessageSink {
public:
    PlainSink(std::ostream& out, bool quiet) : m_out(out), m_quiet(quiet) {}
    void appendLine(const StyledLine& line) override;
    void setStatus(int, const std::string&) override {}
    void showErrorBadge(const std::string&) override {}
    // A log on stderr leaves a file error to its single "error: " line.
    void appendFileErrorLine(const StyledLine& line) override;
    void fileError(const std::string& message) override;
    void progress(int percent, const std::string& text) override;
    // On a terminal: "42%  31.5 MB/s  0:01:20 left".
    void packetProgress(const ProgressReport& report) override;
    void progressEnd() override;

private:
    std::ostream& m_out;
    bool m_quiet;
    bool m_progressShown = false;
};

// The progress line of a packet walk on a terminal: percent, speed and remaining time.
std::string terminalProgressLine(const ProgressReport& report);

// The errors every PlainSink of this run was given; any of them makes the exit status 1.
int reportedErrors();
// A reader's message lines through a PlainSink on stderr (counted as above).
void showMessages(const std::vector<ReadMessage>& messages, bool quiet);
// A reader's message lines on stderr, and on a failed read (`ok` false) its one "error: "
// line naming the file: the reader's first error message (not repeated as an "ERROR:" log
// line), else `fallback`; `result` becomes Rejected. Returns `ok`.
bool reportRead(const std::string& path, const std::vector<ReadMessage>& messages, bool ok,
                std::string_view fallback, bool quiet, int& result);
// The exit status of a run: a success that reported an error becomes Rejected.
int finalStatus(int result);

// "error: " line on stderr naming the file once: "error: FILE: message", or "error: message"
// when the message names the file already.
void printError(const std::string& file, const std::string& message);
// Decimal, or hexadecimal with a 0x prefix.
std::optional<std::uint64_t> parseNumber(const std::string& text);
// Hexadecimal with or without 0x (PIDs and ids).
std::optional<std::uint64_t> parseHexId(const std::string& text);
// parseNumber for the value of a command-line option; a value that is not a number (a sign,
// a fraction, more than 64 bits) is a usage error, said on stderr.
std::optional<std::uint64_t> numberOption(const std::string& option, const std::string& text, int& result);
// True when both names reach the same file (an output may never be its input).
bool sameFile(const std::string& a, const std::string& b);

} // namespace corvane::cli
