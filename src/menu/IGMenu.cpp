#include "menu/IGMenu.h"

#include <algorithm>
#include <cstdio>

#include "menu/IGWriter.h"

namespace corvane {

namespace {

const TIGbutton& emptyButton() {
    static const TIGbutton empty = [] {
        TIGbutton button;
        button.button_id = NoButton;
        return button;
    }();
    return empty;
}

bool within(std::uint16_t id, std::uint16_t start, std::uint16_t end) {
    return start <= id && id <= end;
}

bool effectsUse(const Teffectseq& sequence, std::uint16_t id) {
    for (const auto& effect : sequence.effects)
        for (const auto& object : effect.composition_objects)
            if (object.object_id_ref == id) return true;
    return false;
}

// The picture of an object read from the stream is its fragments decoded on first use, so
// whether that happened yet is no difference; an imported object's picture is its content.
bool sameObject(const TIGobject& a, const TIGobject& b) {
    const bool samePicture = a.index_picture == b.index_picture || !a.fragments.empty();
    return a.object_id == b.object_id && a.reserved == b.reserved && a.writer_order == b.writer_order &&
           a.rle_data_length == b.rle_data_length && a.object_width == b.object_width &&
           a.object_height == b.object_height && a.fragment_count == b.fragment_count &&
           a.fragments == b.fragments && samePicture;
}

} // namespace

const TIGbutton& TPageButton::operator[](std::size_t id) const {
    if (!holds(id)) return emptyButton();
    return m_buttons[m_slot[id] - 1u];
}

TIGbutton* TPageButton::find(std::size_t id) {
    return holds(id) ? &m_buttons[m_slot[id] - 1u] : nullptr;
}

void TPageButton::put(const TIGbutton& button) {
    if (button.button_id >= m_slot.size()) m_slot.resize(button.button_id + 1u, 0);
    std::uint16_t& slot = m_slot[button.button_id];
    if (slot != 0) {
        m_buttons[slot - 1u] = button;
        return;
    }
    m_buttons.push_back(button);
    slot = static_cast<std::uint16_t>(m_buttons.size());
}

int videoFormatIndex(const TIGSc& ics) {
    int index = -1;
    if (ics.video_width == 1920) index = 0;
    if (ics.video_width == 1280) index = 1;
    if (ics.video_height == 576) index = 2;
    if (ics.video_height == 480) index = 3;
    return index;
}

std::string menuTimeOutText(std::uint32_t ticks) {
    const std::uint32_t seconds = ticks / 90000;
    char text[32];
    std::snprintf(text, sizeof text, "%u:%02u:%02u", seconds / 3600, seconds / 60 % 60, seconds % 60);
    return text;
}

std::string menuInTimeText(std::uint32_t ticks) {
    const std::uint32_t milliseconds = static_cast<std::uint32_t>(std::uint64_t{ticks} * 1000 / 90000);
    char text[16];
    std::snprintf(text, sizeof text, ".%03u", milliseconds % 1000);
    return menuTimeOutText(ticks) + text;
}

std::size_t pageButtonCount(const TPage& page) {
    std::size_t count = 0;
    for (const auto& bog : page.BOGs) count += bog.buttons.size();
    return count;
}

TPageButton buildPageButtons(const TPage& page) {
    TPageButton table;
    table.resize(pageButtonCount(page));
    for (const auto& bog : page.BOGs)
        for (const auto& button : bog.buttons) table.put(button);
    return table;
}

TIGbutton defaultButton() {
    TIGbutton button;
    button.button_id = 0;
    button.button_numeric_select_value = 0xFFFF;
    button.normal_start_object_id_ref = NoIGObject;
    button.normal_end_object_id_ref = NoIGObject;
    button.selected_start_object_id_ref = NoIGObject;
    button.selected_end_object_id_ref = NoIGObject;
    button.activated_start_object_id_ref = NoIGObject;
    button.activated_end_object_id_ref = NoIGObject;
    button.selected_state_sound_id_ref = 255;
    button.activated_state_sound_id_ref = 255;
    return button;
}

bool sameMenuContent(const TMenu& a, const TMenu& b) {
    const bool sameData = a.MenuDataFile == b.MenuDataFile ||
                          (a.MenuDataFile && b.MenuDataFile && *a.MenuDataFile == *b.MenuDataFile);
    return sameData && a.IGSc == b.IGSc && a.MenuInTime == b.MenuInTime && a.PageButtons == b.PageButtons &&
           std::equal(a.IGObjects.begin(), a.IGObjects.end(), b.IGObjects.begin(), b.IGObjects.end(),
                      sameObject) &&
           a.IGPalettes == b.IGPalettes;
}

TMenu createMenu() {
    TMenu menu;
    TIGSc& ics = menu.IGSc;
    ics.video_width = 1920;
    ics.video_height = 1080;
    ics.frame_rate_id = 1;
    ics.stream_ui_model = 3;
    ics.number_of_pages = 1;
    menu.MenuInTime = 180000;

    TPage page;
    page.animation_frame_rate_code = 1;
    TBOG bog;
    bog.default_valid_button_id_ref = NoButton;
    bog.number_of_buttons = 1;
    bog.buttons.push_back(defaultButton());
    page.number_of_BOGs = 1;
    page.BOGs.push_back(bog);
    ics.pages.push_back(page);
    ics.interactive_composition_length = compositionLength(ics);
    menu.PageButtons.push_back(buildPageButtons(page));
    return menu;
}

std::string getobjref(const TMenu& menu, std::uint16_t objectId) {
    std::string result;
    const auto& pages = menu.IGSc.pages;
    for (std::size_t p = 0; p < pages.size(); ++p) {
        std::string letters;
        if (effectsUse(pages[p].effect_sequences[0], objectId)) letters += 'i';
        if (effectsUse(pages[p].effect_sequences[1], objectId)) letters += 'o';
        if (!letters.empty()) result += std::to_string(p) + letters + ' ';

        if (p >= menu.PageButtons.size()) continue;
        const TPageButton& table = menu.PageButtons[p];
        std::string buttons;
        for (std::size_t b = 0; b < table.size(); ++b) {
            // Empty slots hold no button; their zero fields would claim object 0.
            if (!table.holds(b)) continue;
            const TIGbutton& button = table[b];
            std::string states;
            if (within(objectId, button.normal_start_object_id_ref, button.normal_end_object_id_ref))
                states += 'n';
            if (within(objectId, button.selected_start_object_id_ref, button.selected_end_object_id_ref))
                states += 's';
            if (within(objectId, button.activated_start_object_id_ref, button.activated_end_object_id_ref))
                states += 'a';
            if (!states.empty()) buttons += std::to_string(b) + states + ',';
        }
        if (!buttons.empty()) {
            buttons.pop_back();
            result += std::to_string(p) + ':' + buttons + ' ';
        }
    }
    if (!result.empty()) result.pop_back();
    return result;
}

std::optional<std::uint8_t> objectPalette(const TMenu& menu, std::uint16_t objectId) {
    const auto& pages = menu.IGSc.pages;
    for (std::size_t p = 0; p < pages.size(); ++p) {
        const TPage& page = pages[p];
        const auto& in = page.effect_sequences[0].effects;
        const auto& out = page.effect_sequences[1].effects;
        if (effectsUse(page.effect_sequences[0], objectId))
            return in.empty() ? std::nullopt : std::optional<std::uint8_t>(in.back().palette_id_ref);
        if (effectsUse(page.effect_sequences[1], objectId))
            return out.empty() ? std::nullopt : std::optional<std::uint8_t>(out.front().palette_id_ref);
        if (p >= menu.PageButtons.size()) continue;
        const TPageButton& table = menu.PageButtons[p];
        for (std::size_t b = 0; b < table.size(); ++b) {
            if (!table.holds(b)) continue;
            const TIGbutton& button = table[b];
            if (within(objectId, button.normal_start_object_id_ref, button.normal_end_object_id_ref) ||
                within(objectId, button.selected_start_object_id_ref, button.selected_end_object_id_ref) ||
                within(objectId, button.activated_start_object_id_ref, button.activated_end_object_id_ref))
                return page.palette_id_ref;
        }
    }
    return std::nullopt;
}

} // namespace corvane
