#pragma once
// Editing the tables of the Menu page: the header fields of a page, the BOG, button and
// button-command tables, and the crop fields of the Effects tab.
//
// Every operation is a pure function over the menu model. Indices are checked: a page,
// BOG, button, command, effect or object that does not exist changes nothing. A value that
// fails its check leaves the field as it was; the page then rewrites the cells named in the
// result from the model (the text functions below), so a refused value shows the held one.
// After every change of a button, the page's button table (PageButtons) gets a copy.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "menu/IGMenu.h"

namespace corvane {

// ---- Page header -------------------------------------------------------------------

// The texts of the header fields of a page; all empty for a page that does not exist.
struct PageHeaderTexts {
    std::string heUO1;        // UO mask word 1, 8 hex digits
    std::string heUO2;        // UO mask word 2, 8 hex digits
    std::string ieFramerate;  // animation_frame_rate_code, decimal
    std::string heDefSelButt; // default_selected_button_id_ref, 4 hex digits
    std::string heDefActButt; // default_activated_button_id_ref, 4 hex digits
    std::string hePalette;    // palette_id_ref, 2 hex digits
    std::string ieInEffWin;   // windows of the in-effects
    std::string ieInEffEff;   // effects of the in-effects
    std::string ieOutEffWin;  // windows of the out-effects
    std::string ieOutEffEff;  // effects of the out-effects
    std::string ieBOGs;       // number of BOGs
};
PageHeaderTexts pageHeaderTexts(const TMenu& menu, std::size_t page);

// Take-over of a header field when it is left. Hex texts skip non-hex characters; a text
// without hex digits or with more significant digits than the field holds changes nothing.
// Each returns whether the model changed.
enum class UOWord { First = 0, Second = 1 };
bool setUOMask(TMenu& menu, std::size_t page, UOWord word, std::string_view text);
// Decimal, at most three digits, of which the low 8 bits are stored; a negative number,
// more digits or a text that is not a number changes nothing.
bool setAnimationFrameRateCode(TMenu& menu, std::size_t page, std::string_view text);
bool setDefaultSelectedButton(TMenu& menu, std::size_t page, std::string_view text);
bool setDefaultActivatedButton(TMenu& menu, std::size_t page, std::string_view text);
bool setPagePalette(TMenu& menu, std::size_t page, std::string_view text);

// eUTO: the menu's user time-out as "h:mm:ss" (see menuTimeOutText) and its take-over.
std::string userTimeOutText(const TMenu& menu);
enum class TimeOutEdit {
    Stored,    // the new time is held
    Unchanged, // the text shows the held time (whose fraction of a second is kept)
    BadText,   // not "h:mm:ss" with minutes and seconds below 60
    TooLong,   // past the 24-bit field (0xFFFFFF ticks, 3 min 6 s): refused, not wrapped
};
inline constexpr std::uint32_t MaxUserTimeOut = 0xFFFFFF; // 24-bit, 90 kHz ticks
TimeOutEdit setUserTimeOut(TMenu& menu, std::string_view text);

// ---- BOG table (sgBOG) -------------------------------------------------------------

// Row labels of the header column.
inline constexpr std::array<std::string_view, 3> BogTableRowLabels{" id", " default valid button",
                                                                   " number of buttons"};
// One column per BOG: index from 0, default_valid_button_id_ref (4 hex), number of buttons.
// A page without BOGs (or a missing page) gives one empty column.
std::vector<std::array<std::string, 3>> bogColumns(const TMenu& menu, std::size_t page);
// ">AAAA" for row 1, "-" for row 2, none ("") for row 0.
std::string bogEditMask(int row);
// Row 1 takes 0xFFFF or an id below the number of buttons of the page; rows 0 and 2 are not
// editable. When the value is taken over and `page` is the page shown (PSR11), the menu's
// ButtonStates are rebuilt. Returns whether the model changed.
bool setBogCell(TMenu& menu, std::size_t page, std::size_t bog, int row, std::string_view text,
                std::size_t shownPage);

// ---- Button table (sgButton) -------------------------------------------------------

inline constexpr int ButtonColumns = 20;
enum ButtonColumn : int {
    ColId = 0,
    ColValue = 1,
    ColAutoAction = 2,
    ColX = 3,
    ColY = 4,
    ColUpper = 5,
    ColLower = 6,
    ColLeft = 7,
    ColRight = 8,
    ColNormalStart = 9,
    ColNormalEnd = 10,
    ColNormalRepeat = 11,
    ColSelectedSound = 12,
    ColSelectedStart = 13,
    ColSelectedEnd = 14,
    ColSelectedRepeat = 15,
    ColActivatedSound = 16,
    ColActivatedStart = 17,
    ColActivatedEnd = 18,
    ColCommands = 19,
};
inline constexpr std::array<std::string_view, ButtonColumns> ButtonTableHeaders{
    "id",    "value",    "a.act.",  "X",       "Y",     "upper",    "lower",   "left",    "right", "n.start",
    "n.end", "n.repeat", "s.sound", "s.start", "s.end", "s.repeat", "a.sound", "a.start", "a.end", "comm."};

// The text of one cell; empty for a column outside 0-19.
std::string buttonCellText(const TIGbutton& button, int column);
std::vector<std::string> buttonRowTexts(const TIGbutton& button);
// The rows of a BOG's buttons; empty when the page or BOG does not exist.
std::vector<std::vector<std::string>> buttonRows(const TMenu& menu, std::size_t page, std::size_t bog);
// ">AAAA", ">L", "9999", ">AA", "-" (comm.) or none ("": id and columns outside the table).
std::string buttonEditMask(int column);
// The number of buttons of a page: the length of its button table; 0 when it has none.
std::size_t pageButtonLimit(const TMenu& menu, std::size_t page);

// What an edit changed and which cells the page rewrites from the model.
struct ButtonCellEdit {
    bool changed = false;
    std::vector<int> refresh; // columns of the edited row; empty when the button does not exist
};
// sgButtonSetEditText. `soundCount` is the number of sounds of sound.bdmv (0 without one).
ButtonCellEdit setButtonCell(TMenu& menu, std::size_t page, std::size_t bog, std::size_t buttonIndex,
                             int column, std::string_view text, std::size_t soundCount);

// The object a cell names (start and end columns only), for the object view.
std::optional<std::uint16_t> buttonCellObject(const TIGbutton& button, int column);

// ---- Double click on a button cell (sgButtonDblClick) ----------------------------------

enum class ButtonAnimState { Normal, Selected, Activated };
struct ButtonDblClickPlan {
    enum class Action { None, Animate, PlaySound };
    Action action = Action::None;
    ButtonAnimState state = ButtonAnimState::Normal;
    std::vector<std::uint16_t> frames;      // objects start..end that exist, shown in turn
    bool repeat = false;                    // repeat until Cancel (never for the activated state)
    std::uint16_t finalObject = NoIGObject; // shown when the animation ends
    int frameMs = 0;                        // each frame's time: animation_frame_rate_code frames
    std::uint16_t sound = 0;                // PlaySound: the sound id
};
ButtonDblClickPlan buttonDblClickPlan(const TMenu& menu, std::size_t page, std::size_t bog,
                                      std::size_t buttonIndex, int column, std::size_t soundCount);

// ---- Button commands (sgMCommands) ---------------------------------------------------

inline constexpr std::array<std::string_view, 5> CommandTableHeaders{"No.", "Opcode", "Destinat.", "Source",
                                                                     "Command line"};
// One comm2str row per command; one empty row when the button has none.
std::vector<std::vector<std::string>> commandRows(const TIGbutton& button);
// ">AAAAAAAA" for columns 1-3 when the button has commands; none otherwise.
std::string commandEditMask(const TIGbutton& button, int column);

struct CommandCellEdit {
    bool changed = false;
    std::vector<std::string> row; // the five cells of the edited row as the model holds them
};
// sgMCommandsSetEditText: columns 1-3 store a text of exactly eight hex digits (no blank) into
// the opcode, destination or source word; column 4 and refused texts give the row back
// unchanged; a button without commands gives an empty row.
CommandCellEdit setCommandCell(TMenu& menu, std::size_t page, std::size_t bog, std::size_t buttonIndex,
                               std::size_t line, int column, std::string_view text);

// ---- Crop fields of the Effects tab ------------------------------------------------------

struct CropFields {
    bool exists = false;                   // the composition object was found
    bool cropped = false;                  // cbCropped, and whether the four fields are enabled
    std::array<std::uint16_t, 4> values{}; // X, Y, W, H; 0 when not cropped
};
CropFields cropFields(const TMenu& menu, std::size_t page, int sequence, std::size_t effect,
                      std::size_t compObject);
enum class CropField { X = 0, Y = 1, W = 2, H = 3 };
// Stores a cropping value of a cropped composition object. Negative values, values past
// 16 bits and objects without the cropped flag change nothing.
bool setCropField(TMenu& menu, std::size_t page, int sequence, std::size_t effect, std::size_t compObject,
                  CropField field, std::int64_t value);

} // namespace corvane
