#include "navigation/CommandEdit.h"

#include "navigation/CommandText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace corvane {
namespace {

using Names = std::vector<std::string_view>;

std::string line(const TNavCommand& command) {
    return commandLine(command, CommandContext::MovieObject);
}

TEST(CommandEditPickers, ItemsPerGroupAndSubGroup) {
    EXPECT_EQ(groupItems(), (Names{"Branch", "Compare", "Set"}));
    EXPECT_EQ(subGroupItems(0), (Names{"GoTo", "Jump", "Play"}));
    EXPECT_EQ(subGroupItems(1), (Names{"-"}));
    EXPECT_EQ(subGroupItems(2), (Names{"Set", "SetSystem"}));
    EXPECT_TRUE(subGroupItems(3).empty());

    EXPECT_EQ(optionItems(0, 0), (Names{"NOP", "GoTo", "Break"}));
    EXPECT_EQ(optionItems(0, 2),
              (Names{"Play PL", "Play PL_PI", "Play PL_MK", "Terminate PL", "Link PI", "Link MK"}));
    EXPECT_EQ(optionItems(1, 0), (Names{"--", "BC", "EQ", "NE", "GE", "GT", "LE", "LT"}));
    const Names set = optionItems(2, 0);
    ASSERT_EQ(set.size(), 16u);
    EXPECT_EQ(set[1], "Move");
    EXPECT_EQ(set.back(), "Shift Right");
    // The unnamed options 16 and 17 are not offered.
    const Names system = optionItems(2, 1);
    ASSERT_EQ(system.size(), 10u);
    EXPECT_EQ(system.back(), "Still Off");
    EXPECT_TRUE(optionItems(1, 1).empty());
    EXPECT_TRUE(optionItems(3, 0).empty());
}

TEST(CommandEditFields, GroupAndSubGroup) {
    // Count, sub-group and immediate flags stay; bits 21-0 go, operand words stay.
    const TNavCommand move{0x50400001, 5, 1};
    EXPECT_EQ(setCommandGroup(move, 1), (TNavCommand{0x48400000, 5, 1}));
    EXPECT_EQ(setCommandGroup({0x42F10F1F, 1, 2}, 2), (TNavCommand{0x52C00000, 1, 2}));
    // Only the three named groups, and the current one changes nothing.
    EXPECT_EQ(setCommandGroup(move, 3), move);
    EXPECT_EQ(setCommandGroup(move, 2), move);

    EXPECT_EQ(setCommandSubGroup({0x21810000, 3, 0}, 2), (TNavCommand{0x22800000, 3, 0}));
    EXPECT_EQ(setCommandSubGroup({0x50400001, 0, 0}, 1).opcode, 0x51400000u);
    EXPECT_EQ(setCommandSubGroup({0xFFFFFFFF, 0, 0}, 0).opcode, 0xFFFFFFFFu); // group 3: nothing offered
    EXPECT_EQ(setCommandSubGroup({0x48000200, 0, 0}, 1).opcode, 0x48000200u); // Compare has one sub-group
    EXPECT_EQ(setCommandSubGroup({0x21810000, 0, 0}, 1).opcode, 0x21810000u);
}

TEST(CommandEditFields, OptionSetsBitsAndOperandCount) {
    // Play PL_PI takes two operands: both boxes ticked, count 2.
    const TNavCommand playPI = setCommandOption({0x22800000, 4, 0}, 1);
    EXPECT_EQ(playPI, (TNavCommand{0x42810000, 4, 0}));
    EXPECT_TRUE(commandEditorState(playPI).destination.present);
    EXPECT_TRUE(commandEditorState(playPI).source.present);
    // Resume takes none: count 0, and no immediate flag is left on an absent operand.
    const TNavCommand resume = setCommandOption({0x21810000, 4, 0}, 4);
    EXPECT_EQ(resume.opcode, 0x01040000u);
    EXPECT_EQ(line(resume), "Resume");
    EXPECT_FALSE(commandEditorState(resume).destination.present);
    EXPECT_EQ(setCommandOption({0x42C10000, 4, 1}, 0).opcode, 0x22800000u);

    // Compare options go to bits 11-8, Set options to bits 4-0; other option bits are cleared.
    EXPECT_EQ(setCommandOption({0x08000100, 0, 0}, 2).opcode, 0x48000200u);
    EXPECT_EQ(setCommandOption({0x080FF0FF, 0, 0}, 0).opcode, 0x08000000u);
    EXPECT_EQ(setCommandOption({0x10000000, 0, 0}, 1).opcode, 0x50000001u);
    EXPECT_EQ(setCommandOption({0x51400003, 7, 0x80000001}, 4), (TNavCommand{0x31000004, 7, 0x80000001}));
    // Bits 21-20 lie above the option bits and stay.
    EXPECT_EQ(setCommandOption({0x00300000, 0, 0}, 2).opcode, 0x00320000u);

    // Only offered options.
    EXPECT_EQ(setCommandOption({0x11000000, 0, 0}, 10).opcode, 0x11000000u);
    EXPECT_EQ(setCommandOption({0x09000000, 0, 0}, 1).opcode, 0x09000000u);
    EXPECT_EQ(setCommandOption({0x18000000, 0, 0}, 0).opcode, 0x18000000u);
}

TEST(CommandEditFields, OperandPresenceBoxes) {
    const TNavCommand two{0x50000001, 1, 2};
    EXPECT_EQ(setOperandPresent(two, Operand::Destination, false).opcode,
              0x10000001u); // unticks operand 2 too
    EXPECT_EQ(setOperandPresent(two, Operand::Source, false).opcode, 0x30000001u);
    const TNavCommand none{0x10000001, 1, 2};
    EXPECT_EQ(setOperandPresent(none, Operand::Source, true).opcode, 0x50000001u); // ticks operand 1 too
    EXPECT_EQ(setOperandPresent({0x30000001, 1, 2}, Operand::Source, true).opcode, 0x50000001u);
    // Flags and words are left alone.
    EXPECT_EQ(setOperandPresent({0x50400001, 1, 2}, Operand::Source, false), (TNavCommand{0x30400001, 1, 2}));
    // Count 4 reads as operand 1 only (bit 30 clear), count 3 as both.
    EXPECT_EQ(setOperandPresent({0x80000000, 0, 0}, Operand::Source, false).opcode, 0x20000000u);
    EXPECT_EQ(setOperandPresent({0x60000000, 0, 0}, Operand::Destination, true).opcode, 0x40000000u);
}

TEST(CommandEditFields, OperandType) {
    // Imm sets the flag and keeps the word.
    const TNavCommand set{0x50000001, 5, 0x80000004};
    EXPECT_EQ(setOperandType(set, Operand::Source, OperandType::Imm),
              (TNavCommand{0x50400001, 5, 0x80000004}));
    EXPECT_EQ(setOperandType({0x20010000, 3, 0}, Operand::Destination, OperandType::Imm).opcode, 0x20810000u);
    // GPR / PSR clear the flag and set bit 31.
    EXPECT_EQ(setOperandType(set, Operand::Destination, OperandType::PSR),
              (TNavCommand{0x50000001, 0x80000005, 0x80000004}));
    EXPECT_EQ(setOperandType(set, Operand::Source, OperandType::GPR), (TNavCommand{0x50000001, 5, 4}));
    EXPECT_EQ(setOperandType({0x50400001, 5, 7}, Operand::Source, OperandType::PSR),
              (TNavCommand{0x50000001, 5, 0x80000007}));
    // Packed SetSystem operands: bit 31 is a valid flag and stays; PSR falls back to GPR.
    const TNavCommand stream{0x51C00001, 0x80020003, 0x80000001};
    EXPECT_EQ(setOperandType(stream, Operand::Destination, OperandType::PSR),
              (TNavCommand{0x51400001, 0x80020003, 0x80000001}));
    EXPECT_EQ(setOperandType(stream, Operand::Source, OperandType::GPR),
              (TNavCommand{0x51800001, 0x80020003, 0x80000001}));
    EXPECT_EQ(setOperandType({0x51000006, 0x80000001, 0}, Operand::Destination, OperandType::GPR).destination,
              0x80000001u);
    EXPECT_EQ(setOperandType({0x51000003, 0x00000002, 0}, Operand::Destination, OperandType::PSR),
              (TNavCommand{0x51000003, 0x00000002, 0}));
    EXPECT_EQ(
        operandType(setOperandType(stream, Operand::Destination, OperandType::PSR), Operand::Destination),
        OperandType::GPR);
    // Absent operand: nothing.
    EXPECT_EQ(setOperandType({0x20810000, 3, 3}, Operand::Source, OperandType::PSR),
              (TNavCommand{0x20810000, 3, 3}));
    EXPECT_EQ(setOperandType({0x01040000, 3, 3}, Operand::Destination, OperandType::Imm),
              (TNavCommand{0x01040000, 3, 3}));
}

TEST(CommandEditFields, OperandValue) {
    const TNavCommand psr{0x50000001, 0x80000000, 0};
    EXPECT_EQ(setOperandValue(psr, Operand::Destination, 5).destination, 0x80000005u);
    EXPECT_EQ(line(setOperandValue(psr, Operand::Destination, 5)),
              "Move PSR5, GPR0       ;PSR5: Chapter Number (b15-b0) {1-999,$ffff}");
    // A GPR value replaces the whole word.
    EXPECT_EQ(setOperandValue({0x50000001, 0x0ABCD123, 0}, Operand::Destination, 4095).destination,
              0x00000FFFu);
    EXPECT_EQ(setOperandValue({0x50400001, 1, 0}, Operand::Source, 4294967295).source, 0xFFFFFFFFu);
    EXPECT_EQ(setOperandValue({0x50400001, 1, 0}, Operand::Source, -1).source, 0xFFFFFFFFu);
    EXPECT_EQ(setOperandValue({0x50400001, 1, 0}, Operand::Source, -2147483648LL).source, 0x80000000u);
    // Out of the 32-bit range, or a register number reaching bit 31: refused.
    const TNavCommand imm{0x50400001, 1, 9};
    EXPECT_EQ(setOperandValue(imm, Operand::Source, 4294967296LL), imm);
    EXPECT_EQ(setOperandValue(imm, Operand::Source, -2147483649LL), imm);
    EXPECT_EQ(setOperandValue(imm, Operand::Destination, -1), imm);
    EXPECT_EQ(setOperandValue(psr, Operand::Destination, 0x80000000LL), psr);
    // Packed operands take the whole word typed, flags included.
    EXPECT_EQ(setOperandValue({0x51000001, 0, 0}, Operand::Destination, 0x80028003LL).destination,
              0x80028003u);
    // Absent operand: nothing.
    EXPECT_EQ(setOperandValue({0x20810000, 1, 9}, Operand::Source, 4), (TNavCommand{0x20810000, 1, 9}));
}

TEST(CommandEditFields, HexWords) {
    EXPECT_EQ(setOpcodeWord({0x50400001, 5, 1}, 0), TNavCommand{});
    EXPECT_EQ(setOpcodeWord({0x50400001, 5, 1}, 0x18000000), (TNavCommand{0x18000000, 5, 1}));
    EXPECT_EQ(setOperandWord({0x50400001, 5, 1}, Operand::Destination, 0xDEADBEEF).destination, 0xDEADBEEFu);
    EXPECT_EQ(setOperandWord({0x20810000, 5, 1}, Operand::Source, 7), (TNavCommand{0x20810000, 5, 1}));
    EXPECT_EQ(setOperandWord({0x00000000, 0, 0}, Operand::Destination, 7), TNavCommand{});
}

TEST(CommandEditState, NopGoToAndMove) {
    const CommandEditorState nop = commandEditorState({});
    EXPECT_EQ(nop.groupIndex, 0);
    EXPECT_EQ(nop.subGroupIndex, 0);
    EXPECT_EQ(nop.optionItems, (Names{"NOP", "GoTo", "Break"}));
    EXPECT_EQ(nop.optionIndex, 0);
    EXPECT_EQ(nop.opcodeHex, "00000000");
    EXPECT_FALSE(nop.destination.present || nop.destination.enabled || nop.source.present ||
                 nop.source.enabled);
    EXPECT_EQ(nop.hint, "Navigation commands");

    const CommandEditorState goTo = commandEditorState({0x20810000, 7, 0x80000004});
    EXPECT_EQ(goTo.optionIndex, 1);
    EXPECT_TRUE(goTo.destination.present && goTo.destination.enabled);
    EXPECT_EQ(goTo.destination.type, OperandType::Imm);
    EXPECT_EQ(goTo.destination.valueText, "7");
    EXPECT_FALSE(goTo.source.enabled);
    EXPECT_EQ(goTo.source.type, OperandType::PSR); // shown, though disabled
    EXPECT_EQ(goTo.source.hex, "80000004");
    EXPECT_EQ(goTo.hint, "Navigation commands"); // an absent operand touches no register

    const CommandEditorState moveImm = commandEditorState({0x50400001, 0x12345FFF, 0xFFFFFFFF});
    EXPECT_EQ(moveImm.groupIndex, 2);
    EXPECT_EQ(moveImm.subGroupItems[static_cast<std::size_t>(moveImm.subGroupIndex)], "Set");
    EXPECT_EQ(moveImm.optionItems[static_cast<std::size_t>(moveImm.optionIndex)], "Move");
    EXPECT_EQ(moveImm.destination.type, OperandType::GPR);
    EXPECT_EQ(moveImm.destination.value, 0xFFFu);
    EXPECT_EQ(moveImm.destination.hex, "12345FFF");
    EXPECT_EQ(moveImm.source.type, OperandType::Imm);
    EXPECT_EQ(moveImm.source.valueText, "4294967295");

    const CommandEditorState moveReg = commandEditorState({0x50000001, 0x80000004, 0x800000FF});
    EXPECT_EQ(moveReg.destination.type, OperandType::PSR);
    EXPECT_EQ(moveReg.destination.value, 4u);
    EXPECT_EQ(moveReg.source.value, 0x7Fu);
    EXPECT_EQ(moveReg.hint, "PSR4: Title Number (b15-b0) {1-999,$ffff}"); // PSR127 gives no hint
}

TEST(CommandEditState, CompareAndHints) {
    // Operand 2's PSR wins; only PSRs below 41 have a hint.
    const CommandEditorState eq = commandEditorState({0x48000200, 0x80000004, 0x80000011});
    EXPECT_EQ(eq.groupIndex, 1);
    EXPECT_EQ(eq.subGroupItems, (Names{"-"}));
    EXPECT_EQ(eq.optionItems[static_cast<std::size_t>(eq.optionIndex)], "EQ");
    EXPECT_EQ(eq.hint, "PSR17: Language code for PG and Text subtitle (b23-b0)");
    EXPECT_EQ(commandHint({0x48400200, 0x80000011, 0x656E67}),
              "PSR17: Language code for PG and Text subtitle (b23-b0)");
    EXPECT_EQ(commandHint({0x48000200, 0x80000028, 0}), "PSR40: Back-up Register for PSR8");
    EXPECT_EQ(commandHint({0x48000200, 0x8000002A, 0}), "Navigation commands");
    EXPECT_EQ(commandHint({0x48C00200, 0x80000004, 0x80000004}), "Navigation commands");
}

TEST(CommandEditState, SetSystemPackedForms) {
    // Register fields are GPRs and the value field holds the whole word.
    const CommandEditorState stream = commandEditorState({0x51000001, 0x80020003, 0x00008005});
    EXPECT_EQ(stream.optionItems[static_cast<std::size_t>(stream.optionIndex)], "SetStream");
    EXPECT_EQ(stream.destination.type, OperandType::GPR);
    EXPECT_EQ(stream.destination.value, 0x80020003u);
    EXPECT_EQ(stream.source.value, 0x8005u);
    EXPECT_EQ(stream.hint, "Navigation commands");

    const CommandEditorState buttonPage = commandEditorState({0x51800003, 0x80000005, 0x80000002});
    EXPECT_EQ(buttonPage.destination.type, OperandType::Imm);
    EXPECT_EQ(buttonPage.destination.value, 0x80000005u);
    EXPECT_EQ(buttonPage.source.type, OperandType::GPR);
    EXPECT_EQ(buttonPage.source.valueText, "2147483650");
    EXPECT_TRUE(hasFlaggedOperands(0x51000006));
    EXPECT_TRUE(hasFlaggedOperands(0x11000003)); // by name, whatever the count
    EXPECT_FALSE(hasFlaggedOperands(0x51000002));
}

TEST(CommandEditState, InvalidWords) {
    // Group 3: no group item, nothing offered below it.
    const CommandEditorState group3 = commandEditorState({0xDFFFFFFF, 0x80000001, 0});
    EXPECT_EQ(group3.groupIndex, -1);
    EXPECT_TRUE(group3.subGroupItems.empty() && group3.optionItems.empty());
    EXPECT_TRUE(group3.destination.present && group3.source.present);
    // Move with an immediate destination is shown as it is.
    const CommandEditorState badMove = commandEditorState({0x50800001, 5, 1});
    EXPECT_EQ(badMove.destination.type, OperandType::Imm);
    EXPECT_EQ(badMove.optionIndex, 1);
    // Unnamed options and sub-groups have no item.
    EXPECT_EQ(commandEditorState({0x31000010, 1, 0}).optionIndex, -1);
    EXPECT_EQ(commandEditorState({0x0F000000, 0, 0}).subGroupIndex, -1);
    // Count 4: operand 1 only.
    const CommandEditorState four = commandEditorState({0x80000000, 0, 0});
    EXPECT_TRUE(four.destination.present);
    EXPECT_FALSE(four.source.present);
}

TEST(CommandEditState, EditThenRefreshBuildsAValidCommand) {
    // Group, sub-group, option, types and values picked one after another.
    TNavCommand command;
    command = setCommandGroup(command, 2);
    command = setCommandOption(command, 1);
    command = setOperandValue(command, Operand::Destination, 3);
    command = setOperandType(command, Operand::Source, OperandType::Imm);
    command = setOperandValue(command, Operand::Source, 42);
    EXPECT_EQ(command, (TNavCommand{0x50400001, 3, 42}));
    EXPECT_EQ(line(command), "Move GPR3, 42");
    command = setCommandGroup(command, 0);
    command = setCommandSubGroup(command, 2);
    command = setCommandOption(command, 0);
    command = setOperandType(command, Operand::Destination, OperandType::GPR);
    EXPECT_EQ(line(command), "Play PL GPR3");
    EXPECT_TRUE(isValidOpcode(command.opcode));
}

TEST(CommandEditDrawing, CommentStart) {
    EXPECT_EQ(commentStart("Move GPR5, PSR4       ;PSR4: x"), 21u);
    EXPECT_EQ(commentStart("!Foo  ; Invalid opcode"), 5u);
    EXPECT_EQ(commentStart(";x"), 0u);
    EXPECT_EQ(commentStart("NOP"), std::string_view::npos);
}

TEST(CommandEditReferences, GoToAndTitles) {
    std::vector<TNavCommand> program(10);
    program[2] = {0x20810000, 7, 0};
    program[3] = {0x20810000, 10, 0};
    program[4] = {0x20010000, 7, 0};
    program[5] = {0x21810000, 1, 0};
    program[6] = {0x21830000, 999, 0};
    program[7] = {0x21830000, 0, 0};
    program[8] = {0x21810000, 1000, 0};
    program[9] = {0x21010000, 1, 0};
    EXPECT_EQ(followReference(program, 2, false), CommandReference(LineReference{7}));
    EXPECT_EQ(followReference(program, 3, false), CommandReference()); // past the last line
    EXPECT_EQ(followReference(program, 4, false), CommandReference()); // register target
    EXPECT_EQ(followReference(program, 5, false), CommandReference(TitleReference{1, true}));
    EXPECT_EQ(followReference(program, 6, false), CommandReference(TitleReference{999, true}));
    EXPECT_EQ(followReference(program, 7, false), CommandReference(TitleReference{0, false}));
    EXPECT_EQ(followReference(program, 8, false), CommandReference(TitleReference{1000, false}));
    EXPECT_EQ(followReference(program, 9, false), CommandReference()); // Jump Title with a register
    EXPECT_EQ(followReference(program, 0, true), CommandReference());
    EXPECT_EQ(followReference(program, 10, true), CommandReference());
    EXPECT_EQ(followReference({}, 0, true), CommandReference());
}

TEST(CommandEditReferences, Playlists) {
    const std::vector<TNavCommand> program = {
        {0x22000000, 3, 0},  // 0: no line before it
        {0x50400001, 3, 42}, // 1: Move GPR3, 42
        {0x22000000, 3, 0},  // 2: Play PL GPR3
        {0x22000000, 4, 0},  // 3: other register than the Move before it
        {0x50000001, 5, 43}, // 4: Move GPR5, GPR43
        {0x22000000, 5, 0},  // 5
        {0x22800000, 12, 0}, // 6
        {0x42C10000, 5, 3},  // 7
        {0x42810000, 5, 3},  // 8
        {0x42820000, 6, 1},  // 9
        {0x42C20000, 7, 1},  // 10
        {0x42410000, 7, 1},  // 11: register playlist
    };
    EXPECT_EQ(followReference(program, 0, false), CommandReference());
    EXPECT_EQ(followReference(program, 2, false), CommandReference(PlaylistReference{42, {}}));
    EXPECT_EQ(followReference(program, 3, false), CommandReference());
    EXPECT_EQ(followReference(program, 5, false), CommandReference());
    EXPECT_EQ(followReference(program, 6, false), CommandReference(PlaylistReference{12, {}}));
    EXPECT_EQ(followReference(program, 7, false), CommandReference(PlaylistReference{5, 3}));
    EXPECT_EQ(followReference(program, 8, false), CommandReference(PlaylistReference{5, {}}));
    EXPECT_EQ(followReference(program, 9, false), CommandReference(PlaylistReference{6, {}}));
    EXPECT_EQ(followReference(program, 10, false), CommandReference(PlaylistReference{7, {}}));
    EXPECT_EQ(followReference(program, 11, false), CommandReference());
    EXPECT_EQ(playlistItemName(42), "00042");
    EXPECT_EQ(playlistItemName(0), "00000");
}

TEST(CommandEditReferences, SetButtonPage) {
    const std::vector<TNavCommand> program = {
        {0x51C00003, 0x80000005, 0x80000102}, // button 5 on page 2
        {0x51C00003, 0x00000005, 0x00000002}, // neither flag set
        {0x51400003, 0x80000005, 0x80000002}, // page only: operand 1 is a register
        {0x51800003, 0x8001FFFF, 0x80000002}, // button only
        {0x51000003, 0x80000005, 0x80000002}, // registers only
    };
    EXPECT_EQ(followReference(program, 0, true), CommandReference(PageButtonReference{2, 5}));
    EXPECT_EQ(followReference(program, 0, false), CommandReference());
    EXPECT_EQ(followReference(program, 1, true), CommandReference());
    EXPECT_EQ(followReference(program, 2, true), CommandReference(PageButtonReference{2, {}}));
    EXPECT_EQ(followReference(program, 3, true), CommandReference(PageButtonReference{{}, 0xFFFF}));
    EXPECT_EQ(followReference(program, 4, true), CommandReference());
}

} // namespace
} // namespace corvane
