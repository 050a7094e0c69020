#include "navigation/Interpreter.h"

#include "io/TextUtil.h"
#include "navigation/CommandText.h"
#include "shell/Reporter.h"

namespace corvane {

namespace {

constexpr std::uint32_t NoOperands = 0xDEADBEEF;
constexpr std::uint32_t NoButton = 0xFFFF;
constexpr std::uint32_t FlagBit = 0x80000000; // button, page or stream valid flag of a packed operand
constexpr std::uint32_t OutEffectOffBit = 0x40000000;

// Opcode words of the table, with the operand immediate flags cleared where they vary.
constexpr std::uint32_t ImmediateBits = DestinationImmediateBit | SourceImmediateBit;
constexpr std::uint32_t OpBreak = 0x00020000;
constexpr std::uint32_t OpGoTo = 0x20010000;
constexpr std::uint32_t OpJumpObject = 0x21000000;
constexpr std::uint32_t OpJumpTitle = 0x21010000;
constexpr std::uint32_t OpCallObject = 0x21020000;
constexpr std::uint32_t OpCallTitle = 0x21030000;
constexpr std::uint32_t OpResume = 0x01040000;
constexpr std::uint32_t OpPlayPL = 0x22000000;
constexpr std::uint32_t OpPlayPLPI = 0x42010000;
constexpr std::uint32_t OpPlayPLMK = 0x42020000;
constexpr std::uint32_t OpTerminatePL = 0x02030000;
constexpr std::uint32_t OpLinkPI = 0x22040000;
constexpr std::uint32_t OpLinkMK = 0x22050000;
constexpr std::uint32_t OpCompareFirst = 0x48000100;
constexpr std::uint32_t OpCompareLast = 0x48C00700;
constexpr std::uint32_t OpSet = 0x50000000;
constexpr std::uint32_t OpSetStream = 0x51000001;
constexpr std::uint32_t OpSetButtonPage = 0x51000003;
constexpr std::uint32_t OpEnableButton = 0x31000004;
constexpr std::uint32_t OpDisableButton = 0x31000005;
constexpr std::uint32_t OpPopUpMenuOff = 0x11000007;
constexpr std::uint32_t OpStillOn = 0x11000008;
constexpr std::uint32_t OpStillOff = 0x11000009;

bool isPackedSetSystem(std::uint32_t w, int option) {
    return commandGroup(w) == GroupSet && commandSubGroup(w) == SubGroupSetSystem &&
           commandOption(w) == option;
}

std::string number(std::uint32_t value) {
    return std::to_string(value);
}

} // namespace

struct Interpreter::RunState {
    std::vector<TNavCommand> list; // private copy; an auto-action button may replace it
    std::int64_t pc = 0;
    bool condition = false;
    std::uint32_t reserved = NoButton; // button EnableButton hands the selection to
    void end() { pc = static_cast<std::int64_t>(list.size()); }
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

void Interpreter::execute(const TNavCommand& command, RunState& run, InterpreterHost& host) {
    const std::uint32_t w = command.opcode;
    const std::uint32_t op1 = getop1(command);
    const std::uint32_t op2 = getop2(command);
    auto& psr = regs.PSR;

    if ((w & ~(ImmediateBits | 0xF)) == OpSet && (w & 0xF) != 0) {
        std::uint32_t result = 0;
        switch (w & 0xF) {
        case 1:
            result = op2;
            break;
        case 2:
            setdst(command, op2);
            setsrc(command, op1);
            return;
        case 3:
            result = op1 + op2;
            break;
        case 4:
            result = op1 - op2;
            break;
        case 5:
            result = op1 * op2;
            break;
        case 6:
            result = op2 != 0 ? op1 / op2 : 0xFFFFFFFF;
            break;
        case 7:
            result = op2 != 0 ? op1 % op2 : 0xFFFFFFFF;
            break;
        case 8:
            result = m_rnd->draw(op2);
            break;
        case 9:
            result = op1 & op2;
            break;
        case 10:
            result = op1 | op2;
            break;
        case 11:
            result = op1 ^ op2;
            break;
        case 12:
            result = op1 | (1u << (op2 & 31));
            break;
        case 13:
            result = op1 & ~(1u << (op2 & 31));
            break;
        case 14:
            result = op1 << (op2 & 31);
            break;
        default:
            result = op1 >> (op2 & 31);
            break;
        }
        setdst(command, result);
        return;
    }
    if (w >= OpCompareFirst && w <= OpCompareLast) {
        switch ((w >> 8) & 0x7) {
        case 1:
            run.condition = (op1 & op2) != 0;
            break;
        case 2:
            run.condition = op1 == op2;
            break;
        case 3:
            run.condition = op1 != op2;
            break;
        case 4:
            run.condition = op1 >= op2;
            break;
        case 5:
            run.condition = op1 > op2;
            break;
        case 6:
            run.condition = op1 <= op2;
            break;
        case 7:
            run.condition = op1 < op2;
            break;
        default:
            break; // keeps the previous compare's result
        }
        if (!run.condition) ++run.pc;
        return;
    }

    switch (w & ~DestinationImmediateBit) {
    case OpGoTo:
        // The next line is op1; a target beyond the list ends the run.
        run.pc = static_cast<std::int64_t>(op1) - 1;
        return;
    case OpJumpObject:
        host.report("Jump Object " + number(op1));
        run.end();
        return;
    case OpJumpTitle:
        psr[4] = op1;
        host.report("Jump Title " + number(op1));
        run.end();
        return;
    case OpCallObject:
        host.report("Call Object " + number(op1));
        return;
    case OpCallTitle:
        psr[4] = op1;
        host.report("Call Title " + number(op1));
        return;
    case OpPlayPL:
        host.report("Play PL " + number(op1));
        psr[6] = op1;
        return;
    case OpLinkPI:
        host.report("Link PI " + number(op1));
        psr[7] = op1;
        return;
    case OpLinkMK:
        host.report("Link MK " + number(op1));
        psr[5] = op1 + 1;
        return;
    case OpEnableButton:
        enableButton(op1, run, host);
        return;
    case OpDisableButton:
        disableButton(op1, host);
        return;
    default:
        break;
    }

    switch (w & ~ImmediateBits) {
    case OpPlayPLPI:
        psr[6] = op1;
        psr[7] = op2;
        host.report("Play PLatPI " + number(op1) + ", " + number(op2));
        return;
    case OpPlayPLMK:
        psr[6] = op1;
        psr[5] = op2;
        host.report("Play PLatMK " + number(op1) + ", " + number(op2));
        return;
    case OpSetStream:
        if ((op1 & FlagBit) != 0) psr[1] = (op1 >> 16) & 0xFF;
        if ((op1 & 0x8000) != 0) psr[2] = (psr[2] & 0x0FFF0000) | (op1 & 0xFFF) | (((op1 >> 14) & 1) << 31);
        if ((op2 & FlagBit) != 0) psr[0] = (op2 >> 16) & 0xFF;
        if ((op2 & 0x8000) != 0) psr[3] = op2 & 0xFF;
        return;
    case OpSetButtonPage:
        setButtonPage(command, op1, op2, run, host);
        return;
    default:
        break;
    }

    switch (w) {
    case OpBreak:
        run.end();
        return;
    case OpResume:
        host.report("Resume");
        return;
    case OpTerminatePL:
        host.report("Terminate PL");
        return;
    case OpPopUpMenuOff:
        host.report("Pop up Menu Off");
        return;
    case OpStillOn:
        host.report("Still On");
        return;
    case OpStillOff:
        host.report("Still Off");
        return;
    default:
        return; // NOP and every opcode word without a row
    }
}

void Interpreter::setButtonPage(const TNavCommand& command, std::uint32_t op1, std::uint32_t op2,
                                RunState& run, InterpreterHost& host) {
    if (host.activePage() != ActivePage::Menu) {
        host.report("SetButtonPage ");
        run.end();
        return;
    }
    auto& psr = regs.PSR;
    const std::uint32_t oldButton = psr[10] & 0xFFFF;
    const std::uint32_t oldPage = psr[11] & 0xFFFF;
    const bool pageFlag = (command.source & FlagBit) != 0;
    const bool buttonFlag = (command.destination & FlagBit) != 0;
    const std::size_t pages = host.pageCount();

    if (pageFlag && (op2 & 0xFF) < pages) psr[11] = op2 & 0xFF;
    if (buttonFlag && (op1 & 0xFFFF) < host.pageButtonSlots(psr[11])) psr[10] = op1 & 0xFFFF;
    const std::uint32_t page = psr[11];
    const std::uint32_t button = psr[10];
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
        run.list = host.buttonCommands(page, button);
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
    if (states == nullptr || id >= states->size() || !host.buttonPresent(regs.PSR[11], id)) return;
    const auto bog = (*states)[id].bog_index;
    auto& selected = regs.PSR[10];
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
    if (states == nullptr || id >= states->size() || !host.buttonPresent(regs.PSR[11], id)) return;
    (*states)[id].enabled = 0;
    host.DelButton(id);
}

RunResult Interpreter::ExecComm(const std::vector<TNavCommand>& commands, InterpreterHost& host,
                                std::uint64_t stepLimit) {
    RunResult result;
    RunState run;
    run.list = commands;
    run.pc = CurrentLine;
    auto inside = [&run] { return run.pc >= 0 && run.pc < static_cast<std::int64_t>(run.list.size()); };

    while (inside()) {
        host.pumpEvents();
        const TNavCommand command = run.list[static_cast<std::size_t>(run.pc)];
        execute(command, run, host);
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

    auto& selected = regs.PSR[10];
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
        const auto text = commandLine(next, context);
        const auto field = static_cast<int>(next.destination & 0xFFFF);
        if (text.find("GPR") != std::string::npos)
            result.followGPR = field < static_cast<int>(GPRCount) ? field : 0;
        if (text.find("PSR") != std::string::npos)
            result.followPSR = field < static_cast<int>(PSRCount) ? field : 0;
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
