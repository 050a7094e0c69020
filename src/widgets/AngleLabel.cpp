#include "widgets/AngleLabel.h"

#include <QPainter>
#include <QtMath>

#include <cmath>

namespace corvane {

TantAngleLabel::TantAngleLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {}

int TantAngleLabel::normalisedAngle(int degrees) {
    int steps = (degrees >= 0 ? degrees + 22 : degrees - 22) / 45;
    steps %= 8;
    if (steps < 0) steps += 8;
    return steps * 45;
}

void TantAngleLabel::setAngle(int degrees) {
    const int angle = normalisedAngle(degrees);
    if (angle == m_angle) return;
    m_angle = angle;
    updateGeometry();
    update();
}

QSize TantAngleLabel::sizeHint() const {
    const QFontMetrics fm(font());
    const double w = fm.horizontalAdvance(text());
    const double h = fm.height();
    // Exact factors: a rounding error would add a pixel at 90 and 270.
    const int quarter = m_angle % 180;
    const double c = quarter == 0 ? 1.0 : quarter == 90 ? 0.0 : M_SQRT1_2;
    const double s = quarter == 0 ? 0.0 : quarter == 90 ? 1.0 : M_SQRT1_2;
    const int border = 2 * (margin() + frameWidth());
    return {int(std::ceil(w * c + h * s)) + border, int(std::ceil(w * s + h * c)) + border};
}

void TantAngleLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    const QFontMetrics fm(font());
    const int w = fm.horizontalAdvance(text());
    // Turn about the centre; the painter turns clockwise, the angle counts the other way.
    painter.translate(width() / 2.0, height() / 2.0);
    painter.rotate(-m_angle);
    painter.drawText(QPointF(-w / 2.0, -fm.height() / 2.0 + fm.ascent()), text());
}

} // namespace corvane
