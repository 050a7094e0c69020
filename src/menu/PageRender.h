#pragma once
// The page view of an IG menu: a 1920 x 1080 RGBA picture composed as a player would show
// one page (background, buttons in their states, author overlays), the frame-rate table,
// the fit-mode geometry and the mapping of pointer positions between view and page.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "graphics/Picture.h"
#include "graphics/PictureFile.h"
#include "menu/IGMenu.h"
#include "navigation/Registers.h"
#include "shell/Options.h"

namespace corvane {

inline constexpr int PageWidth = 1920;
inline constexpr int PageHeight = 1080;

// One row of the frame-rate table: a frame lasts n / d seconds.
struct FrameRate {
    int n = 0;
    int d = 0;
};
// The entry of frame_rate_id 1-4, 6, 7; nothing for the ids without one.
std::optional<FrameRate> frameRate(int frame_rate_id);
// animation_frame_rate_code frames in milliseconds, n x (code x 1000) / d; nothing for a
// frame_rate_id without an entry.
std::optional<int> animationFrameMs(int frame_rate_id, int animation_frame_rate_code);

// Where the page picture sits in the view box, and its shown size.
struct ViewGeometry {
    int left = 0;
    int top = 0;
    int width = PageWidth;
    int height = PageHeight;
};
// 1:1 mode: the whole page at (0, 0).
ViewGeometry actualSizeGeometry();
// Fit mode in a scroll box of boxWidth x boxHeight (its client is 2 pixels smaller): the
// picture keeps its aspect and is centred. A box too small for a client gives a 0 x 0 image.
ViewGeometry fitGeometry(int boxWidth, int boxHeight, int pictureWidth = PageWidth,
                         int pictureHeight = PageHeight);

struct PagePoint {
    int x = 0;
    int y = 0;
    bool operator==(const PagePoint&) const = default;
};
// A pointer position on the shown image (its own coordinates) as a page position:
// x x 1920 / width, y x 1080 / height. Nothing for an empty image.
std::optional<PagePoint> viewToPage(const ViewGeometry& view, int x, int y);
// The first image pixel that viewToPage maps at or past a page position; on a shrunk view
// pageToView(viewToPage(v)) is v again for every pixel v of the image.
PagePoint pageToView(const ViewGeometry& view, int x, int y);

// The built-in picture drawn over the background colour: transparent, with a faint grid.
const RgbaImage& builtInBackground();

// What the background is made from.
struct BackgroundSource {
    bool useFile = false;     // cbBackground
    std::string file;         // eBackPic
    std::uint32_t colour = 0; // colBackground as 0xRRGGBB
};
// The 1920 x 1080 background: a ".PNG" file over the colour, any other file as a bitmap
// (both cut at, or filled up to, the page size), else the built-in picture over the colour.
// A file that cannot be read gives the built-in background and `error`.
RgbaImage makeBackground(const BackgroundSource& source, std::string& error);

// The button id label text and geometry: 4 upper-case hex digits on a 28 x 16 box.
inline constexpr int LabelWidth = 28;
inline constexpr int LabelHeight = 16;
// Draws a label: `rgbBack` box, black digits, clipped to the picture.
void drawHexLabel(RgbaImage& image, int x, int y, std::uint16_t value, std::uint32_t rgbBack);
// One-pixel frame on the border pixels of [left, right) x [top, bottom), clipped.
void drawFrame(RgbaImage& image, int left, int top, int right, int bottom, std::uint32_t rgb);

// The box of a button whose state object is missing (a composition read without its
// objects) when the object's size is unknown: its frame and id are drawn at its position.
inline constexpr int PlaceholderWidth = 64;
inline constexpr int PlaceholderHeight = 32;

// SetButtonStates' table for a page: per button id its BOG and index, the animated and
// repeat flags, enabled for each BOG's default valid button.
std::vector<TButtonState> buildButtonStates(const TMenu& menu, std::size_t page);

// What the renderer needs from its front end (all optional).
struct PageRenderHooks {
    std::function<void(std::uint16_t sound)> playSound; // a button sound of sound.bdmv
    std::function<void()> refresh;                      // show the page picture now
    std::function<void(int ms)> wait;                   // pause, keeping the window alive
    std::function<bool()> cancelled;                    // stops DrawAButt2 between frames
    std::function<void(const std::string&)> status;     // status panel 1
    std::function<void(std::size_t page)> inEffects;    // plays the page's in-effect sequence
    std::function<std::int64_t()> nowMs;                // millisecond clock; steady clock when unset
    std::function<void(bool run)> animationTimer;       // stops / restarts tDrawRep around effects
};

// Draws the page shown (PSR11) of a menu into the page picture. The button states are
// the menu's ButtonStates; PSR10 names the selected button. As a player composes the
// graphics plane, each BOG holds one box: a new state erases the box of the one it
// replaces, and where boxes overlap the BOG later in the page is on top, whatever the order
// of the drawing calls.
class PageRenderer {
public:
    PageRenderer(TMenu& menu, RegisterFile& regs, const Options& options);

