// The menu simulation: start with default and auto-action buttons, moves, activation,
// SetButtonPage / EnableButton through the interpreter, time-outs, the animation tick,
// the pointer, and ids and pages out of range.

#include <gtest/gtest.h>

#include <algorithm>

#include "menu/MenuSimulator.h"
#include "menu/MenuTestUtil.h"

namespace corvane {
namespace {

using testing::addObject;

constexpr std::uint32_t Navy = 0x000080;

// Commands.
TNavCommand addGpr0() { // Add GPR0, 1
    return {0x50400003, 0, 1};
}
TNavCommand moveFromGpr0(std::uint32_t gpr) { // Move GPRn, GPR0
    return {0x50000001, gpr, 0};
}
TNavCommand setButtonPage(std::optional<std::uint16_t> button, std::optional<std::uint8_t> page,
                          bool outEffectOff = false) {
    return {0x51C00003, button ? 0x80000000u | *button : 0u,
            (page ? 0x80000000u | *page : 0u) | (outEffectOff ? 0x40000000u : 0u)};
}
TNavCommand enableButton(std::uint16_t id) {
    return {0x31800004, id, 0};
}
TNavCommand jumpTitle(std::uint32_t title) {
    return {0x21810000, title, 0};
}

// Objects: o = 0 .. 59, each 20 x 10 of palette entry o + 1; a button id's normal state is
// object id, its selected state 20 + id, its activated state 40 + id. Palette 0 maps entry n
// to (n, 255 - n, 7, 255), so the red channel at a button tells the object shown (+ 1).
// Each button's commands count the runs in GPR0 and keep the count in GPR 100 + id.
TIGbutton simButton(std::uint16_t id, int x, int y) {
    TIGbutton b;
    b.button_id = id;
    b.button_horizontal_position = static_cast<std::uint16_t>(x);
    b.button_vertical_position = static_cast<std::uint16_t>(y);
    b.upper_button_id_ref = b.lower_button_id_ref = b.left_button_id_ref = b.right_button_id_ref = id;
    b.normal_start_object_id_ref = b.normal_end_object_id_ref = id;
    b.selected_start_object_id_ref = b.selected_end_object_id_ref = static_cast<std::uint16_t>(20 + id);
    b.activated_start_object_id_ref = b.activated_end_object_id_ref = static_cast<std::uint16_t>(40 + id);
    b.selected_state_sound_id_ref = b.activated_state_sound_id_ref = 0xFF;
    b.navigation_commands = {addGpr0(), moveFromGpr0(100u + id)};
    b.number_of_navigation_commands = 2;
    return b;
}

TBOG simBog(std::vector<TIGbutton> buttons, std::uint16_t defaultValid) {
    TBOG g;
    g.default_valid_button_id_ref = defaultValid;
    g.buttons = std::move(buttons);
    g.number_of_buttons = static_cast<std::uint8_t>(g.buttons.size());
    return g;
}

TPage simPage(std::vector<TBOG> bogs, std::uint16_t defaultSelected = NoButton) {
    TPage p;
    p.animation_frame_rate_code = 2;
    p.default_selected_button_id_ref = defaultSelected;
    p.BOGs = std::move(bogs);
    p.number_of_BOGs = static_cast<std::uint8_t>(p.BOGs.size());
    return p;
}

TMenu simMenu(std::vector<TPage> pages) {
    TMenu menu;
    menu.IGSc.frame_rate_id = 2;
    menu.IGSc.user_time_out_duration = 900000;
    menu.IGSc.pages = std::move(pages);
    menu.IGSc.number_of_pages = static_cast<std::uint8_t>(menu.IGSc.pages.size());
    for (const TPage& p : menu.IGSc.pages) menu.PageButtons.push_back(buildPageButtons(p));
    menu.IGPalettes.resize(1);
    for (int n = 1; n < 256; ++n)
        menu.IGPalettes[0].entries[static_cast<std::size_t>(n)] = {
            static_cast<std::uint8_t>(n), static_cast<std::uint8_t>(255 - n), 7, 255};
    for (std::uint16_t o = 0; o < 60; ++o) {
        IndexPicture picture(20, 10);
        std::fill(picture.pixels.begin(), picture.pixels.end(), static_cast<std::uint8_t>(o + 1));
        addObject(menu, o, picture);
    }
    return menu;
}

class OuterHost : public InterpreterHost {
public:
    bool trace = false;
    std::vector<std::string> reports;
    ActivePage activePage() const override { return ActivePage::Menu; }
    bool traceTicked() const override { return trace; }
    void report(std::string_view text) override { reports.emplace_back(text); }
};

struct Sim {
    explicit Sim(TMenu m) : menu(std::move(m)), sim(menu, interp, options, &outer) {
        options.PreLoad = false;
        RgbaImage plain(PageWidth, PageHeight);
        plain.fill(Navy);
        sim.renderer().setBackground(plain);
        sim.renderer().hooks.nowMs = [this] { return clock; };
        sim.renderer().hooks.wait = [this](int ms) { clock += ms; };
        sim.renderer().hooks.status = [this](const std::string& text) { status.push_back(text); };
        interp.regs.PSR[PSR_SELECTED_BUTTON] = NoButton;
        sim.callbacks.pageChanged = [this](std::size_t p) { events.push_back("page " + std::to_string(p)); };
        sim.callbacks.programLine = [this](int line) { lines.push_back(line); };
        sim.callbacks.animationTimer = [this](bool run, int ms) {
            events.push_back("tDrawRep " + std::to_string(run) + " " + std::to_string(ms));
        };
        sim.callbacks.userTimeOutTimer = [this](bool run, int ms) {
            events.push_back("tUserTO " + std::to_string(run) + " " + std::to_string(ms));
        };
    }
    // The object shown at a button position: red channel - 1, or -1 for the background.
    int shownAt(int x, int y) const {
        const std::uint8_t* p = sim.renderer().page().pixel(x, y);
        return p[2] == 7 ? p[0] - 1 : -1;
    }
    std::uint32_t psr(std::size_t n) const { return interp.regs.PSR[n]; }
    std::uint32_t gpr(int n) const { return interp.regs.GPR[static_cast<std::size_t>(n)]; }

