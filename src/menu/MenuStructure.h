#pragma once
// Building a menu's structure: pages, BOGs, buttons and their command lines, the effects of
// an effect sequence, its windows and the composition objects of an effect are inserted and
// deleted with their counts, ids and references kept in step; and the menu's video format,
// frame rate and the cropped flag of a composition object are set.
//
// Every operation is a pure function over the menu model; an index that does not exist or a
// list at its format limit changes nothing. Counts ("as read") and the composition length
// follow every change, and the page's button table is built again.
//
// Page ids: while every page's id is its index, the ids follow their pages on insert and
// delete, and SetButtonPage page operands move with them. Otherwise ids stay and a new page
// takes the lowest free id. References that named a deleted button or page are returned.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "menu/IGMenu.h"

namespace corvane {

class Reporter;

// Format limits: the 8-bit count fields and id ranges.
inline constexpr std::size_t MaxPages = 255;         // number_of_pages; page_id 0-254
inline constexpr std::size_t MaxBogs = 255;          // number_of_BOGs
inline constexpr std::size_t MaxBogButtons = 255;    // number_of_buttons of a BOG
inline constexpr std::size_t MaxEffects = 255;       // number_of_effects
inline constexpr std::size_t MaxEffectWindows = 255; // number_of_windows; window_id 0-254
inline constexpr std::size_t MaxCompObjects = 255;   // number_of_composition_objects
inline constexpr std::uint16_t MaxButtonId = 0xFFFE; // 0xFFFF is "none"

// A button's 16-bit number_of_navigation_commands.
inline constexpr std::size_t MaxButtonCommands = 0xFFFF;

// A reference that named a deleted button, page, window or command line.
struct MenuReference {
    enum class Kind { Button, Page, Window, Line };
    Kind kind = Kind::Button;        // what it names
    std::size_t page = 0;            // the page (index after the edit) that holds the reference
    std::uint16_t button = NoButton; // the button that holds it; NoButton for a page field
    std::size_t index = 0;           // the command line; the BOG or effect for their fields
    std::string field;               // "upper", "default selected button", "SetButtonPage", ...
    bool fixed = false;              // now a valid value (none, or the button's own id)
    std::uint16_t value = 0;         // what it holds now (a GoTo: its target line)
    bool operator==(const MenuReference&) const = default;
};

struct StructureEdit {
    bool changed = false;
    std::vector<MenuReference> references;
};

// One report line per reference.
std::string menuReferenceText(const MenuReference& reference);
// Each reference on the error report, and "See Status" on the status bar when there was one.
void reportMenuReferences(Reporter& reporter, const StructureEdit& edit);

// ---- Pages, BOGs, buttons -------------------------------------------------------------

// A page like Create Menu's (one BOG with one button) at `position` (clamped).
bool insertPage(TMenu& menu, std::size_t position);
// The only page is never deleted.
StructureEdit deletePage(TMenu& menu, std::size_t page);

// A BOG with one new button (the lowest free id of the page, its default valid button).
bool insertBog(TMenu& menu, std::size_t page, std::size_t position);
StructureEdit deleteBog(TMenu& menu, std::size_t page, std::size_t bog);

// A button with the lowest id free on the page: no objects, no commands, its own id as each
// neighbour.
bool insertButton(TMenu& menu, std::size_t page, std::size_t bog, std::size_t position);
// Upkeep: a default selected / activated button or BOG default valid button naming a deleted
// button becomes none, a neighbour becomes the button's own id; SetButtonPage, EnableButton
// and DisableButton operands naming it stay as they are. All are returned.
StructureEdit deleteButton(TMenu& menu, std::size_t page, std::size_t bog, std::size_t index);

// ---- Button commands ----------------------------------------------------------------

// A NOP line after line `after` (-1: at the start) of a button's commands (`button` is the
// index in its BOG); GoTo targets past the new line move down with it. False when the button
// does not exist or holds the most lines a button may.
bool insertButtonCommand(TMenu& menu, std::size_t page, std::size_t bog, std::size_t button,
                         std::int64_t after);
// Deletes lines first..last; GoTo targets past them move up, and GoTo lines into the deleted
// range are reported in the references (as the object-line delete reports them).
StructureEdit deleteButtonCommands(TMenu& menu, std::size_t page, std::size_t bog, std::size_t button,
                                   std::size_t first, std::size_t last);

// ---- Effect sequences (0 in, 1 out) -----------------------------------------------------

// An effect of 100 ms in the page's palette, without objects.
bool insertEffect(TMenu& menu, std::size_t page, int sequence, std::size_t position);
bool deleteEffect(TMenu& menu, std::size_t page, int sequence, std::size_t effect);
// A window with the lowest free id over the whole video.
bool insertEffectWindow(TMenu& menu, std::size_t page, int sequence, std::size_t position);
// Composition objects of the sequence that name the deleted window are returned.
StructureEdit deleteEffectWindow(TMenu& menu, std::size_t page, int sequence, std::size_t window);
// An object placed at its window: the first object the menu holds in the sequence's first window.
bool insertCompObject(TMenu& menu, std::size_t page, int sequence, std::size_t effect, std::size_t position);
bool deleteCompObject(TMenu& menu, std::size_t page, int sequence, std::size_t effect, std::size_t object);
// Sets or clears object_cropped_flag. A new crop is the whole object (or its window when the
// object is missing); clearing zeroes the four fields, which are not stored then.
bool setCompObjectCropped(TMenu& menu, std::size_t page, int sequence, std::size_t effect, std::size_t object,
                          bool cropped);

// ---- Menu head --------------------------------------------------------------------------

// The video picker's item (VideoFormatNames) as video_width and video_height.
bool setMenuVideoFormat(TMenu& menu, int item);
// The frame picker's item (FrameRateNames) as frame_rate_id; the unnamed items are refused.
bool setMenuFrameRate(TMenu& menu, int item);

} // namespace corvane
