#pragma once

#include <QImage>
#include <QString>

namespace helm {

// Writes img as a PNG that depends on its pixels alone: no text chunks, and one pixel per
// point (72 dpi) whatever screen the image came from. The file is replaced whole or not at
// all. Answers whether it was written.
bool writePng(QImage img, const QString& path);

} // namespace helm