    TMenu menu;
    Interpreter interp;
    Options options;
    OuterHost outer;
    MenuSimulator sim;
    std::int64_t clock = 0;
    std::vector<std::string> status, events;
    std::vector<int> lines;
};

TEST(MenuSimulatorPage, ChoosingAPageBuildsStatesListAndInterval) {
    TMenu menu = simMenu({simPage({simBog({simButton(0, 100, 100), simButton(2, 200, 100)}, 2)}),
                          simPage({simBog({simButton(0, 100, 100)}, 0)})});
    menu.IGSc.pages[1].animation_frame_rate_code = 0;
    Sim s(std::move(menu));
    s.options.ShowButtonAnimation = true;
    s.interp.regs.PSR[PSR_SELECTED_BUTTON] = 7;
    s.sim.choosePage(0);
    EXPECT_EQ(s.psr(PSR_PAGE), 0u);
    EXPECT_EQ(s.psr(PSR_SELECTED_BUTTON), 7u); // stays
    EXPECT_EQ(s.sim.buttonList(), (std::vector<std::string>{"0000", "0001", "0002"}));
    EXPECT_EQ(s.sim.chosenButton(), 0u);
    EXPECT_EQ(s.sim.animationIntervalMs(), 83);
    EXPECT_EQ(s.menu.ButtonStates[2].enabled, 1);
    EXPECT_EQ(s.shownAt(200, 100), 2);  // the enabled button drawn normal
    EXPECT_EQ(s.shownAt(100, 100), -1); // the other of its BOG not
    s.sim.choosePage(1);
    EXPECT_EQ(s.sim.animationIntervalMs(), 0); // no frames: no timer
    EXPECT_EQ(s.events, (std::vector<std::string>{"tDrawRep 1 83", "tDrawRep 0 0"}));
    s.sim.choosePage(9); // no such page
    EXPECT_TRUE(s.menu.ButtonStates.empty());
    EXPECT_TRUE(s.sim.buttonList().empty());
    EXPECT_EQ(s.sim.renderer().page(), s.sim.renderer().background());
    EXPECT_EQ(s.sim.userTimeOutMs(), 10000); // nine hundred thousand ticks
}

TEST(MenuSimulatorStart, DefaultSelectedButtonIsSelectedAndRunsWhenAutoAction) {
    TIGbutton autoButton = simButton(1, 200, 100);
    autoButton.auto_action_flag = 1;
    Sim s(simMenu({simPage({simBog({simButton(0, 100, 100)}, 0), simBog({autoButton}, 1)}, 0)}));
    s.sim.choosePage(0);
    s.events.clear();
    s.sim.start();
    EXPECT_EQ(s.psr(PSR_SELECTED_BUTTON), 0u);
    EXPECT_EQ(s.shownAt(100, 100), 20); // selected state
    EXPECT_EQ(s.gpr(0), 0u);            // not an auto-action button: nothing runs
    EXPECT_EQ(s.events, (std::vector<std::string>{"tUserTO 1 10000"}));

    s.menu.IGSc.pages[0].default_selected_button_id_ref = 1;
    s.sim.start();
    EXPECT_EQ(s.psr(PSR_SELECTED_BUTTON), 1u);
    EXPECT_EQ(s.gpr(101), 1u);
    EXPECT_EQ(s.sim.chosenButton(), 1u);
    EXPECT_EQ(s.lines.front(), 0);
}

TEST(MenuSimulatorStart, AutoActionDefaultValidButtonsOfEachBogRunFirstBogFirst) {
    TIGbutton a = simButton(3, 100, 100), b = simButton(1, 200, 100), c = simButton(2, 300, 100);
    a.auto_action_flag = b.auto_action_flag = c.auto_action_flag = 1;
    // BOG 2's default valid button matches none of its buttons; BOG 3 shows none
    Sim s(simMenu(
        {simPage({simBog({a}, 3), simBog({b}, 1), simBog({c}, 7), simBog({simButton(4, 0, 0)}, NoButton)})}));
    s.sim.choosePage(0);
    s.sim.start();
    EXPECT_EQ(s.gpr(103), 1u);
    EXPECT_EQ(s.gpr(101), 2u);
    EXPECT_EQ(s.gpr(102), 0u);
    EXPECT_EQ(s.gpr(0), 2u);
    EXPECT_EQ(s.psr(PSR_SELECTED_BUTTON), NoButton);
}

TEST(MenuSimulatorStart, DefaultValidButtonsWithoutAutoActionDoNotRun) {
    TIGbutton a = simButton(1, 100, 100);
    a.auto_action_flag = 1;
    Sim s(simMenu({simPage({simBog({simButton(0, 300, 100)}, 0), simBog({a}, 1)})}));
    s.sim.choosePage(0);
    s.sim.start();
    EXPECT_EQ(s.gpr(100), 0u);
    EXPECT_EQ(s.gpr(101), 1u);
}

TEST(MenuSimulatorNavigation, MovesFollowNeighboursAndSetPsr10) {
    TIGbutton b0 = simButton(0, 100, 100), b1 = simButton(1, 200, 100), b2 = simButton(2, 300, 100);
    b0.right_button_id_ref = 1;
    b1.left_button_id_ref = 0;
    b1.right_button_id_ref = 2;
    b1.lower_button_id_ref = 0x30; // names no button
    b2.upper_button_id_ref = NoButton;
    Sim s(simMenu({simPage({simBog({b0}, 0), simBog({b1}, 1), simBog({b2}, 2)}, 0)}));
    s.sim.choosePage(0);
    s.sim.start();
    const RgbaImage before = s.sim.renderer().page();
    EXPECT_FALSE(s.sim.move(NavDirection::Up)); // upper neighbour is itself: no redraw
    EXPECT_EQ(s.sim.renderer().page(), before);
    EXPECT_TRUE(s.sim.move(NavDirection::Right));
    EXPECT_EQ(s.psr(PSR_SELECTED_BUTTON), 1u);
    EXPECT_EQ(s.shownAt(100, 100), 0);            // back to normal
    EXPECT_EQ(s.shownAt(200, 100), 21);           // selected
    EXPECT_FALSE(s.sim.move(NavDirection::Down)); // a neighbour that names no button
    EXPECT_EQ(s.psr(PSR_SELECTED_BUTTON), 1u);
    EXPECT_TRUE(s.sim.move(NavDirection::Right));
    EXPECT_FALSE(s.sim.move(NavDirection::Up));
    EXPECT_EQ(s.psr(PSR_SELECTED_BUTTON), 2u);
    EXPECT_EQ(s.psr(PSR_PAGE), 0u);
    EXPECT_EQ(s.gpr(0), 0u); // moving runs nothing
    s.interp.regs.PSR[PSR_SELECTED_BUTTON] = 0x1234;
    EXPECT_FALSE(s.sim.move(NavDirection::Left));
}

TEST(MenuSimulatorNavigation, MovingOntoAutoActionButtonRunsItAndItsSetButtonPageShowsThePage) {
    TIGbutton b0 = simButton(0, 100, 100), b1 = simButton(1, 200, 100);
    b0.right_button_id_ref = 1;
    b1.auto_action_flag = 1;
    b1.navigation_commands = {addGpr0(), setButtonPage(std::nullopt, 1)};
    b1.number_of_navigation_commands = 2;
    Sim s(simMenu(
        {simPage({simBog({b0}, 0), simBog({b1}, 1)}, 0), simPage({simBog({simButton(5, 500, 500)}, 5)}, 5)}));
    s.sim.choosePage(0);
    s.sim.start();
    RgbaImage seenBeforeRun;
    s.sim.callbacks.buttonChosen = [&](std::size_t) {
        if (seenBeforeRun.width == 0) seenBeforeRun = s.sim.renderer().page();
    };
    s.events.clear();
    EXPECT_TRUE(s.sim.move(NavDirection::Right));
    // not drawn selected before its commands ran
    const std::uint8_t* p = seenBeforeRun.pixel(200, 100);
    EXPECT_EQ(p[0], 2); // normal state (object 1)
    EXPECT_EQ(s.gpr(0), 1u);
    EXPECT_EQ(s.psr(PSR_PAGE), 1u);
    EXPECT_EQ(s.events, (std::vector<std::string>{"tDrawRep 0 83", "page 1"}));
    EXPECT_EQ(s.shownAt(500, 500), 5); // page 1 drawn; PSR10 stays 1, which it does not hold
    EXPECT_EQ(s.psr(PSR_SELECTED_BUTTON), 1u);
}

TEST(MenuSimulatorNavigation, StartAndAutoActionMovesShowThePageBeforeWhatFollows) {
    TIGbutton b0 = simButton(0, 100, 100), b1 = simButton(1, 200, 100);
    b0.right_button_id_ref = 1;
    b1.auto_action_flag = 1;
    Sim s(simMenu({simPage({simBog({b0}, 0), simBog({b1}, 1)}, 0)}));
    RgbaImage shown; // the picture at the last refresh
    s.sim.callbacks.refresh = [&] { shown = s.sim.renderer().page(); };
    s.sim.choosePage(0);
    s.sim.start();
    // the status tells PSR10 after the default button was selected
    ASSERT_FALSE(s.status.empty());
    EXPECT_EQ(s.status.back(), "PSR10: 0000 (0), PSR11: 00 (0)");
    EXPECT_EQ(shown.pixel(100, 100)[0] - 1, 20);
    // when the auto-action button's commands start, the old button is shown normal
    int oldButtonAtRun = -1;
    s.sim.callbacks.buttonChosen = [&](std::size_t) { oldButtonAtRun = shown.pixel(100, 100)[0] - 1; };
    EXPECT_TRUE(s.sim.move(NavDirection::Right));
    EXPECT_EQ(s.gpr(101), 1u);
    EXPECT_EQ(oldButtonAtRun, 0);
}

// Page 0 with an out effect that fills a window with object 59; page 1 with a BOG of
// buttons 0 (default valid) and 1.
TMenu pageChangeMenu(TNavCommand command) {
    TIGbutton b = simButton(0, 100, 100);
    b.navigation_commands = {command};
    b.number_of_navigation_commands = 1;
    TPage first = simPage({simBog({b}, 0)}, 0);
    Teffect e;
    e.effect_duration = 9000; // 100 ms
    TCompObject o;
    o.object_id_ref = 59;
    e.composition_objects = {o};
    first.effect_sequences[1].windows = {{0, 0, 0, 20, 10}};
    first.effect_sequences[1].effects = {e};
    return simMenu({first, simPage({simBog({simButton(0, 300, 300), simButton(1, 400, 300)}, 0)})});
}

TEST(MenuSimulatorCommands, SetButtonPagePlaysOutEffectsUnlessFlaggedAndKeepsItsButton) {
    for (const bool off : {false, true}) {
        Sim s(pageChangeMenu(setButtonPage(1, 1, off)));
        s.sim.choosePage(0);
        s.sim.start();
        s.status.clear();
        EXPECT_TRUE(s.sim.activate());
        const auto effect = std::find_if(s.status.begin(), s.status.end(),
                                         [](const std::string& t) { return t.starts_with("Effect:"); });
        if (off) {
            EXPECT_EQ(effect, s.status.end());
        } else {
            ASSERT_NE(effect, s.status.end());
            EXPECT_EQ(*effect, "Effect: 0  duration: 100ms, displayed: 100 ms");
            EXPECT_EQ(s.status.back(), "PSR10: 0001 (1), PSR11: 01 (1)"); // the page drawn after it
        }
        EXPECT_EQ(s.psr(PSR_PAGE), 1u);
        EXPECT_EQ(s.psr(PSR_SELECTED_BUTTON), 1u);
        // the page change keeps the button SetButtonPage enabled, not the BOG's default
        EXPECT_EQ(s.menu.ButtonStates[1].enabled, 1);
        EXPECT_EQ(s.menu.ButtonStates[0].enabled, 0);
        EXPECT_EQ(s.shownAt(400, 300), 21);
        EXPECT_EQ(s.shownAt(300, 300), -1);
    }
    Sim s(pageChangeMenu(setButtonPage(1, 1)));
    s.options.ShowOutEffects = false;
    s.sim.choosePage(0);
    s.sim.start();
    s.status.clear();
    s.sim.activate();
    for (const std::string& text : s.status) EXPECT_FALSE(text.starts_with("Effect:")) << text;
}

TEST(MenuSimulatorCommands, EnableButtonInTheSelectedBogBecomesTheSelection) {
    TIGbutton b0 = simButton(0, 100, 100);
    b0.navigation_commands = {enableButton(1), enableButton(0x7777)};
    b0.number_of_navigation_commands = 2;
    Sim s(simMenu({simPage({simBog({b0, simButton(1, 100, 100)}, 0)}, 0)}));
    s.sim.choosePage(0);
    s.sim.start();
    EXPECT_TRUE(s.sim.activate());
    EXPECT_EQ(s.psr(PSR_SELECTED_BUTTON), 1u);
    EXPECT_EQ(s.menu.ButtonStates[0].enabled, 0);
    EXPECT_EQ(s.menu.ButtonStates[1].enabled, 1);
    EXPECT_EQ(s.shownAt(100, 100), 21); // the reserved selection drawn selected, not button 0
}

TEST(MenuSimulatorActivation, ActivationDrawsRunsAndRedrawsSelected) {
    TIGbutton b = simButton(0, 100, 100);
    b.navigation_commands.push_back(jumpTitle(3));
    Sim s(simMenu({simPage({simBog({b}, 0)}, 0)}));
    s.sim.choosePage(0);
    std::vector<int> activatedSeen;
    s.sim.callbacks.buttonChosen = [&](std::size_t) { activatedSeen.push_back(s.shownAt(100, 100)); };
    RunResult last;
    s.sim.callbacks.runFinished = [&](const RunResult& r) { last = r; };
    EXPECT_FALSE(s.sim.activate()); // nothing selected yet
    s.sim.start();
    s.options.ShowButtonAnimation = true;
    EXPECT_TRUE(s.sim.activate());
    EXPECT_EQ(activatedSeen, (std::vector<int>{40}));
    EXPECT_EQ(s.shownAt(100, 100), 20);
    EXPECT_EQ(s.gpr(100), 1u);
    EXPECT_EQ(s.outer.reports, (std::vector<std::string>{"Jump Title 3"}));
    EXPECT_EQ(last.endLine, 2);
    EXPECT_EQ(s.psr(PSR_TITLE), 3u);
}

TEST(MenuSimulatorActivation, TraceModePreparesThenStepsTheChosenButton) {
    Sim s(simMenu({simPage({simBog({simButton(0, 100, 100)}, 0)}, 0)}));
    s.sim.choosePage(0);
    s.sim.start();
    s.outer.trace = true;
    s.lines.clear();
    s.sim.activate();
    EXPECT_EQ(s.lines.front(), -1);
    EXPECT_EQ(s.gpr(0), 0u); // prepared, nothing executed
    EXPECT_TRUE(s.interp.TraceActive);
    s.sim.start(); // line 0
    EXPECT_EQ(s.gpr(0), 1u);
    EXPECT_EQ(s.gpr(100), 0u);
    s.sim.start(); // line 1
    EXPECT_EQ(s.gpr(100), 1u);
    EXPECT_FALSE(s.interp.TraceActive);
}

TEST(MenuSimulatorTimers, UserTimeOutActivatesSelectedOrDefaultActivatedButton) {
    TIGbutton b1 = simButton(1, 200, 100);
    Sim s(simMenu(
        {simPage({simBog({simButton(0, 100, 100)}, 0), simBog({b1, simButton(2, 300, 100)}, 1)}, 0)}));
    s.menu.IGSc.pages[0].default_activated_button_id_ref = 0xFFFE;
    s.sim.choosePage(0);
    s.sim.start();
    s.sim.userTimeOut(); // 0xFFFE: the selected button as if selected by the key
    EXPECT_EQ(s.gpr(100), 1u);
    EXPECT_EQ(s.psr(PSR_SELECTED_BUTTON), 0u);

    s.menu.IGSc.pages[0].default_activated_button_id_ref = 2; // not enabled: nothing
    s.sim.userTimeOut();
    EXPECT_EQ(s.gpr(0), 1u);
    s.menu.IGSc.pages[0].default_activated_button_id_ref = 1;
    s.sim.userTimeOut();
    EXPECT_EQ(s.gpr(101), 2u);
    EXPECT_EQ(s.psr(PSR_SELECTED_BUTTON), 1u);
    EXPECT_EQ(s.shownAt(100, 100), 0);  // the former selection back to normal
    EXPECT_EQ(s.shownAt(200, 100), 21); // the activated button selected afterwards
    s.menu.IGSc.pages[0].default_activated_button_id_ref = NoButton;
    s.sim.userTimeOut();
    EXPECT_EQ(s.gpr(0), 2u);

    s.menu.IGSc.user_time_out_duration = 0; // no time-out: the timer is not started
    s.events.clear();
    s.sim.start();
    EXPECT_EQ(s.events, (std::vector<std::string>{"tUserTO 0 0"}));
}

TEST(MenuSimulatorTimers, AnimationTickDrawsOnlyEnabledAndSelectedAnimations) {
    TIGbutton a = simButton(0, 100, 100), d = simButton(1, 200, 100), sel = simButton(2, 300, 100);
    a.normal_end_object_id_ref = 3; // 0..3
    a.normal_repeat_flag = 1;
    d.normal_end_object_id_ref = 4;      // 1..4, but disabled
    sel.selected_end_object_id_ref = 24; // 22..24
    Sim s(simMenu({simPage({simBog({a}, 0), simBog({d}, NoButton), simBog({sel}, 2)}, 2)}));
    s.sim.choosePage(0);
    s.sim.start();
    EXPECT_EQ(s.shownAt(300, 100), 22);
    std::vector<std::array<int, 3>> frames;
    for (int tick = 0; tick < 5; ++tick) {
        s.sim.animationTick();
        frames.push_back({s.shownAt(100, 100), s.shownAt(200, 100), s.shownAt(300, 100)});
    }
    EXPECT_EQ(frames, (std::vector<std::array<int, 3>>{
                          {1, -1, 23}, {2, -1, 24}, {3, -1, 24}, {0, -1, 24}, {1, -1, 24}}));
    s.menu.ButtonStates[0].enabled = 0;
    s.menu.ButtonStates[1].normal_animated = 1;
    EXPECT_FALSE(s.sim.animationTick()); // nothing enabled is animated any more
}

TEST(MenuSimulatorPointer, HitBoxesIncludeTheirEdgesAndFollowNeighbours) {
    TIGbutton b0 = simButton(0, 100, 100), b1 = simButton(1, 200, 100), b2 = simButton(2, 300, 100);
    b0.right_button_id_ref = 1;
    b1.left_button_id_ref = 0;
    b1.right_button_id_ref = 2;
    b2.selected_start_object_id_ref = NoIGObject;
    Sim s(simMenu({simPage({simBog({b0}, 0), simBog({b1}, 1), simBog({b2}, 2)}, 0)}));
    s.sim.choosePage(0);
    EXPECT_FALSE(s.sim.mouseMove(100, 100)); // before start: nothing selected
    s.sim.start();
    const auto box = s.sim.hitBox(0);
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ((std::array<int, 4>{box->left, box->top, box->right, box->bottom}),
              (std::array<int, 4>{100, 100, 120, 110}));
    EXPECT_FALSE(s.sim.hitBox(2).has_value());
    EXPECT_FALSE(s.sim.hitBox(0x4000).has_value());
    EXPECT_TRUE(s.sim.mouseMove(120, 110)); // edges included
    EXPECT_FALSE(s.sim.mouseMove(121, 110));
    EXPECT_EQ(s.psr(PSR_SELECTED_BUTTON), 0u);
    EXPECT_FALSE(s.sim.mouseMove(400, 400)); // a button that is not a neighbour cannot be selected
    EXPECT_FALSE(s.sim.mouseMove(300, 100));
    EXPECT_EQ(s.psr(PSR_SELECTED_BUTTON), 0u);
    EXPECT_FALSE(s.sim.mouseMove(200, 100)); // onto the right neighbour
    EXPECT_EQ(s.psr(PSR_SELECTED_BUTTON), 1u);
    EXPECT_TRUE(s.sim.mouseMove(200, 100));
    EXPECT_FALSE(s.sim.mouseDown(199, 100));
    EXPECT_EQ(s.gpr(0), 0u);
    EXPECT_TRUE(s.sim.mouseDown(220, 105));
    EXPECT_EQ(s.gpr(101), 1u);
}

TEST(MenuSimulatorRobustness, EmptyMenusAndIdsOutOfRangeDoNothing) {
    Sim empty(TMenu{});
    empty.sim.choosePage(0);
    empty.sim.start();
    EXPECT_FALSE(empty.sim.move(NavDirection::Down));
    EXPECT_FALSE(empty.sim.activate());
    EXPECT_FALSE(empty.sim.mouseDown(0, 0));
    EXPECT_FALSE(empty.sim.mouseMove(0, 0));
    EXPECT_FALSE(empty.sim.animationTick());
    empty.sim.userTimeOut();
    empty.sim.DrawEffects(5);
    empty.sim.selectPage(3);
    EXPECT_EQ(empty.sim.pageCount(), 0u);
    EXPECT_TRUE(empty.sim.buttonCommands(4, 4).empty());

    Sim s(simMenu({simPage({simBog({simButton(0, 100, 100)}, 0)}, 0x8000)}));
    s.menu.IGSc.pages[0].default_activated_button_id_ref = 0x9000;
    s.menu.PageButtons.clear(); // pages without button tables
    s.sim.choosePage(0);
    s.sim.start();
    s.sim.userTimeOut();
    s.interp.regs.PSR[PSR_SELECTED_BUTTON] = 0xFFFFFFFF;
    s.interp.regs.PSR[PSR_PAGE] = 0xFFFFFFFF;
    EXPECT_FALSE(s.sim.activate());
    EXPECT_FALSE(s.sim.move(NavDirection::Up));
    EXPECT_FALSE(s.sim.mouseMove(100, 100));
    EXPECT_FALSE(s.sim.animationTick());
    EXPECT_EQ(s.gpr(0), 0u);
}

} // namespace
} // namespace corvane
