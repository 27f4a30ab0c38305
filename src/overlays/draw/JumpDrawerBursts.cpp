// The layer types drawn round the landing point: rings, particles, orbits, polygons, the radar
// and the spiral.
#include "overlays/draw/JumpDrawer.h"

#include "overlays/JumpMotion.h"
#include "overlays/draw/Paint.h"

#include <QPainter>

#include <cmath>
#include <vector>

namespace helm {

using paint::rad;
using paint::usable;
using paint::withAlpha;

namespace {

// The colours cycled over the elements: the list (an empty one counts as absent) or the
// layer's colour, with "accent" standing for the layer's colour text.
std::vector<QColor> cycle(const JumpRecipe::Layer& l) {
    std::vector<std::string> list = l.colors && !l.colors->empty()
                                        ? *l.colors
                                        : std::vector<std::string>{l.color.value_or("accent")};
    std::vector<QColor> out;
    for (const std::string& c : list) {
        out.push_back(JumpDrawer::color(c == "accent" ? l.color : std::optional(c)));
    }
    return out;
}

double run(double a, double b, double e) {
    return a + e * (b - a);
}

} // namespace

// A circle around the landing point whose stroke lies wholly beyond the area's farthest corner
// cannot show; stroking it (dashed, it is thousands of dashes) only costs time.
bool JumpDrawer::outside(double r, double width) const {
    double far = 0;
    for (QPointF c : {area.topLeft(), area.topRight(), area.bottomLeft(), area.bottomRight()}) {
        far = std::max(far, std::hypot(c.x() - to.x(), c.y() - to.y()));
    }
    return std::abs(r) - std::max(width, 1.0) > far;
}

void JumpDrawer::ring(QPainter& g, const JumpRecipe::Layer& l, const Common& k) const {
    std::optional<int> n = paint::count(l.count.value_or(1));
    if (!n) {
        return;
    }
    double stagger = l.stagger.value_or(0.15);
    double a0 = l.a0.value_or(1);
    double a1 = l.a1.value_or(0);
    for (int i = 0; i < *n; ++i) {
        double qi = *n == 1 ? k.q : (k.q - i * stagger) / (1 - (*n - 1) * stagger);
        // 0/0 when the stagger leaves no time at all: the ring has not started.
        qi = std::isnan(qi) ? 0 : std::clamp(qi, 0.0, 1.0);
        if (qi <= 0 && i > 0) {
            continue;
        }
        double ei = Jumps::ease(l.ease, qi);
        double r = run(l.r0.value_or(4), l.r1.value_or(40), ei) * scale;
        double ai = l.bell.value_or(false) ? a0 * std::sin(std::numbers::pi * qi) : run(a0, a1, qi);
        double phase = r * 2 * std::numbers::pi * (l.spin.value_or(0) / 360) * qi;
        if (!usable({r, ai, phase}) || outside(r, k.w)) {
            continue;
        }
        QPen p = paint::pen(withAlpha(k.c, ai), k.w, Qt::RoundCap);
        if (l.dash.value_or(false)) {
            // Qt measures dashes in pen widths; a hairline (width 0) measures in pixels.
            double unit = k.w > 0 ? k.w : 1;
            p.setDashPattern({6 * scale / unit, 5 * scale / unit});
            p.setDashOffset(phase / unit);
        }
        g.strokePath(paint::circle(to, r), p);
    }
}

void JumpDrawer::particles(QPainter& g, const JumpRecipe::Layer& l, const Common& k) const {
    std::optional<int> n = paint::count(l.n.value_or(8));
    if (!n || *n == 0) {
        return;
    }
    std::vector<QColor> colours = cycle(l);
    double z = std::max(run(l.s0.value_or(3), l.s1.value_or(0), k.e) * scale, 0.0);
    double d = run(l.d0.value_or(0), l.d1.value_or(26), k.e) * scale;
    double phase = l.phase.value_or(0);
    double spin = l.spin.value_or(0);
    const std::string shape = l.shape.value_or("dot");
    if (!usable({z, d, d + z, phase, spin})) {
        return;
    }
    for (int i = 0; i < *n; ++i) {
        double th = phase + i * 360.0 / *n;
        double cx = std::cos(rad(th)), sy = std::sin(rad(th));
        QPointF c(to.x() + d * cx, to.y() + d * sy);
        QColor col = withAlpha(colours[static_cast<std::size_t>(i) % colours.size()], k.alpha);
        QPainterPath path;
        if (shape == "spark") {
            path.moveTo(c.x(), c.y() - z);
            path.lineTo(c.x() + 0.35 * z, c.y());
            path.lineTo(c.x(), c.y() + z);
            path.lineTo(c.x() - 0.35 * z, c.y());
            path.closeSubpath();
        } else if (shape == "diamond") {
            path.moveTo(c.x(), c.y() - 0.7 * z);
            path.lineTo(c.x() + 0.7 * z, c.y());
            path.lineTo(c.x(), c.y() + 0.7 * z);
            path.lineTo(c.x() - 0.7 * z, c.y());
            path.closeSubpath();
        } else if (shape == "square") {
            path.addRect(-z / 2, -z / 2, z, z);
            QTransform t;
            t.translate(c.x(), c.y());
            t.rotate(th + spin * k.q); // clockwise on screen, as the angles run
            path = t.map(path);
        } else if (shape == "line") {
            QPainterPath line;
            line.moveTo(c);
            line.lineTo(to.x() + (d + z) * cx, to.y() + (d + z) * sy);
            g.strokePath(line, paint::pen(col, k.w, Qt::RoundCap));
            continue;
        } else {
            path = paint::circle(c, z);
        }
        g.fillPath(path, col);
    }
}

void JumpDrawer::orbit(QPainter& g, const JumpRecipe::Layer& l, const Common& k) const {
    std::optional<int> n = paint::count(l.n.value_or(3));
    if (!n || *n == 0) {
        return;
    }
    std::vector<QColor> colours = cycle(l);
    double rho = run(l.r0.value_or(30), l.r1.value_or(0), k.e) * scale;
    double dot = l.s.value_or(3) * scale;
    double turns = l.turns.value_or(1.5);
    if (!usable({rho, dot, turns * 360})) {
        return;
    }
    for (int i = 0; i < *n; ++i) {
        double a = rad(360 * (k.e * turns + static_cast<double>(i) / *n));
        QPointF c(to.x() + rho * std::cos(a), to.y() + rho * std::sin(a));
        g.fillPath(paint::circle(c, dot),
                   withAlpha(colours[static_cast<std::size_t>(i) % colours.size()], k.alpha));
    }
}

void JumpDrawer::poly(QPainter& g, const JumpRecipe::Layer& l, const Common& k) const {
    std::optional<int> sides = paint::count(l.sides.value_or(6));
    if (!sides) {
        return;
    }
    double rho = run(l.r0.value_or(40), l.r1.value_or(12), k.e) * scale;
    double phi = run(l.rot0.value_or(0), l.rot1.value_or(60), k.e) - 90;
    if (!usable({rho, phi}) || *sides == 0) {
        return; // no sides: an empty path
    }
    QPainterPath path;
    for (int i = 0; i <= *sides; ++i) {
        double a = rad(phi + 360.0 * i / *sides);
        QPointF v(to.x() + rho * std::cos(a), to.y() + rho * std::sin(a));
        i == 0 ? path.moveTo(v) : path.lineTo(v);
    }
    g.strokePath(path, paint::pen(withAlpha(k.c, k.alpha), k.w, Qt::FlatCap, Qt::RoundJoin));
}

void JumpDrawer::radar(QPainter& g, const JumpRecipe::Layer& l, const Common& k) const {
    double rho = l.r.value_or(30) * scale;
    double head = k.e * 360 * l.turns.value_or(1) - 90;
    double tail = l.tail.value_or(70);
    if (!usable({rho, head, tail})) {
        return;
    }
    for (int i = 0; i < 12; ++i) {
        QPainterPath seg = paint::arc(to, rho, head - tail * (i + 1) / 12, head - tail * i / 12);
        g.strokePath(seg,
                     paint::pen(withAlpha(k.c, k.alpha * (1 - i / 12.0)), 1.5 * k.w, Qt::RoundCap));
    }
}

void JumpDrawer::spiral(QPainter& g, const JumpRecipe::Layer& l, const Common& k) const {
    std::optional<int> n = paint::count(l.n.value_or(12));
    if (!n || *n == 0) {
        return;
    }
    double r0 = l.r0.value_or(40);
    double turns = l.turns.value_or(1);
    double dot = 2.2 * scale * (1 - k.q); // shrinks with time, not with the easing
    if (!usable({r0 * scale, turns * 360, dot})) {
        return;
    }
    QColor col = withAlpha(k.c, k.alpha);
    for (int i = 0; i < *n; ++i) {
        double t = static_cast<double>(i) / *n;
        double dist = r0 * scale * (1 - k.e) * (1 - t / 1.5);
        double a = rad(360 * turns * t + 360 * k.e);
        g.fillPath(paint::circle({to.x() + dist * std::cos(a), to.y() + dist * std::sin(a)}, dot),
                   col);
    }
}

} // namespace helm
