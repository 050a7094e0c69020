#include "app/AppIcon.h"

#include <QPainter>
#include <QPainterPath>

namespace corvane {

QImage appIconImage(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const double s = size;
    QRadialGradient disc(s * 0.4, s * 0.35, s * 0.6);
    disc.setColorAt(0.0, QColor(0xE8, 0xF0, 0xFF));
    disc.setColorAt(1.0, QColor(0x40, 0x50, 0x90));
    p.setPen(QPen(QColor(0x00, 0x00, 0x88), s / 32.0));
    p.setBrush(disc);
    p.drawEllipse(QRectF(s * 0.04, s * 0.04, s * 0.92, s * 0.92));
    // the centre hole
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(s * 0.42, s * 0.42, s * 0.16, s * 0.16));
    // the arrow of a navigation key
    QPainterPath arrow;
    arrow.moveTo(s * 0.62, s * 0.30);
    arrow.lineTo(s * 0.86, s * 0.50);
    arrow.lineTo(s * 0.62, s * 0.70);
    arrow.closeSubpath();
    p.setPen(QPen(QColor(0x80, 0x50, 0x00), s / 48.0));
    p.setBrush(QColor(0xFF, 0xBB, 0x00));
    p.drawPath(arrow);
    return image;
}

QIcon appIcon() {
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128}) icon.addPixmap(QPixmap::fromImage(appIconImage(size)));
    return icon;
}

} // namespace corvane
