#pragma once
// Aligned text tables of the report subcommands.

#include <iosfwd>
#include <string>
#include <vector>

namespace corvane::cli {

// Prints the header and the rows with each column as wide as its widest cell, two blanks
// apart; the last column is not padded.
void printTable(std::ostream& out, const std::vector<std::string>& header,
                const std::vector<std::vector<std::string>>& rows);

} // namespace corvane::cli
