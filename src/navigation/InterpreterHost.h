#pragma once
// The seam between the interpreter and its front end: which page is shown, the trace tick,
// the reports and their pause, the event pump, and the menu services the interactive-graphics
// commands call. A host without a menu keeps the defaults: no pages, no buttons, no drawing.

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "navigation/NavCommand.h"

namespace corvane {

class Reporter;

// The main page a run happens on; only BDMV and Menu change what commands do.
enum class ActivePage { Bdmv, Menu, Other };

// Run-time state of one button id of the page being shown.
struct TButtonState {
    std::uint8_t enabled = 0;            // 8-bit, 1 = the enabled (shown) button of its BOG
    std::uint8_t bog_index = 0;          // 8-bit, index of the button's BOG in the page
    std::uint8_t button_index = 0;       // 8-bit, index of the button in that BOG
    std::uint8_t normal_animated = 0;    // 8-bit, 1 while normal start and end objects differ
    std::uint8_t selected_animated = 0;  // 8-bit, likewise for the selected state
    std::uint8_t activated_animated = 0; // 8-bit, likewise for the activated state
    std::uint8_t normal_repeat = 0;      // 8-bit, the button's normal_repeat_flag
    std::uint8_t selected_repeat = 0;    // 8-bit, the button's selected_repeat_flag
    std::uint16_t frame_counter = 0;     // 16-bit, animation frame position
    bool operator==(const TButtonState&) const = default;
};

class InterpreterHost {
public:
    virtual ~InterpreterHost() = default;

    // Read afresh at every step.
    virtual ActivePage activePage() const { return ActivePage::Bdmv; }
    virtual bool traceTicked() const { return false; }
    // A run stops after the current command when this turns true, as when the trace is ticked.
    virtual bool cancelRequested() const { return false; }

    // A command's report: status panel 1, then held for the configured pause while the
    // window stays responsive.
    virtual void report(std::string_view /*text*/) {}
    // Run state (panel 0) and trace line (panel 1).
    virtual void showStatus(int /*panel*/, std::string_view /*text*/) {}
    // Once before every command: let the window process pending input.
    virtual void pumpEvents() {}

    // The menu shown on the Menu page. Out-of-range pages have no buttons.
    virtual std::size_t pageCount() const { return 0; }
    // Slots of the page's button table (PageButtons), indexed by button_id.
    virtual std::size_t pageButtonSlots(std::size_t /*page*/) const { return 0; }
    // Whether the slot holds a button (an empty slot has button_id 0xFFFF).
    virtual bool buttonPresent(std::size_t /*page*/, std::size_t /*id*/) const { return false; }
    virtual bool buttonAutoAction(std::size_t /*page*/, std::size_t /*id*/) const { return false; }
    virtual std::vector<TNavCommand> buttonCommands(std::size_t /*page*/, std::size_t /*id*/) const {
        return {};
    }
    // Number of effects in the page's out-effect sequence.
    virtual std::size_t outEffectCount(std::size_t /*page*/) const { return 0; }
    // The "Show OutEffects() effects" option.
    virtual bool showOutEffects() const { return false; }
    // The state table of the shown page; null without a menu.
    virtual std::vector<TButtonState>* buttonStates() { return nullptr; }

    // Menu services.
    virtual void DrawButton(std::size_t /*id*/) {}  // normal state
    virtual void DelButton(std::size_t /*id*/) {}   // erase from the page view
    virtual void DrawSButton(std::size_t /*id*/) {} // selected state
    virtual void DelPage() {}
    virtual void DrawEffects(std::size_t /*page*/) {} // play the page's out-effect sequence
    virtual void SetButtonStates(std::size_t /*page*/) {}
    // Choose the page in the page picker, run its page-change handling and draw it.
    virtual void selectPage(std::size_t /*page*/) {}
    // The button picker selects this id (its commands are the ones being run).
    virtual void selectButton(std::size_t /*id*/) {}
};

// A host over a Reporter: reports through slogw on panel 1 (with the ActiDelay pause), run state
// through slog, events through the sink's pump.
class ReporterInterpreterHost : public InterpreterHost {
public:
    explicit ReporterInterpreterHost(Reporter& reporter) : m_reporter(reporter) {}
    void report(std::string_view text) override;
    void showStatus(int panel, std::string_view text) override;
    void pumpEvents() override;

private:
    Reporter& m_reporter;
};

} // namespace corvane
