#pragma once
// A recording interpreter host with a small menu model, and helpers to build programs.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "navigation/Interpreter.h"

namespace corvane::testing {

inline TNavCommand nav(std::uint32_t opcode, std::uint32_t destination = 0, std::uint32_t source = 0) {
    return {opcode, destination, source};
}

// Frequently used words.
inline constexpr std::uint32_t MoveImm = 0x50400001; // Move GPRd, imm
inline constexpr std::uint32_t MoveReg = 0x50000001; // Move GPRd, GPRs
inline constexpr std::uint32_t GoToImm = 0x20810000;
inline constexpr std::uint32_t BreakOp = 0x00020000;
inline constexpr std::uint32_t Psr(std::uint32_t n) {
    return 0x80000000u | n;
}

struct FakeButton {
    bool present = false;
    std::uint8_t bog = 0;
    bool autoAction = false;
    std::vector<TNavCommand> commands;
};

struct FakePage {
    std::vector<FakeButton> buttons; // indexed by button_id
    std::size_t outEffects = 0;
};

class RecordingHost : public InterpreterHost {
public:
    ActivePage page = ActivePage::Bdmv;
    bool trace = false;
    bool cancel = false;
    int tickTraceAfterPumps = -1; // ticks the trace once that many commands have started
    int pumps = 0;
    bool outEffectsOption = true;
    std::vector<FakePage> menu;
    std::vector<TButtonState> states;
    std::vector<std::string> reports;
    std::vector<std::string> calls; // menu services in call order
    std::string panel0, panel1;

    ActivePage activePage() const override { return page; }
    bool traceTicked() const override { return trace; }
    bool cancelRequested() const override { return cancel; }
    void report(std::string_view text) override { reports.emplace_back(text); }
    void showStatus(int panel, std::string_view text) override { (panel == 0 ? panel0 : panel1) = text; }
    void pumpEvents() override {
        if (++pumps == tickTraceAfterPumps) trace = true;
    }

    std::size_t pageCount() const override { return menu.size(); }
    std::size_t pageButtonSlots(std::size_t p) const override {
        return p < menu.size() ? menu[p].buttons.size() : 0;
    }
    bool buttonPresent(std::size_t p, std::size_t id) const override {
        return id < pageButtonSlots(p) && menu[p].buttons[id].present;
    }
    bool buttonAutoAction(std::size_t p, std::size_t id) const override {
        return buttonPresent(p, id) && menu[p].buttons[id].autoAction;
    }
    std::vector<TNavCommand> buttonCommands(std::size_t p, std::size_t id) const override {
        return buttonPresent(p, id) ? menu[p].buttons[id].commands : std::vector<TNavCommand>{};
    }
    std::size_t outEffectCount(std::size_t p) const override {
        return p < menu.size() ? menu[p].outEffects : 0;
    }
    bool showOutEffects() const override { return outEffectsOption; }
    std::vector<TButtonState>* buttonStates() override {
        return page == ActivePage::Menu ? &states : nullptr;
    }

    void DrawButton(std::size_t id) override { calls.push_back("DrawButton " + std::to_string(id)); }
    void DelButton(std::size_t id) override { calls.push_back("DelButton " + std::to_string(id)); }
    void DrawSButton(std::size_t id) override { calls.push_back("DrawSButton " + std::to_string(id)); }
    void DelPage() override { calls.push_back("DelPage"); }
    void DrawEffects(std::size_t p) override { calls.push_back("DrawEffects " + std::to_string(p)); }
    void SetButtonStates(std::size_t p) override {
        calls.push_back("SetButtonStates " + std::to_string(p));
        buildStates(p);
    }
    void selectPage(std::size_t p) override { calls.push_back("selectPage " + std::to_string(p)); }
    void selectButton(std::size_t id) override { calls.push_back("selectButton " + std::to_string(id)); }

    // The first present button of each BOG starts enabled.
    void buildStates(std::size_t p) {
        states.assign(pageButtonSlots(p), TButtonState{});
        std::vector<bool> seen(256, false);
        for (std::size_t id = 0; id < states.size(); ++id) {
            const auto& b = menu[p].buttons[id];
            if (!b.present) continue;
            states[id].bog_index = b.bog;
            if (!seen[b.bog]) states[id].enabled = 1;
            seen[b.bog] = true;
        }
    }
    std::vector<int> enabledIds() const {
        std::vector<int> ids;
        for (std::size_t id = 0; id < states.size(); ++id)
            if (states[id].enabled) ids.push_back(static_cast<int>(id));
        return ids;
    }
};

} // namespace corvane::testing
