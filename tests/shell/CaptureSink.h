#pragma once
// A message sink that records everything, for tests.

#include <string>
#include <vector>

#include "shell/Reporter.h"

namespace corvane::testing {

class CaptureSink : public MessageSink {
public:
    void appendLine(const StyledLine& line) override { lines.push_back(line); }
    void setStatus(int panel, const std::string& text) override {
        status[panel == 0 ? 0 : 1] = text;
        badge = false;
    }
    void showErrorBadge(const std::string& text) override {
        badge = true;
        status[1] = text;
    }
    void beep() override { ++beeps; }
    void fileError(const std::string& message) override { fileErrors.push_back(message); }

    std::vector<std::string> texts() const {
        std::vector<std::string> out;
        for (const auto& line : lines) out.push_back(line.text);
        return out;
    }
    bool contains(const std::string& text) const {
        for (const auto& line : lines)
            if (line.text == text) return true;
        return false;
    }
    const StyledLine* find(const std::string& text) const {
        for (const auto& line : lines)
            if (line.text == text) return &line;
        return nullptr;
    }

    std::vector<StyledLine> lines;
    std::string status[2];
    bool badge = false;
    int beeps = 0;
    std::vector<std::string> fileErrors;
};

} // namespace corvane::testing
