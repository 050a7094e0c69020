#pragma once
// The window as the interpreter's host: the page shown, the trace switch read at every
// step, reports on the status bar with their pause, and the event pump.

#include <functional>

#include "navigation/InterpreterHost.h"

class QCheckBox;

namespace corvane {

class GuiInterpreterHost : public ReporterInterpreterHost {
public:
    // `page` tells which main page is shown; `stop` whether a run must end (the window closes).
    GuiInterpreterHost(Reporter& reporter, std::function<ActivePage()> page, const QCheckBox& trace,
                       std::function<bool()> stop);

    ActivePage activePage() const override { return m_page(); }
    bool traceTicked() const override;
    bool cancelRequested() const override { return m_stop(); }
    void pumpEvents() override;

    // Told before every pump (the window disables what a run must not see changed).
    std::function<void()> onPump;

private:
    std::function<ActivePage()> m_page;
    const QCheckBox& m_trace;
    std::function<bool()> m_stop;
};

} // namespace corvane
