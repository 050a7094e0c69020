#include "shell/Reporter.h"

#include <cstdio>

namespace corvane {

namespace {
NullSink g_nullSink;
}

Reporter::Reporter(MessageSink* sink) : m_sink(sink ? sink : &g_nullSink) {}

void Reporter::setSink(MessageSink* sink) {
    m_sink = sink ? sink : &g_nullSink;
}

void Reporter::log(std::string_view text) {
    m_sink->appendLine(parseMarkup(text));
}

void Reporter::log2(std::string_view text) {
    log(text);
    log("");
}

void Reporter::dlog(std::string_view text) {
    log(text);
    setPanel(1, striptags(text));
}

void Reporter::dlog0(std::string_view text) {
    log(text);
    setPanel(0, striptags(text));
    setPanel(1, "");
}

void Reporter::slog(std::string_view text, int panel) {
    setPanel(panel, std::string(text));
}

void Reporter::slogw(std::string_view text, int panel) {
    slog(text, panel);
    if (ActiDelay > 0) m_sink->pause(ActiDelay);
}

void Reporter::slogR() {
    if (m_actionErrors > 0) {
        m_status[0] = ErrorsState;
        m_status[1] = errorsDetails(m_actionErrors);
        m_sink->showErrorStatus(m_status[0], m_status[1]);
        return;
    }
    setPanel(0, "Ready.");
    setPanel(1, "");
}

void Reporter::setPanel(int panel, std::string text) {
    const int i = panel == 0 ? 0 : 1;
    m_status[i] = std::move(text);
    if (m_actionErrors > 0)
        m_sink->showErrorStatus(m_status[0], m_status[1]);
    else
        m_sink->setStatus(i, m_status[i]);
}

void Reporter::raiseBadge(const std::string& plainText) {
    m_status[1] = plainText;
    if (m_inAction) ++m_actionErrors;
    m_sink->showErrorBadge(plainText);
}

void Reporter::beginAction() {
    m_inAction = true;
    m_actionErrors = 0;
}

void Reporter::erlog(std::string_view text) {
    log("[re]ERROR:[/re] [b]" + std::string(text) + "[/b]");
    erslog(text);
    ErrorRaised = true;
    m_sink->beep();
}

void Reporter::erslog(std::string_view text) {
    raiseBadge(striptags(text));
}

void Reporter::resultError(std::string_view text) {
    m_sink->appendFileErrorLine(parseMarkup("[re]ERROR:[/re] [b]" + std::string(text) + "[/b]"));
    erslog(text);
    ErrorRaised = true;
    m_sink->beep();
}

void Reporter::fileError(const std::string& message) {
    // Built by hand: a path may hold brackets, and is never cut short.
    StyledLine line;
    line.text = "ERROR: " + message;
    line.spans.push_back({0, 6, styleForTag("re")});
    if (!message.empty()) line.spans.push_back({7, message.size(), styleForTag("b")});
    m_sink->appendFileErrorLine(line);
    raiseBadge(message);
    ErrorRaised = true;
    m_sink->beep();
    m_sink->fileError(message);
}

void Reporter::PrBarOn() {
    CancelRequested = false;
    m_sink->progressStart();
}

void Reporter::PrBarOff() {
    m_sink->progressEnd();
}

void Reporter::showPacketProgress(std::uint64_t done, std::uint64_t total) {
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - OperationStart);
    const auto report = progressText(done, total, elapsed);
    setPanel(1, report.text);
    m_sink->packetProgress(report);
}

void Reporter::cancel(const std::function<bool()>& confirm) {
    if (!ConfirmCancel) {
        CancelRequested = true;
        return;
    }
    if (confirm && confirm()) {
        CancelRequested = true;
        log("");
        setPanel(0, "");
        setPanel(1, "Cancelled.");
    }
}

std::string errorsDetails(int errors) {
    return std::to_string(errors) + (errors == 1 ? " error" : " errors") + ", see the Status page";
}

std::string longTimeText(std::chrono::seconds value) {
    long long total = value.count();
    if (total < 0) total = 0;
    char text[32];
    std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", total / 3600, (total / 60) % 60, total % 60);
    return text;
}

ProgressReport progressText(std::uint64_t done, std::uint64_t total, std::chrono::milliseconds elapsed) {
    using namespace std::chrono;
    ProgressReport report;
    const auto elapsedMs = static_cast<std::uint64_t>(std::max<long long>(0, elapsed.count()));
    std::uint64_t remainingMs = 1000;
    if (done > 0) {
        // elapsed × total ÷ done − elapsed, computed without overflowing for long walks
        const long double projected = static_cast<long double>(elapsedMs) * total / done;
        const long double rest = projected - static_cast<long double>(elapsedMs);
        remainingMs = static_cast<std::uint64_t>(rest > 0 ? rest : 0) + 1000;
    }
    report.text = "Packet: " + std::to_string(done) + "/" + std::to_string(total) +
                  "   Elapsed: " + longTimeText(duration_cast<seconds>(milliseconds(elapsedMs))) +
                  "   Remaining: " + longTimeText(duration_cast<seconds>(milliseconds(remainingMs)));
    report.percent = total > 0 ? static_cast<int>(done * 100 / total) : 0;
    report.remaining = duration_cast<seconds>(milliseconds(remainingMs));
    if (elapsedMs > 0)
        report.megabytesPerSecond =
            static_cast<double>(done) * 192.0 / 1000.0 / static_cast<double>(elapsedMs);
    return report;
}

void showReadMessages(Reporter& reporter, const std::vector<ReadMessage>& messages) {
    for (const auto& message : messages) {
        if (message.kind == ReadMessage::Kind::Error)
            reporter.erlog(message.text);
        else
            reporter.log(message.text);
    }
}

} // namespace corvane
