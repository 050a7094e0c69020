#include "menu/MenuSimulator.h"

#include <algorithm>
#include <array>
#include <utility>

#include "io/TextUtil.h"
#include "menu/MenuEffects.h"

namespace corvane {

namespace {

std::uint16_t neighbourOf(const TIGbutton& button, NavDirection direction) {
    switch (direction) {
    case NavDirection::Up:
        return button.upper_button_id_ref;
    case NavDirection::Down:
        return button.lower_button_id_ref;
    case NavDirection::Left:
        return button.left_button_id_ref;
    case NavDirection::Right:
        return button.right_button_id_ref;
    }
    return NoButton;
}

// Default activated button: the selected button is activated at the time-out.
constexpr std::uint16_t ActivateSelected = 0xFFFE;

} // namespace

MenuSimulator::MenuSimulator(TMenu& menu, Interpreter& interpreter, const Options& options,
                             InterpreterHost* outer)
    : m_menu(menu), m_interpreter(interpreter), m_options(options), m_outer(outer),
      m_renderer(menu, interpreter.regs, options) {
    m_renderer.hooks.inEffects = [this](std::size_t page) {
        if (page >= m_menu.IGSc.pages.size()) return;
        // A copy: the event pump of the waits may let the menu be edited.
        const Teffectseq sequence = m_menu.IGSc.pages[page].effect_sequences[0];
        // Nothing to show or erase: the animation timer is left running.
        if (sequence.effects.empty() && sequence.windows.empty()) return;
        corvane::DrawEffects(m_renderer, sequence);
    };
    m_renderer.hooks.animationTimer = [this](bool run) {
        if (callbacks.animationTimer) callbacks.animationTimer(run && m_animationMs > 0, m_animationMs);
    };
}

const TPage* MenuSimulator::shownPage() const {
    const std::uint32_t page = m_interpreter.regs.PSR[PSR_PAGE];
    if (page >= pageCount()) return nullptr;
    return &m_menu.IGSc.pages[page];
}

const TIGbutton* MenuSimulator::shownButton(std::size_t id) const {
    if (!shownPage() || id >= m_menu.ButtonStates.size()) return nullptr;
    const TPageButton& table = m_menu.PageButtons[m_interpreter.regs.PSR[PSR_PAGE]];
    return table.holds(id) ? &table[id] : nullptr;
}

void MenuSimulator::refresh() {
    if (callbacks.refresh) callbacks.refresh();
}

void MenuSimulator::updateAnimationInterval() {
    m_animationMs = 0;
    if (const TPage* page = shownPage())
        m_animationMs = std::max(
            0, animationFrameMs(m_menu.IGSc.frame_rate_id, page->animation_frame_rate_code).value_or(0));
}

int MenuSimulator::userTimeOutMs() const {
    return static_cast<int>(m_menu.IGSc.user_time_out_duration / 90);
}

void MenuSimulator::chooseButton(std::size_t id) {
    m_chosenButton = id;
    if (callbacks.buttonChosen) callbacks.buttonChosen(id);
}

void MenuSimulator::choosePage(std::size_t page) {
    m_interpreter.regs.PSR[PSR_PAGE] = static_cast<std::uint32_t>(std::min<std::size_t>(page, 0xFFFFFFFFu));
    SetButtonStates(page);
    updateAnimationInterval();
    if (callbacks.animationTimer)
        callbacks.animationTimer(m_options.ShowButtonAnimation && m_animationMs > 0, m_animationMs);
    m_renderer.DrawPage();
    refresh();
}

RunResult MenuSimulator::runButton(std::size_t id) {
    // A copy of the list: the run's event pump may let the table be edited.
    return runCommands(id, buttonCommands(m_interpreter.regs.PSR[PSR_PAGE], id));
}

RunResult MenuSimulator::runCommands(std::size_t id, const std::vector<TNavCommand>& commands) {
    chooseButton(id);
    m_interpreter.CurrentLine = tracing() ? -1 : 0;
    if (callbacks.programLine) callbacks.programLine(m_interpreter.CurrentLine);
    return finishRun(m_interpreter.ExecComm(commands, *this));
}

RunResult MenuSimulator::finishRun(const RunResult& result) {
    if (callbacks.programLine) callbacks.programLine(m_interpreter.CurrentLine);
    if (callbacks.runFinished) callbacks.runFinished(result);
    refresh();
    return result;
}

RunResult MenuSimulator::start() {
    RunResult result;
    const TPage* page = shownPage();
    if (!page) return result;
    const int timeOut = userTimeOutMs();
    if (callbacks.userTimeOutTimer) callbacks.userTimeOutTimer(timeOut > 0, timeOut);
    if (m_options.ShowButtonAnimation && m_animationMs > 0 && callbacks.animationTimer)
        callbacks.animationTimer(true, m_animationMs);

    auto& psr = m_interpreter.regs.PSR;
    if (tracing() && m_interpreter.TraceActive) {
        return finishRun(m_interpreter.ExecComm(buttonCommands(psr[PSR_PAGE], m_chosenButton), *this));
    }

    m_interpreter.CurrentLine = 0;
    const std::size_t pageIndex = psr[PSR_PAGE];
    const std::uint16_t defaultSelected = page->default_selected_button_id_ref;
    // The auto-action default valid buttons of the BOGs, taken before any of them runs.
    std::vector<std::pair<std::size_t, std::vector<TNavCommand>>> autoButtons;
    for (const TBOG& bog : page->BOGs) {
        if (bog.default_valid_button_id_ref == NoButton) continue;
        const auto found = std::find_if(bog.buttons.begin(), bog.buttons.end(), [&](const TIGbutton& b) {
            return b.button_id == bog.default_valid_button_id_ref;
        });
        if (found != bog.buttons.end() && found->auto_action_flag == 1)
            autoButtons.emplace_back(found->button_id, found->navigation_commands);
    }

    m_renderer.DrawPage();
    refresh();
    if (defaultSelected < m_menu.ButtonStates.size()) {
        psr[PSR_SELECTED_BUTTON] = defaultSelected;
        m_renderer.DrawSButton();
        refresh();
        // DrawPage told PSR10 before the selection.
        if (m_renderer.hooks.status) m_renderer.hooks.status(m_renderer.pageStatus());
        if (buttonAutoAction(pageIndex, defaultSelected)) result = runButton(defaultSelected);
        return result;
    }
    for (const auto& [id, commands] : autoButtons) result = runCommands(id, commands);
    return result;
}

bool MenuSimulator::move(NavDirection direction) {
    auto& psr = m_interpreter.regs.PSR;
    const std::size_t from = psr[PSR_SELECTED_BUTTON];
    const TIGbutton* selected = shownButton(from);
    if (!selected) return false;
    const std::uint16_t to = neighbourOf(*selected, direction);
    // A neighbour that names no button of the page would leave the menu without a selection.
    if (to == from || !shownButton(to)) return false;
    m_renderer.DrawButton(from);
    psr[PSR_SELECTED_BUTTON] = to;
    if (shownButton(to)->auto_action_flag == 1) {
        // The old button is shown normal before the commands run.
        refresh();
        runButton(to);
    } else {
        m_renderer.DrawSButton();
        refresh();
    }
    return true;
}

bool MenuSimulator::activate() {
    auto& psr = m_interpreter.regs.PSR;
    const std::uint32_t id = psr[PSR_SELECTED_BUTTON], page = psr[PSR_PAGE];
    if (id == NoButton || id >= pageButtonSlots(page)) return false;
    const bool autoAction = buttonAutoAction(page, id);
    m_renderer.DrawAButton();
    refresh();
    runButton(id);
    if (psr[PSR_SELECTED_BUTTON] == id && psr[PSR_PAGE] == page && !autoAction) {
        m_renderer.DrawSButton();
        refresh();
    }
    return true;
}

std::optional<HitBox> MenuSimulator::hitBox(std::size_t id) const {
    const TIGbutton* button = shownButton(id);
    if (!button) return std::nullopt;
    const std::uint16_t object = button->selected_start_object_id_ref;
    if (object == NoIGObject || object >= m_menu.IGObjects.size() || !m_menu.IGObjects[object].present())
        return std::nullopt;
    const TIGobject& o = m_menu.IGObjects[object];
    const int x = button->button_horizontal_position, y = button->button_vertical_position;
    return HitBox{x, y, x + o.object_width, y + o.object_height};
}

bool MenuSimulator::mouseDown(int pageX, int pageY) {
    const auto& psr = m_interpreter.regs.PSR;
    if (psr[PSR_SELECTED_BUTTON] >= 0xFFFF || psr[PSR_PAGE] >= 0xFFFF) return false;
    const auto box = hitBox(psr[PSR_SELECTED_BUTTON]);
    if (!box || !box->contains(pageX, pageY)) return false;
    return activate();
}

bool MenuSimulator::mouseMove(int pageX, int pageY) {
    const auto& psr = m_interpreter.regs.PSR;
    if (psr[PSR_SELECTED_BUTTON] >= 0xFFFF || psr[PSR_PAGE] >= 0xFFFF) return false;
    const auto own = hitBox(psr[PSR_SELECTED_BUTTON]);
    const bool hand = own && own->contains(pageX, pageY);
    for (const NavDirection direction :
         {NavDirection::Up, NavDirection::Down, NavDirection::Right, NavDirection::Left}) {
        const TIGbutton* selected = shownButton(psr[PSR_SELECTED_BUTTON]);
        if (!selected) break;
        const std::uint16_t to = neighbourOf(*selected, direction);
        if (to == psr[PSR_SELECTED_BUTTON]) continue;
        const auto box = hitBox(to);
        if (box && box->contains(pageX, pageY)) move(direction);
    }
    return hand;
}

bool MenuSimulator::animationTick() {
    bool drawn = false;
    const std::size_t selected = m_interpreter.regs.PSR[PSR_SELECTED_BUTTON];
    for (std::size_t id = 0; id < m_menu.ButtonStates.size(); ++id) {
        const TButtonState& state = m_menu.ButtonStates[id];
        if (id == selected) {
            if (state.selected_animated) {
                m_renderer.DrawSButt();
                drawn = true;
            }
            if (m_menu.ButtonStates[id].activated_animated) {
                m_renderer.DrawAButt();
                drawn = true;
            }
        } else if (state.enabled == 1 && state.normal_animated) {
            m_renderer.DrawButt(id);
            drawn = true;
        }
    }
    if (drawn) refresh();
    return drawn;
}

void MenuSimulator::userTimeOut() {
    const TPage* page = shownPage();
    if (!page) return;
    auto& psr = m_interpreter.regs.PSR;
    const std::uint16_t activated = page->default_activated_button_id_ref;
    if (psr[PSR_SELECTED_BUTTON] < m_menu.ButtonStates.size() && activated == ActivateSelected) {
        activate();
        return;
    }
    if (activated >= m_menu.ButtonStates.size() || m_menu.ButtonStates[activated].enabled != 1) return;
    const std::uint32_t pageIndex = psr[PSR_PAGE];
    const bool autoAction = buttonAutoAction(pageIndex, activated);
    if (psr[PSR_SELECTED_BUTTON] < NoButton) m_renderer.DrawButton(psr[PSR_SELECTED_BUTTON]);
    psr[PSR_SELECTED_BUTTON] = activated;
    m_renderer.DrawAButton();
    refresh();
    runButton(activated);
    if (psr[PSR_PAGE] == pageIndex && psr[PSR_SELECTED_BUTTON] == activated && !autoAction) {
        m_renderer.DrawSButton();
        refresh();
    }
}

// Forwarded to the front end's host.

ActivePage MenuSimulator::activePage() const {
    return m_outer ? m_outer->activePage() : ActivePage::Menu;
}

bool MenuSimulator::traceTicked() const {
    return m_outer && m_outer->traceTicked();
}

bool MenuSimulator::cancelRequested() const {
    return m_outer && m_outer->cancelRequested();
}

void MenuSimulator::report(std::string_view text) {
    if (m_outer) m_outer->report(text);
}

void MenuSimulator::showStatus(int panel, std::string_view text) {
    if (m_outer) m_outer->showStatus(panel, text);
}

void MenuSimulator::pumpEvents() {
    if (m_outer) m_outer->pumpEvents();
}

// Menu services over the model and the renderer.

std::size_t MenuSimulator::pageCount() const {
    return std::min(m_menu.IGSc.pages.size(), m_menu.PageButtons.size());
}

std::size_t MenuSimulator::pageButtonSlots(std::size_t page) const {
    return page < pageCount() ? m_menu.PageButtons[page].size() : 0;
}

bool MenuSimulator::buttonPresent(std::size_t page, std::size_t id) const {
    return page < pageCount() && m_menu.PageButtons[page].holds(id);
}

bool MenuSimulator::buttonAutoAction(std::size_t page, std::size_t id) const {
    return buttonPresent(page, id) && m_menu.PageButtons[page][id].auto_action_flag == 1;
}

std::vector<TNavCommand> MenuSimulator::buttonCommands(std::size_t page, std::size_t id) const {
    if (!buttonPresent(page, id)) return {};
    return m_menu.PageButtons[page][id].navigation_commands;
}

std::size_t MenuSimulator::outEffectCount(std::size_t page) const {
    return page < m_menu.IGSc.pages.size() ? m_menu.IGSc.pages[page].effect_sequences[1].effects.size() : 0;
}

bool MenuSimulator::showOutEffects() const {
    return m_options.ShowOutEffects;
}

void MenuSimulator::DrawButton(std::size_t id) {
    m_renderer.DrawButton(id);
}

void MenuSimulator::DelButton(std::size_t id) {
    m_renderer.DelButton(id);
}

void MenuSimulator::DrawSButton(std::size_t /*id*/) {
    // The interpreter calls it with PSR10 set to the id; the renderer draws PSR10.
    m_renderer.DrawSButton();
}

void MenuSimulator::DelPage() {
    m_renderer.DelPage();
}

void MenuSimulator::DrawEffects(std::size_t page) {
    if (page >= m_menu.IGSc.pages.size()) return;
    const Teffectseq sequence = m_menu.IGSc.pages[page].effect_sequences[1];
    corvane::DrawEffects(m_renderer, sequence);
}

void MenuSimulator::SetButtonStates(std::size_t page) {
    m_menu.ButtonStates = buildButtonStates(m_menu, page);
    m_statesPage = page;
    m_buttonList.clear();
    m_buttonList.reserve(m_menu.ButtonStates.size());
    for (std::size_t id = 0; id < m_menu.ButtonStates.size(); ++id) m_buttonList.push_back(hexText(id, 4));
    if (callbacks.buttonsListed) callbacks.buttonsListed();
    chooseButton(0);
}

void MenuSimulator::selectPage(std::size_t page) {
    if (page >= pageCount()) return;
    m_interpreter.regs.PSR[PSR_PAGE] = static_cast<std::uint32_t>(page);
    // SetButtonPage has built this page's states and enabled its button already; building
    // them again would put each BOG back on its default valid button.
    if (m_statesPage != page) SetButtonStates(page);
    updateAnimationInterval();
    if (callbacks.animationTimer)
        callbacks.animationTimer(m_options.ShowButtonAnimation && m_animationMs > 0, m_animationMs);
    if (callbacks.pageChanged) callbacks.pageChanged(page);
    m_renderer.DrawPage();
    refresh();
}

} // namespace corvane
