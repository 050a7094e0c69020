#include "menu/MenuEdit.h"

#include <algorithm>
#include <cctype>

#include "io/TextUtil.h"
#include "menu/PageRender.h"
#include "navigation/CommandText.h"

namespace corvane {

namespace {

TPage* findPage(TMenu& menu, std::size_t page) {
    return page < menu.IGSc.pages.size() ? &menu.IGSc.pages[page] : nullptr;
}
const TPage* findPage(const TMenu& menu, std::size_t page) {
    return page < menu.IGSc.pages.size() ? &menu.IGSc.pages[page] : nullptr;
}

TIGbutton* findButton(TMenu& menu, std::size_t page, std::size_t bog, std::size_t index) {
    TPage* p = findPage(menu, page);
    if (!p || bog >= p->BOGs.size() || index >= p->BOGs[bog].buttons.size()) return nullptr;
    return &p->BOGs[bog].buttons[index];
}
const TIGbutton* findButton(const TMenu& menu, std::size_t page, std::size_t bog, std::size_t index) {
    const TPage* p = findPage(menu, page);
    if (!p || bog >= p->BOGs.size() || index >= p->BOGs[bog].buttons.size()) return nullptr;
    return &p->BOGs[bog].buttons[index];
}

void copyToPageButtons(TMenu& menu, std::size_t page, const TIGbutton& button) {
    if (page < menu.PageButtons.size()) menu.PageButtons[page].put(button);
}

// A masked cell still holding a blank was not filled completely.
bool hasBlank(std::string_view text) {
    return std::any_of(text.begin(), text.end(), [](unsigned char c) { return std::isspace(c) != 0; });
}

bool isHexDigit(char c) {
    return std::isxdigit(static_cast<unsigned char>(c)) != 0;
}

// Hex text (non-hex characters skipped) as a value up to `max`; nothing for a text without
// hex digits or a value past `max` (counted by digits, so long texts cannot wrap).
std::optional<std::uint32_t> readHex(std::string_view text, std::uint32_t max) {
    int digits = 0;
    int significant = 0;
    for (char c : text) {
        if (!isHexDigit(c)) continue;
        ++digits;
        if (significant > 0 || c != '0') ++significant;
    }
    if (digits == 0 || significant > 8) return std::nullopt;
    const std::uint64_t value = hexToNumber(text);
    if (value > max) return std::nullopt;
    return static_cast<std::uint32_t>(value);
}

int hexDigitCount(std::string_view text) {
    return static_cast<int>(std::count_if(text.begin(), text.end(), isHexDigit));
}

// Unsigned decimal of 1 to `maxDigits` digits and nothing else.
std::optional<std::uint32_t> readDecimal(std::string_view text, std::size_t maxDigits) {
    if (text.empty() || text.size() > maxDigits) return std::nullopt;
    std::uint32_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + static_cast<std::uint32_t>(c - '0');
    }
    return value;
}

// ">L" cells: "Y" sets the flag, any other letter clears it.
std::optional<std::uint8_t> readYesNo(std::string_view text) {
    if (text.empty() || !std::isalpha(static_cast<unsigned char>(text.front()))) return std::nullopt;
    return (text.front() == 'Y' || text.front() == 'y') ? 1 : 0;
}

std::string yesNo(std::uint8_t flag) {
    return flag ? "Yes" : "No";
}

// The fields of one button state and their columns.
struct StateFields {
    std::uint16_t* start;
    std::uint16_t* end;
    std::uint8_t* repeat; // none for the activated state
    int startColumn;
    int endColumn;
    int repeatColumn;
};

std::optional<StateFields> stateOfColumn(TIGbutton& b, int column) {
    switch (column) {
    case ColNormalStart:
    case ColNormalEnd:
    case ColNormalRepeat:
        return StateFields{&b.normal_start_object_id_ref,
                           &b.normal_end_object_id_ref,
                           &b.normal_repeat_flag,
                           ColNormalStart,
                           ColNormalEnd,
                           ColNormalRepeat};
    case ColSelectedStart:
    case ColSelectedEnd:
    case ColSelectedRepeat:
        return StateFields{&b.selected_start_object_id_ref,
                           &b.selected_end_object_id_ref,
                           &b.selected_repeat_flag,
                           ColSelectedStart,
                           ColSelectedEnd,
                           ColSelectedRepeat};
    case ColActivatedStart:
    case ColActivatedEnd:
        return StateFields{&b.activated_start_object_id_ref,
                           &b.activated_end_object_id_ref,
                           nullptr,
                           ColActivatedStart,
                           ColActivatedEnd,
                           -1};
    default:
        return std::nullopt;
    }
}

std::vector<std::string> commandRow(const TNavCommand& command, std::size_t line) {
    const CommandCells cells =
        comm2str(command, static_cast<int>(std::min<std::size_t>(line, 0x7FFFFFFF)), CommandContext::Button);
    return {cells.no, cells.opcode, cells.destination, cells.source, cells.line};
}

std::vector<std::string> emptyCommandRow() {
    return std::vector<std::string>(CommandTableHeaders.size());
}

template <typename Menu>
auto findEffect(Menu& menu, std::size_t page, int sequence, std::size_t effect)
    -> decltype(&menu.IGSc.pages[0].effect_sequences[0].effects[0]) {
    auto* p = findPage(menu, page);
    if (!p || sequence < 0 || sequence > 1) return nullptr;
    auto& effects = p->effect_sequences[static_cast<std::size_t>(sequence)].effects;
    return effect < effects.size() ? &effects[effect] : nullptr;
}

} // namespace

