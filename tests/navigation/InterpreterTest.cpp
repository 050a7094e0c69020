#include "navigation/Interpreter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "navigation/CommandText.h"
#include "navigation/InterpreterTestUtil.h"
#include "navigation/MovieObject.h"
#include "shell/Reporter.h"

namespace corvane {
namespace {

using testing::BreakOp;
using testing::FakeButton;
using testing::FakePage;
using testing::GoToImm;
using testing::MoveImm;
using testing::MoveReg;
using testing::nav;
using testing::Psr;
using testing::RecordingHost;

std::string text(const TNavCommand& c) {
    return commandLine(c, CommandContext::MovieObject);
}

// An interpreter with its own Rnd generator and reset registers.
struct Fixture {
    RndGenerator rnd;
    Interpreter interp{rnd};
    RecordingHost host;
    Fixture() { interp.ResetRegs(RegisterDefaults{}); }
    RunResult run(const std::vector<TNavCommand>& list, std::uint64_t limit = 0) {
        interp.CurrentLine = 0;
        return interp.ExecComm(list, host, limit);
    }
    std::uint32_t& gpr(int n) { return interp.regs.GPR[static_cast<std::size_t>(n)]; }
    std::uint32_t& psr(std::size_t n) { return interp.regs.PSR[n]; }
};

// ---- operands ----

TEST(InterpreterOperands, ImmediateRegisterAndNone) {
    Fixture f;
    f.gpr(5) = 55;
    f.gpr(0xFFF) = 77;
    f.psr(PSR_TITLE) = 44;
    Interpreter& i = f.interp;
    EXPECT_EQ(i.getop1(nav(0x50000001, 5, Psr(4))), 55u);
    EXPECT_EQ(i.getop2(nav(0x50000001, 5, Psr(4))), 44u);
    EXPECT_EQ(i.getop1(nav(0x50C00001, 5, 6)), 5u);
    EXPECT_EQ(i.getop2(nav(0x50C00001, 5, 6)), 6u);
    // Register numbers take their own bits only: PSR bits 6-0, GPR bits 11-0.
    EXPECT_EQ(i.getop1(nav(0x50000001, 0x7FFFFFFF, 0)), 77u);
    EXPECT_EQ(i.getop1(nav(0x50000001, 0x80000F84, 0)), 44u);
    EXPECT_EQ(i.getop1(nav(0x00020000, 5, 5)), 0xDEADBEEFu);
    EXPECT_EQ(i.getop2(nav(0x00020000, 5, 5)), 0xDEADBEEFu);
    // One operand: operand 2 is still read as its word says.
    EXPECT_EQ(i.getop2(nav(0x20010000, 0, 5)), 55u);
}

TEST(InterpreterOperands, PackedSetStreamForms) {
    Fixture f;
    f.gpr(1) = 0x1234;                     // low 12 bits used: 0x234
    f.gpr(2) = 0xABCD;                     // low 8 bits used: 0xCD
    const std::uint32_t word = 0xC002C001; // flags 0x8000C000, GPR2 in bits 16+, GPR1 low
    const std::uint32_t packed = 0x8000C000u | (0xCDu << 16) | 0x234u;
    for (std::uint32_t flags : {0x51000001u, 0x51400001u, 0x51800001u, 0x51C00001u}) {
        SCOPED_TRACE(text(nav(flags, word, word)));
        const bool imm1 = flags & 0x00800000;
        const bool imm2 = flags & 0x00400000;
        EXPECT_EQ(f.interp.getop1(nav(flags, word, word)), imm1 ? word : packed);
        EXPECT_EQ(f.interp.getop2(nav(flags, word, word)), imm2 ? word : packed);
    }
    // Bit 31 is a stream flag here, never a PSR selector.
    f.psr(PSR_PRIMARY_AUDIO_STREAM) = 0x99;
    EXPECT_EQ(f.interp.getop1(nav(0x51000001, 0x80000001, 0)), 0x80000234u);
}

TEST(InterpreterOperands, PackedSetButtonPageForms) {
    Fixture f;
    f.gpr(3) = 0x12345;
    for (std::uint32_t flags : {0x51000003u, 0x51400003u, 0x51800003u, 0x51C00003u}) {
        const std::uint32_t word = 0x80000003;
        const bool imm1 = flags & 0x00800000;
        const bool imm2 = flags & 0x00400000;
        EXPECT_EQ(f.interp.getop1(nav(flags, word, 3)), imm1 ? word : 0x80002345u) << std::hex << flags;
        EXPECT_EQ(f.interp.getop2(nav(flags, word, 3)), imm2 ? 3u : 0x2345u) << std::hex << flags;
    }
}

TEST(InterpreterOperands, SetdstAndSetsrc) {
    Fixture f;
    Interpreter& i = f.interp;
    i.setdst(nav(0x50000001, 7, Psr(9)), 70);
    i.setsrc(nav(0x50000001, 7, Psr(9)), 90);
    EXPECT_EQ(f.gpr(7), 70u);
    EXPECT_EQ(f.psr(PSR_NAVIGATION_TIMER), 90u);
    // Immediate operands and commands without operands are never written.
    i.setdst(nav(0x50C00001, 8, 8), 1);
    i.setsrc(nav(0x50C00001, 8, 8), 1);
    i.setdst(nav(0x00000000, 8, 8), 1);
    i.setsrc(nav(0x00000000, 8, 8), 1);
    EXPECT_EQ(f.gpr(8), 0u);
}

// ---- Set ----

struct SetCase {
    std::uint32_t option;
    std::uint32_t a; // GPR1 before
    std::uint32_t b; // immediate operand 2
    std::uint32_t expected;
};

TEST(InterpreterSet, EveryOptionWithWrapShiftAndBitRules) {
    const std::vector<SetCase> cases = {
        {1, 9, 0xFFFFFFFF, 0xFFFFFFFF},   // Move
        {3, 0xFFFFFFFF, 2, 1},            // Add wraps
        {3, 40, 2, 42},                   //
        {4, 0, 1, 0xFFFFFFFF},            // Sub wraps
        {4, 10, 3, 7},                    //
        {5, 0x10000, 0x10000, 0},         // Mul keeps the low 32 bits
        {5, 0xFFFFFFFF, 0xFFFFFFFF, 1},   //
        {5, 6, 7, 42},                    //
        {6, 7, 2, 3},                     // Div truncates
        {6, 0xFFFFFFFF, 2, 0x7FFFFFFF},   // unsigned
        {6, 5, 0, 0xFFFFFFFF},            // by zero
        {7, 7, 3, 1},                     // Mod
        {7, 0xFFFFFFFF, 10, 5},           // unsigned
        {7, 5, 0, 0xFFFFFFFF},            // by zero
        {9, 0xF0F0, 0xFF00, 0xF000},      // And
        {10, 0xF0F0, 0x0F00, 0xFFF0},     // Or
        {11, 0xF0F0, 0xFF00, 0x0FF0},     // Xor
        {12, 0, 31, 0x80000000},          // Bit Set
        {12, 0, 32, 1},                   // position modulo 32
        {13, 0xFFFFFFFF, 33, 0xFFFFFFFD}, // Bit Clear, position 33 = 1
        {14, 1, 4, 16},                   // Shift Left
        {14, 1, 33, 2},                   // by 33 = by 1
        {14, 1, 20, 0x100000},            // counts 16 to 31 shift in full
        {14, 3, 32, 3},                   // by 32 = no shift
        {14, 0x80000001, 1, 2},           // bits fall off
        {15, 0x80000000, 31, 1},          // Shift Right is logical
        {15, 0x80000000, 32, 0x80000000}, //
        {15, 0x100, 36, 0x10},            //
    };
    for (const auto& c : cases) {
        Fixture f;
        f.gpr(1) = c.a;
        const auto command = nav(0x50400000 | c.option, 1, c.b);
        SCOPED_TRACE(text(command) + " with GPR1 = " + std::to_string(c.a));
        f.run({command});
        EXPECT_EQ(f.gpr(1), c.expected);
    }
}

TEST(InterpreterSet, RegisterSourcePsrDestinationAndImmediateDestination) {
    Fixture f;
    f.gpr(2) = 5;
    f.gpr(3) = 6;
    f.run({nav(0x50000003, 2, 3), nav(0x50400001, Psr(7), 99), nav(0x50C00001, 4, 11)});
    EXPECT_EQ(f.gpr(2), 11u);
    EXPECT_EQ(f.psr(PSR_PLAYITEM), 99u);
    EXPECT_EQ(f.gpr(4), 0u);
    // Option 0 and bits outside the listed words do nothing.
    f.run({nav(0x50400000, 9, 1), nav(0x50410001, 9, 1), nav(0x50000011, 9, 1)});
    EXPECT_EQ(f.gpr(9), 0u);
}

TEST(InterpreterSet, SwapWithRegisterAndImmediate) {
    Fixture f;
    f.gpr(1) = 10;
    f.gpr(2) = 20;
    EXPECT_EQ(text(nav(0x50000002, 1, 2)), "Swap GPR1, GPR2");
    f.run({nav(0x50000002, 1, 2)});
    EXPECT_EQ(f.gpr(1), 20u);
    EXPECT_EQ(f.gpr(2), 10u);
    f.run({nav(0x50400002, 1, 5)});
    EXPECT_EQ(f.gpr(1), 5u);
    EXPECT_EQ(f.gpr(5), 0u);
    EXPECT_EQ(f.gpr(2), 10u);
    f.psr(PSR_ANGLE) = 33;
    f.run({nav(0x50000002, 1, Psr(3))});
    EXPECT_EQ(f.gpr(1), 33u);
    EXPECT_EQ(f.psr(PSR_ANGLE), 5u);
}

TEST(InterpreterSet, RndRepeatsItsSequenceAndNeverReseeds) {
    const std::vector<TNavCommand> program = {nav(0x50400008, 1, 100), nav(0x50400008, 2, 100),
                                              nav(0x50400008, 3, 0), nav(0x50400008, 4, 100)};
    Fixture f;
    f.run(program);
    EXPECT_EQ(f.gpr(1), 0u);
    EXPECT_EQ(f.gpr(2), 3u);
    EXPECT_EQ(f.gpr(3), 0u); // range 0, but a draw all the same
    EXPECT_EQ(f.gpr(4), 20u);
    // A second run continues the sequence; ResetRegs does not restart it.
    f.interp.ResetRegs(RegisterDefaults{});
    f.run({nav(0x50400008, 1, 100)});
    EXPECT_EQ(f.gpr(1), 27u);
    // Another generator from the start gives the same values again.
    Fixture g;
    g.run(program);
    EXPECT_EQ(g.gpr(2), 3u);
    EXPECT_EQ(g.gpr(4), 20u);
}

// ---- Compare ----

struct CompareCase {
    std::uint32_t option;
    std::uint32_t a, b;
    bool result;
};

TEST(InterpreterCompare, EveryOptionBothWaysUnsigned) {
    const std::vector<CompareCase> cases = {
        {1, 0x6, 0x3, true},      {1, 0x6, 0x9, false},      // BC
        {2, 7, 7, true},          {2, 7, 8, false},          // EQ
        {3, 7, 8, true},          {3, 7, 7, false},          // NE
        {4, 8, 8, true},          {4, 1, 0xFFFFFFFF, false}, // GE
        {5, 0xFFFFFFFF, 1, true}, {5, 8, 8, false},          // GT, unsigned
        {6, 8, 8, true},          {6, 0x80000000, 1, false}, // LE
        {7, 1, 0x80000000, true}, {7, 0xFFFFFFFF, 1, false}, // LT
    };
    for (const auto& c : cases) {
        Fixture f;
        f.gpr(1) = c.a;
        const auto compare = nav(0x48400000 | (c.option << 8), 1, c.b);
        SCOPED_TRACE(text(compare) + " with GPR1 = " + std::to_string(c.a));
        f.run({compare, nav(MoveImm, 100, 1), nav(MoveImm, 101, 1)});
        EXPECT_EQ(f.gpr(100), c.result ? 1u : 0u);
        EXPECT_EQ(f.gpr(101), 1u);
    }
}

TEST(InterpreterCompare, OptionZeroKeepsThePreviousResult) {
    Fixture f;
    const auto none = nav(0x48400000, 0, 0);
    // No compare yet in this run: false, so the next command is skipped.
    f.run({none, nav(MoveImm, 1, 1)});
    EXPECT_EQ(f.gpr(1), 0u);
    f.run({nav(0x48400200, 0, 0), nav(MoveImm, 2, 1), none, nav(MoveImm, 3, 1)});
    EXPECT_EQ(f.gpr(2), 1u);
    EXPECT_EQ(f.gpr(3), 1u);
    // Bits 10-8 choose the option within the whole compare range.
    f.run({nav(0x48400A00, 0, 0), nav(MoveImm, 4, 1)}); // option 2: EQ 0, 0
    EXPECT_EQ(f.gpr(4), 1u);
}

TEST(InterpreterCompare, FalseAtTheLastLineEndsTheRun) {
    Fixture f;
    const auto result = f.run({nav(MoveImm, 1, 1), nav(0x48400200, 1, 2)});
    EXPECT_FALSE(f.interp.TraceActive);
    EXPECT_EQ(f.interp.CurrentLine, 1);
    EXPECT_EQ(result.endLine, 1);
    EXPECT_EQ(result.executed, 2u);
}

// ---- branches ----

TEST(InterpreterBranch, LoopCountsWithGoToAndCompare) {
    Fixture f;
    // 0: Add GPR1, 1   1: LT GPR1, 10   2: GoTo 0   3: Move GPR2, GPR1
    const std::vector<TNavCommand> program = {nav(0x50400003, 1, 1), nav(0x48400700, 1, 10), nav(GoToImm, 0),
                                              nav(MoveReg, 2, 1)};
    const auto result = f.run(program);
    EXPECT_EQ(f.gpr(1), 10u);
    EXPECT_EQ(f.gpr(2), 10u);
    EXPECT_EQ(result.executed, 10u * 3u - 1u + 1u);
    EXPECT_FALSE(f.interp.TraceActive);
    EXPECT_EQ(f.interp.CurrentLine, 3);
    EXPECT_EQ(result.endLine, -1);
    EXPECT_EQ(f.host.panel0, "Ready. ");
}

TEST(InterpreterBranch, GoToRegisterAndBeyondTheList) {
    Fixture f;
    f.gpr(9) = 2;
    f.run({nav(0x20010000, 9), nav(MoveImm, 1, 1), nav(MoveImm, 2, 1)});
    EXPECT_EQ(f.gpr(1), 0u);
    EXPECT_EQ(f.gpr(2), 1u);
    for (std::uint32_t target : {3u, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu}) {
        Fixture g;
        const auto result = g.run({nav(MoveImm, 1, 1), nav(GoToImm, target), nav(MoveImm, 2, 1)});
        EXPECT_EQ(g.gpr(2), 0u) << target;
        EXPECT_EQ(result.executed, 2u) << target;
        EXPECT_FALSE(g.interp.TraceActive) << target;
        EXPECT_EQ(g.interp.CurrentLine, 1) << target;
        EXPECT_EQ(result.endLine, 1) << target;
    }
}

TEST(InterpreterBranch, BreakAndUnlistedOpcodes) {
    Fixture f;
    const auto before = f.interp.regs;
    // NOP, SetNVTimer, SetSecondaryStream, group 3: nothing.
    f.run({nav(0), nav(0x51000002, 1, 2), nav(0x51000006, 0x80000001, 0x80000001), nav(0x18000000, 1, 1)});
    EXPECT_EQ(f.interp.regs, before);
    EXPECT_TRUE(f.host.reports.empty());
    const auto result = f.run({nav(MoveImm, 1, 1), nav(BreakOp), nav(MoveImm, 2, 1)});
    EXPECT_EQ(f.gpr(1), 1u);
    EXPECT_EQ(f.gpr(2), 0u);
    EXPECT_EQ(result.endLine, 1);
}

TEST(InterpreterBranch, ReportsAndPlayerRegisters) {
    Fixture f;
    f.gpr(1) = 12;
    f.run({nav(0x21820000, 4), nav(0x21830000, 2), nav(0x01040000), nav(0x22800000, 5), nav(0x42C10000, 6, 7),
           nav(0x42020000, 1, 1), nav(0x02030000), nav(0x22840000, 8), nav(0x22850000, 3), nav(0x11000007),
           nav(0x11000008), nav(0x11000009)});
    const std::vector<std::string> expected = {"Call Object 4",   "Call Title 2",     "Resume",
                                               "Play PL 5",       "Play PLatPI 6, 7", "Play PLatMK 12, 12",
                                               "Terminate PL",    "Link PI 8",        "Link MK 3",
                                               "Pop up Menu Off", "Still On",         "Still Off"};
    EXPECT_EQ(f.host.reports, expected);
    EXPECT_EQ(f.psr(PSR_TITLE), 2u);
    EXPECT_EQ(f.psr(PSR_PLAYLIST), 12u);
    EXPECT_EQ(f.psr(PSR_PLAYITEM), 8u);
    EXPECT_EQ(f.psr(PSR_CHAPTER), 4u); // Link MK stores mark + 1; Play PL_MK stored 12 before
    // Play PL_MK stores the mark unchanged.
    f.run({nav(0x42C20000, 1, 0xFFFFFFFF)});
    EXPECT_EQ(f.psr(PSR_CHAPTER), 0xFFFFFFFFu);
    // Link MK from a register, and its wrap.
    f.run({nav(0x22050000, 1)});
    EXPECT_EQ(f.host.reports.back(), "Link MK 12");
    EXPECT_EQ(f.psr(PSR_CHAPTER), 13u);
    f.run({nav(0x22850000, 0xFFFFFFFF)});
    EXPECT_EQ(f.psr(PSR_CHAPTER), 0u);
    f.run({nav(0x22800000, 0xFFFFFFFF)});
    EXPECT_EQ(f.host.reports.back(), "Play PL 4294967295");
}

TEST(InterpreterBranch, JumpsEndTheRun) {
    Fixture f;
    const auto jumpTitle = nav(0x21810000, 3);
    EXPECT_EQ(text(jumpTitle), "Jump Title 3");
    const auto result = f.run({nav(MoveImm, 1, 1), jumpTitle, nav(MoveImm, 2, 1)});
    EXPECT_EQ(f.host.reports, std::vector<std::string>{"Jump Title 3"});
    EXPECT_EQ(f.psr(PSR_TITLE), 3u);
    EXPECT_EQ(f.gpr(2), 0u);
    EXPECT_EQ(result.endLine, 1);
    EXPECT_FALSE(f.interp.TraceActive);
    f.gpr(7) = 9;
    f.run({nav(0x21000000, 7), nav(MoveImm, 2, 1)});
    EXPECT_EQ(f.host.reports.back(), "Jump Object 9");
    EXPECT_EQ(f.gpr(2), 0u);
}

TEST(InterpreterBranch, RunModeStopsWhenTraceIsTickedOrOnLimit) {
    Fixture f;
    f.host.tickTraceAfterPumps = 1000;
    const std::vector<TNavCommand> forever = {nav(0x50400003, 1, 1), nav(GoToImm, 0)};
    auto result = f.run(forever);
    EXPECT_EQ(result.executed, 1000u);
    EXPECT_TRUE(f.interp.TraceActive);
    EXPECT_EQ(f.gpr(1), 500u);
    EXPECT_EQ(f.interp.CurrentLine, 0);
    EXPECT_EQ(f.host.panel0, "Running trace...");

    Fixture g;
    result = g.run(forever, 77);
    EXPECT_TRUE(result.stoppedByLimit);
    EXPECT_EQ(result.executed, 77u);
    EXPECT_TRUE(g.interp.TraceActive);
    EXPECT_EQ(g.host.panel0, "Ready. ");
    // A run that ends on its last allowed command is not stopped by the limit.
    result = g.run({nav(MoveImm, 1, 1), nav(MoveImm, 1, 2)}, 2);
    EXPECT_FALSE(result.stoppedByLimit);

    Fixture h;
    h.host.cancel = true;
    result = h.run(forever);
    EXPECT_EQ(result.executed, 1u);
}

// ---- SetStream ----

TEST(InterpreterSetStream, FieldRules) {
    Fixture f;
    f.psr(PSR_PG_TEXTST_STREAM) = 0x7ABC0DEF;
    // Audio 5 and PG 0x123 with display flag; IG 7 and angle 2.
    f.run({nav(0x51C00001, 0x8005C123, 0x80078002)});
    EXPECT_EQ(f.psr(PSR_PRIMARY_AUDIO_STREAM), 5u);
    EXPECT_EQ(f.psr(PSR_PG_TEXTST_STREAM), 0x8ABC0123u);
    EXPECT_EQ(f.psr(PSR_IG_STREAM), 7u);
    EXPECT_EQ(f.psr(PSR_ANGLE), 2u);
    // Display flag clear: bit 31 of PSR2 clears; the upper fields stay.
    f.run({nav(0x51C00001, 0x00008456, 0)});
    EXPECT_EQ(f.psr(PSR_PG_TEXTST_STREAM), 0x0ABC0456u);
    // No valid flags: nothing changes.
    const auto before = f.interp.regs;
    f.run({nav(0x51C00001, 0x7FFF7FFF, 0x7FFF7FFF)});
    EXPECT_EQ(f.interp.regs, before);
}

TEST(InterpreterSetStream, RegisterForms) {
    Fixture f;
    f.gpr(1) = 0x305;  // audio/IG number from the low byte
    f.gpr(2) = 0x1042; // PG/angle number
    f.run({nav(0x51000001, 0x8001C002, 0x80018002)});
    EXPECT_EQ(f.psr(PSR_PRIMARY_AUDIO_STREAM), 5u);
    EXPECT_EQ(f.psr(PSR_PG_TEXTST_STREAM), (0x0FFF0FFFu & 0x0FFF0000u) | 0x042u | 0x80000000u);
    EXPECT_EQ(f.psr(PSR_IG_STREAM), 5u);
    EXPECT_EQ(f.psr(PSR_ANGLE), 0x42u);
}

// ---- menu commands ----

// Page 0: BOG 0 holds buttons 0 and 1, BOG 1 holds 2; slot 3 is empty; button 4 (BOG 2) auto-acts.
// Page 1: BOG 0 holds buttons 0 and 1; it has two out-effects.
Fixture menuFixture() {
    Fixture f;
    f.host.page = ActivePage::Menu;
    FakePage p0;
    p0.buttons = {FakeButton{true, 0, false, {}}, FakeButton{true, 0, false, {}},
                  FakeButton{true, 1, false, {}}, FakeButton{},
                  FakeButton{true, 2, true, {nav(MoveImm, 50, 5), nav(0x21810000, 4)}}};
    FakePage p1;
    p1.buttons = {FakeButton{true, 0, false, {}}, FakeButton{true, 0, false, {}}};
    p1.outEffects = 2;
    f.host.menu = {p0, p1};
    f.host.buildStates(0);
    f.psr(PSR_PAGE) = 0;
    return f;
}

TEST(InterpreterMenu, SetButtonPageOffTheMenuPageOnlyReports) {
    Fixture f;
    const auto result = f.run({nav(0x51C00003, 0x80000001, 0x80000001), nav(MoveImm, 1, 1)});
    EXPECT_EQ(f.host.reports, std::vector<std::string>{"SetButtonPage "});
    EXPECT_EQ(f.psr(PSR_SELECTED_BUTTON), 0xFFFFu);
    EXPECT_EQ(f.psr(PSR_PAGE), 0u);
    EXPECT_EQ(f.gpr(1), 0u);
    EXPECT_EQ(result.endLine, 0);
}

TEST(InterpreterMenu, SetButtonPageSelectsButtonInItsBog) {
    auto f = menuFixture();
    EXPECT_EQ(f.host.enabledIds(), (std::vector<int>{0, 2, 4}));
    f.psr(PSR_SELECTED_BUTTON) = 2;
    f.run({nav(0x51C00003, 0x80000001, 0), nav(MoveImm, 1, 1)});
    EXPECT_EQ(f.psr(PSR_SELECTED_BUTTON), 1u);
    EXPECT_EQ(f.host.enabledIds(), (std::vector<int>{1, 2, 4}));
    // The old button is in another BOG: redrawn, then the new one drawn selected. The run ends.
    EXPECT_EQ(f.host.calls, (std::vector<std::string>{"DrawButton 2", "DrawSButton 1"}));
    EXPECT_EQ(f.gpr(1), 0u);
    // Same BOG: no redraw of the old button.
    f.host.calls.clear();
    f.run({nav(0x51C00003, 0x80000000, 0)});
    EXPECT_EQ(f.host.calls, (std::vector<std::string>{"DrawSButton 0"}));
    EXPECT_EQ(f.host.enabledIds(), (std::vector<int>{0, 2, 4}));
}

TEST(InterpreterMenu, SetButtonPageIgnoresOutOfRangeAndEmptySlots) {
    auto f = menuFixture();
    f.psr(PSR_SELECTED_BUTTON) = 0;
    f.run({nav(0x51C00003, 0x80000009, 0x80000007)}); // button 9 and page 7 do not exist
    EXPECT_EQ(f.psr(PSR_SELECTED_BUTTON), 0u);
    EXPECT_EQ(f.psr(PSR_PAGE), 0u);
    f.run({nav(0x51C00003, 0, 0x80000002)}); // page 2 of two pages
    EXPECT_EQ(f.psr(PSR_PAGE), 0u);
    // Slot 3 is inside the table: it is selected, but enables nothing.
    f.run({nav(0x51C00003, 0x80000003, 0)});
    EXPECT_EQ(f.psr(PSR_SELECTED_BUTTON), 3u);
    EXPECT_EQ(f.host.enabledIds(), (std::vector<int>{0, 2, 4}));
    // A page number a Set left out of range is neither rebuilt nor shown.
    f.host.calls.clear();
    f.psr(PSR_PAGE) = 0x10005;
    f.run({nav(0x51C00003, 0x80000000, 0x80000000)});
    EXPECT_EQ(f.psr(PSR_PAGE), 0u);
    f.psr(PSR_PAGE) = 0x10005;
    f.host.calls.clear();
    f.run({nav(0x51C00003, 0x80000001, 0x80000009)});
    EXPECT_EQ(f.psr(PSR_PAGE), 0x10005u);
    EXPECT_EQ(f.psr(PSR_SELECTED_BUTTON), 0u);
    for (const auto& call : f.host.calls) EXPECT_EQ(call.find("Page"), std::string::npos) << call;
}

TEST(InterpreterMenu, SetButtonPageChangesPageWithOutEffects) {
    auto f = menuFixture();
    f.psr(PSR_PAGE) = 1;
    f.host.buildStates(1);
    f.gpr(6) = 0; // page number in a register
    f.psr(PSR_SELECTED_BUTTON) = 1;
    f.run({nav(0x51800003, 0x80000000, 0x80000006)});
    EXPECT_EQ(f.psr(PSR_PAGE), 0u);
    EXPECT_EQ(f.psr(PSR_SELECTED_BUTTON), 0u);
    EXPECT_EQ(f.host.calls,
              (std::vector<std::string>{"SetButtonStates 0", "DelPage", "DrawEffects 1", "selectPage 0"}));
    // Out-effect-off flag, or the option off, or a page without out-effects: no effects.
    for (int variant = 0; variant < 3; ++variant) {
        auto g = menuFixture();
        g.psr(PSR_PAGE) = variant == 2 ? 0 : 1;
        g.host.outEffectsOption = variant != 1;
        const std::uint32_t page = variant == 2 ? 0x80000001 : (variant == 0 ? 0xC0000000 : 0x80000000);
        g.run({nav(0x51C00003, 0, page)});
        for (const auto& call : g.host.calls) EXPECT_NE(call, "DelPage") << variant;
        EXPECT_EQ(g.host.calls.back(), "selectPage " + std::to_string(page & 0xFF)) << variant;
    }
}

TEST(InterpreterMenu, SetButtonPageRunsAnAutoActionButton) {
    auto f = menuFixture();
    const auto result = f.run({nav(0x51C00003, 0x80000004, 0), nav(MoveImm, 1, 1)});
    EXPECT_EQ(f.psr(PSR_SELECTED_BUTTON), 4u);
    EXPECT_EQ(f.gpr(50), 5u);
    EXPECT_EQ(f.gpr(1), 0u);
    EXPECT_EQ(f.host.reports, std::vector<std::string>{"Jump Title 4"});
    EXPECT_EQ(f.host.calls.back(), "selectButton 4");
    EXPECT_EQ(result.executed, 3u);
    EXPECT_EQ(result.endLine, 1);
}

TEST(InterpreterMenu, EnableButtonHandsOverTheSelection) {
    auto f = menuFixture();
    f.psr(PSR_SELECTED_BUTTON) = 0;
    f.run({nav(0x31800004, 1), nav(0x50400001, 60, 0x80000000 | 10), nav(MoveReg, 61, Psr(10))});
    // During the run PSR10 was 0xFFFF; at its end the reserved button is selected.
    EXPECT_EQ(f.gpr(61), 0xFFFFu);
    EXPECT_EQ(f.psr(PSR_SELECTED_BUTTON), 1u);
    EXPECT_EQ(f.host.enabledIds(), (std::vector<int>{1, 2, 4}));
    EXPECT_EQ(f.host.calls, (std::vector<std::string>{"DrawButton 1", "DrawSButton 1"}));
    // Another BOG: the selection stays.
    f.host.calls.clear();
    f.run({nav(0x31800004, 2)});
    EXPECT_EQ(f.psr(PSR_SELECTED_BUTTON), 1u);
    EXPECT_EQ(f.host.calls, (std::vector<std::string>{"DrawButton 2"}));
    // A selection made by the run itself is kept.
    f.run({nav(0x31800004, 0), nav(0x50400001, Psr(10), 2)});
    EXPECT_EQ(f.psr(PSR_SELECTED_BUTTON), 2u);
    // Out of range, an empty slot, or off the Menu page: nothing.
    const auto states = f.host.states;
    f.host.calls.clear();
    f.run({nav(0x31800004, 9), nav(0x31800004, 3), nav(0x31800005, 0x10009)});
    EXPECT_EQ(f.host.states, states);
    EXPECT_TRUE(f.host.calls.empty());
    f.host.page = ActivePage::Bdmv;
    f.run({nav(0x31800004, 1), nav(0x31800005, 2)});
    EXPECT_TRUE(f.host.calls.empty());
}

TEST(InterpreterMenu, DisableButtonKeepsTheSelection) {
    auto f = menuFixture();
    f.psr(PSR_SELECTED_BUTTON) = 2;
    f.gpr(3) = 2;
    f.run({nav(0x31000005, 3)});
    EXPECT_EQ(f.host.enabledIds(), (std::vector<int>{0, 4}));
    EXPECT_EQ(f.psr(PSR_SELECTED_BUTTON), 2u);
    EXPECT_EQ(f.host.calls, (std::vector<std::string>{"DelButton 2"}));
}

// ---- trace ----

TEST(InterpreterTrace, StartStepAndFinish) {
    Fixture f;
    f.host.trace = true;
    const std::vector<TNavCommand> program = {nav(MoveImm, 1, 7), nav(0x48400300, 1, 7), nav(MoveImm, 2, 1),
                                              nav(MoveImm, 3, 1)};
    auto result = f.interp.start(program, f.host);
    EXPECT_EQ(result.executed, 0u);
    EXPECT_TRUE(f.interp.TraceActive);
    EXPECT_EQ(f.interp.CurrentLine, 0);
    EXPECT_EQ(f.host.panel0, "Running trace...");
    const auto first = comm2str(program[0], 0, CommandContext::MovieObject);
    EXPECT_EQ(result.traceLine, "Line 0000 : 50400001 00000001  00000007  : Move GPR1, 7");
    EXPECT_EQ(result.traceLine, "Line 0000 : " + first.opcode + " " + first.destination + " " + first.source +
                                    " : " + first.line);
    EXPECT_EQ(f.host.panel1, result.traceLine);
    EXPECT_EQ(result.followGPR, 1);
    EXPECT_EQ(result.followPSR, -1);

    result = f.interp.start(program, f.host);
    EXPECT_EQ(result.executed, 1u);
    EXPECT_EQ(f.gpr(1), 7u);
    EXPECT_EQ(f.interp.CurrentLine, 1);
    // The compare is false: the trace skips line 2 in the same step.
    result = f.interp.start(program, f.host);
    EXPECT_EQ(f.interp.CurrentLine, 3);
    EXPECT_EQ(result.traceLine.substr(0, 12), "Line 0003 : ");
    result = f.interp.start(program, f.host);
    EXPECT_EQ(f.gpr(3), 1u);
    EXPECT_EQ(f.gpr(2), 0u);
    EXPECT_FALSE(f.interp.TraceActive);
    EXPECT_EQ(f.host.panel0, "Ready. ");
    EXPECT_EQ(f.host.panel1, "");
    EXPECT_TRUE(result.traceLine.empty());
    // Idle again: the next Start prepares a new trace.
    result = f.interp.start(program, f.host);
    EXPECT_EQ(result.executed, 0u);
    EXPECT_TRUE(f.interp.TraceActive);
}

TEST(InterpreterTrace, CancelClickAndNegativeLine) {
    Fixture f;
    f.host.trace = true;
    const std::vector<TNavCommand> program = {nav(MoveImm, 1, 1), nav(MoveImm, Psr(9), 2),
                                              nav(MoveImm, 3, 3)};
    f.interp.start(program, f.host);
    auto result = f.interp.executeLine(program, 1, f.host);
    EXPECT_EQ(f.psr(PSR_NAVIGATION_TIMER), 2u);
    EXPECT_EQ(f.gpr(1), 0u);
    EXPECT_EQ(f.interp.CurrentLine, 2);
    result = f.interp.executeLine(program, 1, f.host);
    EXPECT_EQ(result.followPSR, -1);
    result = f.interp.executeLine(program, 0, f.host);
    EXPECT_EQ(result.followPSR, 9);
    EXPECT_EQ(result.followGPR, -1);
    result = f.interp.cancelTrace(program, f.host);
    EXPECT_EQ(result.executed, 0u);
    EXPECT_FALSE(f.interp.TraceActive);
    EXPECT_EQ(f.gpr(3), 0u);
    EXPECT_EQ(f.host.panel1, "");
    // Cancel with the trace unticked ends it too, without running the program.
    f.interp.start(program, f.host);
    f.host.trace = false;
    f.gpr(1) = 0;
    f.interp.cancelTrace(program, f.host);
    EXPECT_FALSE(f.interp.TraceActive);
    EXPECT_EQ(f.gpr(1), 0u);
    // A negative line executes nothing and is set back to 0.
    f.interp.CurrentLine = -7;
    result = f.interp.ExecComm(program, f.host);
    EXPECT_EQ(result.executed, 0u);
    EXPECT_EQ(f.interp.CurrentLine, 0);
    EXPECT_TRUE(f.interp.TraceActive);
    // An empty list never traces.
    f.interp.CurrentLine = -1;
    f.interp.ExecComm({}, f.host);
    EXPECT_FALSE(f.interp.TraceActive);
}

TEST(InterpreterTrace, RegisterFollowUpOutOfRangeReadsZero) {
    Fixture f;
    f.host.trace = true;
    // The field follows operand 1's low 16 bits, whatever register the text names.
    f.interp.CurrentLine = -1;
    auto result = f.interp.ExecComm({nav(0x50000001, 0x1005, Psr(2))}, f.host);
    EXPECT_EQ(result.followGPR, 0); // 0x1005 is beyond GPR4095
    EXPECT_EQ(result.followPSR, 0); // and beyond PSR127
    f.interp.CurrentLine = -1;
    result = f.interp.ExecComm({nav(0x50000001, Psr(0x85), 7)}, f.host);
    EXPECT_EQ(result.followGPR, 0x85);
    EXPECT_EQ(result.followPSR, 0); // 0x85 is beyond PSR127
}

TEST(InterpreterTrace, MenuPageUsesButtonContext) {
    auto f = menuFixture();
    f.host.trace = true;
    // SetButtonPage is forbidden in movie objects, not in buttons.
    const std::vector<TNavCommand> program = {nav(0x51C00003, 0x80000000, 0)};
    f.interp.CurrentLine = -1;
    const auto result = f.interp.ExecComm(program, f.host);
    EXPECT_EQ(result.traceLine.find('*'), std::string::npos) << result.traceLine;
    EXPECT_EQ(result.traceLine, traceLineText(program[0], 0, CommandContext::Button));
}

// ---- objects and the reporter host ----

TEST(InterpreterObject, StartsAnObjectFromLineZero) {
    TMOBJ mobj;
    mobj.MovieObjects.mobjs.resize(2);
    mobj.MovieObjects.mobjs[1].navigation_commands = {nav(MoveImm, 1, 1), nav(0x22800000, 4),
                                                      nav(0x21810000, 2)};
    Fixture f;
    f.interp.CurrentLine = 2;
    f.interp.startObject(mobj, 1, f.host);
    EXPECT_EQ(f.gpr(1), 1u);
    EXPECT_EQ(f.host.reports, (std::vector<std::string>{"Play PL 4", "Jump Title 2"}));
    EXPECT_EQ(f.psr(PSR_PLAYLIST), 4u);
    // An object the file does not hold runs nothing.
    const auto result = f.interp.startObject(mobj, 5, f.host);
    EXPECT_EQ(result.executed, 0u);
    EXPECT_FALSE(f.interp.TraceActive);
}

class CapturingSink : public NullSink {
public:
    std::vector<std::string> events;
    void setStatus(int panel, const std::string& text) override {
        events.push_back(std::to_string(panel) + ":" + text);
    }
    void pause(int ms) override { events.push_back("pause " + std::to_string(ms)); }
    void pumpEvents() override { events.push_back("pump"); }
};

TEST(InterpreterObject, ReporterHostPausesAfterEachReport) {
    CapturingSink sink;
    Reporter reporter(&sink);
    reporter.ActiDelay = 250;
    ReporterInterpreterHost host(reporter);
    RndGenerator rnd;
    Interpreter interp(rnd);
    interp.ExecComm({nav(0x21030000 | 0x00800000, 3), nav(0x01040000)}, host);
    EXPECT_EQ(sink.events, (std::vector<std::string>{"pump", "1:Call Title 3", "pause 250", "pump",
                                                     "1:Resume", "pause 250", "0:Ready. ", "1:"}));
}

} // namespace
} // namespace corvane
