#pragma once
// The interactive-graphics (IG) composition model: one interactive composition with its
// pages, button overlap groups, buttons and in/out effects, the objects (run-length coded
// index pictures) and the palettes. One TMenu holds the menu that is open.

#include <array>
#include <bitset>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "graphics/Picture.h"
#include "navigation/InterpreterHost.h" // TButtonState
#include "navigation/NavCommand.h"

namespace corvane {

inline constexpr std::uint16_t NoButton = 0xFFFF;   // "none" in button id refs
inline constexpr std::uint16_t NoIGObject = 0xFFFF; // "none" in object id refs

// Sequence flags as held in the model (the stored byte shifted right by 6).
inline constexpr std::uint8_t FirstInSequence = 0x2;
inline constexpr std::uint8_t LastInSequence = 0x1;

struct TEffWindow {
    std::uint8_t window_id = 0;                   // 8-bit
    std::uint16_t window_horizontal_position = 0; // 16-bit, pixels
    std::uint16_t window_vertical_position = 0;   // 16-bit, pixels
    std::uint16_t window_width = 0;               // 16-bit, pixels
    std::uint16_t window_height = 0;              // 16-bit, pixels
    bool operator==(const TEffWindow&) const = default;
};

struct TCompObject {
    std::uint16_t object_id_ref = 0;    // 16-bit
    std::uint8_t window_id_ref = 0;     // 8-bit
    std::uint8_t composition_flags = 0; // 2 bits: 1 object_cropped_flag, 0 forced_on_flag
    std::uint16_t composition_object_horizontal_position = 0; // 16-bit, pixels
    std::uint16_t composition_object_vertical_position = 0;   // 16-bit, pixels
    std::uint16_t object_cropping_horizontal_position = 0;    // 16-bit, only when cropped
    std::uint16_t object_cropping_vertical_position = 0;      // 16-bit, only when cropped
    std::uint16_t object_cropping_width = 0;                  // 16-bit, only when cropped
    std::uint16_t object_cropping_height = 0;                 // 16-bit, only when cropped
    bool cropped() const { return (composition_flags & 0x2) != 0; }
    bool operator==(const TCompObject&) const = default;
};

struct Teffect {
    std::uint32_t effect_duration = 0;              // 24-bit, 90 kHz ticks
    std::uint8_t palette_id_ref = 0;                // 8-bit
    std::uint8_t number_of_composition_objects = 0; // 8-bit, as read
    std::vector<TCompObject> composition_objects;
    bool operator==(const Teffect&) const = default;
};

// An effect sequence. The stream allows up to 255 windows although players use at most
// two; every window declared is kept, so nothing read is lost and the writer puts back
// what was read.
struct Teffectseq {
    std::uint8_t number_of_windows = 0; // 8-bit, as read
    std::vector<TEffWindow> windows;
    std::uint8_t number_of_effects = 0; // 8-bit, as read
    std::vector<Teffect> effects;
    bool operator==(const Teffectseq&) const = default;
};

struct TIGbutton {
    std::uint16_t button_id = 0;                     // 16-bit
    std::uint16_t button_numeric_select_value = 0;   // 16-bit
    std::uint8_t auto_action_flag = 0;               // 1 bit (bit 7 of its byte)
    std::uint16_t button_horizontal_position = 0;    // 16-bit, pixels
    std::uint16_t button_vertical_position = 0;      // 16-bit, pixels
    std::uint16_t upper_button_id_ref = 0;           // 16-bit
    std::uint16_t lower_button_id_ref = 0;           // 16-bit
    std::uint16_t left_button_id_ref = 0;            // 16-bit
    std::uint16_t right_button_id_ref = 0;           // 16-bit
    std::uint16_t normal_start_object_id_ref = 0;    // 16-bit
    std::uint16_t normal_end_object_id_ref = 0;      // 16-bit
    std::uint8_t normal_repeat_flag = 0;             // 1 bit (bit 7 of its byte)
    std::uint16_t selected_state_sound_id_ref = 0;   // 8-bit stored
    std::uint16_t selected_start_object_id_ref = 0;  // 16-bit
    std::uint16_t selected_end_object_id_ref = 0;    // 16-bit
    std::uint8_t selected_repeat_flag = 0;           // 1 bit (bit 7 of its byte)
    std::uint16_t activated_state_sound_id_ref = 0;  // 8-bit stored
    std::uint16_t activated_start_object_id_ref = 0; // 16-bit
    std::uint16_t activated_end_object_id_ref = 0;   // 16-bit
    std::uint16_t number_of_navigation_commands = 0; // 16-bit, as read
    std::vector<TNavCommand> navigation_commands;    // 12 bytes each
    bool operator==(const TIGbutton&) const = default;
};

struct TBOG {
    std::uint16_t default_valid_button_id_ref = NoButton; // 16-bit
    std::uint8_t number_of_buttons = 0;                   // 8-bit, as read
    std::vector<TIGbutton> buttons;
    bool operator==(const TBOG&) const = default;
};

struct TPage {
    std::uint8_t page_id = 0;                                 // 8-bit
    std::uint8_t page_version_number = 0;                     // 8-bit
    std::array<std::uint32_t, 2> UO_mask_table{};             // 64-bit mask, first word first
    std::array<Teffectseq, 2> effect_sequences;               // [0] in effects, [1] out effects
    std::uint8_t animation_frame_rate_code = 0;               // 8-bit
    std::uint16_t default_selected_button_id_ref = NoButton;  // 16-bit
    std::uint16_t default_activated_button_id_ref = NoButton; // 16-bit
    std::uint8_t palette_id_ref = 0;                          // 8-bit
    std::uint8_t number_of_BOGs = 0;                          // 8-bit, as read
    std::vector<TBOG> BOGs;
    bool operator==(const TPage&) const = default;
};

struct TIcsFragment {
    std::uint8_t sequence_flags = 0; // bit 1 first_in_sequence, bit 0 last_in_sequence
    std::uint32_t data_position = 0; // offset of the body rest in the menu data
    std::uint32_t data_length = 0;   // its length
    bool operator==(const TIcsFragment&) const = default;
};

struct TIGSc {
    std::uint16_t video_width = 0;                    // 16-bit, pixels
    std::uint16_t video_height = 0;                   // 16-bit, pixels
    std::uint8_t frame_rate_id = 0;                   // 4-bit (high nibble of its byte)
    std::uint16_t composition_number = 0;             // 16-bit
    std::uint8_t composition_state = 0;               // 2-bit (top bits of its byte)
    std::uint32_t interactive_composition_length = 0; // 24-bit, as read
    std::uint8_t stream_ui_model = 0;                 // 2-bit: 1 stream_model, 0 user_interface_model
    std::uint64_t composition_time_out_pts = 0;       // 40-bit field read whole (only when stream_model is 0)
    std::uint64_t selection_time_out_pts = 0;         // 40-bit field read whole
    std::uint32_t user_time_out_duration = 0;         // 24-bit, 90 kHz ticks
    std::uint8_t number_of_pages = 0;                 // 8-bit, as read
    std::vector<TPage> pages;
    std::vector<TIcsFragment> ics_fragments;
    bool streamModel() const { return (stream_ui_model & 0x2) != 0; }
    bool operator==(const TIGSc&) const = default;
};

struct TObjFragment {
    std::uint8_t object_version_number = 0; // 8-bit
    std::uint8_t sequence_flags = 0;        // bit 1 first_in_sequence, bit 0 last_in_sequence
    std::uint32_t data_position = 0;        // offset of the run-length bytes in the menu data
    std::uint32_t data_length = 0;          // their count
    bool operator==(const TObjFragment&) const = default;
};

struct TIGobject {
    std::uint16_t object_id = 0;       // 16-bit
    std::uint16_t reserved = 0;        // 16-bit, unused
    std::int32_t writer_order = -1;    // the writer's working field: place in the object order
    std::uint32_t rle_data_length = 0; // 32-bit: object_data_length - 4
    std::uint16_t object_width = 0;    // 16-bit, pixels
    std::uint16_t object_height = 0;   // 16-bit, pixels
    std::uint16_t fragment_count = 0;  // 16-bit
    std::vector<TObjFragment> fragments;
    // The decoded index picture, made on first use; set directly for imported objects.
    std::shared_ptr<const IndexPicture> index_picture;
    // A slot that holds an object: one read from the stream or imported (not a gap in the ids).
    bool present() const { return !fragments.empty() || index_picture != nullptr; }
    // Pictures compare by identity: an edit replaces the picture, it never changes one.
    bool operator==(const TIGobject&) const = default;
};

struct TIGPalette {
    std::uint16_t palette_id = 0;            // 16-bit
    std::uint8_t palette_version_number = 0; // 8-bit
    RgbaPalette entries{};                   // 256 x R, G, B, T (converted from Y, Cr, Cb)
    // Y, Cr, Cb of each entry as read. The integer conversions are not inverses of each
    // other, so the writer puts these back while an entry's colour is unchanged; otherwise
    // every load and save would shift the menu's colours a little.
    std::array<std::array<std::uint8_t, 3>, 256> stored_YCrCb{};
    std::bitset<256> stored{};
    bool operator==(const TIGPalette&) const = default;
};

// The button table of one page: a slot per button_id. Empty slots read as a button whose
// id is 0xFFFF and whose other fields are 0. The table keeps one copy per id and a small
// index, so a page with sparse high ids costs two bytes per slot, not a button each.
class TPageButton {
public:
    std::size_t size() const { return m_slot.size(); }
    // The button of slot `id`, or the empty button when the slot holds none.
    const TIGbutton& operator[](std::size_t id) const;
    TIGbutton* find(std::size_t id);
    bool holds(std::size_t id) const { return id < m_slot.size() && m_slot[id] != 0; }
    void resize(std::size_t count) { m_slot.resize(count, 0); }
    // Puts a copy into the slot of its button_id (growing the table); replaces an earlier one.
    void put(const TIGbutton& button);
    void clear() {
        m_slot.clear();
        m_buttons.clear();
    }
    bool operator==(const TPageButton&) const = default;

private:
    std::vector<std::uint16_t> m_slot; // index + 1 into m_buttons, 0 for an empty slot
    std::vector<TIGbutton> m_buttons;
};

// The bytes the ICS bodies and the object fragments point into (the .mnu file as read).
using MenuData = std::shared_ptr<const std::vector<std::uint8_t>>;

struct TMenu {
    TIGSc IGSc;
    std::uint32_t MenuInTime = 0;           // 90 kHz ticks: the first non-zero PTS read
    std::vector<TPageButton> PageButtons;   // one per page
    std::vector<TButtonState> ButtonStates; // for the page shown, indexed by button_id
    std::vector<TIGobject> IGObjects;       // indexed by object_id
    std::vector<TIGPalette> IGPalettes;     // indexed by palette_id
    MenuData MenuDataFile;
    // Object pictures per (object, palette), made on first use.
    std::map<std::pair<std::uint16_t, std::uint16_t>, std::shared_ptr<const RgbaImage>> objectCache;
};

// Whether two menus hold the same content: the composition, pages, objects, palettes and
// data, not the caches or the simulation's button states.
bool sameMenuContent(const TMenu& a, const TMenu& b);

// Menu head pickers: the video sizes and frame rates in picker order.
inline constexpr std::array<const char*, 4> VideoFormatNames{"1920x1080", "1280x720", "720x576", "720x480"};
inline constexpr std::array<const char*, 8> FrameRateNames{"-",     "23.97", "24", "25",
                                                           "29.97", "-",     "50", "59.94"};
// The video picker's item for the composition: by width 1920 or 1280, then by height 576 or
// 480 (a later match wins); -1 when none matches.
int videoFormatIndex(const TIGSc& ics);
// 90 kHz ticks as "h:mm:ss" (user time-out) and as "h:mm:ss.zzz" (IN time).
std::string menuTimeOutText(std::uint32_t ticks);
std::string menuInTimeText(std::uint32_t ticks);

// Fills the page's button table from its BOGs: sized to the larger of the button count and
// the highest id + 1, each button in the slot of its id (a later duplicate wins).
TPageButton buildPageButtons(const TPage& page);
// The new minimal menu of "Create Menu": one 1920 x 1080 page with one empty button.
TMenu createMenu();
// The default button of a created menu (no objects, no neighbours, no commands).
TIGbutton defaultButton();
// Which pages and buttons use an object: "0:2n,3sa 1i" (empty when none).
std::string getobjref(const TMenu& menu, std::uint16_t objectId);
// The palette an object is looked at in, from its first use: in a page's in effects the last
// in effect's palette, else in its out effects the first out effect's palette, else on a
// button the page's palette. None when nothing uses it.
std::optional<std::uint8_t> objectPalette(const TMenu& menu, std::uint16_t objectId);
// The number of buttons of a page over all its BOGs.
std::size_t pageButtonCount(const TPage& page);

} // namespace corvane
