// The layer types that reach across the area or along the way in: the cross, the brackets,
// the beam, the dimming, the scan line and the trail.
#include "overlays/draw/JumpDrawer.h"

#include "overlays/JumpMotion.h"
#include "overlays/draw/Paint.h"

#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>

#include <cmath>

namespace helm {

using paint::usable;
using paint::withAlpha;

namespace {

double run(double a, double b, double e) {
    return a + e * (b - a);
}

} // namespace

void JumpDrawer::cross(QPainter& g, const JumpRecipe::Layer& l, const Common& k) const {
    double len = l.len.value_or(0) * scale;
    if (!usable({len})) {
        return;
    }
    QPainterPath lines;
    if (l.len.value_or(0) == 0) {
        lines.moveTo(area.left(), to.y());
        lines.lineTo(area.right(), to.y());
        lines.moveTo(to.x(), area.top());
        lines.lineTo(to.x(), area.bottom());
    } else {
        lines.moveTo(to.x() - len, to.y());
        lines.lineTo(to.x() + len, to.y());
        lines.moveTo(to.x(), to.y() - len);
        lines.lineTo(to.x(), to.y() + len);
    }
    g.strokePath(lines, paint::pen(withAlpha(k.c, k.alpha), k.w));
}

void JumpDrawer::brackets(QPainter& g, const JumpRecipe::Layer& l, const Common& k) const {
    double s = run(l.s0.value_or(34), l.s1.value_or(10), k.e) * scale;
    double a = l.len.value_or(7) * scale;
    double rot = run(l.rot0.value_or(0), l.rot1.value_or(0), k.e);
    if (!usable({s, a, rot})) {
        return;
    }
    QPainterPath path;
    const double corners[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
    for (const auto& c : corners) {
        // Each bracket: along its vertical edge into the corner, then along the horizontal one.
        double x = c[0] * s, y = c[1] * s;
        path.moveTo(x, y - c[1] * a);
        path.lineTo(x, y);
        path.lineTo(x - c[0] * a, y);
    }
    g.translate(to);
    g.rotate(rot);
    g.strokePath(path, paint::pen(withAlpha(k.c, k.alpha), k.w, Qt::RoundCap, Qt::RoundJoin));
}

void JumpDrawer::beam(QPainter& g, const JumpRecipe::Layer& l, const Common& k) const {
    double w = run(l.w0.value_or(18), l.w1.value_or(2), k.e) * scale;
    if (!usable({w})) {
        return;
    }
    QPainterPath quad;
    quad.moveTo(to.x() - 0.3 * w, area.top());
    quad.lineTo(to.x() + 0.3 * w, area.top());
    quad.lineTo(to.x() + w, to.y());
    quad.lineTo(to.x() - w, to.y());
    quad.closeSubpath();
    QLinearGradient light(QPointF(to.x(), area.top()), to);
    light.setColorAt(0, withAlpha(k.c, 0));
    light.setColorAt(1, withAlpha(k.c, 0.55 * k.alpha));
    g.fillPath(quad, light);
    QPainterPath foot;
    foot.addEllipse(QRectF(to.x() - w, to.y() - 0.15 * w, 2 * w, 0.3 * w).normalized());
    g.fillPath(foot, withAlpha(k.c, 0.5 * k.alpha));
}

// The darkening with a clear hole punched round the target is one radial gradient: clear to
// 0.6 of the hole's radius, full darkness at its edge and beyond. Filling the area outside the
// hole's square plainly keeps the costly gradient to the square, and nothing is cut out of the
// layers already drawn below.
void JumpDrawer::dim(QPainter& g, const JumpRecipe::Layer& l, const Common& k) const {
    double h = std::fabs(run(l.h0.value_or(320), l.h1.value_or(70), k.e) * scale);
    double dark = (1 - k.q) * l.a.value_or(0.18); // fades with time; α and C are not used
    if (!usable({h, dark})) {
        return;
    }
    const QColor black = withAlpha(Qt::black, dark);
    QRectF square(to.x() - h, to.y() - h, 2 * h, 2 * h);
    QRectF hole = square.intersected(area);
    if (h <= 0 || hole.isEmpty()) {
        g.fillRect(area, black);
        return;
    }
    // The area around the square: above, below, and left and right of it.
    g.fillRect(QRectF(area.left(), area.top(), area.width(), hole.top() - area.top()), black);
    g.fillRect(QRectF(area.left(), hole.bottom(), area.width(), area.bottom() - hole.bottom()),
               black);
    g.fillRect(QRectF(area.left(), hole.top(), hole.left() - area.left(), hole.height()), black);
    g.fillRect(QRectF(hole.right(), hole.top(), area.right() - hole.right(), hole.height()), black);
    QRadialGradient fade(to, h);
    fade.setColorAt(0, withAlpha(Qt::black, 0));
    fade.setColorAt(0.6, withAlpha(Qt::black, 0));
    fade.setColorAt(1, black);
    fade.setSpread(QGradient::PadSpread);
    g.fillRect(hole, fade);
}

void JumpDrawer::scan(QPainter& g, const Common& k) const {
    double x0 = dir == "R" ? area.right() : area.left();
    double x = x0 + k.e * (to.x() - x0);
    if (!usable({x})) {
        return;
    }
    // Every row of the band is the same: the gradient is worked out once in a one-row image
    // and stretched down the area, a plain blend per pixel instead of a gradient lookup.
    const double left = std::min(x0, x);
    const int width = static_cast<int>(std::ceil(std::fabs(x - x0)));
    if (width > 0 && width <= 16384) {
        QImage row(width, 1, QImage::Format_ARGB32_Premultiplied);
        row.fill(Qt::transparent);
        QLinearGradient band(QPointF(x0 - left, 0), QPointF(x - left, 0));
        band.setColorAt(0, withAlpha(k.c, 0));
        band.setColorAt(1, withAlpha(k.c, 0.25 * k.alpha));
        QPainter(&row).fillRect(QRectF(0, 0, width, 1), band);
        g.drawImage(QRectF(left, area.top(), width, area.height()), row);
    }
    g.fillRect(QRectF(x - k.w / 2, area.top(), k.w, area.height()), withAlpha(k.c, k.alpha));
}

void JumpDrawer::trail(QPainter& g, const JumpRecipe::Layer& l, const Common& k) const {
    Jumps::Point v = Jumps::dirVector(dir);
    double d = l.dist.value_or(220) * scale;
    double lift = l.lift.value_or(20) * scale;
    double r = l.s.value_or(2) * scale;
    QPointF b(to.x() + v.x * d, to.y() + v.y * d); // not kept inside the area
    if (!usable({b.x(), b.y(), lift, r})) {
        return;
    }
    auto at = [&](double u) {
        return QPointF(b.x() + u * (to.x() - b.x()),
                       b.y() + u * (to.y() - b.y()) - lift * std::sin(std::numbers::pi * u));
    };
    const std::string style = l.style.value_or("streak");
    if (style == "rings") {
        for (int i = 1; i <= 5; ++i) {
            g.strokePath(paint::circle(at(k.e * i / 5), 2 * r),
                         paint::pen(withAlpha(k.c, k.alpha * i / 5), 0.75 * k.w));
        }
        return;
    }
    std::optional<int> n = paint::count(l.n.value_or(16));
    if (!n || *n == 0) {
        return; // "dots" would place its dots at 0/0
    }
    if (style == "dots") {
        // A wave lights each dot as it passes along the path; the dot goes out 0.6 later.
        double a0 = l.a0.value_or(1);
        for (int i = 0; i <= *n; ++i) {
            double u = static_cast<double>(i) / *n;
            double a = (1.6 * k.q - u) * 4;
            double bb = (1.6 * k.q - 0.6 - u) * 4;
            double lit = (a < 0 ? 0 : std::min(a, 1.0)) * (bb < 0 ? 1 : 1 - std::min(bb, 1.0));
            if (lit * a0 != 0) {
                g.fillPath(paint::circle(at(u), r), withAlpha(k.c, a0 * lit));
            }
        }
        return;
    }
    for (int i = 0; i < *n; ++i) {
        double fade = 1 - static_cast<double>(i) / *n;
        g.fillPath(paint::circle(at(std::max(k.e - 0.025 * i, 0.0)), r * fade),
                   withAlpha(k.c, k.alpha * fade));
    }
}

} // namespace helm