// ---- Page header -------------------------------------------------------------------

PageHeaderTexts pageHeaderTexts(const TMenu& menu, std::size_t page) {
    PageHeaderTexts t;
    const TPage* p = findPage(menu, page);
    if (!p) return t;
    t.heUO1 = hexText(p->UO_mask_table[0], 8);
    t.heUO2 = hexText(p->UO_mask_table[1], 8);
    t.ieFramerate = std::to_string(p->animation_frame_rate_code);
    t.heDefSelButt = hexText(p->default_selected_button_id_ref, 4);
    t.heDefActButt = hexText(p->default_activated_button_id_ref, 4);
    t.hePalette = hexText(p->palette_id_ref, 2);
    t.ieInEffWin = std::to_string(p->effect_sequences[0].windows.size());
    t.ieInEffEff = std::to_string(p->effect_sequences[0].effects.size());
    t.ieOutEffWin = std::to_string(p->effect_sequences[1].windows.size());
    t.ieOutEffEff = std::to_string(p->effect_sequences[1].effects.size());
    t.ieBOGs = std::to_string(p->BOGs.size());
    return t;
}

namespace {
template <typename Field>
bool storeHex(TMenu& menu, std::size_t page, std::string_view text, std::uint32_t max, Field TPage::*field) {
    TPage* p = findPage(menu, page);
    if (!p) return false;
    const auto value = readHex(text, max);
    if (!value || p->*field == static_cast<Field>(*value)) return false;
    p->*field = static_cast<Field>(*value);
    return true;
}
} // namespace

bool setUOMask(TMenu& menu, std::size_t page, UOWord word, std::string_view text) {
    TPage* p = findPage(menu, page);
    if (!p) return false;
    const auto value = readHex(text, 0xFFFFFFFFu);
    std::uint32_t& held = p->UO_mask_table[static_cast<std::size_t>(word)];
    if (!value || held == *value) return false;
    held = *value;
    return true;
}

bool setAnimationFrameRateCode(TMenu& menu, std::size_t page, std::string_view text) {
    TPage* p = findPage(menu, page);
    if (!p) return false;
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    const auto value = readDecimal(text, 3);
    if (!value) return false;
    const auto code = static_cast<std::uint8_t>(*value & 0xFF);
    if (p->animation_frame_rate_code == code) return false;
    p->animation_frame_rate_code = code;
    return true;
}

bool setDefaultSelectedButton(TMenu& menu, std::size_t page, std::string_view text) {
    return storeHex(menu, page, text, 0xFFFF, &TPage::default_selected_button_id_ref);
}

