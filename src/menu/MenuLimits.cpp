#include "menu/MenuLimits.h"

#include <algorithm>
#include <map>
#include <set>

#include "menu/IGWriter.h"
#include "shell/Reporter.h"

namespace corvane {

namespace {

constexpr std::size_t MaxCount8 = 255;
constexpr std::uint32_t MaxLength24 = 0xFFFFFF;
constexpr std::size_t ReservedPaletteEntry = 255;

using Where = std::vector<std::pair<std::string, std::int64_t>>;

class Checker {
public:
    explicit Checker(const TMenu& menu) : m_menu(menu), m_ics(menu.IGSc) {}

    std::vector<MenuLimitFinding> run() {
        counts();
        composition();
        objects();
        palettes();
        for (std::size_t p = 0; p < m_ics.pages.size(); ++p) page(p);
        return std::move(m_findings);
    }

private:
    void add(bool error, std::string code, Where where, std::string message) {
        m_findings.push_back({error, std::move(code), std::move(where), std::move(message)});
    }
    void overField(Where where, std::size_t count, const std::string& what) {
        if (count > MaxCount8)
            add(true, "menu-count-over-field", std::move(where),
                "It holds " + std::to_string(count) + " " + what + "; the format counts at most 255.");
    }

    void counts() {
        overField({}, m_ics.pages.size(), "pages");
        for (std::size_t p = 0; p < m_ics.pages.size(); ++p) {
            const TPage& page = m_ics.pages[p];
            const Where at{{"page", p}};
            overField(at, page.BOGs.size(), "BOGs");
            for (std::size_t s = 0; s < page.effect_sequences.size(); ++s) {
                const Teffectseq& sequence = page.effect_sequences[s];
                const Where seq{{"page", p}, {"effect sequence", s}}; // 0 in, 1 out
                overField(seq, sequence.windows.size(), "effect windows");
                overField(seq, sequence.effects.size(), "effects");
                for (std::size_t e = 0; e < sequence.effects.size(); ++e)
                    overField({seq[0], seq[1], {"effect", e}}, sequence.effects[e].composition_objects.size(),
                              "composition objects");
            }
            for (std::size_t b = 0; b < page.BOGs.size(); ++b) {
                overField({{"page", p}, {"BOG", b}}, page.BOGs[b].buttons.size(), "buttons");
                for (const TIGbutton& button : page.BOGs[b].buttons)
                    if (button.navigation_commands.size() > 0xFFFF)
                        add(true, "menu-count-over-field",
                            {{"page", p}, {"BOG", b}, {"button", button.button_id}},
                            "It holds " + std::to_string(button.navigation_commands.size()) +
                                " commands; the format counts at most 65535.");
            }
        }
    }

    void composition() {
        const std::uint64_t length = compositionBody(m_ics).size() + compositionHeaderBytes(m_ics) - 3;
        if (length > MaxLength24)
            add(true, "menu-composition-too-long", {},
                "The interactive composition takes " + std::to_string(length) +
                    " bytes; its length field holds at most 16777215.");
    }

    void objects() {
        std::uint64_t decoded = 0;
        for (const TIGobject& object : m_menu.IGObjects) {
            if (!object.present()) continue;
            const Where at{{"object", object.object_id}};
            decoded += std::uint64_t{object.object_width} * object.object_height;
            if (object.object_width > m_ics.video_width || object.object_height > m_ics.video_height)
                add(false, "menu-object-too-large", at,
                    "The object is " + std::to_string(object.object_width) + "x" +
                        std::to_string(object.object_height) + ", larger than the video (" +
                        std::to_string(m_ics.video_width) + "x" + std::to_string(m_ics.video_height) +
                        "); players show only what lies on the video.");
            if (std::uint64_t{object.rle_data_length} + 4 > MaxLength24)
                add(true, "menu-object-data-too-long", at,
                    "The object's data takes " + std::to_string(object.rle_data_length) +
                        " bytes; its length field holds at most 16777211.");
        }
        if (decoded > IgObjectBufferBytes)
            add(true, "menu-objects-over-buffer", {},
                "The objects take " + std::to_string(decoded) +
                    " bytes decoded; the IG decoder's object buffer holds 16777216.");
    }

    void palettes() {
        if (m_menu.IGPalettes.size() > MaxCount8 + 1)
            add(true, "menu-count-over-field", {},
                "It holds " + std::to_string(m_menu.IGPalettes.size()) + " palettes; ids run to 255.");
        for (std::size_t i = 0; i < m_menu.IGPalettes.size(); ++i)
            if (m_menu.IGPalettes[i].entries[ReservedPaletteEntry][3] != 0)
                add(false, "menu-palette-entry-reserved", {{"palette", i}},
                    "Entry 255 has a colour, but it is never written: players show it transparent.");
    }

    const TIGobject* object(std::uint16_t id) const {
        return id < m_menu.IGObjects.size() && m_menu.IGObjects[id].present() ? &m_menu.IGObjects[id]
                                                                              : nullptr;
    }

