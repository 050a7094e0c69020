#include "cli/TextTable.h"

#include <algorithm>
#include <ostream>

namespace corvane::cli {

void printTable(std::ostream& out, const std::vector<std::string>& header,
                const std::vector<std::vector<std::string>>& rows) {
    std::vector<std::size_t> widths(header.size(), 0);
    auto measure = [&](const std::vector<std::string>& row) {
        for (std::size_t c = 0; c < row.size() && c < widths.size(); ++c)
            widths[c] = std::max(widths[c], row[c].size());
    };
    measure(header);
    for (const auto& row : rows) measure(row);
    auto print = [&](const std::vector<std::string>& row) {
        std::string line;
        for (std::size_t c = 0; c < row.size() && c < widths.size(); ++c) {
            line += row[c];
            if (c + 1 < row.size()) line += std::string(widths[c] - row[c].size() + 2, ' ');
        }
        while (!line.empty() && line.back() == ' ') line.pop_back();
        out << line << '\n';
    };
    print(header);
    for (const auto& row : rows) print(row);
}

} // namespace corvane::cli
