#pragma once
// The IG menu as a player would run it: the button states of the page shown, menu start,
// the four navigation keys and the select key, the pointer, the animation and user time-out
// timers, and the button commands run in the interpreter. The simulator is the interpreter's
// host on the Menu page: it serves the menu commands (SetButtonPage, EnableButton,
// DisableButton) from the menu and the page renderer, and passes everything else (reports,
// status, event pump, trace and cancel state, active page) to the front end's host.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "menu/IGMenu.h"
#include "menu/PageRender.h"
#include "navigation/Interpreter.h"
#include "navigation/InterpreterHost.h"
#include "shell/Options.h"

namespace corvane {

enum class NavDirection { Up, Down, Left, Right };

// A button's hit box in page coordinates, both edges included.
struct HitBox {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool contains(int x, int y) const { return x >= left && x <= right && y >= top && y <= bottom; }
};

// What the front end is told (all optional).
struct MenuSimulatorCallbacks {
    std::function<void(std::size_t page)> pageChanged; // a command changed the page: cbPage follows
    std::function<void(std::size_t id)> buttonChosen;  // cbButton selects this id
    std::function<void()> buttonsListed;               // cbButton's items were rebuilt (buttonList)
    std::function<void(int line)> programLine;         // ieProgramLine
    std::function<void(const RunResult&)> runFinished; // a button's commands ran
    std::function<void(bool run, int intervalMs)> animationTimer;   // tDrawRep
    std::function<void(bool run, int intervalMs)> userTimeOutTimer; // tUserTO
    std::function<void()> refresh;                                  // show the page picture
};

class MenuSimulator : public InterpreterHost {
public:
    // The renderer is made here so that it draws with the interpreter's registers; its
    // inEffects and animationTimer hooks are the simulator's, the other hooks the front end's.
    MenuSimulator(TMenu& menu, Interpreter& interpreter, const Options& options,
                  InterpreterHost* outer = nullptr);
    MenuSimulator(const MenuSimulator&) = delete;
    MenuSimulator& operator=(const MenuSimulator&) = delete;

    MenuSimulatorCallbacks callbacks;

    void setOuterHost(InterpreterHost* outer) { m_outer = outer; }
    PageRenderer& renderer() { return m_renderer; }
    const PageRenderer& renderer() const { return m_renderer; }

    // cbPageChange: PSR11 := page, the page's button states and cbButton items, the animation
    // interval; then the page is drawn. PSR10 stays. A page the menu does not hold empties the
    // state table and draws the bare background.
    void choosePage(std::size_t page);
    // tDrawRep's interval: animation_frame_rate_code frames of the menu's frame rate; 0 (no
    // timer) for a frame rate without a table entry or a code of 0.
    int animationIntervalMs() const { return m_animationMs; }
    // tUserTO's interval: user_time_out_duration / 90; 0 means no time-out.
    int userTimeOutMs() const;
    // cbButton's items (every id of the page's table as 4 hex digits) and its selection.
    const std::vector<std::string>& buttonList() const { return m_buttonList; }
    std::size_t chosenButton() const { return m_chosenButton; }
    void chooseButton(std::size_t id);

    // bStart on the Menu page: timers, then a trace step of the chosen button, or the page
    // drawn with its default selected button and the auto-action buttons run.
    RunResult start();
    // bNavUp ... bNavRight; false when the selection did not move.
    bool move(NavDirection direction);
    // bNavSel; false when no button is selected.
    bool activate();
    // Pointer in page coordinates. mouseDown activates the selected button under the pointer;
    // mouseMove follows the pointer onto neighbours and tells whether it shows a hand.
    bool mouseDown(int pageX, int pageY);
    bool mouseMove(int pageX, int pageY);
    // The hit box of a button of the page shown; none without a selected start object.
    std::optional<HitBox> hitBox(std::size_t id) const;
    // tDrawRep tick: the next frame of every animated state; true when something was drawn.
    bool animationTick();
    // tUserTO tick.
    void userTimeOut();

    // InterpreterHost: forwarded to the outer host.
    ActivePage activePage() const override;
    bool traceTicked() const override;
    bool cancelRequested() const override;
    void report(std::string_view text) override;
    void showStatus(int panel, std::string_view text) override;
    void pumpEvents() override;

    // InterpreterHost: the menu services.
    std::size_t pageCount() const override;
    std::size_t pageButtonSlots(std::size_t page) const override;
    bool buttonPresent(std::size_t page, std::size_t id) const override;
    bool buttonAutoAction(std::size_t page, std::size_t id) const override;
    std::vector<TNavCommand> buttonCommands(std::size_t page, std::size_t id) const override;
    std::size_t outEffectCount(std::size_t page) const override;
    bool showOutEffects() const override;
    std::vector<TButtonState>* buttonStates() override { return &m_menu.ButtonStates; }
    void DrawButton(std::size_t id) override;
    void DelButton(std::size_t id) override;
    void DrawSButton(std::size_t id) override;
    void DelPage() override;
    void DrawEffects(std::size_t page) override;
    void SetButtonStates(std::size_t page) override;
    void selectPage(std::size_t page) override;
    void selectButton(std::size_t id) override { chooseButton(id); }

private:
    const TPage* shownPage() const;
    const TIGbutton* shownButton(std::size_t id) const;
    bool tracing() const { return traceTicked(); }
    // cbButton selects it, CurrentLine := -1 in trace mode else 0, and its commands run.
    RunResult runButton(std::size_t id);
    RunResult runCommands(std::size_t id, const std::vector<TNavCommand>& commands);
    // ieProgramLine, the run result and the view after a run.
    RunResult finishRun(const RunResult& result);
    void updateAnimationInterval();
    void refresh();

    TMenu& m_menu;
    Interpreter& m_interpreter;
    const Options& m_options;
    InterpreterHost* m_outer = nullptr;
    PageRenderer m_renderer;
    std::vector<std::string> m_buttonList;
    std::size_t m_chosenButton = 0;
    std::size_t m_statesPage = static_cast<std::size_t>(-1); // page ButtonStates were built for
    int m_animationMs = 0;
};

} // namespace corvane
