#pragma once
// The format limits of a menu, checked before it is saved or muxed and by the disc check.
//
// Errors are what a decoder cannot read or hold: a list longer than its count field, an
// interactive composition longer than its 24-bit length, an object with more data than its
// 24-bit length, more decoded objects than the IG decoder's object buffer holds. Save and
// Mux refuse those. Warnings are what a player reads but shows otherwise than the author
// meant: objects larger than the video, art beyond the video area, neighbours and default
// buttons that name no button of the page (or one of another page), palette entry 255 given
// a colour (it is never written: players show it transparent), a page palette or state
// object that is not there.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "menu/IGMenu.h"

namespace corvane {

// The IG decoder's decoded object buffer.
inline constexpr std::uint64_t IgObjectBufferBytes = 16u * 1024 * 1024;

struct MenuLimitFinding {
    bool error = false; // true: a decoder cannot read it (refused); false: a warning
    std::string code;   // stable: "menu-count-over-field", …
    // The record: ("page", 0), ("BOG", 1), ("button", 3) — or ("object", id), ("palette", id).
    std::vector<std::pair<std::string, std::int64_t>> where;
    std::string message; // one sentence
    // "page 0, BOG 1, button 3: message"
    std::string text() const;
};

std::vector<MenuLimitFinding> menuLimitFindings(const TMenu& menu);
// Whether any finding is an error.
bool menuLimitsRefuse(const std::vector<MenuLimitFinding>& findings);

class Reporter;
// Save and Mux: each warning logged as "Warning: " + text(), each error through erlog; then
// false (after "<action> refused: a decoder could not read the menu.") when any is an error.
bool reportMenuLimits(Reporter& reporter, const TMenu& menu, const std::string& action);

} // namespace corvane
