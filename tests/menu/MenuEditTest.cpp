// Editing the Menu page tables: range checks of button, BOG and command cells, the start/end
// object rules, the copy into the page's button table, header fields, the user time-out, crop
// fields and the double-click animation plan.

#include <gtest/gtest.h>

#include "menu/MenuEdit.h"
#include "menu/MenuTestUtil.h"
#include "menu/PageRender.h"
#include "navigation/CommandText.h"

namespace corvane {
namespace {

using testing::sampleMenu;

// Page 0 of the sample: BOG 0 holds buttons 0 and 1, BOG 1 holds button 10; the page's
// button table has 11 slots; five objects; 1920 x 1080.
constexpr std::size_t Page = 0;
constexpr std::size_t NoSounds = 0;

const TIGbutton& button(const TMenu& menu, std::size_t bog, std::size_t index) {
    return menu.IGSc.pages[Page].BOGs[bog].buttons[index];
}

ButtonCellEdit edit(TMenu& menu, int column, std::string_view text, std::size_t sounds = NoSounds,
                    std::size_t bog = 0, std::size_t index = 0) {
    return setButtonCell(menu, Page, bog, index, column, text, sounds);
}

TEST(MenuEditButtons, TextsAndMasksFollowTheModel) {
    const TMenu menu = sampleMenu();
    EXPECT_EQ(ButtonTableHeaders.front(), "id");
    EXPECT_EQ(ButtonTableHeaders[11], "n.repeat");
    EXPECT_EQ(ButtonTableHeaders.back(), "comm.");
    const auto rows = buttonRows(menu, Page, 0);
    ASSERT_EQ(rows.size(), 2u);
    const std::vector<std::string> expected{"0000", "0001", "No",   "100",  "200",  "0000", "0000",
                                            "0000", "0000", "0000", "0001", "Yes",  "03",   "0000",
                                            "0000", "No",   "FF",   "FFFF", "FFFF", "2"};
    EXPECT_EQ(rows[0], expected);
    EXPECT_EQ(buttonEditMask(ColId), "");
    EXPECT_EQ(buttonEditMask(ColValue), ">AAAA");
    EXPECT_EQ(buttonEditMask(ColAutoAction), ">L");
    EXPECT_EQ(buttonEditMask(ColX), "9999");
    EXPECT_EQ(buttonEditMask(ColSelectedSound), ">AA");
    EXPECT_EQ(buttonEditMask(ColCommands), "-");
    EXPECT_EQ(buttonEditMask(20), "");
    EXPECT_EQ(buttonCellText(button(menu, 0, 0), -1), "");
    EXPECT_TRUE(buttonRows(menu, Page, 2).empty());
    EXPECT_TRUE(buttonRows(menu, 7, 0).empty());
}

TEST(MenuEditButtons, NeighboursMustNameAButtonOfThePage) {
    TMenu menu = sampleMenu();
    ASSERT_EQ(pageButtonLimit(menu, Page), 11u);
    EXPECT_FALSE(edit(menu, ColUpper, "FFFF").changed); // "none" is not a button id
    EXPECT_FALSE(edit(menu, ColLower, "000B").changed); // 11 is past the table
    EXPECT_TRUE(edit(menu, ColRight, "000A").changed);
    EXPECT_EQ(button(menu, 0, 0).right_button_id_ref, 10);
    EXPECT_EQ(button(menu, 0, 0).upper_button_id_ref, 0);
    EXPECT_EQ(pageButtonLimit(menu, 9), 0u);
}

TEST(MenuEditButtons, PositionsAreDecimalBelowTheVideoSize) {
    TMenu menu = sampleMenu();
    EXPECT_FALSE(edit(menu, ColX, "1920").changed);
    EXPECT_TRUE(edit(menu, ColX, "1919").changed);
    EXPECT_FALSE(edit(menu, ColY, "1080").changed);
    EXPECT_TRUE(edit(menu, ColY, "0017").changed);
    EXPECT_FALSE(edit(menu, ColY, "12A4").changed);
    EXPECT_EQ(button(menu, 0, 0).button_horizontal_position, 1919);
    EXPECT_EQ(button(menu, 0, 0).button_vertical_position, 17);
}

TEST(MenuEditButtons, IncompleteOrMalformedTextsAreIgnored) {
    TMenu menu = sampleMenu();
    const TIGbutton before = button(menu, 0, 0);
    for (const auto& [column, text] : std::vector<std::pair<int, std::string>>{{ColValue, "12 "},
                                                                               {ColValue, "    "},
                                                                               {ColX, "1 2"},
                                                                               {ColAutoAction, " "},
                                                                               {ColAutoAction, "1"},
                                                                               {ColNormalEnd, ""},
                                                                               {ColId, "0005"},
                                                                               {ColCommands, "9"}}) {
        const ButtonCellEdit result = edit(menu, column, text);
        EXPECT_FALSE(result.changed) << column << " '" << text << "'";
        EXPECT_EQ(result.refresh, std::vector<int>{column}); // the cell shows the held value again
    }
    EXPECT_EQ(button(menu, 0, 0), before);
    // Non-hex characters are skipped; too many digits for 16 bits are refused, not cut.
    EXPECT_TRUE(edit(menu, ColValue, "G1x2").changed);
    EXPECT_EQ(button(menu, 0, 0).button_numeric_select_value, 0x12);
    EXPECT_FALSE(edit(menu, ColValue, "10000").changed);
    EXPECT_FALSE(edit(menu, ColValue, "1000000000000000F").changed);
    EXPECT_TRUE(edit(menu, ColAutoAction, "Y").changed);
    EXPECT_EQ(button(menu, 0, 0).auto_action_flag, 1);
    EXPECT_TRUE(edit(menu, ColAutoAction, "N").changed);
    EXPECT_EQ(button(menu, 0, 0).auto_action_flag, 0);
}

TEST(MenuEditButtons, StartObjectMovesTheEndAndClearsTheRepeat) {
    TMenu menu = sampleMenu(); // button 0: normal 0..1 repeating
    // A start above the end moves the end; one object cannot repeat.
    ButtonCellEdit result = edit(menu, ColNormalStart, "0003");
    EXPECT_TRUE(result.changed);
    EXPECT_EQ(result.refresh, (std::vector<int>{ColNormalStart, ColNormalEnd, ColNormalRepeat}));
    EXPECT_EQ(button(menu, 0, 0).normal_end_object_id_ref, 3);
    EXPECT_EQ(button(menu, 0, 0).normal_repeat_flag, 0);
    EXPECT_EQ(buttonCellText(button(menu, 0, 0), ColNormalEnd), "0003");
    // A start below the end leaves the end.
    EXPECT_TRUE(edit(menu, ColNormalEnd, "0004").changed);
    result = edit(menu, ColNormalStart, "0001");
    EXPECT_EQ(result.refresh, std::vector<int>{ColNormalStart});
    EXPECT_EQ(button(menu, 0, 0).normal_end_object_id_ref, 4);
    // The repeat flag is taken only while start and end differ.
    EXPECT_TRUE(edit(menu, ColNormalRepeat, "Y").changed);
    EXPECT_EQ(button(menu, 0, 0).normal_repeat_flag, 1);
    EXPECT_TRUE(edit(menu, ColSelectedEnd, "0000").refresh.size() == 1); // selected 0..0 already
    EXPECT_FALSE(edit(menu, ColSelectedRepeat, "Y").changed);
    EXPECT_EQ(button(menu, 0, 0).selected_repeat_flag, 0);
    // An end of "none" follows a new start; objects must exist.
    result = edit(menu, ColActivatedStart, "0002");
    EXPECT_EQ(result.refresh, (std::vector<int>{ColActivatedStart, ColActivatedEnd}));
    EXPECT_EQ(button(menu, 0, 0).activated_end_object_id_ref, 2);
    EXPECT_FALSE(edit(menu, ColActivatedStart, "0005").changed);
    EXPECT_FALSE(edit(menu, ColActivatedEnd, "FFFF").changed);
}

TEST(MenuEditButtons, SoundIdsNeedASoundOrFF) {
    TMenu menu = sampleMenu();
    EXPECT_FALSE(edit(menu, ColSelectedSound, "00").changed); // no sound file
    EXPECT_TRUE(edit(menu, ColSelectedSound, "FF").changed);
    EXPECT_EQ(button(menu, 0, 0).selected_state_sound_id_ref, 0xFF);
    EXPECT_TRUE(edit(menu, ColActivatedSound, "01", 2).changed);
    EXPECT_FALSE(edit(menu, ColActivatedSound, "02", 2).changed);
    EXPECT_EQ(button(menu, 0, 0).activated_state_sound_id_ref, 1);
}

TEST(MenuEditButtons, ChangedButtonIsCopiedIntoThePageTable) {
    TMenu menu = sampleMenu();
    const TPageButton otherPage = menu.PageButtons[1];
    EXPECT_TRUE(edit(menu, ColValue, "0ABC", NoSounds, 1, 0).changed); // button id 10 in BOG 1
    EXPECT_EQ(menu.PageButtons[Page][10], button(menu, 1, 0));
    EXPECT_EQ(menu.PageButtons[Page][10].button_numeric_select_value, 0xABC);
    EXPECT_EQ(menu.PageButtons[1], otherPage);
    EXPECT_TRUE(edit(menu, ColNormalStart, "0004").changed);
    EXPECT_EQ(menu.PageButtons[Page][0].normal_end_object_id_ref, 4);
}

TEST(MenuEditButtons, MissingTargetsChangeNothing) {
    TMenu menu = sampleMenu();
    EXPECT_TRUE(setButtonCell(menu, 5, 0, 0, ColValue, "0001", 0).refresh.empty());
    EXPECT_TRUE(setButtonCell(menu, Page, 2, 0, ColValue, "0001", 0).refresh.empty());
    EXPECT_TRUE(setButtonCell(menu, Page, 0, 2, ColValue, "0001", 0).refresh.empty());
    EXPECT_TRUE(setButtonCell(menu, Page, 0, 0, 20, "0001", 0).refresh.empty());
    EXPECT_TRUE(setButtonCell(menu, Page, 0, 0, -1, "0001", 0).refresh.empty());
    TMenu empty;
    EXPECT_FALSE(setButtonCell(empty, 0, 0, 0, ColValue, "0001", 0).changed);
    EXPECT_FALSE(setBogCell(empty, 0, 0, 1, "FFFF", 0));
    EXPECT_EQ(setCommandCell(empty, 0, 0, 0, 0, 1, "00000000").row.size(), 5u);
    EXPECT_EQ(buttonDblClickPlan(empty, 0, 0, 0, ColNormalStart, 1).action, ButtonDblClickPlan::Action::None);
    EXPECT_EQ(pageHeaderTexts(empty, 0).heUO1, "");
    EXPECT_FALSE(setUOMask(empty, 0, UOWord::First, "1"));
    EXPECT_FALSE(cropFields(empty, 0, 0, 0, 0).exists);
    // A page whose button table is missing has no valid neighbour.
    menu.PageButtons.clear();
    EXPECT_FALSE(edit(menu, ColUpper, "0000").changed);
    EXPECT_TRUE(edit(menu, ColValue, "0002").changed);
}

TEST(MenuEditBogs, DefaultValidButtonAndButtonStates) {
    TMenu menu = sampleMenu();
    EXPECT_EQ(BogTableRowLabels[1], " default valid button");
    const auto columns = bogColumns(menu, Page);
    ASSERT_EQ(columns.size(), 2u);
    EXPECT_EQ(columns[1], (std::array<std::string, 3>{"1", "FFFF", "1"}));
    EXPECT_EQ(bogEditMask(1), ">AAAA");
    EXPECT_EQ(bogEditMask(2), "-");
    EXPECT_EQ(bogColumns(menu, 9).size(), 1u); // the empty column of a table without BOGs

    // 0xFFFF is accepted here, unlike a neighbour; ids must be below the table's length.
    EXPECT_TRUE(setBogCell(menu, Page, 0, 1, "FFFF", 1));
    EXPECT_EQ(menu.IGSc.pages[Page].BOGs[0].default_valid_button_id_ref, NoButton);
    EXPECT_FALSE(setBogCell(menu, Page, 1, 1, "000B", 1));
    EXPECT_FALSE(setBogCell(menu, Page, 1, 2, "0005", 1));
    EXPECT_FALSE(setBogCell(menu, Page, 1, 1, "000 ", 1));
    EXPECT_TRUE(menu.ButtonStates.empty()); // page 0 is not shown

    // On the shown page the states follow: button 10 becomes enabled.
    EXPECT_TRUE(setBogCell(menu, Page, 1, 1, "000A", Page));
    ASSERT_EQ(menu.ButtonStates.size(), 11u);
    EXPECT_EQ(menu.ButtonStates, buildButtonStates(menu, Page));
    EXPECT_EQ(menu.ButtonStates[10].enabled, 1);
}

TEST(MenuEditCommands, WordsTextsAndRowsWithoutCommands) {
    TMenu menu = sampleMenu();
    const TIGbutton& first = button(menu, 0, 0); // two commands
    const TIGbutton& noCommands = button(menu, 0, 1);
    EXPECT_EQ(CommandTableHeaders[2], "Destinat.");
    EXPECT_EQ(commandRows(noCommands), (std::vector<std::vector<std::string>>{{"", "", "", "", ""}}));
    EXPECT_EQ(commandEditMask(noCommands, 1), "");
    EXPECT_EQ(commandEditMask(first, 1), ">AAAAAAAA");
    EXPECT_EQ(commandEditMask(first, 4), "");

    const std::vector<std::string> original = commandRows(first)[1];
    // Column 4 only gives the text back; incomplete words are ignored.
    CommandCellEdit result = setCommandCell(menu, Page, 0, 0, 1, 4, "garbage");
    EXPECT_FALSE(result.changed);
    EXPECT_EQ(result.row, original);
    EXPECT_FALSE(setCommandCell(menu, Page, 0, 0, 1, 1, "5000000").changed);
    EXPECT_FALSE(setCommandCell(menu, Page, 0, 0, 1, 1, "5000 000").changed);

    result = setCommandCell(menu, Page, 0, 0, 1, 1, "50000001");
    EXPECT_TRUE(result.changed);
    EXPECT_EQ(first.navigation_commands[1].opcode, 0x50000001u);
    const CommandCells cells = comm2str(first.navigation_commands[1], 1, CommandContext::Button);
    EXPECT_EQ(result.row, (std::vector<std::string>{cells.no, cells.opcode, cells.destination, cells.source,
                                                    cells.line}));
    EXPECT_EQ(first.number_of_navigation_commands, 2);
    EXPECT_EQ(menu.PageButtons[Page][0], first);
    EXPECT_TRUE(setCommandCell(menu, Page, 0, 0, 0, 3, "0000ABCD").changed);
    EXPECT_EQ(first.navigation_commands[0].source, 0xABCDu);

    // No commands (or no such line): the edited cell is emptied.
    result = setCommandCell(menu, Page, 0, 1, 0, 4, "x");
    EXPECT_EQ(result.row, (std::vector<std::string>(5)));
    EXPECT_FALSE(setCommandCell(menu, Page, 0, 0, 2, 1, "00000000").changed);
}

TEST(MenuEditDoubleClick, AnimationPlansAndSounds) {
    TMenu menu = sampleMenu(); // frame rate 4, code 2
    TIGbutton& b = menu.IGSc.pages[Page].BOGs[0].buttons[0];
    b.activated_start_object_id_ref = 1;
    b.activated_end_object_id_ref = 3;
    const int ms = *animationFrameMs(4, 2);

    ButtonDblClickPlan plan = buttonDblClickPlan(menu, Page, 0, 0, ColActivatedStart, 0);
    EXPECT_EQ(plan.action, ButtonDblClickPlan::Action::Animate);
    EXPECT_EQ(plan.state, ButtonAnimState::Activated);
    EXPECT_EQ(plan.frames, (std::vector<std::uint16_t>{1, 2, 3}));
    EXPECT_FALSE(plan.repeat);
    EXPECT_EQ(plan.finalObject, 1);
    EXPECT_EQ(plan.frameMs, ms);
    EXPECT_EQ(buttonDblClickPlan(menu, Page, 0, 0, ColActivatedEnd, 0).finalObject, 3);

    plan = buttonDblClickPlan(menu, Page, 0, 0, ColNormalEnd, 0); // 0..1 repeating
    EXPECT_EQ(plan.state, ButtonAnimState::Normal);
    EXPECT_TRUE(plan.repeat);
    EXPECT_EQ(plan.frames, (std::vector<std::uint16_t>{0, 1}));
    EXPECT_EQ(plan.finalObject, 1);
    EXPECT_EQ(buttonDblClickPlan(menu, Page, 0, 0, ColSelectedStart, 0).state, ButtonAnimState::Selected);

    // Objects past the list end the frames; with none left nothing repeats.
    b.normal_start_object_id_ref = 3;
    b.normal_end_object_id_ref = NoIGObject;
    EXPECT_EQ(buttonDblClickPlan(menu, Page, 0, 0, ColNormalStart, 0).frames,
              (std::vector<std::uint16_t>{3, 4}));
    b.normal_start_object_id_ref = NoIGObject;
    plan = buttonDblClickPlan(menu, Page, 0, 0, ColNormalStart, 0);
    EXPECT_TRUE(plan.frames.empty());
    EXPECT_FALSE(plan.repeat);

    // Sounds play only when the id is below the number of sounds (selected 3, activated FF).
    EXPECT_EQ(buttonDblClickPlan(menu, Page, 0, 0, ColSelectedSound, 3).action,
              ButtonDblClickPlan::Action::None);
    plan = buttonDblClickPlan(menu, Page, 0, 0, ColSelectedSound, 4);
    EXPECT_EQ(plan.action, ButtonDblClickPlan::Action::PlaySound);
    EXPECT_EQ(plan.sound, 3);
    EXPECT_EQ(buttonDblClickPlan(menu, Page, 0, 0, ColActivatedSound, 255).action,
              ButtonDblClickPlan::Action::None);
    EXPECT_EQ(buttonDblClickPlan(menu, Page, 0, 0, ColX, 4).action, ButtonDblClickPlan::Action::None);
}

TEST(MenuEditHeader, FieldsAndTakeOver) {
    TMenu menu = sampleMenu();
    const PageHeaderTexts t = pageHeaderTexts(menu, Page);
    EXPECT_EQ(t.heUO1, "80000000");
    EXPECT_EQ(t.heUO2, "00000001");
    EXPECT_EQ(t.ieFramerate, "2");
    EXPECT_EQ(t.heDefSelButt, "0001");
    EXPECT_EQ(t.heDefActButt, "FFFF");
    EXPECT_EQ(t.hePalette, "00");
    EXPECT_EQ(t.ieInEffWin, "3");
    EXPECT_EQ(t.ieInEffEff, "1");
    EXPECT_EQ(t.ieOutEffWin, "1");
    EXPECT_EQ(t.ieOutEffEff, "1");
    EXPECT_EQ(t.ieBOGs, "2");

    TPage& p = menu.IGSc.pages[Page];
    // The second word keeps all 32 bits (bit 30 has a meaning).
    EXPECT_TRUE(setUOMask(menu, Page, UOWord::Second, "40000000"));
    EXPECT_EQ(p.UO_mask_table[1], 0x40000000u);
    EXPECT_FALSE(setUOMask(menu, Page, UOWord::First, "100000000"));
    EXPECT_FALSE(setUOMask(menu, Page, UOWord::First, ""));
    EXPECT_TRUE(setUOMask(menu, Page, UOWord::First, "0"));

    EXPECT_TRUE(setAnimationFrameRateCode(menu, Page, "300"));
    EXPECT_EQ(p.animation_frame_rate_code, 300 & 0xFF);
    EXPECT_FALSE(setAnimationFrameRateCode(menu, Page, "1000"));
    EXPECT_FALSE(setAnimationFrameRateCode(menu, Page, "-1"));
    EXPECT_FALSE(setAnimationFrameRateCode(menu, Page, "x"));
    EXPECT_TRUE(setAnimationFrameRateCode(menu, Page, "+5"));
    EXPECT_EQ(p.animation_frame_rate_code, 5);

    EXPECT_TRUE(setDefaultSelectedButton(menu, Page, "FFFF"));
    EXPECT_EQ(p.default_selected_button_id_ref, NoButton);
    EXPECT_TRUE(setDefaultActivatedButton(menu, Page, "0002"));
    EXPECT_EQ(p.default_activated_button_id_ref, 2);
    EXPECT_FALSE(setPagePalette(menu, Page, "1FF"));
    EXPECT_TRUE(setPagePalette(menu, Page, "A1"));
    EXPECT_EQ(p.palette_id_ref, 0xA1);
}

TEST(MenuEditHeader, UserTimeOutRoundTripAnd24BitLimit) {
    TMenu menu = sampleMenu();
    EXPECT_EQ(userTimeOutText(menu), "0:00:03");
    EXPECT_EQ(setUserTimeOut(menu, "0:01:05"), TimeOutEdit::Stored);
    EXPECT_EQ(menu.IGSc.user_time_out_duration, 65u * 90000);
    EXPECT_EQ(userTimeOutText(menu), "0:01:05");
    EXPECT_EQ(setUserTimeOut(menu, userTimeOutText(menu)), TimeOutEdit::Unchanged);

    // 0:03:06 is the longest time the 24-bit field holds; longer is refused, not wrapped.
    EXPECT_EQ(setUserTimeOut(menu, "0:03:06"), TimeOutEdit::Stored);
    EXPECT_EQ(menu.IGSc.user_time_out_duration, 186u * 90000);
    EXPECT_EQ(setUserTimeOut(menu, "0:03:07"), TimeOutEdit::TooLong);
    EXPECT_EQ(setUserTimeOut(menu, "9:59:59"), TimeOutEdit::TooLong);
    EXPECT_EQ(menu.IGSc.user_time_out_duration, 186u * 90000);

    for (const char* bad :
         {"", "0:00", "0:60:00", "0:00:60", "0:0 :00", "a:00:00", "0:00:00:00", "99999999:00:00"})
        EXPECT_EQ(setUserTimeOut(menu, bad), TimeOutEdit::BadText) << bad;

    // Leaving the field as shown keeps a fraction of a second read from the file.
    menu.IGSc.user_time_out_duration = 100000;
    EXPECT_EQ(setUserTimeOut(menu, userTimeOutText(menu)), TimeOutEdit::Unchanged);
    EXPECT_EQ(menu.IGSc.user_time_out_duration, 100000u);
    EXPECT_EQ(setUserTimeOut(menu, "0:00:00"), TimeOutEdit::Stored);
    EXPECT_EQ(menu.IGSc.user_time_out_duration, 0u);
}

TEST(MenuEditEffects, CropFieldsOfCroppedObjectsOnly) {
    TMenu menu = sampleMenu(); // in-effect 0: object 0 plain, object 1 cropped (1, 2, 30, 40)
    CropFields f = cropFields(menu, Page, 0, 0, 1);
    EXPECT_TRUE(f.exists);
    EXPECT_TRUE(f.cropped);
    EXPECT_EQ(f.values, (std::array<std::uint16_t, 4>{1, 2, 30, 40}));
    EXPECT_TRUE(setCropField(menu, Page, 0, 0, 1, CropField::W, 50));
    EXPECT_FALSE(setCropField(menu, Page, 0, 0, 1, CropField::H, -1));
    EXPECT_FALSE(setCropField(menu, Page, 0, 0, 1, CropField::H, 0x10000));
    EXPECT_EQ(cropFields(menu, Page, 0, 0, 1).values, (std::array<std::uint16_t, 4>{1, 2, 50, 40}));

    menu.IGSc.pages[Page].effect_sequences[0].effects[0].composition_objects[0].object_cropping_width = 9;
    f = cropFields(menu, Page, 0, 0, 0);
    EXPECT_TRUE(f.exists);
    EXPECT_FALSE(f.cropped);
    EXPECT_EQ(f.values, (std::array<std::uint16_t, 4>{}));
    EXPECT_FALSE(setCropField(menu, Page, 0, 0, 0, CropField::X, 3));

    EXPECT_FALSE(cropFields(menu, Page, 1, 0, 0).exists); // the out-effect has no objects
    EXPECT_FALSE(cropFields(menu, Page, 2, 0, 0).exists);
    EXPECT_FALSE(setCropField(menu, Page, -1, 0, 1, CropField::X, 1));
    EXPECT_FALSE(setCropField(menu, Page, 0, 1, 1, CropField::X, 1));
    EXPECT_FALSE(setCropField(menu, 4, 0, 0, 1, CropField::X, 1));
}

} // namespace
} // namespace corvane
