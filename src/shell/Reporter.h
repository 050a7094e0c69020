#pragma once
// Reporting seam between the core and its front ends.
//
// Every operation reports through a Reporter: log lines with markup, the two
// status-bar panels, the red ERROR badge, progress of long operations and the
// cancel flag. The front end implements MessageSink (the desktop renders styled
// lines and the status bar, the CLI prints plain lines, tests capture them).

#include <chrono>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "io/ReadResult.h"
#include "shell/Markup.h"

namespace corvane {

struct ProgressReport {
    std::string text; // "Packet: done/total   Elapsed: …   Remaining: …"
    int percent = 0;
    double megabytesPerSecond = 0; // 10^6 bytes of 192-byte packets per second so far
    std::chrono::seconds remaining{};
};

class MessageSink {
public:
    virtual ~MessageSink() = default;
    virtual void appendLine(const StyledLine& line) = 0;
    // Panel 0 (state word) or 1 (details); a shown ERROR badge goes away.
    virtual void setStatus(int panel, const std::string& text) = 0;
    // Red ERROR badge in panel 0, the detail text (tags removed) in panel 1.
    virtual void showErrorBadge(const std::string& text) = 0;
    // A later step of an action that had errors: panel 0 holds `state` under the badge,
    // which stays, and panel 1 shows `details`.
    virtual void showErrorStatus(const std::string& state, const std::string& details) {
        setStatus(0, state);
        showErrorBadge(details);
    }
    virtual void beep() {}
    // The "ERROR:" log line of a file error, just before fileError, or of a failure that the
    // operation returns (Reporter::resultError); a sink that prints that message on the same
    // stream may drop it.
    virtual void appendFileErrorLine(const StyledLine& line) { appendLine(line); }
    // A failure of the file layer (cannot open, create or write), after its log line and
    // badge: an error box on the desktop.
    virtual void fileError(const std::string& /*message*/) {}
    // Waits the given milliseconds while the window stays responsive.
    virtual void pause(int /*milliseconds*/) {}
    // Long operations: let the window process pending input.
    virtual void pumpEvents() {}
    virtual void progressStart() {}
    virtual void progress(int /*percent*/, const std::string& /*text*/) {}
    virtual void progressEnd() {}
    // The progress of a walk over packets; the text and percent through progress().
    virtual void packetProgress(const ProgressReport& report) { progress(report.percent, report.text); }
};

// A sink that drops everything.
class NullSink : public MessageSink {
public:
    void appendLine(const StyledLine&) override {}
    void setStatus(int, const std::string&) override {}
    void showErrorBadge(const std::string&) override {}
};

class Reporter {
public:
    explicit Reporter(MessageSink* sink = nullptr);
    void setSink(MessageSink* sink);
    MessageSink& sink() { return *m_sink; }

    void log(std::string_view text);   // one styled line
    void log2(std::string_view text);  // the line and an empty line
    void dlog(std::string_view text);  // log, and panel 1 shows the plain text
    void dlog0(std::string_view text); // log, panel 0 shows the plain text, panel 1 empty
    void slog(std::string_view text, int panel);
    void slogw(std::string_view text, int panel); // slog, then the ActiDelay pause
    void slogR();                                 // "Ready." and an empty panel 1
    void erlog(std::string_view text);            // the error report
    void erslog(std::string_view text);           // its status-bar half
    // erlog of an operation's failure that the caller also returns: a sink that prints the
    // caller's error line on the same stream may drop the log line.
    void resultError(std::string_view text);
    // A failure of the file layer: the error report of `message` (the system's text,
    // naming the file; shown as given, not as markup), then the sink's error box.
    void fileError(const std::string& message);

    // A user action starts (the desktop calls it at each click or key press). Within an
    // action, once an error was reported, later status texts keep the ERROR badge and
    // slogR says how many errors there were instead of "Ready.". Before the first
    // beginAction there is no action and every status text removes the badge.
    void beginAction();
    // Errors (badges) reported since the action started.
    int actionErrors() const { return m_actionErrors; }

    void PrBarOn();
    void PrBarOff();
    // Progress of a walk over 192-byte packets: panel 1 text and bar percent.
    void showPacketProgress(std::uint64_t done, std::uint64_t total);

    // The Cancel button outside a trace: sets CancelRequested at once, or after
    // `confirm` says yes once an extraction has made cancelling ask first.
    void cancel(const std::function<bool()>& confirm);

    bool ErrorRaised = false;
    bool CancelRequested = false;
    bool ConfirmCancel = false;
    std::chrono::steady_clock::time_point OperationStart{};
    int ActiDelay = 500; // ms after each interpreter report

private:
    void setPanel(int panel, std::string text);
    void raiseBadge(const std::string& plainText);

    MessageSink* m_sink;
    bool m_inAction = false;
    int m_actionErrors = 0;
    std::string m_status[2]; // the panel texts last shown
};

// Shows a reader's lines through the reporter (log or erlog).
void showReadMessages(Reporter& reporter, const std::vector<ReadMessage>& messages);

// slogR's panel texts at the end of an action with errors.
inline constexpr const char* ErrorsState = "Errors.";
std::string errorsDetails(int errors); // "1 error, see the Status page"

// "H:MM:SS" of a duration in whole seconds.
std::string longTimeText(std::chrono::seconds value);

// Progress of a stream walk: remaining = elapsed × total ÷ done − elapsed + 1 s.
ProgressReport progressText(std::uint64_t done, std::uint64_t total, std::chrono::milliseconds elapsed);

} // namespace corvane
