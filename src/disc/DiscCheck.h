#pragma once
// The disc check: every reference the navigation files make, checked against what the
// disc holds, the times of PlayItems and marks against their clips, and the files a
// player would pick up that are no part of the disc.

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "disc/DiscModel.h"
#include "disc/DiscRefs.h"

namespace corvane {

enum class Severity { Error, Warning, Info };
std::string_view severityName(Severity severity); // "error", "warning", "info"

struct Finding {
    Severity severity = Severity::Error;
    std::string code;    // stable: "playlist-missing", …
    std::string file;    // relative to the BDMV folder: "PLAYLIST/00001.mpls"
    RecordPath where;    // the record inside it
    std::string message; // one sentence
};

struct DiscCheckResult {
    std::vector<Finding> findings; // in file order, then record order
    std::size_t errors() const;
    std::size_t warnings() const;
};

DiscCheckResult discCheck(const DiscModel& disc);

// Every code the check reports, with its usual severity.
struct FindingCode {
    std::string_view code;
    Severity severity;
};
extern const std::array<FindingCode, 37> FindingCodes;

} // namespace corvane
