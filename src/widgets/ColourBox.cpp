#include "widgets/ColourBox.h"

#include <QColorDialog>
#include <QPainter>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace corvane {

ColourBox::ColourBox(const QString& title, QWidget* parent) : QPushButton(parent), m_title(title) {
    setToolTip(title);
    connect(this, &QPushButton::clicked, this, &ColourBox::pick);
}

void ColourBox::setColour(const QColor& colour) {
    if (colour == m_colour) return;
    m_colour = colour;
    update();
    emit colourChanged(colour);
}

void ColourBox::pick() {
    const QColor chosen = QColorDialog::getColor(m_colour, this, m_title);
    if (chosen.isValid()) setColour(chosen);
}

void ColourBox::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    painter.drawControl(QStyle::CE_PushButton, option);
    const QRect swatch = rect().adjusted(5, 5, -6, -6);
    painter.fillRect(swatch, isEnabled() ? m_colour : palette().color(QPalette::Disabled, QPalette::Button));
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawRect(swatch);
}

} // namespace corvane
