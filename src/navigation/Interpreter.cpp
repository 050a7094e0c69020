#include "navigation/Interpreter.h"

#include "io/TextUtil.h"
#include "navigation/CommandText.h"
#include "shell/Reporter.h"

#include <utility>

namespace corvane {

namespace {

constexpr std::uint32_t NoOperands = 0xDEADBEEF;
constexpr std::uint32_t NoButton = 0xFFFF;
constexpr std::uint32_t FlagBit = 0x80000000; // button, page or stream valid flag of a packed operand
constexpr std::uint32_t OutEffectOffBit = 0x40000000;

bool isPackedSetSystem(std::uint32_t w, int option) {
    return commandGroup(w) == GroupSet && commandSubGroup(w) == SubGroupSetSystem &&
           commandOption(w) == option;
}

std::string number(std::uint32_t value) {
    return std::to_string(value);
}

// Which register files the register-form operands of a command name: bit 31 selects a PSR,
// except in the packed SetSystem forms, whose fields are all GPRs.
struct NamedRegisters {
    bool gpr = false;
    bool psr = false;
};

NamedRegisters namedRegisters(const TNavCommand& command) {
    NamedRegisters named;
    const std::uint32_t w = command.opcode;
    const bool packed = hasPackedOperands(w);
    auto name = [&](std::uint32_t word, bool immediate) {
        if (immediate) return;
        if (!packed && (word & PSRBit) != 0)
            named.psr = true;
        else
            named.gpr = true;
    };
    if (operandCount(w) >= 1) name(command.destination, destinationIsImmediate(w));
    if (operandCount(w) >= 2) name(command.source, sourceIsImmediate(w));
    return named;
}

bool isSetOperation(NavOperation operation) {
    return operation >= NavOperation::Move && operation <= NavOperation::ShiftRight;
}

bool isCompareOperation(NavOperation operation) {
    return operation >= NavOperation::KeepCondition && operation <= NavOperation::LT;
}

// The value a Set command other than Swap writes into operand 1; shift and bit positions are
// taken modulo 32.
std::uint32_t setResult(NavOperation operation, std::uint32_t op1, std::uint32_t op2, RndGenerator& rnd) {
    switch (operation) {
    case NavOperation::Move:
        return op2;
    case NavOperation::Add:
        return op1 + op2;
    case NavOperation::Sub:
        return op1 - op2;
    case NavOperation::Mul:
        return op1 * op2;
    case NavOperation::Div:
        return op2 != 0 ? op1 / op2 : 0xFFFFFFFF;
    case NavOperation::Mod:
        return op2 != 0 ? op1 % op2 : 0xFFFFFFFF;
    case NavOperation::Rnd:
        return rnd.draw(op2);
    case NavOperation::And:
        return op1 & op2;
    case NavOperation::Or:
        return op1 | op2;
    case NavOperation::Xor:
        return op1 ^ op2;
    case NavOperation::BitSet:
        return op1 | (1u << (op2 & 31));
    case NavOperation::BitClear:
        return op1 & ~(1u << (op2 & 31));
    case NavOperation::ShiftLeft:
        return op1 << (op2 & 31);
    default:
        return op1 >> (op2 & 31); // Shift Right
    }
}

// The condition a compare from BC to LT sets; all comparisons unsigned.
bool compareResult(NavOperation operation, std::uint32_t op1, std::uint32_t op2) {
    switch (operation) {
    case NavOperation::BC:
        return (op1 & op2) != 0;
    case NavOperation::EQ:
        return op1 == op2;
    case NavOperation::NE:
        return op1 != op2;
    case NavOperation::GE:
        return op1 >= op2;
    case NavOperation::GT:
        return op1 > op2;
    case NavOperation::LE:
        return op1 <= op2;
    default:
        return op1 < op2; // LT
    }
}

} // namespace

struct Interpreter::RunState {
    std::vector<TNavCommand> list;        // private copy; an auto-action button may replace it
    std::vector<NavOperation> operations; // of each line, decoded once per list
    std::int64_t pc = 0;
    bool condition = false;
    std::uint32_t reserved = NoButton; // button EnableButton hands the selection to
    void end() { pc = static_cast<std::int64_t>(list.size()); }
    void load(std::vector<TNavCommand> commands) {
        list = std::move(commands);
        operations.resize(list.size());
        for (std::size_t n = 0; n < list.size(); ++n) operations[n] = navOperation(list[n].opcode);
    }
};

std::uint32_t registerValue(const RegisterFile& regs, std::uint32_t w) {
    return (w & PSRBit) != 0 ? regs.PSR[w & 0x7F] : regs.GPR[w & 0xFFF];
}

std::string traceLineText(const TNavCommand& command, int line, CommandContext context) {
    const auto cells = comm2str(command, line, context);
    return "Line " + zeroPad(static_cast<std::uint64_t>(line < 0 ? 0 : line), 4) + " : " + cells.opcode +
           " " + cells.destination + " " + cells.source + " : " + cells.line;
}

std::uint32_t Interpreter::operandValue(std::uint32_t opcode, std::uint32_t word, bool immediate) const {
    if (immediate) return word;
    // Packed register forms take their fields from GPRs; bit 31 is a flag there, not a PSR selector.
    if (isPackedSetSystem(opcode, OptionSetStream))
        return (word & 0x8000C000) | ((regs.GPR[(word >> 16) & 0xFFF] & 0xFF) << 16) |
               (regs.GPR[word & 0xFFF] & 0xFFF);
    if (isPackedSetSystem(opcode, OptionSetButtonPage))
        return (word & FlagBit) | (regs.GPR[word & 0xFFF] & 0xFFFF);
    return registerValue(regs, word);
}

std::uint32_t Interpreter::getop1(const TNavCommand& command) const {
    if (operandCount(command.opcode) == 0) return NoOperands;
    return operandValue(command.opcode, command.destination, destinationIsImmediate(command.opcode));
}

std::uint32_t Interpreter::getop2(const TNavCommand& command) const {
    if (operandCount(command.opcode) == 0) return NoOperands;
    return operandValue(command.opcode, command.source, sourceIsImmediate(command.opcode));
}

void Interpreter::writeRegister(std::uint32_t word, std::uint32_t value) {
    if ((word & PSRBit) != 0)
        regs.PSR[word & 0x7F] = value;
    else
        regs.GPR[word & 0xFFF] = value;
}

void Interpreter::setdst(const TNavCommand& command, std::uint32_t value) {
    if (operandCount(command.opcode) == 0 || destinationIsImmediate(command.opcode)) return;
    writeRegister(command.destination, value);
}

void Interpreter::setsrc(const TNavCommand& command, std::uint32_t value) {
    if (operandCount(command.opcode) == 0 || sourceIsImmediate(command.opcode)) return;
    writeRegister(command.source, value);
}

void Interpreter::execute(const TNavCommand& command, NavOperation operation, RunState& run,
                          InterpreterHost& host) {
    if (operation == NavOperation::None) return;
    const std::uint32_t op1 = getop1(command);
    const std::uint32_t op2 = getop2(command);
    auto& psr = regs.PSR;

    if (isSetOperation(operation)) {
        if (operation == NavOperation::Swap) {
            setdst(command, op2);
            setsrc(command, op1);
        } else {
            setdst(command, setResult(operation, op1, op2, *m_rnd));
        }
        return;
    }
    if (isCompareOperation(operation)) {
        if (operation != NavOperation::KeepCondition) run.condition = compareResult(operation, op1, op2);
        if (!run.condition) ++run.pc;
        return;
    }

    switch (operation) {
    case NavOperation::GoTo:
        // The next line is op1; a target beyond the list ends the run.
        run.pc = static_cast<std::int64_t>(op1) - 1;
        return;
    case NavOperation::Break:
        run.end();
        return;
    case NavOperation::JumpObject:
        host.report("Jump Object " + number(op1));
        run.end();
        return;
    case NavOperation::JumpTitle:
        psr[PSR_TITLE] = op1;
        host.report("Jump Title " + number(op1));
        run.end();
        return;
    case NavOperation::CallObject:
        host.report("Call Object " + number(op1));
        return;
    case NavOperation::CallTitle:
        psr[PSR_TITLE] = op1;
        host.report("Call Title " + number(op1));
        return;
    case NavOperation::Resume:
        host.report("Resume");
        return;
    case NavOperation::PlayPL:
        host.report("Play PL " + number(op1));
        psr[PSR_PLAYLIST] = op1;
        return;
    case NavOperation::PlayPLatPI:
        psr[PSR_PLAYLIST] = op1;
        psr[PSR_PLAYITEM] = op2;
        host.report("Play PLatPI " + number(op1) + ", " + number(op2));
        return;
    case NavOperation::PlayPLatMK:
        psr[PSR_PLAYLIST] = op1;
        psr[PSR_CHAPTER] = op2;
        host.report("Play PLatMK " + number(op1) + ", " + number(op2));
        return;
    case NavOperation::TerminatePL:
        host.report("Terminate PL");
        return;
    case NavOperation::LinkPI:
        host.report("Link PI " + number(op1));
        psr[PSR_PLAYITEM] = op1;
        return;
    case NavOperation::LinkMK:
        host.report("Link MK " + number(op1));
        psr[PSR_CHAPTER] = op1 + 1;
        return;
    case NavOperation::SetStream:
        setStream(op1, op2);
        return;
    case NavOperation::SetButtonPage:
        setButtonPage(command, op1, op2, run, host);
        return;
    case NavOperation::EnableButton:
        enableButton(op1, run, host);
        return;
    case NavOperation::DisableButton:
        disableButton(op1, host);
        return;
    case NavOperation::PopUpMenuOff:
        host.report("Pop up Menu Off");
        return;
    case NavOperation::StillOn:
        host.report("Still On");
        return;
    case NavOperation::StillOff:
        host.report("Still Off");
        return;
    default:
        return; // SetNVTimer and SetSecondaryStream change nothing the interpreter keeps
    }
}

void Interpreter::setStream(std::uint32_t op1, std::uint32_t op2) {
    auto& psr = regs.PSR;
    if ((op1 & FlagBit) != 0) psr[PSR_PRIMARY_AUDIO_STREAM] = (op1 >> 16) & 0xFF;
    if ((op1 & 0x8000) != 0)
        psr[PSR_PG_TEXTST_STREAM] =
            (psr[PSR_PG_TEXTST_STREAM] & 0x0FFF0000) | (op1 & 0xFFF) | (((op1 >> 14) & 1) << 31);
    if ((op2 & FlagBit) != 0) psr[PSR_IG_STREAM] = (op2 >> 16) & 0xFF;
    if ((op2 & 0x8000) != 0) psr[PSR_ANGLE] = op2 & 0xFF;
}

void Interpreter::setButtonPage(const TNavCommand& command, std::uint32_t op1, std::uint32_t op2,
                                RunState& run, InterpreterHost& host) {
    if (host.activePage() != ActivePage::Menu) {
        host.report("SetButtonPage ");
        run.end();
        return;
    }
    auto& psr = regs.PSR;
    const std::uint32_t oldButton = psr[PSR_SELECTED_BUTTON] & 0xFFFF;
    const std::uint32_t oldPage = psr[PSR_PAGE] & 0xFFFF;
    const bool pageFlag = (command.source & FlagBit) != 0;
    const bool buttonFlag = (command.destination & FlagBit) != 0;
    const std::size_t pages = host.pageCount();

    if (pageFlag && (op2 & 0xFF) < pages) psr[PSR_PAGE] = op2 & 0xFF;
    if (buttonFlag && (op1 & 0xFFFF) < host.pageButtonSlots(psr[PSR_PAGE]))
        psr[PSR_SELECTED_BUTTON] = op1 & 0xFFFF;
    const std::uint32_t page = psr[PSR_PAGE];
    const std::uint32_t button = psr[PSR_SELECTED_BUTTON];
    // A page number that a Set command left out of range names no page to rebuild or show.
    const bool pageValid = page < pages;
    if (page != oldPage && pageValid) host.SetButtonStates(page);

    auto* states = host.buttonStates();
    const std::size_t stateCount = states != nullptr ? states->size() : 0;
    if (button < stateCount && host.buttonPresent(page, button)) {
        const auto bog = (*states)[button].bog_index;
        for (auto& state : *states)
            if (state.bog_index == bog) state.enabled = 0;
        (*states)[button].enabled = 1;
    }

    if (pageFlag) {
        if ((command.source & OutEffectOffBit) == 0 && host.showOutEffects() && oldPage < pages &&
            host.outEffectCount(oldPage) > 0) {
            host.DelPage();
            host.DrawEffects(oldPage);
        }
        if (pageValid) host.selectPage(page);
    }
    if (buttonFlag && !pageFlag && button < stateCount) {
        if (oldButton < stateCount && (*states)[oldButton].bog_index != (*states)[button].bog_index)
            host.DrawButton(oldButton);
        host.DrawSButton(button);
    }

    if (pageValid && button < host.pageButtonSlots(page) && host.buttonPresent(page, button) &&
        host.buttonAutoAction(page, button)) {
        run.load(host.buttonCommands(page, button));
        host.selectButton(button);
        run.pc = -1;
        return;
    }
    run.end();
}

void Interpreter::enableButton(std::uint32_t op1, RunState& run, InterpreterHost& host) {
    if (host.activePage() != ActivePage::Menu) return;
    auto* states = host.buttonStates();
    const std::uint32_t id = op1 & 0xFFFF;
    if (states == nullptr || id >= states->size() || !host.buttonPresent(regs.PSR[PSR_PAGE], id)) return;
    const auto bog = (*states)[id].bog_index;
    auto& selected = regs.PSR[PSR_SELECTED_BUTTON];
    if (selected < states->size() && (*states)[selected].bog_index == bog) {
        selected = NoButton;
        run.reserved = id;
    }
    for (auto& state : *states)
        if (state.bog_index == bog) state.enabled = 0;
    (*states)[id].enabled = 1;
    host.DrawButton(id);
}

void Interpreter::disableButton(std::uint32_t op1, InterpreterHost& host) {
    if (host.activePage() != ActivePage::Menu) return;
    auto* states = host.buttonStates();
    const std::uint32_t id = op1 & 0xFFFF;
    if (states == nullptr || id >= states->size() || !host.buttonPresent(regs.PSR[PSR_PAGE], id)) return;
    (*states)[id].enabled = 0;
    host.DelButton(id);
}

RunResult Interpreter::ExecComm(const std::vector<TNavCommand>& commands, InterpreterHost& host,
                                std::uint64_t stepLimit) {
    RunResult result;
    RunState run;
    run.load(commands);
    run.pc = CurrentLine;
    auto inside = [&run] { return run.pc >= 0 && run.pc < static_cast<std::int64_t>(run.list.size()); };

    while (inside()) {
        host.pumpEvents();
        const auto line = static_cast<std::size_t>(run.pc);
        const TNavCommand command = run.list[line];
        execute(command, run.operations[line], run, host);
        ++result.executed;
        ++run.pc;
        if (!inside()) break;
        CurrentLine = static_cast<int>(run.pc);
        if (host.traceTicked() || host.cancelRequested()) break;
        if (stepLimit != 0 && result.executed >= stepLimit) {
            result.stoppedByLimit = true;
            break;
        }
    }

    auto& selected = regs.PSR[PSR_SELECTED_BUTTON];
    if (run.reserved != NoButton && selected == NoButton) {
        selected = run.reserved;
        host.DrawSButton(run.reserved);
    }
    if (run.pc < 0) {
        run.pc = 0;
        CurrentLine = 0;
    }
    TraceActive = run.pc < static_cast<std::int64_t>(run.list.size());
    const bool tracing = TraceActive && host.traceTicked();
    host.showStatus(0, tracing ? "Running trace..." : "Ready. ");
    if (tracing) {
        const bool menu = host.activePage() == ActivePage::Menu;
        const auto& next = run.list[static_cast<std::size_t>(run.pc)];
        const auto context = menu ? CommandContext::Button : CommandContext::MovieObject;
        const int line = static_cast<int>(run.pc);
        result.traceLine = traceLineText(next, line, context);
        host.showStatus(1, result.traceLine);
        // The register fields follow operand 1's low 16 bits when an operand names that file.
        const auto named = namedRegisters(next);
        const auto field = static_cast<int>(next.destination & 0xFFFF);
        if (named.gpr) result.followGPR = field < static_cast<int>(GPRCount) ? field : 0;
        if (named.psr) result.followPSR = field < static_cast<int>(PSRCount) ? field : 0;
    }
    if (!TraceActive) host.showStatus(1, "");
    if (run.pc > static_cast<std::int64_t>(CurrentLine) + 1) result.endLine = CurrentLine;
    return result;
}

RunResult Interpreter::start(const std::vector<TNavCommand>& commands, InterpreterHost& host,
                             std::uint64_t stepLimit) {
    const bool trace = host.traceTicked();
    if (!(trace && TraceActive)) CurrentLine = trace ? -1 : 0;
    return ExecComm(commands, host, stepLimit);
}

RunResult Interpreter::startObject(const TMOBJ& mobj, std::size_t object, InterpreterHost& host,
                                   std::uint64_t stepLimit) {
    const auto& objects = mobj.MovieObjects.mobjs;
    static const std::vector<TNavCommand> none;
    return start(object < objects.size() ? objects[object].navigation_commands : none, host, stepLimit);
}

RunResult Interpreter::executeLine(const std::vector<TNavCommand>& commands, int line,
                                   InterpreterHost& host) {
    CurrentLine = line;
    return ExecComm(commands, host);
}

RunResult Interpreter::cancelTrace(const std::vector<TNavCommand>& commands, InterpreterHost& host) {
    // Past any list (at most 65535 commands): the call executes nothing and ends the trace,
    // whether or not the trace is still ticked.
    if (!TraceActive) return {};
    CurrentLine = 0xFFFF;
    return ExecComm(commands, host);
}

void ReporterInterpreterHost::report(std::string_view text) {
    m_reporter.slogw(text, 1);
}

void ReporterInterpreterHost::showStatus(int panel, std::string_view text) {
    m_reporter.slog(text, panel);
}

void ReporterInterpreterHost::pumpEvents() {
    m_reporter.sink().pumpEvents();
}

} // namespace corvane
