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

void GuiInterpreterHost::pumpEvents() {
    if (onPump) onPump();
    QCoreApplication::processEvents();
}

} // namespace corvane