    // The objects of one button state, each checked against the video area.
    void stateObjects(const Where& at, const TIGbutton& button, const char* state, std::uint16_t first,
                      std::uint16_t last) {
        if (first == NoIGObject) return;
        for (std::uint32_t id = first; id <= std::max(first, last) && id != NoIGObject; ++id) {
            const TIGobject* art = object(static_cast<std::uint16_t>(id));
            if (!art) {
                add(false, "menu-object-missing", at,
                    std::string("The ") + state + " state uses object " + std::to_string(id) +
                        ", which the menu does not hold.");
                continue;
            }
            if (button.button_horizontal_position + art->object_width > m_ics.video_width ||
                button.button_vertical_position + art->object_height > m_ics.video_height)
                add(false, "menu-object-outside-video", at,
                    std::string("The ") + state + " object " + std::to_string(id) + " at " +
                        std::to_string(button.button_horizontal_position) + "," +
                        std::to_string(button.button_vertical_position) +
                        " reaches beyond the video; players cut it off.");
        }
    }

    static bool usesObjects(const TPage& page) {
        for (const TBOG& bog : page.BOGs)
            for (const TIGbutton& b : bog.buttons)
                for (const std::uint16_t id : {b.normal_start_object_id_ref, b.selected_start_object_id_ref,
                                               b.activated_start_object_id_ref})
                    if (id != NoIGObject) return true;
        for (const Teffectseq& sequence : page.effect_sequences)
            for (const Teffect& effect : sequence.effects)
                if (!effect.composition_objects.empty()) return true;
        return false;
    }

    void page(std::size_t p) {
        const TPage& page = m_ics.pages[p];
        std::set<std::uint16_t> here;
        for (const TBOG& bog : page.BOGs)
            for (const TIGbutton& button : bog.buttons) here.insert(button.button_id);
        std::map<std::uint16_t, std::size_t> elsewhere; // button id → another page holding it
        for (std::size_t q = 0; q < m_ics.pages.size(); ++q)
            if (q != p)
                for (const TBOG& bog : m_ics.pages[q].BOGs)
                    for (const TIGbutton& button : bog.buttons) elsewhere.emplace(button.button_id, q);
        const Where at{{"page", p}};
        if (page.palette_id_ref >= m_menu.IGPalettes.size() && usesObjects(page))
            add(false, "menu-palette-missing", at,
                "The page uses palette " + std::to_string(page.palette_id_ref) +
                    ", which the menu does not hold.");
        if (page.default_selected_button_id_ref != NoButton &&
            !here.count(page.default_selected_button_id_ref))
            add(false, "menu-default-button-missing", at,
                "The default selected button " + std::to_string(page.default_selected_button_id_ref) +
                    " is not on the page.");
        for (std::size_t b = 0; b < page.BOGs.size(); ++b)
            for (const TIGbutton& button : page.BOGs[b].buttons) {
                const Where where{{"page", p}, {"BOG", b}, {"button", button.button_id}};
                stateObjects(where, button, "normal", button.normal_start_object_id_ref,
                             button.normal_end_object_id_ref);
                stateObjects(where, button, "selected", button.selected_start_object_id_ref,
                             button.selected_end_object_id_ref);
                stateObjects(where, button, "activated", button.activated_start_object_id_ref,
                             button.activated_end_object_id_ref);
                const std::pair<const char*, std::uint16_t> neighbours[] = {
                    {"upper", button.upper_button_id_ref},
                    {"lower", button.lower_button_id_ref},
                    {"left", button.left_button_id_ref},
                    {"right", button.right_button_id_ref}};
                for (const auto& [side, id] : neighbours) {
                    if (id == NoButton || here.count(id)) continue;
                    const auto other = elsewhere.find(id);
                    add(false, "menu-neighbour-off-page", where,
                        std::string("The ") + side + " neighbour " + std::to_string(id) +
                            (other != elsewhere.end() ? " is on page " + std::to_string(other->second) +
                                                            "; players only move within a page."
                                                      : " is no button of the menu."));
                }
            }
    }

    const TMenu& m_menu;
    const TIGSc& m_ics;
    std::vector<MenuLimitFinding> m_findings;
};

} // namespace

std::string MenuLimitFinding::text() const {
    std::string place;
    for (const auto& [kind, index] : where) {
        if (!place.empty()) place += ", ";
        place += kind + " " + std::to_string(index);
    }
    return place.empty() ? message : place + ": " + message;
}

std::vector<MenuLimitFinding> menuLimitFindings(const TMenu& menu) {
    return Checker(menu).run();
}

bool menuLimitsRefuse(const std::vector<MenuLimitFinding>& findings) {
    return std::any_of(findings.begin(), findings.end(), [](const MenuLimitFinding& f) { return f.error; });
}

bool reportMenuLimits(Reporter& reporter, const TMenu& menu, const std::string& action) {
    const std::vector<MenuLimitFinding> findings = menuLimitFindings(menu);
    for (const MenuLimitFinding& finding : findings)
        if (finding.error)
            reporter.erlog(finding.text());
        else
            reporter.log("Warning: " + finding.text());
    if (!menuLimitsRefuse(findings)) return true;
    reporter.erlog(action + " refused: a decoder could not read the menu.");
    return false;
}

} // namespace corvane
