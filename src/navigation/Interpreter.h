#pragma once
// The command interpreter: runs a list of navigation commands against the register file,
// to its end or one command per call while tracing. Branches, compares and register
// arithmetic are exact; playback and title changes are reported and update the PSRs a
// player would update; the interactive-graphics commands act on the host's menu.

#include <cstdint>
#include <string>
#include <vector>

#include "navigation/InterpreterHost.h"
#include "navigation/MovieObject.h"
#include "navigation/NavCommand.h"
#include "navigation/Registers.h"

namespace corvane {

// What the front end shows after a run.
struct RunResult {
    std::uint64_t executed = 0;  // commands executed by this call
    bool stoppedByLimit = false; // the step limit ended a run that had not ended
    // The line of the command that ended the run (a Break, a Jump, a skip past the end),
    // whose grid row is selected; -1 when the run did not end that way.
    int endLine = -1;
    // While a trace goes on: "Line 0003 : ..." of the next line, and the register fields to
    // follow it (-1 for none).
    std::string traceLine;
    int followGPR = -1;
    int followPSR = -1;
};

// The value of a register-form operand word w: bit 31 names a PSR (bits 6-0), else a GPR (bits 11-0).
std::uint32_t registerValue(const RegisterFile& regs, std::uint32_t w);
// The trace line of status panel 1: "Line " nnnn " : " opcode destination source " : " command text.
std::string traceLineText(const TNavCommand& command, int line, CommandContext context);

class Interpreter {
public:
    explicit Interpreter(RndGenerator& rnd = programRnd()) : m_rnd(&rnd) {}

    RegisterFile regs;
    int CurrentLine = 0;      // next line to execute; survives between runs
    bool TraceActive = false; // the last run stopped inside its list

    void ResetRegs(const RegisterDefaults& defaults) { corvane::ResetRegs(regs, defaults); }

    // Operand values: immediate, register, or the packed register forms of SetStream and
    // SetButtonPage; 0xDEADBEEF for a command without operands.
    std::uint32_t getop1(const TNavCommand& command) const;
    std::uint32_t getop2(const TNavCommand& command) const;
    // Write the register named by operand 1 / operand 2; immediates and commands without operands are left.
    void setdst(const TNavCommand& command, std::uint32_t value);
    void setsrc(const TNavCommand& command, std::uint32_t value);

    // Runs the list from CurrentLine until it ends, or one command when the host's trace is
    // ticked. A positive stepLimit stops a run after that many commands.
    RunResult ExecComm(const std::vector<TNavCommand>& commands, InterpreterHost& host,
                       std::uint64_t stepLimit = 0);

    // The Start button: continues a trace, or starts the list from line 0 (run mode) or prepares
    // a trace that executes nothing on this first call.
    RunResult start(const std::vector<TNavCommand>& commands, InterpreterHost& host,
                    std::uint64_t stepLimit = 0);
    // Start on the program of movie object `object`; an object the file does not hold has no commands.
    RunResult startObject(const TMOBJ& mobj, std::size_t object, InterpreterHost& host,
                          std::uint64_t stepLimit = 0);
    // A click on a line while tracing executes that line.
    RunResult executeLine(const std::vector<TNavCommand>& commands, int line, InterpreterHost& host);
    // The Cancel button: ends a trace without executing anything.
    RunResult cancelTrace(const std::vector<TNavCommand>& commands, InterpreterHost& host);

private:
    std::uint32_t operandValue(std::uint32_t opcode, std::uint32_t word, bool immediate) const;
    void writeRegister(std::uint32_t word, std::uint32_t value);
    struct RunState;
    void execute(const TNavCommand& command, NavOperation operation, RunState& run, InterpreterHost& host);
    void setStream(std::uint32_t op1, std::uint32_t op2);
    void setButtonPage(const TNavCommand& command, std::uint32_t op1, std::uint32_t op2, RunState& run,
                       InterpreterHost& host);
    void enableButton(std::uint32_t op1, RunState& run, InterpreterHost& host);
    void disableButton(std::uint32_t op1, InterpreterHost& host);

    RndGenerator* m_rnd;
};

} // namespace corvane
