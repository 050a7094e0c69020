// Building a menu's structure: every insert and delete writes a menu that reads back the
// same, ids and references follow, references to what was deleted are listed, and the
// lists stop at their count fields.

#include <gtest/gtest.h>

#include <functional>

#include "menu/IGReader.h"
#include "menu/IGWriter.h"
#include "menu/MenuStructure.h"
#include "menu/MenuTestUtil.h"

namespace corvane {
namespace {

// SetButtonPage with immediate operands: the button and the page, each set when given.
TNavCommand setButtonPage(std::optional<std::uint16_t> button, std::optional<std::uint8_t> page) {
    return {0x51C00003u, button ? (0x80000000u | *button) : 0u, page ? (0x80000000u | *page) : 0u};
}

// Saves, reads back and compares what the structure holds.
void expectReadsBack(const TMenu& menu, const std::string& step) {
    const IGSaveResult saved = saveIGS(menu, IGSaveMode::Mnu);
    ASSERT_TRUE(saved.ok) << step << ": " << saved.error;
    MnuReadResult read = loadMNU(saved.bytes);
    ASSERT_EQ(read.status, ReadStatus::Ok) << step;
    EXPECT_EQ(read.menu.IGSc.number_of_pages, menu.IGSc.number_of_pages) << step;
    EXPECT_EQ(read.menu.IGSc.interactive_composition_length, menu.IGSc.interactive_composition_length)
        << step;
    EXPECT_TRUE(read.menu.IGSc.pages == menu.IGSc.pages) << step;
    EXPECT_TRUE(read.menu.PageButtons == menu.PageButtons) << step;
    EXPECT_EQ(read.menu.IGSc.video_width, menu.IGSc.video_width) << step;
    EXPECT_EQ(read.menu.IGSc.frame_rate_id, menu.IGSc.frame_rate_id) << step;
}

TEST(MenuStructure, EveryOperationWritesAMenuThatReadsBack) {
    TMenu menu = testing::sampleMenu();
    const std::vector<std::pair<const char*, std::function<bool()>>> steps{
        {"insert page", [&] { return insertPage(menu, 1); }},
        {"insert BOG", [&] { return insertBog(menu, 0, 0); }},
        {"insert button", [&] { return insertButton(menu, 0, 1, 1); }},
        {"insert in effect", [&] { return insertEffect(menu, 0, 0, 1); }},
        {"insert out effect", [&] { return insertEffect(menu, 1, 1, 0); }},
        {"insert window", [&] { return insertEffectWindow(menu, 1, 1, 0); }},
        {"insert object", [&] { return insertCompObject(menu, 1, 1, 0, 0); }},
        {"crop it", [&] { return setCompObjectCropped(menu, 1, 1, 0, 0, true); }},
        {"uncrop a read one", [&] { return setCompObjectCropped(menu, 0, 0, 0, 1, false); }},
        {"video", [&] { return setMenuVideoFormat(menu, 2); }},
        {"frame rate", [&] { return setMenuFrameRate(menu, 3); }},
        {"delete object", [&] { return deleteCompObject(menu, 0, 0, 0, 0); }},
        {"delete effect", [&] { return deleteEffect(menu, 0, 1, 0); }},
        {"delete window", [&] { return deleteEffectWindow(menu, 0, 0, 2).changed; }},
        {"delete button", [&] { return deleteButton(menu, 0, 1, 0).changed; }},
        {"delete last button of a BOG", [&] { return deleteButton(menu, 0, 2, 0).changed; }},
        {"delete BOG", [&] { return deleteBog(menu, 0, 0).changed; }},
        {"delete page", [&] { return deletePage(menu, 0).changed; }},
    };
    for (const auto& [name, step] : steps) {
        ASSERT_TRUE(step()) << name;
        expectReadsBack(menu, name);
    }
    // What the steps made: the inserted page is now the first, ids follow their index.
    ASSERT_EQ(menu.IGSc.pages.size(), 2u);
    EXPECT_EQ(menu.IGSc.pages[0].page_id, 0);
    EXPECT_EQ(menu.IGSc.pages[1].page_id, 1);
    EXPECT_EQ(menu.IGSc.video_height, 576);
    EXPECT_EQ(menu.IGSc.pages[0].effect_sequences[1].effects[0].composition_objects[0].object_cropping_width,
              menu.IGObjects[0].index_picture->width);
}

TEST(MenuStructure, NewButtonsTakeFreeIdsAndRefusedIndexesChangeNothing) {
    TMenu menu = testing::sampleMenu(); // page 0 holds buttons 0, 1 and 10
    ASSERT_TRUE(insertButton(menu, 0, 0, 5));
    ASSERT_TRUE(insertBog(menu, 0, 9));
    const TPage& page = menu.IGSc.pages[0];
    EXPECT_EQ(page.BOGs[0].buttons.back().button_id, 2);
    EXPECT_EQ(page.BOGs[0].buttons.back().upper_button_id_ref, 2);
    ASSERT_EQ(page.BOGs.size(), 3u);
    EXPECT_EQ(page.BOGs[2].default_valid_button_id_ref, 3);
    EXPECT_TRUE(menu.PageButtons[0].holds(3));
    EXPECT_EQ(page.number_of_BOGs, 3);
    EXPECT_EQ(page.BOGs[0].number_of_buttons, 3);

    const TMenu before = menu;
    EXPECT_FALSE(insertButton(menu, 0, 7, 0));
    EXPECT_FALSE(insertBog(menu, 9, 0));
    EXPECT_FALSE(deleteButton(menu, 0, 0, 9).changed);
    EXPECT_FALSE(deleteEffect(menu, 0, 2, 0));
    EXPECT_FALSE(setMenuFrameRate(menu, 5)); // unnamed item
    EXPECT_FALSE(setMenuVideoFormat(menu, 4));
    TMenu single = createMenu();
    EXPECT_FALSE(deletePage(single, 0).changed); // the only page stays
    EXPECT_TRUE(sameMenuContent(menu, before));
}

TEST(MenuStructure, DeletingAReferencedButtonFixesWhatItCanAndListsTheRest) {
    TMenu menu = testing::sampleMenu();
    TPage& first = menu.IGSc.pages[0];
    first.default_selected_button_id_ref = 1;
    first.default_activated_button_id_ref = 1;
    first.BOGs[0].default_valid_button_id_ref = 1;
    first.BOGs[0].buttons[0].right_button_id_ref = 1;
    first.BOGs[0].buttons[0].navigation_commands = {setButtonPage(1, std::nullopt),
                                                    TNavCommand{0x31800004u, 1, 0}, // EnableButton 1
                                                    setButtonPage(1, 1)}; // button 1 of page 1: stays
    menu.IGSc.pages[1].BOGs[0].buttons[0].navigation_commands = {setButtonPage(1, 0)};
    menu.PageButtons = {buildPageButtons(menu.IGSc.pages[0]), buildPageButtons(menu.IGSc.pages[1])};

    const StructureEdit edit = deleteButton(menu, 0, 0, 1); // button 1
    ASSERT_TRUE(edit.changed);
    const TPage& page = menu.IGSc.pages[0];
    EXPECT_EQ(page.default_selected_button_id_ref, NoButton);
    EXPECT_EQ(page.default_activated_button_id_ref, NoButton);
    EXPECT_EQ(page.BOGs[0].buttons[0].right_button_id_ref, 0);
    EXPECT_EQ(page.BOGs[0].default_valid_button_id_ref, NoButton);
    EXPECT_EQ(page.BOGs[1].default_valid_button_id_ref, NoButton); // as made
    EXPECT_FALSE(menu.PageButtons[0].holds(1));
    std::vector<std::string> lines;
    for (const MenuReference& r : edit.references) lines.push_back(menuReferenceText(r));
    const std::vector<std::string> expected{
        "Removed button reference in page 0: default selected button (now none)",
        "Removed button reference in page 0: default activated button (now none)",
        "Removed button reference in page 0, BOG 0: BOG default valid button (now none)",
        "Removed button reference in page 0, button 0000: right (now 0000)",
        "Invalid button reference in page 0, button 0000, command 0: SetButtonPage 0001",
        "Invalid button reference in page 0, button 0000, command 1: EnableButton/DisableButton 0001",
        "Invalid button reference in page 1, button 0000, command 0: SetButtonPage 0001",
    };
    EXPECT_EQ(lines, expected);
    EXPECT_EQ(menu.IGSc.pages[1].BOGs[0].buttons[0].navigation_commands[0], setButtonPage(1, 0));

    // A whole BOG: its buttons go, its own default with it.
    menu.IGSc.pages[0].default_selected_button_id_ref = 10;
    const StructureEdit bog = deleteBog(menu, 0, 1);
    ASSERT_EQ(bog.references.size(), 1u);
    EXPECT_EQ(menuReferenceText(bog.references[0]),
              "Removed button reference in page 0: default selected button (now none)");
}

TEST(MenuStructure, PageIdsFollowTheirPagesWithTheirSetButtonPageOperands) {
    TMenu menu = testing::sampleMenu();
    menu.IGSc.pages[0].BOGs[0].buttons[0].navigation_commands = {setButtonPage(0, 1), setButtonPage(0, 0)};
    menu.PageButtons[0] = buildPageButtons(menu.IGSc.pages[0]);
    ASSERT_TRUE(insertPage(menu, 0));
    ASSERT_EQ(menu.IGSc.pages.size(), 3u);
    for (std::size_t p = 0; p < 3; ++p) EXPECT_EQ(menu.IGSc.pages[p].page_id, p);
    EXPECT_EQ(menu.PageButtons.size(), 3u);
    auto commands = [&menu] { return menu.IGSc.pages[1].BOGs[0].buttons[0].navigation_commands; };
    EXPECT_EQ(commands()[0], setButtonPage(0, 2));
    EXPECT_EQ(commands()[1], setButtonPage(0, 1));

    // The page named is deleted: the operand stays and is listed; the page before moves down.
    const StructureEdit edit = deletePage(menu, 2);
    ASSERT_EQ(edit.references.size(), 1u);
    EXPECT_EQ(menuReferenceText(edit.references[0]),
              "Invalid page reference in page 1, button 0000, command 0: SetButtonPage 02");
    ASSERT_TRUE(deletePage(menu, 0).changed); // page 1 is now page 0
    EXPECT_EQ(menu.IGSc.pages[0].BOGs[0].buttons[0].navigation_commands[1], setButtonPage(0, 0));

    // Ids that do not follow their index stay; a new page takes the lowest free id.
    TMenu sparse = testing::sampleMenu();
    sparse.IGSc.pages[0].page_id = 1;
    sparse.IGSc.pages[1].page_id = 3;
    ASSERT_TRUE(insertPage(sparse, 2));
    EXPECT_EQ(sparse.IGSc.pages[2].page_id, 0);
    EXPECT_EQ(sparse.IGSc.pages[1].page_id, 3);
}

TEST(MenuStructure, DeletedWindowsAreListedWithTheObjectsThatNameThem) {
    TMenu menu = testing::sampleMenu(); // in effect: windows 0-2, objects in windows 0 and 1
    const StructureEdit edit = deleteEffectWindow(menu, 0, 0, 1);
    ASSERT_EQ(edit.references.size(), 1u);
    EXPECT_EQ(menuReferenceText(edit.references[0]),
              "Invalid window reference in page 0, effect 0: in effect object 01");
    ASSERT_TRUE(insertEffectWindow(menu, 0, 0, 0));
    EXPECT_EQ(menu.IGSc.pages[0].effect_sequences[0].windows[0].window_id, 1);
    EXPECT_EQ(menu.IGSc.pages[0].effect_sequences[0].windows[0].window_width, 1920);
    EXPECT_EQ(menu.IGSc.pages[0].effect_sequences[0].number_of_windows, 3);
}

TEST(MenuStructure, ButtonCommandLinesMoveTheirGoToTargets) {
    TMenu menu = testing::sampleMenu();
    auto goTo = [](std::uint32_t line) { return TNavCommand{0x20810000u, line, 0}; };
    const TNavCommand m1{0x50000001u, 1, 1}, m2{0x50000001u, 2, 2};
    auto& commands = menu.IGSc.pages[0].BOGs[0].buttons[0].navigation_commands;
    commands = {goTo(2), m1, m2, goTo(0), goTo(3)};
    menu.PageButtons[0] = buildPageButtons(menu.IGSc.pages[0]);
    menu.IGSc.interactive_composition_length = compositionLength(menu.IGSc);
    const std::uint32_t length = menu.IGSc.interactive_composition_length;
    const TNavCommand nop{};

    ASSERT_TRUE(insertButtonCommand(menu, 0, 0, 0, -1));
    EXPECT_EQ(commands, (std::vector<TNavCommand>{nop, goTo(3), m1, m2, goTo(1), goTo(4)}));
    ASSERT_TRUE(insertButtonCommand(menu, 0, 0, 0, 1));
    EXPECT_EQ(commands, (std::vector<TNavCommand>{nop, goTo(4), nop, m1, m2, goTo(1), goTo(5)}));
    ASSERT_TRUE(insertButtonCommand(menu, 0, 0, 0, 100)); // past the end: the last line
    ASSERT_EQ(commands.size(), 8u);
    EXPECT_EQ(commands[7], nop);
    EXPECT_EQ(commands[6], goTo(5));
    const TIGbutton& button = menu.IGSc.pages[0].BOGs[0].buttons[0];
    EXPECT_EQ(button.number_of_navigation_commands, 8);
    EXPECT_EQ(menu.PageButtons[0][button.button_id].navigation_commands, commands);
    EXPECT_EQ(menu.IGSc.interactive_composition_length, length + 3 * 12);
    expectReadsBack(menu, "inserted lines");

    // m1 and m2 go: the GoTo into them is listed, the one past them moves up.
    const StructureEdit edit = deleteButtonCommands(menu, 0, 0, 0, 3, 4);
    ASSERT_TRUE(edit.changed);
    EXPECT_EQ(commands, (std::vector<TNavCommand>{nop, goTo(2), nop, goTo(1), goTo(3), nop}));
    ASSERT_EQ(edit.references.size(), 1u);
    EXPECT_EQ(menuReferenceText(edit.references[0]),
              "Invalid line reference in page 0, button 0000, command 1: GoTo 2");
    EXPECT_EQ(button.number_of_navigation_commands, 6);
    EXPECT_EQ(menu.PageButtons[0][button.button_id].navigation_commands, commands);
    EXPECT_EQ(menu.IGSc.interactive_composition_length, length + 12);
    expectReadsBack(menu, "deleted lines");

    EXPECT_FALSE(deleteButtonCommands(menu, 0, 0, 0, 6, 9).changed);
    EXPECT_FALSE(deleteButtonCommands(menu, 0, 0, 9, 0, 0).changed);
    EXPECT_FALSE(insertButtonCommand(menu, 0, 9, 0, 0));
    // The 16-bit number_of_navigation_commands.
    commands.resize(MaxButtonCommands - 1);
    ASSERT_TRUE(insertButtonCommand(menu, 0, 0, 0, 0));
    EXPECT_EQ(button.number_of_navigation_commands, 0xFFFF);
    EXPECT_FALSE(insertButtonCommand(menu, 0, 0, 0, 0));
}

TEST(MenuStructure, ListsStopAtTheirCountFields) {
    TMenu menu = createMenu();
    for (std::size_t n = 1; n < MaxBogs; ++n) ASSERT_TRUE(insertBog(menu, 0, n));
    EXPECT_FALSE(insertBog(menu, 0, 0));
    for (std::size_t n = 1; n < MaxBogButtons; ++n) ASSERT_TRUE(insertButton(menu, 0, 0, n));
    EXPECT_FALSE(insertButton(menu, 0, 0, 0));
    for (std::size_t n = 1; n < MaxPages; ++n) ASSERT_TRUE(insertPage(menu, n));
    EXPECT_FALSE(insertPage(menu, 0));
    EXPECT_EQ(menu.IGSc.pages.back().page_id, 254);
    for (std::size_t n = 0; n < MaxEffectWindows; ++n) ASSERT_TRUE(insertEffectWindow(menu, 1, 0, n));
    EXPECT_FALSE(insertEffectWindow(menu, 1, 0, 0));
    for (std::size_t n = 0; n < MaxEffects; ++n) ASSERT_TRUE(insertEffect(menu, 1, 1, n));
    EXPECT_FALSE(insertEffect(menu, 1, 1, 0));
    for (std::size_t n = 0; n < MaxCompObjects; ++n) ASSERT_TRUE(insertCompObject(menu, 1, 1, 0, n));
    EXPECT_FALSE(insertCompObject(menu, 1, 1, 0, 0));
    EXPECT_EQ(menu.IGSc.pages[0].number_of_BOGs, 255);
    EXPECT_EQ(menu.IGSc.pages[0].BOGs[0].number_of_buttons, 255);
    expectReadsBack(menu, "full");
}

} // namespace
} // namespace corvane
