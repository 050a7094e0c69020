// Effect playback: pacing on a fake clock, window erasing and framing, cropped objects,
// window references past the windows held, the effect tables and the preview.

#include <gtest/gtest.h>

#include "menu/MenuEffects.h"
#include "menu/MenuTestUtil.h"
#include "menu/PageRender.h"

namespace corvane {
namespace {

using testing::addObject;

using testing::Navy;

using testing::px;
using testing::rgb;

// Palette 0: entry n = (n, 255 - n, 7, 255), entry 0 transparent. Object 0 is 200 x 100 with
// entry 1 + x % 100 + (y % 2) * 100 in each pixel (so every pixel tells its column and row
// parity); object 1 is 10 x 10 of entry 250.
TMenu effectMenu() {
    TMenu menu;
    TPage page;
    menu.IGSc.pages = {page};
    menu.IGSc.number_of_pages = 1;
    menu.PageButtons = {buildPageButtons(page)};
    menu.IGPalettes.resize(1);
    for (int n = 1; n < 256; ++n)
        menu.IGPalettes[0].entries[static_cast<std::size_t>(n)] = {
            static_cast<std::uint8_t>(n), static_cast<std::uint8_t>(255 - n), 7, 255};
    IndexPicture big(200, 100);
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 200; ++x)
            big.pixels[static_cast<std::size_t>(y) * 200 + x] =
                static_cast<std::uint8_t>(1 + x % 100 + (y % 2) * 100);
    addObject(menu, 0, big);
    IndexPicture small(10, 10);
    std::fill(small.pixels.begin(), small.pixels.end(), 250);
    addObject(menu, 1, small);
    return menu;
}

TCompObject placed(std::uint16_t object, std::uint8_t window, int x, int y) {
    TCompObject o;
    o.object_id_ref = object;
    o.window_id_ref = window;
    o.composition_object_horizontal_position = static_cast<std::uint16_t>(x);
    o.composition_object_vertical_position = static_cast<std::uint16_t>(y);
    return o;
}

Teffect effect(std::uint32_t ticks, std::vector<TCompObject> objects, std::uint8_t palette = 0) {
    Teffect e;
    e.effect_duration = ticks;
    e.palette_id_ref = palette;
    e.composition_objects = std::move(objects);
    e.number_of_composition_objects = static_cast<std::uint8_t>(e.composition_objects.size());
    return e;
}

Teffectseq sequence(std::vector<TEffWindow> windows, std::vector<Teffect> effects) {
    Teffectseq s;
    s.windows = std::move(windows);
    s.number_of_windows = static_cast<std::uint8_t>(s.windows.size());
    s.effects = std::move(effects);
    s.number_of_effects = static_cast<std::uint8_t>(s.effects.size());
    return s;
}

// A renderer on a plain navy background with a fake clock: drawing an effect costs
// `drawMs` (charged at refresh), a wait advances the clock by what it waits.
struct Player : testing::NavyRenderer {
    explicit Player(TMenu m) : NavyRenderer(std::move(m)) {
        renderer.hooks.nowMs = [this] { return clock; };
        renderer.hooks.refresh = [this] { clock += drawMs; };
        renderer.hooks.wait = [this](int ms) {
            waits.push_back(ms);
            clock += ms;
        };
        renderer.hooks.status = [this](const std::string& text) { status.push_back(text); };
        renderer.hooks.animationTimer = [this](bool run) { timer.push_back(run); };
    }
    // Paints the whole page white so that erased areas show.
    void paintPage() {
        RgbaImage white(PageWidth, PageHeight);
        white.fill(0xFFFFFF);
        renderer.drawPicture(white, 0, 0);
    }
    std::int64_t clock = 1000;
    std::int64_t drawMs = 0;
    std::vector<int> waits;
    std::vector<std::string> status;
    std::vector<bool> timer;
};

TEST(MenuEffects, EffectsAreHeldForTheirDurationOnTheClock) {
    Player p(effectMenu());
    const Teffectseq s = sequence({{0, 0, 0, 100, 100}},
                                  {effect(45000, {placed(1, 0, 0, 0)}), effect(45000, {placed(1, 0, 0, 0)})});
    p.drawMs = 20;
    DrawEffects(p.renderer, s);
    EXPECT_EQ(p.waits, (std::vector<int>{480, 480}));
    EXPECT_EQ(p.status, (std::vector<std::string>{"Effect: 0  duration: 500ms, displayed: 500 ms",
                                                  "Effect: 1  duration: 500ms, displayed: 500 ms"}));
    EXPECT_EQ(p.timer, (std::vector<bool>{false})); // stopped, and not restarted without animation

    // drawing slower than the duration: no wait, the readout shows the time taken
    p.waits.clear();
    p.status.clear();
    p.drawMs = 700;
    DrawEffects(p.renderer, sequence({}, {effect(45000, {})}));
    EXPECT_TRUE(p.waits.empty());
    EXPECT_EQ(p.status, (std::vector<std::string>{"Effect: 0  duration: 500ms, displayed: 700 ms"}));

    // durations below a millisecond, and the largest 24-bit duration
    p.waits.clear();
    p.timer.clear();
    p.drawMs = 0;
    p.options.ShowButtonAnimation = true;
    DrawEffects(p.renderer, sequence({}, {effect(89, {}), effect(0xFFFFFF, {})}));
    EXPECT_EQ(p.waits, (std::vector<int>{186413}));
    EXPECT_EQ(p.timer, (std::vector<bool>{false, true}));
}

TEST(MenuEffects, EmptySequenceOnlyErasesItsWindows) {
    Player p(effectMenu());
    p.paintPage();
    DrawEffects(p.renderer, sequence({{0, 10, 20, 30, 40}, {1, 500, 500, 5, 5}}, {}));
    EXPECT_EQ(px(p.renderer.page(), 10, 20), rgb(Navy));
    EXPECT_EQ(px(p.renderer.page(), 39, 59), rgb(Navy));
    EXPECT_EQ(px(p.renderer.page(), 40, 59), rgb(0xFFFFFF));
    EXPECT_EQ(px(p.renderer.page(), 39, 60), rgb(0xFFFFFF));
    EXPECT_EQ(px(p.renderer.page(), 504, 504), rgb(Navy));
    EXPECT_EQ(px(p.renderer.page(), 505, 505), rgb(0xFFFFFF));
    EXPECT_TRUE(p.waits.empty());
    EXPECT_TRUE(p.status.empty());
}

TEST(MenuEffects, EachEffectErasesItsWindowsBeforeDrawingAndTheEndErasesAll) {
    Player p(effectMenu());
    p.paintPage();
    std::vector<RgbaImage> shown;
    p.renderer.hooks.refresh = [&] { shown.push_back(p.renderer.page()); };
    // effect 0: the big object in window 0; effect 1: the small one in the same window
    DrawEffects(p.renderer, sequence({{0, 100, 100, 300, 200}}, {effect(0, {placed(0, 0, 100, 100)}),
                                                                 effect(0, {placed(1, 0, 150, 150)})}));
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(px(shown[0], 100, 100), (std::array<int, 4>{1, 254, 7, 255}));
    EXPECT_EQ(px(shown[0], 399, 100), rgb(Navy)); // window, but not object
    EXPECT_EQ(px(shown[0], 400, 100), rgb(0xFFFFFF));
    EXPECT_EQ(px(shown[1], 100, 100), rgb(Navy)); // the first effect's object is gone
    EXPECT_EQ(px(shown[1], 150, 150), (std::array<int, 4>{250, 5, 7, 255}));
    EXPECT_EQ(px(shown[2], 150, 150), rgb(Navy)); // all windows erased at the end
    EXPECT_EQ(px(shown[2], 400, 100), rgb(0xFFFFFF));
}

TEST(MenuEffects, CroppedObjectIsThePartAtItsCroppingPosition) {
    Player p(effectMenu());
    p.options.ButtonFrame = true;
    p.options.WindowFrame = true;
    TCompObject o = placed(0, 0, 300, 400);
    o.composition_flags = 0x2;
    o.object_cropping_horizontal_position = 10;
    o.object_cropping_vertical_position = 20;
    o.object_cropping_width = 100;
    o.object_cropping_height = 50;
    RgbaImage drawn;
    p.renderer.hooks.refresh = [&] {
        if (drawn.width == 0) drawn = p.renderer.page();
    };
    DrawEffects(p.renderer, sequence({{0, 250, 350, 300, 200}}, {effect(0, {o})}));
    // inside the frame: object pixel (10 + dx, 20 + dy)
    EXPECT_EQ(px(drawn, 301, 401)[0], 1 + 11 % 100 + (21 % 2) * 100);
    EXPECT_EQ(px(drawn, 350, 420)[0], 1 + 60 % 100 + (40 % 2) * 100);
    EXPECT_EQ(px(drawn, 398, 448)[0], 1 + 108 % 100 + (68 % 2) * 100);
    // the drawn rectangle is 100 x 50, framed in the normal-button colour
    EXPECT_EQ(px(drawn, 300, 400), rgb(0xFFFFFF));
    EXPECT_EQ(px(drawn, 399, 449), rgb(0xFFFFFF));
    EXPECT_EQ(px(drawn, 400, 420), rgb(Navy));
    EXPECT_EQ(px(drawn, 350, 450), rgb(Navy));
    // the window frame in the window colour
    EXPECT_EQ(px(drawn, 250, 350), rgb(0x00FF00));
    EXPECT_EQ(px(drawn, 549, 549), rgb(0x00FF00));
    o.object_cropping_width = 0; // an empty crop draws nothing
    EXPECT_EQ(compObjectPicture(p.menu, o, 0).picture.width, 0);
}

TEST(MenuEffects, WindowRefsPastTheWindowsHeldEraseNothingButDrawTheObject) {
    Player p(effectMenu());
    const Teffectseq three = sequence({{0, 0, 0, 10, 10}, {1, 20, 0, 10, 10}, {2, 40, 0, 10, 10}}, {});
    EXPECT_EQ(effectWindow(three, 2), &three.windows[2]);
    EXPECT_EQ(effectWindow(three, 3), nullptr);
    EXPECT_EQ(effectWindow(sequence({}, {}), 0), nullptr);

    p.paintPage();
    RgbaImage drawn;
    p.renderer.hooks.refresh = [&] {
        if (drawn.width == 0) drawn = p.renderer.page();
    };
    DrawEffects(p.renderer, sequence({{0, 0, 0, 10, 10}},
                                     {effect(0, {placed(1, 7, 600, 600), placed(1, 255, 700, 700)})}));
    EXPECT_EQ(px(drawn, 0, 0), rgb(0xFFFFFF)); // window 0 is not used by the objects
    EXPECT_EQ(px(drawn, 600, 600)[0], 250);
    EXPECT_EQ(px(drawn, 709, 709)[0], 250);
    EXPECT_EQ(px(p.renderer.page(), 0, 0), rgb(Navy)); // but erased at the end
}

TEST(MenuEffects, HostileSequencesDrawSafely) {
    Player p(effectMenu());
    TCompObject crop = placed(0, 0, 0xFFFF, 0xFFFF);
    crop.composition_flags = 0x2;
    crop.object_cropping_horizontal_position = 0xFFFF;
    crop.object_cropping_width = 0xFFFF;
    crop.object_cropping_height = 0xFFFF;
    Teffectseq s = sequence({{0, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF}, {1, 1900, 1070, 500, 500}},
                            {effect(1, {crop, placed(0xFFFF, 1, 5, 5), placed(99, 0, 0, 0)}, 200)});
    s.number_of_windows = 9; // more than held
    p.options.ButtonFrame = p.options.WindowFrame = true;
    DrawEffects(p.renderer, s);
    EXPECT_EQ(px(p.renderer.page(), 1919, 1079), rgb(Navy));
    const RgbaImage preview = EffPreview(p.menu, s, 0, 0, p.options);
    EXPECT_EQ(preview.width, PageWidth);
}

TEST(MenuEffects, CancelEndsThePlaybackAfterTheCurrentEffect) {
    Player p(effectMenu());
    p.renderer.hooks.cancelled = [] { return true; };
    p.paintPage();
    DrawEffects(p.renderer, sequence({{0, 0, 0, 5, 5}}, {effect(900, {}), effect(900, {})}));
    EXPECT_EQ(p.waits, (std::vector<int>{10}));
    EXPECT_EQ(px(p.renderer.page(), 0, 0), rgb(Navy)); // the windows are still erased
}

TEST(MenuEffectTables, RowsOfWindowsEffectsAndCompositionObjects) {
    TCompObject o = placed(0x1A2, 1, 1919, 7);
    const Teffectseq s = sequence(
        {{3, 10, 20, 300, 400}, {12, 0, 0, 1920, 1080}},
        {effect(90000, {o, placed(0, 0, 0, 0)}, 0x0A), effect(4500, {}, 0xFF), effect(0xFFFFFF, {})});
    const EffectTables t = setEffects(s);
    EXPECT_EQ(t.windows, (std::vector<EffWindowRow>{{"03", "10", "20", "300", "400"},
                                                    {"12", "0", "0", "1920", "1080"}}));
    EXPECT_EQ(t.effects, (std::vector<EffEffectRow>{{"001", "0:00:01.000", "0A", "2"},
                                                    {"002", "0:00:00.050", "FF", "0"},
                                                    {"003", "0:03:06.413", "00", "0"}}));
    EXPECT_EQ(compObjectRows(s.effects[0]), (std::vector<EffCompObjectRow>{{"001", "01A2", "01", "1919", "7"},
                                                                           {"002", "0000", "00", "0", "0"}}));
    const EffectTables none = setEffects(Teffectseq{});
    EXPECT_TRUE(none.windows.empty());
    EXPECT_TRUE(none.effects.empty());
    EXPECT_EQ(effectStatusText(3, 0, 12), "Effect: 3  duration: 0ms, displayed: 12 ms");
}

TEST(MenuEffectPreview, WindowOnTheObjectBackgroundWithFramesAndTheObject) {
    TMenu menu = effectMenu();
    Options options;
    TCompObject o = placed(0, 0, 300, 400);
    o.composition_flags = 0x2;
    o.object_cropping_horizontal_position = 10;
    o.object_cropping_vertical_position = 20;
    o.object_cropping_width = 100;
    o.object_cropping_height = 50;
    const Teffectseq s = sequence({{0, 250, 350, 300, 200}}, {effect(0, {o, placed(1, 5, 0, 0)})});
    RgbaImage p = EffPreview(menu, s, 0, 0, options);
    ASSERT_EQ(p.width, PageWidth);
    ASSERT_EQ(p.height, PageHeight);
    EXPECT_EQ(px(p, 249, 350), rgb(Navy));
    EXPECT_EQ(px(p, 250, 350), rgb(0xC0C0C0)); // no window frame by default
    EXPECT_EQ(px(p, 550, 549), rgb(Navy));
    EXPECT_EQ(px(p, 300, 400)[0], 1 + 10 + 0);
    EXPECT_EQ(px(p, 400, 400), rgb(0xC0C0C0));

    options.WindowFrame = options.ButtonFrame = true;
    p = EffPreview(menu, s, 0, 0, options);
    EXPECT_EQ(px(p, 250, 350), rgb(0x00FF00));
    EXPECT_EQ(px(p, 300, 400), rgb(0xFFFFFF));
    EXPECT_EQ(px(p, 399, 449), rgb(0xFFFFFF));

    // an object whose window ref names no window: drawn on the plain picture
    p = EffPreview(menu, s, 0, 1, options);
    EXPECT_EQ(px(p, 5, 5)[0], 250);
    EXPECT_EQ(px(p, 250, 350), rgb(Navy));
    // indexes past the lists
    RgbaImage plain(PageWidth, PageHeight);
    plain.fill(Navy);
    EXPECT_EQ(EffPreview(menu, s, 1, 0, options), plain);
    EXPECT_EQ(EffPreview(menu, s, 0, 2, options), plain);
}

} // namespace
} // namespace corvane
