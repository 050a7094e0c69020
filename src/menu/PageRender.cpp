#include "menu/PageRender.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstring>
#include <filesystem>

#include "graphics/ObjectPicture.h"
#include "graphics/PictureFile.h"
#include "io/FileIO.h"
#include "io/TextUtil.h"

namespace corvane {

namespace {

constexpr std::array<FrameRate, 8> FrameRates{{{0, 0},
                                               {1001, 24000},
                                               {1000, 24000},
                                               {1000, 25000},
                                               {1001, 30000},
                                               {0, 0},
                                               {1000, 50000},
                                               {1001, 60000}}};

// 5 x 7 digits 0-9, A-F; each row's five pixels in the low bits, leftmost highest.
constexpr std::array<std::array<std::uint8_t, 7>, 16> HexGlyphs{{
    {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E},
    {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E},
    {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F},
    {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E},
    {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02},
    {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E},
    {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E},
    {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08},
    {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E},
    {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C},
    {0x0E, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11},
    {0x1E, 0x11, 0x11, 0x1E, 0x11, 0x11, 0x1E},
    {0x0E, 0x11, 0x10, 0x10, 0x10, 0x11, 0x0E},
    {0x1C, 0x12, 0x11, 0x11, 0x11, 0x12, 0x1C},
    {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x1F},
    {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x10},
}};
// Glyph cells are 7 pixels wide; the digits start 1 pixel in and 4 pixels down.
constexpr int GlyphAdvance = 7;
constexpr int GlyphLeft = 1;
constexpr int GlyphTop = 4;

// Pixels are drawn inside [left, right) x [top, bottom) of the picture only.
struct Clip {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

Clip whole(const RgbaImage& image) {
    return {0, 0, image.width, image.height};
}

void putPixel(RgbaImage& image, const Clip& clip, int x, int y, std::uint32_t rgb) {
    if (x < std::max(0, clip.left) || y < std::max(0, clip.top) || x >= std::min(image.width, clip.right) ||
        y >= std::min(image.height, clip.bottom))
        return;
    std::uint8_t* p = image.pixel(x, y);
    p[0] = static_cast<std::uint8_t>(rgb >> 16);
    p[1] = static_cast<std::uint8_t>(rgb >> 8);
    p[2] = static_cast<std::uint8_t>(rgb);
    p[3] = 255;
}

// Copies `src` into the top-left of a page-sized picture filled with `rgb` (opaque copy).
RgbaImage toPageSize(const RgbaImage& src, std::uint32_t rgb) {
    RgbaImage page(PageWidth, PageHeight);
    page.fill(rgb);
    const int w = std::min(src.width, PageWidth), h = std::min(src.height, PageHeight);
    for (int y = 0; y < h; ++y)
        std::memcpy(page.pixel(0, y), src.pixel(0, y), static_cast<std::size_t>(w) * 4);
    return page;
}

} // namespace

std::optional<FrameRate> frameRate(int frame_rate_id) {
    if (frame_rate_id < 0 || frame_rate_id >= static_cast<int>(FrameRates.size())) return std::nullopt;
    const FrameRate rate = FrameRates[static_cast<std::size_t>(frame_rate_id)];
    if (rate.d == 0) return std::nullopt;
    return rate;
}

std::optional<int> animationFrameMs(int frame_rate_id, int animation_frame_rate_code) {
    const auto rate = frameRate(frame_rate_id);
    if (!rate) return std::nullopt;
    return static_cast<int>(static_cast<std::int64_t>(rate->n) * (animation_frame_rate_code * 1000LL) /
                            rate->d);
}

ViewGeometry actualSizeGeometry() {
    return {};
}

ViewGeometry fitGeometry(int boxWidth, int boxHeight, int pictureWidth, int pictureHeight) {
    const std::int64_t W = std::max(0, boxWidth - 2), H = std::max(0, boxHeight - 2);
    const std::int64_t w = pictureWidth, h = pictureHeight;
    std::int64_t width = W, height = H;
    if (w > 0 && h > 0) {
        if (W * h < w * H) height = W * h / w;
        if (w * H < W * h) width = w * H / h;
    }
    ViewGeometry view;
    view.width = static_cast<int>(width);
    view.height = static_cast<int>(height);
    view.left = static_cast<int>((W - width) / 2 + 1);
    view.top = static_cast<int>((H - height) / 2 + 1);
    return view;
}

std::optional<PagePoint> viewToPage(const ViewGeometry& view, int x, int y) {
    if (view.width <= 0 || view.height <= 0) return std::nullopt;
    return PagePoint{static_cast<int>(static_cast<std::int64_t>(x) * PageWidth / view.width),
                     static_cast<int>(static_cast<std::int64_t>(y) * PageHeight / view.height)};
}

PagePoint pageToView(const ViewGeometry& view, int x, int y) {
    // Rounded up: the first image pixel whose page position is at or past (x, y).
    auto up = [](std::int64_t value, std::int64_t scale, std::int64_t full) {
        return static_cast<int>(value <= 0 ? value * scale / full : (value * scale + full - 1) / full);
    };
    return {up(x, view.width, PageWidth), up(y, view.height, PageHeight)};
}

const RgbaImage& builtInBackground() {
    static const RgbaImage picture = [] {
        RgbaImage image(PageWidth, PageHeight);
        // A faint white grid every 60 pixels and a stronger title-safe rectangle (10 % in).
        for (int y = 0; y < PageHeight; ++y)
            for (int x = 0; x < PageWidth; ++x) {
                std::uint8_t* p = image.pixel(x, y);
                const bool safe = ((x == 192 || x == 1727) && y >= 108 && y <= 971) ||
                                  ((y == 108 || y == 971) && x >= 192 && x <= 1727);
                const bool grid = x % 60 == 0 || y % 60 == 0;
                if (!safe && !grid) continue;
                p[0] = p[1] = p[2] = 255;
                p[3] = safe ? 64 : 24;
            }
        return image;
    }();
    return picture;
}

RgbaImage makeBackground(const BackgroundSource& source, std::string& error) {
    if (source.useFile && !source.file.empty()) {
        std::string readError;
        auto bytes = readWholeFile(source.file, readError);
        if (!bytes) {
            error = readError;
        } else if (upperCase(std::filesystem::path(source.file).extension().string()) == ".PNG") {
            if (auto picture = readRgbaPng(*bytes, error)) {
                RgbaImage page(PageWidth, PageHeight);
                page.fill(source.colour);
                drawBlended(page, *picture, 0, 0);
                return page;
            }
        } else if (auto picture = readBmp(*bytes, error)) {
            return toPageSize(*picture, source.colour);
        }
        if (!error.empty()) error = source.file + ": " + error;
    }
    RgbaImage page(PageWidth, PageHeight);
    page.fill(source.colour);
    drawBlended(page, builtInBackground(), 0, 0);
    return page;
}

namespace {

void hexLabelIn(RgbaImage& image, const Clip& clip, int x, int y, std::uint16_t value,
                std::uint32_t rgbBack) {
    for (int row = 0; row < LabelHeight; ++row)
        for (int col = 0; col < LabelWidth; ++col) putPixel(image, clip, x + col, y + row, rgbBack);
    for (int digit = 0; digit < 4; ++digit) {
        const auto& glyph = HexGlyphs[(value >> (12 - 4 * digit)) & 0xF];
        for (int row = 0; row < 7; ++row)
            for (int col = 0; col < 5; ++col)
                if (glyph[static_cast<std::size_t>(row)] & (0x10 >> col))
                    putPixel(image, clip, x + digit * GlyphAdvance + GlyphLeft + col, y + GlyphTop + row, 0);
    }
}

void frameIn(RgbaImage& image, const Clip& clip, int left, int top, int right, int bottom,
             std::uint32_t rgb) {
    if (right <= left || bottom <= top) return;
    for (int x = left; x < right; ++x) {
        putPixel(image, clip, x, top, rgb);
        putPixel(image, clip, x, bottom - 1, rgb);
    }
    for (int y = top; y < bottom; ++y) {
        putPixel(image, clip, left, y, rgb);
        putPixel(image, clip, right - 1, y, rgb);
    }
}

// The part of `picture` at (x, y) that falls inside `clip`, blended over the page.
void blendIn(RgbaImage& page, const RgbaImage& picture, int x, int y, const Clip& clip) {
    const int left = std::max({x, clip.left, 0}), top = std::max({y, clip.top, 0});
    const int right = std::min({x + picture.width, clip.right, page.width});
    const int bottom = std::min({y + picture.height, clip.bottom, page.height});
    if (right <= left || bottom <= top) return;
    if (left == x && top == y && right == x + picture.width && bottom == y + picture.height) {
        drawBlended(page, picture, x, y);
        return;
    }
    RgbaImage part(right - left, bottom - top);
    for (int row = 0; row < part.height; ++row)
        std::memcpy(part.pixel(0, row), picture.pixel(left - x, top - y + row),
                    static_cast<std::size_t>(part.width) * 4);
    drawBlended(page, part, left, top);
}

} // namespace

void drawHexLabel(RgbaImage& image, int x, int y, std::uint16_t value, std::uint32_t rgbBack) {
    hexLabelIn(image, whole(image), x, y, value, rgbBack);
}

void drawFrame(RgbaImage& image, int left, int top, int right, int bottom, std::uint32_t rgb) {
    frameIn(image, whole(image), left, top, right, bottom, rgb);
}

std::vector<TButtonState> buildButtonStates(const TMenu& menu, std::size_t page) {
    std::vector<TButtonState> states;
    if (page >= menu.IGSc.pages.size() || page >= menu.PageButtons.size()) return states;
    states.resize(menu.PageButtons[page].size());
    const TPage& shown = menu.IGSc.pages[page];
    for (std::size_t i = 0; i < shown.BOGs.size(); ++i) {
        const TBOG& bog = shown.BOGs[i];
        for (std::size_t j = 0; j < bog.buttons.size(); ++j) {
            const TIGbutton& b = bog.buttons[j];
            if (b.button_id >= states.size()) continue;
            TButtonState& s = states[b.button_id];
            s.bog_index = static_cast<std::uint8_t>(i);
            s.button_index = static_cast<std::uint8_t>(j);
            s.normal_animated = b.normal_start_object_id_ref != b.normal_end_object_id_ref;
            s.selected_animated = b.selected_start_object_id_ref != b.selected_end_object_id_ref;
            s.normal_repeat = b.normal_repeat_flag;
            s.selected_repeat = b.selected_repeat_flag;
            if (bog.default_valid_button_id_ref != NoButton && bog.default_valid_button_id_ref == b.button_id)
                s.enabled = 1;
        }
    }
    return states;
}

PageRenderer::PageRenderer(TMenu& menu, RegisterFile& regs, const Options& options)
    : m_menu(menu), m_regs(regs), m_options(options) {
    m_background = RgbaImage(PageWidth, PageHeight);
    m_background.fill(colourToRgb(options.colBackground));
    m_page = m_background;
}

std::string PageRenderer::backchange() {
    std::string error;
    m_background = makeBackground(
        {m_options.Background, m_options.BackgroundPic, colourToRgb(m_options.colBackground)}, error);
    m_page = m_background;
    return error;
}

void PageRenderer::setBackground(RgbaImage background) {
    m_background = toPageSize(background, colourToRgb(m_options.colBackground));
    m_page = m_background;
}

void PageRenderer::DelPage() {
    m_page = m_background;
    m_shown.clear();
}

void PageRenderer::DelRect(int left, int top, int bottom, int right) {
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, PageWidth);
    bottom = std::min(bottom, PageHeight);
    if (right <= left) return;
    for (int y = top; y < bottom; ++y)
        std::memcpy(m_page.pixel(left, y), m_background.pixel(left, y),
                    static_cast<std::size_t>(right - left) * 4);
}

const TPage* PageRenderer::shownPage() const {
    const std::uint32_t page = m_regs.PSR[PSR_PAGE];
    if (page >= m_menu.IGSc.pages.size() || page >= m_menu.PageButtons.size()) return nullptr;
    return &m_menu.IGSc.pages[page];
}

const TIGbutton* PageRenderer::shownButton(std::size_t id) const {
    if (!shownPage() || id >= m_menu.ButtonStates.size()) return nullptr;
    const TPageButton& buttons = m_menu.PageButtons[m_regs.PSR[PSR_PAGE]];
    if (!buttons.holds(id)) return nullptr;
    return &buttons[id];
}

void PageRenderer::showInBog(std::size_t id, const TIGbutton& button, State state, std::uint16_t object) {
    const std::size_t bog = m_menu.ButtonStates[id].bog_index;
    if (m_shown.size() <= bog) m_shown.resize(bog + 1);
    ShownBog shown;
    shown.drawn = true;
    shown.id = id;
    shown.state = state;
    shown.object = object;
    const int x = button.button_horizontal_position, y = button.button_vertical_position;
    int width = PlaceholderWidth, height = PlaceholderHeight;
    const auto picture = object < m_menu.IGObjects.size() && m_menu.IGObjects[object].present()
                             ? Obj2Pic(m_menu, object, shownPage()->palette_id_ref)
                             : nullptr;
    if (picture) {
        width = picture->width;
        height = picture->height;
    } else {
        // A missing object: its frame in the object's size when the size is known.
        shown.placeholder = true;
        if (object < m_menu.IGObjects.size() && m_menu.IGObjects[object].object_width > 0 &&
            m_menu.IGObjects[object].object_height > 0) {
            width = m_menu.IGObjects[object].object_width;
            height = m_menu.IGObjects[object].object_height;
        }
    }
    shown.box = {x, y, x + width, y + height};
    shown.area = shown.box;
    // The labels may stick out of a small object's box.
    const bool labels = state != State::Activated && (m_options.ButtonId || m_options.ObjectId);
    if (shown.placeholder || labels) {
        shown.area.right = std::max(shown.area.right, x + 3 + LabelWidth);
        shown.area.bottom = std::max(shown.area.bottom, y + 3 + LabelHeight);
    }
    if (!shown.placeholder && labels) {
        shown.area.left = std::min(shown.area.left, shown.box.right - LabelWidth);
        shown.area.top = std::min(shown.area.top, shown.box.bottom - LabelHeight);
    }
    const ShownBog before = m_shown[bog];
    m_shown[bog] = shown;
    if (before.drawn && (before.area.left != shown.area.left || before.area.top != shown.area.top ||
                         before.area.right != shown.area.right || before.area.bottom != shown.area.bottom))
        repaint(before.area);
    repaint(shown.area);
}

void PageRenderer::hideInBog(std::size_t id) {
    const std::size_t bog = m_menu.ButtonStates[id].bog_index;
    if (bog >= m_shown.size() || !m_shown[bog].drawn) return;
    if (m_shown[bog].id != id && m_menu.ButtonStates[id].enabled != 1) return;
    m_shown[bog].drawn = false;
    repaint(m_shown[bog].area);
}

void PageRenderer::repaint(Box clip) {
    clip.left = std::max(clip.left, 0);
    clip.top = std::max(clip.top, 0);
    clip.right = std::min(clip.right, PageWidth);
    clip.bottom = std::min(clip.bottom, PageHeight);
    if (clip.empty()) return;
    DelRect(clip.left, clip.top, clip.bottom, clip.right);
    for (const ShownBog& shown : m_shown)
        if (shown.drawn && shown.area.meets(clip)) paintBog(shown, clip);
}

void PageRenderer::paintBog(const ShownBog& shown, const Box& box) {
    const TIGbutton* button = shownButton(shown.id);
    if (!button) return;
    const Clip clip{box.left, box.top, box.right, box.bottom};
    const int x = shown.box.left, y = shown.box.top, right = shown.box.right, bottom = shown.box.bottom;
    const bool invalid = button->number_of_navigation_commands == 0;
    const bool normal = shown.state == State::Normal;
    const std::int32_t frameColour = invalid  ? m_options.colInvalidFrame
                                     : normal ? m_options.colNormalFrame
                                              : m_options.colSelectedFrame;
    const std::int32_t labelColour = invalid  ? m_options.colInvalidButton
                                     : normal ? m_options.colNormalButton
                                              : m_options.colSelectedButton;
    if (shown.placeholder) {
        // Only the composition is known: the button's frame and id.
        frameIn(m_page, clip, x, y, right, bottom, colourToRgb(frameColour));
        hexLabelIn(m_page, clip, x + 3, y + 3, static_cast<std::uint16_t>(shown.id),
                   colourToRgb(labelColour));
        return;
    }
    // Each BOG's object replaces what lies under its box.
    const Box under{std::max(x, box.left), std::max(y, box.top), std::min(right, box.right),
                    std::min(bottom, box.bottom)};
    if (!under.empty()) DelRect(under.left, under.top, under.bottom, under.right);
    if (const auto picture = Obj2Pic(m_menu, shown.object, shownPage()->palette_id_ref))
        blendIn(m_page, *picture, x, y, clip);
    if (shown.state == State::Activated) return;
    if (m_options.ButtonId)
        hexLabelIn(m_page, clip, x + 3, y + 3, static_cast<std::uint16_t>(shown.id),
                   colourToRgb(labelColour));
    if (m_options.ObjectId)
        hexLabelIn(m_page, clip, right - 28, bottom - 16, button->normal_start_object_id_ref,
                   colourToRgb(labelColour));
    if (m_options.ButtonFrame) frameIn(m_page, clip, x, y, right, bottom, colourToRgb(frameColour));
}

void PageRenderer::DelButton(std::size_t id) {
    const TIGbutton* button = shownButton(id);
    if (!button) return;
    const std::uint8_t bog = m_menu.ButtonStates[id].bog_index;
    for (const TButtonState& state : m_menu.ButtonStates)
        if (state.enabled == 1 && state.bog_index == bog) return;
    if (bog < m_shown.size() && m_shown[bog].drawn) {
        m_shown[bog].drawn = false;
        repaint(m_shown[bog].area);
        return;
    }
    const std::uint16_t object = button->normal_start_object_id_ref;
    if (object >= m_menu.IGObjects.size()) return;
    const auto picture = Obj2Pic(m_menu, object, shownPage()->palette_id_ref);
    if (!picture) return;
    const int x = button->button_horizontal_position, y = button->button_vertical_position;
    repaint({x, y, x + picture->width, y + picture->height});
}

void PageRenderer::drawFrameOf(std::size_t id, State state) {
    const TIGbutton* button = shownButton(id);
    if (!button) return;
    TButtonState& s = m_menu.ButtonStates[id];
    int start = 0, end = 0;
    bool repeat = false;
    std::uint8_t* animated = nullptr;
    switch (state) {
    case State::Normal:
        start = button->normal_start_object_id_ref;
        end = button->normal_end_object_id_ref;
        repeat = s.normal_repeat != 0;
        animated = &s.normal_animated;
        break;
    case State::Selected:
        start = button->selected_start_object_id_ref;
        end = button->selected_end_object_id_ref;
        repeat = s.selected_repeat != 0;
        animated = &s.selected_animated;
        break;
    case State::Activated:
        start = button->activated_start_object_id_ref;
        end = button->activated_end_object_id_ref;
        animated = &s.activated_animated;
        break;
    }
    // Wider than 16 bits so that start + counter never wraps to a small valid id.
    const int object = start + s.frame_counter;
    if (*animated) {
        ++s.frame_counter;
        if (static_cast<int>(s.frame_counter) > end - start) {
            s.frame_counter = 0;
            if (!repeat) *animated = 0;
        }
    }
    if (object >= NoIGObject) {
        hideInBog(id);
        return;
    }
    showInBog(id, *button, state, static_cast<std::uint16_t>(object));
}

void PageRenderer::playSound(std::uint16_t sound) {
    if (m_quiet) return;
    if (m_options.PlaySound && sound < soundCount && hooks.playSound) hooks.playSound(sound);
}

void PageRenderer::DrawButton(std::size_t id) {
    const TIGbutton* button = shownButton(id);
    if (!button) return;
    TButtonState& s = m_menu.ButtonStates[id];
    s.frame_counter = 0;
    s.normal_animated = button->normal_start_object_id_ref < button->normal_end_object_id_ref;
    DrawButt(id);
}

void PageRenderer::DrawButt(std::size_t id) {
    drawFrameOf(id, State::Normal);
}

void PageRenderer::DrawSButton() {
    const std::size_t id = m_regs.PSR[PSR_SELECTED_BUTTON];
    const TIGbutton* button = shownButton(id);
    if (!button) return;
    playSound(button->selected_state_sound_id_ref);
    TButtonState& s = m_menu.ButtonStates[id];
    s.frame_counter = 0;
    s.selected_animated = button->selected_start_object_id_ref < button->selected_end_object_id_ref;
    DrawSButt();
}

void PageRenderer::DrawSButt() {
    drawFrameOf(m_regs.PSR[PSR_SELECTED_BUTTON], State::Selected);
}

void PageRenderer::DrawAButton() {
    const std::size_t id = m_regs.PSR[PSR_SELECTED_BUTTON];
    const TIGbutton* button = shownButton(id);
    if (!button) return;
    playSound(button->activated_state_sound_id_ref);
    TButtonState& s = m_menu.ButtonStates[id];
    s.frame_counter = 0;
    s.activated_animated = button->activated_start_object_id_ref < button->activated_end_object_id_ref;
    if (m_options.ShowButtonAnimation)
        DrawAButt();
    else
        DrawAButt2();
}

void PageRenderer::DrawAButt() {
    drawFrameOf(m_regs.PSR[PSR_SELECTED_BUTTON], State::Activated);
}

void PageRenderer::DrawAButt2() {
    const TIGbutton* button = shownButton(m_regs.PSR[PSR_SELECTED_BUTTON]);
    if (!button) return;
    const int start = button->activated_start_object_id_ref, end = button->activated_end_object_id_ref;
    if (start == NoIGObject || start > end) return;
    const int wait =
        animationFrameMs(m_menu.IGSc.frame_rate_id, shownPage()->animation_frame_rate_code).value_or(0);
    // int, so that an end of 0xFFFF ends the loop; objects past the list end it too.
    const int last = std::min(end, static_cast<int>(m_menu.IGObjects.size()) - 1);
    for (int object = start; object <= last; ++object) {
        if (hooks.cancelled && hooks.cancelled()) break;
        showInBog(m_regs.PSR[PSR_SELECTED_BUTTON], *button, State::Activated,
                  static_cast<std::uint16_t>(object));
        if (hooks.refresh) hooks.refresh();
        if (hooks.wait) hooks.wait(wait);
    }
    if (hooks.status)
        hooks.status("PSR10: " + hexText(m_regs.PSR[PSR_SELECTED_BUTTON] & 0xFFFF, 4) +
                     ", PSR11: " + hexText(m_regs.PSR[PSR_PAGE] & 0xFF, 2));
}

void PageRenderer::LoadBmps(std::size_t page) {
    if (page >= m_menu.IGSc.pages.size()) return;
    const TPage& p = m_menu.IGSc.pages[page];
    const int objects = static_cast<int>(m_menu.IGObjects.size());
    auto load = [&](int start, int end, std::uint16_t palette) {
        for (int o = start; o <= std::min(end, objects - 1) && o < NoIGObject; ++o)
            Obj2Pic(m_menu, static_cast<std::uint16_t>(o), palette);
    };
    for (const TBOG& bog : p.BOGs)
        for (const TIGbutton& b : bog.buttons) {
            load(b.normal_start_object_id_ref, b.normal_end_object_id_ref, p.palette_id_ref);
            load(b.selected_start_object_id_ref, b.selected_end_object_id_ref, p.palette_id_ref);
            load(b.activated_start_object_id_ref, b.activated_end_object_id_ref, p.palette_id_ref);
        }
    for (const Teffectseq& sequence : p.effect_sequences)
        for (const Teffect& effect : sequence.effects)
            for (const TCompObject& object : effect.composition_objects)
                load(object.object_id_ref, object.object_id_ref, effect.palette_id_ref);
}

std::string PageRenderer::pageStatus() const {
    const std::uint32_t psr10 = m_regs.PSR[PSR_SELECTED_BUTTON], psr11 = m_regs.PSR[PSR_PAGE];
    return "PSR10: " + hexText(psr10 & 0xFFFF, 4) + " (" + std::to_string(psr10) +
           "), PSR11: " + hexText(psr11 & 0xFF, 2) + " (" + std::to_string(psr11) + ")";
}

void PageRenderer::drawPicture(const RgbaImage& picture, int x, int y) {
    drawBlended(m_page, picture, x, y);
}

void PageRenderer::drawPageFrame(int left, int top, int right, int bottom, std::uint32_t rgb) {
    drawFrame(m_page, left, top, right, bottom, rgb);
}

std::int64_t PageRenderer::nowMs() const {
    if (hooks.nowMs) return hooks.nowMs();
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void PageRenderer::DrawPage() {
    drawPageWith(true);
}

void PageRenderer::RedrawPage() {
    m_quiet = true;
    drawPageWith(false);
    m_quiet = false;
}

void PageRenderer::drawPageWith(bool inEffects) {
    m_regs.PSR[PSR_BACKUP_PAGE] = m_regs.PSR[PSR_PAGE];
    const std::size_t page = m_regs.PSR[PSR_PAGE];
    if (m_options.PreLoad) LoadBmps(page);
    DelPage();
    if (inEffects && m_options.ShowInEffects && hooks.inEffects && shownPage()) hooks.inEffects(page);
    for (std::size_t id = 0; id < m_menu.ButtonStates.size(); ++id)
        if (m_menu.ButtonStates[id].enabled == 1) DrawButton(id);
    if (m_regs.PSR[PSR_SELECTED_BUTTON] < NoButton) DrawSButton();
    if (hooks.status) hooks.status(pageStatus());
}

} // namespace corvane
