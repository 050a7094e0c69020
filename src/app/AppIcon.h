#pragma once
// The program's icon, drawn in code: a disc with an orange navigation arrow.

#include <QIcon>
#include <QImage>

namespace corvane {

QImage appIconImage(int size);
QIcon appIcon();

} // namespace corvane
