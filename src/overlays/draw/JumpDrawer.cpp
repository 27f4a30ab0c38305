#include "overlays/draw/JumpDrawer.h"

#include "overlays/JumpMotion.h"
#include "overlays/Jumps.h"
#include "overlays/draw/DropShadow.h"
#include "overlays/draw/Paint.h"

#include <QPainter>
#include <QRadialGradient>

#include <cmath>

namespace helm {

using paint::usable;
using paint::withAlpha;

QColor JumpDrawer::color(const std::optional<std::string>& text, std::string_view fallback) {
    Jumps::Rgb c = Jumps::parseColor(text, fallback);
    return QColor(c.r, c.g, c.b);
}

void JumpDrawer::draw(QPainter& g, double p) const {
    if (!(p >= 0 && p < 1) ||
        !usable({to.x(), to.y(), scale, area.x(), area.y(), area.width(), area.height()})) {
        return;
    }
    g.save();
    g.setRenderHint(QPainter::Antialiasing);
    if (still) {
        double k = std::min(p * recipe.dur / 0.15, 1.0);
        auto first = recipe.layers.empty() ? std::nullopt : recipe.layers.front().color;
        glow(g, 14 * scale, withAlpha(color(first), 0.35 * (1 - k)));
    } else {
        for (const JumpRecipe::Layer& l : recipe.layers) {
            layer(g, l, p);
        }
        if (recipe.pointer) {
            ghost(g, *recipe.pointer, p);
        }
    }
    g.restore();
}

std::optional<JumpDrawer::Common> JumpDrawer::common(const JumpRecipe::Layer& l, double p) const {
    double t0 = l.t0.value_or(0);
    double t1 = l.t1.value_or(1);
    if (p < t0 || p > t1) {
        return std::nullopt;
    }
    Common k{};
    k.q = t0 < t1 ? std::clamp((p - t0) / (t1 - t0), 0.0, 1.0) : 1.0;
    if (std::isnan(k.q)) {
        k.q = 0;
    }
    k.e = Jumps::ease(l.ease, k.q);
    double a0 = l.a0.value_or(1);
    double a1 = l.a1.value_or(0);
    k.alpha = l.bell.value_or(false) ? a0 * std::sin(std::numbers::pi * k.q) : a0 + k.q * (a1 - a0);
    k.c = color(l.color);
    k.w = std::max(l.width.value_or(2), 0.0) * scale;
    if (!usable({k.e, k.alpha, k.w})) {
        return std::nullopt;
    }
    return k;
}

void JumpDrawer::layer(QPainter& g, const JumpRecipe::Layer& l, double p) const {
    const std::optional<Common> common = this->common(l, p);
    if (!common) {
        return;
    }
    const Common& k = *common;
    const std::string& t = l.type;
    g.save();
    if (t == "ring") {
        ring(g, l, k);
    } else if (t == "glow") {
        double r = (l.r0.value_or(8) + k.e * (l.r1.value_or(36) - l.r0.value_or(8))) * scale;
        glow(g, r, withAlpha(k.c, k.alpha));
    } else if (t == "particles") {
        particles(g, l, k);
    } else if (t == "orbit") {
        orbit(g, l, k);
    } else if (t == "poly") {
        poly(g, l, k);
    } else if (t == "radar") {
        radar(g, l, k);
    } else if (t == "cross") {
        cross(g, l, k);
    } else if (t == "brackets") {
        brackets(g, l, k);
    } else if (t == "beam") {
        beam(g, l, k);
    } else if (t == "dim") {
        dim(g, l, k);
    } else if (t == "scan") {
        scan(g, k);
    } else if (t == "trail") {
        trail(g, l, k);
    } else if (t == "spiral") {
        spiral(g, l, k);
    } else if (t == "portals") {
        portals(g, l, k);
    } else if (t == "tag") {
        tag(g, l, k);
    }
    g.restore();
}

void JumpDrawer::glow(QPainter& g, double r, QColor c) const {
    if (!usable({r}) || r <= 0) {
        return;
    }
    QRadialGradient fade(to, r);
    fade.setColorAt(0, c);
    fade.setColorAt(1, withAlpha(c, 0));
    g.fillPath(paint::circle(to, r), fade);
}

void JumpDrawer::ghost(QPainter& g, const JumpRecipe::Pointer& pointer, double p) const {
    const double s = scale;
    double gr = Jumps::ease(pointer.spring.value_or(false) ? "spring" : "out", p);
    double f = p < 0.7 ? 1 : std::max(1 - (p - 0.7) / 0.3, 0.0);
    double t = pointer.dy0.value_or(0) * (1 - gr) * s;
    double m = pointer.scale0.value_or(1);
    double k = (m + (1 - m) * gr) * s;
    if (!usable({t, k, t + 16 * k})) {
        return;
    }
    if (pointer.shadow.value_or(false)) {
        // Wider while the arrow is high above the landing point.
        double v = 7 * s * (1 + std::fabs(t) / (26 * s));
        QPainterPath ground;
        ground.addEllipse(QPointF(to.x() + 4 * s, to.y() + 15 * s), v, 2.2 * s);
        if (usable({v})) {
            g.fillPath(ground, withAlpha(Qt::black, (0.4 + 0.6 * gr) * 0.5 * f));
        }
    }
    QPainterPath arrow = paint::arrow(QPointF(to.x(), to.y() + t), k);
    g.save();
    g.setOpacity(g.opacity() * f);
    dropShadow(g, arrow, 1.1 * s, 3 * s, withAlpha(Qt::black, 0.45));
    g.fillPath(arrow, Qt::white);
    g.strokePath(arrow, paint::pen(Qt::black, 1.1 * s));
    g.restore();
}

} // namespace helm