bool setDefaultActivatedButton(TMenu& menu, std::size_t page, std::string_view text) {
    return storeHex(menu, page, text, 0xFFFF, &TPage::default_activated_button_id_ref);
}

bool setPagePalette(TMenu& menu, std::size_t page, std::string_view text) {
    return storeHex(menu, page, text, 0xFF, &TPage::palette_id_ref);
}

std::string userTimeOutText(const TMenu& menu) {
    return menuTimeOutText(menu.IGSc.user_time_out_duration);
}

TimeOutEdit setUserTimeOut(TMenu& menu, std::string_view text) {
    std::array<std::uint32_t, 3> parts{};
    std::size_t start = 0;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const std::size_t colon = i + 1 < parts.size() ? text.find(':', start) : text.size();
        if (colon == std::string_view::npos) return TimeOutEdit::BadText;
        const auto value = readDecimal(text.substr(start, colon - start), i == 0 ? 5 : 2);
        if (!value) return TimeOutEdit::BadText;
        parts[i] = *value;
        start = colon + 1;
    }
    if (parts[1] > 59 || parts[2] > 59) return TimeOutEdit::BadText;
    const std::uint64_t seconds = std::uint64_t{parts[0]} * 3600 + parts[1] * 60 + parts[2];
    const std::uint64_t ticks = seconds * 90000;
    if (ticks > MaxUserTimeOut) return TimeOutEdit::TooLong;
    // Leaving the field as shown keeps a held time that has a fraction of a second.
    if (seconds == menu.IGSc.user_time_out_duration / 90000) return TimeOutEdit::Unchanged;
    menu.IGSc.user_time_out_duration = static_cast<std::uint32_t>(ticks);
    return TimeOutEdit::Stored;
}

// ---- BOG table -----------------------------------------------------------------------

std::vector<std::array<std::string, 3>> bogColumns(const TMenu& menu, std::size_t page) {
    std::vector<std::array<std::string, 3>> columns;
    if (const TPage* p = findPage(menu, page))
        for (std::size_t i = 0; i < p->BOGs.size(); ++i)
            columns.push_back({std::to_string(i), hexText(p->BOGs[i].default_valid_button_id_ref, 4),
                               std::to_string(p->BOGs[i].buttons.size())});
    if (columns.empty()) columns.emplace_back();
    return columns;
}

std::string bogEditMask(int row) {
    switch (row) {
    case 1:
        return ">AAAA";
    case 2:
        return "-";
    default:
        return "";
    }
}

bool setBogCell(TMenu& menu, std::size_t page, std::size_t bog, int row, std::string_view text,
                std::size_t shownPage) {
    TPage* p = findPage(menu, page);
    if (!p || bog >= p->BOGs.size() || row != 1 || hasBlank(text)) return false;
    const auto value = readHex(text, 0xFFFF);
    if (!value || (*value != NoButton && *value >= pageButtonLimit(menu, page))) return false;
    std::uint16_t& held = p->BOGs[bog].default_valid_button_id_ref;
    const bool changed = held != *value;
    held = static_cast<std::uint16_t>(*value);
    if (page == shownPage) menu.ButtonStates = buildButtonStates(menu, page);
    return changed;
}

// ---- Button table ----------------------------------------------------------------------

std::string buttonCellText(const TIGbutton& b, int column) {
    switch (column) {
    case ColId:
        return hexText(b.button_id, 4);
    case ColValue:
        return hexText(b.button_numeric_select_value, 4);
    case ColAutoAction:
        return yesNo(b.auto_action_flag);
    case ColX:
        return std::to_string(b.button_horizontal_position);
    case ColY:
        return std::to_string(b.button_vertical_position);
    case ColUpper:
        return hexText(b.upper_button_id_ref, 4);
    case ColLower:
        return hexText(b.lower_button_id_ref, 4);
    case ColLeft:
        return hexText(b.left_button_id_ref, 4);
    case ColRight:
        return hexText(b.right_button_id_ref, 4);
    case ColNormalStart:
        return hexText(b.normal_start_object_id_ref, 4);
    case ColNormalEnd:
        return hexText(b.normal_end_object_id_ref, 4);
    case ColNormalRepeat:
        return yesNo(b.normal_repeat_flag);
    case ColSelectedSound:
        return hexText(b.selected_state_sound_id_ref, 2);
    case ColSelectedStart:
        return hexText(b.selected_start_object_id_ref, 4);
    case ColSelectedEnd:
        return hexText(b.selected_end_object_id_ref, 4);
    case ColSelectedRepeat:
        return yesNo(b.selected_repeat_flag);
    case ColActivatedSound:
        return hexText(b.activated_state_sound_id_ref, 2);
    case ColActivatedStart:
        return hexText(b.activated_start_object_id_ref, 4);
    case ColActivatedEnd:
        return hexText(b.activated_end_object_id_ref, 4);
    case ColCommands:
        return std::to_string(b.navigation_commands.size());
    default:
        return "";
    }
}

