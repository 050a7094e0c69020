#include "app/PanelStatusBar.h"

#include <QPainter>
#include <QStyle>
#include <qdrawutil.h>

namespace corvane {

namespace {
constexpr int BadgeWidth = 55;
}

StatusPanel::StatusPanel(int width, QWidget* parent) : QWidget(parent), m_width(width) {
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void StatusPanel::setText(const QString& text) {
    m_text = text;
    update();
}

void StatusPanel::setBadge(bool badge) {
    m_badge = badge;
    update();
}

void StatusPanel::setPreferredWidth(int width) {
    if (width == m_width) return;
    m_width = width;
    updateGeometry();
}

QSize StatusPanel::sizeHint() const {
    return {m_width, fontMetrics().height() + 6};
}

// A long text may be cut rather than widen the window.
QSize StatusPanel::minimumSizeHint() const {
    return {qMin(m_width, 40), fontMetrics().height() + 6};
}

void StatusPanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (m_badge) {
        painter.fillRect(rect(), QColor(255, 0, 0));
        painter.setPen(QColor(255, 255, 0));
        painter.drawText(rect().adjusted(10, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
                         QStringLiteral("ERROR"));
        return;
    }
    qDrawShadePanel(&painter, rect(), palette(), true, 1);
    painter.setPen(palette().color(QPalette::WindowText));
    const QRect inside = rect().adjusted(1, 0, -1, 0);
    painter.drawText(inside, Qt::AlignLeft | Qt::AlignVCenter,
                     fontMetrics().elidedText(m_text, Qt::ElideRight, inside.width()));
}

PanelStatusBar::PanelStatusBar(QWidget* parent) : QStatusBar(parent) {
    setObjectName(QStringLiteral("StatusBar"));
    setSizeGripEnabled(true);
    m_panels[0] = new StatusPanel(100, this);
    m_panels[1] = new StatusPanel(850, this);
    m_panels[0]->setObjectName(QStringLiteral("StatusPanel0"));
    m_panels[1]->setObjectName(QStringLiteral("StatusPanel1"));
    addWidget(m_panels[0]);
    addWidget(m_panels[1]);
}

void PanelStatusBar::setBold(bool bold) {
    for (StatusPanel* p : m_panels) {
        QFont f = font();
        f.setBold(bold);
        p->setFont(f);
    }
}

void PanelStatusBar::fitWidth(int index) {
    StatusPanel* p = m_panels[index];
    p->setPreferredWidth(p->fontMetrics().horizontalAdvance(p->text() + QLatin1Char('m')));
}

void PanelStatusBar::setPanelText(int index, const QString& text) {
    setBold(false);
    m_panels[0]->setBadge(false);
    const int i = index == 0 ? 0 : 1;
    m_panels[i]->setText(QLatin1Char(' ') + text + QLatin1Char(' '));
    fitWidth(0);
    fitWidth(1);
    if (i == 1) setToolTip(text);
    // Shown at once: long operations report here between their steps.
    repaint();
    m_panels[0]->repaint();
    m_panels[1]->repaint();
}

void PanelStatusBar::showErrorBadge(const QString& text) {
    showBadge(text);
}

void PanelStatusBar::showErrorStatus(const QString& state, const QString& details) {
    m_panels[0]->setText(QLatin1Char(' ') + state + QLatin1Char(' '));
    showBadge(details);
}

void PanelStatusBar::showBadge(const QString& details) {
    setBold(true);
    m_panels[0]->setBadge(true);
    const QFontMetrics fm(m_panels[0]->font());
    m_panels[0]->setPreferredWidth(qMax(BadgeWidth, 14 + fm.horizontalAdvance(QStringLiteral("ERROR"))));
    m_panels[1]->setText(QLatin1Char(' ') + details);
    fitWidth(1);
    setToolTip(details);
    repaint();
    m_panels[0]->repaint();
    m_panels[1]->repaint();
}

QString PanelStatusBar::panelText(int index) const {
    return m_panels[index == 0 ? 0 : 1]->text();
}

int PanelStatusBar::panelWidth(int index) const {
    return m_panels[index == 0 ? 0 : 1]->preferredWidth();
}

bool PanelStatusBar::errorBadgeShown() const {
    return m_panels[0]->badge();
}

} // namespace corvane
