#pragma once

#include <QColor>
#include <QPainterPath>
#include <QPen>
#include <QPolygonF>

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <numbers>
#include <optional>

// Small drawing helpers shared by the effect's layers.
namespace helm::paint {

// Geometry beyond this many points from the origin is a broken recipe, not an effect: it is
// not drawn, as nothing that is not finite is, so the rasteriser never sees it.
inline constexpr double limit = 1e6;

inline bool usable(std::initializer_list<double> values) {
    for (double v : values) {
        if (!std::isfinite(v) || std::fabs(v) > limit) {
            return false;
        }
    }
    return true;
}

inline double rad(double degrees) {
    return degrees * std::numbers::pi / 180;
}

// Opacity multiplies into the colour, clamped into [0, 1]; NaN is transparent.
inline QColor withAlpha(QColor c, double a) {
    c.setAlphaF(static_cast<float>(std::isnan(a) ? 0.0 : std::clamp(a, 0.0, 1.0)));
    return c;
}

// Qt's default pen has a square cap, bevel join and miter limit 2: every stroke sets its own.
// Width 0 is Qt's one-pixel hairline.
inline QPen pen(const QColor& c, double width, Qt::PenCapStyle cap = Qt::FlatCap,
                Qt::PenJoinStyle join = Qt::MiterJoin) {
    QPen p(c, width);
    p.setCapStyle(cap);
    p.setJoinStyle(join);
    p.setMiterLimit(10);
    return p;
}

// A count as drawn: truncated toward zero; nothing when negative, not finite or above 10,000.
inline std::optional<int> count(double v) {
    if (!(v >= 0 && v <= 10000)) {
        return std::nullopt;
    }
    return static_cast<int>(v);
}

inline QPainterPath circle(QPointF c, double r) {
    QPainterPath p;
    p.addEllipse(c, std::fabs(r), std::fabs(r));
    return p;
}

// The arc from angle a0 to a1 in degrees, measured clockwise on screen from +x; Qt's arcs turn
// the other way.
inline QPainterPath arc(QPointF c, double r, double a0, double a1) {
    QRectF box(c.x() - r, c.y() - r, 2 * r, 2 * r);
    QPainterPath p;
    p.arcMoveTo(box, -a0);
    p.arcTo(box, -a0, -(a1 - a0));
    return p;
}

// The drawn pointer: an arrow with its tip at tip, k points per unit (16 units high).
inline QPainterPath arrow(QPointF tip, double k) {
    static const QPointF outline[] = {{0, 0},      {0, 14},    {3.6, 10.6}, {6.2, 16},
                                      {8.2, 15.1}, {5.7, 9.8}, {10.4, 9.8}};
    QPolygonF poly;
    for (const QPointF& pt : outline) {
        poly << tip + pt * k;
    }
    QPainterPath p;
    p.addPolygon(poly);
    p.closeSubpath();
    return p;
}

} // namespace helm::paint
