#include "gaze/feed/DistanceMeter.h"

#include "ui/Fonts.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace helm {

DistanceMeter::DistanceMeter(QColor live, QColor warn, QWidget* parent)
    : QWidget(parent), live_(live), warn_(warn) {
    setFocusPolicy(Qt::NoFocus);
}

void DistanceMeter::setWidth(std::optional<double> width) {
    if (width == width_)
        return;
    width_ = width;
    update();
}

QFont DistanceMeter::font() const {
    return Fonts::font(11, QFont::Normal, this);
}

QSize DistanceMeter::sizeHint() const {
    const QFontMetricsF metrics(font());
    const double w = metrics.horizontalAdvance("Far") + kGap + kBarWidth + kGap +
                     metrics.horizontalAdvance("Near");
    const double h = std::max(metrics.height(), kBarHeight);
    return QSizeF(w, h).toSize() + QSize(1, 1);
}

QRectF DistanceMeter::bar() const {
    const QFontMetricsF metrics(font());
    const double x = metrics.horizontalAdvance("Far") + kGap;
    return {x, (height() - kBarHeight) / 2, kBarWidth, kBarHeight};
}

void DistanceMeter::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setFont(font());
    const QFontMetricsF metrics(font());
    QColor text(Qt::white);
    text.setAlphaF(0.75f);
    p.setPen(text);
    const double textWidthFar = metrics.horizontalAdvance("Far");
    p.drawText(QRectF(0, 0, textWidthFar, height()), Qt::AlignVCenter | Qt::AlignLeft, "Far");
    const QRectF b = bar();
    p.drawText(QRectF(b.right() + kGap, 0, metrics.horizontalAdvance("Near"), height()),
               Qt::AlignVCenter | Qt::AlignLeft, "Near");

    auto capsule = [&](const QRectF& r, QColor c) {
        p.setPen(Qt::NoPen);
        p.setBrush(c);
        const double radius = std::min(r.width(), r.height()) / 2;
        p.drawRoundedRect(r, radius, radius);
    };
    QColor track(Qt::white);
    track.setAlphaF(0.18f);
    capsule(b, track);
    QColor zone = live_;
    zone.setAlphaF(0.45f);
    const double W = b.width();
    capsule(QRectF(b.x() + W * kFar / kScale, b.y(), W * (kNear - kFar) / kScale, b.height()),
            zone);

    if (width_ && std::isfinite(*width_)) {
        const double w = *width_;
        const bool good = w >= kFar && w <= kNear;
        // Capped at both ends of the bar, so a bad reading cannot draw the dot outside it.
        const double left = W * std::clamp(w, 0.0, kScale) / kScale - 5;
        p.setPen(Qt::NoPen);
        p.setBrush(good ? live_ : warn_);
        p.drawEllipse(QRectF(b.x() + left, b.center().y() - 5, 10, 10));
    }
}

} // namespace helm
