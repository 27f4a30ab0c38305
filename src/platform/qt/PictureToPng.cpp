#include "platform/qt/PictureToPng.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>

namespace helm::pictureToPng {

bool convertible(const QString& mime) {
    static const QList<QByteArray> readable = QImageReader::supportedMimeTypes();
    return mime.startsWith("image/") && mime != "image/png" && readable.contains(mime.toLatin1());
}

std::optional<QByteArray> convert(QByteArray bytes) {
    QBuffer in(&bytes);
    QImageReader reader(&in);
    QImage image = reader.read();
    if (image.isNull())
        return std::nullopt;
    QByteArray png;
    QBuffer out(&png);
    out.open(QIODevice::WriteOnly);
    QImageWriter writer(&out, "png");
    if (!writer.write(image))
        return std::nullopt;
    return png;
}

} // namespace helm::pictureToPng
