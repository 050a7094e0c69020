#pragma once
// What every format reader answers besides its model: how the read went, the lines
// the caller is to show, and where a damaged file went wrong. Each reader's result
// record derives from ReadResult and adds its model.

#include <cstddef>
#include <string>
#include <vector>

namespace corvane {

enum class ReadStatus {
    Ok,            // read whole (a movie object file also when cut short by its early-end rule)
    FormatError,   // wrong type indicator or version, or (index.bdmv) the data ended before its contents
    Damaged,       // ends early or its lengths and addresses disagree: what was read is kept, not saved
    TooManyTitles, // index.bdmv: more than 999 titles, reading stopped before the titles
    Cancelled,     // a menu read: cancel was requested, objects and palettes read, pages not parsed
    FileError,     // the file could not be read (reported through Reporter::fileError)
};

// A line a reader asks its caller to show: a plain log line or an error report.
struct ReadMessage {
    enum class Kind { Log, Error };
    Kind kind = Kind::Log;
    std::string text; // with markup tags
    bool operator==(const ReadMessage&) const = default;
};

struct ReadResult {
    ReadStatus status = ReadStatus::Ok;
    std::size_t problemAt = 0; // file offset where reading went wrong (or the data ended early)
    std::vector<ReadMessage> messages;
};

} // namespace corvane