    PageRenderHooks hooks;
    std::size_t soundCount = 0; // sounds in sound.bdmv

    // backchange: rebuilds the background and shows it. Returns the load error, if any.
    std::string backchange();
    void setBackground(RgbaImage background); // cut or filled to the page size
    const RgbaImage& background() const { return m_background; }
    const RgbaImage& page() const { return m_page; }

    void DelPage();
    void DelRect(int left, int top, int bottom, int right);
    void DelButton(std::size_t id);
    void DrawButton(std::size_t id);
    void DrawButt(std::size_t id);
    void DrawSButton();
    void DrawSButt();
    void DrawAButton();
    void DrawAButt();
    void DrawAButt2();
    void LoadBmps(std::size_t page);
    // The page as it comes: background, in-effects (when shown), enabled buttons, the
    // selected one with its sound. For Start and page changes.
    void DrawPage();
    // The page drawn again after an edit or an option change: no in-effects, no wait, no
    // sound, so that it may run inside a table's cell commit.
    void RedrawPage();

    // The status text DrawPage leaves: "PSR10: 0001 (1), PSR11: 00 (0)".
    std::string pageStatus() const;

    TMenu& menu() { return m_menu; }
    const Options& options() const { return m_options; }
    // Draws a picture over the page picture at (x, y), alpha-blended; parts outside are cut.
    void drawPicture(const RgbaImage& picture, int x, int y);
    // One-pixel frame on the page picture around [left, right) x [top, bottom).
    void drawPageFrame(int left, int top, int right, int bottom, std::uint32_t rgb);
    // The hooks' clock, or the steady clock in milliseconds.
    std::int64_t nowMs() const;

private:
    enum class State { Normal, Selected, Activated };
    struct Box {
        int left = 0;
        int top = 0;
        int right = 0;
        int bottom = 0;
        bool empty() const { return right <= left || bottom <= top; }
        bool meets(const Box& other) const {
            return left < other.right && other.left < right && top < other.bottom && other.top < bottom;
        }
    };
    // What one BOG shows: a button in a state, its object (or a placeholder frame when the
    // object is missing), the object's box and the box with the overlays.
    struct ShownBog {
        bool drawn = false;
        std::size_t id = 0;
        State state = State::Normal;
        std::uint16_t object = NoIGObject;
        bool placeholder = false;
        Box box;
        Box area;
    };
    const TIGbutton* shownButton(std::size_t id) const;
    const TPage* shownPage() const;
    void drawFrameOf(std::size_t id, State state);
    // The BOG of button `id` shows `object` in `state`; what it showed before is erased.
    void showInBog(std::size_t id, const TIGbutton& button, State state, std::uint16_t object);
    // A state without an object: the BOG's box is erased when it shows this button.
    void hideInBog(std::size_t id);
    // The page within `clip` again: background, then every BOG's object and overlays in order.
    void repaint(Box clip);
    void paintBog(const ShownBog& shown, const Box& clip);
    void playSound(std::uint16_t sound);
    void drawPageWith(bool inEffects);

    TMenu& m_menu;
    RegisterFile& m_regs;
    const Options& m_options;
    RgbaImage m_background;
    RgbaImage m_page;
    std::vector<ShownBog> m_shown; // by BOG index of the page shown
    bool m_quiet = false;          // RedrawPage: button sounds are not played
};

} // namespace corvane
