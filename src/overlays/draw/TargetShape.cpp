#include "overlays/draw/TargetShape.h"

#include "ui/Fonts.h"

#include <QBitmap>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace helm::TargetShape {

QPointF dotCentre(QSizeF size, const TargetMode& mode) {
    const double w = size.width();
    const double h = size.height();
    if (mode.kind == TargetMode::Kind::camera) {
        return {w / 2, 60};
    }
    const double m = 0.07 * std::min(w, h);
    auto [fx, fy] = spot(mode.corner);
    return {m + fx * (w - 2 * m), m + fy * (h - 2 * m)};
}

QFont labelFont(const QPaintDevice* device) {
    return Fonts::font(22, QFont::DemiBold, device);
}

QRectF labelBox(const QString& text, QPointF c, const QPaintDevice* device) {
    // Asked on every frame of a moving dot, and shaping the text each time cost more than the
    // dot: a label's size is kept for its text and the device's resolution.
    struct Kept {
        QString text;
        int dpiX = 0;
        int dpiY = 0;
        QSizeF size;
    };
    thread_local std::vector<Kept> kept;
    const int dpiX = device != nullptr ? device->logicalDpiX() : 0;
    const int dpiY = device != nullptr ? device->logicalDpiY() : 0;
    auto it = std::find_if(kept.begin(), kept.end(), [&](const Kept& k) {
        return k.text == text && k.dpiX == dpiX && k.dpiY == dpiY;
    });
    if (it == kept.end()) {
        if (kept.size() >= 16) {
            kept.clear();
        }
        QFontMetricsF fm(labelFont(device), device);
        kept.push_back({text, dpiX, dpiY, {fm.horizontalAdvance(text) + 32, fm.height() + 20}});
        it = kept.end() - 1;
    }
    const QSizeF size = it->size;
    return QRectF(c.x() - size.width() / 2, c.y() - size.height() / 2, size.width(), size.height());
}

std::optional<Label> label(QSizeF size, int number, const TargetMode& mode) {
    if (mode.kind == TargetMode::Kind::camera) {
        return Label{QStringLiteral("Look at the camera"), QPointF(size.width() / 2, 150)};
    }
    if (mode.kind != TargetMode::Kind::corner) {
        return std::nullopt;
    }
    // The label sits inwards of the dot, placed from where the dot rests.
    const QPointF c = dotCentre(size, mode);
    auto [fx, fy] = spot(mode.corner);
    return Label{QString::number(number) + QStringLiteral(" \u00B7 Look here"),
                 QPointF(c.x() + (fx == 1 ? -150 : 150), c.y() + (fy == 1 ? -80 : 80))};
}

namespace {

QFont bigFont(const QPaintDevice* device) {
    return Fonts::font(220, QFont::Bold, device);
}
QFont smallFont(const QPaintDevice* device) {
    return Fonts::font(26, QFont::Medium, device);
}

// The top of the number: the number, 8 pixels and the name, centred as one column.
double columnTop(QSizeF size, const QPaintDevice* device) {
    const double h1 = QFontMetricsF(bigFont(device), device).height();
    const double h2 = QFontMetricsF(smallFont(device), device).height();
    return (size.height() - (h1 + 8 + h2)) / 2;
}

// The outline of a line's text as drawn centred in its box.
QPainterPath outline(const Line& line, const QPaintDevice* device) {
    QFontMetricsF fm(line.font, device);
    QPainterPath p;
    const double x = line.box.center().x() - fm.horizontalAdvance(line.text) / 2;
    const double y = line.box.center().y() - fm.height() / 2 + fm.ascent();
    p.addText(QPointF(x, y), line.font, line.text);
    return p;
}

} // namespace

Line numberLine(QSizeF size, int number, const QPaintDevice* device) {
    char digits[24];
    std::snprintf(digits, sizeof digits, "%lld", static_cast<long long>(number));
    QFont big = bigFont(device);
    const double h1 = QFontMetricsF(big, device).height();
    return {QString::fromLatin1(digits), big, QRectF(0, columnTop(size, device), size.width(), h1)};
}

Line nameLine(QSizeF size, const std::string& name, const QPaintDevice* device) {
    QFont small = smallFont(device);
    const double h1 = QFontMetricsF(bigFont(device), device).height();
    const double h2 = QFontMetricsF(small, device).height();
    return {QString::fromStdString(name), small,
            QRectF(0, columnTop(size, device) + h1 + 8, size.width(), h2)};
}

QRegion drawn(QSizeF size, int number, const std::string& name, const TargetMode& mode,
              const QPaintDevice* device) {
    const QSize pixels(static_cast<int>(std::ceil(size.width())),
                       static_cast<int>(std::ceil(size.height())));
    if (mode.kind == TargetMode::Kind::dark || pixels.isEmpty()) {
        return {};
    }
    // Painted as a 1-bit picture: the window's shape is whole pixels in or out.
    QImage mask(pixels, QImage::Format_ARGB32_Premultiplied);
    mask.fill(Qt::transparent);
    {
        QPainter p(&mask);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::black);
        if (mode.kind == TargetMode::Kind::number) {
            // Text with a dark rim, so it reads on any desktop behind it.
            QPainterPathStroker rim;
            rim.setWidth(16);
            rim.setJoinStyle(Qt::RoundJoin);
            for (const Line& line :
                 {numberLine(size, number, device), nameLine(size, name, device)}) {
                QPainterPath text = outline(line, device);
                p.drawPath(rim.createStroke(text).united(text));
            }
        } else {
            const QPointF c = dotCentre(size, mode);
            p.drawEllipse(c, dotReach + 6, dotReach + 6);
            if (std::optional<Label> l = label(size, number, mode)) {
                p.drawRoundedRect(labelBox(l->text, l->centre, device), 10, 10);
            }
        }
    }
    return QRegion(QBitmap::fromImage(mask.createAlphaMask()));
}

} // namespace helm::TargetShape
