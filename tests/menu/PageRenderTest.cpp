// The page renderer: exact blending, animation frames, overlays at their pixels, erasing,
// the activated animation's pacing, backgrounds from files, and the view geometry.

#include <gtest/gtest.h>

#include <png.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "graphics/ObjectPicture.h"
#include "io/FileIO.h"
#include "menu/IGReader.h"
#include "menu/MenuTestUtil.h"
#include "menu/PageRender.h"

namespace corvane {
namespace {

using testing::addObject;

using testing::Navy;

using testing::px;
using testing::rgb;

// A one-page menu: palette 0 with entry n = (n, 255 - n, 7, 255), entry 1 half-transparent red,
// entry 0 transparent; objects 10..13 are 1 x 1 pictures of entries 10..13, object 0 is 60 x 40
// of entry 2.
TMenu oneBogMenu(std::vector<TBOG> bogs) {
    TMenu menu;
    menu.IGSc.video_width = 1920;
    menu.IGSc.video_height = 1080;
    menu.IGSc.frame_rate_id = 2;
    TPage page;
    page.palette_id_ref = 0;
    page.animation_frame_rate_code = 2;
    page.BOGs = std::move(bogs);
    page.number_of_BOGs = static_cast<std::uint8_t>(page.BOGs.size());
    menu.IGSc.pages = {page};
    menu.IGSc.number_of_pages = 1;
    menu.PageButtons = {buildPageButtons(page)};
    menu.IGPalettes.resize(1);
    for (int n = 2; n < 256; ++n)
        menu.IGPalettes[0].entries[static_cast<std::size_t>(n)] = {
            static_cast<std::uint8_t>(n), static_cast<std::uint8_t>(255 - n), 7, 255};
    menu.IGPalettes[0].entries[1] = {255, 0, 0, 128};
    IndexPicture big(60, 40);
    std::fill(big.pixels.begin(), big.pixels.end(), 2);
    addObject(menu, 0, big);
    for (std::uint8_t o = 10; o <= 13; ++o) {
        IndexPicture one(1, 1);
        one.pixels[0] = o;
        addObject(menu, o, one);
    }
    menu.ButtonStates = buildButtonStates(menu, 0);
    return menu;
}

TIGbutton button(std::uint16_t id, int x, int y, std::uint16_t start, std::uint16_t end,
                 std::size_t commands = 1) {
    TIGbutton b = testing::makeButton(id, start, end, commands);
    b.button_horizontal_position = static_cast<std::uint16_t>(x);
    b.button_vertical_position = static_cast<std::uint16_t>(y);
    b.normal_repeat_flag = 0;
    b.selected_start_object_id_ref = start;
    b.selected_end_object_id_ref = end;
    return b;
}

TBOG bog(std::vector<TIGbutton> buttons, std::uint16_t defaultValid) {
    TBOG g;
    g.default_valid_button_id_ref = defaultValid;
    g.buttons = std::move(buttons);
    g.number_of_buttons = static_cast<std::uint8_t>(g.buttons.size());
    return g;
}

struct Fixture : testing::NavyRenderer {
    explicit Fixture(TMenu m) : NavyRenderer(std::move(m)) { regs.PSR[PSR_SELECTED_BUTTON] = 0xFFFF; }
};

TEST(PageRender, BlendsPaletteAlphaExactlyOverTheBackground) {
    TMenu menu = oneBogMenu({bog({button(0, 100, 50, 20, 20)}, 0)});
    IndexPicture three(3, 1);
    three.pixels = {1, 0, 200};
    addObject(menu, 20, three);
    Fixture f(std::move(menu));
    f.renderer.DrawPage();
    // half-transparent red (T 128) over navy: (255*128 + 0*127 + 127) / 255, (128*127 + 127) / 255
    EXPECT_EQ(px(f.renderer.page(), 100, 50), (std::array<int, 4>{128, 0, 64, 255}));
    EXPECT_EQ(px(f.renderer.page(), 101, 50), rgb(Navy)); // T 0 leaves the background
    EXPECT_EQ(px(f.renderer.page(), 102, 50), (std::array<int, 4>{200, 55, 7, 255}));
    EXPECT_EQ(px(f.renderer.page(), 103, 50), rgb(Navy));
    // drawing the button again blends over the background, not over its last frame
    f.renderer.DrawButton(0);
    EXPECT_EQ(px(f.renderer.page(), 100, 50), (std::array<int, 4>{128, 0, 64, 255}));
}

TEST(PageRender, NormalAnimationCyclesWithRepeatAndStopsOnTheLastFrameWithout) {
    for (const bool repeat : {true, false}) {
        TIGbutton b = button(0, 10, 10, 10, 13);
        b.normal_repeat_flag = repeat;
        Fixture f(oneBogMenu({bog({b}, 0)}));
        std::vector<int> shown;
        f.renderer.DrawButton(0);
        shown.push_back(px(f.renderer.page(), 10, 10)[0]);
        for (int tick = 0; tick < 5; ++tick) { // the animation tick draws animated states only
            if (f.menu.ButtonStates[0].normal_animated) f.renderer.DrawButt(0);
            shown.push_back(px(f.renderer.page(), 10, 10)[0]);
        }
        if (repeat)
            EXPECT_EQ(shown, (std::vector<int>{10, 11, 12, 13, 10, 11}));
        else
            EXPECT_EQ(shown, (std::vector<int>{10, 11, 12, 13, 13, 13}));
        EXPECT_EQ(f.menu.ButtonStates[0].normal_animated, repeat ? 1 : 0);
    }
}

TEST(PageRender, SingleObjectStatesAndBadIdsDrawWhatTheyShould) {
    Fixture f(oneBogMenu({bog({button(0, 10, 10, 12, 12), button(1, 30, 10, 0xFFFF, 0xFFFF)}, 0)}));
    f.renderer.DrawButton(0);
    EXPECT_EQ(f.menu.ButtonStates[0].normal_animated, 0);
    f.renderer.DrawButt(0);
    EXPECT_EQ(px(f.renderer.page(), 10, 10)[0], 12);
    const RgbaImage before = f.renderer.page();
    f.renderer.DrawButton(1);                 // object 0xFFFF
    f.renderer.DrawButton(7);                 // no such slot
    f.regs.PSR[PSR_SELECTED_BUTTON] = 0x1234; // beyond the table
    f.renderer.DrawSButton();
    f.renderer.DrawAButton();
    f.regs.PSR[PSR_PAGE] = 3; // no such page
    f.renderer.DrawButton(0);
    EXPECT_EQ(f.renderer.page(), before);
}

TEST(PageRender, OverlaysSitAtTheirPixelsInTheStateColours) {
    // button 0x00A5 with commands, selected; button 3 without commands, normal
    Fixture f(
        oneBogMenu({bog({button(0xA5, 200, 100, 0, 0)}, 0xA5), bog({button(3, 400, 300, 0, 0, 0)}, 3)}));
    f.options.ButtonId = f.options.ObjectId = f.options.ButtonFrame = true;
    f.regs.PSR[PSR_SELECTED_BUTTON] = 0xA5;
    f.renderer.DrawPage();
    const RgbaImage& page = f.renderer.page();
    const auto yellow = rgb(0xFFFF00), red = rgb(0xFF0000), gray = rgb(0x808080), black = rgb(0);
    // id label at (x + 3, y + 3): background, then the first digit "0" (row 0: .###.)
    EXPECT_EQ(px(page, 203, 103), yellow);
    EXPECT_EQ(px(page, 203 + 27, 103 + 15), yellow);
    EXPECT_EQ(px(page, 203 + 2, 103 + 4), black);
    EXPECT_EQ(px(page, 203 + 1, 103 + 4), yellow);
    // third digit "A" (row 3: #####) at 2 x 7 pixels further
    for (int col = 0; col < 5; ++col) EXPECT_EQ(px(page, 203 + 14 + 1 + col, 103 + 4 + 3), black);
    // object id label at (right - 28, bottom - 16) for the 60 x 40 object
    EXPECT_EQ(px(page, 260 - 28, 140 - 16), yellow);
    EXPECT_EQ(px(page, 260 - 28 - 1, 140 - 17), (std::array<int, 4>{2, 253, 7, 255}));
    // frame on the border pixels of the box, in the selected colour
    EXPECT_EQ(px(page, 200, 100), red);
    EXPECT_EQ(px(page, 259, 139), red);
    EXPECT_EQ(px(page, 259, 110), red);
    EXPECT_EQ(px(page, 201, 130), (std::array<int, 4>{2, 253, 7, 255}));
    EXPECT_EQ(px(page, 260, 139), rgb(Navy));
    // the button without commands: invalid label and frame
    EXPECT_EQ(px(page, 403, 303), gray);
    EXPECT_EQ(px(page, 400, 300), black);
    EXPECT_EQ(px(page, 459, 300), black);
    // normal state of a valid button: white label, silver frame
    f.regs.PSR[PSR_SELECTED_BUTTON] = 0xFFFF;
    f.renderer.DrawPage();
    EXPECT_EQ(px(f.renderer.page(), 203, 103), rgb(0xFFFFFF));
    EXPECT_EQ(px(f.renderer.page(), 200, 100), rgb(0xC0C0C0));
    EXPECT_EQ(f.renderer.pageStatus(), "PSR10: FFFF (65535), PSR11: 00 (0)");
}

TEST(PageRender, ActivatedStateDrawsNoOverlays) {
    TIGbutton b = button(0, 200, 100, 0, 0);
    b.activated_start_object_id_ref = b.activated_end_object_id_ref = 0;
    Fixture f(oneBogMenu({bog({b}, 0)}));
    f.options.ButtonId = f.options.ButtonFrame = f.options.ShowButtonAnimation = true;
    f.regs.PSR[PSR_SELECTED_BUTTON] = 0;
    f.renderer.DrawPage();
    f.renderer.DrawAButton();
    EXPECT_EQ(px(f.renderer.page(), 200, 100), (std::array<int, 4>{2, 253, 7, 255}));
    EXPECT_EQ(px(f.renderer.page(), 203, 103), (std::array<int, 4>{2, 253, 7, 255}));
}

TEST(PageRender, DelButtonErasesOnlyWhenItsBogShowsNothing) {
    Fixture f(oneBogMenu({bog({button(0, 100, 100, 0, 0), button(1, 100, 100, 0, 0)}, 0)}));
    f.renderer.DrawPage();
    const RgbaImage drawn = f.renderer.page();
    f.menu.ButtonStates[1].enabled = 0;
    f.renderer.DelButton(1); // button 0 of the same BOG is still enabled
    EXPECT_EQ(f.renderer.page(), drawn);
    f.menu.ButtonStates[0].enabled = 0;
    f.renderer.DelButton(1);
    EXPECT_EQ(px(f.renderer.page(), 100, 100), rgb(Navy));
    EXPECT_EQ(px(f.renderer.page(), 159, 139), rgb(Navy));
    EXPECT_EQ(f.renderer.page(), f.renderer.background());
}

// Object `id` as a width x height picture of palette entry `entry`.
void addPlain(TMenu& menu, std::uint16_t id, int width, int height, std::uint8_t entry) {
    IndexPicture picture(width, height);
    std::fill(picture.pixels.begin(), picture.pixels.end(), entry);
    addObject(menu, id, picture);
}

TEST(PageRender, AStateChangeErasesTheBoxOfTheStateItReplaces) {
    // normal 100 x 40 of entry 50, selected 120 x 50 of entry 60
    TIGbutton b = button(0, 100, 100, 20, 20);
    b.selected_start_object_id_ref = b.selected_end_object_id_ref = 21;
    TMenu menu = oneBogMenu({bog({b}, 0)});
    addPlain(menu, 20, 100, 40, 50);
    addPlain(menu, 21, 120, 50, 60);
    Fixture f(std::move(menu));
    f.regs.PSR[PSR_SELECTED_BUTTON] = 0;
    f.renderer.DrawPage();
    EXPECT_EQ(px(f.renderer.page(), 215, 145)[0], 60);
    f.renderer.DrawButton(0); // back to normal
    EXPECT_EQ(px(f.renderer.page(), 150, 120)[0], 50);
    EXPECT_EQ(px(f.renderer.page(), 215, 120), rgb(Navy)); // right of the normal box
    EXPECT_EQ(px(f.renderer.page(), 150, 145), rgb(Navy)); // below it
    EXPECT_EQ(px(f.renderer.page(), 219, 149), rgb(Navy));
    // a state without an object erases the BOG's box as well
    f.menu.IGSc.pages[0].BOGs[0].buttons[0].normal_start_object_id_ref = NoIGObject;
    f.menu.PageButtons[0] = buildPageButtons(f.menu.IGSc.pages[0]);
    f.renderer.DrawSButton();
    f.renderer.DrawButton(0);
    EXPECT_EQ(f.renderer.page(), f.renderer.background());
}

TEST(PageRender, OverlappingBogsComposeInBogOrderWhateverTheDrawingOrder) {
    // BOG 0 holds button 1 (100 x 40 of entry 50 at (100, 100)), BOG 1 button 0 (60 x 40 of
    // entry 2 at (150, 120)): where they overlap BOG 1 is on top, also while button 1 is
    // selected (120 x 50 of entry 60) and after it goes back to normal.
    TIGbutton first = button(1, 100, 100, 20, 20);
    first.selected_start_object_id_ref = first.selected_end_object_id_ref = 21;
    TMenu menu = oneBogMenu({bog({first}, 1), bog({button(0, 150, 120, 0, 0)}, 0)});
    addPlain(menu, 20, 100, 40, 50);
    addPlain(menu, 21, 120, 50, 60);
    Fixture f(std::move(menu));
    f.regs.PSR[PSR_SELECTED_BUTTON] = 1;
    f.renderer.DrawPage(); // draws by button id, then the selected one
    const auto& page = f.renderer.page();
    EXPECT_EQ(px(page, 160, 130)[0], 2) << "the later BOG is on top of the selected button";
    EXPECT_EQ(px(page, 110, 110)[0], 60);
    EXPECT_EQ(px(page, 215, 145)[0], 60);
    EXPECT_EQ(px(page, 205, 155)[0], 2);
    f.renderer.DrawButton(1);
    EXPECT_EQ(px(page, 160, 130)[0], 2);
    EXPECT_EQ(px(page, 110, 110)[0], 50);
    EXPECT_EQ(px(page, 215, 145), rgb(Navy));
    EXPECT_EQ(px(page, 205, 155)[0], 2) << "erasing the selected box keeps the other BOG";
    f.menu.ButtonStates[0].enabled = 0;
    f.renderer.DelButton(0);
    EXPECT_EQ(px(page, 160, 130)[0], 50) << "the earlier BOG shows again under the erased box";
    EXPECT_EQ(px(page, 160, 145), rgb(Navy));
}

TEST(PageRender, DrawAButt2PacesFramesByTheFrameRateTable) {
    TIGbutton b = button(0, 10, 10, 10, 10);
    b.activated_start_object_id_ref = 10;
    b.activated_end_object_id_ref = 0xFFFF; // runs to the last object, then ends
    Fixture f(oneBogMenu({bog({b}, 0)}));
    std::vector<int> waits, colours;
    std::string status;
    f.renderer.hooks.wait = [&](int ms) { waits.push_back(ms); };
    f.renderer.hooks.refresh = [&] { colours.push_back(px(f.renderer.page(), 10, 10)[0]); };
    f.renderer.hooks.status = [&](const std::string& text) { status = text; };
    f.regs.PSR[PSR_SELECTED_BUTTON] = 0;
    f.renderer.DrawAButton();
    EXPECT_EQ(waits, (std::vector<int>{83, 83, 83, 83}));
    EXPECT_EQ(colours, (std::vector<int>{10, 11, 12, 13}));
    EXPECT_EQ(status, "PSR10: 0000, PSR11: 00");
    f.menu.PageButtons[0].find(0)->activated_start_object_id_ref = 12;
    f.menu.PageButtons[0].find(0)->activated_end_object_id_ref = 11; // inverted: nothing
    waits.clear();
    f.renderer.DrawAButt2();
    EXPECT_TRUE(waits.empty());
}

TEST(PageRender, SoundsPlayOnlyWhenTickedAndKnown) {
    TIGbutton b = button(0, 10, 10, 10, 10);
    b.selected_state_sound_id_ref = 1;
    b.activated_state_sound_id_ref = 2;
    Fixture f(oneBogMenu({bog({b}, 0)}));
    std::vector<int> played;
    f.renderer.hooks.playSound = [&](std::uint16_t s) { played.push_back(s); };
    f.renderer.soundCount = 2;
    f.regs.PSR[PSR_SELECTED_BUTTON] = 0;
    f.renderer.DrawSButton();
    f.options.PlaySound = true;
    f.renderer.DrawSButton();
    f.renderer.DrawAButton(); // sound 2 is not below the count
    EXPECT_EQ(played, (std::vector<int>{1}));
}

TEST(PageRender, DrawPageSetsPsr43AndPreloadsThePage) {
    TMenu menu = oneBogMenu({bog({button(0, 10, 10, 10, 13)}, 0)});
    menu.IGSc.pages[0].effect_sequences[0].effects = {Teffect{100, 0, 1, {TCompObject{0, 0, 0, 0, 0}}}};
    Fixture f(std::move(menu));
    f.options.PreLoad = true;
    std::size_t effects = 0;
    f.renderer.hooks.inEffects = [&](std::size_t) { ++effects; };
    f.regs.PSR[PSR_BACKUP_PAGE] = 9;
    f.renderer.DrawPage();
    EXPECT_EQ(f.regs.PSR[PSR_BACKUP_PAGE], 0u);
    EXPECT_EQ(effects, 1u);
    for (std::uint16_t o : {0, 10, 11, 12, 13}) EXPECT_TRUE(objectPictureCached(f.menu, o, 0)) << o;
    f.options.ShowInEffects = false;
    f.renderer.DrawPage();
    EXPECT_EQ(effects, 1u);
}

TEST(PageRender, RedrawAfterAnEditPlaysNoEffectsWaitsOrSounds) {
    // A table's cell commit redraws the page: a wait there would process events inside the commit.
    TIGbutton b = button(0, 10, 10, 10, 13);
    b.selected_state_sound_id_ref = 0;
    TMenu menu = oneBogMenu({bog({b}, 0)});
    menu.IGSc.pages[0].effect_sequences[0].effects = {Teffect{90000, 0, 1, {TCompObject{0, 0, 0, 0, 0}}}};
    Fixture f(std::move(menu));
    f.options.ShowInEffects = true;
    f.options.PlaySound = true;
    f.renderer.soundCount = 1;
    std::size_t effects = 0, waits = 0, sounds = 0;
    f.renderer.hooks.inEffects = [&](std::size_t) { ++effects; };
    f.renderer.hooks.wait = [&](int) { ++waits; };
    f.renderer.hooks.playSound = [&](std::uint16_t) { ++sounds; };
    f.menu.ButtonStates = buildButtonStates(f.menu, 0);
    f.regs.PSR[PSR_SELECTED_BUTTON] = 0;
    f.renderer.DrawPage();
    EXPECT_EQ(effects, 1u);
    EXPECT_EQ(sounds, 1u);
    const RgbaImage drawn = f.renderer.page();
    f.renderer.RedrawPage();
    EXPECT_EQ(effects, 1u);
    EXPECT_EQ(sounds, 1u);
    EXPECT_EQ(waits, 0u);
    EXPECT_TRUE(f.renderer.page().pixels == drawn.pixels);
    f.renderer.DrawSButton(); // sounds come back after the redraw
    EXPECT_EQ(sounds, 2u);
}

TEST(PageRender, ButtonStatesEnableEachBogsDefaultValidButton) {
    TMenu menu = oneBogMenu(
        {bog({button(0, 0, 0, 10, 10), button(4, 0, 0, 10, 12)}, 4), bog({button(2, 0, 0, 10, 10)}, 0xFFFF)});
    const auto states = buildButtonStates(menu, 0);
    ASSERT_EQ(states.size(), 5u);
    EXPECT_EQ(states[0].enabled, 0);
    EXPECT_EQ(states[4].enabled, 1);
    EXPECT_EQ(states[4].button_index, 1);
    EXPECT_EQ(states[4].normal_animated, 1);
    EXPECT_EQ(states[2].enabled, 0);
    EXPECT_EQ(states[2].bog_index, 1);
    EXPECT_TRUE(buildButtonStates(menu, 1).empty());
}

TEST(PageRenderGeometry, FrameRateTableAndFitLayout) {
    EXPECT_EQ(animationFrameMs(2, 2), 83);
    EXPECT_EQ(animationFrameMs(1, 1), 41);
    EXPECT_EQ(animationFrameMs(7, 3), 50);
    for (int id : {0, 5, 8, 15}) EXPECT_FALSE(animationFrameMs(id, 1).has_value()) << id;

    const ViewGeometry wide = fitGeometry(962, 543);
    EXPECT_EQ((std::array<int, 4>{wide.left, wide.top, wide.width, wide.height}),
              (std::array<int, 4>{1, 1, 960, 540}));
    const ViewGeometry tall = fitGeometry(502, 1002);
    EXPECT_EQ((std::array<int, 4>{tall.left, tall.top, tall.width, tall.height}),
              (std::array<int, 4>{1, 360, 500, 281}));
    const ViewGeometry flat = fitGeometry(2002, 502);
    EXPECT_EQ((std::array<int, 4>{flat.left, flat.top, flat.width, flat.height}),
              (std::array<int, 4>{557, 1, 888, 500}));
    const ViewGeometry none = fitGeometry(1, 0);
    EXPECT_EQ(none.width, 0);
    EXPECT_FALSE(viewToPage(none, 5, 5).has_value()); // no division by an empty image
}

TEST(PageRenderGeometry, PointerMappingBothWays) {
    const ViewGeometry half = fitGeometry(962, 543);
    EXPECT_EQ(viewToPage(half, 480, 270), (PagePoint{960, 540}));
    EXPECT_EQ(viewToPage(actualSizeGeometry(), 1919, 7), (PagePoint{1919, 7}));
    const ViewGeometry odd = fitGeometry(1500, 700);
    for (int x = 0; x < odd.width; ++x) ASSERT_EQ(pageToView(odd, viewToPage(odd, x, 0)->x, 0).x, x) << x;
    for (int y = 0; y < odd.height; ++y) ASSERT_EQ(pageToView(odd, 0, viewToPage(odd, 0, y)->y).y, y) << y;
}

std::vector<std::uint8_t> rgbaPng(int w, int h, const std::vector<std::uint8_t>& rgba) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(w);
    image.height = static_cast<png_uint_32>(h);
    image.format = PNG_FORMAT_RGBA;
    png_alloc_size_t size = 0;
    png_image_write_to_memory(&image, nullptr, &size, 0, rgba.data(), 0, nullptr);
    std::vector<std::uint8_t> out(size);
    EXPECT_TRUE(png_image_write_to_memory(&image, out.data(), &size, 0, rgba.data(), 0, nullptr));
    out.resize(size);
    return out;
}

// A 2 x 2 24-bit bottom-up bitmap: top row red, green; bottom row blue, white.
std::vector<std::uint8_t> smallBmp() {
    std::vector<std::uint8_t> b = {'B', 'M', 70, 0, 0, 0, 0, 0, 0, 0,  54, 0, 0, 0, 40, 0,  0, 0, 2,
                                   0,   0,   0,  2, 0, 0, 0, 1, 0, 24, 0,  0, 0, 0, 0,  16, 0, 0, 0};
    b.resize(54, 0);
    for (std::uint8_t v : {255, 0, 0, 255, 255, 255, 0, 0}) b.push_back(v); // bottom: blue, white (BGR), pad
    for (std::uint8_t v : {0, 0, 255, 0, 255, 0, 0, 0}) b.push_back(v);     // top: red, green, pad
    return b;
}

TEST(PageRenderBackground, FilesOverTheColourAndFallbacks) {
    const auto dir = std::filesystem::temp_directory_path() / "corvane_pagerender_test";
    std::filesystem::create_directories(dir);
    const std::string png = (dir / "back.png").string(), bmp = (dir / "back.BMP").string();
    ASSERT_TRUE(writeWholeFile(png, rgbaPng(2, 1, {255, 255, 255, 128, 10, 20, 30, 255})).ok);
    ASSERT_TRUE(writeWholeFile(bmp, smallBmp()).ok);
    std::string error;

    RgbaImage page = makeBackground({true, png, Navy}, error);
    EXPECT_TRUE(error.empty()) << error;
    ASSERT_EQ(page.width, PageWidth);
    ASSERT_EQ(page.height, PageHeight);
    EXPECT_EQ(px(page, 0, 0), (std::array<int, 4>{128, 128, 192, 255})); // (255*128 + c*127 + 127) / 255
    EXPECT_EQ(px(page, 1, 0), (std::array<int, 4>{10, 20, 30, 255}));
    EXPECT_EQ(px(page, 2, 0), rgb(Navy));

    page = makeBackground({true, bmp, Navy}, error);
    EXPECT_TRUE(error.empty()) << error;
    ASSERT_EQ(page.width, PageWidth); // a small bitmap still gives a whole page
    EXPECT_EQ(px(page, 0, 0), rgb(0xFF0000));
    EXPECT_EQ(px(page, 1, 0), rgb(0x00FF00));
    EXPECT_EQ(px(page, 0, 1), rgb(0x0000FF));
    EXPECT_EQ(px(page, 1, 1), rgb(0xFFFFFF));
    EXPECT_EQ(px(page, 5, 5), rgb(Navy));

    const RgbaImage builtIn = makeBackground({false, bmp, Navy}, error);
    EXPECT_EQ(px(builtIn, 1, 1), rgb(Navy));
    EXPECT_EQ(px(builtIn, 0, 1), (std::array<int, 4>{24, 24, 140, 255})); // grid line, alpha 24
    page = makeBackground({true, (dir / "missing.png").string(), Navy}, error);
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(page, builtIn);

    std::vector<std::uint8_t> cut = smallBmp();
    cut.resize(60);
    error.clear();
    EXPECT_FALSE(readBmp(cut, error).has_value());
    EXPECT_FALSE(error.empty());
    std::filesystem::remove_all(dir);
}

TEST(PageRenderBackground, RgbPngRoundTrip) {
    RgbaImage image(3, 2);
    for (std::size_t i = 0; i < image.pixels.size(); ++i) image.pixels[i] = static_cast<std::uint8_t>(i * 11);
    std::string error;
    const auto bytes = writeRgbPng(image, error);
    ASSERT_FALSE(bytes.empty()) << error;
    EXPECT_EQ(bytes[25], 2); // colour type RGB
    const auto back = readRgbaPng(bytes, error);
    ASSERT_TRUE(back.has_value()) << error;
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) {
            const auto want = px(image, x, y);
            EXPECT_EQ(px(*back, x, y), (std::array<int, 4>{want[0], want[1], want[2], 255}));
        }
}

