#include "app/render/PngFile.h"

#include <QImageWriter>
#include <QSaveFile>

namespace helm {

namespace {
constexpr int dotsPerMetre = 2835; // 72 dots per inch
} // namespace

bool writePng(QImage img, const QString& path) {
    if (img.isNull()) {
        return false;
    }
    img.setDotsPerMeterX(dotsPerMetre);
    img.setDotsPerMeterY(dotsPerMetre);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    QImageWriter writer(&file, "png");
    if (!writer.write(img)) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace helm
