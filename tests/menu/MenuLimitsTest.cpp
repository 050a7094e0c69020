// Format limits before Save and Mux: what a decoder cannot read is refused, the rest warned,
// each finding naming its record.

#include <gtest/gtest.h>

#include "menu/IGMenu.h"
#include "menu/MenuLimits.h"
#include "shell/CaptureSink.h"
#include "shell/Reporter.h"

namespace corvane {
namespace {

TIGobject object(std::uint16_t id, std::uint16_t width, std::uint16_t height) {
    TIGobject o;
    o.object_id = id;
    o.object_width = width;
    o.object_height = height;
    o.fragments.push_back({});
    return o;
}

std::vector<std::string> texts(const TMenu& menu) {
    std::vector<std::string> lines;
    for (const MenuLimitFinding& f : menuLimitFindings(menu)) lines.push_back(f.code + " " + f.text());
    return lines;
}

TEST(MenuLimits, NewMenuIsCleanAndEachFaultNamesItsRecord) {
    TMenu menu = createMenu();
    EXPECT_TRUE(menuLimitFindings(menu).empty());
    menu.IGPalettes.emplace_back();
    menu.IGObjects.push_back(object(0, 100, 40));
    TPage second = menu.IGSc.pages[0];
    second.page_id = 1;
    second.BOGs[0].buttons[0].button_id = 5;
    TIGbutton& other = second.BOGs[0].buttons[0];
    other.upper_button_id_ref = other.lower_button_id_ref = other.left_button_id_ref =
        other.right_button_id_ref = 5;
    TIGbutton& button = menu.IGSc.pages[0].BOGs[0].buttons[0];
    button.normal_start_object_id_ref = button.normal_end_object_id_ref = 0;
    button.button_horizontal_position = 1900;
    button.right_button_id_ref = 5;
    menu.IGSc.pages.push_back(second);
    EXPECT_EQ(texts(menu), (std::vector<std::string>{
                               "menu-object-outside-video page 0, BOG 0, button 0: The normal object 0 at "
                               "1900,0 reaches beyond the video; players cut it off.",
                               "menu-neighbour-off-page page 0, BOG 0, button 0: The right neighbour 5 is on "
                               "page 1; players only move within a page."}));
    EXPECT_FALSE(menuLimitsRefuse(menuLimitFindings(menu)));

    // Warnings are logged and the save goes on; an error refuses it.
    testing::CaptureSink sink;
    Reporter reporter(&sink);
    EXPECT_TRUE(reportMenuLimits(reporter, menu, "Save"));
    EXPECT_FALSE(reporter.ErrorRaised);
    menu.IGObjects.push_back(object(1, 1921, 10));
    menu.IGSc.pages[0].BOGs.resize(256);
    EXPECT_FALSE(reportMenuLimits(reporter, menu, "Mux"));
    EXPECT_TRUE(reporter.ErrorRaised);
    const auto lines = sink.texts();
    EXPECT_NE(std::find(lines.begin(), lines.end(),
                        "ERROR: page 0: It holds 256 BOGs; the format counts at most 255."),
              lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(),
                        "Warning: object 1: The object is 1921x10, larger than the video (1920x1080); "
                        "players show only what lies on the video."),
              lines.end());
    EXPECT_EQ(lines.back(), "ERROR: Mux refused: a decoder could not read the menu.");
}

TEST(MenuLimits, ObjectBufferPaletteEntryAndMissingReferences) {
    TMenu menu = createMenu();
    for (std::uint16_t id = 0; id < 9; ++id) menu.IGObjects.push_back(object(id, 1920, 1080));
    TIGbutton& button = menu.IGSc.pages[0].BOGs[0].buttons[0];
    button.selected_start_object_id_ref = 20;
    button.selected_end_object_id_ref = 20;
    button.upper_button_id_ref = 9;
    menu.IGSc.pages[0].default_selected_button_id_ref = 3;
    const auto lines = texts(menu);
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0].substr(0, 24), "menu-objects-over-buffer");
    EXPECT_EQ(lines[1],
              "menu-palette-missing page 0: The page uses palette 0, which the menu does not hold.");
    EXPECT_EQ(lines[2].substr(0, 27), "menu-default-button-missing");
    EXPECT_EQ(lines[3], "menu-object-missing page 0, BOG 0, button 0: The selected state uses object 20, "
                        "which the menu does not hold.");
    EXPECT_EQ(lines[4], "menu-neighbour-off-page page 0, BOG 0, button 0: The upper neighbour 9 is no "
                        "button of the menu.");
    EXPECT_TRUE(menuLimitsRefuse(menuLimitFindings(menu)));

    TMenu palette = createMenu();
    palette.IGPalettes.emplace_back();
    palette.IGPalettes[0].entries[255] = {1, 2, 3, 255};
    EXPECT_EQ(texts(palette),
              (std::vector<std::string>{"menu-palette-entry-reserved palette 0: Entry 255 has a "
                                        "colour, but it is never written: players show it "
                                        "transparent."}));
}

} // namespace
} // namespace corvane