TEST(PageRender, CompositionsWithoutObjectsDrawTheirButtonFramesAndIds) {
    for (const char* name : {"bdpl-disc17-ics-popup-2pages.bin", "bdpl-disc29-ics-always-on-4pages.bin"}) {
        const auto path = std::filesystem::path(CORVANE_TEST_DATA) / "menu" / name;
        std::string error;
        const auto body = readWholeFile(path.string(), error);
        ASSERT_TRUE(body.has_value()) << error;
        MnuReadResult read = loadMNU(wrapComposition(*body));
        ASSERT_EQ(read.status, ReadStatus::Ok);
        for (std::size_t page = 0; page < read.menu.IGSc.pages.size(); ++page) {
            SCOPED_TRACE(std::string(name) + " page " + std::to_string(page));
            read.menu.ButtonStates = buildButtonStates(read.menu, page);
            Fixture f(read.menu);
            f.options.ButtonId = f.options.ObjectId = f.options.ButtonFrame = false; // drawn anyway
            f.regs.PSR[PSR_PAGE] = static_cast<std::uint32_t>(page);
            const std::uint16_t selected = read.menu.IGSc.pages[page].default_selected_button_id_ref;
            f.regs.PSR[PSR_SELECTED_BUTTON] = selected;
            f.renderer.DrawPage();
            const RgbaImage& shown = f.renderer.page();
            std::size_t framed = 0;
            for (const TBOG& g : read.menu.IGSc.pages[page].BOGs)
                for (const TIGbutton& b : g.buttons) {
                    // what the BOG shows: the selected button, else its default valid one
                    const bool holdsSelected =
                        std::any_of(g.buttons.begin(), g.buttons.end(),
                                    [&](const TIGbutton& o) { return o.button_id == selected; });
                    if (b.button_id != (holdsSelected ? selected : g.default_valid_button_id_ref)) continue;
                    const std::uint16_t object = b.button_id == selected ? b.selected_start_object_id_ref
                                                                         : b.normal_start_object_id_ref;
                    if (object == NoIGObject) continue; // nothing to show in this state
                    const int x = b.button_horizontal_position, y = b.button_vertical_position;
                    if (x >= PageWidth || y >= PageHeight) continue;
                    // the frame's corner and the id label's first digit
                    EXPECT_NE(px(shown, x, y), rgb(Navy)) << "button " << b.button_id;
                    if (x + 6 < PageWidth && y + 8 < PageHeight) {
                        EXPECT_NE(px(shown, x + 5, y + 8), rgb(Navy)) << "button " << b.button_id;
                    }
                    ++framed;
                }
            if (framed > 0) {
                EXPECT_NE(shown, f.renderer.background());
            }
        }
    }
}

} // namespace
} // namespace corvane
