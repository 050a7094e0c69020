#include "app/GuiInterpreterHost.h"

#include <QCheckBox>
#include <QCoreApplication>

namespace corvane {

GuiInterpreterHost::GuiInterpreterHost(Reporter& reporter, std::function<ActivePage()> page,
                                       const QCheckBox& trace, std::function<bool()> stop)
    : ReporterInterpreterHost(reporter), m_page(std::move(page)), m_trace(trace), m_stop(std::move(stop)) {}

bool GuiInterpreterHost::traceTicked() const {
    return m_trace.isChecked();
}

// Through the window, so that a click during the run stays part of the run's action.
void GuiInterpreterHost::pumpEvents() {
    if (onPump) onPump();
    ReporterInterpreterHost::pumpEvents();
}

} // namespace corvane
