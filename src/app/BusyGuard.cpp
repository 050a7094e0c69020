#include "app/BusyGuard.h"

#include <QApplication>
#include <QVariant>

namespace corvane {

namespace {

// Several guards may hold one control: it is enabled again when the last lets go, and only
// when it was enabled before the first took it.
constexpr const char* HoldCount = "corvaneBusyHolds";
constexpr const char* WasEnabled = "corvaneBusyWasEnabled";

void hold(QWidget* control) {
    const int holds = control->property(HoldCount).toInt();
    if (holds == 0) {
        const bool enabled =
            !control->testAttribute(Qt::WA_ForceDisabled); // its own setting, not its parent's
        control->setProperty(WasEnabled, enabled);
        if (enabled) control->setEnabled(false);
    }
    control->setProperty(HoldCount, holds + 1);
}

void letGo(QWidget* control) {
    const int holds = control->property(HoldCount).toInt() - 1;
    control->setProperty(HoldCount, holds > 0 ? holds : QVariant());
    if (holds <= 0 && control->property(WasEnabled).toBool()) control->setEnabled(true);
}

} // namespace

BusyGuard::BusyGuard(std::function<std::vector<QWidget*>()> controls, QObject* parent)
    : QObject(parent), m_controls(std::move(controls)) {}

BusyGuard::~BusyGuard() {
    m_depth = 0;
    release(false);
}

BusyGuard::Operation::Operation(BusyGuard& guard) : m_guard(&guard) {
    guard.begin();
}

BusyGuard::Operation::~Operation() {
    if (m_guard) m_guard->end();
}

void BusyGuard::begin() {
    if (m_depth++ == 0) emit started();
}

void BusyGuard::end() {
    if (m_depth == 0 || --m_depth > 0) return;
    release(true);
    emit finished();
}

void BusyGuard::pumping() {
    if (m_depth == 0 || m_engaged) return;
    m_engaged = true;
    QWidget* focus = QApplication::focusWidget();
    for (QWidget* control : m_controls()) {
        if (!control) continue;
        if (focus && (focus == control || control->isAncestorOf(focus))) m_focus = focus;
        hold(control);
        m_held.emplace_back(control);
    }
    emit engagedChanged(true);
}

void BusyGuard::release(bool notify) {
    if (!m_engaged) return;
    m_engaged = false;
    for (const QPointer<QWidget>& control : m_held)
        if (control) letGo(control);
    m_held.clear();
    if (m_focus && m_focus->isEnabled() && m_focus->isVisible()) m_focus->setFocus();
    m_focus = nullptr;
    if (notify) emit engagedChanged(false);
}

} // namespace corvane
