#include "overlays/draw/DropShadow.h"

#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <vector>

namespace helm {

namespace {

// One box pass of radius b along rows (step 1) or columns (step = width) of an alpha plane;
// outside the image counts as clear.
void boxPass(std::vector<float>& a, int w, int h, int b, bool rows) {
    std::vector<float> line(static_cast<std::size_t>(rows ? w : h));
    const int n = rows ? w : h;
    const int lines = rows ? h : w;
    const float norm = 1.0f / static_cast<float>(2 * b + 1);
    for (int l = 0; l < lines; ++l) {
        auto at = [&](int i) -> float& {
            return rows ? a[static_cast<std::size_t>(l * w + i)]
                        : a[static_cast<std::size_t>(i * w + l)];
        };
        float sum = 0;
        for (int i = 0; i <= std::min(b, n - 1); ++i) {
            sum += at(i);
        }
        for (int i = 0; i < n; ++i) {
            line[static_cast<std::size_t>(i)] = sum * norm;
            if (i + b + 1 < n) {
                sum += at(i + b + 1);
            }
            if (i - b >= 0) {
                sum -= at(i - b);
            }
        }
        for (int i = 0; i < n; ++i) {
            at(i) = line[static_cast<std::size_t>(i)];
        }
    }
}

} // namespace

void dropShadow(QPainter& g, const QPainterPath& shape, double strokeWidth, double radius,
                const QColor& colour) {
    // Worked out in device pixels, so the blur is as fine as what it lies under.
    const QTransform& t = g.deviceTransform();
    double k = std::clamp(std::hypot(t.m11(), t.m12()), 0.05, 8.0);
    double sigma = radius / 2 * k;
    int b = sigma > 0 ? static_cast<int>(std::lround(std::sqrt(sigma * sigma + 0.25) - 0.5)) : 0;
    double margin = (strokeWidth / 2 + 3 * radius) + 2 / k;
    QRectF box = shape.boundingRect().adjusted(-margin, -margin, margin, margin);
    int w = static_cast<int>(std::ceil(box.width() * k));
    int h = static_cast<int>(std::ceil(box.height() * k));
    if (w <= 0 || h <= 0 || w > 4096 || h > 4096) {
        return;
    }
    QImage mask(w, h, QImage::Format_ARGB32_Premultiplied);
    mask.fill(Qt::transparent);
    {
        QPainter m(&mask);
        m.setRenderHint(QPainter::Antialiasing);
        m.scale(k, k);
        m.translate(-box.topLeft());
        m.fillPath(shape, Qt::black);
        if (strokeWidth > 0) {
            QPen p(Qt::black, strokeWidth);
            p.setJoinStyle(Qt::MiterJoin);
            p.setMiterLimit(10);
            p.setCapStyle(Qt::FlatCap);
            m.strokePath(shape, p);
        }
    }
    std::vector<float> a(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
    for (int y = 0; y < h; ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(mask.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            a[static_cast<std::size_t>(y * w + x)] = static_cast<float>(qAlpha(row[x]));
        }
    }
    if (b > 0) {
        for (int pass = 0; pass < 3; ++pass) {
            boxPass(a, w, h, b, true);
            boxPass(a, w, h, b, false);
        }
    }
    const double ca = colour.alphaF();
    for (int y = 0; y < h; ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(mask.scanLine(y));
        for (int x = 0; x < w; ++x) {
            double v = a[static_cast<std::size_t>(y * w + x)] * ca / 255.0;
            int al = std::clamp(static_cast<int>(std::lround(v * 255)), 0, 255);
            row[x] = qPremultiply(qRgba(colour.red(), colour.green(), colour.blue(), al));
        }
    }
    g.drawImage(QRectF(box.topLeft(), QSizeF(w / k, h / k)), mask);
}

} // namespace helm