std::vector<std::string> buttonRowTexts(const TIGbutton& button) {
    std::vector<std::string> row;
    row.reserve(ButtonColumns);
    for (int column = 0; column < ButtonColumns; ++column) row.push_back(buttonCellText(button, column));
    return row;
}

std::vector<std::vector<std::string>> buttonRows(const TMenu& menu, std::size_t page, std::size_t bog) {
    std::vector<std::vector<std::string>> rows;
    const TPage* p = findPage(menu, page);
    if (!p || bog >= p->BOGs.size()) return rows;
    for (const TIGbutton& button : p->BOGs[bog].buttons) rows.push_back(buttonRowTexts(button));
    return rows;
}

std::string buttonEditMask(int column) {
    switch (column) {
    case ColValue:
    case ColUpper:
    case ColLower:
    case ColLeft:
    case ColRight:
    case ColNormalStart:
    case ColNormalEnd:
    case ColSelectedStart:
    case ColSelectedEnd:
    case ColActivatedStart:
    case ColActivatedEnd:
        return ">AAAA";
    case ColAutoAction:
    case ColNormalRepeat:
    case ColSelectedRepeat:
        return ">L";
    case ColX:
    case ColY:
        return "9999";
    case ColSelectedSound:
    case ColActivatedSound:
        return ">AA";
    case ColCommands:
        return "-";
    default:
        return "";
    }
}

std::size_t pageButtonLimit(const TMenu& menu, std::size_t page) {
    return page < menu.PageButtons.size() ? menu.PageButtons[page].size() : 0;
}

