#include "menu/MenuStructure.h"

#include <algorithm>
#include <array>
#include <optional>
#include <set>
#include <span>
#include <string_view>

#include "io/TextUtil.h"
#include "menu/IGWriter.h"
#include "navigation/NavCommand.h"
#include "navigation/NavigationEdit.h"
#include "shell/Reporter.h"

namespace corvane {

namespace {

constexpr std::uint32_t OperandFlag = 0x80000000; // SetButtonPage: set this operand

std::uint8_t count8(std::size_t n) {
    return static_cast<std::uint8_t>(std::min<std::size_t>(n, 255));
}

TPage* findPage(TMenu& menu, std::size_t page) {
    return page < menu.IGSc.pages.size() ? &menu.IGSc.pages[page] : nullptr;
}

TIGbutton* findButton(TMenu& menu, std::size_t page, std::size_t bog, std::size_t button) {
    TPage* p = findPage(menu, page);
    if (!p || bog >= p->BOGs.size() || button >= p->BOGs[bog].buttons.size()) return nullptr;
    return &p->BOGs[bog].buttons[button];
}

Teffectseq* findSequence(TMenu& menu, std::size_t page, int sequence) {
    TPage* p = findPage(menu, page);
    if (!p || sequence < 0 || sequence > 1) return nullptr;
    return &p->effect_sequences[static_cast<std::size_t>(sequence)];
}

Teffect* findEffect(TMenu& menu, std::size_t page, int sequence, std::size_t effect) {
    Teffectseq* seq = findSequence(menu, page, sequence);
    return seq && effect < seq->effects.size() ? &seq->effects[effect] : nullptr;
}

// The counts of a page from its lists, its button table, and the composition's counts.
void recount(TMenu& menu, std::size_t page) {
    TIGSc& ics = menu.IGSc;
    if (page < ics.pages.size()) {
        TPage& p = ics.pages[page];
        for (Teffectseq& seq : p.effect_sequences) {
            seq.number_of_windows = count8(seq.windows.size());
            seq.number_of_effects = count8(seq.effects.size());
            for (Teffect& effect : seq.effects)
                effect.number_of_composition_objects = count8(effect.composition_objects.size());
        }
        p.number_of_BOGs = count8(p.BOGs.size());
        for (TBOG& bog : p.BOGs) bog.number_of_buttons = count8(bog.buttons.size());
        if (menu.PageButtons.size() < ics.pages.size()) menu.PageButtons.resize(ics.pages.size());
        menu.PageButtons[page] = buildPageButtons(p);
    }
    ics.number_of_pages = count8(ics.pages.size());
    ics.interactive_composition_length = compositionLength(ics);
}

bool idsFollowIndex(const TIGSc& ics) {
    for (std::size_t p = 0; p < ics.pages.size(); ++p)
        if (ics.pages[p].page_id != p) return false;
    return true;
}

std::optional<std::size_t> pageOfId(const TIGSc& ics, std::uint32_t id) {
    for (std::size_t p = 0; p < ics.pages.size(); ++p)
        if (ics.pages[p].page_id == id) return p;
    return std::nullopt;
}

bool holdsButton(const TPage& page, std::uint16_t id) {
    for (const TBOG& bog : page.BOGs)
        for (const TIGbutton& button : bog.buttons)
            if (button.button_id == id) return true;
    return false;
}

std::optional<std::uint16_t> freeButtonId(const TPage& page) {
    std::set<std::uint16_t> used;
    for (const TBOG& bog : page.BOGs)
        for (const TIGbutton& button : bog.buttons) used.insert(button.button_id);
    for (std::uint32_t id = 0; id <= MaxButtonId; ++id)
        if (!used.contains(static_cast<std::uint16_t>(id))) return static_cast<std::uint16_t>(id);
    return std::nullopt;
}

TIGbutton newButton(std::uint16_t id) {
    TIGbutton button = defaultButton();
    button.button_id = id;
    button.upper_button_id_ref = button.lower_button_id_ref = id;
    button.left_button_id_ref = button.right_button_id_ref = id;
    return button;
}

bool isSetButtonPage(std::uint32_t opcode) {
    return navOperation(opcode) == NavOperation::SetButtonPage;
}
bool isEnableDisable(std::uint32_t opcode) {
    const NavOperation op = navOperation(opcode);
    return op == NavOperation::EnableButton || op == NavOperation::DisableButton;
}

// Calls f(command, page index, button id, line) for every button command of the menu.
template <typename F> void forEachCommand(TIGSc& ics, F&& f) {
    for (std::size_t p = 0; p < ics.pages.size(); ++p)
        for (TBOG& bog : ics.pages[p].BOGs)
            for (TIGbutton& button : bog.buttons)
                for (std::size_t line = 0; line < button.navigation_commands.size(); ++line)
                    f(button.navigation_commands[line], p, button.button_id, line);
}

// The page a command's immediate page operand names: its id, when SetButtonPage sets a page.
std::optional<std::uint32_t> pageOperand(const TNavCommand& command) {
    if (!isSetButtonPage(command.opcode) || (command.source & OperandFlag) == 0 ||
        !sourceIsImmediate(command.opcode))
        return std::nullopt;
    return command.source & 0xFF;
}

// Page ids that followed their index: old id → new id for every page that moved, and the
// page operands of SetButtonPage with them.
void renumberPages(TMenu& menu, const std::vector<std::int32_t>& newIdOfOld) {
    TIGSc& ics = menu.IGSc;
    forEachCommand(ics, [&](TNavCommand& command, std::size_t, std::uint16_t, std::size_t) {
        const auto id = pageOperand(command);
        if (!id || *id >= newIdOfOld.size() || newIdOfOld[*id] < 0) return;
        command.source = (command.source & ~0xFFu) | static_cast<std::uint32_t>(newIdOfOld[*id]);
    });
    for (std::size_t p = 0; p < ics.pages.size(); ++p) ics.pages[p].page_id = static_cast<std::uint8_t>(p);
}

// Upkeep after buttons of page `page` were removed: `removed` holds the ids no longer on it.
void buttonsRemoved(TMenu& menu, std::size_t page, const std::set<std::uint16_t>& removed,
                    StructureEdit& edit) {
    if (removed.empty()) return;
    TIGSc& ics = menu.IGSc;
    TPage& p = ics.pages[page];
    auto none = [&](std::uint16_t& ref, std::uint16_t holder, const char* field) {
        if (!removed.contains(ref)) return;
        ref = NoButton;
        edit.references.push_back({MenuReference::Kind::Button, page, holder, 0, field, true, NoButton});
    };
    none(p.default_selected_button_id_ref, NoButton, "default selected button");
    none(p.default_activated_button_id_ref, NoButton, "default activated button");
    for (std::size_t b = 0; b < p.BOGs.size(); ++b) {
        TBOG& bog = p.BOGs[b];
        if (removed.contains(bog.default_valid_button_id_ref)) {
            bog.default_valid_button_id_ref = NoButton;
            edit.references.push_back(
                {MenuReference::Kind::Button, page, NoButton, b, "BOG default valid button", true, NoButton});
        }
        for (TIGbutton& button : bog.buttons) {
            const std::pair<std::uint16_t*, const char*> neighbours[] = {
                {&button.upper_button_id_ref, "upper"},
                {&button.lower_button_id_ref, "lower"},
                {&button.left_button_id_ref, "left"},
                {&button.right_button_id_ref, "right"}};
            for (const auto& [ref, field] : neighbours)
                if (removed.contains(*ref)) {
                    *ref = button.button_id;
                    edit.references.push_back({MenuReference::Kind::Button, page, button.button_id, 0, field,
                                               true, button.button_id});
                }
        }
    }
    forEachCommand(ics, [&](TNavCommand& command, std::size_t holder, std::uint16_t button,
                            std::size_t line) {
        std::optional<std::size_t> target = holder;
        if (isSetButtonPage(command.opcode)) {
            if ((command.destination & OperandFlag) == 0 || !destinationIsImmediate(command.opcode)) return;
            if (command.source & OperandFlag) {
                const auto id = pageOperand(command);
                target = id ? pageOfId(ics, *id) : std::nullopt;
            }
        } else if (!isEnableDisable(command.opcode) || !destinationIsImmediate(command.opcode)) {
            return;
        }
        const auto id = static_cast<std::uint16_t>(command.destination & 0xFFFF);
        if (target != page || !removed.contains(id)) return;
        edit.references.push_back(
            {MenuReference::Kind::Button, holder, button, line,
             isSetButtonPage(command.opcode) ? "SetButtonPage" : "EnableButton/DisableButton", false, id});
    });
}

std::set<std::uint16_t> goneIds(const TPage& page, const std::vector<TIGbutton>& removed) {
    std::set<std::uint16_t> gone;
    for (const TIGbutton& button : removed)
        if (!holdsButton(page, button.button_id)) gone.insert(button.button_id);
    return gone;
}

} // namespace

std::string menuReferenceText(const MenuReference& r) {
    using Kind = MenuReference::Kind;
    const char* what = r.kind == Kind::Page     ? "page"
                       : r.kind == Kind::Window ? "window"
                       : r.kind == Kind::Line   ? "line"
                                                : "button";
    std::string text = std::string(r.fixed ? "Removed " : "Invalid ") + what + " reference in page " +
                       std::to_string(r.page);
    if (r.kind == Kind::Window) text += ", effect " + std::to_string(r.index);
    if (r.field == "BOG default valid button") text += ", BOG " + std::to_string(r.index);
    if (r.button != NoButton) text += ", button " + hexText(r.button, 4);
    if (!r.fixed && r.kind != Kind::Window) text += ", command " + std::to_string(r.index);
    text += ": " + r.field;
    if (r.kind == Kind::Line) return text + " " + std::to_string(r.value);
    if (!r.fixed) return text + " " + hexText(r.value, r.kind == Kind::Button ? 4 : 2);
    return text + (r.value == NoButton ? " (now none)" : " (now " + hexText(r.value, 4) + ")");
}

void reportMenuReferences(Reporter& reporter, const StructureEdit& edit) {
    for (const MenuReference& reference : edit.references) reporter.erlog(menuReferenceText(reference));
    if (!edit.references.empty()) reporter.erslog("See Status");
}

bool insertPage(TMenu& menu, std::size_t position) {
    TIGSc& ics = menu.IGSc;
    if (ics.pages.size() >= MaxPages) return false;
    position = std::min(position, ics.pages.size());
    const bool follow = idsFollowIndex(ics);
    TPage page = createMenu().IGSc.pages[0];
    if (!follow) {
        std::set<std::uint32_t> used;
        for (const TPage& p : ics.pages) used.insert(p.page_id);
        std::uint32_t id = 0;
        while (used.contains(id)) ++id;
        if (id >= MaxPages) return false;
        page.page_id = static_cast<std::uint8_t>(id);
    }
    const std::size_t before = ics.pages.size();
    ics.pages.insert(ics.pages.begin() + static_cast<std::ptrdiff_t>(position), page);
    if (menu.PageButtons.size() < before) menu.PageButtons.resize(before);
    menu.PageButtons.insert(menu.PageButtons.begin() + static_cast<std::ptrdiff_t>(position), TPageButton{});
    if (follow) {
        std::vector<std::int32_t> map(before);
        for (std::size_t id = 0; id < before; ++id)
            map[id] = static_cast<std::int32_t>(id < position ? id : id + 1);
        renumberPages(menu, map);
    }
    recount(menu, position);
    return true;
}

StructureEdit deletePage(TMenu& menu, std::size_t page) {
    StructureEdit edit;
    TIGSc& ics = menu.IGSc;
    if (page >= ics.pages.size() || ics.pages.size() < 2) return edit;
    const bool follow = idsFollowIndex(ics);
    const std::uint8_t gone = ics.pages[page].page_id;
    ics.pages.erase(ics.pages.begin() + static_cast<std::ptrdiff_t>(page));
    if (page < menu.PageButtons.size())
        menu.PageButtons.erase(menu.PageButtons.begin() + static_cast<std::ptrdiff_t>(page));
    // References to the page itself stay (and are listed); the pages after it move down.
    forEachCommand(ics,
                   [&](TNavCommand& command, std::size_t holder, std::uint16_t button, std::size_t line) {
                       const auto id = pageOperand(command);
                       if (id && *id == gone && !pageOfId(ics, gone))
                           edit.references.push_back({MenuReference::Kind::Page, holder, button, line,
                                                      "SetButtonPage", false, gone});
                   });
    if (follow) {
        std::vector<std::int32_t> map(ics.pages.size() + 1);
        for (std::size_t id = 0; id < map.size(); ++id)
            map[id] = id < page    ? static_cast<std::int32_t>(id)
                      : id == page ? -1
                                   : static_cast<std::int32_t>(id - 1);
        renumberPages(menu, map);
    }
    recount(menu, ics.pages.size()); // the page count and length; no remaining page changed
    edit.changed = true;
    return edit;
}

bool insertBog(TMenu& menu, std::size_t page, std::size_t position) {
    TPage* p = findPage(menu, page);
    if (!p || p->BOGs.size() >= MaxBogs) return false;
    const auto id = freeButtonId(*p);
    if (!id) return false;
    TBOG bog;
    bog.default_valid_button_id_ref = *id;
    bog.buttons.push_back(newButton(*id));
    position = std::min(position, p->BOGs.size());
    p->BOGs.insert(p->BOGs.begin() + static_cast<std::ptrdiff_t>(position), bog);
    recount(menu, page);
    return true;
}

StructureEdit deleteBog(TMenu& menu, std::size_t page, std::size_t bog) {
    StructureEdit edit;
    TPage* p = findPage(menu, page);
    if (!p || bog >= p->BOGs.size()) return edit;
    const std::vector<TIGbutton> removed = p->BOGs[bog].buttons;
    p->BOGs.erase(p->BOGs.begin() + static_cast<std::ptrdiff_t>(bog));
    buttonsRemoved(menu, page, goneIds(*p, removed), edit);
    recount(menu, page);
    edit.changed = true;
    return edit;
}

bool insertButton(TMenu& menu, std::size_t page, std::size_t bog, std::size_t position) {
    TPage* p = findPage(menu, page);
    if (!p || bog >= p->BOGs.size() || p->BOGs[bog].buttons.size() >= MaxBogButtons) return false;
    const auto id = freeButtonId(*p);
    if (!id) return false;
    auto& buttons = p->BOGs[bog].buttons;
    position = std::min(position, buttons.size());
    buttons.insert(buttons.begin() + static_cast<std::ptrdiff_t>(position), newButton(*id));
    recount(menu, page);
    return true;
}

StructureEdit deleteButton(TMenu& menu, std::size_t page, std::size_t bog, std::size_t index) {
    StructureEdit edit;
    TPage* p = findPage(menu, page);
    if (!p || bog >= p->BOGs.size() || index >= p->BOGs[bog].buttons.size()) return edit;
    auto& buttons = p->BOGs[bog].buttons;
    const std::vector<TIGbutton> removed{buttons[index]};
    buttons.erase(buttons.begin() + static_cast<std::ptrdiff_t>(index));
    buttonsRemoved(menu, page, goneIds(*p, removed), edit);
    recount(menu, page);
    edit.changed = true;
    return edit;
}

bool insertButtonCommand(TMenu& menu, std::size_t page, std::size_t bog, std::size_t button,
                         std::int64_t after) {
    TIGbutton* b = findButton(menu, page, bog, button);
    if (!b || b->navigation_commands.size() >= MaxButtonCommands) return false;
    auto& commands = b->navigation_commands;
    const std::size_t line = after < 0 ? 0 : std::min(static_cast<std::size_t>(after) + 1, commands.size());
    commands.insert(commands.begin() + static_cast<std::ptrdiff_t>(line), TNavCommand{});
    updategotos(std::span<TNavCommand>(commands), static_cast<std::int64_t>(line) - 1, 1);
    b->number_of_navigation_commands = static_cast<std::uint16_t>(commands.size());
    recount(menu, page);
    return true;
}

StructureEdit deleteButtonCommands(TMenu& menu, std::size_t page, std::size_t bog, std::size_t button,
                                   std::size_t first, std::size_t last) {
    StructureEdit edit;
    TIGbutton* b = findButton(menu, page, bog, button);
    if (!b || first > last || first >= b->navigation_commands.size()) return edit;
    auto& commands = b->navigation_commands;
    last = std::min(last, commands.size() - 1);
    const std::size_t k = last - first + 1;
    commands.erase(commands.begin() + static_cast<std::ptrdiff_t>(first),
                   commands.begin() + static_cast<std::ptrdiff_t>(last + 1));
    std::vector<bool> intoRange(commands.size());
    for (std::size_t line = 0; line < commands.size(); ++line)
        intoRange[line] = commands[line].opcode == GoToImmediateOpcode &&
                          commands[line].destination >= first && commands[line].destination <= last;
    updategotos(std::span<TNavCommand>(commands), static_cast<std::int64_t>(first) - 1,
                -static_cast<std::int64_t>(k));
    for (std::size_t line = 0; line < commands.size(); ++line)
        if (intoRange[line])
            edit.references.push_back({MenuReference::Kind::Line, page, b->button_id, line, "GoTo", false,
                                       static_cast<std::uint16_t>(commands[line].destination)});
    b->number_of_navigation_commands = static_cast<std::uint16_t>(commands.size());
    recount(menu, page);
    edit.changed = true;
    return edit;
}

bool insertEffect(TMenu& menu, std::size_t page, int sequence, std::size_t position) {
    Teffectseq* seq = findSequence(menu, page, sequence);
    if (!seq || seq->effects.size() >= MaxEffects) return false;
    Teffect effect;
    effect.effect_duration = 9000;
    effect.palette_id_ref = menu.IGSc.pages[page].palette_id_ref;
    position = std::min(position, seq->effects.size());
    seq->effects.insert(seq->effects.begin() + static_cast<std::ptrdiff_t>(position), effect);
    recount(menu, page);
    return true;
}

bool deleteEffect(TMenu& menu, std::size_t page, int sequence, std::size_t effect) {
    Teffectseq* seq = findSequence(menu, page, sequence);
    if (!seq || effect >= seq->effects.size()) return false;
    seq->effects.erase(seq->effects.begin() + static_cast<std::ptrdiff_t>(effect));
    recount(menu, page);
    return true;
}

bool insertEffectWindow(TMenu& menu, std::size_t page, int sequence, std::size_t position) {
    Teffectseq* seq = findSequence(menu, page, sequence);
    if (!seq || seq->windows.size() >= MaxEffectWindows) return false;
    std::set<std::uint32_t> used;
    for (const TEffWindow& w : seq->windows) used.insert(w.window_id);
    std::uint32_t id = 0;
    while (used.contains(id)) ++id;
    if (id >= MaxEffectWindows) return false;
    const TEffWindow window{static_cast<std::uint8_t>(id), 0, 0, menu.IGSc.video_width,
                            menu.IGSc.video_height};
    position = std::min(position, seq->windows.size());
    seq->windows.insert(seq->windows.begin() + static_cast<std::ptrdiff_t>(position), window);
    recount(menu, page);
    return true;
}

StructureEdit deleteEffectWindow(TMenu& menu, std::size_t page, int sequence, std::size_t window) {
    StructureEdit edit;
    Teffectseq* seq = findSequence(menu, page, sequence);
    if (!seq || window >= seq->windows.size()) return edit;
    const std::uint8_t id = seq->windows[window].window_id;
    seq->windows.erase(seq->windows.begin() + static_cast<std::ptrdiff_t>(window));
    const bool stillThere = std::any_of(seq->windows.begin(), seq->windows.end(),
                                        [id](const TEffWindow& w) { return w.window_id == id; });
    if (!stillThere)
        for (std::size_t e = 0; e < seq->effects.size(); ++e)
            for (const TCompObject& object : seq->effects[e].composition_objects)
                if (object.window_id_ref == id)
                    edit.references.push_back({MenuReference::Kind::Window, page, NoButton, e,
                                               sequence == 0 ? "in effect object" : "out effect object",
                                               false, id});
    recount(menu, page);
    edit.changed = true;
    return edit;
}

bool insertCompObject(TMenu& menu, std::size_t page, int sequence, std::size_t effect, std::size_t position) {
    Teffect* e = findEffect(menu, page, sequence, effect);
    if (!e || e->composition_objects.size() >= MaxCompObjects) return false;
    const Teffectseq& seq = *findSequence(menu, page, sequence);
    TCompObject object;
    object.object_id_ref = NoIGObject;
    for (std::size_t id = 0; id < menu.IGObjects.size() && id < NoIGObject; ++id)
        if (menu.IGObjects[id].present()) {
            object.object_id_ref = static_cast<std::uint16_t>(id);
            break;
        }
    if (!seq.windows.empty()) {
        object.window_id_ref = seq.windows.front().window_id;
        object.composition_object_horizontal_position = seq.windows.front().window_horizontal_position;
        object.composition_object_vertical_position = seq.windows.front().window_vertical_position;
    }
    position = std::min(position, e->composition_objects.size());
    e->composition_objects.insert(e->composition_objects.begin() + static_cast<std::ptrdiff_t>(position),
                                  object);
    recount(menu, page);
    return true;
}

bool deleteCompObject(TMenu& menu, std::size_t page, int sequence, std::size_t effect, std::size_t object) {
    Teffect* e = findEffect(menu, page, sequence, effect);
    if (!e || object >= e->composition_objects.size()) return false;
    e->composition_objects.erase(e->composition_objects.begin() + static_cast<std::ptrdiff_t>(object));
    recount(menu, page);
    return true;
}

bool setCompObjectCropped(TMenu& menu, std::size_t page, int sequence, std::size_t effect, std::size_t object,
                          bool cropped) {
    Teffect* e = findEffect(menu, page, sequence, effect);
    if (!e || object >= e->composition_objects.size()) return false;
    TCompObject& o = e->composition_objects[object];
    if (o.cropped() == cropped) return false;
    if (cropped) {
        o.composition_flags |= 0x2;
        o.object_cropping_horizontal_position = 0;
        o.object_cropping_vertical_position = 0;
        std::uint16_t width = 0;
        std::uint16_t height = 0;
        if (o.object_id_ref < menu.IGObjects.size() && menu.IGObjects[o.object_id_ref].present()) {
            const TIGobject& source = menu.IGObjects[o.object_id_ref];
            width = source.index_picture ? static_cast<std::uint16_t>(source.index_picture->width)
                                         : source.object_width;
            height = source.index_picture ? static_cast<std::uint16_t>(source.index_picture->height)
                                          : source.object_height;
        } else {
            const Teffectseq& seq = *findSequence(menu, page, sequence);
            for (const TEffWindow& w : seq.windows)
                if (w.window_id == o.window_id_ref) {
                    width = w.window_width;
                    height = w.window_height;
                    break;
                }
        }
        o.object_cropping_width = width;
        o.object_cropping_height = height;
    } else {
        o.composition_flags &= static_cast<std::uint8_t>(~0x2u);
        o.object_cropping_horizontal_position = o.object_cropping_vertical_position = 0;
        o.object_cropping_width = o.object_cropping_height = 0;
    }
    recount(menu, page);
    return true;
}

bool setMenuVideoFormat(TMenu& menu, int item) {
    static constexpr std::array<std::pair<std::uint16_t, std::uint16_t>, 4> Sizes{
        {{1920, 1080}, {1280, 720}, {720, 576}, {720, 480}}};
    if (item < 0 || static_cast<std::size_t>(item) >= Sizes.size()) return false;
    TIGSc& ics = menu.IGSc;
    const auto [width, height] = Sizes[static_cast<std::size_t>(item)];
    if (ics.video_width == width && ics.video_height == height) return false;
    ics.video_width = width;
    ics.video_height = height;
    return true;
}

bool setMenuFrameRate(TMenu& menu, int item) {
    if (item < 0 || static_cast<std::size_t>(item) >= FrameRateNames.size() ||
        std::string_view(FrameRateNames[static_cast<std::size_t>(item)]) == "-")
        return false;
    if (menu.IGSc.frame_rate_id == item) return false;
    menu.IGSc.frame_rate_id = static_cast<std::uint8_t>(item);
    return true;
}

} // namespace corvane
