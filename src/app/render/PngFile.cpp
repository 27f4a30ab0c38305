#include "app/render/PngFile.h"

#include "platform/WholeFile.h"

#include <QBuffer>
#include <QImageWriter>

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
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    if (!writer.write(img)) {
        return false;
    }
    return !wholeFile::write(path.toStdString(), std::string_view(bytes.constData(), bytes.size()),
                             0644);
}

} // namespace helm