ButtonCellEdit setButtonCell(TMenu& menu, std::size_t page, std::size_t bog, std::size_t buttonIndex,
                             int column, std::string_view text, std::size_t soundCount) {
    ButtonCellEdit result;
    TIGbutton* b = findButton(menu, page, bog, buttonIndex);
    if (!b || column < 0 || column >= ButtonColumns) return result;
    result.refresh.push_back(column);
    if (hasBlank(text)) return result;

    const TIGbutton before = *b;
    const std::size_t buttons = pageButtonLimit(menu, page);
    const std::size_t objects = menu.IGObjects.size();
    auto sound = [&](std::uint16_t& field) {
        const auto v = readHex(text, 0xFF);
        if (v && (*v < soundCount || *v == 0xFF)) field = static_cast<std::uint16_t>(*v);
    };
    auto neighbour = [&](std::uint16_t& field) {
        const auto v = readHex(text, 0xFFFF);
        if (v && *v < buttons) field = static_cast<std::uint16_t>(*v);
    };

    switch (column) {
    case ColValue:
        if (const auto v = readHex(text, 0xFFFF))
            b->button_numeric_select_value = static_cast<std::uint16_t>(*v);
        break;
    case ColAutoAction:
        if (const auto f = readYesNo(text)) b->auto_action_flag = *f;
        break;
    case ColX:
        if (const auto v = readDecimal(text, 9); v && *v < menu.IGSc.video_width)
            b->button_horizontal_position = static_cast<std::uint16_t>(*v);
        break;
    case ColY:
        if (const auto v = readDecimal(text, 9); v && *v < menu.IGSc.video_height)
            b->button_vertical_position = static_cast<std::uint16_t>(*v);
        break;
    case ColUpper:
        neighbour(b->upper_button_id_ref);
        break;
    case ColLower:
        neighbour(b->lower_button_id_ref);
        break;
    case ColLeft:
        neighbour(b->left_button_id_ref);
        break;
    case ColRight:
        neighbour(b->right_button_id_ref);
        break;
    case ColSelectedSound:
        sound(b->selected_state_sound_id_ref);
        break;
    case ColActivatedSound:
        sound(b->activated_state_sound_id_ref);
        break;
    case ColNormalStart:
    case ColSelectedStart:
    case ColActivatedStart:
    case ColNormalEnd:
    case ColSelectedEnd:
    case ColActivatedEnd: {
        const StateFields s = *stateOfColumn(*b, column);
        const auto v = readHex(text, 0xFFFF);
        if (!v || *v >= objects) break;
        if (column == s.startColumn) {
            *s.start = static_cast<std::uint16_t>(*v);
            // An end of "none" or below the new start follows the start.
            if (*s.end == NoIGObject || *s.end < *s.start) {
                *s.end = *s.start;
                result.refresh.push_back(s.endColumn);
            }
        } else {
            *s.end = static_cast<std::uint16_t>(*v);
        }
        // A state of one object does not animate, so it cannot repeat.
        if (s.repeat && *s.start == *s.end && *s.repeat != 0) {
            *s.repeat = 0;
            result.refresh.push_back(s.repeatColumn);
        }
        break;
    }
    case ColNormalRepeat:
    case ColSelectedRepeat: {
        const StateFields s = *stateOfColumn(*b, column);
        if (const auto f = readYesNo(text)) *s.repeat = *s.start == *s.end ? 0 : *f;
        break;
    }
    default: // id and comm. are not editable
        break;
    }

    result.changed = *b != before;
    if (result.changed) copyToPageButtons(menu, page, *b);
    return result;
}

std::optional<std::uint16_t> buttonCellObject(const TIGbutton& b, int column) {
    switch (column) {
    case ColNormalStart:
        return b.normal_start_object_id_ref;
    case ColNormalEnd:
        return b.normal_end_object_id_ref;
    case ColSelectedStart:
        return b.selected_start_object_id_ref;
    case ColSelectedEnd:
        return b.selected_end_object_id_ref;
    case ColActivatedStart:
        return b.activated_start_object_id_ref;
    case ColActivatedEnd:
        return b.activated_end_object_id_ref;
    default:
        return std::nullopt;
    }
}

// ---- Double click ------------------------------------------------------------------------

ButtonDblClickPlan buttonDblClickPlan(const TMenu& menu, std::size_t page, std::size_t bog,
                                      std::size_t buttonIndex, int column, std::size_t soundCount) {
    ButtonDblClickPlan plan;
    const TIGbutton* b = findButton(menu, page, bog, buttonIndex);
    if (!b) return plan;

    if (column == ColSelectedSound || column == ColActivatedSound) {
        const std::uint16_t id =
            column == ColSelectedSound ? b->selected_state_sound_id_ref : b->activated_state_sound_id_ref;
        if (id < soundCount) {
            plan.action = ButtonDblClickPlan::Action::PlaySound;
            plan.sound = id;
        }
        return plan;
    }

    std::uint16_t start = 0, end = 0;
    switch (column) {
    case ColNormalStart:
    case ColNormalEnd:
        plan.state = ButtonAnimState::Normal;
        start = b->normal_start_object_id_ref;
        end = b->normal_end_object_id_ref;
        plan.repeat = b->normal_repeat_flag != 0;
        break;
    case ColSelectedStart:
    case ColSelectedEnd:
        plan.state = ButtonAnimState::Selected;
        start = b->selected_start_object_id_ref;
        end = b->selected_end_object_id_ref;
        plan.repeat = b->selected_repeat_flag != 0;
        break;
    case ColActivatedStart:
    case ColActivatedEnd:
        plan.state = ButtonAnimState::Activated;
        start = b->activated_start_object_id_ref;
        end = b->activated_end_object_id_ref;
        break;
    default:
        return plan;
    }
    plan.action = ButtonDblClickPlan::Action::Animate;
    const bool atStart =
        column == ColNormalStart || column == ColSelectedStart || column == ColActivatedStart;
    plan.finalObject = atStart ? start : end;
    // int, so that an end of 0xFFFF ends the loop; objects past the list end it too.
    const int last =
        std::min<int>(end, static_cast<int>(std::min<std::size_t>(menu.IGObjects.size(), 0x10000)) - 1);
    for (int object = start; object <= last; ++object)
        plan.frames.push_back(static_cast<std::uint16_t>(object));
    // Nothing to show: a repeat would only spin until Cancel.
    if (plan.frames.empty()) plan.repeat = false;
    plan.frameMs = animationFrameMs(menu.IGSc.frame_rate_id, menu.IGSc.pages[page].animation_frame_rate_code)
                       .value_or(0);
    return plan;
}

