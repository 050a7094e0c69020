#pragma once
// Pictures of the core (RGBA, row-major) as Qt pixmaps.

#include <QImage>
#include <QPixmap>

#include "graphics/Picture.h"

namespace corvane {

inline QPixmap toPixmap(const RgbaImage& image) {
    if (image.width <= 0 || image.height <= 0) return {};
    const QImage view(image.pixels.data(), image.width, image.height, image.width * 4,
                      QImage::Format_RGBA8888);
    return QPixmap::fromImage(view.copy()); // the pixmap may share a QImage's data: give it its own
}

} // namespace corvane
