#pragma once
// Reading a .mnu file for the menu subcommands.

#include <optional>
#include <string>

#include "menu/IGMenu.h"

namespace corvane::cli {

// Reads a .mnu whole; its log lines go to stderr unless `quiet`. Nothing (with the reason
// printed and `result` set) when the file cannot be read or is not a menu read whole.
std::optional<TMenu> loadMenu(const std::string& path, bool quiet, int& result);

} // namespace corvane::cli