// ---- Button commands ---------------------------------------------------------------------

std::vector<std::vector<std::string>> commandRows(const TIGbutton& button) {
    std::vector<std::vector<std::string>> rows;
    for (std::size_t line = 0; line < button.navigation_commands.size(); ++line)
        rows.push_back(commandRow(button.navigation_commands[line], line));
    if (rows.empty()) rows.push_back(emptyCommandRow());
    return rows;
}

std::string commandEditMask(const TIGbutton& button, int column) {
    return (column >= 1 && column <= 3 && !button.navigation_commands.empty()) ? ">AAAAAAAA" : "";
}

CommandCellEdit setCommandCell(TMenu& menu, std::size_t page, std::size_t bog, std::size_t buttonIndex,
                               std::size_t line, int column, std::string_view text) {
    CommandCellEdit result;
    TIGbutton* b = findButton(menu, page, bog, buttonIndex);
    if (!b || line >= b->navigation_commands.size()) {
        result.row = emptyCommandRow();
        return result;
    }
    TNavCommand& command = b->navigation_commands[line];
    if (column >= 1 && column <= 3 && !hasBlank(text) && hexDigitCount(text) == 8) {
        const auto word = static_cast<std::uint32_t>(hexToNumber(text));
        std::uint32_t& field =
            column == 1 ? command.opcode : (column == 2 ? command.destination : command.source);
        if (field != word) {
            field = word;
            result.changed = true;
            b->number_of_navigation_commands = static_cast<std::uint16_t>(b->navigation_commands.size());
            copyToPageButtons(menu, page, *b);
        }
    }
    result.row = commandRow(command, line);
    return result;
}

// ---- Crop fields -------------------------------------------------------------------------

CropFields cropFields(const TMenu& menu, std::size_t page, int sequence, std::size_t effect,
                      std::size_t compObject) {
    CropFields fields;
    const Teffect* e = findEffect(menu, page, sequence, effect);
    if (!e || compObject >= e->composition_objects.size()) return fields;
    const TCompObject& o = e->composition_objects[compObject];
    fields.exists = true;
    fields.cropped = o.cropped();
    if (fields.cropped)
        fields.values = {o.object_cropping_horizontal_position, o.object_cropping_vertical_position,
                         o.object_cropping_width, o.object_cropping_height};
    return fields;
}

bool setCropField(TMenu& menu, std::size_t page, int sequence, std::size_t effect, std::size_t compObject,
                  CropField field, std::int64_t value) {
    Teffect* e = findEffect(menu, page, sequence, effect);
    if (!e || compObject >= e->composition_objects.size() || value < 0 || value > 0xFFFF) return false;
    TCompObject& o = e->composition_objects[compObject];
    if (!o.cropped()) return false;
    std::uint16_t* target = nullptr;
    switch (field) {
    case CropField::X:
        target = &o.object_cropping_horizontal_position;
        break;
    case CropField::Y:
        target = &o.object_cropping_vertical_position;
        break;
    case CropField::W:
        target = &o.object_cropping_width;
        break;
    case CropField::H:
        target = &o.object_cropping_height;
        break;
    }
    if (!target || *target == value) return false;
    *target = static_cast<std::uint16_t>(value);
    return true;
}

} // namespace corvane
